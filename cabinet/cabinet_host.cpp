#include "cabinet/cabinet_host.h"

namespace kvel {

TCabinetHost::TCabinetHost(TModuleLink& link, TMemIni& ini) : ini_(ini), control_(link, ini) {
    QObject::connect(&pulseTimer_, &QTimer::timeout, [this] { endPulseStep(); });
    QObject::connect(&refreshTimer_, &QTimer::timeout, [this] { refreshCabinet(); });
    control_.SetReleaseTimer([this](bool on) {
        if (on) {
            pulseTimer_.start();
        } else {
            pulseTimer_.stop();
        }
    });
    SetTiming(CabinetTiming{});
}

void TCabinetHost::SetTiming(const CabinetTiming& timing) {
    control_.SetTiming(timing);
    pulseTimer_.setInterval(timing.releaseMs);
    refreshTimer_.setInterval(timing.refreshMs);
}

void TCabinetHost::refreshCabinet() {
    refreshTimer_.stop();
    control_.Refresh();
    refreshTimer_.start();
}

void TCabinetHost::Shutdown() {
    refreshTimer_.stop();
    control_.ReleasePulse();
    pulseTimer_.stop();
}

}  // namespace kvel
