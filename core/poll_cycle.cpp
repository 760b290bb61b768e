#include "core/poll_cycle.h"

#include <QtGlobal>
#include <chrono>
#include <utility>

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
        showLinkLost(result, {}, true);
        return finish();
    }

    if (!link_.identified()) {
        link_.setModuleType(link_.readModuleType(moduleAddress()));
        const int version = link_.readSoftwareVersion(moduleAddress());
        result.softwareVersion = version;
    }

    if (ReadTransaction read = link_.readMeasurements(moduleAddress()); read.ok()) {
        link_.setIdentified(true);
        result.channelTexts = link_.takeMeasurements(read);
        result.readings = readingsFromRecord(read, link_.channelCount(), at);
        result.measurements = std::move(read);
        result.linkStatus = QT_TRANSLATE_NOOP("KvelView", "МОДУЛЬ НА СВЯЗИ");
        result.linkUp = true;
    } else {
        showLinkLost(result, read.failure, false);
    }

    if (const ReadTransaction read = link_.readRelayStates(moduleAddress()); read.ok()) {
        takeRelays(result, read.registers[0]);
    } else {
        showLinkLost(result, read.failure, false);
        result.readings.linkUp = false;
    }
    return finish();
}

void PollCycle::writeLog(const PollResult& result) {
    if (!result.measurements || ini_.readInteger(keys::kLogToFile) == 0) return;
    writeLogLine(*result.measurements, ini_.readString(keys::kLogFileName, defaultLogName()), ini_,
                 result.readings.at);
}

void PollCycle::takeRelays(PollResult& result, std::uint16_t relayWord) {
    for (int i = 0; i < kRelayCount; ++i) {
        result.relays[static_cast<std::size_t>(i)] = relayOn(relayWord, i);
    }
}

void PollCycle::showLinkLost(PollResult& result, const LinkFailure& failure, bool keepStatus) {
    takeRelays(result, 0);  // every relay off
    if (!keepStatus) {
        result.linkFailure = failure;
        result.linkStatus = linkErrorText(result.linkFailure);
    }
    result.linkUp = false;
    result.channelTexts.assign(static_cast<std::size_t>(link_.channelCount()), kNoReading);
    link_.setIdentified(false);
}

}  // namespace kvel
