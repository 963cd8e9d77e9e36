#include <cstring>
#include <new>

#include "core/bayer_codec.h"
#include "core/bytes.h"
#include "core/crc32.h"
#include "core/hcr.h"
#include "core/hcr_format.h"
#include "core/hcr_internal.h"
#include "core/resample.h"

namespace hc {

std::string check_picture_name(std::int32_t camera_type, const std::string& name) {
  const ModelInfo* m = find_model(camera_type);
  if (!m) return "unknown camera model";
  if (name.empty()) return "empty picture name";
  if (name.size() > static_cast<std::size_t>(m->max_name_length))
    return "picture name longer than " + std::to_string(m->max_name_length) + " characters";
  for (char ch : name) {
    auto c = static_cast<unsigned char>(ch);
    // Names become file names on the computer; nothing that could leave the
    // destination folder or fail to open there.
    if (c < 0x20 || c > 0x7E || std::strchr("\\/:*?\"<>|", ch)) return "picture name holds a character not allowed";
  }
  return {};
}

namespace detail {

bool valid_date(const CaptureDate& d) {
  static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.second < 0 || d.second > 59 || d.minute < 0 || d.minute > 59 || d.hour < 0 || d.hour > 23) return false;
  if (d.month < 0 || d.month > 11 || d.year < 70 || d.year > 199) return false;
  int year = 1900 + d.year;
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int days = kDays[d.month] - (d.month == 1 && !leap ? 1 : 0);
  return d.day >= 1 && d.day <= days;
}

bool valid_facts(const PictureFacts& f) {
  return find_model(f.camera_type) && valid_date(f.date) && check_picture_name(f.camera_type, f.name).empty() &&
         f.zoom_position >= 0 && f.zoom_position <= kMaxZoomPosition && f.exposure_us > 0 &&
         f.exposure_us <= 0x7FFFFFFFu && f.fnumber_x10 > 0 && f.subject_distance_mm <= 0x7FFFFFFFu &&
         f.brightness <= 32767 - kBrightnessOffset;
}

}  // namespace detail

Status write_hcr(const RgbImage& img, const PictureFacts& in, std::vector<std::uint8_t>& file) {
  PictureFacts f = in;
  const ModelInfo* model = find_model(f.camera_type);
  if (!model) return Status::InvalidParameter;
  if (f.name.empty()) f.name = model->default_name;
  if (!detail::valid_facts(f)) return Status::InvalidParameter;
  if (img.width < 2 || img.height < 2 || (img.width & 1) || (img.height & 1) ||
      img.width > static_cast<int>(hcr::kMaxSide) || img.height > static_cast<int>(hcr::kMaxSide) ||
      img.pixels.size() != static_cast<std::size_t>(img.width) * img.height * 3)
    return Status::InvalidParameter;
  try {
    RgbImage thumb = resize_area(img, model->thumb_width, model->thumb_height);
    std::vector<std::uint8_t> mosaic = make_mosaic(img);
    std::vector<std::uint8_t> data = compress_bayer(mosaic.data(), img.width, img.height);

    const std::uint32_t thumb_size = static_cast<std::uint32_t>(thumb.pixels.size());
    const std::uint32_t data_offset = hcr::kHeaderSize + thumb_size;
    file.assign(data_offset + data.size() + hcr::kTrailerSize, 0);
    std::uint8_t* h = file.data();
    std::memcpy(h + hcr::kOffMagic, hcr::kMagic, 4);
    put_u16(h + hcr::kOffVersion, hcr::kVersion);
    put_u16(h + hcr::kOffHeaderSize, hcr::kHeaderSize);
    put_u32(h + hcr::kOffCameraType, static_cast<std::uint32_t>(f.camera_type));
    put_u32(h + hcr::kOffWidth, static_cast<std::uint32_t>(img.width));
    put_u32(h + hcr::kOffHeight, static_cast<std::uint32_t>(img.height));
    const std::int16_t date[6] = {f.date.second, f.date.minute, f.date.hour, f.date.day, f.date.month, f.date.year};
    for (int i = 0; i < 6; ++i) put_i16(h + hcr::kOffDate + 2 * i, date[i]);
    std::memcpy(h + hcr::kOffName, f.name.data(), f.name.size());
    put_u32(h + hcr::kOffExposure, f.exposure_us);
    put_i16(h + hcr::kOffFNumber, f.fnumber_x10);
    put_i16(h + hcr::kOffBrightness, static_cast<std::int16_t>(f.brightness + kBrightnessOffset));
    put_u32(h + hcr::kOffFlash, f.flash ? 1 : 0);
    put_u32(h + hcr::kOffDistance, f.subject_distance_mm);
    put_u32(h + hcr::kOffZoom, static_cast<std::uint32_t>(f.zoom_position));
    put_u16(h + hcr::kOffThumbWidth, static_cast<std::uint16_t>(thumb.width));
    put_u16(h + hcr::kOffThumbHeight, static_cast<std::uint16_t>(thumb.height));
    put_u32(h + hcr::kOffThumbOffset, hcr::kHeaderSize);
    put_u32(h + hcr::kOffThumbSize, thumb_size);
    put_u32(h + hcr::kOffDataOffset, data_offset);
    put_u32(h + hcr::kOffDataSize, static_cast<std::uint32_t>(data.size()));
    put_u32(h + hcr::kOffCoding, hcr::kCodingPredictiveRice);

    // The thumbnail is stored as the program's thumbnail view draws it.
    std::uint8_t* t = h + hcr::kHeaderSize;
    for (int y = 0; y < thumb.height; ++y) {
      const std::uint8_t* src = thumb.row(thumb.height - 1 - y);
      for (int x = 0; x < thumb.width; ++x, t += 3) {
        t[0] = src[3 * x + 2];
        t[1] = src[3 * x + 1];
        t[2] = src[3 * x];
      }
    }
    put_u32(h + hcr::kOffThumbCrc, crc32(h + hcr::kHeaderSize, thumb_size));
    put_u32(h + hcr::kOffHeaderCrc, crc32(h, hcr::kOffHeaderCrc));
    std::memcpy(h + data_offset, data.data(), data.size());
    const std::size_t end = data_offset + data.size();
    put_u32(h + end, crc32(h, end));
    return Status::Ok;
  } catch (const std::bad_alloc&) {
    file.clear();
    return Status::OutOfMemory;
  }
}

}  // namespace hc
