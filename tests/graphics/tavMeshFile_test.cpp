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
    Image& put(uint32_t v, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            b.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
    Image& u16(uint16_t v) { return put(v, 2); }
    Image& u32(uint32_t v) { return put(v, 4); }
    Image& text(const std::string& s)
    {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    // Floats first, first + 1, ... : every field of a block tells where it came from.
    Image& run(float first, int count)
    {
        for (int i = 0; i < count; ++i)
        {
            const float f = first + float(i);
            uint32_t v;
            std::memcpy(&v, &f, 4);
            u32(v);
        }
        return *this;
    }
};

// The fields of a plain record (or of a vector of them) in their order.
template <class T, class S> std::vector<T> As(const S* s, size_t count = 1)
{
    std::vector<T> v(sizeof(S) * count / sizeof(T));
    std::memcpy(v.data(), s, sizeof(S) * count);
    return v;
}

template <class T> std::vector<T> Seq(T first, int count)
{
    std::vector<T> v;
    for (int i = 0; i < count; ++i)
        v.push_back(first + T(i));
    return v;
}

// Colours a, r, g, b from 100, 200, 300, 400; power 500; then the names.
Image& MaterialBlock(Image& im, const std::vector<std::string>& names)
{
    for (float base : {100.f, 200.f, 300.f, 400.f})
        im.run(base, 4);
    im.run(500, 1).u32(uint32_t(names.size()));
    for (const std::string& n : names)
        im.u32(uint32_t(n.size())).text(n);
    return im;
}

void ExpectMaterialBlock(const std::vector<tavMaterialData>& ms, const char* texture)
{
    ASSERT_EQ(ms.size(), 1u);
    // The file order is a, r, g, b; the data keeps r, g, b, a.
    const float* colours[4] = {ms[0].ambient, ms[0].diffuse, ms[0].emissive, ms[0].specular};
    for (int c = 0; c < 4; ++c)
    {
        const float base = 100.f * float(c + 1);
        EXPECT_EQ(As<float>(colours[c], 4),
                  (std::vector<float>{base + 1, base + 2, base + 3, base}))
            << "colour " << c;
    }
    EXPECT_EQ(ms[0].power, 500.f);
    EXPECT_EQ(ms[0].textures,
              texture ? std::vector<std::string>{texture} : std::vector<std::string>{});
}

// Two vertices (floats 1..16), four indices, then the counted blocks.
Image Head(uint16_t version, std::vector<uint32_t> counts)
{
    Image im;
    im.u16(version).u32(2).u32(4);
    for (uint32_t c : counts)
        im.u32(c);
    im.run(1, 16).u16(1).u16(0).u16(1).u16(65535);
    return im;
}

Image& PartRecord(Image& im, uint32_t first)
{
    for (uint32_t i = 0; i < 6; ++i)
        im.u32(first + i);
    return im;
}

// One part (words 10..15), one material, the bounding volumes (floats from 1000).
Image StaticFile(tavMeshFile::Order order)
{
    Image im = Head(20, {1, 1});
    if (order == tavMeshFile::WithBounds)
        MaterialBlock(PartRecord(im, 10), {"wall.tga"}).run(1000, 13);
    else
        PartRecord(MaterialBlock(im, {}), 10);
    return im;
}

template <class D> void ExpectHead(const D& d)
{
    EXPECT_EQ(As<float>(d.vertices.data(), d.vertices.size()), Seq(1.f, 16));
    EXPECT_EQ(d.indices, (std::vector<uint16_t>{1, 0, 1, 65535}));
}

void ExpectStaticHead(const tavStaticMeshData& d)
{
    ExpectHead(d);
    ASSERT_EQ(d.parts.size(), 1u);
    EXPECT_EQ(As<uint32_t>(&d.parts[0]), Seq(10u, 6));
}

tavMeshFileResult Static(const Image& im, tavMeshFile::Order order, tavStaticMeshData& d,
                         size_t size = size_t(-1))
{
    return tavMeshFile::ParseStatic(im.b.data(), std::min(size, im.b.size()), order, d, nullptr);
}
} // namespace

