// One step of a marker drag on the main window's chart: the marker times and the values of 15
// visible curves of a day, a week and 30 days of points at a 5 s period, then the repaint of the
// shown plot (its kept picture and the marker lines over it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "chart/markers.h"

namespace {

constexpr int kWidth = 875, kHeight = 635;
constexpr double kX0 = 46000.0, kStep = 5.0 / 86400;

struct Scene {
    explicit Scene(int n) {
        plot.resize(kWidth, kHeight);
        plot.leftAxis()->setMinMax(-10, 80);
        plot.bottomAxis()->setMinMax(kX0, kX0 + n * kStep);
        std::array<kvel::XYLine*, kvel::kChartSlots> pointers{};
        for (int s = 0; s < kvel::kChartSlots; ++s) {
            auto& line = lines[static_cast<std::size_t>(s)];
            line = std::make_unique<kvel::XYLine>();
            line->setLockInvalidate(true);
            for (int i = 0; i < n; ++i) {
                line->addXY(kX0 + i * kStep, 25 + 3 * s + 10 * std::sin(i * 0.001 + s));
            }
            line->setPlot(&plot);
            line->setLockInvalidate(false);
            pointers[static_cast<std::size_t>(s)] = line.get();
        }
        kvel::MarkerControls c;
        c.handle1 = new kvel::MarkerHandle(&plot);
        c.handle2 = new kvel::MarkerHandle(&plot);
        c.track1 = &edits[0];
        c.track2 = &edits[1];
        c.delta = &edits[2];
        for (QLabel*& label : c.labels) label = new QLabel(&plot);
        handle = c.handle1;
        markers = std::make_unique<kvel::ChartMarkers>(plot, pointers, c);
        plot.show();
        plot.repaint();
        QCoreApplication::processEvents();
        markers->setMarkersOn(true);
        markers->startDrag(handle);
    }
    ~Scene() {
        markers.reset();
        for (auto& line : lines) line.reset();
    }
    kvel::XYPlot plot;
    std::array<std::unique_ptr<kvel::XYLine>, kvel::kChartSlots> lines;
    std::array<QLineEdit, 3> edits;
    kvel::MarkerHandle* handle = nullptr;
    std::unique_ptr<kvel::ChartMarkers> markers;
};

void BM_MarkerDragStep(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    const QRect f = scene.plot.fieldRect();
    int column = f.left() + 100;
    for (auto _ : state) {
        column = column == f.left() + 100 ? f.left() + 400 : f.left() + 100;
        scene.markers->dragOver(scene.handle, column, 5);
        scene.plot.repaint();
    }
}
BENCHMARK(BM_MarkerDragStep)->Arg(17280)->Arg(120960)->Arg(518400)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
