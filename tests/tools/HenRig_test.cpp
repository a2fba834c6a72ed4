#include "HenRig.h"
#include "SkinnedXWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace assetgen;

TEST(HenRig, EveryVertexIsFullyWeightedAndTheNeckBlends)
{
    const SkinnedModel hen = HenRig::Build();
    ASSERT_EQ(hen.bones.size(), size_t(HenRig::BoneCount));
    std::vector<float> total(hen.mesh.vertices.size(), 0.0f);
    for (const RigBone& bone : hen.bones)
    {
        ASSERT_EQ(bone.vertices.size(), bone.weights.size()) << bone.name;
        EXPECT_FALSE(bone.vertices.empty()) << bone.name;
        for (size_t i = 0; i < bone.vertices.size(); ++i)
            total[bone.vertices[i]] += bone.weights[i];
    }
    for (size_t v = 0; v < total.size(); ++v)
        ASSERT_NEAR(total[v], 1.0f, 1e-5f) << "vertex " << v;
    EXPECT_EQ(hen.MaxWeightsPerVertex(), 2u);
    EXPECT_EQ(hen.MaxWeightsPerFace(), 2u);
    // The feet belong to the legs: the lowest vertex is a leg's.
    size_t lowest = 0;
    for (size_t v = 0; v < hen.mesh.vertices.size(); ++v)
        if (hen.mesh.vertices[v].position.y < hen.mesh.vertices[lowest].position.y) lowest = v;
    const auto& left = hen.bones[HenRig::LeftLeg].vertices;
    const auto& right = hen.bones[HenRig::RightLeg].vertices;
    EXPECT_TRUE(std::count(left.begin(), left.end(), lowest) +
                    std::count(right.begin(), right.end(), lowest) ==
                1);
}

TEST(HenRig, TheWalkKeysEveryBoneOverOneSecondAndTheFileCarriesIt)
{
    const SkinnedModel hen = HenRig::Build();
    ASSERT_EQ(hen.walk.size(), hen.bones.size());
    for (const RigTrack& track : hen.walk)
    {
        ASSERT_EQ(track.keys.size(), 5u) << track.bone;
        EXPECT_EQ(track.keys.back().time, hen.ticksPerSecond) << track.bone;
        // A cycle: it ends where it starts.
        EXPECT_EQ(track.keys.front().pitch, track.keys.back().pitch) << track.bone;
    }
    EXPECT_EQ(hen.walk[HenRig::LeftLeg].keys[0].pitch, -hen.walk[HenRig::RightLeg].keys[0].pitch);

    const std::string text = SkinnedXWriter::ToText(hen, "HenMesh", "Walk");
    EXPECT_EQ(text.rfind("xof 0303txt 0032\n", 0), 0u);
    // Templates before the data that uses them; one weights block per bone,
    // three key records per animated bone.
    EXPECT_LT(text.find("template SkinWeights"), text.find("\n SkinWeights {"));
    size_t weights = 0, keys = 0;
    for (size_t at = 0; (at = text.find("\n SkinWeights {", at)) != std::string::npos; ++at)
        ++weights;
    for (size_t at = 0; (at = text.find("AnimationKey {", at)) != std::string::npos; ++at)
        ++keys;
    EXPECT_EQ(weights, hen.bones.size());
    EXPECT_EQ(keys, hen.walk.size() * 3);
    EXPECT_NE(text.find("{LeftLeg}"), std::string::npos);
    // Braces balance.
    EXPECT_EQ(std::count(text.begin(), text.end(), '{'), std::count(text.begin(), text.end(), '}'));
}
