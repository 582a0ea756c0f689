#pragma once

#include <cstdint>

namespace vyr {

// The global colour modes that adapt a colour to the kind of laser in use.
enum ColorMode : std::uint16_t {
    kColorNormal = 0,
    kColorInvert = 1,
    kColorMonochrome = 2,
    kColorGrayScale = 3,
    kColorCvl = 4,
    kColorTtl = 5,
    kColorRgInvertTtl = 6,
};

// Converts the three 8-bit components in place. The thresholds are fractions
// 0..1 used by the TTL modes; any unknown mode leaves the colour unchanged.
// Runs for every segment, so it allocates nothing and only does integer and
// float compares.
void ApplyColorMode(std::uint16_t mode, float thresholdR, float thresholdG, float thresholdB, std::uint8_t& r,
                    std::uint8_t& g, std::uint8_t& b);

}  // namespace vyr
