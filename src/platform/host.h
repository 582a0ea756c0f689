#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vyr {

class Canvas;

// What the open and save dialogs are asked for.
struct FileFilter {
    std::string text;     // "ILDA laser display files *.ild"
    std::string pattern;  // "*.ILD"
};

struct FileDialogRequest {
    std::string title;
    std::vector<FileFilter> filters;  // the first one is selected
    std::string defaultExtension;     // without the dot, e.g. "ILD"
    bool mustExist = true;            // open dialogs: the file must exist
};

enum class MessageIcon { kInformation, kError };

// A rectangle in screen coordinates (left, top inclusive; right, bottom exclusive).
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Everything the player needs from the window system it runs under: the
// status bar, message boxes, file dialogs, the document title, timers on the
// user-interface thread, posting work to that thread, the main window's
// placement and the preview surface. The desktop front end implements it with
// Qt widgets, the headless one with a virtual clock and a memory surface.
class Host {
public:
    virtual ~Host() = default;

    // Status bar panes 0..4.
    virtual void SetStatusPane(int pane, const std::string& text) = 0;
    // A message box with one OK button; returns when it has been answered.
    virtual void MessageBox(const std::string& text, MessageIcon icon) = 0;
    // The chosen path, or nothing when the operator cancelled.
    virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) = 0;
    virtual void SetDocumentTitle(const std::string& title) = 0;

    // Timers by numeric id: installing an id that runs restarts it with the new
    // period. The front end calls the view's timer handler with the id. Returns
    // false when the timer could not be installed.
    virtual bool SetTimer(int id, int milliseconds) = 0;
    virtual void KillTimer(int id) = 0;

    // Runs the work on the user-interface thread, later. Safe from any thread.
    virtual void PostToUiThread(std::function<void()> work) = 0;

    // The view's client area, where the form and the preview live, as a
    // drawing surface (the preview uses the part right of the form); null when
    // there is none.
    virtual Canvas* PreviewCanvas() = 0;

    // The main window's rectangle on the screen, read and set.
    virtual std::optional<ScreenRect> MainWindowRect() const = 0;
    virtual void MoveMainWindow(const ScreenRect& rect) = 0;
};

}  // namespace vyr
