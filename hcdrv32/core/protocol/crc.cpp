#include "core/protocol/crc.h"

#include <array>

namespace hc::proto {
namespace {

constexpr std::array<std::uint16_t, 256> make_crc16_table() {
  std::array<std::uint16_t, 256> t{};
  for (unsigned i = 0; i < 256; ++i) {
    std::uint16_t c = static_cast<std::uint16_t>(i << 8);
    for (int k = 0; k < 8; ++k) c = static_cast<std::uint16_t>((c & 0x8000) ? (c << 1) ^ 0x1021 : (c << 1));
    t[i] = c;
  }
  return t;
}

constexpr std::array<std::uint32_t, 256> make_crc32_table() {
  std::array<std::uint32_t, 256> t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : (c >> 1);
    t[i] = c;
  }
  return t;
}

constexpr auto kCrc16 = make_crc16_table();
constexpr auto kCrc32 = make_crc32_table();

}  // namespace

std::uint16_t crc16(const std::uint8_t* data, std::size_t size, std::uint16_t crc) {
  for (std::size_t i = 0; i < size; ++i)
    crc = static_cast<std::uint16_t>((crc << 8) ^ kCrc16[((crc >> 8) ^ data[i]) & 0xFF]);
  return crc;
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = (crc >> 8) ^ kCrc32[(crc ^ data[i]) & 0xFF];
  return ~crc;
}

}  // namespace hc::proto
