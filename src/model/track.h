#pragma once

#include <array>
#include <cstdint>

#include "model/camera.h"
#include "model/track_command.h"

namespace vyr {

enum TrackType : std::int32_t {
    kTrackNone = 0,
    kTrackFrameSequence = 1,
    kTrackAbstract = 2,
    kTrackTextScroll = 3,
};

struct TrackSettings {
    std::int32_t delay = 0;               // per-point busy-wait count, times the global delay
    std::int16_t blankingDelay = 4;       // blanking delay in points
    std::uint16_t displayFlags = 0x01;    // bit 0 armed, bit 4 points mode
    std::int16_t reverse = 0;
    std::int16_t beamView = 0;
    float colorFactor = 0.0f;             // overall brightness 0..1
    std::array<float, 3> colorBalance{1.0f, 1.0f, 1.0f};
    std::array<std::int16_t, 2> fadeFrames{1, 1};
    std::int32_t frameRepeat = 0;         // ticks per frame; -1 = the global frame repeat
    std::uint16_t repeatCount = 0;
    std::uint16_t trackScale = 90;        // percent
    std::int32_t rangeStart = -1;         // -1 = whole sequence
    std::uint16_t rangeEnd = 0;
    std::uint16_t rangeCurrent = 0;
    const std::uint32_t* palette = nullptr;  // 256 packed entries

    static constexpr std::uint16_t kArmed = 0x01;
    static constexpr std::uint16_t kPointsMode = 0x10;
    bool Armed() const { return (displayFlags & kArmed) != 0; }
    bool PointsMode() const { return (displayFlags & kPointsMode) != 0; }
};

// The delay line of the blanking shift: the last 50 laser points of a track.
// Positions are the normalized (0..1) coordinates the renderer works in.
struct PointHistoryEntry {
    float x = 0.0f;
    float y = 0.0f;
    std::array<std::uint8_t, 4> colour{0, 0, 0, 0};  // red, green, blue, beam-on
};

struct PointHistory {
    static constexpr int kSize = 50;
    std::array<PointHistoryEntry, kSize> entries{};
    std::uint8_t index = kSize - 1;  // newest entry; the first write goes to entry 0
};

// The common base of the three track kinds: camera, play settings, timed
// commands, text depth modulation and the output-device choice.
class Track {
public:
    Track() = default;
    virtual ~Track() = default;
    Track(const Track&) = default;
    Track& operator=(const Track&) = default;

    // Hooks of the generated kinds; the base has no behaviour.
    virtual std::int16_t Reset() { return 0; }
    virtual std::int16_t Update() { return 0; }

    // The block a replacing track inherits from the track it replaces.
    void CopyBlockFrom(const Track& other) {
        camera = other.camera;
        settings = other.settings;
    }

    TrackCommand manipulation;
    TrackCommand nextManipulation;
    std::int16_t zAxisGain = 0;
    std::uint16_t zAxisOffset = 0;
    std::uint16_t zAxisFormula = 1;
    float zAxisPeriod = 1.0f;
    double zAxisPhase = 0.0;
    std::int16_t valid = 1;
    std::int32_t trackType = kTrackNone;
    Camera camera;
    TrackSettings settings;
    PointHistory pointHistory;
    std::uint8_t outputDevice = 0;  // device slot 0..3
};

}  // namespace vyr
