#include "core/bayer_codec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hc {
namespace {

// The coder works on a copy of the mosaic framed by two columns left and right
// and two rows on top, so every causal neighbour of every site exists.
constexpr int kPadX = 2;
constexpr int kPadY = 2;
constexpr std::uint8_t kFrameValue = 128;

// Activity classes per colour group (green, red/blue).
constexpr int kBins = 16;
// A unary part of this length announces a raw 8-bit value; longer runs of
// zeros never occur in valid data.
constexpr int kEscape = 24;
// Statistics are halved at this count so the code follows local changes.
constexpr int kReset = 64;

struct Context {
  int a;  // sum of mapped errors
  int n;  // samples seen
};

// The contexts of one colour group. Their Rice parameters sit four bits each
// in one word that stays in a register, so choosing k costs a shift rather
// than a load that would wait on the store of the last update.
struct Group {
  Context c[kBins];
  std::uint64_t k = 0x2222222222222222;  // 2 for every context at the start
  Group() {
    for (auto& x : c) x = Context{4, 1};
  }
  int k_at(unsigned slot) const { return static_cast<int>((k >> slot) & 15); }
};

// Activity to context, as the context's bit position in Group::k (four
// times its number).
// Built by the compiler, so the loops reach it without a guard.
struct Quantiser {
  std::array<std::uint8_t, 2048> slot{};
  constexpr Quantiser() {
    constexpr int kEdges[kBins - 1] = {1, 2, 3, 4, 6, 8, 11, 15, 20, 27, 36, 48, 64, 96, 140};
    for (int g = 0; g < 2048; ++g) {
      int b = 0;
      while (b < kBins - 1 && g >= kEdges[b]) ++b;
      slot[g] = static_cast<std::uint8_t>(4 * b);
    }
  }
};
constexpr Quantiser kQuantiser;

inline int min2(int a, int b) { return a < b ? a : b; }
inline int max2(int a, int b) { return a < b ? b : a; }
inline int absi(int v) { return v < 0 ? -v : v; }

// Median edge detector of the lossless-JPEG family, written as a clamp so it
// compiles without branches.
inline int med(int a, int b, int c) { return min2(max2(a + b - c, min2(a, b)), max2(a, b)); }

class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  void put(std::uint32_t bits, int len) {  // len 0..32
    acc_ = len ? (acc_ << len) | bits : acc_;
    n_ += len;
    if (n_ >= 32) {
      n_ -= 32;
      auto w = static_cast<std::uint32_t>(acc_ >> n_);
      out_.push_back(static_cast<std::uint8_t>(w >> 24));
      out_.push_back(static_cast<std::uint8_t>(w >> 16));
      out_.push_back(static_cast<std::uint8_t>(w >> 8));
      out_.push_back(static_cast<std::uint8_t>(w));
    }
  }
  void finish() {
    while (n_ > 0) {
      int take = n_ >= 8 ? 8 : n_;
      std::uint32_t byte = static_cast<std::uint32_t>(acc_ >> (n_ - take)) & ((1u << take) - 1);
      out_.push_back(static_cast<std::uint8_t>(byte << (8 - take)));
      n_ -= take;
    }
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t acc_ = 0;
  int n_ = 0;
};

class BitReader {
 public:
  BitReader(const std::uint8_t* p, std::size_t size) : p_(p), size_(size) {}
  // Keeps at least 33 bits ready (the longest code); past the end of the data
  // it reads zeros, which exact() later reports.
  void refill() {
    // Away from the end the refill runs every time, whatever is left: a test
    // of the fill level would be a branch the processor cannot predict.
    if (pos_ + 8 <= size_) [[likely]] {
      std::uint64_t v;
      std::memcpy(&v, p_ + pos_, 8);
      if constexpr (std::endian::native == std::endian::little) v = __builtin_bswap64(v);
      buf_ |= v >> cnt_;
      int bytes = (63 - cnt_) >> 3;
      pos_ += bytes;
      cnt_ += bytes * 8;
      return;
    }
    if (cnt_ >= 33) return;
    while (cnt_ <= 56) {
      std::uint64_t b = pos_ < size_ ? p_[pos_] : 0;
      ++pos_;
      buf_ |= b << (56 - cnt_);
      cnt_ += 8;
    }
  }
  // An empty buffer counts as 63 zeros: either way past the escape length, so
  // the data is refused all the same.
  int leading_zeros() const { return __builtin_clzll(buf_ | 1); }
  // The k bits after the first len bits, with the bit before them on top:
  // (1 << k) | value when that bit is the unary code's closing 1.
  std::uint32_t peek_after(int len, int k) const { return static_cast<std::uint32_t>((buf_ << len) >> (63 - k)); }
  std::uint32_t take(int len) {  // len 0..32
    auto v = static_cast<std::uint32_t>((buf_ >> (63 - len)) >> 1);
    buf_ <<= len;
    cnt_ -= len;
    return v;
  }
  void skip(int len) {  // len 1..63
    buf_ <<= len;
    cnt_ -= len;
  }
  bool holds(int len) const { return cnt_ >= len; }
  bool overrun() const { return pos_ > size_ + 8; }
  // All of the data consumed, and nothing beyond it (the last byte's padding aside).
  bool exact() const {
    std::size_t consumed_bits = pos_ * 8 - static_cast<std::size_t>(cnt_);
    return consumed_bits <= size_ * 8 && consumed_bits + 8 > size_ * 8;
  }

