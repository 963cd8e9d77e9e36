// Every file the fuzzer was seeded with or found goes through the reader and
// the decoder; the sanitizers of the native build watch each access.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/hcr.h"
#include "core/image_io.h"
#include "core/jpeg_encoder.h"

namespace {

namespace fs = std::filesystem;

bool known(hc::Status s) {
  return s == hc::Status::Ok || s == hc::Status::ImageProcessing || s == hc::Status::UnknownCameraType;
}

TEST(FuzzFindings, ReadWithoutHarm) {
  int files = 0;
  for (const char* sub : {"corpus", "regressions"}) {
    fs::path dir = fs::path(PIX_FUZZ_DIR) / sub;
    ASSERT_TRUE(fs::is_directory(dir)) << dir.string();
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      std::vector<std::uint8_t> data;
      ASSERT_TRUE(hc::read_file(entry.path().string(), data));
      ++files;
      std::int32_t type = 0;
      EXPECT_TRUE(known(hc::get_camera_type(data.data(), data.size(), type)));
      hc::PictureInfo info;
      hc::ModelDetails details;
      std::vector<std::uint8_t> thumb(160 * 120 * 3);
      hc::Status s = hc::get_picture_info(data.data(), data.size(), info, &details, thumb.data(), thumb.size());
      EXPECT_TRUE(known(s));
      std::size_t bytes = 0;
      auto sink = [&](const std::uint8_t*, std::size_t n) { return bytes += n, true; };
      hc::Status d = hc::decode_hcr_rows(data.data(), data.size(), hc::RowOrder::TopDownReversed, sink);
      EXPECT_TRUE(known(d));
      if (d == hc::Status::Ok) {
        EXPECT_EQ(s, hc::Status::Ok);
        EXPECT_EQ(bytes, info.output_size);
        EXPECT_EQ(hc::verify_hcr(data.data(), data.size()), hc::Status::Ok);
      }
    }
  }
  EXPECT_GT(files, 0);
}

}  // namespace
