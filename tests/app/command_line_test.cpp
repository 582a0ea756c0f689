#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace vyr {
namespace {

CommandLineOptions Parse(const std::string& line) {
    CommandLineOptions options;
    std::istringstream words(line);
    for (std::string word; words >> word;) options.ParseWord(word);
    return options;
}

TEST(CommandLine, ParsesFlagsValuesAndTheFileName) {
    struct Case {
        const char* line;
        std::int32_t flags;
        const char* fileName;
        std::int32_t scanRate;
        std::int16_t blankingShift;
        std::int16_t frameDelay;
        std::int32_t palette;
    };
    const Case cases[] = {
        {"/s 20000 /d 25 /b 5 /r show.ild", 0x01 | 0x04 | 0x08 | 0x10 | 0x20, "show.ild", 20000, 5, 25, 0},
        // -10 is a flag nobody knows, so show.ild becomes the blanking shift.
        {"/b -10 show.ild", 0x08, "", 30000, 0, 0, 0},
        // x is ignored and 5 is the file name until show.ild replaces it.
        {"/x 5 show.ild", 0x01, "show.ild", 30000, 0, 0, 0},
        {"-P x29 logo.ild", 0x01 | 0x02, "logo.ild", 30000, 0, 0, 3},
        {"/p laser_illusions", 0x02, "", 30000, 0, 0, 1},
        {"/p nonsense a.ild", 0x01 | 0x02, "a.ild", 30000, 0, 0, 0},
        {"/S 70000", 0x04, "", 70000, 0, 0, 0},
        {"/s abc", 0x04, "", 0, 0, 0, 0},
        {"/d 12ms", 0x10, "", 30000, 0, 12, 0},
        {"/r /s 1000", 0x04 | 0x20, "", 1000, 0, 0, 0},
        // Absolute paths begin with '/' here; they are file names, not flags.
        {"/s 2000 /home/op/Laser/show.ild", 0x01 | 0x04, "/home/op/Laser/show.ild", 2000, 0, 0, 0},
        {"/show.ild", 0x01, "/show.ild", 30000, 0, 0, 0},
        {"/b 70000", 0x08, "", 30000, 4464, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const CommandLineOptions o = Parse(c.line);
        EXPECT_EQ(o.flags, c.flags);
        EXPECT_EQ(o.fileName, c.fileName);
        EXPECT_EQ(o.scanRate, c.scanRate);
        EXPECT_EQ(o.blankingShift, c.blankingShift);
        EXPECT_EQ(o.frameDelay, c.frameDelay);
        EXPECT_EQ(o.paletteIndex, c.palette);
    }
}

TEST(CommandLine, AnOptionStillWaitsForItsValueAfterAnUnknownFlag) {
    const CommandLineOptions o = Parse("/d -5 40");
    EXPECT_EQ(o.frameDelay, 40);
    EXPECT_EQ(o.flags, 0x10);
}

TEST(CommandLine, LongFileNamesAreCutToWhatTheRecordHolds) {
    const std::string name = std::string(100, 'a') + ".ild";
    const CommandLineOptions o = Parse(name);
    EXPECT_EQ(o.fileName, name.substr(0, 79));
}

TEST(CommandLine, ExtensionIsTheLastThreeCharactersUpperCased) {
    EXPECT_EQ(FileNameExtension("SHOW.Cts"), "CTS");
    EXPECT_EQ(FileNameExtension("a.ild"), "ILD");
    EXPECT_EQ(FileNameExtension("ab"), "");
    EXPECT_EQ(FileNameExtension("show"), "HOW");
}

}  // namespace
}  // namespace vyr
