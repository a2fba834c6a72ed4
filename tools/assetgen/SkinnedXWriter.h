#pragma once
// Writes a SkinnedModel as a text .x file that D3DXLoadMeshHierarchyFromX
// reads: the skin templates declared first (the loader needs them in the
// file), the animation rate, a Root frame holding the mesh with its
// XSkinMeshHeader and one SkinWeights per bone, the bone frames under it,
// and an AnimationSet with rotation, scale and translation keys for every
// animated bone (all three, so no part of a frame's matrix is left to a
// loader's default).

#include "HenRig.h"

#include <string>

namespace assetgen
{

class SkinnedXWriter
{
public:
    static std::string ToText(const SkinnedModel& model, const std::string& meshName,
                              const std::string& animationName);

private:
    static void AppendFrame(std::string& out, const SkinnedModel& model, int bone, int depth);
    static void AppendSkin(std::string& out, const SkinnedModel& model);
    static void AppendAnimation(std::string& out, const RigTrack& track);
};

} // namespace assetgen
