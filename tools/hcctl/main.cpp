// hcctl: the camera driver from the command line, for scripts, tests and
// benchmarks. Every camera operation goes through hcdrv32.dll.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hcdrv32.h"

namespace {

const char kUsage[] =
    "usage: hcctl [--port 1-16] [--speed 96|192|384|576|1152|2304] [--model avena|belva|cirra] COMMAND\n"
    "  status\n"
    "  list                               location, album, album name, picture, picture name\n"
    "  info LOC ALBUM PIC\n"
    "  thumb LOC ALBUM PIC OUT.bmp\n"
    "  get LOC ALBUM PIC OUT [--format native|bmp|jpg] [--quality 75|90|100]\n"
    "  get-all DIR [--format native|bmp|jpg] [--quality 75|90|100]\n"
    "  delete LOC ALBUM PIC|all\n"
    "LOC is memory or card (or 0, 1). Without --model the camera's type is found by trying each.\n";

const char* status_text(int s) {
  switch (s) {
    case HC_INVALID_PARAMETER: return "invalid call parameter";
    case HC_CLOSE_FAILED: return "error closing the driver";
    case HC_CAMERA_NOT_FOUND: return "camera not found";
    case HC_NOT_SUPPORTED: return "not supported by this camera type";
    case HC_STOPPED: return "stopped";
    case HC_NO_CARD: return "no memory card in the camera";
    case HC_NO_ANSWER: return "the camera does not answer";
    case HC_IMAGE_PROCESSING: return "error in image processing (damaged picture data)";
    case HC_OUT_OF_MEMORY: return "out of memory";
    case HC_NOT_OPEN: return "camera or driver not open";
    case HC_ALREADY_OPEN: return "already open";
    case HC_INCOMPATIBLE: return "the camera is of another type or incompatible";
    case HC_SYSTEM_ERROR: return "operating system error";
    case HC_MEMORY_FULL: return "image memory is full";
    case HC_UNKNOWN_CAMERA_TYPE: return "unknown camera type";
    default: return "unknown error";
  }
}

[[noreturn]] void usage(const char* why) {
  std::fprintf(stderr, "hcctl: %s\n%s", why, kUsage);
  std::exit(2);
}

struct Failure {
  int status;
};

void check(int s, const char* what) {
  if (s != HC_OK) throw Failure{s};
  (void)what;
}

double seconds_now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

bool write_file(const std::string& path, const void* data, std::size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

// A 24-bit BMP header; rows follow bottom row first, padded to 4 bytes.
std::vector<std::uint8_t> bmp_header(int w, int h) {
  std::uint32_t stride = (static_cast<std::uint32_t>(w) * 3 + 3) & ~3u;
  std::uint32_t image = stride * static_cast<std::uint32_t>(h);
  std::vector<std::uint8_t> b(54, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&b[at], &v, 4); };
  auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&b[at], &v, 2); };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, 54 + image);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(w));
  put32(22, static_cast<std::uint32_t>(h));
  put16(26, 1);
  put16(28, 24);
  put32(34, image);
  put32(38, 2835);
  put32(42, 2835);
  return b;
}

struct Options {
  int port = 1;
  int speed = 576;
  int model = 0;  // 0: find out
  std::string format = "native";
  int quality = 100;
};

struct Session {
  HcDriverBlock block{};
  HcCameraDescriptor cam{};
  std::uint8_t buffer[33]{};
  bool driver = false, camera = false;

  ~Session() {
    if (camera) HcCloseCamera(&cam);
    if (driver) HcCloseDriver(&block);
  }
  void open(const Options& o) {
    std::uint16_t version = HC_DRIVER_VERSION;
    check(HcOpenDriver(&version, &block), "open driver");
    driver = true;
    const int types[] = {HC_TYPE_CIRRA, HC_TYPE_BELVA, HC_TYPE_AVENA};
    int s = HC_CAMERA_NOT_FOUND;
    for (int t : types) {
      if (o.model && t != o.model) continue;
      std::memset(buffer, 0, sizeof buffer);
      cam = HcCameraDescriptor{&block, o.port, t, buffer, 0, 0, o.speed};
      s = HcOpenCamera(&cam);
      if (s != HC_INCOMPATIBLE) break;
    }
    check(s, "open camera");
    camera = true;
  }
};

struct Entry {
  int location, album;
  std::string album_name;
  int picture;
  std::string name;
};

const char* location_name(int loc) { return loc == 0 ? "memory" : "card"; }

