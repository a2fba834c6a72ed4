// Every key of tav.cfg set to an unusable value: the engine either starts
// with what it can make of it and ends the run normally, or refuses with a
// red line in the log and leaves "IsSetup" at 2 for the safe-mode question.
#include "support/TestEngine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

TEST_F(EngineTest, EveryKeyWithAnUnusableValueStartsOrRefusesCleanly)
{
    // "IsSetup" and "Setup" have their own tests, and any "FullScreen" is a
    // valid choice. The quick run gives each device key one value, the kinds
    // taken in turn; the soak (TAV_SOAK=1) every key every value.
    const bool soak = std::getenv("TAV_SOAK") != nullptr;
    std::vector<std::string> keys = {"Adapter", "Device",   "Format", "BackBuffer", "Resolution",
                                     "Samples", "Quality1", "Filter", "GUI",        "Channels"};
    if (soak)
        keys.insert(keys.end(),
                    {"VSync", "HasPure", "UseAA", "ShowFPS", "HWSound", "Music", "Sound"});
    const char* const values[] = {"x9!~", "-7", "99999999999999999999", "", "2147483647"};
    int started = 0, refused = 0;
    for (size_t k = 0; k < keys.size(); ++k)
        for (size_t v = 0; v < (soak ? std::size(values) : 1); ++v)
        {
            const std::string line = keys[k] + "=" + values[soak ? v : k % 3];
            SCOPED_TRACE(line);
            // Anti-aliasing on for the sample keys, so that they are read at all.
            const bool samples = keys[k] == "Samples" || keys[k] == "Quality1";
            if (SUCCEEDED(StartEngine(line + "\n" + (samples ? "UseAA=1\n" : ""))))
            {
                ++started;
                for (int i = 0; i < 3; ++i)
                    EXPECT_TRUE(Pump());
                EXPECT_EQ(engine->GetRunState(), 1);
                StopEngine();
                EXPECT_EQ(ConfigInt("IsSetup"), 1);
            }
            else
            {
                ++refused;
                StopEngine();
                EXPECT_NE(Log().find("<font color=\"red\">"), std::string::npos)
                    << "refused without a reason";
                EXPECT_NE(Log().find("TAV::Release()"), std::string::npos);
                EXPECT_EQ(ConfigInt("IsSetup"), 2) << "the next start would not ask";
            }
        }
    std::printf("unusable values: %d started, %d refused\n", started, refused);
}
