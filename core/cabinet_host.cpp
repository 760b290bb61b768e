#include "core/cabinet_host.h"

#include <memory>

namespace kvel {
CabinetHost::CabinetHost(ModuleLink& link, MemIni& ini, LinkThread& thread)
    : ini_(ini), thread_(thread), control_(link, ini) {
    connect(&refreshTimer_, &QTimer::timeout, this, &CabinetHost::refreshCabinet);
    // Emitted by the control on the link thread, in the order of the writes: a pulse's end is
    // armed and disarmed there, never by a tick still on its way from an earlier pulse.
    connect(&control_, &CabinetControl::releaseDue, this, &CabinetHost::scheduleRelease,
            Qt::DirectConnection);
    connect(
        &control_, &CabinetControl::releaseCancelled, this, [this] { thread_.cancelScheduled(); },
        Qt::DirectConnection);
    setTiming(CabinetTiming{});
}

void CabinetHost::setTiming(const CabinetTiming& timing) {
    control_.setTiming(timing);
    refreshTimer_.setInterval(timing.refreshMs);
}

void CabinetHost::scheduleRelease(CabinetControl::Clock::time_point due) {
    auto update = std::make_shared<CabinetUpdate>();
    thread_.scheduleAt(
        due, [this, update] { *update = control_.releasePulse(); },
        [this, update] { emit cabinetUpdated(*update); });
}

void CabinetHost::post(Work work, std::function<void()> done, LinkThread::Kind kind) {
    thread_.post<CabinetUpdate>(
        [this, name = cabinetName_, work = std::move(work)] { return work(control_, name); },
        [this, done = std::move(done)](CabinetUpdate& update) {
            emit cabinetUpdated(update);
            if (done) done();
        },
        kind);
}

void CabinetHost::pressCommand(int command, int press) {
    post([command](CabinetControl& c,
                   const std::string& cabinet) { return c.commandClick(cabinet, command); },
         [this, press] { emit commandFinished(press); });
}

void CabinetHost::toggleSignal(int signal) {
    post([signal](CabinetControl& c, const std::string& cabinet) {
        return c.signalClick(cabinet, signal);
    });
}

void CabinetHost::refreshNow() {
    post([](CabinetControl& c, const std::string& cabinet) { return c.refresh(cabinet); });
}

void CabinetHost::refreshCabinet() {
    refreshTimer_.stop();
    post([](CabinetControl& c, const std::string& cabinet) { return c.refresh(cabinet); },
         [this] {
             if (refreshing_) refreshTimer_.start();
         },
         LinkThread::Kind::CabinetRefresh);
}

void CabinetHost::startRefreshing() {
    refreshing_ = true;
    refreshTimer_.start();
}

void CabinetHost::stopRefreshing() {
    refreshing_ = false;
    refreshTimer_.stop();
    thread_.dropQueued(LinkThread::Kind::CabinetRefresh);
}

void CabinetHost::releaseAtExit() {
    // No result is shown any more: what the release would say goes with the results dropped.
    control_.releasePulse(false);
}

void CabinetHost::stopTimers() {
    refreshing_ = false;
    refreshTimer_.stop();
}

}  // namespace kvel
