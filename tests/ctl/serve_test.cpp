// kvelctl serve as a service runs it: a child process on the simulated module, publishing to
// Debian's mosquitto broker and scraped by Debian's prometheus, both started here on free
// loopback ports. The readings are read back with mosquitto_sub, curl and promtool.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

#include "core/measurement_log.h"
#include "core/publish_topics.h"
#include "link/module_map.h"
#include "tests/common/free_port.h"
#include "tests/common/shell.h"
#include "tests/common/sim_on_pty.h"

namespace kvel::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

bool Eventually(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return done();
}

// A program started in `folder`, its output into `log`; killed when the test ends, whatever
// happened.
class Child {
  public:
    Child(const fs::path& folder, const std::vector<std::string>& argv, const fs::path& log) {
        pid_ = ::fork();
        if (pid_ == 0) {
            if (::chdir(folder.c_str()) != 0) ::_exit(126);
            const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            ::dup2(fd, 1);
            ::dup2(fd, 2);
            std::vector<char*> args;
            for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            ::execvp(args[0], args.data());
            ::_exit(127);
        }
    }
    ~Child() { stop(SIGKILL); }
    // Sends the signal and waits for the end; the exit status, -1 for a signal's end.
    int stop(int signal) {
        if (pid_ <= 0) return status_;
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return status_;
    }
    // The exit status once ended within `timeout`; none while it runs.
    std::optional<int> ended(std::chrono::milliseconds timeout) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (pid_ > 0 && std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                break;
            }
            std::this_thread::sleep_for(10ms);
        }
        if (pid_ > 0) return std::nullopt;
        return status_;
    }

  private:
    pid_t pid_ = -1;
    int status_ = -1;
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::uint16_t kFirst = measurementFirstRegister(sim::SimOptions().typeCode);
const std::string kChannel1 = channelPayload(temperature(15000));

class Serve : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("kvel-serve-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        simulator = StartedSimulator((folder / "tty").string());
        simulator->setRegister(kFirst, 15000);  // channel 1
        simulator->setRegister(kFirst + 1, 0);  // channel 2: no reading
        brokerPort = test::FreePort();
        metricsPort = test::FreePort();
        std::ofstream(folder / "mosquitto.conf")
            << "listener " << brokerPort << " 127.0.0.1\nallow_anonymous true\n"
            << "persistence false\n";
        std::ofstream(folder / "mem.ini")
            << "[connect]\nport=" << (folder / "tty").string() << "\n[measure]\nperiod=1\n"
            << "[file]\nsave=1\nname=log.txt\n[sensors]\n1=Печь \"A\"\n"
            << "[publish]\nmqtt=127.0.0.1:" << brokerPort
            << "\nname=line1\nmetrics=127.0.0.1:" << metricsPort << "\n";
        StartBroker();
    }
    void TearDown() override {
        serve.reset();
        broker.reset();
        simulator.reset();
        RemoveTree(folder);
    }
    void StartBroker() {
        broker = std::make_unique<Child>(
            folder, std::vector<std::string>{"mosquitto", "-c", "mosquitto.conf"},
            folder / "broker.log");
        ASSERT_TRUE(Eventually([&] { return BrokerUp(); }, 5s)) << ReadFile(folder / "broker.log");
    }
    bool BrokerUp() {
        return Shell("mosquitto_pub -h 127.0.0.1 -p " + std::to_string(brokerPort) + " -t probe -n")
                   .status == 0;
    }
    std::unique_ptr<Child> StartServe(const std::string& log = "serve.log") {
        return std::make_unique<Child>(
            folder, std::vector<std::string>{KVEL_BINARY_DIR "/ctl/kvelctl", "serve"},
            folder / log);
    }
    // The retained messages under kvelview/line1/`filter`: topic (after the name) → payload.
    std::map<std::string, std::string> Retained(const std::string& filter) {
        const ShellOutput out =
            Shell("mosquitto_sub -h 127.0.0.1 -p " + std::to_string(brokerPort) +
                  " --retained-only -v -W 1 -t " + "'kvelview/line1/" + filter + "'");
        std::map<std::string, std::string> topics;
        std::istringstream lines(out.text);
        const std::string base = "kvelview/line1/";
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(base, 0) != 0) continue;
            const auto space = line.find(' ');
            topics[line.substr(base.size(), space - base.size())] =
                space == std::string::npos ? "" : line.substr(space + 1);
        }
        return topics;
    }
    std::string RetainedOne(const std::string& topic) {
        const auto all = Retained(topic);
        const auto it = all.find(topic);
        return it == all.end() ? "<none>" : it->second;
    }

    fs::path folder;
    std::unique_ptr<sim::Simulator> simulator;
    std::unique_ptr<Child> broker;
    std::unique_ptr<Child> serve;
    int brokerPort = 0;
    int metricsPort = 0;
};

