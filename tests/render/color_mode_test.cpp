#include "render/color_mode.h"

#include <gtest/gtest.h>

#include <array>

namespace vyr {
namespace {

struct ModeCase {
    int mode;
    std::array<float, 3> thresholds;
    std::array<int, 3> in;
    std::array<int, 3> out;
};

std::array<int, 3> Convert(int mode, const std::array<float, 3>& t, const std::array<int, 3>& in) {
    auto r = static_cast<std::uint8_t>(in[0]);
    auto g = static_cast<std::uint8_t>(in[1]);
    auto b = static_cast<std::uint8_t>(in[2]);
    ApplyColorMode(static_cast<std::uint16_t>(mode), t[0], t[1], t[2], r, g, b);
    return {r, g, b};
}

TEST(ColorModeTest, ConvertsEachMode) {
    const std::array<float, 3> half{0.5f, 0.5f, 0.5f};
    const ModeCase cases[] = {
        {kColorNormal, half, {10, 20, 30}, {10, 20, 30}},
        {kColorInvert, half, {0, 100, 255}, {255, 155, 0}},
        {kColorMonochrome, half, {0, 0, 0}, {0, 0, 0}},
        {kColorMonochrome, half, {1, 0, 0}, {255, 255, 255}},
        {kColorMonochrome, half, {0, 0, 9}, {255, 255, 255}},
        // grey = (0.4 r + 0.4 g + 0.2 b) / number of lit components, truncated
        {kColorGrayScale, half, {0, 0, 0}, {0, 0, 0}},
        {kColorGrayScale, half, {255, 0, 0}, {102, 102, 102}},
        {kColorGrayScale, half, {0, 0, 255}, {51, 51, 51}},
        {kColorGrayScale, half, {255, 255, 255}, {85, 85, 85}},
        {kColorGrayScale, half, {10, 20, 0}, {6, 6, 6}},
        {kColorGrayScale, half, {0, 255, 255}, {76, 76, 76}},
        // exactly 6 and 4: floating weights would truncate these one lower
        {kColorGrayScale, half, {1, 43, 2}, {6, 6, 6}},
        {kColorGrayScale, half, {1, 28, 2}, {4, 4, 4}},
        {kColorCvl, half, {0, 0, 255}, {127, 127, 0}},
        {kColorCvl, half, {100, 50, 0}, {100, 50, 0}},
        {kColorCvl, half, {1, 2, 3}, {2, 2, 0}},
        {kColorCvl, half, {255, 255, 255}, {255, 255, 0}},
        {kColorTtl, half, {128, 127, 0}, {255, 0, 0}},
        {kColorTtl, half, {255, 255, 255}, {255, 255, 255}},
        {kColorTtl, {0.1f, 0.5f, 0.9f}, {26, 128, 229}, {255, 255, 0}},
        {kColorTtl, {0.0f, 0.0f, 0.0f}, {1, 0, 1}, {255, 0, 255}},
        {kColorRgInvertTtl, half, {0, 0, 0}, {0, 255, 0}},
        {kColorRgInvertTtl, half, {0, 0, 200}, {255, 0, 0}},
        {kColorRgInvertTtl, half, {200, 200, 0}, {255, 255, 0}},
        {kColorRgInvertTtl, half, {200, 0, 200}, {255, 0, 0}},
        {kColorRgInvertTtl, half, {0, 200, 127}, {0, 255, 0}},
        {kColorRgInvertTtl, half, {0, 200, 128}, {255, 255, 0}},
        {7, half, {1, 2, 3}, {1, 2, 3}},
        {65535, half, {1, 2, 3}, {1, 2, 3}},
    };
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " colour " << c.in[0] << "," << c.in[1] << ","
                                          << c.in[2]);
        EXPECT_EQ(Convert(c.mode, c.thresholds, c.in), c.out);
    }
}

TEST(ColorModeTest, GreyStaysInRangeAndRgInvertTtlAlwaysLightsRedOrGreen) {
    for (int r = 0; r < 256; r += 15) {
        for (int g = 0; g < 256; g += 15) {
            for (int b = 0; b < 256; b += 15) {
                const auto grey = Convert(kColorGrayScale, {0.5f, 0.5f, 0.5f}, {r, g, b});
                EXPECT_EQ(grey[0], grey[1]);
                EXPECT_EQ(grey[1], grey[2]);
                EXPECT_LE(grey[0], std::max({r, g, b}));
                const auto rg = Convert(kColorRgInvertTtl, {0.3f, 0.6f, 0.5f}, {r, g, b});
                EXPECT_TRUE(rg[0] == 255 || rg[1] == 255) << r << "," << g << "," << b;
                EXPECT_EQ(rg[2], 0);
            }
        }
    }
}

}  // namespace
}  // namespace vyr
