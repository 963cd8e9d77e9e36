#include "core/model.h"

#include <cctype>

namespace hc {
namespace {

const ModelInfo kModels[] = {
    {kAvena, "Avena", 640, 480, 80, 60, 15, "Pict0001.hcr"},
    {kBelva, "Belva", 1024, 768, 80, 60, 11, "PIC00001"},
    {kCirra, "Cirra", 1280, 960, 160, 120, 15, "PIC00001.HCR"},
};

const int kFocal[8] = {37, 46, 61, 77, 92, 100, 111, 111};

}  // namespace

const ModelInfo* find_model(std::int32_t type) {
  for (const auto& m : kModels)
    if (m.type == type) return &m;
  return nullptr;
}

const ModelInfo* find_model_by_name(const char* name) {
  if (!name) return nullptr;
  for (const auto& m : kModels) {
    const char* a = m.name;
    const char* b = name;
    while (*a && *b && std::tolower(static_cast<unsigned char>(*a)) == std::tolower(static_cast<unsigned char>(*b))) {
      ++a;
      ++b;
    }
    if (!*a && !*b) return &m;
  }
  return nullptr;
}

int focal_length_mm(std::int32_t type, std::int32_t zoom) {
  if (zoom < 0) return 0;
  if (type == kBelva && zoom <= 6) return kFocal[zoom];
  if (type == kCirra && zoom <= 7) return kFocal[zoom];
  return 0;
}

}  // namespace hc
