#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "content/text_scroll.h"
#include "render_rig.h"
#include "support/font_bytes.h"

namespace vyr::test {
namespace {

using Dac = std::array<int, 6>;
using Stream = std::vector<Dac>;

// "A" a horizontal stroke 1000 wide, "B" a vertical one 1000 high, "C" two
// strokes along 20000 units, "W" as wide as the whole view, the space 500.
std::string TestFont() {
    return FontFileBytes({{' ', {{0, 0, 1}, {500, 0, 1}}},
                          {'A', {{0, 0, 1}, {0, 0, 1}, {1000, 0, 0}}},
                          {'B', {{0, 0, 1}, {0, 0, 1}, {0, 1000, 0}}},
                          {'C', {{0, 0, 1}, {0, 0, 1}, {10000, 0, 0}, {20000, 0, 0}}},
                          {'W', {{-32767, 0, 1}, {-32767, 0, 1}, {32767, 0, 0}}}},
                         {{0, 0, 1}, {500, 0, 1}});
}

std::unique_ptr<TextScroll> MakeText(const TempHome& home, const FontList& fonts, const std::string& bytes) {
    const std::string path = home.File("text.txt");
    WriteFileBytes(path, bytes);
    auto text = std::make_unique<TextScroll>();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(text->ReadTextFile(file, fonts, nullptr), 1);
    std::fclose(file);
    text->trackType = kTrackTextScroll;
    text->settings.colorFactor = 1.0f;
    text->settings.trackScale = 100;
    text->settings.palette = PaletteByNumber(0);
    return text;
}

int LitPoints(const Stream& stream) {
    int n = 0;
    for (const Dac& p : stream) n += p[5] == 255 ? 1 : 0;
    return n;
}

class TextOnTheLaser : public ::testing::Test {
protected:
    void SetUp() override {
        if (!RiyaSimEnvironment::Available()) GTEST_SKIP() << "simulated RIYA library not built";
        ASSERT_EQ(rig.riya->initialized, 1);
        ASSERT_TRUE(LoadFontBytes(rig.home, rig.fonts, TestFont()));
    }
    TextScroll& Add(const std::string& bytes) { return rig.Add(MakeText(rig.home, rig.fonts, bytes)); }

