#pragma once
#include <cstdint>
#include <ostream>
#include <vector>

#include "sim/simulator.h"

namespace kvel::test {

// One single-register write (function 6) as the simulator received it.
struct RegisterWrite {
    std::uint16_t reg;
    std::uint16_t value;
    bool operator==(const RegisterWrite&) const = default;
};

inline void PrintTo(const RegisterWrite& w, std::ostream* out) {
    *out << w.reg << "=" << w.value;
}

inline std::vector<RegisterWrite> SingleWrites(const sim::Simulator& simulator) {
    std::vector<RegisterWrite> writes;
    for (const std::vector<std::uint8_t>& f : simulator.requests()) {
        if (f.size() == 8 && f[1] == 6) {
            writes.push_back({static_cast<std::uint16_t>(f[2] << 8 | f[3]),
                              static_cast<std::uint16_t>(f[4] << 8 | f[5])});
        }
    }
    return writes;
}

}  // namespace kvel::test
