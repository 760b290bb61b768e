#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/cabinet_host.h"
#include "core/test_cycle.h"
#include "windows/indicator_lamp.h"

namespace kvel {

// "Управление шкафами через хост-контроллер": command and signal buttons with their lamps, the
// cabinet on line, the cabinet list (`cabinetCombo`, filled once at start-up from the key names
// of section `panels`), the controller's addressing and the test cycle. The exchanges are the
// main window's (CabinetHost); this window only wires its controls to them.
class CabinetWindow : public QDialog {
    Q_OBJECT
  public:
    explicit CabinetWindow(QWidget* parent = nullptr);
    ~CabinetWindow() override;

    void setCabinetList(const std::vector<std::string>& names);
    // The main window's exchanges and its "on" and "off" pictures; until then the buttons do
    // nothing.
    void setCabinetHost(CabinetHost* host);

    void startRefreshing();
    void stopRefreshing();
    void switchVvOn() { commandClick(1); }
    void switchVvOff() { commandClick(2); }
    void rollVeToWork() { commandClick(3); }
    void rollVeToControl() { commandClick(4); }
    void switchZrOn() { commandClick(5); }
    void switchZrOff() { commandClick(6); }
    void toggleS41() { signalClick(0); }
    void toggleS42() { signalClick(1); }
    void toggleS43() { signalClick(2); }
    void toggleS51() { signalClick(3); }
    void toggleS52() { signalClick(4); }
    void chooseCabinet();
    void useHostAddressing();
    void useMnemoAddressing();
    void startTestCycle();
    void stopTestCycle();

    QComboBox* cabinetCombo() const { return cabinetCombo_; }
    QPushButton* commandButton(int command) const { return buttons_.at(command - 1); }
    QPushButton* signalButton(int signal) const { return buttons_.at(kHostCommands + signal); }
    // Image1 … Image11: the lamps of commands 1..6, then of signals 0..4.
    IndicatorLamp* indicator(int i) const { return lamps_.at(i); }
    IndicatorLamp* onlineLamp() const { return onlineLamp_; }
    QRadioButton* hostRadio() const { return radioHost_; }
    QRadioButton* mnemoRadio() const { return radioMnemo_; }
    QPushButton* cyclesOnButton() const { return cyclesOn_; }
    QPushButton* cyclesOffButton() const { return cyclesOff_; }
    QString statusText() const { return statusPanel_->text(); }
    // Null until the main window's exchanges are attached.
    TestCycle* cycle() const { return cycle_.get(); }

    // The cabinet the exchanges are for: the list's current text.
    std::string cabinetName() const;
    // What an exchange did: lamps 0..5 are commands 1..6, 6..10 signals 0..4; its failures in
    // boxes.
    void showCabinetUpdate(const CabinetUpdate& update);

  public slots:
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void buildLayout();
    void initialize();
    void commandClick(int command);
    void signalClick(int signal);

    QPointer<CabinetHost> host_;
    std::unique_ptr<TestCycle> cycle_;

    QComboBox* cabinetCombo_ = nullptr;
    std::array<QPushButton*, kHostCommands + kHostSignals> buttons_{};
    std::array<IndicatorLamp*, kHostCommands + kHostSignals> lamps_{};
    IndicatorLamp* onlineLamp_ = nullptr;
    QRadioButton* radioHost_ = nullptr;
    QRadioButton* radioMnemo_ = nullptr;
    QPushButton* cyclesOn_ = nullptr;
    QPushButton* cyclesOff_ = nullptr;
    QLabel* statusPanel_ = nullptr;
};

}  // namespace kvel
