#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "tests/common/temp_dir.h"
#include "windows/file_choosers.h"
#include "windows/program_settings_dialog.h"

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << text.toStdString();
}

namespace kvel {
namespace {

namespace fs = std::filesystem;

class SettingsDialogTest : public ::testing::Test {
  protected:
    SettingsForm Stored(const std::string& ini = "", int channels = 15) {
        test::WriteBytes(dir.File("mem.ini"), ini);
        return loadSettingsForm(MemIni(dir.File("mem.ini")), channels);
    }
    template <typename W>
    W* find(const char* name) {
        W* widget = dialog.findChild<W*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString Axis(int row) { return dialog.axisGrid()->item(row, 1)->text(); }

    test::TempDir dir;
    ProgramSettingsDialog dialog;
};

TEST_F(SettingsDialogTest, ControlsCaptionsItemsAndHints) {
    EXPECT_EQ(dialog.windowTitle(), "Настройки программы");
    EXPECT_TRUE(dialog.isModal());
    EXPECT_EQ(find<QRadioButton>("showAllRadio")->text(), "Показывать все");
    EXPECT_EQ(find<QRadioButton>("showPeriodRadio")->toolTip(),
              "Показывать по оси X окно размером, установленным ниже");
    EXPECT_EQ(find<QRadioButton>("scaleManualRadio")->text(), "Масштаб вручную");
    EXPECT_EQ(find<QCheckBox>("saveToFileCheck")->text(), "Сохранять в файл  текущие измерения");
    EXPECT_EQ(find<QPushButton>("chooseLogFileButton")->toolTip(),
              "Указать имя файла через диалог сохранения файла");
    EXPECT_EQ(find<QPushButton>("okButton")->text(), "ОК");
    EXPECT_EQ(find<QPushButton>("cancelButton")->text(), "Отмена");
    for (const char* name :
         {"windowHoursEdit", "windowMinutesEdit", "shiftEdit", "leftMinEdit", "leftMaxEdit",
          "rightMinEdit", "rightMaxEdit", "logFileEdit", "pollPeriodEdit", "addressEdit"}) {
        find<QLineEdit>(name);
    }
    find<QListWidget>("chartChannelList");

    QComboBox* ports = find<QComboBox>("portCombo");
    EXPECT_TRUE(ports->isEditable());
    ASSERT_GE(ports->count(), 50);
    EXPECT_EQ(ports->itemText(0), "COM1");
    EXPECT_EQ(ports->itemText(49), "COM50");
    QComboBox* speeds = find<QComboBox>("speedCombo");
    ASSERT_EQ(speeds->count(), 5);
    EXPECT_EQ(speeds->itemText(4), "115200");
    QComboBox* parities = find<QComboBox>("parityCombo");
    ASSERT_EQ(parities->count(), 3);
    EXPECT_EQ(parities->itemText(2), " нечет(odd)");

    QFileDialog* save = dialog.logFileDialog();
    EXPECT_EQ(save->objectName(), "logFileDialog");
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save->nameFilters(), QStringList{"Текстовые файлы (*.txt)"});
    EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));
}

