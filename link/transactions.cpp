#include "link/transactions.h"

#include <cstdio>
#include <cstring>

#include "link/crc16.h"

namespace kvel {
namespace {

using Verdict = TrafficVerdict;

Verdict fail(LinkFailure& failure, LinkError error, Verdict verdict) {
    failure = LinkFailure{error, 0};
    return verdict;
}

Verdict failException(LinkFailure& failure, std::uint16_t& exceptionCode, const std::uint8_t* reply,
                      std::size_t length) {
    exceptionCode = length >= 3 ? reply[2] : 0;
    failure = LinkFailure{LinkError::ModuleException, exceptionCode};
    return Verdict::Exception;
}

// Runs one exchange and tells the line's observer, if there is one, what went over the wire.
template <typename record, typename Exchange>
bool observed(Transport& port, record& t, const std::uint8_t* request, std::size_t length,
              Exchange exchange) {
    TrafficObserver* const observer = port.trafficObserver();
    if (!observer) return exchange() == Verdict::Good;
    observer->beginTransaction(request, length);
    const Verdict verdict = exchange();
    observer->endTransaction(t.reply, t.replyLength, verdict,
                             verdict == Verdict::Good ? LinkFailure{} : t.failure);
    return verdict == Verdict::Good;
}

void noteSent(Transport& port) {
    if (TrafficObserver* const observer = port.trafficObserver()) observer->requestSent();
}

void put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value & 0xFF);
}

// The common tail of both writes: send, pause, receive the 8-byte confirmation, check it.
Verdict write(Transport& port, WriteTransaction& t, const std::uint8_t* request, std::size_t length,
              int pauseMs, const LinkTiming& timing) {
    t.replyLength = 0;
    port.discardInput();
    const Transport::SendResult sent = port.send(request, length, timing.completionWaitMs);
    if (sent == Transport::SendResult::Refused) {
        // The adapter is gone (unplugged): a dead descriptor never sends again, so close it as
        // a read does, and the port can be opened afresh once the adapter is back.
        if (port.isOpen()) port.close();
        return fail(t.failure, LinkError::WriteSendFailed, Verdict::Other);
    }
    if (sent != Transport::SendResult::Done) {
        return fail(t.failure, LinkError::WriteSendFailed, Verdict::Other);
    }
    noteSent(port);
    port.awaitReply(pauseMs);
    std::size_t received = 0;
    const bool done = port.receive(t.reply, 8, received, timing.completionWaitMs, timing.quietMs);
    t.replyLength = received;
    if (!done || received == 0) return fail(t.failure, LinkError::WriteNoReply, Verdict::NoReply);
    if (t.reply[0] != request[0]) {
        return fail(t.failure, LinkError::WriteWrongAddress, Verdict::WrongAddress);
    }
    if (received < 2) return fail(t.failure, LinkError::BadCrc, Verdict::BadCrc);
    // Line noise is no refusal: an exception reply is one only with its own CRC right.
    if (t.reply[1] != request[1]) {
        if (!crcMatches(t.reply, received, 3))
            return fail(t.failure, LinkError::BadCrc, Verdict::BadCrc);
        return failException(t.failure, t.exceptionCode, t.reply, received);
    }
    if (!crcMatches(t.reply, received, 6))
        return fail(t.failure, LinkError::BadCrc, Verdict::BadCrc);
    if (std::memcmp(t.reply + 2, request + 2, 4) != 0) {
        return fail(t.failure, LinkError::WrongData, Verdict::Other);
    }
    return Verdict::Good;
}

