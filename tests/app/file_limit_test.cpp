// A file size limit (`prlimit --fsize`) on the real program: a log line past the limit is
// refused, not the end of the program.
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

// In `folder`: the simulator, then the program under the limit; waits for its "Ошибка" box (or
// its end), ends the session with SIGTERM. Exit status: the program's, 3 when no box came.
constexpr char kScript[] = R"(cd "$1" || exit 9
"$2/sim/kvel-sim" --link "$1/tty" > sim.log 2>&1 &
SIM=$!
trap 'kill $SIM 2>/dev/null' EXIT
i=0
until [ -e tty ]; do i=$((i + 1)); [ $i -gt 100 ] && exit 4; sleep 0.1; done
prlimit --fsize="$3" "$2/app/kvelview" > program.log 2>&1 &
APP=$!
i=0
until xwininfo -root -tree 2>/dev/null | grep -q '"Ошибка"'; do
    kill -0 $APP 2>/dev/null || { wait $APP; exit $?; }
    i=$((i + 1))
    if [ $i -gt 600 ]; then kill -KILL $APP; exit 3; fi
    sleep 0.1
done
kill -TERM $APP
( sleep 30; kill -KILL $APP ) 2>/dev/null &
DOG=$!
wait $APP
STATUS=$?
kill $DOG 2>/dev/null
exit $STATUS
)";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Program, LogLinePastAFileSizeLimitIsRefusedAndCutBack) {
    const fs::path folder =
        fs::temp_directory_path() / ("kvel-fsize-" + std::to_string(::getpid()));
    kvel::test::RemoveTree(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "mem.ini")
        << "[connect]\nport=" << (folder / "tty").string()
        << "\n\n[measure]\nperiod=1\n\n[file]\nsave=1\nname=" << (folder / "log.txt").string()
        << "\n\n";
    std::string log = "Дата\tВремя\t\r\n";
    while (log.size() < 8000) log += "01.01.26\t00:00:00\t20.00\t\r\n";
    std::ofstream(folder / "log.txt", std::ios::binary) << log;
    std::ofstream(folder / "limit.sh") << kScript;
    // Room for a part of the next line only.
    const std::string command = "QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1292x778x24' sh '" +
                                (folder / "limit.sh").string() + "' '" + folder.string() + "' '" +
                                std::string(KVEL_BINARY_DIR) + "' " +
                                std::to_string(log.size() + 40) + " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << command;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "153: killed by SIGXFSZ\n"
                                      << ReadFile(folder / "program.log");
    const std::string after = ReadFile(folder / "log.txt");
    EXPECT_TRUE(after == log) << "only whole lines; the log ends in "
                              << after.substr(after.size() > 80 ? after.size() - 80 : 0);
    EXPECT_NE(ReadFile(folder / "mem.ini").find("save=0"), std::string::npos)
        << ReadFile(folder / "mem.ini");
    kvel::test::RemoveTree(folder);
}

}  // namespace
