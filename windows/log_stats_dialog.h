#pragma once
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace kvel {

// "Статистика между маркерами": the threshold the user types and the statistics as text that
// can be selected or copied whole. The viewer computes the text; the dialog asks for it again
// (thresholdEntered) when a threshold is entered with Enter.
class LogStatsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit LogStatsDialog(QWidget* parent = nullptr);
    // The threshold typed, in °C; false when it is not a number.
    bool threshold(double& value) const;
    void setText(const QString& text);
    QString text() const;
    // Shows why there are no statistics (a threshold that is not a number).
    void setProblem(const QString& problem);
    // Puts the text on the clipboard.
    void copy();

  signals:
    void thresholdEntered();

  private:
    QLineEdit* threshold_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace kvel
