// The window front end: the main frame's menus, toolbar and status bar, the
// Qt host and a whole start-up on the simulated DAC, on the offscreen platform.
#ifdef VYR_HAVE_DESKTOP

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QThread>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/log.h"
#include "app/main_window.h"
#include "desktop/desktop_main.h"
#include "desktop/desktop_player.h"
#include "desktop/preview_widget.h"
#include "platform/posix/shared_library_dlopen.h"
#include "support/riya_trace.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "vyr_qt_tests";
    static char* argv[] = {name, nullptr};
    // Kept for the whole run: Qt allows one application object per process.
    static QApplication* application = new QApplication(argc, argv);
    return *application;
}

const std::string kDemoPath = std::string(VYR_ASSETS_DIR) + "/demo.ild";

// One entry of a menu as the test expects it: a command and its text, or a
// separator (0, "").
using Entry = std::pair<int, std::string>;

std::vector<Entry> Entries(const QList<QAction*>& actions) {
    std::vector<Entry> entries;
    for (const QAction* action : actions) {
        if (action->isSeparator()) {
            entries.emplace_back(0, "");
        } else {
            entries.emplace_back(action->data().toInt(), action->text().toStdString());
        }
    }
    return entries;
}

int Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// Emits a host timer's tick as if its period had run out.
void Fire(const QTimer* timer) {
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(const_cast<QTimer*>(timer), "timeout", Qt::DirectConnection));
}

// A started player in a temporary home directory with the simulated DAC.
// File dialogs are answered with `dialogAnswer`, message boxes are collected.
class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        if (!test::RiyaSimEnvironment::Available()) GTEST_SKIP() << "the simulated DAC library was not built";
        workingDirectory_ = std::filesystem::current_path();
        home_ = std::make_unique<test::TempHome>();
        sim_ = std::make_unique<test::RiyaSimEnvironment>(*home_);
        libraries_ = MakePlayerLibraryLoader();
        player_ = std::make_unique<DesktopPlayer>(*libraries_, home_->Path().string());
        QtHost& host = player_->WindowHost();
        host.fileDialogOverride = [this](const FileDialogRequest& request, FileDialogKind kind) {
            requests.push_back(request);
            kinds.push_back(kind);
            if (onDialog) onDialog();
            return dialogAnswer;
        };
        host.messageBoxOverride = [this](const std::string& text, MessageIcon) { messages.push_back(text); };
        ASSERT_TRUE(player_->Start({}));
    }

    void TearDown() override {
        player_.reset();
        // The view works in its home directory; leave it before it goes.
        if (!workingDirectory_.empty()) std::filesystem::current_path(workingDirectory_);
        sim_.reset();
        home_.reset();
    }

    CMainFrame& Frame() { return player_->Frame(); }
    QtHost& Host() { return player_->WindowHost(); }
    COrbit3DView& View() { return *player_->View(); }
    QString Pane(int pane) { return Frame().StatusPane(pane).text(); }

    // Runs the start-up's second preview refresh, which places the window,
    // and what that placement set off; later event processing cannot move
    // the window any more.
    void CompletePlacement() {
        Fire(Host().Timer(3));
        QCoreApplication::processEvents();
    }

    void Trigger(int command) {
        QAction* action = Frame().CommandAction(command);
        ASSERT_NE(action, nullptr) << command;
        action->trigger();
    }

    std::vector<std::string> LogLines() const { return home_->LogLines(); }
    const test::TempHome& Home() const { return *home_; }

    std::optional<std::string> dialogAnswer;
    std::function<void()> onDialog;
    std::vector<FileDialogRequest> requests;
    std::vector<FileDialogKind> kinds;
    std::vector<std::string> messages;
    std::unique_ptr<DesktopPlayer> player_;

private:
    std::filesystem::path workingDirectory_;
    std::unique_ptr<test::TempHome> home_;
    std::unique_ptr<test::RiyaSimEnvironment> sim_;
    std::unique_ptr<SharedLibraryLoader> libraries_;
};

