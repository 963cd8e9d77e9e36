#pragma once
// Checksums of the link frames: CRC-16/CCITT-FALSE guards the short header
// (so a corrupted length never makes a receiver wait for bytes that will not
// come), CRC-32 (the zlib polynomial) guards the payload.
#include <cstddef>
#include <cstdint>

namespace hc::proto {

std::uint16_t crc16(const std::uint8_t* data, std::size_t size, std::uint16_t crc = 0xFFFF);
std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);

}  // namespace hc::proto
