#include "util/tavRandom.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

TEST(tavRandom, SeedOfOneWordFollowsTheReferenceGenerator)
{
    tavRandom r(5489u);
    std::mt19937 reference(5489u);
    // 1000 words cross one regeneration of the 624-word state.
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(r.NextInt32(), reference()) << "word " << i;
}

TEST(tavRandom, ArraySeedMatchesSeedSeq)
{
    // init_by_array with {0x123, 0x234, 0x345, 0x456}: the published test
    // vector starts 1067595299 955945823 477289528.
    const uint32_t key[] = {0x123, 0x234, 0x345, 0x456};
    tavRandom r(key, 4);
    EXPECT_EQ(r.NextInt32(), 1067595299u);
    EXPECT_EQ(r.NextInt32(), 955945823u);
    EXPECT_EQ(r.NextInt32(), 477289528u);
}

TEST(tavRandom, DrawsHoldTheirRangesAndNormalsCentreOnTheMean)
{
    tavRandom r(1u);
    std::set<uint32_t> seen;
    for (int i = 0; i < 2000; ++i)
    {
        ASSERT_EQ(r.NextIntUpTo(0), 0u);
        const uint32_t v = r.NextIntUpTo(4);
        ASSERT_LE(v, 4u);
        seen.insert(v);
    }
    EXPECT_EQ(seen.size(), 5u); // both ends included
    r.NextIntUpTo(0xFFFFFFFFu); // the full range needs no rejection at all

    double sum = 0, squares = 0;
    const int n = 20000;
    for (int i = 0; i < n; ++i)
    {
        const double closed = r.NextReal(), excl = r.NextRealExcl(), open = r.NextRealOpen();
        const double fine = r.NextReal53();
        ASSERT_TRUE(closed >= 0.0 && closed <= 1.0) << closed;
        ASSERT_TRUE(excl >= 0.0 && excl < 1.0) << excl;
        ASSERT_TRUE(open > 0.0 && open < 1.0) << open;
        ASSERT_TRUE(fine >= 0.0 && fine < 1.0) << fine;
        const double v = r.NextNormal(3.0, 2.0);
        sum += v;
        squares += v * v;
    }
    const double mean = sum / n;
    EXPECT_NEAR(mean, 3.0, 0.1);
    EXPECT_NEAR(squares / n - mean * mean, 4.0, 0.3);
}

// Past one regeneration; a corrupt count of words left regenerates instead
// of reading past the state (ASan watches natively).
TEST(tavRandom, SavedStateReproducesTheSequenceAndACorruptCountStaysInside)
{
    tavRandom a(42u);
    for (int i = 0; i < 700; ++i)
        a.NextInt32();
    std::vector<uint32_t> saved(tavRandom::SaveSize);
    a.Save(saved.data());
    tavRandom b(999u);
    b.Load(saved.data());
    for (int i = 0; i < 1500; ++i)
        ASSERT_EQ(a.NextInt32(), b.NextInt32()) << "word " << i;

    std::vector<uint32_t> corrupt(tavRandom::SaveSize, 1u);
    corrupt[tavRandom::StateSize] = 5000; // more words left than the state holds
    b.Load(corrupt.data());
    b.NextInt32();
}

TEST(tavRandom, UnseededGeneratorsDiffer)
{
    tavRandom a, b;
    bool differ = false;
    for (int i = 0; i < 4 && !differ; ++i)
        differ = a.NextInt32() != b.NextInt32();
    EXPECT_TRUE(differ);
}
