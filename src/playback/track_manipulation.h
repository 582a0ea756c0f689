#pragma once

#include <array>
#include <cstdint>

#include "model/camera.h"
#include "model/track.h"
#include "model/track_command.h"
#include "model/track_list.h"

namespace vyr {

// Per-slot on/off values of the form, index 0 for slot 1.
using SlotFlags = std::array<int, 4>;

enum RotateMode : std::int16_t {
    kRotateFromPoint = 0,  // the from point turns about the at point (or the origin)
    kRotateAtPoint = 1,    // the at point turns about the from point
    kRotateBoth = 2,
};

enum SightMode : std::int16_t {
    kSightFromPoint = 0,  // only the from point moves (zoom)
    kSightBoth = 2,       // both points slide along the line of sight
};

// Steps the timed commands of the tracks: one step of the running command of
// the track in slot `currentTrackNumber` per display tick, and the return of
// an interrupted command when the running one is done.
//
// The step routines read and write the view's working copies of the current
// track's camera and settings and write their results back into the track, so
// the frame drawn after the step sees them. They return 1 on success and 0 on
// failure.
class TrackManipulator {
public:
    TrackManipulator(TrackList& tracks, std::int16_t& currentTrackNumber, Camera& workingCamera,
                     TrackSettings& workingSettings, const SlotFlags& rotateAboutZero)
        : tracks_(tracks),
          currentTrackNumber_(currentTrackNumber),
          camera_(workingCamera),
          settings_(workingSettings),
          rotateAboutZero_(rotateAboutZero) {}

    // The display tick's part for one track. `track` is the track in slot
    // `currentTrackNumber`, whose camera and settings the caller has just
    // copied into the working copies. Steps the running command unless it is
    // finished or asked to skip this tick, brings back an interrupted command
    // once the running one is finished, and returns whether a command is
    // still running afterwards.
    bool StepTrackCommand(Track& track);

    // One step of the running command of the current track. 0 without a
    // message when the slot is empty.
    std::int16_t DoTrackManipulation();

    std::int16_t DoFade();
    std::int16_t DoRotate(std::int16_t mode);
    std::int16_t DoZoom();
    std::int16_t MoveAlongSight(float distance, std::int16_t mode);
    std::int16_t MoveAtPoint(bool countTick);
    std::int16_t MoveFromPoint(bool countTick);

private:
    Track* CurrentTrack() const { return tracks_.GetTrack(currentTrackNumber_); }
    std::int16_t MovePoint(Vec3 Camera::*point, bool countTick);

    TrackList& tracks_;
    std::int16_t& currentTrackNumber_;
    Camera& camera_;
    TrackSettings& settings_;
    const SlotFlags& rotateAboutZero_;
};

// How keys, mouse moves and MIDI hold-notes start a command: a command the
// track holds waits in `nextManipulation` and comes back when the new one is
// done (only one waits; an older waiting command is lost).
void IssueInterruptingCommand(Track& track, const TrackCommand& command);
// How scripts and the form start a command: whatever ran is dropped.
void IssueReplacingCommand(Track& track, const TrackCommand& command);

}  // namespace vyr
