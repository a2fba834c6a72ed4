// The engine's mesh files against byte images written field by field from
// the file layouts here, so a field out of place cannot pass; round trips;
// and damaged files, which are refused without reading past the image or
// allocating what a count claims.
#include "graphics/tavMeshFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
// Little-endian image built by hand, independent of the engine's writer.
struct Image
{
    std::vector<uint8_t> b;
    Image& u16(uint16_t v)
    {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
        return *this;
    }
    Image& u32(uint32_t v)
    {
        for (int s = 0; s < 32; s += 8)
            b.push_back(uint8_t(v >> s));
        return *this;
    }
    Image& f32(float f)
    {
        uint32_t v;
        std::memcpy(&v, &f, 4);
        return u32(v);
    }
    Image& text(const std::string& s)
    {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    // Floats first, first + 1, ... : every field of a block tells where it came from.
    Image& run(float first, int count)
    {
        for (int i = 0; i < count; ++i)
            f32(first + float(i));
        return *this;
    }
};

// Colours a, r, g, b from 100, 200, 300, 400; power 500; then the names.
Image& MaterialBlock(Image& im, const std::vector<std::string>& names)
{
    for (float base : {100.f, 200.f, 300.f, 400.f})
        im.run(base, 4);
    im.f32(500).u32(uint32_t(names.size()));
    for (const std::string& n : names)
        im.u32(uint32_t(n.size())).text(n);
    return im;
}

void ExpectMaterialBlock(const tavMaterialData& m)
{
    // The file order is a, r, g, b; the data keeps r, g, b, a.
    const float* colours[4] = {m.ambient, m.diffuse, m.emissive, m.specular};
    for (int c = 0; c < 4; ++c)
    {
        const float base = 100.f * float(c + 1);
        EXPECT_EQ(colours[c][3], base) << "alpha of colour " << c;
        EXPECT_EQ(colours[c][0], base + 1) << "red of colour " << c;
        EXPECT_EQ(colours[c][1], base + 2);
        EXPECT_EQ(colours[c][2], base + 3);
    }
    EXPECT_EQ(m.power, 500.f);
}

// Two vertices (floats 1..16), four indices, one part (words 10..15).
Image StaticHead(uint16_t version, uint32_t parts, uint32_t materials)
{
    Image im;
    im.u16(version).u32(2).u32(4).u32(parts).u32(materials);
    im.run(1, 16);
    im.u16(1).u16(0).u16(1).u16(65535);
    return im;
}

Image& PartRecord(Image& im, uint32_t first)
{
    for (uint32_t i = 0; i < 6; ++i)
        im.u32(first + i);
    return im;
}

void ExpectStaticHead(const tavStaticMeshData& d)
{
    ASSERT_EQ(d.vertices.size(), 2u);
    EXPECT_EQ(d.vertices[0].position[0], 1.f);
    EXPECT_EQ(d.vertices[0].normal[0], 4.f);
    EXPECT_EQ(d.vertices[0].u, 7.f);
    EXPECT_EQ(d.vertices[1].v, 16.f);
    EXPECT_EQ(d.indices, (std::vector<uint16_t>{1, 0, 1, 65535}));
    ASSERT_EQ(d.parts.size(), 1u);
    EXPECT_EQ(d.parts[0].material, 10u);
    EXPECT_EQ(d.parts[0].faceCount, 11u);
    EXPECT_EQ(d.parts[0].faceStart, 12u);
    EXPECT_EQ(d.parts[0].vertexCount, 13u);
    EXPECT_EQ(d.parts[0].vertexStart, 14u);
    EXPECT_EQ(d.parts[0].lowestIndex, 15u);
}

tavMeshFileResult Static(const Image& im, tavMeshFile::Order order, tavStaticMeshData& d)
{
    return tavMeshFile::ParseStatic(im.b.data(), im.b.size(), order, d, nullptr);
}
} // namespace