// With bounds the parts come before the materials; the simple order has
// the materials first and no bounds.
TEST(tavMeshFile, StaticFilesLoadEveryFieldFromItsPlaceAndWriteTheSameBytes)
{
    for (auto order : {tavMeshFile::WithBounds, tavMeshFile::Simple})
    {
        SCOPED_TRACE(order);
        const Image im = StaticFile(order);
        tavStaticMeshData d;
        ASSERT_EQ(Static(im, order, d), tavMeshFileResult::Ok);
        EXPECT_EQ(d.version, 20);
        ExpectStaticHead(d);
        ExpectMaterialBlock(d.materials, order == tavMeshFile::WithBounds ? "wall.tga" : nullptr);
        const bool bounds = order == tavMeshFile::WithBounds;
        EXPECT_EQ(As<float>(&d.bounds), bounds ? Seq(1000.f, 13) : std::vector<float>(13, 0.f));
        EXPECT_EQ(tavMeshFile::WriteStatic(d, order), im.b);
    }
    // Without the bounding volumes the other order runs out of bytes.
    tavStaticMeshData d;
    EXPECT_EQ(Static(StaticFile(tavMeshFile::Simple), tavMeshFile::WithBounds, d),
              tavMeshFileResult::Damaged);
    EXPECT_EQ(d.version, 0);
}

