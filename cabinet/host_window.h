#pragma once
#include <QComboBox>
#include <QDialog>
#include <string>
#include <vector>

namespace kvel {

// The cabinet control window. Its cabinet list (`ComboBox1`) is filled once at start-up from
// the key names of section `panels`.
class TFormHost : public QDialog {
    Q_OBJECT
  public:
    explicit TFormHost(QWidget* parent = nullptr);
    void SetCabinetList(const std::vector<std::string>& names);
    QComboBox* ComboBox1() const { return comboBox1_; }

  private:
    QComboBox* comboBox1_;
};

}  // namespace kvel
