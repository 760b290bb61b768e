#include "chart/chart_slots.h"

#include <QCoreApplication>

#include "config/channel_name.h"

namespace kvel {

std::array<int, kChartSlots> assignSlots(const MemIni& ini, int channelCount) {
    std::array<int, kChartSlots> assigned{};
    int last = 0;
    for (int& slot : assigned) {
        for (int c = last + 1; c <= channelCount; ++c) {
            if (ini.readInteger(keys::kChartChannels, "d" + std::to_string(c)) != 0) {
                slot = last = c;
                break;
            }
        }
        if (slot == 0) break;
    }
    return assigned;
}

std::string slotCaption(const MemIni& ini, int channel) {
    return QCoreApplication::translate("KvelView", "Канал %1")
        .arg(QString::fromStdString(gridChannelName(ini, channel)))
        .toStdString();
}

bool slotOnLeftAxis(const MemIni& ini, int slot) {
    return ini.readString(keys::kSlotAxes, std::to_string(slot)) == "L";
}

}  // namespace kvel
