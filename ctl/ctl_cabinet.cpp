#include "ctl/ctl_cabinet.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <cctype>
#include <deque>
#include <optional>
#include <ostream>

#include "core/monitor_session.h"
#include "ctl/ctl.h"
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

// A failed exchange is said with the name of a module exception, a refusal as the window
// says it.
void printFailures(const CabinetUpdate& update, std::ostream& err) {
    for (const CabinetFailure& f : update.failures) {
        err << (f.refused == TargetState::Ok ? linkErrorTextWithName(f.failure)
                                             : cabinetFailureText(f))
            << '\n';
    }
}

void printStatus(const RefreshResult& r, HostAddressing addressing, std::ostream& out) {
    out << "online\t";
    if (addressing == HostAddressing::Mnemo) {
        out << "-\n";  // the "Мнемо" controller has no on-line flag
    } else {
        out << (r.onlineRead ? (r.online ? "on" : "off") : "?") << '\n';
    }
    for (int s = 0; s < kHostSignals; ++s) {
        out << kSignalNames[s] << '\t'
            << (r.signalsRead ? (r.signalStates[static_cast<std::size_t>(s)] != 0 ? "on" : "off")
                              : "?")
            << '\n';
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

    // The window's session and its cabinet host: the exchanges run as jobs of its link
    // thread, a pulse's end is timed there, what they did comes back as updates.
    const auto app = coreApplication();
    MonitorSession session(settings, {});
    ModuleLink& link = session.link();
    std::optional<TrafficTrace> trace;
    if (args.trace) trace.emplace(link.traffic(), err);
    std::vector<MarkedText> notices;
    const bool opened = session.linkThread()
                            .runAndWait<bool>([&] {
                                const bool done = link.openPort(args.port, args.speed, args.parity);
                                notices = link.takePortNotices();
                                return done;
                            })
                            .value_or(false);
    for (const MarkedText& notice : notices)
        showMessage(notice.text(), kPortNoticeCaption, MessageKind::Information);
    if (!opened) {
        err << kPortOpenFailed << ": " << link.portOpenFailureText() << '\n';
        return 1;
    }
    CabinetHost& host = session.cabinet();
    host.setTiming(timing);
    host.setCabinetName(name);
    std::deque<CabinetUpdate> updates;
    QObject::connect(&host, &CabinetHost::cabinetUpdated,
                     [&updates](const CabinetUpdate& update) { updates.push_back(update); });
    QEventLoop loop;
    const auto nextUpdate = [&] {
        while (updates.empty()) loop.processEvents(QEventLoop::WaitForMoreEvents);
        CabinetUpdate update = std::move(updates.front());
        updates.pop_front();
        return update;
    };

    if (action == "command") {
        const int command = *parseCommand(args.operands[2]);
        const std::uint16_t reg = commandRegister(target, command);
        host.pressCommand(command);
        if (const CabinetUpdate started = nextUpdate(); !started.done) {
            printFailures(started, err);
            return 1;
        }
        out << reg << "\t1\n" << std::flush;
        // The pulse ends its time after its write began, on the link thread.
        if (const CabinetUpdate ended = nextUpdate(); !ended.done) {
            printFailures(ended, err);
            return 1;
        }
        out << reg << "\t0\n";
        return 0;
    }
    // A toggle needs the state as it is now, not as at start-up.
    host.refreshNow();
    RefreshResult result = nextUpdate().refreshed.value_or(RefreshResult{});
    if (action == "signal") {
        if (!result.signalsRead) {
            err << linkErrorTextWithName(result.error) << '\n';
            return 1;
        }
        const int signal = *parseSignal(args.operands[2]);
        const std::uint16_t value =
            result.signalStates[static_cast<std::size_t>(signal)] != 0 ? 0 : 1;
        host.toggleSignal(signal);
        const CabinetUpdate toggled = nextUpdate();
        if (!toggled.done) {
            printFailures(toggled, err);
            return 1;
        }
        out << signalRegister(target, signal) << '\t' << value << '\n';
        result = toggled.refreshed.value_or(RefreshResult{});
    }
    printStatus(result, target.addressing, out);
    if (result.error.failed()) {
        err << linkErrorTextWithName(result.error) << '\n';
        return 1;
    }
    return 0;
}

}  // namespace kvel
