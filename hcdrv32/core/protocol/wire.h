#pragma once
// What travels inside the frames: commands and their answers, stream
// requests and pieces. Little-endian throughout. Statuses are the driver's
// 16-bit statuses, so an answer can be handed to the program unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace hc::proto {

inline constexpr std::uint16_t kProtocolVersion = 1;
inline constexpr std::uint32_t kStartBaud = 9600;

namespace st {
inline constexpr std::int16_t kOk = 0;
inline constexpr std::int16_t kInvalidParameter = -1000;
inline constexpr std::int16_t kCameraNotFound = -1002;
inline constexpr std::int16_t kNotSupported = -1003;
inline constexpr std::int16_t kStopped = -1004;
inline constexpr std::int16_t kNoCard = -1005;
inline constexpr std::int16_t kNoAnswer = -1006;
inline constexpr std::int16_t kOutOfMemory = -1011;
inline constexpr std::int16_t kIncompatible = -1019;
inline constexpr std::int16_t kSystemError = -1020;
inline constexpr std::int16_t kMemoryFull = -1022;
}  // namespace st

enum class Op : std::uint8_t {
  Hello = 1,        // u32 session, u16 version -> i32 camera type, u16 version, u32 max baud, u16 firmware
  SetSpeed = 2,     // u32 baud -> (status); the camera changes speed once the answer is sent
  Ping = 3,         // -> (status)
  Status = 4,       // -> CameraStatus
  Albums = 5,       // u8 location -> u16 named albums n, (n + 1) x {name[16], u32 count}
  Names = 6,        // u8 location, u16 album, u16 first, u16 max -> u16 total, u16 count, count x 15 bytes
  PictureInfo = 7,  // PictureRef -> u32 size, name[16], u16 prefix length, prefix bytes
  Delete = 8,       // u8 location, u16 album, i32 picture (-1 all) -> u16 deleted
  Bye = 9,          // -> (status); the camera goes back to the start speed
};

inline constexpr std::size_t kNameSlot = 15;
inline constexpr std::size_t kAlbumName = 16;
inline constexpr std::size_t kPictureName = 16;
// Bytes of a picture's start sent with its information: enough for every
// header field, small enough to keep a listing quick at 9,600 baud.
inline constexpr std::uint32_t kInfoPrefix = 256;

class ByteWriter {
 public:
  void u8(std::uint8_t v) { b_.push_back(v); }
  void u16(std::uint16_t v) { for (int i = 0; i < 2; ++i) b_.push_back(static_cast<std::uint8_t>(v >> (8 * i))); }
  void u32(std::uint32_t v) { for (int i = 0; i < 4; ++i) b_.push_back(static_cast<std::uint8_t>(v >> (8 * i))); }
  void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void bytes(const void* p, std::size_t n) {
    const auto* c = static_cast<const std::uint8_t*>(p);
    b_.insert(b_.end(), c, c + n);
  }
  // A text in a fixed field, zero padded; cut to the field when longer.
  void text(const std::string& s, std::size_t field) {
    std::size_t n = s.size() < field ? s.size() : field;
    bytes(s.data(), n);
    b_.insert(b_.end(), field - n, 0);
  }
  std::vector<std::uint8_t>& data() { return b_; }
  const std::vector<std::uint8_t>& data() const { return b_; }

 private:
  std::vector<std::uint8_t> b_;
};

// Reads fields in order; any read past the end sets fail() and yields zeros,
// so a short or hostile payload can be parsed without checks at every step.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
  explicit ByteReader(const std::vector<std::uint8_t>& v) : p_(v.data()), n_(v.size()) {}
  std::uint8_t u8() { std::uint8_t v = 0; take(&v, 1); return v; }
  std::uint16_t u16() { std::uint8_t b[2] = {}; take(b, 2); return static_cast<std::uint16_t>(b[0] | (b[1] << 8)); }
  std::uint32_t u32() {
    std::uint8_t b[4] = {};
    take(b, 4);
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  }
  std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  bool take(void* out, std::size_t n) {
    if (fail_ || n > n_ - pos_) {
      fail_ = true;
      std::memset(out, 0, n);
      return false;
    }
    std::memcpy(out, p_ + pos_, n);
    pos_ += n;
    return true;
  }
  std::string text(std::size_t field) {
    std::string s(field, '\0');
    take(s.data(), field);
    s.resize(std::strlen(s.c_str()));
    return s;
  }
  const std::uint8_t* here() const { return p_ + pos_; }
  std::size_t left() const { return n_ - pos_; }
  bool fail() const { return fail_; }

 private:
  const std::uint8_t* p_;
  std::size_t n_;
  std::size_t pos_ = 0;
  bool fail_ = false;
};

