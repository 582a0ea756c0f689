#include "headless/headless_main.h"

#include <csignal>
#include <cstdio>
#include <limits>

#include "app/application.h"
#include "headless/headless_host.h"
#include "platform/file_sync.h"
#include "platform/posix/shared_library_dlopen.h"
#include "platform/program_directory.h"
#include "playback/main_loop.h"

namespace vyr {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

}  // namespace

int RunHeadless(const FrontEndOptions& options, const std::vector<std::string>& programWords) {
    HeadlessHost host(options.width, options.height, options.realtime);
    const std::unique_ptr<SharedLibraryLoader> libraries = MakePlayerLibraryLoader();
    Application application(host, *libraries, SyncFileToDisk, ProgramDirectory());
    if (!application.Start(programWords)) return 1;

    COrbit3DView& view = *application.View();
    host.onTimer = [&view](int id) { view.OnTimer(id); };
    view.OnPaint();

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);

    // The run's length is counted in display periods as the settings stand
    // once start-up, the configuration and the command line are through.
    std::optional<std::int64_t> endMs;
    if (options.ticks) {
        const std::int64_t period = std::max(1, view.settings().FRAME_DISPLAY_TIMER_VALUE);
        // A count too large to reach is as good as no end at all.
        constexpr std::int64_t kLongest = std::numeric_limits<std::int64_t>::max() / 2;
        endMs = *options.ticks > kLongest / period ? kLongest : *options.ticks * period;
    }
    host.Run(endMs, [] { return stopRequested != 0; });

    int status = 0;
    if (!options.snapshotPath.empty() && !host.Surface().SavePng(options.snapshotPath)) {
        std::fprintf(stderr, "vyr-player: cannot write the snapshot %s\n", options.snapshotPath.c_str());
        status = 1;
    }
    // Closing the main window: the view saves its settings and ends the log.
    application.Close();

    if (options.printStatus) {
        for (int pane = 0; pane < 5; ++pane) std::printf("pane %d: %s\n", pane, host.StatusPane(pane).c_str());
        std::printf("title: %s\n", host.DocumentTitle().c_str());
    }
    return status;
}

}  // namespace vyr
