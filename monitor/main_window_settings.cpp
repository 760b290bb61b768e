// The main window's side of the program settings dialog: fill it, check it, store it, apply it.
#include "dialogs/settings_dialog.h"
#include "link/message_sink.h"
#include "monitor/main_window.h"

namespace kvel {

void TForm1::ButtonShowSettingsClick() {
    if (form2_ == nullptr) return;
    LoadSettingsDialog();
    // The poll goes on while the dialog is merely open.
    form2_->exec();
}

void TForm1::LoadSettingsDialog() {
    if (form2_) form2_->SetFields(LoadSettingsForm(*ini_, link_.ChannelCount()));
}

bool TForm1::ValidateSettingsDialog() {
    if (form2_ == nullptr) return false;
    const std::string message = ValidateSettingsForm(form2_->Fields());
    if (message.empty()) return true;
    ShowMessage(message, "Ошибка");
    return false;
}

void TForm1::SaveSettingsDialog() {
    if (form2_ == nullptr) return;
    const TSaveOutcome outcome = SaveSettingsForm(form2_->Fields(), *ini_);
    // The settings stay in force in memory; the user learns that the file did not take them.
    if (!outcome.flushError.empty()) ShowMessage(outcome.flushError, "Ошибка");
    // The next poll opens the port again with the new line settings.
    if (outcome.serialChanged) link_.ClosePort();
}

bool TForm1::SettingsDialogOK() {
    // No poll may read half-written settings.
    timer1_->stop();
    const bool accepted = ValidateSettingsDialog();
    if (accepted) {
        SaveSettingsDialog();
        ApplyChartSettings();
        ApplyAxisScaling();
        ApplyTimeWindow();
    }
    if (!closed_) StartTimer1();
    return accepted;
}

}  // namespace kvel
