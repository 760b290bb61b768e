#pragma once
#include <QLabel>

namespace kvel {

// A 32 × 32 lamp of the windows (the link, the relays, the cabinet's commands and signals):
// the image list's "on" picture when lit, its "off" picture otherwise.
class IndicatorLamp : public QLabel {
    Q_OBJECT
  public:
    IndicatorLamp(const QString& name, QWidget* parent);

    void setOn(bool on);
    bool isOn() const { return on_; }

  private:
    bool on_ = false;
};

}  // namespace kvel
