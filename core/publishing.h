// Publishing the polls, one place for the window and kvelctl serve: the MQTT topics and the
// Prometheus endpoint of mem.ini's [publish], fed by a view that wraps the poll's own.
#pragma once
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "core/metrics_server.h"
#include "core/metrics_text.h"
#include "core/mqtt_publisher.h"
#include "core/poll_cycle.h"

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

// The poll's view for publishing: every call goes on to `inner` as it is; the end of the poll
// is also handed, as a snapshot, to `sink` on the GUI thread (LinkThread::deferToGui).
class PublishingPollView final : public PollView {
  public:
    using Sink = std::function<void(const PollSnapshot&)>;
    PublishingPollView(PollView& inner, ModuleLink& link, const MemIni& ini, Sink sink);

    // One poll of `cycle`, timed.
    void pollWith(PollCycle& cycle);

    void setStatusText(int panel, const std::string& text) override;
    void setLinkIndicator(bool on) override;
    void setChannelText(int channel, const std::string& text) override;
    void setRelay(int relayIndex, bool on) override;
    bool chartUpdating() const override;
    void addChartPoints(const ReadTransaction& record) override;
    void showReadings(const PollReadings& readings) override;

  private:
    PollView& inner_;
    ModuleLink& link_;
    const MemIni& ini_;
    Sink sink_;
    std::chrono::steady_clock::time_point started_;
    std::array<bool, kRelayCount> relays_{};
};

}  // namespace kvel
