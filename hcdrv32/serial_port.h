#pragma once
// A COM port as the link's channel: 8 data bits, no parity, one stop bit, no
// flow control, reads that return as soon as bytes are there.
#include <windows.h>

#include <memory>

#include "core/protocol/channel.h"

namespace hcdrv {

class SerialPort : public hc::proto::Channel {
 public:
  // Null when the port cannot be opened or set up.
  static std::unique_ptr<SerialPort> open(int port);
  ~SerialPort() override;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  bool write(const std::uint8_t* data, std::size_t size) override;
  std::size_t read(std::uint8_t* data, std::size_t capacity, int timeout_ms) override;
  bool set_baud(std::uint32_t baud) override;
  void purge() override;

 private:
  explicit SerialPort(HANDLE h) : h_(h) {}
  bool set_read_timeout(int ms);

  HANDLE h_;
  int read_timeout_ = -1;
};

}  // namespace hcdrv
