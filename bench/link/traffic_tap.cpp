// What the traffic tap costs a transaction. BM_ReadWithTap runs reads against the simulator
// with the link's tap attached (observer:1) and detached (observer:0), without the 100 ms
// pause so that the tap's share is as large as it can get. BM_TapRecord times the tap's own
// work for one transaction of a 30-register read, without the line, to compare with that.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "link/module_link.h"
#include "link/traffic_format.h"
#include "sim/simulator.h"

namespace {

void BM_ReadWithTap(benchmark::State& state) {
    const bool observed = state.range(0) != 0;
    kvel::sim::SimOptions options;
    options.typeCode = 215;
    options.drift = false;
    options.link = "/tmp/kvel-bench-tap-" + std::to_string(::getpid());
    kvel::sim::Simulator simulator(options);
    if (!simulator.Start()) {
        state.SkipWithError(simulator.Error().c_str());
        return;
    }
    kvel::TModuleLink link;
    link.SetTiming({0, 0, 0, 500, 10});
    link.OpenPort(simulator.DevicePath(), 4, 0);
    if (!observed) link.Port().SetTrafficObserver(nullptr);
    kvel::TReadTransaction& t = link.First();
    t.moduleAddress = 100;
    t.firstRegister = 512;
    t.count = 30;
    for (auto _ : state) {
        if (!link.ReadRegisters(t)) {
            state.SkipWithError(t.errorText);
            return;
        }
    }
    state.counters["recorded"] = static_cast<double>(link.Traffic().Counters().requests);
}

BENCHMARK(BM_ReadWithTap)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("observer")
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Iterations(200)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

// The calls one 30-register read makes on the tap, with stale bytes to keep, once the ring
// is full and its slots are reused.
void BM_TapRecord(benchmark::State& state) {
    kvel::TTrafficTap tap;
    const std::uint8_t request[8] = {0x64, 0x03, 0x02, 0x00, 0x00, 0x1E, 0xC5, 0xCD};
    std::vector<std::uint8_t> reply(65, 0x3A);
    const std::uint8_t stale[7] = {0x64, 0x03, 0x02, 0x00, 0x05, 0x11, 0x22};
    for (auto _ : state) {
        tap.BeginTransaction(request, sizeof request);
        tap.InputDiscarded(stale, sizeof stale);
        tap.RequestSent();
        tap.EndTransaction(reply.data(), reply.size(), kvel::TrafficVerdict::Good, "", 0);
    }
    benchmark::DoNotOptimize(tap.Counters().requests);
}
BENCHMARK(BM_TapRecord)->Unit(benchmark::kNanosecond);

// Formatting one transaction as a line (the trace, the window's row, the saved file).
void BM_TrafficLine(benchmark::State& state) {
    kvel::TTrafficTap tap;
    const std::uint8_t request[8] = {0x64, 0x03, 0x02, 0x00, 0x00, 0x1E, 0xC5, 0xCD};
    std::vector<std::uint8_t> reply(65, 0x3A);
    tap.BeginTransaction(request, sizeof request);
    tap.RequestSent();
    tap.EndTransaction(reply.data(), reply.size(), kvel::TrafficVerdict::Good, "", 0);
    for (auto _ : state) benchmark::DoNotOptimize(kvel::TrafficLine(tap.At(0)));
}
BENCHMARK(BM_TrafficLine)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
