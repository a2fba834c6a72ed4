#include "graphics/tavObjReader.h"

#include "graphics/tavMeshBytes.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace
{
// The longest line fgets hands over with a 256-byte buffer.
const size_t LineLength = 255;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

const char* SkipSpace(const char* p, const char* end)
{
    while (p < end && IsSpace(*p))
        ++p;
    return p;
}

const char* WordEnd(const char* p, const char* end)
{
    while (p < end && !IsSpace(*p))
        ++p;
    return p;
}

// Like "%f": the next number after white space into `out`; false (and
// `out` untouched) when there is none.
bool NextFloat(const char*& p, const char* end, float& out)
{
    p = SkipSpace(p, end);
    if (p < end && *p == '+') ++p;
    const std::from_chars_result r = std::from_chars(p, end, out);
    if (r.ec == std::errc::result_out_of_range)
    {
        p = r.ptr;
        return true;
    }
    if (r.ec != std::errc()) return false;
    p = r.ptr;
    return true;
}

void Floats(const char* p, const char* end, float* out, int count)
{
    for (int i = 0; i < count && NextFloat(p, end, out[i]); ++i)
    {
    }
}

bool Is(const char* word, size_t length, const char* name)
{
    return length == std::strlen(name) && std::memcmp(word, name, length) == 0;
}
} // namespace

bool tavObjReader::Read(const char* path)
{
    std::vector<uint8_t> image;
    if (!tavReadWholeFile(path, image))
    {
        *this = tavObjReader();
        log.push_back(std::string("Failed opening .OBJ file: ") + (path ? path : ""));
        return false;
    }
    Parse(reinterpret_cast<const char*>(image.data()), image.size());
    return true;
}

void tavObjReader::Parse(const char* text, size_t size)
{
    *this = tavObjReader();
    log.push_back("Importing OBJ File");
    const char* p = text;
    const char* end = text + size;
    while (p < end)
    {
        const char* limit = p + std::min(LineLength, size_t(end - p));
        const void* newline = std::memchr(p, '\n', size_t(limit - p));
        const char* lineEnd = newline ? static_cast<const char*>(newline) + 1 : limit;
        if (*p != '#') Line(p, lineEnd);
        p = lineEnd;
    }
    Finish();
}

void tavObjReader::Line(const char* p, const char* end)
{
    const char* word = SkipSpace(p, end);
    const char* wordEnd = WordEnd(word, end);
    const size_t length = size_t(wordEnd - word);
    if (Is(word, length, "v"))
    {
        tavMeshVertex v = {};
        Floats(wordEnd, end, v.position, 3);
        mesh.vertices.push_back(v);
    }
    else if (Is(word, length, "vt"))
    {
        if (texCoordLines < mesh.vertices.size())
        {
            float uv[2] = {mesh.vertices[texCoordLines].u, mesh.vertices[texCoordLines].v};
            Floats(wordEnd, end, uv, 2);
            mesh.vertices[texCoordLines].u = uv[0];
            mesh.vertices[texCoordLines].v = uv[1];
            ++texCoordLines;
        }
    }
    else if (Is(word, length, "vn"))
    {
        if (normalLines < mesh.vertices.size())
            Floats(wordEnd, end, mesh.vertices[normalLines++].normal, 3);
    }
    else if (Is(word, length, "usemtl"))
    {
        const char* name = SkipSpace(wordEnd, end);
        if (name < end) UseMaterial(std::string(name, WordEnd(name, end)));
    }
    else if (Is(word, length, "f"))
        Face(wordEnd, end);
}

void tavObjReader::Face(const char* p, const char* end)
{
    corners.clear();
    const size_t known = mesh.vertices.size();
    bool usable = true;
    for (p = SkipSpace(p, end); p < end; p = SkipSpace(WordEnd(p, end), end))
    {
        long number = 0;
        const char* digits = (*p == '+') ? p + 1 : p;
        const std::from_chars_result r = std::from_chars(digits, end, number);
        if (r.ec != std::errc())
            break; // like "%d": the face ends at the first group without a number
        const long index = number > 0 ? number - 1 : long(known) + number;
        if (number == 0 || index < 0 || size_t(index) >= known || index > 0xFFFF) usable = false;
        corners.push_back(uint32_t(index));
    }
    if (!usable || corners.size() < 3)
    {
        if (!corners.empty()) ++skippedFaces;
        return;
    }
    auto triangle = [this](uint32_t a, uint32_t b, uint32_t c)
    {
        mesh.indices.push_back(uint16_t(a));
        mesh.indices.push_back(uint16_t(b));
        mesh.indices.push_back(uint16_t(c));
    };
    if (corners.size() == 4)
    {
        triangle(corners[0], corners[1], corners[2]);
        triangle(corners[2], corners[1], corners[3]);
        return;
    }
    for (size_t i = 1; i + 1 < corners.size(); ++i)
        triangle(corners[0], corners[i], corners[i + 1]);
}

void tavObjReader::UseMaterial(const std::string& name)
{
    for (const tavMaterialData& m : mesh.materials)
        if (m.name == name) return;
    tavMaterialData m;
    m.name = name;
    mesh.materials.push_back(m);
    log.push_back("Creating material: " + name);
}

void tavObjReader::Finish()
{
    tavMeshPart part;
    part.material = 0;
    part.faceCount = uint32_t(mesh.indices.size() / 3);
    part.vertexCount = uint32_t(mesh.vertices.size());
    part.lowestIndex = tavLowestIndex(part, mesh.indices);
    mesh.parts.push_back(part);
    mesh.version = 20;
    mesh.bounds = tavComputeBounds(mesh.vertices);
    if (skippedFaces)
        log.push_back("Faces skipped (a corner names no vertex): " + std::to_string(skippedFaces));
}
