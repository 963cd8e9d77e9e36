#pragma once
// The emulated camera's pictures: raw files in a folder, arranged as the
// model arranges them, and the camera's answers to the link's commands.
//
//   DIR/memory/NAME.HCR          pictures in the camera's memory
//   DIR/card/NAME.HCR            pictures on the card (Belva, Cirra)
//   DIR/{memory,card}/ALBUM/...  named albums (Cirra), numbered 1..n in name order
//
// Pictures are ordered by file name. The Avena and the Belva call a picture
// by its file name without the extension; the Cirra keeps the whole file
// name in its name lists, extension included.
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "core/protocol/camera_endpoint.h"

namespace camsim {

struct ModelSpec {
  std::int32_t type;
  const char* name;
  bool has_card;
  bool has_albums;
  std::size_t max_name;  // longest picture name the camera keeps
  std::uint32_t max_baud;
  std::uint32_t memory_kb;
};

const ModelSpec* find_model(const std::string& name);
const ModelSpec* find_model(std::int32_t type);

struct Picture {
  std::filesystem::path path;
  std::string name;
  std::uint32_t size = 0;
};

struct Album {
  std::string name;  // empty for the root album
  std::filesystem::path dir;
  std::vector<Picture> pictures;
};

class Store : public hc::proto::CameraHandler {
 public:
  Store(const ModelSpec& model, std::filesystem::path dir);

  // Re-reads the folder; warns on stderr about files the model cannot keep.
  void rescan();
  void set_card_present(bool present) { card_present_ = present; }
  void set_memory_full(bool full) { memory_full_ = full; }
  bool memory_full() const { return memory_full_; }

  // Albums of a location: index 0 is the root, 1..n the named albums.
  // Empty when the model has no such location or the card is out.
  const std::vector<Album>& albums(int location) const { return locations_[location == 0 ? 0 : 1]; }

  hc::proto::HelloInfo hello() override;
  std::int16_t command(hc::proto::Op op, hc::proto::ByteReader& args, hc::proto::ByteWriter& out) override;
  std::int16_t check_read(const hc::proto::ReadRequest& rq) override;
  std::int16_t read_bytes(const hc::proto::PictureRef& ref, std::uint32_t offset, std::uint32_t size,
                          std::uint8_t* out) override;

  // The status of addressing a location, album and picture (0: any picture).
  std::int16_t locate(int location, int album, int picture, const Picture** found = nullptr) const;

 private:
  void scan_album(Album& a, bool allow_subfolders, std::vector<Album>* named);
  std::int16_t erase(int location, int album, int picture, std::uint16_t& deleted);

  const ModelSpec& model_;
  std::filesystem::path dir_;
  bool card_present_ = true;
  bool memory_full_ = false;
  std::vector<Album> locations_[2];
  mutable std::mutex m_;
};

}  // namespace camsim
