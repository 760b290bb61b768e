#pragma once
#include <QDialog>

namespace kvel {

// The module settings dialog of the first generation (type codes below 200 and 220).
class TFormDisplaySelectDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TFormDisplaySelectDlg(QWidget* parent = nullptr);
};

// The module settings dialog of the second generation (two links, MB1 and MB2).
class TFormDisplaySelectDlgNew : public QDialog {
    Q_OBJECT
  public:
    explicit TFormDisplaySelectDlgNew(QWidget* parent = nullptr);
};

}  // namespace kvel
