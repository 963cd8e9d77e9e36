#pragma once
// Reconstructs full colour from GRBG sensor data.
#include <cstddef>
#include <cstdint>

#include "core/image.h"

namespace hc {

// mosaic: width x height samples, rows stride bytes apart; width and height
// even and at least 2. out receives a width x height picture. Throws std::bad_alloc.
void demosaic(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, RgbImage& out);

}  // namespace hc
