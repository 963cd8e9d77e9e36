#pragma once
// CRC-32 (IEEE 802.3, the zlib polynomial), chainable: crc32(b, n, crc32(a, m)).
#include <cstddef>
#include <cstdint>

namespace hc {
std::uint32_t crc32(const void* data, std::size_t size, std::uint32_t crc = 0);
}
