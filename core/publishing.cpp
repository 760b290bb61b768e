#include "core/publishing.h"

#include "config/channel_name.h"
#include "core/link_thread.h"

namespace kvel {

bool Publishing::start(const PublishSettings& settings, std::string& error) {
    if (current_ == settings) return true;
    stop();
    if (settings.metrics) {
        metricsServer_ = std::make_unique<MetricsServer>();
        if (!metricsServer_->listen(*settings.metrics, error)) {
            metricsServer_.reset();
            error = "metrics: " + error;
            return false;
        }
        metricsServer_->setText(metrics_.text());
    }
    if (settings.mqtt) mqtt_ = std::make_unique<MqttPublisher>(settings);
    current_ = settings;
    return true;
}

void Publishing::stop() {
    current_.reset();
    mqtt_.reset();
    metricsServer_.reset();
}

void Publishing::publish(const PollSnapshot& snapshot) {
    metrics_.add(snapshot);
    if (metricsServer_) metricsServer_->setText(metrics_.text());
    if (mqtt_) mqtt_->publish(snapshot);
}

PublishingPollView::PublishingPollView(PollView& inner, ModuleLink& link, const MemIni& ini,
                                       Sink sink)
    : inner_(inner), link_(link), ini_(ini), sink_(std::move(sink)) {}

void PublishingPollView::pollWith(PollCycle& cycle) {
    started_ = std::chrono::steady_clock::now();
    cycle.poll();
}

void PublishingPollView::setStatusText(int panel, const std::string& text) {
    inner_.setStatusText(panel, text);
}

void PublishingPollView::setLinkIndicator(bool on) {
    inner_.setLinkIndicator(on);
}

void PublishingPollView::setChannelText(int channel, const std::string& text) {
    inner_.setChannelText(channel, text);
}

void PublishingPollView::setRelay(int relayIndex, bool on) {
    if (relayIndex >= 0 && relayIndex < kRelayCount) {
        relays_[static_cast<std::size_t>(relayIndex)] = on;
    }
    inner_.setRelay(relayIndex, on);
}

bool PublishingPollView::chartUpdating() const {
    return inner_.chartUpdating();
}

void PublishingPollView::addChartPoints(const ReadTransaction& record) {
    inner_.addChartPoints(record);
}

void PublishingPollView::showReadings(const PollReadings& readings) {
    inner_.showReadings(readings);
    PollSnapshot s;
    s.readings = readings;
    s.channelCount = link_.channelCount();
    s.relays = relays_;
    // A poll run without pollWith (a test's) has no start to time it from.
    if (started_ != std::chrono::steady_clock::time_point{}) {
        s.durationSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
        started_ = {};
    }
    s.counters = link_.traffic().counters();
    LinkThread::deferToGui([this, s = std::move(s)]() mutable {
        for (int n = 1; n <= s.channelCount; ++n) s.names.push_back(gridChannelName(ini_, n));
        std::tm local{};
        localtime_r(&s.readings.at, &local);
        s.utcOffsetSeconds = static_cast<int>(local.tm_gmtoff);
        if (sink_) sink_(s);
    });
}

}  // namespace kvel
