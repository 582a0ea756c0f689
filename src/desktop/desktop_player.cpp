#include "desktop/desktop_player.h"

#include <QMetaObject>

#include "desktop/preview_widget.h"
#include "platform/file_sync.h"

namespace vyr {

DesktopPlayer::DesktopPlayer(SharedLibraryLoader& libraries, std::string programDirectory)
    : host_(frame_), application_(host_, libraries, SyncFileToDisk, std::move(programDirectory)) {
    frame_.onCommand = [this](int command) { WithView([command](COrbit3DView& view) { view.OnCommand(command); }); };
    frame_.onClose = [this] { return CloseRequested(); };
    frame_.View().onRepaint = [this] { WithView([](COrbit3DView& view) { view.OnPaint(); }); };
    host_.onTimer = [this](int id) { WithView([id](COrbit3DView& view) { view.OnTimer(id); }); };
}

template <typename Call>
void DesktopPlayer::WithView(Call call) {
    COrbit3DView* view = View();
    if (view == nullptr) return;
    ++viewCallDepth_;
    call(*view);
    --viewCallDepth_;
    if (viewCallDepth_ == 0 && closePending_) {
        closePending_ = false;
        QMetaObject::invokeMethod(&frame_, [this] { frame_.close(); }, Qt::QueuedConnection);
    }
}

bool DesktopPlayer::CloseRequested() {
    if (viewCallDepth_ > 0) {
        closePending_ = true;
        return false;
    }
    application_.Close();
    return true;
}

bool DesktopPlayer::Start(const std::vector<std::string>& words) {
    if (!application_.Start(words)) return false;
    frame_.show();
    // Showing lays the window out; the surface takes the view's size before
    // the first repaint instead of after the resize it would wait for.
    frame_.View().SyncSurface();
    if (COrbit3DView* view = View()) view->OnPaint();
    return true;
}

}  // namespace vyr
