// The exported driver interface: open drivers and cameras, the camera
// operations over the link, and the decoding of native data in memory.
#define HCDRV32_BUILD
#include "hcdrv32.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "core/hcr.h"
#include "core/jpeg_encoder.h"
#include "core/model.h"
#include "core/protocol/host_link.h"
#include "serial_port.h"

namespace {

using hc::proto::ByteReader;
using hc::proto::ByteWriter;
using hc::proto::Op;

// Layouts the program reads at fixed offsets.
static_assert(sizeof(HcDriverBlock) == 20);
static_assert(sizeof(HcStatusRecord) == 48 && offsetof(HcStatusRecord, memory_pictures) == 28 &&
              offsetof(HcStatusRecord, card_pictures) == 32);
static_assert(sizeof(HcModelStatusRecord) == 64 && offsetof(HcModelStatusRecord, memory_albums) == 32 &&
              offsetof(HcModelStatusRecord, card_albums) == 44);
static_assert(sizeof(HcAlbumEntry) == 20 && offsetof(HcAlbumEntry, picture_count) == 16);
static_assert(sizeof(HcCaptureDate) == 12);
static_assert(sizeof(HcImageProcessingRecord) == 16);
static_assert(offsetof(HcPictureInfo, thumb_width) == 2 && offsetof(HcPictureInfo, thumb_height) == 4 &&
              offsetof(HcPictureInfo, thumbnail) == 8);
static_assert(sizeof(void*) != 4 || (sizeof(HcPictureInfo) == 52 && offsetof(HcPictureInfo, width) == 12 &&
                                     offsetof(HcPictureInfo, date) == 32));
static_assert(sizeof(void*) != 4 || (sizeof(HcCameraDescriptor) == 28 && sizeof(HcMemorySource) == 16 &&
                                     sizeof(HcTransferBuffer) == 16 && sizeof(HcCallbackPair) == 8));
// The detail records are the core's, byte for byte.
static_assert(sizeof(HcModelDetails) == sizeof(hc::ModelDetails));
static_assert(sizeof(HcBelvaDetails) == sizeof(hc::BelvaDetails) &&
              offsetof(HcBelvaDetails, picture_name) == offsetof(hc::BelvaDetails, picture_name) &&
              offsetof(HcBelvaDetails, brightness) == offsetof(hc::BelvaDetails, brightness));
static_assert(sizeof(HcCirraDetails) == sizeof(hc::CirraDetails) &&
              offsetof(HcCirraDetails, picture_name) == offsetof(hc::CirraDetails, picture_name));
static_assert(sizeof(HcAvenaDetails) == sizeof(hc::AvenaDetails) &&
              offsetof(HcAvenaDetails, picture_name) == offsetof(hc::AvenaDetails, picture_name));

constexpr std::uint32_t kDriverMagic = 0x42444348;  // "HCDB"
constexpr std::uint32_t kCameraMagic = 0x4D434348;  // "HCCM"

struct Camera {
  std::uint32_t id = 0;
  std::uint32_t driver = 0;
  std::int32_t type = 0;
  std::unique_ptr<hcdrv::SerialPort> port;
  std::unique_ptr<hc::proto::HostLink> link;
  hc::proto::HelloInfo hello;
  HcImageProcessingRecord processing{1, 0, 0, 0};
  std::mutex busy;  // one operation at a time on a camera
  // What the caller was last told, to bound what is written into its buffers.
  int named_albums[2] = {-1, -1};
  std::map<std::pair<int, int>, int> album_counts;
  // The picture of the last information call, for the calls that name only
  // a location and an album.
  int last_location = -1, last_album = -1, last_picture = 0;
  // Decoding memory, kept from one picture to the next of a transfer.
  hc::DecodeWork decode_work;
};

std::mutex g_lock;
std::map<std::uint32_t, std::vector<std::uint32_t>> g_drivers;  // driver id -> its cameras
std::map<std::uint32_t, std::shared_ptr<Camera>> g_cameras;
std::uint32_t g_next_id = 1;

std::uint32_t get32(const std::uint8_t* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
void put32(std::uint8_t* p, std::uint32_t v) { std::memcpy(p, &v, 4); }

bool driver_open(const HcDriverBlock* b, std::uint32_t* id = nullptr) {
  if (!b || get32(b->opaque) != kDriverMagic) return false;
  std::uint32_t d = get32(b->opaque + 4);
  if (!g_drivers.count(d)) return false;
  if (id) *id = d;
  return true;
}

std::shared_ptr<Camera> find_camera(const HcCameraDescriptor* cam) {
  if (!cam || !cam->buffer || get32(cam->buffer) != kCameraMagic) return nullptr;
  std::lock_guard<std::mutex> lock(g_lock);
  auto it = g_cameras.find(get32(cam->buffer + 4));
  return it == g_cameras.end() ? nullptr : it->second;
}

void close_link(Camera& c) {
  if (c.link) c.link->bye();
  c.link.reset();
  c.port.reset();
}

// Runs an operation on an open camera with the exception barrier every
// export needs: nothing may unwind into the caller.
template <typename F>
std::int16_t with_camera(HcCameraDescriptor* cam, F&& f) {
  try {
    std::shared_ptr<Camera> c = find_camera(cam);
    if (!c) return HC_NOT_OPEN;
    std::lock_guard<std::mutex> lock(c->busy);
    return f(*c);
  } catch (const std::bad_alloc&) {
    return HC_OUT_OF_MEMORY;
  } catch (...) {
    return HC_SYSTEM_ERROR;
  }
}

template <typename F>
std::int16_t guarded(F&& f) {
  try {
    return f();
  } catch (const std::bad_alloc&) {
    return HC_OUT_OF_MEMORY;
  } catch (...) {
    return HC_SYSTEM_ERROR;
  }
}

bool on_camera(const Camera& c) { return c.type != HC_TYPE_NATIVE && c.link; }

// Hands the caller's progress callback the percent of the current
// operation, once per change, mapped into [from, to].
class Progress {
 public:
  Progress(const HcCallbackPair* cb, int from, int to) : cb_(cb), from_(from), to_(to) {}
  bool operator()(int percent) {
    if (!cb_ || !cb_->progress) return true;
    int p = from_ + (to_ - from_) * std::clamp(percent, 0, 100) / 100;
    if (p == last_) return true;
    last_ = p;
    return cb_->progress(cb_->window, p) != 0;
  }

 private:
  const HcCallbackPair* cb_;
  int from_, to_;
  int last_ = -1;
};

void fill_info(const hc::PictureInfo& src, HcPictureInfo* info) {
  info->thumb_width = src.thumb_width;
  info->thumb_height = src.thumb_height;
  info->width = src.width;
  info->height = src.height;
  info->native_size = src.native_size;
  info->input_size = src.input_size;
  info->output_size = src.output_size;
  info->date = {src.date.second, src.date.minute, src.date.hour, src.date.day, src.date.month, src.date.year};
}

// The camera's own name for the picture goes into the details: the
// program lists pictures under it.
void set_details_name(std::int32_t type, HcModelDetails* d, const std::string& name) {
  char* field = nullptr;
  std::size_t room = 0;
  if (type == HC_TYPE_AVENA) {
    field = d->avena.picture_name;
    room = sizeof d->avena.picture_name;
  } else if (type == HC_TYPE_BELVA) {
    field = d->belva.picture_name;
    room = sizeof d->belva.picture_name;
  } else if (type == HC_TYPE_CIRRA) {
    field = d->cirra.picture_name;
    room = sizeof d->cirra.picture_name;
  }
  if (!field) return;
  std::memset(field, 0, room);
  std::memcpy(field, name.data(), std::min(name.size(), room - 1));
}

struct CameraPicture {
  hc::proto::PictureRef ref;
  std::uint32_t size = 0;
  std::string name;
  std::vector<std::uint8_t> prefix;
};

std::int16_t ask_picture(Camera& c, int location, int album, int picture, CameraPicture& out) {
  if (location < 0 || location > 1 || album < 0 || album > 0xFFFF || picture < 1 || picture > 0xFFFF)
    return HC_INVALID_PARAMETER;
  out.ref = {static_cast<std::uint8_t>(location), static_cast<std::uint16_t>(album), static_cast<std::uint16_t>(picture)};
  ByteWriter w;
  out.ref.write(w);
  std::vector<std::uint8_t> body;
  std::int16_t s = c.link->command(Op::PictureInfo, w, body);
  if (s != HC_OK) return s;
  ByteReader r(body);
  out.size = r.u32();
  out.name = r.text(hc::proto::kPictureName);
  std::size_t n = r.u16();
  out.prefix.resize(n);
  r.take(out.prefix.data(), n);
  if (r.fail() || n > out.size) return HC_NO_ANSWER;
  return HC_OK;
}

// Which picture a call that names only location and album means: the one
// the caller's information record describes, else the last one described.
std::int16_t current_picture(Camera& c, int location, int album, const HcPictureInfo* info, int& picture) {
  if (info && info->picture > 0 && info->location == location && info->album == album) {
    picture = info->picture;
    return HC_OK;
  }
  if (c.last_picture > 0 && c.last_location == location && c.last_album == album) {
    picture = c.last_picture;
    return HC_OK;
  }
  return HC_INVALID_PARAMETER;
}

// Downloads a camera picture whole into dest (capacity bytes).
std::int16_t download(Camera& c, int location, int album, const HcPictureInfo* info, std::uint8_t* dest,
                      std::uint32_t capacity, std::uint32_t& size, const HcCallbackPair* cb, int to_percent) {
  int picture = 0;
  std::int16_t s = current_picture(c, location, album, info, picture);
  if (s != HC_OK) return s;
  CameraPicture p;
  s = ask_picture(c, location, album, picture, p);
  if (s != HC_OK) return s;
  if (p.size > capacity) return HC_INVALID_PARAMETER;
  Progress progress(cb, 0, to_percent);
  if (!progress(0)) return HC_STOPPED;
  s = c.link->read(p.ref, p.size, 0, p.size, dest, [&](std::uint32_t done) {
    return progress(static_cast<int>(std::uint64_t{done} * 100 / p.size));
  });
  if (s != HC_OK) return s;
  size = p.size;
  return HC_OK;
}

// Decodes native data and hands the rows to the output buffer's callback in
// the camera's row order, or writes the whole picture into the buffer when
// there is no callback.
std::int16_t deliver(Camera& c, const std::uint8_t* data, std::uint32_t size, HcTransferBuffer* out,
                     const HcCallbackPair* cb, int from_percent) {
  if (!out || !out->data) return HC_INVALID_PARAMETER;
  hc::HcrHeader h;
  hc::Status hs = hc::read_hcr_header(data, size, h);
  if (hs != hc::Status::Ok) return hc::code(hs);
  const std::size_t row = static_cast<std::size_t>(h.width) * 3;
  const std::size_t total = row * static_cast<std::size_t>(h.height);
  const hc::RowOrder order = c.processing.row_order == 2 ? hc::RowOrder::TopDownReversed : hc::RowOrder::BottomUpBgr;
  auto* buf = static_cast<std::uint8_t*>(out->data);
  Progress progress(cb, from_percent, 100);
  if (!out->callback) {
    if (out->size < total) return HC_INVALID_PARAMETER;
    std::size_t at = 0;
    hs = hc::decode_hcr_rows(
        data, size, order,
        [&](const std::uint8_t* b, std::size_t n) {
          std::memcpy(buf + at, b, n);
          at += n;
          return true;
        },
        hc::kMaxBlockBytes, progress, c.decode_work);
    return hc::code(hs);
  }
  const std::size_t max_block = std::min<std::size_t>(hc::kMaxBlockBytes, out->size);
  if (max_block < row) return HC_INVALID_PARAMETER;
  hs = hc::decode_hcr_rows(
      data, size, order,
      [&](const std::uint8_t* b, std::size_t n) {
        std::memcpy(buf, b, n);
        return out->callback(buf, out->window, static_cast<std::uint32_t>(n)) != 0;
      },
      max_block, progress, c.decode_work);
  return hc::code(hs);
}

std::int16_t to_jpeg(const std::uint8_t* data, std::uint32_t size, std::int32_t quality_index, std::int32_t* length,
                     HcTransferBuffer* out, const HcCallbackPair* cb, int from_percent) {
  if (!out || !out->data || !length || quality_index < 0 || quality_index > 2) return HC_INVALID_PARAMETER;
  Progress progress(cb, from_percent, 100);
  std::vector<std::uint8_t> jpeg;
  hc::Status hs = hc::hcr_to_jpeg(data, size, quality_index, jpeg, [&](int p) { return progress(p); });
  if (hs != hc::Status::Ok) return hc::code(hs);
  if (jpeg.size() > out->size) return HC_INVALID_PARAMETER;
  std::memcpy(out->data, jpeg.data(), jpeg.size());
  *length = static_cast<std::int32_t>(jpeg.size());
  return HC_OK;
}

}  // namespace

extern "C" {

HCAPI HcOpenDriver(const uint16_t* version, HcDriverBlock* block) {
  return guarded([&]() -> std::int16_t {
    if (!version || !block) return HC_INVALID_PARAMETER;
    if (*version != HC_DRIVER_VERSION) return HC_INCOMPATIBLE;
    std::lock_guard<std::mutex> lock(g_lock);
    if (driver_open(block)) return HC_ALREADY_OPEN;
    std::uint32_t id = g_next_id++;
    g_drivers[id];
    std::memset(block->opaque, 0, sizeof block->opaque);
    put32(block->opaque, kDriverMagic);
    put32(block->opaque + 4, id);
    block->opaque[8] = HC_DRIVER_VERSION & 0xFF;
    block->opaque[9] = HC_DRIVER_VERSION >> 8;
    return HC_OK;
  });
}

HCAPI HcCloseDriver(HcDriverBlock* block) {
  return guarded([&]() -> std::int16_t {
    if (!block) return HC_INVALID_PARAMETER;
    std::vector<std::shared_ptr<Camera>> cams;
    {
      std::lock_guard<std::mutex> lock(g_lock);
      std::uint32_t id;
      if (!driver_open(block, &id)) return HC_NOT_OPEN;
      for (std::uint32_t c : g_drivers[id]) {
        auto it = g_cameras.find(c);
        if (it != g_cameras.end()) {
          cams.push_back(it->second);
          g_cameras.erase(it);
        }
      }
      g_drivers.erase(id);
      std::memset(block->opaque, 0, sizeof block->opaque);
    }
    // Cameras left open with this driver are closed with it.
    for (auto& c : cams) {
      std::lock_guard<std::mutex> lock(c->busy);
      close_link(*c);
    }
    return HC_OK;
  });
}

HCAPI HcOpenCamera(HcCameraDescriptor* cam) {
  return guarded([&]() -> std::int16_t {
    if (!cam || !cam->driver || !cam->buffer) return HC_INVALID_PARAMETER;
    std::uint32_t driver = 0;
    {
      std::lock_guard<std::mutex> lock(g_lock);
      if (!driver_open(cam->driver, &driver)) return HC_NOT_OPEN;
    }
    if (find_camera(cam)) return HC_ALREADY_OPEN;
    const std::int32_t type = cam->camera_type;
    if (type != HC_TYPE_NATIVE && !hc::find_model(type)) return HC_UNKNOWN_CAMERA_TYPE;
    auto c = std::make_shared<Camera>();
    c->type = type;
    c->driver = driver;
    if (type != HC_TYPE_NATIVE) {
      static const int kRates[] = {96, 192, 384, 576, 1152, 2304};
      if (cam->port < 1 || cam->port > 16) return HC_INVALID_PARAMETER;
      if (std::find(std::begin(kRates), std::end(kRates), cam->bit_rate) == std::end(kRates))
        return HC_INVALID_PARAMETER;
      c->port = hcdrv::SerialPort::open(cam->port);
      if (!c->port) return HC_CAMERA_NOT_FOUND;
      c->link = std::make_unique<hc::proto::HostLink>(*c->port);
      std::int16_t s = c->link->connect(static_cast<std::uint32_t>(cam->bit_rate) * 100, c->hello);
      if (s != HC_OK) {
        c->link.reset();
        c->port.reset();
        return s;
      }
      if (c->hello.camera_type != type) {
        close_link(*c);
        return HC_INCOMPATIBLE;
      }
    }
    std::lock_guard<std::mutex> lock(g_lock);
    if (!driver_open(cam->driver)) {
      close_link(*c);
      return HC_NOT_OPEN;
    }
    c->id = g_next_id++;
    g_cameras[c->id] = c;
    g_drivers[driver].push_back(c->id);
    std::memset(cam->buffer, 0, 33);
    put32(cam->buffer, kCameraMagic);
    put32(cam->buffer + 4, c->id);
    return HC_OK;
  });
}

HCAPI HcCloseCamera(HcCameraDescriptor* cam) {
  return guarded([&]() -> std::int16_t {
    std::shared_ptr<Camera> c = find_camera(cam);
    if (!c) return HC_NOT_OPEN;
    {
      std::lock_guard<std::mutex> lock(g_lock);
      g_cameras.erase(c->id);
      auto& list = g_drivers[c->driver];
      list.erase(std::remove(list.begin(), list.end(), c->id), list.end());
    }
    std::lock_guard<std::mutex> lock(c->busy);
    close_link(*c);
    std::memset(cam->buffer, 0, 8);
    return HC_OK;
  });
}

HCAPI HcGetStatus(HcCameraDescriptor* cam, HcStatusRecord* status, HcModelStatusRecord* model_status) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!status) return HC_INVALID_PARAMETER;
    if (!on_camera(c)) return HC_NOT_SUPPORTED;
    std::vector<std::uint8_t> body;
    std::int16_t s = c.link->command(Op::Status, ByteWriter{}, body);
    if (s != HC_OK) return s;
    ByteReader r(body);
    hc::proto::CameraStatus cs = hc::proto::CameraStatus::read(r);
    if (r.fail()) return HC_NO_ANSWER;
    std::memset(status, 0, sizeof *status);
    status->camera_type = c.type;
    status->firmware = c.hello.firmware;
    status->bit_rate = static_cast<std::int32_t>(c.link->baud() / 100);
    status->card_present = cs.card_present;
    status->memory_full = cs.memory_full;
    status->memory_free_kb = static_cast<std::int32_t>(cs.memory_capacity_kb - std::min(cs.memory_used_kb, cs.memory_capacity_kb));
    status->card_free_kb = static_cast<std::int32_t>(cs.card_capacity_kb - std::min(cs.card_used_kb, cs.card_capacity_kb));
    status->memory_pictures = static_cast<std::int16_t>(cs.memory_pictures);
    status->card_pictures = static_cast<std::int16_t>(cs.card_pictures);
    status->memory_capacity_kb = static_cast<std::int32_t>(cs.memory_capacity_kb);
    status->card_capacity_kb = static_cast<std::int32_t>(cs.card_capacity_kb);
    c.named_albums[0] = cs.memory_albums;
    c.named_albums[1] = cs.card_albums;
    if (model_status) {
      std::memset(model_status, 0, sizeof *model_status);
      model_status->camera_type = c.type;
      model_status->memory_root_pictures = cs.memory_root_pictures;
      model_status->card_root_pictures = cs.card_root_pictures;
      model_status->memory_albums = static_cast<std::int16_t>(cs.memory_albums);
      model_status->card_albums = static_cast<std::int16_t>(cs.card_albums);
      model_status->memory_pictures = cs.memory_pictures;
      model_status->card_pictures = cs.card_pictures;
    }
    return HC_OK;
  });
}

