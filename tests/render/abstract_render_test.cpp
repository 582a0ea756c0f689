#include <gtest/gtest.h>

#include "abstract/abstract.h"
#include "render_rig.h"

namespace vyr::test {
namespace {

using Dac = std::array<int, 6>;
using Stream = std::vector<Dac>;

// A moving figure with colour, blanking and bridged jumps.
std::unique_ptr<Abstract> MakeFigure(std::uint16_t pointsPerFrame = 60) {
    auto a = std::make_unique<Abstract>();
    a->formula = 5;
    a->channelGain = {50, 30, 20};
    a->channelOffset = {400, 900, 1300};
    a->colorSpeed = 200;
    a->colorOffset = {0, 120, 240};
    a->blankSpeed = 300;
    a->blankSpot = 40;
    a->pointsPerFrame = pointsPerFrame;
    a->settings.colorFactor = 1.0f;
    a->settings.trackScale = 100;
    a->settings.palette = PaletteByNumber(kPaletteLaserIllusions);
    return a;
}

Abstract& AddAbstract(RenderRig& rig, std::unique_ptr<Abstract> a, int slot = 1) {
    Abstract& ref = *a;
    rig.tracks.SetTrack(slot, std::move(a));
    return ref;
}

class AbstractOnTheLaser : public ::testing::Test {
protected:
    void SetUp() override {
        if (!RiyaSimEnvironment::Available()) GTEST_SKIP() << "simulated RIYA library not built";
        ASSERT_EQ(rig.riya->initialized, 1);
        Abstract::programFlags = {};
    }
    LaserRig rig;
};

// The same points drawn as a true-colour ILDA frame go down the same road,
// so the DAC must see the same stream.
TEST_F(AbstractOnTheLaser, AFrameReachesTheDacAsItsPointsWould) {
    Abstract twin = *MakeFigure();
    Frame frame;
    frame.formatCode = 5;
    frame.AddPoint(Point(0, 0, 0, 0));  // where a new figure starts from
    for (int i = 0; i < twin.pointsPerFrame; ++i) {
        Point from, to;
        std::uint8_t r = 0, g = 0, b = 0;
        std::int16_t usePalette = 0;
        ASSERT_EQ(twin.GetNextSegment(from, to, r, g, b, usePalette), 1);
        to.r = r;
        to.g = g;
        to.b = b;
        frame.AddPoint(to);
    }
    frame.pointCount = twin.pointsPerFrame;
    Abstract::programFlags = {};

    rig.Add(MakeSequence({}));
    auto* sequence = static_cast<FrameSequence*>(rig.tracks.GetTrack(1));
    sequence->AddFrame(std::move(frame));
    sequence->SetCurrentToFirst();
    rig.renderer.DisplayAllTracks();
    const Stream want = rig.LastFrame();

    // The abstract track takes over the slot, with the same settings.
    AddAbstract(rig, MakeFigure());
    const int before = rig.FramesSent();
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(rig.FramesSent(), before + 1);
    const Stream got = rig.LastFrame();
    ASSERT_GT(got.size(), 100u);
    EXPECT_EQ(got, want);

    int lit = 0, colours = 0;
    for (const Dac& p : got) {
        if (p[5] == 255) ++lit;
        if (p[5] == 255 && p[0] != got[0][0]) colours |= (p[2] > 0 ? 1 : 0) | (p[3] > 0 ? 2 : 0) | (p[4] > 0 ? 4 : 0);
    }
    EXPECT_GT(lit, 20) << "a figure, not a dark frame";
    EXPECT_EQ(colours, 7) << "red, green and blue all appear";
}

TEST_F(AbstractOnTheLaser, FrameRepeatShowsTheSameFrameOnRepeatTicks) {
    rig.settings.BLANKING_SHIFT = -3;  // the ring of the shift must come back too
    Abstract& a = AddAbstract(rig, MakeFigure());
    a.settings.frameRepeat = 2;
    std::vector<Stream> frames;
    std::vector<int> counts;
    for (int tick = 0; tick < 7; ++tick) {
        rig.renderer.DisplayAllTracks();
        frames.push_back(rig.LastFrame());
        counts.push_back(a.settings.repeatCount);
    }
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 0, 1, 2, 0, 1}));
    EXPECT_EQ(frames[1], frames[0]);
    EXPECT_EQ(frames[2], frames[0]);
    EXPECT_NE(frames[3], frames[0]) << "the figure moves on after the third showing";
    EXPECT_EQ(frames[4], frames[3]);
    EXPECT_EQ(frames[5], frames[3]);
    EXPECT_NE(frames[6], frames[3]);
}

