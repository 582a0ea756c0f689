#include "headless/front_end_options.h"

#include <charconv>

namespace vyr {

namespace {

bool ParseCount(const std::string& text, std::int64_t& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc{} && result.ptr == end && value >= 0;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    std::int64_t w = 0, h = 0;
    if (!ParseCount(text.substr(0, x), w) || !ParseCount(text.substr(x + 1), h)) return false;
    if (w < 1 || h < 1 || w > 16384 || h > 16384) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}  // namespace

bool ParseFrontEndOptions(const std::vector<std::string>& arguments, FrontEndOptions& options,
                          std::vector<std::string>& programWords, std::string& error) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
            programWords.push_back(word);
            continue;
        }
        auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) {
                error = word + " needs a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        std::string text;
        if (word == "--headless") {
            options.headless = true;
        } else if (word == "--realtime") {
            options.realtime = true;
        } else if (word == "--print-status") {
            options.printStatus = true;
        } else if (word == "--help") {
            options.help = true;
        } else if (word == "--ticks") {
            std::int64_t n = 0;
            if (!value(text)) return false;
            if (!ParseCount(text, n)) {
                error = "--ticks needs a count of 0 or more, not \"" + text + "\"";
                return false;
            }
            options.ticks = n;
        } else if (word == "--snapshot") {
            if (!value(options.snapshotPath)) return false;
        } else if (word == "--size") {
            if (!value(text)) return false;
            if (!ParseSize(text, options.width, options.height)) {
                error = "--size needs WIDTHxHEIGHT (1..16384 each), not \"" + text + "\"";
                return false;
            }
        } else {
            error = "unknown option " + word;
            return false;
        }
    }
    return true;
}

const char* FrontEndUsage() {
    return "usage: vyr-player [--headless [--ticks N] [--realtime] [--snapshot FILE.png] [--size WxH]\n"
           "                  [--print-status]] [/s RATE] [/d MS] [/b SHIFT] [/r] [/p PALETTE] [FILE]\n"
           "  FILE ends in .ild, .abs, .txt, .cts or .clv and is opened and played at once.\n";
}

}  // namespace vyr
