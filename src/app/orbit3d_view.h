#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/config_file.h"
#include "app/file_commands.h"
#include "app/settings.h"
#include "content/font_list.h"
#include "model/track_list.h"
#include "panels/main_form.h"
#include "platform/host.h"
#include "platform/shared_library.h"
#include "playback/main_loop.h"
#include "playback/track_manipulation.h"
#include "render/device_setup.h"
#include "render/frame_renderer.h"
#include "render/play_state.h"
#include "render/segment_renderer.h"
#include "script/script_state.h"

namespace vyr {

// The player's one view. It owns the track list, the devices, the settings,
// the form's values and the script state, and builds the components that work
// on them; the front end creates it, runs its first update, feeds it commands,
// timer ticks and repaints, and destroys it when the main window closes.
class COrbit3DView {
public:
    // `libraries` loads the DAC library, `syncFile` makes the configuration
    // file durable, `programDirectory` holds the configuration file and the
    // default font. `commandLine` is the record the application start parsed;
    // the first update applies it and then clears its flags.
    COrbit3DView(Host& host, SharedLibraryLoader& libraries, SyncFileFunction syncFile, std::string programDirectory,
                 CommandLineOptions& commandLine);
    // Shutdown: saves the settings, darkens and releases the devices, ends the log.
    ~COrbit3DView();
    COrbit3DView(const COrbit3DView&) = delete;
    COrbit3DView& operator=(const COrbit3DView&) = delete;

    void OnInitialUpdate();

    // A menu, toolbar or key command. Returns false for a number the view
    // does not know.
    bool OnCommand(int command);
    void OnTimer(int id) { loop_->OnTimer(id); }
    // The window was repainted.
    void OnPaint() { loop_->OnPaint(); }

    void OnDisplayPlay() { loop_->OnDisplayPlay(); }
    void OnDisplayPause() { loop_->OnDisplayPause(); }
    void OnFileCloseTrackList();

    // The application start gave up: shutdown releases the devices but
    // writes no configuration file.
    void AbandonSettings() { saveSettingsAtShutdown_ = false; }

    const Settings& settings() const { return settings_; }
    const TrackList& tracks() const { return tracks_; }
    const FormValues& form() const { return form_; }
    const PlaybackLoop& loop() const { return *loop_; }
    FileCommands& files() { return *files_; }
    MainForm& mainForm() { return mainForm_; }

private:
    void ApplyCommandLine();
    void PreviewRecomputed();
    void NotAvailableYet(int command);
    void WriteSettingsAtShutdown();

    Host& host_;
    SharedLibraryLoader& libraries_;
    SyncFileFunction syncFile_;
    const std::string programDirectory_;
    CommandLineOptions& commandLine_;

    Settings settings_;
    TrackList tracks_;
    PlayState state_;
    DeviceSlots devices_;
    Device_Screen spareScreen_;  // the preview's transform when the screen object could not be made
    FormValues form_;
    MainForm mainForm_;
    ScriptState script_;
    FontList fonts_;

    std::unique_ptr<TrackManipulator> manipulator_;
    std::unique_ptr<SegmentRenderer> segments_;
    std::unique_ptr<FrameRenderer> renderer_;
    std::unique_ptr<PlaybackLoop> loop_;
    std::unique_ptr<FileCommands> files_;

    bool windowPlacementPending_ = true;
    bool firstRefreshPending_ = true;
    bool saveSettingsAtShutdown_ = true;
};

}  // namespace vyr
