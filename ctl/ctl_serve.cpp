#include "ctl/ctl_serve.h"

#include <systemd/sd-daemon.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <ostream>

#include "config/mem_ini.h"
#include "core/alarm_center.h"
#include "core/monitor_session.h"
#include "core/poll_interval.h"
#include "core/publishing.h"
#include "ctl/ctl.h"
#include "ctl/traffic_trace.h"
#include "link/message_sink.h"

namespace kvel {
namespace {

struct ServeOptions {
    PublishOverrides publish;
    bool trace = false;
};

// The port and module of the options go into this run's mem.ini image, never into the file.
std::optional<ServeOptions> parseServe(const std::vector<std::string>& args, MemIni& ini,
                                       std::string& error) {
    QCommandLineParser parser;
    const QCommandLineOption port("port", {}, "DEV"), address("address", {}, "A"),
        speed("speed", {}, "I"), parity("parity", {}, "I"), mqtt("mqtt", {}, "HOST:PORT"),
        name("name", {}, "NAME"), metrics("metrics", {}, "HOST:PORT"), trace("trace");
    parser.addOptions({port, address, speed, parity, mqtt, name, metrics, trace});
    QStringList words{QStringLiteral("kvelctl")};
    for (const std::string& a : args) words << QString::fromStdString(a);
    if (!parser.parse(words)) {
        error = parser.errorText().toStdString();
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = "serve takes no operand: '" + parser.positionalArguments()[0].toStdString() + "'";
        return std::nullopt;
    }
    const struct {
        const QCommandLineOption& option;
        const IntKey& key;
        int low, high;
    } numeric[] = {{address, keys::kModuleAddress, 0, 255},
                   {speed, keys::kSpeedIndex, 0, 4},
                   {parity, keys::kParityIndex, 0, 2}};
    for (const auto& n : numeric) {
        if (!parser.isSet(n.option)) continue;
        const std::string text = parser.values(n.option).constLast().toStdString();
        const auto v = parseInt(text, n.low, n.high);
        if (!v) {
            error = "--" + n.option.names().constFirst().toStdString() + ": '" + text +
                    "' is not an integer in " + std::to_string(n.low) + ".." +
                    std::to_string(n.high);
            return std::nullopt;
        }
        ini.writeInteger(n.key, *v);
    }
    if (parser.isSet(port)) ini.writeString(keys::kPort, parser.value(port).toStdString());
    ServeOptions o;
    o.publish.mqtt = parser.value(mqtt).toStdString();
    o.publish.name = parser.value(name).toStdString();
    o.publish.metrics = parser.value(metrics).toStdString();
    o.trace = parser.isSet(trace);
    return o;
}

}  // namespace

int runServe(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::atomic<bool>& stop) {
    (void)out;
    MemIni ini("mem.ini");
    std::string error;
    const std::optional<ServeOptions> o = parseServe(args, ini, error);
    if (!o) {
        err << "kvelctl: " << error << "\nUsage: kvelctl serve [--mqtt HOST:PORT] [--name NAME] "
            << "[--metrics HOST:PORT] [--port DEV] [--address A] [--speed I] [--parity I] "
            << "[--trace]\n";
        return 2;
    }
    const int period = ini.readInteger(keys::kPollPeriod);
    if (!pollPeriodValid(period)) {
        err << "kvelctl: mem.ini [measure] period: " << pollPeriodExplanation(period) << '\n';
        return 1;
    }
    const std::optional<PublishSettings> publish = readPublishSettings(ini, o->publish, error);
    if (!publish) {
        err << "kvelctl: [publish] " << error << '\n';
        return 1;
    }
    const auto app = coreApplication();
    // A box would wait for nobody: what the program would show goes to the journal.
    const MessageSink previousSink = currentMessageSink();
    setMessageSink([&err](const std::string& text, const std::string& caption) {
        err << "kvelctl serve: " << caption << ": " << text << std::endl;
    });

    // The log's default name is made as the window makes it.
    MonitorSession session(ini, QDir::currentPath().toStdString());
    ModuleLink& link = session.link();
    std::optional<TrafficTrace> trace;
    if (o->trace) trace.emplace(link.traffic(), err);
    // One master on the line: a port another program holds refuses this one at once. A port
    // that is missing now (an adapter unplugged) is tried at every poll, as the window does.
    link.openPort(ini.readString(keys::kPort), ini.readInteger(keys::kSpeedIndex),
                  ini.readInteger(keys::kParityIndex));
    for (const MarkedText& notice : link.takePortNotices())
        showMessage(notice.text(), kPortNoticeCaption, MessageKind::Information);
    if (link.port().lastFailure().reason == PortOpenFailure::Reason::InUse) {
        err << "kvelctl: " << kPortOpenFailed << ": " << link.portOpenFailureText() << '\n';
        setMessageSink(previousSink);
        return 1;
    }
    if (link.portNeedsOpening()) {
        err << "kvelctl serve: " << kPortOpenFailed << ": " << link.portOpenFailureText()
            << "; tried again at every poll\n";
    }

    Publishing publishing;
    if (!publishing.start(*publish, error)) {
        err << "kvelctl: [publish] " << error << '\n';
        link.closePort();
        setMessageSink(previousSink);
        return 1;
    }
    if (MqttPublisher* mqtt = publishing.mqtt()) {
        // On the publisher's thread: the connection's changes go to stderr as they come.
        QObject::connect(
            mqtt, &MqttPublisher::stateChanged,
            [&err, base = mqtt->base()](bool up, const QString& why) {
                err << "kvelctl serve: MQTT "
                    << (up ? "connected, publishing " + base + "/#" : why.toStdString())
                    << std::endl;
            });
    }

    AlarmCenter alarms(ini);
    std::vector<std::string> problems;
    alarms.loadRules(&problems);
    for (const std::string& p : problems) {
        err << "kvelctl: mem.ini [alarms] " << p << ": not a valid value, left out\n";
    }
    // No display: the status goes to stderr (the journal under systemd) when it changes, the
    // readings to the alarms and the publishers.
    std::string status;
    QObject::connect(&session, &MonitorSession::pollFinished, [&](const PollResult& result) {
        if (result.linkStatus != status) {
            status = result.linkStatus;
            err << "kvelctl serve: " << status << std::endl;
        }
        alarms.evaluate(result.readings);
        publishing.publish(pollSnapshot(result, ini));
    });

    // The window's rhythm: the period counts from the end of a poll to the next one.
    using Clock = std::chrono::steady_clock;
    session.setPollPeriod(period);
    // systemd's watchdog is kicked while polls go on: a poll stuck on the line for a minute
    // lets the service be restarted.
    QTimer watchdog;
    std::uint64_t watchdogUs = 0;
    if (sd_watchdog_enabled(0, &watchdogUs) > 0) {
        watchdog.setInterval(static_cast<int>(watchdogUs / 2000));
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            if (!session.pollUnderWay() ||
                Clock::now() - session.pollStartedAt() < std::chrono::minutes(1))
                sd_notify(0, "WATCHDOG=1");
        });
        watchdog.start();
    }

    QTimer stopCheck;
    stopCheck.setInterval(20);
    QObject::connect(&stopCheck, &QTimer::timeout, [&] {
        if (stop) QCoreApplication::quit();
    });
    stopCheck.start();

    sd_notify(0, "READY=1");
    QTimer::singleShot(0, &session, &MonitorSession::pollModule);
    QCoreApplication::exec();

    sd_notify(0, "STOPPING=1");
    session.stopPolling();
    watchdog.stop();
    // The exchange under way ends with its transaction, cut short; the port is released.
    session.finish();
    publishing.stop();
    setMessageSink(previousSink);
    return 0;
}

}  // namespace kvel
