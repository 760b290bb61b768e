// The program settings dialog as the main window opens, checks, stores and applies it, against
// the simulator on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/common/main_window_fixture.h"
#include "windows/file_choosers.h"
#include "windows/program_settings_dialog.h"
#include "windows/scan_dialog.h"

namespace kvel {
namespace {

namespace fs = std::filesystem;

class SettingsWindowTest : public test::MainWindowFixture {
  protected:
    void TearDown() override {
        form.reset();
        simulators.clear();
        MainWindowFixture::TearDown();
    }
    void MessageShown() override {
        pollRunningAtMessage.push_back(form && form->session().pollTimer()->isActive());
    }
    void BeforeShow() override { dialog = form->programSettingsDialog(); }
    sim::Simulator& StartSimulator(const std::string& link, int type = 209) {
        simulators.push_back(test::StartedSimulator(dir.File(link), type));
        return *simulators.back();
    }
    void Show(const std::string& ini) {
        WriteIni(ini);
        MainWindowFixture::Show(PollTimer::running);
    }
    // Opens the dialog without a modal loop, as the settings button would fill it.
    void open() {
        form->loadProgramSettingsDialog();
        dialog->show();
    }
    void PressOK() {
        find<QPushButton>("okButton")->click();
        Settle();  // a port to close again is closed by the link thread
    }
    template <typename W>
    W* find(const char* name) {
        W* widget = dialog->findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Type(const char* edit, const QString& text) { find<QLineEdit>(edit)->setText(text); }
    void Check(int channel, bool on) {
        find<QListWidget>("chartChannelList")
            ->item(channel - 1)
            ->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }

    std::vector<bool> pollRunningAtMessage;
    std::vector<std::unique_ptr<sim::Simulator>> simulators;
    ProgramSettingsDialog* dialog = nullptr;
};

// ОК stores every field in mem.ini in the start-up folder (even after the file dialog moved
// the process elsewhere) and the chart, the axes and the poll follow at once.
TEST_F(SettingsWindowTest, AcceptedSettingsAreStoredAndAppliedAtOnce) {
    StartSimulator("tty");
    Show(port() + "[display]\nd1=1\n[sensors]\n5=Шина А\n");
    ASSERT_EQ(form->slotCheckBox(1)->text(), "Канал 1");
    ASSERT_TRUE(form->slotCheckBox(2)->isHidden());

    open();
    ASSERT_EQ(find<QListWidget>("chartChannelList")->count(), 30);  // not identified yet
    Check(1, false);
    Check(3, true);
    Check(5, true);
    Check(30, true);
    dialog->axisGrid()->item(2, 1)->setText("ПРАВАЯ");
    find<QRadioButton>("scaleManualRadio")->setChecked(true);
    Type("leftMinEdit", "-10");
    Type("leftMaxEdit", "10.5");
    Type("pollPeriodEdit", "2");
    Type("windowHoursEdit", "1");
    Type("windowMinutesEdit", "30");
    const fs::path elsewhere = dir.Path() / "elsewhere";
    fs::create_directories(elsewhere);
    setLogFileChooser([&](QFileDialog&) -> std::optional<std::string> {
        fs::current_path(elsewhere);
        return (elsewhere / "data").string();
    });
    find<QPushButton>("chooseLogFileButton")->click();
    setLogFileChooser({});
    PressOK();

    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_EQ(form->slotCheckBox(1)->text(), "Канал 3");
    EXPECT_EQ(form->slotCheckBox(2)->text(), "Канал Шина А");
    EXPECT_EQ(form->slotCheckBox(3)->text(), "Канал 30");
    EXPECT_FALSE(form->slotCheckBox(3)->isHidden());
    EXPECT_TRUE(form->slotCheckBox(4)->isHidden());
    EXPECT_EQ(form->line(2)->yAxis(), YAxisChoice::Right);
    EXPECT_EQ(form->line(1)->yAxis(), YAxisChoice::Left);
    EXPECT_DOUBLE_EQ(form->trendPlot()->leftAxis()->min(), -10);
    EXPECT_DOUBLE_EQ(form->trendPlot()->leftAxis()->max(), 10.5);
    EXPECT_EQ(form->session().pollTimer()->interval(), 2000);
    EXPECT_TRUE(form->session().pollTimer()->isActive());

    EXPECT_EQ(fs::current_path(), dir.Path());
    EXPECT_FALSE(fs::exists(elsewhere / "mem.ini"));
    const MemIni saved(dir.File("mem.ini"));
    EXPECT_EQ(saved.readString("file", "name", ""), (elsewhere / "data.txt").string());
    EXPECT_EQ(saved.readString("measure", "period", ""), "2");
    EXPECT_EQ(saved.readString("display", "d30", ""), "1");
    EXPECT_EQ(saved.readString("axis", "2", ""), "R");
    EXPECT_DOUBLE_EQ(saved.readFloat("diag", "window", 0), 1.5 / 24);

    // The next opening shows what was stored.
    open();
    EXPECT_EQ(find<QLineEdit>("windowMinutesEdit")->text(), "30");
    EXPECT_EQ(dialog->axisGrid()->item(2, 1)->text(), "ПРАВАЯ");
    dialog->reject();
}

// A field that fails its check: the message, nothing written, the dialog closed, the poll
// stopped while checking and running again afterwards; reopening shows the stored settings.
TEST_F(SettingsWindowTest, RefusedFieldWritesNothingAndClosesTheDialog) {
    StartSimulator("tty");
    Show(port() + "[diag]\nshift=20\n");
    const std::string before = test::ReadBytes(dir.File("mem.ini"));
    struct Case {
        const char* edit;
        const char* value;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"windowHoursEdit", "24", "Некорректное значение часов в размере окна (от 0 до 23)"},
        {"windowMinutesEdit", "60", "Некорректное значение минут в размере окна (от 0 до 59)"},
        {"pollPeriodEdit", "0", "Некорректное периода измерения"},
        {"addressEdit", "248", "Некорректное значение адреса модуля (от 1 до 247)"},
    };
    for (const Case& c : cases) {
        boxes.clear();
        pollRunningAtMessage.clear();
        form->session().pollTimer()->start();
        open();
        Type("shiftEdit", "45");  // a good change that must be dropped with the bad one
        Type(c.edit, c.value);
        PressOK();
        EXPECT_EQ(boxes, std::vector<std::string>{"Ошибка: " + c.message});
        EXPECT_EQ(pollRunningAtMessage, std::vector<bool>{false});
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(form->session().pollTimer()->isActive());
        EXPECT_EQ(test::ReadBytes(dir.File("mem.ini")), before) << c.edit;
        EXPECT_EQ(form->ini().readInteger("diag", "shift", 0), 20);
        open();
        EXPECT_EQ(find<QLineEdit>("shiftEdit")->text(), "20");
        EXPECT_EQ(find<QLineEdit>(c.edit)->text() == c.value, false) << c.edit;
        dialog->reject();
    }
}

// The port is opened again, at the next poll, only when the port, speed or parity changed.
TEST_F(SettingsWindowTest, LineSettingsReopenThePortAtTheNextPoll) {
    sim::Simulator& first = StartSimulator("tty");
    Show(port());
    PollOnce();
    ASSERT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    EXPECT_EQ(first.lineSpeed(), 115200);

    // The address alone: the port stays open, the next request carries the new address.
    open();
    Type("addressEdit", "101");
    PressOK();
    EXPECT_EQ(form->session().link().port().getState(), SerialPort::State::open);
    PollOnce();
    EXPECT_EQ(first.lastRequest().at(0), 101);
    EXPECT_NE(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    open();
    Type("addressEdit", "100");
    PressOK();

    // The speed: closed now, opened at 57600 bit/s by the next poll, which goes on.
    open();
    find<QComboBox>("speedCombo")->setCurrentIndex(3);
    PressOK();
    EXPECT_EQ(form->session().link().port().getState(), SerialPort::State::Closed);
    PollOnce();
    EXPECT_EQ(first.lineSpeed(), 57600);
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");

    // The parity.
    open();
    find<QComboBox>("parityCombo")->setCurrentIndex(1);
    PressOK();
    EXPECT_EQ(form->session().link().port().getState(), SerialPort::State::Closed);
    PollOnce();
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");

    // The port: the poll goes on with the other module, without a restart.
    sim::Simulator& second = StartSimulator("tty2");
    open();
    find<QComboBox>("portCombo")->setEditText(QString::fromStdString(dir.File("tty2")));
    PressOK();
    EXPECT_EQ(form->session().link().port().getState(), SerialPort::State::Closed);
    const std::size_t firstRequests = first.requestCount();
    PollOnce();
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    EXPECT_GT(second.requestCount(), 0u);
    EXPECT_EQ(first.requestCount(), firstRequests);
    EXPECT_TRUE(boxes.empty());
}

// A new address accepted while a poll waits on a silent line: every request of that poll goes
// to the address it began with, the next poll's to the new one.
TEST_F(SettingsWindowTest, SettingsAcceptedDuringAPollApplyAfterIt) {
    sim::Simulator& module = StartSimulator("tty");
    Show(port());
    PollOnce();
    module.setFault(sim::Fault::Silence);
    const std::size_t before = module.requestCount();
    form->pollModule();  // four reads of 250 ms each on the silent line
    QElapsedTimer clock;
    clock.start();
    while (module.requestCount() == before && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    open();
    Type("addressEdit", "101");
    PressOK();
    form->session().pollTimer()->stop();
    const auto requests = module.requests();
    ASSERT_GT(requests.size(), before + 1);
    for (std::size_t i = before; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].at(0), 100) << "request " << i - before << " of the running poll";
    }
    module.setFault(sim::Fault::None);
    PollOnce();
    EXPECT_EQ(module.lastRequest().at(0), 101);
}

// "Найти модуль…" has the port while it scans: the poll stops, and goes on once the scan is over.
// The module found is stored with ОК and the poll reaches it.
TEST_F(SettingsWindowTest, ScanStopsThePollAndItsModuleIsStoredWithOK) {
    StartSimulator("tty");  // at address 100
    Show(port() + "adr=97\n");
    PollOnce();
    form->session().pollTimer()->start();
    open();
    dialog->setScanSpace({95, 100, {4}, {0}});
    ScanDialog* scan = dialog->findModule();
    ASSERT_NE(scan, nullptr);
    EXPECT_FALSE(form->session().pollTimer()->isActive());
    Settle();
    EXPECT_TRUE(form->session().pollTimer()->isActive());
    EXPECT_FALSE(scan->scanRunning());
    scan->applyButton()->click();
    EXPECT_EQ(find<QLineEdit>("addressEdit")->text(), "100");
    PressOK();
    EXPECT_EQ(form->ini().readInteger(keys::kModuleAddress), 100);
    PollOnce();
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
}

// The channel list follows the identified module: 15 items, and only d1 … d15 are written.
TEST_F(SettingsWindowTest, ChannelListOfTheIdentifiedModule) {
    StartSimulator("tty", 209);
    Show(port() + "[display]\nd20=1\n");
    PollOnce();
    open();
    ASSERT_EQ(find<QListWidget>("chartChannelList")->count(), 15);
    Check(15, true);
    PressOK();
    const MemIni saved(dir.File("mem.ini"));
    EXPECT_EQ(saved.readString("display", "d15", ""), "1");
    EXPECT_EQ(saved.readString("display", "d20", ""), "1");
    EXPECT_EQ(saved.readString("display", "d16", "none"), "none");
    EXPECT_EQ(form->slotCheckBox(1)->text(), "Канал 15");
    EXPECT_TRUE(form->slotCheckBox(2)->isHidden());  // channel 20 is beyond this module
}

// mem.ini that cannot be written: the user is told which file and why; the settings are in
// force all the same.
TEST_F(SettingsWindowTest, FailedFlushIsReportedAndTheSettingsStayApplied) {
    StartSimulator("tty");
    Show(port());
    fs::remove(dir.File("mem.ini"));
    fs::create_directories(dir.Path() / "mem.ini");
    open();
    Type("pollPeriodEdit", "3");
    PressOK();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(dir.File("mem.ini")), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("Is a directory"), std::string::npos) << boxes[0];
    EXPECT_EQ(form->ini().readInteger("measure", "period", 0), 3);
    EXPECT_EQ(form->session().pollTimer()->interval(), 3000);
    EXPECT_TRUE(form->session().pollTimer()->isActive());
    boxes.clear();
    form->close();  // closing cannot store either, and says so
    EXPECT_FALSE(boxes.empty());
}

// The settings button opens the dialog modally; the poll goes on while it is merely open.
TEST_F(SettingsWindowTest, SettingsButtonOpensTheDialogModally) {
    StartSimulator("tty");
    Show(port() + "[measure]\nperiod=1\n");
    bool sawModal = false, pollRunning = false;
    QTimer::singleShot(0, [&] {
        sawModal = QApplication::activeModalWidget() == dialog;
        pollRunning = form->session().pollTimer()->isActive();
        Type("pollPeriodEdit", "4");
        PressOK();
    });
    // Must not happen: a dialog left open would hang the test.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, dialog, &QDialog::reject);
    guard.start(30000);
    form->findChild<QPushButton*>("programSettingsButton")->click();
    EXPECT_TRUE(sawModal);
    EXPECT_TRUE(pollRunning);
    EXPECT_EQ(form->session().pollTimer()->interval(), 4000);
    EXPECT_EQ(MemIni(dir.File("mem.ini")).readString("measure", "period", ""), "4");
}

}  // namespace
}  // namespace kvel
