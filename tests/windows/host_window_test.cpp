#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "tests/common/main_window_fixture.h"
#include "tests/core/sim_writes.h"
#include "windows/cabinet_window.h"
#include "windows/traffic_window.h"

namespace kvel {
namespace {

using test::RegisterWrite;
using test::SingleWrites;

// The main window with the cabinet window attached, in a folder of its own, against the
// simulated host controller; short pauses, and a test second of 100 ms.
class HostWindowTest : public test::MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        StartSimulator();
    }
    void BeforeShow() override {
        form->session().cabinet().setTiming({20, 10, 100, 1000, 100});
        host = form->cabinetWindow();
    }
    void Show(const std::string& extra) {
        WriteIni(port() + extra);
        MainWindowFixture::Show();
        PollOnce();  // opens the port
        ASSERT_FALSE(form->session().link().portNeedsOpening());
    }
    // Lets the timers run until the condition holds (or a generous time has passed).
    template <typename F>
    bool PumpUntil(F done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return done();
    }
    // No pulse runs or is about to: the pulse timer is off and the line is quiet.
    bool PulseOver() {
        return !form->session().cabinet().pulseTimed() &&
               test::DrainLinkThread(form->session().linkThread()) &&
               !form->session().cabinet().pulseTimed();
    }
    bool Lamp(int i) const { return host->indicator(i)->isOn(); }

    CabinetWindow* host = nullptr;
};

TEST_F(HostWindowTest, CtrlHOpensTheWindowWhichRefreshesWhileShown) {
    Show("host=3\n[panels]\nШкаф 1=1\nШкаф 2=2\n");
    EXPECT_TRUE(form->findChild<QPushButton*>("cabinetButton")->isHidden());
    EXPECT_TRUE(form->findChild<QPushButton*>("cabinetButton")->toolTip().contains("Ctrl+H"));
    ASSERT_EQ(host->cabinetCombo()->count(), 2);
    EXPECT_EQ(host->cabinetCombo()->itemText(1), "Шкаф 2");
    EXPECT_EQ(host->windowTitle(), "Управление шкафами через хост-контроллер");

    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    bool shown = false, refreshing = false, hostChecked = false;
    QTimer::singleShot(0, host, [&] {
        shown = host->isVisible();
        refreshing = form->session().cabinet().refreshTimer()->isActive();
        hostChecked = host->hostRadio()->isChecked();
        host->close();
    });
    QTest::keyClick(form.get(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(refreshing);
    EXPECT_TRUE(hostChecked);
    EXPECT_EQ(form->ini().readInteger("connect", "host", 0), 1);  // written back
    EXPECT_FALSE(host->isVisible());
    EXPECT_FALSE(form->session().cabinet().refreshTimer()->isActive());

    // The radio buttons choose the addressing in memory.
    host->mnemoRadio()->click();
    EXPECT_EQ(form->ini().readInteger("connect", "host", -1), 0);
    host->hostRadio()->click();
    EXPECT_EQ(form->ini().readInteger("connect", "host", -1), 1);
}

// Keys alone never switch anything: the list has the focus when the window opens, and a click
// on a command leaves no focus behind for the next Space to repeat it.
TEST_F(HostWindowTest, KeysAloneSendNoCommand) {
    Show("host=0\n[time]\nall=0\n");
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QWidget* first = nullptr;
    std::vector<RegisterWrite> byKeys, afterClick;
    QTimer::singleShot(0, host, [&] {
        if (QTest::qWaitFor([&] { return QApplication::activeWindow() == host; })) {
            first = QApplication::focusWidget();
        }
        QWindow* window = host->windowHandle();
        // Round the whole tab chain, pressing each control as a user would.
        for (int i = 0; i < 20; ++i) {
            for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
                QTest::keyClick(window, key);
            }
            QTest::keyClick(window, Qt::Key_Tab);
        }
        Settle();  // a command a key started would be on the line by now
        byKeys = SingleWrites(*simulator);
        host->mnemoRadio()->click();  // Space may have chosen the other addressing
        QTest::mouseClick(host->commandButton(2), Qt::LeftButton);
        QTest::keyClick(window, Qt::Key_Space);
        Settle();
        afterClick = SingleWrites(*simulator);
        host->close();
    });
    QTest::keyClick(form.get(), Qt::Key_H, Qt::ControlModifier);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first == host->cabinetCombo() || host->cabinetCombo()->isAncestorOf(first))
        << first->metaObject()->className();
    EXPECT_TRUE(byKeys.empty());
    EXPECT_EQ(afterClick, (std::vector<RegisterWrite>{{1025, 1}}));
}

// A left click through the window system, which drops the input of a blocked window.
void ClickThroughWindow(QWidget* widget, QPoint at) {
    QWidget* top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, at));
}

// Modal to the main window only: the traffic window beside it stays usable.
TEST_F(HostWindowTest, TrafficWindowStaysUsableWhileTheCabinetWindowIsOpen) {
    Show("host=0\n");
    form->openTrafficWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->trafficWindow()));
    auto* pause = form->trafficWindow()->findChild<QPushButton*>("pauseButton");
    auto* channel = form->findChild<QCheckBox*>("chartUpdatingCheck");
    ASSERT_NE(channel, nullptr);
    const bool checked = channel->isChecked();
    const QPoint box(6, channel->height() / 2);
    bool paused = false, channelChanged = true;
    QTimer::singleShot(0, host, [&] {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(host));
        ClickThroughWindow(pause, pause->rect().center());
        paused = pause->isChecked();
        ClickThroughWindow(channel, box);
        channelChanged = channel->isChecked() != checked;
        host->close();
    });
    form->findChild<QPushButton*>("cabinetButton")->click();  // as Ctrl+H does
    EXPECT_TRUE(paused);
    EXPECT_FALSE(channelChanged);  // the main window stays blocked
    ClickThroughWindow(channel, box);
    EXPECT_NE(channel->isChecked(), checked);  // which the same click shows once it is closed
}

