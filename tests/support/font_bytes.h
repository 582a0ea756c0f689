#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "content/font_list.h"
#include "support/ilda_bytes.h"
#include "support/temp_home.h"

namespace vyr::test {

// A glyph as ILDA points {x, y, blanked}; the first one only anchors it.
using GlyphSpec = std::vector<std::array<int, 3>>;

// A 2D font file: one section per character 32.. in order, `glyphs` giving
// the characters that have their own shape and `other` the rest, then an end
// marker.
inline std::string FontFileBytes(const std::map<char, GlyphSpec>& glyphs, const GlyphSpec& other) {
    std::string out;
    for (int i = 0; i < Font::kCharacters; ++i) {
        const auto found = glyphs.find(static_cast<char>(i + Font::kFirstCharacter));
        const GlyphSpec& glyph = found != glyphs.end() ? found->second : other;
        out += Header(1, static_cast<int>(glyph.size()), i, Font::kCharacters);
        for (const auto& p : glyph) out += P1(p[0], p[1], p[2] != 0 ? 0x4000 : 0);
    }
    return out + EndMarker(Font::kCharacters);
}

// Loads font bytes into the current font of `fonts`; true on success.
inline bool LoadFontBytes(const TempHome& home, FontList& fonts, const std::string& bytes) {
    const std::string path = home.File("test_font.ild");
    WriteFileBytes(path, bytes);
    fonts.SetMessageStream(nullptr);
    return fonts.ReadFontFile(path) == 1;
}

inline std::string DefaultFontPath() { return std::string(VYR_ASSETS_DIR) + "/default_font.ild"; }

}  // namespace vyr::test
