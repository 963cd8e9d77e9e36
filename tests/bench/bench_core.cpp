// Figures for the core's goals: demosaicing quality and speed, lossless
// coding size and speed, full decode speed, JPEG encoding speed. Run by
// tests/bench/run.sh, not by ctest.
//
//   bench_core KODAK_PPM_DIR [OUT_DIR]
//
// OUT_DIR receives a 1280 x 960 test picture (cirra.ppm) and its .HCR file,
// which run.sh hands to cjpeg and the JPEG comparison.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/bayer_codec.h"
#include "core/demosaic.h"
#include "core/hcr.h"
#include "core/image_io.h"
#include "core/jpeg_encoder.h"
#include "../core/test_images.h"

namespace {

using Clock = std::chrono::steady_clock;

// Sorted times of reps runs.
template <class F>
std::vector<double> times(int reps, F&& f) {
  std::vector<double> t;
  for (int i = 0; i < reps; ++i) {
    auto t0 = Clock::now();
    f();
    t.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
  }
  std::sort(t.begin(), t.end());
  return t;
}

template <class F>
double best_seconds(int reps, F&& f) {
  double best = 1e9;
  for (int i = 0; i < reps; ++i) {
    auto t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

// A 1280 x 960 picture from a photograph, mirrored where it runs out.
hc::RgbImage cirra_sized(const hc::RgbImage& src) {
  hc::RgbImage img(1280, 960);
  auto mirror = [](int i, int n) {
    int period = 2 * n;
    i %= period;
    return i < n ? i : period - 1 - i;
  };
  for (int y = 0; y < 960; ++y)
    for (int x = 0; x < 1280; ++x)
      for (int c = 0; c < 3; ++c)
        img.row(y)[3 * x + c] = src.row(mirror(y, src.height))[3 * mirror(x, src.width) + c];
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_core KODAK_PPM_DIR [OUT_DIR]\n");
    return 2;
  }
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(argv[1]))
    if (e.path().extension() == ".ppm") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::fprintf(stderr, "no .ppm files in %s\n", argv[1]);
    return 1;
  }

  double psnr_sum = 0, bits_sum = 0;
  std::vector<hc::RgbImage> photos;
  std::printf("%-12s %10s %10s\n", "picture", "CPSNR dB", "bits/smp");
  for (const auto& f : files) {
    std::vector<std::uint8_t> bytes;
    hc::RgbImage img, out;
    std::string err;
    if (!hc::read_file(f.string(), bytes) || !hc::decode_picture_file(bytes, img, err)) {
      std::fprintf(stderr, "%s: %s\n", f.string().c_str(), err.c_str());
      return 1;
    }
    auto mosaic = hc::make_mosaic(img);
    hc::demosaic(mosaic.data(), img.width, img.width, img.height, out);
    auto data = hc::compress_bayer(mosaic.data(), img.width, img.height);
    std::vector<std::uint8_t> back(mosaic.size());
    if (hc::decompress_bayer(data.data(), data.size(), img.width, img.height, back.data(), img.width) !=
            hc::Status::Ok ||
        back != mosaic) {
      std::fprintf(stderr, "%s: lossless round trip failed\n", f.string().c_str());
      return 1;
    }
    double p = hctest::psnr(img, out, 4), b = data.size() * 8.0 / mosaic.size();
    psnr_sum += p;
    bits_sum += b;
    std::printf("%-12s %10.2f %10.3f\n", f.filename().string().c_str(), p, b);
    photos.push_back(std::move(img));
  }
  std::printf("mean demosaic CPSNR (4-pixel border cropped): %.3f dB over %zu pictures\n", psnr_sum / files.size(),
              files.size());
  std::printf("mean lossless size: %.3f bits a sample\n", bits_sum / files.size());

  // Speed on the Cirra's own size.
  hc::RgbImage big = cirra_sized(photos[0]);
  const double mp = 1280.0 * 960.0 / 1e6;
  auto mosaic = hc::make_mosaic(big);
  auto data = hc::compress_bayer(mosaic.data(), 1280, 960);
  hc::BayerFrame frame;
  double t_unpack = best_seconds(15, [&] { hc::decompress_bayer(data.data(), data.size(), 1280, 960, frame); });
  hc::RgbImage rgb;
  hc::demosaic(mosaic.data(), 1280, 1280, 960, rgb);
  // As the decoder calls it: bands of 96 rows, bottom-up BGR rows, one
  // DemosaicWork kept across bands and pictures.
  std::vector<std::uint8_t> rows(1280 * 3 * 960);
  hc::DemosaicWork work;
  double t_bands = best_seconds(15, [&] {
    for (int y0 = 0; y0 < 960; y0 += 96)
      hc::demosaic_band(mosaic.data(), 1280, 1280, 960, y0, 96, rows.data() + 1280 * 3 * (959 - y0), -1280 * 3,
                        hc::PixelLayout::Bgr, work);
  });
  std::printf("1280x960: lossless decoding %.1f MP/s (%.2f ms), demosaicing %.1f MP/s (%.2f ms)\n", mp / t_unpack,
              t_unpack * 1e3, mp / t_bands, t_bands * 1e3);

  // The full decode as the driver runs it: checksums, sensor data, rows in
  // blocks to a callback. A transfer keeps one DecodeWork from picture to
  // picture; the first picture also pays for setting up its memory.
  hc::PictureFacts facts;
  facts.camera_type = hc::kCirra;
  std::vector<std::uint8_t> file;
  hc::write_hcr(big, facts, file);
  std::size_t sink_bytes = 0;
  auto sink = [&](const std::uint8_t* p, std::size_t n) { return sink_bytes += n + p[0], true; };
  for (auto order : {hc::RowOrder::BottomUpBgr, hc::RowOrder::TopDownReversed}) {
    hc::DecodeWork kept;
    std::vector<double> warm = times(15, [&] {
      hc::decode_hcr_rows(file.data(), file.size(), order, sink, hc::kMaxBlockBytes, {}, kept);
    });
    std::vector<double> cold = times(15, [&] {
      hc::DecodeWork fresh;
      hc::decode_hcr_rows(file.data(), file.size(), order, sink, hc::kMaxBlockBytes, {}, fresh);
    });
    std::printf("1280x960 full decode to rows (%s): %.1f MP/s best, %.1f median (%.2f ms); "
                "first picture with new memory %.1f MP/s median\n",
                order == hc::RowOrder::BottomUpBgr ? "bottom-up BGR" : "top-down reversed", mp / warm.front(),
                mp / warm[warm.size() / 2], warm[warm.size() / 2] * 1e3, mp / cold[cold.size() / 2]);
  }
  for (int q : {75, 90, 100}) {
    std::vector<std::uint8_t> jpeg;
    double t = best_seconds(15, [&] { hc::encode_jpeg(rgb, q, nullptr, jpeg); });
    std::printf("JPEG quality %d: encoding %.1f MP/s, %zu bytes\n", q, mp / t, jpeg.size());
  }
  if (argc > 2) {
    std::string dir = argv[2];
    hc::write_file(dir + "/cirra.ppm", hc::encode_ppm(big));
    hc::write_file(dir + "/cirra.HCR", file);
  }
  return 0;
}
