#pragma once

#include <string>
#include <vector>

#include "headless/front_end_options.h"

namespace vyr {

// True when Qt has somewhere to open a window: an X11 or Wayland display,
// or a platform named by QT_QPA_PLATFORM.
bool DisplayAvailable();

// Runs the player in a window until it closes; returns the process exit
// status (0 after a normal close, 1 when the start failed, 2 without a
// display).
int RunDesktop(const FrontEndOptions& options, const std::vector<std::string>& programWords, int argc, char** argv);

}  // namespace vyr