HCAPI HcAlbumGetAllName(HcCameraDescriptor* cam, int32_t location, HcAlbumEntry* entries) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!entries || location < 0 || location > 1) return HC_INVALID_PARAMETER;
    if (!on_camera(c)) return HC_NOT_SUPPORTED;
    ByteWriter w;
    w.u8(static_cast<std::uint8_t>(location));
    std::vector<std::uint8_t> body;
    std::int16_t s = c.link->command(Op::Albums, w, body);
    if (s != HC_OK) return s;
    ByteReader r(body);
    int named = r.u16();
    std::vector<HcAlbumEntry> got(static_cast<std::size_t>(named) + 1);
    for (auto& e : got) {
      std::string name = r.text(hc::proto::kAlbumName);
      std::memset(e.name, 0, sizeof e.name);
      std::memcpy(e.name, name.data(), std::min<std::size_t>(name.size(), 15));
      e.picture_count = static_cast<std::int32_t>(r.u32());
    }
    if (r.fail()) return HC_NO_ANSWER;
    // The caller sized its list by the album count of the last status; the
    // camera may have changed since, so never write past that list.
    std::size_t room = c.named_albums[location] >= 0 ? static_cast<std::size_t>(c.named_albums[location]) + 1 : got.size();
    for (std::size_t i = 0; i < room; ++i) {
      if (i < got.size()) {
        entries[i] = got[i];
      } else {
        std::memset(&entries[i], 0, sizeof entries[i]);
      }
      c.album_counts[{location, static_cast<int>(i)}] = i < got.size() ? got[i].picture_count : 0;
    }
    return HC_OK;
  });
}

