#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <QtGlobal>

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

// What the exchanges show; the cabinet window puts it on its controls.
class CabinetView {
  public:
    virtual ~CabinetView() = default;
    // The combo box's current text: the cabinet every exchange is for.
    virtual std::string cabinetName() const = 0;
    // Indicator i of the window's eleven: 0..5 are commands 1..6, 6..10 signals 0..4.
    virtual void setIndicator(int i, bool on) = 0;
    virtual void setOnlineIndicator(bool on) = 0;
    // A refused or failed exchange: a box with caption kCabinetFailureCaption.
    virtual void showFailure(const std::string& text);
    // A failed exchange; by default its text in the language of the windows, as showFailure.
    virtual void showLinkFailure(const LinkFailure& failure);
};

// What a refresh found; the window needs none of it, kvelctl prints it.
struct RefreshResult {
    TargetState target = TargetState::NotChosen;
    bool onlineRead = false;  // "Хост" addressing only
    bool online = false;
    bool signalsRead = false;
    LinkFailure error;  // the first failed read's
};

// Commands, signals and the refresh of the host controller: operations of the main window
// on its link, with exchanges of their own.
class CabinetControl {
  public:
    CabinetControl(ModuleLink& link, MemIni& ini);

    // nullptr: nothing is shown and the cabinet name is empty.
    void setView(CabinetView* view) { view_ = view; }
    CabinetView* view() const { return view_; }
    // Switches the release timer (the pulse timer) on, for the time the pulse is to end, or off;
    // its tick calls commandStep.
    using Clock = std::chrono::steady_clock;
    using ReleaseTimer = std::function<void(bool on, Clock::time_point due)>;
    void setReleaseTimer(ReleaseTimer timer) { releaseTimer_ = std::move(timer); }
    void setTiming(const CabinetTiming& timing) { timing_ = timing; }
    const CabinetTiming& timing() const { return timing_; }

    // Command button k (1..6): starts a pulse. A pulse still running is ended first, so its
    // register does not stay at 1. False when nothing was started.
    bool commandClick(int command);
    // Writes 1 for a pending command, else 0 to the running pulse's register (the pulse timer's
    // tick).
    bool commandStep(bool thenPause = true);
    // Ends a running pulse now (at shutdown, or before another command); `thenPause` false
    // leaves out the pause after the write when no command follows it.
    bool releasePulse(bool thenPause = true);
    // Signal button s (0..4): toggles the state last read, then refreshes.
    bool signalClick(int signal);
    RefreshResult refresh();
    // What the last refresh found, also the one that follows a signal toggle.
    const RefreshResult& lastRefresh() const { return lastRefresh_; }

    int currentCommand() const { return command_; }
    bool pending() const { return pending_; }
    bool pulseRunning() const { return pulse_.has_value(); }
    // The states of the signal block last read.
    std::uint16_t signalState(int signal) const;

  private:
    // The cabinet chosen in the window now (none without a window).
    HostTarget currentTarget() const;
    // The write's failure; LinkError::None when it succeeded.
    LinkFailure writeHostRegister(std::uint8_t address, std::uint16_t reg, std::uint16_t value);
    void indicator(int i, bool on);
    // Said through the view, or in a box when there is none (kvelctl).
    void fail(const std::string& text);
    void fail(const LinkFailure& failure);
    void refuse(TargetState state);
    void switchPulseTimer(bool on, Clock::time_point due = {});

    struct Pulse {
        int command;
        std::uint8_t address;
        std::uint16_t reg;
    };

    ModuleLink& link_;
    MemIni& ini_;
    CabinetView* view_ = nullptr;
    ReleaseTimer releaseTimer_;
    CabinetTiming timing_;
    int command_ = 0;
    bool pending_ = false;
    // The register a pulse set to 1: its release goes there, whatever was chosen meanwhile.
    std::optional<Pulse> pulse_;
    RefreshResult lastRefresh_;
    // The signal block as the last refresh read it: registerCount 0 until a read succeeds.
    ReadTransaction signals_;
};

}  // namespace kvel
