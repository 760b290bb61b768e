#include "windows/alarm_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/common/main_window_fixture.h"

namespace kvel {
namespace {

class AlarmWindowTest : public test::MainWindowFixture {
  protected:
    QBrush CellBrush(int channel) const {
        return form->readingsGrid()->readingCell(channel)->background();
    }
};

TEST_F(AlarmWindowTest, PollRaisesOnTheGridAndTheIndicatorUntilAcknowledged) {
    StartSimulator(209);
    WriteIni(port() + "[alarms]\nhigh1=30\nnotify=0\n");
    Show();
    simulator->setRegister(21, 15450);  // 35.85
    PollOnce();
    const QBrush raised = CellBrush(1);
    EXPECT_NE(raised.style(), Qt::NoBrush);
    EXPECT_EQ(CellBrush(2).style(), Qt::NoBrush);
    EXPECT_EQ(cell(1, 1), "35.85");  // the text stays the reading
    EXPECT_EQ(form->alarmIndicator()->text(), "Тревоги: 1");
    EXPECT_NE(
        test::ReadBytes(dir.File("alarms.txt")).find("\t1\t1\thigh\t35.85\t30.00\traised\t\r\n"),
        std::string::npos);

    simulator->setRegister(21, 14950);
    PollOnce();
    EXPECT_NE(CellBrush(1).style(), Qt::NoBrush);
    EXPECT_NE(CellBrush(1).color(), raised.color());  // cleared, still waiting
    EXPECT_EQ(form->alarmIndicator()->text(), "Тревоги: 1");

    AlarmWindow* window = form->openAlarmWindow();
    ASSERT_EQ(window->alarmList()->rowCount(), 1);
    EXPECT_EQ(window->alarmList()->item(0, 6)->text(), "снята, не квитирована");
    window->findChild<QPushButton*>("acknowledgeAllButton")->click();
    EXPECT_EQ(window->alarmList()->rowCount(), 0);
    EXPECT_EQ(CellBrush(1).style(), Qt::NoBrush);
    EXPECT_EQ(form->alarmIndicator()->text(), "Тревог нет");
    EXPECT_NE(test::ReadBytes(dir.File("alarms.txt")).find("\tacknowledged\t\r\n"),
              std::string::npos);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(AlarmWindowTest, RulesEditedFromTheKeyboard) {
    WriteIni("");
    Show();
    AlarmWindow* window = form->openAlarmWindow();
    window->ruleGrid()->item(0, 2)->setText("40");
    auto* hysteresis = window->findChild<QLineEdit*>("hysteresisEdit");
    hysteresis->setText("x");
    QTest::keyClick(hysteresis, Qt::Key_Return);
    ASSERT_EQ(boxes,
              std::vector<std::string>{"Ошибка: Гистерезис должен быть числом от 0 до 100 гр.С"});
    EXPECT_FALSE(form->alarms().rules().high[1]);
    EXPECT_EQ(test::ReadBytes(dir.File("mem.ini")).find("[alarms]"), std::string::npos);

    hysteresis->setText("0.5");
    QTest::keyClick(hysteresis, Qt::Key_Return);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(form->alarms().rules().high[1], 40.0);
    const std::string saved = test::ReadBytes(dir.File("mem.ini"));
    EXPECT_NE(saved.find("high1=40\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("hysteresis=0.5\n"), std::string::npos) << saved;
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace kvel
