// What evaluating the alarm rules costs beside the poll that brings the values, at 30 channels
// (the 30-channel module against the simulator on a pseudo-terminal, the program's own timing).
//   BM_EvaluateShareOfPoll: per iteration one poll, then the rules (a high and a low limit on
//     every channel, the sensor and link faults) evaluated on its readings. poll_cpu_us and
//     evaluate_cpu_us are the thread's CPU time for each; share_percent = evaluate / poll.
#include <benchmark/benchmark.h>
#include <time.h>
#include <unistd.h>

#include "core/alarm_monitor.h"
#include "core/poll_cycle.h"
#include "sim/simulator.h"
#include "tests/common/temp_dir.h"

namespace {

using namespace kvel;

double threadCpuUs() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

void BM_EvaluateShareOfPoll(benchmark::State& state) {
    test::TempDir dir;
    sim::SimOptions options;
    options.typeCode = 215;  // 30 channels
    options.link = dir.File("tty");
    sim::Simulator simulator(options);
    if (!simulator.start()) {
        state.SkipWithError(simulator.errorText().c_str());
        return;
    }
    MemIni ini(dir.File("mem.ini"));
    ini.writeString("connect", "port", options.link);
    ini.writeInteger("connect", "speed", 4);
    ModuleLink link;
    PollCycle poll(link, ini, dir.Path().string() + "/");
    AlarmRules rules;
    for (std::size_t n = 1; n <= kMaxChannels; ++n) {
        rules.low[n] = 15.0 + static_cast<double>(n % 7);
        rules.high[n] = 22.0 + static_cast<double>(n % 5);
    }
    AlarmMonitor monitor;
    monitor.setRules(rules);
    poll.poll();  // identifies the module
    double pollUs = 0, evaluateUs = 0;
    constexpr int kEvaluations = 100;  // for a measurable time
    PollReadings last;
    for (auto _ : state) {
        const double t0 = threadCpuUs();
        last = poll.poll().readings;
        const double t1 = threadCpuUs();
        PollReadings readings = last;
        for (int k = 0; k < kEvaluations; ++k) {
            readings.at += 1;
            benchmark::DoNotOptimize(monitor.evaluate(readings));
        }
        const double t2 = threadCpuUs();
        pollUs += t1 - t0;
        evaluateUs += (t2 - t1) / kEvaluations;
    }
    if (!last.linkUp || last.channels.size() != 30u) {
        state.SkipWithError("the module did not answer with 30 channels");
        return;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["poll_cpu_us"] = pollUs / n;
    state.counters["evaluate_cpu_us"] = evaluateUs / n;
    state.counters["share_percent"] = 100.0 * evaluateUs / pollUs;
}
BENCHMARK(BM_EvaluateShareOfPoll)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
