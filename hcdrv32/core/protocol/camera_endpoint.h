#pragma once
// The camera's side of the link: answers commands (repeating a cached answer
// when the host repeats a command), serves stream requests in order, honours
// aborts, and changes speed when asked, falling back to the start speed when
// nothing valid is heard at the new one.
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "core/protocol/frame.h"
#include "core/protocol/wire.h"

namespace hc::proto {

class CameraHandler {
 public:
  virtual ~CameraHandler() = default;
  virtual HelloInfo hello() = 0;
  // Every command but the link's own (hello, speed, ping, bye). Writes the
  // answer after the status into out and returns the status.
  virtual std::int16_t command(Op op, ByteReader& args, ByteWriter& out) = 0;
  // Whether a stream request can be served: the picture exists, has the
  // size the host expects, and the range lies within it.
  virtual std::int16_t check_read(const ReadRequest& rq) = 0;
  // Bytes of a picture for a request that passed check_read. A failure
  // here (the picture vanished meanwhile) ends the request with its status.
  virtual std::int16_t read_bytes(const PictureRef& ref, std::uint32_t offset, std::uint32_t size,
                                  std::uint8_t* out) = 0;
};

struct EndpointTiming {
  int unconfirmed_revert_ms = 1000;  // a new speed nobody talks to us at is given up
  int idle_revert_ms = 5000;         // a host that vanished leaves us at the start speed again
};

class CameraEndpoint {
 public:
  explicit CameraEndpoint(CameraHandler& handler, EndpointTiming timing = {});

  void receive(const std::uint8_t* data, std::size_t size, std::int64_t now_ms);
  // The line has been quiet for a while (see FrameParser::stalled).
  void stalled(std::int64_t now_ms);
  // Appends the next frame to send to out; false when there is nothing.
  // Answers go before stream pieces so that a command or an abort is never
  // stuck behind a long stream.
  bool next_frame(std::vector<std::uint8_t>& out);
  // Call when everything handed out has left the line: applies a pending
  // speed change. Returns true when the speed changed.
  bool drained(std::int64_t now_ms);
  // Call from time to time: falls back to the start speed when the host
  // went silent. Returns true when the speed changed.
  bool tick(std::int64_t now_ms);
  std::uint32_t baud() const { return baud_; }
  bool busy() const { return !control_.empty() || !reads_.empty(); }
  const FrameParser& parser() const { return parser_; }

 private:
  struct Pending {
    std::uint16_t tag;
    ReadRequest rq;
    std::uint32_t sent;
  };
  void handle(const Frame& f, std::int64_t now_ms);
  void handle_command(const Frame& f);
  void queue(FrameType type, std::uint16_t seq, const std::vector<std::uint8_t>& payload);
  void set_baud(std::uint32_t baud, std::int64_t now_ms);

  CameraHandler& h_;
  EndpointTiming t_;
  FrameParser parser_;
  std::deque<std::vector<std::uint8_t>> control_;
  std::deque<Pending> reads_;
  std::uint32_t session_ = 0;
  std::map<std::uint16_t, std::vector<std::uint8_t>> answers_;  // recent answers of this session by sequence
  std::deque<std::uint16_t> answer_order_;
  std::uint32_t baud_ = kStartBaud;
  std::uint32_t pending_baud_ = 0;
  bool confirmed_ = true;
  std::int64_t changed_at_ = 0;
  std::int64_t last_heard_ = 0;
};

}  // namespace hc::proto
