#include "graphics/tavMeshBytes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
// A texture name of this length or longer ends the list (the loader reads
// names into a zeroed buffer of this size).
const uint32_t NameBuffer = 64;

void ReadColour(tavByteReader& in, float* rgba)
{
    rgba[3] = in.F32();
    rgba[0] = in.F32();
    rgba[1] = in.F32();
    rgba[2] = in.F32();
}

void WriteColour(tavByteWriter& out, const float* rgba)
{
    out.F32(rgba[3]);
    out.F32(rgba[0]);
    out.F32(rgba[1]);
    out.F32(rgba[2]);
}
} // namespace

bool tavByteReader::Has(uint64_t count, uint64_t itemSize)
{
    if (ok && (itemSize == 0 || count <= (size - at) / itemSize)) return true;
    ok = false;
    return false;
}

void tavByteReader::Bytes(void* out, size_t n)
{
    if (!Has(n, 1))
    {
        std::memset(out, 0, n);
        return;
    }
    std::memcpy(out, bytes + at, n);
    at += n;
}

uint16_t tavByteReader::U16()
{
    uint8_t b[2];
    Bytes(b, 2);
    return uint16_t(b[0] | (b[1] << 8));
}

uint32_t tavByteReader::U32()
{
    uint8_t b[4];
    Bytes(b, 4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

float tavByteReader::F32()
{
    const uint32_t bits = U32();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

std::string tavByteReader::Text(size_t n)
{
    if (!Has(n, 1)) return std::string();
    std::string s(reinterpret_cast<const char*>(bytes + at), n);
    at += n;
    return s;
}

void tavByteReader::Skip(size_t n)
{
    if (Has(n, 1)) at += n;
}

std::string tavByteReader::ZeroTerminated()
{
    if (!ok) return std::string();
    const void* end = std::memchr(bytes + at, 0, size - at);
    if (!end)
    {
        ok = false;
        return std::string();
    }
    const size_t n = static_cast<const uint8_t*>(end) - (bytes + at);
    std::string s(reinterpret_cast<const char*>(bytes + at), n);
    at += n + 1;
    return s;
}

void tavByteReader::Vertices(std::vector<tavMeshVertex>& out, uint32_t count)
{
    out.clear();
    if (!Has(count, sizeof(tavMeshVertex))) return;
    out.resize(count);
    for (tavMeshVertex& v : out)
    {
        for (float& f : v.position)
            f = F32();
        for (float& f : v.normal)
            f = F32();
        v.u = F32();
        v.v = F32();
    }
}

void tavByteReader::Indices(std::vector<uint16_t>& out, uint32_t count)
{
    out.clear();
    if (!Has(count, 2)) return;
    out.resize(count);
    for (uint16_t& i : out)
        i = U16();
}

tavMeshPart tavByteReader::Part()
{
    tavMeshPart p;
    p.material = U32();
    p.faceCount = U32();
    p.faceStart = U32();
    p.vertexCount = U32();
    p.vertexStart = U32();
    p.lowestIndex = U32();
    return p;
}

tavMaterialData tavByteReader::Material()
{
    tavMaterialData m;
    ReadColour(*this, m.ambient);
    ReadColour(*this, m.diffuse);
    ReadColour(*this, m.emissive);
    ReadColour(*this, m.specular);
    m.power = F32();
    const uint32_t count = U32();
    bool keep = true;
    for (uint32_t i = 0; ok && i < count; ++i)
    {
        const uint32_t length = U32();
        if (length == 0 || length >= NameBuffer) break;
        std::string name = Text(length);
        // The name is read into a zeroed buffer: a 0 byte ends it early. An
        // empty name loads no texture, and the slots after it do not count.
        name.resize(std::strlen(name.c_str()));
        if (name.empty()) keep = false;
        if (keep && m.textures.size() < tavMaterialData::MaxTextures) m.textures.push_back(name);
    }
    return m;
}

void tavByteReader::Bounds(tavMeshBounds& out, bool withBox)
{
    if (withBox)
    {
        for (float& f : out.boxMax)
            f = F32();
        for (float& f : out.boxMin)
            f = F32();
    }
    for (float& f : out.centroid)
        f = F32();
    for (float& f : out.halfExtents)
        f = F32();
    out.radius = F32();
}

void tavByteWriter::U16(uint16_t v)
{
    bytes.push_back(uint8_t(v));
    bytes.push_back(uint8_t(v >> 8));
}

void tavByteWriter::U32(uint32_t v)
{
    for (int s = 0; s < 32; s += 8)
        bytes.push_back(uint8_t(v >> s));
}

void tavByteWriter::F32(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    U32(bits);
}

void tavByteWriter::Bytes(const void* p, size_t n)
{
    const uint8_t* b = static_cast<const uint8_t*>(p);
    bytes.insert(bytes.end(), b, b + n);
}

void tavByteWriter::Vertices(const std::vector<tavMeshVertex>& vertices)
{
    bytes.reserve(bytes.size() + vertices.size() * sizeof(tavMeshVertex));
    for (const tavMeshVertex& v : vertices)
    {
        for (float f : v.position)
            F32(f);
        for (float f : v.normal)
            F32(f);
        F32(v.u);
        F32(v.v);
    }
}

void tavByteWriter::Indices(const std::vector<uint16_t>& indices)
{
    bytes.reserve(bytes.size() + indices.size() * 2);
    for (uint16_t i : indices)
        U16(i);
}

void tavByteWriter::Part(const tavMeshPart& p)
{
    U32(p.material);
    U32(p.faceCount);
    U32(p.faceStart);
    U32(p.vertexCount);
    U32(p.vertexStart);
    U32(p.lowestIndex);
}

void tavByteWriter::Material(const tavMaterialData& m)
{
    WriteColour(*this, m.ambient);
    WriteColour(*this, m.diffuse);
    WriteColour(*this, m.emissive);
    WriteColour(*this, m.specular);
    F32(m.power);
    const size_t count = std::min(m.textures.size(), tavMaterialData::MaxTextures);
    U32(uint32_t(count));
    for (size_t i = 0; i < count; ++i)
    {
        const std::string& name = m.textures[i];
        U32(uint32_t(name.size()));
        Bytes(name.data(), name.size());
    }
}

void tavByteWriter::Bounds(const tavMeshBounds& b)
{
    for (float f : b.boxMax)
        F32(f);
    for (float f : b.boxMin)
        F32(f);
    for (float f : b.centroid)
        F32(f);
    for (float f : b.halfExtents)
        F32(f);
    F32(b.radius);
}

std::string tavTextureFileName(const std::string& displayName)
{
    std::string name = displayName;
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = name.substr(1, name.size() - 2);
    const size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

bool tavReadWholeFile(const char* path, std::vector<uint8_t>& out)
{
    out.clear();
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) return false;
    bool done = std::fseek(f, 0, SEEK_END) == 0;
    const long size = done ? std::ftell(f) : -1;
    done = size >= 0 && std::fseek(f, 0, SEEK_SET) == 0;
    if (done)
    {
        out.resize(size_t(size));
        done = std::fread(out.data(), 1, out.size(), f) == out.size();
    }
    std::fclose(f);
    if (!done) out.clear();
    return done;
}

bool tavWriteWholeFile(const char* path, const std::vector<uint8_t>& bytes)
{
    FILE* f = path ? std::fopen(path, "wb") : nullptr;
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}
