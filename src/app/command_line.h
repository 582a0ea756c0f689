#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vyr {

// What the command line asked for: a show file to open and play, a palette
// for it, and output settings that override the configuration for this run.
// The application start fills it word by word; the view applies it once after
// the configuration file has been read and then clears the flags.
struct CommandLineOptions {
    static constexpr std::int32_t kFileName = 0x01;
    static constexpr std::int32_t kPalette = 0x02;
    static constexpr std::int32_t kScanRate = 0x04;
    static constexpr std::int32_t kBlankingShift = 0x08;
    static constexpr std::int32_t kFrameDelay = 0x10;
    static constexpr std::int32_t kInvertBlanking = 0x20;
    static constexpr std::size_t kMaxFileName = 79;

    enum class Expecting { kNone, kPalette, kScanRate, kBlankingShift, kFrameDelay };

    std::int32_t flags = 0;
    std::string fileName;
    std::int32_t paletteIndex = 0;
    std::int16_t blankingShift = 0;
    std::int16_t frameDelay = 0;
    std::int32_t scanRate = 30000;
    Expecting expecting = Expecting::kNone;

    // One word of the command line. A flag comes without its leading '-' or '/'.
    void ParseArgument(std::string_view text, bool isFlag);
    // Tells a flag from a plain word and passes it on.
    void ParseWord(std::string_view word);

    bool Has(std::int32_t flag) const { return (flags & flag) != 0; }
};

// The last three characters of a file name, upper-cased; "" for a shorter name.
std::string FileNameExtension(std::string_view fileName);

}  // namespace vyr
