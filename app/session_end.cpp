#include "app/session_end.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <csignal>

namespace kvel {
namespace {

int signalPipe[2] = {-1, -1};
bool ending = false;

// Only a write is safe in a signal handler; the event loop reads the pipe.
extern "C" void onTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

bool sessionEnding() {
    return ending;
}

void endSession(QWidget* window) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->done(QDialog::Rejected);
        } else {
            modal->close();
        }
        if (modal->isVisible()) modal->hide();  // one that refuses to close still goes
        QTimer::singleShot(0, window, [window] { endSession(window); });
        return;
    }
    window->close();
}

void closeOnTermination(QWidget& window) {
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        ending = true;
        endSession(&window);
    });
    for (const int sig : {SIGTERM, SIGHUP, SIGINT}) std::signal(sig, onTerminate);
}

}  // namespace kvel
