#include "app/config_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_sync.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

using test::ReadFileBytes;
using test::TempHome;
using test::WriteFileBytes;

constexpr const char* kDir = "/srv/laser/";

// Defaults, with a content directory that does not depend on the user running the tests.
Settings Defaults() {
    Settings s;
    s.CONTENT_DIRECTORY_NAME = kDir;
    return s;
}

// Every setting away from its default.
Settings Changed() {
    Settings s;
    s.PORT_BASE_ADDRESS = 0x378;
    s.DISPLAY_LASER = 1;
    s.DISPLAY_SCREEN = 0;
    s.FLICKER_FREE = 1;
    s.INVERT_BLANKING = 1;
    s.SCRIPT_REPEAT = 0;
    s.BLANK_CLIP_VIEW = 1;
    s.GLOBAL_DELAY = 7;
    s.LASER_SCALE = 75;
    s.VERTICAL_SCALE = 90;
    s.currentGlobalDelay = 99;  // working values changed by a script are not saved
    s.currentLaserScale = 12;
    s.currentVerticalScale = 13;
    s.BLANKING_SHIFT = -12;
    s.FRAME_DISPLAY_TIMER_VALUE = 40;
    s.COLOR_MODE = 4;
    s.MASTER_RED_INTENSITY = 0.75f;
    s.MASTER_GREEN_INTENSITY = 0.5f;
    s.MASTER_BLUE_INTENSITY = 0.25f;
    s.TTL_THRESHOLD_RED = 0.1f;
    s.TTL_THRESHOLD_GREEN = 0.0f;
    s.TTL_THRESHOLD_BLUE = 1.0f;
    s.DISPLAY_INVERT = 1;
    s.RECORD_FRAMES_TO_WRITE = 1000;
    s.RECORD_PALETTE_TYPE = 3;
    s.RECORD_VIEW_TYPE = 0;
    s.NUMBER_FADE_IN_FRAMES = 25;
    s.NUMBER_FADE_OUT_FRAMES = 30;
    s.GLOBAL_FRAME_REPEAT = 65535;
    s.MOVE_INCREMENT = 500;
    s.ROTATE_INCREMENT = 10;
    s.ZOOM_INCREMENT = 2000;
    s.DRAG_SPEED = 3;
    s.DRAG_INERTIA = 80;
    s.OUTPUT_PPS = 30000;
    s.BEAM_ORIGIN_X1 = 0.25f;
    s.BEAM_ORIGIN_Y1 = 0.125f;
    s.BEAM_ORIGIN_X2 = -0.5f;
    s.BEAM_ORIGIN_Y2 = 0.333333f;
    s.BEAM_HEIGHT_1 = 0.2f;
    s.BEAM_HEIGHT_2 = 1.5f;
    s.BEAM_ON_1 = 0;
    s.BEAM_ON_2 = 1;
    s.BEAM_INVERT_X1 = 1;
    s.BEAM_INVERT_X2 = 0;
    s.BEAM_YAG_VIEW = 1;
    s.BEAM_MODE = 1;
    s.CONTENT_DIRECTORY_NAME = "/home/op/shows/";
    s.MAIN_WINDOW_LEFT = -5;
    s.MAIN_WINDOW_TOP = 40;
    s.MAIN_WINDOW_RIGHT = 1000;
    s.MAIN_WINDOW_BOTTOM = 700;
    s.LEFT_PREVIEW_EDGE = 300;
    s.COM_PORT_INDEX = 1;
    s.BAUD_RATE_INDEX = 5;
    s.DATA_BITS_INDEX = 0;
    s.PARITY_INDEX = 2;
    s.STOP_BITS_INDEX = 1;
    s.HAND_SHAKE_INDEX = 0;
    s.USE_SERIAL_PORT = 1;
    return s;
}

