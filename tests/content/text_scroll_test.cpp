#include "content/text_scroll.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "support/captured_stream.h"
#include "support/font_bytes.h"
#include "support/temp_home.h"

namespace vyr::test {
namespace {

// Widths: the space 1000, "A" 3000, "B" 0, every other character 500.
std::string TestFont() {
    return FontFileBytes({{' ', {{0, 0, 1}, {1000, 0, 1}}},
                          {'A', {{0, 0, 1}, {0, 0, 1}, {3000, 0, 0}}},
                          {'B', {{0, 0, 1}, {0, 0, 1}, {0, 4000, 0}}}},
                         {{0, 0, 1}, {500, 0, 1}});
}

class TextFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadFontBytes(home, fonts, TestFont())); }

    // Reads `bytes` as a text file; the console messages go to `messages`.
    std::int16_t Read(const std::string& bytes) {
        const std::string path = home.File("text.txt");
        WriteFileBytes(path, bytes);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        const std::int16_t result = text.ReadTextFile(file, fonts, messages.Stream());
        std::fclose(file);
        return result;
    }
    std::vector<std::array<double, 3>> Placed() const {
        std::vector<std::array<double, 3>> out;
        for (const PlacedCharacter& c : text.PlacedCharacters()) out.push_back({c.start, c.end, double(c.charIndex)});
        return out;
    }

    TempHome home;
    FontList fonts;
    TextScroll text;
    CapturedStream messages;
};

TEST_F(TextFile, ANewTextScrollStartsStillAtTheLeft) {
    EXPECT_EQ(text.scrollRate, 2000);
    EXPECT_EQ(text.scrollPosition, 0.0);
    EXPECT_EQ(text.lastIndex, 0);
    EXPECT_TRUE(text.PlacedCharacters().empty());
}

TEST_F(TextFile, PlacesEachCharacterAfterThePreviousOneAndALetterGap) {
    ASSERT_EQ(Read("AB\n"), 1);
    EXPECT_EQ(Placed(), (std::vector<std::array<double, 3>>{{0, 3000, 33}, {5500, 5500, 34}, {8000, 9000, 0}}));
    EXPECT_EQ(text.lastIndex, 2);
    EXPECT_EQ(text.scrollPosition, 65534.0);
    EXPECT_EQ(text.DrawnCharacters(), 2);  // the line end is not drawn
    EXPECT_EQ(text.TextEnd(), 5500.0);
    EXPECT_EQ(messages.Text(), "");
}

// The text moves left by the scroll rate each frame and starts again from the
// right once the end of B has gone past the left edge.
TEST_F(TextFile, TheTextRestartsWhenItsEndHasLeftTheView) {
    ASSERT_EQ(Read("AB\n"), 1);
    for (int i = 0; i < 35; ++i) text.AdvanceScroll();
    EXPECT_EQ(text.scrollPosition, 65534.0 - 35 * 2000);  // B ends at 1034: still in view
    text.AdvanceScroll();
    EXPECT_EQ(text.scrollPosition, 65534.0);
}

TEST_F(TextFile, KeepsTheFirstThousandCharacters) {
    ASSERT_EQ(Read(std::string(1001, 'A')), 1);
    EXPECT_EQ(text.PlacedCharacters().size(), 1000u);
    EXPECT_EQ(text.lastIndex, 999);
    EXPECT_EQ(text.PlacedCharacters().back().start, 999 * 5500.0);
}

// Bytes the font has no glyph for become spaces; all but line ends are reported.
TEST_F(TextFile, BytesOutsideTheFontBecomeSpaces) {
    std::string bytes = "A";
    bytes += static_cast<char>(200);
    bytes += "B\r\n";
    bytes += std::string{'\0', '\t', '\x1f', '\x7f', '\xff'};
    ASSERT_EQ(Read(bytes), 1);
    const auto placed = Placed();
    ASSERT_EQ(placed.size(), 10u);
    for (std::size_t i : {1u, 3u, 4u, 5u, 6u, 7u, 8u, 9u}) EXPECT_EQ(placed[i][2], 0) << i;
    EXPECT_EQ(placed[1], (std::array<double, 3>{5500, 6500, 0}));
    const std::string expected =
        std::string("Character number 1 has value 0xc8 [\xc8] which is not included in font table.\r\n") +
        "Character number 5 has value 0x0 [" + std::string(1, '\0') + "] which is not included in font table.\r\n" +
        "Character number 6 has value 0x9 [\t] which is not included in font table.\r\n" +
        "Character number 7 has value 0x1f [\x1f] which is not included in font table.\r\n" +
        "Character number 8 has value 0x7f [\x7f] which is not included in font table.\r\n" +
        "Character number 9 has value 0xff [\xff] which is not included in font table.\r\n";
    EXPECT_EQ(messages.Text(), expected);
}

