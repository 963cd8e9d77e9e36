#include "core/protocol/frame.h"

#include <algorithm>

#include "core/protocol/crc.h"

namespace hc::proto {

void encode_frame(FrameType type, std::uint16_t seq, const std::uint8_t* payload, std::size_t size,
                  std::vector<std::uint8_t>& out) {
  std::uint8_t h[kHeaderSize];
  h[0] = kStartByte;
  h[1] = static_cast<std::uint8_t>(type);
  h[2] = static_cast<std::uint8_t>(seq);
  h[3] = static_cast<std::uint8_t>(seq >> 8);
  h[4] = static_cast<std::uint8_t>(size);
  h[5] = static_cast<std::uint8_t>(size >> 8);
  std::uint16_t hc = crc16(h, 6);
  h[6] = static_cast<std::uint8_t>(hc);
  h[7] = static_cast<std::uint8_t>(hc >> 8);
  out.insert(out.end(), h, h + kHeaderSize);
  if (size) out.insert(out.end(), payload, payload + size);
  std::uint32_t pc = crc32(payload, size);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(pc >> (8 * i)));
}

void FrameParser::feed(const std::uint8_t* data, std::size_t size) {
  if (head_ > 0 && head_ * 2 >= buf_.size()) {
    buf_.erase(buf_.begin(), buf_.begin() + static_cast<std::ptrdiff_t>(head_));
    head_ = 0;
  }
  buf_.insert(buf_.end(), data, data + size);
  scan();
}

void FrameParser::drop(std::size_t n, bool skipped) {
  head_ += n;
  if (skipped) skipped_ += n;
}

void FrameParser::scan() {
  for (;;) {
    std::size_t avail = buf_.size() - head_;
    const std::uint8_t* p = buf_.data() + head_;
    if (avail == 0) return;
    if (p[0] != kStartByte) {
      const std::uint8_t* s = std::find(p, p + avail, kStartByte);
      drop(static_cast<std::size_t>(s - p), true);
      continue;
    }
    if (avail < kHeaderSize) return;
    std::uint16_t hc = static_cast<std::uint16_t>(p[6] | (p[7] << 8));
    std::size_t len = static_cast<std::size_t>(p[4] | (p[5] << 8));
    if (crc16(p, 6) != hc || len > kMaxPayload) {
      // Not a real start: look for the next start byte inside what we have.
      ++bad_frames_;
      drop(1, true);
      continue;
    }
    if (avail < kHeaderSize + len + kTrailerSize) return;
    const std::uint8_t* body = p + kHeaderSize;
    const std::uint8_t* t = body + len;
    std::uint32_t pc = static_cast<std::uint32_t>(t[0]) | (static_cast<std::uint32_t>(t[1]) << 8) |
                       (static_cast<std::uint32_t>(t[2]) << 16) | (static_cast<std::uint32_t>(t[3]) << 24);
    if (crc32(body, len) != pc) {
      // A damaged payload, or bytes lost inside it so that the next frame's
      // start is now within this one: rescan from just after the start byte.
      ++bad_frames_;
      drop(1, true);
      continue;
    }
    Frame f;
    f.type = static_cast<FrameType>(p[1]);
    f.seq = static_cast<std::uint16_t>(p[2] | (p[3] << 8));
    f.payload.assign(body, body + len);
    if (ready_head_ > 0 && ready_head_ == ready_.size()) {
      ready_.clear();
      ready_head_ = 0;
    }
    ready_.push_back(std::move(f));
    drop(kHeaderSize + len + kTrailerSize, false);
  }
}

bool FrameParser::next(Frame& frame) {
  if (ready_head_ >= ready_.size()) {
    ready_.clear();
    ready_head_ = 0;
    return false;
  }
  frame = std::move(ready_[ready_head_++]);
  return true;
}

void FrameParser::stalled() {
  if (head_ >= buf_.size()) return;
  ++bad_frames_;
  drop(1, true);
  scan();
}

void FrameParser::reset() {
  buf_.clear();
  head_ = 0;
}

}  // namespace hc::proto
