#include "app/settings.h"

#include <cstdlib>

namespace vyr {

std::string Settings::DefaultContentDirectory() {
    const char* home = std::getenv("HOME");
    std::string dir = (home != nullptr && *home != '\0') ? std::string(home) : std::string();
    if (!dir.empty() && dir.back() != '/') dir += '/';
    dir += "Laser/";
    return dir.substr(0, kContentDirectoryMax);
}

}  // namespace vyr