TEST(tavMeshFile, StaticFileWithBoundsLoadsEveryFieldFromItsPlaceAndWritesTheSameBytes)
{
    Image im = StaticHead(20, 1, 1);
    PartRecord(im, 10);
    MaterialBlock(im, {"wall.tga"});
    im.run(1000, 13); // box max, box min, centroid, half extents, radius

    tavStaticMeshData d;
    ASSERT_EQ(Static(im, tavMeshFile::WithBounds, d), tavMeshFileResult::Ok);
    EXPECT_EQ(d.version, 20);
    ExpectStaticHead(d);
    ASSERT_EQ(d.materials.size(), 1u);
    ExpectMaterialBlock(d.materials[0]);
    EXPECT_EQ(d.materials[0].textures, std::vector<std::string>{"wall.tga"});
    EXPECT_EQ(d.bounds.boxMax[0], 1000.f);
    EXPECT_EQ(d.bounds.boxMax[2], 1002.f);
    EXPECT_EQ(d.bounds.boxMin[0], 1003.f);
    EXPECT_EQ(d.bounds.centroid[0], 1006.f);
    EXPECT_EQ(d.bounds.halfExtents[2], 1011.f);
    EXPECT_EQ(d.bounds.radius, 1012.f);
    EXPECT_EQ(tavMeshFile::WriteStatic(d, tavMeshFile::WithBounds), im.b);
}

TEST(tavMeshFile, SimpleStaticFileHasMaterialsBeforePartsAndNoBounds)
{
    Image im = StaticHead(20, 1, 1);
    MaterialBlock(im, {});
    PartRecord(im, 10);

    tavStaticMeshData d;
    ASSERT_EQ(Static(im, tavMeshFile::Simple, d), tavMeshFileResult::Ok);
    ExpectStaticHead(d);
    ASSERT_EQ(d.materials.size(), 1u);
    ExpectMaterialBlock(d.materials[0]);
    EXPECT_TRUE(d.materials[0].textures.empty());
    EXPECT_EQ(tavMeshFile::WriteStatic(d, tavMeshFile::Simple), im.b);
    // Without the bounding volumes the other order runs out of bytes.
    EXPECT_EQ(Static(im, tavMeshFile::WithBounds, d), tavMeshFileResult::Damaged);
    EXPECT_EQ(d.version, 0);
}

TEST(tavMeshFile, TextureListEndsAtAnEmptyOrOverlongNameAndKeepsEightNames)
{
    // Count 2, first length 0: no textures, and the parts start right after
    // that length word.
    for (uint32_t ender : {0u, 64u, 0xFFFFFFFFu})
    {
        Image im = StaticHead(20, 1, 1);
        for (float base : {100.f, 200.f, 300.f, 400.f})
            im.run(base, 4);
        im.f32(500).u32(2).u32(ender);
        PartRecord(im, 10);
        tavStaticMeshData d;
        ASSERT_EQ(Static(im, tavMeshFile::Simple, d), tavMeshFileResult::Ok) << ender;
        EXPECT_TRUE(d.materials[0].textures.empty());
        ExpectStaticHead(d);
    }
    // A 63-byte name is a name; a 0 byte inside one ends it.
    const std::string longest(63, 'x');
    std::vector<std::string> ten = {longest, std::string("a\0b", 3)};
    for (int i = 2; i < 10; ++i)
        ten.push_back("t" + std::to_string(i) + ".tga");
    Image im = StaticHead(20, 1, 1);
    MaterialBlock(im, ten);
    PartRecord(im, 10);
    tavStaticMeshData d;
    ASSERT_EQ(Static(im, tavMeshFile::Simple, d), tavMeshFileResult::Ok);
    ASSERT_EQ(d.materials[0].textures.size(), 8u); // the ninth and tenth are read and dropped
    EXPECT_EQ(d.materials[0].textures[0], longest);
    EXPECT_EQ(d.materials[0].textures[1], "a");
    EXPECT_EQ(d.materials[0].textures[7], "t7.tga");
    ExpectStaticHead(d);
}

namespace
{
// Bone block: id, name, part record from `part`, pivot and rest values from
// `rest`, the keyframes (floats from `key`), then `children` child blocks
// appended by the caller.
Image& BoneBlock(Image& im, uint32_t id, const std::string& name, uint32_t part, float rest,
                 uint32_t keyframes, float key, uint32_t children)
{
    im.u32(id).u32(uint32_t(name.size())).text(name);
    PartRecord(im, part);
    im.run(rest, 3).u32(7001).u32(7002);
    im.u32(keyframes).u32(7003).u32(7004).u32(7005);
    im.run(key, int(keyframes) * 8);
    im.u32(children);
    return im;
}

Image DynamicFile()
{
    Image im;
    im.u16(0x018C).u32(2).u32(4).u32(1).u32(3).u32(2);
    im.run(1, 16);
    im.u16(1).u16(0).u16(1).u16(65535);
    BoneBlock(im, 5, "root", 10, 20, 1, 30, 1);
    BoneBlock(im, 6, "arm", 40, 50, 2, 60, 0);
    im.u32(1).u32(2).u32(3).u32(4); // next, to, from, duration
    im.u32(5).u32(6).u32(7).u32(8);
    MaterialBlock(im, {"skin.tga"});
    im.run(1000, 13);
    return im;
}
} // namespace

