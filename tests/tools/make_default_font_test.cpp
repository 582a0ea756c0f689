#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "content/font_list.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

int RunGenerator(const test::TempHome& home, const std::string& args) {
#ifdef VYR_MAKE_DEFAULT_FONT_PATH
    const std::string command =
        std::string("'") + VYR_MAKE_DEFAULT_FONT_PATH + "' " + args + " 2>'" + home.File("stderr.txt") + "'";
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#else
    (void)home;
    (void)args;
    return -1;
#endif
}

// One .jhf glyph line: number, pair count (bounds included), bounds, vertices.
std::string JhfLine(int number, const std::string& pairs) {
    char head[48];
    std::snprintf(head, sizeof head, "%5d%3zu", number, pairs.size() / 2);
    return head + pairs + "\n";
}

class DefaultFontGenerator : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef VYR_MAKE_DEFAULT_FONT_PATH
        GTEST_SKIP() << "vyr-make-default-font is not built";
#endif
    }
    test::TempHome home;
};

std::vector<std::array<int, 3>> GlyphOf(const Font& font, int index) {
    std::vector<std::array<int, 3>> out;
    for (const GlyphPoint& p : font.Glyph(index)) out.push_back({p.x - 32767, p.y - 32767, p.blanked});
    return out;
}

// A face of our own: the space, an "A" of two strokes, a "B" whose line is
// continued on the next one, and dots for the rest.
TEST_F(DefaultFontGenerator, MakesTheLayoutTheFontReaderExpects) {
    std::vector<std::string> lines;
    for (int i = 0; i < 95; ++i) lines.push_back(JhfLine(i + 1, "NVRR"));
    lines[0] = JhfLine(1, "JZ");
    lines['A' - 32] = JhfLine(34, "JZRFJ[ RRFZ[");
    const std::string bPairs = "JZ" + std::string(60, 'R') + "R[";  // 31 vertices, one stroke
    const std::string b = JhfLine(35, bPairs);
    lines['B' - 32] = b.substr(0, 40) + "\n" + b.substr(40);
    std::string jhf;
    for (const std::string& line : lines) jhf += line;
    test::WriteFileBytes(home.File("face.jhf"), jhf);

    ASSERT_EQ(RunGenerator(home, "'" + home.File("face.jhf") + "' '" + home.File("font.ild") + "'"), 0);
    FontList fonts;
    fonts.SetMessageStream(nullptr);
    ASSERT_EQ(fonts.ReadFontFile(home.File("font.ild")), 1);
    const Font& font = fonts.CurrentFont();
    // The space is two blanked points as far apart as its width less a letter gap.
    EXPECT_EQ(GlyphOf(font, 0), (std::vector<std::array<int, 3>>{{0, 0, 1}, {5500, 0, 1}}));
    // 500 units per face unit, y turned upright with the capitals' middle at 0,
    // an anchor copy of the first point, pen-ups blanked.
    EXPECT_EQ(GlyphOf(font, 33), (std::vector<std::array<int, 3>>{
                                     {0, 5250, 1}, {0, 5250, 1}, {-4000, -5250, 0}, {0, 5250, 1}, {4000, -5250, 0}}));
    const auto glyphB = GlyphOf(font, 34);
    ASSERT_EQ(glyphB.size(), 32u);
    EXPECT_EQ(glyphB[1], (std::array<int, 3>{0, -750, 1}));
    EXPECT_EQ(glyphB.back(), (std::array<int, 3>{0, -5250, 0}));
    for (int i = 1; i < Font::kCharacters; ++i) EXPECT_TRUE(font.HasGlyph(i)) << i;
}

TEST_F(DefaultFontGenerator, RefusesAFaceWithTooFewGlyphs) {
    test::WriteFileBytes(home.File("short.jhf"), JhfLine(1, "JZ"));
    EXPECT_EQ(RunGenerator(home, "'" + home.File("short.jhf") + "' '" + home.File("font.ild") + "'"), 1);
    EXPECT_FALSE(std::filesystem::exists(home.File("font.ild")));
    EXPECT_EQ(RunGenerator(home, ""), 2);
}

// The shipped font is what the generator makes of Debian's simplex roman face.
TEST_F(DefaultFontGenerator, TheShippedFontIsTheGeneratedOne) {
    const std::string face = "/usr/share/hershey-fonts/rowmans.jhf";
    if (!std::filesystem::exists(face)) GTEST_SKIP() << "hershey-fonts-data is not installed";
    ASSERT_EQ(RunGenerator(home, face + " '" + home.File("font.ild") + "'"), 0);
    EXPECT_EQ(test::ReadFileBytes(home.File("font.ild")),
              test::ReadFileBytes(std::string(VYR_ASSETS_DIR) + "/default_font.ild"));
}

}  // namespace
}  // namespace vyr
