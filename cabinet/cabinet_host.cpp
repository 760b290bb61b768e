#include "cabinet/cabinet_host.h"

namespace kvel {

TCabinetHost::TCabinetHost(TModuleLink& link, TMemIni& ini) : ini_(ini), control_(link, ini) {
    QObject::connect(&timer2_, &QTimer::timeout, [this] { Timer2Timer(); });
    QObject::connect(&timer3_, &QTimer::timeout, [this] { Timer3Timer(); });
    control_.SetReleaseTimer([this](bool on) {
        if (on) {
            timer2_.start();
        } else {
            timer2_.stop();
        }
    });
    SetTiming(CabinetTiming{});
}

void TCabinetHost::SetTiming(const CabinetTiming& timing) {
    control_.SetTiming(timing);
    timer2_.setInterval(timing.releaseMs);
    timer3_.setInterval(timing.refreshMs);
}

void TCabinetHost::Timer3Timer() {
    timer3_.stop();
    control_.Refresh();
    timer3_.start();
}

void TCabinetHost::Shutdown() {
    timer3_.stop();
    control_.ReleasePulse();
    timer2_.stop();
}

}  // namespace kvel
