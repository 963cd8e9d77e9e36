// The demosaicing as it was before the row pipeline and the SSE2 code: bands
// of whole planes and plain loops, simple enough to read against the filter
// descriptions. demosaic_check.cpp compares the library with it bit for bit.
#include "demosaic_reference.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace demosaic_ref {
namespace {

// The picture is worked on in bands of rows, each framed by kPad rows and
// columns of mirrored samples, so the filters need no border cases and the
// band's planes stay near the processor. Mirroring about the edge sample
// keeps the colour pattern (kPad is even). The band is tall because the
// filters redo 2 * kPad rows for every band: at 32 rows that cost more than
// the planes outgrowing the fastest caches.
constexpr int kPad = 8;
constexpr int kBand = 96;

int mirror(int i, int n) {
  while (i < 0 || i >= n) {
    if (i < 0) i = -i;
    if (i >= n) i = 2 * (n - 1) - i;
  }
  return i;
}

inline std::uint8_t to8(int v4) {  // from four times the value, rounded
  int v = (v4 + 2) >> 2;
  return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

}  // namespace

struct Planes {
  int pw = 0, rows = 0;
  std::vector<std::int16_t> m, dh, dv, g4, cd, diag;
  std::vector<std::uint16_t> gh, gv, th, tv;
  std::vector<std::int16_t> sign[2];  // per row parity: +1 at red/blue sites, -1 at green
  std::vector<float> is_colour[2];    // per row parity: 1 at red/blue sites, 0 at green

