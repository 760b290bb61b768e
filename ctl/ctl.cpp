#include "ctl/ctl.h"

#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>
#include <functional>
#include <iostream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string_view>
#include <thread>

#include "config/channel_name.h"
#include "config/mem_ini.h"
#include "core/alarm_log.h"
#include "core/monitor_session.h"
#include "ctl/ctl_cabinet.h"
#include "ctl/ctl_plot.h"
#include "ctl/ctl_scan.h"
#include "ctl/ctl_serve.h"
#include "ctl/traffic_trace.h"
#include "kvel_version.h"
#include "link/message_sink.h"
#include "link/module_link.h"
#include "link/module_map.h"

namespace kvel {
namespace {

// One line per sub-command and option.
constexpr char kUsage[] =
    "Usage: kvelctl [OPTION]... COMMAND\n"
    "commands:\n"
    "  info\n"
    "  read\n"
    "  watch [--times N] [--alarms]\n"
    "  alarms\n"
    "  regs FIRST COUNT\n"
    "  cabinet NAME command K | signal S | status\n"
    "  plot LOG [--channels 1,3,5] [--from T] [--to T] --png|--svg OUT [--size WxH]\n"
    "  scan [--addresses A-B] [--speeds 0,1,...] [--parities 0,1,2] [--margin MS] [--all] "
    "[--json]\n"
    "  serve [--mqtt HOST:PORT] [--name NAME] [--metrics HOST:PORT]\n"
    "options:\n"
    "  --port DEV\n"
    "  --address A\n"
    "  --speed I\n"
    "  --parity I\n"
    "  --trace";

// One line per command and per option, so that new ones are one more line each.
constexpr char kHelp[] =
    "kvelctl: the console companion of KvelView. It reads the module on the serial line named\n"
    "in mem.ini of the current folder; options override those settings.\n"
    "\n"
    "Commands:\n"
    "  info                 type code, generation, channel count and software version\n"
    "  read                 one poll: each channel as the main window shows it, then the relays\n"
    "  watch [--times N] [--alarms]\n"
    "                       a poll every measure/period seconds until Ctrl-C, or N polls;\n"
    "                       --alarms: instead of the readings, each alarm raised or cleared,\n"
    "                       as the alarm log writes it\n"
    "  alarms               one read: each active alarm of mem.ini's [alarms] rules on a line\n"
    "                       (channel, name, kind high|low|sensor|link, value, limit); exit\n"
    "                       status 0 when there is none, 3 when there is any\n"
    "  regs FIRST COUNT     COUNT (1..125) holding registers from FIRST (0..65535)\n"
    "  cabinet NAME command K | signal S | status\n"
    "                       a cabinet of section panels through the host controller: pulse\n"
    "                       command K (1..6), toggle signal S (S41..S52 or 0..4), or show its "
    "state\n"
    "  plot LOG [--channels 1,3,5] [--from T] [--to T] --png|--svg OUT [--size WxH]\n"
    "                       a picture of a measurement log (PNG or SVG, default 1280x720),\n"
    "                       drawn without a display; T is 2026-12-06T13:05[:09] or\n"
    "                       06.12.26 [13:05[:09]]; exit status 1 when LOG cannot be read\n"
    "  scan [--addresses A-B] [--speeds 0,1,...] [--parities 0,1,2] [--margin MS] [--all] "
    "[--json]\n"
    "                       finds the module: reads its type code at every address (default\n"
    "                       1-247), speed and parity index, the settings of mem.ini (or of\n"
    "                       --address, --speed, --parity) first,\n"
    "                       waiting the frames' time plus MS (default 20) for each reply; each\n"
    "                       module found is a line: address, speed index, bit/s, parity index,\n"
    "                       type code, version (--json: an array of objects); it stops at the\n"
    "                       first unless --all; exit status 1 when none is found\n"
    "  serve [--mqtt HOST:PORT] [--name NAME] [--metrics HOST:PORT]\n"
    "                       polls as the window does until SIGTERM or Ctrl-C, without a\n"
    "                       display: the measurement log of [file], the alarms of [alarms],\n"
    "                       the readings published to the MQTT broker and on the Prometheus\n"
    "                       endpoint of [publish] (the options override it: --mqtt broker,\n"
    "                       --name the topics' NAME, default the host name, --metrics\n"
    "                       HOST:PORT or PORT on loopback); a systemd service of Type=notify\n"
    "\n"
    "Options:\n"
    "  --port DEV           serial device, /dev/ttyUSB0 or COM1 (= /dev/ttyS0); connect/port\n"
    "  --address A          module address 0..255; connect/adr\n"
    "  --speed I            speed index 0..4 = 9600, 19200, 38400, 57600, 115200 bit/s\n"
    "  --parity I           parity index 0 none (2 stop bits), 1 even, 2 odd\n"
    "  --times N            watch: stop after N polls\n"
    "  --alarms             watch: print alarm events\n"
    "  --mqtt HOST:PORT     serve: the MQTT broker (port 1883 when left out); publish/mqtt\n"
    "  --name NAME          serve: this monitor's name in the topics; publish/name\n"
    "  --metrics HOST:PORT  serve: the Prometheus endpoint /metrics; publish/metrics\n"
    "  --trace              every transaction on stderr, one line each, as the traffic window "
    "shows it\n"
    "  --help               this text\n"
    "  --version            the version\n"
    "\n"
    "Exit status: 0 success, 1 failure (the link, an unreadable log, output that could not be\n"
    "written; the reason on stderr), 2 bad usage, 3 alarms active (alarms).\n";

struct Options {
    std::string port;
    int address = 100;
    int speed = 0;
    int parity = 0;
    int period = 5;
    bool trace = false;  // every transaction on stderr
    std::string command;
    int first = 0;        // regs
    int count = 0;        // regs
    int times = 0;        // watch: 0 = until stopped
    bool alarms = false;  // watch: alarm events instead of readings
    // cabinet: NAME and what to do
    std::vector<std::string> operands;
};

constexpr char kCommands[] = "info, read, watch, alarms, regs or cabinet";

// "--speed: '5' is not an integer in 0..4": the argument at fault and what it may be.
std::string outOfRange(const std::string& what, const std::string& text, int low, int high) {
    return what + ": '" + text + "' is not an integer in " + std::to_string(low) + ".." +
           std::to_string(high);
}

// Options default to the values in mem.ini; a bad one gives nullopt and `error` says which
// argument is at fault and what it may be.
std::optional<Options> parseOptions(const std::vector<std::string>& args, const MemIni& ini,
                                    std::string& error) {
    Options o;
    o.port = ini.readString(keys::kPort);
    o.address = ini.readInteger(keys::kModuleAddress);
    o.speed = ini.readInteger(keys::kSpeedIndex);
    o.parity = ini.readInteger(keys::kParityIndex);
    o.period = std::max(1, ini.readInteger(keys::kPollPeriod));
    QCommandLineParser parser;
    const QCommandLineOption port("port", {}, "DEV");
    const QCommandLineOption address("address", {}, "A");
    const QCommandLineOption speed("speed", {}, "I");
    const QCommandLineOption parity("parity", {}, "I");
    const QCommandLineOption times("times", {}, "N");
    const QCommandLineOption trace("trace");
    const QCommandLineOption alarms("alarms");
    parser.addOptions({port, address, speed, parity, times, trace, alarms});
    struct Numeric {
        const QCommandLineOption& option;
        int* value;
        int low, high;
    };
    const Numeric numeric[] = {{address, &o.address, 0, 255},
                               {speed, &o.speed, 0, 4},
                               {parity, &o.parity, 0, 2},
                               {times, &o.times, 1, 1000000}};
    const auto fail = [&error](std::string text) {
        error = std::move(text);
        return std::nullopt;
    };
    // "-" and "--" are no commands here: every word that begins with "-" is an option.
    for (const std::string& a : args) {
        if (a == "-" || a == "--") return fail("unknown option '" + a + "'");
    }
    QStringList words{QStringLiteral("kvelctl")};
    for (const std::string& a : args) words << QString::fromStdString(a);
    if (!parser.parse(words)) {
        // The word as it was written: "--bogus", "-x".
        for (const QString& name : parser.unknownOptionNames()) {
            for (const std::string& a : args) {
                const std::string n = name.toStdString();
                if (a == "--" + n || a == "-" + n || a.starts_with("--" + n + "=") ||
                    (a.size() > 1 && a[0] == '-' && a[1] != '-' &&
                     a.find(n) != std::string::npos)) {
                    return fail("unknown option '" + a + "'");
                }
            }
        }
        // Otherwise the last word is an option that misses its value.
        const std::string last = args.empty() ? std::string() : args.back();
        if (last == "--port") return fail("--port needs a device, /dev/ttyUSB0 or COM1");
        for (const Numeric& n : numeric) {
            if (last == "--" + n.option.names().constFirst().toStdString()) {
                return fail(last + " needs a value in " + std::to_string(n.low) + ".." +
                            std::to_string(n.high));
            }
        }
        return fail(parser.errorText().toStdString());
    }
    // Every value given counts, in turn; the last one stays.
    for (const Numeric& n : numeric) {
        const std::string name = "--" + n.option.names().constFirst().toStdString();
        for (const QString& value : parser.values(n.option)) {
            const std::string text = value.toStdString();
            const auto v = parseInt(text, n.low, n.high);
            if (!v) return fail(outOfRange(name, text, n.low, n.high));
            *n.value = *v;
        }
    }
    if (parser.isSet(port)) o.port = parser.values(port).constLast().toStdString();
    o.trace = parser.isSet(trace);
    o.alarms = parser.isSet(alarms);
    std::vector<std::string> operands;
    for (const QString& word : parser.positionalArguments()) {
        if (o.command.empty()) {
            o.command = word.toStdString();
        } else {
            operands.push_back(word.toStdString());
        }
    }
    if (o.command == "regs") {
        if (operands.size() != 2) return fail("regs needs FIRST (0..65535) and COUNT (1..125)");
        const auto first = parseInt(operands[0], 0, 65535);
        if (!first) return fail(outOfRange("regs FIRST", operands[0], 0, 65535));
        const auto count = parseInt(operands[1], 1, 125);
        if (!count) return fail(outOfRange("regs COUNT", operands[1], 1, 125));
        o.first = *first;
        o.count = *count;
    } else if (o.command == "cabinet") {
        if (std::string why = cabinetOperandsError(operands); !why.empty()) return fail(why);
        o.operands = operands;
    } else if (o.command.empty()) {
        return fail(std::string("no command: ") + kCommands);
    } else if (o.command != "info" && o.command != "read" && o.command != "watch" &&
               o.command != "alarms") {
        return fail("unknown command '" + o.command + "': " + kCommands);
    } else if (!operands.empty()) {
        return fail(o.command + " takes no operand: '" + operands[0] + "'");
    }
    if (o.times != 0 && o.command != "watch") return fail("--times is for watch only");
    if (o.alarms && o.command != "watch") return fail("--alarms is for watch only");
    return o;
}

// The one-shot commands on the program's monitoring session: each runs as one job of the
// session's link thread, which alone serves the line, while this thread waits for its outcome.
class Session {
  public:
    Session(const Options& o, const MemIni& ini, std::ostream& out, std::ostream& err)
        : o_(o), out_(out), err_(err), ini_(ini), session_(ini_, {}) {
        if (o.trace) trace_.emplace(link().traffic(), err_);
    }

