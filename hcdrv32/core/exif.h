#pragma once
#include <cstdint>
#include <vector>

#include "core/jpeg_encoder.h"

namespace hc {

// The body of an Exif APP1 segment ("Exif\0\0" and a little-endian TIFF
// structure), without marker and length.
std::vector<std::uint8_t> build_exif(const ExifFacts& facts);

}  // namespace hc
