// The scan of the line against the simulator on a pseudo-terminal, beside its physical floor:
// per probe the request (8 characters) and the reply (7) of 11 bits at the speed, plus the
// margin of 20 ms. A pseudo-terminal takes no wire time, so what a probe exceeds its floor by
// is our own overhead (and the scheduler's).
//   BM_SilentProbe/speed: one probe nobody answers; floor_ms beside the time per probe.
//   BM_SilentSpace: addresses 1-20 at every speed and parity (300 probes) with nobody there;
//     ratio = time / sum of floors, full_space_s = the whole space (3,705 probes) at that ratio.
//   BM_FoundAtStoredLine: the module at the stored speed and parity but at address 247, the
//     stored address 1: found after 247 probes; ratio = time / 247 floors at that speed.
#include "core/line_scan.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "sim/simulator.h"

namespace {

using kvel::LineScan;
using kvel::ScanRequest;

std::unique_ptr<kvel::sim::Simulator> startSimulator(benchmark::State& state, int address,
                                                     int speed, int parity) {
    kvel::sim::SimOptions options;
    options.address = static_cast<std::uint8_t>(address);
    options.speedIndex = speed;
    options.parityIndex = parity;
    options.drift = false;
    options.link = "/tmp/kvel-bench-scan-" + std::to_string(::getpid());
    auto simulator = std::make_unique<kvel::sim::Simulator>(options);
    if (!simulator->start()) {
        state.SkipWithError(simulator->errorText().c_str());
        return nullptr;
    }
    return simulator;
}

double floorsMs(const LineScan& scan) {
    double sum = 0;
    for (const kvel::LineSetting& at : scan.order()) {
        sum += kvel::probeFloorMs(at.speedIndex, scan.request().marginMs);
    }
    return sum;
}

void BM_SilentProbe(benchmark::State& state) {
    const int speed = static_cast<int>(state.range(0));
    const auto simulator = startSimulator(state, 200, speed, 0);
    if (!simulator) return;
    kvel::SerialPort port;
    port.open(simulator->devicePath(), speed, 0);
    for (auto _ : state) {
        kvel::probeRegister(port, 1, 145, speed, kvel::kDefaultScanMarginMs);
    }
    state.counters["floor_ms"] = kvel::probeFloorMs(speed, kvel::kDefaultScanMarginMs);
}

void BM_SilentSpace(benchmark::State& state) {
    const auto simulator = startSimulator(state, 200, 0, 0);
    if (!simulator) return;
    ScanRequest request;
    request.port = simulator->devicePath();
    request.stored = {1, 0, 0};
    request.space.lastAddress = 20;
    double floors = 0;
    double fullFloors = 0;
    double seconds = 0;
    for (auto _ : state) {
        LineScan scan(request);
        floors = floorsMs(scan);
        ScanRequest full = request;
        full.space = {};
        fullFloors = floorsMs(LineScan(full));
        kvel::SerialPort port;
        const auto start = std::chrono::steady_clock::now();
        const kvel::ScanProgress result = scan.run(port);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (result.done != result.total || !result.findings.empty()) {
            state.SkipWithError("the scan did not cover the space silently");
            return;
        }
    }
    state.counters["probes"] = 300;
    state.counters["floors_s"] = floors / 1000;
    state.counters["ratio"] = seconds * 1000 / floors;
    state.counters["full_floors_s"] = fullFloors / 1000;
    state.counters["full_space_s"] = seconds * 1000 / floors * fullFloors / 1000;
}

void BM_FoundAtStoredLine(benchmark::State& state) {
    const int speed = static_cast<int>(state.range(0));
    const auto simulator = startSimulator(state, 247, speed, 0);
    if (!simulator) return;
    ScanRequest request;
    request.port = simulator->devicePath();
    request.stored = {1, speed, 0};
    double seconds = 0;
    for (auto _ : state) {
        LineScan scan(request);
        kvel::SerialPort port;
        const auto start = std::chrono::steady_clock::now();
        const kvel::ScanProgress result = scan.run(port);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (result.done != 247 || result.findings.size() != 1 || !result.findings[0].module) {
            state.SkipWithError("the module was not found at the 247th probe");
            return;
        }
    }
    const double floors = 247 * kvel::probeFloorMs(speed, kvel::kDefaultScanMarginMs);
    state.counters["floors_s"] = floors / 1000;
    state.counters["ratio"] = seconds * 1000 / floors;
}

BENCHMARK(BM_SilentProbe)
    ->DenseRange(0, 4)
    ->ArgName("speed")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(40);
BENCHMARK(BM_SilentSpace)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_FoundAtStoredLine)
    ->Arg(0)
    ->Arg(4)
    ->ArgName("speed")
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
