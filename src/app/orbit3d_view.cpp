#include "app/orbit3d_view.h"

#include <filesystem>
#include <system_error>

#include "app/config_file.h"
#include "app/log.h"
#include "app/main_window.h"

namespace vyr {

namespace {

bool ChangeDirectory(const std::string& directory) {
    std::error_code error;
    std::filesystem::current_path(directory, error);
    return !error;
}

}  // namespace

COrbit3DView::COrbit3DView(Host& host, SharedLibraryLoader& libraries, SyncFileFunction syncFile,
                           std::string programDirectory, CommandLineOptions& commandLine)
    : host_(host),
      libraries_(libraries),
      syncFile_(syncFile),
      programDirectory_(std::move(programDirectory)),
      commandLine_(commandLine),
      mainForm_(tracks_, settings_, form_) {}

void COrbit3DView::OnInitialUpdate() {
    host_.SetDocumentTitle("");

    CreateOutputDevices(devices_, libraries_);
    settings_.CONTENT_DIRECTORY_NAME = Settings::DefaultContentDirectory();

    Canvas* canvas = host_.PreviewCanvas();
    OutputDevice& preview = devices_.screen ? static_cast<OutputDevice&>(*devices_.screen) : spareScreen_;
    manipulator_ = std::make_unique<TrackManipulator>(tracks_, state_.currentTrackNumber, state_.camera,
                                                      state_.settings, form_.rotateAboutZero);
    segments_ = std::make_unique<SegmentRenderer>(settings_, state_, preview, canvas);
    renderer_ = std::make_unique<FrameRenderer>(tracks_, settings_, state_, *manipulator_, *segments_,
                                                devices_.slots, preview, fonts_, canvas);
    loop_ = std::make_unique<PlaybackLoop>(host_, settings_, state_, *renderer_, devices_, script_);
    loop_->onPreviewRecomputed = [this] { PreviewRecomputed(); };
    // Until show scripts can be interpreted, an opened script is put aside on
    // its first tick and the tracks play on.
    loop_->readCtsFile = [this] {
        script_.playing = false;
        host_.SetStatusPane(0, "Show scripts: not available yet.");
    };
    files_ = std::make_unique<FileCommands>(host_, tracks_, state_, mainForm_, script_, fonts_, commandLine_,
                                            programDirectory_);

    // No MIDI input service is wired in yet: the player runs as with no
    // MIDI device present.
    LogMessage("No MIDI devices opened.");
    host_.SetStatusPane(3, "MIDI: 0");

    fonts_.SelectFont(0);
    fonts_.ClearFont();
    const std::string fontPath = programDirectory_ + "/default_font.ild";
    if (fonts_.ReadFontFile(fontPath) != 1) LogMessage("Unable to successfully read in font file " + fontPath);

    host_.SetStatusPane(2, PpsText(0));
    form_.Clear();
    loop_->playing = 0;
    loop_->elapsed = 0;
    state_.outputCounter = 0;
    state_.lastLaserX = 0.5f;
    state_.lastLaserY = 0.5f;

    SetupInitialTransforms(devices_);

    if (ChangeDirectory(programDirectory_) &&
        ReadConfiguration(programDirectory_ + "/" + kConfigurationFileName, settings_)) {
        // The serial port is not wired in yet, so it never opens: an enabled
        // port reports the failure, and the line settings are refused as for
        // any closed port.
        if (settings_.USE_SERIAL_PORT == 1) {
            host_.MessageBox("Unable to open COM-port", MessageIcon::kError);
            LogMessage("OnInitialUpdate(): Unable to open COM-port.");
        }
        LogMessage("OnInitialUpdate(): COM Setup() failed.");
        LogMessage("OnInitialUpdate(): COM SetupHandshaking() failed.");
    }

    settings_.ResetWorkingValues();
    ApplyCommandLine();

    ConfigureOutputDevices(devices_, settings_);

    host_.SetStatusPane(4, ElapsedText(0));
    host_.SetStatusPane(1, "Okay");
    mainForm_.SetTrackFocus(form_.focus + 1);
    loop_->SetCleanDisplayTimer();
}

void COrbit3DView::ApplyCommandLine() {
    const CommandLineOptions& options = commandLine_;
    if (options.Has(CommandLineOptions::kFileName)) {
        LogMessage("Command Line: Input File Name is [" + options.fileName + "]");
        const std::string extension = FileNameExtension(options.fileName);
        LogMessage("Command Line: Input File Name Extension is [" + extension + "]");
        int command = 0;
        if (extension == "ILD") command = kCmdOpenIlda;
        if (extension == "ABS") command = kCmdOpenAbs;
        if (extension == "TXT") command = kCmdOpenText;
        if (extension == "CTS") command = kCmdOpenCts;
        if (extension == "CLV") command = kCmdOpenClv;
        if (command == kCmdOpenClv) NotAvailableYet(command);
        if (command != 0 && command != kCmdOpenClv) files_->Open(command, options.fileName);
        if (command != 0) loop_->OnDisplayPlay();
    }
    if (options.Has(CommandLineOptions::kScanRate)) {
        const std::uint16_t rate = static_cast<std::uint16_t>(options.scanRate);
        LogMessage("Command Line: Scan Rate is " + std::to_string(rate));
        if (rate >= 1000 && rate <= 50000) settings_.OUTPUT_PPS = rate;
    }
    if (options.Has(CommandLineOptions::kFrameDelay)) {
        const std::uint16_t delay = static_cast<std::uint16_t>(options.frameDelay);
        LogMessage("Command Line: Frame Delay is " + std::to_string(delay));
        if (delay <= 1000) settings_.FRAME_DISPLAY_TIMER_VALUE = delay;
    }
    if (options.Has(CommandLineOptions::kBlankingShift)) {
        LogMessage("Command Line: Blanking Shift is " + std::to_string(options.blankingShift));
        if (options.blankingShift >= -50 && options.blankingShift <= 50) settings_.BLANKING_SHIFT = options.blankingShift;
    }
    if (options.Has(CommandLineOptions::kInvertBlanking)) {
        LogMessage("Command Line: Invert Blanking");
        settings_.INVERT_BLANKING = 1;
    }
    commandLine_.flags = 0;
}

bool COrbit3DView::OnCommand(int command) {
    switch (command) {
        case kCmdOpenIlda:
        case kCmdOpenAbs:
        case kCmdOpenText:
        case kCmdOpenCts:
            return files_->OnFileOpenCommand(command);
        case kCmdOpenClv:
        case kCmdPreferences:
        case kCmdSelectPort:
        case kCmdAbout:
        case kCmdRecord:
        case kCmdRewindScript:
            NotAvailableYet(command);
            return true;
        case kCmdCloseTrackList:
            OnFileCloseTrackList();
            return true;
        case kCmdPlay:
            OnDisplayPlay();
            return true;
        case kCmdPause:
            OnDisplayPause();
            return true;
        default:
            return false;
    }
}

void COrbit3DView::NotAvailableYet(int command) {
    std::string_view prompt = CommandPrompt(command);
    prompt = prompt.substr(0, prompt.find('\n'));
    host_.SetStatusPane(0, std::string(prompt) + " Not available yet.");
}

void COrbit3DView::OnFileCloseTrackList() {
    LogMessage("Entering OnFileClosetracklist()");
    loop_->StopForClose();
    script_.playing = false;
    state_.tracksBusy = false;
    tracks_.DeleteTrackList();
    state_.currentTrack = nullptr;
    script_.Close();
    form_.trackArm = {};
    form_.trackDisplay = {};
    form_.trackEffects = {};
    form_.rotateAboutZero = {};
    settings_.ResetWorkingValues();
    host_.SetDocumentTitle("");
    mainForm_.SetTrackFocus(form_.focus + 1);
}

void COrbit3DView::PreviewRecomputed() {
    if (firstRefreshPending_) {
        firstRefreshPending_ = false;
        return;
    }
    if (windowPlacementPending_) {
        host_.MoveMainWindow(ScreenRect{settings_.MAIN_WINDOW_LEFT, settings_.MAIN_WINDOW_TOP,
                                        settings_.MAIN_WINDOW_RIGHT, settings_.MAIN_WINDOW_BOTTOM});
        windowPlacementPending_ = false;
    }
}

void COrbit3DView::WriteSettingsAtShutdown() {
    if (!ChangeDirectory(programDirectory_)) {
        LogMessage("~COrbit3DView(): Unable to return to root directory.");
        return;
    }
    if (!firstRefreshPending_) {
        if (const std::optional<ScreenRect> rect = host_.MainWindowRect()) {
            settings_.MAIN_WINDOW_LEFT = rect->left;
            settings_.MAIN_WINDOW_TOP = rect->top;
            settings_.MAIN_WINDOW_RIGHT = rect->right;
            settings_.MAIN_WINDOW_BOTTOM = rect->bottom;
        }
    }
    WriteConfiguration(programDirectory_ + "/" + kConfigurationFileName, settings_, syncFile_);
}

COrbit3DView::~COrbit3DView() {
    if (loop_) {
        for (int id : {DISPLAY_TIMER, POINTS_PER_SECOND_TIMER, CLEAN_DISPLAY_TIMER, PLAYBACK_TIMER}) {
            host_.KillTimer(id);
        }
    }
    if (saveSettingsAtShutdown_) WriteSettingsAtShutdown();
    ReleaseOutputDevices(devices_, settings_);
    LogMessage("Terminating program VYR_Player...");
    Log::Instance().Close();
}

}  // namespace vyr
