#include "core/publishing.h"

#include <ctime>

#include "config/channel_name.h"

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

PollSnapshot pollSnapshot(const PollResult& result, const MemIni& ini) {
    PollSnapshot s;
    s.readings = result.readings;
    s.channelCount = result.channelCount;
    s.relays = result.relays;
    s.durationSeconds = result.durationSeconds;
    s.counters = result.counters;
    for (int n = 1; n <= s.channelCount; ++n) s.names.push_back(gridChannelName(ini, n));
    std::tm local{};
    localtime_r(&s.readings.at, &local);
    s.utcOffsetSeconds = static_cast<int>(local.tm_gmtoff);
    return s;
}

}  // namespace kvel
