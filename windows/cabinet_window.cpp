#include "windows/cabinet_window.h"

#include <QShowEvent>

namespace kvel {

CabinetWindow::CabinetWindow(QWidget* parent) : QDialog(parent) {
    buildLayout();
    initialize();
}

CabinetWindow::~CabinetWindow() {
    if (host_) host_->setView(nullptr);
}

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
    if (host_) host_->setView(nullptr);
    host_ = host;
    cycle_.reset();
    if (!host_) return;
    host_->setView(this);
    TestCycle::Hooks hooks;
    // As a click of the button; `done` follows once its exchanges are over.
    hooks.press = [this](int command, std::function<void()> done) {
        if (host_) {
            host_->pressCommand(command, std::move(done));
        } else {
            done();
        }
    };
    hooks.status = [this](const std::string& text) {
        statusPanel_->setText(QString::fromStdString(text));
    };
    cycle_ = std::make_unique<TestCycle>(host_->ini(), std::move(hooks));
    cycle_->setSecondMs(host_->control().timing().secondMs);
}

void CabinetWindow::setCabinetList(const std::vector<std::string>& names) {
    const QSignalBlocker quiet(cabinetCombo_);  // filling the list is no choice of the user
    cabinetCombo_->clear();
    for (const std::string& name : names) cabinetCombo_->addItem(QString::fromStdString(name));
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
    if (host_) host_->refreshNow();
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

void CabinetWindow::setIndicator(int i, bool on) {
    if (i >= 0 && i < static_cast<int>(lamps_.size())) {
        lamps_[static_cast<std::size_t>(i)]->setOn(on);
    }
}

void CabinetWindow::setOnlineIndicator(bool on) {
    onlineLamp_->setOn(on);
}

}  // namespace kvel
