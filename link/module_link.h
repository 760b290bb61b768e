// Floor 1, link/: the serial line and the module on it. The port (termios, the only place that
// touches the device), the Modbus RTU transactions and their CRC, the register map of the
// module and of the host controller, and the encoding and checking of the module's
// configuration. It includes no other folder of the program.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/closing_flag.h"
#include "link/link_timing.h"
#include "link/module_map.h"
#include "link/read_exactly.h"
#include "link/serial_port.h"
#include "link/text_mark.h"
#include "link/traffic_tap.h"
#include "link/transactions.h"

namespace kvel {

// What the status bar's panel 0 says when the port does not open.
inline constexpr char kPortOpenFailed[] = QT_TRANSLATE_NOOP("KvelView", "Ошибка открытия порта");

// The settings of a first-generation module as one operation reads them; the pairs only for
// type 220. Each read keeps its own failure.
struct SettingsBlockRead {
    ReadTransaction block;
    ReadTransaction thresholds1;
    ReadTransaction thresholds2;
    ReadTransaction linkPair;
    ReadTransaction thresPair;
};

// The link to the module that the main window owns for its whole life: the port, the poll's
// read record, and what is known of the module (type, channel count, identified flag, channel
// validity flags). Every module exchange of the program goes here; an operation with more
// than one read or a write brings its own records.
class ModuleLink {
  public:
    // Every exchange on the port is recorded by the link's traffic tap. `closing` is the
    // session's; without one the link has its own.
    explicit ModuleLink(ClosingFlag* closing = nullptr);
    ModuleLink(const ModuleLink&) = delete;
    ModuleLink& operator=(const ModuleLink&) = delete;

    void setTiming(const LinkTiming& timing) { timing_ = timing; }
    const LinkTiming& timing() const { return timing_; }

    // Opens the port with speed and parity indices; false when it fails (the caller shows
    // kPortOpenFailed): the port stays in the failed state, to be tried again at the next poll.
    bool openPort(const std::string& name, int speedIndex, int parityIndex);
    void closePort();
    // What opening the port had to tell the user (SerialPort::takeNotices).
    std::vector<MarkedText> takePortNotices() { return port_.takeNotices(); }
    SerialPort& port() { return port_; }
    const SerialPort& port() const { return port_; }
    bool portNeedsOpening() const { return port_.getState() != SerialPort::State::open; }
    // The system's reason of the last failed open ("PATH: reason"), empty otherwise. Any thread
    // may ask, while the link's own thread opens the port.
    std::string portOpenFailureText() const;
    PortOpenFailure portOpenFailure() const;
    TrafficTap& traffic() { return traffic_; }
    const TrafficTap& traffic() const { return traffic_; }

    bool readRegisters(ReadTransaction& t);
    bool writeRegister(WriteTransaction& t);
    bool writeRegisters(WriteTransaction& t);
    // A read that fails unless the reply carries exactly the count asked for.
    bool readExactly(ReadTransaction& t);

    // While it is set (the program is closing), every further transaction fails at once with
    // LinkError::Interrupted and sends nothing: a long write ends after the transaction under way,
    // whose waits for the line are cut short.
    ClosingFlag& closing() { return closing_; }
    const ClosingFlag& closing() const { return closing_; }
    // A fixed pause between transactions (after a write the module needs time for), cut short
    // by the closing flag (ClosingFlag::pause).
    void pause(int ms) { closing_.pause(ms); }

    // Read groups: each fails when the reply carries another number of registers than it
    // asked for. The module address is the caller's `connect`/`adr`, cut to 8 bits.
    bool readGroup(ReadTransaction& t, int address, std::uint16_t first, std::uint16_t count);
    int readModuleType(int address);       // 0 when the read fails
    int readSoftwareVersion(int address);  // 100 when the read fails
    // The single reads return their own record: its registers, or why it failed (ok()).
    ReadTransaction readMeasurements(int address);
    ReadTransaction readRelayStates(int address);  // the relay word in register 0
    // The block, the thresholds and the pairs of type 220, in this order; stops at the first
    // failure.
    bool readSettingsBlock(int address, SettingsBlockRead& read);
    ReadTransaction readChannelCoeffs(int address);
    ReadTransaction readRelaySettings(int relayNumber, int address);  // relay 1..3
    ReadTransaction readCommParams(int address);

    // Type code and channel count; 30 channels until the first identification.
    void setModuleType(int typeCode);
    // These three may be read from any thread.
    int typeCode() const { return typeCode_; }
    int channelCount() const { return channelCount_; }
    bool identified() const { return identified_; }
    void setIdentified(bool identified) { identified_ = identified; }

    // Turns a read of the measurements into the grid's texts (channel 1 first) and sets or
    // clears each channel's validity flag.
    std::vector<std::string> takeMeasurements(const ReadTransaction& measurements);
    bool channelValid(int channelIndex) const;

  private:
    // Keeps the port's failure text for readers on other threads.
    void rememberFailure();

    TrafficTap traffic_;  // before the port, which points at it and at the closing flag
    ClosingFlag ownClosing_;
    ClosingFlag& closing_;
    SerialPort port_;
    LinkTiming timing_;
    std::atomic<int> typeCode_ = 0;
    std::atomic<int> channelCount_ = kMaxChannels;
    std::atomic<bool> identified_ = false;
    mutable std::mutex failureMutex_;
    PortOpenFailure failure_;  // the port's as of the last open or close
    std::array<bool, 100> valid_{};
};

}  // namespace kvel
