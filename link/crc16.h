#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kvel {

// CRC-16/MODBUS of a frame; the low-order byte goes first on the wire.
std::uint16_t crc16(const std::uint8_t* data, std::uint16_t length);

// Writes the CRC of the first `length` bytes right after them, low-order byte first.
void putCrc(std::uint8_t* frame, std::size_t length);
// Appends the CRC of the whole frame.
void appendCrc(std::vector<std::uint8_t>& frame);
// True when the first `length` bytes are followed by their CRC within the `received` bytes
// that arrived: a frame cut short never passes.
bool crcMatches(const std::uint8_t* frame, std::size_t received, std::size_t length);

}  // namespace kvel
