#include "graphics/tavMeshFile.h"

#include "graphics/tavMeshBytes.h"

namespace
{
// The smallest a material block can be: 17 floats and its texture count.
const uint64_t MinMaterialBytes = 17 * 4 + 4;
// The smallest a bone block can be: id, name length, part record, rest
// pose, keyframe count and child count.
const uint64_t MinBoneBytes = 4 + 4 + 24 + 20 + 4 + 12 + 4;
const uint64_t PartBytes = 24;
const uint64_t KeyframeBytes = 32;
const uint64_t AnimationBytes = 16;

tavMeshFileResult Refuse(const std::string& reason, std::string* why, tavMeshFileResult result)
{
    if (why) *why = reason;
    return result;
}

void ReadMaterials(tavByteReader& in, uint32_t count, std::vector<tavMaterialData>& out)
{
    if (!in.Has(count, MinMaterialBytes)) return;
    out.reserve(count);
    for (uint32_t i = 0; in.Ok() && i < count; ++i)
        out.push_back(in.Material());
}

void ReadParts(tavByteReader& in, uint32_t count, std::vector<tavMeshPart>& out)
{
    if (!in.Has(count, PartBytes)) return;
    out.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        out.push_back(in.Part());
}

// One bone block and, recursively, its children. False for a tree nested
// deeper than the reader allows (the reader fails by itself when cut short).
bool ReadBone(tavByteReader& in, tavBoneData& bone, int depth)
{
    if (depth > tavMeshFile::MaxBoneDepth) return false;
    bone.boneId = in.U32();
    const uint32_t nameLength = in.U32();
    bone.name = in.Text(nameLength);
    bone.part = in.Part();
    for (float& f : bone.pivot)
        f = in.F32();
    for (uint32_t& w : bone.restA)
        w = in.U32();
    const uint32_t keyframes = in.U32();
    for (uint32_t& w : bone.restB)
        w = in.U32();
    if (!in.Has(keyframes, KeyframeBytes)) return true;
    bone.keyframes.resize(keyframes);
    for (tavKeyframe& k : bone.keyframes)
        for (float& f : k.k)
            f = in.F32();
    const uint32_t children = in.U32();
    if (!in.Has(children, MinBoneBytes)) return true;
    bone.children.resize(children);
    for (tavBoneData& child : bone.children)
    {
        if (!ReadBone(in, child, depth + 1)) return false;
        if (!in.Ok()) break;
    }
    return true;
}

void WriteBone(tavByteWriter& out, const tavBoneData& bone)
{
    out.U32(bone.boneId);
    out.U32(uint32_t(bone.name.size()));
    out.Bytes(bone.name.data(), bone.name.size());
    out.Part(bone.part);
    for (float f : bone.pivot)
        out.F32(f);
    for (uint32_t w : bone.restA)
        out.U32(w);
    out.U32(uint32_t(bone.keyframes.size()));
    for (uint32_t w : bone.restB)
        out.U32(w);
    for (const tavKeyframe& k : bone.keyframes)
        for (float f : k.k)
            out.F32(f);
    out.U32(uint32_t(bone.children.size()));
    for (const tavBoneData& child : bone.children)
        WriteBone(out, child);
}

tavMeshFileResult LoadImage(const char* path, std::vector<uint8_t>& image, std::string* why)
{
    if (!tavReadWholeFile(path, image))
        return Refuse("the file cannot be opened", why, tavMeshFileResult::CannotOpen);
    return tavMeshFileResult::Ok;
}
} // namespace

tavMeshFileResult tavMeshFile::ParseStatic(const uint8_t* bytes, size_t size, Order order,
                                           tavStaticMeshData& out, std::string* why)
{
    out = tavStaticMeshData();
    tavByteReader in(bytes, size);
    const uint16_t version = in.U16();
    if (!in.Ok() || version != StaticVersion)
        return Refuse("version " + std::to_string(version) + ", not 20", why,
                      tavMeshFileResult::WrongVersion);
    const uint32_t vertexCount = in.U32(), indexCount = in.U32();
    const uint32_t partCount = in.U32(), materialCount = in.U32();
    tavStaticMeshData data;
    in.Vertices(data.vertices, vertexCount);
    in.Indices(data.indices, indexCount);
    if (order == WithBounds)
    {
        ReadParts(in, partCount, data.parts);
        ReadMaterials(in, materialCount, data.materials);
        in.Bounds(data.bounds, true);
    }
    else
    {
        ReadMaterials(in, materialCount, data.materials);
        ReadParts(in, partCount, data.parts);
    }
    if (!in.Ok())
        return Refuse("cut short at byte " + std::to_string(in.Offset()) + " of " +
                          std::to_string(size),
                      why, tavMeshFileResult::Damaged);
    data.version = StaticVersion;
    out = std::move(data);
    return tavMeshFileResult::Ok;
}

