// vyr-make-demo: writes the demo animation that ships in assets/demo.ild.
//
//   vyr-make-demo OUTPUT.ild
//
// 36 format-0 (3D, palette colour) frames: a five-petalled flower that opens
// into a circle and closes again while it tilts and turns, and a small
// triangle that orbits it. The beam travels blanked between the two figures. The file ends
// with an end marker (no points, frame number equal to the total).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "ilda_writer.h"

namespace {

using namespace vyr::tools;

constexpr int kFrames = 36;
constexpr double kRadius = 20000.0;
constexpr std::uint16_t kBlank = 0x4000;
constexpr std::uint16_t kLast = 0x8000;

struct DemoPoint {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    std::uint16_t status = 0;
};

std::int16_t Coordinate(double v) {
    return static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
}

// Moves the beam blanked from `from` to `to` in `steps` points.
void BlankedJump(std::vector<DemoPoint>& points, const DemoPoint& from, const DemoPoint& to, int steps) {
    for (int s = 1; s <= steps; ++s) {
        const double f = static_cast<double>(s) / steps;
        points.push_back({from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f,
                          from.z + (to.z - from.z) * f, kBlank});
    }
}

std::vector<DemoPoint> MakeFrame(int index) {
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    const double phase = static_cast<double>(index) / kFrames;
    const double morph = 0.5 - 0.5 * std::cos(kTwoPi * phase);  // 0 flower .. 1 circle .. 0 flower
    const double tilt = 0.6 * std::sin(kTwoPi * phase);          // about the vertical axis
    const double spin = kTwoPi * phase / 5.0;                     // one lobe per loop

    std::vector<DemoPoint> points;
    // The flower: the radius swings between petal tips and the centre, evened out by `morph`.
    constexpr int kFlowerPoints = 240;
    for (int k = 0; k <= kFlowerPoints; ++k) {
        const double theta = kTwoPi * k / kFlowerPoints;
        const double petal = 0.55 + 0.45 * std::cos(5.0 * theta);
        const double r = kRadius * (petal + (0.8 - petal) * morph);
        const double px = r * std::cos(theta + spin);
        const double py = r * std::sin(theta + spin);
        DemoPoint p{px * std::cos(tilt), py, -px * std::sin(tilt),
                    static_cast<std::uint16_t>(1 + (k * 15) / kFlowerPoints)};
        if (k == 0) {
            // Dwell blanked on the first point so the jump from the last frame is dark.
            for (int d = 0; d < 3; ++d) points.push_back({p.x, p.y, p.z, kBlank});
        }
        points.push_back(p);
    }

    // The orbiting triangle.
    const double orbit = kTwoPi * phase;
    const double cx = 1.2 * kRadius * std::cos(orbit);
    const double cy = 1.2 * kRadius * std::sin(orbit);
    const double size = 0.18 * kRadius;
    DemoPoint corners[3];
    for (int c = 0; c < 3; ++c) {
        const double a = -orbit * 2.0 + kTwoPi * c / 3.0;
        corners[c] = {cx + size * std::cos(a), cy + size * std::sin(a), 4000.0, 0};
    }
    BlankedJump(points, points.back(), corners[0], 8);
    constexpr int kEdgePoints = 20;
    for (int c = 0; c < 3; ++c) {
        const DemoPoint& a = corners[c];
        const DemoPoint& b = corners[(c + 1) % 3];
        for (int s = 1; s <= kEdgePoints; ++s) {
            const double f = static_cast<double>(s) / kEdgePoints;
            points.push_back({a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z, static_cast<std::uint16_t>(20 + c)});
        }
    }
    points.back().status |= kLast;
    return points;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: vyr-make-demo OUTPUT.ild\n", stderr);
        return 2;
    }
    std::string out;
    for (int f = 0; f < kFrames; ++f) {
        const std::vector<DemoPoint> points = MakeFrame(f);
        PutHeader(out, "vyrdemo", static_cast<int>(points.size()), f, kFrames);
        for (const DemoPoint& p : points) PutPoint(out, Coordinate(p.x), Coordinate(p.y), Coordinate(p.z), p.status);
    }
    PutHeader(out, "vyrdemo", 0, kFrames, kFrames);  // end marker
    return WriteWholeFile("vyr-make-demo", argv[1], out) ? 0 : 1;
}
