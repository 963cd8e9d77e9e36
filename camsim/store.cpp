#include "store.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>

namespace camsim {
namespace fs = std::filesystem;
namespace st = hc::proto::st;
using hc::proto::Op;

namespace {

// Max speeds: the Avena's port stops at 115,200 baud.
const ModelSpec kModels[] = {
    {100, "avena", false, false, 15, 115200, 4096},
    {101, "belva", true, false, 11, 230400, 8192},
    {104, "cirra", true, true, 15, 230400, 16384},
};

bool has_raw_extension(const fs::path& p) {
  std::string e = p.extension().string();
  std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return e == ".hcr";
}

}  // namespace

const ModelSpec* find_model(const std::string& name) {
  for (const auto& m : kModels)
    if (name == m.name) return &m;
  return nullptr;
}

const ModelSpec* find_model(std::int32_t type) {
  for (const auto& m : kModels)
    if (type == m.type) return &m;
  return nullptr;
}

Store::Store(const ModelSpec& model, fs::path dir) : model_(model), dir_(std::move(dir)) { rescan(); }

void Store::scan_album(Album& a, bool allow_subfolders, std::vector<Album>* named) {
  std::vector<fs::directory_entry> entries;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(a.dir, ec)) entries.push_back(e);
  std::sort(entries.begin(), entries.end(),
            [](const fs::directory_entry& x, const fs::directory_entry& y) { return x.path().filename() < y.path().filename(); });
  for (const auto& e : entries) {
    if (e.is_directory()) {
      if (!allow_subfolders || !named) continue;
      std::string n = e.path().filename().string();
      if (n.size() > hc::proto::kAlbumName - 1) {
        std::cerr << "camsim: album name longer than 15 characters, left out: " << e.path() << "\n";
        continue;
      }
      Album sub;
      sub.name = n;
      sub.dir = e.path();
      scan_album(sub, false, nullptr);
      named->push_back(std::move(sub));
      continue;
    }
    if (!e.is_regular_file() || !has_raw_extension(e.path())) continue;
    Picture p;
    p.path = e.path();
    p.name = model_.has_albums ? e.path().filename().string() : e.path().stem().string();
    std::error_code sec;
    auto size = fs::file_size(e.path(), sec);
    if (sec || size == 0 || size > 0x7FFFFFFF) continue;
    p.size = static_cast<std::uint32_t>(size);
    if (p.name.empty() || p.name.size() > model_.max_name) {
      std::cerr << "camsim: the " << model_.name << " keeps names of at most " << model_.max_name
                << " characters, left out: " << e.path() << "\n";
      continue;
    }
    a.pictures.push_back(std::move(p));
  }
}

void Store::rescan() {
  std::lock_guard<std::mutex> lock(m_);
  const char* sub[2] = {"memory", "card"};
  for (int loc = 0; loc < 2; ++loc) {
    auto& albums = locations_[loc];
    albums.clear();
    if (loc == 1 && (!model_.has_card || !card_present_)) continue;
    Album root;
    root.dir = dir_ / sub[loc];
    std::vector<Album> named;
    scan_album(root, model_.has_albums, &named);
    albums.push_back(std::move(root));
    for (auto& a : named) albums.push_back(std::move(a));
  }
}

std::int16_t Store::locate(int location, int album, int picture, const Picture** found) const {
  if (location < 0 || location > 1) return st::kInvalidParameter;
  if (location == 1) {
    if (!model_.has_card) return st::kInvalidParameter;
    if (!card_present_) return st::kNoCard;
  }
  const auto& albums = locations_[location];
  if (album < 0 || static_cast<std::size_t>(album) >= albums.size()) return st::kInvalidParameter;
  const auto& pics = albums[static_cast<std::size_t>(album)].pictures;
  if (picture == 0) return st::kOk;
  if (picture < 1 || static_cast<std::size_t>(picture) > pics.size()) return st::kInvalidParameter;
  if (found) *found = &pics[static_cast<std::size_t>(picture) - 1];
  return st::kOk;
}

hc::proto::HelloInfo Store::hello() {
  // A new session sees files added to the folder meanwhile.
  rescan();
  return {model_.type, hc::proto::kProtocolVersion, model_.max_baud, 0x0102};
}

std::int16_t Store::erase(int location, int album, int picture, std::uint16_t& deleted) {
  deleted = 0;
  std::int16_t s = locate(location, album, picture == -1 ? 0 : picture);
  if (s != st::kOk) return s;
  if (picture == 0) return st::kInvalidParameter;
  auto& pics = locations_[location][static_cast<std::size_t>(album)].pictures;
  std::vector<Picture> gone;
  if (picture == -1)
    gone.swap(pics);
  else {
    gone.push_back(pics[static_cast<std::size_t>(picture) - 1]);
    pics.erase(pics.begin() + (picture - 1));
  }
  for (const auto& p : gone) {
    std::error_code ec;
    fs::remove(p.path, ec);
    if (ec) {
      std::cerr << "camsim: cannot delete " << p.path << ": " << ec.message() << "\n";
      return st::kSystemError;
    }
    ++deleted;
  }
  // Deleting from the memory makes room in it.
  if (location == 0 && deleted > 0) memory_full_ = false;
  return st::kOk;
}

