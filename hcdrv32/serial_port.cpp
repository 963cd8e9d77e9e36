#include "serial_port.h"

#include <cstdio>

namespace hcdrv {

std::unique_ptr<SerialPort> SerialPort::open(int port) {
  char name[32];
  // The device namespace form works for every port number, also above 9.
  std::snprintf(name, sizeof name, "\\\\.\\COM%d", port);
  HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  std::unique_ptr<SerialPort> p(new SerialPort(h));
  SetupComm(h, 65536, 65536);  // a hint only; some ports refuse it
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(h, &dcb)) return nullptr;
  dcb.BaudRate = 9600;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;  // binary data: XON and XOFF are ordinary bytes
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;
  if (!SetCommState(h, &dcb)) return nullptr;
  COMMTIMEOUTS to{};
  to.ReadIntervalTimeout = MAXDWORD;
  to.WriteTotalTimeoutMultiplier = 2;
  to.WriteTotalTimeoutConstant = 5000;
  if (!SetCommTimeouts(h, &to)) return nullptr;
  p->read_timeout_ = 0;
  p->purge();
  return p;
}

SerialPort::~SerialPort() { CloseHandle(h_); }

bool SerialPort::set_read_timeout(int ms) {
  (void)ms;
  if (read_timeout_ == 0) return true;
  // Reads return at once with what has arrived; waiting is done by polling
  // in read(). The "wait for the first byte" form of the timeouts (interval
  // and multiplier at MAXDWORD) is not honoured everywhere: some
  // implementations wait for the whole buffer or the full timeout instead.
  COMMTIMEOUTS to{};
  if (!GetCommTimeouts(h_, &to)) return false;
  to.ReadIntervalTimeout = MAXDWORD;
  to.ReadTotalTimeoutMultiplier = 0;
  to.ReadTotalTimeoutConstant = 0;
  if (!SetCommTimeouts(h_, &to)) return false;
  read_timeout_ = 0;
  return true;
}

bool SerialPort::write(const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    DWORD n = 0;
    if (!WriteFile(h_, data, static_cast<DWORD>(size), &n, nullptr) || n == 0) return false;
    data += n;
    size -= n;
  }
  return true;
}

std::size_t SerialPort::read(std::uint8_t* data, std::size_t capacity, int timeout_ms) {
  if (!set_read_timeout(timeout_ms)) return 0;
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms < 0 ? 0 : timeout_ms);
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h_, data, static_cast<DWORD>(capacity), &n, nullptr)) n = 0;
    if (n > 0) return n;
    if (GetTickCount64() >= deadline) return 0;
    Sleep(1);
  }
}

bool SerialPort::set_baud(std::uint32_t baud) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(h_, &dcb)) return false;
  dcb.BaudRate = baud;
  return SetCommState(h_, &dcb) != 0;
}

void SerialPort::purge() { PurgeComm(h_, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT); }

}  // namespace hcdrv
