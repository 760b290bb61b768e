#include "core/monitor_session.h"

#include "core/poll_interval.h"
#include "link/message_sink.h"

namespace kvel {

MonitorSession::MonitorSession(MemIni& ini, std::string startupDirectory, QObject* parent)
    : QObject(parent),
      ini_(ini),
      poll_(link_, ini, std::move(startupDirectory)),
      moduleSettings_(link_, ini),
      cabinet_(link_, ini, linkThread_) {
    pollTimer_.setObjectName("pollTimer");
    pollTimer_.setInterval(2000);
    connect(&pollTimer_, &QTimer::timeout, this, &MonitorSession::pollModule);
}

MonitorSession::~MonitorSession() {
    finish();
}

void MonitorSession::setPollPeriod(int seconds) {
    period_ = seconds;
    pollTimer_.setInterval(pollIntervalMs(seconds));
}

void MonitorSession::startPolling() {
    if (stopped_) return;
    if (!pollPeriodValid(period_)) {
        periodRefused_ = true;
        emit pollRefused(pollPeriodStatus(period_));
        return;
    }
    if (periodRefused_) {
        periodRefused_ = false;
        emit pollResumed();
    }
    pollTimer_.start();
}

void MonitorSession::setPollSuspended(bool suspended) {
    pollSuspended_ = suspended;
    if (suspended) {
        pollTimer_.stop();
    } else {
        startPolling();
    }
}

void MonitorSession::pollModule() {
    pollTimer_.stop();
    if (stopped_ || pollUnderWay_) return;
    pollUnderWay_ = true;
    pollStartedAt_ = std::chrono::steady_clock::now();
    linkThread_.post<PollResult>([this] { return poll_.poll(); },
                                 [this](PollResult& result) { applyPoll(result); });
}

void MonitorSession::applyPoll(PollResult& result) {
    pollUnderWay_ = false;
    emit pollFinished(result);
    // The log is written by the thread that shows the readings, in their order; a line that
    // fails (the disk is full) says so after the result is on the screen.
    poll_.writeLog(result);
    if (!stopped_ && !pollSuspended_) startPolling();
    // What opening the port had to tell, once the next poll is on its way.
    for (const std::string& notice : result.portNotices) {
        showMessage(notice, kPortNoticeCaption, MessageKind::Information);
    }
}

void MonitorSession::stopPolling() {
    stopped_ = true;
    pollTimer_.stop();
    cabinet_.stopTimers();
}

void MonitorSession::finish() {
    if (finished_) return;
    finished_ = true;
    stopPolling();
    linkThread_.finish([this] {
        cabinet_.releaseAtExit();
        link_.closePort();
    });
}

}  // namespace kvel
