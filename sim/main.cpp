// kvel-sim: the simulated module and host controller as a program. It prints the device
// path, serves until SIGINT or SIGTERM and takes console commands on stdin.
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "kvel_version.h"
#include "sim/command.h"
#include "sim/simulator.h"

namespace {

constexpr const char* kUsage =
    "Usage: kvel-sim [--type CODE] [--link PATH] [--address 1..247] [--speed 0..4] [--parity 0..2] "
    "[--no-drift]";

// One line per option and per console command.
constexpr const char* kHelp =
    "A simulated Kvel module and host controller on a pseudo-terminal, for KvelView and kvelctl\n"
    "without hardware. Prints the device path, then serves until SIGINT or SIGTERM.\n"
    "\n"
    "Options:\n"
    "  --type CODE          module type code (register 145), 0..65535; default 215\n"
    "  --link PATH          a symlink to the device, e.g. /tmp/kvel-tty, for mem.ini\n"
    "  --address A          the module's Modbus address 1..247; default 100\n"
    "  --speed I            the module's speed 0..4 = 9600, 19200, 38400, 57600, 115200 bit/s:\n"
    "                       it answers only a master at that speed; default any\n"
    "  --parity I           the module's parity 0 none, 1 even, 2 odd: it answers only a master\n"
    "                       with that parity; default any\n"
    "  --no-drift           temperatures stay as they are set\n"
    "  --help               this text\n"
    "  --version            the version\n"
    "\n"
    "Commands on stdin (each answers ok or error):\n"
    "  unplug               the device disappears, as an unplugged adapter\n"
    "  plug                 the device comes back\n"
    "  fault none|silence|badcrc|wrongaddr|exception CODE|late MS|count N\n"
    "                       answers from now on: as they should, none, with a bad CRC, from\n"
    "                       another address, exception CODE, MS late, with N registers\n"
    "  set REG VALUE        sets a register\n"
    "  get REG              reads a register\n"
    "  type CODE            changes the module type code\n"
    "  drift on|off         temperatures drift slowly, or stay\n";

bool parseInt(const char* text, long low, long high, long* out) {
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high) return false;
    *out = v;
    return true;
}

bool parseOptions(int argc, char** argv, kvel::sim::SimOptions* options) {
    QStringList words;
    for (int i = 0; i < argc; ++i) {
        // No "--" either: every word is an option or its value.
        if (i > 0 && std::strcmp(argv[i], "--") == 0) return false;
        words << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    const QCommandLineOption type("type", {}, "CODE");
    const QCommandLineOption link("link", {}, "PATH");
    const QCommandLineOption address("address", {}, "A");
    const QCommandLineOption speed("speed", {}, "I");
    const QCommandLineOption parity("parity", {}, "I");
    const QCommandLineOption noDrift("no-drift");
    parser.addOptions({type, link, address, speed, parity, noDrift});
    if (!parser.parse(words) || !parser.positionalArguments().isEmpty()) return false;
    // Every value given is checked; the last one counts.
    long v = 0;
    for (const QString& text : parser.values(type)) {
        if (!parseInt(text.toLocal8Bit().constData(), 0, 65535, &v)) return false;
        options->typeCode = static_cast<int>(v);
    }
    for (const QString& text : parser.values(address)) {
        if (!parseInt(text.toLocal8Bit().constData(), 1, 247, &v)) return false;
        options->address = static_cast<std::uint8_t>(v);
    }
    for (const QString& text : parser.values(speed)) {
        if (!parseInt(text.toLocal8Bit().constData(), 0, 4, &v)) return false;
        options->speedIndex = static_cast<int>(v);
    }
    for (const QString& text : parser.values(parity)) {
        if (!parseInt(text.toLocal8Bit().constData(), 0, 2, &v)) return false;
        options->parityIndex = static_cast<int>(v);
    }
    for (const QString& text : parser.values(link)) {
        if (text.isEmpty()) return false;
        options->link = text.toLocal8Bit().toStdString();
    }
    if (parser.isSet(noDrift)) options->drift = false;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help") {
            std::cout << kUsage << "\n\n" << kHelp;
            return 0;
        }
        if (std::string(argv[i]) == "--version") {
            std::cout << "kvel-sim " << KVEL_VERSION << std::endl;
            return 0;
        }
    }
    kvel::sim::SimOptions options;
    if (!parseOptions(argc, argv, &options)) {
        std::cerr << kUsage << std::endl;
        return 2;
    }
    // The signals are taken through a descriptor, so the serving thread (which inherits
    // the mask) never sees them and the link is removed on every orderly stop.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);  // answers into a file past its size limit fail, nothing more
    const int signalFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::cerr << "kvel-sim: signalfd: " << std::strerror(errno) << std::endl;
        return 1;
    }

    kvel::sim::Simulator sim(options);
    if (!sim.start()) {
        std::cerr << "kvel-sim: " << sim.errorText() << std::endl;
        return 1;
    }
    std::cout << sim.devicePath() << std::endl;

    std::string pending;
    bool stdinOpen = true;
    for (;;) {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {stdinOpen ? 0 : -1, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents != 0) break;
        if (fds[1].revents == 0) continue;
        char chunk[4096];
        const ssize_t n = read(0, chunk, sizeof chunk);
        if (n <= 0) {
            stdinOpen = false;  // end of input: keep serving until a signal
            continue;
        }
        pending.append(chunk, static_cast<std::size_t>(n));
        for (std::size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") == std::string::npos) continue;
            std::cout << kvel::sim::execute(sim, line) << std::endl;
        }
    }
    close(signalFd);
    return 0;  // the simulator's destructor closes the pty and removes the link
}
