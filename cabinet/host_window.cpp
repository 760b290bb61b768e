#include "cabinet/host_window.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace kvel {

TFormHost::TFormHost(QWidget* parent) : QDialog(parent) {
    setObjectName("FormHost");
    setWindowTitle("Управление шкафами");
    setModal(true);
    auto* group = new QGroupBox("Текущий шкаф", this);
    comboBox1_ = new QComboBox(group);
    comboBox1_->setObjectName("ComboBox1");
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(comboBox1_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch();
}

void TFormHost::SetCabinetList(const std::vector<std::string>& names) {
    comboBox1_->clear();
    for (const std::string& name : names) comboBox1_->addItem(QString::fromStdString(name));
}

}  // namespace kvel
