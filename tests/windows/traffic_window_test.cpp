// The traffic window on a tap fed as the transactions feed it, and its openers on the real
// main window against the simulator.
#include "windows/traffic_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "link/message_sink.h"
#include "tests/common/main_window_fixture.h"
#include "tests/common/temp_dir.h"
#include "tests/link/traffic_feed.h"

namespace kvel {
namespace {

namespace fs = std::filesystem;

using test::Transact;

std::vector<std::string> Lines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class TrafficWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setMessageSink([this](const std::string& text, const std::string& caption) {
            boxes.push_back(caption + ": " + text);
        });
        window.show();
        QApplication::processEvents();
    }
    void TearDown() override { setMessageSink(nullptr); }
    void Feed(int n, std::uint16_t from = 0) {
        for (int i = 0; i < n; ++i) Transact(tap, static_cast<std::uint16_t>(from + i));
        QApplication::processEvents();  // the view lays out its rows
    }
    QScrollBar* Bar() const { return window.table()->verticalScrollBar(); }
    void Click(const char* button) { window.findChild<QPushButton*>(button)->click(); }

    TrafficTap tap;
    TrafficWindow window{tap};
    std::vector<std::string> boxes;
    test::TempDir dir;
};

TEST_F(TrafficWindowTest, NewestAtTheBottomFollowedUnlessScrolledUp) {
    EXPECT_EQ(window.windowTitle(), "Обмен с модулем");
    Feed(200);
    ASSERT_EQ(window.model().size(), 200u);
    EXPECT_EQ(window.model().row(199), trafficFieldsOf(tap.at(199)));
    EXPECT_EQ(window.model().row(199)[2], "199");
    ASSERT_GT(Bar()->maximum(), 0);
    EXPECT_EQ(Bar()->value(), Bar()->maximum());
    EXPECT_TRUE(window.following());

    Bar()->setValue(10);  // the user scrolls up
    Feed(50, 200);
    EXPECT_FALSE(window.following());
    EXPECT_EQ(Bar()->value(), 10);
    EXPECT_EQ(window.model().size(), 250u);

    Bar()->setValue(Bar()->maximum());  // and back to the bottom
    Feed(50, 250);
    EXPECT_TRUE(window.following());
    EXPECT_EQ(Bar()->value(), Bar()->maximum());
    EXPECT_EQ(window.model().row(299)[2], "299");
}

TEST_F(TrafficWindowTest, AtMostTheTapsCapacityAndRowsInSightStayWhenTheOldestGo) {
    Feed(static_cast<int>(TrafficTap::kCapacity));
    ASSERT_EQ(window.model().size(), TrafficTap::kCapacity);
    Bar()->setValue(100);  // the user reads older rows
    const std::string inSight = window.model().row(100)[2];
    Feed(5, static_cast<std::uint16_t>(TrafficTap::kCapacity));
    ASSERT_EQ(window.model().size(), TrafficTap::kCapacity);
    EXPECT_EQ(window.model().row(0)[2], "5");
    EXPECT_EQ(window.model().row(TrafficTap::kCapacity - 1)[2], "10004");
    EXPECT_EQ(Bar()->value(), 95);
    EXPECT_EQ(window.model().row(static_cast<std::size_t>(Bar()->value()))[2], inSight);
}

TEST_F(TrafficWindowTest, PauseFreezesTheRowsButNotTheCounters) {
    Feed(3);
    Click("pauseButton");
    Feed(2, 3);
    EXPECT_EQ(window.model().size(), 3u);
    EXPECT_TRUE(window.countersText().startsWith("Запросов: 5, Ответов: 5,"))
        << window.countersText().toStdString();
    Click("pauseButton");  // what came meanwhile shows at once
    ASSERT_EQ(window.model().size(), 5u);
    EXPECT_EQ(window.model().row(4)[2], "4");
    Feed(1, 5);
    EXPECT_EQ(window.model().size(), 6u);
}

TEST_F(TrafficWindowTest, ClearForgetsTheRowsAndResetsTheCounters) {
    Feed(4);
    Transact(tap, 9, TrafficVerdict::NoReply);
    Click("clearButton");
    EXPECT_EQ(window.model().size(), 0u);
    EXPECT_EQ(tap.size(), 0u);
    EXPECT_EQ(tap.counters().requests, 0u);
    EXPECT_EQ(tap.counters().noReply, 0u);
    EXPECT_TRUE(window.countersText().startsWith("Запросов: 0, "))
        << window.countersText().toStdString();
    Feed(1, 7);
    ASSERT_EQ(window.model().size(), 1u);
    EXPECT_EQ(window.model().row(0)[2], "7");
}

