#pragma once

#include <cstdio>

namespace vyr {

// Pushes what has been written to an open stream down to the storage device,
// so that a file about to replace another survives a crash or power loss.
// Matches SyncFileFunction of the configuration writer.
bool SyncFileToDisk(std::FILE* file);

}  // namespace vyr
