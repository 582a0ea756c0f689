#include "platform/file_sync.h"

#include <unistd.h>

namespace vyr {

bool SyncFileToDisk(std::FILE* file) {
    if (file == nullptr || std::fflush(file) != 0) return false;
    const int fd = fileno(file);
    return fd >= 0 && fsync(fd) == 0;
}

}  // namespace vyr
