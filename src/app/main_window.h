#pragma once

#include <array>
#include <string_view>

#include "platform/host.h"

namespace vyr {

// Command numbers of the menu, the toolbar and the keys; the front ends send
// them to the view unchanged.
enum Command : int {
    kCmdOpenIlda = 11,
    kCmdOpenClv = 12,
    kCmdOpenAbs = 13,
    kCmdOpenCts = 14,
    kCmdOpenText = 15,
    kCmdCloseTrackList = 30000,
    kCmdPlay = 30001,
    kCmdPause = 30002,
    kCmdSelectPort = 30320,
    kCmdPreferences = 32815,
    kCmdRewindScript = 32816,
    kCmdRecord = 32817,
    kCmdAbout = 57664,
    kCmdExit = 57665,
    kCmdViewToolbar = 59392,
    kCmdViewStatusBar = 59393,
};

// One entry of a menu: a command, or a separator when `command` is 0.
struct MenuEntry {
    int command;
    std::string_view text;
};

struct Menu {
    std::string_view title;
    const MenuEntry* entries;
    int count;
};

// Menu 102, left to right.
const std::array<Menu, 4>& MainMenu();

// The toolbar buttons in order; 0 is a separator.
const std::array<int, 13>& ToolbarCommands();

// The prompt the status bar shows for a command ("" when it has none). Text
// after a '\n' is the tool tip.
std::string_view CommandPrompt(int command);

// The open dialog of an open command (11..15).
FileDialogRequest OpenDialogFor(int command);

// Texts that size status panes 1..4, and the application title.
inline constexpr std::array<std::string_view, 5> kStatusPaneSizing{"", "               ", "PPS:              ",
                                                                   "MIDI:      ", " 00:00:00:00 "};
inline constexpr std::string_view kApplicationTitle = "VYR Player";
inline constexpr int kMainFrameWidth = 610;
inline constexpr int kMainFrameHeight = 435;
inline constexpr std::string_view kIdlePrompt = "Ready";

}  // namespace vyr
