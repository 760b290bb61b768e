#pragma once
#include <string>

namespace kvel::sim {

// The simulator's end of a pseudo-terminal: the master, plus its own descriptor on the
// slave, kept open so the master never sees EIO while no client has the device open and
// so the line speed the client set can be read back. An optional symlink names the device.
class PtyDevice {
  public:
    PtyDevice() = default;
    ~PtyDevice() { Close(); }
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    // Creates the pty (slave raw) and points the link at it. False with a reason on failure.
    bool Open(const std::string& link, std::string* error);
    // Closes both descriptors and removes the link: the device disappears.
    void Close();

    bool IsOpen() const { return master_ >= 0; }
    int MasterFd() const { return master_; }
    int SlaveFd() const { return slave_; }
    const std::string& SlavePath() const { return slavePath_; }

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string link_;
};

// The speed in bit/s that the client set on the slave; 9600 when it cannot be told.
long LineSpeed(int slaveFd);
// The parity index the client set on the slave: 0 none, 1 even, 2 odd.
int LineParity(int slaveFd);

}  // namespace kvel::sim