HCAPI HcAlbumGetPictureName(HcCameraDescriptor* cam, int32_t location, int32_t album, char* slots) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!slots || location < 0 || location > 1 || album < 0 || album > 0xFFFF) return HC_INVALID_PARAMETER;
    if (!on_camera(c)) return HC_NOT_SUPPORTED;
    std::vector<char> names;
    std::size_t total = 0;
    do {
      ByteWriter w;
      w.u8(static_cast<std::uint8_t>(location));
      w.u16(static_cast<std::uint16_t>(album));
      w.u16(static_cast<std::uint16_t>(names.size() / HC_NAME_SLOT));
      w.u16(500);
      std::vector<std::uint8_t> body;
      std::int16_t s = c.link->command(Op::Names, w, body);
      if (s != HC_OK) return s;
      ByteReader r(body);
      total = r.u16();
      std::size_t n = r.u16();
      if (r.fail() || n * HC_NAME_SLOT > r.left()) return HC_NO_ANSWER;
      if (n == 0) break;
      names.insert(names.end(), r.here(), r.here() + n * HC_NAME_SLOT);
    } while (names.size() / HC_NAME_SLOT < total);
    std::size_t count = names.size() / HC_NAME_SLOT;
    // As for the album list: the caller's block holds as many slots as the
    // album had pictures when it was told.
    auto known = c.album_counts.find({location, album});
    std::size_t room = known != c.album_counts.end() ? static_cast<std::size_t>(std::max(known->second, 0)) : count;
    std::memset(slots, 0, room * HC_NAME_SLOT);
    std::memcpy(slots, names.data(), std::min(room, count) * HC_NAME_SLOT);
    return HC_OK;
  });
}

