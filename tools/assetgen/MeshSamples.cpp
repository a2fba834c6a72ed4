#include "MeshSamples.h"

#include "BinaryFile.h"

#include <cmath>
#include <cstring>
#include <sstream>

namespace assetgen
{
namespace
{
tavMaterialData Material(float r, float g, float b, const char* texture, const char* name)
{
    tavMaterialData m;
    const float rgba[4] = {r, g, b, 1};
    std::memcpy(m.diffuse, rgba, sizeof(rgba));
    std::memcpy(m.ambient, rgba, sizeof(rgba));
    m.power = 8;
    if (texture) m.textures.push_back(texture);
    m.name = name;
    return m;
}

tavMeshPart Part(uint32_t material, uint32_t faceStart, uint32_t faceCount, uint32_t vertexCount)
{
    tavMeshPart p;
    p.material = material;
    p.faceStart = faceStart;
    p.faceCount = faceCount;
    p.vertexCount = vertexCount;
    return p;
}

// 3DS chunks: id, length (header included), then the body.
struct Chunk
{
    explicit Chunk(uint16_t id) : id(id) {}
    Chunk& U16(uint32_t v)
    {
        Put16(body, v);
        return *this;
    }
    Chunk& F32(float f)
    {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        Put32(body, v);
        return *this;
    }
    Chunk& Text(const std::string& s)
    {
        body.insert(body.end(), s.begin(), s.end());
        body.push_back(0);
        return *this;
    }
    Chunk& Byte(uint8_t b)
    {
        body.push_back(b);
        return *this;
    }
    Chunk& Add(const Chunk& child)
    {
        const std::vector<uint8_t> bytes = child.Bytes();
        body.insert(body.end(), bytes.begin(), bytes.end());
        return *this;
    }
    std::vector<uint8_t> Bytes() const
    {
        std::vector<uint8_t> out;
        Put16(out, id);
        Put32(out, uint32_t(body.size() + 6));
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
    uint16_t id;
    std::vector<uint8_t> body;
};

Chunk Colour(uint16_t which, uint8_t r, uint8_t g, uint8_t b)
{
    return Chunk(which).Add(Chunk(0x0011).Byte(r).Byte(g).Byte(b));
}

Chunk Material3ds(const std::string& name, uint8_t r, uint8_t g, uint8_t b, const char* texture,
                  uint16_t transparency)
{
    Chunk m(0xAFFF);
    m.Add(Chunk(0xA000).Text(name));
    m.Add(Colour(0xA010, r / 4, g / 4, b / 4));
    m.Add(Colour(0xA020, r, g, b));
    m.Add(Colour(0xA030, 255, 255, 255));
    m.Add(Chunk(0xA040).Add(Chunk(0x0030).U16(40)));
    m.Add(Chunk(0xA050).Add(Chunk(0x0030).U16(transparency)));
    if (texture) m.Add(Chunk(0xA200).Add(Chunk(0x0030).U16(100)).Add(Chunk(0xA300).Text(texture)));
    return m;
}

Chunk TriangleMesh(const std::vector<tavMeshVertex>& v, const std::vector<uint16_t>& idx,
                   bool groups)
{
    Chunk points(0x4110);
    points.U16(uint32_t(v.size()));
    for (const tavMeshVertex& p : v)
        points.F32(p.position[0]).F32(p.position[1]).F32(p.position[2]);
    Chunk faces(0x4120);
    faces.U16(uint32_t(idx.size() / 3));
    for (size_t i = 0; i < idx.size(); i += 3)
        faces.U16(idx[i]).U16(idx[i + 1]).U16(idx[i + 2]).U16(7);
    if (groups)
    {
        // Sides (faces 0..7) in "Wood", top and bottom (8..11) in "Water".
        Chunk wood(0x4130), water(0x4130);
        wood.Text("Wood").U16(8);
        for (uint32_t f = 0; f < 8; ++f)
            wood.U16(f);
        water.Text("Water").U16(4);
        for (uint32_t f = 8; f < 12; ++f)
            water.U16(f);
        faces.Add(wood).Add(water);
    }
    Chunk uv(0x4140);
    uv.U16(uint32_t(v.size()));
    for (const tavMeshVertex& p : v)
        uv.F32(p.u).F32(p.v);
    Chunk matrix(0x4160); // the mesh's local axes: identity, skipped by the importer
    for (float f : {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f})
        matrix.F32(f);
    return Chunk(0x4100).Add(points).Add(uv).Add(matrix).Add(faces);
}

tavBoneData Bone(uint32_t id, const char* name, uint32_t faceStart, const float* pivot,
                 const tavKeyframe& a, const tavKeyframe& b)
{
    tavBoneData bone;
    bone.boneId = id;
    bone.name = name;
    bone.part = Part(id, faceStart, 12, 24);
    bone.part.vertexStart = id * 24;
    std::memcpy(bone.pivot, pivot, sizeof(bone.pivot));
    bone.keyframes = {a, b};
    return bone;
}
} // namespace

void MeshSamples::Box(const float* min, const float* max, std::vector<tavMeshVertex>& vertices,
                      std::vector<uint16_t>& indices)
{
    // Per face: the axis it faces along, its sign, and the two axes it spans.
    const int faces[6][4] = {{2, -1, 0, 1}, {0, 1, 2, 1}, {2, 1, 0, 1},
                             {0, -1, 2, 1}, {1, 1, 0, 2}, {1, -1, 0, 2}};
    const float corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    for (const auto& f : faces)
    {
        const uint16_t base = uint16_t(vertices.size());
        tavMeshVertex quad[4] = {};
        for (int c = 0; c < 4; ++c)
        {
            tavMeshVertex& v = quad[c];
            v.position[f[0]] = f[1] > 0 ? max[f[0]] : min[f[0]];
            v.position[f[2]] = corners[c][0] > 0 ? max[f[2]] : min[f[2]];
            v.position[f[3]] = corners[c][1] > 0 ? max[f[3]] : min[f[3]];
            v.normal[f[0]] = float(f[1]);
            v.u = corners[c][0];
            v.v = 1 - corners[c][1];
        }
        // Clockwise from outside: (b - a) x (c - a) points along the normal.
        float e1[3], e2[3];
        for (int k = 0; k < 3; ++k)
        {
            e1[k] = quad[1].position[k] - quad[0].position[k];
            e2[k] = quad[2].position[k] - quad[0].position[k];
        }
        const float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                            e1[0] * e2[1] - e1[1] * e2[0]};
        const bool flip = n[f[0]] * float(f[1]) < 0;
        for (int c = 0; c < 4; ++c)
            vertices.push_back(quad[flip ? 3 - c : c]);
        for (uint16_t i : {0, 1, 2, 0, 2, 3})
            indices.push_back(uint16_t(base + i));
    }
}

tavStaticMeshData MeshSamples::Crate()
{
    tavStaticMeshData mesh;
    mesh.version = 20;
    const float min[3] = {-1, -1, -1}, max[3] = {1, 1, 1};
    Box(min, max, mesh.vertices, mesh.indices);
    mesh.materials = {Material(0.8f, 0.6f, 0.3f, "caust0.tga", "Wood"),
                      Material(0.3f, 0.5f, 0.9f, "water.tex", "Water")};
    mesh.parts = {Part(0, 0, 8, 16), Part(1, 8, 4, 8)};
    mesh.parts[1].lowestIndex = 16;
    mesh.bounds = tavComputeBounds(mesh.vertices);
    return mesh;
}

tavDynamicMeshData MeshSamples::Arm()
{
    tavDynamicMeshData mesh;
    mesh.fileVersion = 396;
    // The post stands on the origin; the arm reaches out along +x from the
    // shoulder at (0.25, 1.75, 0).
    const float postMin[3] = {-0.25f, 0, -0.25f}, postMax[3] = {0.25f, 2, 0.25f};
    const float armMin[3] = {0.25f, 1.5f, -0.25f}, armMax[3] = {1.75f, 2, 0.25f};
    std::vector<uint16_t> post, arm;
    Box(postMin, postMax, mesh.vertices, post);
    std::vector<tavMeshVertex> armVertices;
    Box(armMin, armMax, armVertices, arm);
    mesh.vertices.insert(mesh.vertices.end(), armVertices.begin(), armVertices.end());
    mesh.indices = post;
    mesh.indices.insert(mesh.indices.end(), arm.begin(), arm.end()); // the arm's own numbering
    mesh.materials = {Material(0.9f, 0.9f, 0.9f, "caust0.tga", "Post"),
                      Material(0.9f, 0.2f, 0.2f, nullptr, "Arm")};
    const float ground[3] = {0, 0, 0}, shoulder[3] = {0.25f, 1.75f, 0};
    tavKeyframe rest, raised;
    const float half = std::sqrt(0.5f);
    raised.k[2] = half; // a quarter turn about z: the arm points up
    raised.k[3] = half;
    mesh.root = Bone(0, "post", 0, ground, rest, rest);
    mesh.root.children.push_back(Bone(1, "arm", 12, shoulder, rest, raised));
    mesh.numKeyframes = 2;
    mesh.animations = {{0, 1, 1000, 1}, {1, 0, 1000, 0}};
    mesh.bounds = tavComputeBounds(mesh.vertices);
    return mesh;
}

std::vector<uint8_t> MeshSamples::Crate3ds()
{
    const tavStaticMeshData crate = Crate();
    Chunk editor(0x3D3D);
    editor.Add(Chunk(0x3D3E).U16(3).U16(0));
    editor.Add(Material3ds("Wood", 204, 153, 76, "caust0.tga", 0));
    editor.Add(Material3ds("Water", 76, 128, 230, "water.tex", 25));
    editor.Add(Chunk(0x4000).Text("Crate").Add(TriangleMesh(crate.vertices, crate.indices, true)));
    // A second object: only the first triangle mesh is imported.
    std::vector<tavMeshVertex> small;
    std::vector<uint16_t> smallIndices;
    const float min[3] = {3, 3, 3}, max[3] = {4, 4, 4};
    Box(min, max, small, smallIndices);
    editor.Add(Chunk(0x4000).Text("Lid").Add(TriangleMesh(small, smallIndices, false)));
    Chunk keyframer(0xB000);
    keyframer.Add(Chunk(0xB00A).U16(5).Text("crate").U16(100));
    return Chunk(0x4D4D).Add(Chunk(0x0002).U16(3).U16(0)).Add(editor).Add(keyframer).Bytes();
}

std::string MeshSamples::CrateObj()
{
    // A box of eight corners with a pentagon roof point: quads for the sides
    // and the bottom, a fan of triangles and a pentagon for the top.
    std::ostringstream o;
    o << "# crate with a roof, written by the asset generator\n"
      << "mtllib crate.mtl\n"
      << "o Crate\n";
    const float c[9][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}, {-1, -1, 1},
                           {1, -1, 1},   {1, 1, 1},   {-1, 1, 1}, {0, 2, 0}};
    for (const auto& p : c)
        o << "v " << p[0] << " " << p[1] << " " << p[2] << "\n";
    for (int i = 0; i < 9; ++i)
        o << "vt " << (i & 1) << " " << ((i >> 1) & 1) << "\n";
    o << "vn 0 0 -1\nvn 0 0 1\nvn 0 1 0\n";
    o << "usemtl Wood\n"
      << "f 1/1/1 4/4/1 3/3/1 2/2/1\n"
      << "f 5/5/2 6/6/2 7/7/2 8/8/2\n"
      << "f 1//1 5//1 8//1 4//1\n"
      << "f 2 3 7 6\n"
      << "usemtl Water\n"
      << "f 1/1 2/2 6/6 5/5\n"
      << "o Roof\n"
      << "f -6 -5 -1\n"
      << "f 7/7/3 8/8/3 9/9/3\n"
      << "f 3 4 9 -3 -4\n"
      << "usemtl Wood\n";
    return o.str();
}

std::string MeshSamples::CrateMtl()
{
    return "newmtl Wood\nKd 0.8 0.6 0.3\nmap_Kd caust0.tga\n"
           "newmtl Water\nKd 0.3 0.5 0.9\nmap_Kd water.tex\n";
}

} // namespace assetgen
