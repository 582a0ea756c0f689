#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "app/settings.h"
#include "content/font_list.h"
#include "model/frame_sequence.h"
#include "model/track_list.h"
#include "platform/posix/shared_library_dlopen.h"
#include "playback/track_manipulation.h"
#include "render/device_riya.h"
#include "render/frame_renderer.h"
#include "render/palettes.h"
#include "render/play_state.h"
#include "render/segment_renderer.h"
#include "support/recording_canvas.h"
#include "support/render_stack.h"
#include "support/riya_trace.h"
#include "support/temp_home.h"

namespace vyr::test {

inline constexpr std::uint16_t kBlank = Point::kBlankBit;

// A frame of points given as {x, y, status}; z is 0.
inline Frame MakeFrame(const std::vector<std::array<int, 3>>& points) {
    Frame frame;
    for (const auto& p : points) {
        frame.AddPoint(Point(static_cast<std::int16_t>(p[0]), static_cast<std::int16_t>(p[1]), 0,
                             static_cast<std::uint16_t>(p[2])));
    }
    frame.pointCount = static_cast<std::uint16_t>(points.size());
    return frame;
}

inline std::unique_ptr<FrameSequence> MakeSequence(std::vector<Frame> frames) {
    auto seq = std::make_unique<FrameSequence>();
    seq->trackType = kTrackFrameSequence;
    for (Frame& f : frames) seq->AddFrame(std::move(f));
    seq->frameCount = static_cast<std::int16_t>(seq->Size());
    seq->SetCurrentToFirst();
    seq->settings.colorFactor = 1.0f;
    seq->settings.trackScale = 100;
    seq->settings.palette = PaletteByNumber(0);
    return seq;
}

// What a rig holds before the rendering machinery: the test's home (where the
// log goes) and the recording preview surface.
struct RigHome {
    TempHome home;
    RecordingCanvas canvas;
};

// The rendering machinery of one display tick, drawing its preview on a
// recording canvas, or on another surface.
struct RenderRig : RigHome, RenderStack {
    RenderRig() : RenderRig(nullptr) {}
    explicit RenderRig(Canvas* drawOn) : RenderStack(drawOn != nullptr ? drawOn : &canvas) {
        settings.LASER_SCALE = settings.currentLaserScale = 100;
        for (auto& slot : devices) slot = std::make_unique<Device_Screen>();
    }

    template <typename Kind>
    Kind& Add(std::unique_ptr<Kind> track, int slot = 1) {
        Kind& ref = *track;
        tracks.SetTrack(slot, std::move(track));
        return ref;
    }
};

// The same with slot 0 driven by a RIYA device on the simulated library,
// loaded through dlopen, and the preview off.
struct LaserRig : RenderRig {
    RiyaSimEnvironment sim{home};
    std::unique_ptr<SharedLibraryLoader> loader = MakePlayerLibraryLoader();
    Device_RIYA* riya = nullptr;

    LaserRig() {
        settings.DISPLAY_LASER = 1;
        settings.DISPLAY_SCREEN = 0;
        auto device = std::make_unique<Device_RIYA>(0, *loader);
        riya = device.get();
        riya->RiyaInit(false);
        devices[0] = std::move(device);
    }

    // The points of the last frame handed to the DAC.
    std::vector<std::array<int, 6>> LastFrame() const {
        const auto frames = CallsOf(sim.Trace(), "RiSetShowCadr");
        return frames.empty() ? std::vector<std::array<int, 6>>{} : frames.back().points;
    }
    int FramesSent() const { return static_cast<int>(CallsOf(sim.Trace(), "RiSetShowCadr").size()); }
};

// Where a world point on the plane z = 0 lands on the DAC with the default
// camera (or another opening angle) and a full-range viewport, worked out
// independently of the renderer.
inline int DacCoord(double world, double cameraAngle = 45.0) {
    const double t = std::tan(cameraAngle * 0.5 * 3.14159265358979 / 180.0);
    return static_cast<int>(4095.0 * (world / (2.0 * t * 80000.0) + 0.5));
}

}  // namespace vyr::test
