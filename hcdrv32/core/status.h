#pragma once
// Result codes of the core. They are the camera driver's 16-bit statuses, so
// the driver can hand them to the program unchanged.
#include <cstdint>

namespace hc {

enum class Status : std::int16_t {
  Ok = 0,
  InvalidParameter = -1000,
  CloseFailed = -1001,
  CameraNotConnected = -1002,
  NotSupportedByCamera = -1003,
  Stopped = -1004,  // a callback asked to stop
  NoCard = -1005,
  NoAnswer = -1006,
  ImageProcessing = -1009,  // corrupt or inconsistent picture data
  IncompatibleFirmware = -1010,
  OutOfMemory = -1011,
  NotOpen = -1013,
  NotInRomMode = -1014,
  AlreadyOpen = -1016,
  InRomMode = -1017,
  AlreadyInRomMode = -1018,
  Incompatible = -1019,
  SystemError = -1020,
  CameraHoldsPictures = -1021,
  MemoryFull = -1022,
  UnknownCameraType = -1023,
  NotSupportedBySystem = -1024,
  CannotLoad = -1025,
};

inline constexpr std::int16_t code(Status s) { return static_cast<std::int16_t>(s); }

// Short English text for tools and logs (the program has its own strings).
const char* status_text(Status s);

}  // namespace hc
