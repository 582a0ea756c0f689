#include "app/main_window.h"

namespace vyr {

namespace {

constexpr MenuEntry kFileMenu[] = {
    {0, ""},
    {kCmdOpenIlda, "Open &ILDA File"},
    {kCmdOpenAbs, "Open &ABS File"},
    {kCmdOpenText, "Open &TXT File"},
    {kCmdOpenCts, "Open &CTS File"},
    {kCmdOpenClv, "Open C&LV File"},
    {0, ""},
    {kCmdCloseTrackList, "Close Track List"},
    {0, ""},
    {kCmdExit, "E&xit"},
};
constexpr MenuEntry kViewMenu[] = {
    {kCmdViewToolbar, "&Toolbar"},
    {kCmdViewStatusBar, "&Status Bar"},
};
constexpr MenuEntry kOptionsMenu[] = {
    {kCmdPreferences, "Pre&ferences"},
    {kCmdSelectPort, "Select &Port"},
};
constexpr MenuEntry kHelpMenu[] = {
    {kCmdAbout, "About VYR Player..."},
};

template <std::size_t N>
constexpr int Count(const MenuEntry (&)[N]) {
    return static_cast<int>(N);
}

}  // namespace

const std::array<Menu, 4>& MainMenu() {
    static const std::array<Menu, 4> menu{{
        {"&File", kFileMenu, Count(kFileMenu)},
        {"&View", kViewMenu, Count(kViewMenu)},
        {"&Options", kOptionsMenu, Count(kOptionsMenu)},
        {"&Help", kHelpMenu, Count(kHelpMenu)},
    }};
    return menu;
}

const std::array<int, 13>& ToolbarCommands() {
    static const std::array<int, 13> buttons{kCmdOpenIlda, kCmdOpenAbs,       kCmdOpenText, kCmdOpenCts, kCmdOpenClv,
                                             0,            kCmdRewindScript,  kCmdCloseTrackList,
                                             kCmdPause,    kCmdPlay,          kCmdRecord,   0,           kCmdAbout};
    return buttons;
}

std::string_view CommandPrompt(int command) {
    switch (command) {
        case kCmdOpenIlda: return "Open an ILDA formatted file.";
        case kCmdOpenClv: return "Open a VYR Player live control file.";
        case kCmdOpenAbs: return "Open a VYR Player abstract definition file.";
        case kCmdOpenCts: return "Open a VYR Player script file.";
        case kCmdOpenText: return "Open a plain text file.";
        case kCmdCloseTrackList: return "Stop the display and close the track list.";
        case kCmdPlay: return "Start playing the tracks.";
        case kCmdPause: return "Pause the track display.";
        case kCmdSelectPort: return "Select the desired laser output port.";
        case kCmdPreferences: return "Set program preference values.";
        case kCmdRewindScript: return "Rewind to beginning of current CTS script.";
        case kCmdRecord: return "Record the display to an ILDA file.";
        case kCmdExit: return "Quit the application; prompts to save documents\nExit";
        case kCmdViewToolbar: return "Show or hide the toolbar\nToggle ToolBar";
        case kCmdViewStatusBar: return "Show or hide the status bar\nToggle StatusBar";
        default: return "";
    }
}

FileDialogRequest OpenDialogFor(int command) {
    auto request = [](const char* title, const char* text, const char* pattern, const char* extension) {
        return FileDialogRequest{title, {{text, pattern}, {"All Files *.*", "*.*"}}, extension, true};
    };
    switch (command) {
        case kCmdOpenIlda: return request("Open ILDA File", "ILDA laser display files *.ild", "*.ILD", "ILD");
        case kCmdOpenAbs:
            return request("Open ABS File", "VYR_Player abstract display files *.abs", "*.ABS", "ABS");
        case kCmdOpenText: return request("Open Text File", "TEXT laser display files *.txt", "*.TXT", "TXT");
        case kCmdOpenCts: return request("Open 3D Script File", "3D script files *.cts", "*.CTS", "CTS");
        case kCmdOpenClv: return request("Open 3D Live Control File", "3D live control files *.clv", "*.CLV", "CLV");
        default: return {};
    }
}

}  // namespace vyr
