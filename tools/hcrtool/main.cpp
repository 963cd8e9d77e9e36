// hcrtool: makes, describes and decodes .HCR raw picture files.
//
//   hcrtool make [options] IN.bmp|IN.ppm OUT.HCR
//   hcrtool info FILE.HCR
//   hcrtool thumb FILE.HCR OUT.bmp
//   hcrtool decode [--quality 75|90|100] FILE.HCR OUT.bmp|OUT.ppm|OUT.jpg
//
// Exit status: 0 done, 1 bad input or failed output (one line on stderr),
// 2 bad command line.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "core/hcr.h"
#include "core/image_io.h"
#include "core/jpeg_encoder.h"
#include "core/model.h"
#include "core/resample.h"

namespace {

const char kUsage[] =
    "usage:\n"
    "  hcrtool make [--model avena|belva|cirra] [--name NAME] [--date YYYY-MM-DDTHH:MM:SS]\n"
    "               [--exposure-us N] [--fnumber F] [--flash] [--brightness N] [--distance-mm N]\n"
    "               [--zoom 0-7] [--size WxH|camera] IN.bmp|IN.ppm OUT.HCR\n"
    "  hcrtool info FILE.HCR\n"
    "  hcrtool thumb FILE.HCR OUT.bmp\n"
    "  hcrtool decode [--quality 75|90|100] FILE.HCR OUT.bmp|OUT.ppm|OUT.jpg\n"
    "make keeps the input's size (an odd last row or column is dropped) unless --size\n"
    "asks for another; --size camera takes the model's own size.\n";

struct Failure {
  int code;
  std::string message;
};

[[noreturn]] void fail(const std::string& msg) { throw Failure{1, msg}; }
[[noreturn]] void usage(const std::string& msg) { throw Failure{2, msg}; }

std::string lower_ext(const std::string& path) {
  auto dot = path.find_last_of('.');
  auto sep = path.find_last_of("/\\");
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
  std::string e = path.substr(dot + 1);
  for (char& c : e) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return e;
}

long long parse_int(const std::string& opt, const std::string& v, long long lo, long long hi) {
  char* end = nullptr;
  errno = 0;
  long long n = std::strtoll(v.c_str(), &end, 10);
  if (v.empty() || *end || errno || n < lo || n > hi)
    usage(opt + " wants a whole number from " + std::to_string(lo) + " to " + std::to_string(hi));
  return n;
}

hc::CaptureDate parse_date(const std::string& v) {
  int y, mo, d, h, mi, s;
  char t;
  char tail;
  if (std::sscanf(v.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%c", &y, &mo, &d, &t, &h, &mi, &s, &tail) != 7 ||
      (t != 'T' && t != ' '))
    usage("--date wants YYYY-MM-DDTHH:MM:SS");
  hc::CaptureDate date{static_cast<std::int16_t>(s),  static_cast<std::int16_t>(mi),
                       static_cast<std::int16_t>(h),  static_cast<std::int16_t>(d),
                       static_cast<std::int16_t>(mo - 1), static_cast<std::int16_t>(y - 1900)};
  return date;
}

hc::CaptureDate now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  return hc::CaptureDate{static_cast<std::int16_t>(tm.tm_sec > 59 ? 59 : tm.tm_sec), static_cast<std::int16_t>(tm.tm_min),
                         static_cast<std::int16_t>(tm.tm_hour), static_cast<std::int16_t>(tm.tm_mday),
                         static_cast<std::int16_t>(tm.tm_mon), static_cast<std::int16_t>(tm.tm_year)};
}

std::vector<std::uint8_t> load(const std::string& path) {
  std::vector<std::uint8_t> b;
  if (!hc::read_file(path, b)) fail("cannot read " + path);
  return b;
}

void save(const std::string& path, const std::vector<std::uint8_t>& b) {
  if (!hc::write_file(path, b)) fail("cannot write " + path);
}

void check(hc::Status s, const std::string& path) {
  if (s != hc::Status::Ok)
    fail(path + ": " + hc::status_text(s) + " (status " + std::to_string(hc::code(s)) + ")");
}

int cmd_make(std::vector<std::string> args) {
  hc::PictureFacts f;
  f.date = now();
  std::string size_opt;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) usage(a + " wants a value");
      return args[++i];
    };
    if (a == "--model") {
      std::string v = value();
      const hc::ModelInfo* m = hc::find_model_by_name(v.c_str());
      if (!m) usage("unknown model " + v + " (avena, belva or cirra)");
      f.camera_type = m->type;
    } else if (a == "--name") {
      f.name = value();
    } else if (a == "--date") {
      f.date = parse_date(value());
    } else if (a == "--exposure-us") {
      f.exposure_us = static_cast<std::uint32_t>(parse_int(a, value(), 1, 0x7FFFFFFF));
    } else if (a == "--fnumber") {
      std::string v = value();
      char* end = nullptr;
      double n = std::strtod(v.c_str(), &end);
      if (v.empty() || *end || !(n >= 0.1 && n <= 3276.7)) usage("--fnumber wants a number such as 2.8");
      f.fnumber_x10 = static_cast<std::int16_t>(n * 10 + 0.5);
    } else if (a == "--flash") {
      f.flash = true;
    } else if (a == "--brightness") {
      f.brightness = static_cast<std::int16_t>(parse_int(a, value(), -1005, 32767 - hc::kBrightnessOffset));
    } else if (a == "--distance-mm") {
      f.subject_distance_mm = static_cast<std::uint32_t>(parse_int(a, value(), 0, 0x7FFFFFFF));
    } else if (a == "--zoom") {
      f.zoom_position = static_cast<std::int32_t>(parse_int(a, value(), 0, hc::kMaxZoomPosition));
    } else if (a == "--size") {
      size_opt = value();
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      usage("unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) usage("make wants an input picture and an output file");
  const hc::ModelInfo* model = hc::find_model(f.camera_type);
  if (!f.name.empty()) {
    std::string why = hc::check_picture_name(f.camera_type, f.name);
    if (!why.empty()) usage("--name: " + why);
  }

  hc::RgbImage img;
  std::string error;
  if (!hc::decode_picture_file(load(files[0]), img, error)) fail(files[0] + ": " + error);
  int w = img.width & ~1, h = img.height & ~1;
  if (!size_opt.empty()) {
    if (size_opt == "camera") {
      w = model->width;
      h = model->height;
    } else {
      char x, tail;
      if (std::sscanf(size_opt.c_str(), "%d%c%d%c", &w, &x, &h, &tail) != 3 || (x != 'x' && x != 'X') || w < 2 ||
          h < 2 || w > 8192 || h > 8192 || (w & 1) || (h & 1))
        usage("--size wants camera or WxH with even sides from 2 to 8192");
    }
  }
  if (w < 2 || h < 2 || w > 8192 || h > 8192) fail(files[0] + ": picture must be 2 to 8192 pixels a side");
  if (w != img.width || h != img.height) {
    if (size_opt.empty()) {  // drop the odd last row or column
      hc::RgbImage cropped(w, h);
      for (int y = 0; y < h; ++y) std::memcpy(cropped.row(y), img.row(y), static_cast<std::size_t>(w) * 3);
      img = std::move(cropped);
    } else {
      img = hc::resize_area(img, w, h);
    }
  }
  std::vector<std::uint8_t> file;
  check(hc::write_hcr(img, f, file), files[1]);
  save(files[1], file);
  return 0;
}

std::string date_text(const hc::CaptureDate& d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", d.year + 1900, d.month + 1, d.day, d.hour, d.minute,
                d.second);
  return buf;
}

