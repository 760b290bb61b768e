// KvelView: creates the five windows, the main window first, and runs the message loop.
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <QTranslator>
#include <csignal>
#include <cstdio>
#include <exception>

#include "cabinet/host_window.h"
#include "dialogs/module_settings_dialog.h"
#include "dialogs/settings_dialog.h"
#include "link/message_sink.h"
#include "monitor/main_window.h"

namespace {

int signalPipe[2] = {-1, -1};
// Set once the session is ending: no new message box may hold it up.
bool ending = false;

extern "C" void OnTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// A modal box or dialog runs its own event loop, which would keep the process alive after the
// main window closed: close each one first, and the main window once none is left.
void EndSession(QWidget* window) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->done(QDialog::Rejected);
        } else {
            modal->close();
        }
        if (modal->isVisible()) modal->hide();  // one that refuses to close still goes
        // Look again once its loop has returned: the code after it may open another.
        QTimer::singleShot(0, window, [window] { EndSession(window); });
        return;
    }
    window->close();
}

// A session that ends (SIGTERM, SIGHUP, Ctrl-C) closes the main window as the user would, so
// the settings it keeps until then reach mem.ini, even while a message box is open.
void CloseOnTermination(QWidget& window) {
    if (::pipe(signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        ending = true;
        EndSession(&window);
    });
    for (const int sig : {SIGTERM, SIGHUP, SIGINT}) std::signal(sig, OnTerminate);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The standard buttons and texts of Qt's dialogs in Russian.
    QTranslator qtRussian;
    if (qtRussian.load(QLocale(QLocale::Russian), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&qtRussian);
    }
    kvel::SetMessageSink([](const std::string& text, const std::string& caption) {
        if (ending) {
            std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
            return;
        }
        QMessageBox box(caption == "GetLastError" ? QMessageBox::Information : QMessageBox::NoIcon,
                        QString::fromStdString(caption), QString::fromStdString(text),
                        QMessageBox::Ok);
        box.exec();
    });
    try {
        kvel::TForm1 form1;
        kvel::TForm2 form2;
        kvel::TFormDisplaySelectDlgNew moduleNew;
        kvel::TFormHost host;
        kvel::TFormDisplaySelectDlg module;
        form1.SetSecondaryWindows(&form2, &moduleNew, &host, &module);
        CloseOnTermination(form1);
        form1.showMaximized();
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "KvelView", QString::fromUtf8(e.what()));
        return 1;
    }
}
