#include "sim/register_map.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kvel::sim {
namespace {

constexpr std::uint16_t kRelayWord = 11;
constexpr std::uint16_t kTypeCode = 145;
constexpr std::uint16_t kVersion = 146;
constexpr std::uint16_t kMetrologicalVersion = 103;
constexpr std::uint16_t kCoefficients = 85;
constexpr std::uint16_t kThresholds1 = 768;
constexpr std::uint16_t kThresholds2 = 800;
constexpr std::uint16_t kLinkPair = 640;
constexpr std::uint16_t kThresholdPair = 656;
constexpr std::uint16_t kCommBlock = 256;
constexpr std::uint16_t kRelayBlocks = 266;
constexpr std::uint16_t kMnemoBlock = 1024;  // commands 1024..1029, signals 1030..1034
constexpr std::uint16_t kHostBlock = 1520;   // on-line 1520..1535, cabinets from 1536
constexpr int kHostCabinets = 16;
constexpr int kCabinetsOnLine = 4;
// Each link's address, speed index and parity index stand in a row; the second generation's
// link MB2 starts here (MB1 at kCommBlock).
constexpr std::uint16_t kSecondLink = kCommBlock + 5;

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
    mark(exists_, kCoefficients, n);
    mark(exists_, kTypeCode, 2);
    mark(readOnly_, kTypeCode, 2);
    mark(exists_, kMnemoBlock, 11);
    mark(exists_, kHostBlock, static_cast<std::uint16_t>(kHostCabinets * 17));
    if (firstGeneration()) {
        mark(exists_, kThresholds1, n);
        mark(exists_, kThresholds2, n);
        if (typeCode_ == 220) {
            mark(exists_, kLinkPair, 2);
            mark(exists_, kThresholdPair, 2);
        }
    } else {
        mark(exists_, kCommBlock, 8);
        mark(exists_, kRelayBlocks, 48);  // three blocks of 16 registers
    }

    // Settings block as the first generation holds it: address, speed 9600, no parity,
    // thresholds, delays, relay functions, bindings, sensor-relay thresholds, hysteresis.
    const std::uint16_t block[18] = {address, 0, 0, 80,     100,    5,  5,  0,   1,
                                     2,       3, 0, 0x7FFF, 0x00FF, 60, 80, 100, 5};
    for (std::uint16_t i = 0; i < 18; ++i) regs_[i] = block[i];
    regs_[kTypeCode] = static_cast<std::uint16_t>(typeCode_);
    regs_[kVersion] = kMetrologicalVersion;
    for (std::uint16_t k = 0; k < n; ++k) {
        // Emissivity: mostly 1.0, some painted surfaces at 0.9 and 0.95.
        regs_[kCoefficients + k] = k % 6 == 4 ? 58981 : (k % 6 == 5 ? 62258 : 65535);
    }
    if (firstGeneration()) {
        for (std::uint16_t k = 0; k < n; ++k) {
            regs_[kThresholds1 + k] = 80;
            regs_[kThresholds2 + k] = 100;
        }
        if (typeCode_ == 220) {
            regs_[kLinkPair] = 0x7FFF;
            regs_[kLinkPair + 1] = 0x7FFF;
            regs_[kThresholdPair] = 0x00FF;
            regs_[kThresholdPair + 1] = 0x0000;
        }
    } else {
        const std::uint16_t comm[8] = {address, 0, 0, 0, 0, 1, 4, 1};
        for (std::uint16_t i = 0; i < 8; ++i) regs_[kCommBlock + i] = comm[i];
        const std::uint16_t functions[3] = {1, 5, 12};
        const std::uint16_t thresholds[3] = {80, 100, 120};
        const std::uint16_t hysteresis[3] = {5, 10, 2};
        for (int r = 0; r < 3; ++r) {
            const auto b = static_cast<std::uint16_t>(kRelayBlocks + 16 * r);
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
    for (int c = 0; c < kCabinetsOnLine; ++c) regs_[kHostBlock + c] = 1;

    for (int k = 0; k < n; ++k) {
        regs_[measurementStart() + k] = rawFromCelsius(baseCelsius(k) + swing(k, 0.0));
    }
    regs_[kRelayWord] = 0x0001;
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
    const int links[2] = {addressRegister(), kSecondLink};
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
        const auto reg = static_cast<std::uint16_t>(first + i);
        regs_[reg] = values[i];
        if (reg == speedRegister && values[i] < 5) requiredSpeed_ = kSpeeds[values[i]];
        if (reg == speedRegister + 1 && values[i] < 3) requiredParity_ = values[i];
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
        const auto reg = static_cast<std::uint16_t>(measurementStart() + k);
        if (pinned_[reg]) continue;
        regs_[reg] = rawFromCelsius(baseCelsius(k) + swing(k, seconds) + nextNoise());
    }
    if (!pinned_[kRelayWord]) {
        // The relays follow a slow pattern, so the indicators change now and then.
        static constexpr std::uint16_t kPattern[4] = {0x0001, 0x0003, 0x0002, 0x0000};
        regs_[kRelayWord] = kPattern[static_cast<int>(seconds / 8.0) % 4];
    }
}

}  // namespace kvel::sim
