#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sim/simulator.h"

namespace kvel::test {

// A started simulated module of `type` on the pseudo-terminal `link`, with steady values so
// that what a test sets is what the line reads. A failed start fails the test.
inline std::unique_ptr<sim::Simulator> StartedSimulator(const std::string& link,
                                                        int type = sim::SimOptions().typeCode) {
    sim::SimOptions options;
    options.typeCode = type;
    options.drift = false;
    options.link = link;
    auto simulator = std::make_unique<sim::Simulator>(options);
    EXPECT_TRUE(simulator->start()) << simulator->errorText();
    return simulator;
}

}  // namespace kvel::test
