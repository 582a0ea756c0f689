#include "render/palettes.h"

#include <gtest/gtest.h>

#include <set>

namespace vyr {
namespace {

struct EntryCase {
    int palette;
    int index;
    int r, g, b;
};

// Entries worked out by hand from the table descriptions, including every
// wheel's leg boundaries.
TEST(PalettesTest, EntriesHoldTheirColours) {
    const EntryCase cases[] = {
        // Pangolin
        {kPalettePangolin, 0, 255, 0, 0},
        {kPalettePangolin, 8, 255, 128, 0},
        {kPalettePangolin, 15, 255, 240, 0},
        {kPalettePangolin, 16, 255, 255, 0},
        {kPalettePangolin, 17, 224, 255, 0},
        {kPalettePangolin, 23, 32, 255, 0},
        {kPalettePangolin, 24, 0, 255, 0},
        {kPalettePangolin, 31, 0, 255, 224},
        {kPalettePangolin, 32, 0, 130, 255},
        {kPalettePangolin, 35, 10, 96, 255},
        {kPalettePangolin, 39, 0, 32, 255},
        {kPalettePangolin, 40, 0, 0, 255},
        {kPalettePangolin, 46, 224, 0, 255},
        {kPalettePangolin, 47, 255, 0, 255},
        {kPalettePangolin, 50, 255, 96, 255},
        {kPalettePangolin, 54, 255, 224, 255},
        {kPalettePangolin, 55, 255, 255, 255},
        {kPalettePangolin, 56, 255, 224, 224},
        {kPalettePangolin, 57, 255, 255, 255},
        {kPalettePangolin, 62, 255, 32, 32},
        {kPalettePangolin, 63, 255, 32, 32},
        {kPalettePangolin, 254, 255, 32, 32},
        {kPalettePangolin, 255, 0, 0, 0},
        // ILDA: fixed colours
        {kPaletteIlda, 0, 0, 0, 0},
        {kPaletteIlda, 1, 255, 255, 255},
        {kPaletteIlda, 3, 255, 255, 0},
        {kPaletteIlda, 6, 0, 0, 255},
        {kPaletteIlda, 7, 255, 0, 255},
        // first wheel (128..255)
        {kPaletteIlda, 8, 255, 128, 128},
        {kPaletteIlda, 11, 255, 163, 128},
        {kPaletteIlda, 19, 255, 255, 128},
        {kPaletteIlda, 20, 243, 255, 128},
        {kPaletteIlda, 30, 128, 255, 128},
        {kPaletteIlda, 31, 128, 255, 140},
        {kPaletteIlda, 41, 128, 255, 255},
        {kPaletteIlda, 42, 128, 243, 255},
        {kPaletteIlda, 52, 128, 128, 255},
        {kPaletteIlda, 53, 140, 128, 255},
        {kPaletteIlda, 63, 255, 128, 255},
        {kPaletteIlda, 64, 255, 128, 243},
        {kPaletteIlda, 73, 255, 128, 140},
        // saturated wheel (0..255)
        {kPaletteIlda, 74, 255, 0, 0},
        {kPaletteIlda, 77, 255, 70, 0},
        {kPaletteIlda, 85, 255, 255, 0},
        {kPaletteIlda, 86, 232, 255, 0},
        {kPaletteIlda, 96, 0, 255, 0},
        {kPaletteIlda, 107, 0, 255, 255},
        {kPaletteIlda, 118, 0, 0, 255},
        {kPaletteIlda, 129, 255, 0, 255},
        {kPaletteIlda, 130, 255, 0, 232},
        {kPaletteIlda, 139, 255, 0, 23},
        // dark wheel (0..128)
        {kPaletteIlda, 140, 128, 0, 0},
        {kPaletteIlda, 151, 128, 128, 0},
        {kPaletteIlda, 162, 0, 128, 0},
        {kPaletteIlda, 205, 128, 0, 12},
        // tints, the lone pink and the greys
        {kPaletteIlda, 206, 255, 192, 192},
        {kPaletteIlda, 209, 64, 0, 0},
        {kPaletteIlda, 218, 192, 255, 255},
        {kPaletteIlda, 229, 64, 0, 64},
        {kPaletteIlda, 230, 255, 96, 96},
        {kPaletteIlda, 231, 255, 255, 255},
        {kPaletteIlda, 243, 128, 128, 128},
        {kPaletteIlda, 254, 11, 11, 11},
        {kPaletteIlda, 255, 0, 0, 0},
        // Laser Illusions differs from ILDA only at 3..6
        {kPaletteLaserIllusions, 2, 255, 0, 0},
        {kPaletteLaserIllusions, 3, 0, 255, 0},
        {kPaletteLaserIllusions, 4, 0, 0, 255},
        {kPaletteLaserIllusions, 5, 255, 255, 0},
        {kPaletteLaserIllusions, 6, 0, 255, 255},
        {kPaletteLaserIllusions, 7, 255, 0, 255},
        {kPaletteLaserIllusions, 77, 255, 70, 0},
        // X29
        {kPaletteX29, 1, 0, 0, 0},
        {kPaletteX29, 3, 255, 0, 0},
        {kPaletteX29, 5, 255, 255, 0},
        {kPaletteX29, 8, 128, 128, 0},
        {kPaletteX29, 11, 0, 0, 255},
        {kPaletteX29, 12, 255, 0, 255},
        {kPaletteX29, 15, 255, 255, 255},
        {kPaletteX29, 19, 0, 255, 255},
        {kPaletteX29, 20, 255, 0, 0},
        {kPaletteX29, 255, 255, 0, 0},
    };
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "palette " << c.palette << " index " << c.index);
        const std::uint32_t entry = PaletteByNumber(c.palette)[c.index];
        EXPECT_EQ(PaletteRed(entry), c.r);
        EXPECT_EQ(PaletteGreen(entry), c.g);
        EXPECT_EQ(PaletteBlue(entry), c.b);
    }
    // The packing itself: index | R << 8 | G << 16 | B << 24.
    EXPECT_EQ(PaletteByNumber(kPalettePangolin)[255], 0x000000FFu);
    EXPECT_EQ(PaletteByNumber(kPaletteIlda)[77], 0x0046FF4Du);
}

