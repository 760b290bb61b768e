// The end of a session by a signal while a message box is open: the real program under a
// virtual X display, with a port that is no terminal, so its first poll shows a box.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/common/shell.h"

#if !defined(KVEL_BINARY_DIR)
#error "KVEL_BINARY_DIR must name the build tree"
#endif

namespace {

namespace fs = std::filesystem;

// Starts the program in `folder`, waits until its "GetLastError" box is on the screen, sends
// the signal and waits for the program to end. Exit status: the program's, or 3 when no box
// came, 137 when the program was still running 30 s after the signal.
constexpr char kScript[] = R"(cd "$1" || exit 9
"$2" > program.log 2>&1 &
APP=$!
i=0
until xwininfo -root -tree 2>/dev/null | grep -q '"GetLastError"'; do
    i=$((i + 1))
    if [ $i -gt 600 ]; then kill -KILL $APP; exit 3; fi
    sleep 0.1
done
kill -$3 $APP
( sleep 30; kill -KILL $APP ) 2>/dev/null &
DOG=$!
wait $APP
STATUS=$?
kill $DOG 2>/dev/null
exit $STATUS
)";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Program, SignalWhileAMessageBoxIsOpenClosesItAndStoresTheSettings) {
    for (const char* signal : {"TERM", "HUP", "INT"}) {
        SCOPED_TRACE(signal);
        const fs::path folder =
            fs::temp_directory_path() / ("kvel-box-" + std::to_string(::getpid()));
        kvel::test::RemoveTree(folder);
        fs::create_directories(folder);
        std::ofstream(folder / "mem.ini") << "[connect]\nport=/dev/null\n\n[measure]\nperiod=1\n\n";
        std::ofstream(folder / "end.sh") << kScript;
        const std::string command =
            "QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1292x778x24' sh '" +
            (folder / "end.sh").string() + "' '" + folder.string() + "' '" +
            std::string(KVEL_BINARY_DIR) + "/app/kvelview' " + signal + " > /dev/null 2>&1";
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << command;
        EXPECT_EQ(WEXITSTATUS(status), 0) << ReadFile(folder / "program.log");
        const std::string saved = ReadFile(folder / "mem.ini");
        EXPECT_NE(saved.find("update=0"), std::string::npos) << saved;
        EXPECT_NE(saved.find("ch14=1"), std::string::npos) << saved;
        EXPECT_NE(saved.find("port=/dev/null"), std::string::npos) << saved;
        kvel::test::RemoveTree(folder);
    }
}

}  // namespace