TEST_F(TrafficWindowTest, SavedFileHoldsOneLinePerShownTransaction) {
    Feed(2);
    Transact(tap, 2, TrafficVerdict::NoReply);
    window.setPaused(true);
    Feed(1, 3);  // not shown, so not saved
    const std::string path = dir.File("traffic.txt");
    ASSERT_TRUE(window.saveTo(path));
    const std::vector<std::string> lines = Lines(test::ReadBytes(path));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], trafficLine(trafficColumnTitles()));  // names the columns
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(lines[i + 1], trafficLine(tap.at(i)));
    EXPECT_NE(lines[3].find("\tОшибка получения результата из модуля"), std::string::npos);
    EXPECT_TRUE(boxes.empty());

    const std::string bad = dir.File("absent/traffic.txt");
    EXPECT_FALSE(window.saveTo(bad));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Ошибка: Ошибка записи файла " + bad + ": ", 0), 0u) << boxes[0];
    EXPECT_FALSE(fs::exists(bad));
}

// At the size it opens with, no column is cut (the longest result, a one-register reply) and
// the table stays where it is as the counters grow.
TEST_F(TrafficWindowTest, ColumnsReadableAtTheOpeningSizeAndTheTableStaysPut) {
    const int tableTop = window.table()->geometry().top();
    Feed(12000, 60000);
    const std::uint8_t request[8] = {0x64, 0x06, 0xFF, 0xFF, 0xFF, 0xFF, 0x12, 0x34};
    tap.beginTransaction(request, sizeof request);
    tap.requestSent();
    tap.endTransaction(request, sizeof request, TrafficVerdict::WrongAddress,
                       {LinkError::WriteWrongAddress});
    QApplication::processEvents();
    QTableView* table = window.table();
    const QAbstractItemView* view = table;  // where the content's width is public
    int right = 0;
    for (int c = 0; c < window.model().columnCount(); ++c) {
        const int needed =
            std::max(view->sizeHintForColumn(c), table->horizontalHeader()->sectionSizeHint(c));
        EXPECT_GE(table->columnWidth(c), needed) << c;
        right = std::max(right, table->columnViewportPosition(c) + table->columnWidth(c));
    }
    EXPECT_LE(right, table->viewport()->width());
    EXPECT_EQ(table->geometry().top(), tableTop);
}

TEST_F(TrafficWindowTest, HiddenWindowCatchesUpWhenShownAgain) {
    Feed(2);
    window.hide();
    Feed(3, 2);
    EXPECT_EQ(window.model().size(), 2u);
    window.show();
    QApplication::processEvents();
    ASSERT_EQ(window.model().size(), 5u);
    EXPECT_EQ(window.model().row(4)[2], "4");
}

// The real main window against the simulator: Ctrl+T, a double click on the link panel and
// its tool tip.
class MainWindowTraffic : public test::MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        StartSimulator();
        WriteIni(port());
        Show();
        PollOnce();  // type, version, measurements, relays
    }
    QLabel* LinkPanel() const {
        return form->statusBar()
            ->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)
            .value(0);
    }
};

TEST_F(MainWindowTraffic, DoubleClickOnTheLinkPanelOpensTheWindow) {
    ASSERT_EQ(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
    QLabel* panel = LinkPanel();
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->text(), "МОДУЛЬ НА СВЯЗИ");
    EXPECT_EQ(form->trafficWindow(), nullptr);
    QTest::mouseDClick(panel, Qt::LeftButton);
    ASSERT_NE(form->trafficWindow(), nullptr);
    EXPECT_TRUE(form->trafficWindow()->isVisible());
    ASSERT_EQ(form->trafficWindow()->model().size(), 4u);
    EXPECT_EQ(form->trafficWindow()->model().row(0)[2], "145");
    EXPECT_EQ(form->trafficWindow()->model().row(3).back(), "Успешно");

    PollOnce();  // the open window takes the next poll's transactions as they come
    EXPECT_EQ(form->trafficWindow()->model().size(), 6u);
}

TEST_F(MainWindowTraffic, CtrlTOpensTheWindow) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_NE(form->trafficWindow(), nullptr);
    EXPECT_TRUE(form->trafficWindow()->isVisible());
}

TEST_F(MainWindowTraffic, LinkPanelToolTipShowsTheCounters) {
    simulator->setFault(sim::Fault::BadCrc);
    PollOnce();
    QLabel* panel = LinkPanel();
    ASSERT_NE(panel, nullptr);
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), panel->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(panel, &help);
    const std::string tip = panel->toolTip().toStdString();
    EXPECT_NE(tip.find("Запросов: 6\n"), std::string::npos) << tip;
    EXPECT_NE(tip.find("Ответов: 4\n"), std::string::npos) << tip;
    EXPECT_NE(tip.find("Ошибок CRC: 2\n"), std::string::npos) << tip;
    EXPECT_NE(tip.find("Ctrl+T"), std::string::npos) << tip;
}

}  // namespace
}  // namespace kvel
