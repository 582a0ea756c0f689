#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/temp_home.h"

namespace vyr {
namespace {

std::string Word(int v) {
    const auto w = static_cast<std::uint16_t>(v);
    return {static_cast<char>(w >> 8), static_cast<char>(w & 0xFF)};
}
std::string Byte(int v) { return std::string(1, static_cast<char>(v)); }
std::string Header(int format, int points, int number, int total, int head) {
    return "ILDA" + Byte(0) + Byte(0) + Byte(0) + Byte(format) + std::string(16, ' ') + Word(points) + Word(number) +
           Word(total) + Byte(head) + Byte(0);
}

// A format-0 frame of two points, a format-5 frame of one, and the end marker.
std::string SmallFile() {
    return Header(0, 2, 0, 3, 3) + Word(1) + Word(-2) + Word(3) + Word(0x4001) + Word(-32768) + Word(32767) +
           Word(0) + Word(0x8000) + Header(5, 1, 1, 3, 0) + Word(10) + Word(20) + Byte(0x80) + Byte(1) + Byte(2) +
           Byte(3) + Header(0, 0, 3, 3, 0);
}

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

ToolRun RunTool(const test::TempHome& home, const std::string& args) {
    ToolRun run;
#ifdef VYR_ILDA_TOOL_PATH
    const std::string out = home.File("stdout.txt");
    const std::string err = home.File("stderr.txt");
    const std::string command = std::string("'") + VYR_ILDA_TOOL_PATH + "' " + args + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = test::ReadFileBytes(out);
    run.err = test::ReadFileBytes(err);
#else
    (void)home;
    (void)args;
#endif
    return run;
}

class VyrIldaTool : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef VYR_ILDA_TOOL_PATH
        GTEST_SKIP() << "vyr-ilda is not built";
#endif
    }
    test::TempHome home_;
};

TEST_F(VyrIldaTool, DumpPrintsEveryFrameAndPoint) {
    const std::string file = home_.File("small.ild");
    test::WriteFileBytes(file, SmallFile());
    const ToolRun run = RunTool(home_, "dump '" + file + "'");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "frames 3\n"
              "frame 0 format 0 number 0 points 2 head 3\n"
              "1 -2 3 16385\n"
              "-32768 32767 0 32768\n"
              "frame 1 format 5 number 1 points 1 head 0\n"
              "10 20 0 32768 3 2 1\n");
}

TEST_F(VyrIldaTool, InfoReportsEachFileAndFailsWhenOneDoesNotLoad) {
    const std::string good = home_.File("small.ild");
    const std::string bad = home_.File("missing.ild");
    test::WriteFileBytes(good, SmallFile());
    const ToolRun run = RunTool(home_, "info '" + good + "' '" + bad + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, good +
                           "\n"
                           "  headers 3\n"
                           "  frames  2\n"
                           "  points  3\n"
                           "  formats 0 (2), 5 (1)\n"
                           "  end     end marker\n" +
                           bad + ": not loaded\n");
    EXPECT_EQ(run.err, "DoReadILDAFile(): Unable to open file \n" + bad + "\n");

    EXPECT_EQ(RunTool(home_, "info '" + good + "'").status, 0);
}

TEST_F(VyrIldaTool, DumpOfAFileThatDoesNotLoadExitsWithOneAndLogsWhy) {
    const std::string file = home_.File("text.ild");
    test::WriteFileBytes(file, "This is not an ILDA file.\n");
    const ToolRun run = RunTool(home_, "dump '" + file + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "ReadFile(): Initial unused bytes not all zero.\n"
              "ReadFile(): Reading stopped at unknown frame format code 32\n"
              "DoReadILDAFile(): Call to ReadFile() failed for file \n" +
                  file + "\n");
}

TEST_F(VyrIldaTool, UsageErrorsExitWithTwo) {
    const std::string file = home_.File("small.ild");
    test::WriteFileBytes(file, SmallFile());
    for (const std::string& args : {std::string(), std::string("info"), std::string("dump"),
                                   "dump '" + file + "' '" + file + "'", "convert '" + file + "'"}) {
        SCOPED_TRACE(args);
        const ToolRun run = RunTool(home_, args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("usage: vyr-ilda"), std::string::npos);
    }
}

}  // namespace
}  // namespace vyr
