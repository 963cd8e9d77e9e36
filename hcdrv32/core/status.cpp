#include "core/status.h"

namespace hc {

const char* status_text(Status s) {
  switch (s) {
    case Status::Ok: return "ok";
    case Status::InvalidParameter: return "invalid parameter";
    case Status::CloseFailed: return "error closing the driver";
    case Status::CameraNotConnected: return "camera not connected";
    case Status::NotSupportedByCamera: return "not supported by this camera type";
    case Status::Stopped: return "stopped by a callback";
    case Status::NoCard: return "no memory card";
    case Status::NoAnswer: return "camera does not answer";
    case Status::ImageProcessing: return "corrupt or inconsistent picture data";
    case Status::IncompatibleFirmware: return "incompatible firmware";
    case Status::OutOfMemory: return "out of memory";
    case Status::NotOpen: return "camera or driver not open";
    case Status::NotInRomMode: return "camera not in ROM mode";
    case Status::AlreadyOpen: return "already open";
    case Status::InRomMode: return "camera in ROM mode";
    case Status::AlreadyInRomMode: return "camera already in ROM mode";
    case Status::Incompatible: return "compatibility error";
    case Status::SystemError: return "operating system error";
    case Status::CameraHoldsPictures: return "camera holds pictures";
    case Status::MemoryFull: return "image memory full";
    case Status::UnknownCameraType: return "unknown camera type";
    case Status::NotSupportedBySystem: return "not supported by this system";
    case Status::CannotLoad: return "cannot load camera function";
  }
  return "unknown error";
}

}  // namespace hc
