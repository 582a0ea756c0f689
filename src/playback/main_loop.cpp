#include "playback/main_loop.h"

#include <cstdio>

#include "app/log.h"
#include "platform/canvas.h"

namespace vyr {

std::string ElapsedText(std::uint32_t c) {
    char text[48];
    std::snprintf(text, sizeof text, " %02u:%02u:%02u:%02u ", c / 360000u, (c / 6000u) % 60u, (c / 100u) % 60u,
                  c % 100u);
    return text;
}

std::string PpsText(std::int64_t rate) {
    return "PPS: " + std::to_string(rate);
}

void PlaybackLoop::OnDisplayPlay() {
    if (!host_.SetTimer(DISPLAY_TIMER, settings_.FRAME_DISPLAY_TIMER_VALUE)) {
        host_.MessageBox("OnDisplayPlay(): Can't install DISPLAY_TIMER.", MessageIcon::kInformation);
        return;
    }
    playing = 1;
    if (!host_.SetTimer(POINTS_PER_SECOND_TIMER, kPointsPerSecondPeriod)) {
        host_.MessageBox("OnDisplayPlay(): Can't install POINTS_PER_SECOND_TIMER.", MessageIcon::kInformation);
    }
    if (!host_.SetTimer(PLAYBACK_TIMER, kPlaybackClockPeriod)) {
        host_.MessageBox("OnDisplayPlay(): Can't install PLAYBACK_TIMER.", MessageIcon::kInformation);
    }
}

void PlaybackLoop::OnDisplayPause() {
    host_.KillTimer(DISPLAY_TIMER);
    playing = 0;
    host_.KillTimer(POINTS_PER_SECOND_TIMER);
    host_.SetStatusPane(2, PpsText(0));
    host_.KillTimer(PLAYBACK_TIMER);
    BlankAllDevices();
}

void PlaybackLoop::StopForClose() {
    host_.KillTimer(DISPLAY_TIMER);
    host_.KillTimer(POINTS_PER_SECOND_TIMER);
    host_.KillTimer(PLAYBACK_TIMER);
    playing = 0;
    elapsed = 0;
    host_.SetStatusPane(4, ElapsedText(0));
    ClearPreview();
    host_.SetStatusPane(2, PpsText(0));
    BlankAllDevices();
}

void PlaybackLoop::BlankAllDevices() {
    for (auto& device : devices_.slots) {
        if (device) device->BlankOutput(settings_.INVERT_BLANKING, settings_.COLOR_MODE);
    }
}

void PlaybackLoop::OnTimer(int id) {
    switch (id) {
        case DISPLAY_TIMER:
            DisplayTick();
            break;
        case POINTS_PER_SECOND_TIMER:
            host_.SetStatusPane(2, PpsText(static_cast<std::int64_t>(state_.outputCounter) * 2));
            state_.outputCounter = 0;
            break;
        case CLEAN_DISPLAY_TIMER:
            host_.KillTimer(CLEAN_DISPLAY_TIMER);
            ClearPreview();
            break;
        case PLAYBACK_TIMER:
            ++elapsed;
            host_.SetStatusPane(4, ElapsedText(elapsed));
            break;
        default:
            break;
    }
}

void PlaybackLoop::DisplayTick() {
    // A tick that pumps the event loop (a message box inside it) must not
    // start another one.
    if (inDisplayTick_) return;
    inDisplayTick_ = true;
    if (!script_.playing || state_.tracksBusy) {
        DrawTracks();
    } else if (script_.StreamPresent() && readCtsFile) {
        readCtsFile();
    }
    inDisplayTick_ = false;
}

void PlaybackLoop::DrawTracks() {
    renderer_.DisplayAllTracks();
    if (onPreviewRecomputed) onPreviewRecomputed();
}

void PlaybackLoop::ClearPreview() {
    renderer_.ClearPreview();
    if (Canvas* canvas = host_.PreviewCanvas()) canvas->Present();
    if (onPreviewRecomputed) onPreviewRecomputed();
}

void PlaybackLoop::OnPaint() {
    ClearPreview();
    SetCleanDisplayTimer();
}

void PlaybackLoop::SetCleanDisplayTimer() {
    if (!host_.SetTimer(CLEAN_DISPLAY_TIMER, kCleanDisplayPeriod)) {
        LogMessage("SetCleanDisplayTimer(): Can't install CLEAN_DISPLAY_TIMER.");
    }
}

}  // namespace vyr
