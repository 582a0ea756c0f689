#pragma once

#include <string>
#include <vector>

#include "app/application.h"
#include "desktop/main_frame.h"
#include "desktop/qt_host.h"
#include "platform/shared_library.h"

namespace vyr {

// One run of the player in a window: the main frame, its host and the
// application, wired together. Needs a QApplication; the caller runs the
// event loop.
class DesktopPlayer {
public:
    DesktopPlayer(SharedLibraryLoader& libraries, std::string programDirectory);
    DesktopPlayer(const DesktopPlayer&) = delete;
    DesktopPlayer& operator=(const DesktopPlayer&) = delete;

    // The application start (log, command line `words`, the view's first
    // update), then the frame is shown and the view painted. False: the
    // program must end; the window was never shown.
    bool Start(const std::vector<std::string>& words);

    CMainFrame& Frame() { return frame_; }
    QtHost& WindowHost() { return host_; }
    Application& App() { return application_; }
    // Null before the start and once the window has closed.
    COrbit3DView* View() { return application_.View(); }

private:
    // Runs a call into the view, if there is one. A close asked for while
    // such a call is under way (a dialog's event loop runs inside it) waits
    // until the outermost call has returned: the view must not be destroyed
    // under its own feet.
    template <typename Call>
    void WithView(Call call);
    bool CloseRequested();

    int viewCallDepth_ = 0;
    bool closePending_ = false;
    // Declared in this order so that the view, destroyed first, still has
    // its host and window while it shuts down.
    CMainFrame frame_;
    QtHost host_;
    Application application_;
};

}  // namespace vyr
