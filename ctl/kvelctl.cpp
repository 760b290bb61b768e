#include <csignal>
#include <iostream>

#include "ctl/ctl.h"

namespace {
std::atomic<bool> stopRequested{false};
extern "C" void OnSignal(int) {
    stopRequested = true;
}
}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return kvel::RunCtl(args, std::cout, std::cerr, stopRequested);
}
