#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/config_file.h"
#include "app/orbit3d_view.h"
#include "platform/host.h"
#include "platform/shared_library.h"

namespace vyr {

// The application start routine and the closing of the main window, shared
// by both front ends. The front end supplies the host (its window or its
// virtual clock) and the platform services, then feeds the view.
class Application {
public:
    Application(Host& host, SharedLibraryLoader& libraries, SyncFileFunction syncFile, std::string programDirectory)
        : host_(host), libraries_(libraries), syncFile_(syncFile), programDirectory_(std::move(programDirectory)) {}
    ~Application() { Close(); }
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Opens the log, parses the program's command line (`words`, without the
    // program name), creates the view and runs its first update. Returns false
    // when the program must end at once; the view is then gone.
    bool Start(const std::vector<std::string>& words);

    // The main window closes: the view's shutdown runs.
    void Close() { view_.reset(); }

    COrbit3DView* View() { return view_.get(); }
    const std::string& ProgramDirectoryPath() const { return programDirectory_; }

private:
    Host& host_;
    SharedLibraryLoader& libraries_;
    SyncFileFunction syncFile_;
    const std::string programDirectory_;
    CommandLineOptions commandLine_;
    std::unique_ptr<COrbit3DView> view_;
};

}  // namespace vyr