void ExpectSameSettings(const Settings& a, const Settings& b) {
#define VYR_EXPECT_FIELD(f) EXPECT_EQ(a.f, b.f) << #f
    VYR_EXPECT_FIELD(PORT_BASE_ADDRESS);
    VYR_EXPECT_FIELD(DISPLAY_LASER);
    VYR_EXPECT_FIELD(DISPLAY_SCREEN);
    VYR_EXPECT_FIELD(FLICKER_FREE);
    VYR_EXPECT_FIELD(INVERT_BLANKING);
    VYR_EXPECT_FIELD(SCRIPT_REPEAT);
    VYR_EXPECT_FIELD(BLANK_CLIP_VIEW);
    VYR_EXPECT_FIELD(GLOBAL_DELAY);
    VYR_EXPECT_FIELD(LASER_SCALE);
    VYR_EXPECT_FIELD(VERTICAL_SCALE);
    VYR_EXPECT_FIELD(currentGlobalDelay);
    VYR_EXPECT_FIELD(currentLaserScale);
    VYR_EXPECT_FIELD(currentVerticalScale);
    VYR_EXPECT_FIELD(BLANKING_SHIFT);
    VYR_EXPECT_FIELD(FRAME_DISPLAY_TIMER_VALUE);
    VYR_EXPECT_FIELD(COLOR_MODE);
    VYR_EXPECT_FIELD(MASTER_RED_INTENSITY);
    VYR_EXPECT_FIELD(MASTER_GREEN_INTENSITY);
    VYR_EXPECT_FIELD(MASTER_BLUE_INTENSITY);
    VYR_EXPECT_FIELD(TTL_THRESHOLD_RED);
    VYR_EXPECT_FIELD(TTL_THRESHOLD_GREEN);
    VYR_EXPECT_FIELD(TTL_THRESHOLD_BLUE);
    VYR_EXPECT_FIELD(DISPLAY_INVERT);
    VYR_EXPECT_FIELD(RECORD_FRAMES_TO_WRITE);
    VYR_EXPECT_FIELD(RECORD_PALETTE_TYPE);
    VYR_EXPECT_FIELD(RECORD_VIEW_TYPE);
    VYR_EXPECT_FIELD(NUMBER_FADE_IN_FRAMES);
    VYR_EXPECT_FIELD(NUMBER_FADE_OUT_FRAMES);
    VYR_EXPECT_FIELD(GLOBAL_FRAME_REPEAT);
    VYR_EXPECT_FIELD(MOVE_INCREMENT);
    VYR_EXPECT_FIELD(ROTATE_INCREMENT);
    VYR_EXPECT_FIELD(ZOOM_INCREMENT);
    VYR_EXPECT_FIELD(DRAG_SPEED);
    VYR_EXPECT_FIELD(DRAG_INERTIA);
    VYR_EXPECT_FIELD(OUTPUT_PPS);
    VYR_EXPECT_FIELD(BEAM_ORIGIN_X1);
    VYR_EXPECT_FIELD(BEAM_ORIGIN_Y1);
    VYR_EXPECT_FIELD(BEAM_ORIGIN_X2);
    VYR_EXPECT_FIELD(BEAM_ORIGIN_Y2);
    VYR_EXPECT_FIELD(BEAM_HEIGHT_1);
    VYR_EXPECT_FIELD(BEAM_HEIGHT_2);
    VYR_EXPECT_FIELD(BEAM_ON_1);
    VYR_EXPECT_FIELD(BEAM_ON_2);
    VYR_EXPECT_FIELD(BEAM_INVERT_X1);
    VYR_EXPECT_FIELD(BEAM_INVERT_X2);
    VYR_EXPECT_FIELD(BEAM_YAG_VIEW);
    VYR_EXPECT_FIELD(BEAM_MODE);
    VYR_EXPECT_FIELD(CONTENT_DIRECTORY_NAME);
    VYR_EXPECT_FIELD(MAIN_WINDOW_LEFT);
    VYR_EXPECT_FIELD(MAIN_WINDOW_TOP);
    VYR_EXPECT_FIELD(MAIN_WINDOW_RIGHT);
    VYR_EXPECT_FIELD(MAIN_WINDOW_BOTTOM);
    VYR_EXPECT_FIELD(LEFT_PREVIEW_EDGE);
    VYR_EXPECT_FIELD(COM_PORT_INDEX);
    VYR_EXPECT_FIELD(BAUD_RATE_INDEX);
    VYR_EXPECT_FIELD(DATA_BITS_INDEX);
    VYR_EXPECT_FIELD(PARITY_INDEX);
    VYR_EXPECT_FIELD(STOP_BITS_INDEX);
    VYR_EXPECT_FIELD(HAND_SHAKE_INDEX);
    VYR_EXPECT_FIELD(USE_SERIAL_PORT);
#undef VYR_EXPECT_FIELD
}

const std::string kHeader = "VYR_Player Configuration Data File, Version 1.1.6\r\n";