// A text of fewer than two characters ends at its first character, so the
// scroll still wraps once that has left the view.
TEST_F(TextFile, ShortTextsEndAtTheirFirstCharacter) {
    ASSERT_EQ(Read("A"), 1);
    EXPECT_EQ(text.lastIndex, 0);
    EXPECT_EQ(text.DrawnCharacters(), 0);
    EXPECT_EQ(text.TextEnd(), 3000.0);
    text.scrollPosition = -1000.0;
    text.AdvanceScroll();
    EXPECT_EQ(text.scrollPosition, -3000.0);
    text.AdvanceScroll();
    EXPECT_EQ(text.scrollPosition, 65534.0);

    ASSERT_EQ(Read(""), 1);
    EXPECT_EQ(text.lastIndex, -1);
    EXPECT_EQ(text.DrawnCharacters(), 0);
    EXPECT_EQ(text.TextEnd(), 0.0);
    text.scrollPosition = 1000.0;
    text.AdvanceScroll();
    EXPECT_EQ(text.scrollPosition, 65534.0);
}

TEST_F(TextFile, ACharacterWithoutAGlyphTakesNoWidth) {
    FontList sparse;
    ASSERT_TRUE(LoadFontBytes(home, sparse, Header(1, 1, 0, 2) + P1(0, 0, 0) + EndMarker(2)));
    const std::string path = home.File("text.txt");
    WriteFileBytes(path, "Q Q");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_EQ(text.ReadTextFile(file, sparse, nullptr), 1);
    std::fclose(file);
    EXPECT_EQ(Placed(), (std::vector<std::array<double, 3>>{{0, 0, 49}, {2500, 2500, 0}, {5000, 5000, 49}}));
}

TEST_F(TextFile, RefusedWithoutAFontOrAFile) {
    FontList empty;
    EXPECT_EQ(text.ReadTextFile(nullptr, empty, messages.Stream()), 0);
    EXPECT_EQ(text.scrollPosition, 65534.0);
    EXPECT_EQ(text.ReadTextFile(nullptr, fonts, messages.Stream()), 0);
    EXPECT_EQ(messages.Text(), "ReadTextFile(): Font info not available.\nReadTextFile(): NULL file pointer.\n");
}

TEST_F(TextFile, RandomAndLargeFilesPlaceAtMostAThousandCharactersOfTheFont) {
    std::mt19937 random(99);
    for (const std::size_t size : {std::size_t{17}, std::size_t{999}, std::size_t{1} << 20}) {
        SCOPED_TRACE(size);
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        ASSERT_EQ(Read(bytes), 1);
        const auto& placed = text.PlacedCharacters();
        EXPECT_EQ(placed.size(), std::min<std::size_t>(size, 1000));
        double b = 0.0;
        for (std::size_t k = 0; k < placed.size(); ++k) {
            ASSERT_GE(placed[k].charIndex, 0);
            ASSERT_LT(placed[k].charIndex, Font::kCharacters);
            const auto c = static_cast<unsigned char>(bytes[k]);
            ASSERT_EQ(placed[k].charIndex, c >= 32 && c <= 126 ? c - 32 : 0);
            ASSERT_EQ(placed[k].start, b);
            b = placed[k].end + 2500.0;
        }
    }
}

// The depth of a text point by formula, worked out here from the formulas
// themselves.
TEST(TextPointDepth, Formulas) {
    constexpr double kPi = std::numbers::pi;
    Track track;
    track.zAxisGain = 50;
    track.zAxisOffset = 30;
    track.zAxisPeriod = 2.0f;
    track.zAxisPhase = 45.0;
    const double o = 40000.0;
    const std::int16_t x = 7233, y = -2000;
    struct Case {
        int formula;
        double amplitude;
    };
    const Case cases[] = {
        {1, 10000.0 * std::sin(std::sqrt(7233.0 * 7233.0 + 2000.0 * 2000.0) / 6000.0 + 45.0 * kPi / 180.0)},
        {2, 32766.0 * std::sin(30.0 * kPi / 180.0 + o * (2.0 * 2.0 * kPi) / 65533.0)},
        {3, -1.5 * std::sqrt(2.0 * 7233.0 * 7233.0) + 100.0 * 30.0},
        {4, 0.0}, {5, 0.0}, {8, 0.0}, {0, 0.0}, {9, 0.0},
    };
    for (const Case& c : cases) {
        track.zAxisFormula = static_cast<std::uint16_t>(c.formula);
        EXPECT_EQ(TextPointDepth(track, o, x, y), static_cast<std::int16_t>(std::trunc(c.amplitude * 50 * 0.01)))
            << c.formula;
    }
    // No gain, no depth, whatever the formula.
    track.zAxisGain = 0;
    for (int formula = 1; formula <= 3; ++formula) {
        track.zAxisFormula = static_cast<std::uint16_t>(formula);
        EXPECT_EQ(TextPointDepth(track, o, x, y), 0);
    }
    // Depths beyond 16 bits stop at the limit rather than wrapping round.
    track.zAxisGain = 100;
    track.zAxisFormula = 3;
    track.zAxisOffset = 0;
    EXPECT_EQ(TextPointDepth(track, 0.0, -32767, 0), -32768);
    track.zAxisGain = -100;
    EXPECT_EQ(TextPointDepth(track, 0.0, -32767, 0), 32767);
}

}  // namespace
}  // namespace vyr::test