TEST_F(DesktopTest, MenuBarHoldsTheMenusEntriesAndSeparatorsInOrder) {
    const std::vector<std::pair<std::string, std::vector<Entry>>> expected = {
        {"&File",
         {{0, ""},
          {11, "Open &ILDA File"},
          {13, "Open &ABS File"},
          {15, "Open &TXT File"},
          {14, "Open &CTS File"},
          {12, "Open C&LV File"},
          {0, ""},
          {30000, "Close Track List"},
          {0, ""},
          {57665, "E&xit"}}},
        {"&View", {{59392, "&Toolbar"}, {59393, "&Status Bar"}}},
        {"&Options", {{32815, "Pre&ferences"}, {30320, "Select &Port"}}},
        {"&Help", {{57664, "About VYR Player..."}}},
    };
    std::vector<std::pair<std::string, std::vector<Entry>>> actual;
    for (const QAction* menu : Frame().menuBar()->actions()) {
        ASSERT_NE(menu->menu(), nullptr);
        actual.emplace_back(menu->text().toStdString(), Entries(menu->menu()->actions()));
    }
    EXPECT_EQ(actual, expected);

    for (int toggle : {59392, 59393}) {
        EXPECT_TRUE(Frame().CommandAction(toggle)->isCheckable()) << toggle;
        EXPECT_TRUE(Frame().CommandAction(toggle)->isChecked()) << toggle;
    }
}