// The file of the default settings, line by line.
const std::vector<std::string> kDefaultLines = {
    "PORT_BASE_ADDRESS=0",
    "DISPLAY_LASER=0",
    "DISPLAY_SCREEN=1",
    "FLICKER_FREE=0",
    "INVERT_BLANKING=0",
    "SCRIPT_REPEAT=1",
    "BLANK/CLIP_VIEW=0",
    "GLOBAL_DELAY=0",
    "LASER_SCALE=50",
    "VERTICAL_SCALE=100",
    "BLANKING_SHIFT=0",
    "FRAME_DISPLAY_TIMER_VALUE=100",
    "COLOR_MODE=0",
    "MASTER_RED_INTENSITY=100",
    "MASTER_GREEN_INTENSITY=100",
    "MASTER_BLUE_INTENSITY=100",
    "TTL_THRESHOLD_RED=50",
    "TTL_THRESHOLD_GREEN=50",
    "TTL_THRESHOLD_BLUE=50",
    "DISPLAY_INVERT=0",
    "RECORD_FRAMES_TO_WRITE=350",
    "RECORD_PALETTE_TYPE=0",
    "RECORD_VIEW_TYPE=1",
    "NUMBER_FADE_IN_FRAMES=1",
    "NUMBER_FADE_OUT_FRAMES=1",
    "GLOBAL_FRAME_REPEAT=0",
    "MOVE_INCREMENT=1000",
    "ROTATE_INCREMENT=5",
    "ZOOM_INCREMENT=1000",
    "DRAG_SPEED=1",
    "DRAG_INERTIA=50",
    "OUTPUT_PPS=12000",
    "BEAM_ORIGIN_X1=0.480000",
    "BEAM_ORIGIN_Y1=0.300000",
    "BEAM_ORIGIN_X2=0.900000",
    "BEAM_ORIGIN_Y2=0.300000",
    "BEAM_HEIGHT_1=0.100000",
    "BEAM_HEIGHT_2=0.100000",
    "BEAM_ON_1=1",
    "BEAM_ON_2=0",
    "BEAM_INVERT_X1=0",
    "BEAM_INVERT_X2=1",
    "BEAM_YAG_VIEW=0",
    "BEAM_MODE=0",
    "CONTENT_DIRECTORY_NAME=/srv/laser/",
    "MAIN_WINDOW_LEFT=20",
    "MAIN_WINDOW_TOP=20",
    "MAIN_WINDOW_RIGHT=684",
    "MAIN_WINDOW_BOTTOM=508",
    "LEFT_PREVIEW_EDGE=267",
    "COM_PORT_INDEX=-1",
    "BAUD_RATE_INDEX=2",
    "DATA_BITS_INDEX=3",
    "PARITY_INDEX=0",
    "STOP_BITS_INDEX=0",
    "HAND_SHAKE_INDEX=2",
    "USE_SERIAL_PORT=0",
};

std::string JoinFile(const std::vector<std::string>& lines) {
    std::string text = kHeader;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The default file with the value of one key replaced.
std::string DefaultFileWith(const std::string& key, const std::string& value) {
    std::vector<std::string> lines = kDefaultLines;
    for (std::string& line : lines) {
        if (line.rfind(key + "=", 0) == 0) line = key + "=" + value;
    }
    return JoinFile(lines);
}

// The echo labels in file order (the drag inertia one differs between reading and writing).
const std::vector<std::string> kLabels = {
    "          BasePort: 0x", "      DisplayLaser: ", "     DisplayScreen: ", "       FlickerFree: ",
    "    InvertBlanking: ",   "      ScriptRepeat: ", "   Blank/Clip View: ", "       GlobalDelay: ",
    "        LaserScale: ",   "     VerticalScale: ", "     BlankingShift: ", "      DisplayTimer: ",
    "         ColorMode: ",   "         MasterRed: ", "       MasterGreen: ", "        MasterBlue: ",
    "   TTLThresholdRed: ",   " TTLThresholdGreen: ", "  TTLThresholdBlue: ", "      InvertBitmap: ",
    "      Frames2Write: ",   "     RecordPalette: ", "        RecordView: ", "      FadeInFrames: ",
    "     FadeOutFrames: ",   " GlobalFrameRepeat: ", "     MoveIncrement: ", "   RotateIncrement: ",
    "     ZoomIncrement: ",   "        Drag Speed: ", "DRAG INERTIA",         " Points Per Second: ",
    "    Beam X1 Origin: ",   "    Beam Y1 Origin: ", "    Beam X2 Origin: ", "    Beam Y2 Origin: ",
    "     Beam 1 Height: ",   "     Beam 2 Height: ", "         Beam 1 On: ", "         Beam 2 On: ",
    "   Beam 1 Invert X: ",   "   Beam 2 Invert X: ", "     Beam YAG View: ", "         Beam Mode: ",
    " Content Directory: ",   "  Main Window Left: ", "   Main Window Top: ", " Main Window Right: ",
    "Main Window Bottom: ",   " Left Preview Edge: ", "    COM Port Index: ", "   Baud Rate Index: ",
    "   Data Bits Index: ",   "      Parity Index: ", "   Stop Bits Index: ", "  Hand Shake Index: ",
    "   Use Serial Port: ",
};

std::vector<std::string> ExpectedEcho(const std::string& title, const std::string& dragInertiaLabel,
                                      const std::vector<std::string>& values) {
    std::vector<std::string> lines{title};
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        lines.push_back((kLabels[i] == "DRAG INERTIA" ? dragInertiaLabel : kLabels[i]) + values.at(i));
    }
    return lines;
}