TEST(tavMeshFile, DynamicFileLoadsEveryFieldFromItsPlaceAndWritesTheSameBytes)
{
    const Image im = DynamicFile();
    tavDynamicMeshData d;
    ASSERT_EQ(tavMeshFile::ParseDynamic(im.b.data(), im.b.size(), d, nullptr),
              tavMeshFileResult::Ok);
    EXPECT_EQ(d.fileVersion, 396);
    EXPECT_EQ(d.vertices.size(), 2u);
    EXPECT_EQ(d.vertices[1].v, 16.f);
    EXPECT_EQ(d.indices, (std::vector<uint16_t>{1, 0, 1, 65535}));
    EXPECT_EQ(d.numKeyframes, 3u);
    EXPECT_EQ(tavCountBones(d.root), 2u);

    const tavBoneData& root = d.root;
    EXPECT_EQ(root.boneId, 5u);
    EXPECT_EQ(root.name, "root");
    EXPECT_EQ(root.part.material, 10u);
    EXPECT_EQ(root.part.lowestIndex, 15u);
    EXPECT_EQ(root.pivot[0], 20.f);
    EXPECT_EQ(root.pivot[2], 22.f);
    EXPECT_EQ(root.restA[0], 7001u);
    EXPECT_EQ(root.restA[1], 7002u);
    EXPECT_EQ(root.restB[0], 7003u);
    EXPECT_EQ(root.restB[2], 7005u);
    ASSERT_EQ(root.keyframes.size(), 1u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(root.keyframes[0].k[i], 30.f + float(i)) << "keyframe float " << i;
    ASSERT_EQ(root.children.size(), 1u);
    const tavBoneData& arm = root.children[0];
    EXPECT_EQ(arm.boneId, 6u);
    EXPECT_EQ(arm.name, "arm");
    EXPECT_EQ(arm.part.faceCount, 41u);
    ASSERT_EQ(arm.keyframes.size(), 2u);
    EXPECT_EQ(arm.keyframes[1].k[7], 75.f);
    EXPECT_TRUE(arm.children.empty());

    ASSERT_EQ(d.animations.size(), 2u);
    EXPECT_EQ(d.animations[0].next, 1u);
    EXPECT_EQ(d.animations[0].toKeyframe, 2u);
    EXPECT_EQ(d.animations[0].fromKeyframe, 3u);
    EXPECT_EQ(d.animations[0].duration, 4u);
    EXPECT_EQ(d.animations[1].duration, 8u);
    ASSERT_EQ(d.materials.size(), 1u);
    ExpectMaterialBlock(d.materials[0]);
    EXPECT_EQ(d.materials[0].textures, std::vector<std::string>{"skin.tga"});
    EXPECT_EQ(d.bounds.boxMax[0], 1000.f);
    EXPECT_EQ(d.bounds.radius, 1012.f);

    EXPECT_EQ(tavMeshFile::WriteDynamic(d), im.b);
}

TEST(tavMeshFile, WrongVersionsAndEveryCutAreRefusedAndLeaveTheDataEmpty)
{
    tavStaticMeshData s;
    std::string why;
    Image v21 = StaticHead(21, 0, 0);
    EXPECT_EQ(tavMeshFile::ParseStatic(v21.b.data(), v21.b.size(), tavMeshFile::Simple, s, &why),
              tavMeshFileResult::WrongVersion);
    EXPECT_EQ(why, "version 21, not 20");
    Image edm = DynamicFile();
    EXPECT_EQ(Static(edm, tavMeshFile::Simple, s), tavMeshFileResult::WrongVersion);
    tavDynamicMeshData d;
    Image stat = StaticHead(20, 0, 0);
    EXPECT_EQ(tavMeshFile::ParseDynamic(stat.b.data(), stat.b.size(), d, nullptr),
              tavMeshFileResult::WrongVersion);

    for (size_t cut = 0; cut < edm.b.size(); ++cut)
    {
        ASSERT_NE(tavMeshFile::ParseDynamic(edm.b.data(), cut, d, nullptr), tavMeshFileResult::Ok)
            << cut;
        ASSERT_EQ(d.fileVersion, 0);
        ASSERT_TRUE(d.vertices.empty());
    }
    Image full = StaticHead(20, 1, 1);
    PartRecord(full, 10);
    MaterialBlock(full, {"wall.tga"});
    full.run(1000, 13);
    for (size_t cut = 0; cut < full.b.size(); ++cut)
    {
        ASSERT_NE(tavMeshFile::ParseStatic(full.b.data(), cut, tavMeshFile::WithBounds, s, nullptr),
                  tavMeshFileResult::Ok)
            << cut;
        ASSERT_EQ(s.version, 0);
    }
}

TEST(tavMeshFile, HugeCountsAndDeepBoneTreesAreRefusedWithoutAllocating)
{
    // Every count at its largest in turn: each is checked against the bytes
    // that follow before the reader makes room (ASan fails the test on a
    // multi-gigabyte allocation).
    for (int field = 0; field < 4; ++field)
    {
        Image im;
        im.u16(20);
        for (int f = 0; f < 4; ++f)
            im.u32(f == field ? 0xFFFFFFFFu : 0);
        im.run(0, 13);
        tavStaticMeshData s;
        EXPECT_EQ(Static(im, tavMeshFile::WithBounds, s), tavMeshFileResult::Damaged) << field;
    }
    Image keys;
    keys.u16(396).u32(0).u32(0).u32(0).u32(0).u32(0);
    BoneBlock(keys, 1, "", 0, 0, 0, 0, 0);
    Image kids = keys;
    keys.b[keys.b.size() - 4 - 12 - 4] = 0xFF; // keyframe count 0x..FF
    keys.b[keys.b.size() - 4 - 12 - 1] = 0xFF;
    kids.b[kids.b.size() - 1] = 0xFF; // child count 0xFF000000
    tavDynamicMeshData d;
    EXPECT_EQ(tavMeshFile::ParseDynamic(keys.b.data(), keys.b.size(), d, nullptr),
              tavMeshFileResult::Damaged);
    EXPECT_EQ(tavMeshFile::ParseDynamic(kids.b.data(), kids.b.size(), d, nullptr),
              tavMeshFileResult::Damaged);

    // A chain of one-child bones: as deep as allowed loads, one more does not.
    for (int depth : {tavMeshFile::MaxBoneDepth, tavMeshFile::MaxBoneDepth + 1})
    {
        Image chain;
        chain.u16(396).u32(0).u32(0).u32(0).u32(0).u32(0);
        for (int i = 0; i <= depth; ++i)
            BoneBlock(chain, uint32_t(i), "b", 0, 0, 0, 0, i < depth ? 1 : 0);
        chain.run(0, 13);
        std::string why;
        const tavMeshFileResult r =
            tavMeshFile::ParseDynamic(chain.b.data(), chain.b.size(), d, &why);
        if (depth == tavMeshFile::MaxBoneDepth)
        {
            EXPECT_EQ(r, tavMeshFileResult::Ok) << why;
            EXPECT_EQ(tavCountBones(d.root), uint32_t(depth + 1));
        }
        else
            EXPECT_EQ(r, tavMeshFileResult::Damaged);
    }
}

TEST(tavMeshData, APartThatReachesPastItsBuffersDoesNotFit)
{
    const std::vector<tavMeshVertex> v(3, tavMeshVertex{});
    const std::vector<uint16_t> idx = {0, 1, 2, 2, 1, 3};
    tavMeshPart p;
    p.faceCount = 1;
    EXPECT_TRUE(tavPartFits(p, v, idx));
    p.faceCount = 2; // index 3 has no vertex
    EXPECT_FALSE(tavPartFits(p, v, idx));
    p.faceCount = 1;
    p.vertexStart = 1; // 0, 1 then 2 reaches past the three vertices
    EXPECT_FALSE(tavPartFits(p, v, idx));
    p.vertexStart = 0;
    p.faceStart = 0xFFFFFFFFu; // faces past the indices, whatever the overflow
    EXPECT_FALSE(tavPartFits(p, v, idx));
    p.faceStart = 1;
    EXPECT_EQ(tavLowestIndex(p, idx), 1);
}
