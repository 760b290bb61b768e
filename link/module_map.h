#pragma once
#include <cstdint>
#include <string>

namespace kvel {

// Holding registers of the measuring module (numbers as sent in the request).
namespace reg {
inline constexpr std::uint16_t kRelayStates = 11;
inline constexpr std::uint16_t kMeasurements15 = 21;
inline constexpr std::uint16_t kMeasurements30 = 512;
inline constexpr std::uint16_t kModuleType = 145;
inline constexpr std::uint16_t kSoftwareVersion = 146;
inline constexpr std::uint16_t kSettingsBlock = 0;
inline constexpr std::uint16_t kSettingsBlockCount = 18;
inline constexpr std::uint16_t kThresholds1 = 768;
inline constexpr std::uint16_t kThresholds2 = 800;
inline constexpr std::uint16_t kExtraPair1 = 640;
inline constexpr std::uint16_t kExtraPair2 = 656;
inline constexpr std::uint16_t kChannelCoeffs = 85;
inline constexpr std::uint16_t kRelaySettings[3] = {266, 282, 298};
inline constexpr std::uint16_t kCommParams = 256;
inline constexpr std::uint16_t kCommParamsCount = 8;
}  // namespace reg

inline constexpr int kMaxChannels = 30;
inline constexpr int kRelayCount = 3;
inline constexpr char kNoReading[] = "---.-";

// The type code decides the channel count, the measurement block and the generation.
int channelCountForType(int typeCode);
std::uint16_t measurementFirstRegister(int typeCode);
std::uint16_t relaySettingsLength(int typeCode);
bool isFirstGeneration(int typeCode);

// Temperature in degrees Celsius of a measurement register (units of 0.02 K).
double temperature(std::uint16_t raw);
// What the channel grid shows: general format, at most 7 significant digits, "." as the
// decimal separator whatever the locale; "---.-" when the channel has no reading (raw 0).
std::string temperatureText(std::uint16_t raw);
// Bit i of the relay word is relay i+1; 1 means on.
bool relayOn(std::uint16_t relayWord, int relayIndex);

}  // namespace kvel
