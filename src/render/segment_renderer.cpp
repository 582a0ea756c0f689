#include "render/segment_renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/log.h"
#include "platform/canvas.h"
#include "render/color_mode.h"

namespace vyr {

namespace {

constexpr float kDotSize = 0.0015f;    // a segment shorter than this in both axes is drawn as a dot
constexpr float kMarkerSize = 0.01f;   // half-size of the Blank/Clip markers
constexpr float kBeamSpotSize = 0.005f;

Vec3 ToVec(const Point& p) {
    return Vec3{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
}

// Colour products may be pushed out of range by odd balance or intensity
// values; the conversion back to a byte must not overflow.
std::uint8_t ClampToByte(float v) {
    if (!(v > 0.0f)) return 0;  // also NaN
    if (v >= 255.0f) return 255;
    return static_cast<std::uint8_t>(v);
}

}  // namespace

std::int16_t SegmentRenderer::DisplaySegment(const Point* from, const Point* to, std::uint8_t r, std::uint8_t g,
                                             std::uint8_t b, std::int16_t index) {
    if (from == nullptr) {
        LogMessage("DisplaySegment(): NULL current point pointer!");
        return 0;
    }
    if (to == nullptr) {
        LogMessage("DisplaySegment(): NULL next point pointer!");
        return 0;
    }
    if (settings_.COLOR_MODE != 0) {
        ApplyColorMode(settings_.COLOR_MODE, settings_.TTL_THRESHOLD_RED, settings_.TTL_THRESHOLD_GREEN,
                       settings_.TTL_THRESHOLD_BLUE, r, g, b);
    }

    const Segment s{*from, *to, from->Blanked(), to->Blanked(), r, g, b, index};

    if (settings_.DISPLAY_SCREEN == 1 && state_.settings.colorFactor != 0.0f && canvas_ != nullptr) {
        DrawPreview(s);
    }
    if (settings_.DISPLAY_LASER == 1) {
        if (state_.outputDevice != nullptr) EmitLaser(s);
        ++state_.outputCounter;
    }
    return 1;
}

bool SegmentRenderer::ToEyePair(const OutputDevice& device, EyeCache& cache, const Segment& s, Vec3& p0, Vec3& p1,
                                float& fromX, float& fromY) {
    const bool hit = cache.device == &device && cache.version == device.ViewVersion() && cache.x == s.from.x &&
                     cache.y == s.from.y && cache.z == s.from.z;
    p0 = hit ? cache.eye : device.ToEye(ToVec(s.from));
    p1 = device.ToEye(ToVec(s.to));
    const bool projected = hit && cache.projected;
    fromX = cache.nx;
    fromY = cache.ny;
    cache = EyeCache{&device, device.ViewVersion(), s.to.x, s.to.y, s.to.z, p1, false, 0.0f, 0.0f};
    return projected;
}

void SegmentRenderer::DrawPreview(const Segment& s) {
    const bool blankClipView = settings_.BLANK_CLIP_VIEW != 0;
    const bool beamView = state_.settings.beamView == 1;

    Rgb pen{s.r, s.g, s.b};
    if (beamView && settings_.BEAM_YAG_VIEW == 1) {
        pen = Rgb{99, 255, 0};
    } else if (blankClipView && s.toBlanked) {
        pen = Rgb{90, 90, 90};
    } else if (settings_.COLOR_MODE == 4) {
        // Show CVL's red-green mix as the laser would look.
        const int green = s.r == 0 ? s.g : std::min(255, s.r + s.g);
        pen = Rgb{s.r, static_cast<std::uint8_t>(green), 0};
    }

    Vec3 p0, p1;
    float unusedX = 0.0f, unusedY = 0.0f;
    ToEyePair(preview_, previewEye_, s, p0, p1, unusedX, unusedY);
    const int clip = preview_.ClipSegment(p0, p1);
    if (clip == 3) return;

    float fx = 0.0f, fy = 0.0f, tx = 0.0f, ty = 0.0f;
    preview_.Project(p0, fx, fy);
    preview_.Project(p1, tx, ty);

    // Nudge each track's end points a little so that tracks drawn over each
    // other stay distinguishable.
    const int width = state_.previewRect.Width();
    const float d = width > 0 ? 0.8f / static_cast<float>(width) : 0.0f;
    switch (state_.currentTrackNumber) {
        case 1: tx -= d; ty += d; break;
        case 2: tx += d; ty += d; break;
        case 3: tx -= d; ty -= d; break;
        case 4: tx += d; ty -= d; break;
        default: break;
    }

    if (s.toBlanked && !blankClipView) return;

    auto device = [this](float nx, float ny) {
        CanvasPoint p;
        preview_.ToDevice(nx, ny, p.x, p.y);
        return p;
    };

    const bool pointsMode = state_.settings.PointsMode();
    const bool tiny = std::fabs(tx - fx) < kDotSize && std::fabs(ty - fy) < kDotSize;
    if (s.index != -1 && !beamView && (pointsMode || (!blankClipView && tiny))) {
        canvas_->SetPen(pen, 2);
        const CanvasPoint start = pointsMode ? device(tx, ty) : device(fx, fy);
        const CanvasPoint end = device(tx + kDotSize, ty + kDotSize);
        canvas_->MoveTo(start.x, start.y);
        canvas_->LineTo(end.x, end.y);
    } else if (beamView) {
        canvas_->SetPen(pen, 1);
        DrawBeams(tx, ty, pen);
    } else {
        canvas_->SetPen(pen, 1);
        const bool startsStroke = (s.fromBlanked && !s.toBlanked) || clip == 1 || (clip == 2 && blankClipView) ||
                                  s.index == 1 || s.index == -1;
        if (startsStroke) {
            const CanvasPoint start = device(fx, fy);
            canvas_->MoveTo(start.x, start.y);
        }
        const CanvasPoint end = device(tx, ty);
        canvas_->LineTo(end.x, end.y);
    }

    const bool transition = s.fromBlanked != s.toBlanked || clip == 1 || clip == 2 || s.index == 1 || s.index == -1;
    if (!blankClipView || !transition) return;

    const bool litToBlanked = !s.fromBlanked && s.toBlanked;
    Rgb brush{0, 0, 255};
    if (s.index == 1) {
        brush = Rgb{0, 255, 255};
    } else if (clip == 1) {
        brush = Rgb{255, 0, 0};
    } else if (clip == 2) {
        brush = Rgb{0, 255, 0};
    } else if (s.index == -1) {
        brush = Rgb{255, 255, 255};
    } else if (litToBlanked) {
        brush = Rgb{255, 0, 255};
    }
    canvas_->SetBrush(brush);
    const CanvasPoint a = device(fx + kMarkerSize, fy + kMarkerSize);
    const CanvasPoint c = device(fx - kMarkerSize, fy - kMarkerSize);
    if (litToBlanked) {
        const CanvasPoint triangle[3] = {{a.x, a.y}, {c.x, a.y}, {a.x + (c.x - a.x) / 2, c.y}};
        canvas_->Polygon(triangle, 3);
    } else {
        canvas_->Rectangle(a.x, a.y, c.x, c.y);
    }
    if (s.index != -1) {
        const CanvasPoint e1 = device(tx + kMarkerSize, ty + kMarkerSize);
        const CanvasPoint e2 = device(tx - kMarkerSize, ty - kMarkerSize);
        canvas_->Ellipse(e1.x, e1.y, e2.x, e2.y);
    }
    canvas_->ReleaseBrush();
}

void SegmentRenderer::DrawBeams(float x, float y, Rgb pen) {
    auto device = [this](float nx, float ny) {
        CanvasPoint p;
        preview_.ToDevice(nx, ny, p.x, p.y);
        return p;
    };
    auto line = [&](float x0, float y0, float x1, float y1) {
        const CanvasPoint a = device(x0, y0);
        const CanvasPoint b = device(x1, y1);
        canvas_->MoveTo(a.x, a.y);
        canvas_->LineTo(b.x, b.y);
    };

    if (settings_.BEAM_MODE == 1) {
        // Each point as a spot with the beam from projector 1 to it.
        canvas_->SetBrush(Rgb{static_cast<std::uint8_t>(pen.r / 2), static_cast<std::uint8_t>(pen.g / 2),
                              static_cast<std::uint8_t>(pen.b / 2)});
        const CanvasPoint a = device(x - kBeamSpotSize, y - kBeamSpotSize);
        const CanvasPoint b = device(x + kBeamSpotSize, y + kBeamSpotSize);
        canvas_->Ellipse(a.x, a.y, b.x, b.y);
        canvas_->ReleaseBrush();
        line(settings_.BEAM_ORIGIN_X1, settings_.BEAM_ORIGIN_Y1, x, y);
        return;
    }

    // A beam leaves its origin, passes the aim point and runs on to the edge of the view.
    auto beam = [&](float ox, float oy, float height, bool invertX) {
        const float ax = invertX ? 1.0f - x : x;
        const float ay = y + height;
        const float dx = ax - ox;
        const float dy = ay - oy;
        float t = std::numeric_limits<float>::infinity();
        if (dx > 0.0f) t = std::min(t, (1.0f - ox) / dx);
        if (dx < 0.0f) t = std::min(t, (0.0f - ox) / dx);
        if (dy > 0.0f) t = std::min(t, (1.0f - oy) / dy);
        if (dy < 0.0f) t = std::min(t, (0.0f - oy) / dy);
        if (!std::isfinite(t)) return;  // aim point on the origin: no direction
        line(ox, oy, ox + t * dx, oy + t * dy);
    };
    if (settings_.BEAM_ON_1 != 0) {
        beam(settings_.BEAM_ORIGIN_X1, settings_.BEAM_ORIGIN_Y1, settings_.BEAM_HEIGHT_1, settings_.BEAM_INVERT_X1 == 1);
    }
    if (settings_.BEAM_ON_2 != 0) {
        beam(settings_.BEAM_ORIGIN_X2, settings_.BEAM_ORIGIN_Y2, settings_.BEAM_HEIGHT_2, settings_.BEAM_INVERT_X2 == 1);
    }
}

void SegmentRenderer::EmitShifted(const LaserTarget& target, float x, float y, const ColourBytes& colour, int times) {
    for (int i = 0; i < times; ++i) {
        float px = x, py = y;
        ColourBytes c = colour;
        ShiftPoint(*target.history, px, py, c, target.shift);
        target.device->AddPoint(px, py, c, target.invertBlanking);
    }
}

void SegmentRenderer::EmitLaser(const Segment& s) {
    const std::uint8_t darkLevel = settings_.COLOR_MODE == 6 ? 255 : 0;
    const ColourBytes dark{darkLevel, darkLevel, darkLevel, 0};
    const std::uint8_t beamOn = (!s.toBlanked && (s.r != 0 || s.g != 0 || s.b != 0)) ? 0xFF : 0;

    OutputDevice& device = *state_.outputDevice;
    const int shift = settings_.BLANKING_SHIFT;
    const LaserTarget target{&device,
                             state_.currentTrack != nullptr ? &state_.currentTrack->pointHistory : nullptr, shift,
                             shift == 0 || shift >= PointHistory::kSize || shift <= -PointHistory::kSize,
                             settings_.INVERT_BLANKING};
    Vec3 p0, p1;
    float cachedX = 0.0f, cachedY = 0.0f;
    const bool fromProjected = ToEyePair(device, laserEye_, s, p0, p1, cachedX, cachedY);
    const int clip = device.ClipSegment(p0, p1);

    const int delay = std::max<int>(0, state_.settings.blankingDelay);
    const int n = (clip == 1 || clip == 2 || s.index == 1 || s.index == -1) ? delay * 5 : delay;

    if (clip == 3) {
        Emit(target, state_.lastLaserX, state_.lastLaserY, dark, 1);
        return;
    }

    float fx = 0.0f, fy = 0.0f, tx = 0.0f, ty = 0.0f;
    if (fromProjected && (clip == 0 || clip == 2)) {
        // The from point is the previous end point, unmoved by the clipper.
        fx = cachedX;
        fy = cachedY;
    } else {
        device.Project(p0, fx, fy);
    }
    device.Project(p1, tx, ty);
    laserEye_.projected = clip == 0 || clip == 1;  // the end point as it was before clipping
    laserEye_.nx = tx;
    laserEye_.ny = ty;
    state_.lastLaserX = tx;
    state_.lastLaserY = ty;

    ColourBytes lit;
    if (settings_.COLOR_MODE == 6) {
        lit = ColourBytes{static_cast<std::uint8_t>(255 - s.r), static_cast<std::uint8_t>(255 - s.g), 255, beamOn};
    } else {
        lit = ColourBytes{ClampToByte(static_cast<float>(s.r) * settings_.MASTER_RED_INTENSITY),
                          ClampToByte(static_cast<float>(s.g) * settings_.MASTER_GREEN_INTENSITY),
                          ClampToByte(static_cast<float>(s.b) * settings_.MASTER_BLUE_INTENSITY), beamOn};
    }

    if (s.toBlanked) {
        if (!s.fromBlanked || s.index == 1) {
            Emit(target, fx, fy, dark, n);
        }
        Emit(target, tx, ty, dark, 1);
        if (s.index == -1) Emit(target, tx, ty, dark, n);
    } else if (state_.settings.PointsMode()) {
        if (s.index == 1) {
            Emit(target, fx, fy, dark, n);
            Emit(target, tx, ty, dark, n);
        } else if (s.index == -1) {
            Emit(target, tx, ty, dark, n);
        } else {
            Emit(target, tx, ty, dark, n);
            Emit(target, tx, ty, lit, n);
            Emit(target, tx, ty, dark, n);
        }
    } else if (!s.fromBlanked && (clip == 0 || clip == 2) && s.index != 1) {
        Emit(target, tx, ty, lit, 1);
        if (clip == 2 || s.index == -1) Emit(target, tx, ty, dark, n);
    } else {
        Emit(target, fx, fy, dark, n);
        Emit(target, tx, ty, lit, 1);
    }
}

void SegmentRenderer::ShiftPoint(PointHistory& history, float& x, float& y, ColourBytes& colour, int shift) {
    constexpr int kSize = PointHistory::kSize;
    shift = std::clamp(shift, -kSize, kSize);
    const int newest = RememberPoint(history, x, y, colour);
    const int back = shift < 0 ? -shift : shift;
    const int older = newest - back < 0 ? newest - back + kSize : newest - back;
    const PointHistoryEntry& old = history.entries[static_cast<std::size_t>(older)];
    if (shift >= 0) {
        colour = old.colour;
    } else {
        x = old.x;
        y = old.y;
    }
}

}  // namespace vyr
