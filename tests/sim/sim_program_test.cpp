// kvel-sim as a process: its first line, its console commands, its signals and options.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/sim/modbus_client.h"

namespace kvel::sim {
namespace {

using test::ModbusClient;

bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// The program with its stdin, stdout and stderr on pipes.
class Program {
  public:
    explicit Program(const std::vector<std::string>& args) {
        int in[2], out[2], err[2];
        if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(err[1], 2);
            for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
            std::vector<char*> argv{const_cast<char*>(KVEL_SIM_PROGRAM)};
            for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        in_ = in[1];
        out_ = out[0];
        err_ = err[0];
    }
    ~Program() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        for (int fd : {in_, out_, err_}) {
            if (fd >= 0) close(fd);
        }
    }

    // One line of stdout, or "<timeout>".
    std::string Line(int timeoutMs = 3000) { return ReadLine(out_, outBuf_, timeoutMs); }
    std::string ErrLine(int timeoutMs = 3000) { return ReadLine(err_, errBuf_, timeoutMs); }
    std::string Say(const std::string& command) {
        const std::string line = command + "\n";
        if (write(in_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return "";
        return Line();
    }
    void CloseInput() {
        close(in_);
        in_ = -1;
    }
    // The exit status, or -1 when it did not end in time.
    int wait(int timeoutMs = 3000) {
        for (int waited = 0; waited < timeoutMs; waited += 10) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            usleep(10'000);
        }
        return -1;
    }
    pid_t Pid() const { return pid_; }

  private:
    static std::string ReadLine(int fd, std::string& buf, int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (buf.find('\n') == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                end - std::chrono::steady_clock::now());
            pollfd p{fd, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) != 1)
                return "<timeout>";
            char chunk[256];
            const ssize_t n = read(fd, chunk, sizeof chunk);
            if (n <= 0) return "<eof>";
            buf.append(chunk, static_cast<std::size_t>(n));
        }
        const auto eol = buf.find('\n');
        std::string line = buf.substr(0, eol);
        buf.erase(0, eol + 1);
        return line;
    }

    pid_t pid_ = -1;
    int in_ = -1, out_ = -1, err_ = -1;
    bool exited_ = false;
    std::string outBuf_, errBuf_;
};

TEST(SimProgram, ServesObeysItsConsoleAndStopsOnSigterm) {
    const std::string link = "/tmp/kvel-sim-test-" + std::to_string(getpid()) + "-program";
    Program sim({"--type", "205", "--link", link, "--address", "17", "--no-drift"});
    ASSERT_EQ(sim.Line(), link);
    ASSERT_TRUE(exists(link));
    {
        ModbusClient client(link, 115200, 17);
        ASSERT_TRUE(client.Connected());
        EXPECT_EQ(client.read(145, 2), (std::vector<std::uint16_t>{205, 103}));
    }
    EXPECT_EQ(sim.Say("get 145"), "ok 205");
    EXPECT_EQ(sim.Say("set 21 14950"), "ok");
    EXPECT_EQ(sim.Say("unplug"), "ok");
    EXPECT_FALSE(exists(link));
    EXPECT_EQ(sim.Say("plug"), "ok");
    EXPECT_TRUE(exists(link));
    {
        ModbusClient client(link, 115200, 17, 200);
        ASSERT_TRUE(client.Connected());
        EXPECT_EQ(client.read(21, 1), std::vector<std::uint16_t>{14950});
        EXPECT_EQ(sim.Say("fault silence"), "ok");
        int error = 0;
        EXPECT_TRUE(client.read(21, 1, &error).empty());
        EXPECT_EQ(error, ETIMEDOUT);
        EXPECT_EQ(sim.Say("fault none"), "ok");
        EXPECT_EQ(sim.Say("frobnicate").rfind("error:", 0), 0u);

        // End of input does not stop it.
        sim.CloseInput();
        usleep(100'000);
        EXPECT_EQ(client.read(21, 1), std::vector<std::uint16_t>{14950});
    }
    kill(sim.Pid(), SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_FALSE(exists(link));
}

TEST(SimProgram, AnswersOnlyAtItsOwnSpeedAndParity) {
    Program sim({"--address", "9", "--speed", "1", "--parity", "2", "--no-drift"});
    const std::string path = sim.Line();
    struct Case {
        int baud;
        char parity;
        bool answers;
    };
    for (const Case c : {Case{19200, 'E', false}, Case{9600, 'O', false}, Case{19200, 'O', true}}) {
        SCOPED_TRACE(std::to_string(c.baud) + c.parity);
        ModbusClient client(path, c.baud, 9, 200, c.parity);
        ASSERT_TRUE(client.Connected());
        EXPECT_EQ(client.read(145, 1).size(), c.answers ? 1u : 0u);
    }
    kill(sim.Pid(), SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
}

TEST(SimProgram, PrintsThePtyPathWithoutLinkAndStopsOnSigint) {
    Program sim({});
    const std::string path = sim.Line();
    EXPECT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;
    EXPECT_TRUE(exists(path));
    kill(sim.Pid(), SIGINT);
    EXPECT_EQ(sim.wait(), 0);
}

TEST(SimProgram, BadOptionsGetUsageAndExitStatus2) {
    const std::vector<std::vector<std::string>> cases = {
        {"--type", "abc"},   {"--address", "0"}, {"--address", "248"}, {"--link"},
        {"--speed", "9600"}, {"--speed", "5"},   {"--parity", "3"},    {"extra"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.front());
        Program sim(args);
        EXPECT_EQ(sim.ErrLine().rfind("Usage: kvel-sim", 0), 0u);
        EXPECT_EQ(sim.wait(), 2);
    }
}

}  // namespace
}  // namespace kvel::sim
