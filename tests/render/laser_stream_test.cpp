#include <gtest/gtest.h>

#include "render_rig.h"

namespace vyr::test {
namespace {

using Dac = std::array<int, 6>;
using Stream = std::vector<Dac>;

// Builds an expected DAC stream: Dark(n, x, y), Lit(x, y, r, g, b), ...
class StreamBuilder {
public:
    StreamBuilder& Dark(int n, int x, int y, int level = 0, int shutter = 0) {
        for (int i = 0; i < n; ++i) s_.push_back({x, y, level, level, level, shutter});
        return *this;
    }
    StreamBuilder& Lit(int x, int y, int r, int g, int b, int shutter = 255) {
        s_.push_back({x, y, r, g, b, shutter});
        return *this;
    }
    Stream Build() const { return s_; }

private:
    Stream s_;
};

class LaserStream : public ::testing::Test {
protected:
    void SetUp() override {
        if (!RiyaSimEnvironment::Available()) GTEST_SKIP() << "simulated RIYA library not built";
        ASSERT_EQ(rig.riya->initialized, 1);
    }
    FrameSequence& Play(const std::vector<std::array<int, 3>>& points) {
        FrameSequence& seq = rig.Add(MakeSequence({MakeFrame(points)}));
        rig.renderer.DisplayAllTracks();
        return seq;
    }
    LaserRig rig;
    // Pangolin index 0 is pure red.
    const int c = 2047;  // the centre of the DAC range
};

TEST_F(LaserStream, FirstSegmentOfALitFrameStartsWithFiveTimesTheBlankingDelay) {
    Play({{0, 0, 0}, {4000, 0, 0}, {4000, 4000, 0}});
    const int x1 = DacCoord(4000);
    const int y1 = DacCoord(4000);
    EXPECT_EQ(rig.LastFrame(), StreamBuilder()
                                   .Dark(20, c, c)          // blankingDelay 4, first segment
                                   .Lit(x1, c, 255, 0, 0)   // to the second point
                                   .Lit(x1, y1, 255, 0, 0)  // continuing
                                   .Lit(x1, y1, 0, 0, 0, 0) // closing call, colour 0
                                   .Dark(20, x1, y1)
                                   .Build());
}

TEST_F(LaserStream, BlankedJumpBetweenStrokes) {
    Play({{0, 0, 0}, {4000, 0, 0}, {-4000, 0, kBlank}, {-4000, 4000, 0}, {0, 4000, 0}});
    const int p = DacCoord(4000), m = DacCoord(-4000);
    EXPECT_EQ(rig.LastFrame(), StreamBuilder()
                                   .Dark(20, c, c)
                                   .Lit(p, c, 255, 0, 0)
                                   .Dark(4, p, c)  // leaving the lit stroke
                                   .Dark(1, m, c)  // at the target of the jump
                                   .Dark(4, m, c)  // the next stroke starts from a blanked point
                                   .Lit(m, p, 255, 0, 0)
                                   .Lit(c, p, 255, 0, 0)
                                   .Lit(c, p, 0, 0, 0, 0)
                                   .Dark(20, c, p)
                                   .Build());
}

TEST_F(LaserStream, PointsModeDwellsOnEveryPoint) {
    rig.Add(MakeSequence({MakeFrame({{0, 0, 0}, {4000, 0, 0}, {4000, 4000, 0}})}));
    rig.tracks.GetTrack(1)->settings.blankingDelay = 2;
    rig.tracks.GetTrack(1)->settings.displayFlags = 0x11;
    rig.renderer.DisplayAllTracks();
    const int p = DacCoord(4000);
    EXPECT_EQ(rig.LastFrame(), StreamBuilder()
                                   .Dark(10, c, c)
                                   .Dark(10, p, c)
                                   .Dark(2, p, p)
                                   .Lit(p, p, 255, 0, 0)
                                   .Lit(p, p, 255, 0, 0)
                                   .Dark(2, p, p)
                                   .Dark(10, p, p)
                                   .Build());
}

TEST_F(LaserStream, SegmentsLeavingAndEnteringTheViewAreBlankedAtTheBorder) {
    // A 30 degree view: its right edge on z = 0 lies at x = 80000 tan(15°) = 21436.
    FrameSequence& seq = rig.Add(MakeSequence({MakeFrame(
        {{0, 0, 0}, {4000, 0, 0}, {20000, 0, 0}, {30000, 0, 0}, {30000, 16000, 0}, {0, 16000, 0}})}));
    seq.camera.cameraAngle = 30.0f;
    rig.renderer.DisplayAllTracks();
    const int p = DacCoord(4000, 30), q = DacCoord(20000, 30), top = DacCoord(16000, 30);
    const Stream got = rig.LastFrame();
    const Stream want = StreamBuilder().Dark(20, c, c).Lit(p, c, 255, 0, 0).Lit(q, c, 255, 0, 0).Build();
    ASSERT_EQ(got.size(), want.size() + 21 + 1 + 21 + 21);
    EXPECT_EQ(Stream(got.begin(), got.begin() + static_cast<long>(want.size())), want);
    std::size_t i = want.size();
    // Leaving: drawn to the border, then 5 x blankingDelay dark points there.
    const int border = got[i][0];
    EXPECT_GE(border, 4094) << "the right edge of the view, within float precision";
    EXPECT_EQ(got[i], (Dac{border, c, 255, 0, 0, 255}));
    for (int k = 1; k <= 20; ++k) EXPECT_EQ(got[i + k], (Dac{border, c, 0, 0, 0, 0})) << k;
    i += 21;
    // Both ends outside: one dark point where the beam was parked.
    EXPECT_EQ(got[i], (Dac{border, c, 0, 0, 0, 0}));
    ++i;
    // Entering: 5 x blankingDelay dark points at the entry point, then lit.
    for (int k = 0; k < 20; ++k) EXPECT_EQ(got[i + k], (Dac{border, top, 0, 0, 0, 0})) << k;
    EXPECT_EQ(got[i + 20], (Dac{c, top, 255, 0, 0, 255}));
}

TEST_F(LaserStream, BlankingShiftDelaysColourAgainstPosition) {
    rig.settings.BLANKING_SHIFT = 3;
    Play({{0, 0, 0}, {4000, 0, 0}, {4000, 4000, 0}});
    const int p = DacCoord(4000);
    // Positions as without a shift; each colour arrives three points late and
    // the first three colours come from the zeroed ring.
    const Stream got = rig.LastFrame();
    ASSERT_EQ(got.size(), 43u);
    const Stream want = StreamBuilder()
                            .Dark(20, c, c)
                            .Dark(1, p, c)    // the first lit point is dark: 3 points back
                            .Dark(1, p, p)
                            .Dark(1, p, p)    // closing call
                            .Lit(p, p, 255, 0, 0)  // the colour of the first lit point
                            .Lit(p, p, 255, 0, 0)
                            .Dark(18, p, p)
                            .Build();
    EXPECT_EQ(got, want);
}

TEST_F(LaserStream, NegativeBlankingShiftDelaysPositionAgainstColour) {
    rig.settings.BLANKING_SHIFT = -2;
    Play({{0, 0, 0}, {4000, 0, 0}, {4000, 4000, 0}});
    const int p = DacCoord(4000);
    const Stream got = rig.LastFrame();
    ASSERT_EQ(got.size(), 43u);
    // The first two positions come from the zeroed ring: the DAC's origin.
    EXPECT_EQ(got[0], (Dac{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(got[1], (Dac{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(got[2], (Dac{c, c, 0, 0, 0, 0}));
    EXPECT_EQ(got[20], (Dac{c, c, 255, 0, 0, 255})) << "red arrives while the position still lags";
    EXPECT_EQ(got[21], (Dac{c, c, 255, 0, 0, 255}));
    EXPECT_EQ(got[22], (Dac{p, c, 0, 0, 0, 0}));
}

TEST_F(LaserStream, ShiftsBeyondTheRingAreLimitedToIt) {
    rig.settings.BLANKING_SHIFT = 200;  // as a configuration file may hold; 50 is a full turn
    Play({{0, 0, 0}, {4000, 0, 0}, {4000, 4000, 0}});
    const int p = DacCoord(4000);
    EXPECT_EQ(rig.LastFrame(), StreamBuilder()
                                   .Dark(20, c, c)
                                   .Lit(p, c, 255, 0, 0)
                                   .Lit(p, p, 255, 0, 0)
                                   .Lit(p, p, 0, 0, 0, 0)
                                   .Dark(20, p, p)
                                   .Build());
}

TEST_F(LaserStream, InvertBlankingInvertsTheShutter) {
    rig.settings.INVERT_BLANKING = 1;
    Play({{0, 0, 0}, {4000, 0, 0}});
    const int p = DacCoord(4000);
    EXPECT_EQ(rig.LastFrame(), StreamBuilder()
                                   .Dark(20, c, c, 0, 255)
                                   .Lit(p, c, 255, 0, 0, 0)
                                   .Lit(p, c, 0, 0, 0, 255)
                                   .Dark(20, p, c, 0, 255)
                                   .Build());
}

TEST_F(LaserStream, RgInvertTtlSendsDarkAsWhite) {
    rig.settings.COLOR_MODE = 6;
    Play({{0, 0, 0}, {4000, 0, 0}});
    const int p = DacCoord(4000);
    // Red passes the red threshold; blue does not, so green is forced on;
    // the output inverts red and green and sets blue.
    EXPECT_EQ(rig.LastFrame(), StreamBuilder()
                                   .Dark(20, c, c, 255, 0)
                                   .Lit(p, c, 0, 0, 255, 255)
                                   .Lit(p, c, 255, 0, 255, 255)  // black becomes green, so it is lit too
                                   .Dark(20, p, c, 255, 0)
                                   .Build());
}

TEST_F(LaserStream, MasterIntensitiesScaleTheOutputColour) {
    rig.settings.MASTER_RED_INTENSITY = 0.5f;
    Play({{0, 0, 0}, {4000, 0, 0}});
    EXPECT_EQ(rig.LastFrame()[20], (Dac{DacCoord(4000), c, 127, 0, 0, 255}));
}

TEST_F(LaserStream, FrameOf4096PointsIsSentWholeAnd4097LosesTheLast) {
    for (int total : {4096, 4097}) {
        std::vector<std::array<int, 3>> points;
        for (int i = 0; i < total; ++i) points.push_back({(i % 64) * 100, (i / 64) * 100, 0});
        FrameSequence& seq = rig.Add(MakeSequence({MakeFrame(points)}));
        seq.settings.blankingDelay = 0;  // one DAC point per segment, and one for the closing call
        rig.renderer.DisplayAllTracks();
        const Stream got = rig.LastFrame();
        ASSERT_EQ(got.size(), 4096u) << total;
        const int lastX = DacCoord(((total - 1) % 64) * 100), lastY = DacCoord(((total - 1) / 64) * 100);
        if (total == 4096) {
            EXPECT_EQ(got.back(), (Dac{lastX, lastY, 0, 0, 0, 0})) << "the closing point is the last one sent";
        } else {
            EXPECT_EQ(got.back(), (Dac{lastX, lastY, 255, 0, 0, 255})) << "the closing point is the one lost";
        }
    }
}

TEST_F(LaserStream, ADacThatIsNeverReadyDropsFramesWithoutStallingAndRecovers) {
    rig.sim.SetNotReady("never");
    rig.riya->RiyaInit(false);  // the simulation reads its environment when the devices are opened
    rig.Add(MakeSequence({MakeFrame({{0, 0, 0}, {4000, 0, 0}})}));
    const int before = rig.FramesSent();
    for (int tick = 0; tick < 3; ++tick) rig.renderer.DisplayAllTracks();
    EXPECT_EQ(rig.FramesSent(), before) << "no frame reaches a DAC that is not ready";
    int flushLines = 0;
    for (const std::string& line : rig.home.LogLines()) {
        if (line.rfind("Device_RIYA::Flush()", 0) == 0) ++flushLines;
    }
    EXPECT_EQ(flushLines, 1) << "one line, not one per frame";

    rig.sim.SetNotReady("0");
    rig.riya->RiyaInit(false);  // the simulation reads its environment when the devices are opened
    const int reopened = rig.FramesSent();
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(rig.FramesSent(), reopened + 1);
}

TEST_F(LaserStream, AViewportChangeBetweenSegmentsIsSeenByTheNextOne) {
    // The renderer keeps the end point of one segment for the start of the
    // next; a new viewport in between must not leave it stale.
    rig.state.outputDevice = rig.riya;
    rig.state.settings.blankingDelay = 1;
    rig.riya->SetDeviceViewport(0, 4095, 0, 4095);
    const Point first(0, 0, 0, 0), second(4000, 0, 0, 0), jump(0, 4000, 0, kBlank);
    rig.segments.DisplaySegment(&first, &second, 255, 0, 0, 1);
    ASSERT_EQ(rig.riya->SetViewport(0.0f, 0.5f, 0.0f, 0.5f), 0);
    rig.segments.DisplaySegment(&second, &jump, 255, 0, 0, 2);
    rig.riya->Flush();
    const Stream got = rig.LastFrame();
    ASSERT_EQ(got.size(), 5u + 1u + 1u + 1u);
    // Leaving the lit stroke: one dark point at the second point, projected
    // with the new viewport.
    EXPECT_EQ(got[6], (Dac{DacCoord(4000) / 2, c / 2, 0, 0, 0, 0}));
}

TEST_F(LaserStream, LaserOffSendsNothingAndDoesNotCount) {
    rig.settings.DISPLAY_LASER = 0;
    const int before = rig.FramesSent();
    Play({{0, 0, 0}, {4000, 0, 0}});
    EXPECT_EQ(rig.FramesSent(), before);
    EXPECT_EQ(rig.state.outputCounter, 0u);
}

TEST_F(LaserStream, OutputCounterCountsSegmentsNotPoints) {
    Play({{0, 0, 0}, {4000, 0, 0}, {4000, 4000, 0}});
    EXPECT_EQ(rig.state.outputCounter, 3u);  // two segments and the closing call
}

}  // namespace
}  // namespace vyr::test
