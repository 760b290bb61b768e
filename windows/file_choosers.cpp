#include "windows/file_choosers.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <utility>

#include "chart/chart_image.h"
#include "link/message_sink.h"
#include "plot/xy_plot.h"

namespace kvel {
namespace {

FileChoosers& storedChoosers() {
    static FileChoosers choosers;
    return choosers;
}

// The window's size or a size of the user's own; nothing when cancelled.
std::optional<QSize> askImageSize(QWidget* parent, QSize windowSize) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QCoreApplication::translate("KvelView", "Экспорт диаграммы"));
    auto* form = new QFormLayout(&dialog);
    auto* window = new QRadioButton(QCoreApplication::translate("KvelView", "Размер окна: %1 × %2")
                                        .arg(windowSize.width())
                                        .arg(windowSize.height()),
                                    &dialog);
    auto* chosen =
        new QRadioButton(QCoreApplication::translate("KvelView", "Заданный размер:"), &dialog);
    window->setChecked(true);
    auto* width = new QSpinBox(&dialog);
    auto* height = new QSpinBox(&dialog);
    for (QSpinBox* box : {width, height}) {
        box->setRange(10, 16384);
        box->setEnabled(false);
        QObject::connect(chosen, &QRadioButton::toggled, box, &QSpinBox::setEnabled);
    }
    width->setValue(1920);
    height->setValue(1080);
    auto* sizeRow = new QHBoxLayout();
    sizeRow->addWidget(chosen);
    sizeRow->addWidget(width);
    sizeRow->addWidget(new QLabel("×", &dialog));
    sizeRow->addWidget(height);
    form->addRow(window);
    form->addRow(sizeRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return chosen->isChecked() ? QSize(width->value(), height->value()) : windowSize;
}

}  // namespace

void setFileChoosers(FileChoosers choosers) {
    storedChoosers() = std::move(choosers);
}

QString chooseLogToOpen(QWidget* parent, const QString& folder) {
    if (storedChoosers().openLog) return storedChoosers().openLog(parent, folder);
    return QFileDialog::getOpenFileName(
        parent, QCoreApplication::translate("KvelView", "Открыть журнал"), folder,
        QCoreApplication::translate("KvelView", "Журналы (*.txt *.log);;Все файлы (*)"));
}

QStringList chooseLogsToOpen(QWidget* parent, const QString& folder) {
    const FileChoosers& stored = storedChoosers();
    if (stored.openLogs) return stored.openLogs(parent, folder);
    if (stored.openLog) {
        const QString one = stored.openLog(parent, folder);
        return one.isEmpty() ? QStringList() : QStringList{one};
    }
    return QFileDialog::getOpenFileNames(
        parent, QCoreApplication::translate("KvelView", "Открыть журнал"), folder,
        QCoreApplication::translate("KvelView", "Журналы (*.txt *.log);;Все файлы (*)"));
}

QStringList chooseLogFolder(QWidget* parent, const QString& folder) {
    const QString chosen =
        storedChoosers().openFolder
            ? storedChoosers().openFolder(parent, folder)
            : QFileDialog::getExistingDirectory(
                  parent, QCoreApplication::translate("KvelView", "Открыть папку журналов"),
                  folder);
    if (chosen.isEmpty()) return {};
    QStringList paths;
    const QDir dir(chosen);
    for (const QString& name :
         dir.entryList({"*.txt", "*.log"}, QDir::Files | QDir::Readable, QDir::Name)) {
        paths << dir.filePath(name);
    }
    return paths;
}

std::optional<ImageExportChoice> chooseImageExport(QWidget* parent, QSize windowSize) {
    if (storedChoosers().exportImage) return storedChoosers().exportImage(parent, windowSize);
    const std::optional<QSize> size = askImageSize(parent, windowSize);
    if (!size) return std::nullopt;
    QString filter;
    QString path = QFileDialog::getSaveFileName(
        parent, QCoreApplication::translate("KvelView", "Экспорт диаграммы"), "chart.png",
        "PNG (*.png);;SVG (*.svg)", &filter);
    if (path.isEmpty()) return std::nullopt;
    if (!path.endsWith(".png", Qt::CaseInsensitive) && !path.endsWith(".svg", Qt::CaseInsensitive))
        path += filter.startsWith("SVG") ? ".svg" : ".png";
    return ImageExportChoice{path, *size};
}

LogFileChooser& storedLogFileChooser() {
    static LogFileChooser chooser;
    return chooser;
}

void setLogFileChooser(LogFileChooser chooser) {
    storedLogFileChooser() = std::move(chooser);
}

std::optional<std::string> chooseLogFileToWrite(QFileDialog& dialog) {
    if (storedLogFileChooser()) return storedLogFileChooser()(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

QString chooseCsvExport(QWidget* parent) {
    if (storedChoosers().exportCsv) return storedChoosers().exportCsv(parent);
    QString path = QFileDialog::getSaveFileName(
        parent, QCoreApplication::translate("KvelView", "Экспорт в CSV"), "journal.csv",
        QCoreApplication::translate("KvelView", "CSV (*.csv);;Все файлы (*)"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += ".csv";
    return path;
}

bool exportChartImage(QWidget* parent, XYPlot& plot, const ChartCaption* caption) {
    const std::optional<ImageExportChoice> choice = chooseImageExport(parent, plot.size());
    if (!choice) return false;
    std::string error;
    if (!saveChartImage(plot, choice->size, choice->path, chartImageFormatOf(choice->path), error,
                        caption)) {
        showMessage(QCoreApplication::translate("KvelView", "Ошибка записи файла %1")
                        .arg(QString::fromStdString(error))
                        .toStdString(),
                    "Ошибка");
        return false;
    }
    return true;
}

}  // namespace kvel
