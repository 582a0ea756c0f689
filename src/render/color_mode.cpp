#include "render/color_mode.h"

namespace vyr {

namespace {

constexpr std::uint8_t kFull = 255;

// A component is lit in the TTL modes when it is above its threshold of full scale.
inline bool Above(std::uint8_t c, float threshold) { return static_cast<float>(c) > threshold * 255.0f; }

}  // namespace

void ApplyColorMode(std::uint16_t mode, float thresholdR, float thresholdG, float thresholdB, std::uint8_t& r,
                    std::uint8_t& g, std::uint8_t& b) {
    switch (mode) {
        case kColorInvert:
            r = static_cast<std::uint8_t>(kFull - r);
            g = static_cast<std::uint8_t>(kFull - g);
            b = static_cast<std::uint8_t>(kFull - b);
            break;
        case kColorMonochrome:
            if ((r | g | b) != 0) r = g = b = kFull;
            break;
        case kColorGrayScale: {
            const int lit = (r != 0) + (g != 0) + (b != 0);
            if (lit == 0) break;
            // (0.4 r + 0.4 g + 0.2 b) / lit, truncated, in exact integer arithmetic:
            // floating weights would land just below a whole grey for some colours
            // and truncate it one step darker. The weights sum to 1, so the grey
            // never exceeds 255.
            const int grey = (4 * r + 4 * g + 2 * b) / (10 * lit);
            r = g = b = static_cast<std::uint8_t>(grey);
            break;
        }
        case kColorCvl:
            if (b == 0) break;
            r = static_cast<std::uint8_t>((r + b) / 2);
            g = static_cast<std::uint8_t>((g + b) / 2);
            b = 0;
            break;
        case kColorTtl:
            r = Above(r, thresholdR) ? kFull : 0;
            g = Above(g, thresholdG) ? kFull : 0;
            b = Above(b, thresholdB) ? kFull : 0;
            break;
        case kColorRgInvertTtl:
            r = Above(r, thresholdR) ? kFull : 0;
            g = Above(g, thresholdG) ? kFull : 0;
            if (Above(b, thresholdB)) {
                r = kFull;
            } else {
                g = kFull;
            }
            b = 0;
            break;
        default:  // Normal and unknown modes
            break;
    }
}

}  // namespace vyr
