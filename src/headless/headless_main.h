#pragma once

#include <string>
#include <vector>

#include "headless/front_end_options.h"

namespace vyr {

// Runs the player without a window; returns the process exit status.
int RunHeadless(const FrontEndOptions& options, const std::vector<std::string>& programWords);

}  // namespace vyr
