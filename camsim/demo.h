#pragma once
// The built-in demo set: a dozen varied pictures in each place the model
// has, drawn by program and written with the raw-file writer.
#include <filesystem>
#include <string>

#include "store.h"

namespace camsim {

struct DemoOptions {
  int count = 12;      // pictures in each place
  int width = 0;       // 0: the model's own picture size
  int height = 0;
};

// Fills dir (memory/, card/, album folders) for the model. Returns an error
// text, empty on success.
std::string make_demo(const ModelSpec& model, const std::filesystem::path& dir, const DemoOptions& opt);

}  // namespace camsim
