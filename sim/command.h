#pragma once
#include <string>

#include "sim/simulator.h"

namespace kvel::sim {

// Carries out one command line of the kvel-sim console and returns its answer line:
// "ok" (for `get`, "ok VALUE"), or "error: ..." saying what was wrong. Commands:
//   unplug | plug | fault none|silence|badcrc|wrongaddr|exception CODE|late MS|count N
//   set REG VALUE | get REG | type CODE | drift on|off
std::string execute(Simulator& sim, const std::string& line);

}  // namespace kvel::sim
