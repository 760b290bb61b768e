#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "link/module_map.h"

namespace kvel::sim {

// The holding registers of the simulated module and of the host controller that answers
// at the same address. The layout follows the type code (register 145): the channel count,
// where the measurements live and which configuration blocks exist depend on it.
class RegisterMap {
  public:
    using Clock = std::chrono::steady_clock;

    explicit RegisterMap(int typeCode = 215, std::uint8_t address = 100);

    // Lays the map out anew for a type code: every register gets its default value and
    // pinned channels are released; the module's slave address is kept.
    void layOut(int typeCode);

    int typeCode() const { return typeCode_; }
    int channelCount() const { return channelCountForType(typeCode_); }
    bool firstGeneration() const { return isFirstGeneration(typeCode_); }
    std::uint16_t measurementStart() const { return measurementFirstRegister(typeCode_); }
    // The register holding the slave address: the settings block's first on the first
    // generation, link MB1's on the second.
    std::uint16_t addressRegister() const {
        return firstGeneration() ? reg::kSettingsBlock : reg::kCommParams;
    }
    std::uint8_t slaveAddress() const;

    // True when every register of [first, first + count) exists on this module.
    bool exists(std::uint16_t first, std::uint16_t count) const;
    // True when the range may be written (identification and measurements are read-only).
    bool writable(std::uint16_t first, std::uint16_t count) const;
    // Returns 0 when the values may be stored, else the Modbus exception code the module
    // answers with (3: a value the module refuses, such as an address outside 1..247).
    int checkWrite(std::uint16_t first, const std::vector<std::uint16_t>& values) const;

    // Brings the drifting measurements and the relay word up to the given moment.
    void update(Clock::time_point now);
    std::uint16_t get(std::uint16_t number) const { return regs_[number]; }
    // A write from the line: stores the values as they are. Writing the module's own baud
    // rate or parity index makes the module listen with that setting only, as a real one does.
    void store(std::uint16_t first, const std::vector<std::uint16_t>& values);
    // The speed in bit/s the module insists on since its baud rate was written over the
    // line; 0 while it was not (the module then hears a master at any speed).
    long requiredSpeed() const { return requiredSpeed_; }
    // Likewise the parity index (0 none, 1 even, 2 odd); -1 while it was not written.
    int requiredParity() const { return requiredParity_; }
    // A write from a test: stores the value and keeps drift off that register from now on.
    void pin(std::uint16_t number, std::uint16_t value);
    void setDrift(bool on) { drift_ = on; }

    // Raw measurement for a temperature in °C (units of 0.02 K).
    static std::uint16_t rawFromCelsius(double celsius);

  private:
    double nextNoise();

    int typeCode_;
    bool drift_ = true;
    long requiredSpeed_ = 0;
    int requiredParity_ = -1;
    Clock::time_point epoch_ = Clock::now();
    std::array<std::uint16_t, 65536> regs_{};
    std::array<bool, 65536> pinned_{};
    std::array<bool, 65536> exists_{};
    std::array<bool, 65536> readOnly_{};
    std::uint32_t noiseState_ = 0x4B56454Cu;  // fixed seed: runs are repeatable
};

}  // namespace kvel::sim
