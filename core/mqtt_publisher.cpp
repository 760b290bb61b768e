#include "core/mqtt_publisher.h"

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/publish_topics.h"

namespace kvel {
namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kStatusQos = 1;  // the status is worth an acknowledgement; values come again
constexpr int kValueQos = 0;

std::string reasonOf(int rc) {
    if (rc == MOSQ_ERR_ERRNO) return std::strerror(errno);
    return mosquitto_strerror(rc);
}

}  // namespace

MqttPublisher::MqttPublisher(const PublishSettings& settings)
    : settings_(settings), base_(settings.prefix + "/" + settings.name) {
    static std::once_flag init;
    std::call_once(init, [] { mosquitto_lib_init(); });
    // A client id of the library's choosing: a window and a service of one host share a name.
    mosq_ = mosquitto_new(nullptr, true, this);
    if (!mosq_) {
        setError("cannot create an MQTT client");
        return;
    }
    // Publishing from the poll's thread while this one runs the network.
    mosquitto_threaded_set(mosq_, true);
    mosquitto_connect_callback_set(mosq_, &MqttPublisher::onConnect);
    mosquitto_disconnect_callback_set(mosq_, &MqttPublisher::onDisconnect);
    mosquitto_publish_callback_set(mosq_, &MqttPublisher::onPublish);
    const std::string status = base_ + "/status";
    mosquitto_will_set(mosq_, status.c_str(), 7, "offline", kStatusQos, true);
    if (!settings_.user.empty()) {
        mosquitto_username_pw_set(
            mosq_, settings_.user.c_str(),
            settings_.password.empty() ? nullptr : settings_.password.c_str());
    }
    if (!settings_.tlsCa.empty()) {
        const int rc =
            mosquitto_tls_set(mosq_, settings_.tlsCa.c_str(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) setError("TLS: " + reasonOf(rc));
    }
    thread_ = std::thread([this] { run(); });
}

MqttPublisher::~MqttPublisher() {
    stop();
    if (mosq_) mosquitto_destroy(mosq_);
}

std::string MqttPublisher::lastError() const {
    std::lock_guard lock(mutex_);
    return error_;
}

void MqttPublisher::setError(const std::string& text) {
    {
        std::lock_guard lock(mutex_);
        if (error_ == text) return;  // a broker that stays away is said once
        error_ = text;
    }
    emit stateChanged(false, QString::fromStdString(text));
}

void MqttPublisher::publish(const PollSnapshot& snapshot) {
    std::lock_guard lock(mutex_);
    latest_ = snapshot;
    if (connected_) send(snapshot);
}

bool MqttPublisher::sendOne(const std::string& topic, const std::string& payload, int qos) {
    int mid = 0;
    const int rc = mosquitto_publish(mosq_, &mid, topic.c_str(), static_cast<int>(payload.size()),
                                     payload.empty() ? nullptr : payload.data(), qos, true);
    if (rc != MOSQ_ERR_SUCCESS) return false;
    ++pending_;
    return true;
}

bool MqttPublisher::send(const PollSnapshot& snapshot) {
    const std::vector<TopicMessage> messages = pollMessages(base_, snapshot);
    if (pending_ + static_cast<int>(messages.size()) > kMaxPending) return false;
    for (const auto& [topic, payload] : messages) {
        if (!sendOne(topic, payload, kValueQos)) return false;
    }
    return true;
}

void MqttPublisher::onConnect(mosquitto*, void* self, int rc) {
    auto* p = static_cast<MqttPublisher*>(self);
    if (rc != 0) {
        p->setError(std::string("the broker refused: ") + mosquitto_connack_string(rc));
        return;
    }
    {
        std::lock_guard lock(p->mutex_);
        p->connected_ = true;
        p->pending_ = 0;
        p->backoffSeconds_ = 1;
        p->error_.clear();
        p->sendOne(p->base_ + "/status", "online", kStatusQos);
        // What the subscribers missed while away: the latest values, once.
        if (p->latest_) p->send(*p->latest_);
    }
    emit p->stateChanged(true, {});
}

void MqttPublisher::onDisconnect(mosquitto*, void* self, int rc) {
    // The loss itself is said by the loop, with its reason.
    (void)rc;
    static_cast<MqttPublisher*>(self)->connected_ = false;
}

void MqttPublisher::onPublish(mosquitto*, void* self, int mid) {
    auto* p = static_cast<MqttPublisher*>(self);
    if (p->pending_ > 0) --p->pending_;
    // Under the stop's own lock: the stop learns the message's id only after handing it over.
    std::lock_guard lock(p->stopMutex_);
    if (mid == p->offlineMid_) {
        p->offlineSent_ = true;
        p->stopped_.notify_all();
    }
}

void MqttPublisher::waitBackoff() {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::seconds(backoffSeconds_),
                   [this] { return stopping_.load(); });
    backoffSeconds_ = std::min(backoffSeconds_ * 2, kLongestBackoffSeconds);
}

void MqttPublisher::run() {
    const HostPort& broker = *settings_.mqtt;
    bool socketUp = false;
    bool first = true;
    while (!stopping_) {
        if (!socketUp) {
            const int rc = first ? mosquitto_connect_async(mosq_, broker.host.c_str(), broker.port,
                                                           kKeepAliveSeconds)
                                 : mosquitto_reconnect_async(mosq_);
            // The host and port are kept by the first attempt even when it fails.
            first = false;
            if (rc != MOSQ_ERR_SUCCESS) {
                setError(broker.host + ":" + std::to_string(broker.port) + ": " + reasonOf(rc));
                waitBackoff();
                continue;
            }
            socketUp = true;
        }
        const int rc = mosquitto_loop(mosq_, 100, 1);
        if (rc != MOSQ_ERR_SUCCESS && !stopping_ && !disconnecting_) {
            connected_ = false;
            socketUp = false;
            setError(broker.host + ":" + std::to_string(broker.port) + ": " + reasonOf(rc));
            waitBackoff();
        }
    }
}

void MqttPublisher::stop(int waitMs) {
    if (!thread_.joinable()) return;
    if (connected_) {
        std::unique_lock lock(stopMutex_);
        int mid = 0;
        if (mosquitto_publish(mosq_, &mid, (base_ + "/status").c_str(), 7, "offline", kStatusQos,
                              true) == MOSQ_ERR_SUCCESS) {
            offlineMid_ = mid;
            stopped_.wait_for(lock, std::chrono::milliseconds(waitMs),
                              [this] { return offlineSent_.load(); });
        }
    }
    // A clean disconnect: the broker drops the last will.
    disconnecting_ = true;
    mosquitto_disconnect(mosq_);
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        wake_.notify_all();
    }
    thread_.join();
}

}  // namespace kvel
