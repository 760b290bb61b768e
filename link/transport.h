#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "link/traffic_observer.h"

namespace kvel {

// The byte line under the protocol: the protocol does not care whether this is a real
// adapter or a pseudo-terminal.
class Transport {
  public:
    enum class SendResult { Done, Refused, NotCompleted };

    virtual ~Transport() = default;
    virtual bool isOpen() const = 0;
    // Throw away whatever arrived and was not asked for (a reply that came too late).
    virtual void discardInput() = 0;
    // Refused: the line rejected the send at once (adapter gone); NotCompleted: the send
    // did not finish within waitMs.
    virtual SendResult send(const std::uint8_t* data, std::size_t length, int waitMs) = 0;
    // Receives up to maxLength bytes; the reception ends quietMs after the last byte or when
    // maxLength bytes are in. Returns false when it did not end within waitMs.
    virtual bool receive(std::uint8_t* buffer, std::size_t maxLength, std::size_t& received,
                         int waitMs, int quietMs) = 0;
    virtual void close() = 0;
    // The fixed pause between a request and the reception of its reply. A port that can tell
    // when the reply begins tells the observer, without taking anything off the line.
    virtual void awaitReply(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    // Who watches the traffic of this line; none by default, and then nothing is recorded.
    void setTrafficObserver(TrafficObserver* observer) { observer_ = observer; }
    TrafficObserver* trafficObserver() const { return observer_; }

  protected:
    TrafficObserver* observer_ = nullptr;
};

}  // namespace kvel
