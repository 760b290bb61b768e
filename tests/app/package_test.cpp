// The Debian package as a user installs it: built once by CPack from this build tree and
// unpacked, then checked as Debian's tools check it (lintian, man, bash completion, the
// desktop and software-centre validators) and as a user starts its programs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "kvel_version.h"
#include "tests/common/shell.h"

#if !defined(KVEL_BINARY_DIR) || !defined(KVEL_SOURCE_DIR)
#error "KVEL_BINARY_DIR and KVEL_SOURCE_DIR must name the build and source trees"
#endif

namespace {

namespace fs = std::filesystem;

using Output = kvel::test::ShellOutput;
using kvel::test::Shell;

const char* const kPrograms[] = {"kvelview", "kvelctl", "kvel-sim"};

class Package : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (Shell("command -v dpkg-deb").status != 0) return;
        work_ = fs::temp_directory_path() / ("kvel-deb-" + std::to_string(::getpid()));
        kvel::test::RemoveTree(work_);
        fs::create_directories(work_);
        built_ = Shell("cpack -G DEB --config '" + std::string(KVEL_BINARY_DIR) +
                       "/CPackConfig.cmake' -B '" + work_.string() + "'");
        deb_ = (work_ / ("kvelview_" + std::string(KVEL_VERSION) + "_amd64.deb")).string();
        if (built_.status == 0) Shell("dpkg-deb -x '" + deb_ + "' '" + root().string() + "'");
    }
    static void TearDownTestSuite() {
        if (!work_.empty()) kvel::test::RemoveTree(work_);
    }
    void SetUp() override {
        if (work_.empty()) GTEST_SKIP() << "dpkg-deb is not installed";
        ASSERT_EQ(built_.status, 0) << built_.text;
        ASSERT_TRUE(fs::exists(deb_)) << built_.text;
    }
    static fs::path root() { return work_ / "root"; }
    static std::string program(const std::string& name) {
        return (root() / "usr/bin" / name).string();
    }
    static void skipWithout(const char* tool) {
        if (Shell(std::string("command -v ") + tool).status != 0) {
            GTEST_SKIP() << tool << " is not installed (scripts/deps.sh installs it)";
        }
    }

    static inline fs::path work_;
    static inline Output built_;
    static inline std::string deb_;
};

// The options a program's --help names ("--port", "-platform"), and the commands of its
// "Commands:" part.
std::set<std::string> HelpWords(const std::string& help) {
    std::set<std::string> words;
    static const std::regex option("(^|[ [|])(--?[a-z][a-z-]*)");
    for (std::sregex_iterator i(help.begin(), help.end(), option), end; i != end; ++i) {
        words.insert((*i)[2]);
    }
    std::istringstream lines(help.substr(std::min(help.find("\nCommands:\n"), help.size())));
    std::string line;
    std::getline(lines, line);
    std::getline(lines, line);
    for (; std::getline(lines, line) && !line.empty();) {
        if (line.size() > 2 && line.compare(0, 2, "  ") == 0 && std::islower(line[2])) {
            words.insert(line.substr(2, line.find(' ', 2) - 2));
        }
    }
    return words;
}