TEST_F(DesktopTest, EntriesCarryTheirPromptsAndTheFileAndPlaybackKeys) {
    const std::vector<std::pair<int, std::string>> prompts = {
        {11, "Open an ILDA formatted file."},
        {12, "Open a VYR Player live control file."},
        {30000, "Stop the display and close the track list."},
        {32815, "Set program preference values."},
        {57665, "Quit the application; prompts to save documents"},
        {59392, "Show or hide the toolbar"},
        {59393, "Show or hide the status bar"},
    };
    for (const auto& [command, prompt] : prompts) {
        EXPECT_EQ(Frame().CommandAction(command)->statusTip().toStdString(), prompt) << command;
    }
    EXPECT_EQ(Frame().CommandAction(30000)->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(Frame().CommandAction(30001)->shortcut(), QKeySequence(QStringLiteral("Ctrl+G")));
    EXPECT_EQ(Frame().CommandAction(30002)->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    EXPECT_TRUE(Frame().CommandAction(11)->shortcut().isEmpty());
    // The keys work with the toolbar hidden, which takes its buttons' keys along.
    EXPECT_TRUE(Frame().actions().contains(Frame().CommandAction(30001)));
}

TEST_F(DesktopTest, ToolbarButtonsInOrderWithTheirTipsAndSize) {
    QToolBar& bar = Frame().ToolBar();
    std::vector<int> commands;
    for (const QAction* action : bar.actions()) commands.push_back(action->isSeparator() ? 0 : action->data().toInt());
    EXPECT_EQ(commands, (std::vector<int>{11, 13, 15, 14, 12, 0, 32816, 30000, 30002, 30001, 32817, 0, 57664}));
    EXPECT_EQ(bar.iconSize(), QSize(16, 15));
    EXPECT_EQ(Frame().toolBarArea(&bar), Qt::TopToolBarArea);
    for (const QAction* action : bar.actions()) {
        if (action->isSeparator()) continue;
        EXPECT_FALSE(action->icon().isNull()) << action->data().toInt();
    }
    const std::vector<std::pair<int, std::string>> tips = {
        {11, "Open an ILDA formatted file."},
        {32816, "Rewind to beginning of current CTS script."},
        {30002, "Pause the track display."},
        {30001, "Start playing the tracks."},
        {32817, "Record the display to an ILDA file."},
        {57664, "About VYR Player"},
    };
    for (const auto& [command, tip] : tips) {
        EXPECT_EQ(Frame().CommandAction(command)->toolTip().toStdString(), tip) << command;
    }
    EXPECT_EQ(Frame().CommandAction(59392)->toolTip().toStdString(), "Toggle ToolBar");
}

TEST_F(DesktopTest, StatusPanesAndCaptionAfterStartUp) {
    EXPECT_EQ(Pane(0), "Ready");
    EXPECT_EQ(Pane(1), "Okay");
    EXPECT_EQ(Pane(2), "PPS: 0");
    EXPECT_EQ(Pane(3), "MIDI: 0");
    EXPECT_EQ(Pane(4), " 00:00:00:00 ");
    EXPECT_EQ(Frame().StatusPane(1).width(), 100);
    const QFontMetrics metrics = Frame().StatusPane(2).fontMetrics();
    EXPECT_GE(Frame().StatusPane(2).width(), metrics.horizontalAdvance(QStringLiteral("PPS:              ")));
    EXPECT_GE(Frame().StatusPane(4).width(), metrics.horizontalAdvance(QStringLiteral(" 00:00:00:00 ")));
    EXPECT_EQ(Frame().windowTitle(), "VYR Player");
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_EQ(Frame().size(), QSize(610, 435));
    const std::vector<std::string> lines = LogLines();
    EXPECT_EQ(Count(lines, "Starting program VYR_Player from directory"), 1);
    EXPECT_EQ(Count(lines, "Device_RIYA::RiyaInit() - Device count = 1"), 1) << "the simulated DAC was found";
    EXPECT_TRUE(messages.empty());
}

TEST_F(DesktopTest, PointingAtAnEntryShowsItsPromptAndLeavingGoesBackToReady) {
    QStatusBar* bar = Frame().statusBar();
    Frame().CommandAction(11)->showStatusText(&Frame());
    EXPECT_EQ(bar->currentMessage(), "Open an ILDA formatted file.");
    QStatusTipEvent leave{QString()};
    QCoreApplication::sendEvent(&Frame(), &leave);
    EXPECT_TRUE(bar->currentMessage().isEmpty());
    EXPECT_EQ(Pane(0), "Ready");

    // A command that is not there yet says so in pane 0, until the next prompt.
    Trigger(32815);
    EXPECT_EQ(Pane(0), "Set program preference values. Not available yet.");
    Frame().CommandAction(30001)->showStatusText(&Frame());
    EXPECT_EQ(bar->currentMessage(), "Start playing the tracks.");
    QCoreApplication::sendEvent(&Frame(), &leave);
    EXPECT_EQ(Pane(0), "Ready");
}

TEST_F(DesktopTest, OpeningAnIldaFileArmsTheTrackAndTitlesTheWindow) {
    dialogAnswer = kDemoPath;
    Trigger(11);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(kinds[0], FileDialogKind::kOpen);
    EXPECT_EQ(requests[0].title, "Open ILDA File");
    ASSERT_EQ(requests[0].filters.size(), 2u);
    EXPECT_EQ(requests[0].filters[0].text, "ILDA laser display files *.ild");
    EXPECT_EQ(requests[0].filters[0].pattern, "*.ILD");
    EXPECT_TRUE(requests[0].mustExist);

    ASSERT_EQ(View().tracks().count, 1);
    EXPECT_TRUE(View().tracks().GetTrack(1)->settings.Armed());
    EXPECT_EQ(Frame().windowTitle().toStdString(), kDemoPath + " - VYR Player");
    EXPECT_EQ(Pane(1), "Okay");
    EXPECT_TRUE(messages.empty());

    // Close Track List, the Ctrl+S command, takes the file name off the caption.
    Trigger(30000);
    EXPECT_EQ(View().tracks().count, 0);
    EXPECT_EQ(Frame().windowTitle(), "VYR Player");
}

TEST_F(DesktopTest, CancellingTheOpenDialogOnlyLogs) {
    dialogAnswer.reset();
    Trigger(11);
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_EQ(Count(LogLines(), "OnOpenIldaFile(): GetOpenFileName() failed."), 1);
    EXPECT_EQ(View().tracks().count, 0);
    EXPECT_EQ(Frame().windowTitle(), "VYR Player");
    EXPECT_EQ(Pane(1), "Okay");
    EXPECT_TRUE(messages.empty());
}

TEST_F(DesktopTest, AFileThatIsNoIldaFileIsReportedInAMessageBox) {
    const std::string path = Home().File("broken.ild");
    test::WriteFileBytes(path, "not an ILDA file");
    dialogAnswer = path;
    Trigger(11);
    EXPECT_EQ(messages, (std::vector<std::string>{"OnOpenIldaFile(): Unable to open or read ILDA file."}));
    EXPECT_EQ(View().tracks().count, 0);
    EXPECT_EQ(Pane(1), "Okay");
}

TEST_F(DesktopTest, PlayAndPauseInstallAndRemoveTheTimers) {
    Trigger(30001);
    const QTimer* display = Host().Timer(1);
    ASSERT_NE(display, nullptr);
    EXPECT_TRUE(display->isActive());
    EXPECT_EQ(display->interval(), View().settings().FRAME_DISPLAY_TIMER_VALUE);
    EXPECT_EQ(display->timerType(), Qt::PreciseTimer);
    ASSERT_NE(Host().Timer(2), nullptr);
    EXPECT_TRUE(Host().Timer(2)->isActive());
    EXPECT_EQ(Host().Timer(2)->interval(), 500);
    ASSERT_NE(Host().Timer(4), nullptr);
    EXPECT_TRUE(Host().Timer(4)->isActive());
    EXPECT_EQ(Host().Timer(4)->interval(), 10);

    // Installing a running id again restarts it with the new period.
    EXPECT_TRUE(Host().SetTimer(1, 40));
    EXPECT_EQ(Host().Timer(1), display);
    EXPECT_EQ(display->interval(), 40);
    EXPECT_TRUE(display->isActive());

    Trigger(30002);
    for (int id : {1, 2, 4}) EXPECT_FALSE(Host().Timer(id)->isActive()) << id;
}

TEST_F(DesktopTest, TicksDrawThePreviewAndRunTheClock) {
    dialogAnswer = kDemoPath;
    Trigger(11);
    Trigger(30001);
    const QImageCanvas& canvas = Frame().View().Surface();
    ASSERT_EQ(canvas.Width(), Frame().View().width());
    ASSERT_GT(canvas.Width(), View().settings().LEFT_PREVIEW_EDGE + 20);

    auto litPixels = [&] {
        const QImage image = canvas.Image();
        int lit = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = View().settings().LEFT_PREVIEW_EDGE; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y) & 0xFFFFFFu;
                lit += p != 0x050505u && p != 0u ? 1 : 0;
            }
        }
        return lit;
    };
    EXPECT_EQ(litPixels(), 0);
    // The first track fades in: within a few ticks it shows.
    for (int tick = 0; tick < 100 && litPixels() == 0; ++tick) Fire(Host().Timer(1));
    EXPECT_GT(litPixels(), 0);

    Fire(Host().Timer(4));
    EXPECT_EQ(Pane(4), " 00:00:00:01 ");
}

