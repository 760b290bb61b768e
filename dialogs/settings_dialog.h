#pragma once
#include <QDialog>

namespace kvel {

// The program settings dialog: created once at start-up and reused.
class TForm2 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm2(QWidget* parent = nullptr);
};

}  // namespace kvel
