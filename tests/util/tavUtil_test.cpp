#include "util/tavRandom.h"
#include "util/tavText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

// The reference generator past one regeneration of the state; the published
// vector of the array seed {0x123, 0x234, 0x345, 0x456}; unseeded ones differ.
TEST(tavRandom, SeedsFollowTheReferenceGeneratorAndThePublishedVector)
{
    tavRandom r(5489u), a, b;
    std::mt19937 reference(5489u);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(r.NextInt32(), reference()) << "word " << i;
    const uint32_t key[] = {0x123, 0x234, 0x345, 0x456};
    tavRandom keyed(key, 4);
    EXPECT_EQ((std::vector<uint32_t>{keyed.NextInt32(), keyed.NextInt32(), keyed.NextInt32()}),
              (std::vector<uint32_t>{1067595299u, 955945823u, 477289528u}));
    EXPECT_NE((std::vector<uint32_t>{a.NextInt32(), a.NextInt32(), a.NextInt32()}),
              (std::vector<uint32_t>{b.NextInt32(), b.NextInt32(), b.NextInt32()}));
}

// Ranges held, normals centred on the mean; a saved state repeats the sequence,
// a corrupt count regenerates instead of reading past the state.
TEST(tavRandom, DrawsHoldTheirRangesAndASavedStateRepeats)
{
    tavRandom r(1u), b(999u);
    std::set<uint32_t> seen;
    for (int i = 0; i < 2000; ++i)
    {
        ASSERT_EQ(r.NextIntUpTo(0), 0u);
        seen.insert(r.NextIntUpTo(4));
    }
    EXPECT_EQ(seen, (std::set<uint32_t>{0, 1, 2, 3, 4}));
    r.NextIntUpTo(0xFFFFFFFFu);
    double sum = 0, squares = 0;
    const int n = 20000;
    for (int i = 0; i < n; ++i)
    {
        const double closed = r.NextReal(), excl = r.NextRealExcl(), open = r.NextRealOpen();
        const double fine = r.NextReal53(), v = r.NextNormal(3.0, 2.0);
        ASSERT_TRUE(closed >= 0 && closed <= 1 && excl >= 0 && excl < 1 && open > 0 && open < 1 &&
                    fine >= 0 && fine < 1)
            << closed << " " << excl << " " << open << " " << fine;
        sum += v, squares += v * v;
    }
    EXPECT_NEAR(sum / n, 3.0, 0.1);
    EXPECT_NEAR(squares / n - sum / n * sum / n, 4.0, 0.3);
    std::vector<uint32_t> saved(tavRandom::SaveSize, 1u);
    r.Save(saved.data());
    b.Load(saved.data());
    for (int i = 0; i < 1500; ++i)
        ASSERT_EQ(r.NextInt32(), b.NextInt32()) << "word " << i;
    std::fill(saved.begin(), saved.end(), 1u);
    saved[tavRandom::StateSize] = 5000;
    b.Load(saved.data());
    b.NextInt32();
}

TEST(tavText, TimeTextUsesTwelveHoursOnlyAfterNoonAndBoundedTextIsCut)
{
    EXPECT_EQ(FormatTimeText(13, 5, 9, 3, 7, 2004), "01:05:09 PM on 03/07/2004");
    EXPECT_EQ(FormatTimeText(12, 30, 0, 3, 7, 2004), "12:30:00 AM on 03/07/2004");
    EXPECT_EQ(FormatTimeText(0, 15, 0, 12, 31, 1999), "00:15:00 AM on 12/31/1999");
    EXPECT_EQ(FormatTimeText(23, 59, 59, 1, 1, 2026), "11:59:59 PM on 01/01/2026");
    EXPECT_EQ(FormatBoundedF(512, "%s=%d", "x", 5), "x=5");
    EXPECT_EQ(FormatBoundedF(512, "%s", std::string(600, 'a').c_str()), std::string(511, 'a'));
    EXPECT_EQ(FormatBoundedF(1, "%s", "abc"), "");
}
