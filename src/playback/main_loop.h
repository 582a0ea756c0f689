#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/settings.h"
#include "platform/host.h"
#include "render/device_setup.h"
#include "render/frame_renderer.h"
#include "render/play_state.h"
#include "script/script_state.h"

namespace vyr {

// Timer ids of the view.
enum TimerId : int {
    DISPLAY_TIMER = 1,
    POINTS_PER_SECOND_TIMER = 2,
    CLEAN_DISPLAY_TIMER = 3,
    PLAYBACK_TIMER = 4,
};

inline constexpr int kPointsPerSecondPeriod = 500;
inline constexpr int kCleanDisplayPeriod = 10;
inline constexpr int kPlaybackClockPeriod = 10;

// The elapsed-time pane text for a count of hundredths of a second.
std::string ElapsedText(std::uint32_t hundredths);
std::string PpsText(std::int64_t rate);

// Playback is driven by the view's timers, all on the user-interface thread:
// the display tick, the half-second rate report, the 10 ms clock and the
// one-shot clean-up after a repaint. This installs and removes them and
// handles their ticks.
class PlaybackLoop {
public:
    PlaybackLoop(Host& host, const Settings& settings, PlayState& state, FrameRenderer& renderer,
                 DeviceSlots& devices, const ScriptState& script)
        : host_(host), settings_(settings), state_(state), renderer_(renderer), devices_(devices), script_(script) {}

    void OnDisplayPlay();
    void OnDisplayPause();
    // The timer part of closing the track list: timers off, clock to zero,
    // preview cleared, rate 0, every device dark.
    void StopForClose();

    void OnTimer(int id);
    // Repaint: clear the preview now and once more 10 ms later.
    void OnPaint();
    void SetCleanDisplayTimer();

    // Blanks the output of every device slot.
    void BlankAllDevices();

    std::int16_t playing = 0;
    std::uint32_t elapsed = 0;  // hundredths of a second

    // The show script's turn of a display tick; unset until an interpreter is
    // installed.
    std::function<void()> readCtsFile;
    // Called after every drawn tick and every clearing of the preview, the
    // moments the preview area is recomputed.
    std::function<void()> onPreviewRecomputed;

private:
    void DisplayTick();
    void DrawTracks();
    void ClearPreview();

    Host& host_;
    const Settings& settings_;
    PlayState& state_;
    FrameRenderer& renderer_;
    DeviceSlots& devices_;
    const ScriptState& script_;
    bool inDisplayTick_ = false;
};

}  // namespace vyr
