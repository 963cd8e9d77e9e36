// libFuzzer target for the .HCR reader and decoder.
//
// Each input is read twice: as it is, and "resealed" with its checksums made
// right, so that the fuzzer gets past the checksums to the field checks, the
// sensor data decoder and the demosaicing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/bytes.h"
#include "core/crc32.h"
#include "core/hcr.h"
#include "core/hcr_format.h"

namespace {

void exercise(const std::uint8_t* data, std::size_t size) {
  std::int32_t type = 0;
  (void)hc::get_camera_type(data, size, type);
  hc::PictureInfo info;
  hc::ModelDetails details;
  std::vector<std::uint8_t> thumb(160 * 120 * 3);
  (void)hc::get_picture_info(data, size, info, &details, thumb.data(), thumb.size());
  // A hash of every byte delivered, which also lets the sanitizers see any
  // bad block.
  std::uint64_t hash = 0;
  auto sink = [&](const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
    return true;
  };
  hc::Status s = hc::decode_hcr_rows(data, size, hc::RowOrder::BottomUpBgr, sink);
  if (s == hc::Status::Ok && info.output_size == 0) __builtin_trap();
  // Memory kept from input to input, as the driver keeps it from picture to
  // picture, and blocks of one row: the same rows must come out, and nothing
  // an earlier input left behind may show through.
  static hc::DecodeWork kept;
  const std::uint64_t first = hash;
  hash = 0;
  const std::size_t row = static_cast<std::size_t>(info.width) * 3;
  if (row == 0 || row > hc::kMaxBlockBytes) return;
  hc::Status k = hc::decode_hcr_rows(data, size, hc::RowOrder::BottomUpBgr, sink, row, {}, kept);
  if (k != s || (s == hc::Status::Ok && hash != first)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  exercise(data, size);
  if (size < hc::hcr::kHeaderSize) return 0;
  std::vector<std::uint8_t> f(data, data + size);
  using namespace hc::hcr;
  hc::put_u32(&f[kOffHeaderCrc], hc::crc32(f.data(), kOffHeaderCrc));
  std::uint64_t t_off = hc::get_u32(&f[kOffThumbOffset]), t_size = hc::get_u32(&f[kOffThumbSize]);
  if (t_off + t_size <= f.size()) {
    hc::put_u32(&f[kOffThumbCrc], hc::crc32(f.data() + t_off, t_size));
    hc::put_u32(&f[kOffHeaderCrc], hc::crc32(f.data(), kOffHeaderCrc));
  }
  std::uint64_t end = static_cast<std::uint64_t>(hc::get_u32(&f[kOffDataOffset])) + hc::get_u32(&f[kOffDataSize]);
  if (end >= kHeaderSize && end + 4 <= f.size()) hc::put_u32(&f[end], hc::crc32(f.data(), end));
  exercise(f.data(), f.size());
  return 0;
}
