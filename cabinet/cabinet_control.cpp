#include "cabinet/cabinet_control.h"

#include <chrono>
#include <thread>

#include "link/message_sink.h"

namespace kvel {
namespace {

constexpr char kCaption[] = "Ошибка";
constexpr int kFirstSignalIndicator = kHostCommands;

void Pause(int ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void Refuse(TargetState state) {
    ShowMessage(state == TargetState::OutOfRange ? CabinetOutOfRangeText() : kNoCabinetText,
                kCaption);
}

}  // namespace

TCabinetControl::TCabinetControl(TModuleLink& link, TMemIni& ini) : link_(link), ini_(ini) {}

bool TCabinetControl::CommandClick(int command) {
    if (command < 1 || command > kHostCommands || pending_) return false;
    // One command slot: the pulse it holds is ended before it is taken over. If that fails,
    // its message is enough for this click.
    if (pulse_ && !ReleasePulse()) return false;
    command_ = command;
    pending_ = true;
    return CommandStep();
}

bool TCabinetControl::ReleasePulse() {
    if (!pulse_) return true;
    pending_ = false;
    return CommandStep();
}

bool TCabinetControl::CommandStep() {
    switchPulseTimer(false);
    Pulse write{command_, 0, 0};
    if (pending_) {
        const HostTarget target = CurrentTarget();
        const TargetState state = CheckTarget(target);
        if (state != TargetState::Ok) {
            pending_ = false;
            Refuse(state);
            return false;
        }
        write.address = HostAddress(ini_);
        write.reg = CommandRegister(target, command_);
    } else if (pulse_) {
        write = *pulse_;
    } else {
        return true;  // no pulse to end
    }

    if (!Write(write.address, write.reg, pending_ ? 1 : 0)) {
        ShowMessage(link_.WriteRecords()[3].errorText, kCaption);
        pending_ = false;
        // A release that failed leaves the register as it was, and its lamp on; the slot is
        // free again so that the next command is not held up by it.
        pulse_.reset();
        return false;
    }
    Pause(timing_.pulsePauseMs);
    if (pending_) {
        pending_ = false;
        pulse_ = write;
        switchPulseTimer(true);
        Indicator(write.command - 1, true);
    } else {
        pulse_.reset();
        Indicator(write.command - 1, false);
    }
    return true;
}

bool TCabinetControl::SignalClick(int signal) {
    if (signal < 0 || signal >= kHostSignals) return false;
    const HostTarget target = CurrentTarget();
    const TargetState state = CheckTarget(target);
    if (state != TargetState::Ok) {
        Refuse(state);
        return false;
    }
    const std::uint16_t value = SignalState(signal) != 0 ? 0 : 1;
    if (!Write(HostAddress(ini_), SignalRegister(target, signal), value)) {
        ShowMessage(link_.WriteRecords()[3].errorText, kCaption);
        return false;
    }
    Pause(timing_.signalPauseMs);
    Refresh();
    return true;
}

RefreshResult TCabinetControl::Refresh() {
    RefreshResult& result = lastRefresh_;
    result = RefreshResult{};
    const HostTarget target = CurrentTarget();
    result.target = CheckTarget(target);
    if (result.target != TargetState::Ok) {
        // The on-line lamp keeps its picture.
        for (int s = 0; s < kHostSignals; ++s) Indicator(kFirstSignalIndicator + s, false);
        return result;
    }
    const std::uint8_t address = HostAddress(ini_);
    auto read = [&](TReadTransaction& t, std::uint16_t first, std::uint16_t count) {
        t.moduleAddress = address;
        t.firstRegister = first;
        t.count = count;
        // A reply of another count is no answer to this read: a late reply to the other
        // read of the refresh would otherwise pass for it.
        const bool ok = link_.ReadExactly(t);
        if (!ok && result.error.empty()) result.error = t.errorText;
        return ok;
    };
    if (target.addressing == HostAddressing::Host) {
        TReadTransaction& t = link_.ReadRecords()[4];
        result.onlineRead = read(t, OnlineRegister(target), 1);
        result.online = result.onlineRead && t.registerCount >= 1 && t.registers[0] != 0;
    }
    if (view_) view_->SetOnlineIndicator(result.online);

    result.signalsRead = read(link_.ReadRecords()[3], SignalRegister(target, 0), kHostSignals);
    for (int s = 0; s < kHostSignals; ++s) {
        Indicator(kFirstSignalIndicator + s, result.signalsRead && SignalState(s) != 0);
    }
    return result;
}

std::uint16_t TCabinetControl::SignalState(int signal) const {
    const TReadTransaction& t = link_.ReadRecords()[3];
    // A short reply leaves the registers after it as they were: they are not this cabinet's.
    if (signal < 0 || signal >= t.registerCount) return 0;
    return t.registers[signal];
}

HostTarget TCabinetControl::CurrentTarget() const {
    return LookUpTarget(ini_, view_ ? view_->CabinetName() : "");
}

bool TCabinetControl::Write(std::uint8_t address, std::uint16_t reg, std::uint16_t value) {
    TWriteTransaction& t = link_.WriteRecords()[3];
    t.moduleAddress = address;
    t.firstRegister = reg;
    t.values[0] = value;
    return link_.WriteRegister(t);
}

void TCabinetControl::Indicator(int i, bool on) {
    if (view_) view_->SetIndicator(i, on);
}

void TCabinetControl::switchPulseTimer(bool on) {
    if (releaseTimer_) releaseTimer_(on);
}

}  // namespace kvel
