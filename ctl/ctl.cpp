#include "ctl/ctl.h"

#include <charconv>
#include <chrono>
#include <ctime>
#include <optional>
#include <ostream>
#include <thread>

#include "link/module_link.h"
#include "link/module_map.h"
#include "monitor/mem_ini.h"

namespace kvel {
namespace {

constexpr char kUsage[] =
    "usage: kvelctl [--port DEV] [--address A] [--speed I] [--parity I] "
    "info | read | watch [--times N] | regs FIRST COUNT";

std::optional<int> ParseInt(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

struct Options {
    std::string port;
    int address = 100;
    int speed = 0;
    int parity = 0;
    int period = 5;
    std::string command;
    std::vector<std::string> operands;
    int times = 0;  // watch: 0 = until stopped
};

// Options default to mem.ini in the current folder; a bad one gives nullopt.
std::optional<Options> ParseOptions(const std::vector<std::string>& args) {
    const TMemIni ini("mem.ini");
    Options o;
    o.port = ini.ReadString("connect", "port", "");
    o.address = ini.ReadInteger("connect", "adr", 100);
    o.speed = ini.ReadInteger("connect", "speed", 0);
    o.parity = ini.ReadInteger("connect", "parity", 0);
    o.period = ini.ReadInteger("measure", "period", 5);
    if (o.period < 1) o.period = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        auto number = [&](int low, int high) -> std::optional<int> {
            if (!hasValue) return std::nullopt;
            return ParseInt(args[++i], low, high);
        };
        if (a == "--port") {
            if (!hasValue) return std::nullopt;
            o.port = args[++i];
        } else if (a == "--address" || a == "--speed" || a == "--parity" || a == "--times") {
            const auto v = a == "--address"  ? number(0, 255)
                           : a == "--speed"  ? number(0, 4)
                           : a == "--parity" ? number(0, 2)
                                             : number(1, 1000000);
            if (!v) return std::nullopt;
            (a == "--address"  ? o.address
             : a == "--speed"  ? o.speed
             : a == "--parity" ? o.parity
                               : o.times) = *v;
        } else if (!a.empty() && a[0] == '-') {
            return std::nullopt;
        } else if (o.command.empty()) {
            o.command = a;
        } else {
            o.operands.push_back(a);
        }
    }
    const bool known =
        o.command == "info" || o.command == "read" || o.command == "watch" || o.command == "regs";
    if (!known || (o.command == "regs") != !o.operands.empty()) return std::nullopt;
    if (o.command == "regs") {
        if (o.operands.size() != 2 || !ParseInt(o.operands[0], 0, 65535) ||
            !ParseInt(o.operands[1], 1, 125)) {
            return std::nullopt;
        }
    }
    if (o.times != 0 && o.command != "watch") return std::nullopt;
    return o;
}

class Session {
  public:
    Session(const Options& o, std::ostream& out, std::ostream& err)
        : o_(o), out_(out), err_(err), ini_("mem.ini") {
        link_.SetStatusSink([this](const std::string& text) { status_ = text; });
    }

    bool Open() {
        if (!link_.PortNeedsOpening()) return true;
        status_.clear();
        link_.OpenPort(o_.port, o_.speed, o_.parity);
        if (link_.PortNeedsOpening()) return Fail(status_ + ": " + o_.port);
        return true;
    }

    bool Read(std::uint16_t first, std::uint16_t count) {
        TReadTransaction& t = link_.First();
        t.moduleAddress = static_cast<std::uint8_t>(o_.address);
        t.firstRegister = first;
        t.count = count;
        return link_.ReadRegisters(t) || Fail(t.errorText);
    }

    bool Identify(int& type, int& version) {
        if (identified_ && !link_.PortNeedsOpening()) return true;
        if (!Open() || !Read(145, 2)) return false;
        identified_ = true;
        type = link_.First().registers[0];
        version = link_.First().registers[1];
        link_.SetModuleType(type);
        return true;
    }

    bool Info() {
        int type = 0, version = 0;
        if (!Identify(type, version)) return false;
        out_ << "type\t" << type << "\ngeneration\t" << (IsFirstGeneration(type) ? 1 : 2)
             << "\nchannels\t" << ChannelCountForType(type) << "\nversion\t" << version << '\n';
        return true;
    }

    // One poll: each channel as the grid shows it, then the three relays.
    bool Poll() {
        int type = 0, version = 0;
        if (!Identify(type, version)) return false;
        if (!link_.ReadMeasurements(o_.address)) return Fail(link_.First().errorText);
        const std::vector<std::string> texts = link_.TakeMeasurements();
        if (!link_.ReadRelayStates(o_.address)) return Fail(link_.First().errorText);
        for (std::size_t k = 0; k < texts.size(); ++k) {
            const std::string number = std::to_string(k + 1);
            std::string name = ini_.ReadString("sensors", number, "");
            if (name.empty()) name = number;
            out_ << name << '\t' << texts[k] << '\n';
        }
        for (int i = 0; i < kRelayCount; ++i) {
            out_ << "relay " << i + 1 << '\t' << (link_.RelayOn(i) ? "on" : "off") << '\n';
        }
        out_.flush();
        return true;
    }

    bool Regs(int first, int count) {
        if (!Open() ||
            !Read(static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(count))) {
            return false;
        }
        const TReadTransaction& t = link_.First();
        for (int i = 0; i < t.registerCount; ++i)
            out_ << first + i << '\t' << t.registers[i] << '\n';
        return true;
    }

    bool Fail(const std::string& text) {
        identified_ = false;
        err_ << text << '\n';
        return false;
    }

  private:
    const Options& o_;
    std::ostream& out_;
    std::ostream& err_;
    TMemIni ini_;
    TModuleLink link_;
    std::string status_;
    bool identified_ = false;
};

std::string Stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%d.%m.%y %H:%M:%S", &local);
    return text;
}

}  // namespace

int RunCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::atomic<bool>& stop) {
    const std::optional<Options> parsed = ParseOptions(args);
    if (!parsed) {
        err << kUsage << '\n';
        return 2;
    }
    const Options& o = *parsed;
    Session session(o, out, err);
    if (o.command == "info") return session.Info() ? 0 : 1;
    if (o.command == "read") return session.Poll() ? 0 : 1;
    if (o.command == "regs") {
        return session.Regs(*ParseInt(o.operands[0], 0, 65535), *ParseInt(o.operands[1], 1, 125))
                   ? 0
                   : 1;
    }
    // watch: a failed poll is reported and the next one tries again, as the program does.
    bool lastOk = true;
    for (int done = 0; !stop && (o.times == 0 || done < o.times); ++done) {
        if (done > 0) {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(o.period);
            while (!stop && std::chrono::steady_clock::now() < until) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (stop) break;
        }
        out << "# " << Stamp() << '\n';
        lastOk = session.Poll();
    }
    return lastOk ? 0 : 1;
}

}  // namespace kvel
