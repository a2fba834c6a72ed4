// Every key of tav.cfg set to garbage, nothing, a negative and a huge
// number: the engine either starts with what it can make of the value and
// runs, or refuses with a red line in the log and leaves "IsSetup" at 2 so
// that the next start asks the safe-mode question. It never crashes, and a
// value it did start with ends the run normally.
#include "support/TestEngine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace
{
// The keys a user's file may spoil. "IsSetup" and "Setup" have their own
// tests; "FullScreen" is left windowed (a non-zero value means full screen,
// which is a valid choice, not a bad one). The keys that pick the device,
// its formats and modes run everywhere; the switches and the sound keys
// (read as plain integers) with all values in the soak (TAV_SOAK=1). The
// quick run gives each device key one value, the values taken in turn, so
// that every kind of bad value still meets a key.
const char* const DeviceKeys[] = {"Adapter", "Device", "Format",  "BackBuffer", "Resolution",
                                  "Samples", "Quality1", "Filter", "GUI",       "Channels"};
const char* const OtherKeys[] = {"VSync", "HasPure", "UseAA", "ShowFPS", "HWSound", "Music", "Sound"};
const char* const Values[] = {"x9!~", "-7", "99999999999999999999", "", "2147483647"};
const int QuickValues = 3; // garbage, negative, too big for any integer

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }
} // namespace

TEST_F(EngineTest, EveryKeyWithAnUnusableValueStartsOrRefusesCleanly)
{
    const bool soak = std::getenv("TAV_SOAK") != nullptr;
    std::vector<const char*> keys(std::begin(DeviceKeys), std::end(DeviceKeys));
    if (soak) keys.insert(keys.end(), std::begin(OtherKeys), std::end(OtherKeys));
    const int values = soak ? int(std::size(Values)) : 1;
    int started = 0, refused = 0;
    for (size_t k = 0; k < keys.size(); ++k)
        for (int v = 0; v < values; ++v)
        {
            const char* key = keys[k];
            const char* value = Values[soak ? v : int(k % QuickValues)];
            const std::string line = std::string(key) + "=" + value;
            SCOPED_TRACE(line);
            // Anti-aliasing on for the sample keys, so that they are read at all.
            const bool samples = std::string(key) == "Samples" || std::string(key) == "Quality1";
            const HRESULT hr = StartEngine(line + "\n" + (samples ? "UseAA=1\n" : ""));
            if (SUCCEEDED(hr))
            {
                ++started;
                for (int i = 0; i < 3; ++i) EXPECT_TRUE(Pump());
                EXPECT_EQ(engine->GetRunState(), 1);
                StopEngine();
                EXPECT_EQ(ConfigInt("IsSetup"), 1);
            }
            else
            {
                ++refused;
                StopEngine();
                const std::string log = Log();
                EXPECT_TRUE(Has(log, "<font color=\"red\">")) << "refused without a reason";
                EXPECT_TRUE(Has(log, "TAV::Release()"));
                EXPECT_EQ(ConfigInt("IsSetup"), 2) << "the next start would not ask";
            }
        }
    std::printf("unusable values: %d started, %d refused\n", started, refused);
    RecordProperty("Started", started);
    RecordProperty("Refused", refused);
}
