// Pictures of a plot for reports: PNG or SVG, at any size, written whole or not at all.
#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <string>
#include <utility>
#include <vector>

namespace kvel {

class XYPlot;

enum class ChartImageFormat { Png, Svg };

// The format a file name asks for by its extension (".svg", otherwise PNG).
ChartImageFormat chartImageFormatOf(const QString& path);

// What a picture for a report says above the plot: what it shows (a log's name), the time range
// shown, and a legend of the curves' names in their colours.
struct ChartCaption {
    QString title;
    QString range;
    std::vector<std::pair<QString, QColor>> legend;
};

// Draws the whole plot at `size` into the file, below the caption when one is given (the
// picture keeps `size`); the markers and anything else the plot's owner draws after a paint are
// left out. SVG is written at 96 dots per inch, so that it opens at `size` elsewhere. False with
// the reason in `error`.
bool saveChartImage(XYPlot& plot, QSize size, const QString& path, ChartImageFormat format,
                    std::string& error, const ChartCaption* caption = nullptr);

}  // namespace kvel
