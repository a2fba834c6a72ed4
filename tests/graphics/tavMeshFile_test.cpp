// The mesh files against byte images written field by field here: a field out of place fails.
#include "graphics/tavMeshFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

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
    Image& u32(uint32_t v) { return put(v, 4); }
    Image& text(const std::string& s) { return b.insert(b.end(), s.begin(), s.end()), *this; }
    // Values first, first + 1, ... as 32-bit words: every field tells where it came from.
    template <class T> Image& seq(T first, int count)
    {
        for (T v = first; v < first + T(count); v += T(1))
            b.insert(b.end(), (uint8_t*)&v, (uint8_t*)&v + 4);
        return *this;
    }
    // Colours a, r, g, b from 100, 200, 300, 400; power 500; `count` names.
    Image& material(const std::vector<std::string>& names, size_t count = size_t(-1))
    {
        for (float base : {100.f, 200.f, 300.f, 400.f})
            seq(base, 4);
        seq(500.f, 1).u32(uint32_t(count == size_t(-1) ? names.size() : count));
        for (const std::string& n : names)
            u32(uint32_t(n.size())).text(n);
        return *this;
    }
    // Bone: id, name, part, pivot, words 7001..7005, keyframes, child count.
    Image& bone(uint32_t id, const std::string& name, uint32_t part, float pivot,
                uint32_t keyframes, float key, uint32_t children)
    {
        u32(id).u32(uint32_t(name.size())).text(name).seq(part, 6).seq(pivot, 3).seq(7001u, 2);
        return u32(keyframes).seq(7003u, 3).seq(key, int(keyframes) * 8).u32(children);
    }
};

// The fields of a plain record (or of a run of them) in their order.
template <class T, class S> std::vector<T> As(const S* s, size_t count = 1)
{
    std::vector<T> v(sizeof(S) * count / sizeof(T));
    std::memcpy(v.data(), s, sizeof(S) * count);
    return v;
}

template <class T> std::vector<T> Seq(T first, int count)
{
    Image im;
    return As<T>(im.seq(first, count).b.data(), size_t(count) * 4);
}

// Two vertices (floats 1..16), four indices, then the counted blocks.
const auto Head = [](uint16_t version, std::vector<uint32_t> counts) {
    Image im;
    im.put(version, 2).u32(2).u32(4);
    for (uint32_t c : counts)
        im.u32(c);
    return im.seq(1.f, 16).put(1, 2).put(0, 2).put(1, 2).put(65535, 2);
};

template <class D> void ExpectHeadAndMaterial(const D& d, const char* texture)
{
    EXPECT_EQ(As<float>(d.vertices.data(), d.vertices.size()), Seq(1.f, 16));
    EXPECT_EQ(d.indices, (std::vector<uint16_t>{1, 0, 1, 65535}));
    ASSERT_EQ(d.materials.size(), 1u);
    const tavMaterialData& m = d.materials[0];
    std::vector<float> fields; // colours stored a, r, g, b are kept r, g, b, a; then the power
    for (float c = 100; c < 500; c += 100)
        fields.insert(fields.end(), {c + 1, c + 2, c + 3, c});
    fields.push_back(500);
    EXPECT_EQ(As<float>(m.ambient, 17), fields);
    EXPECT_EQ(m.textures, texture ? std::vector<std::string>{texture} : std::vector<std::string>{});
}

const auto Static = [](const Image& im, tavMeshFile::Order order, tavStaticMeshData& d,
                       std::string* why = nullptr) {
    return tavMeshFile::ParseStatic(im.b.data(), im.b.size(), order, d, why);
};
const auto Dynamic = [](const Image& im, tavDynamicMeshData& d, std::string* why = nullptr) {
    return tavMeshFile::ParseDynamic(im.b.data(), im.b.size(), d, why);
};
} // namespace

