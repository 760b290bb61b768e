// Full repaints of a plot with 15 long series into an 875 × 635 image, for the whole X range
// and for a window of the last 0.01 days, and the main window's steady state in the whole-range
// view: one point appended to each series, then the repaint of the shown plot. Prints one line per
// case (times in ms: the median of the wall clock and of the process's CPU time, and the fastest
// wall clock; on a shared machine the CPU time and the minimum say most):
//   xyplot N=<n> view=<all|all-rezoomed|window|append> median_ms=<x> cpu_median_ms=<x> min_ms=<x>
// "all" repaints the same whole-range view, "all-rezoomed" changes the range slightly before
// every paint (zooming, panning) so that no earlier reduction of the series can be reused.
// and per history length the memory per point of the series storage and of its block index:
//   memory N=<n> storage_bytes_per_point=<x> index_bytes_per_point=<x>
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>

#include "plot/xy_line.h"
#include "plot/xy_plot.h"

namespace {

using namespace kvel;

constexpr int kSeries = 15;
constexpr int kWidth = 875, kHeight = 635;
constexpr double kX0 = 46000.0, kStep = 5.0 / 86400;

struct Scene {
    explicit Scene(int n) {
        plot.resize(kWidth, kHeight);
        plot.leftAxis()->setMinMax(-10, 60);
        plot.bottomAxis()->setLabelAsDateTime(true);
        plot.bottomAxis()->setLabelFormat("hh:mm:ss");
        std::mt19937 rng(20240601);
        std::normal_distribution<double> noise(0.0, 0.4);
        for (int s = 0; s < kSeries; ++s) {
            auto& line = lines[s];
            line.lineAttr()->setColor(QColor::fromRgb(QRgb(0x1F3F5F * (s + 1)) & 0xFFFFFF));
            line.setLockInvalidate(true);
            for (int i = 0; i < n; ++i)
                line.addXY(kX0 + i * kStep,
                           25 + 3 * s + 10 * std::sin(i * 2 * M_PI / 17280.0 + s) + noise(rng));
            line.setPlot(&plot);
        }
        last = kX0 + (n - 1) * kStep;
        reportMemory(n);
    }
    void reportMemory(int n) const {
        const XYLine& l = lines[0];
        // Point blocks of 32 × 16 bytes behind one pointer each, with the allocator's header.
        const double blocks = l.capacity() / double(XYDataSeries::kGrowth);
        const double storage = l.capacity() * 16.0 + blocks * (sizeof(void*) + 16);
        std::printf("memory N=%d storage_bytes_per_point=%.3f index_bytes_per_point=%.3f\n", n,
                    storage / l.count(), double(l.yIndex().memoryBytes()) / l.count());
        std::fflush(stdout);
    }
    // One poll of the main window: a point for each series, reported once per series.
    void appendPoint() {
        last += kStep;
        for (int s = 0; s < kSeries; ++s) {
            lines[s].setLockInvalidate(true);
            lines[s].addXY(last, 25 + 3 * s + 10 * std::sin(appended++ * 0.001 + s));
            lines[s].setLockInvalidate(false);
        }
    }
    long appended = 0;
    XYPlot plot;
    XYLine lines[kSeries];
    double last = 0;
};

Scene& sceneFor(int n) {
    static std::map<int, std::unique_ptr<Scene>> scenes;
    if (!scenes.count(n)) {
        scenes.clear();  // one size at a time: the largest holds 15 × 518,400 points
        scenes[n] = std::make_unique<Scene>(n);
    }
    return *scenes[n];
}

void xyPlot(benchmark::State& state) {
    const int n = int(state.range(0));
    Scene& scene = sceneFor(n);
    const int view = int(state.range(1));
    const double first = view == 1 ? scene.last - 0.01 : kX0;
    scene.plot.bottomAxis()->setMinMax(first, scene.last);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    static int paints = 0;  // over the repetitions, each of which runs this anew
    for (auto _ : state) {
        // A new range at every paint, as zooming and panning give: nothing drawn before can
        // be reused.
        if (view == 3)
            scene.plot.bottomAxis()->setMinMax(first - (1 + ++paints % 2) * kStep, scene.last);
        QPainter p(&image);
        scene.plot.renderTo(&p, QSize(kWidth, kHeight));
    }
    state.counters["N"] = n;
    state.counters["view"] = view;
}

// The main window in the whole-range view: the time axis runs from the first point to 20 %
// beyond the last; each poll appends to every series and the field is drawn again.
void appendAndRepaint(benchmark::State& state) {
    const int n = int(state.range(0));
    Scene& scene = sceneFor(n);
    XYPlot& plot = scene.plot;
    plot.show();
    QCoreApplication::processEvents();  // exposed: repaint() paints at once
    const auto moveAxis = [&] {
        if (plot.bottomAxis()->max() <= scene.last)
            plot.bottomAxis()->setMinMax(kX0, scene.last + (scene.last - kX0) * 0.2);
    };
    moveAxis();
    plot.repaint();
    int paints = 0;
    for (auto _ : state) {
        scene.appendPoint();
        moveAxis();
        const bool drawn = !plot.pictureValid();
        plot.repaint();
        paints += drawn && plot.pictureValid();
    }
    if (paints != int(state.iterations())) state.SkipWithError("the plot was not repainted");
    plot.hide();
    state.counters["N"] = n;
    state.counters["view"] = 2;
}

class LineReporter : public benchmark::BenchmarkReporter {
  public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Aggregate) continue;
            if (r.aggregate_name == "median") {
                median_ = r.GetAdjustedRealTime();
                cpu_ = r.GetAdjustedCPUTime();
            } else if (r.aggregate_name == "min") {
                static const char* const kViews[] = {"all", "window", "append", "all-rezoomed"};
                std::printf("xyplot N=%d view=%s median_ms=%.3f cpu_median_ms=%.3f min_ms=%.3f\n",
                            int(r.counters.at("N")), kViews[int(r.counters.at("view"))], median_,
                            cpu_, r.GetAdjustedRealTime());
                std::fflush(stdout);
            }
        }
    }

  private:
    double median_ = 0, cpu_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const auto min = [](const std::vector<double>& v) {
        return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
    };
    for (int n : {17280, 120960, 518400}) {
        for (int view : {0, 3, 1})
            benchmark::RegisterBenchmark("xyplot", xyPlot)
                ->Args({n, view})
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1)
                ->Repetitions(view == 1 ? 41 : 15)
                ->ComputeStatistics("min", min)
                ->ReportAggregatesOnly(true);
        benchmark::RegisterBenchmark("append", appendAndRepaint)
            ->Args({n})
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(15)
            ->ComputeStatistics("min", min)
            ->ReportAggregatesOnly(true);
    }
    benchmark::Initialize(&argc, argv);
    LineReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
