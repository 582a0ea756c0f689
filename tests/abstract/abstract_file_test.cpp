#include <gtest/gtest.h>

#include <stdio.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "abstract/abstract.h"
#include "app/log.h"
#include "support/temp_home.h"

namespace vyr::test {
namespace {

namespace fs = std::filesystem;

// Every test leaves the process in the directory it found it in, and checks
// that the code under test did too.
class DefinitionFile : public ::testing::Test {
protected:
    void SetUp() override {
        start_ = fs::current_path();
        elsewhere_ = home.Path() / "elsewhere";
        fs::create_directory(elsewhere_);
        fs::current_path(elsewhere_);
    }
    void TearDown() override { fs::current_path(start_); }

    std::string Dir() const { return home.Path().string(); }
    std::string Write(const std::string& name, const std::string& text) const {
        WriteFileBytes(home.File(name), text);
        return home.File(name);
    }
    void ExpectStillElsewhere() const { EXPECT_EQ(fs::current_path(), elsewhere_); }

    TempHome home;
    fs::path start_;
    fs::path elsewhere_;
};

std::string Numbers(int count, int first = 0) {
    std::string s;
    for (int i = 0; i < count; ++i) s += std::to_string(first + i) + "\n";
    return s;
}

// A complete file: formula 1, shift 1, nothing moving.
std::string Block1(const std::string& entries = Numbers(12, 1)) { return "13\n1\n" + entries; }
std::string Block2(const std::string& entries = Numbers(12)) { return "12\n" + entries; }
std::string Block3(const std::string& entries = Numbers(13, 10)) { return "13\n" + entries; }

// The parameters a save writes, set to values that tell every field apart.
Abstract Sample() {
    Abstract a;
    a.formula = 3;
    a.channelDelta = {1, 2, 3};
    a.envelopeSpeed = 4;
    a.shift = 5;
    a.colorSpeed = 6;
    a.blankSpeed = 7;
    a.blankSpot = 8;
    a.red = 9;
    a.blue = 10;
    a.green = 11;
    a.envelopeType = 1;
    a.envelopeDepth = 12;
    a.channelRate = {0.5, -0.25, 0.125};
    a.envelopePhase = 1.5;
    a.channelPhase = {2.0, 3.0, 4.0};
    a.extraPhase = 5.0;
    a.blankPhase = 6.0;
    a.colorPhase = 7.0;
    a.colorOffset = {10, 20, 30};
    a.channelGain = {40, 50, 60};
    a.channelOffset = {70, 80, 90};
    a.zAxisFormula = 4;
    a.zAxisGain = 55;
    a.pointsPerFrame = 600;
    a.zAxisOffset = 45;
    return a;
}

constexpr const char* kSampleFile =
    "13\r\n\r\n32771\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n4108\r\n\r\n"
    "12\r\n\r\n0.500000\r\n-0.250000\r\n0.125000\r\n1.500000\r\n2.000000\r\n3.000000\r\n4.000000\r\n"
    "5.000000\r\n6.000000\r\n7.000000\r\n0.000000\r\n0.000000\r\n\r\n"
    "13\r\n\r\n10\r\n20\r\n30\r\n40\r\n50\r\n60\r\n70\r\n80\r\n90\r\n4\r\n55\r\n600\r\n45\r\n\r\n";

void ExpectSameParameters(const Abstract& got, const Abstract& want) {
    EXPECT_EQ(got.formula, want.formula);
    EXPECT_EQ(got.channelDelta, want.channelDelta);
    EXPECT_EQ(got.envelopeSpeed, want.envelopeSpeed);
    EXPECT_EQ(got.shift, want.shift);
    EXPECT_EQ(got.colorSpeed, want.colorSpeed);
    EXPECT_EQ(got.blankSpeed, want.blankSpeed);
    EXPECT_EQ(got.blankSpot, want.blankSpot);
    EXPECT_EQ(got.red, want.red);
    EXPECT_EQ(got.green, want.green);
    EXPECT_EQ(got.blue, want.blue);
    EXPECT_EQ(got.envelopeType, want.envelopeType);
    EXPECT_EQ(got.envelopeDepth, want.envelopeDepth);
    EXPECT_EQ(got.channelRate, want.channelRate);
    EXPECT_EQ(got.envelopePhase, want.envelopePhase);
    EXPECT_EQ(got.channelPhase, want.channelPhase);
    EXPECT_EQ(got.extraPhase, want.extraPhase);
    EXPECT_EQ(got.blankPhase, want.blankPhase);
    EXPECT_EQ(got.colorPhase, want.colorPhase);
    EXPECT_EQ(got.colorOffset, want.colorOffset);
    EXPECT_EQ(got.channelGain, want.channelGain);
    EXPECT_EQ(got.channelOffset, want.channelOffset);
    EXPECT_EQ(got.zAxisFormula, want.zAxisFormula);
    EXPECT_EQ(got.zAxisGain, want.zAxisGain);
    EXPECT_EQ(got.pointsPerFrame, want.pointsPerFrame);
    EXPECT_EQ(got.zAxisOffset, want.zAxisOffset);
}

TEST_F(DefinitionFile, SaveWritesTheLayoutAndReadsBackTheSameParameters) {
    Abstract saved = Sample();
    const std::string path = home.File("sample.abs");
    ASSERT_EQ(saved.WriteDefinitionFile(path, Dir(), true), 1);
    ExpectStillElsewhere();
    EXPECT_EQ(ReadFileBytes(path), kSampleFile);
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    Abstract loaded(path, Dir());
    ExpectStillElsewhere();
    ASSERT_EQ(loaded.valid, 1);
    EXPECT_EQ(loaded.SetPattern(1), 1);
    ExpectSameParameters(loaded, saved);
    EXPECT_EQ(loaded.usePalette, 1) << "from the Use Palette box, not the track";
    EXPECT_EQ(loaded.restart, 1);
    EXPECT_EQ(home.LogLines(), std::vector<std::string>{"Saving abstract file: " + path});
}

TEST_F(DefinitionFile, RealsGoThroughSixDecimals) {
    Abstract saved;
    saved.channelRate = {4e-07, 6e-07, -0.0012344};
    saved.channelPhase = {0.1234567, 1234.5678, -3.0};
    const std::string path = home.File("round.abs");
    ASSERT_EQ(saved.WriteDefinitionFile(path, Dir(), false), 1);
    Abstract loaded(path, Dir());
    ASSERT_EQ(loaded.valid, 1);
    loaded.SetPattern(1);
    EXPECT_EQ(loaded.channelRate[0], 0.0) << "below 5e-07 the value rounds away";
    EXPECT_EQ(loaded.channelRate[1], static_cast<double>(0.000001f));
    EXPECT_EQ(loaded.channelRate[2], static_cast<double>(-0.001234f));
    EXPECT_EQ(loaded.channelPhase[0], static_cast<double>(0.123457f));
    EXPECT_EQ(loaded.channelPhase[1], static_cast<double>(1234.567749f)) << "single precision first";
    EXPECT_EQ(loaded.channelPhase[2], -3.0);
    EXPECT_EQ(loaded.usePalette, 0);
}

TEST_F(DefinitionFile, ARelativePathIsTakenFromTheProgramDirectory) {
    Write("relative.abs", Block1() + Block2() + Block3());
    Abstract a("relative.abs", Dir());
    EXPECT_EQ(a.valid, 1);
    ExpectStillElsewhere();
    EXPECT_TRUE(home.LogLines().empty());
}

TEST_F(DefinitionFile, PackedEntriesAndTheZeroDefaults) {
    std::string first = "32771\n" + Numbers(4, 1) + "0\n" + Numbers(6, 6) + std::to_string(0x1000 | 40) + "\n";
    std::string third = Numbers(11, 1) + "0\n7\n";
    const std::string path = Write("packed.abs", "13\n" + first + Block2() + "13\n" + third);
    Abstract a(path, Dir());
    ASSERT_EQ(a.valid, 1);
    a.SetPattern(1);
    EXPECT_EQ(a.formula, 3);
    EXPECT_EQ(a.usePalette, 1);
    EXPECT_EQ(a.shift, 1) << "a shift of 0 is read as 1";
    EXPECT_EQ(a.envelopeType, 1);
    EXPECT_EQ(a.envelopeDepth, 40);
    EXPECT_EQ(a.pointsPerFrame, 400) << "0 points per frame is read as 400";
    EXPECT_EQ(a.zAxisOffset, 7);

    // Bits 4..14 of the first entry mean nothing.
    Abstract b(Write("bits.abs", "13\n" + std::to_string(0x7FF5) + "\n" + Numbers(12, 1) + Block2() + Block3()),
               Dir());
    b.SetPattern(1);
    EXPECT_EQ(b.formula, 5);
    EXPECT_EQ(b.usePalette, 0);
}

TEST_F(DefinitionFile, NegativeAndLargeValuesKeepTheirLowSixteenBits) {
    const std::string path = Write("signed.abs", "13\n1\n-1\n70000\n3\n4\n5\n6\n7\n8\n-1\n-2\n300\n0\n" + Block2() +
                                                     "13\n1\n2\n3\n-5\n50\n60\n70\n80\n90\n2\n-20\n100\n45\n");
    Abstract a(path, Dir());
    ASSERT_EQ(a.valid, 1);
    a.SetPattern(1);
    EXPECT_EQ(a.channelDelta[0], 65535);
    EXPECT_EQ(a.channelDelta[1], 70000 - 65536);
    EXPECT_EQ(a.red, -1);
    EXPECT_EQ(a.blue, -2);
    EXPECT_EQ(a.green, 300);
    EXPECT_EQ(a.channelGain[0], 65531);
    EXPECT_EQ(a.zAxisGain, -20);
}

TEST_F(DefinitionFile, TwoBlocksOnlyStillLoad) {
    for (const std::string& third : {std::string(), std::string("\r\n\r\n"), std::string("NOTANUMBER\n")}) {
        TempHome local;
        const std::string path = local.File("two.abs");
        WriteFileBytes(path, Block1() + Block2() + third);
        Abstract a(path, local.Path().string());
        EXPECT_EQ(a.valid, 1);
        ExpectStillElsewhere();
        EXPECT_EQ(local.LogLines(), std::vector<std::string>{"Abstract::Abstract(): Unable to read INT2 header info."});
        a.SetPattern(1);
        EXPECT_EQ(a.pointsPerFrame, 400);
        EXPECT_EQ(a.channelGain, (std::array<std::uint16_t, 3>{0, 0, 0}));
        EXPECT_EQ(a.colorOffset, (std::array<std::uint16_t, 3>{0, 0, 0}));
        EXPECT_EQ(a.zAxisFormula, 0) << "no depth";
    }
}

TEST_F(DefinitionFile, AShortRealBlockSetsTheRatesAndTheEnvelopeOnly) {
    const std::string path = Write("short.abs", Block1() + "4\n0.5\n0.25\n0.125\n2.0\n" + Block3());
    Abstract a(path, Dir());
    ASSERT_EQ(a.valid, 1);
    a.channelPhase = {1.0, 2.0, 3.0};
    a.blankPhase = a.colorPhase = a.extraPhase = 4.0;
    a.SetPattern(1);
    EXPECT_EQ(a.channelRate, (std::array<double, 3>{0.5, 0.25, 0.125}));
    EXPECT_EQ(a.envelopePhase, 2.0);
    EXPECT_EQ(a.channelPhase, (std::array<double, 3>{0.0, 0.0, 0.0}));
    EXPECT_EQ(a.blankPhase + a.colorPhase + a.extraPhase, 0.0);
    EXPECT_EQ(a.channelGain, (std::array<std::uint16_t, 3>{13, 14, 15}));
}

TEST_F(DefinitionFile, AShortThirdBlockLeavesTheRestAtZero) {
    const std::string path = Write("short3.abs", Block1() + Block2() + "4\n100\n200\n300\n25\n");
    Abstract a(path, Dir());
    ASSERT_EQ(a.valid, 1);
    a.SetPattern(1);
    EXPECT_EQ(a.colorOffset, (std::array<std::uint16_t, 3>{100, 200, 300}));
    EXPECT_EQ(a.channelGain, (std::array<std::uint16_t, 3>{25, 0, 0}));
    EXPECT_EQ(a.pointsPerFrame, 400);
}

// Files that are not patterns: what the log says, whether the object is
// valid, and that the working directory is where it was.
TEST_F(DefinitionFile, BadFiles) {
    struct Case {
        const char* name;
        std::string text;
        std::string log;  // "%s" stands for the path
        int valid;
    };
    const std::string cant = "Abstract::Abstract(): Can't read next entry from file %s";
    const Case cases[] = {
        {"empty", "", "Abstract::Abstract(): Unable to read INT header info.", 0},
        {"blank lines only", "\r\n\r\n  \t", "Abstract::Abstract(): Unable to read INT header info.", 0},
        {"first count not a number", "abc", "Abstract::Abstract(): Unable to read INT header info.", 0},
        {"first count beyond 32 bits", "4294967309\n" + Numbers(13),
         "Abstract::Abstract(): Unable to read INT header info.", 0},
        {"first block cut short", "13\n1\n2\n3", cant, 0},
        {"no second count", Block1(), "Abstract::Abstract(): Unable to read REAL header info.", 0},
        {"second count not a number", Block1() + "twelve", "Abstract::Abstract(): Unable to read REAL header info.", 0},
        {"second block cut short", Block1() + "12\n0.5\n", cant, 0},
        {"third block cut short", Block1() + Block2() + "13\n1\n2\n", cant, 0},
        {"a word for a number", Block1(Numbers(5, 1) + "five\n" + Numbers(6, 7)) + Block2() + Block3(), cant, 0},
        {"a real for an integer", Block1(Numbers(5, 1) + "1.5\n" + Numbers(6, 7)) + Block2() + Block3(), cant, 0},
        {"an integer beyond 32 bits", Block1(Numbers(5, 1) + "99999999999\n" + Numbers(6, 7)) + Block2() + Block3(),
         cant, 0},
        {"two signs", Block1(Numbers(5, 1) + "+-5\n" + Numbers(6, 7)) + Block2() + Block3(), cant, 0},
        {"not a number as a real", Block1() + Block2("nan\n" + Numbers(11)) + Block3(), cant, 0},
        {"infinity as a real", Block1() + Block2("inf\n" + Numbers(11)) + Block3(), cant, 0},
        {"a real beyond single precision", Block1() + Block2("1e39\n" + Numbers(11)) + Block3(), cant, 0},
        {"a word longer than any number", Block1() + Block2(std::string(600, '1') + "\n" + Numbers(11)) + Block3(),
         cant, 0},
        {"NUL inside a number", Block1(Numbers(5, 1) + std::string("1\0", 2) + "2\n" + Numbers(6, 7)) + Block2() +
                                    Block3(),
         cant, 0},
        {"first count above 13", "14\n" + Numbers(14) + Block2() + Block3(),
         "Abstract::Abstract(): Invalid INT entry count 14 (at most 13) in file %s", 0},
        {"second count above 12", Block1() + "13\n" + Numbers(13) + Block3(),
         "Abstract::Abstract(): Invalid REAL entry count 13 (at most 12) in file %s", 0},
        {"third count above 13", Block1() + Block2() + "14\n" + Numbers(14),
         "Abstract::Abstract(): Invalid INT2 entry count 14 (at most 13) in file %s", 0},
        {"a huge count", "2000000000\n" + Numbers(13),
         "Abstract::Abstract(): Invalid INT entry count 2000000000 (at most 13) in file %s", 0},
        {"a negative count", "-1\n" + Block2() + Block3(),
         "Abstract::Abstract(): Invalid INT entry count -1 (at most 13) in file %s", 0},
        {"counts of 0", "0\n0\n0\n", "", 1},
        {"signs, exponents and tiny reals", "+13\n" + Numbers(13) + "12\n-1\n+2.5\n1e3\n.5\n1e-50\n" + Numbers(7) +
                                                Block3(),
         "", 1},
        {"no line breaks at all", "3 1 2 3 2 0.5 0.25 1 7", "", 1},
        {"trailing text after the third block", Block1() + Block2() + Block3() + "garbage", "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome local;
        const std::string path = local.File("bad.abs");
        WriteFileBytes(path, c.text);
        Abstract a(path, local.Path().string());
        EXPECT_EQ(a.valid, c.valid);
        ExpectStillElsewhere();
        std::string want = c.log;
        if (const auto at = want.find("%s"); at != std::string::npos) want.replace(at, 2, path);
        EXPECT_EQ(local.LogLines(), want.empty() ? std::vector<std::string>{} : std::vector<std::string>{want});
        if (c.valid == 1) {
            EXPECT_EQ(a.SetPattern(1), 1);
        }
    }
}

TEST_F(DefinitionFile, ParsedValuesOfTheLenientForms) {
    const std::string path =
        Write("lenient.abs", "+13\n" + Numbers(13) + "12\n-1\n+2.5\n1e3\n.5\n1e-50\n" + Numbers(7) + Block3());
    Abstract a(path, Dir());
    ASSERT_EQ(a.valid, 1);
    EXPECT_EQ(a.intBlockCount, 13);
    EXPECT_EQ(a.realBlock[0], -1.0f);
    EXPECT_EQ(a.realBlock[1], 2.5f);
    EXPECT_EQ(a.realBlock[2], 1000.0f);
    EXPECT_EQ(a.realBlock[3], 0.5f);
    EXPECT_EQ(a.realBlock[4], 0.0f);
}

TEST_F(DefinitionFile, AMissingFileOrProgramDirectory) {
    Abstract missing(home.File("nope.abs"), Dir());
    EXPECT_EQ(missing.valid, 0);
    ExpectStillElsewhere();
    const std::string noDir = home.File("no-such-directory");
    Abstract noProgram("relative.abs", noDir);
    EXPECT_EQ(noProgram.valid, 0);
    ExpectStillElsewhere();
    EXPECT_EQ(home.LogLines(), (std::vector<std::string>{
                                   "Abstract::Abstract(): Unable to open file " + home.File("nope.abs"),
                                   "Abstract::Abstract(): Unable to change to app directory",
                                   noDir,
                               }));
}

TEST_F(DefinitionFile, AWorkingDirectoryThatNoLongerExists) {
    const fs::path gone = home.Path() / "gone";
    fs::create_directory(gone);
    fs::current_path(gone);
    fs::remove(gone);
    Abstract read(home.File("any.abs"), Dir());
    EXPECT_EQ(read.valid, 0);
    Abstract saved;
    EXPECT_EQ(saved.WriteDefinitionFile(home.File("any.abs"), Dir(), false), 0);
    EXPECT_FALSE(fs::exists(home.File("any.abs")));
    EXPECT_EQ(home.LogLines(), (std::vector<std::string>{
                                   "Abstract::Abstract(): Unable to get current directory name.",
                                   "Saving abstract file: " + home.File("any.abs"),
                                   "CAbstractControl::OnButtonAbsSave(): Unable to get current directory name.",
                               }));
}

// A directory whose absolute path is longer than a path may be when it is
// made current by name: the process can be in it, learn its name, and still
// not get back into it by that name.
class DeepDirectory {
public:
    static constexpr int kLevels = 25;

    explicit DeepDirectory(const fs::path& base) : base_(base) {
        fs::create_directories(base_);
        fs::current_path(base_);
        for (int i = 0; i < kLevels; ++i) {
            if (mkdir(kName.c_str(), 0700) != 0 || chdir(kName.c_str()) != 0) return;
        }
        entered_ = true;
    }
    ~DeepDirectory() {
        if (chdir(base_.c_str()) != 0) return;
        int depth = 0;
        while (depth < kLevels && chdir(kName.c_str()) == 0) ++depth;
        for (; depth > 0; --depth) {
            if (chdir("..") != 0 || rmdir(kName.c_str()) != 0) return;
        }
    }
    bool Entered() const { return entered_; }

private:
    inline static const std::string kName = std::string(200, 'd');
    fs::path base_;
    bool entered_ = false;
};

TEST_F(DefinitionFile, AWorkingDirectoryThatCannotBeReturnedTo) {
    const std::string path = Write("deep.abs", Block1() + Block2() + Block3());
    {
        DeepDirectory deep(home.Path() / "one");
        ASSERT_TRUE(deep.Entered());
        const std::string where = fs::current_path().string();
        ASSERT_GT(where.size(), 4096u);

        Abstract read(path, Dir());
        EXPECT_EQ(read.valid, 0) << "read, but the program is now somewhere else";
        EXPECT_EQ(fs::current_path(), home.Path());

        DeepDirectory again(home.Path() / "two");
        ASSERT_TRUE(again.Entered());
        const std::string whereAgain = fs::current_path().string();
        Abstract saved = Sample();
        EXPECT_EQ(saved.WriteDefinitionFile(home.File("saved.abs"), Dir(), false), 1) << "the file is written";
        EXPECT_EQ(saved.valid, 0);
        std::string want = kSampleFile;
        want.replace(want.find("32771"), 5, "3");
        EXPECT_EQ(ReadFileBytes(home.File("saved.abs")), want);

        EXPECT_EQ(home.LogLines(), (std::vector<std::string>{
                                       "Abstract::Abstract(): Unable to return to working directory",
                                       where,
                                       "Saving abstract file: " + home.File("saved.abs"),
                                       "Abstract::Abstract(): Unable to return to working directory",
                                       whereAgain,
                                   }));
    }
    fs::current_path(elsewhere_);
}

TEST_F(DefinitionFile, SaveFailuresToOpen) {
    Abstract a = Sample();
    EXPECT_EQ(a.WriteDefinitionFile("no-such-folder/x.abs", Dir(), false), 0);
    ExpectStillElsewhere();
    const std::string noDir = home.File("no-such-directory");
    EXPECT_EQ(a.WriteDefinitionFile("x.abs", noDir, false), 0);
    ExpectStillElsewhere();
    EXPECT_FALSE(fs::exists(home.File("x.abs")));
    // A folder in the way of the file.
    fs::create_directory(home.Path() / "taken.abs");
    EXPECT_EQ(a.WriteDefinitionFile("taken.abs", Dir(), false), 0);
    EXPECT_FALSE(fs::exists(home.File("taken.abs.tmp")));
    EXPECT_EQ(home.LogLines(), (std::vector<std::string>{
                                   "Saving abstract file: no-such-folder/x.abs",
                                   "CAbstractControl::OnButtonAbsSave(): Unable to open file no-such-folder/x.abs",
                                   "Saving abstract file: x.abs",
                                   "CAbstractControl::OnButtonAbsSave(): Unable to change to app directory",
                                   noDir,
                                   "Saving abstract file: taken.abs",
                                   "CAbstractControl::OnButtonAbsSave(): Unable to open file taken.abs",
                               }));
    EXPECT_EQ(a.valid, 1);
}

// Saves the sample under a file-size limit of `limit` bytes, so that writing
// fails at that byte. The limit and the ignored SIGXFSZ hold for the whole
// process only while the save runs. What the save logs is caught in memory,
// since the log file is under the limit too.
struct LimitedSave {
    std::int16_t result = -1;
    std::string messages;
};

LimitedSave SaveUnderLimit(const std::string& path, const std::string& dir, std::size_t limit) {
    LimitedSave out;
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* echo = open_memstream(&buffer, &size);
    if (echo == nullptr) return out;
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const rlimit limited{limit, before.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    Log::Instance().SetEcho(echo);
    if (setrlimit(RLIMIT_FSIZE, &limited) == 0) {
        Abstract a = Sample();
        out.result = a.WriteDefinitionFile(path, dir, false);
        setrlimit(RLIMIT_FSIZE, &before);
    }
    Log::Instance().SetEcho(nullptr);
    std::signal(SIGXFSZ, oldHandler);
    std::fclose(echo);
    out.messages.assign(buffer, size);
    std::free(buffer);
    return out;
}

TEST_F(DefinitionFile, AFailedSaveReportsWhereAndKeepsTheOldFile) {
    std::string sample = kSampleFile;
    sample.replace(sample.find("32771"), 5, "3");  // saved without the palette box
    const std::size_t block1 = sample.find("12\r\n");
    const std::size_t block2 = sample.find("13\r\n", block1);
    const std::string path = home.File("kept.abs");
    const std::string cant = "CAbstractControl::OnButtonAbsSave(): Can't write next entry to file " + path;
    struct Case {
        std::size_t limit;
        std::string message;
    };
    const Case cases[] = {
        {0, "CAbstractControl::OnButtonAbsSave(): Unable to write INT header info."},
        {10, cant},
        {block1, "CAbstractControl::OnButtonAbsSave(): Unable to write REAL header info."},
        {block1 + 8, cant},
        {block2, "CAbstractControl::OnButtonAbsSave(): Unable to write INT2 header info."},
        {sample.size() - 1, cant},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.limit);
        WriteFileBytes(path, "the old pattern");
        const LimitedSave save = SaveUnderLimit(path, Dir(), c.limit);
        EXPECT_EQ(save.result, 0);
        EXPECT_EQ(save.messages, "Saving abstract file: " + path + "\n" + c.message + "\n");
        EXPECT_EQ(ReadFileBytes(path), "the old pattern");
        EXPECT_FALSE(fs::exists(path + ".tmp"));
        ExpectStillElsewhere();
    }
    // With room for the whole file the same save goes through.
    EXPECT_EQ(SaveUnderLimit(path, Dir(), sample.size()).result, 1);
    EXPECT_EQ(ReadFileBytes(path), sample);
}

}  // namespace
}  // namespace vyr::test
