#include "core/poll_cycle.h"

#include <QtGlobal>

#include "core/link_thread.h"
#include "core/measurement_log.h"

namespace kvel {

void DeferredPollView::setStatusText(int panel, const std::string& text) {
    LinkThread::deferToGui([this, panel, text] { view_.setStatusText(panel, text); });
}

void DeferredPollView::setLinkIndicator(bool on) {
    LinkThread::deferToGui([this, on] { view_.setLinkIndicator(on); });
}

void DeferredPollView::setChannelText(int channel, const std::string& text) {
    LinkThread::deferToGui([this, channel, text] { view_.setChannelText(channel, text); });
}

void DeferredPollView::setRelay(int relayIndex, bool on) {
    LinkThread::deferToGui([this, relayIndex, on] { view_.setRelay(relayIndex, on); });
}

void DeferredPollView::addChartPoints(const ReadTransaction& record) {
    LinkThread::deferToGui([this, record] {
        if (view_.chartUpdating()) view_.addChartPoints(record);
    });
}

void DeferredPollView::showReadings(const PollReadings& readings) {
    LinkThread::deferToGui([this, readings] { view_.showReadings(readings); });
}

PollCycle::PollCycle(ModuleLink& link, MemIni& ini, PollView& view, std::string startupDirectory)
    : link_(link), ini_(ini), view_(view), startupDirectory_(std::move(startupDirectory)) {}

void PollCycle::poll() {
    // One time for the poll: the log line and the alarms it raises carry the same.
    const std::time_t at = std::time(nullptr);
    PollReadings readings{at, false, {}};
    if (link_.portNeedsOpening()) {
        link_.openPort(ini_.readString(keys::kPort), ini_.readInteger(keys::kSpeedIndex),
                       ini_.readInteger(keys::kParityIndex));
    }
    if (link_.port().getState() == SerialPort::State::OpenFailed) {
        showLinkLost(true);
        view_.showReadings(readings);
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
        readings = readingsFromRecord(link_.firstRecord(), link_.channelCount(), at);
        if (view_.chartUpdating()) view_.addChartPoints(link_.firstRecord());
        // The log is written by the thread that shows the readings, in their order.
        LinkThread::deferToGui([this, record = link_.firstRecord(), at] {
            if (ini_.readInteger(keys::kLogToFile) != 0) {
                writeLogLine(record, ini_.readString(keys::kLogFileName, defaultLogName()), ini_,
                             at);
            }
        });
        view_.setStatusText(0, QT_TRANSLATE_NOOP("KvelView", "МОДУЛЬ НА СВЯЗИ"));
        view_.setLinkIndicator(true);
    } else {
        showLinkLost(false);
    }

    if (link_.readRelayStates(moduleAddress())) {
        showRelays();
    } else {
        showLinkLost(false);
        readings.linkUp = false;
    }
    view_.showReadings(readings);
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
