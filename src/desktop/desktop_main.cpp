#include "desktop/desktop_main.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

#include "desktop/desktop_player.h"
#include "platform/posix/shared_library_dlopen.h"
#include "platform/program_directory.h"

namespace vyr {

namespace {

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

int stopSignalFds[2] = {-1, -1};

void ForwardStopSignal(int) {
    const char byte = 1;
    // Nothing else is safe in a signal handler; the event loop reads it.
    [[maybe_unused]] const ssize_t written = ::write(stopSignalFds[0], &byte, 1);
}

// Ctrl+C or a termination request closes the window as the operator would,
// so the settings are saved and the log is ended.
class StopSignalWatcher {
public:
    explicit StopSignalWatcher(CMainFrame& frame) {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, stopSignalFds) != 0) return;
        notifier_ = std::make_unique<QSocketNotifier>(stopSignalFds[1], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, &frame, [&frame] {
            char byte = 0;
            [[maybe_unused]] const ssize_t read = ::read(stopSignalFds[1], &byte, 1);
            // A dialog that is open is answered as cancelled first; the
            // window closes once the command that opened it has returned.
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
            frame.close();
        });
        std::signal(SIGINT, ForwardStopSignal);
        std::signal(SIGTERM, ForwardStopSignal);
    }
    ~StopSignalWatcher() {
        if (!notifier_) return;
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        notifier_.reset();
        for (int& fd : stopSignalFds) {
            ::close(fd);
            fd = -1;
        }
    }
    StopSignalWatcher(const StopSignalWatcher&) = delete;
    StopSignalWatcher& operator=(const StopSignalWatcher&) = delete;

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace

bool DisplayAvailable() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM"); }

int RunDesktop(const FrontEndOptions& options, const std::vector<std::string>& programWords, int argc, char** argv) {
    if (!DisplayAvailable()) {
        // Qt would abort without a word a user could act on.
        std::fputs("vyr-player: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set);\n"
                   "run it with --headless, or set QT_QPA_PLATFORM\n",
                   stderr);
        return 2;
    }
    const FrontEndOptions defaults;
    const bool sized = options.width != defaults.width || options.height != defaults.height;
    if (options.ticks || options.realtime || options.printStatus || !options.snapshotPath.empty() || sized) {
        std::fputs("vyr-player: --ticks, --realtime, --snapshot, --size and --print-status apply only with "
                   "--headless\n",
                   stderr);
    }
    QApplication application(argc, argv);
    const std::unique_ptr<SharedLibraryLoader> libraries = MakePlayerLibraryLoader();
    DesktopPlayer player(*libraries, ProgramDirectory());
    if (!player.Start(programWords)) return 1;
    const StopSignalWatcher stopSignals(player.Frame());
    return QApplication::exec() == 0 ? 0 : 1;
}

}  // namespace vyr