TEST(PalettesTest, EveryEntryCarriesItsIndexAndOnlyLaserIllusionsDiffersFromIlda) {
    for (int n = 0; n < kPaletteCount; ++n) {
        for (int i = 0; i < kPaletteEntries; ++i) {
            EXPECT_EQ(PaletteByNumber(n)[i] & 0xFFu, static_cast<std::uint32_t>(i)) << n << " " << i;
        }
    }
    std::set<int> differing;
    for (int i = 0; i < kPaletteEntries; ++i) {
        if (PaletteByNumber(kPaletteIlda)[i] != PaletteByNumber(kPaletteLaserIllusions)[i]) differing.insert(i);
    }
    EXPECT_EQ(differing, (std::set<int>{3, 4, 5, 6}));
}

TEST(PalettesTest, NumbersSelectTablesAndUnknownNumbersGivePangolin) {
    std::set<const std::uint32_t*> tables;
    for (int n = 0; n < kPaletteCount; ++n) {
        tables.insert(PaletteByNumber(n));
        EXPECT_EQ(PaletteNumberOf(PaletteByNumber(n)), n);
    }
    EXPECT_EQ(tables.size(), 4u);
    for (int n : {-1, 4, 7, 258}) EXPECT_EQ(PaletteByNumber(n), PaletteByNumber(kPalettePangolin)) << n;
    EXPECT_EQ(PaletteNumberOf(nullptr), kPalettePangolin);
}

struct NearestCase {
    int palette;  // -1: no palette
    int r, g, b;
    int expected;
};

TEST(PalettesTest, NearestIndexPrefersTheLaterOfEqualMatches) {
    const NearestCase cases[] = {
        {kPaletteIlda, 255, 0, 0, 74},     // entry 2 equals entry 74; the later wins
        {kPaletteIlda, 255, 255, 255, 231},
        {kPaletteIlda, 0, 0, 0, 255},
        {kPalettePangolin, 0, 0, 0, 255},  // index 255 counts as black
        {kPalettePangolin, 250, 5, 3, 0},  // entry 1 is as close in red and blue but not in green
        {kPalettePangolin, 255, 100, 0, 6},
        {kPalettePangolin, 10, 96, 255, 35},
        {kPaletteX29, 255, 0, 0, 255},
        {kPaletteX29, 0, 0, 0, 1},
        {kPaletteX29, 120, 130, 10, 9},
        {kPaletteLaserIllusions, 0, 255, 0, 96},
        {-1, 255, 255, 255, 0},
    };
    for (const NearestCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "palette " << c.palette << " colour " << c.r << "," << c.g << "," << c.b);
        const std::uint32_t* palette = c.palette < 0 ? nullptr : PaletteByNumber(c.palette);
        EXPECT_EQ(NearestPaletteIndex(palette, static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g),
                                      static_cast<std::uint8_t>(c.b)),
                  c.expected);
    }
}

}  // namespace
}  // namespace vyr
