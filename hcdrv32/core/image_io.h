#pragma once
// Small readers and writers for 24-bit BMP and binary PPM, for the tools,
// tests and benchmarks. Not the program's own BMP writer.
#include <cstdint>
#include <string>
#include <vector>

#include "core/image.h"

namespace hc {

// Parses a BMP (uncompressed 24- or 32-bit, bottom-up or top-down) or a binary
// PPM (P6, maxval 255). On failure returns false and sets error to one line.
bool decode_picture_file(const std::vector<std::uint8_t>& bytes, RgbImage& img, std::string& error);

std::vector<std::uint8_t> encode_bmp(const RgbImage& img);
std::vector<std::uint8_t> encode_ppm(const RgbImage& img);

bool read_file(const std::string& path, std::vector<std::uint8_t>& bytes);
bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace hc
