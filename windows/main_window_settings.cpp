// The main window's side of the program settings dialog: fill it, check it, store it, apply it.
#include "core/shown_text.h"
#include "link/message_sink.h"
#include "windows/main_window.h"
#include "windows/program_settings_dialog.h"

namespace kvel {

void MainWindow::openProgramSettings() {
    // A module dialog whose load is on the line comes first (the busy cursor says so).
    if (openingModuleSettings_) return;
    programSettingsDialog();  // made when first opened
    loadProgramSettingsDialog();
    // The poll goes on while the dialog is merely open.
    programSettings_->exec();
}

void MainWindow::loadProgramSettingsDialog() {
    if (programSettings_)
        programSettings_->setFields(loadSettingsForm(*ini_, session_->link().channelCount()));
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
    const SettingsForm form = programSettings_->fields();
    storeDisplaySettings(form, *ini_);
    // The settings stay in force in memory; the user learns that the file did not take them.
    if (!ini_->updateFile()) showMessage(shownText(ini_->lastFailure()), "Ошибка");
    if (!lineSettingsDiffer(form, *ini_)) return;
    // Behind the poll under way, which keeps the port and address it began with; the next
    // poll opens the port again with the new line settings.
    session_->linkThread().post<Messages>(
        [this, form] {
            if (storeLineSettings(form, *ini_)) session_->link().closePort();
            if (ini_->updateFile()) return Messages{};
            return Messages{{shownText(ini_->lastFailure()), "Ошибка"}};
        },
        [](Messages& messages) { showMessages(messages); });
}

bool MainWindow::acceptProgramSettings() {
    // No poll may read half-written settings.
    session_->pollTimer()->stop();
    const bool accepted = validateProgramSettingsDialog();
    if (accepted) {
        saveProgramSettingsDialog();
        applyChartSettings();
        applyAxisScaling();
        applyTimeWindow();
        startPublishing();
    }
    if (!closed_) session_->startPolling();
    return accepted;
}

}  // namespace kvel
