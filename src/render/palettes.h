#pragma once

#include <cstdint>

namespace vyr {

// The four built-in colour tables an ILDA point's colour index is looked up in.
// Each entry is packed as index | R << 8 | G << 16 | B << 24; byte 0 is only
// the entry's own index, colour lookups read bytes 1..3.
enum PaletteNumber : int {
    kPalettePangolin = 0,
    kPaletteLaserIllusions = 1,
    kPaletteIlda = 2,
    kPaletteX29 = 3,
};

inline constexpr int kPaletteEntries = 256;
inline constexpr int kPaletteCount = 4;

inline constexpr std::uint32_t PackPaletteEntry(int index, int r, int g, int b) {
    return static_cast<std::uint32_t>(index & 0xFF) | (static_cast<std::uint32_t>(r & 0xFF) << 8) |
           (static_cast<std::uint32_t>(g & 0xFF) << 16) | (static_cast<std::uint32_t>(b & 0xFF) << 24);
}
inline constexpr std::uint8_t PaletteRed(std::uint32_t entry) { return static_cast<std::uint8_t>(entry >> 8); }
inline constexpr std::uint8_t PaletteGreen(std::uint32_t entry) { return static_cast<std::uint8_t>(entry >> 16); }
inline constexpr std::uint8_t PaletteBlue(std::uint32_t entry) { return static_cast<std::uint8_t>(entry >> 24); }

// The table of palette n (0 Pangolin, 1 Laser Illusions, 2 ILDA, 3 X29); any
// other number gives Pangolin. Every table has 256 entries.
const std::uint32_t* PaletteByNumber(int n);

// The number of a built-in table; 0 (Pangolin) for anything else.
int PaletteNumberOf(const std::uint32_t* palette);

// The index of the entry closest to (r, g, b), searched over all 256 entries;
// ties go to the later entry. 0 when palette is null.
std::uint8_t NearestPaletteIndex(const std::uint32_t* palette, std::uint8_t r, std::uint8_t g, std::uint8_t b);

}  // namespace vyr
