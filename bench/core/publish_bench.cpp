// Publishing's figures, with Debian's mosquitto broker started here on a free loopback port and
// the simulated module on a pseudo-terminal.
//   BM_PollToBroker: from the end of a poll (the publisher handed its snapshot) to the poll's
//     JSON at a subscriber of the broker; p50_ms, p99_ms over the iterations.
//   BM_ScrapesWhilePolling: polls every second for 10 s without scrapes, then 10 s with 1,000
//     scrapes of /metrics (100 a second); scrape_p99_ms, and each phase's latest poll start
//     against its timer (quiet_late_ms, scraped_late_ms).
//   BM_BrokerReturn/30: the broker stopped for 30 s and started again: seconds until the
//     latest values are at a subscriber again (back_s).
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>

#include "core/link_thread.h"
#include "core/poll_cycle.h"
#include "core/publish_topics.h"
#include "core/publishing.h"
#include "sim/simulator.h"
#include "tests/common/free_port.h"
#include "tests/common/link_thread_drain.h"
#include "tests/common/temp_dir.h"

namespace {

using namespace kvel;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class Broker {
  public:
    explicit Broker(const test::TempDir& dir) : dir_(dir), port_(test::FreePort()) {
        std::ofstream(dir.File("mosquitto.conf"))
            << "listener " << port_ << " 127.0.0.1\nallow_anonymous true\npersistence false\n";
        start();
    }
    ~Broker() { stop(); }
    void start() {
        pid_ = ::fork();
        if (pid_ == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execlp("mosquitto", "mosquitto", "-c", dir_.File("mosquitto.conf").c_str(), nullptr);
            ::_exit(127);
        }
        std::this_thread::sleep_for(300ms);
    }
    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    int port() const { return port_; }

  private:
    const test::TempDir& dir_;
    int port_;
    pid_t pid_ = -1;
};

// A subscriber of one topic; `wait` returns when a message holding `text` has come.
class Subscriber {
  public:
    Subscriber(int port, const std::string& topic) {
        m_ = mosquitto_new(nullptr, true, this);
        mosquitto_message_callback_set(
            m_, [](mosquitto*, void* self, const mosquitto_message* msg) {
                auto* s = static_cast<Subscriber*>(self);
                std::lock_guard lock(s->mutex_);
                s->last_.assign(static_cast<const char*>(msg->payload),
                                static_cast<std::size_t>(msg->payloadlen));
                s->at_ = Clock::now();
                s->cv_.notify_all();
            });
        topic_ = topic;
        mosquitto_connect_callback_set(m_, [](mosquitto* m, void* self, int) {
            mosquitto_subscribe(m, nullptr, static_cast<Subscriber*>(self)->topic_.c_str(), 0);
        });
        mosquitto_connect(m_, "127.0.0.1", port, 30);
        mosquitto_loop_start(m_);
    }
    ~Subscriber() {
        mosquitto_disconnect(m_);
        mosquitto_loop_stop(m_, false);
        mosquitto_destroy(m_);
    }
    std::optional<Clock::time_point> wait(const std::string& text, std::chrono::seconds timeout) {
        std::unique_lock lock(mutex_);
        if (!cv_.wait_for(lock, timeout, [&] { return last_.find(text) != std::string::npos; })) {
            return std::nullopt;
        }
        return at_;
    }

