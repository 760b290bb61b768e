// KvelView: creates the main window (it makes the others when first opened) and runs the
// message loop.
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <exception>
#include <iostream>

#include "app/display_check.h"
#include "app/program_icon.h"
#include "app/session_end.h"
#include "app/start_options.h"
#include "config/mem_ini.h"
#include "kvel_version.h"
#include "link/message_sink.h"
#include "windows/language.h"
#include "windows/log_viewer_window.h"
#include "windows/main_window.h"

int main(int argc, char** argv) {
    // Past a file size limit a write fails (EFBIG) and the log or mem.ini says so, rather than
    // the signal ending the program in the middle of a line.
    std::signal(SIGXFSZ, SIG_IGN);
    // Answered before Qt starts, so they work without a display.
    const kvel::StartOptions start = kvel::parseStartOptions({argv + 1, argv + argc});
    if (start.bad) {
        std::cerr << kvel::startHelp();
        return 2;
    }
    if (start.help || start.version) {
        std::cout << (start.help ? kvel::startHelp() : "kvelview " KVEL_VERSION "\n");
        return 0;
    }
    // Qt would abort without a display: say what works instead.
    if (const std::string why = kvel::noDisplayText({argv + 1, argv + argc}); !why.empty()) {
        std::cerr << why;
        return 2;
    }
    QApplication app(argc, argv);
    // Every number the program formats or parses uses "." whatever the regional settings (the
    // application object has just taken the user's locale).
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    kvel::setProgramIcon();  // the desktop entry's picture on every window
    // Russian until the working folder's mem.ini names the language.
    kvel::applyLanguage("ru");
    kvel::setMessageSink(
        [](const std::string& text, const std::string& caption, kvel::MessageKind kind) {
            if (kvel::sessionEnding()) {
                std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
                return;
            }
            // Texts below the windows come here in Russian, marked for the translation: they are
            // shown in the language of the windows.
            const auto shown = [](const std::string& s) {
                return QCoreApplication::translate("KvelView", s.c_str());
            };
            QMessageBox box(kind == kvel::MessageKind::Information ? QMessageBox::Information
                                                                   : QMessageBox::NoIcon,
                            shown(caption), shown(text), QMessageBox::Ok);
            box.exec();
        });
    // A relative log name means the folder the program was started in.
    const QString log = start.log.empty()
                            ? QString()
                            : QFileInfo(QString::fromStdString(start.log)).absoluteFilePath();
    std::string folderError;
    if (start.desktop && !kvel::enterFolder(kvel::userFolder(), &folderError)) {
        kvel::showMessage("Не удалось открыть рабочую папку " + folderError, "KvelView");
        return 1;
    }
    // The windows take their texts as they are made: the language is set before them.
    if (!kvel::applyLanguageOf(kvel::MemIni("mem.ini")))
        std::fprintf(stderr, "KvelView: the English translation could not be loaded\n");
    if (!log.isEmpty()) return kvel::runLogViewer(log);
    try {
        // The dialogs and the cabinet window are the main window's, made when first opened.
        kvel::MainWindow mainWindow;
        kvel::closeOnTermination(mainWindow);
        mainWindow.showMaximized();
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, "KvelView", QString::fromUtf8(e.what()));
        return 1;
    }
}
