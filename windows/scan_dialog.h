#pragma once
#include <QDialog>
#include <memory>
#include <optional>

#include "core/line_scan.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace kvel {

// "Поиск модуля": follows a scan that runs on the link thread (probes done of all, the setting
// being tried, the time left), lists what it finds, and gives the module chosen with
// "Применить". "Отмена" stops a running scan and keeps what it found; once the scan has
// ended it closes the dialog, as Escape always does (stopping the scan first).
class ScanDialog : public QDialog {
    Q_OBJECT
  public:
    ScanDialog(std::shared_ptr<LineScan> scan, QWidget* parent = nullptr);

    // The scan's job is over: its last state is shown and "Отмена" now closes.
    void scanEnded();
    bool scanRunning() const { return running_; }
    // The module of the selected row, if it is one.
    std::optional<ScanFinding> chosen() const;

    QProgressBar* progressBar() const { return progress_; }
    QLabel* stateLabel() const { return state_; }
    QTableWidget* foundList() const { return found_; }
    QPushButton* applyButton() const { return apply_; }
    QPushButton* cancelButton() const { return cancel_; }

    void reject() override;

  private:
    void refresh();
    void showFindings(const std::vector<ScanFinding>& findings);
    void stopOrClose();
    void apply();

    std::shared_ptr<LineScan> scan_;
    std::vector<ScanFinding> findings_;  // one per row of the list
    bool running_ = true;
    QProgressBar* progress_ = nullptr;
    QLabel* state_ = nullptr;
    QTableWidget* found_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace kvel