// What loadProgramSettingsDialog puts into the controls comes back out unchanged, including a port
// that is none of the items and a speed that is none of the list's.
TEST_F(SettingsDialogTest, FieldsRoundTripThroughTheControls) {
    SettingsForm form = Stored(
        "[connect]\nport=/dev/serial/by-id/usb-gone\nspeed=12\nparity=1\n"
        "[axis]\n3=R\n[display]\nd2=1\n[sensors]\n2=Шина А\n[diag]\nshowall=1\n",
        30);
    dialog.setFields(form);
    EXPECT_TRUE(find<QRadioButton>("showAllRadio")->isChecked());
    EXPECT_EQ(find<QComboBox>("portCombo")->currentText(), "/dev/serial/by-id/usb-gone");
    EXPECT_EQ(find<QComboBox>("speedCombo")->currentIndex(), -1);
    EXPECT_EQ(find<QComboBox>("speedCombo")->currentText(), "");
    EXPECT_EQ(find<QComboBox>("parityCombo")->currentText(), "чет(even)");
    QListWidget* list = find<QListWidget>("chartChannelList");
    ASSERT_EQ(list->count(), 30);
    EXPECT_EQ(list->item(1)->text(), "Шина А");
    EXPECT_EQ(list->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(dialog.axisGrid()->rowCount(), 16);
    EXPECT_EQ(dialog.axisGrid()->item(15, 0)->text(), "Канал15");
    EXPECT_EQ(Axis(3), "ПРАВАЯ");

    const SettingsForm back = dialog.fields();
    EXPECT_EQ(back.port, form.port);
    EXPECT_EQ(back.speedIndex, -1);
    EXPECT_EQ(back.parityIndex, 1);
    EXPECT_EQ(back.axis, form.axis);
    EXPECT_TRUE(back.showAll);
    EXPECT_EQ(back.hours, form.hours);
    EXPECT_EQ(back.address, form.address);
    ASSERT_EQ(back.channels.size(), 30u);
    EXPECT_TRUE(back.channels[1].checked);
    EXPECT_FALSE(back.channels[2].checked);

    // A listed port is selected as an item; a later opening with a stored 15-channel list
    // replaces the items.
    dialog.setFields(Stored("[connect]\nport=COM3\n"));
    EXPECT_EQ(find<QComboBox>("portCombo")->currentIndex(), 2);
    EXPECT_EQ(find<QComboBox>("speedCombo")->currentIndex(), 0);
    EXPECT_EQ(find<QListWidget>("chartChannelList")->count(), 15);
}

// A typed port name is stored as typed: no completion changes it behind the user's back.
TEST_F(SettingsDialogTest, TypedPortIsTakenAsTyped) {
    dialog.setFields(Stored(""));
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QComboBox* ports = find<QComboBox>("portCombo");
    for (const char* typed : {"com5", "COM", "/dev/ttyUSB9"}) {
        ports->lineEdit()->clear();
        ports->lineEdit()->setFocus();
        QTest::keyClicks(ports->lineEdit(), typed);
        EXPECT_EQ(dialog.fields().port, typed);
    }
    dialog.reject();
}

// Any character key toggles the axis of the selected row; other keys move as usual.
TEST_F(SettingsDialogTest, CharacterKeysToggleTheSelectedRow) {
    dialog.setFields(Stored("[axis]\n4=R\n"));
    dialog.show();
    QTableWidget* grid = dialog.axisGrid();
    EXPECT_EQ(grid->item(0, 0)->text(), "Канал");
    EXPECT_EQ(grid->item(0, 1)->text(), "Ось");
    grid->setFocus();

    // Nothing selected yet: the current row, row 1.
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(Axis(1), "ПРАВАЯ");
    QTest::keyClick(grid, Qt::Key_A);
    EXPECT_EQ(Axis(1), "ЛЕВАЯ");
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(Axis(1), "ПРАВАЯ");

    grid->setCurrentCell(4, 1);
    EXPECT_EQ(dialog.selectedRow(), 4);
    QTest::keyClick(grid, Qt::Key_Enter);
    EXPECT_EQ(Axis(4), "ЛЕВАЯ");
    EXPECT_EQ(Axis(1), "ПРАВАЯ");
    // Keys without a character do not toggle; the arrow moves the selection.
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(dialog.selectedRow(), 5);
    EXPECT_EQ(Axis(4), "ЛЕВАЯ");
    EXPECT_EQ(Axis(5), "ЛЕВАЯ");
    QTest::keyClick(grid, Qt::Key_7);
    EXPECT_EQ(Axis(5), "ПРАВАЯ");

    // Any other text becomes "ПРАВАЯ"; the heading row cannot be chosen.
    grid->item(6, 1)->setText("мусор");
    grid->setCurrentCell(6, 0);
    QTest::keyClick(grid, Qt::Key_X);
    EXPECT_EQ(Axis(6), "ПРАВАЯ");
    grid->setCurrentCell(0, 1);
    EXPECT_EQ(dialog.selectedRow(), 6);
    dialog.reject();
}

TEST_F(SettingsDialogTest, FileDialogAppendsTxtOnceAndReturnsToTheStartupFolder) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir.Path());
    dialog.setStartupDirectory(dir.Path().string());
    dialog.setFields(Stored("[file]\nname=" + dir.File("old.txt") + "\n"));
    dialog.prepareForShow();
    EXPECT_EQ(fs::path(dialog.logFileDialog()->directory().absolutePath().toStdString()),
              dir.Path());

    std::optional<std::string> answer = dir.File("data");
    setLogFileChooser([&](QFileDialog&) {
        // The file dialog may leave the process in another folder.
        fs::current_path(fs::temp_directory_path());
        return answer;
    });
    QLineEdit* file = find<QLineEdit>("logFileEdit");
    dialog.chooseLogFile();
    EXPECT_EQ(file->text().toStdString(), dir.File("data.txt"));
    EXPECT_EQ(fs::current_path(), dir.Path());

    answer = dir.File("log.txt");
    dialog.chooseLogFile();
    EXPECT_EQ(file->text().toStdString(), dir.File("log.txt"));

    answer.reset();  // cancelled: nothing changes
    dialog.chooseLogFile();
    EXPECT_EQ(file->text().toStdString(), dir.File("log.txt"));

    // A name without a folder is a file of the working folder: the dialog opens there.
    dialog.setStartupDirectory(fs::temp_directory_path().string());
    file->setText("log.txt");
    dialog.prepareForShow();
    EXPECT_EQ(fs::path(dialog.logFileDialog()->directory().absolutePath().toStdString()),
              fs::temp_directory_path());
    fs::current_path(previous);
    setLogFileChooser({});
}

TEST_F(SettingsDialogTest, OkClosesAlsoWhenTheCheckFails) {
    for (const bool accepted : {true, false}) {
        int calls = 0;
        const QMetaObject::Connection check =
            QObject::connect(&dialog, &ProgramSettingsDialog::okPressed, [&] {
                ++calls;
                if (accepted) dialog.done(QDialog::Accepted);
            });
        dialog.show();
        ASSERT_TRUE(dialog.isVisible());
        find<QPushButton>("okButton")->click();
        EXPECT_EQ(calls, 1);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), accepted ? QDialog::Accepted : QDialog::Rejected);
        QObject::disconnect(check);
    }
    int calls = 0;
    QObject::connect(&dialog, &ProgramSettingsDialog::okPressed, [&] { ++calls; });
    dialog.show();
    find<QPushButton>("cancelButton")->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace kvel