TEST_F(HostWindowTest, MnemoCommandButtonPulsesItsRegister) {
    Show("host=0\n");
    host->show();
    EXPECT_TRUE(host->mnemoRadio()->isChecked());
    host->commandButton(3)->click();
    Settle();
    EXPECT_EQ(simulator->registerValue(1026), 1);
    EXPECT_TRUE(Lamp(2));
    ASSERT_TRUE(PumpUntil([&] { return !Lamp(2); }));  // the main window's pulseTimer
    EXPECT_EQ(simulator->registerValue(1026), 0);
    EXPECT_EQ(SingleWrites(*simulator), (std::vector<RegisterWrite>{{1026, 1}, {1026, 0}}));
    EXPECT_FALSE(host->onlineLamp()->isOn());  // "Мнемо" has no on-line flag
}

TEST_F(HostWindowTest, HostCabinetTwoAndATypedNameNotInTheList) {
    Show("host=1\n[panels]\nШкаф 1=1\nШкаф 2=2\n");
    simulator->setRegister(1520, 0);
    simulator->setRegister(1521, 1);
    host->show();
    host->cabinetCombo()->setCurrentIndex(1);  // refreshes at once
    Settle();
    EXPECT_TRUE(host->onlineLamp()->isOn());
    host->signalButton(2)->click();
    Settle();
    EXPECT_EQ(simulator->registerValue(1560), 1);
    EXPECT_TRUE(Lamp(kHostCommands + 2));
    ASSERT_EQ(host->signalButton(2)->objectName(), "s43Button");

    host->cabinetCombo()->setEditText("Шкаф 9");
    host->commandButton(1)->click();
    host->signalButton(0)->click();
    Settle();
    EXPECT_EQ(boxes, (std::vector<std::string>{"Ошибка: Не выбран шкаф из списка шкафов",
                                               "Ошибка: Не выбран шкаф из списка шкафов"}));
    EXPECT_TRUE(PumpUntil([&] { return !Lamp(kHostCommands + 2); }));  // refreshTimer's refresh
    for (int s = 0; s < kHostSignals; ++s) EXPECT_FALSE(Lamp(kHostCommands + s));
    EXPECT_EQ(SingleWrites(*simulator), (std::vector<RegisterWrite>{{1560, 1}}));
}

TEST_F(HostWindowTest, CycleWritesItsSixCommandsInOrder) {
    Show("host=0\n[time]\nve=3\nvv=1\nzr=2\nall=0\n");
    host->show();
    host->cyclesOnButton()->click();
    ASSERT_TRUE(PumpUntil([&] { return !host->cycle()->running(); }));
    std::vector<RegisterWrite> ones;
    for (const RegisterWrite& w : SingleWrites(*simulator)) {
        if (w.value == 1) ones.push_back(w);
    }
    EXPECT_EQ(ones, (std::vector<RegisterWrite>{
                        {1026, 1}, {1024, 1}, {1025, 1}, {1027, 1}, {1028, 1}, {1029, 1}}));
    EXPECT_EQ(host->statusText(), "");
    EXPECT_FALSE(host->cycle()->cycling());
    ASSERT_TRUE(PumpUntil([&] { return PulseOver(); }));
    for (std::uint16_t r = 1024; r <= 1029; ++r) EXPECT_EQ(simulator->registerValue(r), 0) << r;
    EXPECT_TRUE(boxes.empty());
}

TEST_F(HostWindowTest, ClosingTheWindowEndsTheCycleAfterItsPulse) {
    Show("host=0\n[time]\nve=1000\nall=1\n");
    host->show();
    host->cyclesOnButton()->click();
    // Inside the first wait, as the user would.
    ASSERT_TRUE(PumpUntil([&] { return host->statusText() == "ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В РАБОЧЕЕ"; }));
    host->close();
    EXPECT_FALSE(host->cycle()->cycling());
    EXPECT_FALSE(host->cycle()->cycleTimer()->isActive());
    EXPECT_EQ(host->statusText(), "");
    // The pulse's write may still be on its way to the link thread, with the line quiet for a
    // moment: wait for its release on the wire too.
    ASSERT_TRUE(PumpUntil([&] { return SingleWrites(*simulator).size() >= 2 && PulseOver(); }));
    EXPECT_EQ(SingleWrites(*simulator), (std::vector<RegisterWrite>{{1026, 1}, {1026, 0}}));
}

TEST_F(HostWindowTest, ClosingTheProgramEndsARunningPulse) {
    Show("host=0\n");
    host->show();
    host->commandButton(5)->click();
    Settle();
    EXPECT_EQ(simulator->registerValue(1028), 1);
    form->close();
    EXPECT_EQ(simulator->registerValue(1028), 0);
    EXPECT_FALSE(host->isVisible());
}

}  // namespace
}  // namespace kvel
