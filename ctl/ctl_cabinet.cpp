#include "ctl/ctl_cabinet.h"

#include <cctype>
#include <chrono>
#include <optional>
#include <ostream>
#include <thread>

#include "ctl/traffic_trace.h"
#include "link/message_sink.h"

namespace kvel {
namespace {

constexpr const char* kSignalNames[kHostSignals] = {"S41", "S42", "S43", "S51", "S52"};

std::optional<int> parseCommand(const std::string& text) {
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '0' + kHostCommands) return text[0] - '0';
    return std::nullopt;
}

// "S43", "s43", "43" or the number 2.
std::optional<int> parseSignal(const std::string& text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kHostSignals) return text[0] - '0';
    const std::string digits =
        !text.empty() && std::toupper(static_cast<unsigned char>(text[0])) == 'S' ? text.substr(1)
                                                                                  : text;
    for (int s = 0; s < kHostSignals; ++s) {
        if (digits == std::string(kSignalNames[s]).substr(1)) return s;
    }
    return std::nullopt;
}

// The window's controls for a console: the cabinet from the command line, the lamps kept.
// A failed exchange is said on `err` with the name of a module exception.
class ConsoleView : public CabinetView {
  public:
    ConsoleView(std::string name, std::ostream& err) : name_(std::move(name)), err_(err) {}
    std::string cabinetName() const override { return name_; }
    void setIndicator(int, bool) override {}
    void setOnlineIndicator(bool) override {}
    void showLinkFailure(const LinkFailure& failure) override {
        err_ << linkErrorTextWithName(failure) << '\n';
    }

  private:
    std::string name_;
    std::ostream& err_;
};

// Message boxes of the exchanges become lines on `err` while a sub-command runs.
class MessagesTo {
  public:
    explicit MessagesTo(std::ostream& err) : previous_(currentMessageSink()) {
        setMessageSink(
            [&err](const std::string& text, const std::string&) { err << text << '\n'; });
    }
    ~MessagesTo() { setMessageSink(previous_); }
    MessagesTo(const MessagesTo&) = delete;
    MessagesTo& operator=(const MessagesTo&) = delete;

  private:
    MessageSink previous_;
};

void printStatus(const RefreshResult& r, HostAddressing addressing, const CabinetControl& c,
                 std::ostream& out) {
    out << "online\t";
    if (addressing == HostAddressing::Mnemo) {
        out << "-\n";  // the "Мнемо" controller has no on-line flag
    } else {
        out << (r.onlineRead ? (r.online ? "on" : "off") : "?") << '\n';
    }
    for (int s = 0; s < kHostSignals; ++s) {
        out << kSignalNames[s] << '\t'
            << (r.signalsRead ? (c.signalState(s) != 0 ? "on" : "off") : "?") << '\n';
    }
}

}  // namespace

bool validCabinetOperands(const std::vector<std::string>& operands) {
    return cabinetOperandsError(operands).empty();
}

std::string cabinetOperandsError(const std::vector<std::string>& operands) {
    const std::string actions = "command K (1.." + std::to_string(kHostCommands) +
                                "), signal S (S41, S42, S43, S51, S52 or 0..4) or status";
    if (operands.size() < 2) return "cabinet needs NAME and then " + actions;
    const std::string& action = operands[1];
    if (action == "status") {
        return operands.size() == 2 ? ""
                                    : "cabinet status takes nothing more: '" + operands[2] + "'";
    }
    if (action != "command" && action != "signal") {
        return "cabinet: unknown action '" + action + "': " + actions;
    }
    const std::string range = action == "command"
                                  ? "K (1.." + std::to_string(kHostCommands) + ")"
                                  : std::string("S (S41, S42, S43, S51, S52 or 0..4)");
    if (operands.size() == 2) return "cabinet " + action + " needs " + range;
    if (operands.size() > 3) {
        return "cabinet " + action + " takes one operand, " + range + ": '" + operands[3] + "'";
    }
    if (action == "command" && !parseCommand(operands[2])) {
        return "cabinet command K: '" + operands[2] + "' is not a command number 1.." +
               std::to_string(kHostCommands);
    }
    if (action == "signal" && !parseSignal(operands[2])) {
        return "cabinet signal S: '" + operands[2] +
               "' is not a signal S41, S42, S43, S51, S52 or 0..4";
    }
    return "";
}

int runCabinet(const CabinetArgs& args, const MemIni& ini, std::ostream& out, std::ostream& err,
               const CabinetTiming& timing) {
    if (!validCabinetOperands(args.operands)) return 2;
    const std::string& name = args.operands[0];
    const std::string& action = args.operands[1];
    // The command line's address stands for `connect`/`adr`, in memory only.
    MemIni settings = ini;
    settings.writeInteger(keys::kModuleAddress, args.address);
    const HostTarget target = lookUpTarget(settings, name);
    const TargetState state = checkTarget(target);
    if (state != TargetState::Ok) {
        err << (state == TargetState::NotChosen ? std::string(kNoCabinetText)
                                                : cabinetOutOfRangeText())
            << '\n';
        return 2;
    }

    ModuleLink link;
    std::optional<TrafficTrace> trace;
    if (args.trace) trace.emplace(link.traffic(), err);
    const bool opened = link.openPort(args.port, args.speed, args.parity);
    for (const std::string& notice : link.takePortNotices())
        showMessage(notice, kPortNoticeCaption, MessageKind::Information);
    if (!opened) {
        err << kPortOpenFailed << ": " << link.portOpenFailureText() << '\n';
        return 1;
    }
    const MessagesTo messages(err);
    ConsoleView view(name, err);
    CabinetControl control(link, settings);
    control.setView(&view);
    control.setTiming(timing);

    if (action == "command") {
        const int command = *parseCommand(args.operands[2]);
        const std::uint16_t reg = commandRegister(target, command);
        CabinetControl::Clock::time_point due{};
        control.setReleaseTimer([&due](bool on, CabinetControl::Clock::time_point at) {
            if (on) due = at;
        });
        if (!control.commandClick(command)) return 1;
        out << reg << "\t1\n" << std::flush;
        // The pulse ends its time after its write began.
        std::this_thread::sleep_until(due);
        if (!control.commandStep()) return 1;
        out << reg << "\t0\n";
        return 0;
    }
    // A toggle needs the state as it is now, not as at start-up.
    RefreshResult result = control.refresh();
    if (action == "signal") {
        if (!result.signalsRead) {
            err << linkErrorTextWithName(result.error) << '\n';
            return 1;
        }
        const int signal = *parseSignal(args.operands[2]);
        const std::uint16_t value = control.signalState(signal) != 0 ? 0 : 1;
        if (!control.signalClick(signal)) return 1;
        out << signalRegister(target, signal) << '\t' << value << '\n';
        result = control.lastRefresh();
    }
    printStatus(result, target.addressing, control, out);
    if (result.error.failed()) {
        err << linkErrorTextWithName(result.error) << '\n';
        return 1;
    }
    return 0;
}

}  // namespace kvel
