#pragma once

namespace vyr {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool operator==(const Vec3&) const = default;
};

// The eye through which a track is seen. Coordinates are ILDA world units.
struct Camera {
    Vec3 fromPoint{0.0f, 0.0f, 80000.0f};
    Vec3 atPoint{0.0f, 0.0f, 0.0f};
    Vec3 upVector{0.0f, 1.0f, 0.0f};
    float cameraAngle = 45.0f;  // full opening angle, degrees

    // All ten values back to the defaults in one step.
    void Reset() { *this = Camera{}; }
    bool operator==(const Camera&) const = default;
};

// Every move and zoom keeps each coordinate of the from and at points within this.
inline constexpr float kCameraCoordinateLimit = 1000000.0f;

}  // namespace vyr
