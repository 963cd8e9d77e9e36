#pragma once
// Reconstructs full colour from GRBG sensor data.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/image.h"

namespace hc {

// mosaic: width x height samples, rows stride bytes apart; width and height
// even and at least 2. out receives a width x height picture. Throws std::bad_alloc.
void demosaic(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, RgbImage& out);

// Byte order of each output pixel; BgrMirrored also runs each row right to left.
enum class PixelLayout { Rgb, Bgr, BgrMirrored };

// Scratch memory of the demosaicing, kept between calls so that a run of
// pictures of one width allocates it once. One call at a time per object.
class DemosaicWork {
 public:
  DemosaicWork();
  ~DemosaicWork();
  DemosaicWork(DemosaicWork&&) noexcept;
  DemosaicWork& operator=(DemosaicWork&&) noexcept;
  struct Planes;

 private:
  friend void demosaic_band(const std::uint8_t*, std::ptrdiff_t, int, int, int, int, std::uint8_t*, std::ptrdiff_t,
                            PixelLayout, DemosaicWork&);
  std::unique_ptr<Planes> planes_;
};

// Picture rows [y0, y0 + count) only: row y goes to dst + (y - y0) * row_step
// (row_step may be negative), width * 3 bytes in the given layout. The
// samples of the whole picture must be readable, because the filters look a
// few rows beyond the band. Throws std::bad_alloc.
void demosaic_band(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, int y0, int count,
                   std::uint8_t* dst, std::ptrdiff_t row_step, PixelLayout layout, DemosaicWork& work);

// As demosaic, but picture row y goes to first_row + y * row_step (row_step may
// be negative), width * 3 bytes in the given layout. Throws std::bad_alloc.
void demosaic_rows(const std::uint8_t* mosaic, std::ptrdiff_t stride, int width, int height, std::uint8_t* first_row,
                   std::ptrdiff_t row_step, PixelLayout layout);

}  // namespace hc
