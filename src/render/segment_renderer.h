#pragma once

#include <cstdint>

#include "app/settings.h"
#include "model/point.h"
#include "model/track.h"
#include "platform/canvas.h"
#include "render/output_device.h"
#include "render/play_state.h"

namespace vyr {

// Turns one segment of a track into preview drawing and laser points.
class SegmentRenderer {
public:
    // `canvas` may be null (no preview surface, e.g. a headless run without snapshots).
    SegmentRenderer(const Settings& settings, PlayState& state, OutputDevice& preview, Canvas* canvas)
        : settings_(settings), state_(state), preview_(preview), canvas_(canvas) {}

    // index: 1 for the first segment of a frame, 2, 3, ... after it, -1 for the closing call.
    std::int16_t DisplaySegment(const Point* from, const Point* to, std::uint8_t r, std::uint8_t g,
                                std::uint8_t b, std::int16_t index);

    // The blanking-shift delay line. Positive shifts delay colour against
    // position, negative ones position against colour; shifts are limited to
    // the ring's 50 entries.
    static void ShiftPoint(PointHistory& history, float& x, float& y, ColourBytes& colour, int shift);

    // Stores a point as the newest entry of the ring; returns its index.
    static int RememberPoint(PointHistory& history, float x, float y, const ColourBytes& colour) {
        const int newest = history.index + 1 < PointHistory::kSize ? history.index + 1 : 0;
        history.index = static_cast<std::uint8_t>(newest);
        history.entries[static_cast<std::size_t>(newest)] = PointHistoryEntry{x, y, colour};
        return newest;
    }

    void SetCanvas(Canvas* canvas) { canvas_ = canvas; }

private:
    struct Segment {
        const Point& from;
        const Point& to;
        bool fromBlanked;
        bool toBlanked;
        std::uint8_t r, g, b;
        std::int16_t index;
    };

    // The eye coordinates of the last end point seen by one device: the next
    // segment usually starts there.
    struct EyeCache {
        const OutputDevice* device = nullptr;
        std::uint32_t version = 0;
        std::int16_t x = 0, y = 0, z = 0;  // the point, as the content holds it
        Vec3 eye;
        bool projected = false;  // nx, ny hold the projection of the unclipped eye point
        float nx = 0.0f;
        float ny = 0.0f;
    };
    // Eye coordinates of both ends. Returns true, with the from point's
    // projection in fromX, fromY, when the cache held it.
    static bool ToEyePair(const OutputDevice& device, EyeCache& cache, const Segment& s, Vec3& p0, Vec3& p1,
                          float& fromX, float& fromY);

    void DrawPreview(const Segment& s);
    void DrawBeams(float x, float y, Rgb pen);
    void EmitLaser(const Segment& s);

    // Where the laser points of the segment being rendered go; set up once
    // per segment so that each emitted point costs as little as possible.
    struct LaserTarget {
        OutputDevice* device = nullptr;
        PointHistory* history = nullptr;  // the current track's ring, if any
        int shift = 0;
        bool unshifted = true;            // a shift that returns every point as it is
        std::uint16_t invertBlanking = 0;
    };
    // `times` copies of one point, through the blanking-shift ring to the device.
    void Emit(const LaserTarget& target, float x, float y, const ColourBytes& colour, int times) {
        if (times <= 0) return;
        if (target.history == nullptr) {
            target.device->AddPoints(x, y, colour, target.invertBlanking, times);
        } else if (target.unshifted) {
            // The ring still keeps the points for a shift set later; a run
            // longer than the ring only needs its last turn written.
            const int writes = times < PointHistory::kSize ? times : PointHistory::kSize;
            for (int i = 0; i < writes; ++i) RememberPoint(*target.history, x, y, colour);
            if (times > writes) {
                target.history->index =
                    static_cast<std::uint8_t>((target.history->index + times - writes) % PointHistory::kSize);
            }
            target.device->AddPoints(x, y, colour, target.invertBlanking, times);
        } else {
            EmitShifted(target, x, y, colour, times);
        }
    }
    void EmitShifted(const LaserTarget& target, float x, float y, const ColourBytes& colour, int times);

    const Settings& settings_;
    PlayState& state_;
    OutputDevice& preview_;
    Canvas* canvas_;
    EyeCache previewEye_;
    EyeCache laserEye_;
};

}  // namespace vyr
