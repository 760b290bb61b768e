#include "monitor/main_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/common/main_window_fixture.h"

namespace kvel {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public test::MainWindowFixture {};

TEST_F(MainWindowTest, EmptyConfigurationAndWhatClosingStores) {
    test::WriteBytes(dir.File("mem.ini"), "");
    Show();
    EXPECT_EQ(form->windowTitle(), "KvelView");
    EXPECT_EQ(Cell(0, 0), "Канал");
    EXPECT_EQ(Cell(0, 1), "T, гр.С");
    ASSERT_EQ(form->readingsGrid()->rowCount(), 31);
    for (int n = 1; n <= 30; ++n) EXPECT_EQ(Cell(n, 0), QString::number(n));
    for (int k = 1; k <= 15; ++k) {
        EXPECT_TRUE(form->SlotCheckBox(k)->isChecked()) << k;
        EXPECT_TRUE(form->SlotCheckBox(k)->isHidden()) << k;
        EXPECT_TRUE(form->SlotColorBox(k)->isHidden()) << k;
        EXPECT_FALSE(form->Line(k)->Active()) << k;
    }
    EXPECT_FALSE(form->chartUpdatingCheck()->isChecked());
    EXPECT_EQ(form->pollTimer()->interval(), 5000);
    EXPECT_TRUE(form->findChild<QWidget*>("ButtonHost")->isHidden());

    form->SlotCheckBox(3)->setChecked(false);
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
    WriteIni(Port() +
             "[display]\nd2=1\nd7=1\n[sensors]\n7=Печь\n[axis]\n2=ПРАВАЯ\n[checkbox]\nch1=0\n"
             "[diag]\nupdate=1\n[measure]\nperiod=2\n");
    Show();
    EXPECT_EQ(form->SlotCheckBox(1)->text(), "Канал 2");
    EXPECT_EQ(form->SlotCheckBox(2)->text(), "Канал Печь");
    EXPECT_FALSE(form->SlotCheckBox(1)->isHidden());
    EXPECT_FALSE(form->SlotColorBox(2)->isHidden());
    for (int k = 3; k <= 15; ++k) EXPECT_TRUE(form->SlotCheckBox(k)->isHidden()) << k;
    EXPECT_TRUE(form->Line(1)->Active());
    EXPECT_FALSE(form->Line(2)->Active());  // its box was stored unchecked
    EXPECT_EQ(form->Line(1)->YAxis(), dsyLeft);
    EXPECT_EQ(form->Line(2)->YAxis(), dsyRight);
    EXPECT_EQ(Cell(7, 0), "Печь");
    EXPECT_TRUE(form->chartUpdatingCheck()->isChecked());
    EXPECT_EQ(form->pollTimer()->interval(), 2000);

    simulator->SetRegister(513, 14950);
    PollOnce();
    // The chart got this poll's points, even for the hidden curve of slot 2.
    ASSERT_EQ(form->Line(1)->Count(), 1);
    EXPECT_NEAR(form->Line(1)->YValue(0), 25.85, 1e-9);
    EXPECT_EQ(form->Line(2)->Count(), 1);
    form->chartUpdatingCheck()->setChecked(false);
    PollOnce();
    EXPECT_EQ(form->Line(1)->Count(), 1);
}

TEST_F(MainWindowTest, LiveReadoutsOfFifteenAndThirtyChannelModules) {
    for (const int type : {209, 215, 220}) {
        SCOPED_TRACE(type);
        StartSimulator(type);
        WriteIni(Port());
        const int channels = type >= 210 ? 30 : 15;
        const std::uint16_t first = type >= 210 ? 512 : 21;
        for (int k = 0; k < channels; ++k) {
            simulator->SetRegister(static_cast<std::uint16_t>(first + k), 14950 + k);
        }
        simulator->SetRegister(static_cast<std::uint16_t>(first + 1), 0);
        simulator->SetRegister(11, 0x0005);
        Show();
        PollOnce();
        EXPECT_EQ(Cell(1, 1), "25.85");
        EXPECT_EQ(Cell(2, 1), "---.-");
        EXPECT_EQ(Cell(channels, 1), QString::fromStdString(TemperatureText(14950 + channels - 1)));
        EXPECT_EQ(form->StatusPanel(0), "МОДУЛЬ НА СВЯЗИ");
        EXPECT_EQ(form->StatusPanel(1),
                  "Метрологическая версия ПО  " + QString::number(simulator->Register(146)));
        EXPECT_EQ(Relays(), (std::vector<bool>{true, false, true}));
        EXPECT_TRUE(TForm1::IndicatorOn(form->linkIndicator()));
        form.reset();
        simulator.reset();
    }
}

TEST_F(MainWindowTest, UnpluggedAdapterShowsLinkLostAndRecoversByItself) {
    StartSimulator(215);
    WriteIni(Port());
    simulator->SetRegister(11, 0x0007);
    Show();
    PollOnce();
    ASSERT_TRUE(TForm1::IndicatorOn(form->linkIndicator()));
    simulator->Unplug();
    PollOnce();
    EXPECT_EQ(form->StatusPanel(0), "Нет связи с портом");
    PollOnce();
    EXPECT_EQ(form->StatusPanel(0), "Ошибка открытия порта");
    // The panel keeps its text; the tool tip says why.
    EXPECT_EQ(form->StatusToolTip(0).toStdString().rfind(
                  dir.File("tty") + ": " + std::strerror(ENOENT) + "\n\n", 0),
              0u)
        << form->StatusToolTip(0).toStdString();
    for (int n = 1; n <= 30; ++n) EXPECT_EQ(Cell(n, 1), "---.-") << n;
    EXPECT_EQ(Relays(), (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(TForm1::IndicatorOn(form->linkIndicator()));

    ASSERT_TRUE(simulator->Plug());
    PollOnce();
    EXPECT_EQ(form->StatusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    EXPECT_EQ(form->StatusToolTip(0).toStdString().find(std::strerror(ENOENT)), std::string::npos);
    EXPECT_NE(Cell(1, 1), "---.-");
    EXPECT_EQ(Relays(), (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindowTest, RelayReadFailureAfterGoodMeasurementsEndsInLinkLost) {
    StartSimulator(209);
    WriteIni(Port() + "[display]\nd1=1\n[diag]\nupdate=1\n");
    Show();
    PollOnce();
    ASSERT_EQ(form->StatusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    // The module answers the measurements, then the relay word read fails.
    simulator->SetRegister(21, 14950);
    QObject::connect(form->readingsGrid(), &QTableWidget::itemChanged, form.get(),
                     [this](QTableWidgetItem* item) {
                         if (item->row() == 1 && item->column() == 1 && item->text() == "25.85") {
                             simulator->SetFault(sim::Fault::Exception, 2);
                         }
                     });
    PollOnce();
    EXPECT_EQ(Cell(1, 1), "---.-");
    EXPECT_EQ(form->StatusPanel(0), "Ошибка модуля: код 2");
    EXPECT_FALSE(TForm1::IndicatorOn(form->linkIndicator()));
    EXPECT_FALSE(form->Link().Identified());
    // The chart had this poll's measurements before the relay read failed.
    ASSERT_EQ(form->Line(1)->Count(), 2);
    EXPECT_NEAR(form->Line(1)->YValue(1), 25.85, 1e-9);
}

TEST_F(MainWindowTest, MeasurementLogFile) {
    StartSimulator(209);
    const std::string log = dir.File("log.txt");
    WriteIni(Port() + "[file]\nsave=1\nname=" + log + "\n");
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

    form->Ini().WriteString("file", "name", dir.File("missing/log.txt"));
    PollOnce();
    PollOnce();
    EXPECT_EQ(boxes, std::vector<std::string>{"Ошибка: Ошибка создания нового файла"});
    EXPECT_EQ(form->Ini().ReadInteger("file", "save", 1), 0);
    EXPECT_EQ(form->StatusPanel(0), "МОДУЛЬ НА СВЯЗИ");
}

// The poll runs on the window's own timer: switched off during a poll, on again after it.
TEST_F(MainWindowTest, TimerDrivesThePoll) {
    StartSimulator(209);
    WriteIni(Port() + "[measure]\nperiod=1\n");
    Show();
    form->pollTimer()->start();
    QElapsedTimer waited;
    waited.start();
    while (form->StatusPanel(0) != "МОДУЛЬ НА СВЯЗИ" && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(form->StatusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    EXPECT_TRUE(form->pollTimer()->isActive());
}

TEST_F(MainWindowTest, ZeroPeriodNeverPolls) {
    StartSimulator(209);
    WriteIni(Port() + "[measure]\nperiod=0\n");
    Show();
    form->startMonitoring();
    EXPECT_FALSE(form->pollTimer()->isActive());
}

}  // namespace
}  // namespace kvel
