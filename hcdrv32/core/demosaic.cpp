#include "core/demosaic.h"

#include <algorithm>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hc {
namespace {

// The picture is worked on row by row through a pipeline of filters, each
// keeping its last few rows in a ring, so that the whole working set stays
// near the processor. Rows and columns past the edges are samples mirrored
// about the edge sample, which keeps the colour pattern as long as kPad is
// even. Each output row depends on the samples at most 7 rows and columns
// away, so a band needs 7 mosaic rows either side and the result does not
// depend on how the picture is cut into bands.
constexpr int kPad = 8;
constexpr int kSlack = 8;  // elements before and after each plane row

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

using I16 = std::int16_t;
using U16 = std::uint16_t;

}  // namespace

struct DemosaicWork::Planes {
  int pw = 0;  // padded row width
  int rs = 0;  // elements from one ring row to the next
  std::vector<I16> m, dh, dv, g4, cd, diag;
  std::vector<U16> th, tv, gh, gv;  // gh and gv: one row
  std::vector<I16> sign[2];        // per row parity: +1 at red/blue sites, -1 at green
  std::vector<float> is_colour[2];  // per row parity: 1 at red/blue sites, 0 at green

  explicit Planes(int width) : pw(width + 2 * kPad), rs((width + 2 * kPad + 2 * kSlack + 7) & ~7) {
    // Ring depths: a power of two covering the rows from the one a filter
    // writes to the oldest one still read when that filter has run.
    for (auto* v : {&m, &dv}) v->assign(static_cast<std::size_t>(rs) * 8, 0);
    for (auto* v : {&dh, &g4, &cd, &diag}) v->assign(static_cast<std::size_t>(rs) * 4, 0);
    tv.assign(static_cast<std::size_t>(rs) * 8, 0);
    th.assign(static_cast<std::size_t>(rs) * 4, 0);
    gh.assign(rs, 0);
    gv.assign(rs, 0);
    for (int p = 0; p < 2; ++p) {
      sign[p].assign(rs, 0);  // as long as a row: the SSE2 filters run past pw
      is_colour[p].resize(pw);
      for (int x = 0; x < pw; ++x) {
        bool green = ((x ^ p) & 1) == 0;  // kPad is even, so parities match the picture's
        sign[p][x] = green ? -1 : 1;
        is_colour[p][x] = green ? 0.0f : 1.0f;
      }
    }
  }
  // Plane row of picture row y (which may lie outside the picture).
  template <class T>
  T* row(std::vector<T>& v, int y) const {
    const int depth = static_cast<int>(v.size() / rs);
    return v.data() + static_cast<std::size_t>(y & (depth - 1)) * rs + kSlack;
  }
};

DemosaicWork::DemosaicWork() = default;
DemosaicWork::~DemosaicWork() = default;
DemosaicWork::DemosaicWork(DemosaicWork&&) noexcept = default;
DemosaicWork& DemosaicWork::operator=(DemosaicWork&&) noexcept = default;

