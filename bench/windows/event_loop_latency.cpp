// How long the GUI thread keeps the event loop waiting while the program talks to the module:
// the real main window against the simulator on a pseudo-terminal, with the real pauses and a
// 1 s poll period, at 9600 bit/s, with the chart updating and every poll logged. A 5 ms precise
// timer on the GUI thread is the probe. Every 5 ms of the steady clock is one sample, late by
// the time from when its tick was due to the tick that came: a freeze of 200 ms gives 40 samples
// late by 195, 190 … 0 ms, as a click at a random moment would wait. Counting only the ticks that
// fired would give it one sample among hundreds, and a p99 that hides it. The time frozen is the
// sum of the gaps between ticks longer than 50 ms. Per scenario: median, p99 and max lateness
// and the share of the time frozen.
//
// Scenarios: polls of a healthy module and of a silent one (KVEL_LATENCY_SECONDS, default 60 s),
// a write of all 30 coefficients and a relay settings write from the module settings dialog, and
// the cabinet window refreshing against a silent host controller (the same seconds, at most
// 10). The operations are started as a user starts them, by their buttons, and their end is
// waited for by what the user sees (the message box), so an exchange that finishes later on
// another thread is measured the same way as one that finishes inside the click.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/log_file.h"
#include "link/message_sink.h"
#include "link/module_map.h"
#include "sim/simulator.h"
#include "tests/common/temp_dir.h"
#include "windows/cabinet_window.h"
#include "windows/file_choosers.h"
#include "windows/log_viewer_window.h"
#include "windows/main_window.h"
#include "windows/module_generation_dialogs.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr int kTickMs = 5;
constexpr double kFrozenMs = 50;
constexpr int kModuleType = 215;  // second generation, 30 channels
constexpr char kOk[] = "\u041E\u041A";
constexpr char kOnline[] = "МОДУЛЬ НА СВЯЗИ";

// Seconds of the poll scenarios; the cabinet scenario takes at most 10 of them.
int scenarioSeconds() {
    const char* text = std::getenv("KVEL_LATENCY_SECONDS");
    if (text == nullptr || *text == '\0') return 60;
    char* end = nullptr;
    const long seconds = std::strtol(text, &end, 10);
    if (*end != '\0' || seconds < 1 || seconds > 3600) {
        std::fprintf(stderr, "KVEL_LATENCY_SECONDS=%s is not 1..3600 seconds: 60 s taken\n", text);
        return 60;
    }
    return static_cast<int>(seconds);
}

// The probe: a 5 ms precise timer on the GUI thread. It runs for the whole session so that the
// waits below wake at least every 5 ms; reset() starts a measurement, stop() ends it.
class LatencyProbe {
  public:
    LatencyProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kTickMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start();
    }
    void reset() {
        lateness_.clear();
        ticks_ = 0;
        frozenMs_ = 0;
        measuring_ = true;
        start_ = last_ = Clock::now();
    }
    // The time since the last tick counts as one more gap: a freeze the measurement ends in
    // is not lost.
    void stop() {
        record(false);
        measuring_ = false;
        durationMs_ = Ms(last_ - start_).count();
    }

    double durationMs() const { return durationMs_; }
    double frozenPercent() const { return durationMs_ > 0 ? 100 * frozenMs_ / durationMs_ : 0; }
    std::size_t ticks() const { return ticks_; }
    std::size_t samples() const { return lateness_.size(); }
    // Nearest rank of the sorted lateness; 0 without samples.
    double percentile(double p) const {
        if (lateness_.empty()) return 0;
        std::vector<double> sorted = lateness_;
        std::sort(sorted.begin(), sorted.end());
        const auto rank = static_cast<std::size_t>(std::ceil(p / 100 * sorted.size()));
        return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
    }

  private:
    void tick() { record(true); }
    // The 5 ms steps due since the last tick, each late until now; a tick that fired is at
    // least one sample even when it came a little early.
    void record(bool fired) {
        if (!measuring_) return;
        const Clock::time_point now = Clock::now();
        const double gap = Ms(now - last_).count();
        last_ = now;
        auto due = static_cast<int>(gap / kTickMs);
        if (fired) {
            ++ticks_;
            due = std::max(due, 1);
        }
        for (int i = 1; i <= due; ++i) lateness_.push_back(std::max(0.0, gap - i * kTickMs));
        if (gap > kFrozenMs) frozenMs_ += gap;
    }

    QTimer timer_;
    bool measuring_ = false;
    Clock::time_point start_, last_;
    std::vector<double> lateness_;
    std::size_t ticks_ = 0;
    double frozenMs_ = 0;
    double durationMs_ = 0;
};

