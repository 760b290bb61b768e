// The MQTT side of publishing, through libmosquitto: the status topic with its last will, the
// poll's topics after every poll, reconnection with a backoff up to 30 s and the latest values
// again on every connection. A poll never waits for the broker.
#pragma once
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/poll_snapshot.h"
#include "core/publish_settings.h"

struct mosquitto;

namespace kvel {

class MqttPublisher : public QObject {
    Q_OBJECT
  public:
    // Messages handed to the library and not yet written out: past this a poll's messages are
    // left out (the latest go again on the next poll or connection), so a broker that stalls
    // cannot make the queue grow without bound.
    static constexpr int kMaxPending = 1000;
    static constexpr int kLongestBackoffSeconds = 30;

    // Starts connecting at once, in a thread of its own.
    explicit MqttPublisher(const PublishSettings& settings);
    // A clean stop: `offline`, then the connection closed.
    ~MqttPublisher() override;
    MqttPublisher(const MqttPublisher&) = delete;
    MqttPublisher& operator=(const MqttPublisher&) = delete;

    void publish(const PollSnapshot& snapshot);
    // Publishes `offline`, waits for the broker to take it (at most `waitMs`), disconnects.
    void stop(int waitMs = 500);

    bool connected() const { return connected_; }
    std::string base() const { return base_; }
    // The last failure to reach the broker, for a message; empty once connected.
    std::string lastError() const;

  signals:
    // Every change of the connection, emitted on the publisher's thread: true on connection,
    // false with the reason on its loss.
    void stateChanged(bool connected, const QString& reason);

  private:
    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int mid);
    void run();
    // Sends the poll's messages; false when the queue is full or the connection failed.
    bool send(const PollSnapshot& snapshot);
    bool sendOne(const std::string& topic, const std::string& payload, int qos);
    void setError(const std::string& text);
    void waitBackoff();

    PublishSettings settings_;
    std::string base_;
    mosquitto* mosq_ = nullptr;
    std::thread thread_;
    mutable std::mutex mutex_;  // latest_, error_, and the order of what is sent
    std::condition_variable wake_;
    std::optional<PollSnapshot> latest_;
    std::string error_;
    std::atomic<bool> connected_{false};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> disconnecting_{false};
    std::atomic<int> pending_{0};
    std::mutex stopMutex_;  // the `offline` of a stop and its acknowledgement
    std::condition_variable stopped_;
    std::atomic<int> offlineMid_{-1};
    std::atomic<bool> offlineSent_{false};
    int backoffSeconds_ = 1;
};

}  // namespace kvel