    // Between the jobs: the link thread is idle.
    TrafficCounters counters() const { return session_.link().traffic().counters(); }

    bool info() {
        return onLink([this] {
            if (!identify()) return false;
            const int type = link().typeCode();
            out_ << "type\t" << type << "\ngeneration\t" << (isFirstGeneration(type) ? 1 : 2)
                 << "\nchannels\t" << link().channelCount() << "\nversion\t" << version_ << '\n';
            return true;
        });
    }

    // One poll: each channel as the grid shows it, then the three relays.
    bool poll() {
        return onLink([this] {
            if (!identify()) return false;
            const ReadTransaction measurements = link().readMeasurements(o_.address);
            if (!measurements.ok()) return fail(measurements.failure);
            const std::vector<std::string> texts = link().takeMeasurements(measurements);
            const ReadTransaction relays = link().readRelayStates(o_.address);
            if (!relays.ok()) return fail(relays.failure);
            for (std::size_t k = 0; k < texts.size(); ++k) {
                out_ << gridChannelName(ini_, static_cast<int>(k) + 1) << '\t' << texts[k] << '\n';
            }
            for (int i = 0; i < kRelayCount; ++i) {
                out_ << "relay " << i + 1 << '\t'
                     << (relayOn(relays.registers[0], i) ? "on" : "off") << '\n';
            }
            out_.flush();
            return true;
        });
    }