// Lets the event loop run until `done` holds or `timeoutMs` have passed; true when it holds.
// The probe's timer wakes the loop every 5 ms, so nothing here spins.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done() && Clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

void pumpFor(int ms) {
    pumpUntil([] { return false; }, ms);
}

struct Row {
    std::string name;
    double seconds = 0;
    std::size_t ticks = 0;
    double median = 0, p99 = 0, max = 0, frozen = 0;
};
std::vector<Row> table;

// The program as the user runs it, in a folder of its own with its mem.ini, against the
// simulated module; messages are recorded instead of shown.
class Session {
  public:
    Session() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir_.Path());
        kvel::sim::SimOptions options;
        options.typeCode = kModuleType;
        options.link = dir_.File("tty");
        simulator = std::make_unique<kvel::sim::Simulator>(options);
        started_ = simulator->start();
        std::string ini = "[connect]\nport=" + dir_.File("tty") +
                          "\nspeed=0\nadr=100\n[measure]\nperiod=1\n[file]\nsave=1\nname=" +
                          dir_.File("log.txt") + "\n[diag]\nupdate=1\n[display]\n";
        for (int n = 1; n <= 15; ++n) ini += "d" + std::to_string(n) + "=1\n";
        kvel::test::WriteBytes(dir_.File("mem.ini"), ini);
        kvel::setMessageSink([this](const std::string& text, const std::string& caption) {
            // A box may be asked for from another thread than the GUI's.
            const std::lock_guard lock(boxesMutex_);
            boxes_.push_back(caption + ": " + text);
        });
        // The dialogs the main window makes for itself, here before they are first opened.
        form = std::make_unique<kvel::MainWindow>();
        firstGen = form->firstGenDialog();
        secondGen = form->secondGenDialog();
        cabinet = form->cabinetWindow();
        form->resize(1280, 900);
        form->show();
    }
    ~Session() {
        // The dialogs go with the main window, as in the program.
        form.reset();
        simulator.reset();
        kvel::setMessageSink(nullptr);
        std::filesystem::current_path(previous_);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Empty when the simulator runs and the poll has found the module; else why not.
    std::string waitForModule() {
        if (!started_) return "simulator: " + simulator->errorText();
        const bool found = pumpUntil([this] { return online(); }, 15000);
        return found ? ""
                     : "the poll did not find the module: " + form->statusPanel(0).toStdString();
    }

    std::size_t boxCount() const {
        const std::lock_guard lock(boxesMutex_);
        return boxes_.size();
    }
    std::string lastBox() const {
        const std::lock_guard lock(boxesMutex_);
        return boxes_.empty() ? "" : boxes_.back();
    }
    // The window says the module is on line.
    bool online() const { return form->statusPanel(0) == kOnline && form->linkIndicator()->isOn(); }
    QPushButton* button(QWidget* parent, const char* name) const {
        return parent->findChild<QPushButton*>(name);
    }

    std::unique_ptr<kvel::sim::Simulator> simulator;
    std::unique_ptr<kvel::MainWindow> form;
    kvel::FirstGenModuleDialog* firstGen = nullptr;
    kvel::SecondGenModuleDialog* secondGen = nullptr;
    kvel::CabinetWindow* cabinet = nullptr;
    LatencyProbe probe;

  private:
    mutable std::mutex boxesMutex_;
    std::vector<std::string> boxes_;
    kvel::test::TempDir dir_;
    std::filesystem::path previous_;
    bool started_ = false;
};

void report(benchmark::State& state, const LatencyProbe& probe, const char* name) {
    state.SetIterationTime(probe.durationMs() / 1000);
    Row row{name,
            probe.durationMs() / 1000,
            probe.ticks(),
            probe.percentile(50),
            probe.percentile(99),
            probe.percentile(100),
            probe.frozenPercent()};
    state.counters["seconds"] = row.seconds;
    state.counters["ticks"] = static_cast<double>(row.ticks);
    state.counters["samples"] = static_cast<double>(probe.samples());
    state.counters["median_ms"] = row.median;
    state.counters["p99_ms"] = row.p99;
    state.counters["max_ms"] = row.max;
    state.counters["frozen_pct"] = row.frozen;
    table.push_back(row);
}

