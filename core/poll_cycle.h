// Floor 3, core/: what the program does without widgets. The poll cycle and the measurement
// log, the module settings operations, cabinet control (exchanges, timers, test cycle), the
// program settings' fields and the port list, the model of the line traffic and the reading
// of logs, and the link thread (link_thread.h) on which every exchange of the program runs. It
// stands on link/ and config/; the windows drive it and tests drive it directly.
#pragma once
#include <string>

#include "config/mem_ini.h"
#include "core/poll_readings.h"
#include "link/module_link.h"

namespace kvel {

// What the poll shows; the main window puts it on its controls.
class PollView {
  public:
    virtual ~PollView() = default;
    virtual void setStatusText(int panel, const std::string& text) = 0;
    virtual void setLinkIndicator(bool on) = 0;
    // Column 1 of grid row `channel` (1-based).
    virtual void setChannelText(int channel, const std::string& text) = 0;
    virtual void setRelay(int relayIndex, bool on) = 0;
    // "Обновлять диаграмму" checked, and the chart update that follows it.
    virtual bool chartUpdating() const = 0;
    virtual void addChartPoints(const ReadTransaction& record) = 0;
    // Once per poll, last: what the poll brought, for the alarms.
    virtual void showReadings(const PollReadings& readings) = 0;
};

// The poll's view for a poll that runs on the link thread: each call is carried out on the
// GUI thread after the poll (LinkThread::deferToGui), in its order. Whether the chart is
// updated is asked when the points arrive there.
class DeferredPollView final : public PollView {
  public:
    explicit DeferredPollView(PollView& view) : view_(view) {}
    void setStatusText(int panel, const std::string& text) override;
    void setLinkIndicator(bool on) override;
    void setChannelText(int channel, const std::string& text) override;
    void setRelay(int relayIndex, bool on) override;
    bool chartUpdating() const override { return true; }
    void addChartPoints(const ReadTransaction& record) override;
    void showReadings(const PollReadings& readings) override;

  private:
    PollView& view_;
};

// One poll of the module: open the port when needed, identify once per connection, read and
// show the measurements, hand them to the chart and the log, read and show the relays; any
// failure shows the link as lost, and the next poll starts again from the top.
class PollCycle {
  public:
    PollCycle(ModuleLink& link, MemIni& ini, PollView& view, std::string startupDirectory);

    // The poll's steps between switching the timer off and on again.
    void poll();
    void showLinkLost(bool keepStatus);

    // `file`/`name` when it is missing: the start-up directory with "1.txt" appended.
    std::string defaultLogName() const { return startupDirectory_ + "1.txt"; }

  private:
    void showRelays();
    int moduleAddress() const { return ini_.readInteger(keys::kModuleAddress); }

    ModuleLink& link_;
    MemIni& ini_;
    PollView& view_;
    std::string startupDirectory_;
};

}  // namespace kvel
