#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/link_timing.h"
#include "link/module_map.h"
#include "link/read_exactly.h"
#include "link/serial_port.h"
#include "link/traffic_tap.h"
#include "link/transactions.h"

namespace kvel {

// The link to the module that the main window owns for its whole life: the port, the seven
// read and five write records, and what is known of the module (type, channel count,
// identified flag, channel validity flags). Every module exchange of the program goes here.
class TModuleLink {
  public:
    using StatusSink = std::function<void(const std::string& text)>;

    // Every exchange on the port is recorded by the link's traffic tap.
    TModuleLink() { port_.SetTrafficObserver(&traffic_); }

    // Where "Ошибка открытия порта" goes: panel 0 of the status bar.
    void SetStatusSink(StatusSink sink) { statusSink_ = std::move(sink); }
    void SetTiming(const LinkTiming& timing) { timing_ = timing; }
    const LinkTiming& Timing() const { return timing_; }

    // Opens the port with speed and parity indices; on failure the status shows it and the
    // port stays in the failed state, to be tried again at the next poll.
    void OpenPort(const std::string& name, int speedIndex, int parityIndex);
    void ClosePort() { port_.Close(); }
    SerialPort& Port() { return port_; }
    const SerialPort& Port() const { return port_; }
    bool PortNeedsOpening() const { return port_.GetState() != SerialPort::State::Open; }
    // The system's reason of the last failed open ("PATH: reason"), empty otherwise.
    std::string PortOpenFailureText() const {
        return kvel::PortOpenFailureText(port_.LastFailure());
    }
    TTrafficTap& Traffic() { return traffic_; }
    const TTrafficTap& Traffic() const { return traffic_; }

    bool ReadRegisters(TReadTransaction& t) { return kvel::ReadRegisters(port_, t, timing_); }
    bool WriteRegister(TWriteTransaction& t) { return kvel::WriteRegister(port_, t, timing_); }
    bool WriteRegisters(TWriteTransaction& t) { return kvel::WriteRegisters(port_, t, timing_); }
    // A read that fails unless the reply carries exactly the count asked for.
    bool ReadExactly(TReadTransaction& t) { return kvel::ReadExactly(port_, t, timing_); }

    // Read groups: each fails when the reply carries another number of registers than it
    // asked for. The module address is the caller's `connect`/`adr`, cut to 8 bits.
    bool ReadGroup(TReadTransaction& t, int address, std::uint16_t first, std::uint16_t count);
    int ReadModuleType(int address);       // 0 when the read fails
    int ReadSoftwareVersion(int address);  // 100 when the read fails
    bool ReadMeasurements(int address);    // into the first record
    bool ReadRelayStates(int address);     // word in the first record's register 0
    bool ReadSettingsBlock(int address);   // block, thresholds, and the pairs of type 220
    bool ReadChannelCoeffs(int address);
    bool ReadRelaySettings(int relayNumber, int address);  // relay 1..3; other numbers fail
    bool ReadCommParams(int address);

    // Type code and channel count; 30 channels until the first identification.
    void SetModuleType(int typeCode);
    int TypeCode() const { return typeCode_; }
    int ChannelCount() const { return channelCount_; }
    bool Identified() const { return identified_; }
    void SetIdentified(bool identified) { identified_ = identified; }

    // Turns the first record's measurements into the grid's texts (channel 1 first) and sets
    // or clears each channel's validity flag.
    std::vector<std::string> TakeMeasurements();
    bool ChannelValid(int channelIndex) const;
    // Relay i (0..2) from the first record's register 0.
    bool RelayOn(int relayIndex) const;

    std::array<TReadTransaction, 7>& ReadRecords() { return reads_; }
    std::array<TWriteTransaction, 5>& WriteRecords() { return writes_; }
    TReadTransaction& First() { return reads_[0]; }
    const TReadTransaction& First() const { return reads_[0]; }

  private:
    TTrafficTap traffic_;  // before the port, which points at it
    SerialPort port_;
    LinkTiming timing_;
    StatusSink statusSink_;
    std::array<TReadTransaction, 7> reads_{};
    std::array<TWriteTransaction, 5> writes_{};
    int typeCode_ = 0;
    int channelCount_ = kMaxChannels;
    bool identified_ = false;
    std::array<bool, 100> valid_{};
};

}  // namespace kvel
