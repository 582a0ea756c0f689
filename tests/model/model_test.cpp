#include <gtest/gtest.h>

#include <memory>

#include "model/frame_sequence.h"
#include "model/track_list.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

TEST(Frame, AddPointKeepsOrderAndWalksToNullPastTheTail) {
    Frame frame;
    Point a(1, 2, 3, 0x10);
    Point b(4, 5, 6, 0x4000);
    ASSERT_EQ(frame.AddPoint(&a), 1);
    EXPECT_EQ(frame.PrevOf(0), frame.FirstPointPtr());  // the first point's predecessor is itself
    ASSERT_EQ(frame.AddPoint(&b), 1);
    EXPECT_EQ(frame.CurrentPoint()->x, 4);  // the cursor follows the appended point
    EXPECT_EQ(frame.PrevOf(0), frame.FirstPointPtr());
    EXPECT_EQ(frame.PrevOf(1)->x, 1);
    const Point* p = frame.FirstPoint();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->x, 1);
    p = frame.NextPoint();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->Blanked());
    EXPECT_EQ(frame.NextPoint(), nullptr);
    EXPECT_EQ(frame.NextPoint(), nullptr);
    EXPECT_EQ(frame.pointCount, 0) << "AddPoint does not change the announced count";
}

TEST(Frame, NullPointIsRefusedLoggedAndStaysInvalid) {
    test::TempHome home;
    Frame frame;
    EXPECT_EQ(frame.AddPoint(nullptr), 0);
    EXPECT_EQ(frame.valid, 0);
    Point a;
    EXPECT_EQ(frame.AddPoint(&a), 1);
    EXPECT_EQ(frame.valid, 0) << "valid is sticky";
    EXPECT_EQ(home.LogLines(), std::vector<std::string>{"ERR: NULL point pointer passed in to Frame::AddPoint()"});
}

FrameSequence MakeSequence(int frames) {
    FrameSequence seq;
    for (int i = 0; i < frames; ++i) {
        Frame f;
        f.frameNumber = static_cast<std::int16_t>(i);
        seq.AddFrame(std::move(f));
    }
    seq.frameCount = static_cast<std::int16_t>(frames);
    return seq;
}

TEST(FrameSequence, NavigationEndsInNullAtBothEndsAndNeverStepsFromNull) {
    FrameSequence seq = MakeSequence(3);
    EXPECT_EQ(seq.CurrentFrame()->frameNumber, 2) << "AddFrame makes the appended frame current";
    EXPECT_EQ(seq.NextFrame(), nullptr);
    EXPECT_EQ(seq.NextFrame(), nullptr);
    EXPECT_EQ(seq.PrevFrame(), nullptr) << "no stepping from NULL";
    seq.SetCurrentToFirst();
    EXPECT_EQ(seq.PrevFrame(), nullptr);
    seq.SetCurrentToFirst();
    EXPECT_EQ(seq.NextFrame()->frameNumber, 1);
}

TEST(FrameSequence, SetCurrentFrameLimits) {
    struct Case {
        int frames;
        std::int16_t frameCount;
        std::uint16_t n;
        std::int16_t result;
        int expectedFrame;  // -1 = NULL, -2 = unchanged (last frame)
    };
    const Case cases[] = {
        {1, 1, 0, 1, 0},   // the only frame
        {3, 3, 2, 1, 2},
        {3, 3, 3, 1, -1},  // n == number of frames leaves NULL
        {1, 1, 2, 0, -2},  // frameCount + 1 fails, unchanged
        {2, 5, 4, 0, -2},  // more headers than frames: never walks off the list
    };
    for (const Case& c : cases) {
        FrameSequence seq = MakeSequence(c.frames);
        seq.frameCount = c.frameCount;
        EXPECT_EQ(seq.SetCurrentFrame(c.n), c.result) << "n=" << c.n;
        if (c.expectedFrame == -1) {
            EXPECT_EQ(seq.CurrentFrame(), nullptr);
        } else {
            const int want = c.expectedFrame == -2 ? c.frames - 1 : c.expectedFrame;
            ASSERT_NE(seq.CurrentFrame(), nullptr);
            EXPECT_EQ(seq.CurrentFrame()->frameNumber, want);
        }
    }
}

TEST(FrameSequence, DeleteFrame) {
    test::TempHome home;
    FrameSequence one = MakeSequence(1);
    EXPECT_EQ(one.DeleteFrame(one.FirstFrame()), 1);
    EXPECT_EQ(one.FirstFrame(), nullptr);
    EXPECT_EQ(one.LastFrame(), nullptr);
    EXPECT_EQ(one.frameCount, 1) << "frameCount is not touched";
    EXPECT_EQ(one.DeleteFrame(nullptr), 0);
    EXPECT_EQ(home.LogLines(), std::vector<std::string>{"ERR: List is empty, cannot delete frame."});

    FrameSequence three = MakeSequence(3);
    three.SetCurrentToLast();
    ASSERT_EQ(three.DeleteFrame(&three.Frames()[1]), 1);
    ASSERT_EQ(three.Size(), 2u);
    EXPECT_EQ(three.Frames()[0].frameNumber, 0);
    EXPECT_EQ(three.Frames()[1].frameNumber, 2);
    EXPECT_EQ(three.CurrentFrame()->frameNumber, 2) << "the cursor keeps its frame";

    test::TempHome nullHome;
    FrameSequence seq;
    EXPECT_EQ(seq.AddFrame(static_cast<const Frame*>(nullptr)), 0);
    EXPECT_EQ(seq.valid, 0);
    EXPECT_EQ(nullHome.LogLines(), std::vector<std::string>{"ERR: NULL frame pointer passed to FrameSequence::AddFrame()"});
}