    // One read of the measurements for the alarms; without an answer the link is down and
    // the reason is on `err`.
    PollReadings readings() {
        const PollReadings down{std::time(nullptr), false, {}};
        return session_.linkThread()
            .runAndWait<PollReadings>([this, down] {
                if (!identify()) return down;
                const ReadTransaction measurements = link().readMeasurements(o_.address);
                if (!measurements.ok()) {
                    fail(measurements.failure);
                    return down;
                }
                return readingsFromRecord(measurements, link().channelCount(), down.at);
            })
            .value_or(down);
    }

    bool regs(int first, int count) {
        return onLink([this, first, count] {
            ReadTransaction t;
            if (!open() ||
                !read(t, static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(count))) {
                return false;
            }
            for (int i = 0; i < t.registerCount; ++i)
                out_ << first + i << '\t' << t.registers[i] << '\n';
            return true;
        });
    }

  private:
    ModuleLink& link() { return session_.link(); }

    bool onLink(std::function<bool()> work) {
        return session_.linkThread().runAndWait<bool>(std::move(work)).value_or(false);
    }

    // The steps below run on the link thread.
    bool open() {
        if (!link().portNeedsOpening()) return true;
        const bool opened = link().openPort(o_.port, o_.speed, o_.parity);
        for (const MarkedText& notice : link().takePortNotices()) {
            showMessage(notice.text(), kPortNoticeCaption, MessageKind::Information);
        }
        if (!opened) {
            return fail(std::string(kPortOpenFailed) + ": " + link().portOpenFailureText());
        }
        return true;
    }

