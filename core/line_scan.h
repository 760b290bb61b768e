#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "link/transport.h"

namespace kvel {

// Where a module may listen: its address and the indices of the speed and parity tables.
struct LineSetting {
    int address = 1;
    int speedIndex = 0;
    int parityIndex = 0;
    bool operator==(const LineSetting&) const = default;
};

inline constexpr int kScanFirstAddress = 1;
inline constexpr int kScanLastAddress = 247;
inline constexpr int kScanSpeeds = 5;
inline constexpr int kScanParities = 3;
inline constexpr int kDefaultScanMarginMs = 20;
inline constexpr int kMaxScanMarginMs = 1000;

// The settings a scan tries: an address range and some speed and parity indices.
struct ScanSpace {
    int firstAddress = kScanFirstAddress;
    int lastAddress = kScanLastAddress;
    std::vector<int> speeds{0, 1, 2, 3, 4};
    std::vector<int> parities{0, 1, 2};
};

// Every setting of the space once, most likely first: the stored setting; the stored speed and
// parity with every other address; the stored address at every other speed and parity (a
// module that took new line settings keeps its address); then the rest, speed by speed in
// table order, the parities in table order within each. Parts outside the space are skipped.
std::vector<LineSetting> scanOrder(const ScanSpace& space, const LineSetting& stored);

// The least one silent probe takes: the request (8 characters) and the reply (7) of 11 bits
// each at the speed, plus the margin left for the module's own reply time.
double probeFloorMs(int speedIndex, int marginMs);

// What answered at one setting. A module is confirmed by its type code and software version;
// anything else that answered (a garbled or exception reply) is told by `answer`.
struct ScanFinding {
    LineSetting at;
    bool module = false;
    int typeCode = 0;
    int version = 0;
    std::string answer;  // why it is no module; empty for a module
};

// One read of one register as a probe: the request, then the wait of the probe's floor for the
// reply; a reply that began in time is read to its end.
struct ProbeResult {
    enum class Verdict { Silent, Reply, Garbled, LineLost };
    Verdict verdict = Verdict::Silent;
    std::uint16_t value = 0;  // the register, for a reply
    std::string what;         // for a garbled reply: what was wrong with it
    // A well-formed reply from another address: most likely that module's late answer to the
    // probe before (it came after that probe's margin); 0 otherwise.
    int lateFrom = 0;
};
ProbeResult probeRegister(Transport& port, int address, std::uint16_t reg, int speedIndex,
                          int marginMs);

struct ScanRequest {
    std::string port;
    LineSetting stored;
    ScanSpace space;
    int marginMs = kDefaultScanMarginMs;
    bool stopAtFirst = true;  // ends at the first module confirmed
};

struct SettingsForm;
// The scan the program settings dialog starts: on its port, with its address, speed and parity
// as the first guess (an address it would refuse is no guess: the scan starts at address 1).
ScanRequest scanRequestFor(const SettingsForm& form);

struct ScanProgress {
    enum class State { Running, Finished, Cancelled, Failed };
    State state = State::Running;
    std::size_t done = 0;  // probes done
    std::size_t total = 0;
    LineSetting trying;
    double msLeft = 0;  // the floors of the probes still to do
    std::vector<ScanFinding> findings;
    std::string failure;  // why the scan failed (the port)
    // What opening the port had to tell (a refused line setting), oldest first, for a box.
    std::vector<std::string> notices;
};

// A scan of the line for the module: reads only, never a write. It runs on one thread (the
// link thread, or kvelctl's worker); any other thread may follow it and cancel it.
class LineScan {
  public:
    explicit LineScan(ScanRequest request);

    // Scans on `port`, opened anew at each speed and parity and closed at the end. `stop` is
    // asked before every probe, as a cancel is (the program is closing).
    ScanProgress run(SerialPort& port, const std::function<bool()>& stop = {});
    // Any thread: the scan ends before its next probe.
    void cancel() { cancelled_ = true; }
    ScanProgress progress() const;
    const std::vector<LineSetting>& order() const { return order_; }
    const ScanRequest& request() const { return request_; }

  private:
    bool stopping(const std::function<bool()>& stop) const;
    // A reply at `at`: confirmed as a module by its type code and version, or what answered.
    ScanFinding confirm(SerialPort& port, const LineSetting& at, int marginMs);
    bool found(const LineSetting& at) const;
    void finish(ScanProgress::State state, std::string failure = {});

    ScanRequest request_;
    std::vector<LineSetting> order_;
    std::atomic<bool> cancelled_{false};
    mutable std::mutex mutex_;
    ScanProgress progress_;
};

// A parity index as the settings dialog's list names it ("нет", "чет(even)", "нечет(odd)").
std::string parityText(int parityIndex);
// "9600 бит/с, паритет нет": a setting's speed and parity as the dialogs name them.
std::string lineSettingText(const LineSetting& at);
// "1 мин 05 с", "12 с": the time left of a scan.
std::string timeLeftText(double ms);

}  // namespace kvel
