// What the traffic tap costs a transaction. BM_ReadWithTap reads against the simulator, each
// iteration one read with the link's tap attached and one with it detached, in turn, so that
// the load of the machine falls on both alike; with a 20 ms pause instead of 100 ms, so that
// the tap's share is larger than in the program. The counters are the mean wall time of each kind
// and the difference in per cent. BM_TapRecord times the tap's own work for one transaction of a
// 30-register read, without the line, to compare with a read's time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "link/module_link.h"
#include "link/traffic_format.h"
#include "sim/simulator.h"

namespace {

using Clock = std::chrono::steady_clock;

void BM_ReadWithTap(benchmark::State& state) {
    kvel::sim::SimOptions options;
    options.typeCode = 215;
    options.drift = false;
    options.link = "/tmp/kvel-bench-tap-" + std::to_string(::getpid());
    kvel::sim::Simulator simulator(options);
    if (!simulator.start()) {
        state.SkipWithError(simulator.errorText().c_str());
        return;
    }
    kvel::ModuleLink link;
    link.setTiming({20, 20, 20, 500, 10});
    link.openPort(simulator.devicePath(), 4, 0);
    kvel::ReadTransaction t;
    t.moduleAddress = 100;
    t.firstRegister = 512;
    t.count = 30;
    double withUs = 0;
    double withoutUs = 0;
    int pairs = 0;
    int failed = 0;
    for (auto _ : state) {
        double us[2] = {};
        bool ok = true;
        // Which goes first changes every time, so that neither gains by its place.
        const bool tapFirst = (pairs + failed) % 2 == 0;
        for (const bool observed : {tapFirst, !tapFirst}) {
            link.port().setTrafficObserver(observed ? &link.traffic() : nullptr);
            const auto start = Clock::now();
            ok = link.readRegisters(t) && ok;
            us[observed ? 0 : 1] =
                std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        }
        // A read that a stall of the loaded machine spoiled says nothing about the tap.
        if (!ok) {
            ++failed;
            continue;
        }
        withUs += us[0];
        withoutUs += us[1];
        ++pairs;
    }
    const double n = std::max(pairs, 1);
    state.counters["with_tap_ms"] = withUs / n / 1000.0;
    state.counters["without_ms"] = withoutUs / n / 1000.0;
    state.counters["tap_share_pct"] = 100.0 * (withUs - withoutUs) / withoutUs;
    state.counters["failed_pairs"] = failed;
}

BENCHMARK(BM_ReadWithTap)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(300)
    ->Repetitions(3);

// The calls one 30-register read makes on the tap, with stale bytes to keep, once the ring
// is full and its slots are reused.
void BM_TapRecord(benchmark::State& state) {
    kvel::TrafficTap tap;
    const std::uint8_t request[8] = {0x64, 0x03, 0x02, 0x00, 0x00, 0x1E, 0xC5, 0xCD};
    std::vector<std::uint8_t> reply(65, 0x3A);
    const std::uint8_t stale[7] = {0x64, 0x03, 0x02, 0x00, 0x05, 0x11, 0x22};
    for (auto _ : state) {
        tap.beginTransaction(request, sizeof request);
        tap.inputDiscarded(stale, sizeof stale);
        tap.requestSent();
        tap.endTransaction(reply.data(), reply.size(), kvel::TrafficVerdict::Good, {});
    }
    benchmark::DoNotOptimize(tap.counters().requests);
}
BENCHMARK(BM_TapRecord)->Unit(benchmark::kNanosecond);

// Formatting one transaction as a line (the trace, the window's row, the saved file).
void BM_TrafficLine(benchmark::State& state) {
    kvel::TrafficTap tap;
    const std::uint8_t request[8] = {0x64, 0x03, 0x02, 0x00, 0x00, 0x1E, 0xC5, 0xCD};
    std::vector<std::uint8_t> reply(65, 0x3A);
    tap.beginTransaction(request, sizeof request);
    tap.requestSent();
    tap.endTransaction(reply.data(), reply.size(), kvel::TrafficVerdict::Good, {});
    for (auto _ : state) benchmark::DoNotOptimize(kvel::trafficLine(tap.at(0)));
}
BENCHMARK(BM_TrafficLine)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
