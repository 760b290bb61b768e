// The Debian package as a user installs it: built by CPack from this build tree, it holds the
// three programs, the desktop entry and the icon, depends on what the programs load, and each
// program answers --version with the project's version.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "kvel_version.h"
#include "tests/common/shell.h"

#if !defined(KVEL_BINARY_DIR)
#error "KVEL_BINARY_DIR must name the build tree"
#endif

namespace {

namespace fs = std::filesystem;

using Output = kvel::test::ShellOutput;
using kvel::test::Shell;

TEST(Package, HoldsTheProgramsDesktopEntryAndIconAndTheirVersion) {
    if (Shell("command -v dpkg-deb").status != 0) GTEST_SKIP() << "dpkg-deb is not installed";
    const fs::path work = fs::temp_directory_path() / ("kvel-deb-" + std::to_string(::getpid()));
    kvel::test::RemoveTree(work);
    fs::create_directories(work);
    const Output built = Shell("cpack -G DEB --config '" + std::string(KVEL_BINARY_DIR) +
                               "/CPackConfig.cmake' -B '" + work.string() + "'");
    ASSERT_EQ(built.status, 0) << built.text;
    const std::string deb =
        (work / ("kvelview_" + std::string(KVEL_VERSION) + "_amd64.deb")).string();
    ASSERT_TRUE(fs::exists(deb)) << built.text;

    const Output files = Shell("dpkg-deb -c '" + deb + "'");
    ASSERT_EQ(files.status, 0) << files.text;
    for (const char* path : {"./usr/bin/kvelview", "./usr/bin/kvelctl", "./usr/bin/kvel-sim",
                             "./usr/share/applications/kvelview.desktop",
                             "./usr/share/icons/hicolor/scalable/apps/kvelview.svg",
                             "./usr/share/doc/kvelview/copyright"}) {
        EXPECT_NE(files.text.find(std::string(path) + "\n"), std::string::npos) << path;
    }
    const Output fields = Shell("dpkg-deb -f '" + deb + "' Version Depends Recommends");
    EXPECT_NE(fields.text.find("Version: " + std::string(KVEL_VERSION) + "\n"), std::string::npos)
        << fields.text;
    EXPECT_NE(fields.text.find("Recommends: qt6-wayland"), std::string::npos) << fields.text;
    for (const char* needed : {"libqt6widgets6", "qt6-qpa-plugins", "qt6-translations-l10n"}) {
        EXPECT_NE(fields.text.find(needed), std::string::npos) << fields.text;
    }

    const fs::path root = work / "root";
    ASSERT_EQ(Shell("dpkg-deb -x '" + deb + "' '" + root.string() + "'").status, 0);
    for (const std::string program : {"kvelview", "kvelctl", "kvel-sim"}) {
        // No display: the version is answered before the toolkit starts.
        const Output version = Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                     (root / "usr/bin" / program).string() + "' --version");
        EXPECT_EQ(version.status, 0) << program << ": " << version.text;
        EXPECT_EQ(version.text, program + " " + KVEL_VERSION + "\n");
    }
    kvel::test::RemoveTree(work);
}

}  // namespace
