#include "windows/main_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/cabinet_host.h"
#include "tests/common/main_window_fixture.h"
#include "windows/cabinet_window.h"
#include "windows/module_generation_dialogs.h"
#include "windows/program_settings_dialog.h"

namespace kvel {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public test::MainWindowFixture {};

// The secondary windows are made when first asked for, wired to the session as they come: the
// cabinet window with the cabinets of mem.ini and the session's cabinet host.
TEST_F(MainWindowTest, SecondaryWindowsAreMadeWhenFirstOpened) {
    test::WriteBytes(dir.File("mem.ini"), "[panels]\nШкаф 1=1\nШкаф 2=2\n");
    Show();
    EXPECT_EQ(form->findChild<ProgramSettingsDialog*>(), nullptr);
    EXPECT_EQ(form->findChild<CabinetWindow*>(), nullptr);
    EXPECT_EQ(form->findChild<FirstGenModuleDialog*>(), nullptr);
    CabinetWindow* cabinet = form->cabinetWindow();
    ASSERT_NE(cabinet, nullptr);
    EXPECT_EQ(form->cabinetWindow(), cabinet);  // one, kept
    ASSERT_EQ(cabinet->cabinetCombo()->count(), 2);
    EXPECT_EQ(form->session().cabinet().cabinetName(), "Шкаф 1");
    cabinet->cabinetCombo()->setCurrentIndex(1);
    EXPECT_EQ(form->session().cabinet().cabinetName(), "Шкаф 2");
    ProgramSettingsDialog* settings = form->programSettingsDialog();
    EXPECT_EQ(settings->parent(), form.get());
    EXPECT_EQ(form->programSettingsDialog(), settings);
    Settle();
}

TEST_F(MainWindowTest, EmptyConfigurationAndWhatClosingStores) {
    test::WriteBytes(dir.File("mem.ini"), "");
    Show();
    EXPECT_EQ(form->windowTitle(), "KvelView");
    EXPECT_EQ(heading(0), "Канал");
    EXPECT_EQ(heading(1), "T, гр.С");
    ASSERT_EQ(form->readingsGrid()->rowCount(), 30);
    for (int n = 1; n <= 30; ++n) EXPECT_EQ(cell(n, 0), QString::number(n));
    for (int k = 1; k <= 15; ++k) {
        EXPECT_TRUE(form->slotCheckBox(k)->isChecked()) << k;
        EXPECT_TRUE(form->slotCheckBox(k)->isHidden()) << k;
        EXPECT_TRUE(form->slotColorBox(k)->isHidden()) << k;
        EXPECT_FALSE(form->line(k)->active()) << k;
    }
    EXPECT_FALSE(form->chartUpdatingCheck()->isChecked());
    EXPECT_EQ(form->session().pollTimer()->interval(), 5000);
    EXPECT_TRUE(form->findChild<QWidget*>("cabinetButton")->isHidden());

    form->slotCheckBox(3)->setChecked(false);
    form->close();
    const std::string saved = test::ReadBytes(dir.File("mem.ini"));
    EXPECT_NE(saved.find("[diag]\nupdate=0\n"), std::string::npos) << saved;
    for (int k = 0; k < 15; ++k) {
        const std::string key = "ch" + std::to_string(k) + (k == 2 ? "=0" : "=1");
        EXPECT_NE(saved.find(key), std::string::npos) << key;
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, SlotsFollowTheDisplayKeys) {
    StartSimulator(215);
    WriteIni(port() +
             "[display]\nd2=1\nd7=1\n[sensors]\n7=Печь\n[axis]\n2=ПРАВАЯ\n[checkbox]\nch1=0\n"
             "[diag]\nupdate=1\n[measure]\nperiod=2\n");
    Show();
    EXPECT_EQ(form->slotCheckBox(1)->text(), "Канал 2");
    EXPECT_EQ(form->slotCheckBox(2)->text(), "Канал Печь");
    EXPECT_FALSE(form->slotCheckBox(1)->isHidden());
    EXPECT_FALSE(form->slotColorBox(2)->isHidden());
    for (int k = 3; k <= 15; ++k) EXPECT_TRUE(form->slotCheckBox(k)->isHidden()) << k;
    EXPECT_TRUE(form->line(1)->active());
    EXPECT_FALSE(form->line(2)->active());  // its box was stored unchecked
    EXPECT_EQ(form->line(1)->yAxis(), YAxisChoice::Left);
    EXPECT_EQ(form->line(2)->yAxis(), YAxisChoice::Right);
    EXPECT_EQ(cell(7, 0), "Печь");
    EXPECT_TRUE(form->chartUpdatingCheck()->isChecked());
    EXPECT_EQ(form->session().pollTimer()->interval(), 2000);

    simulator->setRegister(513, 14950);
    PollOnce();
    // The chart got this poll's points, even for the hidden curve of slot 2.
    ASSERT_EQ(form->line(1)->count(), 1);
    EXPECT_NEAR(form->line(1)->yValue(0), 25.85, 1e-9);
    EXPECT_EQ(form->line(2)->count(), 1);
    form->chartUpdatingCheck()->setChecked(false);
    PollOnce();
    EXPECT_EQ(form->line(1)->count(), 1);
}

TEST_F(MainWindowTest, LiveReadoutsOfFifteenAndThirtyChannelModules) {
    for (const int type : {209, 215, 220}) {
        SCOPED_TRACE(type);
        StartSimulator(type);
        WriteIni(port());
        const int channels = type >= 210 ? 30 : 15;
        const std::uint16_t first = type >= 210 ? 512 : 21;
        for (int k = 0; k < channels; ++k) {
            simulator->setRegister(static_cast<std::uint16_t>(first + k), 14950 + k);
        }
        simulator->setRegister(static_cast<std::uint16_t>(first + 1), 0);
        simulator->setRegister(11, 0x0005);
        Show();
        PollOnce();
        EXPECT_EQ(cell(1, 1), "25.85");
        EXPECT_EQ(cell(2, 1), "---.-");
        EXPECT_EQ(cell(channels, 1), QString::fromStdString(temperatureText(14950 + channels - 1)));
        EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
        EXPECT_EQ(form->statusPanel(1),
                  "Метрологическая версия ПО  " + QString::number(simulator->registerValue(146)));
        EXPECT_EQ(Relays(), (std::vector<bool>{true, false, true}));
        EXPECT_TRUE(form->linkIndicator()->isOn());
        form.reset();
        simulator.reset();
    }
}

TEST_F(MainWindowTest, UnpluggedAdapterShowsLinkLostAndRecoversByItself) {
    StartSimulator(215);
    WriteIni(port());
    simulator->setRegister(11, 0x0007);
    Show();
    PollOnce();
    ASSERT_TRUE(form->linkIndicator()->isOn());
    simulator->unplug();
    PollOnce();
    EXPECT_EQ(form->statusPanel(0), "Нет связи с портом");
    PollOnce();
    EXPECT_EQ(form->statusPanel(0), "Ошибка открытия порта");
    // The panel keeps its text; the tool tip says why.
    EXPECT_EQ(form->statusToolTip(0).toStdString().rfind(
                  dir.File("tty") + ": " + std::strerror(ENOENT) + "\n\n", 0),
              0u)
        << form->statusToolTip(0).toStdString();
    for (int n = 1; n <= 30; ++n) EXPECT_EQ(cell(n, 1), "---.-") << n;
    EXPECT_EQ(Relays(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(form->linkIndicator()->isOn());

    ASSERT_TRUE(simulator->plug());
    PollOnce();
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    EXPECT_EQ(form->statusToolTip(0).toStdString().find(std::strerror(ENOENT)), std::string::npos);
    EXPECT_NE(cell(1, 1), "---.-");
    EXPECT_EQ(Relays(), (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, RelayReadFailureAfterGoodMeasurementsEndsInLinkLost) {
    StartSimulator(209);
    WriteIni(port() + "[display]\nd1=1\n[diag]\nupdate=1\n");
    Show();
    PollOnce();
    ASSERT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    // The module answers the measurements, then the relay word read fails.
    simulator->setRegister(21, 14950);
    // The line's own record of the measurement read is where the module changes its mind.
    struct FaultAfterMeasurements final : TrafficListener {
        explicit FaultAfterMeasurements(sim::Simulator& s) : simulator(s) {}
        void transactionRecorded(const TrafficRecord& record) override {
            if (record.firstRegister == 21 && record.verdict == TrafficVerdict::Good) {
                simulator.setFault(sim::Fault::Exception, 2);
            }
        }
        sim::Simulator& simulator;
    } faulting(*simulator);
    form->session().link().traffic().addListener(&faulting);
    PollOnce();
    form->session().link().traffic().removeListener(&faulting);
    EXPECT_EQ(cell(1, 1), "---.-");
    EXPECT_EQ(form->statusPanel(0), "Ошибка модуля: код 2");
    EXPECT_FALSE(form->linkIndicator()->isOn());
    EXPECT_FALSE(form->session().link().identified());
    // The chart had this poll's measurements before the relay read failed.
    ASSERT_EQ(form->line(1)->count(), 2);
    EXPECT_NEAR(form->line(1)->yValue(1), 25.85, 1e-9);
}

TEST_F(MainWindowTest, MeasurementLogFile) {
    StartSimulator(209);
    const std::string log = dir.File("log.txt");
    WriteIni(port() + "[file]\nsave=1\nname=" + log + "\n");
    Show();
    PollOnce();
    std::string text = test::ReadBytes(log);
    EXPECT_EQ(text.rfind("Дата\tВремя\tКанал 1\t", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    PollOnce();
    text = test::ReadBytes(log);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_EQ(text.find("Дата", 1), std::string::npos);
    fs::remove(log);
    PollOnce();
    text = test::ReadBytes(log);
    EXPECT_EQ(text.rfind("Дата\t", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_TRUE(boxes.empty());

    form->ini().writeString("file", "name", dir.File("missing/log.txt"));
    PollOnce();
    PollOnce();
    EXPECT_EQ(boxes, std::vector<std::string>{"Ошибка: Ошибка создания нового файла"});
    EXPECT_EQ(form->ini().readInteger("file", "save", 1), 0);
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
}

// The poll runs on the window's own timer: switched off during a poll, on again after it.
TEST_F(MainWindowTest, TimerDrivesThePoll) {
    StartSimulator(209);
    WriteIni(port() + "[measure]\nperiod=1\n");
    Show();
    form->session().pollTimer()->start();
    QElapsedTimer waited;
    waited.start();
    while (form->statusPanel(0) != "МОДУЛЬ НА СВЯЗИ" && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    EXPECT_TRUE(form->session().pollTimer()->isActive());
}

TEST_F(MainWindowTest, ZeroPeriodNeverPolls) {
    StartSimulator(209);
    WriteIni(port() + "[measure]\nperiod=0\n");
    Show();
    form->startMonitoring();
    EXPECT_FALSE(form->session().pollTimer()->isActive());
}

}  // namespace
}  // namespace kvel