TEST_F(Serve, PublishesRetainedTopicsLogsAndServesCleanMetrics) {
    serve = StartServe();
    ASSERT_TRUE(Eventually([&] { return RetainedOne("channel/1") == kChannel1; }, 10s))
        << ReadFile(folder / "serve.log");
    const auto topics = Retained("#");
    EXPECT_EQ(topics.at("status"), "online");
    EXPECT_EQ(topics.at("link"), "up");
    EXPECT_EQ(topics.count("channel/2"), 0u) << "no reading: the retained value is cleared";
    EXPECT_EQ(topics.count("channel/30"), 1u);
    const std::string poll = topics.at("poll");
    EXPECT_NE(poll.find("{\"channel\":1,\"name\":\"Печь \\\"A\\\"\",\"value\":" + kChannel1 + "}"),
              std::string::npos)
        << poll;
    EXPECT_NE(poll.find("{\"channel\":2,\"name\":\"2\",\"value\":null}"), std::string::npos)
        << poll;
    // The relays' topics and the poll's object agree.
    EXPECT_NE(poll.find("\"relays\":[" + topics.at("relay/1") + "," + topics.at("relay/2") + "," +
                        topics.at("relay/3") + "]"),
              std::string::npos)
        << poll;

    const std::string url = "http://127.0.0.1:" + std::to_string(metricsPort) + "/metrics";
    const ShellOutput metrics = Shell("curl -sf " + url);
    ASSERT_EQ(metrics.status, 0) << metrics.text;
    EXPECT_NE(metrics.text.find("kvel_temperature_celsius{channel=\"1\",name=\"Печь \\\"A\\\"\"} " +
                                kChannel1.substr(0, kChannel1.find('.') + 2)),
              std::string::npos)
        << metrics.text;
    EXPECT_NE(metrics.text.find("kvel_link_up 1"), std::string::npos);
    EXPECT_NE(metrics.text.find("kvel_transactions_total{result=\"good\"} "), std::string::npos);
    const ShellOutput check = Shell("curl -sf " + url + " | promtool check metrics");
    EXPECT_EQ(check.status, 0) << check.text;

    // The same measurement log as the window's.
    const std::string log = ReadFile(folder / "log.txt");
    EXPECT_EQ(log.find(logHeaderLine()), 0u) << log;
    EXPECT_NE(log.find("\r\n", log.find("\r\n") + 2), std::string::npos) << log;
}

TEST_F(Serve, LastWillWhenKilledAndOneMasterAndACleanStop) {
    serve = StartServe();
    ASSERT_TRUE(Eventually([&] { return RetainedOne("status") == "online"; }, 10s));
    serve->stop(SIGKILL);
    EXPECT_TRUE(Eventually([&] { return RetainedOne("status") == "offline"; }, 5s));

    serve = StartServe();
    ASSERT_TRUE(Eventually([&] { return RetainedOne("status") == "online"; }, 10s));
    // A second master on the same port is refused with the reason.
    auto second = StartServe("second.log");
    EXPECT_EQ(second->ended(5s), std::optional<int>(1));
    const std::string refused = ReadFile(folder / "second.log");
    EXPECT_NE(refused.find("kvelctl, PID"), std::string::npos) << refused;

    const auto asked = std::chrono::steady_clock::now();
    serve->stop(SIGTERM);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 1s);
    EXPECT_EQ(RetainedOne("status"), "offline");
    // The port is released: its advisory lock is free.
    const int fd = ::open((folder / "tty").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
}

