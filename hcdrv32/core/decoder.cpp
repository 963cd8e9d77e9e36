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

}  // namespace

Status verify_hcr(const std::uint8_t* data, std::size_t size) {
  HcrHeader h;
  return check_whole(data, size, h);
}

Status decode_hcr(const std::uint8_t* data, std::size_t size, RgbImage& img, const ProgressFn& progress) {
  HcrHeader h;
  Status s = check_whole(data, size, h);
  if (s != Status::Ok) return s;
  if (!report(progress, 5)) return Status::Stopped;
  try {
    std::vector<std::uint8_t> mosaic(static_cast<std::size_t>(h.width) * h.height);
    s = decompress_bayer(data + h.data_offset, h.data_size, h.width, h.height, mosaic.data(), h.width);
    if (s != Status::Ok) return s;
    if (!report(progress, 40)) return Status::Stopped;
    demosaic(mosaic.data(), h.width, h.width, h.height, img);
    if (!report(progress, 80)) return Status::Stopped;
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status deliver_rows(const RgbImage& img, RowOrder order, const RowBlockFn& sink, std::size_t max_block,
                    const ProgressFn& progress, int progress_from) {
  const std::size_t row_bytes = static_cast<std::size_t>(img.width) * 3;
  if (!sink || img.width <= 0 || img.height <= 0 || row_bytes > max_block) return Status::InvalidParameter;
  const int rows_per_block = static_cast<int>(std::min<std::size_t>(max_block / row_bytes, img.height));
  try {
    std::vector<std::uint8_t> block(row_bytes * rows_per_block);
    for (int done = 0; done < img.height;) {
      int rows = std::min(rows_per_block, img.height - done);
      for (int k = 0; k < rows; ++k) {
        std::uint8_t* dst = block.data() + row_bytes * k;
        int n = done + k;
        if (order == RowOrder::BottomUpBgr) {
          const std::uint8_t* src = img.row(img.height - 1 - n);
          for (int x = 0; x < img.width; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
          }
        } else {
          const std::uint8_t* src = img.row(n);
          std::reverse_copy(src, src + row_bytes, dst);
        }
      }
      done += rows;
      if (!sink(block.data(), row_bytes * rows)) return Status::Stopped;
      int percent = progress_from + static_cast<int>((100 - progress_from) * static_cast<long long>(done) / img.height);
      if (!report(progress, percent)) return Status::Stopped;
    }
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

Status decode_hcr_rows(const std::uint8_t* data, std::size_t size, RowOrder order, const RowBlockFn& sink,
                       const ProgressFn& progress) {
  RgbImage img;
  Status s = decode_hcr(data, size, img, progress);
  if (s != Status::Ok) return s;
  return deliver_rows(img, order, sink, kMaxBlockBytes, progress, 80);
}

}  // namespace hc