TEST_F(DesktopTest, SecondPreviewRefreshMovesTheWindowToTheStoredRectangle) {
    const ScreenRect before = *Host().MainWindowRect();
    EXPECT_EQ(before.right - before.left, Frame().frameGeometry().width());
    EXPECT_EQ(Frame().width(), 610);
    // The repaint at start-up was the first refresh; the clean-up 10 ms later is the second.
    Fire(Host().Timer(3));
    EXPECT_FALSE(Host().Timer(3)->isActive()) << "the clean-up fires once";
    QCoreApplication::processEvents();
    const ScreenRect placed = *Host().MainWindowRect();
    EXPECT_EQ(placed.left, 20);
    EXPECT_EQ(placed.top, 20);
    EXPECT_EQ(placed.right, 684);
    EXPECT_EQ(placed.bottom, 508);

    // Only once: a later refresh leaves a moved window where it is.
    Frame().move(40, 30);
    QCoreApplication::processEvents();
    Trigger(30000);
    EXPECT_EQ(Host().MainWindowRect()->left, 40);
}

TEST_F(DesktopTest, ARectangleOffEveryScreenLandsOnThePrimaryScreen) {
    CompletePlacement();
    Host().MoveMainWindow(ScreenRect{50000, 40000, 50400, 40300});
    QCoreApplication::processEvents();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const ScreenRect rect = *Host().MainWindowRect();
    EXPECT_EQ(rect.left, screen.left());
    EXPECT_EQ(rect.top, screen.top());
    EXPECT_EQ(rect.right - rect.left, 400);
    EXPECT_EQ(rect.bottom - rect.top, 300);
}

TEST_F(DesktopTest, ResizingTheWindowResizesTheSurfaceAndRepaints) {
    CompletePlacement();
    Frame().resize(720, 520);
    QCoreApplication::processEvents();
    const QImageCanvas& canvas = Frame().View().Surface();
    EXPECT_EQ(canvas.Width(), 720) << "the view spans the window";
    EXPECT_EQ(canvas.Height(), Frame().View().height());
    // The repaint clears the preview to its background.
    const int x = View().settings().LEFT_PREVIEW_EDGE + 10;
    EXPECT_EQ(canvas.Image().pixel(x, 10) & 0xFFFFFFu, 0x050505u);
    EXPECT_EQ(canvas.Image().pixel(5, 10) & 0xFFFFFFu, 0u) << "left of the preview stays background";
}

TEST_F(DesktopTest, ViewTogglesShowAndHideTheBars) {
    Trigger(59393);
    EXPECT_TRUE(Frame().statusBar()->isHidden());
    EXPECT_FALSE(Frame().CommandAction(59393)->isChecked());
    Trigger(59393);
    EXPECT_FALSE(Frame().statusBar()->isHidden());

    Trigger(59392);
    EXPECT_TRUE(Frame().ToolBar().isHidden());
    EXPECT_FALSE(Frame().CommandAction(59392)->isChecked());
    Frame().ToolBar().show();
    EXPECT_TRUE(Frame().CommandAction(59392)->isChecked()) << "the check mark follows the bar";
}

