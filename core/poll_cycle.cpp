#include "core/poll_cycle.h"

#include <QtGlobal>
#include <chrono>

#include "core/measurement_log.h"
#include "core/shown_text.h"

namespace kvel {

PollCycle::PollCycle(ModuleLink& link, MemIni& ini, std::string startupDirectory)
    : link_(link), ini_(ini), startupDirectory_(std::move(startupDirectory)) {}

PollResult PollCycle::poll() {
    const auto started = std::chrono::steady_clock::now();
    // One time for the poll: the log line and the alarms it raises carry the same.
    const std::time_t at = std::time(nullptr);
    PollResult result;
    result.readings = PollReadings{at, false, {}};
    const auto finish = [&] {
        result.channelCount = link_.channelCount();
        result.counters = link_.traffic().counters();
        result.durationSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return std::move(result);
    };
    if (link_.portNeedsOpening()) {
        if (!link_.openPort(ini_.readString(keys::kPort), ini_.readInteger(keys::kSpeedIndex),
                            ini_.readInteger(keys::kParityIndex))) {
            result.linkStatus = kPortOpenFailed;
        }
        for (const MarkedText& notice : link_.takePortNotices())
            result.portNotices.push_back(shownText(notice));
    }
    if (link_.port().getState() == SerialPort::State::OpenFailed) {
        showLinkLost(result, true);
        return finish();
    }

    if (!link_.identified()) {
        link_.setModuleType(link_.readModuleType(moduleAddress()));
        const int version = link_.readSoftwareVersion(moduleAddress());
        result.softwareVersion = version;
    }

    if (link_.readMeasurements(moduleAddress())) {
        link_.setIdentified(true);
        result.channelTexts = link_.takeMeasurements();
        result.readings = readingsFromRecord(link_.firstRecord(), link_.channelCount(), at);
        result.measurements = link_.firstRecord();
        result.linkStatus = QT_TRANSLATE_NOOP("KvelView", "МОДУЛЬ НА СВЯЗИ");
        result.linkUp = true;
    } else {
        showLinkLost(result, false);
    }

    if (link_.readRelayStates(moduleAddress())) {
        takeRelays(result);
    } else {
        showLinkLost(result, false);
        result.readings.linkUp = false;
    }
    return finish();
}

void PollCycle::writeLog(const PollResult& result) {
    if (!result.measurements || ini_.readInteger(keys::kLogToFile) == 0) return;
    writeLogLine(*result.measurements, ini_.readString(keys::kLogFileName, defaultLogName()), ini_,
                 result.readings.at);
}

void PollCycle::takeRelays(PollResult& result) const {
    for (int i = 0; i < kRelayCount; ++i) {
        result.relays[static_cast<std::size_t>(i)] = link_.relayOn(i);
    }
}

void PollCycle::showLinkLost(PollResult& result, bool keepStatus) {
    link_.firstRecord().registers[0] = 0;
    takeRelays(result);
    if (!keepStatus) {
        result.linkFailure = link_.firstRecord().failure;
        result.linkStatus = linkErrorText(result.linkFailure);
    }
    result.linkUp = false;
    result.channelTexts.assign(static_cast<std::size_t>(link_.channelCount()), kNoReading);
    link_.setIdentified(false);
}

}  // namespace kvel
