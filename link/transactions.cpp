#include "link/transactions.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "link/crc16.h"
#include "link/line_pause.h"

namespace kvel {
namespace {

constexpr char kNoPort[] = "Нет связи с портом";
constexpr char kReadSendFailed[] = "Ошибка передачи команды чтения в модуль";
constexpr char kReadReplyFailed[] = "Ошибка получения результата из модуля";
constexpr char kReadWrongAddress[] = "Ошибочный адрес модуля в ответе от модуля";
constexpr char kWriteSendFailed[] = "Ошибка передачи команды записи в модуль";
constexpr char kWriteReplyFailed[] = "Ошибка подтверждения записи из модуля";
constexpr char kWriteWrongAddress[] = "Ошибочный адрес модуля в ответе от модуля при записи";
constexpr char kBadCrc[] = "Ошибочный CRC в ответе от модуля";
constexpr char kEchoDiffers[] = "Ошибка в данных в ответе от модуля";

template <std::size_t N>
bool Fail(char (&errorText)[N], const char* text) {
    std::snprintf(errorText, N, "%s", text);
    return false;
}

template <std::size_t N>
bool FailException(char (&errorText)[N], std::uint16_t& exceptionCode, const std::uint8_t* reply,
                   std::size_t length) {
    exceptionCode = length >= 3 ? reply[2] : 0;
    std::snprintf(errorText, N, "Ошибка модуля: код %X", static_cast<unsigned>(exceptionCode));
    return false;
}

void PutCrc(std::uint8_t* frame, std::size_t length) {
    const std::uint16_t crc = Crc16(frame, static_cast<std::uint16_t>(length));
    frame[length] = static_cast<std::uint8_t>(crc & 0xFF);
    frame[length + 1] = static_cast<std::uint8_t>(crc >> 8);
}

// True when the frame of `length` bytes is followed by its CRC, low byte first, within the
// bytes that actually arrived. A frame cut short can never pass.
bool CrcMatches(const std::uint8_t* reply, std::size_t received, std::size_t length) {
    if (received < length + 2) return false;
    const std::uint16_t crc = Crc16(reply, static_cast<std::uint16_t>(length));
    return reply[length] == (crc & 0xFF) && reply[length + 1] == (crc >> 8);
}

void Put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value & 0xFF);
}

void Pause(int ms) {
    LinePause(ms);
}

// The common tail of both writes: send, pause, receive the 8-byte confirmation, check it.
bool Write(Transport& port, TWriteTransaction& t, const std::uint8_t* request, std::size_t length,
           int pauseMs, const LinkTiming& timing) {
    t.replyLength = 0;
    port.DiscardInput();
    if (port.Send(request, length, timing.completionWaitMs) != Transport::SendResult::Done) {
        return Fail(t.errorText, kWriteSendFailed);
    }
    Pause(pauseMs);
    std::size_t received = 0;
    const bool done = port.Receive(t.reply, 8, received, timing.completionWaitMs, timing.quietMs);
    t.replyLength = received;
    if (!done || received == 0) return Fail(t.errorText, kWriteReplyFailed);
    if (t.reply[0] != request[0]) return Fail(t.errorText, kWriteWrongAddress);
    if (received < 2) return Fail(t.errorText, kBadCrc);
    if (t.reply[1] != request[1]) {
        return FailException(t.errorText, t.exceptionCode, t.reply, received);
    }
    if (!CrcMatches(t.reply, received, 6)) return Fail(t.errorText, kBadCrc);
    if (std::memcmp(t.reply + 2, request + 2, 4) != 0) return Fail(t.errorText, kEchoDiffers);
    return true;
}

}  // namespace

bool ReadRegisters(Transport& port, TReadTransaction& t, const LinkTiming& timing) {
    std::uint8_t request[8];
    request[0] = t.moduleAddress;
    request[1] = 0x03;
    Put16(request + 2, t.firstRegister);
    Put16(request + 4, t.count);
    PutCrc(request, 6);
    t.replyLength = 0;

    port.DiscardInput();
    const Transport::SendResult sent = port.Send(request, sizeof request, timing.completionWaitMs);
    if (sent == Transport::SendResult::Refused) {
        // The adapter is gone: close, so that the next poll opens the port afresh.
        port.Close();
        return Fail(t.errorText, kNoPort);
    }
    if (sent != Transport::SendResult::Done) return Fail(t.errorText, kReadSendFailed);

    Pause(timing.readPauseMs);
    std::size_t received = 0;
    const bool done =
        port.Receive(t.reply, kReplySize, received, timing.completionWaitMs, timing.quietMs);
    t.replyLength = received;
    if (!done || received == 0) return Fail(t.errorText, kReadReplyFailed);
    if (t.reply[0] != t.moduleAddress) return Fail(t.errorText, kReadWrongAddress);
    if (received < 3) return Fail(t.errorText, kBadCrc);
    if (t.reply[1] != 0x03) return FailException(t.errorText, t.exceptionCode, t.reply, received);

    const std::size_t byteCount = t.reply[2];
    if (!CrcMatches(t.reply, received, byteCount + 3)) return Fail(t.errorText, kBadCrc);
    t.registerCount = static_cast<std::uint8_t>(byteCount / 2);
    for (std::size_t i = 0; i < t.registerCount; ++i) {
        t.registers[i] = static_cast<std::uint16_t>(t.reply[3 + 2 * i] << 8 | t.reply[4 + 2 * i]);
    }
    return true;
}

bool WriteRegister(Transport& port, TWriteTransaction& t, const LinkTiming& timing) {
    std::uint8_t request[8];
    request[0] = t.moduleAddress;
    request[1] = 0x06;
    Put16(request + 2, t.firstRegister);
    Put16(request + 4, t.values[0]);
    PutCrc(request, 6);
    return Write(port, t, request, sizeof request, timing.writePauseMs, timing);
}

bool WriteRegisters(Transport& port, TWriteTransaction& t, const LinkTiming& timing) {
    if (t.count == 0 || t.count > kMaxRegistersPerExchange) {
        std::snprintf(t.errorText, sizeof t.errorText,
                      "Недопустимое число регистров для записи: %u",
                      static_cast<unsigned>(t.count));
        return false;
    }
    std::uint8_t request[9 + 2 * kMaxRegistersPerExchange + 2];
    request[0] = t.moduleAddress;
    request[1] = 0x10;
    Put16(request + 2, t.firstRegister);
    Put16(request + 4, t.count);
    request[6] = static_cast<std::uint8_t>(2 * t.count);
    for (std::size_t i = 0; i < t.count; ++i) Put16(request + 7 + 2 * i, t.values[i]);
    const std::size_t length = 7 + 2 * static_cast<std::size_t>(t.count);
    PutCrc(request, length);
    return Write(port, t, request, length + 2, timing.writeManyPauseMs, timing);
}

}  // namespace kvel
