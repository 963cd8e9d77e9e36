#pragma once
// Reconstructs full colour from GRBG sensor data.
#include <cstddef>
#include <cstdint>

#include "core/image.h"

namespace hc {

// mosaic: width x height samples, rows stride bytes apart; width and height
// even and at least 2. out receives a width x height picture. Throws std::bad_alloc.
void demosaic(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, RgbImage& out);

// Byte order of each output pixel; BgrMirrored also runs each row right to left.
enum class PixelLayout { Rgb, Bgr, BgrMirrored };

// As demosaic, but picture row y goes to first_row + y * row_step (row_step may
// be negative), width * 3 bytes in the given layout. Throws std::bad_alloc.
void demosaic_rows(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, std::uint8_t* first_row,
                   std::ptrdiff_t row_step, PixelLayout layout);

}  // namespace hc
