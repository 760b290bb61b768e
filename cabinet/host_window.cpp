#include "cabinet/host_window.h"

#include <QShowEvent>

namespace kvel {

TFormHost::TFormHost(QWidget* parent) : QDialog(parent) {
    buildLayout();
    initialize();
}

TFormHost::~TFormHost() {
    if (host_) host_->SetView(nullptr);
}

void TFormHost::initialize() {
    for (int i = 0; i < kHostCommands; ++i) {
        connect(buttons_[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { CommandClick(i + 1); });
    }
    for (int s = 0; s < kHostSignals; ++s) {
        connect(buttons_[static_cast<std::size_t>(kHostCommands + s)], &QPushButton::clicked, this,
                [this, s] { SignalClick(s); });
    }
    // A choice from the list; a typed name is taken up by the next refresh.
    connect(cabinetCombo_, &QComboBox::currentIndexChanged, this, [this] { chooseCabinet(); });
    connect(radioHost_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) useHostAddressing();
    });
    connect(radioMnemo_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) useMnemoAddressing();
    });
    connect(cyclesOn_, &QPushButton::clicked, this, [this] { startTestCycle(); });
    connect(cyclesOff_, &QPushButton::clicked, this, [this] { stopTestCycle(); });
    for (QLabel* lamp : lamps_) ShowLamp(lamp, false);
    ShowLamp(onlineLamp_, false);
}

void TFormHost::SetCabinetHost(TCabinetHost* host, const QPixmap& on, const QPixmap& off) {
    if (host_) host_->SetView(nullptr);
    on_ = on;
    off_ = off;
    for (QLabel* lamp : lamps_) ShowLamp(lamp, IndicatorOn(lamp));
    ShowLamp(onlineLamp_, IndicatorOn(onlineLamp_));
    host_ = host;
    cycle_.reset();
    if (!host_) return;
    host_->SetView(this);
    TTestCycle::Hooks hooks;
    hooks.press = [this](int command) { CommandButton(command)->click(); };
    hooks.status = [this](const std::string& text) {
        statusPanel_->setText(QString::fromStdString(text));
    };
    cycle_ = std::make_unique<TTestCycle>(host_->Ini(), std::move(hooks));
    cycle_->SetSecondMs(host_->Control().Timing().secondMs);
}

void TFormHost::SetCabinetList(const std::vector<std::string>& names) {
    const QSignalBlocker quiet(cabinetCombo_);  // filling the list is no choice of the user
    cabinetCombo_->clear();
    for (const std::string& name : names) cabinetCombo_->addItem(QString::fromStdString(name));
}

void TFormHost::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    cabinetCombo_->setFocus(Qt::OtherFocusReason);
    startRefreshing();
}

void TFormHost::startRefreshing() {
    if (!host_) return;
    host_->refreshTimer()->start();
    const bool hostAddressing = AddressingOf(host_->Ini()) == HostAddressing::Host;
    QRadioButton* radio = hostAddressing ? radioHost_ : radioMnemo_;
    {
        const QSignalBlocker quiet(radio);
        radio->setChecked(true);
    }
    // Checking a radio button runs its click handler, which writes the same value back.
    if (hostAddressing) {
        useHostAddressing();
    } else {
        useMnemoAddressing();
    }
}

void TFormHost::done(int result) {
    stopRefreshing();
    QDialog::done(result);
}

void TFormHost::stopRefreshing() {
    if (!host_) return;
    host_->refreshTimer()->stop();
    // No switching goes on unseen: the cycle ends at the next pass of its wait, and the pulse
    // of its running step is still ended by the main window's pulseTimer.
    if (cycle_) cycle_->stopTestCycle();
}

void TFormHost::CommandClick(int command) {
    if (host_) host_->Control().CommandClick(command);
}

void TFormHost::SignalClick(int signal) {
    if (host_) host_->Control().SignalClick(signal);
}

void TFormHost::chooseCabinet() {
    if (host_) host_->Control().Refresh();
}

void TFormHost::useHostAddressing() {
    if (host_) host_->Ini().WriteInteger("connect", "host", 1);
}

void TFormHost::useMnemoAddressing() {
    if (host_) host_->Ini().WriteInteger("connect", "host", 0);
}

void TFormHost::startTestCycle() {
    if (cycle_) cycle_->startTestCycle();
}

void TFormHost::stopTestCycle() {
    if (cycle_) cycle_->stopTestCycle();
}

std::string TFormHost::CabinetName() const {
    return cabinetCombo_->currentText().toStdString();
}

void TFormHost::SetIndicator(int i, bool on) {
    if (i >= 0 && i < static_cast<int>(lamps_.size())) {
        ShowLamp(lamps_[static_cast<std::size_t>(i)], on);
    }
}

void TFormHost::SetOnlineIndicator(bool on) {
    ShowLamp(onlineLamp_, on);
}

bool TFormHost::IndicatorOn(const QLabel* indicator) {
    return indicator->property("on").toBool();
}

void TFormHost::ShowLamp(QLabel* lamp, bool on) {
    lamp->setPixmap(on ? on_ : off_);
    lamp->setProperty("on", on);
}

}  // namespace kvel
