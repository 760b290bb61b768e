#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <array>
#include <functional>

#include "link/message_sink.h"
#include "link/module_config.h"

namespace kvel {

class LinkThread;
class ModuleSettings;

// What both module settings dialogs share: the channel table `channelTable`, the three write
// buttons with their progress panel `progressPanel`, and "Применить ко всем" with
// `coefficientForAllEdit`. The dialogs hold the values in their controls; the main window's
// operations read and write them.
class ModuleSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    // The main window's settings operations and the thread they run on, used by the load and
    // the write buttons.
    void attach(ModuleSettings* settings, LinkThread* thread);
    // Rebuilds the tables and lists for the channel count.
    virtual void setChannelCount(int channels) = 0;
    // Reads the module fields and the channel table from the module and mem.ini on the link
    // thread; once they are in the controls, loaded() follows with what the load has to say
    // (a failed read): whoever shows the dialog shows them, over it.
    virtual void load() = 0;
    // True from a write button's press until its results are in.
    bool writing() const { return writing_; }

    ChannelTable channelTable() const;
    void setChannelTable(const ChannelTable& table);
    int channels() const { return channels_; }

    void writeCoefficients();
    virtual void writeRelaySettings() = 0;
    virtual void writeLinkSettings() = 0;
    void applyCoefficientToAll();

    // Escape and the window's close button do nothing while a write runs: the module would be
    // left with part of it. (The program's end still closes the dialog; the write then stops
    // after the transaction under way and says what it left.)
    void reject() override;

  signals:
    void loaded(const kvel::Messages& messages);
    // A write takes the line (false: no poll meanwhile) and gives it back (true).
    void pollingWanted(bool on);

  protected:
    ModuleSettingsDialog(const char* name, QWidget* parent);
    void endWrite();
    // The three write buttons and "Применить ко всем".
    std::array<QPushButton*, 4> buttons() const {
        return {writeCoefficientsButton_, writeRelaysButton_, writeLinkButton_, applyToAllButton_};
    }
    // The group box `sensorsGroup` that holds the channel table.
    QGroupBox* buildSensorsGroup(const QString& caption);
    void rebuildChannelTable(int channels);
    // The loads' pattern: `read` fills a generation's fields from the module on the link
    // thread, the channel table follows, then `show` puts the fields in the controls.
    void runLoad(std::function<void(ModuleSettings&)> read, std::function<void()> show);
    // The write buttons' pattern: poll off, progress panel and busy cursor, the operation on
    // the link thread and the success box when it succeeded; when it is over, panel hidden
    // and poll on again whatever the result. A press while a write runs does nothing.
    using Operation = std::function<bool(ModuleSettings&)>;
    void runWrite(const QString& progress, bool coefficients, Operation operation,
                  const QString& success);
    // The relay and link buttons around a generation's own write of the fields.
    void runRelayWrite(Operation write);
    void runLinkWrite(Operation write);

    ModuleSettings* settings_ = nullptr;
    LinkThread* thread_ = nullptr;
    bool writing_ = false;
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
