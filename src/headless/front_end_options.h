#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vyr {

// Options of the front ends, which begin with "--". They are taken out of the
// command line before the program's own parser sees the remaining words.
struct FrontEndOptions {
    bool headless = false;
    std::optional<std::int64_t> ticks;  // end after this many display periods
    bool realtime = false;
    std::string snapshotPath;           // PNG of the view at the end of the run
    int width = 610;                    // the view's client area
    int height = 435;
    bool printStatus = false;
    bool help = false;
};

// Splits argv (without the program name) into front-end options and the
// program's words. Returns false with a message for an unknown option or a
// bad value.
bool ParseFrontEndOptions(const std::vector<std::string>& arguments, FrontEndOptions& options,
                          std::vector<std::string>& programWords, std::string& error);

// The usage text of the front-end options.
const char* FrontEndUsage();

}  // namespace vyr
