#include "windows/channel_grid.h"

#include <QHeaderView>

namespace kvel {

ChannelGrid::ChannelGrid(int channels, QWidget* parent) : QTableWidget(channels, 2, parent) {
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(80);
    verticalHeader()->setDefaultSectionSize(30);
    verticalHeader()->setMinimumSectionSize(30);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setFocusPolicy(Qt::ClickFocus);
    setTextElideMode(Qt::ElideNone);  // long names are cut, as the cell shows them
    setWordWrap(false);  // one line per cell: a wrapped text would lose its second line
    setTabKeyNavigation(false);
    QFont font("Times New Roman");
    font.setPixelSize(24);
    font.setBold(true);
    setFont(font);
    QPalette colors = palette();
    colors.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    colors.setColor(QPalette::Text, QColor(0x00, 0x00, 0x80));
    setPalette(colors);
    for (int r = 0; r < channels; ++r) {
        for (int c = 0; c < 2; ++c) setItem(r, c, new QTableWidgetItem());
    }
    // The headings drawn like a row of the grid: its height, font and colour, texts from the
    // cell's left edge.
    QHeaderView* header = horizontalHeader();
    header->setFont(font);
    QPalette headerColors = header->palette();
    headerColors.setColor(QPalette::ButtonText, colors.color(QPalette::Text));
    header->setPalette(headerColors);
    header->setFixedHeight(verticalHeader()->defaultSectionSize());
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
}

void ChannelGrid::setHeadings(const QString& name, const QString& reading) {
    setHorizontalHeaderItem(0, new QTableWidgetItem(name));
    setHorizontalHeaderItem(1, new QTableWidgetItem(reading));
}

}  // namespace kvel
