#include "ctl/ctl_scan.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>
#include <ostream>
#include <thread>

#include "core/line_scan.h"
#include "ctl/ctl.h"
#include "link/message_sink.h"

namespace kvel {
namespace {

// "0,2,4": each an index of its table.
std::optional<std::vector<int>> parseList(const std::string& text, int high) {
    std::vector<int> values;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        const auto value = parseInt(text.substr(from, comma - from), 0, high);
        if (!value) return std::nullopt;
        values.push_back(*value);
        if (comma == std::string::npos) return values;
        from = comma + 1;
    }
}

// "A-B" or a single address.
bool parseAddresses(const std::string& text, ScanSpace& space) {
    const std::size_t dash = text.find('-');
    const auto first = parseInt(text.substr(0, dash), kScanFirstAddress, kScanLastAddress);
    const auto last = dash == std::string::npos
                          ? first
                          : parseInt(text.substr(dash + 1), kScanFirstAddress, kScanLastAddress);
    if (!first || !last || *first > *last) return false;
    space.firstAddress = *first;
    space.lastAddress = *last;
    return true;
}

struct ScanArgs {
    ScanRequest request;
    bool json = false;
};

std::optional<ScanArgs> parseScanArgs(const std::vector<std::string>& args, const MemIni& ini,
                                      std::string& error) {
    ScanArgs a;
    a.request.port = ini.readString(keys::kPort);
    a.request.stored = {ini.readInteger(keys::kModuleAddress), ini.readInteger(keys::kSpeedIndex),
                        ini.readInteger(keys::kParityIndex)};
    QCommandLineParser parser;
    const QCommandLineOption port("port", {}, "DEV");
    const QCommandLineOption addresses("addresses", {}, "A-B");
    const QCommandLineOption speeds("speeds", {}, "LIST");
    const QCommandLineOption parities("parities", {}, "LIST");
    const QCommandLineOption margin("margin", {}, "MS");
    const QCommandLineOption all("all");
    const QCommandLineOption json("json");
    // The first guess, as for the other commands: mem.ini's unless given.
    const QCommandLineOption address("address", {}, "A");
    const QCommandLineOption speed("speed", {}, "I");
    const QCommandLineOption parity("parity", {}, "I");
    parser.addOptions(
        {port, addresses, speeds, parities, margin, all, json, address, speed, parity});
    QStringList words{QStringLiteral("kvelctl")};
    for (const std::string& word : args) {
        if (word == "-" || word == "--") {
            error = "unknown option '" + word + "'";
            return std::nullopt;
        }
        words << QString::fromStdString(word);
    }
    if (!parser.parse(words)) {
        error = parser.errorText().toStdString();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error =
            "scan takes no operand: '" + parser.positionalArguments().first().toStdString() + "'";
        return std::nullopt;
    }
    const auto last = [&parser](const QCommandLineOption& o) {
        return parser.values(o).constLast().toStdString();
    };
    if (parser.isSet(port)) a.request.port = last(port);
    struct Guess {
        const QCommandLineOption& option;
        int* value;
        int low, high;
    };
    for (const Guess& g : {Guess{address, &a.request.stored.address, 0, 255},
                           Guess{speed, &a.request.stored.speedIndex, 0, kScanSpeeds - 1},
                           Guess{parity, &a.request.stored.parityIndex, 0, kScanParities - 1}}) {
        if (!parser.isSet(g.option)) continue;
        const std::string name = g.option.names().constFirst().toStdString();
        const auto value = parseInt(last(g.option), g.low, g.high);
        if (!value) {
            error = "--" + name + ": '" + last(g.option) + "' is not an integer in " +
                    std::to_string(g.low) + ".." + std::to_string(g.high);
            return std::nullopt;
        }
        *g.value = *value;
    }
    if (parser.isSet(addresses) && !parseAddresses(last(addresses), a.request.space)) {
        error = "--addresses: '" + last(addresses) + "' is not A-B with 1 <= A <= B <= 247";
        return std::nullopt;
    }
    if (parser.isSet(speeds)) {
        const auto list = parseList(last(speeds), kScanSpeeds - 1);
        if (!list) {
            error = "--speeds: '" + last(speeds) + "' is not a list of indices 0..4, as 0,1,4";
            return std::nullopt;
        }
        a.request.space.speeds = *list;
    }
    if (parser.isSet(parities)) {
        const auto list = parseList(last(parities), kScanParities - 1);
        if (!list) {
            error = "--parities: '" + last(parities) + "' is not a list of indices 0..2, as 0,2";
            return std::nullopt;
        }
        a.request.space.parities = *list;
    }
    if (parser.isSet(margin)) {
        const auto ms = parseInt(last(margin), 0, kMaxScanMarginMs);
        if (!ms) {
            error = "--margin: '" + last(margin) + "' is not an integer in 0..1000";
            return std::nullopt;
        }
        a.request.marginMs = *ms;
    }
    a.request.stopAtFirst = !parser.isSet(all);
    a.json = parser.isSet(json);
    return a;
}

void printProgress(const ScanProgress& p, std::ostream& err) {
    const LineSetting& at = p.trying;
    err << "\rscan: " << p.done << '/' << p.total << "  address " << at.address << "  "
        << SerialPort::speedOfIndex(at.speedIndex) << " bit/s  parity " << at.parityIndex << "  "
        << std::lround(std::ceil(p.msLeft / 1000)) << " s left   " << std::flush;
}

void printFound(const std::vector<ScanFinding>& findings, bool json, std::ostream& out) {
    if (json) out << '[';
    bool first = true;
    for (const ScanFinding& f : findings) {
        if (!f.module) continue;
        const int bps = SerialPort::speedOfIndex(f.at.speedIndex);
        if (json) {
            out << (first ? "\n" : ",\n") << "  {\"address\": " << f.at.address
                << ", \"speed\": " << f.at.speedIndex << ", \"bps\": " << bps
                << ", \"parity\": " << f.at.parityIndex << ", \"type\": " << f.typeCode
                << ", \"version\": " << f.version << '}';
        } else {
            out << f.at.address << '\t' << f.at.speedIndex << '\t' << bps << '\t'
                << f.at.parityIndex << '\t' << f.typeCode << '\t' << f.version << '\n';
        }
        first = false;
    }
    if (json) out << (first ? "]\n" : "\n]\n");
}

}  // namespace