 private:
  const std::uint8_t* p_;
  std::size_t size_;
  std::size_t pos_ = 0;
  std::uint64_t buf_ = 0;
  int cnt_ = 0;
};

// Smallest k (at most 8) with n << k >= a, for n from 1 to 63 and a below
// 2^15 (at most 64 mapped values of at most 255). Broken data can push a
// further; k is then wrong but still 0 to 8, and the row is refused anyway.
#if defined(__SSE2__)
// Counts the thresholds n << j (j = 0..7) below a in one compare: the
// matches are the first k words, so the mask of their bytes plus one is
// 4^k.
struct Thresholds {
  alignas(16) std::int16_t t[64][8]{};
  constexpr Thresholds() {
    for (int n = 0; n < 64; ++n)
      for (int j = 0; j < 8; ++j) t[n][j] = static_cast<std::int16_t>(n << j);
  }
};
constexpr Thresholds kThresholds;

inline int rice_k(int a, int n) {
  __m128i below = _mm_cmpgt_epi16(_mm_set1_epi16(static_cast<short>(a)),
                                  _mm_load_si128(reinterpret_cast<const __m128i*>(kThresholds.t[n & 63])));
  return __builtin_ctz(static_cast<unsigned>(_mm_movemask_epi8(below)) + 1u) >> 1;
}
#else
// n << (bits(a) - bits(n)) has as many bits as a, so k is that shift or one
// more; a | 1 gives the same k when a is 0 and spares a zero test.
inline int rice_k(int a, int n) {
  int k = __builtin_clz(static_cast<unsigned>(n)) - __builtin_clz(static_cast<unsigned>(a) | 1u);
  k = k < 0 ? 0 : k;
  k += (n << k) < a;
  return k < 8 ? k : 8;
}
#endif

// k_old is the context's parameter that coded this sample.
inline void update(Group& g, unsigned slot, int k_old, int mapped) {
  // slot is four times the context number and a context eight bytes long.
  static_assert(sizeof(Context) == 8);
  Context& c = *reinterpret_cast<Context*>(reinterpret_cast<char*>(g.c) + 2 * slot);
  c.a += mapped;
  // Halving as a shift by 0 or 1: which context reaches its count next is
  // data-dependent, so a branch here would be mispredicted.
  int halve = ++c.n >= kReset;
  c.a >>= halve;
  c.n >>= halve;
  g.k ^= static_cast<std::uint64_t>(k_old ^ rice_k(c.a, c.n)) << slot;
}

struct Encoder {
  BitWriter bits;
  void start_pair() {}
  void before_second() {}
  int code(Group& g, unsigned slot, int pred, std::uint8_t* site) {
    int k = g.k_at(slot);
    int err = static_cast<int>(*site) - pred;
    err = static_cast<std::int8_t>(static_cast<std::uint8_t>(err));  // reduce modulo 256
    auto mapped = static_cast<std::uint32_t>(err >= 0 ? 2 * err : -2 * err - 1);
    std::uint32_t q = mapped >> k;
    if (q < static_cast<std::uint32_t>(kEscape)) {
      bits.put(1, static_cast<int>(q) + 1);
      bits.put(mapped & ((1u << k) - 1), k);
    } else {
      bits.put(1, kEscape + 1);
      bits.put(mapped, 8);
    }
    update(g, slot, k, static_cast<int>(mapped));
    return *site;
  }
  bool failed() const { return false; }
};

struct Decoder {
  BitReader bits;
  bool bad = false;
  // Every mapped value ORed together: above 255 exactly when one of them was.
  std::uint32_t seen = 0;
  // One refill serves both codes of a pair: it leaves at least 56 bits and a
  // code has at most 33, so the second needs another only after a rare long
  // first code, a branch the processor predicts well.
  void start_pair() { bits.refill(); }
  void before_second() {
    if (!bits.holds(33)) [[unlikely]]
      bits.refill();
  }
  int code(Group& g, unsigned slot, int pred, std::uint8_t* site) {
    int k = g.k_at(slot);
    int q = bits.leading_zeros();
    std::uint32_t mapped;
    if (q < kEscape) [[likely]] {
      // One shift pair reads the closing 1 and the k low bits together.
      mapped = bits.peek_after(q, k) + ((static_cast<std::uint32_t>(q) - 1u) << k);
      bits.skip(q + 1 + k);
      // A mapped value above 255 means the data is broken; it is noted, and
      // until the row's end it only steers contexts and wraps the sample.
      seen |= mapped;
    } else {
      bad |= q != kEscape;
      bits.skip(kEscape + 1);
      mapped = bits.take(8);
    }
    int err = (mapped & 1) ? -static_cast<int>(mapped >> 1) - 1 : static_cast<int>(mapped >> 1);
    auto value = static_cast<std::uint8_t>(pred + err);
    *site = value;
    update(g, slot, k, static_cast<int>(mapped));
    return value;
  }
  // Checked once a row, so hostile data cannot keep the decoder running.
  bool failed() {
    bad |= seen > 255;
    return bad || bits.overrun();
  }
};

// Greens: the diagonal neighbours are the closest; the straight ones decide
// between them along an edge.
template <class Coder>
inline int code_green(Coder& coder, Group& ctx, const std::uint8_t* q, std::uint8_t* r, const std::uint8_t* up1,
                      const std::uint8_t* up2, int x, int w) {
  int a = up1[x - 1], b = up1[x + 1], n = up2[x];
  int dd = absi(a - b);
  int avg = (a + b + 1) >> 1;
  // A select by mask: the choice follows the picture, so a branch would be
  // mispredicted often.
  int use_avg = -static_cast<int>(dd <= absi(w - n));
  int pred = (avg & use_avg) | (med(w, n, avg) & ~use_avg);
  int grad = dd + absi(w - a) + absi(n - b);
  return coder.code(ctx, q[grad], pred, r + x);
}

// Reds and blues: neighbours of the same colour two sites away.
template <class Coder>
inline int code_colour(Coder& coder, Group& ctx, const std::uint8_t* q, std::uint8_t* r, const std::uint8_t* up2,
                       int x, int w) {
  int n = up2[x], nw = up2[x - 2], ne = up2[x + 2];
  int pred = med(w, n, nw);
  int grad = absi(w - nw) + absi(n - nw) + absi(ne - n);
  return coder.code(ctx, q[grad], pred, r + x);
}

// Walks the framed mosaic in raster order; the same walk encodes and decodes.
template <class Coder>
void walk(Coder& coder, std::uint8_t* frame, int width, int height, std::ptrdiff_t fs) {
  const std::uint8_t* q = kQuantiser.slot.data();
  Group green, colour;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* r = frame + (y + kPadY) * fs + kPadX;
    const std::uint8_t* up1 = r - fs;
    const std::uint8_t* up2 = r - 2 * fs;
    // The frame beside a row repeats the nearest samples of the same colour.
    r[-2] = up2[0];
    r[-1] = up2[1];
    // The left neighbour of each colour stays in a register: reading it back
    // from the row just written would wait on the store.
    int w0 = up2[0], w1 = up2[1];
    if ((y & 1) == 0) {
      for (int x = 0; x < width; x += 2) {
        coder.start_pair();
        w0 = code_green(coder, green, q, r, up1, up2, x, w0);
        coder.before_second();
        w1 = code_colour(coder, colour, q, r, up2, x + 1, w1);
      }
    } else {
      for (int x = 0; x < width; x += 2) {
        coder.start_pair();
        w0 = code_colour(coder, colour, q, r, up2, x, w0);
        coder.before_second();
        w1 = code_green(coder, green, q, r, up1, up2, x + 1, w1);
      }
    }
    r[width] = r[width - 2];
    r[width + 1] = r[width - 1];
    if (coder.failed()) return;
  }
}

