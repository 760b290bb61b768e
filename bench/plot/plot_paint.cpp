// Full repaints of a plot with 15 long series into an 875 × 635 image, for the whole X range
// and for a window of the last 0.01 days. Prints one line per case:
//   xyplot N=<n> view=<all|window> median_ms=<x>
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>

#include "plot/plot.h"

namespace {

constexpr int kSeries = 15;
constexpr int kWidth = 875, kHeight = 635;
constexpr double kX0 = 46000.0, kStep = 5.0 / 86400;

struct Scene {
    explicit Scene(int n) {
        plot.resize(kWidth, kHeight);
        plot.LeftAxis()->SetMinMax(-10, 60);
        plot.BottomAxis()->SetLabelAsDataTime(true);
        plot.BottomAxis()->SetLabelFormat("hh:nn:ss");
        std::mt19937 rng(20240601);
        std::normal_distribution<double> noise(0.0, 0.4);
        for (int s = 0; s < kSeries; ++s) {
            auto& line = lines[s];
            line.LineAttr()->SetColor(TColor(0x1F3F5F * (s + 1)) & 0xFFFFFF);
            line.SetLockInvalidate(true);
            for (int i = 0; i < n; ++i)
                line.AddXY(kX0 + i * kStep,
                           25 + 3 * s + 10 * std::sin(i * 2 * M_PI / 17280.0 + s) + noise(rng));
            line.SetPlot(&plot);
        }
        last = kX0 + (n - 1) * kStep;
    }
    Tsp_XYPlot plot;
    Tsp_XYLine lines[kSeries];
    double last = 0;
};

Scene& SceneFor(int n) {
    static std::map<int, std::unique_ptr<Scene>> scenes;
    if (!scenes.count(n)) {
        scenes.clear();  // one size at a time: the largest holds 15 × 518,400 points
        scenes[n] = std::make_unique<Scene>(n);
    }
    return *scenes[n];
}

void XyPlot(benchmark::State& state) {
    const int n = int(state.range(0));
    const bool window = state.range(1) != 0;
    Scene& scene = SceneFor(n);
    const double first = window ? scene.last - 0.01 : kX0;
    scene.plot.BottomAxis()->SetMinMax(first, scene.last);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        scene.plot.DrawOnCanvas(&p, kWidth, kHeight);
    }
    state.counters["N"] = n;
    state.counters["window"] = window;
}

class LineReporter : public benchmark::BenchmarkReporter {
  public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Aggregate || r.aggregate_name != "median") continue;
            std::printf("xyplot N=%d view=%s median_ms=%.3f\n", int(r.counters.at("N")),
                        r.counters.at("window") != 0 ? "window" : "all", r.GetAdjustedRealTime());
            std::fflush(stdout);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    for (int n : {17280, 120960, 518400})
        for (int view : {0, 1})
            benchmark::RegisterBenchmark("xyplot", XyPlot)
                ->Args({n, view})
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1)
                ->Repetitions(view ? 41 : 7)
                ->ReportAggregatesOnly(true);
    benchmark::Initialize(&argc, argv);
    LineReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
