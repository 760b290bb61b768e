#pragma once
#include <QObject>
#include <QtGlobal>
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/mem_ini.h"
#include "core/host_map.h"
#include "link/module_link.h"

namespace kvel {

// The caption of the boxes cabinet control raises.
inline constexpr char kCabinetFailureCaption[] = QT_TRANSLATE_NOOP("KvelView", "Ошибка");

// The pauses and periods of cabinet control. The real values are the defaults; tests that
// run many exchanges against the simulator may pass shorter ones.
struct CabinetTiming {
    int pulsePauseMs = 500;   // after every command write
    int signalPauseMs = 300;  // after a signal write, before the refresh
    int releaseMs = 2000;     // a command pulse ends this long after its write of 1 began
    int refreshMs = 1000;     // refresh timer: the refresh period while the window is shown
    int secondMs = 1000;      // one second of the test cycle's waits
};

// A refused or failed exchange. The window says it in a box with caption
// kCabinetFailureCaption (cabinetFailureText), kvelctl on stderr.
struct CabinetFailure {
    // A cabinet that cannot be had: no exchange was made.
    TargetState refused = TargetState::Ok;
    // Otherwise the exchange's failure.
    LinkFailure failure;
};
// The window's text of a failure, in the language of the windows.
std::string cabinetFailureText(const CabinetFailure& failure);

// What a refresh found; the window needs none of it, kvelctl prints it.
struct RefreshResult {
    TargetState target = TargetState::NotChosen;
    bool onlineRead = false;  // "Хост" addressing only
    bool online = false;
    bool signalsRead = false;
    // The signal block as read, valid when signalsRead; a short reply leaves the rest 0.
    std::array<std::uint16_t, kHostSignals> signalStates{};
    LinkFailure error;  // the first failed read's
};

// What one call of cabinet control did and what the cabinet window is to show of it: the
// lamps it switched, in their order (0..5 are commands 1..6, 6..10 signals 0..4), the on-line
// lamp, the failures to report, and what a refresh found.
struct CabinetUpdate {
    // False when the call did nothing or failed: a refusal, a failed write.
    bool done = true;
    std::vector<std::pair<int, bool>> indicators;
    std::optional<bool> online;
    std::vector<CabinetFailure> failures;
    std::optional<RefreshResult> refreshed;
};

// Commands, signals and the refresh of the host controller, with exchanges of their own on the
// link. Each call is for the cabinet named in it and returns what it did; a command pulse's end
// is asked for by releaseDue, emitted on the thread of the call.
class CabinetControl : public QObject {
    Q_OBJECT
  public:
    using Clock = std::chrono::steady_clock;

    CabinetControl(ModuleLink& link, MemIni& ini);

    void setTiming(const CabinetTiming& timing) { timing_ = timing; }
    const CabinetTiming& timing() const { return timing_; }

    // Command button k (1..6) for `cabinet`: starts a pulse. A pulse still running is ended
    // first, so its register does not stay at 1. Not done when nothing was started.
    CabinetUpdate commandClick(const std::string& cabinet, int command);
    // Ends a running pulse (its time is up, the program ends, or another command follows);
    // `thenPause` false leaves out the pause after the write when nothing follows it. Done
    // without an exchange when no pulse runs.
    CabinetUpdate releasePulse(bool thenPause = true);
    // Signal button s (0..4): toggles the state last read, then refreshes.
    CabinetUpdate signalClick(const std::string& cabinet, int signal);
    CabinetUpdate refresh(const std::string& cabinet);

    int currentCommand() const { return command_; }
    bool pulseRunning() const { return pulse_.has_value(); }
    // The states of the signal block last read.
    std::uint16_t signalState(int signal) const;

  signals:
    // A pulse began at its write: its end is due at `due`. Emitted before the call returns.
    void releaseDue(kvel::CabinetControl::Clock::time_point due);
    // A pulse's write is about to go out (its start or its end): an end asked for earlier is
    // off. Emitted before the write, so that the end due cannot come between.
    void releaseCancelled();

  private:
    struct Pulse {
        int command;
        std::uint8_t address;
        std::uint16_t reg;
    };

    // Writes 1 for a new pulse on `start`, else 0 to the running pulse's register.
    bool writePulse(CabinetUpdate& update, const std::optional<Pulse>& start, bool thenPause);
    void refreshInto(CabinetUpdate& update, const std::string& cabinet);
    // The write's failure; LinkError::None when it succeeded.
    LinkFailure writeHostRegister(std::uint8_t address, std::uint16_t reg, std::uint16_t value);
    static void fail(CabinetUpdate& update, const CabinetFailure& failure);

    ModuleLink& link_;
    MemIni& ini_;
    CabinetTiming timing_;
    int command_ = 0;
    // The register a pulse set to 1: its release goes there, whatever was chosen meanwhile.
    std::optional<Pulse> pulse_;
    // The signal block as the last good refresh read it: all 0 until a read succeeds.
    std::array<std::uint16_t, kHostSignals> signals_{};
};

}  // namespace kvel