std::int16_t Store::command(Op op, hc::proto::ByteReader& r, hc::proto::ByteWriter& out) {
  std::lock_guard<std::mutex> lock(m_);
  switch (op) {
    case Op::Status: {
      hc::proto::CameraStatus s;
      s.card_present = model_.has_card && card_present_;
      s.memory_full = memory_full_;
      std::uint64_t used[2] = {0, 0};
      std::uint32_t count[2] = {0, 0};
      for (int loc = 0; loc < 2; ++loc)
        for (const auto& a : locations_[loc])
          for (const auto& p : a.pictures) {
            used[loc] += p.size;
            ++count[loc];
          }
      s.memory_pictures = static_cast<std::uint16_t>(std::min<std::uint32_t>(count[0], 32767));
      s.card_pictures = static_cast<std::uint16_t>(std::min<std::uint32_t>(count[1], 32767));
      s.memory_albums = static_cast<std::uint16_t>(locations_[0].empty() ? 0 : locations_[0].size() - 1);
      s.card_albums = static_cast<std::uint16_t>(locations_[1].empty() ? 0 : locations_[1].size() - 1);
      s.memory_root_pictures = static_cast<std::uint16_t>(locations_[0].empty() ? 0 : locations_[0][0].pictures.size());
      s.card_root_pictures = static_cast<std::uint16_t>(locations_[1].empty() ? 0 : locations_[1][0].pictures.size());
      s.memory_capacity_kb = model_.memory_kb;
      s.memory_used_kb = memory_full_ ? model_.memory_kb : static_cast<std::uint32_t>(std::min<std::uint64_t>(used[0] / 1024, model_.memory_kb));
      s.card_capacity_kb = s.card_present ? 65536 : 0;
      s.card_used_kb = static_cast<std::uint32_t>(used[1] / 1024);
      s.write(out);
      return st::kOk;
    }
    case Op::Albums: {
      int loc = r.u8();
      if (r.fail()) return st::kInvalidParameter;
      std::int16_t s = locate(loc, 0, 0);
      if (s != st::kOk) return s;
      const auto& albums = locations_[loc];
      out.u16(static_cast<std::uint16_t>(albums.size() - 1));
      for (const auto& a : albums) {
        out.text(a.name, hc::proto::kAlbumName);
        out.u32(static_cast<std::uint32_t>(a.pictures.size()));
      }
      return st::kOk;
    }
    case Op::Names: {
      int loc = r.u8(), album = r.u16();
      std::size_t first = r.u16(), max = r.u16();
      if (r.fail()) return st::kInvalidParameter;
      std::int16_t s = locate(loc, album, 0);
      if (s != st::kOk) return s;
      const auto& pics = locations_[loc][static_cast<std::size_t>(album)].pictures;
      // Answers stay within one frame.
      max = std::min<std::size_t>(max, (hc::proto::kMaxPayload - 16) / hc::proto::kNameSlot);
      std::size_t n = first < pics.size() ? std::min(max, pics.size() - first) : 0;
      out.u16(static_cast<std::uint16_t>(pics.size()));
      out.u16(static_cast<std::uint16_t>(n));
      for (std::size_t i = 0; i < n; ++i) out.text(pics[first + i].name, hc::proto::kNameSlot);
      return st::kOk;
    }
    case Op::PictureInfo: {
      auto ref = hc::proto::PictureRef::read(r);
      if (r.fail()) return st::kInvalidParameter;
      const Picture* p = nullptr;
      std::int16_t s = locate(ref.location, ref.album, ref.picture == 0 ? -1 : ref.picture, &p);
      if (s != st::kOk) return s;
      std::uint32_t n = std::min(p->size, hc::proto::kInfoPrefix);
      std::vector<std::uint8_t> prefix(n);
      std::ifstream f(p->path, std::ios::binary);
      if (!f.read(reinterpret_cast<char*>(prefix.data()), n)) return st::kSystemError;
      out.u32(p->size);
      out.text(p->name, hc::proto::kPictureName);
      out.u16(static_cast<std::uint16_t>(n));
      out.bytes(prefix.data(), n);
      return st::kOk;
    }
    case Op::Delete: {
      int loc = r.u8(), album = r.u16();
      std::int32_t pic = r.i32();
      if (r.fail()) return st::kInvalidParameter;
      std::uint16_t deleted = 0;
      std::int16_t s = erase(loc, album, pic, deleted);
      out.u16(deleted);
      return s;
    }
    default:
      return st::kNotSupported;
  }
}

std::int16_t Store::check_read(const hc::proto::ReadRequest& rq) {
  std::lock_guard<std::mutex> lock(m_);
  const Picture* p = nullptr;
  std::int16_t s = locate(rq.ref.location, rq.ref.album, rq.ref.picture == 0 ? -1 : rq.ref.picture, &p);
  if (s != st::kOk) return s;
  if (p->size != rq.file_size || std::uint64_t{rq.offset} + rq.length > p->size) return st::kInvalidParameter;
  // Card pictures travel through the image memory on their way out.
  if (rq.ref.location == 1 && memory_full_) return st::kMemoryFull;
  return st::kOk;
}

std::int16_t Store::read_bytes(const hc::proto::PictureRef& ref, std::uint32_t offset, std::uint32_t size,
                               std::uint8_t* out) {
  std::lock_guard<std::mutex> lock(m_);
  const Picture* p = nullptr;
  std::int16_t s = locate(ref.location, ref.album, ref.picture == 0 ? -1 : ref.picture, &p);
  if (s != st::kOk) return s;
  if (std::uint64_t{offset} + size > p->size) return st::kInvalidParameter;
  std::FILE* f = std::fopen(p->path.c_str(), "rb");
  if (!f) return st::kSystemError;
  bool ok = std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0 && std::fread(out, 1, size, f) == size;
  std::fclose(f);
  return ok ? st::kOk : st::kSystemError;
}

}  // namespace camsim
