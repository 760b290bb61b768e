// The main window's side of the program settings dialog: fill it, check it, store it, apply it.
#include "link/message_sink.h"
#include "windows/main_window.h"
#include "windows/program_settings_dialog.h"

namespace kvel {

void MainWindow::openProgramSettings() {
    if (programSettings_ == nullptr) return;
    loadProgramSettingsDialog();
    // The poll goes on while the dialog is merely open.
    programSettings_->exec();
}

void MainWindow::loadProgramSettingsDialog() {
    if (programSettings_)
        programSettings_->setFields(loadSettingsForm(*ini_, link_.channelCount()));
}

bool MainWindow::validateProgramSettingsDialog() {
    if (programSettings_ == nullptr) return false;
    const std::string message = validateSettingsForm(programSettings_->fields());
    if (message.empty()) return true;
    showMessage(message, "Ошибка");
    return false;
}

void MainWindow::saveProgramSettingsDialog() {
    if (programSettings_ == nullptr) return;
    const SaveOutcome outcome = saveSettingsForm(programSettings_->fields(), *ini_);
    // The settings stay in force in memory; the user learns that the file did not take them.
    if (!outcome.flushError.empty()) showMessage(outcome.flushError, "Ошибка");
    // The next poll opens the port again with the new line settings.
    if (outcome.serialChanged) linkThread_.post([this] { link_.closePort(); });
}

bool MainWindow::acceptProgramSettings() {
    // No poll may read half-written settings.
    pollTimer_->stop();
    const bool accepted = validateProgramSettingsDialog();
    if (accepted) {
        saveProgramSettingsDialog();
        applyChartSettings();
        applyAxisScaling();
        applyTimeWindow();
    }
    if (!closed_) startPolling();
    return accepted;
}

}  // namespace kvel