int cmd_info(const std::vector<std::string>& args) {
  if (args.size() != 1) usage("info wants one file");
  auto data = load(args[0]);
  hc::HcrHeader h;
  check(hc::read_hcr_header(data.data(), data.size(), h), args[0]);
  check(hc::verify_hcr(data.data(), data.size()), args[0]);
  const hc::PictureFacts& f = h.facts;
  const hc::ModelInfo* m = hc::find_model(f.camera_type);
  int focal = hc::focal_length_mm(f.camera_type, f.zoom_position);
  std::printf("model: %s (%d)\n", m->name, f.camera_type);
  std::printf("size: %dx%d\n", h.width, h.height);
  std::printf("name: %s\n", f.name.c_str());
  std::printf("date: %s\n", date_text(f.date).c_str());
  std::printf("exposure: %u us\n", static_cast<unsigned>(f.exposure_us));
  std::printf("f-number: %d.%d\n", f.fnumber_x10 / 10, f.fnumber_x10 % 10);
  std::printf("flash: %s\n", f.flash ? "yes" : "no");
  std::printf("brightness: %d\n", f.brightness);
  std::printf("subject distance: %u mm\n", static_cast<unsigned>(f.subject_distance_mm));
  if (focal)
    std::printf("zoom: %d (focal length %d mm)\n", f.zoom_position, focal);
  else
    std::printf("zoom: %d\n", f.zoom_position);
  std::printf("thumbnail: %dx%d\n", h.thumb_width, h.thumb_height);
  std::printf("file size: %u bytes\n", static_cast<unsigned>(h.file_size));
  std::printf("sensor data: %u bytes (%.3f bits a sample)\n", static_cast<unsigned>(h.data_size),
              h.data_size * 8.0 / (static_cast<double>(h.width) * h.height));
  return 0;
}

