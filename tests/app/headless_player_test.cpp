// The real player binary, run headless in a temporary home directory.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/ilda_bytes.h"
#include "support/riya_trace.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

#ifdef VYR_PLAYER_PATH

struct PlayerRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::ptrdiff_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
    const auto it = std::find(lines.begin(), lines.end(), line);
    return it == lines.end() ? -1 : it - lines.begin();
}

class HeadlessPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::RiyaSimEnvironment::Available()) GTEST_SKIP() << "simulated DAC library not built";
        // The player's home is a folder of its own: the test process keeps its
        // own log in the temporary directory itself.
        home_ = temp_.File("home");
        std::filesystem::create_directory(home_);
        riya_ = std::make_unique<test::RiyaSimEnvironment>(temp_);
    }

    std::string HomeFile(const std::string& name) const { return home_ + "/" + name; }

    PlayerRun Play(const std::string& arguments, const std::string& workingDirectory = "/") {
        const std::string out = temp_.File("stdout.txt");
        const std::string err = temp_.File("stderr.txt");
        const std::string command = "cd '" + workingDirectory + "' && VYR_PLAYER_HOME='" + home_ + "' '" + VYR_PLAYER_PATH + "' --headless " +
                                    arguments + " >'" + out + "' 2>'" + err + "'";
        const int raw = std::system(command.c_str());
        PlayerRun run;
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = test::ReadFileBytes(out);
        run.err = test::ReadFileBytes(err);
        return run;
    }

    std::vector<std::string> Log() const { return test::CrLfLines(test::ReadFileBytes(HomeFile("VYR_Player_log.txt"))); }

    // The configuration file written at the last shutdown, key by key.
    std::map<std::string, std::string> Config() const {
        std::map<std::string, std::string> values;
        for (const std::string& line : test::CrLfLines(test::ReadFileBytes(HomeFile("VYR_Player.ini")))) {
            const std::size_t eq = line.find('=');
            if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
        }
        return values;
    }

    void SetConfig(const std::string& key, const std::string& value) {
        std::string text = test::ReadFileBytes(HomeFile("VYR_Player.ini"));
        const std::size_t at = text.find("\r\n" + key + "=");
        ASSERT_NE(at, std::string::npos) << key;
        const std::size_t end = text.find("\r\n", at + 2);
        text.replace(at + 2, end - at - 2, key + "=" + value);
        test::WriteFileBytes(HomeFile("VYR_Player.ini"), text);
    }

    std::string WriteShow(const std::string& name, const std::string& bytes) {
        test::WriteFileBytes(HomeFile(name), bytes);
        return HomeFile(name);
    }

    test::TempHome temp_;
    std::string home_;
    std::unique_ptr<test::RiyaSimEnvironment> riya_;
};

TEST_F(HeadlessPlayer, LogsStartUpInOrderAndWritesTheConfigurationAtShutdown) {
    const PlayerRun run = Play("--ticks 3");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> log = Log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], "Device_RIYA::RiyaInit() - Device count = 1");
    const std::ptrdiff_t midi = IndexOf(log, "No MIDI devices opened.");
    const std::ptrdiff_t missing = IndexOf(log, "OnInitialUpdate(): Unable to open VYR_Player.ini, using defaults.");
    const std::ptrdiff_t starting = IndexOf(log, "Starting program VYR_Player from directory");
    ASSERT_GE(midi, 0);
    ASSERT_GT(missing, midi);
    ASSERT_GT(starting, missing);
    EXPECT_EQ(log[static_cast<std::size_t>(starting) + 1], home_);
    EXPECT_EQ(log.back(), "Terminating program VYR_Player...");
    EXPECT_GT(IndexOf(log, "Writing the following values to VYR_Player.ini:"), starting);

    const std::string ini = test::ReadFileBytes(HomeFile("VYR_Player.ini"));
    const std::vector<std::string> lines = test::CrLfLines(ini);
    ASSERT_EQ(lines.size(), 58u);
    EXPECT_EQ(lines[0], "VYR_Player Configuration Data File, Version 1.1.6");
    EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 58);
    EXPECT_EQ(std::count(ini.begin(), ini.end(), '\r'), 58);
    EXPECT_EQ(Config().at("LASER_SCALE"), "50");

    // The next start reads it back, and a closed serial port refuses its line settings.
    SetConfig("LASER_SCALE", "77");
    ASSERT_EQ(Play("--ticks 1").status, 0);
    const std::vector<std::string> again = Log();
    EXPECT_GE(IndexOf(again, "OnInitialUpdate(): Initial values restored."), 0);
    EXPECT_GE(IndexOf(again, "OnInitialUpdate(): COM Setup() failed."), 0);
    EXPECT_GE(IndexOf(again, "OnInitialUpdate(): COM SetupHandshaking() failed."), 0);
    EXPECT_EQ(Config().at("LASER_SCALE"), "77");
}

