#include "windows/channel_grid.h"

#include <QHeaderView>
#include <QTableWidget>

namespace kvel {

void keepHeadingRowVisible(QTableWidget& grid) {
    for (int column = 0; column < grid.columnCount(); ++column) {
        const QTableWidgetItem* heading = grid.item(0, column);
        grid.setHorizontalHeaderItem(column,
                                     new QTableWidgetItem(heading ? heading->text() : QString()));
    }
    QHeaderView* header = grid.horizontalHeader();
    // Drawn like a row of the grid: its height and its font, texts from the cell's left edge.
    header->setFont(grid.font());
    QPalette palette = header->palette();
    palette.setColor(QPalette::ButtonText, grid.palette().color(QPalette::Text));
    header->setPalette(palette);
    header->setFixedHeight(grid.verticalHeader()->defaultSectionSize());
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->show();
    grid.setRowHidden(0, true);
}

}  // namespace kvel
