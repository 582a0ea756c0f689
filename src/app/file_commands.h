#pragma once

#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/settings.h"
#include "content/font_list.h"
#include "model/track_list.h"
#include "panels/main_form.h"
#include "platform/host.h"
#include "render/play_state.h"
#include "script/script_state.h"

namespace vyr {

// Gives a freshly loaded track of the kind its camera, its output device, its
// palette (the command line's while its flags are live) and the default
// settings.
void SetupNewTrack(Track& track, TrackType kind, const CommandLineOptions& commandLine);

// The commands that open show content: the dialog of each menu command, and
// the open operations the menu and the command line share.
class FileCommands {
public:
    // `programDirectory` is where abstract definition files are read from
    // when their names are relative.
    FileCommands(Host& host, TrackList& tracks, PlayState& state, MainForm& form, ScriptState& script,
                 const FontList& fonts, const CommandLineOptions& commandLine, std::string programDirectory)
        : host_(host),
          tracks_(tracks),
          state_(state),
          form_(form),
          script_(script),
          fonts_(fonts),
          commandLine_(commandLine),
          programDirectory_(std::move(programDirectory)) {}

    // Menu and toolbar commands 11..15: ask for a file and open it. Returns
    // false for a command that is not an open command.
    bool OnFileOpenCommand(int command);

    void OnOpenIldaFile(const std::string& path);
    void OnOpenAbsFile(const std::string& path);
    void OnOpenTextFile(const std::string& path);
    void OnOpenCtsFile(const std::string& path);
    // The open operation of an open command, as the command line uses it.
    void Open(int command, const std::string& path);

    void SetStatusText(const std::string& text) { host_.SetStatusPane(1, text); }

private:
    // The tail of the ILDA, abstract and text commands.
    void AddLoadedTrack(std::unique_ptr<Track> track, TrackType kind);

    Host& host_;
    TrackList& tracks_;
    PlayState& state_;
    MainForm& form_;
    ScriptState& script_;
    const FontList& fonts_;
    const CommandLineOptions& commandLine_;
    const std::string programDirectory_;
};

}  // namespace vyr
