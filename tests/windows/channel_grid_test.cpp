// The main window's channel grid and poll period as the user sees them.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTableWidget>

#include "tests/common/main_window_fixture.h"

namespace kvel {
namespace {

class ChannelGridTest : public test::MainWindowFixture {
  protected:
    void Show(const std::string& ini) {
        WriteIni(ini);
        MainWindowFixture::Show();
    }
};

// The headings stay in view while the grid scrolls to the last channels.
TEST_F(ChannelGridTest, HeadingsStayInViewWhileScrolling) {
    Show("");
    QTableWidget* grid = form->readingsGrid();
    ASSERT_EQ(grid->rowCount(), 30);
    EXPECT_EQ(heading(0), "Канал");
    EXPECT_EQ(heading(1), "T, гр.С");

    grid->scrollToBottom();
    ASSERT_GT(grid->verticalScrollBar()->value(), 0) << "the grid must need scrolling here";
    EXPECT_TRUE(grid->horizontalHeader()->isVisible());
    EXPECT_GE(grid->horizontalHeader()->height(), 30);
    const QRect last = grid->visualItemRect(grid->item(29, 1));
    EXPECT_TRUE(grid->viewport()->rect().contains(last)) << last.y();
    EXPECT_FALSE(grid->viewport()->rect().intersects(grid->visualItemRect(grid->item(0, 1))));
}

// Each row, from the first under the headings to the last, shows the reading of the channel
// its name says.
TEST_F(ChannelGridTest, EachRowShowsTheReadingOfTheChannelItNames) {
    StartSimulator(215);
    Show(port() + "[sensors]\n1=Ввод 1\n30=Печь\n");
    for (int k = 0; k < 30; ++k) simulator->setRegister(std::uint16_t(512 + k), 15000 + 10 * k);
    PollOnce();
    QTableWidget* grid = form->readingsGrid();
    ASSERT_EQ(grid->rowCount(), 30);
    for (int row = 0; row < grid->rowCount(); ++row) {
        const QString name = grid->item(row, 0)->text();
        const int channel = name == "Ввод 1" ? 1 : name == "Печь" ? 30 : name.toInt();
        ASSERT_GE(channel, 1) << row << " " << name.toStdString();
        EXPECT_EQ(grid->item(row, 1)->text(),
                  QString::fromStdString(temperatureText(15000 + 10 * (channel - 1))))
            << "row " << row << ", " << name.toStdString();
    }
    EXPECT_EQ(grid->item(0, 0)->text(), "Ввод 1");
    EXPECT_EQ(grid->item(29, 0)->text(), "Печь");
}

// A name with a blank is drawn on one line and cut at the cell's edge, not wrapped after
// its first word (which would leave only that word in the 30-pixel row).
TEST_F(ChannelGridTest, NamesAreClippedNotWrapped) {
    Show("[sensors]\n1=Шина АБВГД\n");
    QTableWidget* grid = form->readingsGrid();
    EXPECT_FALSE(grid->wordWrap());
    const QFontMetrics metrics(grid->font());
    const int firstWord = metrics.horizontalAdvance("Шина");
    const QRect cell = grid->visualItemRect(form->readingsGrid()->nameCell(1));
    if (metrics.horizontalAdvance("Шина АБВГД") <= cell.width() || firstWord + 12 >= cell.width()) {
        GTEST_SKIP() << "the font at hand does not make the name overflow only after its word";
    }
    const QImage image = grid->viewport()->grab(cell).toImage();
    // Ink to the right of the first word (plus the cell's text margin) is the second word.
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = firstWord + 10; x < image.width() - 1; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 90 && c.red() < 60 && c.green() < 60) ++ink;  // navy text
        }
    }
    EXPECT_GT(ink, 0);
}

// The longest period a timer holds is polled; a stored period the settings dialog would refuse
// polls never, and the status bar and its tool tip say why until a good period is set.
TEST_F(ChannelGridTest, PeriodsOutOfRangeAreShownNotPolled) {
    for (const char* period : {"5", "2147483"}) {
        Show(std::string("[measure]\nperiod=") + period + "\n");
        form->startMonitoring();
        EXPECT_EQ(form->session().pollTimer()->interval(), std::stoll(period) * 1000) << period;
        EXPECT_TRUE(form->session().pollTimer()->isActive()) << period;
        EXPECT_EQ(form->statusPanel(0), "") << period;
        form.reset();
    }
    for (const char* period : {"-5", "0", "2147484", "2147483647", "-2147483648"}) {
        Show(std::string("[measure]\nperiod=") + period + "\n");
        form->startMonitoring();
        EXPECT_FALSE(form->session().pollTimer()->isActive()) << period;
        EXPECT_EQ(form->statusPanel(0),
                  QString("Опрос остановлен: недопустимый период измерения ") + period);
        EXPECT_TRUE(form->statusToolTip(0).startsWith(QString("В mem.ini [measure] period=") +
                                                      period + ": допустимо от 1 до 2147483 с"))
            << form->statusToolTip(0).toStdString();
        form.reset();
    }
    Show("[measure]\nperiod=-5\n");
    form->ini().writeInteger("measure", "period", 2);
    form->startMonitoring();
    EXPECT_TRUE(form->session().pollTimer()->isActive());
    EXPECT_EQ(form->statusPanel(0), "");
    EXPECT_FALSE(form->statusToolTip(0).contains("period"));
}

}  // namespace
}  // namespace kvel
