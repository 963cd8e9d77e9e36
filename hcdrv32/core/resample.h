#pragma once
#include "core/image.h"

namespace hc {

// Area-averaging resize: every output pixel is the mean of the input area it
// covers (fractional at the edges), which keeps thumbnails free of aliasing.
// Enlarging degrades to pixel repetition. Throws std::bad_alloc.
RgbImage resize_area(const RgbImage& src, int width, int height);

}  // namespace hc