  Planes(int width, int band_rows) : pw(width + 2 * kPad), rows(band_rows + 2 * kPad) {
    std::size_t n = static_cast<std::size_t>(pw) * rows;
    for (auto* v : {&m, &dh, &dv, &g4, &cd, &diag}) v->assign(n, 0);
    for (auto* v : {&gh, &gv, &th, &tv}) v->assign(n, 0);
    for (int p = 0; p < 2; ++p) {
      sign[p].resize(pw);
      is_colour[p].resize(pw);
      for (int x = 0; x < pw; ++x) {
        bool green = ((x ^ p) & 1) == 0;  // kPad is even, so parities match the picture's
        sign[p][x] = green ? -1 : 1;
        is_colour[p][x] = green ? 0.0f : 1.0f;
      }
    }
  }
  std::size_t at(int y) const { return static_cast<std::size_t>(y) * pw; }
};

namespace {

// Row kernels. Each works on one row of planes pw samples wide, from x0 to
// x1; separate functions with restrict-qualified rows let the compiler
// vectorise them.
using I16 = std::int16_t;
using U16 = std::uint16_t;

void directions(const I16* __restrict m, const I16* __restrict s, I16* __restrict dh, I16* __restrict dv, int pw,
                int x0, int x1) {
  for (int x = x0; x < x1; ++x) {
    int h = 2 * (m[x - 1] + m[x + 1]) - 2 * m[x] - m[x - 2] - m[x + 2];
    int v = 2 * (m[x - pw] + m[x + pw]) - 2 * m[x] - m[x - 2 * pw] - m[x + 2 * pw];
    dh[x] = static_cast<I16>(h * s[x]);
    dv[x] = static_cast<I16>(v * s[x]);
  }
}

void variations(const I16* __restrict dh, const I16* __restrict dv, U16* __restrict gh, U16* __restrict gv, int pw,
                int x0, int x1) {
  for (int x = x0; x < x1; ++x) {
    int a = dh[x - 1] - dh[x + 1], b = dv[x - pw] - dv[x + pw];
    gh[x] = static_cast<U16>(a < 0 ? -a : a);
    gv[x] = static_cast<U16>(b < 0 ? -b : b);
  }
}

void row_sums(const U16* __restrict gh, const U16* __restrict gv, U16* __restrict th, U16* __restrict tv, int x0,
              int x1) {
  for (int x = x0; x < x1; ++x) {
    th[x] = static_cast<U16>(gh[x - 2] + gh[x - 1] + gh[x] + gh[x + 1] + gh[x + 2]);
    tv[x] = static_cast<U16>(gv[x - 1] + gv[x] + gv[x + 1]);
  }
}

void green(const I16* __restrict m, const I16* __restrict dh, const I16* __restrict dv, const U16* __restrict th,
           const U16* __restrict tv, const float* __restrict colour, I16* __restrict g4, I16* __restrict cd, int pw,
           int x0, int x1) {
  for (int x = x0; x < x1; ++x) {
    float eh = static_cast<float>(th[x - pw] + th[x] + th[x + pw]) + 1.0f;
    float ev = static_cast<float>(tv[x - 2 * pw] + tv[x - pw] + tv[x] + tv[x + pw] + tv[x + 2 * pw]) + 1.0f;
    float wh = ev * ev, wv = eh * eh;  // 1/eh^2 and 1/ev^2, both scaled by eh^2 ev^2
    float h = static_cast<float>(dh[x - 1] + 2 * dh[x] + dh[x + 1]);
    float v = static_cast<float>(dv[x - pw] + 2 * dv[x] + dv[x + pw]);
    float d = 0.25f * (wh * h + wv * v) / (wh + wv);
    float m4 = static_cast<float>(4 * m[x]);
    // Rounds half up; below zero the result is clamped at output anyway.
    int g = static_cast<int>(m4 + colour[x] * d + 0.5f);
    g4[x] = static_cast<I16>(g);
    cd[x] = static_cast<I16>(4 * m[x] - g);  // colour minus green at red/blue sites, 0 at green
  }
}

void diagonals(const I16* __restrict cd, I16* __restrict diag, int pw, int x0, int x1) {
  for (int x = x0; x < x1; ++x)
    diag[x] = static_cast<I16>((cd[x - pw - 1] + cd[x - pw + 1] + cd[x + pw - 1] + cd[x + pw + 1] + 2) >> 2);
}

// Red and blue at green sites from the four direct neighbours: along the row
// they are sites of the row's colour, across it of the other. kBgr swaps the
// byte order of each pixel and kMirror runs the pixels right to left, so the
// rows come out in the layout the caller delivers without another pass.
template <bool kRedRow, bool kBgr, bool kMirror>
void output_row(const I16* __restrict g4, const I16* __restrict cd, const I16* __restrict dg, std::uint8_t* __restrict dst,
                int pw, int width) {
  constexpr int kR = kBgr ? 2 : 0, kB = kBgr ? 0 : 2;
  for (int x = 0; x < width; x += 2) {
    const int gx = kRedRow ? x : x + 1;
    const int cx = kRedRow ? x + 1 : x;
    int same = cd[gx - 1] + cd[gx + 1] + dg[gx - pw] + dg[gx + pw];
    int other = dg[gx - 1] + dg[gx + 1] + cd[gx - pw] + cd[gx + pw];
    int rg_g = kRedRow ? same : other, bg_g = kRedRow ? other : same;
    int rg_c = kRedRow ? cd[cx] : dg[cx], bg_c = kRedRow ? dg[cx] : cd[cx];
    std::uint8_t* pg = dst + 3 * (kMirror ? width - 1 - gx : gx);
    std::uint8_t* pc = dst + 3 * (kMirror ? width - 1 - cx : cx);
    pg[kR] = to8(g4[gx] + ((rg_g + 2) >> 2));
    pg[1] = to8(g4[gx]);
    pg[kB] = to8(g4[gx] + ((bg_g + 2) >> 2));
    pc[kR] = to8(g4[cx] + rg_c);
    pc[1] = to8(g4[cx]);
    pc[kB] = to8(g4[cx] + bg_c);
  }
}

template <bool kBgr, bool kMirror>
void output_rows(const Planes& p, int y0, int count, int width, std::uint8_t* first_row, std::ptrdiff_t row_step) {
  for (int y = y0; y < y0 + count; ++y) {
    const std::size_t i = p.at(y - y0 + kPad) + kPad;
    std::uint8_t* dst = first_row + (y - y0) * row_step;
    if ((y & 1) == 0)
      output_row<true, kBgr, kMirror>(&p.g4[i], &p.cd[i], &p.diag[i], dst, p.pw, width);
    else
      output_row<false, kBgr, kMirror>(&p.g4[i], &p.cd[i], &p.diag[i], dst, p.pw, width);
  }
}

// Demosaics picture rows [y0, y0 + count), count at most kBand, row y0 to
// first_row. Plane row r holds picture row y0 - kPad + r.
void band(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, int y0, int count, Planes& p,
          std::uint8_t* first_row, std::ptrdiff_t row_step, PixelLayout layout) {
  const int pw = p.pw;
  const int rows = count + 2 * kPad;
  auto parity = [&](int r) { return (y0 - kPad + r) & 1; };
  for (int r = 0; r < rows; ++r) {
    const std::uint8_t* src = mosaic + mirror(y0 - kPad + r, height) * stride;
    std::int16_t* row = &p.m[p.at(r)];
    for (int x = 0; x < kPad; ++x) row[x] = src[mirror(x - kPad, width)];
    for (int x = 0; x < width; ++x) row[kPad + x] = src[x];
    for (int x = width + kPad; x < pw; ++x) row[x] = src[mirror(x - kPad, width)];
  }
  // Directional estimates of green minus the other colour of the row (dh) or
  // column (dv), four times scaled: the mean of the two neighbours corrected
  // by the second derivative of the centre colour. At green sites the same
  // filter estimates the other colour, hence the sign.
  for (int r = 2; r < rows - 2; ++r)
    directions(&p.m[p.at(r)], p.sign[parity(r)].data(), &p.dh[p.at(r)], &p.dv[p.at(r)], pw, 2, pw - 2);
  // How much each estimate varies along its own direction, summed over a
  // window stretched along that direction (5 x 3 and 3 x 5).
  for (int r = 3; r < rows - 3; ++r) {
    variations(&p.dh[p.at(r)], &p.dv[p.at(r)], &p.gh[p.at(r)], &p.gv[p.at(r)], pw, 3, pw - 3);
    row_sums(&p.gh[p.at(r)], &p.gv[p.at(r)], &p.th[p.at(r)], &p.tv[p.at(r)], 5, pw - 5);
  }
  // Green: both directions, each weighted by the inverse square of its
  // variation, after smoothing each estimate along its direction.
  for (int r = 5; r < rows - 5; ++r) {
    std::size_t i = p.at(r);
    green(&p.m[i], &p.dh[i], &p.dv[i], &p.th[i], &p.tv[i], p.is_colour[parity(r)].data(), &p.g4[i], &p.cd[i], pw, 5,
          pw - 5);
  }
  // Red and blue through their differences to green: known at their own
  // sites, the mean of the four diagonal sites at the opposite colour.
  for (int r = 6; r < rows - 6; ++r) diagonals(&p.cd[p.at(r)], &p.diag[p.at(r)], pw, 6, pw - 6);
  switch (layout) {
    case PixelLayout::Rgb: output_rows<false, false>(p, y0, count, width, first_row, row_step); break;
    case PixelLayout::Bgr: output_rows<true, false>(p, y0, count, width, first_row, row_step); break;
    case PixelLayout::BgrMirrored: output_rows<true, true>(p, y0, count, width, first_row, row_step); break;
  }
}

}  // namespace

void demosaic_rows(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, std::uint8_t* first_row,
                   std::ptrdiff_t row_step, PixelLayout layout) {
  Planes p(width, std::min(kBand, height));
  for (int done = 0; done < height; done += kBand)
    band(mosaic, stride, width, height, done, std::min(kBand, height - done), p, first_row + done * row_step,
         row_step, layout);
}

}  // namespace demosaic_ref