    bool read(ReadTransaction& t, std::uint16_t first, std::uint16_t count) {
        return link().readGroup(t, o_.address, first, count) || fail(t.failure);
    }

    // Type code and version in one read, once per connection.
    bool identify() {
        if (identified_ && !link().portNeedsOpening()) return true;
        ReadTransaction t;
        if (!open() || !read(t, reg::kModuleType, 2)) return false;
        identified_ = true;
        link().setModuleType(t.registers[0]);
        version_ = t.registers[1];
        return true;
    }

    bool fail(const std::string& text) {
        identified_ = false;
        err_ << text << '\n';
        return false;
    }
    // The failure's code makes the text, with the name of a module exception.
    bool fail(const LinkFailure& failure) { return fail(linkErrorTextWithName(failure)); }

    const Options& o_;
    std::ostream& out_;
    std::ostream& err_;
    // The session's own image of mem.ini: the command line's settings never reach the file.
    MemIni ini_;
    MonitorSession session_;
    std::optional<TrafficTrace> trace_;  // --trace; ends before the session's link
    // Kept by the link thread's jobs.
    bool identified_ = false;
    int version_ = 0;
};

// The rules of mem.ini; a value that cannot be read is said on `err` and left out.
AlarmRules alarmRules(const MemIni& ini, std::ostream& err) {
    std::vector<std::string> problems;
    AlarmRules rules = loadAlarmRules(ini, &problems);
    for (const std::string& p : problems) {
        err << "kvelctl: mem.ini [alarms] " << p << ": not a valid value, left out\n";
    }
    return rules;
}

// alarms: the rules applied to one read. One read cannot wait for a delay, so none applies.
int printAlarms(Session& session, const MemIni& ini, std::ostream& out, std::ostream& err) {
    AlarmRules rules = alarmRules(ini, err);
    rules.delaySeconds = 0;
    AlarmMonitor monitor;
    monitor.setRules(rules);
    const PollReadings readings = session.readings();
    monitor.evaluate(readings);
    if (!readings.linkUp && !rules.link) return 1;
    for (const Alarm& a : monitor.alarms()) {
        out << alarmChannelField(a) << '\t'
            << (a.kind == AlarmKind::Link ? std::string() : gridChannelName(ini, a.channel)) << '\t'
            << alarmKindWord(a.kind) << '\t' << alarmValueField(a, a.value) << '\t'
            << alarmLimitField(a) << '\n';
    }
    return monitor.alarms().empty() ? 0 : 3;
}

std::string stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%y %H:%M:%S", &local);
    return text;
}

}  // namespace

