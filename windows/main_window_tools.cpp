// The main window's tool bar: what the program can do, each with an icon and a tool tip that
// names its shortcut; the log viewer and the export of the live chart.
#include <QAction>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>

#include "windows/file_choosers.h"
#include "windows/log_viewer_window.h"
#include "windows/main_window.h"

namespace kvel {
namespace {

QAction* toolAction(QToolBar& bar, QAction* a, QStyle::StandardPixmap icon, const QString& tip) {
    a->setIcon(bar.style()->standardIcon(icon));
    a->setToolTip(tip);
    bar.addAction(a);
    return a;
}

}  // namespace

void MainWindow::buildToolBar() {
    auto* bar = findChild<QToolBar*>("toolBar");
    const auto add = [&](const char* name, const QString& text, QStyle::StandardPixmap icon,
                         const QString& tip, auto run) {
        auto* a = new QAction(text, this);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, run);
        return toolAction(*bar, a, icon, tip);
    };
    auto* settings = findChild<QPushButton*>("programSettingsButton");
    auto* module = findChild<QPushButton*>("moduleSettingsButton");
    add("openProgramSettingsAction", tr("Настройки программы"), QStyle::SP_FileDialogListView,
        tr("Настройки программы"), [settings] { settings->click(); });
    add("openModuleSettingsAction", tr("Настройки модуля"), QStyle::SP_ComputerIcon,
        tr("Настройки модуля"), [module] { module->click(); });
    bar->addSeparator();
    add("openLogViewerAction", tr("Просмотр журнала"), QStyle::SP_DialogOpenButton,
        tr("Просмотр журнала (Ctrl+O)"), [this] { openLogViewer(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    add("exportChartAction", tr("Экспорт диаграммы"), QStyle::SP_DialogSaveButton,
        tr("Экспорт диаграммы в PNG или SVG (Ctrl+E)"), [this] { exportChart(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    bar->addSeparator();
    // Ctrl+T and Ctrl+H belong to the traffic action and the cabinet shortcut already; a second
    // owner of the same keys would make both ambiguous.
    if (auto* traffic = findChild<QAction*>("openTrafficAction")) {
        toolAction(*bar, traffic, QStyle::SP_BrowserReload, tr("Обмен с модулем (Ctrl+T)"));
    }
    add("openCabinetAction", tr("Управление шкафами"), QStyle::SP_DriveNetIcon,
        tr("Управление шкафами (Ctrl+H)"), [this] { cabinetButton_->click(); });
    add("openAlarmsAction", tr("Сигнализация"), QStyle::SP_MessageBoxWarning,
        tr("Сигнализация (Ctrl+L)"), [this] { openAlarmWindow(); })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
}

LogViewerWindow* MainWindow::openLogViewer() {
    auto* viewer = new LogViewerWindow(*ini_, this);
    if (!viewer->chooseAndOpen()) {
        viewer->close();
        return nullptr;
    }
    viewer->show();
    return viewer;
}

bool MainWindow::exportChart() {
    return exportChartImage(this, *trendPlot_);
}

}  // namespace kvel