Verdict read(Transport& port, ReadTransaction& t, const std::uint8_t* request, std::size_t length,
             const LinkTiming& timing, ReplyCount accepted) {
    t.replyLength = 0;
    port.discardInput();
    const Transport::SendResult sent = port.send(request, length, timing.completionWaitMs);
    if (sent == Transport::SendResult::Refused) {
        // The adapter is gone: close, so that the next poll opens the port afresh.
        port.close();
        return fail(t.failure, LinkError::NoPort, Verdict::Other);
    }
    if (sent != Transport::SendResult::Done) {
        return fail(t.failure, LinkError::ReadSendFailed, Verdict::Other);
    }
    noteSent(port);

    port.awaitReply(timing.readPauseMs);
    std::size_t received = 0;
    const bool done =
        port.receive(t.reply, kReplySize, received, timing.completionWaitMs, timing.quietMs);
    t.replyLength = received;
    if (!done || received == 0) return fail(t.failure, LinkError::ReadNoReply, Verdict::NoReply);
    if (t.reply[0] != t.moduleAddress) {
        return fail(t.failure, LinkError::ReadWrongAddress, Verdict::WrongAddress);
    }
    if (received < 3) return fail(t.failure, LinkError::BadCrc, Verdict::BadCrc);
    if (t.reply[1] != 0x03) {
        if (!crcMatches(t.reply, received, 3))
            return fail(t.failure, LinkError::BadCrc, Verdict::BadCrc);
        return failException(t.failure, t.exceptionCode, t.reply, received);
    }

    const std::size_t byteCount = t.reply[2];
    if (!crcMatches(t.reply, received, byteCount + 3)) {
        return fail(t.failure, LinkError::BadCrc, Verdict::BadCrc);
    }
    // Rejected here, so that the line's observer sees the same verdict as the caller.
    if (accepted == ReplyCount::Exact && byteCount != 2u * t.count) {
        return fail(t.failure, LinkError::WrongData, Verdict::Other);
    }
    t.registerCount = static_cast<std::uint8_t>(byteCount / 2);
    for (std::size_t i = 0; i < t.registerCount; ++i) {
        t.registers[i] = static_cast<std::uint16_t>(t.reply[3 + 2 * i] << 8 | t.reply[4 + 2 * i]);
    }
    return Verdict::Good;
}

}  // namespace

bool readRegisters(Transport& port, ReadTransaction& t, const LinkTiming& timing,
                   ReplyCount accepted) {
    if (t.count == 0 || t.count > kMaxReadRegisters) {
        t.failure = LinkFailure{LinkError::ReadCountRefused, t.count};
        return false;
    }
    std::uint8_t request[8];
    request[0] = t.moduleAddress;
    request[1] = 0x03;
    put16(request + 2, t.firstRegister);
    put16(request + 4, t.count);
    putCrc(request, 6);
    return observed(port, t, request, sizeof request,
                    [&] { return read(port, t, request, sizeof request, timing, accepted); });
}

bool writeRegister(Transport& port, WriteTransaction& t, const LinkTiming& timing) {
    std::uint8_t request[8];
    request[0] = t.moduleAddress;
    request[1] = 0x06;
    put16(request + 2, t.firstRegister);
    put16(request + 4, t.values[0]);
    putCrc(request, 6);
    return observed(port, t, request, sizeof request, [&] {
        return write(port, t, request, sizeof request, timing.writePauseMs, timing);
    });
}

bool isExceptionReply(const WriteTransaction& t, std::uint8_t function) {
    if (t.replyLength < 5) return false;
    return t.reply[0] == t.moduleAddress && t.reply[1] == (function | 0x80) &&
           crcMatches(t.reply, t.replyLength, 3);
}

bool writeRegisters(Transport& port, WriteTransaction& t, const LinkTiming& timing) {
    if (t.count == 0 || t.count > kMaxWriteRegisters) {
        t.failure = LinkFailure{LinkError::WriteCountRefused, t.count};
        return false;
    }
    std::uint8_t request[9 + 2 * kMaxWriteRegisters + 2];
    request[0] = t.moduleAddress;
    request[1] = 0x10;
    put16(request + 2, t.firstRegister);
    put16(request + 4, t.count);
    request[6] = static_cast<std::uint8_t>(2 * t.count);
    for (std::size_t i = 0; i < t.count; ++i) put16(request + 7 + 2 * i, t.values[i]);
    const std::size_t length = 7 + 2 * static_cast<std::size_t>(t.count);
    putCrc(request, length);
    return observed(port, t, request, length + 2, [&] {
        return write(port, t, request, length + 2, timing.writeManyPauseMs, timing);
    });
}

}  // namespace kvel
