#include "graphics/tav3dsReader.h"

#include "graphics/tavMeshBytes.h"

#include <cmath>
#include <cstdio>

namespace
{
const uint32_t HeaderBytes = 6;

std::string Line(const char* label, uint64_t value)
{
    return label + std::to_string(value);
}

std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0)
{
    char text[128];
    std::snprintf(text, sizeof(text), format, a, b, c, d);
    return text;
}
} // namespace

bool tav3dsReader::Read(const char* path)
{
    std::vector<uint8_t> image;
    if (!tavReadWholeFile(path, image))
    {
        *this = tav3dsReader();
        log.push_back(std::string("Failed opening .3DS file: ") + (path ? path : ""));
        return false;
    }
    Parse(image.data(), image.size());
    return true;
}

void tav3dsReader::Parse(const uint8_t* bytes, size_t size)
{
    *this = tav3dsReader();
    log.push_back("3DS Model Import");
    tavByteReader in(bytes, size);
    while (in.Remaining() > 0)
    {
        const uint16_t id = in.U16();
        const uint32_t length = in.U32();
        if (!in.Ok() || id == 0)
        {
            log.push_back("Abnormal termination");
            break;
        }
        if (!Chunk(in, id, length)) break;
        if (!in.Ok())
        {
            log.push_back("Abnormal termination");
            break;
        }
    }
    Finish();
}

bool tav3dsReader::Chunk(tavByteReader& in, uint16_t id, uint32_t length)
{
    bool handled = true;
    switch (id)
    {
    case 0x4D4D:
        log.push_back(Line("File Length: ", length));
        return true;
    case 0x0002:
        log.push_back(Line("File Version: ", in.U32()));
        return true;
    case 0x3D3D:
        log.push_back("Object Mesh");
        return true;
    case 0x3D3E:
        log.push_back(Line("Mesh Version: ", in.U32()));
        return true;
    case 0x4000:
        log.push_back("Object Name: " + in.ZeroTerminated());
        return true;
    default:
        break;
    }
    // A second triangle mesh ends the walk: MeshChunk says so.
    if (!MeshChunk(in, id, handled) || handled) return handled;
    if (MaterialChunk(in, id)) return true;
    // Not read here: skipped whole. A length shorter than its own header
    // would walk backwards, so it ends the walk.
    if (length < HeaderBytes)
    {
        log.push_back("Abnormal termination");
        return false;
    }
    const uint32_t rest = length - HeaderBytes;
    if (rest >= in.Remaining()) return false; // skipped to the end of the file or past it
    in.Skip(rest);
    return true;
}

bool tav3dsReader::MeshChunk(tavByteReader& in, uint16_t id, bool& handled)
{
    handled = true;
    switch (id)
    {
    case 0x4100:
        // Only the first triangle mesh of the file is read.
        if (++triangleMeshes > 1)
        {
            handled = false;
            return false;
        }
        log.push_back("Triangle Mesh");
        return true;
    case 0x4110:
        Vertices(in);
        return true;
    case 0x4120:
        Faces(in);
        return true;
    case 0x4130:
        Group(in);
        return true;
    case 0x4140:
        TextureCoordinates(in);
        return true;
    default:
        handled = false;
        return true;
    }
}

bool tav3dsReader::MaterialChunk(tavByteReader& in, uint16_t id)
{
    switch (id)
    {
    case 0xAFFF:
        log.push_back("Materials Chunk");
        mesh.materials.push_back(tavMaterialData());
        textureSlot = 0;
        break;
    case 0xA000:
    {
        const std::string name = in.ZeroTerminated();
        if (Current()) Current()->name = name;
        log.push_back("Material Name: " + name);
        break;
    }
    case 0xA010:
        colour = Ambient;
        break;
    case 0xA020:
        colour = Diffuse;
        break;
    case 0xA030:
        colour = Specular;
        break;
    case 0x0011:
        SetColour(in);
        break;
    case 0xA040:
        percentage = Shininess;
        break;
    case 0xA050:
        percentage = Transparency;
        break;
    case 0x0030:
        SetPercentage(in, false);
        break;
    case 0x0031:
        SetPercentage(in, true);
        break;
    case 0xA200:
        textureSlot = Current() ? Current()->textures.size() : 0;
        break;
    case 0xA300:
    {
        const std::string name = in.ZeroTerminated();
        tavMaterialData* m = Current();
        if (in.Ok() && m && textureSlot < tavMaterialData::MaxTextures)
        {
            if (m->textures.size() <= textureSlot) m->textures.resize(textureSlot + 1);
            m->textures[textureSlot] = name;
        }
        log.push_back("Texture Filename: " + name);
        break;
    }
    default:
        return false;
    }
    return true;
}

void tav3dsReader::Vertices(tavByteReader& in)
{
    const uint16_t count = in.U16();
    log.push_back(Line("Vertices Chunk: ", count));
    if (!in.Has(count, 12)) return;
    for (uint16_t i = 0; i < count; ++i)
    {
        tavMeshVertex v = {};
        for (float& f : v.position)
            f = in.F32();
        mesh.vertices.push_back(v);
    }
}

