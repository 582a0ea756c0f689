#include "content/font_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/captured_stream.h"
#include "support/ilda_bytes.h"
#include "support/temp_home.h"

namespace vyr::test {
namespace {

int OpenDescriptors() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

struct FontRead {
    std::int16_t result = 0;
    std::string messages;
};

FontRead ReadFontBytes(const TempHome& home, FontList& fonts, const std::string& bytes) {
    const std::string path = home.File("font.ild");
    WriteFileBytes(path, bytes);
    CapturedStream messages;
    fonts.SetMessageStream(messages.Stream());
    FontRead read;
    read.result = fonts.ReadFontFile(path);
    read.messages = messages.Text();
    fonts.SetMessageStream(nullptr);
    return read;
}

std::vector<std::array<int, 3>> GlyphOf(const Font& font, int index) {
    std::vector<std::array<int, 3>> out;
    for (const GlyphPoint& p : font.Glyph(index)) out.push_back({p.x, p.y, p.blanked});
    return out;
}

TEST(FontList, ReadsGlyphSectionsIntoTheCurrentFont) {
    TempHome home;
    FontList fonts;
    const std::string bytes = Header(0, 2, 0, 3) + P0(-100, 0, 0, 0x4000) + P0(300, 50, 7, 0) +  // " "
                              Header(0, 3, 1, 3) + P0(0, 10, 0, 0x4000) + P0(0, 10, 0, 0x4000) +
                              P0(-32768, -32768, 0, 0x8000) +  // "!"
                              EndMarker(3);
    const FontRead read = ReadFontBytes(home, fonts, bytes);
    ASSERT_EQ(read.result, 1);
    EXPECT_EQ(read.messages, "\n");
    EXPECT_EQ(fonts.fontLoaded, 1);
    const Font& font = fonts.CurrentFont();
    EXPECT_EQ(GlyphOf(font, 0), (std::vector<std::array<int, 3>>{{32667, 32767, 1}, {33067, 32817, 0}}));
    EXPECT_EQ(font.entries[0].minX, 32667);
    EXPECT_EQ(font.entries[0].maxX, 33067);
    EXPECT_EQ(font.Width(0), 400);
    EXPECT_EQ(GlyphOf(font, 1), (std::vector<std::array<int, 3>>{{32767, 32777, 1}, {32767, 32777, 1}, {-1, -1, 0}}));
    EXPECT_EQ(font.Width(1), 32768);
    // Characters without a section stay empty and measure nothing.
    EXPECT_FALSE(font.HasGlyph(2));
    EXPECT_EQ(font.entries[2].minX, 65534);
    EXPECT_EQ(font.entries[2].maxX, 0);
    EXPECT_EQ(font.Width(2), 0);
    EXPECT_TRUE(fonts.HasFontInfo());
}

// Point records are taken at the size their format code gives them; the
// same glyph written in every point format reads the same.
TEST(FontList, EveryPointFormatReadsTheSameGlyph) {
    struct Case {
        int format;
        std::string records;
    };
    const Case cases[] = {
        {0, P0(-5, 6, 99, 0x4000) + P0(7, -8, 99, 0) + P0(9, 10, 99, 0x4000)},
        {1, P1(-5, 6, 0x4000) + P1(7, -8, 0) + P1(9, 10, 0x4000)},
        {4, P4(-5, 6, 99, 0x40, 1, 2, 3) + P4(7, -8, 99, 0, 1, 2, 3) + P4(9, 10, 99, 0x40, 1, 2, 3)},
        {5, P5(-5, 6, 0x40, 1, 2, 3) + P5(7, -8, 0, 1, 2, 3) + P5(9, 10, 0x40, 1, 2, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        TempHome home;
        FontList fonts;
        // Two glyphs, so a misread record size would shift the second one.
        const std::string bytes = Header(c.format, 3, 0, 2) + c.records + Header(c.format, 3, 1, 2) + c.records;
        const FontRead read = ReadFontBytes(home, fonts, bytes);
        ASSERT_EQ(read.result, 1) << read.messages;
        const std::vector<std::array<int, 3>> expected{{32762, 32773, 1}, {32774, 32759, 0}, {32776, 32777, 1}};
        EXPECT_EQ(GlyphOf(fonts.CurrentFont(), 0), expected);
        EXPECT_EQ(GlyphOf(fonts.CurrentFont(), 1), expected);
    }
}

TEST(FontList, PaletteSectionsAreSkippedAndDoNotTakeACharacter) {
    TempHome home;
    FontList fonts;
    const std::string bytes = Header(2, 2, 0, 0) + Pal(1, 2, 3) + Pal(4, 5, 6) + Header(1, 1, 0, 2) + P1(1, 1, 0) +
                              Header(1, 1, 1, 2) + P1(2, 2, 0) + EndMarker(2);
    ASSERT_EQ(ReadFontBytes(home, fonts, bytes).result, 1);
    EXPECT_EQ(GlyphOf(fonts.CurrentFont(), 0), (std::vector<std::array<int, 3>>{{32768, 32768, 0}}));
    EXPECT_EQ(GlyphOf(fonts.CurrentFont(), 1), (std::vector<std::array<int, 3>>{{32769, 32769, 0}}));
}

TEST(FontList, MoreThanNinetyFiveSectionsStoreNinetyFive) {
    TempHome home;
    FontList fonts;
    std::string bytes;
    for (int i = 0; i < 120; ++i) bytes += Header(1, 1, i, 120) + P1(i, 0, 0);
    ASSERT_EQ(ReadFontBytes(home, fonts, bytes).result, 1);
    const Font& font = fonts.CurrentFont();
    for (int i = 0; i < Font::kCharacters; ++i) {
        ASSERT_EQ(GlyphOf(font, i), (std::vector<std::array<int, 3>>{{32767 + i, 32767, 0}})) << i;
    }
    EXPECT_EQ(font.points.size(), 95u);
}

TEST(FontList, AFileThatEndsAfterItsLastGlyphNeedsNoEndMarker) {
    TempHome home;
    FontList fonts;
    ASSERT_EQ(ReadFontBytes(home, fonts, Header(1, 1, 0, 1) + P1(0, 0, 0)).result, 1);
    EXPECT_TRUE(fonts.HasFontInfo());
}

TEST(FontList, HeaderWarningsAreReportedAndTheFontStillLoads) {
    TempHome home;
    FontList fonts;
    HeaderBytes h{1, 1, 0, 1};
    h.unused = 7;
    h.reserved = 1;
    const FontRead read = ReadFontBytes(home, fonts, Header(h) + P1(0, 0, 0));
    EXPECT_EQ(read.result, 1);
    EXPECT_EQ(read.messages, "One or more of first 3 unused bytes not zero.\r\nNon zero future value.\r\n\n");
}

// A font cut short anywhere, or with a section of an unknown format, is
// refused with the field it stopped at; the font that was current stays as it
// was, and the file is closed.
TEST(FontList, TruncatedAndUnknownFilesAreRefusedAndLeaveTheFontAlone) {
    const std::string glyph0 = Header(0, 1, 0, 2) + P0(1, 2, 3, 0);
    const std::string header4 = Header(4, 1, 1, 2);
    struct Case {
        std::size_t keep;  // bytes of `whole` kept; whole = glyph0 + header4 + one format-4 record
        const char* message;
    };
    const std::string whole = glyph0 + header4 + P4(1, 2, 3, 0, 0, 0, 0);
    const std::size_t h = glyph0.size();  // where the second header starts
    const std::size_t p = h + 32;         // where its point starts
    const Case cases[] = {
        {0, "Error reading ILDA preamble.\r\n"},
        {2, "Error reading ILDA preamble.\r\n"},
        {5, "Error reading first 3 unused bytes.\r\n"},
        {7, "Error reading format code.\r\n"},
        {12, "Error reading frame name.\r\n"},
        {20, "Error reading company name.\r\n"},
        {25, "Error reading total points.\r\n"},
        {27, "Error reading frame number.\r\n"},
        {29, "Error reading total frames.\r\n"},
        {30, "Error reading scanner head.\r\n"},
        {31, "Error reading future value.\r\n"},
        {33, "Error reading X coordinate.\r\n"},
        {35, "Error reading Y coordinate.\r\n"},
        {37, "Error reading Z coordinate.\r\n"},
        {h + 2, "Error reading ILDA preamble.\r\n"},
        {p + 1, "Error reading X coordinate.\r\n"},
        {p + 5, "Error reading Z coordinate.\r\n"},
        {p + 6, "Error reading point status.\r\n"},
        {p + 8, "Error reading point colour.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keep);
        TempHome home;
        FontList fonts;
        ASSERT_EQ(ReadFontBytes(home, fonts, Header(1, 1, 0, 1) + P1(-9, 0, 0)).result, 1);
        const int descriptors = OpenDescriptors();
        const FontRead read = ReadFontBytes(home, fonts, whole.substr(0, c.keep));
        EXPECT_EQ(read.result, 0);
        EXPECT_EQ(read.messages, c.message);
        EXPECT_EQ(GlyphOf(fonts.CurrentFont(), 0), (std::vector<std::array<int, 3>>{{32758, 32767, 0}}));
        EXPECT_EQ(OpenDescriptors(), descriptors);
    }
    TempHome home;
    FontList fonts;
    const FontRead unknown = ReadFontBytes(home, fonts, glyph0 + Header(3, 1, 1, 2) + P0(0, 0, 0, 0));
    EXPECT_EQ(unknown.result, 0);
    EXPECT_EQ(unknown.messages, "Unknown format code 3.\r\n");
    EXPECT_EQ(fonts.fontLoaded, 0);
    EXPECT_FALSE(fonts.HasFontInfo());
}

TEST(FontList, AMissingFileIsLogged) {
    TempHome home;
    FontList fonts;
    const std::string path = home.File("no-such-font.ild");
    EXPECT_EQ(fonts.ReadFontFile(path), 0);
    EXPECT_EQ(home.LogLines(), (std::vector<std::string>{"FontList::ReadFontFile(): Unable to open font file " + path +
                                                         " for reading."}));
    EXPECT_EQ(fonts.fontLoaded, 0);
}

TEST(FontList, SelectAndClearWorkOnTheCurrentFontOnly) {
    TempHome home;
    FontList fonts;
    for (const auto& [n, expected] : std::vector<std::pair<int, int>>{{1, 1}, {2, 2}, {3, 3}, {0, 0}, {4, 0}, {-1, 0},
                                                                       {65536 + 2, 0}}) {
        fonts.SelectFont(n);
        EXPECT_EQ(fonts.currentFont, expected) << n;
    }
    fonts.SelectFont(2);
    ASSERT_EQ(ReadFontBytes(home, fonts, Header(1, 1, 0, 1) + P1(5, 5, 0)).result, 1);
    EXPECT_TRUE(fonts.HasFontInfo());
    fonts.SelectFont(0);
    EXPECT_FALSE(fonts.HasFontInfo());
    ASSERT_EQ(ReadFontBytes(home, fonts, Header(1, 1, 0, 1) + P1(6, 6, 0)).result, 1);
    fonts.ClearFont();
    EXPECT_FALSE(fonts.HasFontInfo());
    EXPECT_EQ(fonts.CurrentFont().points.size(), 0u);
    EXPECT_EQ(GlyphOf(fonts.GetFont(2), 0), (std::vector<std::array<int, 3>>{{32772, 32772, 0}}));
}

// Whatever the bytes, a read either fails or leaves a font whose entries all
// lie inside its point store, and never leaves the file open.
TEST(FontList, RandomBytesNeverBreakTheFont) {
    std::mt19937 random(1234);
    TempHome home;
    for (int round = 0; round < 150; ++round) {
        std::string bytes(static_cast<std::size_t>(random() % 400), '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        // Now and then a plausible header, so that reads get past the first section.
        if (round % 3 == 0) bytes = Header(static_cast<int>(random() % 6), static_cast<int>(random() % 8), 0, 1) + bytes;
        FontList fonts;
        const int descriptors = OpenDescriptors();
        const FontRead read = ReadFontBytes(home, fonts, bytes);
        EXPECT_EQ(OpenDescriptors(), descriptors);
        const Font& font = fonts.CurrentFont();
        std::size_t total = 0;
        for (const FontEntry& e : font.entries) {
            ASSERT_LE(e.first + e.count, font.points.size());
            total += e.count;
        }
        EXPECT_EQ(total, font.points.size());
        if (read.result == 0) {
            EXPECT_TRUE(font.points.empty());
        }
    }
}

TEST(DefaultFont, LoadsWithAGlyphForEveryCharacter) {
    TempHome home;
    FontList fonts;
    const std::string path = std::string(VYR_ASSETS_DIR) + "/default_font.ild";
    CapturedStream messages;
    fonts.SetMessageStream(messages.Stream());
    ASSERT_EQ(fonts.ReadFontFile(path), 1);
    EXPECT_EQ(messages.Text(), "\n");
    const Font& font = fonts.CurrentFont();
    // The space is two blanked points, as far apart as it is wide.
    const auto space = font.Glyph(0);
    ASSERT_EQ(space.size(), 2u);
    EXPECT_EQ(space[0].blanked + space[1].blanked, 2);
    for (int i = 1; i < Font::kCharacters; ++i) {
        SCOPED_TRACE(i);
        // The anchor point is a copy of the first drawn one.
        const auto glyph = font.Glyph(i);
        ASSERT_GE(glyph.size(), 2u);
        EXPECT_EQ(glyph[0].x, glyph[1].x);
        EXPECT_EQ(glyph[0].y, glyph[1].y);
        EXPECT_EQ(glyph[1].blanked, 1);
    }
    // Letters are wider than the space between them, the space wider than a letter gap.
    EXPECT_GT(font.Width('M' - 32), 2500);
    EXPECT_GT(font.Width(0), 2500);
    EXPECT_EQ(font.Width('l' - 32), 0);
    // What the build puts beside the executables is the shipped file.
    EXPECT_EQ(ReadFileBytes(std::string(VYR_BUILD_ROOT) + "/default_font.ild"), ReadFileBytes(path));
}

}  // namespace
}  // namespace vyr::test
