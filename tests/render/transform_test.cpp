#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "model/camera.h"
#include "render/output_device.h"

namespace vyr {
namespace {

const float kTan22_5 = static_cast<float>(std::tan(22.5 * 3.14159265358979323846 / 180.0));
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// A device with a 0..4095 range, as a RIYA DAC has, but no output.
class TransformTest : public ::testing::Test {
protected:
    void SetUp() override {
        device.SetDeviceViewport(0, 4095, 0, 4095);
        Look(Camera{});
    }
    void Look(const Camera& camera) {
        device.SetCamera(camera);
        device.SetupView();
    }
    // World point through eye space and projection, without clipping (a point
    // on the edge may round to either side of it).
    void ProjectOnly(const Vec3& world, float& nx, float& ny) { device.Project(device.ToEye(world), nx, ny); }
    // World point through eye space, clipper and projection; false when clipped away.
    bool ProjectWorld(const Vec3& world, float& nx, float& ny) {
        Vec3 p0 = device.ToEye(world);
        Vec3 p1 = p0;
        if (device.ClipSegment(p0, p1) == 3) return false;
        device.Project(p0, nx, ny);
        return true;
    }
    // On the pyramid side x = -z, x = z, y = -z or y = z (pyramid space), within rounding.
    bool OnPyramidSide(const Vec3& eye, float t = kTan22_5) {
        const float x = eye.x / t;
        const float y = eye.y / t;
        const float tolerance = 1e-4f * std::fabs(eye.z) + 1e-3f;
        return std::fabs(std::fabs(x) - eye.z) < tolerance || std::fabs(std::fabs(y) - eye.z) < tolerance;
    }