TEST(TrackCommand, FreshRecordIsEmpty) {
    TrackCommand c;
    EXPECT_EQ(c.code, 11);
    EXPECT_EQ(c.frameCount, 0);
    EXPECT_EQ(c.skipOnce, 0);
    EXPECT_EQ(c.fadeStep, 0.0f);
    EXPECT_FALSE(c.Running());
}

TEST(Camera, ResetRestoresDefaults) {
    Camera cam;
    cam.fromPoint = {1, 2, 3};
    cam.atPoint = {4, 5, 6};
    cam.upVector = {1, 0, 0};
    cam.cameraAngle = 90;
    cam.Reset();
    EXPECT_EQ(cam.fromPoint, (Vec3{0, 0, 80000}));
    EXPECT_EQ(cam.atPoint, (Vec3{0, 0, 0}));
    EXPECT_EQ(cam.upVector, (Vec3{0, 1, 0}));
    EXPECT_EQ(cam.cameraAngle, 45.0f);
}

TEST(Track, ConstructionDefaults) {
    FrameSequence t;
    EXPECT_EQ(t.manipulation.code, 11);
    EXPECT_EQ(t.nextManipulation.code, 11);
    EXPECT_EQ(t.pointHistory.index, 49);
    EXPECT_EQ(t.zAxisFormula, 1);
    EXPECT_EQ(t.zAxisPeriod, 1.0f);
    EXPECT_EQ(t.trackType, 0);
    EXPECT_EQ(t.outputDevice, 0);
    EXPECT_EQ(t.firstDisplay, 1);
    EXPECT_EQ(t.frameCount, 0);
}

std::unique_ptr<Track> NewTrack(std::int32_t marker) {
    auto t = std::make_unique<FrameSequence>();
    t->trackType = kTrackFrameSequence;
    t->settings.delay = marker;
    return t;
}

TEST(TrackList, AddTrackFillsSlotsInOrderAndRefusesAFifth) {
    TrackList list;
    for (int i = 1; i <= 4; ++i) {
        auto t = NewTrack(i);
        ASSERT_EQ(list.AddTrack(t), 1);
        EXPECT_EQ(t, nullptr);
        EXPECT_EQ(list.cursor, i);
    }
    auto fifth = NewTrack(5);
    EXPECT_EQ(list.AddTrack(fifth), 0);
    EXPECT_NE(fifth, nullptr) << "the caller keeps the unstored track";
    EXPECT_EQ(list.notFull, 0);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(list.GetTrack(i)->settings.delay, i);
    EXPECT_EQ(list.GetTrack(0), nullptr);
    EXPECT_EQ(list.GetTrack(5), nullptr);
    EXPECT_EQ(list.GetTrack(-1), nullptr);

    list.DeleteTrackList();
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.GetTrack(1), nullptr);
    auto again = NewTrack(9);
    ASSERT_EQ(list.AddTrack(again), 1);
    EXPECT_EQ(list.cursor, 1) << "after DeleteTrackList the next AddTrack uses slot 1";
}

TEST(TrackList, SetTrackCopiesCameraAndSettingsFromTheReplacedTrack) {
    TrackList list;
    auto first = NewTrack(1);
    first->camera.fromPoint = {10, 20, 30};
    first->settings.repeatCount = 7;
    first->settings.rangeStart = 2;
    first->settings.rangeEnd = 5;
    ASSERT_EQ(list.SetTrack(2, std::move(first)), 1);
    EXPECT_EQ(list.count, 0) << "SetTrack does not count";

    auto second = NewTrack(2);
    second->outputDevice = 3;
    ASSERT_EQ(list.SetTrack(2, std::move(second)), 1);
    Track* now = list.GetTrack(2);
    EXPECT_EQ(now->camera.fromPoint, (Vec3{10, 20, 30}));
    EXPECT_EQ(now->settings.repeatCount, 7);
    EXPECT_EQ(now->settings.rangeStart, 2);
    EXPECT_EQ(now->settings.rangeEnd, 5);
    EXPECT_EQ(now->settings.delay, 1) << "the whole settings block is inherited";
    EXPECT_EQ(now->outputDevice, 3) << "only camera and settings are copied";

    // The same track again changes nothing and deletes nothing.
    ASSERT_EQ(list.SetTrack(2, std::unique_ptr<Track>(now)), 1);
    EXPECT_EQ(list.GetTrack(2), now);

    ASSERT_EQ(list.SetTrack(2, nullptr), 1);
    EXPECT_EQ(list.GetTrack(2), nullptr);
}

TEST(TrackList, NextTrackStopsAtSlotFour) {
    TrackList list;
    auto t = NewTrack(1);
    list.SetTrack(4, std::move(t));
    list.cursor = 1;
    EXPECT_EQ(list.NextTrack(), nullptr);  // slot 2
    EXPECT_EQ(list.NextTrack(), nullptr);  // slot 3
    EXPECT_NE(list.NextTrack(), nullptr);  // slot 4
    EXPECT_EQ(list.NextTrack(), nullptr);
    EXPECT_EQ(list.cursor, 4);
}

TEST(TrackList, DeleteTrackListWithInconsistentCountDeletesNothing) {
    test::TempHome home;
    TrackList list;
    auto t = NewTrack(1);
    list.SetTrack(2, std::move(t));
    list.count = 1;  // counted, but slot 1 is empty
    list.DeleteTrackList();
    EXPECT_NE(list.GetTrack(2), nullptr);
    EXPECT_EQ(home.LogLines(),
              std::vector<std::string>{"DeleteTrackList(): Track List is empty, but number of entries is not zero."});
}

}  // namespace
}  // namespace vyr
