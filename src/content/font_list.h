#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace vyr {

// One point of a glyph in scroll units: the ILDA X and Y plus 32767.
struct GlyphPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int16_t blanked = 0;  // 1: the beam travels dark to this point
};

// One character of a font: where its points sit in the font's point store,
// and their horizontal extent.
struct FontEntry {
    static constexpr std::int32_t kNoMinX = 65534;

    std::int32_t minX = kNoMinX;  // smallest glyph x
    std::int32_t maxX = 0;        // largest glyph x
    std::uint32_t first = 0;      // index of the first point
    std::uint32_t count = 0;      // number of glyph points
};

// The glyphs of the printable characters 32 (" ") to 126 ("~"); entry i is
// character 32 + i. A character's points are contiguous, in file order.
struct Font {
    static constexpr int kCharacters = 95;
    static constexpr int kFirstCharacter = 32;

    std::array<FontEntry, kCharacters> entries{};
    std::vector<GlyphPoint> points;

    // The points of entry `index`; empty for an index outside the font.
    std::span<const GlyphPoint> Glyph(int index) const {
        if (index < 0 || index >= kCharacters) return {};
        const FontEntry& e = entries[static_cast<std::size_t>(index)];
        return std::span<const GlyphPoint>(points).subspan(e.first, e.count);
    }
    // maxX - minX of entry `index`; 0 for a character without points, which
    // would otherwise measure minus the whole visible width.
    std::int32_t Width(int index) const {
        if (index < 0 || index >= kCharacters) return 0;
        const FontEntry& e = entries[static_cast<std::size_t>(index)];
        return e.count == 0 ? 0 : e.maxX - e.minX;
    }
    bool HasGlyph(int index) const {
        return index >= 0 && index < kCharacters && entries[static_cast<std::size_t>(index)].count > 0;
    }
};

// The four fonts of the program, one of them current. Font 0 holds the
// default font loaded at start-up, fonts 1..3 whatever scripts load. Text
// tracks look up the current font each time they are drawn, so the list
// lives as long as the view that owns it and every renderer it is given to.
class FontList {
public:
    static constexpr int kFonts = 4;

    FontList() = default;
    FontList(const FontList&) = delete;
    FontList& operator=(const FontList&) = delete;

    // 1, 2 and 3 select that font, anything else font 0.
    void SelectFont(int n) { currentFont = static_cast<std::int16_t>(n >= 1 && n <= 3 ? n : 0); }
    // Empties the current font.
    void ClearFont() { fonts_[static_cast<std::size_t>(currentFont)] = Font{}; }

    // Loads a font file into the current font. The file is an ILDA file whose
    // sections are the glyphs of characters 32 to 126 in order. On success the
    // file's glyphs replace the current font; on failure the font is left as
    // it was. Opening failures go to the log, reading failures to the message
    // stream. The file is closed on every path. Returns 1 / 0.
    std::int16_t ReadFontFile(const std::string& fileName);
    // The same from an open file, which stays open.
    std::int16_t ReadFontFile(std::FILE* file);

    const Font& CurrentFont() const { return fonts_[static_cast<std::size_t>(currentFont)]; }
    const Font& GetFont(int n) const { return fonts_[static_cast<std::size_t>(n >= 1 && n <= 3 ? n : 0)]; }
    // Whether the current font can set text: it has a glyph for the space.
    bool HasFontInfo() const { return CurrentFont().HasGlyph(0); }

    // Where the reader's messages go (standard error unless changed; null
    // silences them).
    void SetMessageStream(std::FILE* stream) { messages_ = stream; }

    std::int16_t currentFont = 0;
    std::int16_t fontLoaded = 0;  // set by a successful ReadFontFile

private:
    std::array<Font, kFonts> fonts_{};
    std::FILE* messages_ = stderr;
};

}  // namespace vyr
