#pragma once
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace kvel::test {

// The tests run as root, whom no permission or exclusive mode stops: this runs `work` in a
// child that has dropped to the unprivileged user "nobody" (65534, no extra groups) and
// returns what it returned, or a text starting with "child:" when the child failed. Use it
// from a process without other threads.
inline std::string RunAsNobody(const std::function<std::string()>& work) {
    int out[2];
    if (::pipe(out) != 0) return "child: pipe";
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(out[0]);
        ::close(out[1]);
        return "child: fork";
    }
    if (child == 0) {
        ::close(out[0]);
        std::string result = "child: could not drop privileges";
        if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0) {
            result = work();
        }
        const char* p = result.data();
        std::size_t left = result.size();
        while (left > 0) {
            const ssize_t n = ::write(out[1], p, left);
            if (n <= 0) break;
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(out[1]);
    std::string result;
    char chunk[512];
    for (ssize_t n; (n = ::read(out[0], chunk, sizeof chunk)) > 0;) {
        result.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return result;
}

}  // namespace kvel::test