std::vector<Entry> enumerate(Session& s) {
  HcStatusRecord st{};
  HcModelStatusRecord ms{};
  check(HcGetStatus(&s.cam, &st, &ms), "status");
  std::vector<Entry> all;
  for (int loc = 0; loc < 2; ++loc) {
    if (loc == 1 && (s.cam.camera_type == HC_TYPE_AVENA || !st.card_present)) continue;
    int named = loc == 0 ? ms.memory_albums : ms.card_albums;
    std::vector<HcAlbumEntry> albums(static_cast<std::size_t>(named) + 1);
    check(HcAlbumGetAllName(&s.cam, loc, albums.data()), "albums");
    for (int a = 0; a <= named; ++a) {
      int n = albums[static_cast<std::size_t>(a)].picture_count;
      if (n <= 0) continue;
      std::vector<char> slots(static_cast<std::size_t>(n) * HC_NAME_SLOT);
      check(HcAlbumGetPictureName(&s.cam, loc, a, slots.data()), "names");
      for (int i = 0; i < n; ++i) {
        std::string name(&slots[static_cast<std::size_t>(i) * HC_NAME_SLOT], HC_NAME_SLOT);
        name.resize(std::strlen(name.c_str()));
        all.push_back({loc, a, albums[static_cast<std::size_t>(a)].name, i + 1, name});
      }
    }
  }
  return all;
}

int parse_location(const char* s) {
  if (!std::strcmp(s, "memory") || !std::strcmp(s, "0")) return 0;
  if (!std::strcmp(s, "card") || !std::strcmp(s, "1")) return 1;
  usage("LOC is memory or card");
}

int parse_int(const char* s, const char* what) {
  char* e = nullptr;
  long v = std::strtol(s, &e, 10);
  if (!*s || *e) usage(what);
  return static_cast<int>(v);
}

struct BmpSink {
  FILE* f;
  int width;
  bool ok = true;
};

int32_t CALLBACK write_bmp_rows(const void* data, void* user, std::uint32_t bytes) {
  auto* k = static_cast<BmpSink*>(user);
  std::size_t row = static_cast<std::size_t>(k->width) * 3, pad = (4 - row % 4) % 4;
  static const std::uint8_t zeros[3] = {0, 0, 0};
  for (std::size_t at = 0; at + row <= bytes; at += row) {
    k->ok &= std::fwrite(static_cast<const std::uint8_t*>(data) + at, 1, row, k->f) == row;
    k->ok &= std::fwrite(zeros, 1, pad, k->f) == pad;
  }
  return k->ok ? 1 : 0;
}

// One picture to a file; returns the payload bytes that crossed the link.
std::uint32_t get_picture(Session& s, const Options& o, int loc, int album, int pic, const std::string& out) {
  HcPictureInfo info{};
  check(HcGetCameraPictInfo(&s.cam, loc, album, pic, 0, &info, nullptr), "info");
  std::vector<std::uint8_t> in(info.native_size);
  HcCallbackPair cb{nullptr, nullptr};
  if (o.format == "native") {
    HcTransferBuffer buf{in.data(), info.native_size, nullptr, nullptr};
    check(HcGetNativePicture(&s.cam, loc, album, &info, &buf, &cb), "download");
    if (!write_file(out, in.data(), buf.size)) throw Failure{HC_SYSTEM_ERROR};
  } else if (o.format == "jpg") {
    std::vector<std::uint8_t> jpeg(std::max<std::size_t>(1000000, info.output_size));
    HcTransferBuffer ib{in.data(), info.input_size, nullptr, nullptr};
    HcTransferBuffer ob{jpeg.data(), static_cast<std::uint32_t>(jpeg.size()), nullptr, nullptr};
    std::int32_t length = 0;
    int qi = o.quality == 75 ? 2 : o.quality == 90 ? 1 : 0;
    check(HcGetCameraPictureAsJPEG(&s.cam, loc, album, &info, qi, &length, &ib, &ob, &cb), "download");
    if (!write_file(out, jpeg.data(), static_cast<std::size_t>(length))) throw Failure{HC_SYSTEM_ERROR};
  } else {
    // BMP: rows arrive bottom row first, blue-green-red, as the file wants them.
    HcImageProcessingRecord proc{};
    check(HcGetImageProcessing(&s.cam, &proc), "processing");
    proc.colour = 1;
    proc.row_order = 0;
    check(HcSetImageProcessing(&s.cam, &proc), "processing");
    BmpSink sink{std::fopen(out.c_str(), "wb"), info.width};
    if (!sink.f) throw Failure{HC_SYSTEM_ERROR};
    auto header = bmp_header(info.width, info.height);
    std::fwrite(header.data(), 1, header.size(), sink.f);
    std::vector<std::uint8_t> block(65536);
    HcTransferBuffer ib{in.data(), info.input_size, nullptr, nullptr};
    HcTransferBuffer ob{block.data(), static_cast<std::uint32_t>(block.size()), write_bmp_rows, &sink};
    int st = HcGetCameraPicture(&s.cam, loc, album, &info, &ib, &ob, &cb);
    bool closed = std::fclose(sink.f) == 0;
    if (st != HC_OK) {
      std::remove(out.c_str());
      throw Failure{sink.ok ? st : HC_SYSTEM_ERROR};
    }
    if (!closed || !sink.ok) throw Failure{HC_SYSTEM_ERROR};
  }
  return info.native_size;
}

