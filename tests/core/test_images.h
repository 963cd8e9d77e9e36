#pragma once
// Synthetic pictures for the core tests.
#include <cstdint>

#include "core/hcr.h"
#include "core/image.h"

namespace hctest {

// Smooth colour ramps with soft edges: demosaicing reproduces it closely.
hc::RgbImage smooth_picture(int width, int height);
// Pseudo-random samples: the worst case of the lossless coder.
hc::RgbImage noise_picture(int width, int height, std::uint32_t seed);
double psnr(const hc::RgbImage& a, const hc::RgbImage& b, int border);

hc::PictureFacts sample_facts(std::int32_t camera_type);

}  // namespace hctest
