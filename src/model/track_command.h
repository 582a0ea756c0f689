#pragma once

#include <cstdint>

namespace vyr {

// Codes of the timed commands a track can run.
enum CommandCode : std::int32_t {
    kCommandHold = 0,
    kCommandFade = 1,
    kCommandUndefined = 2,
    kCommandRotateAt = 3,
    kCommandRotateFrom = 4,
    kCommandRotateBoth = 5,
    kCommandZoom = 6,
    kCommandMoveForward = 7,
    kCommandMoveAt = 8,
    kCommandMoveFrom = 9,
    kCommandMoveBoth = 10,
    kCommandNone = 11,
};

// The shared 13-field record of a timed command. Scripts, keys, MIDI and mouse
// drags fill one and copy it into a track; the display tick steps it.
struct TrackCommand {
    std::int32_t skipOnce = 0;      // 1: the next tick does not step (issuer applied the first step)
    std::int32_t frameCount = 0;    // ticks still to run; 0 = finished
    std::int32_t started = 0;       // fades: 0 until the first step computed fadeStep
    float rotationStep = 0.0f;      // degrees per tick
    float zoomStep = 0.0f;          // distance per tick for zooms
    float moveX = 0.0f;             // per-tick move; signed distance for zoom and move-forward
    float moveY = 0.0f;
    float moveZ = 0.0f;
    float fadeStep = 0.0f;          // colorFactor change per tick
    std::int32_t rotationAxis = 0;  // 0 X, 1 Y, 2 Z
    std::int32_t zoomDirection = 0; // 0 in, 1 out
    std::int32_t fadeDirection = 0; // 0 in, 1 out
    std::int32_t code = kCommandNone;

    bool IsEmpty() const { return code == kCommandNone; }
    bool Running() const { return frameCount > 0; }
};

static_assert(sizeof(TrackCommand) == 13 * 4);

}  // namespace vyr
