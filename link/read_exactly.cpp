#include "link/read_exactly.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace kvel {

bool ReadExactly(Transport& port, TReadTransaction& t, const LinkTiming& timing) {
    // The reply can write at most 127 registers (its byte count is one byte).
    std::uint16_t kept[kMaxRegistersPerExchange + 1];
    std::copy_n(t.registers, std::size(kept), kept);
    const std::uint8_t keptCount = t.registerCount;
    if (!ReadRegisters(port, t, timing)) return false;
    if (t.registerCount == t.count) return true;
    std::copy_n(kept, std::size(kept), t.registers);
    t.registerCount = keptCount;
    std::snprintf(t.errorText, sizeof t.errorText, "%s", kWrongRegisterCount);
    return false;
}

}  // namespace kvel
