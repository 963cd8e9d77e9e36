#include "core/exif.h"

#include <cstdio>
#include <numeric>
#include <string>

#include "core/bytes.h"

namespace hc {
namespace {

enum Type : std::uint16_t { kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kUndefined = 7 };

struct Entry {
  std::uint16_t tag;
  std::uint16_t type;
  std::uint32_t count;
  std::vector<std::uint8_t> value;
};

Entry ascii(std::uint16_t tag, const std::string& s) {
  Entry e{tag, kAscii, static_cast<std::uint32_t>(s.size() + 1), {}};
  e.value.assign(s.begin(), s.end());
  e.value.push_back(0);
  return e;
}

Entry rational(std::uint16_t tag, std::uint32_t num, std::uint32_t den) {
  std::uint32_t g = std::gcd(num, den);
  if (g > 1) {
    num /= g;
    den /= g;
  }
  Entry e{tag, kRational, 1, std::vector<std::uint8_t>(8)};
  put_u32(e.value.data(), num);
  put_u32(e.value.data() + 4, den);
  return e;
}

Entry short_value(std::uint16_t tag, std::uint16_t v) {
  Entry e{tag, kShort, 1, std::vector<std::uint8_t>(2)};
  put_u16(e.value.data(), v);
  return e;
}

std::size_t ifd_size(const std::vector<Entry>& entries) {
  std::size_t n = 2 + 12 * entries.size() + 4;
  for (const auto& e : entries)
    if (e.value.size() > 4) n += (e.value.size() + 1) & ~std::size_t{1};
  return n;
}

// Appends an IFD that starts at offset `at` of the TIFF structure `t`.
void write_ifd(std::vector<std::uint8_t>& t, const std::vector<Entry>& entries) {
  const std::size_t at = t.size();
  t.resize(at + ifd_size(entries), 0);
  std::uint8_t* p = t.data() + at;
  put_u16(p, static_cast<std::uint16_t>(entries.size()));
  std::size_t data = at + 2 + 12 * entries.size() + 4;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    std::uint8_t* d = t.data() + at + 2 + 12 * i;
    put_u16(d, e.tag);
    put_u16(d + 2, e.type);
    put_u32(d + 4, e.count);
    if (e.value.size() <= 4) {
      std::copy(e.value.begin(), e.value.end(), d + 8);
    } else {
      put_u32(d + 8, static_cast<std::uint32_t>(data));
      std::copy(e.value.begin(), e.value.end(), t.begin() + static_cast<std::ptrdiff_t>(data));
      data += (e.value.size() + 1) & ~std::size_t{1};
    }
  }
  // next IFD offset stays 0
}

std::string exif_date(const CaptureDate& d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d:%02d:%02d %02d:%02d:%02d", d.year + 1900, d.month + 1, d.day, d.hour, d.minute,
                d.second);
  return buf;
}

}  // namespace

std::vector<std::uint8_t> build_exif(const ExifFacts& f) {
  std::vector<Entry> ifd0, exif;
  if (!f.make.empty()) ifd0.push_back(ascii(0x010F, f.make));
  if (!f.model.empty()) ifd0.push_back(ascii(0x0110, f.model));
  if (f.has_date) ifd0.push_back(ascii(0x0132, exif_date(f.date)));
  ifd0.push_back(Entry{0x8769, kLong, 1, std::vector<std::uint8_t>(4)});  // Exif IFD, patched below

  if (f.exposure_us) exif.push_back(rational(0x829A, f.exposure_us, 1000000));
  if (f.fnumber_x10 > 0) exif.push_back(rational(0x829D, static_cast<std::uint32_t>(f.fnumber_x10), 10));
  exif.push_back(Entry{0x9000, kUndefined, 4, {'0', '2', '2', '0'}});
  if (f.has_date) exif.push_back(ascii(0x9003, exif_date(f.date)));
  if (f.subject_distance_mm) exif.push_back(rational(0x9206, f.subject_distance_mm, 1000));
  if (f.has_flash) exif.push_back(short_value(0x9209, f.flash_fired ? 1 : 0));
  if (f.focal_length_mm > 0) exif.push_back(rational(0x920A, static_cast<std::uint32_t>(f.focal_length_mm), 1));

  std::vector<std::uint8_t> t = {'I', 'I', 42, 0, 8, 0, 0, 0};
  const auto exif_at = static_cast<std::uint32_t>(8 + ifd_size(ifd0));
  put_u32(ifd0.back().value.data(), exif_at);
  write_ifd(t, ifd0);
  write_ifd(t, exif);

  static const std::uint8_t kId[6] = {'E', 'x', 'i', 'f', 0, 0};
  std::vector<std::uint8_t> out(sizeof kId + t.size());
  std::copy(kId, kId + sizeof kId, out.begin());
  std::copy(t.begin(), t.end(), out.begin() + sizeof kId);
  return out;
}

}  // namespace hc