std::string with_format_extension(std::string name, const std::string& format) {
  if (format == "native") {
    if (name.size() < 4 || _stricmp(name.c_str() + name.size() - 4, ".hcr") != 0) name += ".HCR";
    return name;
  }
  if (name.size() >= 4 && _stricmp(name.c_str() + name.size() - 4, ".hcr") == 0) name.resize(name.size() - 4);
  return name + (format == "jpg" ? ".jpg" : ".bmp");
}

void print_rate(std::uint64_t bytes, double secs) {
  std::printf("%llu payload bytes in %.3f s: %.0f bytes/s\n", static_cast<unsigned long long>(bytes), secs,
              secs > 0 ? static_cast<double>(bytes) / secs : 0.0);
}

int run(const Options& o, const std::vector<std::string>& args) {
  const std::string& cmd = args[0];
  auto need = [&](std::size_t n) {
    if (args.size() != n) usage(("wrong number of arguments for " + cmd).c_str());
  };
  Session s;
  s.open(o);
  if (cmd == "status") {
    need(1);
    HcStatusRecord st{};
    HcModelStatusRecord ms{};
    check(HcGetStatus(&s.cam, &st, &ms), "status");
    const char* model = s.cam.camera_type == HC_TYPE_AVENA ? "avena" : s.cam.camera_type == HC_TYPE_BELVA ? "belva" : "cirra";
    std::printf("model %s\nspeed %d\ncard %s\nmemory-full %s\nmemory-pictures %d\ncard-pictures %d\n"
                "memory-albums %d\ncard-albums %d\nmemory-free-kb %d\n",
                model, st.bit_rate * 100, st.card_present ? "yes" : "no", st.memory_full ? "yes" : "no",
                st.memory_pictures, st.card_pictures, ms.memory_albums, ms.card_albums, st.memory_free_kb);
  } else if (cmd == "list") {
    need(1);
    for (const Entry& e : enumerate(s))
      std::printf("%s\t%d\t%s\t%d\t%s\n", location_name(e.location), e.album, e.album_name.c_str(), e.picture,
                  e.name.c_str());
  } else if (cmd == "info") {
    need(4);
    int loc = parse_location(args[1].c_str()), album = parse_int(args[2].c_str(), "ALBUM"),
        pic = parse_int(args[3].c_str(), "PIC");
    HcPictureInfo info{};
    HcModelDetails d{};
    check(HcGetCameraPictInfo(&s.cam, loc, album, pic, 0, &info, &d), "info");
    const char* name = s.cam.camera_type == HC_TYPE_AVENA ? d.avena.picture_name
                       : s.cam.camera_type == HC_TYPE_BELVA ? d.belva.picture_name : d.cirra.picture_name;
    std::printf("name %s\nwidth %d\nheight %d\nnative-size %u\ninput-size %u\noutput-size %u\nthumbnail %dx%d\n"
                "date %04d-%02d-%02d %02d:%02d:%02d\n",
                name, info.width, info.height, info.native_size, info.input_size, info.output_size, info.thumb_width,
                info.thumb_height, info.date.year + 1900, info.date.month + 1, info.date.day, info.date.hour,
                info.date.minute, info.date.second);
  } else if (cmd == "thumb") {
    need(5);
    int loc = parse_location(args[1].c_str()), album = parse_int(args[2].c_str(), "ALBUM"),
        pic = parse_int(args[3].c_str(), "PIC");
    HcPictureInfo info{};
    check(HcGetCameraPictInfo(&s.cam, loc, album, pic, 0, &info, nullptr), "info");
    std::vector<std::uint8_t> px(static_cast<std::size_t>(info.thumb_width) * info.thumb_height * 3);
    HcPictureInfo with{};
    with.thumbnail = px.data();
    check(HcGetCameraPictInfo(&s.cam, loc, album, pic, 1, &with, nullptr), "thumbnail");
    auto bmp = bmp_header(with.thumb_width, with.thumb_height);
    std::size_t row = static_cast<std::size_t>(with.thumb_width) * 3, pad = (4 - row % 4) % 4;
    for (int y = 0; y < with.thumb_height; ++y) {
      bmp.insert(bmp.end(), px.begin() + static_cast<std::ptrdiff_t>(y * row), px.begin() + static_cast<std::ptrdiff_t>((y + 1) * row));
      bmp.insert(bmp.end(), pad, 0);
    }
    if (!write_file(args[4], bmp.data(), bmp.size())) throw Failure{HC_SYSTEM_ERROR};
  } else if (cmd == "get") {
    need(5);
    int loc = parse_location(args[1].c_str()), album = parse_int(args[2].c_str(), "ALBUM"),
        pic = parse_int(args[3].c_str(), "PIC");
    double t0 = seconds_now();
    std::uint32_t bytes = get_picture(s, o, loc, album, pic, args[4]);
    print_rate(bytes, seconds_now() - t0);
  } else if (cmd == "get-all") {
    need(2);
    const std::string dir = args[1];
    CreateDirectoryA(dir.c_str(), nullptr);
    std::uint64_t bytes = 0;
    double t0 = seconds_now();
    for (const Entry& e : enumerate(s)) {
      std::string folder = dir;
      if (s.cam.camera_type != HC_TYPE_AVENA) {
        folder += e.location == 0 ? "\\Memory" : "\\Card";
        CreateDirectoryA(folder.c_str(), nullptr);
        if (e.album != 0) {
          folder += "\\" + e.album_name;
          CreateDirectoryA(folder.c_str(), nullptr);
        }
      }
      std::string path = folder + "\\" + with_format_extension(e.name, o.format);
      bytes += get_picture(s, o, e.location, e.album, e.picture, path);
      std::printf("%s\n", path.c_str());
    }
    print_rate(bytes, seconds_now() - t0);
  } else if (cmd == "delete") {
    need(4);
    int loc = parse_location(args[1].c_str()), album = parse_int(args[2].c_str(), "ALBUM");
    int pic = args[3] == "all" ? HC_ALL_PICTURES : parse_int(args[3].c_str(), "PIC");
    check(HcDeletePicture(&s.cam, loc, album, pic), "delete");
  } else {
    usage(("unknown command " + cmd).c_str());
  }
  HcLinkStats ls{};
  if (std::getenv("HCCTL_STATS") && HcGetLinkStats(&s.cam, &ls) == HC_OK)
    std::fprintf(stderr, "link: %u baud, %u frames sent, %u commands repeated, %u bytes asked again, %u bad frames, %u recoveries\n",
                 ls.baud, ls.frames_sent, ls.retransmits, ls.rerequested_bytes, ls.bad_frames, ls.recoveries);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) usage((a + " needs a value").c_str());
      return argv[++i];
    };
    if (a == "--port") {
      o.port = parse_int(value(), "--port");
    } else if (a == "--speed") {
      o.speed = parse_int(value(), "--speed");
    } else if (a == "--model") {
      std::string m = value();
      o.model = m == "avena" ? HC_TYPE_AVENA : m == "belva" ? HC_TYPE_BELVA : m == "cirra" ? HC_TYPE_CIRRA : -1;
      if (o.model < 0) usage("unknown model");
    } else if (a == "--format") {
      o.format = value();
      if (o.format != "native" && o.format != "bmp" && o.format != "jpg") usage("--format is native, bmp or jpg");
    } else if (a == "--quality") {
      o.quality = parse_int(value(), "--quality");
      if (o.quality != 75 && o.quality != 90 && o.quality != 100) usage("--quality is 75, 90 or 100");
    } else if (a == "--help" || a == "-h") {
      std::printf("%s", kUsage);
      return 0;
    } else {
      args.push_back(a);
    }
  }
  if (args.empty()) usage("no command");
  try {
    return run(o, args);
  } catch (const Failure& f) {
    std::fprintf(stderr, "hcctl: status %d: %s\n", f.status, status_text(f.status));
    return 1;
  }
}