TEST(tavMeshFile, StaticFilesLoadEveryFieldWriteTheSameBytesAndEndTheTextureListEarly)
{
    // With bounds: part (words 10..15), material, bounds (floats from 1000); else material, part.
    const Image withBounds = Head(20, {1, 1}).seq(10u, 6).material({"wall.tga"}).seq(1000.f, 13);
    const Image simple = Head(20, {1, 1}).material({}).seq(10u, 6);
    for (auto order : {tavMeshFile::WithBounds, tavMeshFile::Simple})
    {
        SCOPED_TRACE(order);
        const bool bounds = order == tavMeshFile::WithBounds;
        const Image& im = bounds ? withBounds : simple;
        tavStaticMeshData d;
        ASSERT_EQ(Static(im, order, d), tavMeshFileResult::Ok);
        EXPECT_EQ(d.version, 20);
        ExpectHeadAndMaterial(d, bounds ? "wall.tga" : nullptr);
        ASSERT_EQ(d.parts.size(), 1u);
        EXPECT_EQ(As<uint32_t>(&d.parts[0]), Seq(10u, 6));
        EXPECT_EQ(As<float>(&d.bounds), bounds ? Seq(1000.f, 13) : std::vector<float>(13, 0.f));
        EXPECT_EQ(tavMeshFile::WriteStatic(d, order), im.b);
    }
    // Without the bounds the other order runs out of bytes; wrong versions are named.
    tavStaticMeshData s;
    EXPECT_EQ(Static(simple, tavMeshFile::WithBounds, s), tavMeshFileResult::Damaged);
    std::string why;
    EXPECT_EQ(Static(Head(21, {0, 0}), tavMeshFile::Simple, s, &why),
              tavMeshFileResult::WrongVersion);
    EXPECT_EQ(why, "version 21, not 20");
    tavDynamicMeshData dynamic;
    EXPECT_EQ(Dynamic(Head(20, {0, 0}), dynamic), tavMeshFileResult::WrongVersion);
    // The texture list: count 2, first length 0 or too long: no textures; the part follows that
    // length.
    for (uint32_t ender : {0u, 64u, 0xFFFFFFFFu})
    {
        tavStaticMeshData d;
        ASSERT_EQ(
            Static(Head(20, {1, 1}).material({}, 2).u32(ender).seq(10u, 6), tavMeshFile::Simple, d),
            tavMeshFileResult::Ok)
            << ender;
        ExpectHeadAndMaterial(d, nullptr);
        EXPECT_EQ(As<uint32_t>(&d.parts[0]), Seq(10u, 6));
    }
    // A 63-byte name is kept, a 0 byte ends one; the ninth and tenth are read and dropped.
    std::vector<std::string> ten = {std::string(63, 'x'), std::string("a\0b", 3)};
    for (int i = 2; i < 10; ++i)
        ten.push_back("t" + std::to_string(i) + ".tga");
    tavStaticMeshData d;
    ASSERT_EQ(Static(Head(20, {1, 1}).material(ten).seq(10u, 6), tavMeshFile::Simple, d),
              tavMeshFileResult::Ok);
    std::vector<std::string> kept(ten.begin(), ten.begin() + 8);
    kept[1] = "a";
    EXPECT_EQ(d.materials[0].textures, kept);
    EXPECT_EQ(As<uint32_t>(&d.parts[0]), Seq(10u, 6));
}

