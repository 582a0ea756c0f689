#pragma once

#include <cstdint>

#include "model/camera.h"
#include "model/track.h"

namespace vyr {

class OutputDevice;

// The preview area inside the view, in window pixels.
struct PreviewRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// What the view holds for the track being played: the working copies of its
// settings and camera, which slot it is in, where its laser points go, and the
// running state the renderers share across tracks and ticks.
struct PlayState {
    TrackSettings settings;              // working copy of the current track's settings
    Camera camera;                       // working copy of the current track's camera
    std::int16_t currentTrackNumber = 1; // slot being rendered, 1..4
    Track* currentTrack = nullptr;
    OutputDevice* outputDevice = nullptr;

    float lastLaserX = 0.5f;             // where a rejected segment parks the beam
    float lastLaserY = 0.5f;
    std::uint32_t outputCounter = 0;     // segments sent to the laser path, for the rate display
    bool tracksBusy = false;             // some track still runs a timed command
    bool drawingOffscreen = false;       // the preview goes to the tick's off-screen bitmap
    PreviewRect previewRect;
};

}  // namespace vyr
