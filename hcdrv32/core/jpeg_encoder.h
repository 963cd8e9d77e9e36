#pragma once
// Baseline JPEG encoder (8-bit, Huffman, the standard tables scaled by quality).
#include <cstdint>
#include <string>
#include <vector>

#include "core/hcr.h"
#include "core/image.h"
#include "core/status.h"

namespace hc {

enum class ChromaSampling { Half /* 4:2:0 */, Full /* 4:4:4 */ };

// Exif fields written into an APP1 segment. Zero or empty leaves a field out.
struct ExifFacts {
  std::string make;
  std::string model;
  bool has_date = false;
  CaptureDate date;
  std::uint32_t exposure_us = 0;
  std::int32_t fnumber_x10 = 0;
  bool has_flash = false;
  bool flash_fired = false;
  std::int32_t focal_length_mm = 0;
  std::uint32_t subject_distance_mm = 0;
};

// The driver's quality index: 0 is quality 100, 1 is 90, 2 is 75.
int jpeg_quality_from_index(int index);
int jpeg_quality_index(int quality);  // 75 -> 2, 90 -> 1, anything else -> 0

// quality 1..100 (the common scaling of the standard tables). exif may be null.
Status encode_jpeg(const RgbImage& img, int quality, const ExifFacts* exif, std::vector<std::uint8_t>& out,
                   ChromaSampling sampling = ChromaSampling::Half);

ExifFacts exif_from_facts(const PictureFacts& facts);

// Decodes an .HCR file and encodes it at a quality index (0..2) with its Exif data.
Status hcr_to_jpeg(const std::uint8_t* data, std::size_t size, int quality_index, std::vector<std::uint8_t>& out,
                   const ProgressFn& progress = {});

}  // namespace hc
