#pragma once
#include <iosfwd>
#include <string>
#include <vector>

#include "config/mem_ini.h"
#include "core/cabinet_control.h"

namespace kvel {

// `kvelctl cabinet NAME command K | signal S | status`: the cabinet window's exchanges for
// scripts, on the same code. NAME is a key of section `panels` (it matters in "Хост"
// addressing only); K is 1..6 in the order of the window's command buttons; S is a signal's
// name (S41, S42, S43, S51, S52) or its number 0..4.
struct CabinetArgs {
    std::string port;
    int address = 100;
    int speed = 0;
    int parity = 0;
    std::vector<std::string> operands;  // NAME and what to do
    bool trace = false;                 // every transaction on stderr
};

bool validCabinetOperands(const std::vector<std::string>& operands);
// What is wrong with the operands, naming the one at fault and what it may be; empty when
// they are valid.
std::string cabinetOperandsError(const std::vector<std::string>& operands);

// Exit status as kvelctl's: 0 success, 1 link failure, 2 a cabinet that is not in the list.
// Refusals and failures go to `err` as the window shows them in its message boxes.
int runCabinet(const CabinetArgs& args, const MemIni& ini, std::ostream& out, std::ostream& err,
               const CabinetTiming& timing = {});

}  // namespace kvel