HCAPI HcGetCameraPictInfo(HcCameraDescriptor* cam, int32_t location, int32_t album, int32_t picture,
                          int32_t thumbnail, HcPictureInfo* info, HcModelDetails* details) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!info && !details) return HC_INVALID_PARAMETER;
    if (thumbnail && (!info || !info->thumbnail)) return HC_INVALID_PARAMETER;
    if (!on_camera(c)) return HC_NOT_SUPPORTED;
    CameraPicture p;
    std::int16_t s = ask_picture(c, location, album, picture, p);
    if (s != HC_OK) return s;
    hc::HcrHeader h;
    hc::Status hs = hc::read_hcr_header(p.prefix.data(), p.prefix.size(), h);
    if (hs != hc::Status::Ok) return hc::code(hs);
    if (h.file_size != p.size) return HC_IMAGE_PROCESSING;
    std::vector<std::uint8_t> data = p.prefix;
    if (thumbnail) {
      std::uint32_t end = h.thumb_offset + h.thumb_size;
      if (end > p.size || end < h.thumb_offset) return HC_IMAGE_PROCESSING;
      if (end > data.size()) {
        std::size_t have = data.size();
        data.resize(end);
        s = c.link->read(p.ref, p.size, static_cast<std::uint32_t>(have), static_cast<std::uint32_t>(end - have),
                         data.data() + have);
        if (s != HC_OK) return s;
      }
    }
    hc::PictureInfo pi;
    hc::ModelDetails md{};
    hs = hc::get_picture_info(data.data(), data.size(), pi, details ? &md : nullptr,
                              thumbnail ? info->thumbnail : nullptr, thumbnail ? h.thumb_size : 0);
    if (hs != hc::Status::Ok) return hc::code(hs);
    if (info) {
      fill_info(pi, info);
      info->picture = static_cast<std::int16_t>(picture);
      info->location = static_cast<std::int16_t>(location);
      info->album = static_cast<std::int16_t>(album);
    }
    if (details) {
      std::memcpy(details, &md, sizeof *details);
      set_details_name(c.type, details, p.name);
    }
    c.last_location = location;
    c.last_album = album;
    c.last_picture = picture;
    return HC_OK;
  });
}