TEST_F(Package, HoldsTheProgramsAndTheirFilesAndTheirVersion) {
    const Output files = Shell("dpkg-deb -c '" + deb_ + "'");
    ASSERT_EQ(files.status, 0) << files.text;
    for (const char* path :
         {"./usr/bin/kvelview", "./usr/bin/kvelctl", "./usr/bin/kvel-sim",
          "./usr/share/applications/kvelview.desktop",
          "./usr/share/icons/hicolor/scalable/apps/kvelview.svg",
          "./usr/share/doc/kvelview/copyright", "./usr/share/doc/kvelview/changelog.gz",
          "./usr/share/man/man1/kvelview.1.gz", "./usr/share/man/man1/kvelctl.1.gz",
          "./usr/share/man/man1/kvel-sim.1.gz", "./usr/share/bash-completion/completions/kvelctl",
          "./usr/share/bash-completion/completions/kvel-sim",
          "./lib/systemd/system/kvel-monitor.service"}) {
        EXPECT_NE(files.text.find(std::string(path) + "\n"), std::string::npos) << path;
    }
    const Output fields = Shell("dpkg-deb -f '" + deb_ + "' Version Depends Recommends");
    EXPECT_NE(fields.text.find("Version: " + std::string(KVEL_VERSION) + "\n"), std::string::npos)
        << fields.text;
    EXPECT_NE(fields.text.find("Recommends: qt6-wayland"), std::string::npos) << fields.text;
    for (const char* needed : {"libqt6widgets6", "qt6-qpa-plugins", "qt6-translations-l10n"}) {
        EXPECT_NE(fields.text.find(needed), std::string::npos) << fields.text;
    }
    // The changelog's latest entry is this version: a release without its entry is caught here.
    const Output changelog =
        Shell("zcat '" + (root() / "usr/share/doc/kvelview/changelog.gz").string() + "'");
    EXPECT_EQ(changelog.text.rfind("kvelview (" + std::string(KVEL_VERSION) + ") ", 0), 0u)
        << changelog.text;

    for (const std::string name : kPrograms) {
        // No display: the version is answered before the toolkit starts.
        const Output version = Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                     program(name) + "' --version");
        EXPECT_EQ(version.status, 0) << name << ": " << version.text;
        EXPECT_EQ(version.text, name + " " + KVEL_VERSION + "\n");
    }
}

TEST_F(Package, LintianFindsNoErrorAndNoWarning) {
    skipWithout("lintian");
    const Output lint = Shell("lintian --fail-on error,warning '" + deb_ + "'");
    EXPECT_EQ(lint.status, 0) << lint.text;
    // Root gets a note about privileges; tags are the lines that begin with their level.
    EXPECT_FALSE(std::regex_search(lint.text, std::regex("(^|\n)[EW]: "))) << lint.text;
}

TEST_F(Package, ManualPagesRenderAndNameEveryCommandAndOption) {
    skipWithout("man");
    for (const std::string name : kPrograms) {
        const std::string page = (root() / "usr/share/man/man1" / (name + ".1.gz")).string();
        // man's own check, as lintian makes it: groff's complaints come on stderr.
        const Output warnings = Shell("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l '" +
                                      page + "' 2>&1 >/dev/null");
        EXPECT_EQ(warnings.status, 0) << name;
        EXPECT_EQ(warnings.text, "") << name;
        const Output text = Shell("LC_ALL=C.UTF-8 MANWIDTH=200 man -E ascii -l '" + page + "'");
        ASSERT_EQ(text.status, 0) << text.text;
        for (const char* section : {"SYNOPSIS", "EXIT STATUS", "FILES", "EXAMPLES"}) {
            EXPECT_NE(text.text.find("\n" + std::string(section) + "\n"), std::string::npos)
                << name << " has no " << section << ":\n"
                << text.text;
        }
        const Output help = Shell("'" + program(name) + "' --help");
        const std::set<std::string> words = HelpWords(help.text);
        EXPECT_GE(words.size(), 5u) << help.text;
        for (const std::string& word : words) {
            const std::regex whole("(^|[^a-z-])" + word + "($|[^a-z-])");
            EXPECT_TRUE(std::regex_search(text.text, whole)) << name << ": " << word;
        }
    }
}

