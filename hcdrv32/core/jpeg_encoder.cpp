#include "core/jpeg_encoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/exif.h"
#include "core/model.h"

namespace hc {
namespace {

// Tables of the JPEG standard's annex K.
const std::uint8_t kLumaQuant[64] = {16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
                                     14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
                                     18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
                                     49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
const std::uint8_t kChromaQuant[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                       24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                       99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                       99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
const std::uint8_t kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                  12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                  35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                  58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

const std::uint8_t kDcLumaBits[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
const std::uint8_t kDcLumaVals[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
const std::uint8_t kDcChromaBits[16] = {0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
const std::uint8_t kDcChromaVals[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
const std::uint8_t kAcLumaBits[16] = {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d};
const std::uint8_t kAcLumaVals[162] = {
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71,
    0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72,
    0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37,
    0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59,
    0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
    0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3,
    0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3,
    0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2,
    0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};
const std::uint8_t kAcChromaBits[16] = {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77};
const std::uint8_t kAcChromaVals[162] = {
    0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71, 0x13, 0x22,
    0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33, 0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1,
    0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18, 0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x35, 0x36,
    0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58,
    0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
    0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a,
    0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba,
    0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda,
    0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa};

struct HuffTable {
  std::uint16_t code[256] = {};
  std::uint8_t size[256] = {};
  void build(const std::uint8_t* bits, const std::uint8_t* vals) {
    int k = 0;
    std::uint16_t c = 0;
    for (int len = 1; len <= 16; ++len) {
      for (int i = 0; i < bits[len - 1]; ++i, ++k) {
        code[vals[k]] = c++;
        size[vals[k]] = static_cast<std::uint8_t>(len);
      }
      c = static_cast<std::uint16_t>(c << 1);
    }
  }
};

struct Tables {
  HuffTable dc[2], ac[2];
  Tables() {
    dc[0].build(kDcLumaBits, kDcLumaVals);
    dc[1].build(kDcChromaBits, kDcChromaVals);
    ac[0].build(kAcLumaBits, kAcLumaVals);
    ac[1].build(kAcChromaBits, kAcChromaVals);
  }
};
const Tables& tables() {
  static const Tables t;
  return t;
}

void scale_quant(const std::uint8_t* base, int quality, std::uint8_t* out) {
  quality = std::clamp(quality, 1, 100);
  int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  for (int i = 0; i < 64; ++i) out[i] = static_cast<std::uint8_t>(std::clamp((base[i] * scale + 50) / 100, 1, 255));
}

class Writer {
 public:
  explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
  void byte(std::uint8_t b) { out_.push_back(b); }
  void word(std::uint16_t w) {
    out_.push_back(static_cast<std::uint8_t>(w >> 8));
    out_.push_back(static_cast<std::uint8_t>(w));
  }
  void bytes(const std::uint8_t* p, std::size_t n) { out_.insert(out_.end(), p, p + n); }
  // Entropy-coded bits, with a zero byte stuffed after every 0xFF.
  void bits(std::uint32_t code, int len) {
    acc_ = (acc_ << len) | code;
    n_ += len;
    while (n_ >= 8) {
      n_ -= 8;
      auto b = static_cast<std::uint8_t>(acc_ >> n_);
      out_.push_back(b);
      if (b == 0xFF) out_.push_back(0);
    }
  }
  void flush_bits() {
    if (n_ > 0) bits((1u << (8 - n_)) - 1, 8 - n_);  // pad with ones
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t acc_ = 0;
  int n_ = 0;
};

// Separable floating-point DCT (Arai, Agui and Nakajima), output scaled by
// the factors folded into the quantisation divisors below.
void fdct(float* d) {
  for (int pass = 0; pass < 2; ++pass) {
    const int step = pass == 0 ? 1 : 8;
    const int next = pass == 0 ? 8 : 1;
    for (int r = 0; r < 8; ++r) {
      float* p = d + r * next;
      float t0 = p[0] + p[7 * step], t7 = p[0] - p[7 * step];
      float t1 = p[step] + p[6 * step], t6 = p[step] - p[6 * step];
      float t2 = p[2 * step] + p[5 * step], t5 = p[2 * step] - p[5 * step];
      float t3 = p[3 * step] + p[4 * step], t4 = p[3 * step] - p[4 * step];
      float t10 = t0 + t3, t13 = t0 - t3, t11 = t1 + t2, t12 = t1 - t2;
      p[0] = t10 + t11;
      p[4 * step] = t10 - t11;
      float z1 = (t12 + t13) * 0.707106781f;
      p[2 * step] = t13 + z1;
      p[6 * step] = t13 - z1;
      t10 = t4 + t5;
      t11 = t5 + t6;
      t12 = t6 + t7;
      float z5 = (t10 - t12) * 0.382683433f;
      float z2 = 0.541196100f * t10 + z5;
      float z4 = 1.306562965f * t12 + z5;
      float z3 = t11 * 0.707106781f;
      float z11 = t7 + z3, z13 = t7 - z3;
      p[5 * step] = z13 + z2;
      p[3 * step] = z13 - z2;
      p[step] = z11 + z4;
      p[7 * step] = z11 - z4;
    }
  }
}

struct Component {
  const HuffTable* dc;
  const HuffTable* ac;
  float divisor[64];  // reciprocal of the scaled quantiser, natural order
  int last_dc = 0;
};

void set_divisors(Component& c, const std::uint8_t* q) {
  static const float kAan[8] = {1.0f, 1.387039845f, 1.306562965f, 1.175875602f,
                                1.0f, 0.785694958f, 0.541196100f, 0.275899379f};
  for (int i = 0; i < 64; ++i) c.divisor[i] = 1.0f / (q[i] * kAan[i >> 3] * kAan[i & 7] * 8.0f);
}

inline int magnitude_bits(int v) {
  unsigned a = static_cast<unsigned>(v < 0 ? -v : v);
  int n = 0;
  while (a) {
    ++n;
    a >>= 1;
  }
  return n;
}

// One 8x8 block of samples (stride apart) through DCT, quantisation and Huffman coding.
void encode_block(Writer& w, Component& c, const std::uint8_t* src, std::ptrdiff_t stride) {
  float d[64];
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) d[y * 8 + x] = static_cast<float>(src[y * stride + x]) - 128.0f;
  fdct(d);
  int q[64];
  for (int i = 0; i < 64; ++i) {
    float v = d[i] * c.divisor[i];
    q[i] = static_cast<int>(v + 16384.5f) - 16384;
  }
  int diff = q[0] - c.last_dc;
  c.last_dc = q[0];
  int nb = magnitude_bits(diff);
  w.bits(c.dc->code[nb], c.dc->size[nb]);
  if (nb) w.bits(static_cast<std::uint32_t>(diff < 0 ? diff - 1 : diff) & ((1u << nb) - 1), nb);
  int run = 0;
  for (int k = 1; k < 64; ++k) {
    int v = q[kZigzag[k]];
    if (v == 0) {
      ++run;
      continue;
    }
    while (run > 15) {
      w.bits(c.ac->code[0xF0], c.ac->size[0xF0]);
      run -= 16;
    }
    nb = magnitude_bits(v);
    int sym = (run << 4) | nb;
    w.bits(c.ac->code[sym], c.ac->size[sym]);
    w.bits(static_cast<std::uint32_t>(v < 0 ? v - 1 : v) & ((1u << nb) - 1), nb);
    run = 0;
  }
  if (run) w.bits(c.ac->code[0], c.ac->size[0]);
}

void write_dht(Writer& w, int cls_id, const std::uint8_t* bits, const std::uint8_t* vals) {
  int n = 0;
  for (int i = 0; i < 16; ++i) n += bits[i];
  w.word(0xFFC4);
  w.word(static_cast<std::uint16_t>(2 + 1 + 16 + n));
  w.byte(static_cast<std::uint8_t>(cls_id));
  w.bytes(bits, 16);
  w.bytes(vals, static_cast<std::size_t>(n));
}

}  // namespace

int jpeg_quality_from_index(int index) { return index == 2 ? 75 : index == 1 ? 90 : 100; }
int jpeg_quality_index(int quality) { return quality == 75 ? 2 : quality == 90 ? 1 : 0; }

Status encode_jpeg(const RgbImage& img, int quality, const ExifFacts* exif, std::vector<std::uint8_t>& out,
                   ChromaSampling sampling) {
  if (img.width <= 0 || img.height <= 0 || img.width > 65535 || img.height > 65535 || quality < 1 || quality > 100 ||
      img.pixels.size() != static_cast<std::size_t>(img.width) * img.height * 3)
    return Status::InvalidParameter;
  try {
    out.clear();
    out.reserve(static_cast<std::size_t>(img.width) * img.height / 2 + 1024);
    Writer w(out);
    std::uint8_t ql[64], qc[64];
    scale_quant(kLumaQuant, quality, ql);
    scale_quant(kChromaQuant, quality, qc);

    w.word(0xFFD8);
    if (exif) {
      std::vector<std::uint8_t> body = build_exif(*exif);
      if (body.size() + 2 > 65535) return Status::InvalidParameter;
      w.word(0xFFE1);
      w.word(static_cast<std::uint16_t>(body.size() + 2));
      w.bytes(body.data(), body.size());
    }
    w.word(0xFFDB);
    w.word(2 + 2 * 65);
    w.byte(0);
    for (int i = 0; i < 64; ++i) w.byte(ql[kZigzag[i]]);
    w.byte(1);
    for (int i = 0; i < 64; ++i) w.byte(qc[kZigzag[i]]);

    const bool half = sampling == ChromaSampling::Half;
    const int mcu = half ? 16 : 8;
    w.word(0xFFC0);
    w.word(8 + 3 * 3);
    w.byte(8);
    w.word(static_cast<std::uint16_t>(img.height));
    w.word(static_cast<std::uint16_t>(img.width));
    w.byte(3);
    w.byte(1);
    w.byte(half ? 0x22 : 0x11);
    w.byte(0);
    w.byte(2);
    w.byte(0x11);
    w.byte(1);
    w.byte(3);
    w.byte(0x11);
    w.byte(1);
    write_dht(w, 0x00, kDcLumaBits, kDcLumaVals);
    write_dht(w, 0x10, kAcLumaBits, kAcLumaVals);
    write_dht(w, 0x01, kDcChromaBits, kDcChromaVals);
    write_dht(w, 0x11, kAcChromaBits, kAcChromaVals);
    w.word(0xFFDA);
    w.word(6 + 2 * 3);
    w.byte(3);
    w.byte(1);
    w.byte(0x00);
    w.byte(2);
    w.byte(0x11);
    w.byte(3);
    w.byte(0x11);
    w.byte(0);
    w.byte(63);
    w.byte(0);

    const Tables& t = tables();
    Component comp[3];
    comp[0].dc = &t.dc[0];
    comp[0].ac = &t.ac[0];
    set_divisors(comp[0], ql);
    for (int c = 1; c < 3; ++c) {
      comp[c].dc = &t.dc[1];
      comp[c].ac = &t.ac[1];
      set_divisors(comp[c], qc);
    }

    // One band of MCU rows at a time: colour conversion into planes padded to
    // whole MCUs by repeating the last column and row, then chroma averaging.
    const int pw = (img.width + mcu - 1) / mcu * mcu;
    const int cw = half ? pw / 2 : pw;
    std::vector<std::uint8_t> yb(static_cast<std::size_t>(pw) * mcu), cb(static_cast<std::size_t>(pw) * mcu),
        cr(static_cast<std::size_t>(pw) * mcu), cbs(static_cast<std::size_t>(cw) * 8), crs(static_cast<std::size_t>(cw) * 8);
    constexpr int kFix = 16;
    auto fix = [](double v) { return static_cast<int>(v * (1 << kFix) + 0.5); };
    const int yr = fix(0.299), yg = fix(0.587), ybl = fix(0.114);
    const int cbr = fix(0.16874), cbg = fix(0.33126), half_ = fix(0.5);
    const int crg = fix(0.41869), crb = fix(0.08131);
    const int offset = (128 << kFix) + (1 << (kFix - 1)) - 1;
    for (int band = 0; band < img.height; band += mcu) {
      for (int r = 0; r < mcu; ++r) {
        const std::uint8_t* src = img.row(std::min(band + r, img.height - 1));
        std::uint8_t* py = &yb[static_cast<std::size_t>(r) * pw];
        std::uint8_t* pb = &cb[static_cast<std::size_t>(r) * pw];
        std::uint8_t* pr = &cr[static_cast<std::size_t>(r) * pw];
        for (int x = 0; x < img.width; ++x) {
          int R = src[3 * x], G = src[3 * x + 1], B = src[3 * x + 2];
          py[x] = static_cast<std::uint8_t>((yr * R + yg * G + ybl * B + (1 << (kFix - 1))) >> kFix);
          pb[x] = static_cast<std::uint8_t>((-cbr * R - cbg * G + half_ * B + offset) >> kFix);
          pr[x] = static_cast<std::uint8_t>((half_ * R - crg * G - crb * B + offset) >> kFix);
        }
        for (int x = img.width; x < pw; ++x) {
          py[x] = py[img.width - 1];
          pb[x] = pb[img.width - 1];
          pr[x] = pr[img.width - 1];
        }
      }
      const std::uint8_t* pcb = cb.data();
      const std::uint8_t* pcr = cr.data();
      if (half) {
        for (int r = 0; r < 8; ++r) {
          const std::uint8_t* b0 = &cb[static_cast<std::size_t>(2 * r) * pw];
          const std::uint8_t* r0 = &cr[static_cast<std::size_t>(2 * r) * pw];
          std::uint8_t* bo = &cbs[static_cast<std::size_t>(r) * cw];
          std::uint8_t* ro = &crs[static_cast<std::size_t>(r) * cw];
          for (int x = 0; x < cw; ++x) {
            int bias = 1 + (x & 1);  // alternate rounding so averages do not drift
            bo[x] = static_cast<std::uint8_t>((b0[2 * x] + b0[2 * x + 1] + b0[pw + 2 * x] + b0[pw + 2 * x + 1] + bias) >> 2);
            ro[x] = static_cast<std::uint8_t>((r0[2 * x] + r0[2 * x + 1] + r0[pw + 2 * x] + r0[pw + 2 * x + 1] + bias) >> 2);
          }
        }
        pcb = cbs.data();
        pcr = crs.data();
      }
      for (int mx = 0; mx < pw; mx += mcu) {
        if (half) {
          encode_block(w, comp[0], &yb[mx], pw);
          encode_block(w, comp[0], &yb[mx + 8], pw);
          encode_block(w, comp[0], &yb[static_cast<std::size_t>(8) * pw + mx], pw);
          encode_block(w, comp[0], &yb[static_cast<std::size_t>(8) * pw + mx + 8], pw);
          encode_block(w, comp[1], pcb + mx / 2, cw);
          encode_block(w, comp[2], pcr + mx / 2, cw);
        } else {
          encode_block(w, comp[0], &yb[mx], pw);
          encode_block(w, comp[1], pcb + mx, cw);
          encode_block(w, comp[2], pcr + mx, cw);
        }
      }
    }
    w.flush_bits();
    w.word(0xFFD9);
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    out.clear();
    return Status::OutOfMemory;
  }
}

ExifFacts exif_from_facts(const PictureFacts& f) {
  ExifFacts e;
  const ModelInfo* m = find_model(f.camera_type);
  e.make = kMakerName;
  e.model = m ? m->name : "";
  e.has_date = true;
  e.date = f.date;
  e.exposure_us = f.exposure_us;
  e.fnumber_x10 = f.fnumber_x10;
  e.has_flash = true;
  e.flash_fired = f.flash;
  e.focal_length_mm = focal_length_mm(f.camera_type, f.zoom_position);
  e.subject_distance_mm = f.subject_distance_mm;
  return e;
}

Status hcr_to_jpeg(const std::uint8_t* data, std::size_t size, int quality_index, std::vector<std::uint8_t>& out,
                   const ProgressFn& progress) {
  if (quality_index < 0 || quality_index > 2) return Status::InvalidParameter;
  HcrHeader h;
  Status s = read_hcr_header(data, size, h);
  if (s != Status::Ok) return s;
  RgbImage img;
  s = decode_hcr(data, size, img, progress);
  if (s != Status::Ok) return s;
  ExifFacts exif = exif_from_facts(h.facts);
  s = encode_jpeg(img, jpeg_quality_from_index(quality_index), &exif, out);
  if (s == Status::Ok && progress && !progress(100)) return Status::Stopped;
  return s;
}

}  // namespace hc
