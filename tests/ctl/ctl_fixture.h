#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ctl/ctl.h"
#include "sim/simulator.h"
#include "tests/common/sim_on_pty.h"

namespace kvel::test {

// Runs kvelctl in a folder of its own (`folder`, made current) with the simulated module on
// the pseudo-terminal "tty" there; what it prints lands in `out` and `err`.
class CtlFixture : public ::testing::Test {
  protected:
    explicit CtlFixture(int type = sim::SimOptions().typeCode) : type_(type) {}

    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("kvelctl-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        simulator = StartedSimulator(Tty(), type_);
        ASSERT_TRUE(simulator->plugged());  // started
    }
    void TearDown() override {
        simulator.reset();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder);
    }
    std::string Tty() const { return (folder / "tty").string(); }
    int Run(const std::vector<std::string>& args) {
        out.str("");
        err.str("");
        return runCtl(args, out, err, stop);
    }

    std::filesystem::path folder;
    std::unique_ptr<sim::Simulator> simulator;
    std::ostringstream out, err;
    std::atomic<bool> stop{false};

  private:
    int type_;
    std::filesystem::path previous_;
};

}  // namespace kvel::test
