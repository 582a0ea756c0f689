#pragma once

#include <QObject>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/host.h"

class QFileDialog;
class QTimer;
class QWidget;

namespace vyr {

class CMainFrame;

enum class FileDialogKind { kOpen, kSave };

// The host of the desktop front end: the main frame's status bar and
// caption, Qt message boxes and file dialogs, one QTimer per timer id, and
// the frame's view as the preview surface. Everything runs on the thread
// that owns the frame, except PostToUiThread, which may be called from any.
class QtHost final : public Host {
public:
    explicit QtHost(CMainFrame& frame);
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    void SetStatusPane(int pane, const std::string& text) override;
    void MessageBox(const std::string& text, MessageIcon icon) override;
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
    void SetDocumentTitle(const std::string& title) override;
    bool SetTimer(int id, int milliseconds) override;
    void KillTimer(int id) override;
    void PostToUiThread(std::function<void()> work) override;
    Canvas* PreviewCanvas() override;
    std::optional<ScreenRect> MainWindowRect() const override;
    void MoveMainWindow(const ScreenRect& rect) override;

    // Receives every tick, with the timer's id.
    std::function<void(int id)> onTimer;

    // When set, these answer in place of the real dialogs (tests, scripted runs).
    std::function<std::optional<std::string>(const FileDialogRequest&, FileDialogKind)> fileDialogOverride;
    std::function<void(const std::string& text, MessageIcon icon)> messageBoxOverride;

    // The timer installed for an id (running or stopped), null when none was.
    const QTimer* Timer(int id) const;

private:
    std::optional<std::string> FileDialog(const FileDialogRequest& request, FileDialogKind kind);
    QWidget* DialogParent() const;

    CMainFrame& frame_;
    // Receiver of posted work and timer ticks; it lives on the frame's thread.
    QObject context_;
    std::map<int, std::unique_ptr<QTimer>> timers_;
};

// The filters of a dialog as Qt takes them: "text (patterns)". The patterns
// of a filter match both cases ("*.ILD" finds demo.ild too), and "*.*" is
// every file, dotted or not.
QStringList NameFilters(const FileDialogRequest& request);

// The dialog the host runs for a request, ready for exec().
std::unique_ptr<QFileDialog> MakeFileDialog(const FileDialogRequest& request, FileDialogKind kind,
                                            QWidget* parent);

}  // namespace vyr
