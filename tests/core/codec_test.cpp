#include <gtest/gtest.h>

#include "core/bayer_codec.h"
#include "test_images.h"

namespace {

struct Case {
  const char* what;
  hc::RgbImage img;
};

TEST(BayerCodec, RoundTripsExactly) {
  hc::RgbImage flat(64, 48);
  std::fill(flat.pixels.begin(), flat.pixels.end(), 200);
  hc::RgbImage extremes(34, 18);  // alternating 0 and 255 forces the escape codes
  for (std::size_t i = 0; i < extremes.pixels.size(); ++i) extremes.pixels[i] = (i / 3 + i / 51) % 2 ? 255 : 0;
  const Case cases[] = {
      {"smallest", hctest::smooth_picture(2, 2)},
      {"narrow", hctest::noise_picture(2, 40, 7)},
      {"smooth", hctest::smooth_picture(320, 240)},
      {"noise", hctest::noise_picture(130, 66, 1)},
      {"flat", flat},
      {"extremes", extremes},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto mosaic = hc::make_mosaic(c.img);
    auto data = hc::compress_bayer(mosaic.data(), c.img.width, c.img.height);
    std::vector<std::uint8_t> back(mosaic.size(), 0x5A);
    ASSERT_EQ(hc::decompress_bayer(data.data(), data.size(), c.img.width, c.img.height, back.data(), c.img.width),
              hc::Status::Ok);
    EXPECT_EQ(back, mosaic);
  }
}

TEST(BayerCodec, RejectsDataOfTheWrongLength) {
  auto img = hctest::smooth_picture(96, 64);
  auto mosaic = hc::make_mosaic(img);
  auto data = hc::compress_bayer(mosaic.data(), img.width, img.height);
  std::vector<std::uint8_t> out(mosaic.size());
  auto longer = data;
  longer.push_back(0);
  longer.push_back(0);
  EXPECT_EQ(hc::decompress_bayer(longer.data(), longer.size(), 96, 64, out.data(), 96), hc::Status::ImageProcessing);
  EXPECT_EQ(hc::decompress_bayer(data.data(), data.size() / 2, 96, 64, out.data(), 96), hc::Status::ImageProcessing);
  EXPECT_EQ(hc::decompress_bayer(data.data(), 0, 96, 64, out.data(), 96), hc::Status::ImageProcessing);
  // The same data read as a larger picture runs out of bits.
  std::vector<std::uint8_t> big(96 * 66);
  EXPECT_EQ(hc::decompress_bayer(data.data(), data.size(), 96, 66, big.data(), 96), hc::Status::ImageProcessing);
  EXPECT_EQ(hc::decompress_bayer(data.data(), data.size(), 95, 64, out.data(), 96), hc::Status::InvalidParameter);
}

TEST(BayerCodec, AllOnesNeverDecodes) {
  // A run of 1-bits is the shortest code for every sample; decoding must end
  // with an error, not with an overrun.
  std::vector<std::uint8_t> ones(10, 0xFF), zeros(10, 0x00);
  std::vector<std::uint8_t> out(64 * 64);
  EXPECT_EQ(hc::decompress_bayer(ones.data(), ones.size(), 64, 64, out.data(), 64), hc::Status::ImageProcessing);
  EXPECT_EQ(hc::decompress_bayer(zeros.data(), zeros.size(), 64, 64, out.data(), 64), hc::Status::ImageProcessing);
}

}  // namespace
