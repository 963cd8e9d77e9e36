#pragma once
#include <cstdint>
#include <vector>

namespace hc {

// 24-bit picture, top row first, each pixel red, green, blue, rows not padded.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  RgbImage() = default;
  RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3) {}
  std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width * 3; }
  const std::uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width * 3; }
};

// Colour of a sensor site in the GRBG pattern: green where x and y have the
// same parity, red on even rows, blue on odd rows.
enum class BayerColour { Red, Green, Blue };
inline BayerColour bayer_colour(int x, int y) {
  if (((x ^ y) & 1) == 0) return BayerColour::Green;
  return (y & 1) == 0 ? BayerColour::Red : BayerColour::Blue;
}

// One sample per site, 8 bits, width bytes per row.
std::vector<std::uint8_t> make_mosaic(const RgbImage& img);

}  // namespace hc
