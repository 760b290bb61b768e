#pragma once
#include <cstdint>

namespace kvel {

// CRC-16/MODBUS of a frame; the low-order byte goes first on the wire.
std::uint16_t crc16(const std::uint8_t* data, std::uint16_t length);

}  // namespace kvel