// Polls at the 1 s period for the scenario's seconds, the module answering or silent from the
// start (the poll then finds no module each time, as after a power loss).
void polls(benchmark::State& state, bool silent, const char* name) {
    for (auto _ : state) {
        Session session;
        if (silent) session.simulator->setFault(kvel::sim::Fault::Silence);
        session.probe.reset();
        pumpFor(scenarioSeconds() * 1000);
        session.probe.stop();
        const std::size_t requests = session.simulator->requestCount();
        state.counters["requests"] = static_cast<double>(requests);
        if (requests == 0 || session.online() == silent) {
            state.SkipWithError(silent ? "no polls, or the silent module was seen on line"
                                       : "no polls, or the module was not on line at the end");
            return;
        }
        report(state, session.probe, name);
    }
}

void BM_PollsHealthy(benchmark::State& state) {
    polls(state, false, "polls, healthy module");
}
void BM_PollsSilent(benchmark::State& state) {
    polls(state, true, "polls, silent module");
}

// Opens the module settings dialog by its button once the poll has found the module; `inside`
// runs while the dialog is shown and loaded, then the dialog closes. An empty result or the
// reason of the failure.
std::string inModuleDialog(Session& session, const std::function<std::string()>& inside) {
    if (std::string error = session.waitForModule(); !error.empty()) return error;
    std::string result = "the dialog did not open";
    kvel::SecondGenModuleDialog* dialog = session.secondGen;
    // The dialog shows once its load is in; the work runs inside it, then closes it.
    bool finished = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, dialog, [&] {
        if (!dialog->isVisible()) return;
        watch.stop();
        auto* grid = dialog->findChild<QTableWidget*>("channelTable");
        auto* threshold = dialog->findChild<QLineEdit*>("thresholdEdit1");
        // Loaded: every coefficient and the relay fields came from the module.
        const bool loaded = pumpUntil(
            [&] {
                if (!dialog->isVisible() || grid->rowCount() != kvel::kMaxChannels + 1)
                    return false;
                if (threshold->text().isEmpty()) return false;
                for (int row = 1; row <= kvel::kMaxChannels; ++row) {
                    const QTableWidgetItem* item = grid->item(row, 2);
                    if (item == nullptr || item->text().isEmpty() || item->text() == "---")
                        return false;
                }
                return true;
            },
            30000);
        result = loaded ? inside() : "the dialog did not load the module's settings";
        dialog->reject();
        finished = true;
    });
    watch.start(5);
    session.button(session.form.get(), "moduleSettingsButton")->click();
    pumpUntil([&] { return finished; }, 60000);
    return result;
}

// Measures one write started by `button` of the dialog, up to its message box and a little
// after; empty or why it failed.
std::string measureWrite(Session& session, const char* button, const std::string& success) {
    const std::size_t boxesBefore = session.boxCount();
    session.probe.reset();
    pumpFor(200);
    session.button(session.secondGen, button)->click();
    const bool ended = pumpUntil([&] { return session.boxCount() > boxesBefore; }, 120000);
    pumpFor(200);
    session.probe.stop();
    if (!ended) return "no message after 120 s";
    const std::string expected = std::string(kOk) + ": " + success;
    if (session.lastBox() != expected) return session.lastBox();
    return "";
}

void BM_CoefficientWrite30(benchmark::State& state) {
    for (auto _ : state) {
        Session session;
        const std::string error = inModuleDialog(session, [&] {
            // All 30 differ from what the module holds (1.0, 0.95 and 0.9), so all are written.
            session.secondGen->findChild<QLineEdit*>("coefficientForAllEdit")->setText("0.5");
            session.button(session.secondGen, "applyToAllButton")->click();
            return measureWrite(session, "writeCoefficientsButton",
                                "Коэффициенты записаны успешно");
        });
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        int written = 0;
        for (int k = 0; k < kvel::kMaxChannels; ++k) {
            const auto value = session.simulator->registerValue(
                static_cast<std::uint16_t>(kvel::reg::kChannelCoeffs + k));
            if (value == 32767) ++written;  // 0.5
        }
        state.counters["written"] = written;
        if (written != kvel::kMaxChannels) {
            state.SkipWithError("not every coefficient reached the module");
            return;
        }
        report(state, session.probe, "30 coefficients written");
    }
}