TEST_F(Serve, ValuesReturnAfterTheBrokerRestartsAndTheLinkFollowsTheCable) {
    serve = StartServe();
    ASSERT_TRUE(Eventually([&] { return RetainedOne("channel/1") == kChannel1; }, 10s));
    broker->stop(SIGTERM);
    simulator->setRegister(kFirst, 16000);
    std::this_thread::sleep_for(3s);  // polls go on without a broker
    StartBroker();
    // The broker kept nothing: what it has again was published anew on return.
    const std::string again = channelPayload(temperature(16000));
    EXPECT_TRUE(Eventually([&] { return RetainedOne("channel/1") == again; }, 10s))
        << ReadFile(folder / "serve.log");
    EXPECT_EQ(RetainedOne("status"), "online");

    simulator->unplug();
    EXPECT_TRUE(Eventually([&] { return RetainedOne("link") == "down"; }, 10s));
    EXPECT_EQ(Retained("channel/+").size(), 0u);
    ASSERT_TRUE(simulator->plug());
    EXPECT_TRUE(Eventually([&] { return RetainedOne("channel/1") == again; }, 15s))
        << ReadFile(folder / "serve.log");
    // Every poll went to the log, the broker or not.
    EXPECT_NE(ReadFile(folder / "log.txt").find(again), std::string::npos);
}

TEST_F(Serve, PrometheusScrapesTheEndpoint) {
    serve = StartServe();
    const int webPort = test::FreePort();
    std::ofstream(folder / "prometheus.yml")
        << "global:\n  scrape_interval: 1s\nscrape_configs:\n  - job_name: kvel\n"
        << "    static_configs:\n      - targets: ['127.0.0.1:" << metricsPort << "']\n";
    Child prometheus(folder,
                     {"prometheus", "--config.file=prometheus.yml", "--storage.tsdb.path=data",
                      "--web.listen-address=127.0.0.1:" + std::to_string(webPort)},
                     folder / "prometheus.log");
    const std::string query =
        "curl -s 'http://127.0.0.1:" + std::to_string(webPort) +
        "/api/v1/query?query=kvel_temperature_celsius%7Bchannel%3D%221%22%7D'";
    std::string answer;
    EXPECT_TRUE(Eventually(
        [&] {
            answer = Shell(query).text;
            return answer.find("\"channel\":\"1\"") != std::string::npos;
        },
        30s))
        << answer << ReadFile(folder / "prometheus.log");
    EXPECT_NE(answer.find(kChannel1.substr(0, kChannel1.find('.'))), std::string::npos) << answer;
}

// systemd reads the unit as the package installs it, with no complaint but the manual page this
// tree has not installed; its hardening leaves the service's exposure low.
TEST(ServeUnit, SystemdAcceptsTheUnit) {
    if (Shell("command -v systemd-analyze").status != 0) GTEST_SKIP() << "no systemd-analyze";
    const fs::path folder = fs::temp_directory_path() / ("kvel-unit-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::string unit = ReadFile(KVEL_SOURCE_DIR "/packaging/kvel-monitor.service");
    unit.replace(unit.find("/usr/bin/kvelctl"), 16, KVEL_BINARY_DIR "/ctl/kvelctl");
    std::ofstream(folder / "kvel-monitor.service") << unit;
    const std::string path = (folder / "kvel-monitor.service").string();
    const ShellOutput verify =
        Shell("systemd-analyze verify '" + path + "' 2>&1 | grep -v \"man kvelctl\"");
    EXPECT_EQ(verify.text, "");
    const ShellOutput security = Shell("systemd-analyze security --offline=true '" + path + "'");
    EXPECT_NE(security.text.find("Overall exposure level for kvel-monitor.service: 2."),
              std::string::npos)
        << security.text;
    EXPECT_NE(unit.find("Type=notify"), std::string::npos);
    RemoveTree(folder);
}

}  // namespace
}  // namespace kvel::test
