#include <gtest/gtest.h>

#include "render_rig.h"

namespace vyr::test {
namespace {

std::vector<Frame> NumberedFrames(int count) {
    std::vector<Frame> frames;
    for (int i = 0; i < count; ++i) {
        Frame f = MakeFrame({{0, 0, 0}, {100 * (i + 1), 0, 0}});
        f.frameNumber = static_cast<std::int16_t>(i);
        frames.push_back(std::move(f));
    }
    return frames;
}

// The index of the frame each tick shows.
std::vector<int> FramesShown(RenderRig& rig, FrameSequence& seq, int ticks) {
    std::vector<int> shown;
    for (int t = 0; t < ticks; ++t) {
        // The tick shows the current frame, then advances; on the first tick
        // a reversed sequence starts from its tail first.
        if (seq.firstDisplay == 1 && seq.settings.reverse == 1 && seq.settings.rangeStart < 0) {
            shown.push_back(static_cast<int>(seq.Size()) - 1);
        } else {
            shown.push_back(static_cast<int>(seq.CurrentIndex()));
        }
        rig.renderer.DisplayAllTracks();
    }
    return shown;
}

TEST(FrameAdvance, RepeatReverseAndRanges) {
    struct Case {
        const char* name;
        std::int32_t frameRepeat;
        std::uint16_t globalFrameRepeat;
        std::int16_t reverse;
        std::int32_t rangeStart;
        std::uint16_t rangeEnd;
        int ticks;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {"every tick", 0, 0, 0, -1, 0, 6, {0, 1, 2, 3, 4, 0}},
        {"frameRepeat 2 shows each frame three ticks", 2, 0, 0, -1, 0, 7, {0, 0, 0, 1, 1, 1, 2}},
        {"-1 takes the global repeat (0)", -1, 0, 0, -1, 0, 3, {0, 1, 2}},
        {"-1 takes the global repeat (1)", -1, 1, 0, -1, 0, 4, {0, 0, 1, 1}},
        {"reverse starts at the tail and wraps", 0, 0, 1, -1, 0, 7, {4, 3, 2, 1, 0, 4, 3}},
        {"forward range 2..4", 0, 0, 0, 2, 4, 7, {2, 3, 4, 2, 3, 4, 2}},
        {"reverse range 4..2", 0, 0, 1, 4, 2, 7, {4, 3, 2, 4, 3, 2, 4}},
        {"an empty forward range stays", 0, 0, 0, 3, 3, 3, {3, 3, 3}},
    };
    for (const Case& c : cases) {
        RenderRig rig;
        rig.settings.GLOBAL_FRAME_REPEAT = c.globalFrameRepeat;
        FrameSequence& seq = rig.Add(MakeSequence(NumberedFrames(5)));
        seq.settings.frameRepeat = c.frameRepeat;
        seq.settings.reverse = c.reverse;
        seq.settings.rangeStart = c.rangeStart;
        seq.settings.rangeEnd = c.rangeEnd;
        if (c.rangeStart >= 0) {
            // As the range command leaves it.
            seq.settings.rangeCurrent = static_cast<std::uint16_t>(c.rangeStart);
            seq.SetCurrentFrame(static_cast<std::uint16_t>(c.rangeStart));
        }
        EXPECT_EQ(FramesShown(rig, seq, c.ticks), c.shown) << c.name;
    }
}

TEST(DisplayAllTracks, UnarmedTrackIsNotDrawnButItsCommandRunsAndItsDeviceIsFlushed) {
    if (!RiyaSimEnvironment::Available()) GTEST_SKIP();
    LaserRig rig;
    FrameSequence& seq = rig.Add(MakeSequence(NumberedFrames(3)));
    seq.settings.displayFlags = 0;
    seq.manipulation.code = kCommandHold;
    seq.manipulation.frameCount = 3;
    const int before = rig.FramesSent();
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(seq.manipulation.frameCount, 2);
    EXPECT_TRUE(rig.state.tracksBusy);
    EXPECT_EQ(seq.CurrentIndex(), 0) << "not drawn, so not advanced";
    EXPECT_EQ(rig.FramesSent(), before) << "flushed, but with nothing collected nothing is sent";
    EXPECT_EQ(rig.riya->pointCount, 0);
}

TEST(DisplayAllTracks, FramesOfDifferentSlotsGoToTheirOwnDevices) {
    if (!RiyaSimEnvironment::Available()) GTEST_SKIP();
    LaserRig rig;
    rig.Add(MakeSequence(NumberedFrames(1)), 1);
    FrameSequence& second = rig.Add(MakeSequence(NumberedFrames(1)), 3);
    second.outputDevice = 1;  // a screen device: its points go nowhere
    const int before = rig.FramesSent();
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(rig.FramesSent(), before + 1);
    EXPECT_EQ(rig.state.outputCounter, 4u) << "both tracks went through the laser path";
}

TEST(DisplayIldaFrame, BadFramesAndColourFactors) {
    RenderRig rig;
    rig.settings.DISPLAY_SCREEN = 0;
    EXPECT_EQ(rig.renderer.DisplayIldaFrame(nullptr), 0);
    Frame empty;
    rig.state.settings.colorFactor = 1.0f;
    EXPECT_EQ(rig.renderer.DisplayIldaFrame(&empty), 0);
    rig.state.settings.colorFactor = 1.5f;
    Frame one = MakeFrame({{0, 0, 0}});
    EXPECT_EQ(rig.renderer.DisplayIldaFrame(&one), 1);
    EXPECT_EQ(rig.state.settings.colorFactor, 1.0f);
    rig.state.settings.colorFactor = -0.25f;
    rig.renderer.DisplayIldaFrame(&one);
    EXPECT_EQ(rig.state.settings.colorFactor, 1.0f);
    EXPECT_EQ(rig.home.LogLines(), (std::vector<std::string>{
                                       "DisplayIldaFrame(): NULL FramePtr!",
                                       "DisplayIldaFrame(): No points in frame.",
                                       "DisplayIldaFrame(): Invalid colorFactor 1.500000",
                                       "setting to 1.0",
                                       "DisplayIldaFrame(): Invalid colorFactor -0.250000",
                                       "setting to 1.0",
                                   }));
}

TEST(DisplayAllTracks, AnEmptyFrameIsReportedEveryTimeItIsShown) {
    RenderRig rig;
    std::vector<Frame> frames;
    frames.emplace_back();
    rig.Add(MakeSequence(std::move(frames)));
    rig.renderer.DisplayAllTracks();
    rig.renderer.DisplayAllTracks();
    EXPECT_EQ(rig.home.LogLines(), (std::vector<std::string>{
                                       "DisplayIldaFrame(): No points in frame.",
                                       "DisplayAllTracks(): DisplayIldaFrame() failed.",
                                       "DisplayIldaFrame(): No points in frame.",
                                       "DisplayAllTracks(): DisplayIldaFrame() failed.",
                                   }));
}

TEST(DisplayIldaFrame, TrueColourPointsKeepTheirColourThroughBalanceAndFactor) {
    if (!RiyaSimEnvironment::Available()) GTEST_SKIP();
    LaserRig rig;
    Frame frame = MakeFrame({{0, 0, 0}, {4000, 0, 0}});
    frame.formatCode = 5;
    frame.MutablePoints()[1].r = 200;
    frame.MutablePoints()[1].g = 100;
    frame.MutablePoints()[1].b = 50;
    FrameSequence& seq = rig.Add(MakeSequence({}));
    seq.AddFrame(std::move(frame));
    seq.SetCurrentToFirst();
    seq.settings.colorFactor = 0.5f;
    seq.settings.colorBalance = {1.0f, 1.0f, 0.5f};
    rig.renderer.DisplayAllTracks();
    const auto got = rig.LastFrame();
    ASSERT_GT(got.size(), 20u);
    EXPECT_EQ(got[20], (std::array<int, 6>{DacCoord(4000), 2047, 100, 50, 12, 255}));
}

TEST(Viewports, LaserAndPreviewScales) {
    struct Case {
        std::uint16_t trackScale;
        std::int32_t laserScale;
        std::int32_t verticalScale;
        std::uint16_t invert;
        OutputDevice::DeviceRect laser;
    };
    const Case cases[] = {
        {100, 100, 100, 0, {0, 4095, 0, 4095}},
        {50, 100, 100, 0, {1024, 3071, 1024, 3071}},  // half size, centred
        {100, 100, 0, 0, {0, 4095, 2048, 2047}},      // vertical scale 0 folds the image flat
        {100, 100, 100, 0x01, {4095, 0, 0, 4095}},
        {100, 100, 100, 0x10, {0, 4095, 4095, 0}},
        {90, 50, 100, 0, {1178, 2917, 1178, 2917}},   // the defaults
    };
    for (const Case& c : cases) {
        RenderRig rig;
        rig.settings.DISPLAY_LASER = 1;
        rig.settings.DISPLAY_SCREEN = 0;
        rig.settings.currentLaserScale = c.laserScale;
        rig.settings.currentVerticalScale = c.verticalScale;
        rig.settings.DISPLAY_INVERT = c.invert;
        auto device = std::make_unique<Device_Screen>();
        device->maxCoord = 4095;
        OutputDevice* laser = device.get();
        rig.devices[0] = std::move(device);
        FrameSequence& seq = rig.Add(MakeSequence(NumberedFrames(1)));
        seq.settings.trackScale = c.trackScale;
        rig.renderer.DisplayAllTracks();
        const auto& vp = laser->DeviceViewport();
        EXPECT_EQ((std::array<int, 4>{vp.xmin, vp.xmax, vp.ymin, vp.ymax}),
                  (std::array<int, 4>{c.laser.xmin, c.laser.xmax, c.laser.ymin, c.laser.ymax}))
            << "track scale " << c.trackScale << " laser " << c.laserScale << " invert " << c.invert;
    }
}

TEST(Viewports, AbsurdScalesStayFinite) {
    for (std::int32_t scale : {0, 1000, -1000000, 2000000000}) {
        RenderRig rig;
        rig.settings.DISPLAY_LASER = 1;
        rig.settings.currentLaserScale = scale;
        rig.settings.currentVerticalScale = scale;
        FrameSequence& seq = rig.Add(MakeSequence(NumberedFrames(2)));
        seq.settings.trackScale = 65535;
        seq.settings.delay = -5;
        rig.renderer.DisplayAllTracks();
        EXPECT_EQ(seq.CurrentIndex(), 1) << scale;
    }
}

// The preview area of a 1024 x 768 window: (267, 6) to (1015, 759).
TEST(Preview, ViewportAndFlickerFreeBitmap) {
    RenderRig rig;
    rig.Add(MakeSequence(NumberedFrames(1)));
    rig.renderer.DisplayAllTracks();
    const auto& vp = rig.preview.DeviceViewport();
    EXPECT_EQ((std::array<int, 4>{vp.xmin, vp.xmax, vp.ymin, vp.ymax}), (std::array<int, 4>{267, 1015, 759, 6}));
    EXPECT_EQ(rig.canvas.Calls().front(), "fill 267 6 1015 759 5 5 5");
    EXPECT_EQ(rig.canvas.Calls().back(), "present");

    rig.settings.FLICKER_FREE = 1;
    rig.settings.DISPLAY_INVERT = 0x101;  // mirrored left to right
    rig.canvas.Clear();
    rig.renderer.DisplayAllTracks();
    const auto& calls = rig.canvas.Calls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0], "begin-offscreen 748 753");
    EXPECT_EQ(calls[1], "fill 0 0 748 753 5 5 5");
    EXPECT_EQ(calls[calls.size() - 2], "end-offscreen 267 6");
    const auto& off = rig.preview.DeviceViewport();
    EXPECT_EQ((std::array<int, 4>{off.xmin, off.xmax, off.ymin, off.ymax}), (std::array<int, 4>{748, 0, 753, 0}));
}

}  // namespace
}  // namespace vyr::test
