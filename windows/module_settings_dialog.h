#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <functional>

#include "link/module_config.h"

namespace kvel {

class ModuleSettings;

// What both module settings dialogs share: the channel table `channelTable`, the three write
// buttons with their progress panel `progressPanel`, and "Применить ко всем" with
// `coefficientForAllEdit`. The dialogs hold the values in their controls; the main window's
// operations read and write them.
class ModuleSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    // Switches the main window's poll timer off (false) or on (true).
    using PollSwitch = std::function<void(bool on)>;

    // The main window's settings operations and poll switch, used by the write buttons.
    void attach(ModuleSettings* settings, PollSwitch poll);
    // Rebuilds the tables and lists for the channel count.
    virtual void setChannelCount(int channels) = 0;
    // Fills the module fields and the channel table from the module and mem.ini.
    virtual void load() = 0;

    ChannelTable channelTable() const;
    void setChannelTable(const ChannelTable& table);
    int channels() const { return channels_; }

    void writeCoefficients();
    virtual void writeRelaySettings() = 0;
    virtual void writeLinkSettings() = 0;
    void applyCoefficientToAll();

  protected:
    ModuleSettingsDialog(const char* name, QWidget* parent);
    // The group box `sensorsGroup` that holds the channel table.
    QGroupBox* buildSensorsGroup(const char* caption);
    void rebuildChannelTable(int channels);
    void loadChannelTable();
    // The write buttons' pattern: poll off, progress panel painted, the operation, the
    // success box when it succeeded, panel hidden and poll on again whatever the result.
    void runWrite(const char* progress, bool coefficients, const std::function<bool()>& operation,
                  const char* success);
    // The relay and link buttons around a generation's own write of the fields.
    void runRelayWrite(const std::function<bool()>& write);
    void runLinkWrite(const std::function<bool()>& write);

    ModuleSettings* settings_ = nullptr;
    PollSwitch poll_;
    int channels_ = 0;
    QTableWidget* channelTable_;
    QPushButton* writeCoefficientsButton_;
    QPushButton* writeRelaysButton_;
    QPushButton* writeLinkButton_;
    QPushButton* applyToAllButton_;
    QLineEdit* coefficientForAll_;
    QLabel* progressPanel_;
};

}  // namespace kvel
