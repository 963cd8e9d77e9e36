#include "demo.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "core/hcr.h"
#include "core/image.h"
#include "core/model.h"

namespace camsim {
namespace fs = std::filesystem;

namespace {

std::uint8_t clamp8(double v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// A handful of scene kinds so that thumbnails look different from one
// another: sky and hills, rings, a checker board, stripes, soft blobs.
hc::RgbImage draw(int w, int h, int index) {
  hc::RgbImage img(w, h);
  const double hue = (index * 47 % 360) * M_PI / 180.0;
  const double cr = 0.5 + 0.5 * std::cos(hue), cg = 0.5 + 0.5 * std::cos(hue - 2.1), cb = 0.5 + 0.5 * std::cos(hue + 2.1);
  const int kind = index % 5;
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = img.row(y);
    const double fy = static_cast<double>(y) / h;
    for (int x = 0; x < w; ++x) {
      const double fx = static_cast<double>(x) / w;
      double r = 0, g = 0, b = 0;
      switch (kind) {
        case 0: {  // sky over hills
          double hill = 0.6 + 0.12 * std::sin(fx * 9 + index) + 0.05 * std::sin(fx * 31);
          if (fy < hill) {
            r = 90 + 120 * fy; g = 150 + 80 * fy; b = 255 - 40 * fy;
          } else {
            r = 40 + 60 * cr; g = 110 + 90 * cg * (1 - fy); b = 30 + 40 * cb;
          }
          double sun = std::hypot(fx - 0.75, fy - 0.2);
          if (sun < 0.07) { r = 255; g = 230; b = 120; }
          break;
        }
        case 1: {  // rings
          double d = std::hypot(fx - 0.5, (fy - 0.5) * h / w);
          double v = 0.5 + 0.5 * std::sin(d * 60 + index);
          r = 255 * v * cr; g = 255 * v * cg; b = 255 * (1 - v) * cb + 40;
          break;
        }
        case 2: {  // checker board in perspective
          double z = 1.0 / (fy + 0.15);
          int cx = static_cast<int>(std::floor((fx - 0.5) * z * 8)), cy = static_cast<int>(std::floor(z * 4));
          bool on = ((cx + cy) & 1) != 0;
          double shade = 1.0 - 0.6 * (1 - fy);
          r = (on ? 230 * cr : 30) * shade; g = (on ? 230 * cg : 40) * shade; b = (on ? 230 * cb : 60) * shade;
          break;
        }
        case 3: {  // diagonal stripes with a colour ramp
          double v = std::fmod((fx + fy) * 12 + index, 2.0) < 1.0 ? 1.0 : 0.35;
          r = v * (80 + 175 * fx); g = v * (80 + 175 * cg * fy); b = v * (200 * cb + 55 * (1 - fx));
          break;
        }
        default: {  // soft blobs
          double s = 0;
          for (int k = 0; k < 4; ++k) {
            double px = 0.5 + 0.35 * std::cos(index + k * 1.7), py = 0.5 + 0.35 * std::sin(index * 0.7 + k * 2.3);
            s += 0.02 / (0.01 + (fx - px) * (fx - px) + (fy - py) * (fy - py));
          }
          r = 40 + 60 * s * cr; g = 30 + 60 * s * cg; b = 60 + 60 * s * cb;
          break;
        }
      }
      row[3 * x] = clamp8(r);
      row[3 * x + 1] = clamp8(g);
      row[3 * x + 2] = clamp8(b);
    }
  }
  return img;
}

std::string write_picture(const ModelSpec& model, const fs::path& file, const std::string& header_name,
                          int w, int h, int index) {
  hc::PictureFacts facts;
  facts.camera_type = model.type;
  facts.name = header_name;
  facts.date.year = 126;
  facts.date.month = static_cast<std::int16_t>(index % 12);
  facts.date.day = static_cast<std::int16_t>(1 + index % 28);
  facts.date.hour = static_cast<std::int16_t>(8 + index % 12);
  facts.date.minute = static_cast<std::int16_t>(index * 7 % 60);
  facts.date.second = static_cast<std::int16_t>(index * 13 % 60);
  facts.exposure_us = 1000000u / static_cast<std::uint32_t>(30 + index * 10);
  facts.fnumber_x10 = static_cast<std::int16_t>(20 + index % 6 * 4);
  facts.flash = index % 3 == 0;
  facts.brightness = static_cast<std::int16_t>(index % 9 - 2);
  facts.subject_distance_mm = static_cast<std::uint32_t>(800 + index * 350);
  facts.zoom_position = model.type == 100 ? 0 : index % 8;
  std::vector<std::uint8_t> bytes;
  hc::Status s = hc::write_hcr(draw(w, h, index), facts, bytes);
  if (s != hc::Status::Ok) return "cannot make a demo picture (" + std::string(hc::status_text(s)) + ")";
  std::ofstream f(file, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return f ? "" : "cannot write " + file.string();
}

}  // namespace

std::string make_demo(const ModelSpec& model, const fs::path& dir, const DemoOptions& opt) {
  const hc::ModelInfo* info = hc::find_model(model.type);
  if (!info) return "unknown model";
  const int w = opt.width > 0 ? opt.width : info->width;
  const int h = opt.height > 0 ? opt.height : info->height;
  struct Place {
    const char* folder;
    const char* album;  // nullptr: the root
    const char* prefix;
  };
  std::vector<Place> places;
  if (model.type == 100) {
    places = {{"memory", nullptr, "PICT"}};
  } else if (model.type == 101) {
    places = {{"memory", nullptr, "PIC"}, {"card", nullptr, "CRD"}};
  } else {
    places = {{"memory", nullptr, "PIC"},   {"memory", "Garden", "GDN"}, {"memory", "Harbour", "HBR"},
              {"card", nullptr, "CRD"},     {"card", "Trip", "TRP"},     {"card", "Spare", nullptr}};
  }
  int index = 0;
  for (const auto& p : places) {
    fs::path folder = dir / p.folder;
    if (p.album) folder /= p.album;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return "cannot create " + folder.string();
    if (!p.prefix) continue;  // an album left empty on purpose
    for (int i = 1; i <= opt.count; ++i, ++index) {
      char stem[16];
      std::snprintf(stem, sizeof stem, "%s%05d", p.prefix, i);
      std::string file_name = std::string(stem) + ".HCR";
      std::string header_name = model.has_albums ? file_name : std::string(stem);
      std::string err = write_picture(model, folder / file_name, header_name, w, h, index);
      if (!err.empty()) return err;
    }
  }
  return "";
}

}  // namespace camsim