std::optional<int> parseInt(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

std::unique_ptr<QCoreApplication> coreApplication() {
    if (QCoreApplication::instance()) return nullptr;
    static int argc = 1;
    static char name[] = "kvelctl";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

int runCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::atomic<bool>& stop) {
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        // The usage line, then each command and option once: help2man makes the manual
        // page of it. The list after the usage line is the reminder after a usage error.
        const std::string_view usage(kUsage);
        out << usage.substr(0, usage.find('\n')) << "\n\n" << kHelp;
        return 0;
    }
    if (std::find(args.begin(), args.end(), "--version") != args.end()) {
        out << "kvelctl " << KVEL_VERSION << '\n';
        return 0;
    }
    if (!args.empty() && args[0] == "plot")
        return runPlot({args.begin() + 1, args.end()}, out, err);
    // serve has options of its own; those of the line may come before it.
    if (const auto word = std::find(args.begin(), args.end(), "serve");
        word != args.end() &&
        (word == args.begin() || !(word - 1)->starts_with("--") || *(word - 1) == "--trace")) {
        std::vector<std::string> rest(args.begin(), word);
        rest.insert(rest.end(), word + 1, args.end());
        return runServe(rest, out, err, stop);
    }
    // scan has options of its own; --port may come before it.
    if (const auto word = std::find(args.begin(), args.end(), "scan");
        word != args.end() && (word == args.begin() || *(word - 1) != "--port")) {
        std::vector<std::string> rest(args.begin(), word);
        rest.insert(rest.end(), word + 1, args.end());
        return runScan(rest, MemIni("mem.ini"), out, err, stop,
                       &err == &std::cerr && ::isatty(STDERR_FILENO) == 1);
    }
    const MemIni ini("mem.ini");
    std::string error;
    const std::optional<Options> parsed = parseOptions(args, ini, error);
    if (!parsed) {
        err << "kvelctl: " << error << '\n' << kUsage << '\n';
        return 2;
    }
    const Options& o = *parsed;
    Session session(o, ini, out, err);
    if (o.command == "info") return session.info() ? 0 : 1;
    if (o.command == "read") return session.poll() ? 0 : 1;
    if (o.command == "regs") return session.regs(o.first, o.count) ? 0 : 1;
    if (o.command == "alarms") return printAlarms(session, ini, out, err);
    if (o.command == "cabinet") {
        return runCabinet({o.port, o.address, o.speed, o.parity, o.operands, o.trace}, ini, out,
                          err);
    }
    // watch: a failed poll is reported and the next one tries again, as the program does.
    AlarmMonitor monitor;
    if (o.alarms) monitor.setRules(alarmRules(ini, err));
    bool lastOk = true;
    for (int done = 0; !stop && (o.times == 0 || done < o.times); ++done) {
        if (done > 0) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(o.period);
            while (!stop && std::chrono::steady_clock::now() < until) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (stop) break;
        }
        if (o.alarms) {
            const PollReadings readings = session.readings();
            lastOk = readings.linkUp;
            for (const AlarmEvent& event : monitor.evaluate(readings)) {
                const std::string name = event.alarm.kind == AlarmKind::Link
                                             ? std::string()
                                             : gridChannelName(ini, event.alarm.channel);
                out << alarmEventText(event, name) << '\n';
            }
            out.flush();
            continue;
        }
        out << "# " << stamp() << '\n';
        lastOk = session.poll();
    }
    out << "# " << trafficCountersText(session.counters()) << '\n';
    return lastOk ? 0 : 1;
}

}  // namespace kvel
