#include "config/channel_name.h"

namespace kvel {

std::string GridChannelName(const TMemIni& ini, int channel) {
    const std::string number = std::to_string(channel);
    const std::string name = ini.ReadString("sensors", number, "");
    return name.empty() ? number : name;
}

}  // namespace kvel
