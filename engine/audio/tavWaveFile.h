#pragma once
// A sound effect file (".sfx"): WAVE data in the canonical 44-byte layout,
// read by fixed offsets. Neither the chunk tags nor the format fields are
// checked (the effects are written by several tools, not all of which fill
// them in): a format the sound card cannot take is refused when the effect
// is played, with its own console line. Only what would make the reader
// look past the file is refused here: fewer bytes than a header, or a data
// size larger than what follows it. Portable: plain data, no Windows headers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class tavWaveFile
{
public:
    // Bytes before the first sample.
    static constexpr size_t HeaderSize = 44;

    // Reads the whole file and parses it (see Parse). False when the file
    // cannot be read or is no usable effect; Error() then says why, in a
    // few words that read after "Failed loading sound "name": ".
    bool Load(const std::string& path);
    // Parses a file image: the format from the header, a copy of the
    // samples (the image may be freed afterwards). On failure every field
    // is left as it was and Error() says why.
    bool Parse(const uint8_t* bytes, size_t size);
    const std::string& Error() const { return error; }

    uint16_t formatTag = 0; // 1 = PCM, 3 = IEEE float
    uint16_t channels = 0;
    uint32_t sampleRate = 0; // frames per second
    uint32_t byteRate = 0;   // as the header gives it; not checked
    uint16_t blockAlign = 0; // bytes per frame
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> samples; // exactly the data size the header gives

private:
    bool Fail(std::string why);

    std::string error;
};
