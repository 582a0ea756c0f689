#include "app/orbit3d_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/application.h"
#include "app/config_file.h"
#include "app/main_window.h"
#include "platform/posix/shared_library_dlopen.h"
#include "render/palettes.h"
#include "support/fake_host.h"
#include "support/ilda_bytes.h"
#include "support/riya_trace.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

using test::FakeHost;

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A started player in a temporary home with the simulated DAC.
class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::RiyaSimEnvironment::Available()) GTEST_SKIP() << "simulated DAC library not built";
        riya_ = std::make_unique<test::RiyaSimEnvironment>(home_);
        libraries_ = MakePlayerLibraryLoader();
    }

    void Start(const std::vector<std::string>& words = {}) {
        app_ = std::make_unique<Application>(host_, *libraries_, nullptr, home_.Path().string());
        ASSERT_TRUE(app_->Start(words));
        view_ = app_->View();
    }

    // A configuration file with the given changes from the defaults.
    void Configure(void (*change)(Settings&)) {
        Settings settings;
        change(settings);
        ASSERT_TRUE(WriteConfiguration(home_.File(kConfigurationFileName), settings));
    }

    std::string WriteShow(const std::string& name, const std::string& bytes) {
        const std::string path = home_.File(name);
        test::WriteFileBytes(path, bytes);
        return path;
    }

    void Open(int command, const std::string& path) {
        host_.answers.push_back(path);
        ASSERT_TRUE(view_->OnCommand(command));
    }

    test::TempHome home_;
    std::unique_ptr<test::RiyaSimEnvironment> riya_;
    std::unique_ptr<SharedLibraryLoader> libraries_;
    FakeHost host_;
    std::unique_ptr<Application> app_;
    COrbit3DView* view_ = nullptr;
};

TEST_F(ViewTest, StartUpShowsTheStatusPanesAndInstallsOnlyTheCleanUpTimer) {
    Start();
    EXPECT_EQ(host_.panes[1], "Okay");
    EXPECT_EQ(host_.panes[2], "PPS: 0");
    EXPECT_EQ(host_.panes[3], "MIDI: 0");
    EXPECT_EQ(host_.panes[4], " 00:00:00:00 ");
    EXPECT_EQ(host_.title, "");
    EXPECT_EQ(host_.timers, (std::map<int, int>{{3, 10}}));
}

TEST_F(ViewTest, FirstFileIsArmedAndFadesInSecondGoesToSlotTwoUnarmed) {
    Configure([](Settings& s) { s.NUMBER_FADE_IN_FRAMES = 4; });
    Start();
    const std::string first = WriteShow("first.ild", test::SquareIlda(3));
    Open(kCmdOpenIlda, first);
    ASSERT_EQ(host_.dialogs.size(), 1u);
    EXPECT_EQ(host_.dialogs[0].title, "Open ILDA File");
    EXPECT_EQ(host_.dialogs[0].defaultExtension, "ILD");
    EXPECT_EQ(host_.dialogs[0].filters[0].pattern, "*.ILD");
    EXPECT_EQ(host_.title, first);
    EXPECT_EQ(host_.panes[1], "Okay");

    const Track* track = view_->tracks().GetTrack(1);
    ASSERT_NE(track, nullptr);
    EXPECT_TRUE(track->settings.Armed());
    EXPECT_EQ(view_->form().trackArm[0], 1);
    EXPECT_EQ(view_->form().trackDisplay[0], 1);
    EXPECT_EQ(track->manipulation.code, kCommandFade);
    EXPECT_EQ(track->manipulation.frameCount, 4);

    view_->OnDisplayPlay();
    std::vector<float> factors;
    for (int tick = 0; tick < 5; ++tick) {
        view_->OnTimer(1);
        factors.push_back(view_->tracks().GetTrack(1)->settings.colorFactor);
    }
    EXPECT_FLOAT_EQ(factors[0], 0.25f);
    EXPECT_FLOAT_EQ(factors[1], 0.5f);
    EXPECT_FLOAT_EQ(factors[3], 1.0f);
    EXPECT_FLOAT_EQ(factors[4], 1.0f);

    Open(kCmdOpenIlda, WriteShow("second.ild", test::SquareIlda()));
    const Track* second = view_->tracks().GetTrack(2);
    ASSERT_NE(second, nullptr);
    // Not armed, on the form and in the track, until the operator arms it.
    EXPECT_FALSE(second->settings.Armed());
    EXPECT_EQ(view_->form().trackArm[1], 0);
    EXPECT_EQ(view_->form().trackDisplay[1], 0);
    EXPECT_FLOAT_EQ(second->settings.colorFactor, 0.0f);
    EXPECT_EQ(view_->form().focus, 1);
    EXPECT_EQ(second->manipulation.code, kCommandNone);
}

