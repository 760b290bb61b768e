// Waiting for the link thread in tests: a marker job's result, not a look into the thread.
#pragma once
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <memory>

#include "core/link_thread.h"

namespace kvel::test {

// Runs the GUI thread's events until a marker job queued behind every job so far has had its
// result applied; again for the jobs those results queued (a load that follows a poll, say),
// three rounds deep. False after `timeoutMs`.
inline bool DrainLinkThread(LinkThread& thread, int timeoutMs = 30000) {
    QElapsedTimer clock;
    clock.start();
    for (int round = 0; round < 3; ++round) {
        auto applied = std::make_shared<bool>(false);
        thread.post({}, [applied] { *applied = true; });
        while (!*applied) {
            if (clock.elapsed() > timeoutMs) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (!*applied) QThread::msleep(1);
        }
    }
    return true;
}

}  // namespace kvel::test
