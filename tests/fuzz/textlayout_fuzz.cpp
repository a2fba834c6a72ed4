// Colour-coded text layout: any text at any position and screen size walks
// to a rectangle without overflow, one quad per visible glyph at most, each
// in a colour the codes can select.
#include "console/tavGlyphSheet.h"
#include "console/tavTextLayout.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

namespace
{
tavGlyphSheet MakeSheet(FuzzedDataProvider& in)
{
    tavGlyphSheet sheet;
    sheet.texWidth = sheet.texHeight = 256;
    sheet.fontHeight = in.ConsumeFloatingPoint<float>();
    sheet.scale = in.ConsumeBool() ? 1.0f : in.ConsumeFloatingPoint<float>();
    for (int i = 0; i < tavGlyphSheet::GlyphCount; ++i)
    {
        const float x = float(i % 16) / 16.0f, y = float(i / 16) / 16.0f;
        sheet.glyphs[i] = tavGlyphRect{x, y, x + 1.0f / 16.0f, y + 1.0f / 16.0f};
    }
    return sheet;
}

bool IsCodeColour(uint32_t colour, uint32_t base)
{
    for (char digit = '0'; digit <= '9'; ++digit)
        if (tavTextLayout::CodeColour(digit, base) == colour) return true;
    return colour == base;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const tavGlyphSheet sheet = MakeSheet(in);
    const float width = in.ConsumeFloatingPoint<float>();
    const float height = in.ConsumeFloatingPoint<float>();
    const float x = in.ConsumeFloatingPoint<float>();
    const float y = in.ConsumeFloatingPoint<float>();
    const uint32_t base = in.ConsumeIntegral<uint32_t>();
    const bool raw = in.ConsumeBool();
    const std::string text = in.ConsumeRemainingBytesAsString();

    tavTextLayout layout(sheet, width, height);
    size_t quads = 0;
    const tavTextRect rect = layout.Walk(x, y, base, text.c_str(), raw, [&](const tavGlyphQuad& q) {
        if (!IsCodeColour(q.colour, base)) abort();
        ++quads;
    });
    if (quads > text.size()) abort();
    const tavTextRect measured = layout.Measure(x, y, text.c_str(), raw);
    if (measured.left != rect.left || measured.right != rect.right ||
        measured.top != rect.top || measured.bottom != rect.bottom)
        abort();
    return 0;
}
