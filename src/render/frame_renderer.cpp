#include "render/frame_renderer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "abstract/abstract.h"
#include "app/log.h"
#include "platform/canvas.h"
#include "playback/track_manipulation.h"
#include "render/palettes.h"

namespace vyr {

namespace {

std::uint8_t ColourProduct(std::uint32_t component, float balance, float factor) {
    const float v = static_cast<float>(component) * balance * factor;
    if (!(v > 0.0f)) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<std::uint8_t>(v);
}

// Float to int for viewport corners; absurd scales must not overflow.
std::int32_t TruncToInt(double v) {
    if (!(v > -2.0e9)) return -2000000000;
    if (v > 2.0e9) return 2000000000;
    return static_cast<std::int32_t>(v);
}

}  // namespace

void FrameRenderer::BusyWait(long long count) {
    // The loop itself is the delay; volatile keeps the compiler from removing it.
    volatile long long i = 1;
    while (i <= count) {
        const long long next = i + 1;
        i = next;
    }
}

std::int16_t FrameRenderer::DisplayIldaFrame(const Frame* frame) {
    if (frame == nullptr) {
        LogMessage("DisplayIldaFrame(): NULL FramePtr!");
        return 0;
    }
    float& colorFactor = state_.settings.colorFactor;
    if (!(colorFactor >= 0.0f && colorFactor <= 1.0f)) {
        char text[96];
        std::snprintf(text, sizeof text, "DisplayIldaFrame(): Invalid colorFactor %f\nsetting to 1.0",
                      static_cast<double>(colorFactor));
        LogMessage(text);
        colorFactor = 1.0f;
    }
    const std::vector<Point>& points = frame->Points();
    if (points.empty()) {
        LogMessage("DisplayIldaFrame(): No points in frame.");
        return 0;
    }

    const std::uint32_t* palette = state_.settings.palette != nullptr ? state_.settings.palette : PaletteByNumber(0);
    const bool trueColour = frame->IsTrueColor();
    const auto& balance = state_.settings.colorBalance;
    auto shade = [&](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return std::array<std::uint8_t, 3>{ColourProduct(r, balance[0], colorFactor),
                                           ColourProduct(g, balance[1], colorFactor),
                                           ColourProduct(b, balance[2], colorFactor)};
    };
    // Palette colours after balance and brightness, worked out once per frame
    // instead of once per point.
    std::array<std::array<std::uint8_t, 3>, 256> shaded;
    if (!trueColour) {
        for (std::size_t i = 0; i < shaded.size(); ++i) {
            shaded[i] = shade(PaletteRed(palette[i]), PaletteGreen(palette[i]), PaletteBlue(palette[i]));
        }
    }

    // The header's count bounds the walk; the points actually held end it too.
    const std::size_t segments = std::min<std::size_t>(frame->pointCount, points.size() - 1);
    std::size_t last = 0;
    for (std::size_t i = 1; i <= segments; ++i) {
        PointDelay();
        const Point& p = points[i];
        const std::array<std::uint8_t, 3> c = trueColour ? shade(p.r, p.g, p.b) : shaded[p.ColorIndex()];
        if (segments_.DisplaySegment(&points[i - 1], &p, c[0], c[1], c[2],
                                     static_cast<std::int16_t>(std::min<std::size_t>(i, 32767))) != 1) {
            return 0;
        }
        last = i;
    }
    segments_.DisplaySegment(&points[last], &points[last], 0, 0, 0, -1);
    return 1;
}

std::int16_t FrameRenderer::DisplayTextFrame(TextScroll* text) {
    if (text == nullptr) {
        LogMessage("DisplayTextFrame(): Unexpected NULL textPtr!");
        return 0;
    }
    text->zAxisPhase += text->zAxisOffset * 0.1;

    // Text has one colour, white through balance and brightness; the palette
    // is not used.
    const auto& balance = state_.settings.colorBalance;
    const float factor = state_.settings.colorFactor;
    const std::uint8_t r = ColourProduct(255, balance[0], factor);
    const std::uint8_t g = ColourProduct(255, balance[1], factor);
    const std::uint8_t b = ColourProduct(255, balance[2], factor);

    const Font& font = fonts_.CurrentFont();
    const std::vector<PlacedCharacter>& placed = text->PlacedCharacters();
    const double position = text->scrollPosition;
    // Characters are placed left to right, so those in view are one run: from
    // the first that starts right of the left edge up to the first that
    // starts at or past the right edge.
    const auto drawnEnd = placed.begin() + text->DrawnCharacters();
    const auto firstInView = std::partition_point(
        placed.begin(), drawnEnd, [position](const PlacedCharacter& c) { return !(position + c.start > 0.0); });
    const bool flat = text->zAxisGain == 0 || text->zAxisFormula < 1 || text->zAxisFormula > 3;
    std::int32_t d = 1;  // running point number of the frame
    std::int16_t lastZ = 0;
    // Where the closing call parks the beam when no character was visible.
    Point previous(0, 0, 0, Point::kBlankBit);
    for (auto it = firstInView; it != drawnEnd; ++it) {
        const PlacedCharacter& character = *it;
        const double s = position + character.start;
        const double e = position + character.end;
        if (!(s < TextScroll::kVisibleWidth)) break;
        // Only characters wholly inside the visible width are drawn.
        if (!(s > 0.0 && e < TextScroll::kVisibleWidth)) continue;
        const std::span<const GlyphPoint> glyph = font.Glyph(character.charIndex);
        if (glyph.empty()) continue;
        const std::int32_t minX = font.entries[static_cast<std::size_t>(character.charIndex)].minX;
        // A glyph's first point only anchors it; drawing starts at the second.
        for (std::size_t i = 1; i < glyph.size(); ++i) {
            const GlyphPoint& gp = glyph[i];
            double o = gp.x - minX + s;
            bool blanked = gp.blanked != 0;
            if (o > TextScroll::kVisibleWidth) {
                o = TextScroll::kVisibleWidth;
                blanked = true;
            } else if (o < 0.0) {
                o = 0.0;
                blanked = true;
            }
            if (d == 1) blanked = true;
            const auto x = static_cast<std::int16_t>(o - 32767.0);
            const auto y = static_cast<std::int16_t>(gp.y - 32767);
            const std::int16_t z = flat ? std::int16_t{0} : TextPointDepth(*text, o, x, y);
            if (std::abs(z - lastZ) > 5000) blanked = true;
            const Point point(x, y, z, blanked ? Point::kBlankBit : 0);
            // The first point of the frame starts from itself: the beam goes
            // there dark, not from wherever the last frame ended.
            const Point* from = d == 1 ? &point : &previous;
            if (segments_.DisplaySegment(from, &point, r, g, b, static_cast<std::int16_t>(std::min(d, 32767))) != 1) {
                LogMessage("DisplayTextFrame(): Call to DisplaySegment() failed!");
                return 0;
            }
            lastZ = d == 1 ? 0 : z;
            previous = point;
            ++d;
        }
    }
    text->AdvanceScroll();
    segments_.DisplaySegment(&previous, &previous, 0, 0, 0, -1);
    return 1;
}

std::int16_t FrameRenderer::DisplayAbstractFrame(Abstract* abstract, int repeat) {
    if (abstract == nullptr) {
        LogMessage("DisplayAbstractFrame(): Unexpected NULL abstractPtr!");
        return 0;
    }
    const float colorFactor = state_.settings.colorFactor;
    const auto& balance = state_.settings.colorBalance;
    const std::uint32_t* palette = state_.settings.palette != nullptr ? state_.settings.palette : PaletteByNumber(0);

    // The nearest palette entry searches the whole table; neighbouring points
    // mostly share their colour, so the last answer is kept.
    bool snapKnown = false;
    std::array<std::uint8_t, 3> snapFrom{};
    std::array<std::uint8_t, 3> snapTo{};

    Point from;
    Point to;
    for (int pass = 0; pass < repeat; ++pass) {
        const std::uint32_t points = abstract->pointsPerFrame;
        for (std::uint32_t i = 1; i <= points; ++i) {
            PointDelay();
            std::uint8_t r = 0, g = 0, b = 0;
            std::int16_t usePalette = 0;
            if (abstract->GetNextSegment(from, to, r, g, b, usePalette) != 1) {
                LogMessage("DisplayAbstractFrame(): Call to Abstract::GetNextSegment() failed!");
                return 0;
            }
            if (usePalette == 1) {
                const std::array<std::uint8_t, 3> wanted{r, g, b};
                if (!snapKnown || wanted != snapFrom) {
                    const std::uint32_t entry = palette[NearestPaletteIndex(palette, r, g, b)];
                    snapFrom = wanted;
                    snapTo = {PaletteRed(entry), PaletteGreen(entry), PaletteBlue(entry)};
                    snapKnown = true;
                }
                r = snapTo[0];
                g = snapTo[1];
                b = snapTo[2];
            }
            if (segments_.DisplaySegment(&from, &to, ColourProduct(r, balance[0], colorFactor),
                                         ColourProduct(g, balance[1], colorFactor),
                                         ColourProduct(b, balance[2], colorFactor),
                                         static_cast<std::int16_t>(std::min<std::uint32_t>(i, 32767))) != 1) {
                LogMessage("DisplayAbstractFrame(): Call to DisplaySegment() failed!");
                return 0;
            }
        }
    }
    segments_.DisplaySegment(&to, &to, 0, 0, 0, -1);
    return 1;
}

PreviewRect FrameRenderer::ComputePreviewRect() const {
    PreviewRect rect;
    if (canvas_ == nullptr) return rect;
    rect.left = settings_.LEFT_PREVIEW_EDGE;
    rect.top = 6;
    rect.right = canvas_->Width() - 9;
    rect.bottom = canvas_->Height() - 9;
    return rect;
}

void FrameRenderer::ClearPreview() {
    if (canvas_ == nullptr) return;
    const PreviewRect rect = ComputePreviewRect();
    canvas_->FillRect(rect.left, rect.top, rect.right, rect.bottom, kBackground);
}

void FrameRenderer::SetPreviewViewport() {
    const PreviewRect& rect = state_.previewRect;
    const double w = rect.Width();
    const double h = rect.Height();
    const double x0 = state_.drawingOffscreen ? 0 : rect.left;
    const double y0 = state_.drawingOffscreen ? 0 : rect.top;
    const double s = 100.0 - (100.0 - state_.settings.trackScale) * 0.5;
    const double v = 100.0 - (100.0 - settings_.currentVerticalScale) * 0.5;
    std::int32_t xa = TruncToInt(w * s * 0.01 + x0);
    std::int32_t xb = TruncToInt(2 * x0 + w - xa);
    std::int32_t ya = TruncToInt(h * v * s * 0.0001 + y0);
    std::int32_t yb = TruncToInt(2 * y0 + h - ya);
    if ((settings_.DISPLAY_INVERT & 0x100) != 0) {
        if ((settings_.DISPLAY_INVERT & 0x01) != 0) std::swap(xa, xb);
        if ((settings_.DISPLAY_INVERT & 0x10) != 0) std::swap(ya, yb);
    }
    preview_.SetDeviceViewport(xb, xa, ya, yb);
}

void FrameRenderer::SetLaserViewport(OutputDevice& device) {
    const double s = 100.0 - (100.0 - state_.settings.trackScale) * 0.5;
    const double m = 100.0 - (100.0 - settings_.currentLaserScale) * 0.5;
    const double v = 100.0 - (100.0 - settings_.currentVerticalScale) * 0.5;
    const double maxCoord = device.maxCoord;
    const std::int32_t n = TruncToInt(maxCoord * m * s * 0.0001);
    const std::int32_t o = TruncToInt(maxCoord * m * s * v * 0.0001 * 0.01);
    std::int32_t x0 = device.maxCoord + device.minCoord - n, x1 = n;
    std::int32_t y0 = device.maxCoord + device.minCoord - o, y1 = o;
    if ((settings_.DISPLAY_INVERT & 0x01) != 0) std::swap(x0, x1);
    if ((settings_.DISPLAY_INVERT & 0x10) != 0) std::swap(y0, y1);
    device.SetDeviceViewport(x0, x1, y0, y1);
}

void FrameRenderer::FrameSequenceStep(FrameSequence& sequence, std::uint16_t frameRepeat) {
    TrackSettings& ts = state_.settings;
    if (sequence.firstDisplay == 1) {
        if (ts.reverse == 1 && ts.rangeStart < 0) sequence.SetCurrentToLast();
        sequence.firstDisplay = 0;
    }
    if (const Frame* frame = sequence.CurrentFrame(); frame != nullptr) {
        if (DisplayIldaFrame(frame) != 1) LogMessage("DisplayAllTracks(): DisplayIldaFrame() failed.");
    }
    if (ts.repeatCount < frameRepeat) {
        ++ts.repeatCount;
        return;
    }
    ts.repeatCount = 0;

    const auto rangeStart = static_cast<std::int64_t>(ts.rangeStart);
    if (ts.reverse == 0) {
        if (ts.rangeStart < 0) {
            if (sequence.NextFrame() == nullptr) sequence.SetCurrentToFirst();
        } else if (ts.rangeEnd > rangeStart) {
            const bool more = sequence.NextFrame() != nullptr;
            ++ts.rangeCurrent;
            if (ts.rangeCurrent > ts.rangeEnd || !more) {
                ts.rangeCurrent = static_cast<std::uint16_t>(ts.rangeStart);
                sequence.SetCurrentFrame(static_cast<std::uint16_t>(ts.rangeStart));
            }
        }
    } else {
        if (ts.rangeStart < 0) {
            if (sequence.PrevFrame() == nullptr) sequence.SetCurrentToLast();
        } else if (rangeStart > ts.rangeEnd) {
            const bool more = sequence.PrevFrame() != nullptr;
            --ts.rangeCurrent;
            if (ts.rangeCurrent < ts.rangeEnd || !more) {
                ts.rangeCurrent = static_cast<std::uint16_t>(ts.rangeStart);
                sequence.SetCurrentFrame(static_cast<std::uint16_t>(ts.rangeStart));
            }
        }
    }
}

// A text shows one frame on several ticks by putting its whole state back
// after drawing: the scroll, the depth phase, the blanking-shift ring and the
// rest of the track as they were before the frame.
void FrameRenderer::TextScrollStep(Track& track, std::uint16_t frameRepeat) {
    auto* text = dynamic_cast<TextScroll*>(&track);
    if (text == nullptr) {
        DisplayTextFrame(nullptr);
        LogMessage("DisplayAllTracks(): DisplayTextFrame() failed.");
        return;
    }
    const TextScroll::State saved = text->SaveState();
    if (DisplayTextFrame(text) != 1) LogMessage("DisplayAllTracks(): DisplayTextFrame() failed.");
    TrackSettings& ts = state_.settings;
    if (ts.repeatCount < frameRepeat) {
        text->RestoreState(saved);
        ++ts.repeatCount;
    } else {
        ts.repeatCount = 0;
    }
}

void FrameRenderer::AbstractStep(Abstract* abstract, std::uint16_t frameRepeat) {
    TrackSettings& ts = state_.settings;
    if (ts.repeatCount < frameRepeat && abstract != nullptr) {
        // Drawing advances the generator (and the blanking-shift ring); a
        // repeated frame must start where this one did, so the whole track is
        // put back afterwards, together with the flags all patterns share.
        const Abstract saved(*abstract);
        const AbstractProgramFlags savedFlags = Abstract::programFlags;
        if (DisplayAbstractFrame(abstract, 1) != 1) LogMessage("DisplayAllTracks(): DisplayAbstractFrame() failed.");
        *abstract = saved;
        Abstract::programFlags = savedFlags;
    } else if (DisplayAbstractFrame(abstract, 1) != 1) {
        LogMessage("DisplayAllTracks(): DisplayAbstractFrame() failed.");
    }
    if (ts.repeatCount < frameRepeat) {
        ++ts.repeatCount;
    } else {
        ts.repeatCount = 0;
    }
}

void FrameRenderer::RenderTrack(Track& track, std::uint16_t frameRepeat) {
    if (settings_.DISPLAY_SCREEN == 1) {
        SetPreviewViewport();
        preview_.SetCamera(state_.camera);
        preview_.SetupView();
    }
    if (settings_.DISPLAY_LASER == 1 && state_.outputDevice != nullptr) {
        SetLaserViewport(*state_.outputDevice);
        state_.outputDevice->SetCamera(state_.camera);
        state_.outputDevice->SetupView();
    }
    switch (track.trackType) {
        case kTrackFrameSequence:
            FrameSequenceStep(static_cast<FrameSequence&>(track), frameRepeat);
            break;
        case kTrackTextScroll:
            TextScrollStep(track, frameRepeat);
            break;
        case kTrackAbstract:
            AbstractStep(dynamic_cast<Abstract*>(&track), frameRepeat);
            break;
        default:
            // Generated kinds draw through their own frame steps; a track of
            // a kind without one shows nothing.
            break;
    }
    track.settings = state_.settings;
}

std::int32_t FrameRenderer::DisplayAllTracks() {
    const bool screen = settings_.DISPLAY_SCREEN == 1 && canvas_ != nullptr;
    if (settings_.FLICKER_FREE == 0) ClearPreview();

    state_.tracksBusy = false;
    tracks_.cursor = 1;

    state_.drawingOffscreen = false;
    if (screen) {
        state_.previewRect = ComputePreviewRect();
        if (settings_.FLICKER_FREE == 1) {
            const int w = std::max(0, state_.previewRect.Width());
            const int h = std::max(0, state_.previewRect.Height());
            canvas_->BeginOffscreen(w, h);
            canvas_->FillRect(0, 0, w, h, kBackground);
            state_.drawingOffscreen = true;
        }
    }

    for (int slot = 1; slot <= TrackList::kSlots; ++slot) {
        Track* track = tracks_.GetTrack(slot);
        if (track == nullptr) continue;

        state_.outputDevice = track->outputDevice < devices_.size() ? devices_[track->outputDevice].get() : nullptr;
        state_.settings = track->settings;
        const std::uint16_t frameRepeat = state_.settings.frameRepeat == -1
                                              ? settings_.GLOBAL_FRAME_REPEAT
                                              : static_cast<std::uint16_t>(state_.settings.frameRepeat);
        state_.currentTrackNumber = static_cast<std::int16_t>(slot);
        state_.currentTrack = track;
        state_.camera = track->camera;

        if (manipulator_.StepTrackCommand(*track)) state_.tracksBusy = true;

        if (state_.settings.Armed()) RenderTrack(*track, frameRepeat);

        if (state_.outputDevice != nullptr) state_.outputDevice->Flush();
    }

    if (screen) {
        if (state_.drawingOffscreen) {
            canvas_->EndOffscreen(state_.previewRect.left, state_.previewRect.top);
            state_.drawingOffscreen = false;
        }
        canvas_->Present();
    }
    return 1;
}

}  // namespace vyr
