#pragma once

#include <cstdint>
#include <functional>

#include "app/settings.h"
#include "model/track_list.h"
#include "playback/track_manipulation.h"

namespace vyr {

// The values the operator form shows, kept by the view. Slots are indexed
// 0..3 for slots 1..4.
struct FormValues {
    SlotFlags trackArm{};
    SlotFlags trackDisplay{};
    SlotFlags trackEffects{};
    SlotFlags rotateAboutZero{};
    int focus = 0;  // focused slot - 1
    int paletteIndex = 0;

    // The focused track's settings as the sliders show them.
    std::int32_t trackDelay = 0;
    std::int32_t blankingDelay = 20;
    std::int32_t trackScale = 100;
    std::int32_t frameRepeat = 0;
    std::int32_t cameraAngle = 45;
    std::int32_t red = 100;
    std::int32_t green = 100;
    std::int32_t blue = 100;
    bool pointsOnly = false;
    bool reverse = false;
    bool beamView = false;

    // Back to the state of a freshly initialised form.
    void Clear() { *this = FormValues{}; }
};

// The operations on the track slots that the form, the file commands and
// scripts share: arming, the Track Display fade toggle and the focus.
class MainForm {
public:
    MainForm(TrackList& tracks, const Settings& settings, FormValues& values)
        : tracks_(tracks), settings_(settings), values_(values) {}

    // mode 0 disarms, 1 arms, 2 toggles by the Track Arm box as it stands.
    void SetTrackArmState(int slot, int mode);
    // Fades the slot's track in or out over NUMBER_FADE_IN_FRAMES ticks and
    // flips its Track Display box; an empty slot gets nothing.
    void ToggleTrackDisplay(int slot);
    // Makes the slot the focused one and loads the form from its track.
    void SetTrackFocus(int slot);

    // Called whenever the form should show the values again.
    std::function<void()> onRefresh;

private:
    void Refresh() const {
        if (onRefresh) onRefresh();
    }

    TrackList& tracks_;
    const Settings& settings_;
    FormValues& values_;
};

}  // namespace vyr
