#include "windows/scan_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

namespace kvel {
namespace {

// How often the dialog looks at the scan's progress.
constexpr int kRefreshMs = 100;

QTableWidgetItem* cell(const std::string& text, bool selectable) {
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    item->setFlags(selectable ? (Qt::ItemIsEnabled | Qt::ItemIsSelectable) : Qt::ItemIsEnabled);
    return item;
}

QString stateText(const ScanProgress& p) {
    using State = ScanProgress::State;
    std::size_t modules = 0;
    for (const ScanFinding& f : p.findings) modules += f.module ? 1 : 0;
    switch (p.state) {
        case State::Running:
            return ScanDialog::tr("Адрес %1, %2; осталось %3")
                .arg(p.trying.address)
                .arg(QString::fromStdString(lineSettingText(p.trying)),
                     QString::fromStdString(timeLeftText(p.msLeft)));
        case State::Failed:
            return QString::fromStdString(p.failure);
        case State::Cancelled:
            return ScanDialog::tr("Поиск остановлен");
        case State::Finished:
            break;
    }
    return modules > 0 ? ScanDialog::tr("Поиск закончен") : ScanDialog::tr("Модуль не найден");
}

}  // namespace

ScanDialog::ScanDialog(std::shared_ptr<LineScan> scan, QWidget* parent)
    : QDialog(parent), scan_(std::move(scan)) {
    setObjectName("scanDialog");
    setWindowTitle(tr("Поиск модуля"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("scanProgress");
    progress_->setFormat(tr("%v из %m"));
    layout->addWidget(progress_);
    state_ = new QLabel(this);
    state_->setObjectName("scanState");
    layout->addWidget(state_);
    found_ = new QTableWidget(0, 6, this);
    found_->setObjectName("foundList");
    found_->setHorizontalHeaderLabels(
        {tr("Адрес"), tr("Скорость, бит/с"), tr("Паритет"), tr("Тип"), tr("Версия"), tr("Ответ")});
    found_->verticalHeader()->hide();
    found_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    found_->horizontalHeader()->setStretchLastSection(true);
    found_->setMinimumWidth(640);
    found_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    found_->setSelectionBehavior(QAbstractItemView::SelectRows);
    found_->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(found_, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    apply_ = new QPushButton(tr("Применить"), this);
    apply_->setObjectName("applyButton");
    apply_->setEnabled(false);
    apply_->setDefault(true);
    cancel_ = new QPushButton(tr("Отмена"), this);
    cancel_->setObjectName("cancelButton");
    cancel_->setAutoDefault(false);
    buttons->addWidget(apply_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    connect(apply_, &QPushButton::clicked, this, &ScanDialog::apply);
    connect(cancel_, &QPushButton::clicked, this, &ScanDialog::stopOrClose);
    connect(found_, &QTableWidget::itemSelectionChanged, this,
            [this] { apply_->setEnabled(chosen().has_value()); });
    connect(found_, &QTableWidget::cellDoubleClicked, this, [this] { apply(); });
    timer_ = new QTimer(this);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &ScanDialog::refresh);
    timer_->start();
    refresh();
}

void ScanDialog::refresh() {
    const ScanProgress p = scan_->progress();
    progress_->setMaximum(static_cast<int>(std::max<std::size_t>(p.total, 1)));
    progress_->setValue(static_cast<int>(p.done));
    state_->setText(stateText(p));
    if (p.findings.size() != findings_.size()) showFindings(p.findings);
}

void ScanDialog::showFindings(const std::vector<ScanFinding>& findings) {
    const bool noneChosen = !chosen();
    for (std::size_t i = findings_.size(); i < findings.size(); ++i) {
        const ScanFinding& f = findings[i];
        const int row = found_->rowCount();
        found_->insertRow(row);
        const std::string bps = std::to_string(SerialPort::speedOfIndex(f.at.speedIndex));
        found_->setItem(row, 0, cell(std::to_string(f.at.address), f.module));
        found_->setItem(row, 1, cell(bps, f.module));
        found_->setItem(row, 2, cell(parityText(f.at.parityIndex), f.module));
        found_->setItem(row, 3, cell(f.module ? std::to_string(f.typeCode) : "", f.module));
        found_->setItem(row, 4, cell(f.module ? std::to_string(f.version) : "", f.module));
        found_->setItem(row, 5,
                        cell(f.module ? tr("модуль").toStdString()
                                      : tr("отвечает не модуль: %1")
                                            .arg(QString::fromStdString(f.answer))
                                            .toStdString(),
                             f.module));
        findings_.push_back(f);
        // The first module found is chosen, so that Enter applies it.
        if (f.module && noneChosen && !chosen()) found_->selectRow(row);
    }
}

void ScanDialog::scanEnded() {
    running_ = false;
    timer_->stop();
    refresh();
}

std::optional<ScanFinding> ScanDialog::chosen() const {
    const QList<QTableWidgetItem*> selected = found_->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    const auto row = static_cast<std::size_t>(selected.first()->row());
    if (row >= findings_.size() || !findings_[row].module) return std::nullopt;
    return findings_[row];
}

void ScanDialog::stopOrClose() {
    if (running_) {
        // The scan ends within one probe; what it found stays to be applied.
        scan_->cancel();
        return;
    }
    QDialog::reject();
}

void ScanDialog::reject() {
    scan_->cancel();
    QDialog::reject();
}

void ScanDialog::apply() {
    if (!chosen()) return;
    scan_->cancel();
    accept();
}

}  // namespace kvel
