#pragma once

#include <array>
#include <cstdint>

#include "model/camera.h"

namespace vyr {

// Red, green, blue and the beam-on byte (0xFF lit, 0 dark) of a laser point.
using ColourBytes = std::array<std::uint8_t, 4>;

enum DeviceType : std::int32_t { kDeviceScreen = 0, kDeviceRiya = 4 };

// The base of every output device: the viewing chain from a track's camera to
// integer device coordinates, and the laser output operations.
class OutputDevice {
public:
    virtual ~OutputDevice() = default;
    OutputDevice(const OutputDevice&) = delete;
    OutputDevice& operator=(const OutputDevice&) = delete;

    // Laser output. x, y are normalized (0..1 inside the view).
    virtual void AddPoint(float x, float y, const ColourBytes& colour, std::uint16_t invertBlanking) = 0;
    // The same point `count` times, as the blanking delay asks for.
    virtual void AddPoints(float x, float y, const ColourBytes& colour, std::uint16_t invertBlanking, int count) {
        for (int i = 0; i < count; ++i) AddPoint(x, y, colour, invertBlanking);
    }
    virtual void BlankOutput(std::uint16_t invertBlanking, std::uint16_t colorMode) = 0;
    virtual void BlankAtCurrent(std::uint16_t invertBlanking, std::uint16_t colorMode) = 0;
    virtual void Flush() {}

    // The viewing chain.
    // 0 on success; 1 (nothing changed) unless xmax - xmin > 0 and ymax - ymin > 0.
    int SetWindow(float xmin, float xmax, float ymin, float ymax);
    // 0 on success; 1 (nothing changed) when either extent is 0 (or not finite).
    int SetViewport(float xmin, float xmax, float ymin, float ymax);
    void SetDeviceViewport(std::int32_t xmin, std::int32_t xmax, std::int32_t ymin, std::int32_t ymax);
    // Copies the camera of the track being drawn; the opening angle takes
    // effect at once, the view basis with the next SetupView.
    void SetCamera(const Camera& camera);
    const Camera& GetCamera() const { return camera_; }
    // Computes the view basis from the camera; a degenerate camera keeps the previous basis.
    void SetupView();
    Vec3 ToEye(const Vec3& world) const {
        const Vec3 d{world.x - camera_.fromPoint.x, world.y - camera_.fromPoint.y, world.z - camera_.fromPoint.z};
        const auto dot = [&d](const Vec3& a) { return a.x * d.x + a.y * d.y + a.z * d.z; };
        return Vec3{dot(basis_[0]), dot(basis_[1]), dot(basis_[2])};
    }
    // Changes whenever the camera, the view basis or the viewport does, so that
    // callers may keep the eye coordinates and projection of a point between
    // segments.
    std::uint32_t ViewVersion() const { return viewVersion_; }
    // Clips the eye-space segment against the viewing pyramid: 0 inside,
    // 1 p0 moved (enters), 2 p1 moved (leaves), 3 invisible (both zeroed;
    // also for a non-finite end).
    int ClipSegment(Vec3& p0, Vec3& p1) const;
    // Perspective projection onto the viewport; leaves nx, ny unchanged for
    // a point on the eye plane off the axis.
    void Project(const Vec3& eye, float& nx, float& ny) const {
        const Projection& p = projection_;
        if (eye.z != 0.0f) {
            nx = p.scaleX * (eye.x / eye.z) + p.centreX;
            ny = p.scaleY * (eye.y / eye.z) + p.centreY;
        } else if (eye.x == 0.0f && eye.y == 0.0f) {
            nx = 0.0f;
            ny = 0.0f;
        }
    }
    // Truncates toward zero; results beyond the 32-bit range saturate and NaN
    // gives the start of the range.
    void ToDevice(float nx, float ny, std::int32_t& dx, std::int32_t& dy) const {
        const DeviceRect& d = deviceViewport_;
        dx = TruncateToInt(deviceSpan_.x0 + deviceSpan_.width * nx, d.xmin);
        dy = TruncateToInt(deviceSpan_.y0 + deviceSpan_.height * ny, d.ymin);
    }

    // Float to int by truncation toward zero, saturating instead of
    // overflowing; NaN gives `fallback`.
    static std::int32_t TruncateToInt(float v, std::int32_t fallback) {
        if (v != v) return fallback;
        // 2^31 is exact in float; every float below it converts without overflow.
        constexpr float kTwo31 = 2147483648.0f;
        if (v >= kTwo31) return 2147483647;
        if (v <= -kTwo31) return -2147483647 - 1;
        return static_cast<std::int32_t>(v);
    }
    void FromDevice(std::int32_t dx, std::int32_t dy, float& nx, float& ny) const;
    void ToWindow(float nx, float ny, float& x, float& y) const;

    std::int32_t lastX = 0;
    std::int32_t lastY = 0;
    std::int32_t minCoord = 0;
    std::int32_t maxCoord = 0;
    std::int32_t deviceType = kDeviceScreen;
    std::int32_t basePort = 0;

    struct Rect {
        float xmin, xmax, ymin, ymax;
    };
    struct DeviceRect {
        std::int32_t xmin, xmax, ymin, ymax;
    };
    const Rect& Window() const { return window_; }
    const Rect& Viewport() const { return viewport_; }
    const DeviceRect& DeviceViewport() const { return deviceViewport_; }

protected:
    // lastX, lastY start at the centre of the range; the device viewport spans it on both axes.
    OutputDevice(std::int32_t minC, std::int32_t maxC, std::int32_t type, std::int32_t port);

private:
    Rect window_{-32767.0f, 32766.0f, -32767.0f, 32766.0f};
    Rect viewport_{0.0f, 1.0f, 0.0f, 1.0f};
    DeviceRect deviceViewport_{0, 0, 0, 0};
    // The device viewport as the conversion uses it; widths are taken in 64
    // bits so that two extreme 32-bit bounds cannot overflow.
    struct DeviceSpan {
        float x0, width, y0, height;
    };
    DeviceSpan deviceSpan_{0.0f, 0.0f, 0.0f, 0.0f};
    Camera camera_;
    std::uint32_t viewVersion_ = 0;
    // The view basis: rows u, v, n.
    std::array<Vec3, 3> basis_{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, -1}};
    // tan of half the opening angle, refreshed by SetCamera. Kept finite and
    // away from zero so that the clipper and the projection never divide by 0.
    float tanHalfAngle_ = 0.41421356f;  // tan(22.5 degrees)

    // Per-axis factors of the projection, refreshed with the angle and the viewport.
    struct Projection {
        float scaleX, centreX, scaleY, centreY;
    };
    void UpdateProjection();
    Projection projection_{1.0f / (2.0f * 0.41421356f), 0.5f, 1.0f / (2.0f * 0.41421356f), 0.5f};
};

// A device with nothing behind it: the preview's transform state, and every
// slot that has no DAC. Its output operations do nothing.
class Device_Screen final : public OutputDevice {
public:
    Device_Screen() : OutputDevice(0, 65535, kDeviceScreen, 0x300) {}
    void AddPoint(float, float, const ColourBytes&, std::uint16_t) override {}
    void BlankOutput(std::uint16_t, std::uint16_t) override {}
    void BlankAtCurrent(std::uint16_t, std::uint16_t) override {}
};

}  // namespace vyr
