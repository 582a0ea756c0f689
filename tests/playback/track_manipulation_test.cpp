#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "model/track_list.h"
#include "playback/track_manipulation.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

TrackCommand Command(std::int32_t code, std::int32_t frames) {
    TrackCommand c;
    c.code = code;
    c.frameCount = frames;
    return c;
}

TrackCommand Fade(std::int32_t direction, std::int32_t frames) {
    TrackCommand c = Command(kCommandFade, frames);
    c.fadeDirection = direction;
    return c;
}

TrackCommand Rotation(std::int32_t code, std::int32_t axis, float degrees, std::int32_t frames) {
    TrackCommand c = Command(code, frames);
    c.rotationAxis = axis;
    c.rotationStep = degrees;
    return c;
}

TrackCommand Zoom(std::int32_t direction, float step, std::int32_t frames) {
    TrackCommand c = Command(kCommandZoom, frames);
    c.zoomDirection = direction;
    c.zoomStep = step;
    return c;
}

TrackCommand Move(std::int32_t code, Vec3 by, std::int32_t frames) {
    TrackCommand c = Command(code, frames);
    c.moveX = by.x;
    c.moveY = by.y;
    c.moveZ = by.z;
    return c;
}

void ExpectNear(const Vec3& actual, const Vec3& expected, float tolerance) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

const std::vector<std::string> kStepFailure = {
    "DoTrackManipulation(): Command in progress function call failure.",
    "DisplayAllTracks(): DoTrackManipulation failed.",
};

// Two tracks in slots 1 and 2, the view's working copies and form values,
// and the display tick's part for one slot.
class TrackManipulation : public ::testing::Test {
protected:
    TrackManipulation() {
        for (int i = 0; i < 2; ++i) {
            auto track = std::make_unique<Track>();
            tracks.AddTrack(track);
        }
    }

    Track& Slot(int n = 1) { return *tracks.GetTrack(n); }

    bool Tick(int n = 1) {
        current = static_cast<std::int16_t>(n);
        Track& track = Slot(n);
        camera = track.camera;
        settings = track.settings;
        return manipulator.StepTrackCommand(track);
    }

    void Start(const TrackCommand& command, int n = 1) { IssueReplacingCommand(Slot(n), command); }

    std::vector<std::string> FailureLines(const std::string& first) const {
        std::vector<std::string> lines{first};
        lines.insert(lines.end(), kStepFailure.begin(), kStepFailure.end());
        return lines;
    }

    test::TempHome home;
    TrackList tracks;
    std::int16_t current = 1;
    Camera camera;
    TrackSettings settings;
    SlotFlags rotateAboutZero{0, 0, 0, 0};
    TrackManipulator manipulator{tracks, current, camera, settings, rotateAboutZero};
};

