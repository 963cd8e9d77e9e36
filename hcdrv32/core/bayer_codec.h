#pragma once
// Lossless coding of GRBG sensor data: prediction from causal neighbours of
// the same colour, adaptive Golomb-Rice codes chosen per local-activity context.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/status.h"

namespace hc {

// width and height even and positive; stride = width. Throws std::bad_alloc.
std::vector<std::uint8_t> compress_bayer(const std::uint8_t* mosaic, int width, int height);

// Decoded samples in the coder's own framed layout: sample (x, y) at
// samples[y * stride + x]. Kept between calls, a run of pictures of one size
// allocates the memory once.
struct BayerFrame {
  std::vector<std::uint8_t> storage;
  const std::uint8_t* samples = nullptr;
  std::ptrdiff_t stride = 0;
};

// As below, into frame; samples is set only on success. Throws std::bad_alloc.
Status decompress_bayer(const std::uint8_t* data, std::size_t size, int width, int height, BayerFrame& frame);

// Decodes exactly width x height samples into out (rows out_stride bytes apart).
// Any data that does not decode to exactly that (truncated, overlong, invalid
// codes) gives ImageProcessing; nothing outside data or out is touched.
Status decompress_bayer(const std::uint8_t* data, std::size_t size, int width, int height, std::uint8_t* out,
                        std::ptrdiff_t out_stride);

}  // namespace hc