    Device_Screen device;
};

TEST_F(TransformTest, DefaultCameraCentresTheOriginAndPutsTheHalfAngleOnTheEdge) {
    const Vec3 eye = device.ToEye(Vec3{0, 0, 0});
    EXPECT_EQ(eye, (Vec3{0, 0, 80000}));
    float nx = -1, ny = -1;
    ASSERT_TRUE(ProjectWorld(Vec3{0, 0, 0}, nx, ny));
    EXPECT_FLOAT_EQ(nx, 0.5f);
    EXPECT_FLOAT_EQ(ny, 0.5f);

    const float edge = 80000.0f * kTan22_5;
    ProjectOnly(Vec3{edge, 0, 0}, nx, ny);
    EXPECT_FLOAT_EQ(nx, 1.0f);
    EXPECT_FLOAT_EQ(ny, 0.5f);
    ProjectOnly(Vec3{0, -edge, 0}, nx, ny);
    EXPECT_FLOAT_EQ(nx, 0.5f);
    EXPECT_NEAR(ny, 0.0f, 1e-6f);

    std::int32_t dx = 0, dy = 0;
    device.ToDevice(0.5f, 0.5f, dx, dy);
    EXPECT_EQ(dx, 2047);  // 2047.5 truncated
    EXPECT_EQ(dy, 2047);
}

TEST_F(TransformTest, ClipSegmentCases) {
    const float z = 80000.0f;
    const float in = 0.2f * z * kTan22_5;   // well inside
    const float out = 3.0f * z * kTan22_5;  // well outside
    struct Case {
        std::string name;
        Vec3 p0, p1;
        int result;
        bool p0Moved, p1Moved;
    };
    const std::vector<Case> cases = {
        {"inside", {in, in, z}, {-in, 0, z}, 0, false, false},
        {"both left", {-out, 0, z}, {-out, in, z}, 3, true, true},
        {"both above", {0, out, z}, {in, out, z}, 3, true, true},
        {"leaves to the right", {0, 0, z}, {out, 0, z}, 2, false, true},
        {"enters from below", {0, -out, z}, {0, 0, z}, 1, true, false},
        {"passes through from left to right", {-out, 0, z}, {out, 0, z}, 1, true, true},
        {"misses a corner", {-out, 0.9f * z * kTan22_5, z}, {0, 2.5f * z * kTan22_5, z}, 3, true, true},
        {"runs behind the eye", {0, 0, z}, {0, in, -z}, 2, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Vec3 p0 = c.p0, p1 = c.p1;
        EXPECT_EQ(device.ClipSegment(p0, p1), c.result);
        if (c.result == 3) {
            EXPECT_EQ(p0, Vec3{});
            EXPECT_EQ(p1, Vec3{});
            continue;
        }
        EXPECT_EQ(p0 != c.p0, c.p0Moved);
        EXPECT_EQ(p1 != c.p1, c.p1Moved);
        if (c.p0Moved) {
            EXPECT_TRUE(OnPyramidSide(p0)) << p0.x << " " << p0.y << " " << p0.z;
        }
        if (c.p1Moved) {
            EXPECT_TRUE(OnPyramidSide(p1)) << p1.x << " " << p1.y << " " << p1.z;
        }
        EXPECT_GE(p0.z, 0.0f);
        EXPECT_GE(p1.z, 0.0f);
    }
}

TEST_F(TransformTest, LeavingSegmentEndsExactlyWhereItCrossesTheEdge) {
    // From the centre to three times the half-width: the crossing is a third of the way.
    Vec3 p0 = device.ToEye(Vec3{0, 0, 0});
    Vec3 p1 = device.ToEye(Vec3{3.0f * 80000.0f * kTan22_5, 0, 0});
    ASSERT_EQ(device.ClipSegment(p0, p1), 2);
    float nx = 0, ny = 0;
    device.Project(p1, nx, ny);
    EXPECT_NEAR(nx, 1.0f, 1e-5f);
    EXPECT_FLOAT_EQ(ny, 0.5f);
}

TEST_F(TransformTest, NonFiniteEyePointsAreInvisible) {
    for (const float bad : {kNaN, kInf, -kInf}) {
        Vec3 p0{0, 0, 1000}, p1{bad, 0, 1000};
        EXPECT_EQ(device.ClipSegment(p0, p1), 3);
        EXPECT_EQ(p0, Vec3{});
        EXPECT_EQ(p1, Vec3{});
    }
}

TEST_F(TransformTest, ProjectOnTheEyePlane) {
    float nx = 0.3f, ny = 0.7f;
    device.Project(Vec3{0, 0, 0}, nx, ny);
    EXPECT_EQ(nx, 0.0f);
    EXPECT_EQ(ny, 0.0f);
    nx = 0.3f;
    ny = 0.7f;
    device.Project(Vec3{5, 0, 0}, nx, ny);  // off the axis: left as it was
    EXPECT_EQ(nx, 0.3f);
    EXPECT_EQ(ny, 0.7f);
}

TEST_F(TransformTest, SetViewportRejectsEmptyOrNonFiniteExtentsAndKeepsTheOldOne) {
    EXPECT_EQ(device.SetViewport(0.2f, 0.2f, 0.0f, 1.0f), 1);
    EXPECT_EQ(device.SetViewport(0.0f, 1.0f, 0.5f, 0.5f), 1);
    EXPECT_EQ(device.SetViewport(0.0f, kNaN, 0.0f, 1.0f), 1);
    EXPECT_EQ(device.SetViewport(-kInf, 1.0f, 0.0f, 1.0f), 1);
    EXPECT_EQ(device.Viewport().xmin, 0.0f);
    EXPECT_EQ(device.Viewport().xmax, 1.0f);
    EXPECT_EQ(device.Viewport().ymax, 1.0f);

    // A reversed viewport is accepted and mirrors the view.
    ASSERT_EQ(device.SetViewport(1.0f, 0.0f, 0.0f, 2.0f), 0);
    float nx = 0, ny = 0;
    ProjectOnly(Vec3{80000.0f * kTan22_5, 0, 0}, nx, ny);
    EXPECT_NEAR(nx, 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(ny, 1.0f);
}

TEST_F(TransformTest, SetWindowNeedsPositiveExtentsAndMapsDevicePointsBack) {
    EXPECT_EQ(device.SetWindow(10.0f, 10.0f, 0.0f, 1.0f), 1);
    EXPECT_EQ(device.SetWindow(10.0f, 0.0f, 0.0f, 1.0f), 1);
    EXPECT_EQ(device.SetWindow(0.0f, 1.0f, 5.0f, -5.0f), 1);
    EXPECT_EQ(device.Window().xmin, -32767.0f);
    EXPECT_EQ(device.Window().ymax, 32766.0f);

    ASSERT_EQ(device.SetWindow(-32767.0f, 32766.0f, -32767.0f, 32766.0f), 0);
    float nx = 0, ny = 0, x = 0, y = 0;
    device.FromDevice(0, 4095, nx, ny);
    EXPECT_EQ(nx, 0.0f);
    EXPECT_EQ(ny, 1.0f);
    device.ToWindow(nx, ny, x, y);
    EXPECT_EQ(x, -32767.0f);
    EXPECT_EQ(y, 32766.0f);

    ASSERT_EQ(device.SetWindow(0.0f, 100.0f, 0.0f, 100.0f), 0);
    device.FromDevice(1023, 3071, nx, ny);  // just below a quarter and three quarters
    device.ToWindow(nx, ny, x, y);
    EXPECT_NEAR(x, 24.98f, 0.01f);
    EXPECT_NEAR(y, 74.99f, 0.01f);

    // An empty device range has no inverse; it must not divide by zero.
    device.SetDeviceViewport(7, 7, 0, 4095);
    device.FromDevice(7, 0, nx, ny);
    EXPECT_EQ(nx, 0.0f);
}

TEST_F(TransformTest, ToDeviceTruncatesTowardZeroMirrorsReversedRangesAndSaturates) {
    struct Case {
        std::int32_t x0, x1;
        float nx;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {0, 4095, 0.25f, 1023},          // 1023.75
        {4095, 0, 0.25f, 3071},          // 4095 - 1023.75 = 3071.25
        {4095, 0, 1.0f, 0},
        {-100, 100, 0.4975f, 0},         // -0.5 truncates toward zero, not down to -1
        {-100, 100, 0.49f, -2},          // -2.0
        {0, 4095, -0.0001f, 0},          // -0.41 toward zero
        {0, 4095, kNaN, 0},              // NaN: start of the range
        {4095, 0, kNaN, 4095},
        {0, 4095, kInf, std::numeric_limits<std::int32_t>::max()},
        {0, 4095, -kInf, std::numeric_limits<std::int32_t>::min()},
        {0, 4095, 1e30f, std::numeric_limits<std::int32_t>::max()},
        {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), 1.0f,
         std::numeric_limits<std::int32_t>::max()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x0) + ".." + std::to_string(c.x1) + " at " + std::to_string(c.nx));
        device.SetDeviceViewport(c.x0, c.x1, 0, 4095);
        std::int32_t dx = -7, dy = -7;
        device.ToDevice(c.nx, 0.5f, dx, dy);
        EXPECT_EQ(dx, c.expected);
        EXPECT_EQ(dy, 2047);
    }
}

TEST_F(TransformTest, DegenerateCameraKeepsTheLastBasis) {
    // Looking down -x from the +x side: u = (0, 0, -1), v = (0, 1, 0), n = (-1, 0, 0).
    Camera side;
    side.fromPoint = Vec3{80000, 0, 0};
    Look(side);
    EXPECT_EQ(device.ToEye(Vec3{80001, 2, 3}), (Vec3{-3, 2, -1}));

    struct Case {
        std::string name;
        Vec3 from, at, up;
    };
    const std::vector<Case> cases = {
        {"from equals at", {5, 6, 7}, {5, 6, 7}, {0, 1, 0}},
        {"up along the line of sight", {80000, 0, 0}, {0, 0, 0}, {2, 0, 0}},
        {"zero up vector", {80000, 0, 0}, {0, 0, 0}, {0, 0, 0}},
        {"NaN from point", {kNaN, 0, 0}, {0, 0, 0}, {0, 1, 0}},
        {"infinite at point", {0, 0, 0}, {0, kInf, 0}, {0, 1, 0}},
        {"NaN up vector", {80000, 0, 0}, {0, 0, 0}, {0, kNaN, 0}},
        {"up vector too long to square", {80000, 0, 0}, {0, 0, 0}, {0, 1e30f, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Look(side);
        Camera bad;
        bad.fromPoint = c.from;
        bad.atPoint = c.at;
        bad.upVector = c.up;
        Look(bad);
        if (std::isfinite(c.from.x)) {
            const Vec3 eye = device.ToEye(Vec3{c.from.x + 1, c.from.y + 2, c.from.z + 3});
            EXPECT_EQ(eye, (Vec3{-3, 2, -1}));
        }
    }

    // A usable camera afterwards takes effect again.
    Look(Camera{});
    EXPECT_EQ(device.ToEye(Vec3{1, 2, 3}), (Vec3{1, 2, 79997}));
}

TEST_F(TransformTest, CameraAnglesAtTheLimitsNeverYieldNaNOrOverflow) {
    const float edge = 80000.0f * kTan22_5;
    const std::vector<Vec3> points = {
        {0, 0, 0}, {edge, 0, 0}, {-edge, edge, 0}, {30000, -20000, 5000}, {1, 1, 79999}, {0, 0, 79999},
    };
    for (const float angle : {0.0f, 1e-30f, 180.0f, -180.0f, 360.0f, -45.0f, 179.9999f, 1e30f, kNaN, kInf}) {
        SCOPED_TRACE("angle " + std::to_string(angle));
        Camera camera;
        camera.cameraAngle = angle;
        Look(camera);
        for (const Vec3& a : points) {
            for (const Vec3& b : points) {
                Vec3 p0 = device.ToEye(a), p1 = device.ToEye(b);
                const int result = device.ClipSegment(p0, p1);
                ASSERT_GE(result, 0);
                ASSERT_LE(result, 3);
                if (result == 3) continue;
                float nx0 = 0, ny0 = 0, nx1 = 0, ny1 = 0;
                device.Project(p0, nx0, ny0);
                device.Project(p1, nx1, ny1);
                for (const float v : {nx0, ny0, nx1, ny1}) ASSERT_TRUE(std::isfinite(v)) << v;
                std::int32_t dx = 0, dy = 0;
                device.ToDevice(nx1, ny1, dx, dy);
                EXPECT_GE(dx, 0);
                EXPECT_LE(dx, 4095);
                EXPECT_GE(dy, 0);
                EXPECT_LE(dy, 4095);
            }
        }
    }
}

TEST_F(TransformTest, CameraAngleLimitsBehaveSensibly) {
    const float edge = 80000.0f * kTan22_5;
    float nx = 0, ny = 0;
    Camera camera;

    camera.cameraAngle = 0.0f;  // as narrow as it gets: only the axis is seen
    Look(camera);
    ASSERT_TRUE(ProjectWorld(Vec3{0, 0, 0}, nx, ny));
    EXPECT_EQ(nx, 0.5f);
    EXPECT_FALSE(ProjectWorld(Vec3{100, 0, 0}, nx, ny));

    camera.cameraAngle = 180.0f;  // everything in view lands on the centre
    Look(camera);
    ASSERT_TRUE(ProjectWorld(Vec3{30000, -30000, 0}, nx, ny));
    EXPECT_NEAR(nx, 0.5f, 1e-6f);
    EXPECT_NEAR(ny, 0.5f, 1e-6f);

    camera.cameraAngle = -45.0f;  // a negative angle mirrors the view
    Look(camera);
    ASSERT_TRUE(ProjectWorld(Vec3{0.5f * edge, 0, 0}, nx, ny));
    EXPECT_NEAR(nx, 0.25f, 1e-6f);

    camera.cameraAngle = kNaN;  // keeps the last usable angle
    Look(camera);
    ASSERT_TRUE(ProjectWorld(Vec3{0.5f * edge, 0, 0}, nx, ny));
    EXPECT_NEAR(nx, 0.25f, 1e-6f);
}

}  // namespace
}  // namespace vyr