    LaserRig rig;
    const int c = 2047;  // the centre of the DAC range
};

// "AB" at scroll position 30000: A's stroke from x = -2767 to -1767, B's from
// (733, 0) to (733, 1000). Each glyph's first point only anchors it; the line
// end is not drawn. White at full brightness.
TEST_F(TextOnTheLaser, DrawsTheVisibleCharactersAndScrolls) {
    TextScroll& text = Add("AB\n");
    text.settings.blankingDelay = 0;
    text.scrollPosition = 30000.0;
    rig.renderer.DisplayAllTracks();
    const Stream expected{
        {DacCoord(-2767), c, 0, 0, 0, 0},                  // the first point of the frame, dark
        {DacCoord(-1767), c, 255, 255, 255, 255},          // A
        {DacCoord(733), c, 0, 0, 0, 0},                    // dark to B
        {DacCoord(733), DacCoord(1000), 255, 255, 255, 255},  // B
        {DacCoord(733), DacCoord(1000), 0, 0, 0, 0},       // the closing call
    };
    EXPECT_EQ(rig.LastFrame(), expected);
    EXPECT_EQ(text.scrollPosition, 28000.0);
    EXPECT_EQ(rig.state.outputCounter, 5u);
}

TEST_F(TextOnTheLaser, ColourFollowsBalanceAndBrightness) {
    TextScroll& text = Add("AB\n");
    text.scrollPosition = 30000.0;
    text.settings.colorFactor = 0.5f;
    text.settings.colorBalance = {1.0f, 0.2f, 3.0f};
    rig.renderer.DisplayAllTracks();
    bool sawLit = false;
    for (const Dac& p : rig.LastFrame()) {
        if (p[5] != 255) continue;
        sawLit = true;
        EXPECT_EQ((std::array<int, 3>{p[2], p[3], p[4]}), (std::array<int, 3>{127, 25, 255}));
    }
    EXPECT_TRUE(sawLit);
}

// With formula 4, or with no gain, the text is flat: every point lands where
// the flat drawing puts it. Formula 3 with gain moves the points in depth.
TEST_F(TextOnTheLaser, FlatFormulasAndZeroGainLeaveZAtZero) {
    TextScroll& text = Add("AB\n");
    text.settings.blankingDelay = 0;
    auto frameWith = [&](int formula, int gain) {
        text.zAxisFormula = static_cast<std::uint16_t>(formula);
        text.zAxisGain = static_cast<std::int16_t>(gain);
        text.scrollPosition = 30000.0;
        rig.renderer.DisplayAllTracks();
        return rig.LastFrame();
    };
    const Stream flat = frameWith(4, 0);
    ASSERT_EQ(flat.size(), 5u);
    EXPECT_EQ(flat[1][0], DacCoord(-1767));
    EXPECT_EQ(frameWith(4, 100), flat);
    EXPECT_EQ(frameWith(1, 0), flat);
    EXPECT_EQ(frameWith(3, 0), flat);
    EXPECT_NE(frameWith(3, 100), flat);
}

// A depth change of more than 5000 between two points blanks the move.
TEST_F(TextOnTheLaser, DepthJumpsAreBlanked) {
    TextScroll& text = Add("C\n");
    text.zAxisFormula = 3;
    text.scrollPosition = 10000.0;  // C's points at x = -22767, -12767, -2767
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(LitPoints(rig.LastFrame()), 2);

    text.zAxisGain = 100;  // z = -1.5 * sqrt(2) * |x|: -27083 and -5869 for the two lit points
    text.scrollPosition = 10000.0;
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(LitPoints(rig.LastFrame()), 0);
}

TEST_F(TextOnTheLaser, ACharacterWiderThanTheViewIsNeverDrawn) {
    TextScroll& text = Add("W\n");
    const int framesBefore = rig.FramesSent();
    // One whole pass of the text, from the right edge until it starts again.
    int ticks = 0;
    do {
        rig.renderer.DisplayAllTracks();
        ++ticks;
    } while (text.scrollPosition != 65534.0 && ticks < 200);
    EXPECT_GT(ticks, 60);
    EXPECT_LT(ticks, 200);
    const auto frames = CallsOf(rig.sim.Trace(), "RiSetShowCadr");
    EXPECT_EQ(static_cast<int>(frames.size()), framesBefore + ticks);
    for (const RiyaCall& frame : frames) ASSERT_EQ(LitPoints(frame.points), 0);
}

// Before the text has come into view the laser still gets a dark frame, so
// the DAC does not go on showing whatever it showed before.
TEST_F(TextOnTheLaser, AFrameWithNothingInViewIsDark) {
    Add("AB\n");
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(rig.LastFrame(), Stream(21, Dac{c, c, 0, 0, 0, 0}));  // 1 + 5 x blankingDelay dark points
}

// With frame repeat 2 every frame of the text is shown on three ticks: the
// scroll, the depth phase and the blanking-shift ring are put back after the
// first two.
TEST_F(TextOnTheLaser, FrameRepeatHoldsTheScrollPosition) {
    TextScroll& text = Add("AB\n");
    text.settings.frameRepeat = 2;
    text.zAxisOffset = 10;
    text.scrollPosition = 30000.0;
    rig.settings.BLANKING_SHIFT = 3;

    std::vector<double> positions;
    std::vector<double> phases;
    std::vector<std::uint16_t> counts;
    std::vector<Stream> frames;
    const PointHistory before = text.pointHistory;
    for (int tick = 0; tick < 4; ++tick) {
        rig.renderer.DisplayAllTracks();
        positions.push_back(text.scrollPosition);
        phases.push_back(text.zAxisPhase);
        counts.push_back(text.settings.repeatCount);
        frames.push_back(rig.LastFrame());
        if (tick == 0) {
            EXPECT_EQ(text.pointHistory.index, before.index);
            for (int i = 0; i < PointHistory::kSize; ++i) {
                EXPECT_EQ(text.pointHistory.entries[static_cast<std::size_t>(i)].colour,
                          before.entries[static_cast<std::size_t>(i)].colour);
            }
        }
    }
    EXPECT_EQ(positions, (std::vector<double>{30000, 30000, 28000, 28000}));
    EXPECT_EQ(phases, (std::vector<double>{0, 0, 1, 1}));
    EXPECT_EQ(counts, (std::vector<std::uint16_t>{1, 2, 0, 1}));
    EXPECT_EQ(frames[0], frames[1]);
    EXPECT_EQ(frames[1], frames[2]);
    EXPECT_NE(frames[2], frames[3]);
    EXPECT_GT(LitPoints(frames[0]), 0);
}

// The running command is not part of the frame: it moves on every tick,
// repeated or not.
TEST(TextFrameRepeat, TimedCommandsRunOnRepeatedTicks) {
    Camera cameras[2];
    for (int repeat : {0, 2}) {
        RenderRig rig;
        ASSERT_TRUE(LoadFontBytes(rig.home, rig.fonts, TestFont()));
        TextScroll& text = rig.Add(MakeText(rig.home, rig.fonts, "AB\n"));
        text.settings.frameRepeat = repeat;
        TrackCommand zoom;
        zoom.code = kCommandZoom;
        zoom.frameCount = 3;
        zoom.zoomStep = 1000.0f;
        IssueReplacingCommand(text, zoom);
        for (int tick = 0; tick < 3; ++tick) rig.renderer.DisplayAllTracks();
        EXPECT_EQ(text.manipulation.frameCount, 0);
        cameras[repeat / 2] = text.camera;
    }
    EXPECT_NE(cameras[0], Camera{});
    EXPECT_EQ(cameras[1], cameras[0]);
}

TEST(DisplayTextFrame, NullTextAndMismatchedTrackKind) {
    RenderRig rig;
    EXPECT_EQ(rig.renderer.DisplayTextFrame(nullptr), 0);
    auto seq = MakeSequence({MakeFrame({{0, 0, 0}, {1, 1, 0}})});
    seq->trackType = kTrackTextScroll;  // claims to be text but is not
    rig.Add(std::move(seq));
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(rig.home.LogLines(),
              (std::vector<std::string>{"DisplayTextFrame(): Unexpected NULL textPtr!",
                                        "DisplayTextFrame(): Unexpected NULL textPtr!",
                                        "DisplayAllTracks(): DisplayTextFrame() failed."}));
}

// The shipped font and demo text through the whole tick to the simulated DAC.
TEST_F(TextOnTheLaser, TheDemoTextScrollsThroughInTheDefaultFont) {
    ASSERT_EQ(rig.fonts.ReadFontFile(DefaultFontPath()), 1);
    std::FILE* file = std::fopen((std::string(VYR_ASSETS_DIR) + "/demo.txt").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    auto demo = std::make_unique<TextScroll>();
    ASSERT_EQ(demo->ReadTextFile(file, rig.fonts, nullptr), 1);
    std::fclose(file);
    demo->trackType = kTrackTextScroll;
    demo->settings.colorFactor = 1.0f;
    TextScroll& text = rig.Add(std::move(demo));
    const int framesBefore = rig.FramesSent();
    int ticks = 0;
    do {
        rig.renderer.DisplayAllTracks();
        ++ticks;
    } while (text.scrollPosition != 65534.0 && ticks < 1000);
    EXPECT_GT(ticks, 250);  // the whole line went by
    const auto frames = CallsOf(rig.sim.Trace(), "RiSetShowCadr");
    ASSERT_EQ(static_cast<int>(frames.size()), framesBefore + ticks);
    // Letters are in view from the few ticks it takes the first one to come
    // in until the last one has gone.
    int litFrames = 0;
    for (std::size_t i = static_cast<std::size_t>(framesBefore); i < frames.size(); ++i) {
        litFrames += LitPoints(frames[i].points) > 0 ? 1 : 0;
        for (const Dac& p : frames[i].points) {
            ASSERT_GE(std::min(p[0], p[1]), 0);
            ASSERT_LE(std::max(p[0], p[1]), 4095);
        }
    }
    EXPECT_GT(litFrames, ticks - 15);
}

}  // namespace
}  // namespace vyr::test
