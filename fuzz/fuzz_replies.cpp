// Any byte string as the reply to each kind of request: the checks of the transactions and of
// the module's read groups must never read outside the reply, and what they accept must be a
// well-formed answer to the request that was sent.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz/fake_line.h"
#include "link/crc16.h"
#include "link/read_exactly.h"
#include "link/transactions.h"

namespace {

using kvel::fuzz::FakeLine;

constexpr kvel::LinkTiming kNoPauses{0, 0, 0, 0, 0};

void require(bool condition) {
    if (!condition) __builtin_trap();
}

// Every failure leaves one of the transactions' texts.
void requireKnownError(const std::string& text) {
    static constexpr std::string_view kTexts[] = {
        "Нет связи с портом",
        "Ошибка передачи команды чтения в модуль",
        "Ошибка получения результата из модуля",
        "Ошибочный адрес модуля в ответе от модуля",
        "Ошибка передачи команды записи в модуль",
        "Ошибка подтверждения записи из модуля",
        "Ошибочный адрес модуля в ответе от модуля при записи",
        "Ошибочный CRC в ответе от модуля",
        "Ошибка в данных в ответе от модуля",
        "Ошибка модуля: код ",
        "Недопустимое число регистров для записи: ",
        "Недопустимое число регистров для чтения: ",
    };
    const std::string_view got(text);
    require(std::any_of(std::begin(kTexts), std::end(kTexts),
                        [got](std::string_view t) { return got.starts_with(t); }));
}

void fuzzRead(FakeLine& line, FuzzedDataProvider& in, bool exactly) {
    static kvel::ReadTransaction t;  // as the program's records: reused, never cleared
    t.moduleAddress = in.ConsumeIntegral<std::uint8_t>();
    t.firstRegister = in.ConsumeIntegral<std::uint16_t>();
    t.count = in.ConsumeIntegralInRange<std::uint16_t>(0, 130);
    t.failure =
        kvel::LinkFailure{kvel::LinkError::Interrupted, 7};  // what an earlier exchange left
    std::uint16_t before[kvel::kRegisterSlots];
    std::copy_n(t.registers, kvel::kRegisterSlots, before);
    const std::uint8_t countBefore = t.registerCount;
    line.reply = in.ConsumeRemainingBytes<std::uint8_t>();

    const bool ok =
        exactly ? kvel::readExactly(line, t, kNoPauses) : kvel::readRegisters(line, t, kNoPauses);
    if (!ok) {
        requireKnownError(errorText(t));
        // Only a frame with its own CRC right is the module's refusal.
        if (t.failure.error == kvel::LinkError::ModuleException) {
            require(kvel::crcMatches(line.reply.data(), line.reply.size(), 3));
        }
        // A read that fails on the reply's count leaves the registers as they were.
        if (exactly && t.failure.error == kvel::LinkError::WrongData) {
            require(std::equal(before, before + kvel::kRegisterSlots, t.registers));
            require(t.registerCount == countBefore);
        }
        return;
    }
    const std::vector<std::uint8_t>& r = line.reply;
    require(t.failure == kvel::LinkFailure{kvel::LinkError::Interrupted, 7});
    require(r.size() >= 5 && r[0] == t.moduleAddress && r[1] == 3);
    const std::size_t n = r[2];
    require(kvel::crcMatches(r.data(), r.size(), n + 3));
    require(t.registerCount == n / 2);
    if (exactly) require(t.registerCount == t.count);
    for (std::size_t i = 0; i < t.registerCount; ++i) {
        require(t.registers[i] == (r[3 + 2 * i] << 8 | r[4 + 2 * i]));
    }
}

void fuzzWrite(FakeLine& line, FuzzedDataProvider& in, bool many) {
    static kvel::WriteTransaction t;
    t.moduleAddress = in.ConsumeIntegral<std::uint8_t>();
    t.firstRegister = in.ConsumeIntegral<std::uint16_t>();
    t.count = in.ConsumeIntegralInRange<std::uint16_t>(0, 130);
    for (std::size_t i = 0; i < 4; ++i) t.values[i] = in.ConsumeIntegral<std::uint16_t>();
    line.reply = in.ConsumeRemainingBytes<std::uint8_t>();
    const bool ok =
        many ? kvel::writeRegisters(line, t, kNoPauses) : kvel::writeRegister(line, t, kNoPauses);
    if (!ok) {
        requireKnownError(errorText(t));
        if (t.failure.error == kvel::LinkError::ModuleException) {
            require(kvel::crcMatches(line.reply.data(), line.reply.size(), 3));
        }
        return;
    }
    // Only the echo of the request, with its CRC, confirms a write.
    const std::vector<std::uint8_t>& r = line.reply;
    require(r.size() >= 8 && line.sent.size() >= 8);
    require(std::equal(r.begin(), r.begin() + 6, line.sent.begin()));
    require(kvel::crcMatches(r.data(), r.size(), 6));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    FakeLine line;
    const auto kind = in.ConsumeIntegralInRange<int>(0, 3);
    // Now and then the line refuses the send or the reply does not complete.
    const auto line_state = in.ConsumeIntegralInRange<int>(0, 15);
    if (line_state == 0) line.sendResult = kvel::Transport::SendResult::Refused;
    if (line_state == 1) line.sendResult = kvel::Transport::SendResult::NotCompleted;
    if (line_state == 2) line.receiveCompletes = false;
    switch (kind) {
        case 0:
            fuzzRead(line, in, false);
            break;
        case 1:
            fuzzRead(line, in, true);
            break;
        case 2:
            fuzzWrite(line, in, false);
            break;
        default:
            fuzzWrite(line, in, true);
            break;
    }
    return 0;
}
