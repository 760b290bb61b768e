#include "core/cabinet_host.h"

namespace kvel {

CabinetHost::CabinetHost(ModuleLink& link, MemIni& ini) : ini_(ini), control_(link, ini) {
    QObject::connect(&pulseTimer_, &QTimer::timeout, [this] { endPulseStep(); });
    QObject::connect(&refreshTimer_, &QTimer::timeout, [this] { refreshCabinet(); });
    control_.setReleaseTimer([this](bool on) {
        if (on) {
            pulseTimer_.start();
        } else {
            pulseTimer_.stop();
        }
    });
    setTiming(CabinetTiming{});
}

void CabinetHost::setTiming(const CabinetTiming& timing) {
    control_.setTiming(timing);
    pulseTimer_.setInterval(timing.releaseMs);
    refreshTimer_.setInterval(timing.refreshMs);
}

void CabinetHost::refreshCabinet() {
    refreshTimer_.stop();
    control_.refresh();
    refreshTimer_.start();
}

void CabinetHost::shutdown() {
    refreshTimer_.stop();
    control_.releasePulse();
    pulseTimer_.stop();
}

}  // namespace kvel