TEST_F(AbstractOnTheLaser, WithoutRepeatEveryTickMovesOn) {
    AddAbstract(rig, MakeFigure());
    rig.renderer.DisplayAllTracks();
    const Stream first = rig.LastFrame();
    rig.renderer.DisplayAllTracks();
    EXPECT_NE(rig.LastFrame(), first);
}

TEST(AbstractPalette, PaletteSnapping) {
    if (!RiyaSimEnvironment::Available()) GTEST_SKIP() << "simulated RIYA library not built";
    struct Case {
        std::int16_t usePalette;
        int palette;
        std::array<int, 3> want;
    };
    const Case cases[] = {
        {0, kPaletteX29, {250, 10, 5}},
        {1, kPaletteX29, {255, 0, 0}},
        {1, kPaletteIlda, {255, 0, 0}},
        {1, kPalettePangolin, {255, 16, 0}},  // (255, 16, 0) is nearer than red
    };
    for (const Case& c : cases) {
        LaserRig local;
        auto figure = std::make_unique<Abstract>();
        figure->channelGain = {40, 0, 0};
        figure->channelOffset = {300, 0, 0};
        figure->colorOffset = {250, 10, 5};
        figure->usePalette = c.usePalette;
        figure->pointsPerFrame = 20;
        figure->settings.blankingDelay = 0;
        figure->settings.colorFactor = 1.0f;
        figure->settings.colorBalance = {1.0f, 1.0f, 1.0f};
        figure->settings.palette = PaletteByNumber(c.palette);
        AddAbstract(local, std::move(figure));
        local.renderer.DisplayAllTracks();
        int lit = 0;
        for (const Dac& p : local.LastFrame()) {
            if (p[5] != 255) continue;
            ++lit;
            EXPECT_EQ((std::array<int, 3>{p[2], p[3], p[4]}), c.want) << "palette " << c.palette;
        }
        EXPECT_GT(lit, 10);
    }
}

TEST(DisplayAbstractFrame, RepeatDrawsThePatternThatManyTimesAndClosesOnce) {
    RenderRig rig;
    rig.settings.DISPLAY_SCREEN = 0;
    rig.settings.DISPLAY_LASER = 1;
    Abstract& a = AddAbstract(rig, MakeFigure(25));
    rig.state.outputDevice = rig.devices[0].get();
    rig.state.settings = a.settings;
    EXPECT_EQ(rig.renderer.DisplayAbstractFrame(&a, 2), 1);
    EXPECT_EQ(rig.state.outputCounter, 2u * 25u + 1u);
    a.pointsPerFrame = 0;
    EXPECT_EQ(rig.renderer.DisplayAbstractFrame(&a, 1), 1);
    EXPECT_EQ(rig.state.outputCounter, 2u * 25u + 2u) << "no points, only the closing call";
}

TEST(DisplayAbstractFrame, Failures) {
    RenderRig rig;
    rig.settings.DISPLAY_SCREEN = 0;
    EXPECT_EQ(rig.renderer.DisplayAbstractFrame(nullptr, 1), 0);
    Abstract& a = AddAbstract(rig, MakeFigure());
    a.formula = 9;
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(rig.home.LogLines(), (std::vector<std::string>{
                                       "DisplayAbstractFrame(): Unexpected NULL abstractPtr!",
                                       "Abstract::GetNextSegment(): Invalid formula number 9 specified.",
                                       "DisplayAbstractFrame(): Call to Abstract::GetNextSegment() failed!",
                                       "DisplayAllTracks(): DisplayAbstractFrame() failed.",
                                   }));
}

TEST(DisplayAllTracks, AnAbstractTrackIsDrawnOnThePreview) {
    RenderRig rig;
    AddAbstract(rig, MakeFigure());
    rig.renderer.DisplayAllTracks();
    int lines = 0;
    for (const std::string& call : rig.canvas.Calls()) lines += call.rfind("line ", 0) == 0 ? 1 : 0;
    EXPECT_GT(lines, 20);
}

}  // namespace
}  // namespace vyr::test
