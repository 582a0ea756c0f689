#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/null/shared_library_null.h"
#include "platform/posix/shared_library_dlopen.h"
#include "support/temp_home.h"

namespace vyr {
namespace {

constexpr const char* kName = "libRiyaNetServer.so";
constexpr const char* kVariable = "VYR_TEST_RIYA_PATH";

// A directory that stands in for the executable's, with or without the library beside it.
class SharedLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef VYR_RIYA_SIM_PATH
        GTEST_SKIP() << "simulated RIYA library not built";
#else
        std::filesystem::create_directory(withLibrary);
        std::filesystem::create_directory(empty);
        std::filesystem::create_symlink(VYR_RIYA_SIM_PATH, withLibrary / kName);
#endif
    }
    void TearDown() override { unsetenv(kVariable); }

    test::TempHome home;
    std::filesystem::path withLibrary = home.Path() / "with";
    std::filesystem::path empty = home.Path() / "empty";
};

TEST_F(SharedLibraryTest, BareNameIsFoundBesideTheExecutableAndExportsItsRoutines) {
    DlopenLibraryLoader loader({}, withLibrary.string());
    std::unique_ptr<SharedLibrary> library = loader.Load(kName);
    ASSERT_NE(library, nullptr) << loader.LastError();
    EXPECT_NE(library->Symbol("RiOpenDevices"), nullptr);
    EXPECT_NE(library->Symbol("RiSetShowCadr"), nullptr);
    EXPECT_EQ(library->Symbol("RiNoSuchRoutine"), nullptr);
    // The same library may be loaded again while it is held.
    EXPECT_NE(loader.Load(kName), nullptr);
}

TEST_F(SharedLibraryTest, BareNameFallsBackToTheSystemSearch) {
    DlopenLibraryLoader loader({}, empty.string());
    EXPECT_EQ(loader.Load(kName), nullptr) << "not installed on the system";
    EXPECT_FALSE(loader.LastError().empty());
    std::unique_ptr<SharedLibrary> libm = loader.Load("libm.so.6");
    ASSERT_NE(libm, nullptr) << loader.LastError();
    EXPECT_NE(libm->Symbol("cos"), nullptr);
}

TEST_F(SharedLibraryTest, PathVariableReplacesTheSearch) {
    DlopenLibraryLoader loader({{kName, kVariable}}, withLibrary.string());

    setenv(kVariable, "/nonexistent/libRiyaNetServer.so", 1);
    EXPECT_EQ(loader.Load(kName), nullptr) << "a named path is not second-guessed";

    DlopenLibraryLoader elsewhere({{kName, kVariable}}, empty.string());
    setenv(kVariable, (withLibrary / kName).c_str(), 1);
    EXPECT_NE(elsewhere.Load(kName), nullptr) << elsewhere.LastError();

    unsetenv(kVariable);
    EXPECT_NE(loader.Load(kName), nullptr) << "unset: the usual search";
    setenv(kVariable, "", 1);
    EXPECT_NE(loader.Load(kName), nullptr) << "empty counts as unset";
}

TEST_F(SharedLibraryTest, NameWithASlashIsLoadedFromThatPathOnly) {
    DlopenLibraryLoader loader({}, withLibrary.string());
    EXPECT_NE(loader.Load((withLibrary / kName).string()), nullptr);
    EXPECT_EQ(loader.Load((empty / kName).string()), nullptr);
}

TEST(NullLibraryLoader, FindsNothing) {
    NullLibraryLoader loader;
    EXPECT_EQ(loader.Load("libm.so.6"), nullptr);
}

}  // namespace
}  // namespace vyr