TEST_F(HeadlessPlayer, AConfigurationWithALineMissingGivesAllDefaults) {
    ASSERT_EQ(Play("--ticks 1").status, 0);
    SetConfig("LASER_SCALE", "77");
    std::string text = test::ReadFileBytes(HomeFile("VYR_Player.ini"));
    text.erase(text.rfind("USE_SERIAL_PORT"));
    test::WriteFileBytes(HomeFile("VYR_Player.ini"), text);
    ASSERT_EQ(Play("--ticks 1").status, 0);
    EXPECT_EQ(IndexOf(Log(), "OnInitialUpdate(): Initial values restored."), -1);
    EXPECT_EQ(Config().at("LASER_SCALE"), "50");
    EXPECT_EQ(Config().count("USE_SERIAL_PORT"), 1u);
}

TEST_F(HeadlessPlayer, CommandLineOverridesAreLoggedAndSaved) {
    const std::string show = WriteShow("show.ild", test::SquareIlda());
    struct Case {
        std::string words;
        std::vector<std::string> lines;
        std::map<std::string, std::string> config;
    };
    const std::vector<Case> cases = {
        {"/s 20000 /d 25 /b 5 /r " + show,
         {"Command Line: Input File Name is [" + show + "]", "Command Line: Input File Name Extension is [ILD]",
          "Command Line: Scan Rate is 20000", "Command Line: Frame Delay is 25", "Command Line: Blanking Shift is 5",
          "Command Line: Invert Blanking"},
         {{"OUTPUT_PPS", "20000"}, {"FRAME_DISPLAY_TIMER_VALUE", "25"}, {"BLANKING_SHIFT", "5"}, {"INVERT_BLANKING", "1"}}},
        {"/b -10 " + show, {"Command Line: Blanking Shift is 0"}, {{"BLANKING_SHIFT", "0"}}},
        {"/x 5 " + show, {"Command Line: Input File Name is [" + show + "]"}, {}},
        {"/s 999", {"Command Line: Scan Rate is 999"}, {{"OUTPUT_PPS", "12000"}}},
        {"/s 1000", {"Command Line: Scan Rate is 1000"}, {{"OUTPUT_PPS", "1000"}}},
        {"/s 50000", {"Command Line: Scan Rate is 50000"}, {{"OUTPUT_PPS", "50000"}}},
        {"/s 50001", {"Command Line: Scan Rate is 50001"}, {{"OUTPUT_PPS", "12000"}}},
        {"/s 70000", {"Command Line: Scan Rate is 4464"}, {{"OUTPUT_PPS", "4464"}}},
        {"/d 1001 /b 51", {"Command Line: Frame Delay is 1001", "Command Line: Blanking Shift is 51"},
         {{"FRAME_DISPLAY_TIMER_VALUE", "100"}, {"BLANKING_SHIFT", "0"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        std::filesystem::remove(HomeFile("VYR_Player.ini"));
        const PlayerRun run = Play("--ticks 2 " + c.words);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> log = Log();
        for (const std::string& line : c.lines) EXPECT_GE(IndexOf(log, line), 0) << line;
        const auto config = Config();
        for (const auto& [key, value] : c.config) EXPECT_EQ(config.at(key), value) << key;
    }
    // "/b -10 show.ild" took the file name as the shift's value, so nothing was opened.
    EXPECT_EQ(IndexOf(Log(), "Command Line: Input File Name is [" + show + "]"), -1);
}

TEST_F(HeadlessPlayer, StatusPanesAndClockAtTheEnd) {
    const std::string show = WriteShow("show.ild", test::SquareIlda(2));
    const PlayerRun run = Play("--ticks 10 --print-status " + show);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "pane 0: Ready\npane 1: Okay\npane 2: PPS: 0\npane 3: MIDI: 0\npane 4:  00:00:01:00 \n"
              "title: " + show + "\n");
}

TEST_F(HeadlessPlayer, DacSeesSetUpOneFramePerTickAndTheBlankingOfShutdown) {
    ASSERT_EQ(Play("--ticks 1").status, 0);
    SetConfig("DISPLAY_LASER", "1");
    SetConfig("NUMBER_FADE_IN_FRAMES", "4");
    std::filesystem::remove(riya_->TracePath());
    const std::string show = WriteShow("tri.ild", test::IldaFile({{{-1000, -1000, 0, 0x4000}, {1000, -1000, 0, 1},
                                                                    {1000, 1000, 0, 1}}}));
    ASSERT_EQ(Play("--ticks 4 " + show).status, 0);
    const std::vector<test::RiyaCall> trace = riya_->Trace();
    ASSERT_GE(trace.size(), 3u);
    EXPECT_EQ(trace[0].Text(), "RiOpenDevices 1");
    EXPECT_EQ(trace[1].Text(), "Ri_InitChanal 0 16");
    const auto frames = test::CallsOf(trace, "RiSetShowCadr");
    auto dark = [](const test::RiyaCall& frame) {
        for (const auto& p : frame.points) {
            if (p[2] != 0 || p[3] != 0 || p[4] != 0) return false;
        }
        return true;
    };
    // Two dark frames as the DAC is opened, the dark point of the device
    // set-up, one frame per tick, the dark point of shutdown.
    ASSERT_EQ(frames.size(), 8u);
    EXPECT_TRUE(dark(frames[0]) && dark(frames[1]));
    EXPECT_EQ(frames[2].args[1], 1);
    EXPECT_TRUE(dark(frames[2]));
    auto brightest = [](const test::RiyaCall& frame) {
        int level = 0;
        for (const auto& p : frame.points) level = std::max({level, p[2], p[3], p[4]});
        return level;
    };
    // The first file fades in over the configured four ticks.
    std::vector<int> levels;
    for (std::size_t tick = 3; tick <= 6; ++tick) {
        EXPECT_EQ(frames[tick].args[2], 2777) << "12000 points per second";
        EXPECT_EQ(frames[tick].points.size(), frames[3].points.size());
        levels.push_back(brightest(frames[tick]));
    }
    EXPECT_GT(levels[0], 0);
    EXPECT_TRUE(std::is_sorted(levels.begin(), levels.end()) && levels[0] < levels[3]);
    EXPECT_EQ(levels[3], 255);
    EXPECT_EQ(frames[7].args[1], 1);
    EXPECT_TRUE(dark(frames[7]));
    EXPECT_EQ(trace[trace.size() - 3].Text(), "RiStopShow 2");
    EXPECT_EQ(trace.back().Text(), "RiCloseDevices");
}

TEST_F(HeadlessPlayer, AFileNamedRelativeToTheStartingDirectoryIsFound) {
    std::filesystem::create_directory(temp_.File("shows"));
    test::WriteFileBytes(temp_.File("shows/show.ild"), test::SquareIlda());
    const PlayerRun run = Play("--ticks 2 --print-status shows/show.ild", temp_.Path().string());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("title: " + temp_.File("shows/show.ild") + "\n"), std::string::npos) << run.out;
}

TEST_F(HeadlessPlayer, BadFilesFromTheCommandLineAreReportedAndThePlayerRunsOn) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {HomeFile("missing.ild"), "OnOpenIldaFile(): Unable to open or read ILDA file."},
        {WriteShow("empty.ild", ""), "OnOpenIldaFile(): Unable to open or read ILDA file."},
        {WriteShow("junk.ild", std::string(300, '\x7f')), "OnOpenIldaFile(): Unable to open or read ILDA file."},
        {HomeFile("missing.cts"), "OnOpenCtsFile(): failed to open file for reading."},
    };
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        const PlayerRun run = Play("--ticks 2 --print-status " + path);
        EXPECT_EQ(run.status, 0);
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_NE(run.out.find("title: \n"), std::string::npos);
        EXPECT_EQ(Log().back(), "Terminating program VYR_Player...");
    }
}

