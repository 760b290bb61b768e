// Duration of a read against the simulator with the real pauses, at 9600 and 115200 bit/s,
// beside the fixed 100 ms pause and the wire time (11 bits per character). The module answers
// while the master pauses, so a reply shorter than the pause costs pause + quiet time, and a
// longer one its wire time + quiet time. The overhead of our own code is what the median
// exceeds floor_ms by.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "link/module_link.h"
#include "sim/simulator.h"

namespace {

void BM_ReadRegisters(benchmark::State& state) {
    const int speedIndex = static_cast<int>(state.range(0));
    const int count = static_cast<int>(state.range(1));
    kvel::sim::SimOptions options;
    options.typeCode = 215;
    options.drift = false;
    options.link = "/tmp/kvel-bench-" + std::to_string(::getpid());
    kvel::sim::Simulator simulator(options);
    if (!simulator.start()) {
        state.SkipWithError(simulator.errorText().c_str());
        return;
    }
    kvel::ModuleLink link;
    link.openPort(simulator.devicePath(), speedIndex, 0);
    kvel::ReadTransaction t;
    t.moduleAddress = 100;
    t.firstRegister = 512;
    t.count = static_cast<std::uint16_t>(count);
    for (auto _ : state) {
        if (!link.readRegisters(t)) {
            state.SkipWithError(errorText(t).c_str());
            return;
        }
    }
    const double bps = kvel::SerialPort::speedOfIndex(speedIndex);
    const double wireMs = (8 + 5 + 2 * count) * 11 * 1000.0 / bps;  // request and reply
    state.counters["bps"] = bps;
    state.counters["wire_ms"] = wireMs;
    state.counters["pause_plus_wire_ms"] = 100 + wireMs;
    state.counters["floor_ms"] = std::max(100.0, wireMs) + 10;  // pause or wire, then quiet
}

BENCHMARK(BM_ReadRegisters)
    ->Args({0, 30})
    ->Args({4, 30})
    ->ArgNames({"speed", "registers"})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Iterations(30)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