namespace {

using Planes = DemosaicWork::Planes;

// Row kernels, from x0 to x1 of rows pw samples wide. Rows above and below
// come as their own pointers (u2 two rows up, d1 one row down, ...) because
// the rings do not keep them a fixed distance apart. Separate functions with
// restrict-qualified rows let the compiler vectorise them.

#if defined(__SSE2__)
// The SSE2 paths do in 16 bits what the plain loops after them do in int:
// with 8-bit samples no intermediate value leaves [-4096, 32767], so both
// give the same results.
inline __m128i ld(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }
inline void st(void* p, __m128i v) { _mm_storeu_si128(static_cast<__m128i*>(p), v); }

// The SSE2 filters run from the multiple of 8 at or below x0 to the one at or
// above x1, so that their loads line up with the rows. The columns they add
// lie within the rows' slack and their values are never read by the columns
// the output needs: those need only columns 1 to pw - 2 of the samples.
constexpr int first(int x0) { return x0 & ~7; }
#else
constexpr int first(int x0) { return x0; }
#endif

void load_row(const std::uint8_t* __restrict src, I16* __restrict row, int width, int pw) {
  for (int x = 0; x < kPad; ++x) row[x] = src[mirror(x - kPad, width)];
  int x = 0;
#if defined(__SSE2__)
  for (; x + 16 <= width; x += 16) {
    __m128i v = ld(src + x), zero = _mm_setzero_si128();
    st(row + kPad + x, _mm_unpacklo_epi8(v, zero));
    st(row + kPad + x + 8, _mm_unpackhi_epi8(v, zero));
  }
#endif
  for (; x < width; ++x) row[kPad + x] = src[x];
  for (int x = width + kPad; x < pw; ++x) row[x] = src[mirror(x - kPad, width)];
}

void directions(const I16* __restrict u2, const I16* __restrict u1, const I16* __restrict m, const I16* __restrict d1,
                const I16* __restrict d2, const I16* __restrict s, I16* __restrict dh, I16* __restrict dv, int x0,
                int x1) {
  int x = first(x0);
#if defined(__SSE2__)
  for (; x < x1; x += 8) {
    __m128i c2 = _mm_add_epi16(ld(m + x), ld(m + x));
    __m128i h = _mm_add_epi16(ld(m + x - 1), ld(m + x + 1));
    h = _mm_sub_epi16(_mm_sub_epi16(_mm_sub_epi16(_mm_add_epi16(h, h), c2), ld(m + x - 2)), ld(m + x + 2));
    __m128i v = _mm_add_epi16(ld(u1 + x), ld(d1 + x));
    v = _mm_sub_epi16(_mm_sub_epi16(_mm_sub_epi16(_mm_add_epi16(v, v), c2), ld(u2 + x)), ld(d2 + x));
    __m128i sx = ld(s + x);
    st(dh + x, _mm_mullo_epi16(h, sx));
    st(dv + x, _mm_mullo_epi16(v, sx));
  }
#endif
  for (; x < x1; ++x) {
    int h = 2 * (m[x - 1] + m[x + 1]) - 2 * m[x] - m[x - 2] - m[x + 2];
    int v = 2 * (u1[x] + d1[x]) - 2 * m[x] - u2[x] - d2[x];
    dh[x] = static_cast<I16>(h * s[x]);
    dv[x] = static_cast<I16>(v * s[x]);
  }
}

void variations(const I16* __restrict dh, const I16* __restrict dvu, const I16* __restrict dvd, U16* __restrict gh,
                U16* __restrict gv, int x0, int x1) {
  int x = first(x0);
#if defined(__SSE2__)
  for (; x < x1; x += 8) {
    __m128i a = _mm_sub_epi16(ld(dh + x - 1), ld(dh + x + 1)), b = _mm_sub_epi16(ld(dvu + x), ld(dvd + x));
    __m128i zero = _mm_setzero_si128();
    st(gh + x, _mm_max_epi16(a, _mm_sub_epi16(zero, a)));
    st(gv + x, _mm_max_epi16(b, _mm_sub_epi16(zero, b)));
  }
#endif
  for (; x < x1; ++x) {
    int a = dh[x - 1] - dh[x + 1], b = dvu[x] - dvd[x];
    gh[x] = static_cast<U16>(a < 0 ? -a : a);
    gv[x] = static_cast<U16>(b < 0 ? -b : b);
  }
}

void row_sums(const U16* __restrict gh, const U16* __restrict gv, U16* __restrict th, U16* __restrict tv, int x0,
              int x1) {
  int x = first(x0);
#if defined(__SSE2__)
  for (; x < x1; x += 8) {
    __m128i h3 = _mm_add_epi16(_mm_add_epi16(ld(gh + x - 1), ld(gh + x)), ld(gh + x + 1));
    st(th + x, _mm_add_epi16(_mm_add_epi16(ld(gh + x - 2), ld(gh + x + 2)), h3));
    st(tv + x, _mm_add_epi16(_mm_add_epi16(ld(gv + x - 1), ld(gv + x)), ld(gv + x + 1)));
  }
#endif
  for (; x < x1; ++x) {
    th[x] = static_cast<U16>(gh[x - 2] + gh[x - 1] + gh[x] + gh[x + 1] + gh[x + 2]);
    tv[x] = static_cast<U16>(gv[x - 1] + gv[x] + gv[x + 1]);
  }
}

#if defined(__SSE2__)
// Green at x to x + 7 where the red or blue sites are the even lanes
// (kEvenColour) or the odd ones. Green sites keep their sample (colour[x] * d
// adds a zero there), so only the four colour sites go through the floats,
// taken out of the 16-bit lanes as 32-bit ones: unsigned sums with zeros,
// signed values by their sign. The float operations are those of the plain
// loop, in the same order, so they round alike.
template <bool kEvenColour>
inline void green8(const I16* __restrict m, const I16* __restrict dh, const I16* __restrict dvu,
                   const I16* __restrict dv, const I16* __restrict dvd, const U16* __restrict thu,
                   const U16* __restrict th, const U16* __restrict thd, const U16* __restrict tvu2,
                   const U16* __restrict tvu1, const U16* __restrict tv, const U16* __restrict tvd1,
                   const U16* __restrict tvd2, I16* __restrict g4, I16* __restrict cd, int x) {
  const __m128i low = _mm_set1_epi32(0xFFFF);
  auto u32 = [&](__m128i v) { return kEvenColour ? _mm_and_si128(v, low) : _mm_srli_epi32(v, 16); };
  auto s32 = [&](__m128i v) { return _mm_srai_epi32(kEvenColour ? _mm_slli_epi32(v, 16) : v, 16); };
  __m128i eh16 = _mm_add_epi16(_mm_add_epi16(ld(thu + x), ld(th + x)), ld(thd + x));
  __m128i ev16 = _mm_add_epi16(_mm_add_epi16(ld(tvu2 + x), ld(tvu1 + x)), ld(tv + x));
  ev16 = _mm_add_epi16(_mm_add_epi16(ev16, ld(tvd1 + x)), ld(tvd2 + x));
  __m128i dh2 = ld(dh + x), dv2 = ld(dv + x);
  __m128i h16 = _mm_add_epi16(_mm_add_epi16(ld(dh + x - 1), _mm_add_epi16(dh2, dh2)), ld(dh + x + 1));
  __m128i v16 = _mm_add_epi16(_mm_add_epi16(ld(dvu + x), _mm_add_epi16(dv2, dv2)), ld(dvd + x));
  __m128i m4 = _mm_slli_epi16(ld(m + x), 2);
  const __m128 one = _mm_set1_ps(1.0f);
  __m128 eh = _mm_add_ps(_mm_cvtepi32_ps(u32(eh16)), one), ev = _mm_add_ps(_mm_cvtepi32_ps(u32(ev16)), one);
  __m128 wh = _mm_mul_ps(ev, ev), wv = _mm_mul_ps(eh, eh);
  __m128 sum = _mm_add_ps(_mm_mul_ps(wh, _mm_cvtepi32_ps(s32(h16))), _mm_mul_ps(wv, _mm_cvtepi32_ps(s32(v16))));
  __m128 d = _mm_div_ps(_mm_mul_ps(_mm_set1_ps(0.25f), sum), _mm_add_ps(wh, wv));
  __m128i gc = _mm_cvttps_epi32(_mm_add_ps(_mm_add_ps(_mm_cvtepi32_ps(s32(m4)), d), _mm_set1_ps(0.5f)));
  __m128i g = kEvenColour ? _mm_or_si128(_mm_and_si128(gc, low), _mm_andnot_si128(low, m4))
                          : _mm_or_si128(_mm_slli_epi32(gc, 16), _mm_and_si128(m4, low));
  st(g4 + x, g);
  st(cd + x, _mm_sub_epi16(m4, g));
}
#endif

// colour_parity: parity of the columns of red or blue sites.
void green(const I16* __restrict m, const I16* __restrict dh, const I16* __restrict dvu, const I16* __restrict dv,
           const I16* __restrict dvd, const U16* __restrict thu, const U16* __restrict th, const U16* __restrict thd,
           const U16* __restrict tvu2, const U16* __restrict tvu1, const U16* __restrict tv,
           const U16* __restrict tvd1, const U16* __restrict tvd2, const float* __restrict colour, int colour_parity,
           I16* __restrict g4, I16* __restrict cd, int x0, int x1) {
  int x = first(x0);
#if defined(__SSE2__)
  if (((x ^ colour_parity) & 1) == 0)
    for (; x < x1; x += 8) green8<true>(m, dh, dvu, dv, dvd, thu, th, thd, tvu2, tvu1, tv, tvd1, tvd2, g4, cd, x);
  else
    for (; x < x1; x += 8) green8<false>(m, dh, dvu, dv, dvd, thu, th, thd, tvu2, tvu1, tv, tvd1, tvd2, g4, cd, x);
#else
  (void)colour_parity;
#endif
  for (; x < x1; ++x) {
    float eh = static_cast<float>(thu[x] + th[x] + thd[x]) + 1.0f;
    float ev = static_cast<float>(tvu2[x] + tvu1[x] + tv[x] + tvd1[x] + tvd2[x]) + 1.0f;
    float wh = ev * ev, wv = eh * eh;  // 1/eh^2 and 1/ev^2, both scaled by eh^2 ev^2
    float h = static_cast<float>(dh[x - 1] + 2 * dh[x] + dh[x + 1]);
    float v = static_cast<float>(dvu[x] + 2 * dv[x] + dvd[x]);
    float d = 0.25f * (wh * h + wv * v) / (wh + wv);
    float m4 = static_cast<float>(4 * m[x]);
    // Rounds half up; below zero the result is clamped at output anyway.
    int g = static_cast<int>(m4 + colour[x] * d + 0.5f);
    g4[x] = static_cast<I16>(g);
    cd[x] = static_cast<I16>(4 * m[x] - g);  // colour minus green at red/blue sites, 0 at green
  }
}

void diagonals(const I16* __restrict cdu, const I16* __restrict cdd, I16* __restrict diag, int x0, int x1) {
  int x = first(x0);
#if defined(__SSE2__)
  for (; x < x1; x += 8) {
    __m128i s = _mm_add_epi16(_mm_add_epi16(ld(cdu + x - 1), ld(cdu + x + 1)),
                              _mm_add_epi16(ld(cdd + x - 1), ld(cdd + x + 1)));
    st(diag + x, _mm_srai_epi16(_mm_add_epi16(s, _mm_set1_epi16(2)), 2));
  }
#endif
  for (; x < x1; ++x)
    diag[x] = static_cast<I16>((cdu[x - 1] + cdu[x + 1] + cdd[x - 1] + cdd[x + 1] + 2) >> 2);
}

struct OutRows {
  const I16 *g4, *cdu, *cd, *cdd, *dgu, *dg, *dgd;  // each at picture column 0
};

// Red and blue at green sites from the four direct neighbours: along the row
// they are sites of the row's colour, across it of the other. kBgr swaps the
// byte order of each pixel and kMirror runs the pixels right to left, so the
// rows come out in the layout the caller delivers without another pass.
// Pixels from x on.
template <bool kRedRow, bool kBgr, bool kMirror>
void output_pixels(const OutRows& r, std::uint8_t* __restrict dst, int x, int width) {
  constexpr int kR = kBgr ? 2 : 0, kB = kBgr ? 0 : 2;
  const I16 *g4 = r.g4, *cd = r.cd, *dg = r.dg;
  for (; x < width; x += 2) {
    const int gx = kRedRow ? x : x + 1;
    const int cx = kRedRow ? x + 1 : x;
    int same = cd[gx - 1] + cd[gx + 1] + r.dgu[gx] + r.dgd[gx];
    int other = dg[gx - 1] + dg[gx + 1] + r.cdu[gx] + r.cdd[gx];
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

#if defined(__SSE2__)
// Four times the value to a byte, as to8, for eight values.
inline __m128i to8x8(__m128i v4) { return _mm_srai_epi16(_mm_add_epi16(v4, _mm_set1_epi16(2)), 2); }

// Four 4-byte pixels (last byte zero) to 12 bytes, the rest zero.
inline __m128i pack3(__m128i q) {
  const __m128i lo3 = _mm_set1_epi64x(0xFFFFFF);
  __m128i t = _mm_or_si128(_mm_and_si128(q, lo3), _mm_andnot_si128(lo3, _mm_srli_epi64(q, 8)));
  return _mm_or_si128(_mm_move_epi64(t), _mm_slli_si128(_mm_srli_si128(t, 8), 6));
}

// Eight values of each colour for pixels x to x + 7, four times scaled.
template <bool kRedRow>
inline void colours8(const OutRows& r, int x, __m128i& red, __m128i& grn, __m128i& blu) {
  const __m128i two = _mm_set1_epi16(2);
  const __m128i green_site =
      kRedRow ? _mm_setr_epi16(-1, 0, -1, 0, -1, 0, -1, 0) : _mm_setr_epi16(0, -1, 0, -1, 0, -1, 0, -1);
  __m128i same =
      _mm_add_epi16(_mm_add_epi16(ld(r.cd + x - 1), ld(r.cd + x + 1)), _mm_add_epi16(ld(r.dgu + x), ld(r.dgd + x)));
  __m128i other =
      _mm_add_epi16(_mm_add_epi16(ld(r.dg + x - 1), ld(r.dg + x + 1)), _mm_add_epi16(ld(r.cdu + x), ld(r.cdd + x)));
  same = _mm_srai_epi16(_mm_add_epi16(same, two), 2);
  other = _mm_srai_epi16(_mm_add_epi16(other, two), 2);
  __m128i c = ld(r.cd + x), d = ld(r.dg + x), g = ld(r.g4 + x);
  auto sel = [&](__m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(green_site, a), _mm_andnot_si128(green_site, b));
  };
  __m128i radd = kRedRow ? sel(same, c) : sel(other, d);
  __m128i badd = kRedRow ? sel(other, d) : sel(same, c);
  red = to8x8(_mm_add_epi16(g, radd));
  grn = to8x8(g);
  blu = to8x8(_mm_add_epi16(g, badd));
}
#endif

template <bool kRedRow, bool kBgr, bool kMirror>
void output_row(const OutRows& r, std::uint8_t* __restrict dst, int width) {
  int x = 0;
#if defined(__SSE2__)
  for (; x + 16 <= width; x += 16) {
    __m128i r0, g0, b0, r1, g1, b1;
    colours8<kRedRow>(r, x, r0, g0, b0);
    colours8<kRedRow>(r, x + 8, r1, g1, b1);
    __m128i rr = _mm_packus_epi16(r0, r1), gg = _mm_packus_epi16(g0, g1), bb = _mm_packus_epi16(b0, b1);
    __m128i first = kBgr ? bb : rr, last = kBgr ? rr : bb, zero = _mm_setzero_si128();
    __m128i fg_lo = _mm_unpacklo_epi8(first, gg), fg_hi = _mm_unpackhi_epi8(first, gg);
    __m128i l0_lo = _mm_unpacklo_epi8(last, zero), l0_hi = _mm_unpackhi_epi8(last, zero);
    // Pixels as four bytes each, four to a vector; mirrored rows take the
    // vectors and the pixels in each the other way round.
    __m128i q[4] = {_mm_unpacklo_epi16(fg_lo, l0_lo), _mm_unpackhi_epi16(fg_lo, l0_lo),
                    _mm_unpacklo_epi16(fg_hi, l0_hi), _mm_unpackhi_epi16(fg_hi, l0_hi)};
    auto pixels = [&](int k) {
      return kMirror ? _mm_shuffle_epi32(q[3 - k], _MM_SHUFFLE(0, 1, 2, 3)) : q[k];
    };
    __m128i c0 = pack3(pixels(0)), c1 = pack3(pixels(1)), c2 = pack3(pixels(2)), c3 = pack3(pixels(3));
    __m128i* p = reinterpret_cast<__m128i*>(dst + 3 * (kMirror ? width - 16 - x : x));
    _mm_storeu_si128(p, _mm_or_si128(c0, _mm_slli_si128(c1, 12)));
    _mm_storeu_si128(p + 1, _mm_or_si128(_mm_srli_si128(c1, 4), _mm_slli_si128(c2, 8)));
    _mm_storeu_si128(p + 2, _mm_or_si128(_mm_srli_si128(c2, 8), _mm_slli_si128(c3, 4)));
  }
#endif
  output_pixels<kRedRow, kBgr, kMirror>(r, dst, x, width);
}

template <bool kBgr, bool kMirror>
void output(const OutRows& r, int y, std::uint8_t* dst, int width) {
  if ((y & 1) == 0)
    output_row<true, kBgr, kMirror>(r, dst, width);
  else
    output_row<false, kBgr, kMirror>(r, dst, width);
}

// Demosaics picture rows [y0, y0 + count), row y0 to first_row. Each pass of
// the loop reads mosaic row j and moves every filter one row on, each
// lagging behind the one it reads by the reach of that filter.
void band(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, int y0, int count, Planes& p,
          std::uint8_t* first_row, std::ptrdiff_t row_step, PixelLayout layout) {
  const int pw = p.pw, y1 = y0 + count;
  for (int j = y0 - 7; j < y1 + 7; ++j) {
    load_row(mosaic + mirror(j, height) * stride, p.row(p.m, j), width, pw);
    // Directional estimates of green minus the other colour of the row (dh) or
    // column (dv), four times scaled: the mean of the two neighbours corrected
    // by the second derivative of the centre colour. At green sites the same
    // filter estimates the other colour, hence the sign.
    if (int y = j - 2; y >= y0 - 5)
      directions(p.row(p.m, y - 2), p.row(p.m, y - 1), p.row(p.m, y), p.row(p.m, y + 1), p.row(p.m, y + 2),
                 p.sign[y & 1].data(), p.row(p.dh, y), p.row(p.dv, y), 2, pw - 2);
    // How much each estimate varies along its own direction, summed over a
    // window stretched along that direction (5 x 3 and 3 x 5).
    if (int y = j - 3; y >= y0 - 4 && y < y1 + 4) {
      variations(p.row(p.dh, y), p.row(p.dv, y - 1), p.row(p.dv, y + 1), p.gh.data() + kSlack,
                 p.gv.data() + kSlack, 3, pw - 3);
      row_sums(p.gh.data() + kSlack, p.gv.data() + kSlack, p.row(p.th, y), p.row(p.tv, y), 5, pw - 5);
    }
    // Green: both directions, each weighted by the inverse square of its
    // variation, after smoothing each estimate along its direction.
    if (int y = j - 5; y >= y0 - 2 && y < y1 + 2)
      green(p.row(p.m, y), p.row(p.dh, y), p.row(p.dv, y - 1), p.row(p.dv, y), p.row(p.dv, y + 1),
            p.row(p.th, y - 1), p.row(p.th, y), p.row(p.th, y + 1), p.row(p.tv, y - 2), p.row(p.tv, y - 1),
            p.row(p.tv, y), p.row(p.tv, y + 1), p.row(p.tv, y + 2), p.is_colour[y & 1].data(), (y & 1) ^ 1,
            p.row(p.g4, y), p.row(p.cd, y), 5, pw - 5);
    // Red and blue through their differences to green: known at their own
    // sites, the mean of the four diagonal sites at the opposite colour.
    if (int y = j - 6; y >= y0 - 1 && y < y1 + 1)
      diagonals(p.row(p.cd, y - 1), p.row(p.cd, y + 1), p.row(p.diag, y), 6, pw - 6);
    if (int y = j - 7; y >= y0) {
      const OutRows r{p.row(p.g4, y) + kPad,       p.row(p.cd, y - 1) + kPad,   p.row(p.cd, y) + kPad,
                      p.row(p.cd, y + 1) + kPad,   p.row(p.diag, y - 1) + kPad, p.row(p.diag, y) + kPad,
                      p.row(p.diag, y + 1) + kPad};
      std::uint8_t* dst = first_row + (y - y0) * row_step;
      switch (layout) {
        case PixelLayout::Rgb: output<false, false>(r, y, dst, width); break;
        case PixelLayout::Bgr: output<true, false>(r, y, dst, width); break;
        case PixelLayout::BgrMirrored: output<true, true>(r, y, dst, width); break;
      }
    }
  }
}

}  // namespace

void demosaic_band(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, int y0, int count,
                   std::uint8_t* dst, std::ptrdiff_t row_step, PixelLayout layout, DemosaicWork& work) {
  // Every plane value the output needs is computed by the band first, so
  // kept planes need no clearing.
  if (!work.planes_ || work.planes_->pw != width + 2 * kPad) work.planes_ = std::make_unique<Planes>(width);
  if (count > 0) band(mosaic, stride, width, height, y0, count, *work.planes_, dst, row_step, layout);
}

void demosaic_rows(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, std::uint8_t* first_row,
                   std::ptrdiff_t row_step, PixelLayout layout) {
  DemosaicWork work;
  demosaic_band(mosaic, stride, width, height, 0, height, first_row, row_step, layout, work);
}

void demosaic(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, RgbImage& out) {
  out = RgbImage(width, height);
  demosaic_rows(mosaic, stride, width, height, out.row(0), static_cast<std::ptrdiff_t>(width) * 3, PixelLayout::Rgb);
}

}  // namespace hc