void BM_RelaySettingsWrite(benchmark::State& state) {
    for (auto _ : state) {
        Session session;
        const std::string error = inModuleDialog(session, [&] {
            session.secondGen->findChild<QLineEdit*>("thresholdEdit1")->setText("-40");
            return measureWrite(session, "writeRelaysButton", "Параметры реле записаны успешно");
        });
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        if (session.simulator->registerValue(kvel::reg::kRelaySettings[0] + 5) != 0xFFD8) {
            state.SkipWithError("the relay threshold did not reach the module");
            return;
        }
        report(state, session.probe, "relay settings written");
    }
}

// The cabinet window opened by its (hidden) button, Ctrl+H's, with the controller silent; the
// poll is off so that only the window's refreshes are measured.
void BM_CabinetRefreshSilentHost(benchmark::State& state) {
    for (auto _ : state) {
        Session session;
        if (std::string error = session.waitForModule(); !error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        session.form->session().pollTimer()->stop();
        session.simulator->setFault(kvel::sim::Fault::Silence);
        const std::size_t before = session.simulator->requestCount();
        std::string error = "the cabinet window did not open";
        kvel::CabinetWindow* window = session.cabinet;
        QTimer::singleShot(0, window, [&] {
            if (pumpUntil([&] { return window->isVisible(); }, 5000)) {
                session.probe.reset();
                pumpFor(std::min(scenarioSeconds(), 10) * 1000);
                session.probe.stop();
                error.clear();
            }
            window->close();
        });
        session.button(session.form.get(), "cabinetButton")->click();
        const std::size_t requests = session.simulator->requestCount() - before;
        state.counters["requests"] = static_cast<double>(requests);
        if (error.empty() && requests == 0) error = "the window asked the host nothing";
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        report(state, session.probe, "cabinet refresh, silent host");
    }
}

// A large log opened in a viewer of the running program (KVEL_BENCH_LOG, made by log_generate;
// skipped without it), from Ctrl+O's action until the viewer has shown it and two seconds more:
// the live window's lateness, and the longest time between two lines of the live log.
void BM_LogViewerLoading(benchmark::State& state) {
    const char* big = std::getenv("KVEL_BENCH_LOG");
    if (big == nullptr) {
        state.SkipWithError("KVEL_BENCH_LOG names no log");
        return;
    }
    for (auto _ : state) {
        Session session;
        if (std::string error = session.waitForModule(); !error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        pumpFor(2000);
        kvel::setFileChoosers(
            {.openLog = [&](QWidget*, const QString&) { return QString::fromUtf8(big); },
             .exportImage = {},
             .exportCsv = {},
             .openLogs = {},
             .openFolder = {}});
        session.probe.reset();
        kvel::LogViewerWindow* viewer = session.form->openLogViewer();
        const bool shown = viewer && pumpUntil([&] { return !viewer->loading(); }, 600000);
        pumpFor(2000);
        session.probe.stop();
        kvel::setFileChoosers({});
        if (!shown || viewer->data().rows() == 0) {
            state.SkipWithError("the viewer did not show the log");
            return;
        }
        state.counters["log_rows"] = viewer->data().rows();
        viewer->close();
        // The live log: no hole while the viewer read.
        kvel::LogData live;
        std::string error;
        if (!kvel::readLogFile("log.txt", live, error) || live.rows() < 2) {
            state.SkipWithError("no live log");
            return;
        }
        double longest = 0;
        for (int row = 1; row < live.rows(); ++row)
            longest = std::max(longest, (live.time(row) - live.time(row - 1)) * 86400);
        state.counters["live_longest_step_s"] = longest;
        report(state, session.probe, "a large log opened in a viewer");
    }
}

void configure(benchmark::internal::Benchmark* b) {
    b->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_PollsHealthy)->Apply(configure);
BENCHMARK(BM_PollsSilent)->Apply(configure);
BENCHMARK(BM_CoefficientWrite30)->Apply(configure);
BENCHMARK(BM_RelaySettingsWrite)->Apply(configure);
BENCHMARK(BM_CabinetRefreshSilentHost)->Apply(configure);
BENCHMARK(BM_LogViewerLoading)->Apply(configure);

void printTable() {
    std::printf("\nGUI thread event-loop latency (5 ms probe; frozen: gaps > 50 ms)\n");
    std::printf("| scenario | s | ticks | median ms | p99 ms | max ms | frozen %% |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
    for (const Row& r : table) {
        std::printf("| %s | %.1f | %zu | %.1f | %.1f | %.1f | %.1f |\n", r.name.c_str(), r.seconds,
                    r.ticks, r.median, r.p99, r.max, r.frozen);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printTable();
    return 0;
}