TEST_F(DesktopTest, ExitClosesTheWindowAndShutsTheViewDownOnce) {
    Trigger(57665);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_EQ(player_->View(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(Home().File("VYR_Player.ini")));
    Frame().close();
    Trigger(30001);  // nothing is left to receive it
    player_.reset();
    EXPECT_EQ(Count(LogLines(), "Terminating program VYR_Player..."), 1);
}

TEST_F(DesktopTest, ACloseDuringADialogWaitsForTheCommandToReturn) {
    dialogAnswer = kDemoPath;
    onDialog = [this] {
        Frame().close();
        EXPECT_NE(player_->View(), nullptr) << "the view is still inside its command";
    };
    Trigger(11);
    ASSERT_NE(player_->View(), nullptr);
    EXPECT_EQ(player_->View()->tracks().count, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(player_->View(), nullptr);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_EQ(Count(LogLines(), "Terminating program VYR_Player..."), 1);
}

TEST_F(DesktopTest, WorkPostedFromAnotherThreadRunsLaterOnTheWindowThread) {
    QThread* ranOn = nullptr;
    std::thread poster([&] { Host().PostToUiThread([&] { ranOn = QThread::currentThread(); }); });
    poster.join();
    EXPECT_EQ(ranOn, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(ranOn, Frame().thread());
}

TEST(QtHostDialogs, FiltersMatchBothCasesAndTheDialogIsSetUpFromTheRequest) {
    App();
    const FileDialogRequest request = OpenDialogFor(kCmdOpenIlda);
    const QStringList filters = NameFilters(request);
    EXPECT_EQ(filters, (QStringList{"ILDA laser display files *.ild (*.ild *.ILD)", "All Files *.* (*)"}));

    const std::unique_ptr<QFileDialog> open = MakeFileDialog(request, FileDialogKind::kOpen, nullptr);
    EXPECT_EQ(open->windowTitle(), "Open ILDA File");
    EXPECT_EQ(open->nameFilters(), filters);
    EXPECT_EQ(open->selectedNameFilter(), filters.front());
    EXPECT_EQ(open->defaultSuffix(), "ild");
    EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);

    FileDialogRequest save{"Record to ILDA File", {{"ILDA files", "*.ild;*.ILDA"}}, "ILD", false};
    EXPECT_EQ(NameFilters(save), QStringList{"ILDA files (*.ild *.ILD *.ilda *.ILDA)"});
    const std::unique_ptr<QFileDialog> saving = MakeFileDialog(save, FileDialogKind::kSave, nullptr);
    EXPECT_EQ(saving->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(saving->fileMode(), QFileDialog::AnyFile);
}

// Restores the display variables a test changes.
class DisplayEnvironment {
public:
    DisplayEnvironment() {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~DisplayEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name, value->c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
    }
    void Set(const char* display, const char* wayland, const char* platform) {
        const char* values[] = {display, wayland, platform};
        for (int i = 0; i < 3; ++i) {
            if (values[i]) {
                setenv(kNames[i], values[i], 1);
            } else {
                unsetenv(kNames[i]);
            }
        }
    }

private:
    static constexpr const char* kNames[3] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(DesktopStart, WithoutADisplayTheWindowIsNotTriedAndTheRunEndsWithStatusTwo) {
    struct Case {
        const char* display;
        const char* wayland;
        const char* platform;
        bool available;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, false}, {"", "", "", false},       {":0", nullptr, nullptr, true},
        {nullptr, "wayland-0", nullptr, true}, {nullptr, nullptr, "offscreen", true},
    };
    DisplayEnvironment environment;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.display ? c.display : "-") + " " + (c.wayland ? c.wayland : "-") + " " +
                     (c.platform ? c.platform : "-"));
        environment.Set(c.display, c.wayland, c.platform);
        EXPECT_EQ(DisplayAvailable(), c.available);
    }
    environment.Set(nullptr, nullptr, nullptr);
    char name[] = "vyr-player";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(RunDesktop(FrontEndOptions{}, {}, 1, argv), 2);
}

}  // namespace
}  // namespace vyr

#endif  // VYR_HAVE_DESKTOP
