#pragma once

#include "app/settings.h"
#include "content/font_list.h"
#include "model/track_list.h"
#include "playback/track_manipulation.h"
#include "render/frame_renderer.h"
#include "render/output_device.h"
#include "render/play_state.h"
#include "render/segment_renderer.h"

namespace vyr::test {

// The view's rendering machinery around one display tick, as tests,
// benchmarks and fuzzers build it: settings, the track list, the fonts, the
// device slots (empty), the manipulator and both renderers. `canvas` is the
// preview surface and may be null.
struct RenderStack {
    explicit RenderStack(Canvas* canvas)
        : segments(settings, state, preview, canvas),
          renderer(tracks, settings, state, manipulator, segments, devices, preview, fonts, canvas) {}
    RenderStack(const RenderStack&) = delete;
    RenderStack& operator=(const RenderStack&) = delete;

    Settings settings;
    PlayState state;
    TrackList tracks;
    SlotFlags rotateAboutZero{0, 0, 0, 0};
    TrackManipulator manipulator{tracks, state.currentTrackNumber, state.camera, state.settings, rotateAboutZero};
    Device_Screen preview;
    FrameRenderer::DeviceSlotArray devices;
    FontList fonts;
    SegmentRenderer segments;
    FrameRenderer renderer;
};

}  // namespace vyr::test
