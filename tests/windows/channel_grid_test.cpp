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

// The headings stay in view while the grid scrolls to the last channels; row n is still
// channel n for the code.
TEST_F(ChannelGridTest, HeadingsStayInViewWhileScrolling) {
    Show("");
    QTableWidget* grid = form->readingsGrid();
    ASSERT_EQ(grid->rowCount(), 31);
    EXPECT_EQ(grid->item(0, 0)->text(), "Канал");
    EXPECT_EQ(grid->item(30, 0)->text(), "30");
    ASSERT_NE(grid->horizontalHeaderItem(1), nullptr);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Канал");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "T, гр.С");
    EXPECT_TRUE(grid->isRowHidden(0));

    grid->scrollToBottom();
    ASSERT_GT(grid->verticalScrollBar()->value(), 0) << "the grid must need scrolling here";
    EXPECT_TRUE(grid->horizontalHeader()->isVisible());
    EXPECT_GE(grid->horizontalHeader()->height(), 30);
    const QRect last = grid->visualItemRect(grid->item(30, 1));
    EXPECT_TRUE(grid->viewport()->rect().contains(last)) << last.y();
    EXPECT_FALSE(grid->viewport()->rect().intersects(grid->visualItemRect(grid->item(1, 1))));
}

// A name with a blank is drawn on one line and cut at the cell's edge, not wrapped after
// its first word (which would leave only that word in the 30-pixel row).
TEST_F(ChannelGridTest, NamesAreClippedNotWrapped) {
    Show("[sensors]\n1=Шина АБВГД\n");
    QTableWidget* grid = form->readingsGrid();
    EXPECT_FALSE(grid->wordWrap());
    const QFontMetrics metrics(grid->font());
    const int firstWord = metrics.horizontalAdvance("Шина");
    const QRect cell = grid->visualItemRect(grid->item(1, 0));
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
        EXPECT_EQ(form->pollTimer()->interval(), std::stoll(period) * 1000) << period;
        EXPECT_TRUE(form->pollTimer()->isActive()) << period;
        EXPECT_EQ(form->statusPanel(0), "") << period;
        form.reset();
    }
    for (const char* period : {"-5", "0", "2147484", "2147483647", "-2147483648"}) {
        Show(std::string("[measure]\nperiod=") + period + "\n");
        form->startMonitoring();
        EXPECT_FALSE(form->pollTimer()->isActive()) << period;
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
    EXPECT_TRUE(form->pollTimer()->isActive());
    EXPECT_EQ(form->statusPanel(0), "");
    EXPECT_FALSE(form->statusToolTip(0).contains("period"));
}

}  // namespace
}  // namespace kvel
