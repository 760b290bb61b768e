#include "core/cabinet_host.h"

namespace kvel {

CabinetHost::CabinetHost(ModuleLink& link, MemIni& ini, LinkThread& thread)
    : ini_(ini), thread_(thread), control_(link, ini), deferredView_(*this) {
    control_.setView(&deferredView_);
    QObject::connect(&refreshTimer_, &QTimer::timeout, [this] { refreshCabinet(); });
    // Called by the control on the link thread: a pulse's end is armed and disarmed in the
    // order of the writes, never by a tick still on its way from an earlier pulse.
    control_.setReleaseTimer([this](bool on, CabinetControl::Clock::time_point due) {
        if (on) {
            thread_.scheduleAt(due, [this] { control_.commandStep(); });
        } else {
            thread_.cancelScheduled();
        }
    });
    setTiming(CabinetTiming{});
}

void CabinetHost::setTiming(const CabinetTiming& timing) {
    control_.setTiming(timing);
    refreshTimer_.setInterval(timing.refreshMs);
}

void CabinetHost::post(std::function<void(CabinetControl&)> work, std::function<void()> done,
                       LinkThread::Kind kind) {
    std::string name = view_ ? view_->cabinetName() : std::string();
    thread_.post(
        [this, name = std::move(name), work = std::move(work)] {
            deferredView_.name = name;
            work(control_);
        },
        std::move(done), kind);
}

void CabinetHost::commandClick(int command, std::function<void()> done) {
    post([command](CabinetControl& c) { c.commandClick(command); }, std::move(done));
}

void CabinetHost::signalClick(int signal) {
    post([signal](CabinetControl& c) { c.signalClick(signal); });
}

void CabinetHost::refreshNow() {
    post([](CabinetControl& c) { c.refresh(); });
}

void CabinetHost::refreshCabinet() {
    refreshTimer_.stop();
    post([](CabinetControl& c) { c.refresh(); },
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
    control_.setView(nullptr);
    control_.releasePulse(false);
}

void CabinetHost::stopTimers() {
    refreshing_ = false;
    refreshTimer_.stop();
}

void CabinetHost::DeferredView::setIndicator(int i, bool on) {
    LinkThread::deferToGui([&host = host_, i, on] {
        if (host.view_) host.view_->setIndicator(i, on);
    });
}

void CabinetHost::DeferredView::setOnlineIndicator(bool on) {
    LinkThread::deferToGui([&host = host_, on] {
        if (host.view_) host.view_->setOnlineIndicator(on);
    });
}

}  // namespace kvel
