#include "test_images.h"

#include <cmath>

namespace hctest {

hc::RgbImage smooth_picture(int width, int height) {
  hc::RgbImage img(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
      std::uint8_t* p = img.row(y) + 3 * x;
      p[0] = static_cast<std::uint8_t>(40 + 170 * u);
      p[1] = static_cast<std::uint8_t>(60 + 120 * (0.5 + 0.5 * std::sin(6.0 * u + 4.0 * v)));
      p[2] = static_cast<std::uint8_t>(30 + 190 * v);
    }
  return img;
}

hc::RgbImage noise_picture(int width, int height, std::uint32_t seed) {
  hc::RgbImage img(width, height);
  for (auto& b : img.pixels) {
    seed = seed * 1664525u + 1013904223u;
    b = static_cast<std::uint8_t>(seed >> 24);
  }
  return img;
}

double psnr(const hc::RgbImage& a, const hc::RgbImage& b, int border) {
  double se = 0;
  long long n = 0;
  for (int y = border; y < a.height - border; ++y)
    for (int x = 3 * border; x < 3 * (a.width - border); ++x) {
      double d = static_cast<double>(a.row(y)[x]) - b.row(y)[x];
      se += d * d;
      ++n;
    }
  if (se == 0) return 99.0;
  return 10.0 * std::log10(255.0 * 255.0 * static_cast<double>(n) / se);
}

hc::PictureFacts sample_facts(std::int32_t camera_type) {
  hc::PictureFacts f;
  f.camera_type = camera_type;
  f.date = hc::CaptureDate{7, 8, 9, 29, 1, 100};  // 2000-02-29 09:08:07
  f.name = camera_type == hc::kBelva ? "PIC00012" : "DSC01234.HCR";
  f.exposure_us = 4000;
  f.fnumber_x10 = 56;
  f.flash = true;
  f.brightness = -7;
  f.subject_distance_mm = 3500;
  f.zoom_position = 5;
  return f;
}

}  // namespace hctest
