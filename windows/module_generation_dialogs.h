#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <array>

#include "link/module_config_first.h"
#include "link/module_config_second.h"
#include "link/module_map.h"
#include "windows/module_settings_dialog.h"

namespace kvel {

// The module settings dialog of the first generation (type codes below 200 and 220): one
// address, speed and parity; shared delays and hysteresis; per relay its function; two
// binding lists, three sensor-relay thresholds and two thresholds per channel.
class FirstGenModuleDialog : public ModuleSettingsDialog {
    Q_OBJECT
  public:
    explicit FirstGenModuleDialog(QWidget* parent = nullptr);

    void setChannelCount(int channels) override;
    void load() override;
    void writeRelaySettings() override;
    void writeLinkSettings() override;

    FirstGenFields moduleFields() const;
    void setModuleFields(const FirstGenFields& f);

  private:
    QWidget* buildRelayGroup();
    QWidget* buildLinkGroup();

    QLineEdit *addressEdit_, *threshold1Edit_, *threshold2Edit_, *hysteresisEdit_, *delayOnEdit_,
        *delayOffEdit_;
    QComboBox *speedCombo_, *parityCombo_;
    std::array<QComboBox*, kRelayCount> relayFunctionCombos_{};
    std::array<QLineEdit*, kRelayCount> sensorRelayEdits_{};
    QListWidget *linkRelayList_, *thresholdRelayList_;
    QTableWidget* thresholdTable_;
};

// The module settings dialog of the second generation: two links, MB1 and MB2, and a full
// set of settings per relay.
class SecondGenModuleDialog : public ModuleSettingsDialog {
    Q_OBJECT
  public:
    explicit SecondGenModuleDialog(QWidget* parent = nullptr);

    void setChannelCount(int channels) override;
    void load() override;
    void writeRelaySettings() override;
    void writeLinkSettings() override;

    SecondGenFields moduleFields() const;
    void setModuleFields(const SecondGenFields& f);

  private:
    struct RelayControls {
        QComboBox* function;
        QComboBox* logic;
        QLineEdit* delayOn;
        QLineEdit* delayOff;
        QLineEdit* hyst;
        QLineEdit* thres;
        QListWidget* binding;
    };
    QWidget* buildRelayGroup(int relay);
    QWidget* buildLinkGroup(int link);

    std::array<RelayControls, kRelayCount> relays_{};
    std::array<QLineEdit*, 2> addressEdit_{};
    std::array<QComboBox*, 2> speedCombos_{};
    std::array<QComboBox*, 2> parityCombos_{};
};

}  // namespace kvel
