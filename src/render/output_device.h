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
    virtual void BlankOutput(std::uint16_t invertBlanking, std::uint16_t colorMode) = 0;
    virtual void BlankAtCurrent(std::uint16_t invertBlanking, std::uint16_t colorMode) = 0;
    virtual void Flush() {}

    // The viewing chain.
    // 0 on success; 1 (nothing changed) unless xmax - xmin > 0 and ymax - ymin > 0.
    int SetWindow(float xmin, float xmax, float ymin, float ymax);
    // 0 on success; 1 (nothing changed) when either extent is 0.
    int SetViewport(float xmin, float xmax, float ymin, float ymax);
    void SetDeviceViewport(std::int32_t xmin, std::int32_t xmax, std::int32_t ymin, std::int32_t ymax);
    void SetCamera(const Camera& camera) { camera_ = camera; }
    const Camera& GetCamera() const { return camera_; }
    // Computes the view basis from the camera; a degenerate camera keeps the previous basis.
    void SetupView();
    Vec3 ToEye(const Vec3& world) const;
    // Clips the eye-space segment against the viewing pyramid: 0 inside,
    // 1 p0 moved (enters), 2 p1 moved (leaves), 3 invisible (both zeroed).
    int ClipSegment(Vec3& p0, Vec3& p1) const;
    // Perspective projection onto the viewport; leaves nx, ny unchanged for
    // a point on the eye plane off the axis.
    void Project(const Vec3& eye, float& nx, float& ny) const;
    void ToDevice(float nx, float ny, std::int32_t& dx, std::int32_t& dy) const;
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
    OutputDevice(std::int32_t minC, std::int32_t maxC, std::int32_t type, std::int32_t port);

private:
    Rect window_{-32767.0f, 32766.0f, -32767.0f, 32766.0f};
    Rect viewport_{0.0f, 1.0f, 0.0f, 1.0f};
    DeviceRect deviceViewport_{0, 0, 0, 0};
    Camera camera_;
    // The view basis: rows u, v, n.
    std::array<Vec3, 3> basis_{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, -1}};
    float tanHalfAngle_ = 0.41421356f;  // tan(22.5 degrees), refreshed by SetupView
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
