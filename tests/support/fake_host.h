#pragma once

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "support/recording_canvas.h"

namespace vyr::test {

// A host that writes everything down. Timers are only recorded; a test fires
// them by calling the view's timer handler itself. File dialogs answer with
// the queued answers in order, then "cancelled".
class FakeHost final : public Host {
public:
    void SetStatusPane(int pane, const std::string& text) override { panes.at(static_cast<std::size_t>(pane)) = text; }
    void MessageBox(const std::string& text, MessageIcon) override { messages.push_back(text); }
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override {
        dialogs.push_back(request);
        if (answers.empty()) return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override {
        return OpenFileDialog(request);
    }
    void SetDocumentTitle(const std::string& text) override { title = text; }
    bool SetTimer(int id, int milliseconds) override {
        if (failTimers) return false;
        timers[id] = milliseconds;
        return true;
    }
    void KillTimer(int id) override { timers.erase(id); }
    void PostToUiThread(std::function<void()> work) override { work(); }
    Canvas* PreviewCanvas() override { return &canvas; }
    std::optional<ScreenRect> MainWindowRect() const override { return windowRect; }
    void MoveMainWindow(const ScreenRect& rect) override {
        windowRect = rect;
        ++moves;
    }

    bool Running(int id) const { return timers.count(id) != 0; }

    std::array<std::string, 5> panes{};
    std::vector<std::string> messages;
    std::deque<std::optional<std::string>> answers;
    std::vector<FileDialogRequest> dialogs;
    std::string title = "(unset)";
    std::map<int, int> timers;
    bool failTimers = false;
    std::optional<ScreenRect> windowRect;
    int moves = 0;
    RecordingCanvas canvas{610, 435};
};

}  // namespace vyr::test