int runScan(const std::vector<std::string>& args, const MemIni& ini, std::ostream& out,
            std::ostream& err, const std::atomic<bool>& stop, bool progress) {
    std::string error;
    const std::optional<ScanArgs> parsed = parseScanArgs(args, ini, error);
    if (!parsed) {
        err << "kvelctl: " << error << '\n'
            << "Usage: kvelctl scan [--port DEV] [--addresses A-B] [--speeds 0,1,...] "
               "[--parities 0,1,2] [--margin MS] [--all] [--json]\n";
        return 2;
    }
    LineScan scan(parsed->request);
    SerialPort port;
    std::atomic<bool> running{true};
    std::thread worker([&] {
        scan.run(port);
        running = false;
    });
    while (running) {
        if (stop) scan.cancel();
        if (progress) printProgress(scan.progress(), err);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    worker.join();
    const ScanProgress result = scan.progress();
    if (progress) err << '\r' << std::string(72, ' ') << '\r';
    // What the port had to tell (a refused line setting) is said after the scan, in order.
    for (const std::string& text : result.notices) err << text << '\n';
    for (const ScanFinding& f : result.findings) {
        if (f.module) continue;
        err << "something answers at address " << f.at.address << ", "
            << SerialPort::speedOfIndex(f.at.speedIndex) << " bit/s, parity " << f.at.parityIndex
            << ": " << f.answer << '\n';
    }
    printFound(result.findings, parsed->json, out);
    const bool found = std::any_of(result.findings.begin(), result.findings.end(),
                                   [](const ScanFinding& f) { return f.module; });
    if (result.state == ScanProgress::State::Failed) err << result.failure << '\n';
    if (result.state == ScanProgress::State::Cancelled) {
        err << "scan cancelled after " << result.done << " of " << result.total << " probes\n";
    } else if (!found && result.state == ScanProgress::State::Finished) {
        err << "no module found in " << result.done << " probes\n";
    }
    return found ? 0 : 1;
}

}  // namespace kvel