tavMeshFileResult tavMeshFile::ParseDynamic(const uint8_t* bytes, size_t size,
                                            tavDynamicMeshData& out, std::string* why)
{
    out = tavDynamicMeshData();
    tavByteReader in(bytes, size);
    const uint16_t version = in.U16();
    if (!in.Ok() || version != DynamicVersion)
        return Refuse("version " + std::to_string(version) + ", not 396", why,
                      tavMeshFileResult::WrongVersion);
    const uint32_t vertexCount = in.U32(), indexCount = in.U32(), materialCount = in.U32();
    tavDynamicMeshData data;
    data.numKeyframes = in.U32();
    const uint32_t animationCount = in.U32();
    in.Vertices(data.vertices, vertexCount);
    in.Indices(data.indices, indexCount);
    if (in.Ok() && !ReadBone(in, data.root, 0))
        return Refuse("bones nested deeper than " + std::to_string(MaxBoneDepth), why,
                      tavMeshFileResult::Damaged);
    if (in.Has(animationCount, AnimationBytes))
    {
        data.animations.resize(animationCount);
        for (tavAnimation& a : data.animations)
        {
            a.next = in.U32();
            a.toKeyframe = in.U32();
            a.fromKeyframe = in.U32();
            a.duration = in.U32();
        }
    }
    ReadMaterials(in, materialCount, data.materials);
    in.Bounds(data.bounds, true);
    if (!in.Ok())
        return Refuse("cut short at byte " + std::to_string(in.Offset()) + " of " +
                          std::to_string(size),
                      why, tavMeshFileResult::Damaged);
    data.fileVersion = DynamicVersion;
    out = std::move(data);
    return tavMeshFileResult::Ok;
}

tavMeshFileResult tavMeshFile::LoadStatic(const char* path, Order order, tavStaticMeshData& out,
                                          std::string* why)
{
    out = tavStaticMeshData();
    std::vector<uint8_t> image;
    const tavMeshFileResult opened = LoadImage(path, image, why);
    if (opened != tavMeshFileResult::Ok) return opened;
    return ParseStatic(image.data(), image.size(), order, out, why);
}

tavMeshFileResult tavMeshFile::LoadDynamic(const char* path, tavDynamicMeshData& out,
                                           std::string* why)
{
    out = tavDynamicMeshData();
    std::vector<uint8_t> image;
    const tavMeshFileResult opened = LoadImage(path, image, why);
    if (opened != tavMeshFileResult::Ok) return opened;
    return ParseDynamic(image.data(), image.size(), out, why);
}

std::vector<uint8_t> tavMeshFile::WriteStatic(const tavStaticMeshData& data, Order order)
{
    tavByteWriter out;
    out.U16(StaticVersion);
    out.U32(uint32_t(data.vertices.size()));
    out.U32(uint32_t(data.indices.size()));
    out.U32(uint32_t(data.parts.size()));
    out.U32(uint32_t(data.materials.size()));
    out.Vertices(data.vertices);
    out.Indices(data.indices);
    if (order == WithBounds)
    {
        for (const tavMeshPart& p : data.parts)
            out.Part(p);
        for (const tavMaterialData& m : data.materials)
            out.Material(m);
        out.Bounds(data.bounds);
    }
    else
    {
        for (const tavMaterialData& m : data.materials)
            out.Material(m);
        for (const tavMeshPart& p : data.parts)
            out.Part(p);
    }
    return out.bytes;
}

std::vector<uint8_t> tavMeshFile::WriteDynamic(const tavDynamicMeshData& data)
{
    tavByteWriter out;
    out.U16(DynamicVersion);
    out.U32(uint32_t(data.vertices.size()));
    out.U32(uint32_t(data.indices.size()));
    out.U32(uint32_t(data.materials.size()));
    out.U32(data.numKeyframes);
    out.U32(uint32_t(data.animations.size()));
    out.Vertices(data.vertices);
    out.Indices(data.indices);
    WriteBone(out, data.root);
    for (const tavAnimation& a : data.animations)
    {
        out.U32(a.next);
        out.U32(a.toKeyframe);
        out.U32(a.fromKeyframe);
        out.U32(a.duration);
    }
    for (const tavMaterialData& m : data.materials)
        out.Material(m);
    out.Bounds(data.bounds);
    return out.bytes;
}
