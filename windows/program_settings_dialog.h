#pragma once
#include <QDialog>
#include <QPointer>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "core/line_scan.h"
#include "core/settings_form.h"

class QCheckBox;
class QComboBox;
class QFileDialog;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace kvel {

class LinkThread;
class ModuleLink;
class ScanDialog;

// The program settings dialog: created once at start-up and reused. It holds no settings of
// its own: the main window fills it (setFields) before showing it and reads it (Fields) when
// ОК is pressed; its controls' objectNames say their roles.
class ProgramSettingsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ProgramSettingsDialog(QWidget* parent = nullptr);

    void setFields(const SettingsForm& form);
    SettingsForm fields() const;

    // The folder the working directory returns to after the file dialog.
    void setStartupDirectory(std::string folder) { startupDirectory_ = std::move(folder); }

    // The line "Найти модуль…" scans: its thread and link. Without them the button is off.
    void attachLine(LinkThread* thread, ModuleLink* link);
    // "Найти модуль…": scans the line on the link thread from the dialog's own port, address,
    // speed and parity, and opens the scan dialog over this one; its "Применить" puts the
    // module chosen into the fields. None while a scan still has the line.
    ScanDialog* findModule();
    // The port fields and address of a module found on the port `port`.
    void applyFinding(const ScanFinding& finding, const std::string& port);
    ScanDialog* scanDialog() const;
    // The settings a scan tries: the whole line unless narrowed (tests keep their scans short).
    void setScanSpace(ScanSpace space) { scanSpace_ = std::move(space); }

    void prepareForShow();
    // ОК: okPressed, whose receiver checks, stores and applies the fields and closes the
    // dialog with done(Accepted) when it took them. Closed also after a failed check (its
    // message has been shown, the edits are dropped).
    void accept() override;
    void done(int result) override;
    void cancel();
    void chooseLogFile();
    void selectAxisRow(int row);
    void toggleSelectedAxis();

    QTableWidget* axisGrid() const { return axisGrid_; }
    QFileDialog* logFileDialog() const { return logFileDialog_; }
    // The grid's row that a key press toggles.
    int selectedRow() const;

  signals:
    void okPressed();
    // A scan takes the line (the poll must stop) and gives it back (the poll may go on).
    void lineTaken();
    void lineReleased();

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* buildChartGroup();
    QWidget* buildFileGroup();
    QWidget* buildLinkGroup();

    std::string startupDirectory_;
    int selectedRow_ = -1;

    QRadioButton* showAll_ = nullptr;
    QRadioButton* showPeriod_ = nullptr;
    QLineEdit* hours_ = nullptr;
    QLineEdit* minutes_ = nullptr;
    QLineEdit* shift_ = nullptr;
    QRadioButton* scaleAuto_ = nullptr;
    QRadioButton* scaleManual_ = nullptr;
    QLineEdit* leftMin_ = nullptr;
    QLineEdit* leftMax_ = nullptr;
    QLineEdit* rightMin_ = nullptr;
    QLineEdit* rightMax_ = nullptr;
    QTableWidget* axisGrid_ = nullptr;
    QCheckBox* saveToFile_ = nullptr;
    QLineEdit* file_ = nullptr;
    QLineEdit* rate_ = nullptr;
    QLineEdit* publishMqtt_ = nullptr;
    QLineEdit* publishName_ = nullptr;
    QLineEdit* publishMetrics_ = nullptr;
    QComboBox* language_ = nullptr;
    QLineEdit* address_ = nullptr;
    QComboBox* port_ = nullptr;
    QComboBox* speed_ = nullptr;
    QComboBox* parity_ = nullptr;
    QListWidget* channels_ = nullptr;
    QFileDialog* logFileDialog_ = nullptr;
    QPushButton* findModule_ = nullptr;
    LinkThread* linkThread_ = nullptr;
    ModuleLink* link_ = nullptr;
    ScanSpace scanSpace_;
    bool scanning_ = false;  // from the scan's start until its job has ended
    bool closed_ = false;    // done() since ОК was pressed
    QPointer<ScanDialog> scanDialog_;
};

}  // namespace kvel
