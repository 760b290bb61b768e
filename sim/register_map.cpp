#include "sim/register_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "link/module_map.h"

namespace kvel::sim {
namespace {

// Register numbers are the program's own (link/module_map.h); what is the simulator's alone:
constexpr std::uint16_t kMetrologicalVersion = 103;
constexpr int kHostCabinets = 16;  // cabinets served, each with an on-line flag and a block
constexpr int kCabinetsOnLine = 4;

using Flags = std::array<bool, 65536>;

void mark(Flags& set, std::uint16_t first, std::uint16_t count) {
    for (std::uint32_t r = first; r < std::uint32_t{first} + count && r < set.size(); ++r) {
        set[r] = true;
    }
}

bool all(const Flags& set, std::uint16_t first, std::uint16_t count) {
    for (std::uint32_t r = first; r < std::uint32_t{first} + count; ++r) {
        if (r >= set.size() || !set[r]) return false;
    }
    return true;
}

bool any(const Flags& set, std::uint16_t first, std::uint16_t count) {
    for (std::uint32_t r = first; r < std::uint32_t{first} + count && r < set.size(); ++r) {
        if (set[r]) return true;
    }
    return false;
}

// Whether the module refuses a value at `offset` of a link's row (address, speed, parity).
bool refusedLinkSetting(int offset, std::uint16_t value) {
    switch (offset) {
        case 0:
            return value < 1 || value > 247;
        case 1:
            return value > 4;
        case 2:
            return value > 2;
        default:
            return false;
    }
}

// Room temperature for most channels; a few run hot, as on a real switchgear line.
double baseCelsius(int channel) {
    switch (channel) {
        case 2:
            return 64.5;
        case 7:
            return 92.3;
        case 13:
            return 41.0;
        case 21:
            return 128.6;
        default:
            return 21.0 + 0.4 * (channel % 5);
    }
}

// A slow swing per channel: periods from one to about three minutes.
double swing(int channel, double seconds) {
    const double period = 60.0 + 7.0 * channel;
    const double amplitude = channel % 4 == 2 ? 1.5 : 0.6;
    return amplitude * std::sin(2.0 * std::numbers::pi * seconds / period + channel);
}

}  // namespace

RegisterMap::RegisterMap(int typeCode, std::uint8_t address) : typeCode_(typeCode) {
    regs_[addressRegister()] = address;  // layOut keeps it
    layOut(typeCode);
}

std::uint16_t RegisterMap::rawFromCelsius(double celsius) {
    const double raw = std::round((celsius + 273.15) / 0.02);
    return static_cast<std::uint16_t>(std::clamp(raw, 1.0, 65535.0));
}

std::uint8_t RegisterMap::slaveAddress() const {
    return static_cast<std::uint8_t>(regs_[addressRegister()] & 0xFF);
}

void RegisterMap::layOut(int typeCode) {
    const std::uint16_t address = regs_[addressRegister()];
    typeCode_ = typeCode;
    regs_.fill(0);
    pinned_.fill(false);
    requiredSpeed_ = 0;
    requiredParity_ = -1;
    exists_.fill(false);
    readOnly_.fill(false);
    const auto n = static_cast<std::uint16_t>(channelCount());

    mark(exists_, 0, 21);  // settings block 0..17 with the relay word at 11, and spares
    mark(exists_, measurementStart(), n);
    mark(readOnly_, measurementStart(), n);
    mark(exists_, reg::kChannelCoeffs, n);
    mark(exists_, reg::kModuleType, 2);
    mark(readOnly_, reg::kModuleType, 2);
    mark(exists_, reg::kMnemoCommands, kHostCommands + kHostSignals);
    // the on-line flags, then the cabinets' blocks
    mark(exists_, reg::kHostOnline,
         static_cast<std::uint16_t>(kHostCabinets * (1 + reg::kHostCabinetStride)));
    if (firstGeneration()) {
        mark(exists_, reg::kThresholds1, n);
        mark(exists_, reg::kThresholds2, n);
        if (typeCode_ == 220) {
            mark(exists_, reg::kExtraPair1, 2);
            mark(exists_, reg::kExtraPair2, 2);
        }
    } else {
        mark(exists_, reg::kCommParams, reg::kCommParamsCount);
        mark(exists_, reg::kRelaySettings[0], kRelayCount * reg::kRelaySettingsStride);
    }

    // Settings block as the first generation holds it: address, speed 9600, no parity,
    // thresholds, delays, relay functions, bindings, sensor-relay thresholds, hysteresis.
    const std::uint16_t block[reg::kSettingsBlockCount] = {
        address, 0, 0, 80, 100, 5, 5, 0, 1, 2, 3, 0, 0x7FFF, 0x00FF, 60, 80, 100, 5};
    for (std::uint16_t i = 0; i < reg::kSettingsBlockCount; ++i)
        regs_[reg::kSettingsBlock + i] = block[i];
    regs_[reg::kModuleType] = static_cast<std::uint16_t>(typeCode_);
    regs_[reg::kSoftwareVersion] = kMetrologicalVersion;
    for (std::uint16_t k = 0; k < n; ++k) {
        // Emissivity: mostly 1.0, some painted surfaces at 0.9 and 0.95.
        regs_[reg::kChannelCoeffs + k] = k % 6 == 4 ? 58981 : (k % 6 == 5 ? 62258 : 65535);
    }
    if (firstGeneration()) {
        for (std::uint16_t k = 0; k < n; ++k) {
            regs_[reg::kThresholds1 + k] = 80;
            regs_[reg::kThresholds2 + k] = 100;
        }
        if (typeCode_ == 220) {
            regs_[reg::kExtraPair1] = 0x7FFF;
            regs_[reg::kExtraPair1 + 1] = 0x7FFF;
            regs_[reg::kExtraPair2] = 0x00FF;
            regs_[reg::kExtraPair2 + 1] = 0x0000;
        }
    } else {
        const std::uint16_t comm[reg::kCommParamsCount] = {address, 0, 0, 0, 0, 1, 4, 1};
        for (std::uint16_t i = 0; i < reg::kCommParamsCount; ++i)
            regs_[reg::kCommParams + i] = comm[i];
        const std::uint16_t functions[kRelayCount] = {1, 5, 12};
        const std::uint16_t thresholds[kRelayCount] = {80, 100, 120};
        const std::uint16_t hysteresis[kRelayCount] = {5, 10, 2};
        for (int r = 0; r < kRelayCount; ++r) {
            const std::uint16_t b = reg::kRelaySettings[r];
            regs_[b] = functions[r];
            regs_[b + 1] = static_cast<std::uint16_t>(r % 2 == 0 ? 1 : 0);
            regs_[b + 2] = 3;
            regs_[b + 3] = 3;
            regs_[b + 4] = r == 0 ? 0xFFFF : 0x0007;
            regs_[b + 5] = thresholds[r];
            regs_[b + 6] = hysteresis[r];
            regs_[b + 7] = n == 30 && r == 0 ? 0x3FFF : 0;
        }
    }
    for (int c = 0; c < kCabinetsOnLine; ++c) regs_[reg::kHostOnline + c] = 1;

    for (int k = 0; k < n; ++k) {
        regs_[measurementStart() + k] = rawFromCelsius(baseCelsius(k) + swing(k, 0.0));
    }
    regs_[reg::kRelayStates] = 0x0001;
    epoch_ = Clock::now();
}

bool RegisterMap::exists(std::uint16_t first, std::uint16_t count) const {
    return all(exists_, first, count);
}

bool RegisterMap::writable(std::uint16_t first, std::uint16_t count) const {
    return exists(first, count) && !any(readOnly_, first, count);
}

int RegisterMap::checkWrite(std::uint16_t first, const std::vector<std::uint16_t>& values) const {
    // The module refuses line settings that would leave it unreachable, so a stray value
    // (an empty selection is sent as 65535) never cuts it off the line.
    const int links[2] = {addressRegister(), reg::kSecondLinkParams};
    const int linkCount = firstGeneration() ? 1 : 2;
    for (std::size_t i = 0; i < values.size(); ++i) {
        for (int l = 0; l < linkCount; ++l) {
            if (refusedLinkSetting(static_cast<int>(first + i) - links[l], values[i])) return 3;
        }
    }
    return 0;
}

void RegisterMap::store(std::uint16_t first, const std::vector<std::uint16_t>& values) {
    static constexpr long kSpeeds[5] = {9600, 19200, 38400, 57600, 115200};
    const auto speedRegister = static_cast<std::uint16_t>(addressRegister() + 1);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto number = static_cast<std::uint16_t>(first + i);
        regs_[number] = values[i];
        if (number == speedRegister && values[i] < 5) requiredSpeed_ = kSpeeds[values[i]];
        if (number == speedRegister + 1 && values[i] < 3) requiredParity_ = values[i];
    }
}

void RegisterMap::pin(std::uint16_t number, std::uint16_t value) {
    regs_[number] = value;
    pinned_[number] = true;
}

double RegisterMap::nextNoise() {
    noiseState_ = noiseState_ * 1664525u + 1013904223u;
    return (static_cast<double>(noiseState_ >> 8) / 16777216.0 - 0.5) * 0.08;
}

void RegisterMap::update(Clock::time_point now) {
    if (!drift_) return;
    const double seconds = std::chrono::duration<double>(now - epoch_).count();
    const int n = channelCount();
    for (int k = 0; k < n; ++k) {
        const auto number = static_cast<std::uint16_t>(measurementStart() + k);
        if (pinned_[number]) continue;
        regs_[number] = rawFromCelsius(baseCelsius(k) + swing(k, seconds) + nextNoise());
    }
    if (!pinned_[reg::kRelayStates]) {
        // The relays follow a slow pattern, so the indicators change now and then.
        static constexpr std::uint16_t kPattern[4] = {0x0001, 0x0003, 0x0002, 0x0000};
        regs_[reg::kRelayStates] = kPattern[static_cast<int>(seconds / 8.0) % 4];
    }
}

}  // namespace kvel::sim