TEST_F(TrackManipulation, FadesMoveInEvenStepsAndEndExactly) {
    struct Case {
        const char* name;
        float start;
        std::int32_t direction;
        std::vector<float> values;  // colorFactor after each tick
    };
    const Case cases[] = {
        {"fade-in from 0.5", 0.5f, 0, {0.55f, 0.6f, 0.65f, 0.7f, 0.75f, 0.8f, 0.85f, 0.9f, 0.95f, 1.0f}},
        {"fade-in at 1", 1.0f, 0, {1.0f, 1.0f, 1.0f}},
        {"fade-out from 0.8", 0.8f, 1, {0.6f, 0.4f, 0.2f, 0.0f}},
        {"fade-out at 0", 0.0f, 1, {0.0f, 0.0f}},
        {"fade-in from below 0", -0.5f, 0, {0.25f, 1.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Slot().settings.colorFactor = c.start;
        const auto frames = static_cast<std::int32_t>(c.values.size());
        Start(Fade(c.direction, frames));
        for (std::size_t i = 0; i < c.values.size(); ++i) {
            const bool running = Tick();
            EXPECT_EQ(running, i + 1 < c.values.size());
            EXPECT_NEAR(Slot().settings.colorFactor, c.values[i], 1e-6f) << "tick " << i + 1;
            EXPECT_EQ(settings.colorFactor, Slot().settings.colorFactor) << "the working copy follows";
        }
        EXPECT_EQ(Slot().settings.colorFactor, c.values.back()) << "exactly";
        EXPECT_EQ(Slot().manipulation.started, 1);
        EXPECT_FALSE(Tick());
        EXPECT_EQ(Slot().settings.colorFactor, c.values.back());
    }
    EXPECT_TRUE(home.LogLines().empty());
}

TEST_F(TrackManipulation, FadeStepIsComputedOnceFromTheStartingBrightness) {
    Slot().settings.colorFactor = 0.5f;
    Start(Fade(0, 10));
    Tick();
    EXPECT_NEAR(Slot().manipulation.fadeStep, 0.05f, 1e-7f);
    Slot().settings.colorFactor = 0.0f;  // something else dims the track meanwhile
    Tick();
    EXPECT_NEAR(Slot().settings.colorFactor, 0.05f, 1e-7f);
    EXPECT_NEAR(Slot().manipulation.fadeStep, 0.05f, 1e-7f);
}

TEST_F(TrackManipulation, BrightnessThatIsNoNumberCountsAsFull) {
    struct Case {
        const char* name;
        float start;
        std::int32_t direction;
        std::vector<float> values;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {"NaN fade-in", nan, 0, {1.0f, 1.0f}},
        {"NaN fade-out", nan, 1, {0.5f, 0.0f}},
        {"-inf fade-in", -inf, 0, {1.0f, 1.0f}},
        {"+inf fade-out", inf, 1, {0.75f, 0.5f, 0.25f, 0.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Slot().settings.colorFactor = c.start;
        Start(Fade(c.direction, static_cast<std::int32_t>(c.values.size())));
        for (float expected : c.values) {
            Tick();
            EXPECT_NEAR(Slot().settings.colorFactor, expected, 1e-6f);
        }
    }
}

TEST_F(TrackManipulation, InvalidFadeDirectionFailsEveryTickAndKeepsItsCount) {
    Slot().settings.colorFactor = 0.3f;
    Start(Fade(2, 3));
    EXPECT_TRUE(Tick());
    EXPECT_EQ(home.LogLines(), FailureLines("DoFade(): Invalid fade direction specified."));
    EXPECT_EQ(Slot().manipulation.frameCount, 3);
    EXPECT_EQ(Slot().settings.colorFactor, 0.3f);
    EXPECT_TRUE(Tick());
    EXPECT_EQ(home.LogLines().size(), 6u);
    EXPECT_EQ(home.LogLines()[3], "DoFade(): Invalid fade direction specified.");
    EXPECT_EQ(Slot().manipulation.frameCount, 3);
}

TEST_F(TrackManipulation, RotationsTurnAboutTheirCentre) {
    struct Case {
        const char* name;
        std::int32_t code;
        std::int32_t axis;
        int aboutZero;
        Vec3 from, at;
        Vec3 wantFrom, wantAt;
    };
    const Case cases[] = {
        {"from about Y", kCommandRotateFrom, 1, 0, {0, 0, 80000}, {0, 0, 0}, {80000, 0, 0}, {0, 0, 0}},
        {"from about X", kCommandRotateFrom, 0, 0, {0, 0, 80000}, {0, 0, 0}, {0, -80000, 0}, {0, 0, 0}},
        {"from about Z", kCommandRotateFrom, 2, 0, {80000, 0, 0}, {0, 0, 0}, {0, 80000, 0}, {0, 0, 0}},
        {"from about the at point", kCommandRotateFrom, 1, 0, {0, 0, 80000}, {1000, 0, 0}, {81000, 0, 1000}, {1000, 0, 0}},
        {"from about the origin", kCommandRotateFrom, 1, 1, {0, 0, 80000}, {1000, 0, 0}, {80000, 0, 0}, {1000, 0, 0}},
        {"at about the from point", kCommandRotateAt, 1, 0, {0, 0, 80000}, {0, 0, 0}, {0, 0, 80000}, {-80000, 0, 80000}},
        {"at ignores Rotate About 0", kCommandRotateAt, 1, 1, {0, 0, 80000}, {0, 0, 0}, {0, 0, 80000}, {-80000, 0, 80000}},
        {"both about each other", kCommandRotateBoth, 1, 0, {0, 0, 80000}, {0, 0, 0}, {80000, 0, 0}, {-80000, 0, 80000}},
        {"both about the origin", kCommandRotateBoth, 1, 1, {0, 0, 80000}, {1000, 0, 0}, {80000, 0, 0}, {0, 0, -1000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rotateAboutZero = {0, 0, 0, 0};
        rotateAboutZero[1] = c.aboutZero;  // slot 2
        Track& track = Slot(2);
        track.camera = Camera{};
        track.camera.fromPoint = c.from;
        track.camera.atPoint = c.at;
        Start(Rotation(c.code, c.axis, 90.0f, 4), 2);
        EXPECT_TRUE(Tick(2));
        ExpectNear(track.camera.fromPoint, c.wantFrom, 0.01f);
        ExpectNear(track.camera.atPoint, c.wantAt, 0.01f);
        EXPECT_EQ(track.camera.upVector, (Vec3{0, 1, 0}));
        EXPECT_EQ(track.camera.cameraAngle, 45.0f);
        EXPECT_EQ(camera, track.camera) << "the working camera is the result";
        EXPECT_EQ(track.manipulation.frameCount, 3);
    }
    EXPECT_EQ(Slot(1).camera, Camera{}) << "other slots are not touched";
    EXPECT_TRUE(home.LogLines().empty());
}

TEST_F(TrackManipulation, InvalidRotationAxisFailsAndKeepsTheCamera) {
    Start(Rotation(kCommandRotateFrom, 3, 10.0f, 2));
    EXPECT_TRUE(Tick());
    EXPECT_EQ(home.LogLines(), FailureLines("DoRotate(): Invalid rotation axis specified."));
    EXPECT_EQ(Slot().camera, Camera{});
    EXPECT_EQ(Slot().manipulation.frameCount, 2);
}

TEST_F(TrackManipulation, RotationOutsideTheSlotsIsRefused) {
    Slot().manipulation = Rotation(kCommandRotateFrom, 1, 10.0f, 2);
    for (std::int16_t slot : {std::int16_t{0}, std::int16_t{5}}) {
        current = slot;
        EXPECT_EQ(manipulator.DoRotate(kRotateFromPoint), 0);
        EXPECT_EQ(manipulator.DoRotate(kRotateBoth), 0);
        EXPECT_EQ(manipulator.DoRotate(kRotateAtPoint), 0) << "no slot, no track";
        EXPECT_EQ(manipulator.DoTrackManipulation(), 0) << "an empty slot is no failure worth a line";
    }
    const std::string line = "DoRotate(): Invalid track number specified.";
    EXPECT_EQ(home.LogLines(), (std::vector<std::string>{line, line, line, line}));
    EXPECT_EQ(Slot().manipulation.frameCount, 2);
}

TEST_F(TrackManipulation, ZoomMovesTheFromPointAlongTheLineOfSight) {
    struct Case {
        const char* name;
        std::int32_t direction;
        Vec3 from;
        Vec3 want;
    };
    const Case cases[] = {
        {"in", 0, {0, 0, 80000}, {0, 0, 79000}},
        {"out", 1, {0, 0, 80000}, {0, 0, 81000}},
        {"from at the at point", 0, {0, 0, 0}, {0, 0, 0}},
        {"out at the limit", 1, {0, 0, 999500}, {0, 0, 1000000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Slot().camera = Camera{};
        Slot().camera.fromPoint = c.from;
        Start(Zoom(c.direction, 1000.0f, 5));
        EXPECT_TRUE(Tick());
        EXPECT_EQ(Slot().camera.fromPoint, c.want);
        EXPECT_EQ(Slot().camera.atPoint, (Vec3{0, 0, 0}));
        EXPECT_EQ(Slot().manipulation.frameCount, 4) << "the count drops even when nothing moves";
    }
    EXPECT_TRUE(home.LogLines().empty());
}

TEST_F(TrackManipulation, InvalidZoomDirectionFails) {
    Start(Zoom(2, 1000.0f, 5));
    EXPECT_TRUE(Tick());
    EXPECT_EQ(home.LogLines(), FailureLines("DoZoom(): Invalid zoom direction specified."));
    EXPECT_EQ(Slot().camera, Camera{});
    EXPECT_EQ(Slot().manipulation.frameCount, 5);
}

// The reference axis carries the step; the other coordinates follow the line.
TEST_F(TrackManipulation, MoveAlongSightFollowsTheLineFromEveryAxis) {
    struct Case {
        const char* name;
        Vec3 from, at;
        float distance;
        std::int16_t mode;
        Vec3 wantFrom, wantAt;
    };
    const Case cases[] = {
        {"x-y, toward", {0, 0, 0}, {3000, 4000, 0}, 500, kSightFromPoint, {300, 400, 0}, {3000, 4000, 0}},
        {"x-y, both slide", {0, 0, 0}, {3000, 4000, 0}, 500, kSightBoth, {300, 400, 0}, {3300, 4400, 0}},
        {"x-y, from the other side", {3000, 4000, 0}, {0, 0, 0}, 500, kSightFromPoint, {2700, 3600, 0}, {0, 0, 0}},
        {"x-y, step measured in the x-y plane", {0, 0, 0}, {300, 400, 1200}, 250, kSightFromPoint, {150, 200, 600}, {300, 400, 1200}},
        {"x-z", {0, 0, 0}, {300, 0, 400}, 50, kSightFromPoint, {30, 0, 40}, {300, 0, 400}},
        {"z-y, toward", {0, 0, 0}, {0, 300, 400}, 50, kSightFromPoint, {0, 30, 40}, {0, 300, 400}},
        {"z-y, away", {0, 0, 0}, {0, 300, 400}, -50, kSightFromPoint, {0, -30, -40}, {0, 300, 400}},
        {"y only", {0, 0, 0}, {0, 1000, 0}, 100, kSightFromPoint, {0, 100, 0}, {0, 1000, 0}},
        {"y only, away", {0, 0, 0}, {0, 1000, 0}, -100, kSightFromPoint, {0, -100, 0}, {0, 1000, 0}},
        {"z only, both", {0, 0, 80000}, {0, 0, 0}, 1000, kSightBoth, {0, 0, 79000}, {0, 0, -1000}},
        {"zero distance", {0, 0, 80000}, {0, 0, 0}, 0, kSightBoth, {0, 0, 80000}, {0, 0, 0}},
        {"both clamped", {0, 0, -999900}, {0, 0, -1000000}, 500, kSightBoth, {0, 0, -1000000}, {0, 0, -1000000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Slot().camera.fromPoint = c.from;
        Slot().camera.atPoint = c.at;
        Slot().manipulation = Command(kCommandMoveForward, 3);
        camera = Slot().camera;
        EXPECT_EQ(manipulator.MoveAlongSight(c.distance, c.mode), 1);
        ExpectNear(Slot().camera.fromPoint, c.wantFrom, 0.05f);
        ExpectNear(Slot().camera.atPoint, c.wantAt, 0.05f);
        EXPECT_EQ(Slot().manipulation.frameCount, 2);
    }
}

TEST_F(TrackManipulation, MoveForwardCommandSlidesBothPoints) {
    Start(Move(kCommandMoveForward, {1000, 0, 0}, 2));
    EXPECT_TRUE(Tick());
    EXPECT_EQ(Slot().camera.fromPoint, (Vec3{0, 0, 79000}));
    EXPECT_EQ(Slot().camera.atPoint, (Vec3{0, 0, -1000}));
    EXPECT_FALSE(Tick());
    EXPECT_EQ(Slot().camera.fromPoint, (Vec3{0, 0, 78000}));
    EXPECT_EQ(Slot().camera.atPoint, (Vec3{0, 0, -2000}));
}

TEST_F(TrackManipulation, PointMovesStopAtTheCoordinateLimit) {
    struct Case {
        const char* name;
        std::int32_t code;
        Vec3 by;
        Vec3 wantFrom, wantAt;  // after two ticks from the default camera
    };
    const Case cases[] = {
        {"from, beyond +limit", kCommandMoveFrom, {2000000, 0, 0}, {1000000, 0, 80000}, {0, 0, 0}},
        {"from, beyond -limit", kCommandMoveFrom, {0, -3000000, 0}, {0, -1000000, 80000}, {0, 0, 0}},
        {"at", kCommandMoveAt, {10, -20, 30}, {0, 0, 80000}, {20, -40, 60}},
        {"both", kCommandMoveBoth, {0, 0, 500000}, {0, 0, 1000000}, {0, 0, 1000000}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Slot().camera = Camera{};
        Start(Move(c.code, c.by, 3));
        Tick();
        Tick();
        EXPECT_EQ(Slot().camera.fromPoint, c.wantFrom);
        EXPECT_EQ(Slot().camera.atPoint, c.wantAt);
        EXPECT_EQ(Slot().manipulation.frameCount, 1) << "one count per tick";
    }
    // A coordinate a script put beyond the limit is not pushed further out.
    Slot().camera = Camera{};
    Slot().camera.fromPoint.x = 1500000;
    Start(Move(kCommandMoveFrom, {10, 0, 0}, 1));
    Tick();
    EXPECT_EQ(Slot().camera.fromPoint.x, 1500000);
}

TEST_F(TrackManipulation, CountsOfHoldsAndCodesWithoutAStep) {
    struct Case {
        const char* name;
        TrackCommand command;
        std::vector<std::int32_t> counts;  // after each tick
    };
    TrackCommand skipped = Command(kCommandHold, 2);
    skipped.skipOnce = 1;
    const Case cases[] = {
        {"hold", Command(kCommandHold, 3), {2, 1, 0, 0}},
        {"skip once", skipped, {2, 1, 0}},
        {"undefined code 2", Command(kCommandUndefined, 3), {3, 3}},
        {"none", Command(kCommandNone, 3), {3, 3}},
        {"above none", Command(12, 3), {3, 3}},
        {"negative count", Command(kCommandHold, -5), {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Slot().camera = Camera{};
        Start(c.command);
        for (std::int32_t want : c.counts) {
            EXPECT_EQ(Tick(), want > 0);
            EXPECT_EQ(Slot().manipulation.frameCount, want);
            EXPECT_EQ(Slot().manipulation.skipOnce, 0);
        }
        EXPECT_EQ(Slot().camera, Camera{});
    }
    EXPECT_TRUE(home.LogLines().empty());
}

TEST_F(TrackManipulation, CountNeverDropsBelowZeroWhenAStepIsAppliedDirectly) {
    // An issuer applying the first step of a command of 0 ticks.
    Start(Rotation(kCommandRotateFrom, 1, 90.0f, 0));
    EXPECT_EQ(manipulator.DoTrackManipulation(), 1);
    ExpectNear(Slot().camera.fromPoint, {80000, 0, 0}, 0.01f);
    EXPECT_EQ(Slot().manipulation.frameCount, 0);
    EXPECT_FALSE(Tick()) << "finished, so the tracks are not busy";
    Start(Fade(0, 0));
    Slot().settings.colorFactor = 0.5f;
    EXPECT_EQ(manipulator.DoTrackManipulation(), 1);
    EXPECT_EQ(Slot().settings.colorFactor, 0.5f);
}

TEST_F(TrackManipulation, EmptySlotIsNotStepped) {
    current = 3;
    EXPECT_EQ(manipulator.DoTrackManipulation(), 0);
    EXPECT_EQ(manipulator.DoFade(), 0);
    EXPECT_EQ(manipulator.DoZoom(), 0);
    EXPECT_EQ(manipulator.MoveAlongSight(10.0f, kSightBoth), 0);
    EXPECT_EQ(manipulator.MoveAtPoint(true), 0);
    EXPECT_TRUE(home.LogLines().empty());
}

TEST_F(TrackManipulation, KeyCommandInterruptsAScriptedRotationWhichResumesAfterIt) {
    Start(Rotation(kCommandRotateFrom, 1, 10.0f, 5));
    Tick();
    Tick();
    ASSERT_EQ(Slot().manipulation.frameCount, 3);

    IssueInterruptingCommand(Slot(), Zoom(0, 1000.0f, 2));
    EXPECT_EQ(Slot().nextManipulation.code, kCommandRotateFrom);
    EXPECT_EQ(Slot().nextManipulation.frameCount, 3);
    EXPECT_TRUE(Tick());
    EXPECT_EQ(Slot().manipulation.code, kCommandZoom);
    // The zoom's last tick hands the track back to the rotation.
    EXPECT_TRUE(Tick()) << "the resumed rotation keeps the tracks busy";
    EXPECT_EQ(Slot().manipulation.code, kCommandRotateFrom);
    EXPECT_EQ(Slot().manipulation.frameCount, 3);
    EXPECT_EQ(Slot().nextManipulation.code, kCommandNone);

    const float d = 78000.0f;  // 80000 less two zoom steps
    const float rad = 3.14159265f / 180.0f;
    ExpectNear(Slot().camera.fromPoint, {d * std::sin(20 * rad), 0, d * std::cos(20 * rad)}, 1.0f);
    EXPECT_TRUE(Tick());
    ExpectNear(Slot().camera.fromPoint, {d * std::sin(30 * rad), 0, d * std::cos(30 * rad)}, 1.0f);
    EXPECT_EQ(Slot().manipulation.frameCount, 2);
    Tick();
    EXPECT_FALSE(Tick());
    EXPECT_FALSE(Tick());
    EXPECT_EQ(Slot().manipulation.code, kCommandRotateFrom) << "a finished command keeps its code";
}

TEST_F(TrackManipulation, OnlyOneCommandWaitsAndReplacingDropsTheRunningOne) {
    Start(Command(kCommandHold, 9));
    IssueInterruptingCommand(Slot(), Command(kCommandUndefined, 9));
    IssueInterruptingCommand(Slot(), Command(kCommandHold, 1));
    EXPECT_EQ(Slot().nextManipulation.code, kCommandUndefined) << "the older waiting command is lost";

    Slot().manipulation = Command(kCommandNone, 0);
    Slot().nextManipulation = Command(kCommandHold, 4);
    IssueInterruptingCommand(Slot(), Command(kCommandHold, 2));
    EXPECT_EQ(Slot().nextManipulation.frameCount, 4) << "an empty record does not push the waiting one out";

    Start(Command(kCommandNone, 0));
    EXPECT_FALSE(Tick());
    EXPECT_EQ(Slot().manipulation.code, kCommandNone) << "nothing resumes over an empty record";
    EXPECT_EQ(Slot().nextManipulation.frameCount, 4);

    Start(Command(kCommandHold, 1));
    EXPECT_TRUE(Tick()) << "the waiting hold resumes after the new one";
    EXPECT_EQ(Slot().manipulation.frameCount, 4);
}

}  // namespace
}  // namespace vyr