TEST(tavMeshFile, DynamicFilesLoadEveryFieldAndHugeCountsOrDeepBoneTreesAreRefused)
{
    Image im = Head(0x018C, {1, 3, 2});
    im.bone(5, "root", 10, 20, 1, 30, 1).bone(6, "arm", 40, 50, 2, 60, 0);
    im.seq(1u, 4).seq(5u, 4).material({"skin.tga"}).seq(1000.f, 13); // next, to, from, duration
    tavDynamicMeshData d;
    ASSERT_EQ(Dynamic(im, d), tavMeshFileResult::Ok);
    EXPECT_EQ(d.fileVersion, 396);
    ExpectHeadAndMaterial(d, "skin.tga");
    EXPECT_EQ(d.numKeyframes, 3u);
    EXPECT_EQ(tavCountBones(d.root), 2u);
    auto expectBone = [](const tavBoneData& b, uint32_t id, const char* name, uint32_t part,
                         float pivot, float key, size_t keyframes) {
        SCOPED_TRACE(name);
        EXPECT_EQ(std::make_pair(b.boneId, b.name), std::make_pair(id, std::string(name)));
        EXPECT_EQ(As<uint32_t>(&b.part), Seq(part, 6));
        EXPECT_EQ(As<float>(b.pivot, 3), Seq(pivot, 3));
        EXPECT_EQ(As<uint32_t>(b.restA, 2), Seq(7001u, 2));
        EXPECT_EQ(As<uint32_t>(b.restB, 3), Seq(7003u, 3));
        EXPECT_EQ(As<float>(b.keyframes.data(), b.keyframes.size()), Seq(key, int(keyframes) * 8));
    };
    expectBone(d.root, 5, "root", 10, 20, 30, 1);
    ASSERT_EQ(d.root.children.size(), 1u);
    expectBone(d.root.children[0], 6, "arm", 40, 50, 60, 2);
    // Stored next, to, from, duration; kept from, to, duration, next.
    EXPECT_EQ(As<uint32_t>(d.animations.data(), d.animations.size()),
              (std::vector<uint32_t>{3, 2, 4, 1, 7, 6, 8, 5}));
    EXPECT_EQ(As<float>(&d.bounds), Seq(1000.f, 13));
    EXPECT_EQ(tavMeshFile::WriteDynamic(d), im.b);
    // Each count at its largest is checked before room is made (ASan fails a huge allocation).
    for (int field = 0; field < 4; ++field)
    {
        Image im;
        im.put(20, 2);
        for (int f = 0; f < 4; ++f)
            im.u32(f == field ? 0xFFFFFFFFu : 0);
        tavStaticMeshData s;
        EXPECT_EQ(Static(im, tavMeshFile::WithBounds, s), tavMeshFileResult::Damaged) << field;
    }
    // A chain of one-child bones: as deep as allowed loads, one more does not.
    for (int depth : {tavMeshFile::MaxBoneDepth, tavMeshFile::MaxBoneDepth + 1})
    {
        Image chain;
        chain.put(396, 2).u32(0).u32(0).u32(0).u32(0).u32(0);
        for (int i = 0; i <= depth; ++i)
            chain.bone(uint32_t(i), "b", 0, 0, 0, 0, i < depth ? 1 : 0);
        std::string why;
        const bool allowed = depth == tavMeshFile::MaxBoneDepth;
        EXPECT_EQ(Dynamic(chain.seq(0.f, 13), d, &why),
                  allowed ? tavMeshFileResult::Ok : tavMeshFileResult::Damaged)
            << why;
        EXPECT_EQ(tavCountBones(d.root), allowed ? uint32_t(depth + 1) : 1u); // refused: emptied
    }
}

TEST(tavMeshData, APartThatReachesPastItsBuffersDoesNotFit)
{
    const std::vector<tavMeshVertex> v(3, tavMeshVertex{});
    const std::vector<uint16_t> idx = {0, 1, 2, 2, 1, 3};
    // Faces, first face, first vertex: past the vertices or indices, whatever the overflow.
    const std::tuple<uint32_t, uint32_t, uint32_t, bool> cases[] = {
        {1, 0, 0, true}, {2, 0, 0, false}, {1, 0, 1, false}, {1, 0xFFFFFFFFu, 0, false}};
    for (const auto& [faces, faceStart, vertexStart, fits] : cases)
    {
        tavMeshPart p;
        p.faceCount = faces, p.faceStart = faceStart, p.vertexStart = vertexStart;
        EXPECT_EQ(tavPartFits(p, v, idx), fits) << faces << " " << faceStart << " " << vertexStart;
    }
    tavMeshPart p;
    p.faceCount = 1, p.faceStart = 1;
    EXPECT_EQ(tavLowestIndex(p, idx), 1);
}
