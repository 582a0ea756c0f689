#pragma once

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <string>

class QAction;
class QLabel;
class QToolBar;

namespace vyr {

class PreviewWidget;

// The main window: menu, toolbar and five-pane status bar around the view.
// It knows commands only by number; what they do is the view's business,
// except Exit and the two View toggles, which belong to the frame.
class CMainFrame final : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kStatusPaneCount = 5;
    static constexpr int kLoadStatePaneWidth = 100;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    PreviewWidget& View() { return *view_; }
    QToolBar& ToolBar() { return *toolBar_; }

    // Panes 0..4; pane 0 is the stretching message area.
    QLabel& StatusPane(int pane) { return *panes_.at(static_cast<std::size_t>(pane)); }
    void SetStatusPane(int pane, const QString& text);

    // The menu and toolbar entry of a command (one action serves both), or
    // null for a number the frame has no entry for.
    QAction* CommandAction(int command) const;

    // The caption: "document - VYR Player", or the bare title for no document.
    void SetDocumentTitle(const std::string& title);

    // Receives every command but Exit and the View toggles.
    std::function<void(int command)> onCommand;
    // Runs when the window is asked to close; true lets it close, which
    // happens once, false keeps it open.
    std::function<bool()> onClose;

protected:
    void closeEvent(QCloseEvent* event) override;
    QMenu* createPopupMenu() override;

private:
    QAction* ActionFor(int command, const QString& text);
    void BuildStatusBar();
    void BuildToolBar();
    void BuildMenus();
    void Dispatch(int command);

    PreviewWidget* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::array<QLabel*, kStatusPaneCount> panes_{};
    std::map<int, QAction*> actions_;
    bool closed_ = false;
};

}  // namespace vyr
