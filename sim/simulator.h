// Beside the floors, sim/: kvel-sim, the simulated module and host controller on a
// pseudo-terminal. It uses link/'s register map and CRC, so it speaks as the program expects.
#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kvel::sim {

enum class Fault { None, Silence, BadCrc, WrongAddress, Exception, LateReply, RegisterCount };

// The registers of one normal read reply the simulator served, as they were at that moment.
struct ServedRead {
    std::uint16_t first = 0;
    std::vector<std::uint16_t> values;
};

// A request as the simulator received it, with the moment its last byte was taken in.
struct TimedRequest {
    std::chrono::steady_clock::time_point at;
    std::vector<std::uint8_t> frame;
};

struct SimOptions {
    int typeCode = 215;          // register 145; decides 15/30 channels and the generation
    std::uint8_t address = 100;  // slave address the module answers at
    std::string link;            // optional path of a symlink to the device (e.g. /tmp/kvel-tty)
    bool drift = true;           // temperatures drift slowly
    // The module's own line: speed index 0..4 and parity index 0..2. It answers only a master
    // that set the same on the device, as a real module at other settings hears noise; -1
    // hears a master at any speed or parity.
    int speedIndex = -1;
    int parityIndex = -1;
};

// A simulated measuring module and host controller: a Modbus RTU slave on a
// pseudo-terminal, served on its own thread. Every method may be called from any thread.
class Simulator {
  public:
    explicit Simulator(SimOptions options = {});
    ~Simulator();  // stops serving, closes the pty, removes the link
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    bool start();  // create the pty, serve on a thread; false with a reason on failure
    std::string errorText() const;   // the reason of the last failed Start or Plug
    std::string devicePath() const;  // the link if set, else the /dev/pts/N path
    void setFault(Fault fault, int exceptionCode = 2, int lateMs = 800);
    // Fault::RegisterCount: every read is answered with `count` registers (0..127) from its
    // first register on, whatever count it asked for; writes are answered as usual.
    void setReplyRegisterCount(int count);
    // The normal read replies served since the last call, oldest first: what the module
    // held when it answered (a test checks what the master shows against it).
    std::vector<ServedRead> takeServedReads();
    // True when nothing the master sent is waiting to be answered and no reply is on its way.
    bool idle() const;
    void unplug();  // close the pty: the device disappears (and the link)
    bool plug();    // a new pty; the link points at it again
    bool plugged() const;
    std::uint16_t registerValue(std::uint16_t number) const;  // module register
    // Sets a register as a test wants it; a measurement register set so no longer drifts.
    void setRegister(std::uint16_t number, std::uint16_t value);
    void setTypeCode(int code);  // re-lays the map for the new generation/channel count
    void setDrift(bool on);
    std::size_t requestCount() const;  // complete, CRC-valid requests received
    std::vector<std::uint8_t> lastRequest() const;
    // The complete, CRC-valid requests received, oldest first (the last few thousand).
    std::vector<std::vector<std::uint8_t>> requests() const;
    // The same with their times: what a test measures pulses and pauses on the wire with.
    std::vector<TimedRequest> timedRequests() const;
    std::uint8_t moduleAddress() const;  // the slave address in force (it follows written settings)
    long lineSpeed() const;              // bit/s the client set on the device (pacing uses it)

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace kvel::sim
