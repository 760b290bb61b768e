// Publishing the polls, one place for the window and kvelctl serve: the MQTT topics and the
// Prometheus endpoint of mem.ini's [publish], fed by each poll's result.
#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "config/mem_ini.h"
#include "core/metrics_server.h"
#include "core/metrics_text.h"
#include "core/mqtt_publisher.h"
#include "core/poll_result.h"
#include "core/poll_snapshot.h"

namespace kvel {

class Publishing {
  public:
    // Starts what `settings` names; the same settings again leave the connections as they are.
    // False with the reason when the endpoint cannot listen;
    // a broker that cannot be reached is no failure: it is tried again and again.
    bool start(const PublishSettings& settings, std::string& error);
    // The broker: `offline` and a clean disconnect. The endpoint closes.
    void stop();
    // After every poll, on the thread that made this object.
    void publish(const PollSnapshot& snapshot);

    MqttPublisher* mqtt() { return mqtt_.get(); }
    int metricsPort() const { return metricsServer_ ? metricsServer_->port() : 0; }

  private:
    std::optional<PublishSettings> current_;
    std::unique_ptr<MqttPublisher> mqtt_;
    std::unique_ptr<MetricsServer> metricsServer_;
    PollMetrics metrics_;
};

// What a poll leaves for the publishers, with the channels' names as the grid shows them; on
// the thread that shows the result (the names come from mem.ini).
PollSnapshot pollSnapshot(const PollResult& result, const MemIni& ini);

}  // namespace kvel
