#include "windows/busy_scope.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <algorithm>

namespace kvel {
namespace {

int depth = 0;

constexpr int kRepaintEveryMs = 100;

// Sleeps the full time in slices and repaints the shown windows between them. Only painting
// happens: no timer, queued call or input runs in the middle of an exchange, so nothing can
// start another one on the line.
void repaintingPause(int ms) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 left = ms - clock.elapsed();
        if (left <= 0) return;
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, kRepaintEveryMs)));
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible()) window->repaint();
        }
    }
}

}  // namespace

BusyScope::BusyScope(std::function<void()> beforeBox) : outermost_(depth++ == 0) {
    if (!outermost_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    setPauseHook(repaintingPause);
    previousSink_ = currentMessageSink();
    setMessageSink([previous = previousSink_, beforeBox = std::move(beforeBox)](
                       const std::string& text, const std::string& caption) {
        // Busy no more while the box waits for the user; the cursor is back for whatever
        // exchanges still follow it.
        if (beforeBox) beforeBox();
        QApplication::restoreOverrideCursor();
        if (previous) previous(text, caption);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    });
}

BusyScope::~BusyScope() {
    --depth;
    if (!outermost_) return;
    setMessageSink(previousSink_);
    setPauseHook(nullptr);
    QApplication::restoreOverrideCursor();
}

}  // namespace kvel
