#include "windows/indicator_images.h"

#include <QPainter>
#include <QRadialGradient>

namespace kvel {
namespace {

QPixmap makeLamp(const QColor& light, const QColor& dark) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(12, 11, 18);
    glow.setColorAt(0, light.lighter(160));
    glow.setColorAt(0.5, light);
    glow.setColorAt(1, dark);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(glow);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    return pixmap;
}

}  // namespace

std::array<QPixmap, 6> makeIndicatorImages() {
    std::array<QPixmap, 6> images;
    const QPixmap on = makeLamp(QColor(40, 220, 60), QColor(0, 110, 20));
    const QPixmap off = makeLamp(QColor(170, 170, 170), QColor(80, 80, 80));
    for (QPixmap& image : images) image = off;
    images[kImageOn] = on;
    images[kImageOff] = off;
    return images;
}

}  // namespace kvel
