// Font files: any bytes either give a glyph sheet whose pixels lie inside
// the file, or are refused with a reason and leave the sheet as it was.
// A sheet that parsed is then used to lay out text, as the font would.
#include "console/tavGlyphSheet.h"
#include "console/tavTextLayout.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tavGlyphSheet sheet;
    const tavGlyphSheet before = sheet;
    const uint8_t* pixels = nullptr;
    std::string error;
    if (!sheet.ParseFontFile(data, size, &pixels, &error))
    {
        if (error.empty() || std::memcmp(&sheet, &before, sizeof sheet) != 0) abort();
        return 0;
    }
    const uint64_t bytes = uint64_t(sheet.texWidth) * sheet.texHeight * 4;
    if (pixels < data || uint64_t(pixels - data) + bytes > size) abort();

    tavTextLayout layout(sheet, 1022.0f, 766.0f);
    size_t quads = 0;
    const char* text = "&1Fuzz &9me\nand &0lay\tme out ~\x7f";
    layout.Walk(10.0f, 1000.0f, 0xFFFFFFFFu, text, false, [&](const tavGlyphQuad&) { ++quads; });
    if (quads > std::strlen(text)) abort();
    return 0;
}
