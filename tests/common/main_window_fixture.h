#pragma once
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "link/message_sink.h"
#include "sim/simulator.h"
#include "tests/common/link_thread_drain.h"
#include "tests/common/sim_on_pty.h"
#include "tests/common/temp_dir.h"
#include "windows/main_window.h"

// Readable QStrings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace kvel::test {

// The real main window in a folder of its own (mem.ini is read from the current folder),
// against the simulator on the pseudo-terminal "tty" there, with short pauses after requests
// and writes (the module settings writes keep their real ones). Messages land in `boxes`; polls run
// the window's own timer handler when the test asks.
class MainWindowFixture : public ::testing::Test {
  protected:
    enum class PollTimer { Stopped, running };

    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
        setMessageSink([this](const std::string& text, const std::string& caption) {
            boxes.push_back(caption + ": " + text);
            MessageShown();
        });
    }
    void TearDown() override {
        form.reset();
        simulator.reset();
        setMessageSink(nullptr);
        std::filesystem::current_path(previous_);
    }
    // After each message has landed in `boxes`.
    virtual void MessageShown() {}
    // Between making the window and showing it: secondary windows, other timings.
    virtual void BeforeShow() {}

    void StartSimulator(int type = sim::SimOptions().typeCode) {
        simulator = StartedSimulator(dir.File("tty"), type);
    }
    // mem.ini's lines that name the simulator's port.
    std::string port() const { return "[connect]\nport=" + dir.File("tty") + "\nspeed=4\n"; }
    void WriteIni(const std::string& text) { WriteBytes(dir.File("mem.ini"), text); }
    // Makes and shows the window on the mem.ini written; its poll timer is stopped unless
    // the test wants it running.
    void Show(PollTimer timer = PollTimer::Stopped) {
        form = std::make_unique<MainWindow>();
        form->session().link().setTiming({10, 10, 10, 250, 10});
        BeforeShow();
        form->show();
        if (timer == PollTimer::Stopped) form->session().pollTimer()->stop();
    }
    // One poll, with its results on the window.
    void PollOnce() {
        form->pollModule();
        Settle();
        form->session().pollTimer()->stop();
    }
    // Opens the module dialog of the module's generation by the main window's handler; `inside`
    // runs once the dialog is shown with the module's values in it, then the dialog is closed.
    // Returns the dialog shown, or nullptr.
    QWidget* WithModuleDialog(const std::function<void(QWidget*)>& inside) {
        QWidget* shown = nullptr;
        QTimer watch;  // the dialog shows when its load is in
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || shown != nullptr) return;
            watch.stop();
            shown = modal;
            if (inside) inside(modal);
            // As the program's end does: a dialog refuses Escape while it writes.
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->done(QDialog::Rejected);
        });
        watch.start(5);
        form->openModuleSettings();
        QElapsedTimer clock;
        clock.start();
        while ((shown == nullptr || QApplication::activeModalWidget() != nullptr) &&
               clock.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        EXPECT_NE(shown, nullptr) << "no module dialog was shown";
        Settle();
        return shown;
    }
    // Until the link thread has nothing queued or running and its results are applied.
    void Settle() {
        if (form->session().finished()) return;  // the link thread has ended with the program
        ASSERT_TRUE(test::DrainLinkThread(form->session().linkThread()))
            << "the link thread is still busy";
    }
    // Channel n's name (column 0) or reading (column 1).
    QString cell(int channel, int column) const {
        return form->readingsGrid()->item(ChannelGrid::rowOf(channel), column)->text();
    }
    QString heading(int column) const {
        return form->readingsGrid()->horizontalHeaderItem(column)->text();
    }
    std::vector<bool> Relays() const {
        return {form->relayIndicator(1)->isOn(), form->relayIndicator(2)->isOn(),
                form->relayIndicator(3)->isOn()};
    }

    TempDir dir;
    std::vector<std::string> boxes;
    std::unique_ptr<sim::Simulator> simulator;
    std::unique_ptr<MainWindow> form;

  private:
    std::filesystem::path previous_;
};

}  // namespace kvel::test
