#include "chart/chart_image.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <utility>

#include "plot/xy_plot.h"

namespace kvel {
namespace {

constexpr int kLargestSide = 16384;

// The caption's band: a line with the title and the range, a line of legend entries (wrapped
// when they do not fit). Returns the band's height.
int drawCaption(QPainter& p, const ChartCaption& caption, int width) {
    QFont font = p.font();
    font.setPixelSize(13);
    p.setFont(font);
    const QFontMetrics m(font);
    const int line = m.height() + 4;
    p.setPen(Qt::black);
    p.drawText(QRect(6, 2, width - 12, line), Qt::AlignLeft | Qt::AlignVCenter, caption.title);
    p.drawText(QRect(6, 2, width - 12, line), Qt::AlignRight | Qt::AlignVCenter, caption.range);
    int x = 6, y = 2 + line;
    for (const auto& [name, color] : caption.legend) {
        const int w = 14 + 4 + m.horizontalAdvance(name) + 14;
        if (x > 6 && x + w > width) {
            x = 6;
            y += line;
        }
        p.fillRect(QRect(x, y + line / 2 - 2, 14, 4), color);
        p.drawText(QRect(x + 18, y, w, line), Qt::AlignLeft | Qt::AlignVCenter, name);
        x += w;
    }
    return y + (caption.legend.empty() ? 0 : line) + 2;
}

void drawPicture(QPainter& p, XYPlot& plot, QSize size, const ChartCaption* caption) {
    // A picture too small for a caption shows the plot alone.
    const int band = caption && size.height() >= 120 ? drawCaption(p, *caption, size.width()) : 0;
    p.translate(0, band);
    plot.renderTo(&p, QSize(size.width(), size.height() - band));
}

}  // namespace

ChartImageFormat chartImageFormatOf(const QString& path) {
    return path.endsWith(".svg", Qt::CaseInsensitive) ? ChartImageFormat::Svg
                                                      : ChartImageFormat::Png;
}

bool saveChartImage(XYPlot& plot, QSize size, const QString& path, ChartImageFormat format,
                    std::string& error, const ChartCaption* caption) {
    if (size.width() < 10 || size.height() < 10 || size.width() > kLargestSide ||
        size.height() > kLargestSide) {
        error = QCoreApplication::translate("KvelView",
                                            "размер изображения должен быть от 10 до %1 точек")
                    .arg(kLargestSide)
                    .toStdString();
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = (path + ": " + file.errorString()).toStdString();
        return false;
    }
    bool drawn = false;
    {
        if (format == ChartImageFormat::Png) {
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            if (!image.isNull()) {
                image.fill(Qt::white);
                QPainter painter(&image);
                drawPicture(painter, plot, size, caption);
                painter.end();
                drawn = image.save(&file, "PNG");
            }
        } else {
            QSvgGenerator svg;
            svg.setOutputDevice(&file);
            svg.setSize(size);
            svg.setViewBox(QRect(QPoint(0, 0), size));
            svg.setResolution(96);
            svg.setTitle(caption && !caption->title.isEmpty() ? caption->title : "KvelView");
            QPainter painter;
            if (painter.begin(&svg)) {
                drawPicture(painter, plot, size, caption);
                drawn = painter.end();
            }
        }
    }
    if (!drawn) {
        file.cancelWriting();
        error = QCoreApplication::translate("KvelView", "%1: не удалось нарисовать изображение")
                    .arg(path)
                    .toStdString();
        return false;
    }
    if (!file.commit()) {
        error = (path + ": " + file.errorString()).toStdString();
        return false;
    }
    return true;
}

}  // namespace kvel
