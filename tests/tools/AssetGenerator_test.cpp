#include "AssetGenerator.h"
#include "BinaryFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <thread>

using namespace assetgen;

namespace
{
namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed afterwards.
struct TempFolder
{
    explicit TempFolder(const std::string& name)
        : path(fs::temp_directory_path() /
               ("tav-assetgen-" + name + "-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed())))
    {
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() { fs::remove_all(path); }
    fs::path path;
};

// FNV-1a of every file in `folder`, by name.
std::map<std::string, uint64_t> Checksums(const fs::path& folder)
{
    std::map<std::string, uint64_t> sums;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    {
        if (entry.is_directory()) continue;
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(BinaryFile::Read(entry.path().string(), bytes));
        uint64_t h = 1469598103934665603ull;
        for (uint8_t b : bytes)
            h = (h ^ b) * 1099511628211ull;
        sums[entry.path().lexically_relative(folder).generic_string()] = h;
    }
    return sums;
}
} // namespace

// The two runs go at once, in two threads: nothing may be shared between
// generators either.
TEST(AssetGenerator, TwoRunsWriteTheSameBytesWithEveryFileTheGameLoads)
{
    TempFolder first("first"), second("second");
    AssetGenerator generator, other;
    std::string error, otherError;
    bool otherWrote = false;
    std::thread run([&] { otherWrote = other.Generate(second.path.string(), otherError); });
    const bool wrote = generator.Generate(first.path.string(), error);
    run.join();
    ASSERT_TRUE(wrote) << error;
    ASSERT_TRUE(otherWrote) << otherError;
    const std::map<std::string, uint64_t> a = Checksums(first.path), b = Checksums(second.path);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.size(), generator.Written().size());

    std::vector<std::string> wanted = {"level.x",    "chixen.x",    "egg.x",        "blood.x",
                                       "water.tex",  "console.tex", "gui.tex",      "splash.sfx",
                                       "jumped.sfx", "pop.sfx",     "samples/hen.x"};
    for (int i = 0; i < 6; ++i)
        wanted.push_back("sky1-" + std::to_string(i) + ".tex");
    for (int i = 0; i < 32; ++i)
        wanted.push_back("caust" + std::to_string(i) + ".tga");
    for (int i = 1; i <= 5; ++i)
        wanted.push_back("idle" + std::to_string(i) + ".sfx");
    for (const std::string& name : wanted)
        EXPECT_EQ(a.count(name), 1u) << name;
}

TEST(AssetGenerator, AFolderThatCannotBeWrittenIsReportedByName)
{
    const std::string missing = (fs::temp_directory_path() / "tav-assetgen-none" / "such").string();
    AssetGenerator generator;
    std::string error;
    EXPECT_FALSE(generator.Generate(missing, error));
    EXPECT_EQ(error.rfind("cannot write " + missing + "/", 0), 0u) << error;
    EXPECT_TRUE(generator.Written().empty());
}
