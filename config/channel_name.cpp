#include "config/channel_name.h"

namespace kvel {

std::string gridChannelName(const MemIni& ini, int channel) {
    const std::string number = std::to_string(channel);
    const std::string name = ini.readString(keys::kSensorNames, number);
    return name.empty() ? number : name;
}

}  // namespace kvel
