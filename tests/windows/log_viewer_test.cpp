#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>

#include "core/measurement_log.h"
#include "tests/common/main_window_fixture.h"
#include "windows/cabinet_window.h"
#include "windows/file_choosers.h"
#include "windows/log_stats_dialog.h"
#include "windows/log_viewer_window.h"
#include "windows/module_generation_dialogs.h"
#include "windows/program_settings_dialog.h"
#include "windows/traffic_window.h"

namespace kvel::test {
namespace {

std::string Minutes(int from, int to) {
    std::string text;
    for (int m = from; m < to; ++m) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "06.12.26\t13:%02d:00\t", m);
        text += stamp + formatLogTemperature(m);
        for (int c = 2; c <= kLogChannels; ++c) text += "\t---";
        text += "\t\r\n";
    }
    return text;
}

class ToolBar : public MainWindowFixture {
  protected:
    void BeforeShow() override {
        settings = form->programSettingsDialog();
        moduleNew = form->secondGenDialog();
        host = form->cabinetWindow();
        module = form->firstGenDialog();
    }
    void TearDown() override {
        setFileChoosers({});
        MainWindowFixture::TearDown();
    }
    // Triggers the tool bar's action and returns the class of the modal window it opened.
    // A module dialog shows once its load from the module is in.
    std::string ModalOpenedBy(const char* action) {
        std::string seen;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (QWidget* w = QApplication::activeModalWidget(); w && seen.empty()) {
                seen = w->metaObject()->className();
                w->close();
            }
        });
        watch.start(20);
        form->findChild<QAction*>(action)->trigger();
        QElapsedTimer clock;
        clock.start();
        while (seen.empty() && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        Settle();
        return seen;
    }
    ProgramSettingsDialog* settings = nullptr;
    SecondGenModuleDialog* moduleNew = nullptr;
    CabinetWindow* host = nullptr;
    FirstGenModuleDialog* module = nullptr;
};

