#include "panels/main_form.h"

#include <string>

#include "app/log.h"
#include "render/palettes.h"

namespace vyr {

void MainForm::SetTrackArmState(int slot, int mode) {
    if (slot < 1 || slot > TrackList::kSlots) {
        LogMessage("SetTrackArmState(): Invalid track number " + std::to_string(slot));
        return;
    }
    Track* track = tracks_.GetTrack(slot);
    if (track == nullptr) {
        LogMessage("SetTrackArmState(): NULL Track pointer track " + std::to_string(slot));
        return;
    }
    const std::size_t i = static_cast<std::size_t>(slot - 1);
    const bool arm = mode == 2 ? values_.trackArm[i] != 1 : mode == 1;
    if (arm) {
        track->settings.displayFlags |= TrackSettings::kArmed;
    } else {
        track->settings.displayFlags &= static_cast<std::uint16_t>(~TrackSettings::kArmed);
    }
    values_.trackArm[i] = arm ? 1 : 0;
    values_.trackEffects[i] = arm ? 1 : 0;
    Refresh();
}

void MainForm::ToggleTrackDisplay(int slot) {
    if (slot < 1 || slot > TrackList::kSlots) return;
    const std::size_t i = static_cast<std::size_t>(slot - 1);
    TrackCommand fade;
    fade.frameCount = settings_.NUMBER_FADE_IN_FRAMES;
    fade.started = 0;
    fade.code = kCommandFade;
    if (values_.trackDisplay[i] == 0) {
        fade.fadeDirection = 0;
        values_.trackDisplay[i] = 1;
    } else {
        fade.fadeDirection = 1;
        values_.trackDisplay[i] = 0;
    }
    if (Track* track = tracks_.GetTrack(slot)) track->manipulation = fade;
    Refresh();
}

void MainForm::SetTrackFocus(int slot) {
    values_.focus = slot - 1;
    const Track* track = tracks_.GetTrack(slot);
    if (track != nullptr) {
        const TrackSettings& s = track->settings;
        values_.trackDelay = s.delay;
        values_.frameRepeat = s.frameRepeat;
        values_.blankingDelay = s.blankingDelay;
        values_.trackScale = s.trackScale;
        values_.red = static_cast<std::int32_t>(s.colorBalance[0] * 100.0f);
        values_.green = static_cast<std::int32_t>(s.colorBalance[1] * 100.0f);
        values_.blue = static_cast<std::int32_t>(s.colorBalance[2] * 100.0f);
        values_.cameraAngle = static_cast<std::int32_t>(track->camera.cameraAngle);
        values_.paletteIndex = PaletteNumberOf(s.palette);
        values_.pointsOnly = s.PointsMode();
        values_.reverse = s.reverse == 1;
        values_.beamView = s.beamView == 1;
    }
    Refresh();
}

}  // namespace vyr
