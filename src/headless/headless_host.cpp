#include "headless/headless_host.h"

#include <cstdio>
#include <thread>

namespace vyr {

HeadlessHost::HeadlessHost(int width, int height, bool realtime)
    : canvas_(width, height), realtime_(realtime), started_(std::chrono::steady_clock::now()) {
    panes_[0] = "Ready";
}

void HeadlessHost::SetStatusPane(int pane, const std::string& text) {
    if (pane >= 0 && pane < static_cast<int>(panes_.size())) panes_[static_cast<std::size_t>(pane)] = text;
}

void HeadlessHost::MessageBox(const std::string& text, MessageIcon icon) {
    std::fprintf(stderr, "vyr-player: %s%s\n", icon == MessageIcon::kError ? "error: " : "", text.c_str());
}

std::optional<std::string> HeadlessHost::OpenFileDialog(const FileDialogRequest& request) {
    std::fprintf(stderr, "vyr-player: %s: cancelled (no dialogs without a window)\n", request.title.c_str());
    return std::nullopt;
}

std::optional<std::string> HeadlessHost::SaveFileDialog(const FileDialogRequest& request) {
    return OpenFileDialog(request);
}

bool HeadlessHost::SetTimer(int id, int milliseconds) {
    // Like the window system, a timer never runs faster than once a millisecond.
    const std::int64_t period = milliseconds < 1 ? 1 : milliseconds;
    timers_[id] = Timer{period, now_ + period};
    return true;
}

std::optional<int> HeadlessHost::TimerPeriod(int id) const {
    const auto it = timers_.find(id);
    if (it == timers_.end()) return std::nullopt;
    return static_cast<int>(it->second.period);
}

void HeadlessHost::PostToUiThread(std::function<void()> work) {
    std::lock_guard<std::mutex> lock(postedMutex_);
    posted_.push_back(std::move(work));
}

void HeadlessHost::RunPostedWork() {
    std::vector<std::function<void()>> work;
    {
        std::lock_guard<std::mutex> lock(postedMutex_);
        work.swap(posted_);
    }
    for (auto& item : work) item();
}

void HeadlessHost::Run(std::optional<std::int64_t> endMs, const std::function<bool()>& stop) {
    while (!stop()) {
        RunPostedWork();
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            if (next == timers_.end() || it->second.due < next->second.due) next = it;
        }
        if (next == timers_.end()) {
            // Nothing will ever happen again unless other threads post work.
            if (!realtime_) break;
            const auto wallMs =
                std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started_);
            if (endMs && wallMs.count() >= *endMs) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        if (endMs && next->second.due > *endMs) break;
        if (realtime_) {
            const auto wake = started_ + std::chrono::milliseconds(next->second.due);
            // Sleep in short steps so posted work and a stop request are seen.
            if (std::chrono::steady_clock::now() < wake) {
                std::this_thread::sleep_until(std::min(wake, std::chrono::steady_clock::now() +
                                                                 std::chrono::milliseconds(20)));
                continue;
            }
        }
        const int id = next->first;
        now_ = next->second.due;
        next->second.due += next->second.period;
        if (onTimer) onTimer(id);
    }
    if (endMs && !stop() && now_ < *endMs) now_ = *endMs;
}

}  // namespace vyr
