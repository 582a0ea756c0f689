#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "content/font_list.h"
#include "model/track.h"

namespace vyr {

// Where one character of a text sits, in scroll units, before the scroll
// position is added.
struct PlacedCharacter {
    double start = 0.0;
    double end = 0.0;
    std::int16_t charIndex = 0;  // font entry; 0 (the space) for bytes the font lacks
};

// A line of text read from a file, scrolling from right to left across the
// view. The visible width is 0..65534 scroll units; x in ILDA units is the
// scroll coordinate - 32767. The glyphs come from the current font each time
// the text is drawn; where the characters sit was worked out when it was read.
class TextScroll : public Track {
public:
    static constexpr int kMaxCharacters = 1000;
    static constexpr double kVisibleWidth = 65534.0;
    static constexpr double kCharacterGap = 2500.0;

    TextScroll() = default;

    // Places the file's first 1000 bytes with the widths of the current font
    // of `fonts`. Bytes outside 32..126 become spaces; all but line ends are
    // reported on `messages` (standard output unless changed; null silences).
    // Returns 1 / 0; 0 when the font has no space glyph or the file is null.
    std::int16_t ReadTextFile(std::FILE* file, const FontList& fonts, std::FILE* messages = stdout);

    const std::vector<PlacedCharacter>& PlacedCharacters() const { return placed_; }
    // How many characters a frame draws: all but the last one read, which is
    // normally the line end.
    int DrawnCharacters() const;
    // The end of the last drawn character, where the scroll's wrap test looks.
    // A text of fewer than two characters ends at its first character (0 when
    // it has none).
    double TextEnd() const;
    // Moves the text by `scrollRate` to the left; once the end of the text
    // has left the view on the left, the text starts again from the right.
    void AdvanceScroll();

    // Everything a frame of the text can change, for showing one frame on
    // several ticks. The placed characters are not part of it: only
    // ReadTextFile writes them.
    struct State {
        Track track;
        std::int16_t lastIndex = 0;
        std::int16_t scrollRate = 0;
        double scrollPosition = 0.0;
    };
    State SaveState() const { return State{*this, lastIndex, scrollRate, scrollPosition}; }
    void RestoreState(const State& state) {
        static_cast<Track&>(*this) = state.track;
        lastIndex = state.lastIndex;
        scrollRate = state.scrollRate;
        scrollPosition = state.scrollPosition;
    }

    std::int16_t lastIndex = 0;     // index of the last placed character
    std::int16_t scrollRate = 2000; // units per frame
    double scrollPosition = 0.0;    // added to every start and end

private:
    std::vector<PlacedCharacter> placed_;
};

// The depth of a text point from the track's modulation fields: `o` is its
// scroll coordinate, (x, y) its ILDA position. Saturates to 16 bits.
std::int16_t TextPointDepth(const Track& track, double o, std::int16_t x, std::int16_t y);

}  // namespace vyr
