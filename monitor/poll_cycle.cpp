#include "monitor/poll_cycle.h"

#include "monitor/measurement_log.h"

namespace kvel {

TPollCycle::TPollCycle(TModuleLink& link, TMemIni& ini, TPollView& view,
                       std::string startupDirectory)
    : link_(link), ini_(ini), view_(view), startupDirectory_(std::move(startupDirectory)) {}

void TPollCycle::Poll() {
    if (link_.PortNeedsOpening()) {
        link_.OpenPort(ini_.ReadString("connect", "port", ""),
                       ini_.ReadInteger("connect", "speed", 0),
                       ini_.ReadInteger("connect", "parity", 0));
    }
    if (link_.Port().GetState() == SerialPort::State::OpenFailed) {
        ShowLinkLost(true);
        return;
    }

    if (!link_.Identified()) {
        link_.SetModuleType(link_.ReadModuleType(Address()));
        const int version = link_.ReadSoftwareVersion(Address());
        view_.SetStatusText(1, "Метрологическая версия ПО  " + std::to_string(version));
    }

    if (link_.ReadMeasurements(Address())) {
        link_.SetIdentified(true);
        const std::vector<std::string> texts = link_.TakeMeasurements();
        for (std::size_t k = 0; k < texts.size(); ++k) {
            view_.SetChannelText(static_cast<int>(k) + 1, texts[k]);
        }
        if (view_.ChartUpdating()) view_.AddChartPoints(link_.First());
        if (ini_.ReadInteger("file", "save", 0) != 0) {
            WriteLogLine(link_.First(), ini_.ReadString("file", "name", DefaultLogName()), ini_,
                         std::time(nullptr));
        }
        view_.SetStatusText(0, "МОДУЛЬ НА СВЯЗИ");
        view_.SetLinkIndicator(true);
    } else {
        ShowLinkLost(false);
    }

    if (link_.ReadRelayStates(Address())) {
        ShowRelays();
    } else {
        ShowLinkLost(false);
    }
}

void TPollCycle::ShowRelays() {
    for (int i = 0; i < kRelayCount; ++i) view_.SetRelay(i, link_.RelayOn(i));
}

void TPollCycle::ShowLinkLost(bool keepStatus) {
    link_.First().registers[0] = 0;
    ShowRelays();
    if (!keepStatus) view_.SetStatusText(0, link_.First().errorText);
    view_.SetLinkIndicator(false);
    for (int n = 1; n <= link_.ChannelCount(); ++n) view_.SetChannelText(n, kNoReading);
    link_.SetIdentified(false);
}

}  // namespace kvel
