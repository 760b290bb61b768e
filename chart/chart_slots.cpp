#include "chart/chart_slots.h"

#include "config/channel_name.h"

namespace kvel {

std::array<int, kChartSlots> AssignSlots(const TMemIni& ini, int channelCount) {
    std::array<int, kChartSlots> assigned{};
    int last = 0;
    for (int& slot : assigned) {
        for (int c = last + 1; c <= channelCount; ++c) {
            if (ini.ReadInteger("display", "d" + std::to_string(c), 0) != 0) {
                slot = last = c;
                break;
            }
        }
        if (slot == 0) break;
    }
    return assigned;
}

std::string SlotCaption(const TMemIni& ini, int channel) {
    return "Канал " + GridChannelName(ini, channel);
}

bool SlotOnLeftAxis(const TMemIni& ini, int slot) {
    return ini.ReadString("axis", std::to_string(slot), "L") == "L";
}

}  // namespace kvel
