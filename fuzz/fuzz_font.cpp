// Feeds arbitrary bytes to the font reader through an in-memory FILE.

#include <stdio.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "content/font_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // fmemopen refuses an empty buffer; an empty file is /dev/null.
    std::FILE* file = size == 0 ? std::fopen("/dev/null", "rb")
                                : fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    vyr::FontList fonts;
    fonts.SetMessageStream(nullptr);
    fonts.SelectFont(static_cast<int>(size % 4));
    const std::int16_t ok = fonts.ReadFontFile(file);
    std::fclose(file);

    const vyr::Font& font = fonts.CurrentFont();
    // A failed read leaves the font as it was: empty.
    if (ok == 0 && (!font.points.empty() || fonts.fontLoaded != 0)) std::abort();
    std::size_t total = 0;
    for (const vyr::FontEntry& e : font.entries) {
        if (e.first + static_cast<std::size_t>(e.count) > font.points.size()) std::abort();
        for (const vyr::GlyphPoint& p : font.Glyph(static_cast<int>(&e - font.entries.data()))) {
            if (p.x < e.minX || p.x > e.maxX) std::abort();
            if (p.x < -1 || p.x > 65534 || p.y < -1 || p.y > 65534) std::abort();
        }
        total += e.count;
    }
    if (total != font.points.size()) std::abort();
    // Every glyph point came from at least six bytes of the input.
    if (font.points.size() * 6 > size) std::abort();
    return 0;
}