HCAPI HcGetNativePictInfo(HcCameraDescriptor* cam, const HcMemorySource* source, int32_t thumbnail,
                          HcPictureInfo* info, HcModelDetails* details) {
  return with_camera(cam, [&](Camera&) -> std::int16_t {
    if (!source || !source->data || (!info && !details)) return HC_INVALID_PARAMETER;
    if (thumbnail && (!info || !info->thumbnail)) return HC_INVALID_PARAMETER;
    const auto* data = static_cast<const std::uint8_t*>(source->data);
    hc::HcrHeader h;
    hc::Status hs = hc::read_hcr_header(data, source->size, h);
    if (hs != hc::Status::Ok) return hc::code(hs);
    hc::PictureInfo pi;
    hc::ModelDetails md{};
    hs = hc::get_picture_info(data, source->size, pi, details ? &md : nullptr, thumbnail ? info->thumbnail : nullptr,
                              thumbnail ? h.thumb_size : 0);
    if (hs != hc::Status::Ok) return hc::code(hs);
    if (info) fill_info(pi, info);
    if (details) std::memcpy(details, &md, sizeof *details);
    return HC_OK;
  });
}

HCAPI HcGetNativeCameraType(HcCameraDescriptor* cam, const HcMemorySource* source, int32_t* camera_type) {
  return with_camera(cam, [&](Camera&) -> std::int16_t {
    if (!source || !source->data || !camera_type) return HC_INVALID_PARAMETER;
    std::int32_t t = 0;
    hc::Status hs = hc::get_camera_type(static_cast<const std::uint8_t*>(source->data), source->size, t);
    if (hs != hc::Status::Ok) return hc::code(hs);
    *camera_type = t;
    return HC_OK;
  });
}

