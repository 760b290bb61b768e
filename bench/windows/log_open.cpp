// A 30-day log at a 5 s period (518,400 lines, 15 channels, some "---", a few torn lines), or
// the log named by KVEL_BENCH_LOG (a year or five made by log_generate): open to first paint in
// the log viewer (read on the viewer's thread), resident memory after it, repaints of the whole
// range and of one hour, a 1920×1080 PNG of the chart, statistics and a CSV of the whole log.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

#include "chart/chart_image.h"
#include "config/mem_ini.h"
#include "core/csv_export.h"
#include "core/log_stats.h"
#include "core/measurement_log.h"
#include "windows/log_viewer_window.h"

namespace {

constexpr int kLines = 30 * 17280;

std::string logPath() {
    if (const char* given = std::getenv("KVEL_BENCH_LOG")) return given;
    return QDir::tempPath().toStdString() + "/kvel-bench-30days.txt";
}

void writeLog(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << kvel::logHeaderLine();
    std::string line;
    for (int i = 0; i < kLines; ++i) {
        const int s = i * 5;
        const int day = 1 + s / 86400;
        char stamp[40];
        std::snprintf(stamp, sizeof stamp, "%02d.11.26\t%02d:%02d:%02d\t", day, s / 3600 % 24,
                      s / 60 % 60, s % 60);
        line = stamp;
        for (int c = 1; c <= 15; ++c) {
            // Now and then a channel without a reading.
            if ((i * 7 + c * 13) % 997 == 0) {
                line += "---\t";
                continue;
            }
            line += kvel::formatLogTemperature(20 + c * 3 + 5 * std::sin(i / 3000.0 + c)) + "\t";
        }
        // A few lines cut in the middle, as a crash while writing leaves them.
        if (i % 100000 == 99999) line.resize(30);
        out << line << "\r\n";
    }
}

long residentKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == field) {
            status >> value;
            return value;
        }
    }
    return 0;
}

struct Viewer {
    kvel::MemIni ini{""};
    std::unique_ptr<kvel::LogViewerWindow> window;
};
Viewer* viewer = nullptr;

void BM_OpenToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        delete viewer;
        viewer = new Viewer;
        const auto start = std::chrono::steady_clock::now();
        viewer->window = std::make_unique<kvel::LogViewerWindow>(viewer->ini);
        viewer->window->resize(1600, 900);
        viewer->window->openFile(QString::fromStdString(logPath()));
        viewer->window->show();
        // Painted for sure: repaint() of a window not yet exposed paints nothing.
        viewer->window->plot()->grab();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["lines"] = viewer->window->data().rows();
    state.counters["skipped"] = viewer->window->data().skippedTotal();
    state.counters["rss_MB"] = residentKb("VmRSS:") / 1024.0;
    state.counters["peak_rss_MB"] = residentKb("VmHWM:") / 1024.0;
}
BENCHMARK(BM_OpenToFirstPaint)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void repaint(benchmark::State& state, double span) {
    kvel::XYPlot& plot = *viewer->window->plot();
    const kvel::LogData& data = viewer->window->data();
    const double from = span > 0 ? data.time(data.rows() / 2) : data.time(0);
    plot.bottomAxis()->setMinMax(from, span > 0 ? from + span : data.time(data.rows() - 1));
    for (auto _ : state) {
        plot.replot();
        plot.grab();
    }
}
void BM_RepaintWholeRange(benchmark::State& state) {
    repaint(state, 0);
}
void BM_RepaintOneHour(benchmark::State& state) {
    repaint(state, 1.0 / 24);
}
BENCHMARK(BM_RepaintWholeRange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintOneHour)->Unit(benchmark::kMillisecond);

void BM_ExportPng1920x1080(benchmark::State& state) {
    kvel::XYPlot& plot = *viewer->window->plot();
    viewer->window->chart().standardView();
    const QString path = QDir::tempPath() + "/kvel-bench-chart.png";
    std::string error;
    for (auto _ : state) {
        if (!kvel::saveChartImage(plot, QSize(1920, 1080), path, kvel::ChartImageFormat::Png,
                                  error))
            state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_ExportPng1920x1080)->Unit(benchmark::kMillisecond);

// Statistics of every channel over the whole log: a long log's readings are read back.
void BM_StatisticsWholeRange(benchmark::State& state) {
    const kvel::LogData& data = viewer->window->data();
    std::vector<int> channels;
    for (int c = 1; c <= kvel::kLogChannels; ++c) channels.push_back(c);
    for (auto _ : state) {
        const auto stats =
            kvel::logStats(data, data.time(0), data.time(data.rows() - 1), channels, 50);
        benchmark::DoNotOptimize(stats.data());
    }
}
BENCHMARK(BM_StatisticsWholeRange)->Unit(benchmark::kMillisecond)->Iterations(1);

// The whole log as CSV, written row by row: the peak resident memory stays that of the open log.
void BM_ExportCsvWholeRange(benchmark::State& state) {
    const kvel::LogData& data = viewer->window->data();
    std::vector<int> channels;
    for (int c = 1; c <= kvel::kLogChannels; ++c) channels.push_back(c);
    const std::string path = QDir::tempPath().toStdString() + "/kvel-bench-export.csv";
    std::string error;
    for (auto _ : state) {
        if (!kvel::writeLogCsv(path, data, data.time(0), data.time(data.rows() - 1), channels,
                               error))
            state.SkipWithError(error.c_str());
    }
    std::remove(path.c_str());
    state.counters["peak_rss_MB"] = residentKb("VmHWM:") / 1024.0;
}
BENCHMARK(BM_ExportCsvWholeRange)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const bool own = !std::getenv("KVEL_BENCH_LOG");
    if (own) writeLog(logPath());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    delete viewer;
    if (own) std::remove(logPath().c_str());
    return 0;
}
