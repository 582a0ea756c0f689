#include "app/application.h"

#include "app/log.h"

#include <filesystem>
#include <system_error>

namespace vyr {

bool Application::Start(const std::vector<std::string>& words) {
    // Whether the log opened is only looked at once the window exists, so
    // the first update's messages are lost when it did not.
    const bool logOpen = Log::Instance().Open(programDirectory_ + "/" + kLogFileName);

    commandLine_ = CommandLineOptions{};
    for (const std::string& word : words) commandLine_.ParseWord(word);
    // The view works in the program directory from its first update on; a
    // file named relative to where the program was started must still be found.
    if (commandLine_.Has(CommandLineOptions::kFileName)) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(commandLine_.fileName, error);
        if (!error) commandLine_.fileName = absolute.string();
    }

    view_ = std::make_unique<COrbit3DView>(host_, libraries_, syncFile_, programDirectory_, commandLine_);
    view_->OnInitialUpdate();

    if (!logOpen) {
        host_.MessageBox("Unable to open logfile for write.", MessageIcon::kInformation);
        // The run never started: nothing of it is saved.
        view_->AbandonSettings();
        view_.reset();
        return false;
    }
    LogMessage("Starting program VYR_Player from directory\n" + programDirectory_);
    return true;
}

}  // namespace vyr