TEST(tavMeshFile, TextureListEndsAtAnEmptyOrOverlongNameAndKeepsEightNames)
{
    // Count 2, first length 0 (or too long): no textures, and the parts
    // start right after that length word.
    for (uint32_t ender : {0u, 64u, 0xFFFFFFFFu})
    {
        Image im = Head(20, {1, 1});
        for (float base : {100.f, 200.f, 300.f, 400.f})
            im.run(base, 4);
        PartRecord(im.run(500, 1).u32(2).u32(ender), 10);
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
    Image im = Head(20, {1, 1});
    PartRecord(MaterialBlock(im, ten), 10);
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
// Bone block: id, name, part record from `part`, pivot from `rest`, the
// rest words 7001..7005, the keyframes (floats from `key`), then the count
// of `children` blocks the caller appends.
Image& BoneBlock(Image& im, uint32_t id, const std::string& name, uint32_t part, float rest,
                 uint32_t keyframes, float key, uint32_t children)
{
    PartRecord(im.u32(id).u32(uint32_t(name.size())).text(name), part);
    im.run(rest, 3).u32(7001).u32(7002);
    im.u32(keyframes).u32(7003).u32(7004).u32(7005);
    return im.run(key, int(keyframes) * 8).u32(children);
}

Image DynamicFile()
{
    Image im = Head(0x018C, {1, 3, 2});
    BoneBlock(im, 5, "root", 10, 20, 1, 30, 1);
    BoneBlock(im, 6, "arm", 40, 50, 2, 60, 0);
    im.u32(1).u32(2).u32(3).u32(4); // next, to, from, duration
    im.u32(5).u32(6).u32(7).u32(8);
    return MaterialBlock(im, {"skin.tga"}).run(1000, 13);
}

tavMeshFileResult Dynamic(const Image& im, tavDynamicMeshData& d, size_t size = size_t(-1),
                          std::string* why = nullptr)
{
    return tavMeshFile::ParseDynamic(im.b.data(), std::min(size, im.b.size()), d, why);
}
} // namespace

TEST(tavMeshFile, DynamicFileLoadsEveryFieldFromItsPlaceAndWritesTheSameBytes)
{
    const Image im = DynamicFile();
    tavDynamicMeshData d;
    ASSERT_EQ(Dynamic(im, d), tavMeshFileResult::Ok);
    EXPECT_EQ(d.fileVersion, 396);
    ExpectHead(d);
    EXPECT_EQ(d.numKeyframes, 3u);
    EXPECT_EQ(tavCountBones(d.root), 2u);

    const tavBoneData& root = d.root;
    EXPECT_EQ(root.boneId, 5u);
    EXPECT_EQ(root.name, "root");
    EXPECT_EQ(As<uint32_t>(&root.part), Seq(10u, 6));
    EXPECT_EQ(As<float>(root.pivot, 3), Seq(20.f, 3));
    EXPECT_EQ(As<uint32_t>(root.restA, 2), Seq(7001u, 2));
    EXPECT_EQ(As<uint32_t>(root.restB, 3), Seq(7003u, 3));
    ASSERT_EQ(root.keyframes.size(), 1u);
    EXPECT_EQ(As<float>(root.keyframes.data()), Seq(30.f, 8));
    ASSERT_EQ(root.children.size(), 1u);
    const tavBoneData& arm = root.children[0];
    EXPECT_EQ(arm.boneId, 6u);
    EXPECT_EQ(arm.name, "arm");
    EXPECT_EQ(As<uint32_t>(&arm.part), Seq(40u, 6));
    EXPECT_EQ(As<float>(arm.keyframes.data(), arm.keyframes.size()), Seq(60.f, 16));
    EXPECT_TRUE(arm.children.empty());

    // Stored next, to, from, duration; kept from, to, duration, next.
    ASSERT_EQ(d.animations.size(), 2u);
    EXPECT_EQ(As<uint32_t>(d.animations.data(), 2),
              (std::vector<uint32_t>{3, 2, 4, 1, 7, 6, 8, 5}));
    ExpectMaterialBlock(d.materials, "skin.tga");
    EXPECT_EQ(As<float>(&d.bounds), Seq(1000.f, 13));

    EXPECT_EQ(tavMeshFile::WriteDynamic(d), im.b);
}

TEST(tavMeshFile, WrongVersionsAreRefusedAndNamed)
{
    tavStaticMeshData s;
    std::string why;
    const Image v21 = Head(21, {0, 0});
    EXPECT_EQ(tavMeshFile::ParseStatic(v21.b.data(), v21.b.size(), tavMeshFile::Simple, s, &why),
              tavMeshFileResult::WrongVersion);
    EXPECT_EQ(why, "version 21, not 20");
    const Image edm = DynamicFile();
    EXPECT_EQ(Static(edm, tavMeshFile::Simple, s), tavMeshFileResult::WrongVersion);
    tavDynamicMeshData d;
    EXPECT_EQ(Dynamic(Head(20, {0, 0}), d), tavMeshFileResult::WrongVersion);
    // Every cut of a good file is refused and leaves the data empty: the
    // mesh file fuzz harness checks that from its corpus of whole files.
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
        tavStaticMeshData s;
        EXPECT_EQ(Static(im.run(0, 13), tavMeshFile::WithBounds, s), tavMeshFileResult::Damaged)
            << field;
    }
    Image keys;
    BoneBlock(keys.u16(396).u32(0).u32(0).u32(0).u32(0).u32(0), 1, "", 0, 0, 0, 0, 0);
    Image kids = keys;
    keys.b[keys.b.size() - 4 - 12 - 4] = 0xFF; // keyframe count 0x..FF
    keys.b[keys.b.size() - 4 - 12 - 1] = 0xFF;
    kids.b[kids.b.size() - 1] = 0xFF; // child count 0xFF000000
    tavDynamicMeshData d;
    EXPECT_EQ(Dynamic(keys, d), tavMeshFileResult::Damaged);
    EXPECT_EQ(Dynamic(kids, d), tavMeshFileResult::Damaged);

    // A chain of one-child bones: as deep as allowed loads, one more does not.
    for (int depth : {tavMeshFile::MaxBoneDepth, tavMeshFile::MaxBoneDepth + 1})
    {
        Image chain;
        chain.u16(396).u32(0).u32(0).u32(0).u32(0).u32(0);
        for (int i = 0; i <= depth; ++i)
            BoneBlock(chain, uint32_t(i), "b", 0, 0, 0, 0, i < depth ? 1 : 0);
        std::string why;
        const bool allowed = depth == tavMeshFile::MaxBoneDepth;
        EXPECT_EQ(Dynamic(chain.run(0, 13), d, size_t(-1), &why),
                  allowed ? tavMeshFileResult::Ok : tavMeshFileResult::Damaged)
            << why;
        if (allowed)
        {
            EXPECT_EQ(tavCountBones(d.root), uint32_t(depth + 1));
        }
    }
}

TEST(tavMeshData, APartThatReachesPastItsBuffersDoesNotFit)
{
    const std::vector<tavMeshVertex> v(3, tavMeshVertex{});
    const std::vector<uint16_t> idx = {0, 1, 2, 2, 1, 3};
    // faces, first face, first vertex: index 3 has no vertex; 0, 1 then 2
    // from vertex 1 reach past the three; faces past the indices, whatever
    // the overflow.
    const struct
    {
        uint32_t faces, faceStart, vertexStart;
        bool fits;
    } cases[] = {{1, 0, 0, true}, {2, 0, 0, false}, {1, 0, 1, false}, {1, 0xFFFFFFFFu, 0, false}};
    for (const auto& c : cases)
    {
        tavMeshPart p;
        p.faceCount = c.faces, p.faceStart = c.faceStart, p.vertexStart = c.vertexStart;
        EXPECT_EQ(tavPartFits(p, v, idx), c.fits) << c.faces << " " << c.faceStart;
    }
    tavMeshPart p;
    p.faceCount = 1, p.faceStart = 1;
    EXPECT_EQ(tavLowestIndex(p, idx), 1);
}