int cmd_thumb(const std::vector<std::string>& args) {
  if (args.size() != 2) usage("thumb wants a file and an output BMP");
  if (lower_ext(args[1]) != "bmp") usage("thumb writes a .bmp file");
  auto data = load(args[0]);
  hc::PictureInfo info;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(160) * 120 * 3);
  check(hc::get_picture_info(data.data(), data.size(), info, nullptr, pixels.data(), pixels.size()), args[0]);
  hc::RgbImage img(info.thumb_width, info.thumb_height);
  for (int y = 0; y < img.height; ++y) {  // stored bottom row first, blue-green-red
    const std::uint8_t* src = pixels.data() + static_cast<std::size_t>(img.height - 1 - y) * img.width * 3;
    std::uint8_t* dst = img.row(y);
    for (int x = 0; x < img.width; ++x) {
      dst[3 * x] = src[3 * x + 2];
      dst[3 * x + 1] = src[3 * x + 1];
      dst[3 * x + 2] = src[3 * x];
    }
  }
  save(args[1], hc::encode_bmp(img));
  return 0;
}

int cmd_decode(const std::vector<std::string>& args) {
  int quality = 90;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--quality") {
      if (i + 1 >= args.size()) usage("--quality wants 75, 90 or 100");
      quality = static_cast<int>(parse_int("--quality", args[++i], 0, 100));
      if (quality != 75 && quality != 90 && quality != 100) usage("--quality wants 75, 90 or 100");
    } else if (args[i].size() > 1 && args[i][0] == '-' && args[i][1] == '-') {
      usage("unknown option " + args[i]);
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) usage("decode wants a file and an output picture");
  std::string ext = lower_ext(files[1]);
  if (ext != "bmp" && ext != "ppm" && ext != "jpg" && ext != "jpeg") usage("decode writes .bmp, .ppm or .jpg");
  auto data = load(files[0]);
  if (ext == "jpg" || ext == "jpeg") {
    std::vector<std::uint8_t> jpeg;
    check(hc::hcr_to_jpeg(data.data(), data.size(), hc::jpeg_quality_index(quality), jpeg), files[0]);
    save(files[1], jpeg);
    return 0;
  }
  hc::RgbImage img;
  check(hc::decode_hcr(data.data(), data.size(), img), files[0]);
  save(files[1], ext == "bmp" ? hc::encode_bmp(img) : hc::encode_ppm(img));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc < 2) usage("no command given");
    std::string cmd = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (cmd == "make") return cmd_make(args);
    if (cmd == "info") return cmd_info(args);
    if (cmd == "thumb") return cmd_thumb(args);
    if (cmd == "decode") return cmd_decode(args);
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    usage("unknown command " + cmd);
  } catch (const Failure& f) {
    // One line, so scripts and the program's tests can show it as it is.
    std::fprintf(stderr, "hcrtool: %s%s\n", f.message.c_str(), f.code == 2 ? " (hcrtool --help shows the usage)" : "");
    return f.code;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "hcrtool: out of memory\n");
    return 1;
  }
}
