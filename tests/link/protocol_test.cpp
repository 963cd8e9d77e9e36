// The link protocol over an in-memory line: framing and resynchronisation,
// streams that survive a lossy line, speed negotiation and its fallback,
// stops and aborts, and a camera that goes silent.
#include <gtest/gtest.h>

#include <atomic>
#include <numeric>

#include "core/protocol/crc.h"
#include "core/protocol/frame.h"
#include "core/protocol/host_link.h"
#include "memory_line.h"

using namespace hc::proto;
using namespace hc::proto::testing;

namespace {

std::vector<std::uint8_t> pattern(std::size_t n, unsigned seed) {
  std::vector<std::uint8_t> v(n);
  std::mt19937 r(seed);
  for (auto& b : v) b = static_cast<std::uint8_t>(r());
  return v;
}

std::vector<Frame> parse_all(const std::vector<std::uint8_t>& bytes, std::size_t step) {
  FrameParser p;
  std::vector<Frame> got;
  for (std::size_t i = 0; i < bytes.size(); i += step) {
    p.feed(bytes.data() + i, std::min(step, bytes.size() - i));
    Frame f;
    while (p.next(f)) got.push_back(f);
  }
  // The line falls quiet: whatever a cut frame held back comes out now.
  for (int i = 0; i < 3 && p.partial(); ++i) {
    p.stalled();
    Frame f;
    while (p.next(f)) got.push_back(f);
  }
  return got;
}

TEST(Crc, KnownValues) {
  const std::uint8_t s[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(crc16(s, 9), 0x29B1);
  EXPECT_EQ(crc32(s, 9), 0xCBF43926u);
}

// Whatever damage sits between frames or inside one, every intact frame
// after it is found again, and no damaged frame is delivered.
TEST(FrameParser, FindsIntactFramesAfterDamage) {
  auto a = pattern(300, 1), b = pattern(5000, 2), c = pattern(0, 3);
  std::vector<std::uint8_t> fa, fb, fc;
  encode_frame(FrameType::Data, 7, a.data(), a.size(), fa);
  encode_frame(FrameType::Response, 8, b.data(), b.size(), fb);
  encode_frame(FrameType::AbortAck, 9, c.data(), c.size(), fc);

  struct Case {
    const char* what;
    std::function<std::vector<std::uint8_t>()> bytes;
    std::vector<std::uint16_t> seqs;
  };
  auto cat = [](std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> v;
    for (auto& p : parts) v.insert(v.end(), p.begin(), p.end());
    return v;
  };
  std::vector<std::uint8_t> noise = pattern(777, 4);
  noise.push_back(kStartByte);  // a false start right before a real one
  std::vector<Case> cases = {
      {"clean", [&] { return cat({fa, fb, fc}); }, {7, 8, 9}},
      {"garbage before and between", [&] { return cat({noise, fa, noise, fb, noise, fc}); }, {7, 8, 9}},
      {"payload byte flipped", [&] { auto x = fa; x[50] ^= 0x10; return cat({x, fb, fc}); }, {8, 9}},
      {"length corrupted", [&] { auto x = fb; x[5] ^= 0x01; return cat({fa, x, fc}); }, {7, 9}},
      {"bytes lost inside a frame", [&] { auto x = fb; x.erase(x.begin() + 100, x.begin() + 140); return cat({fa, x, fc}); }, {7, 9}},
      {"cut frame then a whole one", [&] { std::vector<std::uint8_t> x(fb.begin(), fb.begin() + 20); return cat({x, fa, fc}); }, {7, 9}},
  };
  for (const auto& c : cases) {
    for (std::size_t step : {std::size_t{1}, std::size_t{13}, std::size_t{100000}}) {
      auto frames = parse_all(c.bytes(), step);
      std::vector<std::uint16_t> seqs;
      for (auto& f : frames) seqs.push_back(f.seq);
      EXPECT_EQ(seqs, c.seqs) << c.what << ", fed " << step << " at a time";
      for (auto& f : frames) {
        if (f.seq == 7) {
          EXPECT_EQ(f.payload, a) << c.what;
        }
        if (f.seq == 8) {
          EXPECT_EQ(f.payload, b) << c.what;
        }
      }
    }
  }
}

struct Rig {
  explicit Rig(LineFaults f = {}, EndpointTiming et = {}) : line(f, 42), host(line) {
    cam.pictures[{0, 0, 1}] = pattern(300000, 11);
    cam.pictures[{0, 0, 2}] = pattern(5000, 12);
    cam.pictures[{1, 2, 1}] = pattern(70001, 13);
    camera = std::make_unique<CameraThread>(line, cam, et);
  }
  MemoryLine line;
  FakeCamera cam;
  HostEnd host;
  std::unique_ptr<CameraThread> camera;
};

std::vector<std::uint8_t> fetch(HostLink& link, FakeCamera& cam, std::tuple<int, int, int> key, std::int16_t& s) {
  auto& src = cam.pictures[key];
  std::vector<std::uint8_t> got(src.size());
  PictureRef ref{static_cast<std::uint8_t>(std::get<0>(key)), static_cast<std::uint16_t>(std::get<1>(key)),
                 static_cast<std::uint16_t>(std::get<2>(key))};
  s = link.read(ref, static_cast<std::uint32_t>(src.size()), 0, static_cast<std::uint32_t>(src.size()), got.data());
  return got;
}

TEST(HostLink, CleanLineNegotiatesAndStreamsWithoutRepeats) {
  Rig rig;
  HostLink link(rig.host);
  HelloInfo info;
  ASSERT_EQ(link.connect(230400, info), 0);
  EXPECT_EQ(info.camera_type, 104);
  EXPECT_EQ(link.baud(), 230400u);
  EXPECT_EQ(rig.line.baud(MemoryLine::Camera), 230400u);
  for (auto key : {std::make_tuple(0, 0, 1), std::make_tuple(0, 0, 2), std::make_tuple(1, 2, 1)}) {
    std::int16_t s;
    auto got = fetch(link, rig.cam, key, s);
    ASSERT_EQ(s, 0);
    EXPECT_EQ(got, rig.cam.pictures[key]);
  }
  EXPECT_EQ(link.stats().rerequested, 0u);
  EXPECT_EQ(link.stats().retransmits, 0u);
  // A range in the middle of a picture.
  std::vector<std::uint8_t> part(1000);
  ASSERT_EQ(link.read({0, 0, 1}, 300000, 123457, 1000, part.data()), 0);
  EXPECT_TRUE(std::equal(part.begin(), part.end(), rig.cam.pictures[{0, 0, 1}].begin() + 123457));
  link.bye();
}

TEST(HostLink, CameraLimitsTheSpeed) {
  Rig rig;
  rig.cam.max_baud = 115200;
  HostLink link(rig.host);
  HelloInfo info;
  ASSERT_EQ(link.connect(230400, info), 0);
  EXPECT_EQ(link.baud(), 115200u);
}

// The camera accepts the faster speeds, but the line garbles them: both
// ends must come back down to the fastest speed that works.
TEST(HostLink, FallsBackWhenAFasterSpeedFails) {
  LineFaults f;
  f.max_working_baud = 57600;
  Rig rig(f);
  HostLink link(rig.host);
  HelloInfo info;
  ASSERT_EQ(link.connect(230400, info), 0);
  EXPECT_EQ(link.baud(), 57600u);
  std::int16_t s;
  auto got = fetch(link, rig.cam, {0, 0, 2}, s);
  ASSERT_EQ(s, 0);
  EXPECT_EQ(got, (rig.cam.pictures[{0, 0, 2}]));
}

TEST(HostLink, LossyLineDeliversIdenticalBytesAndActsOnceOnEachCommand) {
  LineFaults f;
  f.corrupt = 1e-3;
  f.drop = 1e-3;
  Rig rig(f);
  HostLink link(rig.host);
  HelloInfo info;
  ASSERT_EQ(link.connect(230400, info), 0);
  for (auto key : {std::make_tuple(0, 0, 1), std::make_tuple(1, 2, 1)}) {
    std::int16_t s;
    auto got = fetch(link, rig.cam, key, s);
    ASSERT_EQ(s, 0);
    EXPECT_EQ(got, rig.cam.pictures[key]);
  }
  EXPECT_GT(link.stats().rerequested, 0u);  // the line really lost pieces
  // Forty deletions of picture 1 through the noise: lost answers are asked
  // again, never acted on twice, so exactly forty pictures go.
  for (int i = 0; i < 40; ++i) rig.cam.pictures[{0, 5, i + 1}] = {1};
  std::vector<std::uint8_t> body;
  for (int i = 0; i < 40; ++i) {
    ByteWriter w;
    w.u8(0);
    w.u16(5);
    w.i32(1);
    ASSERT_EQ(link.command(Op::Delete, w, body), 0) << "deletion " << i;
  }
  EXPECT_EQ(rig.cam.deletions.load(), 40);
}

// Nothing after the last piece of a stream can show that it was lost, so
// each loss of it costs a silence. A line that loses it again and again
// while the camera answers everything else must still deliver, and must not
// call the camera gone.
TEST(HostLink, LastPieceLostRepeatedlyStillArrives) {
  const std::uint32_t size = 5000;
  std::atomic<int> lost{0};
  LineFaults f;
  f.swallow = [&](int from, const std::uint8_t* p, std::size_t n) {
    if (from != MemoryLine::Camera || lost >= 5) return false;
    FrameParser parser;
    parser.feed(p, n);
    Frame fr;
    if (!parser.next(fr) || fr.type != FrameType::Data) return false;
    ByteReader r(fr.payload);
    const std::uint32_t off = r.u32();
    if (r.fail() || off + r.left() != size) return false;
    ++lost;
    return true;
  };
  Rig rig(f);
  HostLink link(rig.host);
  HelloInfo info;
  // At the start speed pieces are already as small as they go, so no part
  // of the last one arrives on its own.
  ASSERT_EQ(link.connect(9600, info), 0);
  std::int16_t s;
  auto got = fetch(link, rig.cam, {0, 0, 2}, s);
  ASSERT_EQ(s, 0);
  EXPECT_EQ(got, (rig.cam.pictures[{0, 0, 2}]));
  EXPECT_EQ(lost.load(), 5);
  std::vector<std::uint8_t> body;
  EXPECT_EQ(link.command(Op::Status, ByteWriter{}, body), 0);
}

TEST(HostLink, StopAbortsTheStreamAndTheLinkStaysUsable) {
  Rig rig;
  HostLink link(rig.host);
  HelloInfo info;
  ASSERT_EQ(link.connect(9600 * 4, info), 0);  // slow enough that the stream is far from done
  std::vector<std::uint8_t> got(300000);
  std::uint32_t seen = 0;
  std::int16_t s = link.read({0, 0, 1}, 300000, 0, 300000, got.data(), [&](std::uint32_t n) {
    seen = n;
    return n < 20000;
  });
  EXPECT_EQ(s, st::kStopped);
  EXPECT_LT(seen, 300000u);
  std::vector<std::uint8_t> body;
  EXPECT_EQ(link.command(Op::Status, ByteWriter{}, body), 0);
  std::int16_t s2;
  auto again = fetch(link, rig.cam, {0, 0, 2}, s2);
  ASSERT_EQ(s2, 0);
  EXPECT_EQ(again, (rig.cam.pictures[{0, 0, 2}]));
}

TEST(HostLink, RefusedReadsReportTheCamerasStatus) {
  Rig rig;
  HostLink link(rig.host);
  HelloInfo info;
  ASSERT_EQ(link.connect(115200, info), 0);
  std::vector<std::uint8_t> got(10);
  EXPECT_EQ(link.read({0, 0, 9}, 10, 0, 10, got.data()), st::kInvalidParameter);  // no such picture
  EXPECT_EQ(link.read({0, 0, 2}, 4999, 0, 10, got.data()), st::kInvalidParameter);  // changed size
  std::int16_t s;
  auto ok = fetch(link, rig.cam, {0, 0, 2}, s);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(ok, (rig.cam.pictures[{0, 0, 2}]));
}

TEST(HostLink, SilentCameraGivesAStatusInBoundedTime) {
  {
    LineFaults f;
    f.camera_silent_after = 0;
    Rig rig(f);
    HostLink link(rig.host);
    HelloInfo info;
    auto t0 = now_ms();
    EXPECT_EQ(link.connect(230400, info), st::kCameraNotFound);
    EXPECT_LT(now_ms() - t0, 6000);
  }
  {
    LineFaults f;
    f.camera_silent_after = 150000;  // mid-stream
    Rig rig(f);
    HostLink link(rig.host);
    HelloInfo info;
    ASSERT_EQ(link.connect(230400, info), 0);
    std::int16_t s;
    auto t0 = now_ms();
    fetch(link, rig.cam, {0, 0, 1}, s);
    EXPECT_EQ(s, st::kNoAnswer);
    EXPECT_LT(now_ms() - t0, 15000);
    std::vector<std::uint8_t> body;
    EXPECT_EQ(link.command(Op::Ping, ByteWriter{}, body), st::kNoAnswer);
  }
}

}  // namespace
