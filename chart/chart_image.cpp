#include "chart/chart_image.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <utility>

#include "plot/plot.h"

namespace kvel {
namespace {

constexpr int kLargestSide = 16384;

// The owner's after-paint drawing (the markers' inverting lines) belongs to the screen.
class WithoutDrawEnd {
  public:
    explicit WithoutDrawEnd(XYPlot& plot) : plot_(plot), saved_(std::move(plot.onDrawEnd)) {
        plot_.onDrawEnd = nullptr;
    }
    ~WithoutDrawEnd() {
        plot_.onDrawEnd = std::move(saved_);
        // The axes were laid out for the picture: the screen needs its own layout again.
        plot_.invalidate();
    }

  private:
    XYPlot& plot_;
    std::function<void(XYPlot*)> saved_;
};

}  // namespace

ChartImageFormat chartImageFormatOf(const QString& path) {
    return path.endsWith(".svg", Qt::CaseInsensitive) ? ChartImageFormat::Svg
                                                      : ChartImageFormat::Png;
}

bool saveChartImage(XYPlot& plot, QSize size, const QString& path, ChartImageFormat format,
                    std::string& error) {
    if (size.width() < 10 || size.height() < 10 || size.width() > kLargestSide ||
        size.height() > kLargestSide) {
        error =
            "размер изображения должен быть от 10 до " + std::to_string(kLargestSide) + " точек";
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = (path + ": " + file.errorString()).toStdString();
        return false;
    }
    bool drawn = false;
    {
        WithoutDrawEnd scope(plot);
        if (format == ChartImageFormat::Png) {
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            if (!image.isNull()) {
                image.fill(Qt::white);
                QPainter painter(&image);
                plot.drawOnCanvas(&painter, size.width(), size.height());
                painter.end();
                drawn = image.save(&file, "PNG");
            }
        } else {
            QSvgGenerator svg;
            svg.setOutputDevice(&file);
            svg.setSize(size);
            svg.setViewBox(QRect(QPoint(0, 0), size));
            svg.setTitle("KvelView");
            QPainter painter;
            if (painter.begin(&svg)) {
                plot.drawOnCanvas(&painter, size.width(), size.height());
                drawn = painter.end();
            }
        }
    }
    if (!drawn) {
        file.cancelWriting();
        error = (path + ": не удалось нарисовать изображение").toStdString();
        return false;
    }
    if (!file.commit()) {
        error = (path + ": " + file.errorString()).toStdString();
        return false;
    }
    return true;
}

}  // namespace kvel
