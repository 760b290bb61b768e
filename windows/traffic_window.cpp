#include "windows/traffic_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "config/safe_file.h"
#include "core/shown_text.h"
#include "link/message_sink.h"

namespace kvel {
namespace {

constexpr int kReplyColumn = 6;
constexpr int kCounterColumns = 5;  // label and value pairs per row of the counters
constexpr int kCellPadding = 16;    // the cell's margins and its grid line, with room to spare

// What each column usually holds at its widest, measured to size it; true for the
// fixed-width font of the bytes. The reply bytes have no bound: the column takes what is left,
// at least a write's confirmation, and the tool tip shows the rest.
struct ColumnSample {
    const char* text;
    bool bytes;
};
constexpr ColumnSample kColumnSamples[kTrafficColumns] = {
    {"00.00.00 00:00:00.000", false},
    {"16", false},
    {"65535", false},
    {"65535", false},
    {"00 00 00 00 00 00 00", true},  // a late one-register reply
    {"00 00 00 00 00 00 00 00", true},
    {"00 00 00 00 00 00 00 00", true},
    {"9999.9", false},
    {"9999.9", false},
    // The longest text a transaction gives (translated where it is measured).
    {"Ошибочный адрес модуля в ответе от модуля при записи", false},
};

}  // namespace

TrafficWindow::TrafficWindow(TrafficTap& tap, QWidget* parent)
    : QWidget(parent, Qt::Window), tap_(tap) {
    setObjectName("trafficWindow");
    setWindowTitle(tr("Обмен с модулем"));
    // The counters in a fixed grid: growing numbers neither move them nor wrap them onto
    // another line, so the table below stays where it is.
    auto* counters = new QGridLayout();
    counters->setHorizontalSpacing(6);
    const QFontMetrics metrics = fontMetrics();
    const std::vector<std::pair<std::string, std::string>> fields =
        trafficCounterFields(tap_.counters(), translatedText);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const int row = static_cast<int>(i) / kCounterColumns;
        const int column = 2 * (static_cast<int>(i) % kCounterColumns);
        counters->addWidget(new QLabel(QString::fromStdString(fields[i].first) + ":", this), row,
                            column);
        auto* value = new QLabel(this);
        value->setObjectName("counterValue" + QString::number(i));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // Room for ten digits, or for both reply times.
        const bool times = i + 1 == fields.size();
        const QString widest = QString::fromStdString(
            times ? shownText(QT_TRANSLATE_NOOP("KvelView", "ср. %1 мс, макс. %2 мс"),
                              {"9999.9", "9999.9"})
                  : "0000000000");
        value->setMinimumWidth(metrics.horizontalAdvance(widest));
        counters->addWidget(value, row, column + 1);
        counterValues_.push_back(value);
    }
    counters->setColumnStretch(2 * kCounterColumns, 1);

    pause_ = new QPushButton(tr("Пауза"), this);
    pause_->setObjectName("pauseButton");
    pause_->setCheckable(true);
    auto* clear = new QPushButton(tr("Очистить"), this);
    clear->setObjectName("clearButton");
    auto* save = new QPushButton(tr("Сохранить..."), this);
    save->setObjectName("saveButton");

    table_ = new QTableView(this);
    table_->setObjectName("trafficTable");
    table_->setModel(&model_);
    table_->verticalHeader()->hide();
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    const int columnsWidth = sizeColumns();

    auto* buttons = new QHBoxLayout();
    buttons->addWidget(pause_);
    buttons->addWidget(clear);
    buttons->addWidget(save);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(counters);
    layout->addLayout(buttons);
    layout->addWidget(table_, 1);
    // Every column whole at the opening size.
    const QMargins margins = layout->contentsMargins();
    resize(columnsWidth + 2 * table_->frameWidth() +
               style()->pixelMetric(QStyle::PM_ScrollBarExtent) + margins.left() + margins.right() +
               4,
           500);

    connect(pause_, &QPushButton::toggled, this, &TrafficWindow::setPaused);
    connect(clear, &QPushButton::clicked, this, &TrafficWindow::clear);
    connect(save, &QPushButton::clicked, this, &TrafficWindow::askAndSave);
    QScrollBar* bar = table_->verticalScrollBar();
    // The user scrolling up stops the following; scrolling back to the bottom resumes it.
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { following_ = value >= bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (following_) bar->setValue(maximum);
    });
    showCounters();
}

TrafficWindow::~TrafficWindow() {
    listen(false);
}

void TrafficWindow::listen(bool on) {
    if (on) {
        tap_.addListener(this);
    } else {
        tap_.removeListener(this);
    }
}

