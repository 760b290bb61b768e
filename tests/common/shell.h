#pragma once
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

namespace kvel::test {

struct ShellOutput {
    int status = -1;
    std::string text;
};

// Runs a shell command; its standard output and error, and its exit status (-1 when it could
// not run or did not exit).
inline ShellOutput Shell(const std::string& command) {
    ShellOutput out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return out;
    std::array<char, 4096> chunk{};
    for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0;) {
        out.text.append(chunk.data(), n);
    }
    const int status = ::pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

// Removes a folder that programs the test started may still be emptying as they end (the
// simulator removes its link on exit): whatever is already gone is no failure.
inline void RemoveTree(const std::filesystem::path& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

}  // namespace kvel::test
