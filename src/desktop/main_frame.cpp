#include "desktop/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include "app/main_window.h"
#include "desktop/preview_widget.h"
#include "desktop/qt_text.h"
#include "desktop/toolbar_icons.h"

namespace vyr {

namespace {

// The status-bar prompt of a command: its text up to the '\n'.
QString StatusTip(int command) {
    const std::string_view prompt = CommandPrompt(command);
    return ToQString(prompt.substr(0, prompt.find('\n')));
}

// The tool tip: the text after the '\n', else the whole prompt, else the
// entry's own text without its mnemonic and dots.
QString ToolTip(int command, const QString& text) {
    const std::string_view prompt = CommandPrompt(command);
    const std::size_t newline = prompt.find('\n');
    if (newline != std::string_view::npos) return ToQString(prompt.substr(newline + 1));
    if (!prompt.empty()) return ToQString(prompt);
    QString plain = text;
    plain.remove('&');
    while (plain.endsWith('.')) plain.chop(1);
    return plain;
}

// The keys that belong to the file and playback commands.
QKeySequence Shortcut(int command) {
    switch (command) {
        case kCmdCloseTrackList: return QKeySequence(Qt::CTRL | Qt::Key_S);
        case kCmdPlay: return QKeySequence(Qt::CTRL | Qt::Key_G);
        case kCmdPause: return QKeySequence(Qt::CTRL | Qt::Key_P);
        default: return QKeySequence();
    }
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    view_ = new PreviewWidget(this);
    setCentralWidget(view_);
    // Focus given to the frame passes on to the view.
    setFocusProxy(view_);
    BuildStatusBar();
    BuildToolBar();
    BuildMenus();
    SetDocumentTitle("");
    resize(kMainFrameWidth, kMainFrameHeight);
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::ActionFor(int command, const QString& text) {
    if (QAction* existing = CommandAction(command)) return existing;
    QAction* action = new QAction(text, this);
    action->setData(command);
    action->setStatusTip(StatusTip(command));
    action->setToolTip(ToolTip(command, text));
    action->setIcon(ToolbarIcon(command));
    action->setIconVisibleInMenu(false);
    if (const QKeySequence keys = Shortcut(command); !keys.isEmpty()) {
        action->setShortcut(keys);
        // Keys work while the toolbar is hidden too.
        addAction(action);
    }
    connect(action, &QAction::triggered, this, [this, command] { Dispatch(command); });
    actions_[command] = action;
    return action;
}

QAction* CMainFrame::CommandAction(int command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    for (int pane = 0; pane < kStatusPaneCount; ++pane) {
        QLabel* label = new QLabel(bar);
        panes_[static_cast<std::size_t>(pane)] = label;
        if (pane == 0) {
            label->setText(ToQString(kIdlePrompt));
            bar->addWidget(label, 1);
            continue;
        }
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        const QString sizing = ToQString(kStatusPaneSizing[static_cast<std::size_t>(pane)]);
        const int margins = 2 * label->frameWidth() + label->margin() * 2 + 4;
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(sizing) + margins);
        bar->addPermanentWidget(label);
    }
    panes_[1]->setMinimumWidth(kLoadStatePaneWidth);
    panes_[1]->setMaximumWidth(kLoadStatePaneWidth);
    // A prompt covers pane 0 while a menu entry or button is pointed at;
    // afterwards the bar goes back to idle, as it does after any prompt.
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (!message.isEmpty()) panes_[0]->setText(ToQString(kIdlePrompt));
    });
}

void CMainFrame::SetStatusPane(int pane, const QString& text) {
    if (pane < 0 || pane >= kStatusPaneCount) return;
    panes_[static_cast<std::size_t>(pane)]->setText(text);
}

void CMainFrame::BuildToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("mainToolBar"));
    toolBar_->setIconSize(kToolbarIconSize);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    addToolBar(Qt::TopToolBarArea, toolBar_);
    for (int command : ToolbarCommands()) {
        if (command == 0) {
            toolBar_->addSeparator();
            continue;
        }
        // Buttons without a menu entry are named by their prompt.
        toolBar_->addAction(ActionFor(command, ToolTip(command, QString())));
    }
}

void CMainFrame::BuildMenus() {
    for (const Menu& menu : MainMenu()) {
        QMenu* qmenu = menuBar()->addMenu(ToQString(menu.title));
        // The File menu opens with a separator, which Qt would otherwise drop.
        qmenu->setSeparatorsCollapsible(false);
        for (int i = 0; i < menu.count; ++i) {
            const MenuEntry& entry = menu.entries[i];
            if (entry.command == 0) {
                qmenu->addSeparator();
                continue;
            }
            const QString text = ToQString(entry.text);
            QAction* action = nullptr;
            if (entry.command == kCmdViewToolbar) {
                // The toolbar's own toggle stays right however the bar is shown or hidden.
                action = toolBar_->toggleViewAction();
                action->setText(text);
                action->setData(entry.command);
                action->setStatusTip(StatusTip(entry.command));
                action->setToolTip(ToolTip(entry.command, text));
                actions_[entry.command] = action;
            } else if (entry.command == kCmdViewStatusBar) {
                action = ActionFor(entry.command, text);
                action->setCheckable(true);
                action->setChecked(true);
                connect(action, &QAction::toggled, statusBar(), &QWidget::setVisible);
            } else {
                action = ActionFor(entry.command, text);
                // A toolbar-first action keeps the menu's wording in the menu.
                action->setText(text);
            }
            qmenu->addAction(action);
        }
    }
}

void CMainFrame::Dispatch(int command) {
    switch (command) {
        case kCmdExit: close(); break;
        case kCmdViewToolbar:
        case kCmdViewStatusBar: break;  // checkable: the toggle itself shows or hides the bar
        default:
            if (onCommand) onCommand(command);
            break;
    }
}

QMenu* CMainFrame::createPopupMenu() {
    // The bars' context menu offers the View toggles, the same actions.
    QMenu* menu = new QMenu(this);
    menu->addAction(CommandAction(kCmdViewToolbar));
    menu->addAction(CommandAction(kCmdViewStatusBar));
    return menu;
}

void CMainFrame::SetDocumentTitle(const std::string& title) {
    const QString application = ToQString(kApplicationTitle);
    setWindowTitle(title.empty() ? application : QString::fromStdString(title) + QStringLiteral(" - ") + application);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!closed_ && onClose && !onClose()) {
        event->ignore();
        return;
    }
    closed_ = true;
    event->accept();
}

}  // namespace vyr
