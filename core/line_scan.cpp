#include "core/line_scan.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <optional>
#include <utility>

#include "core/settings_form.h"
#include "core/shown_text.h"
#include "link/crc16.h"
#include "link/module_map.h"
#include "link/port_open_failure.h"

namespace kvel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBitsPerChar = 11;
constexpr int kRequestChars = 8;
constexpr int kReplyChars = 7;  // address, function, byte count, one register, CRC
// A reply ends this long after its last byte, as a poll's reception ends.
constexpr int kQuietMs = 10;

bool contains(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// Whole milliseconds until the deadline, rounded down: a probe gives up to a millisecond of its
// margin rather than take longer than its floor.
int msUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left / 1000) : 0;
}

double charsMs(int chars, int speedIndex) {
    const int bps = SerialPort::speedOfIndex(speedIndex);
    return bps > 0 ? 1000.0 * chars * kBitsPerChar / bps : 0.0;
}

// Why an address that answered the first probe is not taken for a module.
std::string unconfirmed(const ProbeResult& probe) {
    return shownText(
        QT_TRANSLATE_NOOP("KvelView", "нет подтверждения: %1"),
        {probe.what.empty() ? shownText(QT_TRANSLATE_NOOP("KvelView", "нет ответа")) : probe.what});
}

// What a reply that is not the one asked for is, for the list of what answered.
ProbeResult garbled(const std::uint8_t* reply, std::size_t n, int address,
                    TrafficVerdict& verdict) {
    ProbeResult r;
    r.verdict = ProbeResult::Verdict::Garbled;
    const bool crcGood = n >= 4 && crcMatches(reply, n, n - 2);
    if (!crcGood) {
        verdict = TrafficVerdict::BadCrc;
        r.what = shownText(QT_TRANSLATE_NOOP("KvelView", "ошибочный CRC"));
    } else if (reply[0] != address) {
        verdict = TrafficVerdict::WrongAddress;
        if (n == kReplyChars && reply[1] == 0x03 && reply[2] == 2) r.lateFrom = reply[0];
        r.what = shownText(QT_TRANSLATE_NOOP("KvelView", "ответ с адресом %1"),
                           {std::to_string(reply[0])});
    } else if (reply[1] == 0x83 && n == 5) {
        verdict = TrafficVerdict::Exception;
        char code[8];
        std::snprintf(code, sizeof code, "%X", static_cast<unsigned>(reply[2]));
        r.what = shownText(QT_TRANSLATE_NOOP("KvelView", "ошибка модуля: код %1"), {code});
    } else {
        verdict = TrafficVerdict::Other;
        r.what = shownText(QT_TRANSLATE_NOOP("KvelView", "ответ неверной длины"));
    }
    return r;
}

// The code of a probe's failure, as a transaction of the link would give it.
LinkFailure probeFailure(TrafficVerdict verdict, const ProbeResult& result,
                         const std::uint8_t* reply) {
    switch (verdict) {
        case TrafficVerdict::Good:
            return {};
        case TrafficVerdict::NoReply:
            return {LinkError::ReadNoReply};
        case TrafficVerdict::BadCrc:
            return {LinkError::BadCrc};
        case TrafficVerdict::WrongAddress:
            return {LinkError::ReadWrongAddress};
        case TrafficVerdict::Exception:
            return {LinkError::ModuleException, reply[2]};
        case TrafficVerdict::Other:
            break;
    }
    return {result.verdict == ProbeResult::Verdict::LineLost ? LinkError::ReadSendFailed
                                                             : LinkError::WrongData};
}

}  // namespace

std::vector<LineSetting> scanOrder(const ScanSpace& space, const LineSetting& stored) {
    std::vector<LineSetting> order;
    const auto inSpace = [&space](const LineSetting& at) {
        return at.address >= space.firstAddress && at.address <= space.lastAddress &&
               contains(space.speeds, at.speedIndex) && contains(space.parities, at.parityIndex);
    };
    const auto add = [&](const LineSetting& at) {
        if (inSpace(at) && std::find(order.begin(), order.end(), at) == order.end()) {
            order.push_back(at);
        }
    };
    add(stored);
    for (int a = space.firstAddress; a <= space.lastAddress; ++a) {
        add({a, stored.speedIndex, stored.parityIndex});
    }
    for (int s = 0; s < kScanSpeeds; ++s) {
        for (int p = 0; p < kScanParities; ++p) add({stored.address, s, p});
    }
    for (int s = 0; s < kScanSpeeds; ++s) {
        for (int p = 0; p < kScanParities; ++p) {
            for (int a = space.firstAddress; a <= space.lastAddress; ++a) add({a, s, p});
        }
    }
    return order;
}

double probeFloorMs(int speedIndex, int marginMs) {
    return charsMs(kRequestChars + kReplyChars, speedIndex) + marginMs;
}

