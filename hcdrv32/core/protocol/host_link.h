#pragma once
// The host's side of the camera link: connection and speed negotiation,
// commands with retransmission, picture streams with pipelined requests and
// selective re-requests, and an abort the camera confirms.
#include <cstdint>
#include <functional>
#include <vector>

#include "core/protocol/channel.h"
#include "core/protocol/frame.h"
#include "core/protocol/wire.h"

namespace hc::proto {

struct LinkTiming {
  int answer_ms = 400;     // first byte of an answer must come within this
  int gap_ms = 250;        // ... and the next bytes within this of the last ones
  int command_tries = 4;
  int stream_silences = 2;     // silent periods in a row before a stream reconnects
  int stream_recoveries = 3;   // reconnections in a row with nothing useful between them before it gives up
  int revert_wait_ms = 1500;  // how long a camera waits before it drops a speed that failed
};

struct LinkStats {
  std::uint64_t frames_sent = 0;
  std::uint64_t retransmits = 0;      // commands sent again
  std::uint64_t rerequested = 0;      // stream bytes asked for again
  std::uint64_t bad_frames = 0;
  std::uint64_t recoveries = 0;
};

class HostLink {
 public:
  explicit HostLink(Channel& channel, LinkTiming timing = {});

  // Finds the camera at the start speed (or at `baud`, where a previous
  // session may have left it) and moves to `baud`, stepping down through the
  // standard rates when a speed fails. kCameraNotFound when nothing answers.
  std::int16_t connect(std::uint32_t baud, HelloInfo& info);

  // One command. The camera's status, kNoAnswer when the link failed even
  // after a reconnection; body holds the answer after the status.
  std::int16_t command(Op op, const ByteWriter& args, std::vector<std::uint8_t>& body);

  // Streams [offset, offset + length) of a picture into dest. progress gets
  // the bytes received so far and returns false to stop (kStopped; the
  // camera has then dropped the rest and the link is ready for more).
  std::int16_t read(const PictureRef& ref, std::uint32_t file_size, std::uint32_t offset, std::uint32_t length,
                    std::uint8_t* dest, const std::function<bool(std::uint32_t)>& progress = {});

  // Tells the camera the session ends (it returns to the start speed).
  void bye();

  std::uint32_t baud() const { return baud_; }
  const LinkStats& stats() const { return stats_; }

 private:
  std::int16_t exchange(Op op, const ByteWriter& args, std::vector<std::uint8_t>& body, int tries, int answer_ms,
                        std::uint16_t seq = 0);
  std::uint16_t next_seq() { return ++seq_ ? seq_ : ++seq_; }
  std::int16_t hello(int tries, HelloInfo& info);
  bool switch_to(std::uint32_t rate);
  bool recover();
  bool abort_stream();
  void send(FrameType type, std::uint16_t seq, const std::vector<std::uint8_t>& payload);
  // Reads what the line has within timeout_ms into the parser; true if any byte came.
  bool pump(int timeout_ms);
  int frame_ms(std::size_t bytes) const;

  Channel& ch_;
  LinkTiming t_;
  FrameParser parser_;
  std::uint32_t baud_ = kStartBaud;
  std::uint32_t target_ = kStartBaud;
  std::uint32_t session_ = 0;
  std::uint16_t seq_ = 0;
  std::uint16_t tag_ = 0;
  bool connected_ = false;
  LinkStats stats_;
  std::vector<std::uint8_t> rx_;
};

}  // namespace hc::proto
