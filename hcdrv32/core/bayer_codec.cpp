#include "core/bayer_codec.h"

#include <array>
#include <bit>
#include <cstring>
#include <new>

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
  int k;  // Rice parameter for the next sample, kept ready off the decoding path
};

struct Quantiser {
  std::array<std::uint8_t, 2048> bin{};
  Quantiser() {
    static const int kEdges[kBins - 1] = {1, 2, 3, 4, 6, 8, 11, 15, 20, 27, 36, 48, 64, 96, 140};
    for (int g = 0; g < 2048; ++g) {
      int b = 0;
      while (b < kBins - 1 && g >= kEdges[b]) ++b;
      bin[g] = static_cast<std::uint8_t>(b);
    }
  }
};
const Quantiser& quantiser() {
  static const Quantiser q;
  return q;
}

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

// Smallest k (at most 8) with n << k >= a. n << (bits(a) - bits(n)) has as
// many bits as a, so k is that shift or one more.
inline int rice_k(int a, int n) {
  int k = static_cast<int>(std::bit_width(static_cast<unsigned>(a))) -
          static_cast<int>(std::bit_width(static_cast<unsigned>(n)));
  k = k < 0 ? 0 : k;
  k += (n << k) < a;
  return k < 8 ? k : 8;
}

inline void update(Context& c, int mapped) {
  c.a += mapped;
  // Halving as a shift by 0 or 1: which context reaches its count next is
  // data-dependent, so a branch here would be mispredicted.
  int halve = ++c.n >= kReset;
  c.a >>= halve;
  c.n >>= halve;
  c.k = rice_k(c.a, c.n);
}

struct Encoder {
  BitWriter bits;
  void code(Context& ctx, int pred, std::uint8_t* site) {
    int k = ctx.k;
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
    update(ctx, static_cast<int>(mapped));
  }
  bool failed() const { return false; }
};

struct Decoder {
  BitReader bits;
  bool bad = false;
  void code(Context& ctx, int pred, std::uint8_t* site) {
    int k = ctx.k;
    bits.refill();
    int q = bits.leading_zeros();
    std::uint32_t mapped;
    if (q < kEscape) [[likely]] {
      // One shift pair reads the closing 1 and the k low bits together.
      mapped = bits.peek_after(q, k) + ((static_cast<std::uint32_t>(q) - 1u) << k);
      bits.skip(q + 1 + k);
      bad |= mapped > 255;
      mapped &= 255;
    } else {
      bad |= q != kEscape;
      bits.skip(kEscape + 1);
      mapped = bits.take(8);
    }
    int err = (mapped & 1) ? -static_cast<int>(mapped >> 1) - 1 : static_cast<int>(mapped >> 1);
    *site = static_cast<std::uint8_t>(pred + err);
    update(ctx, static_cast<int>(mapped));
  }
  // Checked once a row, so hostile data cannot keep the decoder running.
  bool failed() const { return bad || bits.overrun(); }
};

// Greens: the diagonal neighbours are the closest; the straight ones decide
// between them along an edge.
template <class Coder>
inline void code_green(Coder& coder, Context* ctx, const std::uint8_t* q, std::uint8_t* r, const std::uint8_t* up1,
                       const std::uint8_t* up2, int x) {
  int a = up1[x - 1], b = up1[x + 1], w = r[x - 2], n = up2[x];
  int dd = absi(a - b);
  int avg = (a + b + 1) >> 1;
  int pred = dd <= absi(w - n) ? avg : med(w, n, avg);
  int grad = dd + absi(w - a) + absi(n - b);
  coder.code(ctx[q[grad]], pred, r + x);
}

// Reds and blues: neighbours of the same colour two sites away.
template <class Coder>
inline void code_colour(Coder& coder, Context* ctx, const std::uint8_t* q, std::uint8_t* r, const std::uint8_t* up2,
                        int x) {
  int w = r[x - 2], n = up2[x], nw = up2[x - 2], ne = up2[x + 2];
  int pred = med(w, n, nw);
  int grad = absi(w - nw) + absi(n - nw) + absi(ne - n);
  coder.code(ctx[q[grad]], pred, r + x);
}

// Walks the framed mosaic in raster order; the same walk encodes and decodes.
template <class Coder>
void walk(Coder& coder, std::uint8_t* frame, int width, int height, std::ptrdiff_t fs) {
  const std::uint8_t* q = quantiser().bin.data();
  Context green[kBins], colour[kBins];
  for (auto& c : green) c = Context{4, 1, 2};
  for (auto& c : colour) c = Context{4, 1, 2};
  for (int y = 0; y < height; ++y) {
    std::uint8_t* r = frame + (y + kPadY) * fs + kPadX;
    const std::uint8_t* up1 = r - fs;
    const std::uint8_t* up2 = r - 2 * fs;
    // The frame beside a row repeats the nearest samples of the same colour.
    r[-2] = up2[0];
    r[-1] = up2[1];
    if ((y & 1) == 0) {
      for (int x = 0; x < width; x += 2) {
        code_green(coder, green, q, r, up1, up2, x);
        code_colour(coder, colour, q, r, up2, x + 1);
      }
    } else {
      for (int x = 0; x < width; x += 2) {
        code_colour(coder, colour, q, r, up2, x);
        code_green(coder, green, q, r, up1, up2, x + 1);
      }
    }
    r[width] = r[width - 2];
    r[width + 1] = r[width - 1];
    if (coder.failed()) return;
  }
}

std::vector<std::uint8_t> make_frame(int width, int height, std::ptrdiff_t& fs) {
  fs = width + 2 * kPadX;
  return std::vector<std::uint8_t>(static_cast<std::size_t>(fs) * (height + kPadY), kFrameValue);
}

}  // namespace

std::vector<std::uint8_t> compress_bayer(const std::uint8_t* mosaic, int width, int height) {
  std::ptrdiff_t fs;
  auto frame = make_frame(width, height, fs);
  for (int y = 0; y < height; ++y)
    std::copy(mosaic + static_cast<std::ptrdiff_t>(y) * width, mosaic + static_cast<std::ptrdiff_t>(y + 1) * width,
              frame.data() + (y + kPadY) * fs + kPadX);
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(width) * height * 3 / 4 + 64);
  Encoder enc{BitWriter(out)};
  walk(enc, frame.data(), width, height, fs);
  enc.bits.finish();
  return out;
}

Status decompress_bayer(const std::uint8_t* data, std::size_t size, int width, int height, std::uint8_t* out,
                        std::ptrdiff_t out_stride) {
  if (width < 2 || height < 2 || (width & 1) || (height & 1) || !out || (!data && size)) return Status::InvalidParameter;
  try {
    std::ptrdiff_t fs;
    auto frame = make_frame(width, height, fs);
    Decoder dec{BitReader(data, size)};
    walk(dec, frame.data(), width, height, fs);
    if (dec.bad || !dec.bits.exact()) return Status::ImageProcessing;
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* src = frame.data() + (y + kPadY) * fs + kPadX;
      std::copy(src, src + width, out + y * out_stride);
    }
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace hc
