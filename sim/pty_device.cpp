#include "sim/pty_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kvel::sim {
namespace {

std::string failureReason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Points the link at the target, replacing an old symlink in one rename. Anything at that
// path that is not a symlink is left alone: the simulator never deletes a user's file.
bool pointLink(const std::string& link, const std::string& target, std::string* error) {
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        *error = link + " exists and is not a symbolic link";
        return false;
    }
    const std::string temp = link + ".kvel-sim-" + std::to_string(getpid());
    unlink(temp.c_str());
    if (symlink(target.c_str(), temp.c_str()) != 0) {
        *error = failureReason(("symlink " + link).c_str());
        return false;
    }
    if (rename(temp.c_str(), link.c_str()) != 0) {
        *error = failureReason(("rename to " + link).c_str());
        unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool PtyDevice::openPty(const std::string& link, std::string* error) {
    closePty();
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        *error = failureReason("posix_openpt");
        return false;
    }
    char name[128] = {};
    if (grantpt(master) != 0 || unlockpt(master) != 0 ||
        ptsname_r(master, name, sizeof name) != 0) {
        *error = failureReason("grantpt/unlockpt/ptsname");
        close(master);
        return false;
    }
    const int slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        *error = failureReason(("open " + std::string(name)).c_str());
        close(master);
        return false;
    }
    termios tio{};
    if (tcgetattr(slave, &tio) == 0) {
        cfmakeraw(&tio);
        cfsetspeed(&tio, B9600);
        tcsetattr(slave, TCSANOW, &tio);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    if (!link.empty() && !pointLink(link, name, error)) {
        close(slave);
        close(master);
        return false;
    }
    master_ = master;
    slave_ = slave;
    slavePath_ = name;
    link_ = link;
    return true;
}

void PtyDevice::closePty() {
    if (!link_.empty()) {
        // Only the link that points at our own device is removed.
        char target[256] = {};
        const ssize_t n = readlink(link_.c_str(), target, sizeof target - 1);
        if (n > 0 && slavePath_ == std::string(target, static_cast<std::size_t>(n))) {
            unlink(link_.c_str());
        }
    }
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
    master_ = slave_ = -1;
    link_.clear();
}

long lineSpeed(int slaveFd) {
    termios tio{};
    if (tcgetattr(slaveFd, &tio) != 0) return 9600;
    switch (cfgetospeed(&tio)) {
        case B1200:
            return 1200;
        case B2400:
            return 2400;
        case B4800:
            return 4800;
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        case B230400:
            return 230400;
        case B460800:
            return 460800;
        case B921600:
            return 921600;
        default:
            return 9600;
    }
}

int lineParity(int slaveFd) {
    termios tio{};
    if (tcgetattr(slaveFd, &tio) != 0) return 0;
    // A pseudo-terminal forgets PARENB but keeps the stop bits and PARODD: two stop bits mean
    // no parity, one stop bit even or odd parity.
    if ((tio.c_cflag & CSTOPB) != 0) return 0;
    return (tio.c_cflag & PARODD) != 0 ? 2 : 1;
}

}  // namespace kvel::sim
