#include "graphics/tavSoftwareSkin.h"

#include <cmath>
#include <cstring>

tavSoftwareSkin::tavSoftwareSkin() : vertexCount(0) {}

bool tavSoftwareSkin::Init(uint32_t count, std::vector<Bone> newBones)
{
    vertexCount = 0;
    bones.clear();
    for (const Bone& bone : newBones) {
        if (bone.vertices.size() != bone.weights.size())
            return false;
        for (uint32_t v : bone.vertices)
            if (v >= count)
                return false;
    }
    vertexCount = count;
    bones = std::move(newBones);
    return true;
}

void tavSoftwareSkin::Apply(const void* source, void* target, size_t stride, int normalOffset,
                            const tavMatrix4* boneMatrices) const
{
    const uint8_t* in = static_cast<const uint8_t*>(source);
    uint8_t* out = static_cast<uint8_t*>(target);
    std::memcpy(out, in, stride * vertexCount);

    // Sums per vertex, then written over the copied bind pose.
    std::vector<float> position(vertexCount * 3, 0.0f), normal(vertexCount * 3, 0.0f);
    std::vector<uint8_t> moved(vertexCount, 0);
    for (size_t b = 0; b < bones.size(); ++b) {
        const Bone& bone = bones[b];
        const tavMatrix4 skin = bone.offset * boneMatrices[b];
        for (size_t i = 0; i < bone.vertices.size(); ++i) {
            const uint32_t v = bone.vertices[i];
            const float w = bone.weights[i];
            float p[3], n[3], tp[3], tn[3];
            std::memcpy(p, in + v * stride, sizeof p);
            skin.TransformPoint(p, tp);
            for (int k = 0; k < 3; ++k)
                position[v * 3 + k] += w * tp[k];
            if (normalOffset >= 0) {
                std::memcpy(n, in + v * stride + normalOffset, sizeof n);
                skin.TransformNormal(n, tn);
                for (int k = 0; k < 3; ++k)
                    normal[v * 3 + k] += w * tn[k];
            }
            moved[v] = 1;
        }
    }
    for (uint32_t v = 0; v < vertexCount; ++v) {
        if (!moved[v])
            continue;
        std::memcpy(out + v * stride, &position[v * 3], 3 * sizeof(float));
        if (normalOffset < 0)
            continue;
        float* n = &normal[v * 3];
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length > 0.0f)
            for (int k = 0; k < 3; ++k)
                n[k] /= length;
        std::memcpy(out + v * stride + normalOffset, n, 3 * sizeof(float));
    }
}

uint32_t tavSoftwareSkin::GetMaxVertexInfluences() const
{
    std::vector<uint32_t> count(vertexCount, 0);
    uint32_t most = 0;
    for (const Bone& bone : bones)
        for (uint32_t v : bone.vertices)
            if (++count[v] > most)
                most = count[v];
    return most;
}

uint32_t tavSoftwareSkin::GetMaxFaceInfluences(const std::vector<uint32_t>& indices) const
{
    // The bones of each vertex, then the union over each face's corners.
    std::vector<std::vector<uint32_t>> bonesOf(vertexCount);
    for (uint32_t b = 0; b < bones.size(); ++b)
        for (uint32_t v : bones[b].vertices)
            bonesOf[v].push_back(b);
    uint32_t most = 0;
    std::vector<uint32_t> seen;
    for (size_t f = 0; f + 2 < indices.size(); f += 3) {
        seen.clear();
        for (size_t c = f; c < f + 3; ++c) {
            if (indices[c] >= vertexCount)
                continue;
            for (uint32_t b : bonesOf[indices[c]]) {
                bool known = false;
                for (uint32_t s : seen)
                    known = known || s == b;
                if (!known)
                    seen.push_back(b);
            }
        }
        if (seen.size() > most)
            most = uint32_t(seen.size());
    }
    return most;
}
