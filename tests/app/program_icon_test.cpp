// Every window shows the desktop entry's picture, whatever icon theme is installed.
#include "app/program_icon.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QWidget>

namespace kvel {
namespace {

TEST(ProgramIcon, EveryWindowShowsTheDesktopEntrysPicture) {
    setProgramIcon();
    QWidget window;
    const QImage image = window.windowIcon().pixmap(64, 64).toImage();
    ASSERT_FALSE(image.isNull());
    // The picture's thermometer bulb, red, towards the lower right.
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 90 && c.blue() < 90) ++red;
        }
    }
    EXPECT_GT(red, 50);
}

}  // namespace
}  // namespace kvel