TEST_F(ViewTest, AFifthFileIsReadAndDropped) {
    Start();
    const std::string path = WriteShow("show.ild", test::SquareIlda());
    for (int i = 0; i < 4; ++i) Open(kCmdOpenIlda, path);
    std::array<const Track*, 4> before{};
    for (int slot = 1; slot <= 4; ++slot) before[slot - 1] = view_->tracks().GetTrack(slot);
    Open(kCmdOpenIlda, path);
    EXPECT_EQ(view_->tracks().count, 4);
    for (int slot = 1; slot <= 4; ++slot) EXPECT_EQ(view_->tracks().GetTrack(slot), before[slot - 1]);
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_EQ(host_.panes[1], "Okay");
}

TEST_F(ViewTest, BadFilesAreReportedAndChangeNothing) {
    Start();
    Open(kCmdOpenIlda, WriteShow("good.ild", test::SquareIlda()));
    struct Case {
        int command;
        std::string path;
        const char* message;
    };
    const Case cases[] = {
        {kCmdOpenIlda, home_.File("missing.ild"), "OnOpenIldaFile(): Unable to open or read ILDA file."},
        {kCmdOpenIlda, WriteShow("empty.ild", ""), "OnOpenIldaFile(): Unable to open or read ILDA file."},
        {kCmdOpenIlda, WriteShow("junk.ild", "ILDX not an ILDA file at all"),
         "OnOpenIldaFile(): Unable to open or read ILDA file."},
        {kCmdOpenIlda, WriteShow("cut.ild", test::SquareIlda().substr(0, 40)),
         "OnOpenIldaFile(): Unable to open or read ILDA file."},
        {kCmdOpenCts, home_.File("missing.cts"), "OnOpenCtsFile(): failed to open file for reading."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        host_.messages.clear();
        const Track* slot1 = view_->tracks().GetTrack(1);
        Open(c.command, c.path);
        EXPECT_EQ(host_.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(view_->tracks().count, 1);
        EXPECT_EQ(view_->tracks().GetTrack(1), slot1);
        EXPECT_EQ(host_.panes[1], "Okay");
    }
}

TEST_F(ViewTest, CancelledDialogsAreLoggedPerCommand) {
    Start();
    const std::pair<int, const char*> cases[] = {
        {kCmdOpenIlda, "OnOpenIldaFile(): GetOpenFileName() failed."},
        {kCmdOpenCts, "OnOpenCtsFile(): GetOpenFileName() failed."},
    };
    for (const auto& [command, line] : cases) {
        ASSERT_TRUE(view_->OnCommand(command));
        EXPECT_TRUE(HasLine(home_.LogLines(), line)) << line;
    }
    EXPECT_EQ(view_->tracks().count, 0);
    EXPECT_EQ(host_.title, "");
}

TEST_F(ViewTest, TextFilesNeedTheDefaultFont) {
    Start();
    EXPECT_TRUE(HasLine(home_.LogLines(), "Unable to successfully read in font file " + home_.File("default_font.ild")));
    ASSERT_TRUE(view_->OnCommand(kCmdOpenText));
    EXPECT_TRUE(host_.dialogs.empty());
    EXPECT_EQ(host_.messages, std::vector<std::string>{"Font not properly initialized; scrolling text is disabled."});
    EXPECT_TRUE(HasLine(home_.LogLines(), "Font not properly initialized; scrolling text is disabled."));
    EXPECT_EQ(view_->tracks().count, 0);
}

TEST_F(ViewTest, ATextFileBecomesAScrollingTextTrack) {
    std::filesystem::copy_file(std::string(VYR_ASSETS_DIR) + "/default_font.ild", home_.File("default_font.ild"));
    Start();
    Open(kCmdOpenText, WriteShow("hello.txt", "Hello\n"));
    ASSERT_EQ(host_.dialogs.size(), 1u);
    EXPECT_EQ(host_.dialogs[0].title, "Open Text File");
    const Track* track = view_->tracks().GetTrack(1);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->trackType, kTrackTextScroll);
    EXPECT_EQ(host_.title, home_.File("hello.txt"));
    EXPECT_EQ(view_->form().trackArm[0], 1);

    host_.messages.clear();
    Open(kCmdOpenText, home_.File("missing.txt"));
    EXPECT_EQ(host_.messages, std::vector<std::string>{"OnOpenTextFile(): failed to open file for reading."});
    EXPECT_EQ(view_->tracks().count, 1);
}

TEST_F(ViewTest, AnAbstractFileBecomesAPatternTrack) {
    Start();
    Open(kCmdOpenAbs, std::string(VYR_ASSETS_DIR) + "/demo.abs");
    ASSERT_EQ(host_.dialogs.size(), 1u);
    EXPECT_EQ(host_.dialogs[0].title, "Open ABS File");
    const Track* track = view_->tracks().GetTrack(1);
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->trackType, kTrackAbstract);
    EXPECT_EQ(PaletteNumberOf(track->settings.palette), kPaletteLaserIllusions);
    EXPECT_EQ(host_.title, std::string(VYR_ASSETS_DIR) + "/demo.abs");

    for (const std::string& bad : {home_.File("missing.abs"), WriteShow("junk.abs", "12 nonsense\n")}) {
        host_.messages.clear();
        Open(kCmdOpenAbs, bad);
        EXPECT_EQ(host_.messages,
                  std::vector<std::string>{"OnOpenAbsFile(): Unable to correctly initialize Abstract object."});
        EXPECT_EQ(view_->tracks().count, 1);
    }
}

