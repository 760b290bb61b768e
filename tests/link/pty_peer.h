#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/pty_device.h"

namespace kvel::test {

// The far end of a pseudo-terminal that answers each request with scripted bytes: it lets a
// test put any frame, good or broken, on the line.
class PtyPeer {
  public:
    PtyPeer();
    ~PtyPeer();

    const std::string& slavePath() const { return device_.slavePath(); }
    // The peer's own descriptor on the device: the line settings as the port left them.
    int slaveFd() const { return device_.slaveFd(); }
    // The next requests get these replies in turn (empty: stay silent), each after delayMs.
    void Script(std::vector<std::vector<std::uint8_t>> replies, int delayMs = 0);
    std::vector<std::vector<std::uint8_t>> requests();
    // Writes bytes at once, outside any request.
    void Inject(const std::vector<std::uint8_t>& bytes);

  private:
    void serve();

    sim::PtyDevice device_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> replies_;
    std::size_t next_ = 0;
    int delayMs_ = 0;
    std::vector<std::vector<std::uint8_t>> requests_;
    std::thread thread_;
};

// A frame with its CRC appended, low byte first.
std::vector<std::uint8_t> WithCrc(std::vector<std::uint8_t> frame);

}  // namespace kvel::test
