#pragma once
#include <cstdint>
#include <string>

namespace kvel {

inline constexpr int kMaxChannels = 30;
inline constexpr int kRelayCount = 3;
// The host controller's commands 1..6 and signals 0..4 (S41, S42, S43, S51, S52).
inline constexpr int kHostCommands = 6;
inline constexpr int kHostSignals = 5;

// Holding registers of the measuring module and of the host controller that answers at the
// same address (numbers as sent in the request). Every part of the program and the simulator
// takes them from here.
namespace reg {
inline constexpr std::uint16_t kRelayStates = 11;
inline constexpr std::uint16_t kMeasurements15 = 21;
inline constexpr std::uint16_t kMeasurements30 = 512;
inline constexpr std::uint16_t kModuleType = 145;
inline constexpr std::uint16_t kSoftwareVersion = 146;
inline constexpr std::uint16_t kSettingsBlock = 0;
inline constexpr std::uint16_t kSettingsBlockCount = 18;
// The part of the settings block the relay settings write: from the first threshold on.
inline constexpr std::uint16_t kSettingsRelayPart = 3;
inline constexpr std::uint16_t kThresholds1 = 768;
inline constexpr std::uint16_t kThresholds2 = 800;
inline constexpr std::uint16_t kExtraPair1 = 640;
inline constexpr std::uint16_t kExtraPair2 = 656;
inline constexpr std::uint16_t kChannelCoeffs = 85;
// Second generation: one block per relay, 16 registers apart.
inline constexpr std::uint16_t kRelaySettings[kRelayCount] = {266, 282, 298};
inline constexpr std::uint16_t kRelaySettingsStride = 16;
// Second generation: address, speed and parity of link MB1, then of MB2 from register 261.
inline constexpr std::uint16_t kCommParams = 256;
inline constexpr std::uint16_t kCommParamsCount = 8;
inline constexpr std::uint16_t kSecondLinkParams = 261;

// Host controller, "Мнемо" addressing: commands 1..6 at 1024..1029, signals 0..4 at 1030..1034.
inline constexpr std::uint16_t kMnemoCommands = 1024;
inline constexpr std::uint16_t kMnemoSignals = kMnemoCommands + kHostCommands;
// Host controller, "Хост" addressing: the on-line flag of cabinet index i at 1520 + i; the
// cabinet's commands from 1536 + 16 i, its signals right after them.
inline constexpr std::uint16_t kHostOnline = 1520;
inline constexpr std::uint16_t kHostCabinets = 1536;
inline constexpr std::uint16_t kHostCabinetStride = 16;
}  // namespace reg

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
