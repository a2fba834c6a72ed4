// Console input: a typed command line taken apart and matched against every
// binding type, and an edit script (keys, characters, pastes) applied to the
// input line (a paste goes in as it stands, control characters and all).
// Nothing may read out of bounds, and the line keeps its caret inside it
// and its length within the limit.
#include "console/tavCommandLine.h"
#include "console/tavInputLine.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

namespace
{
void CheckCommandLine(const std::string& line)
{
    const tavCommandLine parsed(line);
    const int count = tavCommandLine::CountArguments(parsed.Arguments());
    const std::vector<double> values = tavCommandLine::ParseArguments(parsed.Arguments());
    if (values.size() != size_t(count)) abort();
    for (double v : values)
    {
        tavCommandLine::ToInt(v);
        tavCommandLine::ToFloat(v);
    }
    for (uint32_t type = 0; type <= 8; ++type)
    {
        tavCommandLine::Accepts(type, count, parsed.Arguments());
        if (!tavCommandLine::Signature(type)) abort();
    }
}

void CheckLine(const tavInputLine& line)
{
    const int length = int(line.Text().size());
    if (line.Cursor() < 0 || line.Cursor() > length || length > line.MaxLength()) abort();
}

void Edit(FuzzedDataProvider& in)
{
    tavInputLine line(in.ConsumeIntegralInRange<int>(0, 80));
    while (in.remaining_bytes() > 0)
    {
        switch (in.ConsumeIntegralInRange<int>(0, 9))
        {
        case 0: line.Backspace(); break;
        case 1: line.Delete(); break;
        case 2: line.Home(); break;
        case 3: line.End(); break;
        case 4: line.Left(); break;
        case 5: line.Right(); break;
        case 6: line.Clear(); break;
        case 7: line.Paste(in.ConsumeRandomLengthString(100)); break;
        default: line.Type(in.ConsumeIntegral<uint16_t>()); break;
        }
        CheckLine(line);
    }
    CheckCommandLine(line.Text());
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    CheckCommandLine(in.ConsumeRandomLengthString(200));
    Edit(in);
    return 0;
}
