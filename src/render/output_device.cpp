#include "render/output_device.h"

#include <cmath>
#include <limits>

namespace vyr {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The smallest |tan(half angle)| we work with. A zero opening angle would make
// the pyramid scaling and the projection divide by zero; this keeps a view so
// narrow (about 0.0001 degrees) that only points on the axis stay visible.
constexpr float kMinTanHalfAngle = 1.0e-6f;

// Cohen-Sutherland needs at most one clip per endpoint and plane (eight steps);
// rounding can put an intersection a hair outside its plane and ask for a
// re-clip. The bound ends that for certain.
constexpr int kMaxClipSteps = 32;
constexpr float kFloatMax = std::numeric_limits<float>::max();

enum Outcode : int { kLeft = 1, kRight = 2, kBottom = 4, kTop = 8 };

Vec3 Sub(const Vec3& a, const Vec3& b) { return Vec3{a.x - b.x, a.y - b.y, a.z - b.z}; }


Vec3 Cross(const Vec3& a, const Vec3& b) {
    return Vec3{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// False (and `out` untouched) for a zero-length or non-finite vector.
bool Normalize(const Vec3& a, Vec3& out) {
    const float length = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    if (!(length > 0.0f) || !std::isfinite(length)) return false;
    const Vec3 r{a.x / length, a.y / length, a.z / length};
    if (!std::isfinite(r.x) || !std::isfinite(r.y) || !std::isfinite(r.z)) return false;
    out = r;
    return true;
}

// Both ends finite: anything infinite or NaN times zero is NaN, which compares unequal.
bool Finite(const Vec3& p, const Vec3& q) {
    return p.x * 0.0f + p.y * 0.0f + p.z * 0.0f + q.x * 0.0f + q.y * 0.0f + q.z * 0.0f == 0.0f;
}

// Outcode in pyramid space (x and y already divided by tan of the half angle).
int CodeOf(const Vec3& p) {
    int code = 0;
    if (p.x < -p.z) code |= kLeft;
    if (p.x > p.z) code |= kRight;
    if (p.y < -p.z) code |= kBottom;
    if (p.y > p.z) code |= kTop;
    return code;
}

// Signed distance to the plane of one outcode bit: negative exactly when the
// point is outside it (the sign of a difference of two floats is never lost).
float DistanceTo(int plane, const Vec3& p) {
    switch (plane) {
        case kLeft: return p.x + p.z;
        case kRight: return p.z - p.x;
        case kBottom: return p.y + p.z;
        default: return p.z - p.y;
    }
}

int FirstPlane(int code) {
    if (code & kLeft) return kLeft;
    if (code & kRight) return kRight;
    if (code & kBottom) return kBottom;
    return kTop;
}

}  // namespace

OutputDevice::OutputDevice(std::int32_t minC, std::int32_t maxC, std::int32_t type, std::int32_t port)
    : lastX((minC + maxC + 1) / 2),
      lastY((minC + maxC + 1) / 2),
      minCoord(minC),
      maxCoord(maxC),
      deviceType(type),
      basePort(port),
      deviceViewport_{minC, maxC, minC, maxC} {
    SetDeviceViewport(minC, maxC, minC, maxC);
    UpdateProjection();
}

int OutputDevice::SetWindow(float xmin, float xmax, float ymin, float ymax) {
    if (!(xmax - xmin > 0.0f) || !(ymax - ymin > 0.0f)) return 1;
    if (!std::isfinite(xmax - xmin) || !std::isfinite(ymax - ymin)) return 1;
    window_ = Rect{xmin, xmax, ymin, ymax};
    return 0;
}

int OutputDevice::SetViewport(float xmin, float xmax, float ymin, float ymax) {
    const float w = xmax - xmin;
    const float h = ymax - ymin;
    if (w == 0.0f || h == 0.0f) return 1;
    // A NaN or infinite extent would poison every projected point.
    if (!std::isfinite(w) || !std::isfinite(h)) return 1;
    viewport_ = Rect{xmin, xmax, ymin, ymax};
    UpdateProjection();
    return 0;
}

void OutputDevice::SetDeviceViewport(std::int32_t xmin, std::int32_t xmax, std::int32_t ymin, std::int32_t ymax) {
    deviceViewport_ = DeviceRect{xmin, xmax, ymin, ymax};
    deviceSpan_ = DeviceSpan{static_cast<float>(xmin), static_cast<float>(static_cast<std::int64_t>(xmax) - xmin),
                             static_cast<float>(ymin), static_cast<float>(static_cast<std::int64_t>(ymax) - ymin)};
}

void OutputDevice::SetCamera(const Camera& camera) {
    camera_ = camera;
    ++viewVersion_;  // also when the angle below is refused
    const double t = std::tan(static_cast<double>(camera.cameraAngle) * kPi / 180.0 * 0.5);
    const float tf = static_cast<float>(t);
    if (!std::isfinite(t) || !std::isfinite(tf)) return;  // NaN or infinite angle: keep the last one
    tanHalfAngle_ = std::fabs(tf) < kMinTanHalfAngle ? std::copysign(kMinTanHalfAngle, tf) : tf;
    UpdateProjection();
}

void OutputDevice::UpdateProjection() {
    ++viewVersion_;
    // The same expressions the projection would evaluate for every point.
    const float t = tanHalfAngle_;
    const Rect& vp = viewport_;
    projection_ = Projection{(vp.xmax - vp.xmin) / (2.0f * t), (vp.xmin + vp.xmax) * 0.5f,
                             (vp.ymax - vp.ymin) / (2.0f * t), (vp.ymin + vp.ymax) * 0.5f};
}

void OutputDevice::SetupView() {
    Vec3 n;
    if (!Normalize(Sub(camera_.atPoint, camera_.fromPoint), n)) return;
    const Vec3 uRaw = Cross(n, camera_.upVector);
    Vec3 u;
    if (!Normalize(uRaw, u)) return;  // up along the line of sight
    Vec3 v;
    if (!Normalize(Cross(uRaw, n), v)) return;
    basis_ = {u, v, n};
    ++viewVersion_;
}

int OutputDevice::ClipSegment(Vec3& p0, Vec3& p1) const {
    // Most segments lie well inside the view. Comparing against the pyramid
    // shrunk by a margin far larger than any rounding tells those apart
    // without the divisions; anything near a side, behind the eye or not
    // finite takes the exact path below.
    if (const float t = tanHalfAngle_; t > 0.0f) {
        constexpr float kInside = 0.99999f;
        const float m0 = p0.z * t * kInside;
        const float m1 = p1.z * t * kInside;
        if (m0 > 0.0f && m1 > 0.0f && m0 <= kFloatMax && m1 <= kFloatMax && std::fabs(p0.x) <= m0 &&
            std::fabs(p0.y) <= m0 && std::fabs(p1.x) <= m1 && std::fabs(p1.y) <= m1) {
            return 0;
        }
    }
    if (!Finite(p0, p1)) {
        p0 = Vec3{};
        p1 = Vec3{};
        return 3;
    }
    const float t = tanHalfAngle_;
    Vec3 a{p0.x / t, p0.y / t, p0.z};
    Vec3 b{p1.x / t, p1.y / t, p1.z};
    int code0 = CodeOf(a);
    int code1 = CodeOf(b);
    bool moved0 = false;
    bool moved1 = false;
    for (int step = 0; (code0 | code1) != 0 && step < kMaxClipSteps; ++step) {
        if ((code0 & code1) != 0) {
            p0 = Vec3{};
            p1 = Vec3{};
            return 3;
        }
        const bool clipFirst = code0 != 0;
        const int plane = FirstPlane(clipFirst ? code0 : code1);
        // One end is outside (distance < 0) and the other inside this plane,
        // so the denominator is never zero.
        const float d0 = DistanceTo(plane, a);
        const float d1 = DistanceTo(plane, b);
        const float s = d0 / (d0 - d1);
        const Vec3 c{a.x + s * (b.x - a.x), a.y + s * (b.y - a.y), a.z + s * (b.z - a.z)};
        const Vec3 eye{c.x * t, c.y * t, c.z};
        if (clipFirst) {
            a = c;
            p0 = eye;
            code0 = CodeOf(a);
            moved0 = true;
        } else {
            b = c;
            p1 = eye;
            code1 = CodeOf(b);
            moved1 = true;
        }
    }
    // Should the bound end the loop, the ends lie on the pyramid within rounding.
    if (moved0) return 1;
    if (moved1) return 2;
    return 0;
}

void OutputDevice::FromDevice(std::int32_t dx, std::int32_t dy, float& nx, float& ny) const {
    const DeviceRect& d = deviceViewport_;
    const std::int64_t w = static_cast<std::int64_t>(d.xmax) - d.xmin;
    const std::int64_t h = static_cast<std::int64_t>(d.ymax) - d.ymin;
    // An empty range has no inverse; its only point maps to the start.
    nx = w == 0 ? 0.0f : static_cast<float>(static_cast<std::int64_t>(dx) - d.xmin) / static_cast<float>(w);
    ny = h == 0 ? 0.0f : static_cast<float>(static_cast<std::int64_t>(dy) - d.ymin) / static_cast<float>(h);
}

void OutputDevice::ToWindow(float nx, float ny, float& x, float& y) const {
    const Rect& w = window_;
    const Rect& vp = viewport_;
    x = w.xmin + (nx - vp.xmin) * (w.xmax - w.xmin) / (vp.xmax - vp.xmin);
    y = w.ymin + (ny - vp.ymin) * (w.ymax - w.ymin) / (vp.ymax - vp.ymin);
}

}  // namespace vyr
