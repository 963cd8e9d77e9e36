#include "core/protocol/camera_endpoint.h"

#include <algorithm>

namespace hc::proto {

CameraEndpoint::CameraEndpoint(CameraHandler& handler, EndpointTiming timing) : h_(handler), t_(timing) {}

void CameraEndpoint::receive(const std::uint8_t* data, std::size_t size, std::int64_t now_ms) {
  parser_.feed(data, size);
  Frame f;
  while (parser_.next(f)) {
    last_heard_ = now_ms;
    confirmed_ = true;
    handle(f, now_ms);
  }
}

void CameraEndpoint::stalled(std::int64_t now_ms) {
  if (!parser_.partial()) return;
  parser_.stalled();
  receive(nullptr, 0, now_ms);
}

void CameraEndpoint::queue(FrameType type, std::uint16_t seq, const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> out;
  encode_frame(type, seq, payload.data(), payload.size(), out);
  control_.push_back(std::move(out));
}

void CameraEndpoint::handle(const Frame& f, std::int64_t now_ms) {
  (void)now_ms;
  switch (f.type) {
    case FrameType::Command:
      handle_command(f);
      break;
    case FrameType::Read: {
      ByteReader r(f.payload);
      ReadRequest rq = ReadRequest::read(r);
      std::int16_t s = r.fail() || rq.chunk == 0 || rq.chunk > kMaxPayload - 4 ? st::kInvalidParameter
                                                                               : h_.check_read(rq);
      if (s != st::kOk) {
        ByteWriter w;
        w.i16(s);
        queue(FrameType::ReadError, f.seq, w.data());
      } else {
        reads_.push_back({f.seq, rq, 0});
      }
      break;
    }
    case FrameType::Abort:
      reads_.clear();
      queue(FrameType::AbortAck, f.seq, {});
      break;
    default:
      break;  // not for a camera
  }
}

void CameraEndpoint::handle_command(const Frame& f) {
  auto cached = answers_.find(f.seq);
  if (cached != answers_.end()) {
    // The host did not get our answer: say it again, do not act again.
    control_.push_back(cached->second);
    return;
  }
  ByteReader r(f.payload);
  Op op = static_cast<Op>(r.u8());
  ByteWriter out;
  std::int16_t s = st::kOk;
  ByteWriter body;
  switch (op) {
    case Op::Hello: {
      std::uint32_t session = r.u32();
      r.u16();
      if (r.fail()) {
        s = st::kInvalidParameter;
        break;
      }
      if (session != session_) {
        session_ = session;
        answers_.clear();
        answer_order_.clear();
      }
      reads_.clear();
      HelloInfo info = h_.hello();
      body.i32(info.camera_type);
      body.u16(kProtocolVersion);
      body.u32(info.max_baud);
      body.u16(info.firmware);
      break;
    }
    case Op::SetSpeed: {
      std::uint32_t rate = r.u32();
      HelloInfo info = h_.hello();
      bool known = std::find(std::begin(kRates), std::end(kRates), rate) != std::end(kRates);
      if (r.fail() || !known || rate > info.max_baud) {
        s = st::kInvalidParameter;
      } else {
        reads_.clear();
        pending_baud_ = rate;
      }
      break;
    }
    case Op::Ping:
      break;
    case Op::Bye:
      reads_.clear();
      pending_baud_ = kStartBaud;
      break;
    default:
      s = h_.command(op, r, body);
      break;
  }
  out.i16(s);
  out.bytes(body.data().data(), body.data().size());
  std::vector<std::uint8_t> frame;
  encode_frame(FrameType::Response, f.seq, out.data().data(), out.data().size(), frame);
  answers_[f.seq] = frame;
  answer_order_.push_back(f.seq);
  if (answer_order_.size() > 16) {
    answers_.erase(answer_order_.front());
    answer_order_.pop_front();
  }
  control_.push_back(std::move(frame));
}

bool CameraEndpoint::next_frame(std::vector<std::uint8_t>& out) {
  if (!control_.empty()) {
    out.insert(out.end(), control_.front().begin(), control_.front().end());
    control_.pop_front();
    return true;
  }
  // No stream while a speed change waits for the line to drain.
  if (pending_baud_ != 0) return false;
  while (!reads_.empty()) {
    Pending& p = reads_.front();
    if (p.sent >= p.rq.length) {
      reads_.pop_front();
      continue;
    }
    std::uint32_t n = std::min<std::uint32_t>(p.rq.chunk, p.rq.length - p.sent);
    std::uint32_t off = p.rq.offset + p.sent;
    ByteWriter w;
    w.u32(off);
    std::vector<std::uint8_t>& b = w.data();
    b.resize(4 + n);
    std::int16_t s = h_.read_bytes(p.rq.ref, off, n, b.data() + 4);
    if (s != st::kOk) {
      ByteWriter e;
      e.i16(s);
      encode_frame(FrameType::ReadError, p.tag, e.data().data(), e.data().size(), out);
      reads_.pop_front();
      return true;
    }
    encode_frame(FrameType::Data, p.tag, b.data(), b.size(), out);
    p.sent += n;
    if (p.sent >= p.rq.length) reads_.pop_front();
    return true;
  }
  return false;
}

void CameraEndpoint::set_baud(std::uint32_t baud, std::int64_t now_ms) {
  baud_ = baud;
  changed_at_ = now_ms;
  last_heard_ = now_ms;
  confirmed_ = baud == kStartBaud;
  parser_.reset();
}

bool CameraEndpoint::drained(std::int64_t now_ms) {
  if (pending_baud_ == 0 || !control_.empty()) return false;
  std::uint32_t b = pending_baud_;
  pending_baud_ = 0;
  if (b == baud_) return false;
  set_baud(b, now_ms);
  return true;
}

bool CameraEndpoint::tick(std::int64_t now_ms) {
  if (baud_ == kStartBaud || pending_baud_ != 0) return false;
  bool lost = !confirmed_ && now_ms - changed_at_ > t_.unconfirmed_revert_ms;
  bool idle = now_ms - last_heard_ > t_.idle_revert_ms;
  if (!lost && !idle) return false;
  reads_.clear();
  set_baud(kStartBaud, now_ms);
  return true;
}

}  // namespace hc::proto
