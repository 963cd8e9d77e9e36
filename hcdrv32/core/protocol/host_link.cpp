#include "core/protocol/host_link.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <random>
#include <thread>

namespace hc::proto {
namespace {

std::int64_t now_ms() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A sender writes a frame in one go; a pause this long inside one means it was cut.
constexpr int kStallMs = 100;

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace

HostLink::HostLink(Channel& channel, LinkTiming timing) : ch_(channel), t_(timing), rx_(16384) {
  // The session number lets the camera tell a repeated command of this
  // session from a new session that happens to reuse a sequence number.
  std::random_device rd;
  session_ = rd() ^ static_cast<std::uint32_t>(now_ms()) ^
             static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(this));
  seq_ = static_cast<std::uint16_t>(session_ >> 9);
  tag_ = static_cast<std::uint16_t>(session_ >> 3);
}

int HostLink::frame_ms(std::size_t bytes) const {
  return static_cast<int>(bytes * 10 * 1000 / baud_) + 1;
}

void HostLink::send(FrameType type, std::uint16_t seq, const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> out;
  encode_frame(type, seq, payload.data(), payload.size(), out);
  ch_.write(out.data(), out.size());
  ++stats_.frames_sent;
}

bool HostLink::pump(int timeout_ms) {
  std::size_t n = ch_.read(rx_.data(), rx_.size(), timeout_ms < 1 ? 1 : timeout_ms);
  if (n == 0) {
    if (timeout_ms >= kStallMs) parser_.stalled();
    return false;
  }
  parser_.feed(rx_.data(), n);
  stats_.bad_frames = parser_.bad_frames();
  return true;
}

std::int16_t HostLink::exchange(Op op, const ByteWriter& args, std::vector<std::uint8_t>& body, int tries,
                                int answer_ms, std::uint16_t seq) {
  std::vector<std::uint8_t> payload;
  payload.push_back(static_cast<std::uint8_t>(op));
  payload.insert(payload.end(), args.data().begin(), args.data().end());
  if (seq == 0) seq = next_seq();
  for (int i = 0; i < tries; ++i) {
    if (i) ++stats_.retransmits;
    send(FrameType::Command, seq, payload);
    const std::int64_t start = now_ms();
    std::int64_t deadline = start + answer_ms + frame_ms(payload.size() + kFrameOverhead);
    // Bytes that keep coming extend the wait, but never beyond the time the
    // longest possible answer takes.
    const std::int64_t hard = deadline + frame_ms(kMaxPayload + kFrameOverhead) + t_.gap_ms;
    for (;;) {
      Frame f;
      while (parser_.next(f)) {
        if (f.type != FrameType::Response || f.seq != seq) continue;  // late pieces of an old stream
        ByteReader r(f.payload);
        std::int16_t s = r.i16();
        if (r.fail()) continue;
        body.assign(f.payload.begin() + 2, f.payload.end());
        return s;
      }
      std::int64_t now = now_ms();
      if (now >= deadline) break;
      if (pump(static_cast<int>(std::min<std::int64_t>(deadline - now, 100))))
        deadline = std::min(hard, std::max(deadline, now_ms() + t_.gap_ms));
    }
  }
  return st::kNoAnswer;
}

std::int16_t HostLink::hello(int tries, HelloInfo& info) {
  ByteWriter w;
  w.u32(session_);
  w.u16(kProtocolVersion);
  std::vector<std::uint8_t> body;
  std::int16_t s = exchange(Op::Hello, w, body, tries, t_.answer_ms);
  if (s != st::kOk) return s;
  ByteReader r(body);
  info.camera_type = r.i32();
  info.version = r.u16();
  info.max_baud = r.u32();
  info.firmware = r.u16();
  if (r.fail() || info.version != kProtocolVersion) return st::kIncompatible;
  return st::kOk;
}

std::int16_t HostLink::connect(std::uint32_t baud, HelloInfo& info) {
  connected_ = false;
  target_ = baud;
  auto restart_at = [&](std::uint32_t rate) {
    ch_.set_baud(rate);
    baud_ = rate;
    ch_.purge();
    parser_.reset();
  };
  restart_at(kStartBaud);
  std::int16_t s = hello(t_.command_tries, info);
  if (s == st::kNoAnswer && baud != kStartBaud) {
    // A session that ended without saying goodbye may have left the camera
    // at the faster speed.
    restart_at(baud);
    s = hello(2, info);
    if (s == st::kOk) {
      connected_ = true;
      return st::kOk;
    }
    restart_at(kStartBaud);
  }
  if (s == st::kNoAnswer) return st::kCameraNotFound;
  if (s != st::kOk) return s;
  connected_ = true;
  std::uint32_t want = std::min(baud, info.max_baud ? info.max_baud : kStartBaud);
  for (std::uint32_t r : kRates) {
    if (r > want || r <= kStartBaud) continue;
    if (switch_to(r)) break;
    if (!connected_) return st::kCameraNotFound;
  }
  target_ = baud_;
  return st::kOk;
}

bool HostLink::switch_to(std::uint32_t rate) {
  ByteWriter w;
  w.u32(rate);
  std::vector<std::uint8_t> body;
  if (exchange(Op::SetSpeed, w, body, t_.command_tries, t_.answer_ms) != st::kOk) return false;
  // The camera changes over once its answer has left; let the last bytes go.
  sleep_ms(20);
  const std::uint32_t old = baud_;
  ch_.set_baud(rate);
  baud_ = rate;
  parser_.reset();
  if (exchange(Op::Ping, ByteWriter{}, body, 3, 250) == st::kOk) return true;
  // The faster speed does not work on this line. The camera falls back to
  // the old speed by itself once it hears nothing valid; meet it there.
  ch_.set_baud(old);
  baud_ = old;
  ch_.purge();
  parser_.reset();
  const std::int64_t until = now_ms() + t_.revert_wait_ms + 2000;
  HelloInfo info;
  while (now_ms() < until)
    if (hello(1, info) == st::kOk) return false;
  connected_ = false;
  return false;
}

bool HostLink::recover() {
  ++stats_.recoveries;
  HelloInfo info;
  // Still at our speed after a passing disturbance? The camera keeps it for
  // seconds of silence, so a noisy line gets every try here.
  if (hello(t_.command_tries, info) == st::kOk) return true;
  if (baud_ != kStartBaud) {
    // The camera went back to the start speed (it does after a long silence).
    ch_.set_baud(kStartBaud);
    baud_ = kStartBaud;
    ch_.purge();
    parser_.reset();
    if (hello(3, info) != st::kOk) return false;
    for (std::uint32_t r : kRates)
      if (r <= target_ && r > kStartBaud && switch_to(r)) break;
    return connected_;
  }
  return false;
}

std::int16_t HostLink::command(Op op, const ByteWriter& args, std::vector<std::uint8_t>& body) {
  const std::uint16_t seq = next_seq();
  std::int16_t s = exchange(op, args, body, t_.command_tries, t_.answer_ms, seq);
  if (s != st::kNoAnswer) return s;
  if (!recover()) return st::kNoAnswer;
  // Same sequence number: the camera keeps the answers of this session, so
  // a deletion that was done but whose answer was lost is not done twice.
  return exchange(op, args, body, 2, t_.answer_ms, seq);
}

bool HostLink::abort_stream() {
  const std::uint16_t seq = next_seq();
  for (int i = 0; i < t_.command_tries; ++i) {
    send(FrameType::Abort, seq, {});
    std::int64_t deadline = now_ms() + t_.answer_ms + frame_ms(kMaxPayload + kFrameOverhead);
    while (now_ms() < deadline) {
      Frame f;
      while (parser_.next(f))
        if (f.type == FrameType::AbortAck && f.seq == seq) return true;
      pump(50);
    }
  }
  return false;
}

std::int16_t HostLink::read(const PictureRef& ref, std::uint32_t file_size, std::uint32_t offset,
                            std::uint32_t length, std::uint8_t* dest, const std::function<bool(std::uint32_t)>& progress) {
  if (length == 0) return st::kOk;
  // Bookkeeping in units of the smallest piece; every piece starts on a unit.
  constexpr std::uint32_t kUnit = 256;
  const std::uint32_t base_chunk = chunk_for_baud(baud_);
  std::uint32_t chunk = base_chunk;
  const std::size_t nunits = (static_cast<std::size_t>(length) + kUnit - 1) / kUnit;
  std::vector<std::uint8_t> have(nunits, 0);
  std::uint32_t received_bytes = 0;

  // Requests the camera has not finished, in the order it serves them. A
  // piece that arrives proves that every byte asked for before it in this
  // order was sent, so what did not arrive was lost and is asked for again
  // at once, in smaller pieces while the line is noisy.
  struct Req {
    std::uint16_t tag;
    std::uint32_t start, end, chunk, next;  // relative to offset
  };
  std::deque<Req> out;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> missing;  // sorted, disjoint [from, to)
  std::uint32_t next_new = 0;
  const std::uint32_t per_request = 4;
  const std::uint32_t window = 8 * base_chunk;  // bytes in flight: the line never waits for us
  int clean_pieces = 0;
  bool stale_possible = false;

  auto in_flight = [&] {
    std::uint32_t n = 0;
    for (const Req& q : out) n += q.end - q.next;
    return n;
  };
  auto lose = [&](std::uint32_t from, std::uint32_t to) {
    if (from >= to) return;
    missing.emplace_back(from, to);
    std::sort(missing.begin(), missing.end());
    std::vector<std::pair<std::uint32_t, std::uint32_t>> merged;
    for (auto& m : missing) {
      if (!merged.empty() && m.first <= merged.back().second)
        merged.back().second = std::max(merged.back().second, m.second);
      else
        merged.push_back(m);
    }
    missing.swap(merged);
    if (chunk > kUnit) chunk /= 2;
    clean_pieces = 0;
  };
  auto issue = [&](std::uint32_t from, std::uint32_t to) {
    Req q{++tag_, from, to, chunk, from};
    ReadRequest rq;
    rq.ref = ref;
    rq.file_size = file_size;
    rq.offset = offset + from;
    rq.length = to - from;
    rq.chunk = static_cast<std::uint16_t>(chunk);
    ByteWriter w;
    rq.write(w);
    send(FrameType::Read, q.tag, w.data());
    out.push_back(q);
  };
  auto fill = [&] {
    while (in_flight() < window) {
      // Skip what came meanwhile (a late piece of a request given up on).
      while (!missing.empty()) {
        auto& m = missing.front();
        while (m.first < m.second && have[m.first / kUnit]) m.first = std::min(m.second, (m.first / kUnit + 1) * kUnit);
        if (m.first < m.second) break;
        missing.erase(missing.begin());
      }
      if (!missing.empty()) {
        auto& m = missing.front();
        std::uint32_t to = m.first;
        while (to < m.second && to - m.first < per_request * chunk && !have[to / kUnit])
          to = std::min(m.second, (to / kUnit + 1) * kUnit);
        stats_.rerequested += to - m.first;
        issue(m.first, to);
        m.first = to;
        if (m.first >= m.second) missing.erase(missing.begin());
      } else if (next_new < length) {
        std::uint32_t to = static_cast<std::uint32_t>(std::min<std::uint64_t>(length, std::uint64_t{next_new} + per_request * chunk));
        issue(next_new, to);
        next_new = to;
      } else {
        break;
      }
    }
  };

  auto silence_ms = [&] { return t_.answer_ms + 3 * frame_ms(base_chunk + kFrameOverhead + 4); };
  std::int64_t last_progress = now_ms();
  int silences = 0;
  int fruitless_recoveries = 0;  // reconnections with no useful piece since
  fill();
  while (received_bytes < length) {
    Frame f;
    while (parser_.next(f)) {
      if (f.type != FrameType::Data && f.type != FrameType::ReadError) continue;
      auto it = std::find_if(out.begin(), out.end(), [&](const Req& q) { return q.tag == f.seq; });
      if (it == out.end()) continue;  // from a request given up on
      ByteReader r(f.payload);
      if (f.type == FrameType::ReadError) {
        std::int16_t s = r.i16();
        abort_stream();
        return s != st::kOk ? s : st::kSystemError;
      }
      std::uint32_t off = r.u32();
      if (r.fail() || off < offset + it->start || off >= offset + it->end) continue;
      const std::uint32_t rel = off - offset;
      const std::uint32_t n = static_cast<std::uint32_t>(r.left());
      if ((rel - it->start) % it->chunk != 0 || n != std::min(it->chunk, it->end - rel)) continue;
      for (auto j = out.begin(); j != it; ++j) lose(j->next, j->end);
      if (rel > it->next) lose(it->next, rel);
      it->next = std::max(it->next, rel + n);
      out.erase(out.begin(), it);
      if (out.front().next >= out.front().end) out.pop_front();
      std::copy(r.here(), r.here() + n, dest + rel);
      for (std::uint32_t u = rel / kUnit; u < (rel + n + kUnit - 1) / kUnit; ++u) {
        if (have[u]) continue;
        have[u] = 1;
        received_bytes += std::min(kUnit, length - u * kUnit);
      }
      last_progress = now_ms();
      silences = 0;
      fruitless_recoveries = 0;
      if (++clean_pieces >= 32 && chunk < base_chunk) {
        chunk *= 2;
        clean_pieces = 0;
      }
      if (progress && !progress(received_bytes)) {
        abort_stream();
        return st::kStopped;
      }
    }
    if (received_bytes >= length) break;
    fill();
    if (now_ms() - last_progress < silence_ms()) {
      pump(std::max<int>(1, static_cast<int>(silence_ms() - (now_ms() - last_progress))));
      continue;
    }
    // Nothing useful for a while: either the last requests were lost or the
    // camera is gone. A camera that answers the reconnection is still there,
    // however noisy the line: the stream goes on while pieces keep coming.
    if (++silences >= t_.stream_silences) {
      if (fruitless_recoveries >= t_.stream_recoveries || !recover()) return st::kNoAnswer;
      ++fruitless_recoveries;
      silences = 0;
    }
    for (const Req& q : out) lose(q.next, q.end);
    out.clear();
    stale_possible = true;
    last_progress = now_ms();
    fill();
    // No later piece can prove the last request lost, so only another
    // silence would. Ask for it twice: either copy is enough.
    if (next_new >= length && missing.empty() && !out.empty()) {
      const Req last = out.back();
      stats_.rerequested += last.end - last.start;
      issue(last.start, last.end);
    }
  }
  // Requests given up on may still be queued at the camera: clear them so
  // the next command is not kept waiting behind them.
  if (stale_possible) abort_stream();
  return st::kOk;
}

void HostLink::bye() {
  std::vector<std::uint8_t> body;
  exchange(Op::Bye, ByteWriter{}, body, 2, 200);
  connected_ = false;
}

}  // namespace hc::proto
