// Pictures of a plot for reports: PNG or SVG, at any size, written whole or not at all.
#pragma once

#include <QSize>
#include <QString>
#include <string>

class XYPlot;

namespace kvel {

enum class ChartImageFormat { Png, Svg };

// The format a file name asks for by its extension (".svg", otherwise PNG).
ChartImageFormat chartImageFormatOf(const QString& path);

// Draws the whole plot at `size` into the file; the markers and anything else the plot's owner
// draws after a paint are left out. False with the reason in `error`.
bool saveChartImage(XYPlot& plot, QSize size, const QString& path, ChartImageFormat format,
                    std::string& error);

}  // namespace kvel