TEST_F(ToolBar, ActionsOpenTheWindowsTheyName) {
    StartSimulator();
    WriteIni(port());
    Show();
    const std::string log = dir.File("log.txt");
    WriteBytes(log, logHeaderLine() + Minutes(0, 30));
    setFileChoosers(
        {.openLog = [&](QWidget*, const QString&) { return QString::fromStdString(log); },
         .exportImage =
             [&](QWidget*, QSize) {
                 return std::optional<ImageExportChoice>(
                     {QString::fromStdString(dir.File("live.svg")), QSize(800, 600)});
             },
         .exportCsv = {},
         .openLogs = {},
         .openFolder = {}});

    form->findChild<QAction*>("openLogViewerAction")->trigger();
    auto* viewer = form->findChild<LogViewerWindow*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(viewer->waitUntilLoaded());
    EXPECT_EQ(viewer->data().rows(), 30);
    EXPECT_EQ(form->ini().readString("history", "folder", ""), dir.Path().string());

    form->findChild<QAction*>("openTrafficAction")->trigger();
    ASSERT_NE(form->trafficWindow(), nullptr);
    EXPECT_TRUE(form->trafficWindow()->isVisible());

    // By its keys, from the focus the window starts with. On X11 an edit with the focus takes
    // Ctrl+E as "end of line", so the start focus must not be in a read-out edit.
    QApplication::setActiveWindow(form.get());
    QWidget* focus = QApplication::focusWidget();
    EXPECT_EQ(qobject_cast<QLineEdit*>(focus), nullptr) << focus->objectName().toStdString();
    QTest::keyClick(focus ? focus : form.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_NE(ReadBytes(dir.File("live.svg")).find("<svg"), std::string::npos);

    EXPECT_EQ(ModalOpenedBy("openProgramSettingsAction"), "kvel::ProgramSettingsDialog");
    EXPECT_EQ(ModalOpenedBy("openCabinetAction"), "kvel::CabinetWindow");
    const std::string moduleDialog = ModalOpenedBy("openModuleSettingsAction");
    EXPECT_TRUE(moduleDialog == "kvel::SecondGenModuleDialog" ||
                moduleDialog == "kvel::FirstGenModuleDialog")
        << moduleDialog;
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    // Every action says what it does and its keys.
    EXPECT_EQ(form->findChild<QAction*>("openLogViewerAction")->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_TRUE(form->findChild<QAction*>("openCabinetAction")->toolTip().contains("Ctrl+H"));
}

TEST_F(ToolBar, ViewerReloadsAGrowingLogKeepingTheViewAndCountsSkippedLines) {
    const std::string log = dir.File("log.txt");
    // A torn last line, as the poll leaves it while it writes.
    WriteBytes(log, logHeaderLine() + Minutes(0, 30) + "06.12.26\t13:30:00\t30.0");
    MemIni ini(dir.File("mem.ini"));
    auto* viewer = new LogViewerWindow(ini);
    ASSERT_TRUE(viewer->openFile(QString::fromStdString(log)));
    viewer->show();
    EXPECT_TRUE(viewer->statusText().contains("пропущено строк: 1"))
        << viewer->statusText().toStdString();
    Axis& bottom = *viewer->plot()->bottomAxis();
    const double from = viewer->data().time(5), to = viewer->data().time(10);
    bottom.setMinMax(from, to);
    viewer->channelCheckBox(1)->setChecked(false);

    WriteBytes(log, logHeaderLine() + Minutes(0, 40));
    viewer->findChild<QAction*>("reloadLogAction")->trigger();
    EXPECT_TRUE(viewer->waitUntilLoaded());
    EXPECT_EQ(viewer->data().rows(), 40);
    EXPECT_TRUE(viewer->statusText().contains("пропущено строк: 0"));
    EXPECT_EQ(bottom.min(), from);
    EXPECT_EQ(bottom.max(), to);
    EXPECT_FALSE(viewer->chart().line(1)->active());
    viewer->plot()->grab();  // the plot fills its curves for the view it draws
    EXPECT_EQ(viewer->chart().line(1)->count(), 6);  // the rows of the view, minutes 5 … 10

    // The visible range as CSV: minutes 5 … 10 of channel 1, checked again.
    viewer->channelCheckBox(1)->setChecked(true);
    const std::string csv = dir.File("range.csv");
    setFileChoosers({.openLog = {},
                     .exportImage = {},
                     .exportCsv = [&](QWidget*) { return QString::fromStdString(csv); },
                     .openLogs = {},
                     .openFolder = {}});
    ASSERT_TRUE(viewer->findChild<QAction*>("exportCsvAction") != nullptr);
    viewer->findChild<QAction*>("exportCsvAction")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer->jobs().idle(); }, 10000));
    const std::string text = ReadBytes(csv);
    EXPECT_NE(text.find("2026-12-06 13:05:00,5"), std::string::npos) << text;
    EXPECT_NE(text.find("2026-12-06 13:10:00,10"), std::string::npos) << text;
    EXPECT_EQ(text.find("13:11:00"), std::string::npos) << text;

    // An unreadable file is refused with a message; the window keeps what it shows.
    EXPECT_FALSE(viewer->openFile(QString::fromStdString(dir.File("gone.txt"))));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("gone.txt"), std::string::npos);
    EXPECT_EQ(viewer->data().rows(), 40);
    delete viewer;
}

