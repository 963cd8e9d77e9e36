#include <gtest/gtest.h>

#include <string>

#include "core/jpeg_encoder.h"
#include "test_images.h"

namespace {

// Position of the first marker `m` in a JPEG stream, or npos.
std::size_t find_marker(const std::vector<std::uint8_t>& j, std::uint8_t m) {
  for (std::size_t i = 0; i + 1 < j.size(); ++i)
    if (j[i] == 0xFF && j[i + 1] == m) return i;
  return std::string::npos;
}

TEST(Jpeg, QuantisersFollowTheCommonQualityScaling) {
  // First luminance and chrominance entries (16 and 17 in the standard
  // tables) as the usual quality scaling gives them.
  struct Case {
    int index, quality, luma0, chroma0;
  };
  for (Case c : {Case{0, 100, 1, 1}, Case{1, 90, 3, 3}, Case{2, 75, 8, 9}}) {
    SCOPED_TRACE(c.quality);
    EXPECT_EQ(hc::jpeg_quality_from_index(c.index), c.quality);
    EXPECT_EQ(hc::jpeg_quality_index(c.quality), c.index);
    std::vector<std::uint8_t> j;
    ASSERT_EQ(hc::encode_jpeg(hctest::smooth_picture(40, 24), c.quality, nullptr, j), hc::Status::Ok);
    std::size_t dqt = find_marker(j, 0xDB);
    ASSERT_NE(dqt, std::string::npos);
    EXPECT_EQ(j[dqt + 4], 0);  // table 0, 8-bit
    EXPECT_EQ(j[dqt + 5], c.luma0);
    EXPECT_EQ(j[dqt + 5 + 64], 1);  // table 1
    EXPECT_EQ(j[dqt + 6 + 64], c.chroma0);
  }
}

TEST(Jpeg, CarriesExifAndRefusesBadArguments) {
  hc::ExifFacts e = hc::exif_from_facts(hctest::sample_facts(hc::kCirra));
  EXPECT_EQ(e.focal_length_mm, 100);  // zoom position 5
  std::vector<std::uint8_t> j;
  ASSERT_EQ(hc::encode_jpeg(hctest::smooth_picture(17, 9), 90, &e, j), hc::Status::Ok);
  ASSERT_GE(j.size(), 4u);
  EXPECT_EQ(j[0], 0xFF);
  EXPECT_EQ(j[1], 0xD8);
  EXPECT_EQ(j[2], 0xFF);
  EXPECT_EQ(j[3], 0xE1);
  EXPECT_EQ(std::string(j.begin() + 6, j.begin() + 10), "Exif");
  EXPECT_EQ(j[j.size() - 2], 0xFF);
  EXPECT_EQ(j[j.size() - 1], 0xD9);
  std::string text(j.begin(), j.end());
  EXPECT_NE(text.find("Tellan Halcyra Company"), std::string::npos);
  EXPECT_NE(text.find("2000:02:29 09:08:07"), std::string::npos);

  EXPECT_EQ(hc::encode_jpeg(hc::RgbImage(), 90, nullptr, j), hc::Status::InvalidParameter);
  EXPECT_EQ(hc::encode_jpeg(hctest::smooth_picture(8, 8), 0, nullptr, j), hc::Status::InvalidParameter);
  std::vector<std::uint8_t> file;
  ASSERT_EQ(hc::write_hcr(hctest::smooth_picture(32, 32), hctest::sample_facts(hc::kAvena), file), hc::Status::Ok);
  EXPECT_EQ(hc::hcr_to_jpeg(file.data(), file.size(), 3, j), hc::Status::InvalidParameter);
  EXPECT_EQ(hc::hcr_to_jpeg(file.data(), file.size() - 1, 0, j), hc::Status::ImageProcessing);
}

}  // namespace