TEST_F(ViewTest, ClockRunsWhilePlayingSurvivesPauseAndIsResetByClose) {
    Start();
    Open(kCmdOpenIlda, WriteShow("show.ild", test::SquareIlda()));
    ASSERT_TRUE(view_->OnCommand(kCmdPlay));
    EXPECT_EQ(host_.timers.at(1), 100);
    EXPECT_EQ(host_.timers.at(2), 500);
    EXPECT_EQ(host_.timers.at(4), 10);
    EXPECT_EQ(view_->loop().playing, 1);

    for (int i = 0; i < 6000; ++i) view_->OnTimer(4);
    EXPECT_EQ(host_.panes[4], " 00:01:00:00 ");

    const std::size_t framesBefore = test::CallsOf(riya_->Trace(), "RiSetShowCadr").size();
    ASSERT_TRUE(view_->OnCommand(kCmdPause));
    EXPECT_FALSE(host_.Running(1) || host_.Running(2) || host_.Running(4));
    // Pause darkens the DAC with one blank point.
    const auto frames = test::CallsOf(riya_->Trace(), "RiSetShowCadr");
    ASSERT_EQ(frames.size(), framesBefore + 1);
    EXPECT_EQ(frames.back().points, (std::vector<std::array<int, 6>>{{2048, 2048, 0, 0, 0, 0}}));
    EXPECT_EQ(view_->loop().playing, 0);
    EXPECT_EQ(host_.panes[2], "PPS: 0");

    ASSERT_TRUE(view_->OnCommand(kCmdPlay));
    view_->OnTimer(4);
    EXPECT_EQ(host_.panes[4], " 00:01:00:01 ");

    ASSERT_TRUE(view_->OnCommand(kCmdCloseTrackList));
    EXPECT_EQ(host_.panes[4], " 00:00:00:00 ");
    EXPECT_EQ(view_->tracks().count, 0);
    EXPECT_EQ(view_->tracks().GetTrack(1), nullptr);
    EXPECT_EQ(host_.title, "");
    EXPECT_FALSE(host_.Running(1));
    EXPECT_TRUE(HasLine(home_.LogLines(), "Entering OnFileClosetracklist()"));
}