TEST_F(ToolBar, ViewerExportsWhatItHoldsFollowsAGrowingLogAndTakesATypedRange) {
    const std::string log = dir.File("log.txt");
    WriteBytes(log, logHeaderLine() + Minutes(0, 30));
    MemIni ini(dir.File("mem.ini"));
    auto viewer = std::make_unique<LogViewerWindow>(ini);
    ASSERT_TRUE(viewer->openFile(QString::fromStdString(log)));
    viewer->show();
    Axis& bottom = *viewer->plot()->bottomAxis();

    // A new log started under the same name, then none at all: the CSV still has the rows the
    // window shows.
    WriteBytes(log, logHeaderLine());
    std::filesystem::remove(log);
    const std::string csv = dir.File("all.csv");
    setFileChoosers({.openLog = {},
                     .exportImage = {},
                     .exportCsv = [&](QWidget*) { return QString::fromStdString(csv); },
                     .openLogs = {},
                     .openFolder = {}});
    EXPECT_TRUE(viewer->exportCsv());
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer->jobs().idle(); }, 10000));
    const std::string text = ReadBytes(csv);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 31) << text;

    // The view showed the end: F5 moves it on to the new end, keeping its width.
    WriteBytes(log, logHeaderLine() + Minutes(0, 40));
    bottom.setMinMax(viewer->data().time(20), viewer->data().time(29) + 1.0 / 2880);
    const double width = bottom.max() - bottom.min();
    viewer->findChild<QAction*>("reloadLogAction")->trigger();
    ASSERT_TRUE(viewer->waitUntilLoaded());
    EXPECT_NEAR(bottom.max(), viewer->data().time(39) + 1.0 / 2880, 1e-9);
    EXPECT_NEAR(bottom.max() - bottom.min(), width, 1e-9);

    // A range typed in, by Enter; a time that is not one is refused with a message.
    auto* from = viewer->findChild<QLineEdit*>("rangeFromEdit");
    auto* to = viewer->findChild<QLineEdit*>("rangeToEdit");
    from->setText("06.12.26 13:05");
    to->setText("2026-12-06 13:10");
    QTest::keyClick(to, Qt::Key_Return);
    EXPECT_NEAR(bottom.min(), viewer->data().time(5), 1e-9);
    EXPECT_NEAR(bottom.max(), viewer->data().time(10), 1e-9);
    to->setText("13:99");
    QTest::keyClick(to, Qt::Key_Return);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("13:99"), std::string::npos);
    EXPECT_NEAR(bottom.max(), viewer->data().time(10), 1e-9);

    // Statistics between the markers: Enter in the threshold recomputes and keeps the dialog.
    viewer->showStatistics();
    LogStatsDialog* stats = viewer->statsDialog();
    ASSERT_NE(stats, nullptr);
    auto* threshold = stats->findChild<QLineEdit*>("thresholdEdit");
    threshold->setText("1e9");
    QTest::keyClick(threshold, Qt::Key_Return);
    EXPECT_TRUE(stats->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer->jobs().idle(); }, 10000));
    EXPECT_NE(stats->text().indexOf("\t00:00:00"), -1) << stats->text().toStdString();
    QTest::keyClick(threshold, Qt::Key_Escape);
    EXPECT_FALSE(stats->isVisible());
}

// The window's job thread held until `release`: a read started meanwhile waits behind it.
void HoldJobs(LogViewerWindow& viewer, const std::atomic<bool>& release) {
    viewer.jobs().run([&release](const std::atomic<bool>& cancel) -> JobQueue::Apply {
        while (!release && !cancel) QThread::msleep(1);
        return {};
    });
}

TEST_F(ToolBar, ViewerShowsNoTimesBeforeItsLogAndHoldsOneLogAtATimeOnReload) {
    const std::string log = dir.File("log.txt");
    WriteBytes(log, logHeaderLine() + Minutes(0, 30));
    MemIni ini(dir.File("mem.ini"));
    auto viewer = std::make_unique<LogViewerWindow>(ini);
    viewer->show();
    Axis& bottom = *viewer->plot()->bottomAxis();
    std::atomic<bool> release{false};
    HoldJobs(*viewer, release);
    viewer->load({QString::fromStdString(log)});
    viewer->plot()->grab();
    EXPECT_TRUE(bottom.drawnLabels().empty()) << bottom.drawnLabels()[0].text.toStdString();
    release = true;
    ASSERT_TRUE(viewer->waitUntilLoaded());
    viewer->plot()->grab();
    ASSERT_FALSE(bottom.drawnLabels().empty());
    EXPECT_TRUE(bottom.drawnLabels()[0].text.startsWith("13:"))
        << bottom.drawnLabels()[0].text.toStdString();

    // F5 drops the log shown before it reads the file again; the read fails (the file is
    // gone): said so, and the view stays for the next try.
    const double from = viewer->data().time(5), to = viewer->data().time(10);
    bottom.setMinMax(from, to);
    release = false;
    HoldJobs(*viewer, release);
    std::filesystem::remove(log);
    viewer->findChild<QAction*>("reloadLogAction")->trigger();
    EXPECT_EQ(viewer->data().rows(), 0);
    EXPECT_EQ(viewer->chart().data().rows(), 0);
    release = true;
    EXPECT_FALSE(viewer->waitUntilLoaded());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("log.txt"), std::string::npos) << boxes[0];
    EXPECT_TRUE(viewer->statusText().contains("F5")) << viewer->statusText().toStdString();
    EXPECT_EQ(bottom.min(), from);
    EXPECT_EQ(bottom.max(), to);
    WriteBytes(log, logHeaderLine() + Minutes(0, 40));
    viewer->findChild<QAction*>("reloadLogAction")->trigger();
    ASSERT_TRUE(viewer->waitUntilLoaded());
    EXPECT_EQ(viewer->data().rows(), 40);
    EXPECT_EQ(bottom.min(), from);
    EXPECT_EQ(bottom.max(), to);

    // "Отмена" ends the read at once; a load that replaced nothing leaves the log shown.
    release = false;
    HoldJobs(*viewer, release);
    bool ended = false, endedOk = true;
    QObject::connect(viewer.get(), &LogViewerWindow::loaded, [&](bool ok) {
        ended = true;
        endedOk = ok;
    });
    viewer->load({QString::fromStdString(log)});
    viewer->findChild<QPushButton*>("cancelLoadButton")->click();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(endedOk);
    EXPECT_FALSE(viewer->loading());
    release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer->jobs().idle(); }, 5000));
    EXPECT_EQ(viewer->data().rows(), 40);
    EXPECT_EQ(boxes.size(), 1u);
}