HCAPI HcGetNativePicture(HcCameraDescriptor* cam, int32_t location, int32_t album, HcPictureInfo* info,
                         HcTransferBuffer* out, const HcCallbackPair* callbacks) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!out || !out->data) return HC_INVALID_PARAMETER;
    if (!on_camera(c)) return HC_NOT_SUPPORTED;
    std::uint32_t size = 0;
    std::int16_t s = download(c, location, album, info, static_cast<std::uint8_t*>(out->data), out->size, size,
                              callbacks, 100);
    if (s != HC_OK) return s;
    out->size = size;
    return HC_OK;
  });
}

HCAPI HcGetCameraPicture(HcCameraDescriptor* cam, int32_t location, int32_t album, HcPictureInfo* info,
                         HcTransferBuffer* in, HcTransferBuffer* out, const HcCallbackPair* callbacks) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!in || !in->data || !out || !out->data) return HC_INVALID_PARAMETER;
    if (!on_camera(c)) return HC_NOT_SUPPORTED;
    std::uint32_t size = 0;
    auto* data = static_cast<std::uint8_t*>(in->data);
    std::int16_t s = download(c, location, album, info, data, in->size, size, callbacks, 60);
    if (s != HC_OK) return s;
    return deliver(c, data, size, out, callbacks, 60);
  });
}

