#pragma once
// Link frames: start byte, type, sequence, payload length, header CRC-16,
// payload, payload CRC-32. The parser takes bytes as they come from the line
// and finds frames again after garbage, lost bytes or a cut frame.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace hc::proto {

inline constexpr std::uint8_t kStartByte = 0xA5;
inline constexpr std::size_t kHeaderSize = 8;
inline constexpr std::size_t kTrailerSize = 4;
inline constexpr std::size_t kMaxPayload = 8192;
inline constexpr std::size_t kFrameOverhead = kHeaderSize + kTrailerSize;

enum class FrameType : std::uint8_t {
  Command = 0x10,   // host -> camera: one request, answered by one Response
  Response = 0x11,  // camera -> host: the answer, sequence echoed
  Read = 0x20,      // host -> camera: stream a byte range of a picture
  Data = 0x21,      // camera -> host: one piece of a Read, offset in the payload
  ReadError = 0x22, // camera -> host: a Read that cannot be served, with a status
  Abort = 0x30,     // host -> camera: drop every queued Read
  AbortAck = 0x31,  // camera -> host: nothing of earlier Reads follows
};

struct Frame {
  FrameType type{};
  std::uint16_t seq = 0;
  std::vector<std::uint8_t> payload;
};

// Appends the encoded frame to out. payload size must not exceed kMaxPayload.
void encode_frame(FrameType type, std::uint16_t seq, const std::uint8_t* payload, std::size_t size,
                  std::vector<std::uint8_t>& out);
inline void encode_frame(const Frame& f, std::vector<std::uint8_t>& out) {
  encode_frame(f.type, f.seq, f.payload.data(), f.payload.size(), out);
}

class FrameParser {
 public:
  // Takes bytes from the line; complete frames are queued for next().
  void feed(const std::uint8_t* data, std::size_t size);
  bool next(Frame& frame);
  // The line went quiet in the middle of a frame: that frame was cut (or its
  // length damaged), so look for frames in what came after its start.
  // Without this a frame that follows a cut one would wait for bytes that
  // only the next transmission brings.
  void stalled();
  bool partial() const { return head_ < buf_.size(); }
  // Forgets a partly received frame (after a purge or a speed change).
  void reset();

  // Bytes thrown away while looking for a frame, and frames whose header or
  // payload check failed: what a link reports when the line is noisy.
  std::uint64_t skipped_bytes() const { return skipped_; }
  std::uint64_t bad_frames() const { return bad_frames_; }

 private:
  void scan();
  void drop(std::size_t n, bool skipped);

  std::vector<std::uint8_t> buf_;
  std::size_t head_ = 0;
  std::vector<Frame> ready_;
  std::size_t ready_head_ = 0;
  std::uint64_t skipped_ = 0;
  std::uint64_t bad_frames_ = 0;
};

}  // namespace hc::proto
