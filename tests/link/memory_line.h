#pragma once
// An in-memory serial line between a HostLink and a CameraEndpoint running
// on its own thread, with the faults of a real line: corrupted and lost
// bytes, a camera that falls silent, garbage when the two ends disagree on
// the speed, and speeds the line cannot carry.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "core/protocol/camera_endpoint.h"
#include "core/protocol/channel.h"

namespace hc::proto::testing {

inline std::int64_t now_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

struct LineFaults {
  double corrupt = 0;  // per byte, both directions
  double drop = 0;
  std::uint64_t camera_silent_after = UINT64_MAX;  // bytes the camera sends before it goes mute
  std::uint32_t max_working_baud = 1000000;        // faster speeds turn every byte into noise
  // Whole writes the line loses, chosen by content (one write is one frame).
  std::function<bool(int from, const std::uint8_t* p, std::size_t n)> swallow;
};

class MemoryLine {
 public:
  enum End { Host = 0, Camera = 1 };
  explicit MemoryLine(LineFaults f = {}, unsigned seed = 1) : f_(f), rng_(seed) {}

  void send(End from, const std::uint8_t* p, std::size_t n) {
    std::lock_guard<std::mutex> lock(m_);
    auto& q = q_[1 - from];
    if (f_.swallow && f_.swallow(from, p, n)) return;
    bool garble = baud_[0] != baud_[1] || baud_[0] > f_.max_working_baud;
    std::uniform_real_distribution<double> u(0, 1);
    for (std::size_t i = 0; i < n; ++i) {
      if (from == Camera && camera_sent_++ >= f_.camera_silent_after) continue;
      std::uint8_t b = p[i];
      if (garble) {
        b = static_cast<std::uint8_t>(rng_());
      } else {
        if (f_.drop > 0 && u(rng_) < f_.drop) continue;
        if (f_.corrupt > 0 && u(rng_) < f_.corrupt) b ^= static_cast<std::uint8_t>(1 + rng_() % 255);
      }
      q.push_back(b);
    }
    cv_.notify_all();
  }
  std::size_t recv(End at, std::uint8_t* p, std::size_t cap, int timeout_ms) {
    std::unique_lock<std::mutex> lock(m_);
    auto& q = q_[at];
    cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [&] { return !q.empty(); });
    std::size_t n = std::min(cap, q.size());
    std::copy(q.begin(), q.begin() + static_cast<std::ptrdiff_t>(n), p);
    q.erase(q.begin(), q.begin() + static_cast<std::ptrdiff_t>(n));
    return n;
  }
  void set_baud(End at, std::uint32_t b) {
    std::lock_guard<std::mutex> lock(m_);
    baud_[at] = b;
  }
  std::uint32_t baud(End at) {
    std::lock_guard<std::mutex> lock(m_);
    return baud_[at];
  }
  void purge(End at) {
    std::lock_guard<std::mutex> lock(m_);
    q_[at].clear();
  }

 private:
  LineFaults f_;
  std::mt19937 rng_;
  std::mutex m_;
  std::condition_variable cv_;
  std::deque<std::uint8_t> q_[2];
  std::uint32_t baud_[2] = {9600, 9600};
  std::uint64_t camera_sent_ = 0;
};

class HostEnd : public Channel {
 public:
  explicit HostEnd(MemoryLine& l) : l_(l) {}
  bool write(const std::uint8_t* d, std::size_t n) override {
    l_.send(MemoryLine::Host, d, n);
    return true;
  }
  std::size_t read(std::uint8_t* d, std::size_t cap, int timeout_ms) override {
    return l_.recv(MemoryLine::Host, d, cap, timeout_ms);
  }
  bool set_baud(std::uint32_t b) override {
    l_.set_baud(MemoryLine::Host, b);
    return true;
  }
  void purge() override { l_.purge(MemoryLine::Host); }

 private:
  MemoryLine& l_;
};

// Pictures addressed by (location, album, picture); counts what was done.
class FakeCamera : public CameraHandler {
 public:
  std::map<std::tuple<int, int, int>, std::vector<std::uint8_t>> pictures;
  std::uint32_t max_baud = 230400;
  std::atomic<int> deletions{0};

  HelloInfo hello() override { return {104, kProtocolVersion, max_baud, 1}; }
  std::int16_t command(Op op, ByteReader& args, ByteWriter& out) override {
    std::lock_guard<std::mutex> lock(m_);
    if (op == Op::Delete) {
      int loc = args.u8(), album = args.u16(), pic = args.i32();
      // Pictures after the deleted one move down, as on the camera.
      auto it = pictures.find({loc, album, pic});
      if (it == pictures.end()) return st::kInvalidParameter;
      int n = pic;
      while (pictures.count({loc, album, n + 1})) {
        pictures[{loc, album, n}] = pictures[{loc, album, n + 1}];
        ++n;
      }
      pictures.erase({loc, album, n});
      ++deletions;
      out.u16(1);
      return st::kOk;
    }
    if (op == Op::Status) {
      CameraStatus s;
      s.memory_pictures = static_cast<std::uint16_t>(pictures.size());
      s.write(out);
      return st::kOk;
    }
    return st::kNotSupported;
  }
  std::int16_t check_read(const ReadRequest& rq) override {
    std::lock_guard<std::mutex> lock(m_);
    auto it = pictures.find({rq.ref.location, rq.ref.album, rq.ref.picture});
    if (it == pictures.end() || it->second.size() != rq.file_size ||
        static_cast<std::uint64_t>(rq.offset) + rq.length > rq.file_size)
      return st::kInvalidParameter;
    return st::kOk;
  }
  std::int16_t read_bytes(const PictureRef& ref, std::uint32_t off, std::uint32_t n, std::uint8_t* out) override {
    std::lock_guard<std::mutex> lock(m_);
    auto it = pictures.find({ref.location, ref.album, ref.picture});
    if (it == pictures.end() || off + n > it->second.size()) return st::kInvalidParameter;
    std::copy(it->second.begin() + off, it->second.begin() + off + n, out);
    return st::kOk;
  }

 private:
  std::mutex m_;
};

// Runs the camera's endpoint on its own thread for the life of the object.
class CameraThread {
 public:
  CameraThread(MemoryLine& line, CameraHandler& h, EndpointTiming t = {}) : line_(line), ep_(h, t) {
    th_ = std::thread([this] { run(); });
  }
  ~CameraThread() {
    stop_ = true;
    th_.join();
  }

 private:
  void run() {
    std::vector<std::uint8_t> buf(8192), out;
    std::int64_t last_byte = now_ms();
    while (!stop_) {
      std::size_t n = line_.recv(MemoryLine::Camera, buf.data(), buf.size(), 2);
      if (n) {
        ep_.receive(buf.data(), n, now_ms());
        last_byte = now_ms();
      } else if (now_ms() - last_byte > 100) {
        ep_.stalled(now_ms());
        last_byte = now_ms();
      }
      // One frame at a time, so that an abort or a command arriving during a
      // stream is seen between pieces, as on a real line.
      out.clear();
      if (ep_.next_frame(out)) line_.send(MemoryLine::Camera, out.data(), out.size());
      if (!ep_.busy() && ep_.drained(now_ms())) line_.set_baud(MemoryLine::Camera, ep_.baud());
      if (ep_.tick(now_ms())) line_.set_baud(MemoryLine::Camera, ep_.baud());
    }
  }
  MemoryLine& line_;
  CameraEndpoint ep_;
  std::atomic<bool> stop_{false};
  std::thread th_;
};

}  // namespace hc::proto::testing
