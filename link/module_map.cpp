#include "link/module_map.h"

#include <charconv>

namespace kvel {
namespace {

// A number in general format with up to `digits` significant digits, "." as separator.
std::string formatGeneral(double value, int digits) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}

}  // namespace

int channelCountForType(int typeCode) {
    return typeCode >= 210 ? 30 : 15;
}

std::uint16_t measurementFirstRegister(int typeCode) {
    return typeCode >= 210 ? reg::kMeasurements30 : reg::kMeasurements15;
}

std::uint16_t relaySettingsLength(int typeCode) {
    return typeCode >= 210 ? 8 : 7;
}

bool isFirstGeneration(int typeCode) {
    return typeCode < 200 || typeCode == 220;
}

double temperature(std::uint16_t raw) {
    return raw * 0.02 - 273.15;
}

std::string temperatureText(std::uint16_t raw) {
    if (raw == 0) return kNoReading;
    return formatGeneral(temperature(raw), 7);
}

bool relayOn(std::uint16_t relayWord, int relayIndex) {
    return relayIndex >= 0 && relayIndex < kRelayCount && (relayWord >> relayIndex & 1) != 0;
}

}  // namespace kvel