  private:
    mosquitto* m_;
    std::string topic_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::string last_;
    Clock::time_point at_;
};

PollSnapshot snapshot(std::time_t at) {
    PollSnapshot s;
    s.readings.at = at;
    s.readings.linkUp = true;
    s.channelCount = 30;
    for (int n = 1; n <= 30; ++n) {
        s.readings.channels.push_back(20.0 + n);
        s.names.push_back("Канал " + std::to_string(n));
    }
    return s;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

PublishSettings mqttSettings(int port) {
    PublishSettings s;
    s.mqtt = HostPort{"127.0.0.1", port};
    s.name = "bench";
    return s;
}

void BM_PollToBroker(benchmark::State& state) {
    test::TempDir dir;
    Broker broker(dir);
    MqttPublisher publisher(mqttSettings(broker.port()));
    Subscriber subscriber(broker.port(), "kvelview/bench/poll");
    while (!publisher.connected()) std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(200ms);
    std::vector<double> ms;
    std::time_t at = 1000000000;
    for (auto _ : state) {
        ++at;
        const auto start = Clock::now();
        publisher.publish(snapshot(at));
        const auto came = subscriber.wait(isoTime(at, 0), 5s);
        if (!came) {
            state.SkipWithError("the poll did not reach the subscriber");
            break;
        }
        const double elapsed = std::chrono::duration<double>(*came - start).count();
        ms.push_back(elapsed * 1000);
        state.SetIterationTime(elapsed);
    }
    state.counters["p50_ms"] = percentile(ms, 0.50);
    state.counters["p99_ms"] = percentile(ms, 0.99);
}
BENCHMARK(BM_PollToBroker)->UseManualTime()->Iterations(2000);

// One GET of /metrics over a fresh connection; false when no whole answer came.
bool scrape(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    const char request[] = "GET /metrics HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    ok = ok && ::send(s, request, sizeof request - 1, 0) > 0;
    // The server may keep the connection: the answer ends with its Content-Length.
    timeval wait{2, 0};
    ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    std::string answer;
    char chunk[4096];
    for (ssize_t n; ok && (n = ::recv(s, chunk, sizeof chunk, 0)) > 0;) {
        answer.append(chunk, static_cast<std::size_t>(n));
        const auto head = answer.find("\r\n\r\n");
        const auto length = answer.find("Content-Length: ");
        if (head != std::string::npos && length != std::string::npos &&
            answer.size() >= head + 4 + std::stoul(answer.substr(length + 16))) {
            break;
        }
    }
    ::close(s);
    return answer.find("kvel_link_up") != std::string::npos;
}

void BM_ScrapesWhilePolling(benchmark::State& state) {
    int argc = 1;
    char name[] = "bench";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    test::TempDir dir;
    sim::SimOptions options;
    options.link = dir.File("tty");
    sim::Simulator simulator(options);
    simulator.start();
    MemIni ini(dir.File("mem.ini"));
    ini.writeString(keys::kPort, dir.File("tty"));
    Publishing publishing;
    PublishSettings settings;
    settings.metrics = HostPort{"127.0.0.1", 0};
    std::string error;
    publishing.start(settings, error);
    const int port = publishing.metricsPort();

    ModuleLink link;
    PollCycle cycle(link, ini, dir.Path().string());
    LinkThread thread{link.closing()};

    for (auto _ : state) {
        std::vector<double> late[2];
        std::vector<double> scrapeMs;
        std::atomic<bool> scraping{false};
        std::atomic<bool> done{false};
        std::thread scraper([&] {
            while (!done) {
                if (!scraping) {
                    std::this_thread::sleep_for(5ms);
                    continue;
                }
                const auto t0 = Clock::now();
                scrape(port);
                scrapeMs.push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
                std::this_thread::sleep_until(t0 + 10ms);
            }
        });
        // The poll timer as the window and kvelctl serve run it: a second from a poll's end.
        QTimer timer;
        timer.setSingleShot(true);
        timer.setInterval(1000);
        Clock::time_point due = Clock::now();
        const auto fire = [&] {
            const auto now = Clock::now();
            late[scraping ? 1 : 0].push_back(
                std::chrono::duration<double, std::milli>(now - due).count());
            thread.post<PollResult>([&] { return cycle.poll(); },
                                    [&](PollResult& result) {
                                        publishing.publish(pollSnapshot(result, ini));
                                        due = Clock::now() + 1s;
                                        timer.start();
                                    });
        };
        QObject::connect(&timer, &QTimer::timeout, fire);
        QTimer::singleShot(10000, [&] { scraping = true; });
        QTimer::singleShot(20000, [&] { QCoreApplication::quit(); });
        QTimer::singleShot(0, fire);
        QCoreApplication::exec();
        timer.stop();
        done = true;
        scraper.join();
        test::DrainLinkThread(thread);
        state.counters["scrapes"] = static_cast<double>(scrapeMs.size());
        state.counters["scrape_p99_ms"] = percentile(scrapeMs, 0.99);
        // The first poll of the quiet phase starts at once and is no measure.
        const auto latest = [](const std::vector<double>& v, std::size_t skip) {
            return v.size() > skip ? *std::max_element(v.begin() + static_cast<long>(skip), v.end())
                                   : 0.0;
        };
        state.counters["quiet_late_ms"] = latest(late[0], 1);
        state.counters["scraped_late_ms"] = latest(late[1], 0);
    }
    thread.finish([&] { link.closePort(); });
}
BENCHMARK(BM_ScrapesWhilePolling)->Iterations(1)->Unit(benchmark::kSecond);

void BM_BrokerReturn(benchmark::State& state) {
    test::TempDir dir;
    Broker broker(dir);
    MqttPublisher publisher(mqttSettings(broker.port()));
    while (!publisher.connected()) std::this_thread::sleep_for(10ms);
    publisher.publish(snapshot(2000000000));
    for (auto _ : state) {
        broker.stop();
        std::this_thread::sleep_for(std::chrono::seconds(state.range(0)));
        broker.start();
        const auto back = Clock::now() - 300ms;  // start() waits that long for the broker
        Subscriber subscriber(broker.port(), "kvelview/bench/poll");
        const auto came = subscriber.wait(isoTime(2000000000, 0), 60s);
        state.counters["back_s"] =
            came ? std::chrono::duration<double>(*came - back).count() : -1.0;
    }
}
BENCHMARK(BM_BrokerReturn)->Arg(30)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
