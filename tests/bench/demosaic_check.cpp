// Compares the library's demosaicing with demosaic_reference.cpp bit for bit:
// every even size up to 40 x 24 and random ones up to 400 x 300, sample
// patterns from noise to full-scale checkerboards, the three layouts, rows
// top-down and bottom-up, padded strides, and demosaic_band over random
// bands with one DemosaicWork kept across all of them. Run by
// demosaic_check.sh, which also builds the library without SSE2.
#include <algorithm>
#include <cstdio>
#include <random>
#include <utility>
#include <vector>

#include "core/demosaic.h"
#include "demosaic_reference.h"

namespace {

std::vector<std::uint8_t> mosaic(int w, int h, int stride, int kind, std::mt19937& rng) {
  std::vector<std::uint8_t> m(static_cast<std::size_t>(stride) * h, 0xAB);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int v = 0;
      switch (kind) {
        case 0: v = static_cast<int>(rng() & 255); break;
        case 1: v = ((x ^ y) & 1) ? 255 : 0; break;  // largest differences the filters can see
        case 2: v = ((x / 2 + y / 3) & 1) ? 255 : 0; break;
        case 3: v = (x * 7 + y * 3) & 255; break;
        case 4: v = rng() % 3 == 0 ? 255 : static_cast<int>(rng() & 1 ? 0 : rng() & 255); break;
        default: v = ((x & 1) ? 0 : 255) ^ ((y & 2) ? 255 : 0); break;
      }
      m[static_cast<std::size_t>(y) * stride + x] = static_cast<std::uint8_t>(v);
    }
  return m;
}

}  // namespace

int main() {
  std::mt19937 rng(12345);
  std::vector<std::pair<int, int>> sizes;
  for (int w = 2; w <= 40; w += 2)
    for (int h = 2; h <= 24; h += 2) sizes.push_back({w, h});
  for (int k = 0; k < 60; ++k)
    sizes.push_back({2 + 2 * static_cast<int>(rng() % 200), 2 + 2 * static_cast<int>(rng() % 150)});
  sizes.insert(sizes.end(), {{1280, 960}, {2, 400}, {400, 2}, {1282, 194}});
  hc::DemosaicWork work;
  long cases = 0, failures = 0;
  for (auto [w, h] : sizes)
    for (int kind = 0; kind < 6; ++kind) {
      if (w * h > 100000 && kind > 1) continue;
      const int stride = w + (kind & 1) * 6;
      const auto m = mosaic(w, h, stride, kind, rng);
      for (int l = 0; l < 3; ++l) {
        const auto layout = static_cast<hc::PixelLayout>(l);
        const std::size_t row_bytes = static_cast<std::size_t>(w) * 3;
        std::vector<std::uint8_t> want(row_bytes * h, 1), rows(row_bytes * h, 2), bands(row_bytes * h, 3);
        const bool up = ((kind + l) & 1) != 0;
        const auto step = static_cast<std::ptrdiff_t>(row_bytes) * (up ? -1 : 1);
        const std::size_t first = up ? row_bytes * (h - 1) : 0;
        demosaic_ref::demosaic_rows(m.data(), stride, w, h, want.data() + first, step, layout);
        hc::demosaic_rows(m.data(), stride, w, h, rows.data() + first, step, layout);
        for (int y0 = 0; y0 < h;) {
          int n = std::min(h - y0, 1 + static_cast<int>(rng() % 130));
          hc::demosaic_band(m.data(), stride, w, h, y0, n, bands.data() + first + y0 * step, step, layout, work);
          y0 += n;
        }
        ++cases;
        if (rows != want || bands != want) {
          if (++failures <= 10)
            std::printf("DIFFERENT: %dx%d pattern %d layout %d%s%s\n", w, h, kind, l, rows != want ? " rows" : "",
                        bands != want ? " bands" : "");
        }
      }
    }
  std::printf("demosaic_check: %ld cases, %ld different\n", cases, failures);
  return failures ? 1 : 0;
}
