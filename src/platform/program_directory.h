#pragma once

#include <string>

namespace vyr {

// The directory of the running executable, or the home directory named by
// VYR_PLAYER_HOME. Holds the configuration file, the log and the default font.
std::string ProgramDirectory();

}  // namespace vyr
