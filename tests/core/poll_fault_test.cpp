// The poll cycle against the simulator while the module misbehaves: late replies at the real
// pauses, and a soak with random faults (KVEL_SOAK_POLLS polls, 300 by default).
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/measurement_log.h"
#include "core/poll_cycle.h"
#include "link/module_map.h"
#include "sim/simulator.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

// What the main window would show, and what the chart was handed, during one poll.
struct FaultView {
    explicit FaultView(const ModuleLink& l) : link(l) {}
    void show(const PollResult& r) {
        if (r.softwareVersion) status[1] = versionStatusText(*r.softwareVersion);
        status[0] = r.linkStatus;
        // The measurements were read, whatever the relay read after them did.
        measured = r.measurements.has_value();
        if (r.measurements) {
            chart.assign(r.measurements->registers, r.measurements->registers + kMaxChannels);
            for (int k = 0; k < link.channelCount(); ++k) {
                if (r.measurements->registers[k] != 0) ++readingsShown;
            }
        }
        linkOn = r.linkUp;
        for (std::size_t k = 0; k < r.channelTexts.size(); ++k) {
            cells[static_cast<int>(k) + 1] = r.channelTexts[k];
        }
    }
    void StartPoll() {
        measured = false;
        chart.clear();
    }
    bool AllCellsEmpty(int channels) const {
        for (int n = 1; n <= channels; ++n) {
            const auto it = cells.find(n);
            if (it == cells.end() || it->second != kNoReading) return false;
        }
        return true;
    }

    std::map<int, std::string> status;
    std::map<int, std::string> cells;
    int readingsShown = 0;             // cells that ever showed a reading
    std::vector<std::uint16_t> chart;  // registers handed to the chart in this poll
    bool linkOn = false;
    bool measured = false;
    const ModuleLink& link;
};

class PollFaultTest : public ::testing::Test {
  protected:
    void start(bool drift) {
        sim::SimOptions options;
        options.drift = drift;
        options.link = dir.File("tty");
        simulator = std::make_unique<sim::Simulator>(options);
        ASSERT_TRUE(simulator->start()) << simulator->errorText();
        ini.writeString("connect", "port", options.link);
        ini.writeInteger("connect", "speed", 4);
        ini.writeInteger("file", "save", 1);
        ini.writeString("file", "name", LogName());
    }
    // One poll, shown and logged as the session does it.
    void Poll() {
        const PollResult result = poll.poll();
        view.show(result);
        poll.writeLog(result);
    }
    std::string LogName() const { return dir.File("log.txt"); }

    test::TempDir dir;
    MemIni ini{dir.File("mem.ini")};
    ModuleLink link;
    FaultView view{link};
    PollCycle poll{link, ini, dir.Path().string() + "/start"};
    std::unique_ptr<sim::Simulator> simulator;
};

// Every reply comes 650 ms late, after its read gave up at the real pauses, and lands in the
// next read: the type code, the relay word or the version must never be shown or logged as a
// temperature, nor a measurement block taken as the relay word.
TEST_F(PollFaultTest, LateRepliesAtTheRealPausesReachNeitherGridNorLog) {
    start(false);
    link.setTiming(kLinkTiming);
    simulator->setFault(sim::Fault::LateReply, 2, 650);
    for (int i = 0; i < 3; ++i) {
        view.StartPoll();
        Poll();
        EXPECT_FALSE(view.measured) << "poll " << i;
        EXPECT_FALSE(view.linkOn);
        EXPECT_TRUE(view.AllCellsEmpty(link.channelCount()));
        EXPECT_TRUE(view.chart.empty());
        std::this_thread::sleep_for(std::chrono::seconds(1));  // the poll period
    }
    EXPECT_EQ(view.readingsShown, 0);
    EXPECT_EQ(test::ReadBytes(LogName()), "");
    // The module comes back: the next poll reads it as it is.
    simulator->setFault(sim::Fault::None);
    view.StartPoll();
    Poll();
    EXPECT_TRUE(view.measured) << view.status[0];
    EXPECT_TRUE(view.linkOn);
    EXPECT_EQ(view.cells[1], temperatureText(simulator->registerValue(512)));
}

