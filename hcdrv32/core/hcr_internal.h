#pragma once
// Checks shared by the writer and the reader.
#include "core/hcr.h"

namespace hc::detail {
bool valid_date(const CaptureDate& d);
bool valid_facts(const PictureFacts& f);
}  // namespace hc::detail
