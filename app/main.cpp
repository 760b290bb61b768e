// KvelView: creates the five windows, the main window first, and runs the message loop.
#include <unistd.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTranslator>
#include <csignal>
#include <exception>
#include <iostream>

#include "app/start_options.h"
#include "cabinet/host_window.h"
#include "dialogs/module_settings_dialog.h"
#include "dialogs/settings_dialog.h"
#include "kvel_version.h"
#include "link/message_sink.h"
#include "monitor/main_window.h"

namespace {

int signalPipe[2] = {-1, -1};

extern "C" void OnTerminate(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// A session that ends (SIGTERM, SIGHUP, Ctrl-C) closes the main window as the user would, so
// the settings it keeps until then reach mem.ini.
void CloseOnTermination(QWidget& window) {
    if (::pipe(signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        window.close();
    });
    for (const int sig : {SIGTERM, SIGHUP, SIGINT}) std::signal(sig, OnTerminate);
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so they work without a display.
    const kvel::StartOptions start = kvel::ParseStartOptions({argv + 1, argv + argc});
    if (start.help || start.version) {
        std::cout << (start.help ? kvel::StartHelp() : "kvelview " KVEL_VERSION "\n");
        return 0;
    }
    QApplication app(argc, argv);
    // The standard buttons and texts of Qt's dialogs in Russian.
    QTranslator qtRussian;
    if (qtRussian.load(QLocale(QLocale::Russian), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&qtRussian);
    }
    kvel::SetMessageSink([](const std::string& text, const std::string& caption) {
        QMessageBox box(caption == "GetLastError" ? QMessageBox::Information : QMessageBox::NoIcon,
                        QString::fromStdString(caption), QString::fromStdString(text),
                        QMessageBox::Ok);
        box.exec();
    });
    std::string folderError;
    if (start.desktop && !kvel::EnterFolder(kvel::UserFolder(), &folderError)) {
        kvel::ShowMessage("Не удалось открыть рабочую папку " + folderError, "KvelView");
        return 1;
    }
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
