// The file dialogs of the log viewer and of chart export, replaceable as one piece so that tests
// never see a modal dialog: each returns what the user chose, or nothing when they cancelled.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

class QFileDialog;
class QWidget;

namespace kvel {
class XYPlot;
struct ChartCaption;
}  // namespace kvel

namespace kvel {

struct ImageExportChoice {
    QString path;  // ".svg" for SVG, otherwise PNG
    QSize size;
};

struct FileChoosers {
    // A log to open, starting in `folder`.
    std::function<QString(QWidget* parent, const QString& folder)> openLog;
    // Where and how large to save a picture of a chart shown at `windowSize`.
    std::function<std::optional<ImageExportChoice>(QWidget* parent, QSize windowSize)> exportImage;
    // Where to save a CSV file.
    std::function<QString(QWidget* parent)> exportCsv;
    // Several logs to open together, and a folder of logs.
    std::function<QStringList(QWidget* parent, const QString& folder)> openLogs;
    std::function<QString(QWidget* parent, const QString& folder)> openFolder;
};

// The program's dialogs, or those set; an empty member falls back to the dialog.
void setFileChoosers(FileChoosers choosers);
QString chooseLogToOpen(QWidget* parent, const QString& folder);
// One log or several (a month per file, say); empty when cancelled.
QStringList chooseLogsToOpen(QWidget* parent, const QString& folder);
// The logs of a folder (".txt" and ".log" files, by name); empty when cancelled or none.
QStringList chooseLogFolder(QWidget* parent, const QString& folder);
std::optional<ImageExportChoice> chooseImageExport(QWidget* parent, QSize windowSize);
QString chooseCsvExport(QWidget* parent);
// The log to write, from the program settings' own file dialog (set up by it): runs `dialog`
// and gives the chosen name, or nothing when it was cancelled. Tests set their own chooser
// (an empty one is the dialog again).
using LogFileChooser = std::function<std::optional<std::string>(QFileDialog& dialog)>;
void setLogFileChooser(LogFileChooser chooser);
std::optional<std::string> chooseLogFileToWrite(QFileDialog& dialog);

// Asks where and how large, then writes a picture of the plot; a failed write is shown.
// False when cancelled or not written.
bool exportChartImage(QWidget* parent, XYPlot& plot, const ChartCaption* caption = nullptr);

}  // namespace kvel
