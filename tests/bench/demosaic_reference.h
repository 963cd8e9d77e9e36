#pragma once
// Reference demosaicing for demosaic_check: see demosaic_reference.cpp.
#include <cstddef>
#include <cstdint>

#include "core/demosaic.h"

namespace demosaic_ref {

using hc::PixelLayout;

// As hc::demosaic_rows.
void demosaic_rows(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, std::uint8_t* first_row,
                   std::ptrdiff_t row_step, PixelLayout layout);

}  // namespace demosaic_ref
