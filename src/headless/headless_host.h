#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/qt/qimage_canvas.h"

namespace vyr {

// The host of a run without a window. Time is virtual: the run loop jumps
// from one due timer to the next and fires them in time order (lower ids
// first at equal times), as fast as the processor allows or, in real time,
// waiting for the wall clock. Message boxes go to standard error and are
// answered at once; file dialogs answer "cancelled".
class HeadlessHost final : public Host {
public:
    HeadlessHost(int width, int height, bool realtime);

    void SetStatusPane(int pane, const std::string& text) override;
    void MessageBox(const std::string& text, MessageIcon icon) override;
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
    void SetDocumentTitle(const std::string& title) override { title_ = title; }
    bool SetTimer(int id, int milliseconds) override;
    void KillTimer(int id) override { timers_.erase(id); }
    void PostToUiThread(std::function<void()> work) override;
    Canvas* PreviewCanvas() override { return &canvas_; }
    std::optional<ScreenRect> MainWindowRect() const override { return windowRect_; }
    void MoveMainWindow(const ScreenRect& rect) override { windowRect_ = rect; }

    // Fires every timer due up to `endMs` of virtual time (all of them when
    // unset), then sets the clock to it. Stops early once `stop` says so.
    void Run(std::optional<std::int64_t> endMs, const std::function<bool()>& stop);
    std::int64_t NowMs() const { return now_; }
    std::optional<int> TimerPeriod(int id) const;

    std::function<void(int id)> onTimer;

    const std::string& StatusPane(int pane) const { return panes_.at(static_cast<std::size_t>(pane)); }
    const std::string& DocumentTitle() const { return title_; }
    QImageCanvas& Surface() { return canvas_; }

private:
    struct Timer {
        std::int64_t period;
        std::int64_t due;
    };
    void RunPostedWork();

    QImageCanvas canvas_;
    bool realtime_;
    std::chrono::steady_clock::time_point started_;
    std::int64_t now_ = 0;
    std::map<int, Timer> timers_;
    std::array<std::string, 5> panes_{};
    std::string title_;
    std::optional<ScreenRect> windowRect_;
    std::mutex postedMutex_;
    std::vector<std::function<void()>> posted_;
};

}  // namespace vyr
