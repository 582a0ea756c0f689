// vyr-player: the laser show player, in a window or, with --headless, without one.

#include <cstdio>
#include <string>
#include <vector>

#include "headless/front_end_options.h"
#include "headless/headless_main.h"

#ifdef VYR_HAVE_DESKTOP
#include "desktop/desktop_main.h"
#endif

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    vyr::FrontEndOptions options;
    std::vector<std::string> words;
    std::string error;
    if (!vyr::ParseFrontEndOptions(arguments, options, words, error)) {
        std::fprintf(stderr, "vyr-player: %s\n%s", error.c_str(), vyr::FrontEndUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(vyr::FrontEndUsage(), stdout);
        return 0;
    }
    if (options.headless) return vyr::RunHeadless(options, words);
#ifdef VYR_HAVE_DESKTOP
    return vyr::RunDesktop(options, words, argc, argv);
#else
    std::fprintf(stderr, "vyr-player: built without a window; run it with --headless\n");
    return 2;
#endif
}
