#pragma once
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QString>
#include <QTableWidget>
#include <string>
#include <vector>

#include "link/module_config.h"
#include "windows/named.h"

namespace kvel {

// Small pieces shared by the module settings dialogs: controls named as the program calls
// them, and the moves between controls and the plain field structs.

// A label for a control, the control as its buddy.
QLabel* buddyLabel(const QString& text, QWidget* buddy);

// A box shows its selected item; with no selection it shows "--" after a failed read and
// nothing otherwise.
void setChoice(QComboBox* box, const Choice& choice);
Choice getChoice(const QComboBox* box);
QComboBox* makeChoiceBox(const QString& name, const QStringList& items, QWidget* parent);
// An edit for one register's value, with its hint if it has one.
QLineEdit* makeValueEdit(const QString& name, QWidget* parent, const QString& hint = {});
// A row of a form: the label, its buddy the field.
void addFormRow(QFormLayout* form, const QString& label, QWidget* field);

// A link's address, speed and parity, on the rows of a form laid out in `group`.
struct LinkControls {
    QLineEdit* address;
    QComboBox* speed;
    QComboBox* parity;
};
LinkControls addLinkRows(QWidget* group, const QString& addressName, const QString& speedName,
                         const QString& parityName);

// Check lists: one checkable item per channel.
void fillCheckList(QListWidget* list, int channels);
void setChecks(QListWidget* list, const std::vector<bool>& checks);
std::vector<bool> getChecks(const QListWidget* list);

// A grid whose row 0 and column 0 are read-only cells, so row n is channel n.
void setUpGrid(QTableWidget* grid, const QStringList& headings, int channels);
QString cell(const QTableWidget* grid, int row, int column);
void setCell(QTableWidget* grid, int row, int column, const QString& text);
// Column `column`, rows 1 … n, as texts; and back (rows beyond the grid are skipped).
std::vector<std::string> columnTexts(const QTableWidget* grid, int column);
void setColumnTexts(QTableWidget* grid, int column, const std::vector<std::string>& texts);

inline const QStringList kSpeedTexts = {"9600", "19200", "38400", "57600", "115200"};
// In the language of the windows.
QStringList parityTexts();
QStringList logicTexts();
QString functionHint();
QString linkListHint();

// "Функция1" … "Функция22" into a relay function box.
void fillFunctionBox(QComboBox* box);

}  // namespace kvel
