#include "windows/indicator_lamp.h"

#include "windows/indicator_images.h"

namespace kvel {

IndicatorLamp::IndicatorLamp(const QString& name, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    setFixedSize(32, 32);
    setOn(false);
}

void IndicatorLamp::setOn(bool on) {
    // Drawn once for the program, after the application exists, and never destroyed: a pixmap
    // must not outlive the application, as a static one would.
    static const auto* images = new std::array<QPixmap, 6>(makeIndicatorImages());
    on_ = on;
    setPixmap((*images)[static_cast<std::size_t>(on ? kImageOn : kImageOff)]);
}

}  // namespace kvel
