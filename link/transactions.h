#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "link/link_error.h"
#include "link/link_timing.h"
#include "link/transport.h"

namespace kvel {

inline constexpr std::size_t kReplySize = 1024;
inline constexpr std::size_t kRegisterSlots = 512;

// One read exchange (function 3). The registers stay here after the exchange: they are the
// program's store of the last values read.
struct ReadTransaction {
    std::uint8_t moduleAddress = 0;
    std::uint16_t firstRegister = 0;
    std::uint16_t count = 0;
    std::uint8_t reply[kReplySize] = {};
    LinkFailure failure;  // unchanged by a successful exchange
    std::uint16_t registers[kRegisterSlots] = {};
    std::uint8_t registerCount = 0;
    std::uint16_t exceptionCode = 0;
    std::size_t replyLength = 0;  // bytes of the last reception

    // A record made for one read: true unless that read failed.
    bool ok() const { return !failure.failed(); }
};

// One write exchange (function 6 sends values[0], function 16 the first count values).
struct WriteTransaction {
    std::uint8_t moduleAddress = 0;
    std::uint16_t values[kRegisterSlots] = {};
    std::uint16_t firstRegister = 0;
    std::uint16_t count = 0;
    std::uint8_t reply[kReplySize] = {};
    LinkFailure failure;
    std::uint16_t exceptionCode = 0;
    std::size_t replyLength = 0;
};

// The most registers one exchange carries: an RTU frame is at most 256 bytes, so a read's
// reply (5 bytes besides the registers) holds 125 and a write's request (9 bytes) 123.
inline constexpr std::uint16_t kMaxReadRegisters = 125;
inline constexpr std::uint16_t kMaxWriteRegisters = 123;

// What a read takes: a reply of any length, or only one that carries exactly the count asked
// for (any other fails with LinkError::WrongData and leaves the registers as they were).
enum class ReplyCount { any, Exact };

// The Russian text of a transaction's last failure (the trace, diagnostics).
inline std::string errorText(const ReadTransaction& t) {
    return linkErrorText(t.failure);
}
inline std::string errorText(const WriteTransaction& t) {
    return linkErrorText(t.failure);
}

// Each returns true on success; on failure the record's `failure` says why. An exchange
// whose send the line refuses at once (the adapter is gone) closes the port.
bool readRegisters(Transport& port, ReadTransaction& t, const LinkTiming& timing = kLinkTiming,
                   ReplyCount accepted = ReplyCount::any);
bool writeRegister(Transport& port, WriteTransaction& t, const LinkTiming& timing = kLinkTiming);
bool writeRegisters(Transport& port, WriteTransaction& t, const LinkTiming& timing = kLinkTiming);

// True when the last reply of the write was a well-formed exception reply to `function`: the
// module heard the request and refused it. A garbled reply or none at all is not a refusal.
bool isExceptionReply(const WriteTransaction& t, std::uint8_t function);

}  // namespace kvel
