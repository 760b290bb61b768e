#include "core/poll_cycle.h"

#include "core/measurement_log.h"

namespace kvel {

PollCycle::PollCycle(ModuleLink& link, MemIni& ini, PollView& view, std::string startupDirectory)
    : link_(link), ini_(ini), view_(view), startupDirectory_(std::move(startupDirectory)) {}

void PollCycle::poll() {
    if (link_.portNeedsOpening()) {
        link_.openPort(ini_.readString(keys::kPort), ini_.readInteger(keys::kSpeedIndex),
                       ini_.readInteger(keys::kParityIndex));
    }
    if (link_.port().getState() == SerialPort::State::OpenFailed) {
        showLinkLost(true);
        return;
    }

    if (!link_.identified()) {
        link_.setModuleType(link_.readModuleType(moduleAddress()));
        const int version = link_.readSoftwareVersion(moduleAddress());
        view_.setStatusText(1, "Метрологическая версия ПО  " + std::to_string(version));
    }

    if (link_.readMeasurements(moduleAddress())) {
        link_.setIdentified(true);
        const std::vector<std::string> texts = link_.takeMeasurements();
        for (std::size_t k = 0; k < texts.size(); ++k) {
            view_.setChannelText(static_cast<int>(k) + 1, texts[k]);
        }
        if (view_.chartUpdating()) view_.addChartPoints(link_.firstRecord());
        if (ini_.readInteger(keys::kLogToFile) != 0) {
            writeLogLine(link_.firstRecord(), ini_.readString(keys::kLogFileName, defaultLogName()),
                         ini_, std::time(nullptr));
        }
        view_.setStatusText(0, "МОДУЛЬ НА СВЯЗИ");
        view_.setLinkIndicator(true);
    } else {
        showLinkLost(false);
    }

    if (link_.readRelayStates(moduleAddress())) {
        showRelays();
    } else {
        showLinkLost(false);
    }
}

void PollCycle::showRelays() {
    for (int i = 0; i < kRelayCount; ++i) view_.setRelay(i, link_.relayOn(i));
}

void PollCycle::showLinkLost(bool keepStatus) {
    link_.firstRecord().registers[0] = 0;
    showRelays();
    if (!keepStatus) view_.setStatusText(0, link_.firstRecord().errorText);
    view_.setLinkIndicator(false);
    for (int n = 1; n <= link_.channelCount(); ++n) view_.setChannelText(n, kNoReading);
    link_.setIdentified(false);
}

}  // namespace kvel
