#include "config/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace kvel {
namespace {

std::string directoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

// Gives the new file the old one's permissions and owner, or the usual ones for a new file.
void copyPermissions(int fd, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        (void)::fchmod(fd, st.st_mode & 07777);
        (void)!::fchown(fd, st.st_uid, st.st_gid);  // only root may give a file away; fine if not
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        (void)::fchmod(fd, 0666 & ~mask);
    }
}

// The file a replacement of path writes: the target of a link, or path itself.
std::string targetOf(const std::string& path) {
    std::string target = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    return target;
}

// Renaming over a file needs only the folder's permission; the file's own is respected here,
// and a file without any write bit counts as read-only for root too.
int checkWritable(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return 0;  // a new file
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return errno;
    return 0;
}

// mkstemp's six characters, as opposed to a name someone gave a file of their own
// ("backup", "Backup", "BACKUP"): a word has no digit and at most its first letter in capitals,
// or is all capitals.
bool isTemporarySuffix(std::string_view suffix) {
    if (suffix.size() != 6) return false;
    int digits = 0, capitals = 0;
    for (const char c : suffix) {
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
        digits += std::isdigit(static_cast<unsigned char>(c)) ? 1 : 0;
        capitals += std::isupper(static_cast<unsigned char>(c)) ? 1 : 0;
    }
    return digits > 0 || (capitals > 1 && capitals < 6);
}

}  // namespace

int readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        bytes.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    int err = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        if (n == 0) break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    if (err != 0) bytes.clear();
    return err;
}

FileReplacement::FileReplacement(const std::string& path) : target_(targetOf(path)) {
    error_ = checkWritable(target_);
    if (error_ != 0) return;
    temp_ = target_ + ".XXXXXX";
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) {
        error_ = errno;
        temp_.clear();
        return;
    }
    copyPermissions(fd_, target_);
}

FileReplacement::~FileReplacement() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

void FileReplacement::write(std::string_view bytes) {
    if (error_ == 0) error_ = writeAll(fd_, bytes);
}

int FileReplacement::commit() {
    if (error_ != 0) return error_;
    if (::fsync(fd_) != 0) error_ = errno;
    if (::close(std::exchange(fd_, -1)) != 0 && error_ == 0) error_ = errno;
    if (error_ == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) error_ = errno;
    if (error_ != 0) return error_;
    temp_.clear();
    // Make the rename itself durable; the new content is in place already, so a failure here
    // changes nothing the caller could act on.
    const int dir = ::open(directoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return 0;
}

int replaceFile(const std::string& path, std::string_view bytes) {
    FileReplacement file(path);
    file.write(bytes);
    return file.commit();
}

void removeStaleTemporaries(const std::string& path) {
    const std::string target = targetOf(path);
    const std::string folder = directoryOf(target);
    const std::string prefix = target.substr(target.rfind('/') + 1) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const std::time_t minuteAgo = std::time(nullptr) - 60;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix) || !isTemporarySuffix(name.substr(prefix.size()))) continue;
        const std::string file = folder + "/" + std::string(name);
        struct stat st {};
        if (::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime < minuteAgo) {
            ::unlink(file.c_str());
        }
    }
    ::closedir(dir);
}

// Writes all of `text` at the end of the open file, or restores the file's old length and
// fails: a line is never left half-written.
bool appendWhole(int fd, std::string_view text) {
    struct stat before {};
    if (::fstat(fd, &before) != 0) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (done > 0) {
                // Nothing more can be done if even the cut back fails.
                [[maybe_unused]] const int cut = ::ftruncate(fd, before.st_size);
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace kvel