struct PictureRef {
  std::uint8_t location = 0;
  std::uint16_t album = 0;
  std::uint16_t picture = 0;  // from 1

  void write(ByteWriter& w) const { w.u8(location); w.u16(album); w.u16(picture); }
  static PictureRef read(ByteReader& r) {
    PictureRef p;
    p.location = r.u8();
    p.album = r.u16();
    p.picture = r.u16();
    return p;
  }
};

struct HelloInfo {
  std::int32_t camera_type = 0;
  std::uint16_t version = 0;
  std::uint32_t max_baud = 0;
  std::uint16_t firmware = 0;
};

struct CameraStatus {
  std::uint8_t card_present = 0;
  std::uint8_t memory_full = 0;
  std::uint16_t memory_pictures = 0;
  std::uint16_t card_pictures = 0;
  std::uint16_t memory_albums = 0;  // named albums, without the root
  std::uint16_t card_albums = 0;
  std::uint16_t memory_root_pictures = 0;
  std::uint16_t card_root_pictures = 0;
  std::uint32_t memory_capacity_kb = 0;
  std::uint32_t memory_used_kb = 0;
  std::uint32_t card_capacity_kb = 0;
  std::uint32_t card_used_kb = 0;

  void write(ByteWriter& w) const {
    w.u8(card_present); w.u8(memory_full);
    w.u16(memory_pictures); w.u16(card_pictures); w.u16(memory_albums); w.u16(card_albums);
    w.u16(memory_root_pictures); w.u16(card_root_pictures);
    w.u32(memory_capacity_kb); w.u32(memory_used_kb); w.u32(card_capacity_kb); w.u32(card_used_kb);
  }
  static CameraStatus read(ByteReader& r) {
    CameraStatus s;
    s.card_present = r.u8(); s.memory_full = r.u8();
    s.memory_pictures = r.u16(); s.card_pictures = r.u16(); s.memory_albums = r.u16(); s.card_albums = r.u16();
    s.memory_root_pictures = r.u16(); s.card_root_pictures = r.u16();
    s.memory_capacity_kb = r.u32(); s.memory_used_kb = r.u32(); s.card_capacity_kb = r.u32(); s.card_used_kb = r.u32();
    return s;
  }
};

// A stream request: the camera answers with Data frames of at most `chunk`
// bytes covering [offset, offset + length) in order. file_size is what the
// host believes the picture's size to be, so a picture that changed under it
// is refused instead of mixed.
struct ReadRequest {
  PictureRef ref;
  std::uint32_t file_size = 0;
  std::uint32_t offset = 0;
  std::uint32_t length = 0;
  std::uint16_t chunk = 0;

  void write(ByteWriter& w) const { ref.write(w); w.u32(file_size); w.u32(offset); w.u32(length); w.u16(chunk); }
  static ReadRequest read(ByteReader& r) {
    ReadRequest q;
    q.ref = PictureRef::read(r);
    q.file_size = r.u32();
    q.offset = r.u32();
    q.length = r.u32();
    q.chunk = r.u16();
    return q;
  }
};

// The standard rates the link knows, fastest first.
inline constexpr std::uint32_t kRates[] = {230400, 115200, 57600, 38400, 19200, 9600};

// Bytes a stream piece carries at a given rate: about a quarter second of
// line time, so a lost piece costs little and a stop is honoured quickly,
// while the 16 bytes of framing stay below 1.6 % from 57,600 baud up.
inline std::uint16_t chunk_for_baud(std::uint32_t baud) {
  std::uint32_t target = baud / 10 / 4;
  std::uint32_t c = 256;
  while (c * 2 <= target && c < 4096) c *= 2;
  return static_cast<std::uint16_t>(c);
}

}  // namespace hc::proto
