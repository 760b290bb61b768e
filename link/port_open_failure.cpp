#include "link/port_open_failure.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "link/text_mark.h"

namespace kvel {
namespace {

bool inProcessGroups(gid_t gid) {
    if (::getegid() == gid) return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<std::size_t>(i)] == gid) return true;
    }
    return false;
}

// Whether the group database lists the user in the group (the next login would get it).
bool listedInGroup(const std::string& user, gid_t primary, gid_t gid) {
    int count = 64;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<gid_t> groups(static_cast<std::size_t>(count));
        int n = count;
        if (::getgrouplist(user.c_str(), primary, groups.data(), &n) >= 0) {
            for (int i = 0; i < n; ++i) {
                if (groups[static_cast<std::size_t>(i)] == gid) return true;
            }
            return false;
        }
        count = n > count ? n : count * 2;
    }
    return false;
}

std::string systemText(int error) {
    return std::strerror(error);
}

}  // namespace

std::string lockHolderOf(const std::string& path) {
    struct stat node {};
    if (::stat(path.c_str(), &node) != 0) return {};
    // A line of /proc/locks: "1: FLOCK  ADVISORY  WRITE 1234 00:05:678 0 EOF", the file
    // as major:minor (hexadecimal) of its file system and its inode number.
    char id[64];
    std::snprintf(id, sizeof id, "%02x:%02x:%lu", ::major(node.st_dev), ::minor(node.st_dev),
                  static_cast<unsigned long>(node.st_ino));
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        std::istringstream words(line);
        std::string number, kind, mode, access, pid, file;
        if (!(words >> number >> kind)) continue;
        if (kind == "->") words >> kind;  // a waiter, listed under the lock it waits for
        if (!(words >> mode >> access >> pid >> file) || file != id) continue;
        std::string name;
        std::getline(std::ifstream("/proc/" + pid + "/comm"), name);
        return (name.empty() ? std::string("PID ") : name + ", PID ") + pid;
    }
    return {};
}

PortOpenFailure withPermissionAdvice(PortOpenFailure failure) {
    if (failure.reason != PortOpenFailure::Reason::System ||
        (failure.error != EACCES && failure.error != EPERM)) {
        return failure;
    }
    struct stat node {};
    if (::stat(failure.device.c_str(), &node) != 0) return failure;
    // Only a group that may read and write the device can be the fix.
    const mode_t groupRw = S_IRGRP | S_IWGRP;
    if ((node.st_mode & groupRw) != groupRw || inProcessGroups(node.st_gid)) return failure;
    const group* g = ::getgrgid(node.st_gid);
    if (g == nullptr || g->gr_name == nullptr) return failure;
    failure.group = g->gr_name;
    if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr) {
        failure.user = pw->pw_name;
        failure.memberSinceLogin = listedInGroup(failure.user, pw->pw_gid, node.st_gid);
    }
    return failure;
}

MarkedText portOpenFailureMessage(const PortOpenFailure& f) {
    using Reason = PortOpenFailure::Reason;
    switch (f.reason) {
        case Reason::None:
            return {};
        case Reason::NoName:
            return {QT_TRANSLATE_NOOP(
                "KvelView", "порт не задан (ключ port в разделе [connect] файла mem.ini)")};
        case Reason::NotTerminal:
            return {QT_TRANSLATE_NOOP("KvelView", "%1: не последовательный порт (%2)"),
                    {f.device, systemText(ENOTTY)}};
        case Reason::InUse:
            return {QT_TRANSLATE_NOOP("KvelView", "%1: порт занят другой программой (%2)"),
                    {f.device, f.holder.empty() ? systemText(EBUSY) : f.holder}};
        case Reason::System:
            break;
    }
    if (f.group.empty()) return {"%1: %2", {f.device, systemText(f.error)}};
    const std::string user = f.user.empty() ? "$USER" : f.user;
    if (f.memberSinceLogin) {
        return {QT_TRANSLATE_NOOP("KvelView",
                                  "%1: %2. Доступ к порту даёт группа %3; пользователь %4 уже в "
                                  "ней, но этот сеанс начат раньше: выйдите из системы и войдите "
                                  "заново"),
                {f.device, systemText(f.error), f.group, user}};
    }
    return {QT_TRANSLATE_NOOP("KvelView",
                              "%1: %2. Доступ к порту даёт группа %3: добавьте в неё пользователя "
                              "(sudo usermod -aG %3 %4) и войдите в систему заново"),
            {f.device, systemText(f.error), f.group, user}};
}

std::string portOpenFailureText(const PortOpenFailure& f) {
    return portOpenFailureMessage(f).text();
}

}  // namespace kvel
