#include "core/image_io.h"

#include <cstdio>
#include <limits>

#include "core/bytes.h"

namespace hc {
namespace {

constexpr int kMaxSide = 1 << 15;

bool decode_bmp(const std::vector<std::uint8_t>& b, RgbImage& img, std::string& error) {
  if (b.size() < 54) return error = "BMP file too short", false;
  std::uint32_t off = get_u32(&b[10]);
  std::uint32_t hsize = get_u32(&b[14]);
  if (hsize < 40 || 14 + static_cast<std::uint64_t>(hsize) > b.size()) return error = "unsupported BMP header", false;
  auto w = static_cast<std::int32_t>(get_u32(&b[18]));
  auto h = static_cast<std::int32_t>(get_u32(&b[22]));
  int bpp = get_u16(&b[28]);
  std::uint32_t comp = get_u32(&b[30]);
  bool top_down = h < 0;
  if (top_down) h = h == std::numeric_limits<std::int32_t>::min() ? 0 : -h;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return error = "BMP size out of range", false;
  if ((bpp != 24 && bpp != 32) || !(comp == 0 || (comp == 3 && bpp == 32)))
    return error = "only uncompressed 24- or 32-bit BMP files are read", false;
  std::uint64_t stride = ((static_cast<std::uint64_t>(w) * bpp + 31) / 32) * 4;
  if (off > b.size() || stride * h > b.size() - off) return error = "BMP pixel data truncated", false;
  img = RgbImage(w, h);
  int step = bpp / 8;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src = b.data() + off + stride * static_cast<std::uint64_t>(top_down ? y : h - 1 - y);
    std::uint8_t* dst = img.row(y);
    for (int x = 0; x < w; ++x) {
      dst[3 * x] = src[step * x + 2];
      dst[3 * x + 1] = src[step * x + 1];
      dst[3 * x + 2] = src[step * x];
    }
  }
  return true;
}

bool decode_ppm(const std::vector<std::uint8_t>& b, RgbImage& img, std::string& error) {
  std::size_t pos = 2;
  long vals[3];
  for (long& v : vals) {
    for (;;) {  // whitespace and comments
      while (pos < b.size() && (b[pos] == ' ' || b[pos] == '\t' || b[pos] == '\r' || b[pos] == '\n')) ++pos;
      if (pos < b.size() && b[pos] == '#') {
        while (pos < b.size() && b[pos] != '\n') ++pos;
        continue;
      }
      break;
    }
    if (pos >= b.size() || b[pos] < '0' || b[pos] > '9') return error = "malformed PPM header", false;
    v = 0;
    while (pos < b.size() && b[pos] >= '0' && b[pos] <= '9' && v < 1000000) v = v * 10 + (b[pos++] - '0');
  }
  if (pos >= b.size()) return error = "PPM pixel data truncated", false;
  ++pos;  // the single whitespace before the samples
  if (vals[2] != 255) return error = "only 8-bit PPM files are read", false;
  if (vals[0] <= 0 || vals[1] <= 0 || vals[0] > kMaxSide || vals[1] > kMaxSide) return error = "PPM size out of range", false;
  std::uint64_t need = static_cast<std::uint64_t>(vals[0]) * vals[1] * 3;
  if (b.size() - pos < need) return error = "PPM pixel data truncated", false;
  img = RgbImage(static_cast<int>(vals[0]), static_cast<int>(vals[1]));
  std::copy(b.begin() + static_cast<std::ptrdiff_t>(pos), b.begin() + static_cast<std::ptrdiff_t>(pos + need),
            img.pixels.begin());
  return true;
}

}  // namespace

bool decode_picture_file(const std::vector<std::uint8_t>& b, RgbImage& img, std::string& error) {
  if (b.size() >= 2 && b[0] == 'B' && b[1] == 'M') return decode_bmp(b, img, error);
  if (b.size() >= 2 && b[0] == 'P' && b[1] == '6') return decode_ppm(b, img, error);
  error = "not a BMP or binary PPM file";
  return false;
}

std::vector<std::uint8_t> encode_bmp(const RgbImage& img) {
  std::size_t stride = (static_cast<std::size_t>(img.width) * 3 + 3) & ~static_cast<std::size_t>(3);
  std::size_t data = stride * img.height;
  std::vector<std::uint8_t> b(54 + data, 0);
  b[0] = 'B';
  b[1] = 'M';
  put_u32(&b[2], static_cast<std::uint32_t>(b.size()));
  put_u32(&b[10], 54);
  put_u32(&b[14], 40);
  put_u32(&b[18], static_cast<std::uint32_t>(img.width));
  put_u32(&b[22], static_cast<std::uint32_t>(img.height));
  put_u16(&b[26], 1);
  put_u16(&b[28], 24);
  put_u32(&b[34], static_cast<std::uint32_t>(data));
  put_u32(&b[38], 2835);
  put_u32(&b[42], 2835);
  for (int y = 0; y < img.height; ++y) {
    const std::uint8_t* src = img.row(img.height - 1 - y);
    std::uint8_t* dst = b.data() + 54 + stride * y;
    for (int x = 0; x < img.width; ++x) {
      dst[3 * x] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x];
    }
  }
  return b;
}

std::vector<std::uint8_t> encode_ppm(const RgbImage& img) {
  std::string head = "P6\n" + std::to_string(img.width) + " " + std::to_string(img.height) + "\n255\n";
  std::vector<std::uint8_t> b(head.begin(), head.end());
  b.insert(b.end(), img.pixels.begin(), img.pixels.end());
  return b;
}

bool read_file(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes.clear();
  std::uint8_t buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

}  // namespace hc
