#pragma once
#include <string>
#include <utility>

#include "link/field_refusal.h"

namespace kvel {

// Why the last open of the serial port failed, kept so that the status bar's tool tip and
// kvelctl can say more than "Ошибка открытия порта".
struct PortOpenFailure {
    enum class Reason {
        None,         // the port is open, or was never tried
        NoName,       // no port name is stored
        System,       // the system refused the open; `error` says why
        NotTerminal,  // the name leads to something that is no serial line (a file, /dev/zero)
        InUse,        // another program holds the port
    };
    Reason reason = Reason::None;
    std::string device;  // the device path that was tried
    int error = 0;       // errno of the refusal
    // A refused permission that the device's group would give: its name, the user's login name,
    // and whether the user is a member already but this session started before joining.
    std::string group;
    std::string user;
    bool memberSinceLogin = false;
    // In use: who holds the port's lock ("kvelview, PID 1234"), when the system tells.
    std::string holder;

    static PortOpenFailure of(Reason reason, std::string device, int error = 0) {
        PortOpenFailure f;
        f.reason = reason;
        f.device = std::move(device);
        f.error = error;
        return f;
    }
};

// Fills the group advice of a refused permission (EACCES or EPERM) from the device node's
// owner group and the process's groups; other failures pass unchanged.
PortOpenFailure withPermissionAdvice(PortOpenFailure failure);

// The program that holds the advisory lock of the device node at `path`, as
// "NAME, PID N"; empty when no lock of it is listed.
std::string lockHolderOf(const std::string& path);

// "PATH: reason", with the fix when the device's group would give access; empty for None.
// kvelctl prints it after "Ошибка открытия порта: ", the main window shows it as the tool tip
// (translated: the marked text and what goes in it).
MarkedText portOpenFailureMessage(const PortOpenFailure& failure);
std::string portOpenFailureText(const PortOpenFailure& failure);

}  // namespace kvel
