#include "core/image.h"

namespace hc {

std::vector<std::uint8_t> make_mosaic(const RgbImage& img) {
  std::vector<std::uint8_t> m(static_cast<std::size_t>(img.width) * img.height);
  for (int y = 0; y < img.height; ++y) {
    const std::uint8_t* src = img.row(y);
    std::uint8_t* dst = m.data() + static_cast<std::size_t>(y) * img.width;
    // Even rows G R G R ..., odd rows B G B G ...
    int even_ch = (y & 1) ? 2 : 1;
    int odd_ch = (y & 1) ? 1 : 0;
    for (int x = 0; x < img.width; ++x) dst[x] = src[3 * x + ((x & 1) ? odd_ch : even_ch)];
  }
  return m;
}

}  // namespace hc