// Sizes storage for the frame. The walk writes every side column of a row
// before anything reads it, so only the rows above the picture need their value.
std::uint8_t* frame_in(std::vector<std::uint8_t>& storage, int width, int height, std::ptrdiff_t& fs) {
  fs = width + 2 * kPadX;
  storage.resize(static_cast<std::size_t>(fs) * (height + kPadY));
  std::fill_n(storage.begin(), fs * kPadY, kFrameValue);
  return storage.data();
}

}  // namespace

std::vector<std::uint8_t> compress_bayer(const std::uint8_t* mosaic, int width, int height) {
  std::ptrdiff_t fs;
  std::vector<std::uint8_t> storage;
  std::uint8_t* frame = frame_in(storage, width, height, fs);
  for (int y = 0; y < height; ++y)
    std::copy(mosaic + static_cast<std::ptrdiff_t>(y) * width, mosaic + static_cast<std::ptrdiff_t>(y + 1) * width,
              frame + (y + kPadY) * fs + kPadX);
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(width) * height * 3 / 4 + 64);
  Encoder enc{BitWriter(out)};
  walk(enc, frame, width, height, fs);
  enc.bits.finish();
  return out;
}

Status decompress_bayer(const std::uint8_t* data, std::size_t size, int width, int height, BayerFrame& frame) {
  frame.samples = nullptr;
  if (width < 2 || height < 2 || (width & 1) || (height & 1) || (!data && size)) return Status::InvalidParameter;
  std::ptrdiff_t fs;
  std::uint8_t* f = frame_in(frame.storage, width, height, fs);
  Decoder dec{BitReader(data, size)};
  walk(dec, f, width, height, fs);
  if (dec.bad || !dec.bits.exact()) return Status::ImageProcessing;
  frame.samples = f + kPadY * fs + kPadX;
  frame.stride = fs;
  return Status::Ok;
}

Status decompress_bayer(const std::uint8_t* data, std::size_t size, int width, int height, std::uint8_t* out,
                        std::ptrdiff_t out_stride) {
  if (!out) return Status::InvalidParameter;
  try {
    BayerFrame frame;
    Status s = decompress_bayer(data, size, width, height, frame);
    if (s != Status::Ok) return s;
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* src = frame.samples + y * frame.stride;
      std::copy(src, src + width, out + y * out_stride);
    }
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace hc
