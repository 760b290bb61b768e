#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "link/module_link.h"
#include "sim/simulator.h"
#include "tests/common/sim_on_pty.h"

namespace kvel::test {

// The link with its port open on the simulated module, whose pseudo-terminal is named for
// the process and the test so that tests run side by side never share one.
class SimLinkFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        simulator =
            StartedSimulator("/tmp/kvel-test-" + std::to_string(::getpid()) + "-" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_TRUE(simulator->plugged());  // started
        link.openPort(simulator->devicePath(), 4, 0);
        ASSERT_FALSE(link.portNeedsOpening());
    }
    // Registers 85 … 87 of module 100 set to 1000, 950 and 900 by one write.
    WriteTransaction& ThreeRegisterWrite() {
        WriteTransaction& w = write;
        w.moduleAddress = 100;
        w.firstRegister = 85;
        w.count = 3;
        w.values[0] = 1000;
        w.values[1] = 950;
        w.values[2] = 900;
        return w;
    }

    std::unique_ptr<sim::Simulator> simulator;
    ModuleLink link;
    WriteTransaction write;
};

}  // namespace kvel::test
