#pragma once
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/mailbox.h"
#include "core/traffic_model.h"
#include "link/traffic_tap.h"

class QLabel;
class QMainWindow;
class QPushButton;
class QTableView;

namespace kvel {

// "Обмен с модулем": the transactions the link's tap keeps, newest at the bottom, with the
// counters above them. It follows the newest row unless the user has scrolled up; it takes
// new transactions only while it is shown and not paused.
class TrafficWindow final : public QWidget, private TrafficListener {
    Q_OBJECT
  public:
    explicit TrafficWindow(TrafficTap& tap, QWidget* parent = nullptr);
    ~TrafficWindow() override;

    void setPaused(bool paused);
    // Forgets the shown transactions and resets the tap's counters.
    void clear();
    // Writes the shown transactions, one line each; false after telling the user why not.
    bool saveTo(const std::string& path);

    const TrafficModel& model() const { return model_; }
    QTableView* table() const { return table_; }
    QString countersText() const;
    // True while the newest row is kept in sight.
    bool following() const { return following_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // The records the link thread has handed over since the last call, shown in order.
    void addArrived();
    void listen(bool on);
    // From the tap, on the thread that recorded (mostly the link thread).
    void transactionRecorded(const TrafficRecord& record) override;
    void add(const TrafficRecord& record);
    void showCounters();
    // Sizes the columns for their usual content; returns their total width.
    int sizeColumns();
    void askAndSave();

    TrafficTap& tap_;
    TrafficModel model_;
    bool paused_ = false;
    bool following_ = true;
    std::vector<QLabel*> counterValues_;
    QString countersText_;
    QPushButton* pause_ = nullptr;
    QTableView* table_ = nullptr;
    // From the link thread, not yet shown.
    Mailbox<TrafficRecord> arrived_{[this] { addArrived(); }};
};

// What opens the traffic window from the main window: Ctrl+T, and a double click on the status
// bar's link panel. It lives as long as the panel.
class TrafficOpeners : public QObject {
    Q_OBJECT
  public:
    TrafficOpeners(QMainWindow& window, QLabel& linkPanel);

  signals:
    void openWanted();
    // The link panel's tool tip is about to show: set it now, with fresh counters.
    void toolTipWanted();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace kvel
