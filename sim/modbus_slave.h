#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/crc16.h"
#include "sim/register_map.h"

namespace kvel::sim {

// Length of the request frame that starts the buffer: the length when it can be told
// (functions 3 and 6: 8 bytes; function 16: 9 + its byte count), 0 while too few bytes
// have arrived to tell, and -1 for a function the module does not know (such a frame
// ends at the silence after it).
int requestLength(const std::uint8_t* data, std::size_t size);

// True when the frame's last two bytes are its CRC, low byte first.
bool crcValid(const std::vector<std::uint8_t>& frame);
// The link's own CRC: the simulated module computes it as the program does.
using kvel::appendCrc;

// An exception reply: address, function | 0x80, code, CRC.
std::vector<std::uint8_t> exceptionReply(std::uint8_t address, std::uint8_t function,
                                         std::uint8_t code);

// A normal read reply carrying `count` registers of the map from `first` on; the count is
// not checked, so a fault can make the reply longer or shorter than the request asked.
std::vector<std::uint8_t> readReply(const RegisterMap& map, std::uint8_t address,
                                    std::uint16_t first, int count);

// Carries out a CRC-valid request addressed to the module (or broadcast) on the map and
// returns the reply frame as the Modbus serial line prescribes: normal replies for
// functions 3, 6 and 16, exception 1 for an unknown function, 2 for registers that do
// not exist or cannot be written, 3 for a bad count or a value the module refuses.
std::vector<std::uint8_t> answer(RegisterMap& map, const std::vector<std::uint8_t>& request);

}  // namespace kvel::sim
