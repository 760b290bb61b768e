#include "app/start_options.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

namespace fs = std::filesystem;

TEST(StartOptions, OwnWordsAreFoundAndQtsAreLeftAlone) {
    const StartOptions none = parseStartOptions({"-platform", "offscreen"});
    EXPECT_FALSE(none.help || none.version || none.desktop);
    const StartOptions desktop = parseStartOptions({"-platform", "vnc", "--desktop"});
    EXPECT_TRUE(desktop.desktop);
    EXPECT_FALSE(desktop.help || desktop.version);
    EXPECT_TRUE(parseStartOptions({"--help"}).help);
    EXPECT_TRUE(parseStartOptions({"-h"}).help);
    EXPECT_TRUE(parseStartOptions({"--version"}).version);
}

class UserFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = fs::current_path();
        const char* home = std::getenv("HOME");
        savedHome = home != nullptr ? home : "";
        hadHome = home != nullptr;
    }
    void TearDown() override {
        fs::current_path(previous);
        if (hadHome) {
            ::setenv("HOME", savedHome.c_str(), 1);
        } else {
            ::unsetenv("HOME");
        }
    }
    test::TempDir dir;
    fs::path previous;
    std::string savedHome;
    bool hadHome = false;
};

// The first start from the menu creates the folder, later ones just enter it.
TEST_F(UserFolderTest, CreatedOnFirstStartAndEnteredLater) {
    ::setenv("HOME", dir.Path().c_str(), 1);
    const std::string folder = userFolder();
    EXPECT_EQ(folder, dir.File("KvelView"));
    std::string error;
    ASSERT_TRUE(enterFolder(folder, &error)) << error;
    EXPECT_EQ(fs::current_path(), fs::path(folder));
    test::WriteBytes(folder + "/mem.ini", "[connect]\n");
    fs::current_path(previous);
    ASSERT_TRUE(enterFolder(folder, &error)) << error;
    EXPECT_EQ(test::ReadBytes("mem.ini"), "[connect]\n");
}

TEST_F(UserFolderTest, FolderThatCannotBeMadeGivesTheReason) {
    test::WriteBytes(dir.File("file"), "x");
    std::string error;
    EXPECT_FALSE(enterFolder(dir.File("file") + "/KvelView", &error));
    EXPECT_EQ(error.rfind(dir.File("file") + "/KvelView: ", 0), 0u) << error;
    EXPECT_EQ(fs::current_path(), previous);
}

}  // namespace
}  // namespace kvel