class ConfigFileTest : public ::testing::Test {
protected:
    std::string Ini() const { return home.File(kConfigurationFileName); }

    // Writes `text` as the file, reads it into defaults and returns the result.
    bool ReadText(const std::string& text, Settings& s) {
        WriteFileBytes(Ini(), text);
        return ReadConfiguration(Ini(), s);
    }
    std::string LastLogLine() const {
        const auto lines = home.LogLines();
        return lines.empty() ? std::string() : lines.back();
    }

    TempHome home;
};

TEST_F(ConfigFileTest, DefaultFileIsWrittenByteForByte) {
    ASSERT_TRUE(WriteConfiguration(Ini(), Defaults()));
    const std::string bytes = ReadFileBytes(Ini());
    EXPECT_EQ(bytes, JoinFile(kDefaultLines));
    EXPECT_EQ(kHeader.size(), 51u);
    EXPECT_FALSE(std::filesystem::exists(ConfigurationTempPath(Ini())));
}

TEST_F(ConfigFileTest, WriteEchoesTheValuesAboutToBeWritten) {
    Settings s = Changed();
    s.MASTER_RED_INTENSITY = 0.29f;
    ASSERT_TRUE(WriteConfiguration(Ini(), s));
    const std::vector<std::string> values = {
        "378", "1",     "0",    "1",   "1",   "0",   "1",    "7",     "75",       "90",
        "-12", "40",    "4",    "29",  "50",  "25",  "10",   "0",     "100",      "1",
        "1000", "3",    "0",    "25",  "30",  "65535", "500", "10",   "2000",     "3",
        "80",  "30000", "0.25", "0.125", "-0.5", "0.333333", "0.2", "1.5", "0",   "1",
        "1",   "0",     "1",    "1",   "/home/op/shows/", "-5", "40", "1000",    "700",
        "300", "1",     "5",    "0",   "2",   "1",   "0",    "1"};
    EXPECT_EQ(home.LogLines(),
              ExpectedEcho("Writing the following values to VYR_Player.ini:", "      Drag Inertia: ", values));
}

TEST_F(ConfigFileTest, ReadEchoesTheNumbersAsTheyStandInTheFile) {
    std::vector<std::string> lines = kDefaultLines;
    lines[0] = "PORT_BASE_ADDRESS=888";
    lines[10] = "BLANKING_SHIFT=200";
    lines[13] = "MASTER_RED_INTENSITY=29";
    lines[25] = "GLOBAL_FRAME_REPEAT=65537";
    lines[30] = "DRAG_INERTIA=51";
    lines[32] = "BEAM_ORIGIN_X1=0.123456789";
    lines[44] = "CONTENT_DIRECTORY_NAME=___";
    Settings s = Defaults();
    ASSERT_TRUE(ReadText(JoinFile(lines), s));

    const std::vector<std::string> values = {
        "378", "0",   "1",    "0",    "0",   "1",   "0",   "0",   "50",  "100", "200", "100",
        "0",   "29",  "100",  "100",  "50",  "50",  "50",  "0",   "350", "0",   "1",   "1",
        "1",   "65537", "1000", "5",  "1000", "1",  "51",  "12000", "0.123457", "0.3", "0.9", "0.3",
        "0.1", "0.1", "1",    "0",    "0",   "1",   "0",   "0",   "___", "20",  "20",  "684",
        "508", "267", "-1",   "2",    "3",   "0",   "0",   "2",   "0"};
    std::vector<std::string> expected =
        ExpectedEcho("Read the following values from VYR_Player.ini:", "       DragInertia: ", values);
    expected.push_back("OnInitialUpdate(): Initial values restored.");
    EXPECT_EQ(home.LogLines(), expected);

    // ... and the settings after their conversions.
    EXPECT_EQ(s.PORT_BASE_ADDRESS, 888);
    EXPECT_EQ(s.BLANKING_SHIFT, -56);
    EXPECT_EQ(s.MASTER_RED_INTENSITY, 0.29f);
    EXPECT_EQ(s.GLOBAL_FRAME_REPEAT, 1);
    EXPECT_EQ(s.BEAM_ORIGIN_X1, 0.123456789f);
    EXPECT_EQ(s.CONTENT_DIRECTORY_NAME, "");
}

