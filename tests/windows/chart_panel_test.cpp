// The chart's controls as the log viewer shows them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "chart/marker_handle.h"
#include "tests/common/temp_dir.h"
#include "windows/log_viewer_window.h"

namespace kvel {
namespace {

// Columns strictly inside the field that are black from below the handles to the field's
// bottom: the marker lines (the curve here is navy, the grid dotted).
std::vector<int> BlackColumns(XYPlot& plot) {
    const QImage image = plot.grab().toImage();
    const QRect f = plot.fieldRect();
    std::vector<int> columns;
    for (int x = f.left() + 1; x < f.right(); ++x) {
        bool black = true;
        for (int y = std::max(f.top() + 1, 14); y <= f.bottom() && black; ++y)
            black = image.pixel(x, y) == qRgb(0, 0, 0);
        if (black) columns.push_back(x);
    }
    return columns;
}

// The viewer's markers stand inside the curves from the start: until "Маркеры" is checked
// neither their lines nor their handles are shown, as neither are the value labels.
TEST(ChartPanelTest, ViewerShowsItsMarkersOnlyWhileMarkersIsChecked) {
    test::TempDir dir;
    std::string log;
    for (int m = 0; m < 60; ++m) {
        char line[64];
        std::snprintf(line, sizeof line, "06.12.26\t13:%02d:00\t%d.50", m, 20 + m % 7);
        log += line;
        for (int c = 2; c <= kLogChannels; ++c) log += "\t---";
        log += "\t\r\n";
    }
    test::WriteBytes(dir.File("log.txt"), log);
    MemIni ini(dir.File("mem.ini"));
    LogViewerWindow viewer(ini);
    viewer.setAttribute(Qt::WA_DeleteOnClose, false);
    viewer.resize(1000, 600);
    viewer.show();
    ASSERT_TRUE(viewer.openFile(QString::fromStdString(dir.File("log.txt"))));
    QApplication::processEvents();
    auto* markersCheck = viewer.findChild<QCheckBox*>("markersCheck");
    auto* handle = viewer.findChild<MarkerHandle*>("marker1Handle");
    ASSERT_NE(markersCheck, nullptr);
    ASSERT_NE(handle, nullptr);

    EXPECT_FALSE(markersCheck->isChecked());
    EXPECT_TRUE(BlackColumns(*viewer.plot()).empty());
    EXPECT_FALSE(handle->isVisible());

    markersCheck->click();
    QApplication::processEvents();
    EXPECT_EQ(BlackColumns(*viewer.plot()).size(), 2u);
    EXPECT_TRUE(handle->isVisible());

    markersCheck->click();
    QApplication::processEvents();
    EXPECT_TRUE(BlackColumns(*viewer.plot()).empty());
    EXPECT_FALSE(handle->isVisible());
}

}  // namespace
}  // namespace kvel
