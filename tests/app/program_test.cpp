// The program as a user starts it: `./run --screenshot FILE` on the built tree (the program
// against the simulator under a virtual display, a PNG of its window with live values), and
// the end of a session by a signal.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#if !defined(KVEL_SOURCE_DIR) || !defined(KVEL_BINARY_DIR)
#error "KVEL_SOURCE_DIR and KVEL_BINARY_DIR must name the source and the build tree"
#endif

namespace {

namespace fs = std::filesystem;

TEST(RunScript, ScreenshotShowsTheWindowWithLiveValues) {
    const fs::path demo = fs::temp_directory_path() / ("kvel-shot-" + std::to_string(::getpid()));
    fs::remove_all(demo);
    const fs::path shot = demo / "window.png";
    const std::string command = "KVEL_SKIP_SETUP=1 KVEL_BUILD_DIR='" +
                                std::string(KVEL_BINARY_DIR) + "' KVEL_DEMO_DIR='" + demo.string() +
                                "' '" + std::string(KVEL_SOURCE_DIR) + "/run' --screenshot '" +
                                shot.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const QImage image(QString::fromStdString(shot.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 1292);
    EXPECT_EQ(image.height(), 778);
    // The link lamp in the right column is lit only after a successful poll; the chart's
    // white field holds the curves of the demo's channels.
    int lit = 0, curves = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (x > 1076 && c.green() > 150 && c.red() < 120 && c.blue() < 120) ++lit;
            if (x > 185 && x < 1076 && c == QColor(0, 0, 0x80)) ++curves;  // slot 1, navy
        }
    }
    EXPECT_GT(lit, 200);
    EXPECT_GT(curves, 0);
    // The demo's settings put the two marker lines over the chart, besides its two axis lines:
    // black columns running down most of the field.
    int blackColumns = 0;
    for (int x = 186; x < 1076; ++x) {
        int black = 0;
        for (int y = 100; y < 600; ++y) black += image.pixelColor(x, y) == QColor(Qt::black);
        if (black > 400) ++blackColumns;
    }
    EXPECT_EQ(blackColumns, 4);
    fs::remove_all(demo);
}

// A session that ends with SIGTERM closes the window as the user would: the settings that
// closing stores reach mem.ini.
TEST(Program, TerminationClosesTheWindowAndStoresTheSettings) {
    const fs::path folder = fs::temp_directory_path() / ("kvel-term-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string command = "cd '" + folder.string() + "' && QT_QPA_PLATFORM=offscreen '" +
                                std::string(KVEL_BINARY_DIR) +
                                "/app/kvelview' > /dev/null 2>&1 & sleep 2; kill -TERM $!; wait $!";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(folder / "mem.ini");
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(saved.find("update=0"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ch14=1"), std::string::npos) << saved;
    fs::remove_all(folder);
}

}  // namespace