int OpenFiles() {
    int n = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d) != nullptr) ++n;
        ::closedir(d);
    }
    return n;
}

long ResidentKiB() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

int SoakPolls() {
    const char* text = std::getenv("KVEL_SOAK_POLLS");
    const int n = text != nullptr ? std::atoi(text) : 0;
    return n > 0 ? n : 300;
}

// The log's lines since `offset`, which moves past them; a last line without its line end is
// returned as it stands (torn).
std::vector<std::string> NewLogLines(const std::string& name, std::size_t& offset) {
    std::ifstream in(name, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    offset += text.size();
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        const std::size_t next = end == std::string::npos ? text.size() : end + 2;
        lines.push_back(text.substr(at, next - at));
        at = next;
    }
    return lines;
}

// The log line a poll that read `block` must have written, without its date and time.
std::string LoggedTemperatures(const std::vector<std::uint16_t>& block) {
    std::string fields;
    for (int c = 0; c < kLoggedChannels; ++c) fields += logTemperature(block[c]) + "\t";
    return fields + "\r\n";
}

enum class Trouble { Silence, BadCrc, WrongAddress, Exception, Late, count, unplug, kCount };

const char* fuzzedName(Trouble t) {
    static const char* names[] = {"silence", "bad CRC",     "wrong address", "exception",
                                  "late",    "wrong count", "unplug"};
    return names[static_cast<int>(t)];
}

