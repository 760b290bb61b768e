#include "dialogs/module_settings_dialog.h"

namespace kvel {
namespace {

// Both dialogs: fixed frame with only the system menu, 1200 × 650, closed to leave.
void SetUpModuleDialog(QDialog& dialog, const char* name) {
    dialog.setObjectName(name);
    dialog.setWindowTitle("Настройки модуля");
    dialog.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    dialog.setFixedSize(1200, 650);
    dialog.setModal(true);
}

}  // namespace

TFormDisplaySelectDlg::TFormDisplaySelectDlg(QWidget* parent) : QDialog(parent) {
    SetUpModuleDialog(*this, "FormDisplaySelectDlg");
}

TFormDisplaySelectDlgNew::TFormDisplaySelectDlgNew(QWidget* parent) : QDialog(parent) {
    SetUpModuleDialog(*this, "FormDisplaySelectDlgNew");
}

}  // namespace kvel
