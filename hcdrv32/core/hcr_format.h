#pragma once
// The .HCR raw picture file: field offsets and limits. HCR-FORMAT.md beside
// this header describes the layout for people.
#include <cstddef>
#include <cstdint>

namespace hc::hcr {

inline constexpr std::uint8_t kMagic[4] = {'H', 'C', 'R', 0x1A};
inline constexpr std::uint16_t kVersion = 1;
inline constexpr std::uint32_t kHeaderSize = 128;
inline constexpr std::uint32_t kCodingPredictiveRice = 1;

// Byte offsets in the header.
enum Offset : std::size_t {
  kOffMagic = 0,
  kOffVersion = 4,
  kOffHeaderSize = 6,
  kOffCameraType = 8,
  kOffWidth = 12,
  kOffHeight = 16,
  kOffDate = 20,  // six int16: second, minute, hour, day, month from 0, years since 1900
  kOffName = 32,
  kOffExposure = 48,
  kOffFNumber = 52,
  kOffBrightness = 54,
  kOffFlash = 56,
  kOffDistance = 60,
  kOffZoom = 64,
  kOffThumbWidth = 68,
  kOffThumbHeight = 70,
  kOffThumbOffset = 72,
  kOffThumbSize = 76,
  kOffDataOffset = 80,
  kOffDataSize = 84,
  kOffCoding = 88,
  kOffThumbCrc = 92,
  kOffHeaderCrc = 124,
};

inline constexpr std::size_t kNameField = 16;  // at most 15 characters and a zero
inline constexpr std::uint32_t kMaxSide = 8192;
inline constexpr std::size_t kTrailerSize = 4;  // CRC-32 of everything before it

// Readers of the program look at no more than this much to describe a
// picture, and at thumbnail bytes plus kPrefixSlack to show its thumbnail.
inline constexpr std::size_t kDescribeLimit = 16384;
inline constexpr std::size_t kPrefixSlack = 10240;

}  // namespace hc::hcr
