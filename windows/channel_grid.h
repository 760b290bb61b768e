#pragma once

#include <QTableWidget>

namespace kvel {

// The main window's grid of channels: a name and a reading per channel, channel n in row
// n − 1, under column headings that stay in view while the rows scroll.
class ChannelGrid : public QTableWidget {
    Q_OBJECT
  public:
    ChannelGrid(int channels, QWidget* parent = nullptr);

    void setHeadings(const QString& name, const QString& reading);
    static int rowOf(int channel) { return channel - 1; }
    // The cells of channel 1 … channels; none for another number.
    QTableWidgetItem* nameCell(int channel) const { return item(rowOf(channel), 0); }
    QTableWidgetItem* readingCell(int channel) const { return item(rowOf(channel), 1); }
};

}  // namespace kvel
