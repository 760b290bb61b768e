#include "core/host_map.h"

#include <limits>

#include "core/shown_text.h"

namespace kvel {

std::string cabinetOutOfRangeText() {
    return shownText(QT_TRANSLATE_NOOP("KvelView", "Номер шкафа вне допустимого диапазона 1 … %1"),
                     {std::to_string(kMaxCabinetIndex + 1)});
}

HostAddressing addressingOf(const MemIni& ini) {
    return ini.readInteger(keys::kHostAddressing) != 0 ? HostAddressing::Host
                                                       : HostAddressing::Mnemo;
}

HostTarget lookUpTarget(const MemIni& ini, const std::string& cabinetName) {
    HostTarget target;
    target.addressing = addressingOf(ini);
    const int number = ini.readInteger(keys::kCabinets, cabinetName);
    // The lowest integer stays as it is rather than overflow: it is "not chosen" either way.
    target.index = number == std::numeric_limits<int>::min() ? number : number - 1;
    return target;
}

TargetState checkTarget(const HostTarget& target) {
    if (target.addressing == HostAddressing::Mnemo) return TargetState::Ok;
    if (target.index < 0) return TargetState::NotChosen;
    if (target.index > kMaxCabinetIndex) return TargetState::outOfRange;
    return TargetState::Ok;
}

std::uint16_t onlineRegister(const HostTarget& target) {
    return static_cast<std::uint16_t>(reg::kHostOnline + target.index);
}

std::uint16_t commandRegister(const HostTarget& target, int command) {
    if (target.addressing == HostAddressing::Mnemo) {
        return static_cast<std::uint16_t>(reg::kMnemoCommands + command - 1);
    }
    return static_cast<std::uint16_t>(reg::kHostCabinets + reg::kHostCabinetStride * target.index +
                                      command - 1);
}

std::uint16_t signalRegister(const HostTarget& target, int signal) {
    if (target.addressing == HostAddressing::Mnemo) {
        return static_cast<std::uint16_t>(reg::kMnemoSignals + signal);
    }
    return static_cast<std::uint16_t>(reg::kHostCabinets + reg::kHostCabinetStride * target.index +
                                      kHostCommands + signal);
}

std::uint8_t hostAddress(const MemIni& ini) {
    return static_cast<std::uint8_t>(ini.readInteger(keys::kModuleAddress));
}

}  // namespace kvel