TEST_F(ConfigFileTest, RoundTripKeepsEverySettingExceptPercentagesJustBelowAWholeNumber) {
    const Settings written = Changed();
    ASSERT_TRUE(WriteConfiguration(Ini(), written));
    Settings read = Defaults();
    ASSERT_TRUE(ReadConfiguration(Ini(), read));

    Settings expected = written;
    expected.currentGlobalDelay = written.GLOBAL_DELAY;  // the file holds the configured values
    expected.currentLaserScale = written.LASER_SCALE;
    expected.currentVerticalScale = written.VERTICAL_SCALE;
    ExpectSameSettings(read, expected);

    // Percentages held as f32 fractions mostly lie just below their percent
    // (0.29f x 100 = 28.99999...); every one of them survives save after save.
    for (int percent = 0; percent <= 100; ++percent) {
        Settings s = Defaults();
        s.MASTER_RED_INTENSITY = static_cast<float>(percent) / 100.0f;
        s.TTL_THRESHOLD_BLUE = static_cast<float>(percent) / 100.0f;
        const std::string red = "\r\nMASTER_RED_INTENSITY=" + std::to_string(percent) + "\r\n";
        const std::string blue = "\r\nTTL_THRESHOLD_BLUE=" + std::to_string(percent) + "\r\n";
        for (int save = 0; save < 3; ++save) {
            ASSERT_TRUE(WriteConfiguration(Ini(), s));
            const std::string bytes = ReadFileBytes(Ini());
            ASSERT_NE(bytes.find(red), std::string::npos) << percent << "% after " << save << " saves";
            ASSERT_NE(bytes.find(blue), std::string::npos) << percent << "% after " << save << " saves";
            s = Defaults();
            ASSERT_TRUE(ReadConfiguration(Ini(), s));
        }
    }
}

TEST_F(ConfigFileTest, KeyNamesAreNotLookedAt) {
    ASSERT_TRUE(WriteConfiguration(Ini(), Changed()));
    std::string text = ReadFileBytes(Ini());
    Settings plain = Defaults();
    ASSERT_TRUE(ReadConfiguration(Ini(), plain));

    // Rename every key: each line becomes "k<n> =value".
    std::vector<std::string> lines;
    std::size_t start = kHeader.size();
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 57u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i] = "k" + std::to_string(i) + " " + lines[i].substr(lines[i].find('='));
    }
    Settings renamed = Defaults();
    ASSERT_TRUE(ReadText(JoinFile(lines), renamed));
    ExpectSameSettings(renamed, plain);
}

struct BadFileCase {
    const char* name;
    std::string text;
};