TEST_F(HeadlessPlayer, AnUnwritableLogEndsTheProgramAndWritesNothing) {
    // A directory where the log should be: it cannot be opened, even by root.
    std::filesystem::create_directory(HomeFile("VYR_Player_log.txt"));
    const PlayerRun run = Play("--ticks 2");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("Unable to open logfile for write."), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(HomeFile("VYR_Player.ini")));
}

TEST_F(HeadlessPlayer, AConfigurationThatCannotBeReplacedStaysWhole) {
    ASSERT_EQ(Play("--ticks 1").status, 0);
    SetConfig("LASER_SCALE", "66");
    const std::string before = test::ReadFileBytes(HomeFile("VYR_Player.ini"));
    // The new file is written beside the old one first; block that place.
    std::filesystem::create_directory(HomeFile("VYR_Player.ini.tmp"));
    ASSERT_EQ(Play("--ticks 1 /s 20000").status, 0);
    EXPECT_EQ(test::ReadFileBytes(HomeFile("VYR_Player.ini")), before);
    EXPECT_GE(IndexOf(Log(), "~COrbit3DView(): Unable to open VYR_Player.ini for write."), 0);
}

TEST_F(HeadlessPlayer, SnapshotIsAPngOfTheRequestedSize) {
    const std::string show = WriteShow("show.ild", test::SquareIlda());
    const std::string png = temp_.File("snap.png");
    ASSERT_EQ(Play("--ticks 3 --size 320x200 --snapshot '" + png + "' " + show).status, 0);
    const std::string bytes = test::ReadFileBytes(png);
    ASSERT_GE(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(be32(16), 320);
    EXPECT_EQ(be32(20), 200);
}

TEST_F(HeadlessPlayer, BadFrontEndOptionsAreRefused) {
    for (const char* words : {"--ticks", "--ticks -3", "--size 10", "--frobnicate"}) {
        const PlayerRun run = Play(words);
        EXPECT_EQ(run.status, 2) << words;
        EXPECT_NE(run.err.find("usage:"), std::string::npos) << words;
    }
}

#endif

}  // namespace
}  // namespace vyr
