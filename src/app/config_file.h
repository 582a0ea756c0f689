#pragma once

#include <cstdio>
#include <string>

#include "app/settings.h"

namespace vyr {

// The settings file beside the program: a header line and one "KEY=value"
// line per setting, in a fixed order, with CR LF line ends. The reader is
// positional; it does not look at the key names.
inline constexpr const char* kConfigurationFileName = "VYR_Player.ini";
inline constexpr const char* kConfigurationHeader = "VYR_Player Configuration Data File, Version 1.1.6\r\n";
inline constexpr int kConfigurationKeyCount = 57;

// Reads the file at `path` into `settings`, all or nothing: unless every value
// could be read, no setting changes. GLOBAL_DELAY, LASER_SCALE and
// VERTICAL_SCALE are read into the working values; afterwards (whether or not
// the read succeeded) the configured values are set from the working values.
// Logs its outcome, and the values read as one message. Returns true when the
// whole file was read and applied.
bool ReadConfiguration(const std::string& path, Settings& settings);

// Makes what has been written to an open file durable (fsync on POSIX). The
// engine itself has no portable way to do that, so the platform hands it in.
using SyncFileFunction = bool (*)(std::FILE* file);

// Writes `settings` to the file at `path`, echoing the values to the log.
// The new contents go to a temporary file beside the old one, which replaces
// the old file only once it has been written, flushed and (with `syncFile`)
// synced completely; on any failure the old file stays as it was and the
// temporary file is removed. An empty CONTENT_DIRECTORY_NAME is stored as the
// placeholder "___" (the setting itself is left empty). Returns true when the
// file was replaced.
bool WriteConfiguration(const std::string& path, const Settings& settings, SyncFileFunction syncFile = nullptr);

// The name of the temporary file WriteConfiguration writes before replacing `path`.
std::string ConfigurationTempPath(const std::string& path);

}  // namespace vyr
