#include "windows/dialog_controls.h"

#include <QCoreApplication>

namespace kvel {

QStringList parityTexts() {
    return {QCoreApplication::translate("KvelView", "нет"),
            QCoreApplication::translate("KvelView", "чет(even)"),
            QCoreApplication::translate("KvelView", " нечет(odd)")};
}

QStringList logicTexts() {
    return {QCoreApplication::translate("KvelView", "Негативная"),
            QCoreApplication::translate("KvelView", "Позитивная")};
}

QString functionHint() {
    return QCoreApplication::translate(
        "KvelView", "Описание функций реле смотри в описании регистровой модели модуля Квел");
}

QString linkListHint() {
    return QCoreApplication::translate(
        "KvelView",
        "Сигнализация о наличии связи с датчиками будет учитывать только отмеченные датчики");
}

QLabel* buddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

void setChoice(QComboBox* box, const Choice& choice) {
    box->setPlaceholderText(choice.placeholder ? kPlaceholder : "");
    box->setCurrentIndex(choice.index >= 0 && choice.index < box->count() ? choice.index : -1);
}

Choice getChoice(const QComboBox* box) {
    return Choice{box->currentIndex(), false};
}

QComboBox* makeChoiceBox(const QString& name, const QStringList& items, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

QLineEdit* makeValueEdit(const QString& name, QWidget* parent, const QString& hint) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(12);
    if (!hint.isEmpty()) edit->setToolTip(hint);
    return edit;
}

void addFormRow(QFormLayout* form, const QString& label, QWidget* field) {
    form->addRow(buddyLabel(label, field), field);
}

LinkControls addLinkRows(QWidget* group, const QString& addressName, const QString& speedName,
                         const QString& parityName) {
    auto* form = new QFormLayout(group);
    const LinkControls c{makeValueEdit(addressName, group),
                         makeChoiceBox(speedName, kSpeedTexts, group),
                         makeChoiceBox(parityName, parityTexts(), group)};
    addFormRow(form, QCoreApplication::translate("KvelView", "Адрес модуля"), c.address);
    addFormRow(form, QCoreApplication::translate("KvelView", "Скорость, кбит/с"), c.speed);
    addFormRow(form, QCoreApplication::translate("KvelView", "Паритет"), c.parity);
    return c;
}

void fillCheckList(QListWidget* list, int channels) {
    list->clear();
    for (int n = 1; n <= channels; ++n) {
        auto* item = new QListWidgetItem(
            QCoreApplication::translate("KvelView", "Канал") + QString::number(n), list);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
}

void setChecks(QListWidget* list, const std::vector<bool>& checks) {
    for (int k = 0; k < list->count() && k < static_cast<int>(checks.size()); ++k) {
        list->item(k)->setCheckState(checks[static_cast<std::size_t>(k)] ? Qt::Checked
                                                                         : Qt::Unchecked);
    }
}

std::vector<bool> getChecks(const QListWidget* list) {
    std::vector<bool> checks;
    for (int k = 0; k < list->count(); ++k) {
        checks.push_back(list->item(k)->checkState() == Qt::Checked);
    }
    return checks;
}

void setUpGrid(QTableWidget* grid, const QStringList& headings, int channels) {
    grid->setColumnCount(static_cast<int>(headings.size()));
    grid->setRowCount(channels + 1);
    for (int row = 0; row <= channels; ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            if (grid->item(row, column) == nullptr)
                grid->setItem(row, column, new QTableWidgetItem);
            QTableWidgetItem* item = grid->item(row, column);
            const bool fixed = row == 0 || column == 0;
            item->setFlags(fixed ? Qt::ItemIsEnabled
                                 : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            if (fixed) item->setBackground(grid->palette().button());
        }
    }
    for (int column = 0; column < grid->columnCount(); ++column) {
        grid->item(0, column)->setText(headings[column]);
    }
    for (int n = 1; n <= channels; ++n)
        grid->item(n, 0)->setText(QCoreApplication::translate("KvelView", "Канал") +
                                  QString::number(n));
}

QString cell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void setCell(QTableWidget* grid, int row, int column, const QString& text) {
    if (grid->item(row, column) == nullptr) grid->setItem(row, column, new QTableWidgetItem);
    grid->item(row, column)->setText(text);
}

std::vector<std::string> columnTexts(const QTableWidget* grid, int column) {
    std::vector<std::string> texts;
    for (int row = 1; row < grid->rowCount(); ++row)
        texts.push_back(cell(grid, row, column).toStdString());
    return texts;
}

void setColumnTexts(QTableWidget* grid, int column, const std::vector<std::string>& texts) {
    for (int row = 1; row < grid->rowCount() && row <= static_cast<int>(texts.size()); ++row) {
        setCell(grid, row, column,
                QString::fromStdString(texts[static_cast<std::size_t>(row - 1)]));
    }
}

void fillFunctionBox(QComboBox* box) {
    box->clear();
    for (int f = 1; f <= kRelayFunctions; ++f)
        box->addItem(QCoreApplication::translate("KvelView", "Функция") + QString::number(f));
    box->setCurrentIndex(-1);
}

}  // namespace kvel