void TrafficWindow::transactionRecorded(const TrafficRecord& record) {
    // The record is shown by this window's thread.
    if (QThread::currentThread() == thread()) {
        add(record);
    } else {
        arrived_.push(record);
    }
}

void TrafficWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!paused_) model_.reload(tap_);
    showCounters();
    listen(true);
}

void TrafficWindow::hideEvent(QHideEvent* event) {
    listen(false);
    QWidget::hideEvent(event);
}

void TrafficWindow::addArrived() {
    // One call shows all that arrived before it runs.
    for (const TrafficRecord& record : arrived_.takeAll()) add(record);
}

void TrafficWindow::add(const TrafficRecord& record) {
    showCounters();
    if (paused_) return;
    QScrollBar* bar = table_->verticalScrollBar();
    const int value = bar->value();
    // Rows scroll one per item: when the oldest row goes, the rows in sight stay in sight.
    if (model_.append(record) && !following_ && value > 0) bar->setValue(value - 1);
}

void TrafficWindow::setPaused(bool paused) {
    if (paused_ == paused) return;
    paused_ = paused;
    if (pause_->isChecked() != paused) pause_->setChecked(paused);
    // What came in meanwhile is shown at once.
    if (!paused_) model_.reload(tap_);
}

void TrafficWindow::clear() {
    // What ended before, still on its way here, is not shown after the clearing.
    model_.clear(tap_.clear());
    following_ = true;
    showCounters();
}

int TrafficWindow::sizeColumns() {
    const QFontMetrics text = table_->fontMetrics();
    const QFontMetrics bytes(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QHeaderView* header = table_->horizontalHeader();
    int total = 0;
    for (int c = 0; c < static_cast<int>(kTrafficColumns); ++c) {
        const ColumnSample& sample = kColumnSamples[c];
        const int width =
            std::max((sample.bytes ? bytes : text)
                         .horizontalAdvance(QCoreApplication::translate("KvelView", sample.text)),
                     text.horizontalAdvance(
                         model_.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString())) +
            kCellPadding;
        table_->setColumnWidth(c, width);
        total += width;
    }
    header->setStretchLastSection(false);
    header->setSectionResizeMode(kReplyColumn, QHeaderView::Stretch);
    return total;
}

QString TrafficWindow::countersText() const {
    return countersText_;
}

void TrafficWindow::showCounters() {
    const TrafficCounters counters = tap_.counters();
    countersText_ = QString::fromStdString(trafficCountersText(counters, translatedText));
    const std::vector<std::pair<std::string, std::string>> fields =
        trafficCounterFields(counters, translatedText);
    for (std::size_t i = 0; i < fields.size() && i < counterValues_.size(); ++i) {
        counterValues_[i]->setText(QString::fromStdString(fields[i].second));
    }
}

bool TrafficWindow::saveTo(const std::string& path) {
    // The first line names the columns, as the table shows them.
    TrafficFields titles;
    for (std::size_t c = 0; c < kTrafficColumns; ++c)
        titles[c] = translatedText(trafficColumnTitles()[c].c_str());
    std::string text = trafficLine(titles) + "\n";
    for (std::size_t i = 0; i < model_.size(); ++i) text += trafficLine(model_.row(i)) + "\n";
    const int error = replaceFile(path, text);
    if (error != 0) {
        showMessage(
            tr("Ошибка записи файла %1: %2")
                .arg(QString::fromStdString(path), QString::fromLocal8Bit(std::strerror(error)))
                .toStdString(),
            "Ошибка");
        return false;
    }
    return true;
}

void TrafficWindow::askAndSave() {
    const QString path = QFileDialog::getSaveFileName(this, tr("Сохранить обмен"), "traffic.txt",
                                                      tr("Текстовые файлы (*.txt);;Все файлы (*)"));
    if (!path.isEmpty()) saveTo(path.toStdString());
}

TrafficOpeners::TrafficOpeners(QMainWindow& window, QLabel& linkPanel) : QObject(&linkPanel) {
    auto* action = new QAction(TrafficWindow::tr("Обмен с модулем"), &window);
    action->setObjectName("openTrafficAction");
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    window.addAction(action);
    connect(action, &QAction::triggered, this, &TrafficOpeners::openWanted);
    linkPanel.installEventFilter(this);
}

bool TrafficOpeners::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        emit openWanted();
        return true;
    }
    // Fresh counters each time the tip is about to show; the label then shows it.
    if (event->type() == QEvent::ToolTip) emit toolTipWanted();
    return false;
}

}  // namespace kvel
