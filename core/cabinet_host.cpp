#include "core/cabinet_host.h"

#include <memory>

#include "link/message_sink.h"

namespace kvel {
namespace {

// The window's side of a job, kept while the job runs on the link thread.
class CabinetRecorder final : public CabinetView {
  public:
    CabinetRecorder(CabinetUpdate& update, std::string name)
        : update_(update), name_(std::move(name)) {}
    std::string cabinetName() const override { return name_; }
    void setIndicator(int i, bool on) override { update_.indicators.emplace_back(i, on); }
    void setOnlineIndicator(bool on) override { update_.online = on; }
    void showFailure(const std::string& text) override { update_.failures.push_back(text); }

  private:
    CabinetUpdate& update_;
    std::string name_;
};

}  // namespace

CabinetHost::CabinetHost(ModuleLink& link, MemIni& ini, LinkThread& thread)
    : ini_(ini), thread_(thread), control_(link, ini) {
    connect(&refreshTimer_, &QTimer::timeout, this, &CabinetHost::refreshCabinet);
    // Called by the control on the link thread: a pulse's end is armed and disarmed in the
    // order of the writes, never by a tick still on its way from an earlier pulse.
    control_.setReleaseTimer([this](bool on, CabinetControl::Clock::time_point due) {
        if (!on) {
            thread_.cancelScheduled();
            return;
        }
        auto update = std::make_shared<CabinetUpdate>();
        thread_.scheduleAt(
            due,
            [this, update] { record(*update, {}, [](CabinetControl& c) { c.commandStep(); }); },
            [this, update] { show(*update); });
    });
    setTiming(CabinetTiming{});
}

void CabinetHost::setTiming(const CabinetTiming& timing) {
    control_.setTiming(timing);
    refreshTimer_.setInterval(timing.refreshMs);
}

void CabinetHost::record(CabinetUpdate& update, const std::string& cabinet,
                         const std::function<void(CabinetControl&)>& work) {
    CabinetRecorder recorder(update, cabinet);
    // A pulse's end may run inside another job's pause: that job's recorder comes back after.
    CabinetView* const outer = control_.view();
    control_.setView(&recorder);
    work(control_);
    control_.setView(outer);
}

void CabinetHost::post(std::function<void(CabinetControl&)> work, std::function<void()> done,
                       LinkThread::Kind kind) {
    thread_.post<CabinetUpdate>(
        [this, name = cabinetName_, work = std::move(work)] {
            CabinetUpdate update;
            record(update, name, work);
            return update;
        },
        [this, done = std::move(done)](CabinetUpdate& update) {
            show(update);
            if (done) done();
        },
        kind);
}

void CabinetHost::show(const CabinetUpdate& update) {
    emit cabinetUpdated(update);
    for (const std::string& text : update.failures) showMessage(text, kCabinetFailureCaption);
}

void CabinetHost::pressCommand(int command, int press) {
    post([command](CabinetControl& c) { c.commandClick(command); },
         [this, press] { emit commandFinished(press); });
}

void CabinetHost::toggleSignal(int signal) {
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
    // No result is shown any more: what the release would say goes with the results dropped.
    CabinetUpdate dropped;
    record(dropped, {}, [](CabinetControl& c) { c.releasePulse(false); });
}

void CabinetHost::stopTimers() {
    refreshing_ = false;
    refreshTimer_.stop();
}

}  // namespace kvel
