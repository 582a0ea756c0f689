#include "app/file_commands.h"

#include <cstdio>

#include "abstract/abstract.h"
#include "app/log.h"
#include "app/main_window.h"
#include "content/ilda_reader.h"
#include "content/text_scroll.h"
#include "model/frame_sequence.h"
#include "render/palettes.h"

namespace vyr {

void SetupNewTrack(Track& track, TrackType kind, const CommandLineOptions& commandLine) {
    track.camera = Camera{};
    track.trackType = kind;
    track.outputDevice = 0;
    track.settings = TrackSettings{};
    if (commandLine.Has(CommandLineOptions::kPalette)) {
        track.settings.palette = PaletteByNumber(commandLine.paletteIndex);
    } else {
        track.settings.palette = PaletteByNumber(kind == kTrackAbstract ? kPaletteLaserIllusions : kPalettePangolin);
    }
}

bool FileCommands::OnFileOpenCommand(int command) {
    const char* failure = nullptr;
    switch (command) {
        case kCmdOpenIlda: failure = "OnOpenIldaFile(): GetOpenFileName() failed."; break;
        case kCmdOpenAbs: failure = "OnOpenAbsFile(): GetOpenFileName() failed."; break;
        case kCmdOpenText: failure = "OnOpenTextFile(): GetOpenFileName() failed."; break;
        case kCmdOpenCts: failure = "OnOpenCtsFile(): GetOpenFileName() failed."; break;
        case kCmdOpenClv: failure = "OnOpenClvFile(): GetOpenFileName() failed."; break;
        default: return false;
    }
    if (command == kCmdOpenClv) LogMessage("Entering OnOpenClvFile()");
    if (command == kCmdOpenText && !fonts_.HasFontInfo()) {
        static constexpr const char* kNoFont = "Font not properly initialized; scrolling text is disabled.";
        host_.MessageBox(kNoFont, MessageIcon::kInformation);
        LogMessage(kNoFont);
        return true;
    }
    const std::optional<std::string> path = host_.OpenFileDialog(OpenDialogFor(command));
    if (!path) {
        LogMessage(failure);
        return true;
    }
    SetStatusText("Loading");
    Open(command, *path);
    SetStatusText("Okay");
    return true;
}

void FileCommands::Open(int command, const std::string& path) {
    switch (command) {
        case kCmdOpenIlda: OnOpenIldaFile(path); break;
        case kCmdOpenAbs: OnOpenAbsFile(path); break;
        case kCmdOpenText: OnOpenTextFile(path); break;
        case kCmdOpenCts: OnOpenCtsFile(path); break;
        default: break;
    }
}

void FileCommands::OnOpenIldaFile(const std::string& path) {
    std::unique_ptr<FrameSequence> sequence;
    // An empty file reads as a sequence without frames; as a track it would
    // take a slot and show nothing, so it is refused like an unreadable one.
    if (DoReadILDAFile(path, sequence) != 1 || !sequence || sequence->Frames().empty()) {
        host_.MessageBox("OnOpenIldaFile(): Unable to open or read ILDA file.", MessageIcon::kInformation);
        return;
    }
    host_.SetDocumentTitle(path);
    AddLoadedTrack(std::move(sequence), kTrackFrameSequence);
}

void FileCommands::OnOpenAbsFile(const std::string& path) {
    auto abstract = std::make_unique<Abstract>(path, programDirectory_);
    if (abstract->valid != 1) {
        host_.MessageBox("OnOpenAbsFile(): Unable to correctly initialize Abstract object.", MessageIcon::kInformation);
        return;
    }
    host_.SetDocumentTitle(path);
    if (abstract->SetPattern(1) != 1) {
        host_.MessageBox("OnOpenAbsFile(): Call to\tAbstract::SetPattern() failed.", MessageIcon::kInformation);
        return;
    }
    AddLoadedTrack(std::move(abstract), kTrackAbstract);
}

void FileCommands::OnOpenTextFile(const std::string& path) {
    auto text = std::make_unique<TextScroll>();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        host_.MessageBox("OnOpenTextFile(): failed to open file for reading.", MessageIcon::kInformation);
        return;
    }
    const std::int16_t read = text->ReadTextFile(file, fonts_);
    std::fclose(file);
    if (read != 1) {
        host_.MessageBox("OnOpenTextFile(): Unable to read Text file.", MessageIcon::kInformation);
        return;
    }
    host_.SetDocumentTitle(path);
    AddLoadedTrack(std::move(text), kTrackTextScroll);
}

void FileCommands::OnOpenCtsFile(const std::string& path) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (stream == nullptr) {
        script_.Replace(nullptr);
        host_.MessageBox("OnOpenCtsFile(): failed to open file for reading.", MessageIcon::kInformation);
        return;
    }
    script_.Replace(stream);
    host_.SetDocumentTitle(path);
    script_.headerPending = true;
    script_.playing = true;
}

void FileCommands::AddLoadedTrack(std::unique_ptr<Track> track, TrackType kind) {
    state_.currentTrack = track.get();
    SetupNewTrack(*track, kind, commandLine_);
    SetStatusText("Okay");
    const int slot = tracks_.count + 1;
    const bool slotWasEmpty = tracks_.GetTrack(slot) == nullptr;
    std::unique_ptr<Track> pending = std::move(track);
    if (tracks_.AddTrack(pending) != 1) {
        // A full list drops the new content without a word.
        state_.currentTrack = nullptr;
        return;
    }
    if (tracks_.count == 1) {
        form_.SetTrackArmState(1, 1);
        form_.ToggleTrackDisplay(1);
    } else if (slotWasEmpty) {
        // Later files wait unarmed, as the form shows them, until the operator
        // arms them: a dark track that is still drawn would take scan time
        // from the lit ones on every tick. A slot a script had filled keeps
        // the settings its new content inherits.
        form_.SetTrackArmState(slot, 0);
    }
    form_.SetTrackFocus(slot);
}

}  // namespace vyr
