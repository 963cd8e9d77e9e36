#pragma once
// The three camera models, their fixed properties, and the per-model detail
// records the driver hands to the program.
#include <cstddef>
#include <cstdint>

namespace hc {

enum CameraType : std::int32_t { kAvena = 100, kBelva = 101, kCirra = 104 };

struct ModelInfo {
  std::int32_t type;
  const char* name;          // "Avena", ...
  std::int32_t width;        // the camera's own picture size
  std::int32_t height;
  std::int32_t thumb_width;  // every picture of the model carries a thumbnail of this size
  std::int32_t thumb_height;
  // Longest picture name the model keeps. The Belva's names get ".HCR"
  // appended in a 15-character slot, hence 11.
  std::int32_t max_name_length;
  const char* default_name;
};

// Null for a type that is not one of the three.
const ModelInfo* find_model(std::int32_t type);
const ModelInfo* find_model_by_name(const char* name);  // case-insensitive

inline constexpr const char* kMakerName = "Tellan Halcyra Company";
inline constexpr int kMaxZoomPosition = 7;

// Focal length in millimetres for a zoom position, or 0 when the model has no
// zoom or the position has no table entry (the Belva's position 7).
int focal_length_mm(std::int32_t type, std::int32_t zoom_position);

// Brightness travels as an int16 holding the value plus this offset.
inline constexpr int kBrightnessOffset = 1005;

// Detail records, one layout per model. Plain C layout with fixed-size fields
// and no pointer, so the driver library can export them unchanged in 32- and
// 64-bit builds; the program reads fields at fixed offsets. Flash holds 0 or 1,
// the F-number is times ten, the brightness carries kBrightnessOffset, names
// are zero-terminated.
struct AvenaDetails {
  std::int32_t exposure_us;  // +0
  std::int32_t flash;        // +4
  std::int16_t fnumber_x10;  // +8
  std::int16_t reserved10;
  char picture_name[16];  // +12
};

struct BelvaDetails {
  std::int32_t reserved0;
  std::int32_t flash;  // +4
  std::int32_t reserved8;
  std::int32_t reserved12;
  std::int32_t zoom_position;  // +16
  std::int32_t reserved20;
  std::int32_t exposure_us;  // +24
  std::int16_t fnumber_x10;  // +28
  std::int16_t reserved30;
  std::int32_t reserved32[4];
  std::int32_t subject_distance_mm;  // +48
  std::int16_t brightness;           // +52
  std::int16_t reserved54;
  std::int16_t reserved56;
  char picture_name[16];  // +58
  std::int16_t reserved74;
};

struct CirraDetails {
  std::int32_t reserved0;
  std::int32_t flash;  // +4
  std::int32_t reserved8;
  std::int32_t reserved12;
  std::int32_t zoom_position;  // +16
  std::int32_t reserved20;
  std::int32_t exposure_us;  // +24
  std::int16_t fnumber_x10;  // +28
  std::int16_t reserved30;
  std::int32_t reserved32[3];
  std::int32_t subject_distance_mm;  // +44
  std::int16_t brightness;           // +48
  std::int16_t reserved50;
  char picture_name[16];  // +52
};

// One buffer that can take the details of any model (the program keeps a
// single buffer for pictures of mixed models).
union ModelDetails {
  AvenaDetails avena;
  BelvaDetails belva;
  CirraDetails cirra;
  std::uint8_t bytes[76];
};

static_assert(sizeof(AvenaDetails) == 28 && offsetof(AvenaDetails, fnumber_x10) == 8 &&
              offsetof(AvenaDetails, flash) == 4);
static_assert(sizeof(BelvaDetails) == 76 && offsetof(BelvaDetails, zoom_position) == 16 &&
              offsetof(BelvaDetails, exposure_us) == 24 && offsetof(BelvaDetails, fnumber_x10) == 28 &&
              offsetof(BelvaDetails, subject_distance_mm) == 48 && offsetof(BelvaDetails, brightness) == 52 &&
              offsetof(BelvaDetails, picture_name) == 58);
static_assert(sizeof(CirraDetails) == 68 && offsetof(CirraDetails, zoom_position) == 16 &&
              offsetof(CirraDetails, exposure_us) == 24 && offsetof(CirraDetails, fnumber_x10) == 28 &&
              offsetof(CirraDetails, subject_distance_mm) == 44 && offsetof(CirraDetails, brightness) == 48);
static_assert(sizeof(ModelDetails) == 76);

}  // namespace hc
