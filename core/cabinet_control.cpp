#include "core/cabinet_control.h"

#include "core/shown_text.h"
#include "link/message_sink.h"

namespace kvel {
namespace {

constexpr int kFirstSignalIndicator = kHostCommands;

}  // namespace

void CabinetView::showFailure(const std::string& text) {
    showMessage(text, kCabinetFailureCaption);
}

void CabinetView::showLinkFailure(const LinkFailure& failure) {
    showFailure(linkFailureMessageText(failure));
}

void CabinetControl::fail(const std::string& text) {
    if (view_) {
        view_->showFailure(text);
    } else {
        showMessage(text, kCabinetFailureCaption);
    }
}

void CabinetControl::fail(const LinkFailure& failure) {
    if (view_) {
        view_->showLinkFailure(failure);
    } else {
        showMessage(linkFailureMessageText(failure), kCabinetFailureCaption);
    }
}

void CabinetControl::refuse(TargetState state) {
    fail(state == TargetState::outOfRange ? cabinetOutOfRangeText() : kNoCabinetText);
}

CabinetControl::CabinetControl(ModuleLink& link, MemIni& ini) : link_(link), ini_(ini) {}

bool CabinetControl::commandClick(int command) {
    if (command < 1 || command > kHostCommands || pending_) return false;
    // One command slot: the pulse it holds is ended before it is taken over. If that fails,
    // its message is enough for this click.
    if (pulse_ && !releasePulse()) return false;
    command_ = command;
    pending_ = true;
    return commandStep();
}

bool CabinetControl::releasePulse(bool thenPause) {
    if (!pulse_) return true;
    pending_ = false;
    return commandStep(thenPause);
}

bool CabinetControl::commandStep(bool thenPause) {
    switchPulseTimer(false);
    Pulse write{command_, 0, 0};
    if (pending_) {
        const HostTarget target = currentTarget();
        const TargetState state = checkTarget(target);
        if (state != TargetState::Ok) {
            pending_ = false;
            refuse(state);
            return false;
        }
        write.address = hostAddress(ini_);
        write.reg = commandRegister(target, command_);
    } else if (pulse_) {
        write = *pulse_;
    } else {
        return true;  // no pulse to end
    }

    // The pulse is timed from its write: the pause after it is part of the pulse.
    const Clock::time_point writing = Clock::now();
    if (const LinkFailure failed = writeHostRegister(write.address, write.reg, pending_ ? 1 : 0);
        failed.failed()) {
        fail(failed);
        pending_ = false;
        // A release that failed leaves the register as it was, and its lamp on; the slot is
        // free again so that the next command is not held up by it.
        pulse_.reset();
        return false;
    }
    if (thenPause) link_.pause(timing_.pulsePauseMs);
    if (pending_) {
        pending_ = false;
        pulse_ = write;
        switchPulseTimer(true, writing + std::chrono::milliseconds(timing_.releaseMs));
        indicator(write.command - 1, true);
    } else {
        pulse_.reset();
        indicator(write.command - 1, false);
    }
    return true;
}

bool CabinetControl::signalClick(int signal) {
    if (signal < 0 || signal >= kHostSignals) return false;
    const HostTarget target = currentTarget();
    const TargetState state = checkTarget(target);
    if (state != TargetState::Ok) {
        refuse(state);
        return false;
    }
    const std::uint16_t value = signalState(signal) != 0 ? 0 : 1;
    if (const LinkFailure failed =
            writeHostRegister(hostAddress(ini_), signalRegister(target, signal), value);
        failed.failed()) {
        fail(failed);
        return false;
    }
    link_.pause(timing_.signalPauseMs);
    refresh();
    return true;
}

RefreshResult CabinetControl::refresh() {
    RefreshResult& result = lastRefresh_;
    result = RefreshResult{};
    const HostTarget target = currentTarget();
    result.target = checkTarget(target);
    if (result.target != TargetState::Ok) {
        // The on-line lamp keeps its picture.
        for (int s = 0; s < kHostSignals; ++s) indicator(kFirstSignalIndicator + s, false);
        return result;
    }
    const std::uint8_t address = hostAddress(ini_);
    auto read = [&](ReadTransaction& t, std::uint16_t first, std::uint16_t count) {
        t.moduleAddress = address;
        t.firstRegister = first;
        t.count = count;
        // A reply of another count is no answer to this read: a late reply to the other
        // read of the refresh would otherwise pass for it.
        const bool ok = link_.readExactly(t);
        if (!ok && !result.error.failed()) result.error = t.failure;
        return ok;
    };
    if (target.addressing == HostAddressing::Host) {
        ReadTransaction t;
        result.onlineRead = read(t, onlineRegister(target), 1);
        result.online = result.onlineRead && t.registerCount >= 1 && t.registers[0] != 0;
    }
    if (view_) view_->setOnlineIndicator(result.online);

    result.signalsRead = read(signals_, signalRegister(target, 0), kHostSignals);
    for (int s = 0; s < kHostSignals; ++s) {
        indicator(kFirstSignalIndicator + s, result.signalsRead && signalState(s) != 0);
    }
    return result;
}

std::uint16_t CabinetControl::signalState(int signal) const {
    const ReadTransaction& t = signals_;
    // A short reply leaves the registers after it as they were: they are not this cabinet's.
    if (signal < 0 || signal >= t.registerCount) return 0;
    return t.registers[signal];
}

HostTarget CabinetControl::currentTarget() const {
    return lookUpTarget(ini_, view_ ? view_->cabinetName() : "");
}

LinkFailure CabinetControl::writeHostRegister(std::uint8_t address, std::uint16_t reg,
                                              std::uint16_t value) {
    WriteTransaction t;
    t.moduleAddress = address;
    t.firstRegister = reg;
    t.values[0] = value;
    return link_.writeRegister(t) ? LinkFailure{} : t.failure;
}

void CabinetControl::indicator(int i, bool on) {
    if (view_) view_->setIndicator(i, on);
}

void CabinetControl::switchPulseTimer(bool on, Clock::time_point due) {
    if (releaseTimer_) releaseTimer_(on, due);
}

}  // namespace kvel
