#pragma once
#include <string>
#include <vector>

namespace kvel {

// The port box's items: "COM1" … "COM50", then the serial devices present under `devRoot`
// (normally "/dev"): the names in serial/by-id first, then ttyUSB*, ttyACM* and ttyS*, each
// group in natural order (ttyUSB2 before ttyUSB10).
std::vector<std::string> portChoices(const std::string& devRoot = "/dev");

}  // namespace kvel
