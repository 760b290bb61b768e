#include "monitor/traffic_window.h"

#include <QAction>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <cstring>

#include "config/safe_file.h"
#include "link/message_sink.h"

namespace kvel {
namespace {

constexpr int kColumnWidths[kTrafficColumns] = {170, 60, 70, 55, 120, 200, 260, 80, 300};

// Double click and tool tip of the status bar's link panel.
class LinkPanelFilter final : public QObject {
  public:
    LinkPanelFilter(QObject* parent, std::function<void()> open, std::function<QString()> tip)
        : QObject(parent), open_(std::move(open)), tip_(std::move(tip)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonDblClick) {
            open_();
            return true;
        }
        // Fresh counters each time the tip is about to show; the label then shows it.
        if (event->type() == QEvent::ToolTip) {
            if (auto* widget = qobject_cast<QWidget*>(watched)) widget->setToolTip(tip_());
        }
        return false;
    }

  private:
    std::function<void()> open_;
    std::function<QString()> tip_;
};

}  // namespace

TTrafficWindow::TTrafficWindow(TTrafficTap& tap, QWidget* parent)
    : QWidget(parent, Qt::Window), tap_(tap) {
    setObjectName("FormTraffic");
    setWindowTitle("Обмен с модулем");
    resize(1200, 500);

    counters_ = new QLabel(this);
    counters_->setObjectName("LabelTrafficCounters");
    counters_->setWordWrap(true);
    counters_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    pause_ = new QPushButton("Пауза", this);
    pause_->setObjectName("ButtonTrafficPause");
    pause_->setCheckable(true);
    auto* clear = new QPushButton("Очистить", this);
    clear->setObjectName("ButtonTrafficClear");
    auto* save = new QPushButton("Сохранить...", this);
    save->setObjectName("ButtonTrafficSave");

    table_ = new QTableView(this);
    table_->setObjectName("TrafficTable");
    table_->setModel(&model_);
    table_->verticalHeader()->hide();
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    for (std::size_t c = 0; c < kTrafficColumns; ++c) {
        table_->setColumnWidth(static_cast<int>(c), kColumnWidths[c]);
    }
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(pause_);
    buttons->addWidget(clear);
    buttons->addWidget(save);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(counters_);
    layout->addLayout(buttons);
    layout->addWidget(table_, 1);

    connect(pause_, &QPushButton::toggled, this, &TTrafficWindow::SetPaused);
    connect(clear, &QPushButton::clicked, this, &TTrafficWindow::Clear);
    connect(save, &QPushButton::clicked, this, &TTrafficWindow::AskAndSave);
    QScrollBar* bar = table_->verticalScrollBar();
    // The user scrolling up stops the following; scrolling back to the bottom resumes it.
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { following_ = value >= bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (following_) bar->setValue(maximum);
    });
    ShowCounters();
}

TTrafficWindow::~TTrafficWindow() {
    Listen(false);
}

void TTrafficWindow::Listen(bool on) {
    if (on) {
        tap_.SetListener([this](const TrafficRecord& record) { Add(record); });
    } else {
        tap_.SetListener(nullptr);
    }
}

void TTrafficWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!paused_) model_.Reload(tap_);
    ShowCounters();
    Listen(true);
}

void TTrafficWindow::hideEvent(QHideEvent* event) {
    Listen(false);
    QWidget::hideEvent(event);
}

void TTrafficWindow::Add(const TrafficRecord& record) {
    ShowCounters();
    if (paused_) return;
    QScrollBar* bar = table_->verticalScrollBar();
    const int value = bar->value();
    // Rows scroll one per item: when the oldest row goes, the rows in sight stay in sight.
    if (model_.Append(record) && !following_ && value > 0) bar->setValue(value - 1);
}

void TTrafficWindow::SetPaused(bool paused) {
    if (paused_ == paused) return;
    paused_ = paused;
    if (pause_->isChecked() != paused) pause_->setChecked(paused);
    // What came in meanwhile is shown at once.
    if (!paused_) model_.Reload(tap_);
}

void TTrafficWindow::Clear() {
    tap_.Clear();
    model_.Clear();
    following_ = true;
    ShowCounters();
}

QString TTrafficWindow::CountersText() const {
    return counters_->text();
}

void TTrafficWindow::ShowCounters() {
    counters_->setText(QString::fromStdString(TrafficCountersText(tap_.Counters())));
}

bool TTrafficWindow::SaveTo(const std::string& path) {
    std::string text;
    for (std::size_t i = 0; i < model_.Size(); ++i) text += TrafficLine(model_.Row(i)) + "\n";
    const int error = ReplaceFile(path, text);
    if (error != 0) {
        ShowMessage("Ошибка записи файла " + path + ": " + std::strerror(error), "Ошибка");
        return false;
    }
    return true;
}

void TTrafficWindow::AskAndSave() {
    const QString path = QFileDialog::getSaveFileName(this, "Сохранить обмен", "traffic.txt",
                                                      "Текстовые файлы (*.txt);;Все файлы (*)");
    if (!path.isEmpty()) SaveTo(path.toStdString());
}

void InstallTrafficOpeners(QMainWindow& window, QLabel& linkPanel, std::function<void()> open,
                           std::function<QString()> toolTip) {
    auto* action = new QAction("Обмен с модулем", &window);
    action->setObjectName("ActionTraffic");
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, &window, open);
    linkPanel.installEventFilter(new LinkPanelFilter(&linkPanel, open, std::move(toolTip)));
}

}  // namespace kvel
