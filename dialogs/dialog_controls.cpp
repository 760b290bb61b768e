#include "dialogs/dialog_controls.h"

namespace kvel {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QString& text) {
    return text.toStdString();
}

QLabel* BuddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

void SetChoice(QComboBox* box, const TChoice& choice) {
    box->setPlaceholderText(choice.placeholder ? kPlaceholder : "");
    box->setCurrentIndex(choice.index >= 0 && choice.index < box->count() ? choice.index : -1);
}

TChoice GetChoice(const QComboBox* box) {
    return TChoice{box->currentIndex(), false};
}

QComboBox* MakeChoiceBox(const QString& name, const QStringList& items, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

QLineEdit* MakeValueEdit(const QString& name, QWidget* parent, const char* hint) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(12);
    if (hint) edit->setToolTip(hint);
    return edit;
}

void AddFormRow(QFormLayout* form, const QString& label, QWidget* field) {
    form->addRow(BuddyLabel(label, field), field);
}

LinkControls AddLinkRows(QWidget* group, const QString& addressName, const QString& speedName,
                         const QString& parityName) {
    auto* form = new QFormLayout(group);
    const LinkControls c{MakeValueEdit(addressName, group),
                         MakeChoiceBox(speedName, kSpeedTexts, group),
                         MakeChoiceBox(parityName, kParityTexts, group)};
    AddFormRow(form, "Адрес модуля", c.address);
    AddFormRow(form, "Скорость, кбит/с", c.speed);
    AddFormRow(form, "Паритет", c.parity);
    return c;
}

void FillCheckList(QListWidget* list, int channels) {
    list->clear();
    for (int n = 1; n <= channels; ++n) {
        auto* item = new QListWidgetItem("Канал" + QString::number(n), list);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
}

void SetChecks(QListWidget* list, const std::vector<bool>& checks) {
    for (int k = 0; k < list->count() && k < static_cast<int>(checks.size()); ++k) {
        list->item(k)->setCheckState(checks[static_cast<std::size_t>(k)] ? Qt::Checked
                                                                         : Qt::Unchecked);
    }
}

std::vector<bool> GetChecks(const QListWidget* list) {
    std::vector<bool> checks;
    for (int k = 0; k < list->count(); ++k) {
        checks.push_back(list->item(k)->checkState() == Qt::Checked);
    }
    return checks;
}

void SetUpGrid(QTableWidget* grid, const QStringList& headings, int channels) {
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
    for (int n = 1; n <= channels; ++n) grid->item(n, 0)->setText("Канал" + QString::number(n));
}

QString Cell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void SetCell(QTableWidget* grid, int row, int column, const QString& text) {
    if (grid->item(row, column) == nullptr) grid->setItem(row, column, new QTableWidgetItem);
    grid->item(row, column)->setText(text);
}

std::vector<std::string> Column(const QTableWidget* grid, int column) {
    std::vector<std::string> texts;
    for (int row = 1; row < grid->rowCount(); ++row) texts.push_back(S(Cell(grid, row, column)));
    return texts;
}

void SetColumn(QTableWidget* grid, int column, const std::vector<std::string>& texts) {
    for (int row = 1; row < grid->rowCount() && row <= static_cast<int>(texts.size()); ++row) {
        SetCell(grid, row, column, Q(texts[static_cast<std::size_t>(row - 1)]));
    }
}

void FillFunctionBox(QComboBox* box) {
    box->clear();
    for (int f = 1; f <= kRelayFunctions; ++f) box->addItem("Функция" + QString::number(f));
    box->setCurrentIndex(-1);
}

}  // namespace kvel
