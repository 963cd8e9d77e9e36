#include "core/resample.h"

#include <vector>

namespace hc {
namespace {

struct Tap {
  int first;
  std::vector<float> weights;
};

// For each output index, the input indices it covers and their shares.
std::vector<Tap> taps(int in, int out) {
  std::vector<Tap> t(out);
  double scale = static_cast<double>(in) / out;
  for (int o = 0; o < out; ++o) {
    double a = o * scale, b = (o + 1) * scale;
    int first = static_cast<int>(a);
    int last = static_cast<int>(b);
    if (last >= in) last = in - 1;
    if (last < first) last = first;
    t[o].first = first;
    double total = 0;
    for (int i = first; i <= last; ++i) {
      double lo = i > a ? i : a, hi = i + 1 < b ? i + 1 : b;
      double w = hi > lo ? hi - lo : 0;
      t[o].weights.push_back(static_cast<float>(w));
      total += w;
    }
    if (total <= 0) {
      t[o].weights.assign(1, 1.0f);
      total = 1;
    }
    for (float& w : t[o].weights) w = static_cast<float>(w / total);
  }
  return t;
}

}  // namespace

RgbImage resize_area(const RgbImage& src, int width, int height) {
  auto tx = taps(src.width, width);
  auto ty = taps(src.height, height);
  // Columns first into a float buffer of height src.height.
  std::vector<float> mid(static_cast<std::size_t>(width) * src.height * 3);
  for (int y = 0; y < src.height; ++y) {
    const std::uint8_t* s = src.row(y);
    float* d = &mid[static_cast<std::size_t>(y) * width * 3];
    for (int x = 0; x < width; ++x) {
      float acc[3] = {0, 0, 0};
      const Tap& t = tx[x];
      for (std::size_t k = 0; k < t.weights.size(); ++k) {
        const std::uint8_t* p = s + 3 * (t.first + static_cast<int>(k));
        for (int c = 0; c < 3; ++c) acc[c] += t.weights[k] * p[c];
      }
      for (int c = 0; c < 3; ++c) d[3 * x + c] = acc[c];
    }
  }
  RgbImage out(width, height);
  std::vector<float> acc(static_cast<std::size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    std::fill(acc.begin(), acc.end(), 0.0f);
    const Tap& t = ty[y];
    for (std::size_t k = 0; k < t.weights.size(); ++k) {
      const float* s = &mid[static_cast<std::size_t>(t.first + static_cast<int>(k)) * width * 3];
      for (std::size_t i = 0; i < acc.size(); ++i) acc[i] += t.weights[k] * s[i];
    }
    std::uint8_t* d = out.row(y);
    for (std::size_t i = 0; i < acc.size(); ++i) {
      float v = acc[i] + 0.5f;
      d[i] = static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
  }
  return out;
}

}  // namespace hc
