// The end of a session by a signal inside the test program: a modal dialog with a message box
// open inside it, and another box that the code after the first one opens.
#include "app/session_end.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QEventLoop>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <functional>

namespace kvel {
namespace {

class MainWindow : public QWidget {
  public:
    std::function<void()> onClose;

  protected:
    void closeEvent(QCloseEvent* event) override {
        if (onClose) onClose();
        QWidget::closeEvent(event);
    }
};

TEST(SessionEnd, ASignalClosesEveryModalBoxThenTheWindow) {
    MainWindow window;
    window.show();
    closeOnTermination(window);
    std::vector<std::string> steps;
    bool modalAtClose = true;
    QEventLoop session;
    window.onClose = [&] {
        steps.push_back("window closed");
        modalAtClose = QApplication::activeModalWidget() != nullptr;
        session.quit();
    };
    QTimer::singleShot(0, &window, [&] {
        QDialog dialog(&window);
        QTimer::singleShot(0, &dialog, [&] {
            QMessageBox box(QMessageBox::NoIcon, "GetLastError", "first", QMessageBox::Ok);
            QTimer::singleShot(20, [] { std::raise(SIGTERM); });
            box.exec();
            steps.push_back("first box returned");
            // Code that goes on after a box may show another one: it must not hold the end up.
            QMessageBox second(QMessageBox::NoIcon, "Ошибка", "second", QMessageBox::Ok);
            second.exec();
            steps.push_back("second box returned");
        });
        dialog.exec();
        steps.push_back("dialog returned");
    });
    bool timedOut = false;
    QTimer::singleShot(30000, &session, [&] {
        timedOut = true;
        session.quit();
    });
    session.exec();
    ASSERT_FALSE(timedOut) << "the session did not end";
    EXPECT_FALSE(modalAtClose);
    EXPECT_TRUE(sessionEnding());
    EXPECT_EQ(steps, (std::vector<std::string>{"first box returned", "second box returned",
                                               "dialog returned", "window closed"}));
}

}  // namespace
}  // namespace kvel
