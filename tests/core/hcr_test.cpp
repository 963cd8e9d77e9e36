#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "core/bytes.h"
#include "core/crc32.h"
#include "core/hcr.h"
#include "core/hcr_format.h"
#include "core/resample.h"
#include "test_images.h"

namespace {

using hc::Status;

std::vector<std::uint8_t> make_file(std::int32_t type, int w, int h) {
  std::vector<std::uint8_t> file;
  EXPECT_EQ(hc::write_hcr(hctest::smooth_picture(w, h), hctest::sample_facts(type), file), Status::Ok);
  return file;
}

// Recomputes both checksums after a test edits a header field, so that the
// reader's field checks, not the checksum, are what rejects the file.
void reseal(std::vector<std::uint8_t>& f) {
  hc::put_u32(&f[hc::hcr::kOffHeaderCrc], hc::crc32(f.data(), hc::hcr::kOffHeaderCrc));
  std::size_t end = f.size() - 4;
  hc::put_u32(&f[end], hc::crc32(f.data(), end));
}

template <class T>
T field(const hc::ModelDetails& d, std::size_t offset) {
  T v;
  std::memcpy(&v, d.bytes + offset, sizeof v);
  return v;
}

TEST(HcrFile, DescribesEachModelFromThePrefixes) {
  struct Model {
    std::int32_t type;
    int thumb_w, thumb_h;
  };
  for (Model m : {Model{hc::kAvena, 80, 60}, Model{hc::kBelva, 80, 60}, Model{hc::kCirra, 160, 120}}) {
    SCOPED_TRACE(m.type);
    auto file = make_file(m.type, 200, 150);
    ASSERT_GT(file.size(), 10240u);
    std::int32_t type = 0;
    ASSERT_EQ(hc::get_camera_type(file.data(), file.size(), type), Status::Ok);
    EXPECT_EQ(type, m.type);

    // Describing needs no more than the first 16,384 bytes.
    hc::PictureInfo info;
    hc::ModelDetails details;
    std::memset(&details, 0xCC, sizeof details);
    ASSERT_EQ(hc::get_picture_info(file.data(), hc::hcr::kDescribeLimit, info, &details), Status::Ok);
    EXPECT_EQ(info.width, 200);
    EXPECT_EQ(info.height, 150);
    EXPECT_EQ(info.thumb_width, m.thumb_w);
    EXPECT_EQ(info.thumb_height, m.thumb_h);
    EXPECT_EQ(info.native_size, file.size());
    EXPECT_EQ(info.input_size, file.size());
    EXPECT_EQ(info.output_size, 200u * 150 * 3);
    EXPECT_EQ(info.date.day, 29);
    EXPECT_EQ(info.date.month, 1);
    EXPECT_EQ(info.date.year, 100);
    EXPECT_EQ(info.date.second, 7);

    // The thumbnail from a prefix of its bytes plus 10,240.
    std::size_t thumb_bytes = static_cast<std::size_t>(m.thumb_w) * m.thumb_h * 3;
    std::vector<std::uint8_t> thumb(thumb_bytes);
    EXPECT_EQ(hc::get_picture_info(file.data(), thumb_bytes + 10240, info, nullptr, thumb.data(), thumb.size()),
              Status::Ok);
    hc::RgbImage expect = hc::resize_area(hctest::smooth_picture(200, 150), m.thumb_w, m.thumb_h);
    const std::uint8_t* bottom_left = &thumb[0];
    const std::uint8_t* want = expect.row(m.thumb_h - 1);
    EXPECT_EQ(bottom_left[0], want[2]);  // blue, green, red
    EXPECT_EQ(bottom_left[1], want[1]);
    EXPECT_EQ(bottom_left[2], want[0]);
    const std::uint8_t* top_right = &thumb[thumb_bytes - 3];
    want = expect.row(0) + 3 * (m.thumb_w - 1);
    EXPECT_EQ(top_right[0], want[2]);
    EXPECT_EQ(top_right[2], want[0]);

    // The detail fields where the program reads them.
    if (m.type == hc::kAvena) {
      EXPECT_EQ(field<std::int32_t>(details, 0), 4000);
      EXPECT_EQ(field<std::int32_t>(details, 4), 1);
      EXPECT_EQ(field<std::int16_t>(details, 8), 56);
    } else {
      std::size_t distance = m.type == hc::kBelva ? 48 : 44, brightness = m.type == hc::kBelva ? 52 : 48;
      EXPECT_EQ(field<std::int32_t>(details, 4), 1);
      EXPECT_EQ(field<std::int32_t>(details, 16), 5);
      EXPECT_EQ(field<std::int32_t>(details, 24), 4000);
      EXPECT_EQ(field<std::int16_t>(details, 28), 56);
      EXPECT_EQ(field<std::int32_t>(details, distance), 3500);
      EXPECT_EQ(field<std::int16_t>(details, brightness), -7 + 1005);
    }
    if (m.type == hc::kBelva) {
      EXPECT_STREQ(reinterpret_cast<const char*>(details.bytes + 58), "PIC00012");
    }
  }
}

TEST(HcrFile, ThumbnailNeedsItsBytes) {
  auto file = make_file(hc::kCirra, 64, 48);
  hc::PictureInfo info;
  std::vector<std::uint8_t> thumb(160 * 120 * 3);
  EXPECT_EQ(hc::get_picture_info(file.data(), 128 + thumb.size() - 1, info, nullptr, thumb.data(), thumb.size()),
            Status::ImageProcessing);
  EXPECT_EQ(hc::get_picture_info(file.data(), file.size(), info, nullptr, thumb.data(), thumb.size() - 1),
            Status::InvalidParameter);
  file[128 + 500] ^= 1;
  EXPECT_EQ(hc::get_picture_info(file.data(), file.size(), info, nullptr, thumb.data(), thumb.size()),
            Status::ImageProcessing);
}

TEST(HcrFile, WriterRefusesWhatTheFormatCannotHold) {
  auto img = hctest::smooth_picture(64, 48);
  struct Bad {
    const char* what;
    std::function<void(hc::PictureFacts&)> edit;
  };
  const Bad bad[] = {
      {"unknown model", [](hc::PictureFacts& f) { f.camera_type = 102; }},
      {"30 February", [](hc::PictureFacts& f) { f.date.month = 1, f.date.day = 30; }},
      {"hour 24", [](hc::PictureFacts& f) { f.date.hour = 24; }},
      {"Belva name of 12", [](hc::PictureFacts& f) { f.camera_type = hc::kBelva, f.name = "ABCDEFGHIJKL"; }},
      {"name of 16", [](hc::PictureFacts& f) { f.name = "ABCDEFGHIJKLMNOP"; }},
      {"path in name", [](hc::PictureFacts& f) { f.name = "..\\x.HCR"; }},
      {"zoom 8", [](hc::PictureFacts& f) { f.zoom_position = 8; }},
      {"no exposure", [](hc::PictureFacts& f) { f.exposure_us = 0; }},
  };
  std::vector<std::uint8_t> file;
  for (const auto& b : bad) {
    SCOPED_TRACE(b.what);
    hc::PictureFacts f = hctest::sample_facts(hc::kCirra);
    b.edit(f);
    EXPECT_EQ(hc::write_hcr(img, f, file), Status::InvalidParameter);
  }
  EXPECT_EQ(hc::write_hcr(hctest::smooth_picture(63, 48), hctest::sample_facts(hc::kCirra), file),
            Status::InvalidParameter);
  hc::PictureFacts unnamed = hctest::sample_facts(hc::kBelva);
  unnamed.name.clear();
  ASSERT_EQ(hc::write_hcr(img, unnamed, file), Status::Ok);
  hc::HcrHeader h;
  ASSERT_EQ(hc::read_hcr_header(file.data(), file.size(), h), Status::Ok);
  EXPECT_EQ(h.facts.name, "PIC00001");
}

TEST(HcrFile, ReaderRejectsMalformedHeaders) {
  const auto good = make_file(hc::kBelva, 64, 48);
  struct Bad {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> edit;
    bool reseal;
    Status expect;
  };
  using hc::put_u32;
  namespace f = hc::hcr;
  const Bad bad[] = {
      {"not ours", [](auto& b) { b[0] = 'X'; }, true, Status::ImageProcessing},
      {"header checksum", [](auto& b) { b[f::kOffWidth] ^= 2; }, false, Status::ImageProcessing},
      {"impossible model", [](auto& b) { put_u32(&b[f::kOffCameraType], 103); }, true, Status::UnknownCameraType},
      {"odd width", [](auto& b) { put_u32(&b[f::kOffWidth], 63); }, true, Status::ImageProcessing},
      {"huge height", [](auto& b) { put_u32(&b[f::kOffHeight], 0x40000000); }, true, Status::ImageProcessing},
      {"thumbnail of another model", [](auto& b) { hc::put_u16(&b[f::kOffThumbWidth], 160); }, true,
       Status::ImageProcessing},
      {"data under a bit a sample", [](auto& b) { put_u32(&b[f::kOffDataSize], 64 * 48 / 8 - 1); }, true,
       Status::ImageProcessing},
      {"data beyond 2 GB", [](auto& b) { put_u32(&b[f::kOffDataSize], 0xFFFFFFF0u); }, true, Status::ImageProcessing},
      {"data offset elsewhere", [](auto& b) { put_u32(&b[f::kOffDataOffset], 200); }, true, Status::ImageProcessing},
      {"name without end", [](auto& b) { std::memset(&b[f::kOffName], 'A', 16); }, true, Status::ImageProcessing},
      {"name with path", [](auto& b) { b[f::kOffName] = '/'; }, true, Status::ImageProcessing},
      {"month 12", [](auto& b) { hc::put_i16(&b[f::kOffDate + 8], 12); }, true, Status::ImageProcessing},
      {"zoom 9", [](auto& b) { put_u32(&b[f::kOffZoom], 9); }, true, Status::ImageProcessing},
      {"unknown coding", [](auto& b) { put_u32(&b[f::kOffCoding], 2); }, true, Status::ImageProcessing},
  };
  for (const auto& b : bad) {
    SCOPED_TRACE(b.what);
    auto file = good;
    b.edit(file);
    if (b.reseal) reseal(file);
    hc::PictureInfo info;
    std::int32_t type;
    EXPECT_EQ(hc::get_picture_info(file.data(), file.size(), info, nullptr), b.expect);
    EXPECT_EQ(hc::get_camera_type(file.data(), file.size(), type), b.expect);
    hc::RgbImage img;
    EXPECT_EQ(hc::decode_hcr(file.data(), file.size(), img), b.expect);
  }
  hc::PictureInfo info;
  EXPECT_EQ(hc::get_picture_info(good.data(), 127, info, nullptr), Status::ImageProcessing);
}

// The checksum takes a folding path for long runs where the processor
// allows it and tables for the rest; both must agree with the definition, at
// every length around the 16- and 64-byte steps, any alignment, and chained.
TEST(Crc32, MatchesTheBitwiseDefinition) {
  auto bitwise = [](const std::uint8_t* p, std::size_t n, std::uint32_t crc) {
    crc = ~crc;
    while (n--) {
      crc ^= *p++;
      for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
  };
  std::vector<std::uint8_t> data(4096 + 32);
  std::uint32_t seed = 12345;
  for (auto& b : data) b = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 24);
  EXPECT_EQ(hc::crc32("123456789", 9), 0xCBF43926u);
  for (std::size_t offset : {0, 1, 7, 15}) {
    for (std::size_t n = 0; n <= 300; ++n)
      ASSERT_EQ(hc::crc32(&data[offset], n, 0x1234u), bitwise(&data[offset], n, 0x1234u)) << offset << " " << n;
    ASSERT_EQ(hc::crc32(&data[offset], 4096), bitwise(&data[offset], 4096, 0)) << offset;
  }
  EXPECT_EQ(hc::crc32(&data[1000], 3000, hc::crc32(data.data(), 1000)), hc::crc32(data.data(), 4000));
}

}  // namespace
