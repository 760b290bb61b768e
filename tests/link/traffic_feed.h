#pragma once
#include <cstdint>

#include "link/traffic_tap.h"

namespace kvel::test {

// One read of register `first` of module 100 as the transactions report it to the tap: the
// the request, then the reply: a read that heard nothing has no reply bytes and says why.
inline void Transact(TrafficTap& tap, std::uint16_t first,
                     TrafficVerdict verdict = TrafficVerdict::Good) {
    const std::uint8_t request[8] = {0x64,
                                     0x03,
                                     static_cast<std::uint8_t>(first >> 8),
                                     static_cast<std::uint8_t>(first & 0xFF),
                                     0x00,
                                     0x01,
                                     0,
                                     0};
    const std::uint8_t reply[7] = {0x64, 0x03, 0x02, 0x00, 0x05, 0, 0};
    tap.beginTransaction(request, sizeof request);
    tap.requestSent();
    const bool heard = verdict != TrafficVerdict::NoReply;
    if (heard) tap.replyStarted();
    tap.endTransaction(reply, heard ? sizeof reply : 0, verdict,
                       heard ? LinkFailure{} : LinkFailure{LinkError::ReadNoReply});
}

}  // namespace kvel::test