TEST_F(ConfigFileTest, AnyUnreadableFileLeavesEveryDefault) {
    // Built from a file whose values all differ from the defaults, so that a
    // partly applied read would show.
    ASSERT_TRUE(WriteConfiguration(home.File("changed.ini"), Changed()));
    const std::string changed = ReadFileBytes(home.File("changed.ini"));
    const std::size_t afterKey30 = [&] {
        std::size_t pos = kHeader.size();
        for (int i = 0; i < 30; ++i) pos = changed.find("\r\n", pos) + 2;
        return pos;
    }();
    std::string lfOnly;
    for (char c : changed) {
        if (c != '\r') lfOnly += c;
    }
    const auto without = [&](const std::string& key) {
        const std::size_t at = changed.find("\r\n" + key + "=") + 2;
        return changed.substr(0, at) + changed.substr(changed.find("\r\n", at) + 2);
    };

    const BadFileCase cases[] = {
        {"empty", ""},
        {"header only", kHeader},
        {"LF line ends", lfOnly},
        {"other version", "VYR_Player Configuration Data File, Version 1.1.7\r\n" + changed.substr(kHeader.size())},
        {"header without line end", kHeader.substr(0, 50)},
        {"truncated after key 30", changed.substr(0, afterKey30)},
        {"truncated inside the last value", changed.substr(0, changed.size() - 3)},
        // A missing line after the directory shifts the later values; the last key finds none.
        {"line missing after the directory", without("MAIN_WINDOW_TOP")},
        // A missing line before it makes the directory token meet a number scan.
        {"line missing before the directory", without("DRAG_SPEED")},
        {"letters where a number is expected", changed.substr(0, changed.find("DRAG_SPEED=") + 11) + "fast" +
                                                  changed.substr(changed.find("\r\nDRAG_INERTIA"))},
        {"real value missing", changed.substr(0, changed.find("BEAM_HEIGHT_1=") + 14) + "x" +
                                   changed.substr(changed.find("\r\nBEAM_HEIGHT_2"))},
    };
    for (const BadFileCase& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s = Defaults();
        EXPECT_FALSE(ReadText(c.text, s));
        ExpectSameSettings(s, Defaults());
        EXPECT_EQ(LastLogLine(), "OnInitialUpdate(): Unable to read VYR_Player.ini, using defaults.");
    }
    // The unchanged file itself reads.
    Settings s = Defaults();
    EXPECT_TRUE(ReadText(changed, s));
}

TEST_F(ConfigFileTest, MissingFileKeepsDefaultsAndSetsConfiguredFromWorkingValues) {
    Settings s = Defaults();
    s.currentLaserScale = 70;
    EXPECT_FALSE(ReadConfiguration(Ini(), s));
    EXPECT_EQ(home.LogLines(),
              std::vector<std::string>{"OnInitialUpdate(): Unable to open VYR_Player.ini, using defaults."});
    EXPECT_EQ(s.LASER_SCALE, 70);
    s.LASER_SCALE = 50;
    ExpectSameSettings(s, [] {
        Settings d = Defaults();
        d.currentLaserScale = 70;
        return d;
    }());
}

struct ValueCase {
    const char* key;
    std::string value;  // as it stands in the file
    std::int64_t expected;
};

TEST_F(ConfigFileTest, NumbersAreConvertedAsScanfAndTheKeyMemoryTypeDo) {
    const ValueCase cases[] = {
        {"BLANKING_SHIFT", "200", -56},
        {"BLANKING_SHIFT", "-129", 127},
        {"BLANKING_SHIFT", "127", 127},
        {"DISPLAY_LASER", "65537", 1},
        {"COLOR_MODE", "-1", 65535},
        {"GLOBAL_FRAME_REPEAT", "65535", 65535},
        {"PORT_BASE_ADDRESS", "70000", 70000 - 65536},
        {"BEAM_YAG_VIEW", "65535", 65535},
        {"OUTPUT_PPS", "+7", 7},
        {"OUTPUT_PPS", " \t\r\n 12", 12},
        {"OUTPUT_PPS", "12abc", 12},
        {"OUTPUT_PPS", "-0", 0},
        // scanf's %d: strtol saturates at the 64-bit limits, the int keeps the low 32 bits
        {"OUTPUT_PPS", "2147483648", -2147483648LL},
        {"OUTPUT_PPS", "4294967296", 0},
        {"OUTPUT_PPS", "4294967297", 1},
        {"OUTPUT_PPS", "9223372036854775807", -1},
        {"OUTPUT_PPS", "99999999999999999999999", -1},
        {"OUTPUT_PPS", "-9223372036854775808", 0},
        {"OUTPUT_PPS", "-99999999999999999999999", 0},
        {"MAIN_WINDOW_LEFT", "-2147483649", 2147483647},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        Settings s = Defaults();
        ASSERT_TRUE(ReadText(DefaultFileWith(c.key, c.value), s));
        const std::string key = c.key;
        std::int64_t got = 0;
        if (key == "BLANKING_SHIFT") got = s.BLANKING_SHIFT;
        if (key == "DISPLAY_LASER") got = s.DISPLAY_LASER;
        if (key == "COLOR_MODE") got = s.COLOR_MODE;
        if (key == "GLOBAL_FRAME_REPEAT") got = s.GLOBAL_FRAME_REPEAT;
        if (key == "PORT_BASE_ADDRESS") got = s.PORT_BASE_ADDRESS;
        if (key == "BEAM_YAG_VIEW") got = s.BEAM_YAG_VIEW;
        if (key == "OUTPUT_PPS") got = s.OUTPUT_PPS;
        if (key == "MAIN_WINDOW_LEFT") got = s.MAIN_WINDOW_LEFT;
        EXPECT_EQ(got, c.expected);
    }
}

