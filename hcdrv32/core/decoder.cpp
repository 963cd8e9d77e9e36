#include <algorithm>
#include <new>

#include "core/bayer_codec.h"
#include "core/crc32.h"
#include "core/demosaic.h"
#include "core/hcr.h"
#include "core/hcr_format.h"
#include "core/bytes.h"

namespace hc {
namespace {

bool report(const ProgressFn& progress, int percent) { return !progress || progress(percent); }

Status check_whole(const std::uint8_t* data, std::size_t size, HcrHeader& h) {
  Status s = read_hcr_header(data, size, h);
  if (s != Status::Ok) return s;
  if (size < h.file_size) return Status::ImageProcessing;
  const std::size_t end = h.file_size - hcr::kTrailerSize;
  if (crc32(data, end) != get_u32(data + end)) return Status::ImageProcessing;
  // The file checksum covers the thumbnail too, but a writer that got only
  // that one right still made a broken file.
  if (crc32(data + h.thumb_offset, h.thumb_size) != h.thumb_crc) return Status::ImageProcessing;
  return Status::Ok;
}

// Checks the file and decodes its sensor data into frame, reporting 5 and 40.
Status unpack(const std::uint8_t* data, std::size_t size, HcrHeader& h, BayerFrame& frame, const ProgressFn& progress) {
  Status s = check_whole(data, size, h);
  if (s != Status::Ok) return s;
  if (!report(progress, 5)) return Status::Stopped;
  s = decompress_bayer(data + h.data_offset, h.data_size, h.width, h.height, frame);
  if (s != Status::Ok) return s;
  if (!report(progress, 40)) return Status::Stopped;
  return Status::Ok;
}

// Rows are made and sent in bands of about this many: a whole number of
// blocks, tall enough that the demosaicing's overlap between bands stays small.
constexpr int kBandRows = 96;

}  // namespace

struct DecodeWork::Parts {
  BayerFrame frame;
  DemosaicWork demosaic;
  std::vector<std::uint8_t> band;
};

DecodeWork::DecodeWork() : parts_(std::make_unique<Parts>()) {}
DecodeWork::~DecodeWork() = default;
DecodeWork::DecodeWork(DecodeWork&&) noexcept = default;
DecodeWork& DecodeWork::operator=(DecodeWork&&) noexcept = default;
DecodeWork::Parts& DecodeWork::parts() {
  if (!parts_) parts_ = std::make_unique<Parts>();  // after a move
  return *parts_;
}

Status verify_hcr(const std::uint8_t* data, std::size_t size) {
  HcrHeader h;
  return check_whole(data, size, h);
}

Status decode_hcr(const std::uint8_t* data, std::size_t size, RgbImage& img, const ProgressFn& progress) {
  try {
    HcrHeader h;
    BayerFrame frame;
    Status s = unpack(data, size, h, frame, progress);
    if (s != Status::Ok) return s;
    demosaic(frame.samples, frame.stride, h.width, h.height, img);
    if (!report(progress, 80)) return Status::Stopped;
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status decode_hcr_rows(const std::uint8_t* data, std::size_t size, RowOrder order, const RowBlockFn& sink,
                       std::size_t max_block, const ProgressFn& progress, DecodeWork& work) {
  try {
    HcrHeader h;
    Status s = read_hcr_header(data, size, h);
    if (s != Status::Ok) return s;
    const int width = static_cast<int>(h.width), height = static_cast<int>(h.height);
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
    if (!sink || row_bytes > max_block) return Status::InvalidParameter;
    DecodeWork::Parts& w = work.parts();
    s = unpack(data, size, h, w.frame, progress);
    if (s != Status::Ok) return s;

    // The picture is demosaiced a band at a time, in delivered order, each
    // row straight into its place and byte order, and sent before the next.
    const int block_rows = static_cast<int>(std::min<std::size_t>(max_block / row_bytes, height));
    const int band_rows = block_rows * std::max(1, kBandRows / block_rows);
    w.band.resize(row_bytes * band_rows);
    const bool bottom_up = order == RowOrder::BottomUpBgr;
    for (int done = 0; done < height;) {
      const int n = std::min(band_rows, height - done);
      if (bottom_up)  // delivered rows [done, done + n) are picture rows height - done - 1 down to height - done - n
        demosaic_band(w.frame.samples, w.frame.stride, width, height, height - done - n, n,
                      w.band.data() + row_bytes * (n - 1), -static_cast<std::ptrdiff_t>(row_bytes), PixelLayout::Bgr,
                      w.demosaic);
      else
        demosaic_band(w.frame.samples, w.frame.stride, width, height, done, n, w.band.data(),
                      static_cast<std::ptrdiff_t>(row_bytes), PixelLayout::BgrMirrored, w.demosaic);
      for (int sent = 0; sent < n;) {
        const int rows = std::min(block_rows, n - sent);
        if (!sink(w.band.data() + row_bytes * sent, row_bytes * rows)) return Status::Stopped;
        sent += rows;
        const int percent = 40 + static_cast<int>(60LL * (done + sent) / height);
        if (!report(progress, percent)) return Status::Stopped;
      }
      done += n;
    }
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status decode_hcr_rows(const std::uint8_t* data, std::size_t size, RowOrder order, const RowBlockFn& sink,
                       const ProgressFn& progress) {
  try {
    DecodeWork work;
    return decode_hcr_rows(data, size, order, sink, kMaxBlockBytes, progress, work);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace hc
