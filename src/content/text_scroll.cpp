#include "content/text_scroll.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vyr {

std::int16_t TextScroll::ReadTextFile(std::FILE* file, const FontList& fonts, std::FILE* messages) {
    scrollPosition = kVisibleWidth;
    lastIndex = 0;
    auto say = [messages](const char* text) {
        if (messages != nullptr) std::fputs(text, messages);
    };
    if (!fonts.HasFontInfo()) {
        say("ReadTextFile(): Font info not available.\n");
        return 0;
    }
    if (file == nullptr) {
        say("ReadTextFile(): NULL file pointer.\n");
        return 0;
    }

    unsigned char bytes[kMaxCharacters];
    const std::size_t n = std::fread(bytes, 1, sizeof bytes, file);
    const Font& font = fonts.CurrentFont();
    placed_.clear();
    placed_.reserve(n);
    double b = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        const unsigned c = bytes[k];
        std::int16_t charIndex = 0;
        if (c >= 32 && c <= 126) {
            charIndex = static_cast<std::int16_t>(c - 32);
        } else if (c != 10 && c != 13) {
            if (messages != nullptr) {
                std::fprintf(messages, "Character number %d has value 0x%x [%c] which is not included in font table.\r\n",
                             static_cast<int>(k), c, static_cast<int>(c));
            }
        }
        const double start = b;
        const double end = b + font.Width(charIndex);
        placed_.push_back(PlacedCharacter{start, end, charIndex});
        b = end + kCharacterGap;
    }
    lastIndex = static_cast<std::int16_t>(static_cast<int>(placed_.size()) - 1);
    return 1;
}

int TextScroll::DrawnCharacters() const {
    const int placed = static_cast<int>(placed_.size());
    return std::clamp<int>(lastIndex, 0, std::max(placed - 1, 0));
}

double TextScroll::TextEnd() const {
    if (placed_.empty()) return 0.0;
    const int drawn = DrawnCharacters();
    return placed_[static_cast<std::size_t>(drawn >= 1 ? drawn - 1 : 0)].end;
}

void TextScroll::AdvanceScroll() {
    const double p = scrollPosition - scrollRate;
    scrollPosition = p + TextEnd() >= 0.0 ? p : kVisibleWidth;
}

std::int16_t TextPointDepth(const Track& track, double o, std::int16_t x, std::int16_t y) {
    // Without gain every formula gives 0; most text is flat, so skip the work.
    if (track.zAxisGain == 0) return 0;
    constexpr double kPi = std::numbers::pi;
    const double dx = x;
    const double dy = y;
    double a = 0.0;
    switch (track.zAxisFormula) {
        case 1:
            a = 10000.0 * std::sin(std::sqrt(dx * dx + dy * dy) / 6000.0 + track.zAxisPhase * kPi / 180.0);
            break;
        case 2: {
            const double ax = o * (static_cast<double>(track.zAxisPeriod) * 2.0 * kPi) / 65533.0;
            a = 32766.0 * std::sin(track.zAxisOffset * kPi / 180.0 + ax);
            break;
        }
        case 3:
            a = -1.5 * std::sqrt(2.0 * dx * dx) + 100.0 * track.zAxisOffset;
            break;
        default:
            return 0;
    }
    const double z = std::trunc(a * track.zAxisGain * 0.01);
    if (std::isnan(z)) return 0;  // a phase or period that went non-finite
    if (z < -32768.0) return -32768;
    if (z > 32767.0) return 32767;
    return static_cast<std::int16_t>(z);
}

}  // namespace vyr