HCAPI HcProcNativePicture(HcCameraDescriptor* cam, HcPictureInfo* info, HcTransferBuffer* in,
                          HcTransferBuffer* out, const HcCallbackPair* callbacks) {
  (void)info;
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!in || !in->data) return HC_INVALID_PARAMETER;
    return deliver(c, static_cast<const std::uint8_t*>(in->data), in->size, out, callbacks, 0);
  });
}

HCAPI HcGetCameraPictureAsJPEG(HcCameraDescriptor* cam, int32_t location, int32_t album, HcPictureInfo* info,
                               int32_t quality_index, int32_t* length, HcTransferBuffer* in,
                               HcTransferBuffer* out, const HcCallbackPair* callbacks) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!in || !in->data || !out || !out->data || !length || quality_index < 0 || quality_index > 2)
      return HC_INVALID_PARAMETER;
    if (!on_camera(c)) return HC_NOT_SUPPORTED;
    std::uint32_t size = 0;
    auto* data = static_cast<std::uint8_t*>(in->data);
    std::int16_t s = download(c, location, album, info, data, in->size, size, callbacks, 60);
    if (s != HC_OK) return s;
    return to_jpeg(data, size, quality_index, length, out, callbacks, 60);
  });
}

HCAPI HcProcNativePictureAsJPEG(HcCameraDescriptor* cam, HcPictureInfo* info, int32_t quality_index,
                                int32_t* length, HcTransferBuffer* in, HcTransferBuffer* out,
                                const HcCallbackPair* callbacks) {
  (void)info;
  return with_camera(cam, [&](Camera&) -> std::int16_t {
    if (!in || !in->data) return HC_INVALID_PARAMETER;
    return to_jpeg(static_cast<const std::uint8_t*>(in->data), in->size, quality_index, length, out, callbacks, 0);
  });
}

