#include <gtest/gtest.h>

#include <algorithm>

#include "core/hcr.h"
#include "test_images.h"

namespace {

using hc::Status;

std::vector<std::uint8_t> make_file(const hc::RgbImage& img) {
  std::vector<std::uint8_t> file;
  EXPECT_EQ(hc::write_hcr(img, hctest::sample_facts(hc::kCirra), file), Status::Ok);
  return file;
}

TEST(Decode, ComesBackWithinTheDemosaicLoss) {
  auto img = hctest::smooth_picture(256, 192);
  auto file = make_file(img);
  hc::RgbImage out;
  ASSERT_EQ(hc::decode_hcr(file.data(), file.size(), out), Status::Ok);
  ASSERT_EQ(out.width, 256);
  ASSERT_EQ(out.height, 192);
  EXPECT_GT(hctest::psnr(img, out, 0), 40.0);

  // A uniform picture has nothing to lose, borders included.
  hc::RgbImage flat(38, 22);
  for (std::size_t i = 0; i < flat.pixels.size(); ++i) flat.pixels[i] = i % 3 == 0 ? 10 : i % 3 == 1 ? 128 : 250;
  file = make_file(flat);
  ASSERT_EQ(hc::decode_hcr(file.data(), file.size(), out), Status::Ok);
  EXPECT_EQ(out.pixels, flat.pixels);

  auto tiny = hctest::smooth_picture(2, 2);
  file = make_file(tiny);
  ASSERT_EQ(hc::decode_hcr(file.data(), file.size(), out), Status::Ok);
  EXPECT_EQ(out.width, 2);
}

struct Blocks {
  std::vector<std::vector<std::uint8_t>> blocks;
  hc::RowBlockFn sink() {
    return [this](const std::uint8_t* p, std::size_t n) {
      blocks.emplace_back(p, p + n);
      return true;
    };
  }
};

TEST(Decode, BothRowOrdersHoldTheSamePixels) {
  // 1,100 pixels a row: 3,300 bytes, so a block holds 19 rows and the last block fewer.
  auto img = hctest::smooth_picture(1100, 60);
  auto file = make_file(img);
  hc::RgbImage ref;
  ASSERT_EQ(hc::decode_hcr(file.data(), file.size(), ref), Status::Ok);
  const std::size_t row = 1100 * 3;

  Blocks bmp, tiff;
  ASSERT_EQ(hc::decode_hcr_rows(file.data(), file.size(), hc::RowOrder::BottomUpBgr, bmp.sink()), Status::Ok);
  ASSERT_EQ(hc::decode_hcr_rows(file.data(), file.size(), hc::RowOrder::TopDownReversed, tiff.sink()), Status::Ok);
  std::vector<std::uint8_t> a, b;
  for (auto* set : {&bmp, &tiff})
    for (const auto& blk : set->blocks) {
      EXPECT_LT(blk.size(), 65536u);
      EXPECT_EQ(blk.size() % row, 0u);
      (set == &bmp ? a : b).insert((set == &bmp ? a : b).end(), blk.begin(), blk.end());
    }
  ASSERT_EQ(a.size(), ref.pixels.size());
  ASSERT_EQ(b.size(), ref.pixels.size());
  EXPECT_EQ(bmp.blocks.size(), 4u);
  for (int n = 0; n < 60; ++n) {
    // Row n of the bottom-up stream is picture row 59 - n, blue-green-red.
    const std::uint8_t* bottom_up = &a[n * row];
    const std::uint8_t* src = ref.row(59 - n);
    for (int x = 0; x < 1100; x += 137) {
      ASSERT_EQ(bottom_up[3 * x], src[3 * x + 2]);
      ASSERT_EQ(bottom_up[3 * x + 1], src[3 * x + 1]);
      ASSERT_EQ(bottom_up[3 * x + 2], src[3 * x]);
    }
    // Row n of the top-down stream, its bytes reversed, is picture row n in red-green-blue.
    std::vector<std::uint8_t> reversed(b.begin() + n * row, b.begin() + (n + 1) * row);
    std::reverse(reversed.begin(), reversed.end());
    ASSERT_TRUE(std::equal(reversed.begin(), reversed.end(), ref.row(n)));
  }
}

TEST(Decode, CallbacksCanStop) {
  auto file = make_file(hctest::smooth_picture(400, 300));
  int calls = 0;
  auto stop_second = [&](const std::uint8_t*, std::size_t) { return ++calls < 2; };
  EXPECT_EQ(hc::decode_hcr_rows(file.data(), file.size(), hc::RowOrder::BottomUpBgr, stop_second), Status::Stopped);
  EXPECT_EQ(calls, 2);

  std::vector<int> seen;
  auto sink = [](const std::uint8_t*, std::size_t) { return true; };
  auto progress = [&](int p) {
    seen.push_back(p);
    return true;
  };
  ASSERT_EQ(hc::decode_hcr_rows(file.data(), file.size(), hc::RowOrder::TopDownReversed, sink, progress), Status::Ok);
  ASSERT_FALSE(seen.empty());
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.back(), 100);

  for (int stop_at : {1, 3}) {
    int n = 0, rows_after = 0;
    auto stopping = [&](int) { return ++n < stop_at; };
    auto counting = [&](const std::uint8_t*, std::size_t) { return ++rows_after, true; };
    EXPECT_EQ(hc::decode_hcr_rows(file.data(), file.size(), hc::RowOrder::BottomUpBgr, counting, stopping),
              Status::Stopped);
    if (stop_at == 1) {
      EXPECT_EQ(rows_after, 0);
    }
  }
}

TEST(Decode, DamagedFilesGiveAnErrorNotAPicture) {
  auto file = make_file(hctest::smooth_picture(128, 96));
  hc::RgbImage out;
  for (std::size_t cut : {std::size_t{10240}, file.size() / 2, file.size() - 1}) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(hc::decode_hcr(file.data(), cut, out), Status::ImageProcessing);
  }
  for (std::size_t at : {std::size_t{200}, file.size() - 100, file.size() - 2}) {
    SCOPED_TRACE(at);
    auto bad = file;
    bad[at] ^= 0x10;
    EXPECT_EQ(hc::decode_hcr(bad.data(), bad.size(), out), Status::ImageProcessing);
    EXPECT_EQ(hc::verify_hcr(bad.data(), bad.size()), Status::ImageProcessing);
  }
  EXPECT_EQ(hc::verify_hcr(file.data(), file.size()), Status::Ok);
}

}  // namespace
