#pragma once
// Writing, describing and decoding .HCR raw picture files.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/image.h"
#include "core/model.h"
#include "core/status.h"

namespace hc {

struct CaptureDate {
  std::int16_t second = 0;
  std::int16_t minute = 0;
  std::int16_t hour = 0;
  std::int16_t day = 1;
  std::int16_t month = 0;  // from 0
  std::int16_t year = 100;  // years since 1900
};

// Everything a picture file says about its picture, besides pixels.
struct PictureFacts {
  std::int32_t camera_type = kCirra;
  CaptureDate date;
  std::string name;  // empty: the model's default name
  std::uint32_t exposure_us = 16667;
  std::int16_t fnumber_x10 = 28;
  bool flash = false;
  std::int16_t brightness = 0;  // the value itself; files and details carry it plus kBrightnessOffset
  std::uint32_t subject_distance_mm = 2000;
  std::int32_t zoom_position = 0;  // 0..7
};

// Header of a file, checked for consistency.
struct HcrHeader {
  PictureFacts facts;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t thumb_width = 0;
  std::int32_t thumb_height = 0;
  std::uint32_t thumb_offset = 0;
  std::uint32_t thumb_size = 0;
  std::uint32_t data_offset = 0;
  std::uint32_t data_size = 0;
  std::uint32_t thumb_crc = 0;
  std::uint32_t file_size = 0;  // data_offset + data_size + trailer
};

// What the driver reports about a picture.
struct PictureInfo {
  std::int16_t thumb_width = 0;
  std::int16_t thumb_height = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t native_size = 0;  // bytes of the file
  std::uint32_t input_size = 0;   // bytes the decoder needs as input (the whole file)
  std::uint32_t output_size = 0;  // width x height x 3
  CaptureDate date;
};

// The file for img (width and height even, 2..8192). Checks facts: a known
// model, a valid date, a name of printable characters that cannot act as a
// path (no \ / : * ? " < > |) within the model's length, zoom 0..7, flash,
// exposure and F-number positive. InvalidParameter when they do not hold,
// OutOfMemory when allocation fails.
Status write_hcr(const RgbImage& img, const PictureFacts& facts, std::vector<std::uint8_t>& file);

// Name rules shared by the writer and the reader; empty when valid, else why not.
std::string check_picture_name(std::int32_t camera_type, const std::string& name);

// Reads and checks the header from the first bytes of a file (size may be a
// prefix of the file, at least the header). ImageProcessing for anything
// malformed, UnknownCameraType for a well-formed header of an unknown model.
Status read_hcr_header(const std::uint8_t* data, std::size_t size, HcrHeader& header);

Status get_camera_type(const std::uint8_t* data, std::size_t size, std::int32_t& type);

// Describes the picture from a prefix of its file. With thumbnail not null,
// copies the thumbnail (thumb_width x thumb_height, bottom row first,
// blue-green-red, thumb_width * thumb_height * 3 bytes, at most capacity) and
// needs the prefix to hold it. details may be null.
Status get_picture_info(const std::uint8_t* data, std::size_t size, PictureInfo& info, ModelDetails* details,
                        std::uint8_t* thumbnail = nullptr, std::size_t capacity = 0);

void fill_details(const HcrHeader& header, ModelDetails& details);

// How decoded rows are delivered. BottomUpBgr: the bottom row first, pixels
// left to right, each blue, green, red. TopDownReversed: the top row first,
// each row the byte-reversal of its red-green-blue row (so pixels run right to
// left, each blue, green, red); reversing a row's bytes gives it left to right
// in red, green, blue. Both carry the same pixels.
enum class RowOrder { BottomUpBgr, TopDownReversed };

// Return false to stop; the call then ends with Status::Stopped.
using ProgressFn = std::function<bool(int percent)>;
using RowBlockFn = std::function<bool(const std::uint8_t* block, std::size_t bytes)>;

inline constexpr std::size_t kMaxBlockBytes = 65535;

// Checks the whole file: header, sizes, thumbnail and file checksums.
Status verify_hcr(const std::uint8_t* data, std::size_t size);

// Checks the whole file and decodes it to top-down RGB.
Status decode_hcr(const std::uint8_t* data, std::size_t size, RgbImage& img, const ProgressFn& progress = {});

// Memory of row decoding (the sensor samples, the demosaicing planes, a band
// of finished rows), kept between calls so that a run of pictures of one size
// allocates it once. One decode at a time per object.
class DecodeWork {
 public:
  DecodeWork();
  ~DecodeWork();
  DecodeWork(DecodeWork&&) noexcept;
  DecodeWork& operator=(DecodeWork&&) noexcept;
  struct Parts;
  Parts& parts();

 private:
  std::unique_ptr<Parts> parts_;
};

// Checks the whole file, decodes it and hands the rows to sink in the given
// order, in blocks of whole rows of at most max_block bytes (InvalidParameter
// when one row does not fit), without holding the whole picture. Progress:
// 5 once the file is checked, 40 once the sensor data is decoded, then up to
// 100 as rows go out.
Status decode_hcr_rows(const std::uint8_t* data, std::size_t size, RowOrder order, const RowBlockFn& sink,
                       std::size_t max_block, const ProgressFn& progress, DecodeWork& work);

// The same with memory of its own and blocks of at most kMaxBlockBytes.
Status decode_hcr_rows(const std::uint8_t* data, std::size_t size, RowOrder order, const RowBlockFn& sink,
                       const ProgressFn& progress = {});

}  // namespace hc