// The real poll cycle, with the log on, while faults come and go at random. After each fault
// is cleared (and the simulator has sent what it still had on its way), the next poll must
// read the module again. Whatever a poll shows, charts and logs must be one block the module
// served during that poll; the log gets one whole line per poll that read the measurements;
// open files and memory stay flat.
TEST_F(PollFaultTest, SoakWithRandomFaults) {
    start(true);
    // Short pauses for many polls; the quiet time that ends a reception is longer than the
    // line's 10 ms, so a simulator thread held up mid-reply on a loaded machine does not cut
    // a reply in two (that would be a line fault of its own, not the one under test).
    link.setTiming({5, 5, 5, 300, 40});
    const int polls = SoakPolls();
    const unsigned seed = 20261207;
    std::mt19937 rng(seed);
    const auto pick = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };

    Trouble trouble = Trouble::kCount;  // none
    Trouble cleared = Trouble::kCount;  // the fault the next poll must recover from
    int episodeLeft = 3;
    bool expectRecovery = false;
    int measuredPolls = 0, recoveries = 0, faultyPolls = 0;
    std::size_t logOffset = 0;
    int filesAtStart = 0;
    long memoryAtStart = 0;
    std::map<std::string, int> seen;  // status texts of the failures, for the report

    for (int i = 0; i < polls; ++i) {
        SCOPED_TRACE("poll " + std::to_string(i) + " seed " + std::to_string(seed));
        if (episodeLeft == 0) {
            if (trouble != Trouble::kCount) {
                // Clear the fault, then let the module finish what it still had on its way.
                simulator->setFault(sim::Fault::None);
                if (!simulator->plugged()) {
                    ASSERT_TRUE(simulator->plug()) << simulator->errorText();
                }
                for (int quiet = 0, waited = 0; quiet < 3; ++waited) {
                    ASSERT_LT(waited, 2000) << "the simulator never fell quiet";
                    quiet = simulator->idle() ? quiet + 1 : 0;
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
                simulator->takeServedReads();
                cleared = trouble;
                trouble = Trouble::kCount;
                expectRecovery = true;
                episodeLeft = pick(1, 6);
            } else {
                trouble = static_cast<Trouble>(pick(0, static_cast<int>(Trouble::kCount) - 1));
                episodeLeft = pick(1, 4);
                switch (trouble) {
                    case Trouble::Silence:
                        simulator->setFault(sim::Fault::Silence);
                        break;
                    case Trouble::BadCrc:
                        simulator->setFault(sim::Fault::BadCrc);
                        break;
                    case Trouble::WrongAddress:
                        simulator->setFault(sim::Fault::WrongAddress);
                        break;
                    case Trouble::Exception:
                        simulator->setFault(sim::Fault::Exception, pick(1, 11));
                        break;
                    case Trouble::Late:
                        simulator->setFault(sim::Fault::LateReply, 2, pick(0, 900));
                        break;
                    case Trouble::count:
                        simulator->setReplyRegisterCount(pick(0, 40));
                        break;
                    default:
                        simulator->unplug();
                        break;
                }
            }
        }
        --episodeLeft;
        if (trouble != Trouble::kCount) ++faultyPolls;

        view.StartPoll();
        Poll();
        const std::vector<sim::ServedRead> served = simulator->takeServedReads();

        if (view.measured) {
            ++measuredPolls;
            // The block shown, charted and logged is one the module served in this poll.
            std::vector<std::uint16_t> block;
            for (const sim::ServedRead& r : served) {
                if (r.first == 512 && r.values.size() == 30 && r.values == view.chart) {
                    block = r.values;
                }
            }
            ASSERT_FALSE(block.empty()) << "charted values the module never served";
            if (view.linkOn) {
                for (int n = 1; n <= 30; ++n) {
                    ASSERT_EQ(view.cells[n], temperatureText(block[n - 1])) << "channel " << n;
                }
            }
            const std::vector<std::string> lines = NewLogLines(LogName(), logOffset);
            const std::size_t expected = measuredPolls == 1 ? 2 : 1;  // the header comes first
            ASSERT_EQ(lines.size(), expected);
            const std::string& line = lines.back();
            if (lines.size() == 2) {
                EXPECT_EQ(lines[0], logHeaderLine());
            }
            ASSERT_GE(line.size(), 18u);
            EXPECT_TRUE(line[2] == '.' && line[8] == '\t' && line[11] == ':' && line[17] == '\t')
                << line;
            EXPECT_EQ(line.substr(18), LoggedTemperatures(block)) << line;
        } else {
            EXPECT_TRUE(NewLogLines(LogName(), logOffset).empty());
        }
        if (!view.linkOn) {
            EXPECT_TRUE(view.AllCellsEmpty(link.channelCount()));
            ++seen[view.status[0]];
        }
        if (expectRecovery) {
            EXPECT_TRUE(view.measured && view.linkOn)
                << "no recovery after " << fuzzedName(cleared) << ": " << view.status[0];
            ++recoveries;
            expectRecovery = false;
        }
        if (i % 1000 == 999) {
            std::printf("soak: poll %d, %d open files, %ld KiB resident\n", i + 1, OpenFiles(),
                        ResidentKiB());
            std::fflush(stdout);
        }
        if (trouble == Trouble::kCount && view.linkOn && filesAtStart == 0 && i >= 20) {
            filesAtStart = OpenFiles();
            memoryAtStart = ResidentKiB();
        }
    }
    // End healthy, so the same files are open as at the start.
    simulator->setFault(sim::Fault::None);
    if (!simulator->plugged()) {
        ASSERT_TRUE(simulator->plug()) << simulator->errorText();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    view.StartPoll();
    Poll();
    ASSERT_TRUE(view.linkOn) << view.status[0];
    ASSERT_GT(filesAtStart, 0);
    EXPECT_LE(OpenFiles(), filesAtStart);
    EXPECT_LT(ResidentKiB() - memoryAtStart, 3 * 1024) << "resident memory grew";
    EXPECT_GT(recoveries, 0);
    std::ostringstream report;
    for (const auto& [text, n] : seen) report << "  " << n << " x " << text << "\n";
    std::printf("soak: %d polls, %d with a fault, %d read the module, %d recoveries\n%s", polls,
                faultyPolls, measuredPolls, recoveries, report.str().c_str());
}

}  // namespace
}  // namespace kvel
