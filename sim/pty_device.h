#pragma once
#include <string>

namespace kvel::sim {

// The simulator's end of a pseudo-terminal: the master, plus its own descriptor on the
// slave, kept open so the master never sees EIO while no client has the device open and
// so the line speed the client set can be read back. An optional symlink names the device.
class PtyDevice {
  public:
    PtyDevice() = default;
    ~PtyDevice() { closePty(); }
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    // Creates the pty (slave raw) and points the link at it. False with a reason on failure.
    bool openPty(const std::string& link, std::string* error);
    // Closes both descriptors and removes the link: the device disappears.
    void closePty();

    bool isOpen() const { return master_ >= 0; }
    int masterFd() const { return master_; }
    int slaveFd() const { return slave_; }
    const std::string& slavePath() const { return slavePath_; }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string link_;
};

// The speed in bit/s that the client set on the slave; 9600 when it cannot be told.
long lineSpeed(int slaveFd);
// The parity index the client set on the slave: 0 none, 1 even, 2 odd.
int lineParity(int slaveFd);

}  // namespace kvel::sim
