#include "windows/cabinet_window.h"

#include <QShowEvent>

#include "link/message_sink.h"

namespace kvel {

CabinetWindow::CabinetWindow(QWidget* parent) : QDialog(parent) {
    buildLayout();
    initialize();
}

CabinetWindow::~CabinetWindow() = default;

void CabinetWindow::initialize() {
    for (int i = 0; i < kHostCommands; ++i) {
        connect(buttons_[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { commandClick(i + 1); });
    }
    for (int s = 0; s < kHostSignals; ++s) {
        connect(buttons_[static_cast<std::size_t>(kHostCommands + s)], &QPushButton::clicked, this,
                [this, s] { signalClick(s); });
    }
    // A choice from the list; a typed name is taken up by the next refresh.
    connect(cabinetCombo_, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        if (host_) host_->setCabinetName(name.toStdString());
    });
    connect(cabinetCombo_, &QComboBox::currentIndexChanged, this, [this] { chooseCabinet(); });
    connect(radioHost_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) useHostAddressing();
    });
    connect(radioMnemo_, &QRadioButton::toggled, this, [this](bool on) {
        if (on) useMnemoAddressing();
    });
    connect(cyclesOn_, &QPushButton::clicked, this, [this] { startTestCycle(); });
    connect(cyclesOff_, &QPushButton::clicked, this, [this] { stopTestCycle(); });
}

void CabinetWindow::setCabinetHost(CabinetHost* host) {
    if (host_) disconnect(host_, nullptr, this, nullptr);
    host_ = host;
    cycle_.reset();
    if (!host_) return;
    host_->setCabinetName(cabinetName());
    connect(host_, &CabinetHost::cabinetUpdated, this, &CabinetWindow::showCabinetUpdate);
    cycle_ = std::make_unique<TestCycle>(host_->ini());
    cycle_->setSecondMs(host_->control().timing().secondMs);
    // As a click of the button; the step's wait starts once its exchanges are over.
    connect(cycle_.get(), &TestCycle::pressWanted, host_, &CabinetHost::pressCommand);
    connect(host_, &CabinetHost::commandFinished, cycle_.get(), &TestCycle::pressFinished);
    connect(cycle_.get(), &TestCycle::statusChanged, statusPanel_, &QLabel::setText);
}

void CabinetWindow::setCabinetList(const std::vector<std::string>& names) {
    const QSignalBlocker quiet(cabinetCombo_);  // filling the list is no choice of the user
    cabinetCombo_->clear();
    for (const std::string& name : names) cabinetCombo_->addItem(QString::fromStdString(name));
    if (host_) host_->setCabinetName(cabinetName());
}

void CabinetWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    cabinetCombo_->setFocus(Qt::OtherFocusReason);
    startRefreshing();
}

void CabinetWindow::startRefreshing() {
    if (!host_) return;
    host_->startRefreshing();
    const bool hostAddressing = addressingOf(host_->ini()) == HostAddressing::Host;
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

void CabinetWindow::done(int result) {
    stopRefreshing();
    QDialog::done(result);
}

void CabinetWindow::stopRefreshing() {
    if (!host_) return;
    host_->stopRefreshing();
    // No switching goes on unseen: the cycle ends now, and the pulse of its running step is
    // still ended by the main window's pulseTimer.
    if (cycle_) cycle_->stopTestCycle();
}

void CabinetWindow::commandClick(int command) {
    if (host_) host_->pressCommand(command);
}

void CabinetWindow::signalClick(int signal) {
    if (host_) host_->toggleSignal(signal);
}

void CabinetWindow::chooseCabinet() {
    if (!host_) return;
    host_->setCabinetName(cabinetName());
    host_->refreshNow();
}

void CabinetWindow::useHostAddressing() {
    if (host_) host_->ini().writeInteger(keys::kHostAddressing, 1);
}

void CabinetWindow::useMnemoAddressing() {
    if (host_) host_->ini().writeInteger(keys::kHostAddressing, 0);
}

void CabinetWindow::startTestCycle() {
    if (cycle_) cycle_->startTestCycle();
}

void CabinetWindow::stopTestCycle() {
    if (cycle_) cycle_->stopTestCycle();
}

std::string CabinetWindow::cabinetName() const {
    return cabinetCombo_->currentText().toStdString();
}

void CabinetWindow::showCabinetUpdate(const CabinetUpdate& update) {
    for (const auto& [i, on] : update.indicators) {
        if (i >= 0 && i < static_cast<int>(lamps_.size())) {
            lamps_[static_cast<std::size_t>(i)]->setOn(on);
        }
    }
    if (update.online) onlineLamp_->setOn(*update.online);
    // The failures after the lamps, as the job met them.
    for (const CabinetFailure& failure : update.failures) {
        showMessage(cabinetFailureText(failure), kCabinetFailureCaption);
    }
}

}  // namespace kvel
