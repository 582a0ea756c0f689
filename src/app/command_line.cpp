#include "app/command_line.h"

#include <cctype>

namespace vyr {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The word's leading decimal number, as the C library reads one: optional
// blanks and sign, then digits; 0 when there are none. Saturates instead of
// overflowing.
std::int64_t LeadingNumber(std::string_view word) {
    std::size_t i = 0;
    while (i < word.size() && std::isspace(static_cast<unsigned char>(word[i]))) ++i;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
        negative = word[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < word.size() && std::isdigit(static_cast<unsigned char>(word[i])); ++i) {
        if (value < 1'000'000'000'000LL) value = value * 10 + (word[i] - '0');
    }
    return negative ? -value : value;
}

}  // namespace

void CommandLineOptions::ParseArgument(std::string_view text, bool isFlag) {
    if (isFlag) {
        if (EqualsIgnoringCase(text, "p")) {
            expecting = Expecting::kPalette;
        } else if (EqualsIgnoringCase(text, "s")) {
            expecting = Expecting::kScanRate;
        } else if (EqualsIgnoringCase(text, "b")) {
            expecting = Expecting::kBlankingShift;
        } else if (EqualsIgnoringCase(text, "d")) {
            expecting = Expecting::kFrameDelay;
        } else if (EqualsIgnoringCase(text, "r")) {
            flags |= kInvertBlanking;
        }
        return;
    }
    const Expecting taken = expecting;
    expecting = Expecting::kNone;
    switch (taken) {
        case Expecting::kPalette: {
            flags |= kPalette;
            static constexpr std::string_view kNames[] = {"PANGOLIN", "LASER_ILLUSIONS", "ILDA", "X29"};
            for (int i = 0; i < 4; ++i) {
                if (EqualsIgnoringCase(text, kNames[i])) paletteIndex = i;
            }
            break;
        }
        case Expecting::kScanRate:
            scanRate = static_cast<std::int32_t>(LeadingNumber(text));
            flags |= kScanRate;
            break;
        case Expecting::kBlankingShift:
            blankingShift = static_cast<std::int16_t>(static_cast<std::uint16_t>(LeadingNumber(text) & 0xFFFF));
            flags |= kBlankingShift;
            break;
        case Expecting::kFrameDelay:
            frameDelay = static_cast<std::int16_t>(static_cast<std::uint16_t>(LeadingNumber(text) & 0xFFFF));
            flags |= kFrameDelay;
            break;
        case Expecting::kNone:
            // A name too long for the record is cut to what fits rather than refused.
            fileName = std::string(text.substr(0, kMaxFileName));
            flags |= kFileName;
            break;
    }
}

void CommandLineOptions::ParseWord(std::string_view word) {
    // '/' also starts every absolute path here, so a '/' word is a flag only
    // when it cannot be a path: no further '/' and no '.' in it ("/s", "/r").
    const bool slashFlag = !word.empty() && word.front() == '/' &&
                           word.find('/', 1) == std::string_view::npos && word.find('.') == std::string_view::npos;
    if (!word.empty() && (word.front() == '-' || slashFlag)) {
        ParseArgument(word.substr(1), true);
    } else {
        ParseArgument(word, false);
    }
}

std::string FileNameExtension(std::string_view fileName) {
    if (fileName.size() < 3) return {};
    std::string extension(fileName.substr(fileName.size() - 3));
    for (char& c : extension) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return extension;
}

}  // namespace vyr
