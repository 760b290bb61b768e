#pragma once
#include <termios.h>

#include <string>
#include <vector>

#include "link/closing_flag.h"
#include "link/port_open_failure.h"
#include "link/transport.h"

namespace kvel {

// The caption of the boxes that show what the port had to tell (shown as an information box).
inline constexpr char kPortNoticeCaption[] = "GetLastError";

// The serial line on a terminal device in raw 8-bit mode. The only place that calls
// termios, open, poll, read and write.
class SerialPort final : public Transport {
  public:
    // The handle has three states: never opened or closed on purpose, last open failed
    // (the next poll retries), open.
    enum class State { Closed, OpenFailed, open };

    SerialPort();
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device and sets the line: speed index 0..4 (9600..115200), parity index
    // 0 none with 2 stop bits, 1 even, 2 odd with 1 stop bit; other indices leave the port's
    // own setting. A refused line setting becomes a notice and the port stays open. Returns
    // false when the device cannot be opened: absent, refused, no terminal (also a notice, once
    // until the failure changes), or held by another program. The port is taken for exclusive
    // use, so a second master cannot open it.
    bool open(const std::string& name, int speedIndex, int parityIndex);
    // What the user is to be told since the last call, oldest first: the port shows no box
    // itself; whoever opened it shows these with the caption kPortNoticeCaption.
    std::vector<MarkedText> takeNotices();

    State getState() const { return state_; }
    // Why the last open failed; Reason::None while the port is open or closed on purpose.
    const PortOpenFailure& lastFailure() const { return failure_; }
    bool isOpen() const override { return state_ == State::open; }

    void discardInput() override;
    SendResult send(const std::uint8_t* data, std::size_t length, int waitMs) override;
    bool receive(std::uint8_t* buffer, std::size_t maxLength, std::size_t& received, int waitMs,
                 int quietMs) override;
    void close() override;
    void awaitReply(int ms) override;

    // While `closing` is set (the program is closing), a wait for the line ends at once: the
    // reply's wait and a blocked send give up, a pause before the reply is cut short; setting
    // it wakes the thread that waits. None by default: the waits run out in full.
    void setClosingFlag(const ClosingFlag* closing) { closing_ = closing; }

    // "COM3" stands for /dev/ttyS2; a path is used as it is; a bare device name is looked up
    // under /dev.
    static std::string deviceForName(const std::string& name);
    // Bits per second of a speed index, or 0 for an index outside the table.
    static int speedOfIndex(int speedIndex);

    // What one discard reads away at most: a device that never runs dry (a line full of noise)
    // must not hold the poll. A late reply is one frame of at most 256 bytes.
    static constexpr std::size_t kDiscardMaxBytes = 4096;
    static constexpr int kDiscardMaxMs = 50;
    // Reads pending input of a non-blocking descriptor away within those bounds; returns the
    // number of bytes read.
    static std::size_t drainInput(int fd, TrafficObserver* observer = nullptr);

  private:
    bool fail(PortOpenFailure failure);
    bool failInUse(const std::string& device);

    // Sleeps on the device and the interruption together; what poll() returns, with the
    // interruption reported as 0 ready and `interrupted` set.
    int waitFor(short events, int timeoutMs, short& revents, bool& interrupted);
    // The closing flag's descriptor, or -1.
    int wakeFd() const;
    // The pause inside a transaction (before the reply is read): the program's end cuts it
    // short; no other exchange may run in it, so it is not the line's shared pause.
    void sleepFor(int ms);

    int fd_ = -1;
    const ClosingFlag* closing_ = nullptr;
    bool restore_ = false;  // the line settings found at open are put back at close
    termios found_{};
    State state_ = State::Closed;
    std::vector<MarkedText> notices_;
    PortOpenFailure failure_;
    std::string lastRefusal_;  // the no-terminal refusal last told
};

}  // namespace kvel