TEST_F(ViewTest, ClockShowsHoursMinutesSecondsAndHundredths) {
    EXPECT_EQ(ElapsedText(0), " 00:00:00:00 ");
    EXPECT_EQ(ElapsedText(6000), " 00:01:00:00 ");
    EXPECT_EQ(ElapsedText(360000), " 01:00:00:00 ");
    EXPECT_EQ(ElapsedText(360000 + 6000 * 59 + 100 * 59 + 99), " 01:59:59:99 ");
}

TEST_F(ViewTest, RateReportShowsTwiceTheSegmentsOfHalfASecond) {
    Configure([](Settings& s) { s.DISPLAY_LASER = 1; });
    Start();
    Open(kCmdOpenIlda, WriteShow("show.ild", test::SquareIlda()));
    view_->OnDisplayPlay();
    view_->OnTimer(1);
    view_->OnTimer(1);
    view_->OnTimer(2);
    // Two ticks of a five-point frame: four segments and the closing call each.
    EXPECT_EQ(host_.panes[2], "PPS: 20");
    view_->OnTimer(2);
    EXPECT_EQ(host_.panes[2], "PPS: 0");
}

TEST_F(ViewTest, FailedDisplayTimerIsReportedAndNothingPlays) {
    Start();
    host_.failTimers = true;
    view_->OnDisplayPlay();
    EXPECT_EQ(host_.messages, std::vector<std::string>{"OnDisplayPlay(): Can't install DISPLAY_TIMER."});
    EXPECT_EQ(view_->loop().playing, 0);
}

TEST_F(ViewTest, ARepaintClearsThePreviewAndArmsTheCleanUpTimer) {
    Start();
    host_.timers.clear();
    host_.canvas.Clear();
    view_->OnPaint();
    EXPECT_EQ(host_.canvas.Count("fill"), 1);
    EXPECT_TRUE(host_.Running(3));
    view_->OnTimer(3);
    EXPECT_EQ(host_.canvas.Count("fill"), 2);
    EXPECT_FALSE(host_.Running(3));
}

TEST_F(ViewTest, TheStoredWindowPlacementIsAppliedAtTheSecondPreviewRefreshOnly) {
    Configure([](Settings& s) {
        s.MAIN_WINDOW_LEFT = 40;
        s.MAIN_WINDOW_TOP = 50;
        s.MAIN_WINDOW_RIGHT = 700;
        s.MAIN_WINDOW_BOTTOM = 560;
    });
    Start();
    view_->OnPaint();
    EXPECT_EQ(host_.moves, 0);
    view_->OnPaint();
    ASSERT_EQ(host_.moves, 1);
    EXPECT_EQ(host_.windowRect->left, 40);
    EXPECT_EQ(host_.windowRect->bottom, 560);
    view_->OnPaint();
    EXPECT_EQ(host_.moves, 1);
}

TEST_F(ViewTest, AnOpenedScriptTakesTheTickFromTheTracks) {
    Configure([](Settings& s) { s.DISPLAY_LASER = 1; });
    Start();
    Open(kCmdOpenIlda, WriteShow("show.ild", test::SquareIlda()));
    Open(kCmdOpenCts, WriteShow("show.cts", "VYR_Player script\r\n"));
    EXPECT_EQ(host_.title, home_.File("show.cts"));
    view_->OnDisplayPlay();
    view_->OnTimer(1);
    view_->OnTimer(2);
    // The script had the tick; no track was drawn.
    EXPECT_EQ(host_.panes[2], "PPS: 0");
}

}  // namespace
}  // namespace vyr
