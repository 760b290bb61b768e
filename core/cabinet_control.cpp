#include "core/cabinet_control.h"

#include "core/shown_text.h"

namespace kvel {
namespace {

constexpr int kFirstSignalIndicator = kHostCommands;

void putOutSignals(CabinetUpdate& update) {
    for (int s = 0; s < kHostSignals; ++s) {
        update.indicators.emplace_back(kFirstSignalIndicator + s, false);
    }
}

}  // namespace

std::string cabinetFailureText(const CabinetFailure& failure) {
    switch (failure.refused) {
        case TargetState::Ok:
            return linkFailureMessageText(failure.failure);
        case TargetState::outOfRange:
            return cabinetOutOfRangeText();
        case TargetState::NotChosen:
            break;
    }
    return kNoCabinetText;
}

void CabinetControl::fail(CabinetUpdate& update, const CabinetFailure& failure) {
    update.done = false;
    update.failures.push_back(failure);
}

CabinetControl::CabinetControl(ModuleLink& link, MemIni& ini) : link_(link), ini_(ini) {}

CabinetUpdate CabinetControl::commandClick(const std::string& cabinet, int command) {
    CabinetUpdate update;
    if (command < 1 || command > kHostCommands) {
        update.done = false;
        return update;
    }
    // One command slot: the pulse it holds is ended before it is taken over. If that fails,
    // its message is enough for this click.
    if (pulse_ && !writePulse(update, std::nullopt, true)) return update;
    command_ = command;
    const HostTarget target = lookUpTarget(ini_, cabinet);
    if (const TargetState state = checkTarget(target); state != TargetState::Ok) {
        fail(update, {state, {}});
        return update;
    }
    writePulse(update, Pulse{command, hostAddress(ini_), commandRegister(target, command)}, true);
    return update;
}

CabinetUpdate CabinetControl::releasePulse(bool thenPause) {
    CabinetUpdate update;
    if (pulse_) writePulse(update, std::nullopt, thenPause);
    return update;
}

bool CabinetControl::writePulse(CabinetUpdate& update, const std::optional<Pulse>& start,
                                bool thenPause) {
    emit releaseCancelled();
    const Pulse write = start ? *start : *pulse_;
    // The pulse is timed from its write: the pause after it is part of the pulse.
    const Clock::time_point writing = Clock::now();
    if (const LinkFailure failed = writeHostRegister(write.address, write.reg, start ? 1 : 0);
        failed.failed()) {
        fail(update, {TargetState::Ok, failed});
        // A release that failed leaves the register as it was, and its lamp on; the slot is
        // free again so that the next command is not held up by it.
        pulse_.reset();
        return false;
    }
    if (thenPause) link_.pause(timing_.pulsePauseMs);
    update.indicators.emplace_back(write.command - 1, start.has_value());
    if (start) {
        pulse_ = write;
        emit releaseDue(writing + std::chrono::milliseconds(timing_.releaseMs));
    } else {
        pulse_.reset();
    }
    return true;
}

CabinetUpdate CabinetControl::signalClick(const std::string& cabinet, int signal) {
    CabinetUpdate update;
    if (signal < 0 || signal >= kHostSignals) {
        update.done = false;
        return update;
    }
    const HostTarget target = lookUpTarget(ini_, cabinet);
    if (const TargetState state = checkTarget(target); state != TargetState::Ok) {
        fail(update, {state, {}});
        return update;
    }
    const std::uint16_t value = signalState(signal) != 0 ? 0 : 1;
    if (const LinkFailure failed =
            writeHostRegister(hostAddress(ini_), signalRegister(target, signal), value);
        failed.failed()) {
        fail(update, {TargetState::Ok, failed});
        return update;
    }
    link_.pause(timing_.signalPauseMs);
    refreshInto(update, cabinet);
    return update;
}

CabinetUpdate CabinetControl::refresh(const std::string& cabinet) {
    CabinetUpdate update;
    refreshInto(update, cabinet);
    return update;
}

void CabinetControl::refreshInto(CabinetUpdate& update, const std::string& cabinet) {
    RefreshResult& result = update.refreshed.emplace();
    const HostTarget target = lookUpTarget(ini_, cabinet);
    result.target = checkTarget(target);
    if (result.target != TargetState::Ok) {
        // The on-line lamp keeps its picture.
        putOutSignals(update);
        return;
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
    update.online = result.online;

    ReadTransaction t;
    result.signalsRead = read(t, signalRegister(target, 0), kHostSignals);
    if (!result.signalsRead) {
        // What was read well before stays the state a signal press toggles.
        putOutSignals(update);
        return;
    }
    for (int s = 0; s < kHostSignals; ++s) signals_[s] = t.registers[s];
    result.signalStates = signals_;
    for (int s = 0; s < kHostSignals; ++s) {
        update.indicators.emplace_back(kFirstSignalIndicator + s, signals_[s] != 0);
    }
}

std::uint16_t CabinetControl::signalState(int signal) const {
    if (signal < 0 || signal >= kHostSignals) return 0;
    return signals_[static_cast<std::size_t>(signal)];
}

LinkFailure CabinetControl::writeHostRegister(std::uint8_t address, std::uint16_t reg,
                                              std::uint16_t value) {
    WriteTransaction t;
    t.moduleAddress = address;
    t.firstRegister = reg;
    t.values[0] = value;
    return link_.writeRegister(t) ? LinkFailure{} : t.failure;
}

}  // namespace kvel