ProbeResult probeRegister(Transport& port, int address, std::uint16_t reg, int speedIndex,
                          int marginMs) {
    std::uint8_t request[kRequestChars] = {
        static_cast<std::uint8_t>(address),    0x03, static_cast<std::uint8_t>(reg >> 8),
        static_cast<std::uint8_t>(reg & 0xFF), 0,    1};
    putCrc(request, 6);
    const auto start = Clock::now();
    const auto floor = std::chrono::microseconds(
        static_cast<long long>(std::ceil(probeFloorMs(speedIndex, marginMs) * 1000)));
    TrafficObserver* const observer = port.trafficObserver();
    if (observer) observer->beginTransaction(request, sizeof request);
    port.discardInput();

    std::uint8_t reply[kReplyChars];
    std::size_t got = 0;
    TrafficVerdict verdict = TrafficVerdict::NoReply;
    ProbeResult result;
    const Transport::SendResult sent =
        port.send(request, sizeof request, std::max(1, msUntil(start + floor)));
    if (sent != Transport::SendResult::Done) {
        verdict = TrafficVerdict::Other;
        result.verdict = ProbeResult::Verdict::LineLost;
        result.what =
            shownText(QT_TRANSLATE_NOOP("KvelView", "Ошибка передачи команды чтения в модуль"));
    } else {
        if (observer) observer->requestSent();
        // The reception ends with the reply's last byte rather than a quiet time after it: a
        // longer frame is not told by its length but by its CRC, and what follows is thrown
        // away before the next request.
        const bool ended =
            port.receive(reply, kReplyChars, got, std::max(1, msUntil(start + floor)), kQuietMs);
        if (!ended && got > 0 && got < kReplyChars) {
            // Begun within the floor: the rest of it is waited for, so that a module that
            // answers late is not taken for a garbled one.
            std::size_t more = 0;
            const int rest =
                static_cast<int>(std::ceil(charsMs(kReplyChars, speedIndex))) + kQuietMs + marginMs;
            port.receive(reply + got, kReplyChars - got, more, rest, kQuietMs);
            got += more;
        }
        if (got == kReplyChars && reply[0] == address && reply[1] == 0x03 && reply[2] == 2 &&
            crcMatches(reply, got, 5)) {
            verdict = TrafficVerdict::Good;
            result.verdict = ProbeResult::Verdict::Reply;
            result.value = static_cast<std::uint16_t>(reply[3] << 8 | reply[4]);
        } else if (got > 0) {
            result = garbled(reply, got, address, verdict);
        }
    }
    if (observer) {
        // The line's record of a silent probe or a lost line says so as a poll's does; a
        // garbled reply's record says what was wrong with it.
        const bool garbledReply = result.verdict == ProbeResult::Verdict::Garbled;
        observer->endTransaction(reply, got, verdict, probeFailure(verdict, result, reply),
                                 garbledReply ? result.what.c_str() : nullptr);
    }
    return result;
}

ScanRequest scanRequestFor(const SettingsForm& form) {
    ScanRequest request;
    request.port = form.port;
    int address = 0;
    const bool valid = parseWhole(form.address, address) && address >= kScanFirstAddress &&
                       address <= kScanLastAddress;
    request.stored = {valid ? address : kScanFirstAddress, std::max(0, form.speedIndex),
                      std::max(0, form.parityIndex)};
    return request;
}

LineScan::LineScan(ScanRequest request)
    : request_(std::move(request)), order_(scanOrder(request_.space, request_.stored)) {
    progress_.total = order_.size();
    for (const LineSetting& at : order_) {
        progress_.msLeft += probeFloorMs(at.speedIndex, request_.marginMs);
    }
    if (!order_.empty()) progress_.trying = order_.front();
}

ScanProgress LineScan::progress() const {
    const std::lock_guard lock(mutex_);
    return progress_;
}

bool LineScan::stopping(const std::function<bool()>& stop) const {
    return cancelled_ || (stop && stop());
}

void LineScan::finish(ScanProgress::State state, std::string failure) {
    const std::lock_guard lock(mutex_);
    progress_.state = state;
    progress_.failure = std::move(failure);
}

bool LineScan::found(const LineSetting& at) const {
    const std::lock_guard lock(mutex_);
    return std::any_of(progress_.findings.begin(), progress_.findings.end(),
                       [&at](const ScanFinding& f) { return f.at == at; });
}

