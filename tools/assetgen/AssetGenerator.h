#pragma once
// Writes every file of the game's base/ folder. Deterministic: the same
// program writes the same bytes on every run and every machine it was built
// for (no clock, no global random state, no threads).

#include <string>
#include <vector>

namespace assetgen
{

class AssetGenerator
{
public:
    // Writes into `folder` (which must exist). False at the first file that
    // could not be written, with its name in `error`.
    bool Generate(const std::string& folder, std::string& error);
    // Names of the files written so far, in writing order.
    const std::vector<std::string>& Written() const { return written; }

private:
    bool WriteMeshes();
    bool WriteSampleModels();
    bool WriteSounds();
    bool WriteSky();
    bool WriteSea();
    bool WriteSurfaces();
    bool WriteScreens();
    bool WriteSamples();
    bool Save(const std::string& name, const std::vector<unsigned char>& bytes);
    bool Save(const std::string& name, const std::string& text);

    std::string folder;
    std::string error;
    std::vector<std::string> written;
};

} // namespace assetgen
