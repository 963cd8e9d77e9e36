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

// Checks the file and decodes its sensor data into mosaic, reporting 5 and 40.
Status unpack(const std::uint8_t* data, std::size_t size, HcrHeader& h, std::vector<std::uint8_t>& mosaic,
              const ProgressFn& progress) {
  Status s = check_whole(data, size, h);
  if (s != Status::Ok) return s;
  if (!report(progress, 5)) return Status::Stopped;
  mosaic.resize(static_cast<std::size_t>(h.width) * h.height);
  s = decompress_bayer(data + h.data_offset, h.data_size, h.width, h.height, mosaic.data(), h.width);
  if (s != Status::Ok) return s;
  if (!report(progress, 40)) return Status::Stopped;
  return Status::Ok;
}

// Hands rows already in their delivered order to sink, blocks of whole rows.
Status send_blocks(const std::uint8_t* rows, std::size_t row_bytes, int height, const RowBlockFn& sink,
                   std::size_t max_block, const ProgressFn& progress, int progress_from) {
  const int rows_per_block = static_cast<int>(std::min<std::size_t>(max_block / row_bytes, height));
  for (int done = 0; done < height;) {
    int n = std::min(rows_per_block, height - done);
    if (!sink(rows + row_bytes * done, row_bytes * n)) return Status::Stopped;
    done += n;
    int percent = progress_from + static_cast<int>((100 - progress_from) * static_cast<long long>(done) / height);
    if (!report(progress, percent)) return Status::Stopped;
  }
  return Status::Ok;
}

}  // namespace

Status verify_hcr(const std::uint8_t* data, std::size_t size) {
  HcrHeader h;
  return check_whole(data, size, h);
}

Status decode_hcr(const std::uint8_t* data, std::size_t size, RgbImage& img, const ProgressFn& progress) {
  try {
    HcrHeader h;
    std::vector<std::uint8_t> mosaic;
    Status s = unpack(data, size, h, mosaic, progress);
    if (s != Status::Ok) return s;
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
  try {
    HcrHeader h;
    std::vector<std::uint8_t> mosaic;
    Status s = unpack(data, size, h, mosaic, progress);
    if (s != Status::Ok) return s;
    // The demosaicing writes each row straight to its delivered place and
    // byte order, so no second pass over the picture is needed.
    const int width = static_cast<int>(h.width), height = static_cast<int>(h.height);
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> rows(row_bytes * height);
    if (order == RowOrder::BottomUpBgr)
      demosaic_rows(mosaic.data(), width, width, height, rows.data() + row_bytes * (height - 1),
                    -static_cast<std::ptrdiff_t>(row_bytes), PixelLayout::Bgr);
    else
      demosaic_rows(mosaic.data(), width, width, height, rows.data(), static_cast<std::ptrdiff_t>(row_bytes),
                    PixelLayout::BgrMirrored);
    if (!report(progress, 80)) return Status::Stopped;
    if (!sink || row_bytes > kMaxBlockBytes) return Status::InvalidParameter;
    return send_blocks(rows.data(), row_bytes, height, sink, kMaxBlockBytes, progress, 80);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory;
  }
}

}  // namespace hc
