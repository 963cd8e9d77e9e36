#pragma once
// The host's end of the line, as the link needs it: a serial port on
// Windows, an in-memory line in tests.
#include <cstddef>
#include <cstdint>

namespace hc::proto {

class Channel {
 public:
  virtual ~Channel() = default;
  // Writes every byte or fails.
  virtual bool write(const std::uint8_t* data, std::size_t size) = 0;
  // Waits at most timeout_ms for at least one byte; returns how many were
  // read (0 on timeout or failure).
  virtual std::size_t read(std::uint8_t* data, std::size_t capacity, int timeout_ms) = 0;
  virtual bool set_baud(std::uint32_t baud) = 0;
  // Throws away whatever is waiting in either direction.
  virtual void purge() = 0;
};

}  // namespace hc::proto