TEST_F(ConfigFileTest, ConvertedValuesAreWrittenBackAsHeld) {
    Settings s = Defaults();
    ASSERT_TRUE(ReadText(DefaultFileWith("BLANKING_SHIFT", "200"), s));
    s.BEAM_YAG_VIEW = -1;   // an i32 flag written as u16
    s.GLOBAL_FRAME_REPEAT = 65535;
    ASSERT_TRUE(WriteConfiguration(Ini(), s));
    const std::string bytes = ReadFileBytes(Ini());
    EXPECT_NE(bytes.find("\r\nBLANKING_SHIFT=-56\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nBEAM_YAG_VIEW=65535\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nGLOBAL_FRAME_REPEAT=65535\r\n"), std::string::npos);
    Settings back = Defaults();
    ASSERT_TRUE(ReadConfiguration(Ini(), back));
    EXPECT_EQ(back.GLOBAL_FRAME_REPEAT, 65535);
    EXPECT_EQ(back.BLANKING_SHIFT, -56);
}

struct PercentCase {
    std::string value;
    float expected;
};

TEST_F(ConfigFileTest, PercentagesAreReadAsUnsignedHundredths) {
    const PercentCase cases[] = {
        {"29", 0.29f},
        {"0", 0.0f},
        {"250", 2.5f},
        {"-5", 4294967291.0f / 100.0f},  // the number taken as unsigned 32-bit
    };
    for (const PercentCase& c : cases) {
        SCOPED_TRACE(c.value);
        Settings s = Defaults();
        ASSERT_TRUE(ReadText(DefaultFileWith("TTL_THRESHOLD_GREEN", c.value), s));
        EXPECT_EQ(s.TTL_THRESHOLD_GREEN, c.expected);
    }
}

struct RealCase {
    std::string value;
    float expected;  // NaN: expect NaN
};

TEST_F(ConfigFileTest, RealValuesAreScannedAsFloats) {
    const RealCase cases[] = {
        {"0.480000", 0.48f},    {"  -0.5", -0.5f},     {"1e3", 1000.0f},       {"2.5E-1", 0.25f},
        {".5", 0.5f},           {"5.", 5.0f},          {"3x", 3.0f},           {"7e", 7.0f},
        {"0x1p-2", 0.25f},      {"0X.8", 0.5f},        {"0xg", 0.0f},          {"1e999", INFINITY},
        {"-1e99999999999999999", -INFINITY},           {"1e-999", 0.0f},       {"INF", INFINITY},
        {"-infinity", -INFINITY}, {"nan", NAN},
        {"0." + std::string(90, '0') + "1e90", 0.1f},
        {std::string(300, '1') + "e-299", 10.0f / 9.0f},
    };
    for (const RealCase& c : cases) {
        SCOPED_TRACE(c.value);
        Settings s = Defaults();
        ASSERT_TRUE(ReadText(DefaultFileWith("BEAM_HEIGHT_2", c.value), s));
        if (std::isnan(c.expected)) {
            EXPECT_TRUE(std::isnan(s.BEAM_HEIGHT_2));
        } else {
            EXPECT_EQ(s.BEAM_HEIGHT_2, c.expected);
        }
        EXPECT_EQ(s.BEAM_ON_1, 1);  // the next key still reads its own value
    }
}

TEST_F(ConfigFileTest, ContentDirectoryIsOneToken) {
    {
        SCOPED_TRACE("a space ends the token; the rest of the line is skipped");
        Settings s = Defaults();
        ASSERT_TRUE(ReadText(DefaultFileWith("CONTENT_DIRECTORY_NAME", "/srv/my laser/"), s));
        EXPECT_EQ(s.CONTENT_DIRECTORY_NAME, "/srv/my");
        EXPECT_EQ(s.MAIN_WINDOW_LEFT, 20);
    }
    {
        SCOPED_TRACE("a long token is cut at 199 characters and its rest skipped");
        const std::string token = std::string(250, 'a') + "=123" + std::string(246, 'b');
        Settings s = Defaults();
        ASSERT_TRUE(ReadText(DefaultFileWith("CONTENT_DIRECTORY_NAME", token), s));
        EXPECT_EQ(s.CONTENT_DIRECTORY_NAME, std::string(199, 'a'));
        EXPECT_EQ(s.MAIN_WINDOW_LEFT, 20);
        EXPECT_EQ(s.USE_SERIAL_PORT, 0);
    }
    {
        SCOPED_TRACE("the token ends at a NUL byte, as a C string would");
        Settings s = Defaults();
        ASSERT_TRUE(ReadText(DefaultFileWith("CONTENT_DIRECTORY_NAME", std::string("/srv/a\0b/", 9)), s));
        EXPECT_EQ(s.CONTENT_DIRECTORY_NAME, "/srv/a");
    }
}