ScanFinding LineScan::confirm(SerialPort& port, const LineSetting& at, int marginMs) {
    ScanFinding finding;
    finding.at = at;
    const ProbeResult type =
        probeRegister(port, at.address, reg::kModuleType, at.speedIndex, marginMs);
    if (type.verdict != ProbeResult::Verdict::Reply) {
        finding.answer = unconfirmed(type);
        return finding;
    }
    const ProbeResult version =
        probeRegister(port, at.address, reg::kSoftwareVersion, at.speedIndex, marginMs);
    if (version.verdict != ProbeResult::Verdict::Reply) {
        finding.answer = unconfirmed(version);
        return finding;
    }
    finding.module = true;
    finding.typeCode = type.value;
    finding.version = version.value;
    return finding;
}

ScanProgress LineScan::run(SerialPort& port, const std::function<bool()>& stop) {
    int openSpeed = -1;
    int openParity = -1;
    ScanProgress::State state = ScanProgress::State::Finished;
    std::string failure;
    for (const LineSetting& at : order_) {
        if (stopping(stop)) {
            state = ScanProgress::State::Cancelled;
            break;
        }
        {
            const std::lock_guard lock(mutex_);
            progress_.trying = at;
        }
        if (!port.isOpen() || at.speedIndex != openSpeed || at.parityIndex != openParity) {
            const bool opened = port.open(request_.port, at.speedIndex, at.parityIndex);
            if (std::vector<MarkedText> notices = port.takeNotices(); !notices.empty()) {
                const std::lock_guard lock(mutex_);
                for (const MarkedText& n : notices) progress_.notices.push_back(shownText(n));
            }
            if (!opened) {
                state = ScanProgress::State::Failed;
                failure = shownText(QT_TRANSLATE_NOOP("KvelView", "Ошибка открытия порта: %1"),
                                    {shownText(portOpenFailureMessage(port.lastFailure()))});
                break;
            }
            openSpeed = at.speedIndex;
            openParity = at.parityIndex;
        }
        ProbeResult probe =
            probeRegister(port, at.address, reg::kModuleType, at.speedIndex, request_.marginMs);
        if (probe.verdict == ProbeResult::Verdict::Garbled && probe.lateFrom != 0 &&
            !stopping(stop)) {
            // A slow module (a slow adapter) answers after its probe's margin, into the next
            // probe: it is asked again with the longest margin, and this address once more.
            const LineSetting late{probe.lateFrom, at.speedIndex, at.parityIndex};
            if (!found(late)) {
                const ScanFinding slow = confirm(port, late, kMaxScanMarginMs);
                {
                    const std::lock_guard lock(mutex_);
                    progress_.findings.push_back(slow);
                }
                if (slow.module && request_.stopAtFirst) break;
            }
            probe =
                probeRegister(port, at.address, reg::kModuleType, at.speedIndex, request_.marginMs);
        }
        if (probe.verdict == ProbeResult::Verdict::LineLost) {
            state = ScanProgress::State::Failed;
            failure = probe.what;
            break;
        }
        std::optional<ScanFinding> finding;
        if (probe.verdict == ProbeResult::Verdict::Reply) {
            finding = stopping(stop) ? ScanFinding{at, false, 0, 0,
                                                   shownText(QT_TRANSLATE_NOOP(
                                                       "KvelView", "нет подтверждения: отменено"))}
                                     : confirm(port, at, request_.marginMs);
        } else if (probe.verdict == ProbeResult::Verdict::Garbled) {
            finding = ScanFinding{at, false, 0, 0, probe.what};
        }
        {
            const std::lock_guard lock(mutex_);
            ++progress_.done;
            progress_.msLeft =
                std::max(0.0, progress_.msLeft - probeFloorMs(at.speedIndex, request_.marginMs));
            if (finding) progress_.findings.push_back(*finding);
        }
        if (finding && finding->module && request_.stopAtFirst) break;
    }
    port.close();
    finish(state, std::move(failure));
    return progress();
}

std::string parityText(int parityIndex) {
    std::string parity = parityIndex >= 0 && parityIndex < kScanParities
                             ? shownText(kParityItems[static_cast<std::size_t>(parityIndex)])
                             : "?";
    parity.erase(0, parity.find_first_not_of(' '));
    return parity;
}

std::string lineSettingText(const LineSetting& at) {
    return shownText(
        QT_TRANSLATE_NOOP("KvelView", "%1 бит/с, паритет %2"),
        {std::to_string(SerialPort::speedOfIndex(at.speedIndex)), parityText(at.parityIndex)});
}

std::string timeLeftText(double ms) {
    const long seconds = std::lround(std::ceil(std::max(0.0, ms) / 1000.0));
    if (seconds < 60)
        return shownText(QT_TRANSLATE_NOOP("KvelView", "%1 с"), {std::to_string(seconds)});
    char twoDigits[8];
    std::snprintf(twoDigits, sizeof twoDigits, "%02ld", seconds % 60);
    return shownText(QT_TRANSLATE_NOOP("KvelView", "%1 мин %2 с"),
                     {std::to_string(seconds / 60), twoDigits});
}

}  // namespace kvel
