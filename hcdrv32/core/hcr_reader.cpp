#include <cstring>

#include "core/bytes.h"
#include "core/crc32.h"
#include "core/hcr.h"
#include "core/hcr_format.h"
#include "core/hcr_internal.h"

namespace hc {

Status read_hcr_header(const std::uint8_t* data, std::size_t size, HcrHeader& out) {
  using namespace hcr;
  if (!data || size < kHeaderSize) return Status::ImageProcessing;
  const std::uint8_t* h = data;
  if (std::memcmp(h + kOffMagic, kMagic, 4) != 0) return Status::ImageProcessing;
  if (get_u32(h + kOffHeaderCrc) != crc32(h, kOffHeaderCrc)) return Status::ImageProcessing;
  if (get_u16(h + kOffVersion) != kVersion || get_u16(h + kOffHeaderSize) != kHeaderSize)
    return Status::ImageProcessing;

  HcrHeader r;
  PictureFacts& f = r.facts;
  f.camera_type = static_cast<std::int32_t>(get_u32(h + kOffCameraType));
  const ModelInfo* model = find_model(f.camera_type);
  if (!model) return Status::UnknownCameraType;

  std::uint32_t w = get_u32(h + kOffWidth), ht = get_u32(h + kOffHeight);
  if (w < 2 || ht < 2 || w > kMaxSide || ht > kMaxSide || (w & 1) || (ht & 1)) return Status::ImageProcessing;
  r.width = static_cast<std::int32_t>(w);
  r.height = static_cast<std::int32_t>(ht);

  std::int16_t d[6];
  for (int i = 0; i < 6; ++i) d[i] = get_i16(h + kOffDate + 2 * i);
  f.date = CaptureDate{d[0], d[1], d[2], d[3], d[4], d[5]};

  const char* name = reinterpret_cast<const char*>(h + kOffName);
  std::size_t len = 0;
  while (len < kNameField && name[len]) ++len;
  if (len == kNameField) return Status::ImageProcessing;  // no terminator
  for (std::size_t i = len; i < kNameField; ++i)
    if (name[i]) return Status::ImageProcessing;
  f.name.assign(name, len);

  f.exposure_us = get_u32(h + kOffExposure);
  f.fnumber_x10 = get_i16(h + kOffFNumber);
  f.brightness = static_cast<std::int16_t>(get_i16(h + kOffBrightness) - kBrightnessOffset);
  std::uint32_t flash = get_u32(h + kOffFlash);
  if (flash > 1) return Status::ImageProcessing;
  f.flash = flash == 1;
  f.subject_distance_mm = get_u32(h + kOffDistance);
  std::uint32_t zoom = get_u32(h + kOffZoom);
  if (zoom > static_cast<std::uint32_t>(kMaxZoomPosition)) return Status::ImageProcessing;
  f.zoom_position = static_cast<std::int32_t>(zoom);
  if (!detail::valid_facts(f)) return Status::ImageProcessing;

  r.thumb_width = get_u16(h + kOffThumbWidth);
  r.thumb_height = get_u16(h + kOffThumbHeight);
  if (r.thumb_width != model->thumb_width || r.thumb_height != model->thumb_height) return Status::ImageProcessing;
  r.thumb_offset = get_u32(h + kOffThumbOffset);
  r.thumb_size = get_u32(h + kOffThumbSize);
  r.data_offset = get_u32(h + kOffDataOffset);
  r.data_size = get_u32(h + kOffDataSize);
  r.thumb_crc = get_u32(h + kOffThumbCrc);
  if (r.thumb_offset != kHeaderSize || r.thumb_size != static_cast<std::uint32_t>(r.thumb_width * r.thumb_height * 3) ||
      r.data_offset != r.thumb_offset + r.thumb_size)
    return Status::ImageProcessing;
  if (get_u32(h + kOffCoding) != kCodingPredictiveRice) return Status::ImageProcessing;
  // The coder spends 1 to 33 bits on a sample; data outside those bounds is
  // not ours (and a lower bound keeps hostile tiny files from costing a full
  // decode of a huge picture).
  const std::uint64_t samples = static_cast<std::uint64_t>(w) * ht;
  if (r.data_size < samples / 8 || r.data_size > (samples * 33 + 7) / 8) return Status::ImageProcessing;
  std::uint64_t file_size = static_cast<std::uint64_t>(r.data_offset) + r.data_size + kTrailerSize;
  if (file_size > 0x7FFFFFFFu) return Status::ImageProcessing;
  r.file_size = static_cast<std::uint32_t>(file_size);
  out = std::move(r);
  return Status::Ok;
}

Status get_camera_type(const std::uint8_t* data, std::size_t size, std::int32_t& type) {
  HcrHeader h;
  Status s = read_hcr_header(data, size, h);
  if (s == Status::Ok) type = h.facts.camera_type;
  return s;
}

void fill_details(const HcrHeader& h, ModelDetails& d) {
  std::memset(&d, 0, sizeof d);
  const PictureFacts& f = h.facts;
  auto exposure = static_cast<std::int32_t>(f.exposure_us);
  auto brightness = static_cast<std::int16_t>(f.brightness + kBrightnessOffset);
  auto distance = static_cast<std::int32_t>(f.subject_distance_mm);
  switch (f.camera_type) {
    case kAvena:
      d.avena.exposure_us = exposure;
      d.avena.flash = f.flash;
      d.avena.fnumber_x10 = f.fnumber_x10;
      std::memcpy(d.avena.picture_name, f.name.data(), f.name.size());
      break;
    case kBelva:
    case kCirra: {
      // The two zoom models carry the same fields in records of their own.
      auto fill = [&](auto& z) {
        z.flash = f.flash;
        z.zoom_position = f.zoom_position;
        z.exposure_us = exposure;
        z.fnumber_x10 = f.fnumber_x10;
        z.subject_distance_mm = distance;
        z.brightness = brightness;
        std::memcpy(z.picture_name, f.name.data(), f.name.size());
      };
      if (f.camera_type == kBelva)
        fill(d.belva);
      else
        fill(d.cirra);
      break;
    }
    default:
      break;
  }
}

Status get_picture_info(const std::uint8_t* data, std::size_t size, PictureInfo& info, ModelDetails* details,
                        std::uint8_t* thumbnail, std::size_t capacity) {
  HcrHeader h;
  Status s = read_hcr_header(data, size, h);
  if (s != Status::Ok) return s;
  if (thumbnail) {
    if (capacity < h.thumb_size) return Status::InvalidParameter;
    if (size < static_cast<std::size_t>(h.thumb_offset) + h.thumb_size) return Status::ImageProcessing;
    if (crc32(data + h.thumb_offset, h.thumb_size) != h.thumb_crc) return Status::ImageProcessing;
    std::memcpy(thumbnail, data + h.thumb_offset, h.thumb_size);
  }
  info = PictureInfo{};
  info.thumb_width = static_cast<std::int16_t>(h.thumb_width);
  info.thumb_height = static_cast<std::int16_t>(h.thumb_height);
  info.width = h.width;
  info.height = h.height;
  info.native_size = h.file_size;
  info.input_size = h.file_size;
  info.output_size = static_cast<std::uint32_t>(h.width) * static_cast<std::uint32_t>(h.height) * 3;
  info.date = h.facts.date;
  if (details) fill_details(h, *details);
  return Status::Ok;
}

}  // namespace hc