TEST_F(ConfigFileTest, EmptyDirectoryIsStoredAsPlaceholderAndReadBackEmpty) {
    Settings s = Defaults();
    s.CONTENT_DIRECTORY_NAME.clear();
    ASSERT_TRUE(WriteConfiguration(Ini(), s));
    EXPECT_EQ(s.CONTENT_DIRECTORY_NAME, "");  // the setting itself stays empty
    std::vector<std::string> lines = kDefaultLines;
    lines[44] = "CONTENT_DIRECTORY_NAME=___";
    EXPECT_EQ(ReadFileBytes(Ini()), JoinFile(lines));
    const auto log = home.LogLines();
    ASSERT_EQ(log.size(), 59u);
    EXPECT_EQ(log[45], " Content Directory: ");  // the echo shows the value before the placeholder
    EXPECT_EQ(log[58], "Content directory name is empty, storing placeholder...");

    Settings back = Defaults();
    ASSERT_TRUE(ReadConfiguration(Ini(), back));
    EXPECT_EQ(back.CONTENT_DIRECTORY_NAME, "");
}

bool FailingSync(std::FILE*) { return false; }

TEST_F(ConfigFileTest, FailedWriteKeepsTheOldFileWhole) {
    ASSERT_TRUE(WriteConfiguration(Ini(), Defaults(), &SyncFileToDisk));
    const std::string old = ReadFileBytes(Ini());
    ASSERT_EQ(old, JoinFile(kDefaultLines));
    const std::string temp = ConfigurationTempPath(Ini());
    const std::string openFailure = "~COrbit3DView(): Unable to open VYR_Player.ini for write.";
    const std::string writeFailure = "~COrbit3DView(): Unable to write VYR_Player.ini.";

    {
        SCOPED_TRACE("the temporary file cannot be created");
        std::filesystem::create_directory(temp);
        EXPECT_FALSE(WriteConfiguration(Ini(), Changed()));
        EXPECT_EQ(LastLogLine(), openFailure);
        EXPECT_EQ(home.LogLines().end()[-2].rfind("   Use Serial Port: ", 0), 0u);  // the echo is still written
        EXPECT_EQ(ReadFileBytes(Ini()), old);
        EXPECT_TRUE(std::filesystem::is_directory(temp));  // not ours to remove
        std::filesystem::remove(temp);
    }
    {
        SCOPED_TRACE("the contents cannot be made durable");
        EXPECT_FALSE(WriteConfiguration(Ini(), Changed(), &FailingSync));
        EXPECT_EQ(LastLogLine(), writeFailure);
        EXPECT_EQ(ReadFileBytes(Ini()), old);
        EXPECT_FALSE(std::filesystem::exists(temp));
    }
    if (std::filesystem::exists("/dev/full")) {
        SCOPED_TRACE("the device is full");
        std::filesystem::create_symlink("/dev/full", temp);
        EXPECT_FALSE(WriteConfiguration(Ini(), Changed()));
        EXPECT_EQ(LastLogLine(), writeFailure);
        EXPECT_EQ(ReadFileBytes(Ini()), old);
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(temp)));
    }
    {
        SCOPED_TRACE("the file cannot be replaced");
        const std::string dir = home.File("taken");
        std::filesystem::create_directory(dir);
        EXPECT_FALSE(WriteConfiguration(dir, Changed()));
        EXPECT_EQ(LastLogLine(), writeFailure);
        EXPECT_TRUE(std::filesystem::is_directory(dir));
        EXPECT_FALSE(std::filesystem::exists(ConfigurationTempPath(dir)));
    }
    // A later write succeeds and replaces the file.
    EXPECT_TRUE(WriteConfiguration(Ini(), Changed(), &SyncFileToDisk));
    EXPECT_NE(ReadFileBytes(Ini()), old);
}

}  // namespace
}  // namespace vyr
