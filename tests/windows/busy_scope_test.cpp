// Long exchanges keep the windows painted, show a busy cursor and run nothing else meanwhile.
#include "windows/busy_scope.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace kvel {
namespace {

class CountingWidget : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(BusyScope, PausesRepaintAndRunNoTimerOrQueuedCall) {
    CountingWidget window;
    window.resize(100, 60);
    window.show();
    QApplication::processEvents();
    bool timerRan = false;
    QTimer::singleShot(0, &window, [&] { timerRan = true; });
    QTimer::singleShot(1, &window, [&] { timerRan = true; });
    const int before = window.paints;
    {
        BusyScope busy;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        { BusyScope nested; }
        EXPECT_NE(QApplication::overrideCursor(), nullptr) << "the outer scope still holds it";
        linePause(350);
    }
    EXPECT_GE(window.paints - before, 1);
    EXPECT_FALSE(timerRan) << "a timer ran in the middle of an exchange";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(timerRan);
}

}  // namespace
}  // namespace kvel