TEST_F(Package, DesktopAndSoftwareCentreEntriesValidate) {
    skipWithout("desktop-file-validate");
    skipWithout("appstreamcli");
    const fs::path share = root() / "usr/share";
    const Output desktop =
        Shell("desktop-file-validate '" + (share / "applications/kvelview.desktop").string() + "'");
    EXPECT_EQ(desktop.status, 0) << desktop.text;
    EXPECT_EQ(desktop.text, "");
    const Output found = Shell("ls '" + (share / "metainfo").string() + "'");
    ASSERT_EQ(found.status, 0) << found.text;
    const std::string metainfo = (share / "metainfo" / found.text.substr(0, found.text.find('\n')));
    const Output valid = Shell("appstreamcli validate --no-net --pedantic '" + metainfo + "'");
    EXPECT_EQ(valid.status, 0) << valid.text;
    EXPECT_EQ(valid.text.find("W:"), std::string::npos) << valid.text;
    EXPECT_EQ(valid.text.find("I:"), std::string::npos) << valid.text;
    // The entry names the desktop entry the package installs, and its file is named for its id.
    std::ifstream in(metainfo);
    const std::string xml((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(xml.find("<launchable type=\"desktop-id\">kvelview.desktop</launchable>"),
              std::string::npos);
    std::smatch id;
    ASSERT_TRUE(std::regex_search(xml, id, std::regex("<id>([^<]+)</id>")));
    EXPECT_EQ(fs::path(metainfo).filename().string(), id[1].str() + ".metainfo.xml");
}

TEST_F(Package, BashCompletesCommandsOptionsAndCabinets) {
    skipWithout("bash");
    // A folder whose mem.ini lists cabinets, one from a Windows PC in code page 1251
    // ("Шкаф 2", with a blank), beside a section whose keys are no cabinets.
    const fs::path folder = work_ / "setup";
    fs::create_directories(folder);
    std::ofstream(folder / "mem.ini") << "[connect]\r\nport=/dev/ttyUSB0\r\n"
                                         "[Panels]\r\n; a comment\r\n Pump = 1\r\n"
                                         "\xd8\xea\xe0\xf4 2=2\r\nPress=3\r\n[time]\r\nve=5\r\n";
    // The completion file as installed, and the installed program, whose --help it reads.
    const auto offered = [&](const std::string& program, const std::string& words) {
        const Output out =
            Shell("cd '" + folder.string() + "' && LC_ALL=C.UTF-8 '" + KVEL_SOURCE_DIR +
                  "/tests/app/complete.sh' '" +
                  (root() / "usr/share/bash-completion/completions" / program).string() + "' '" +
                  (root() / "usr/bin" / program).string() + "' " + words);
        EXPECT_EQ(out.status, 0) << words << ": " << out.text;
        std::multiset<std::string> lines;
        std::istringstream in(out.text);
        for (std::string line; std::getline(in, line);) lines.insert(line);
        return lines;
    };
    using Set = std::multiset<std::string>;  // a name offered twice is a fault
    const Set commands = offered("kvelctl", "''");
    for (const char* command : {"info", "read", "watch", "regs", "cabinet", "plot"}) {
        EXPECT_EQ(commands.count(command), 1u) << command;
    }
    EXPECT_EQ(commands.count("NAME"), 0u);
    // Options and their values are passed over on the way to the command.
    EXPECT_EQ(offered("kvelctl", "--port /dev/ttyUSB0 --trace ca"), Set{"cabinet"});
    EXPECT_EQ(offered("kvelctl", "--address 5 cabinet ''"), (Set{"Pump", "Шкаф\\ 2", "Press"}));
    EXPECT_EQ(offered("kvelctl", "cabinet P"), (Set{"Pump", "Press"}));
    std::ofstream(folder / "mem.ini") << "\xEF\xBB\xBF[panels]\nКотельная=1\n";  // UTF-8, BOM
    EXPECT_EQ(offered("kvelctl", "cabinet ''"), Set{"Котельная"});
    EXPECT_EQ(offered("kvelctl", "cabinet Pump ''"), (Set{"command", "signal", "status"}));
    EXPECT_EQ(offered("kvelctl", "cabinet Pump signal S5"), (Set{"S51", "S52"}));
    EXPECT_EQ(offered("kvelctl", "--pa"), Set{"--parity"});
    EXPECT_EQ(offered("kvelctl", "--speed ''"), (Set{"0", "1", "2", "3", "4"}));
    EXPECT_EQ(offered("kvelctl", "plot 1.txt --s"), (Set{"--size", "--svg"}));
    EXPECT_EQ(offered("kvelctl", "plot mem"), Set{"mem.ini"});
    EXPECT_EQ(offered("kvel-sim", "--l"), Set{"--link"});
    EXPECT_EQ(offered("kvel-sim", "--type 215 --no"), Set{"--no-drift"});
}

}  // namespace
