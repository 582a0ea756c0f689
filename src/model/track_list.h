#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "model/track.h"

namespace vyr {

// The four numbered track slots, 1..4. The list owns its tracks.
class TrackList {
public:
    static constexpr int kSlots = 4;

    TrackList() = default;
    TrackList(const TrackList&) = delete;
    TrackList& operator=(const TrackList&) = delete;

    // Stores the track in the next slot in order. On a full list returns 0,
    // clears notFull and leaves the track with the caller.
    std::int16_t AddTrack(std::unique_ptr<Track>& track);
    // Replaces the slot's track; the new one inherits camera and settings.
    std::int16_t SetTrack(int slot, std::unique_ptr<Track> track);
    Track* GetTrack(int slot) const;
    Track* NextTrack();
    void DeleteTrackList();

    std::uint16_t count = 0;
    std::uint16_t cursor = 1;
    std::int16_t notFull = 1;

private:
    std::array<std::unique_ptr<Track>, kSlots + 1> slots_{};  // index 0 never holds a track
};

}  // namespace vyr
