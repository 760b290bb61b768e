// The console commands of kvel-sim, carried out on an in-process simulator.
#include <gtest/gtest.h>

#include "sim/command.h"

namespace kvel::sim {
namespace {

TEST(SimCommand, AnswersEachLine) {
    struct Case {
        const char* line;
        const char* answer;  // exact, or the prefix "error:"
    };
    // The second "unplug" finds the device out already: nothing to do.
    const Case cases[] = {
        // clang-format off
        {"get 145", "ok 215"},       {"set 768 -40", "ok"},         {"get 768", "ok 65496"},
        {"set 0x200 0", "ok"},       {"get 512", "ok 0"},           {"type 150", "ok"},
        {"get 145", "ok 150"},       {"drift off", "ok"},           {"drift sideways", "error:"},
        {"fault exception 4", "ok"}, {"fault late 800", "ok"},      {"fault wrongaddr", "ok"},
        {"fault none", "ok"},        {"fault exception", "error:"}, {"fault exception 0", "error:"},
        {"fault late -1", "error:"}, {"set 65536 1", "error:"},     {"set 1 65536", "error:"},
        {"set 1", "error:"},         {"get x", "error:"},           {"get 12junk", "error:"},
        {"type", "error:"},          {"unplug now", "error:"},      {"reboot", "error:"},
        {"   ", "error:"},           {"plug", "ok"},                {"unplug", "ok"},
        {"unplug", "ok"},            {"plug", "ok"},
        // clang-format on
    };
    Simulator sim;
    for (const auto& c : cases) {
        const std::string answer = execute(sim, c.line);
        if (std::string(c.answer) == "error:") {
            EXPECT_EQ(answer.rfind("error:", 0), 0u) << c.line << " -> " << answer;
        } else {
            EXPECT_EQ(answer, c.answer) << c.line;
        }
        const std::string line = c.line;
        if (line == "plug" || line == "unplug") {
            EXPECT_EQ(sim.plugged(), line == "plug") << "after " << line;
        }
    }
}

}  // namespace
}  // namespace kvel::sim
