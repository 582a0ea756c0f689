#include "platform/program_directory.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vyr {

std::string ProgramDirectory() {
    if (const char* home = std::getenv("VYR_PLAYER_HOME"); home != nullptr && *home != '\0') {
        std::string dir(home);
        while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        return dir;
    }
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec).string();
    return exe.parent_path().string();
}

}  // namespace vyr