// A large log for the loading tests: `lines` lines five seconds apart.
void WriteLargeLog(const std::string& path, int lines) {
    std::string text = logHeaderLine();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::string row;
    for (int i = 0; i < lines; ++i) {
        const int s = i * 5;
        char stamp[40];
        std::snprintf(stamp, sizeof stamp, "%02d.%02d.26\t%02d:%02d:%02d\t", 1 + s / 86400 % 28,
                      1 + s / (86400 * 28), s / 3600 % 24, s / 60 % 60, s % 60);
        row = stamp;
        for (int c = 1; c <= kLogChannels; ++c) row += "21.47\t";
        row += "\r\n";
        std::fwrite(row.data(), 1, row.size(), f);
    }
    std::fclose(f);
}

TEST_F(ToolBar, ALargeLogLoadingInAViewerLeavesNoHoleInTheLiveLogAndMayBeClosed) {
    const std::string big = dir.File("big.txt");
    WriteLargeLog(big, 2000000);  // about 220 MB, seconds of reading
    StartSimulator();
    const std::string live = dir.File("live.txt");
    WriteIni(port() + "[measure]\nperiod=1\n[file]\nsave=1\nname=" + live + "\n");
    Show(PollTimer::running);
    const auto waitMs = [](int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    waitMs(2500);
    setFileChoosers(
        {.openLog = [&](QWidget*, const QString&) { return QString::fromStdString(big); },
         .exportImage = {},
         .exportCsv = {},
         .openLogs = {},
         .openFolder = {}});
    form->findChild<QAction*>("openLogViewerAction")->trigger();
    auto* viewer = form->findChild<LogViewerWindow*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->loading());
    EXPECT_TRUE(viewer->waitUntilLoaded());
    EXPECT_EQ(viewer->data().rows(), 2000000);
    waitMs(1500);
    form->session().pollTimer()->stop();
    Settle();

    // Every second has its line: no two lines more than two seconds apart.
    const LogData liveLog = [&] {
        LogData data;
        std::string error;
        EXPECT_TRUE(readLogFile(live, data, error)) << error;
        return data;
    }();
    ASSERT_GE(liveLog.rows(), 4);
    for (int row = 1; row < liveLog.rows(); ++row) {
        EXPECT_LE((liveLog.time(row) - liveLog.time(row - 1)) * 86400, 2.01) << "line " << row;
    }
    EXPECT_TRUE(boxes.empty()) << boxes.front();

    // A viewer closed while it reads goes at once.
    auto* second = new LogViewerWindow(form->ini());
    second->load({QString::fromStdString(big)});
    QElapsedTimer clock;
    clock.start();
    delete second;
    EXPECT_LT(clock.elapsed(), 1000);
}

}  // namespace
}  // namespace kvel::test
