#include "link/module_map.h"

#include <charconv>

namespace kvel {
namespace {

// A number in general format with up to `digits` significant digits, "." as separator.
std::string FormatGeneral(double value, int digits) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    return std::string(buffer, result.ptr);
}

}  // namespace

int ChannelCountForType(int typeCode) {
    return typeCode >= 210 ? 30 : 15;
}

std::uint16_t MeasurementFirstRegister(int typeCode) {
    return typeCode >= 210 ? reg::kMeasurements30 : reg::kMeasurements15;
}

std::uint16_t RelaySettingsLength(int typeCode) {
    return typeCode >= 210 ? 8 : 7;
}

bool IsFirstGeneration(int typeCode) {
    return typeCode < 200 || typeCode == 220;
}

double Temperature(std::uint16_t raw) {
    return raw * 0.02 - 273.15;
}

std::string TemperatureText(std::uint16_t raw) {
    if (raw == 0) return kNoReading;
    return FormatGeneral(Temperature(raw), 7);
}

bool RelayOn(std::uint16_t relayWord, int relayIndex) {
    return relayIndex >= 0 && relayIndex < kRelayCount && (relayWord >> relayIndex & 1) != 0;
}

}  // namespace kvel