HCAPI HcGetImageProcessing(HcCameraDescriptor* cam, HcImageProcessingRecord* record) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!record) return HC_INVALID_PARAMETER;
    *record = c.processing;
    return HC_OK;
  });
}

HCAPI HcSetImageProcessing(HcCameraDescriptor* cam, const HcImageProcessingRecord* record) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!record || record->colour != 1 || (record->row_order != 0 && record->row_order != 2))
      return HC_INVALID_PARAMETER;
    c.processing = *record;
    return HC_OK;
  });
}

HCAPI HcDeletePicture(HcCameraDescriptor* cam, int32_t location, int32_t album, int32_t picture) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (location < 0 || location > 1 || album < 0 || album > 0xFFFF || (picture < 1 && picture != HC_ALL_PICTURES))
      return HC_INVALID_PARAMETER;
    if (!on_camera(c)) return HC_NOT_SUPPORTED;
    ByteWriter w;
    w.u8(static_cast<std::uint8_t>(location));
    w.u16(static_cast<std::uint16_t>(album));
    w.i32(picture);
    std::vector<std::uint8_t> body;
    std::int16_t s = c.link->command(Op::Delete, w, body);
    // Numbers after a deleted picture move down: the remembered picture
    // may now be another one.
    c.last_picture = 0;
    return s;
  });
}

HCAPI HcGetLinkStats(HcCameraDescriptor* cam, HcLinkStats* stats) {
  return with_camera(cam, [&](Camera& c) -> std::int16_t {
    if (!stats) return HC_INVALID_PARAMETER;
    std::memset(stats, 0, sizeof *stats);
    if (!c.link) return HC_OK;
    const auto& s = c.link->stats();
    stats->baud = c.link->baud();
    stats->frames_sent = static_cast<std::uint32_t>(s.frames_sent);
    stats->retransmits = static_cast<std::uint32_t>(s.retransmits);
    stats->rerequested_bytes = static_cast<std::uint32_t>(s.rerequested);
    stats->bad_frames = static_cast<std::uint32_t>(s.bad_frames);
    stats->recoveries = static_cast<std::uint32_t>(s.recoveries);
    return HC_OK;
  });
}

}  // extern "C"
