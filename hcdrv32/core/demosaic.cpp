#include "core/demosaic.h"

#include <cstdlib>
#include <vector>

namespace hc {
namespace {

// Work happens on a copy framed by mirrored samples, so the filters need no
// border cases. Mirroring about the edge sample keeps the colour pattern.
constexpr int kPad = 8;

int mirror(int i, int n) {
  while (i < 0 || i >= n) {
    if (i < 0) i = -i;
    if (i >= n) i = 2 * (n - 1) - i;
  }
  return i;
}

inline int absi(int v) { return v < 0 ? -v : v; }
inline std::uint8_t to8(int v4) {  // from four times the value, rounded
  int v = (v4 + 2) >> 2;
  return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace

void demosaic(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, RgbImage& out) {
  const int pw = width + 2 * kPad;
  const int ph = height + 2 * kPad;
  const std::size_t n = static_cast<std::size_t>(pw) * ph;
  std::vector<std::int16_t> m(n), dh(n), dv(n), g4(n), rg(n), bg(n);
  std::vector<std::int32_t> gh(n), gv(n), eh(n), ev(n);

  for (int y = 0; y < ph; ++y) {
    const std::uint8_t* src = mosaic + mirror(y - kPad, height) * stride;
    std::int16_t* row = &m[static_cast<std::size_t>(y) * pw];
    for (int x = 0; x < pw; ++x) row[x] = src[mirror(x - kPad, width)];
  }
  // In padded coordinates the pattern is unchanged (kPad is even).
  auto green = [](int x, int y) { return ((x ^ y) & 1) == 0; };

  // Directional estimates of green minus the other colour of the row or
  // column, four times scaled: the average of the two neighbours corrected by
  // the second derivative of the centre colour.
  for (int y = 2; y < ph - 2; ++y) {
    for (int x = 2; x < pw - 2; ++x) {
      std::size_t i = static_cast<std::size_t>(y) * pw + x;
      int h = 2 * (m[i - 1] + m[i + 1]) - 2 * m[i] - m[i - 2] - m[i + 2];
      int v = 2 * (m[i - pw] + m[i + pw]) - 2 * m[i] - m[i - 2 * pw] - m[i + 2 * pw];
      bool g = green(x, y);
      dh[i] = static_cast<std::int16_t>(g ? -h : h);
      dv[i] = static_cast<std::int16_t>(g ? -v : v);
    }
  }
  for (int y = 3; y < ph - 3; ++y)
    for (int x = 3; x < pw - 3; ++x) {
      std::size_t i = static_cast<std::size_t>(y) * pw + x;
      gh[i] = absi(dh[i - 1] - dh[i + 1]);
      gv[i] = absi(dv[i - pw] - dv[i + pw]);
    }
  for (int y = 5; y < ph - 5; ++y)
    for (int x = 5; x < pw - 5; ++x) {
      std::size_t i = static_cast<std::size_t>(y) * pw + x;
      int sh = 0, sv = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -2; dx <= 2; ++dx) sh += gh[i + dy * pw + dx];
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -1; dx <= 1; ++dx) sv += gv[i + dy * pw + dx];
      eh[i] = sh;
      ev[i] = sv;
    }
  // Green: blend the two directions, each weighted by the smoothness of the
  // colour difference across it.
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) {
      std::size_t i = static_cast<std::size_t>(y) * pw + x;
      g4[i] = static_cast<std::int16_t>(4 * m[i]);
    }
  for (int y = 5; y < ph - 5; ++y)
    for (int x = 5; x < pw - 5; ++x) {
      if (green(x, y)) continue;
      std::size_t i = static_cast<std::size_t>(y) * pw + x;
      float a = static_cast<float>(eh[i]) + 1.0f, b = static_cast<float>(ev[i]) + 1.0f;
      float wh = 1.0f / (a * a), wv = 1.0f / (b * b);
      float h = (dh[i - 1] + 2.0f * dh[i] + dh[i + 1]) * 0.25f;
      float v = (dv[i - pw] + 2.0f * dv[i] + dv[i + pw]) * 0.25f;
      float d = (wh * h + wv * v) / (wh + wv);
      g4[i] = static_cast<std::int16_t>(4 * m[i] + static_cast<int>(d + (d >= 0 ? 0.5f : -0.5f)));
    }
  // Red and blue through their differences to green: known at their own
  // sites, from the four diagonal sites at the opposite colour, then from the
  // four direct neighbours at green sites.
  for (int y = 5; y < ph - 5; ++y)
    for (int x = 5; x < pw - 5; ++x) {
      if (green(x, y)) continue;
      std::size_t i = static_cast<std::size_t>(y) * pw + x;
      int own = 4 * m[i] - g4[i];
      bool red = (y & 1) == 0;
      (red ? rg : bg)[i] = static_cast<std::int16_t>(own);
    }
  for (int y = 6; y < ph - 6; ++y)
    for (int x = 6; x < pw - 6; ++x) {
      if (green(x, y)) continue;
      std::size_t i = static_cast<std::size_t>(y) * pw + x;
      bool red = (y & 1) == 0;
      auto& other = red ? bg : rg;
      auto cd = [&](std::size_t j) { return 4 * m[j] - g4[j]; };
      int s = cd(i - pw - 1) + cd(i - pw + 1) + cd(i + pw - 1) + cd(i + pw + 1);
      other[i] = static_cast<std::int16_t>((s + 2) >> 2);
    }
  for (int y = 7; y < ph - 7; ++y)
    for (int x = 7; x < pw - 7; ++x) {
      if (!green(x, y)) continue;
      std::size_t i = static_cast<std::size_t>(y) * pw + x;
      rg[i] = static_cast<std::int16_t>((rg[i - 1] + rg[i + 1] + rg[i - pw] + rg[i + pw] + 2) >> 2);
      bg[i] = static_cast<std::int16_t>((bg[i - 1] + bg[i + 1] + bg[i - pw] + bg[i + pw] + 2) >> 2);
    }

  out = RgbImage(width, height);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* dst = out.row(y);
    std::size_t i = static_cast<std::size_t>(y + kPad) * pw + kPad;
    for (int x = 0; x < width; ++x, ++i) {
      dst[3 * x] = to8(g4[i] + rg[i]);
      dst[3 * x + 1] = to8(g4[i]);
      dst[3 * x + 2] = to8(g4[i] + bg[i]);
    }
  }
}

}  // namespace hc
