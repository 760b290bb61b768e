#include "windows/log_stats_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace kvel {

LogStatsDialog::LogStatsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("logStatsDialog");
    setWindowTitle(tr("Статистика между маркерами"));
    resize(620, 360);
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    threshold_ = new QLineEdit("50", this);
    threshold_->setObjectName("thresholdEdit");
    auto* caption = new QLabel(tr("&Порог, °C:"), this);
    caption->setBuddy(threshold_);
    form->addRow(caption, threshold_);
    column->addLayout(form);
    problem_ = new QLabel(this);
    problem_->setStyleSheet("color: #b00000");
    problem_->hide();
    column->addWidget(problem_);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("statsText");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont fixed("monospace");
    fixed.setStyleHint(QFont::TypeWriter);
    text_->setFont(fixed);
    column->addWidget(text_, 1);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copyButton = buttons->addButton(tr("&Копировать"), QDialogButtonBox::ActionRole);
    QPushButton* closeButton = buttons->addButton(tr("&Закрыть"), QDialogButtonBox::RejectRole);
    // Enter in the threshold recomputes; it must not press a button and close the dialog.
    for (QPushButton* b : {copyButton, closeButton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    column->addWidget(buttons);
    connect(copyButton, &QPushButton::clicked, this, &LogStatsDialog::copy);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(threshold_, &QLineEdit::returnPressed, this, &LogStatsDialog::thresholdEntered);
}

bool LogStatsDialog::threshold(double& value) const {
    QString typed = threshold_->text().trimmed();
    // A decimal comma is what many people type.
    typed.replace(',', '.');
    bool ok = false;
    value = QLocale::c().toDouble(typed, &ok);
    return ok && std::isfinite(value);
}

void LogStatsDialog::setText(const QString& text) {
    problem_->hide();
    text_->setPlainText(text);
}

QString LogStatsDialog::text() const {
    return text_->toPlainText();
}

void LogStatsDialog::setProblem(const QString& problem) {
    problem_->setText(problem);
    problem_->show();
}

void LogStatsDialog::copy() {
    QApplication::clipboard()->setText(text_->toPlainText());
}

}  // namespace kvel