void tav3dsReader::Faces(tavByteReader& in)
{
    const uint16_t count = in.U16();
    log.push_back(Line("Faces Chunk: ", count));
    if (!in.Has(count, 8)) return;
    std::vector<tavMeshVertex>& v = mesh.vertices;
    for (uint16_t i = 0; i < count; ++i)
    {
        const uint16_t a = in.U16(), b = in.U16(), c = in.U16();
        in.U16(); // edge flags
        mesh.indices.push_back(a);
        mesh.indices.push_back(b);
        mesh.indices.push_back(c);
        if (a >= v.size() || b >= v.size() || c >= v.size()) continue;
        // The face normal goes to all three corners: a shared vertex keeps
        // the normal of the last face read.
        float ab[3], ac[3], n[3];
        for (int k = 0; k < 3; ++k)
        {
            ab[k] = v[a].position[k] - v[b].position[k];
            ac[k] = v[a].position[k] - v[c].position[k];
        }
        n[0] = ab[1] * ac[2] - ab[2] * ac[1];
        n[1] = ab[2] * ac[0] - ab[0] * ac[2];
        n[2] = ab[0] * ac[1] - ab[1] * ac[0];
        const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        for (float& f : n)
            f = length > 0 ? f / length : 0.0f;
        for (uint16_t corner : {a, b, c})
            for (int k = 0; k < 3; ++k)
                v[corner].normal[k] = n[k];
    }
}

void tav3dsReader::Group(tavByteReader& in)
{
    log.push_back("Renderable Part");
    const std::string name = in.ZeroTerminated();
    const uint16_t count = in.U16();
    if (!in.Has(count, 2)) return;
    uint16_t first = 0;
    for (uint16_t i = 0; i < count; ++i)
    {
        const uint16_t face = in.U16();
        if (i == 0) first = face;
    }
    tavMeshPart part;
    for (size_t m = 0; m < mesh.materials.size(); ++m)
        if (mesh.materials[m].name == name)
        {
            part.material = uint32_t(m);
            break;
        }
    part.faceCount = count;
    part.faceStart = first;
    part.vertexCount = uint32_t(count) * 3;
    mesh.parts.push_back(part);
    log.push_back(Line("Attribute ID: ", part.material));
    log.push_back(Line("Face Start: ", part.faceStart));
    log.push_back(Line("Face Count: ", part.faceCount));
    log.push_back(Line("Vertex Start: ", part.vertexStart));
    log.push_back(Line("Vertex Count: ", part.vertexCount));
}

void tav3dsReader::TextureCoordinates(tavByteReader& in)
{
    const uint16_t count = in.U16();
    log.push_back(Line("Texture Coords: ", count));
    if (!in.Has(count, 8)) return;
    for (uint16_t i = 0; i < count; ++i)
    {
        const float u = in.F32(), v = in.F32();
        if (i < mesh.vertices.size())
        {
            mesh.vertices[i].u = u;
            mesh.vertices[i].v = v;
        }
    }
}

void tav3dsReader::SetColour(tavByteReader& in)
{
    uint8_t rgb[3];
    in.Bytes(rgb, 3);
    tavMaterialData* m = Current();
    float* target = nullptr;
    const char* format = nullptr;
    if (m && colour == Ambient)
        target = m->ambient, format = "Ambient: %.1f, %.1f, %.1f, %.1f";
    else if (m && colour == Diffuse)
        target = m->diffuse, format = "Diffuse: %.1f, %.1f, %.1f, %.1f";
    else if (m && colour == Specular)
        target = m->specular, format = "Specular: %.1f, %.1f, %.1f, %.1f";
    colour = NoColour;
    if (!target || !in.Ok()) return;
    for (int k = 0; k < 3; ++k)
        target[k] = float(rgb[k]) / 255.0f;
    target[3] = 1.0f;
    log.push_back(Format(format, target[0], target[1], target[2], target[3]));
}

void tav3dsReader::SetPercentage(tavByteReader& in, bool asFloat)
{
    const float value = (asFloat ? in.F32() : float(in.U16())) * 0.01f;
    tavMaterialData* m = Current();
    const Percentage which = percentage;
    percentage = NoPercentage;
    if (!m || !in.Ok()) return;
    if (which == Shininess)
    {
        m->shininess = value;
        log.push_back(Format("Shininess: %.1f", value));
    }
    else if (which == Transparency)
    {
        m->diffuse[3] = 1.0f - value;
        log.push_back(Format("Transparency: %.1f", value));
    }
}

tavMaterialData* tav3dsReader::Current()
{
    return mesh.materials.empty() ? nullptr : &mesh.materials.back();
}

void tav3dsReader::Finish()
{
    mesh.version = 20;
    mesh.bounds = tavComputeBounds(mesh.vertices);
}
