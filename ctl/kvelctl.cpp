#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>

#include "ctl/ctl.h"

namespace {
std::atomic<bool> stopRequested{false};
extern "C" void onSignal(int) {
    stopRequested = true;
}
}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    // Output into a file past its size limit fails (EFBIG) instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = kvel::runCtl(args, std::cout, std::cerr, stopRequested);
    // Output that did not reach its file is no success.
    if (!std::cout.flush() && status == 0) {
        std::cerr << "kvelctl: вывод не записан: " << std::strerror(errno) << std::endl;
        return 1;
    }
    return status;
}
