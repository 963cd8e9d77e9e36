// The driver against the camera emulator on a COM port, under Wine.
// run-e2e.sh starts the emulator on a copy of a picture folder and points
// the port at it; HC_PORT, HC_MODEL and HC_STORE (that folder, as a Windows
// path) tell this program where to look. The folder is the truth every
// answer of the driver is checked against.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "hcdrv32.h"

namespace {

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::vector<std::uint8_t> read_file(const std::string& path) {
  std::vector<std::uint8_t> v;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return v;
  std::uint8_t buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) v.insert(v.end(), buf, buf + n);
  std::fclose(f);
  return v;
}

std::vector<std::string> list_dir(const std::string& dir, bool folders) {
  std::vector<std::string> out;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    std::string n = fd.cFileName;
    if (n == "." || n == "..") continue;
    bool is_dir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (is_dir == folders) out.push_back(n);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  std::sort(out.begin(), out.end());
  return out;
}

// What the folder says the camera holds.
struct Album {
  std::string name, dir;
  std::vector<std::string> files;
};

struct Expected {
  std::vector<Album> albums[2];
};

Expected expected(int type, const std::string& store) {
  Expected e;
  for (int loc = 0; loc < 2; ++loc) {
    if (loc == 1 && type == HC_TYPE_AVENA) continue;
    std::string dir = store + (loc == 0 ? "\\memory" : "\\card");
    if (GetFileAttributesA(dir.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    e.albums[loc].push_back({"", dir, list_dir(dir, false)});
    if (type == HC_TYPE_CIRRA)
      for (const auto& sub : list_dir(dir, true)) e.albums[loc].push_back({sub, dir + "\\" + sub, list_dir(dir + "\\" + sub, false)});
  }
  return e;
}

std::string camera_name(int type, const std::string& file) {
  return type == HC_TYPE_CIRRA ? file : file.substr(0, file.size() - 4);
}

class Camera : public ::testing::Test {
 protected:
  void SetUp() override {
    port = std::atoi(env("HC_PORT").c_str());
    type = std::atoi(env("HC_MODEL").c_str());
    store = env("HC_STORE");
    ASSERT_TRUE(port > 0 && type > 0 && !store.empty()) << "HC_PORT, HC_MODEL and HC_STORE must be set";
    std::uint16_t version = HC_DRIVER_VERSION;
    ASSERT_EQ(HcOpenDriver(&version, &block), HC_OK);
    cam = {&block, port, type, buffer, 0, 0, 2304};
    ASSERT_EQ(HcOpenCamera(&cam), HC_OK);
    local = {&block, 0, HC_TYPE_NATIVE, local_buffer, 0, 0, 0};
    ASSERT_EQ(HcOpenCamera(&local), HC_OK);
    want = expected(type, store);
  }
  void TearDown() override {
    EXPECT_EQ(HcCloseCamera(&local), HC_OK);
    EXPECT_EQ(HcCloseCamera(&cam), HC_OK);
    EXPECT_EQ(HcCloseDriver(&block), HC_OK);
  }

  std::vector<std::uint8_t> download(int loc, int album, int pic, std::int16_t* status = nullptr,
                                     HcProgressCallback progress = nullptr, void* user = nullptr) {
    HcPictureInfo info{};
    std::int16_t s = HcGetCameraPictInfo(&cam, loc, album, pic, 0, &info, nullptr);
    if (status) *status = s;
    if (s != HC_OK) return {};
    std::vector<std::uint8_t> data(info.native_size);
    HcTransferBuffer out{data.data(), info.native_size, nullptr, nullptr};
    HcCallbackPair cb{progress, user};
    s = HcGetNativePicture(&cam, loc, album, &info, &out, &cb);
    if (status) *status = s;
    data.resize(s == HC_OK ? out.size : 0);
    return data;
  }

  // Rows of a decoded picture as the image callback hands them over.
  struct Rows {
    std::vector<std::uint8_t> bytes;
    std::size_t blocks = 0, largest = 0;
    bool whole_rows = true;
    std::size_t row = 0;
    int stop_after = -1;
  };
  static int32_t CALLBACK collect(const void* block, void* user, uint32_t n) {
    auto* r = static_cast<Rows*>(user);
    const auto* b = static_cast<const std::uint8_t*>(block);
    r->bytes.insert(r->bytes.end(), b, b + n);
    ++r->blocks;
    r->largest = std::max<std::size_t>(r->largest, n);
    if (r->row == 0 || n % r->row != 0) r->whole_rows = false;
    return r->stop_after >= 0 && static_cast<int>(r->blocks) >= r->stop_after ? 0 : 1;
  }

  void set_order(HcCameraDescriptor* c, int order) {
    HcImageProcessingRecord p{};
    ASSERT_EQ(HcGetImageProcessing(c, &p), HC_OK);
    p.colour = 1;
    p.row_order = order;
    ASSERT_EQ(HcSetImageProcessing(c, &p), HC_OK);
  }

  int port = 0, type = 0;
  std::string store;
  Expected want;
  HcDriverBlock block{};
  std::uint8_t buffer[33]{}, local_buffer[33]{};
  HcCameraDescriptor cam{}, local{};
};

TEST_F(Camera, ContentsMatchTheFolder) {
  HcStatusRecord st{};
  HcModelStatusRecord ms{};
  ASSERT_EQ(HcGetStatus(&cam, &st, &ms), HC_OK);
  for (int loc = 0; loc < 2; ++loc) {
    std::size_t total = 0;
    for (const auto& a : want.albums[loc]) total += a.files.size();
    EXPECT_EQ(static_cast<std::size_t>(loc == 0 ? st.memory_pictures : st.card_pictures), total) << "location " << loc;
    if (type == HC_TYPE_AVENA && loc == 1) continue;
    const int named = loc == 0 ? ms.memory_albums : ms.card_albums;
    ASSERT_EQ(static_cast<std::size_t>(named) + 1, want.albums[loc].size()) << "location " << loc;
    // One spare entry after the list: the driver must not write past it.
    std::vector<HcAlbumEntry> entries(static_cast<std::size_t>(named) + 2);
    std::memset(entries.data(), 0x5A, entries.size() * sizeof(HcAlbumEntry));
    ASSERT_EQ(HcAlbumGetAllName(&cam, loc, entries.data()), HC_OK);
    EXPECT_EQ(entries.back().picture_count, 0x5A5A5A5A);
    for (int a = 0; a <= named; ++a) {
      const Album& w = want.albums[loc][static_cast<std::size_t>(a)];
      EXPECT_EQ(std::string(entries[static_cast<std::size_t>(a)].name), w.name);
      ASSERT_EQ(static_cast<std::size_t>(entries[static_cast<std::size_t>(a)].picture_count), w.files.size());
      std::vector<char> slots((w.files.size() + 1) * HC_NAME_SLOT, 'x');
      ASSERT_EQ(HcAlbumGetPictureName(&cam, loc, a, slots.data()), HC_OK);
      for (std::size_t i = 0; i < w.files.size(); ++i) {
        std::string slot(&slots[i * HC_NAME_SLOT], HC_NAME_SLOT);
        std::string expect = camera_name(type, w.files[i]);
        expect.resize(HC_NAME_SLOT, '\0');  // zero padded to the end of the slot
        EXPECT_EQ(slot, expect) << w.name << " picture " << i + 1;
      }
      EXPECT_EQ(slots[w.files.size() * HC_NAME_SLOT], 'x') << "wrote past the last slot";
    }
  }
  if (type == HC_TYPE_AVENA) {
    EXPECT_EQ(ms.memory_albums, 0);
  }
}

// Information, details and thumbnail of a camera picture are what the same
// calls give for the file decoded from memory.
TEST_F(Camera, InfoAndThumbnailMatchTheFile) {
  for (int loc = 0; loc < 2; ++loc) {
    for (std::size_t a = 0; a < want.albums[loc].size(); ++a) {
      const Album& w = want.albums[loc][a];
      if (w.files.empty()) continue;
      const int pic = static_cast<int>(w.files.size());  // the last one
      auto file = read_file(w.dir + "\\" + w.files.back());
      HcMemorySource src{file.data(), static_cast<uint32_t>(file.size()), 0, 0};
      HcPictureInfo ref{};
      HcModelDetails ref_details{};
      ASSERT_EQ(HcGetNativePictInfo(&local, &src, 0, &ref, &ref_details), HC_OK);
      std::int32_t native_type = 0;
      ASSERT_EQ(HcGetNativeCameraType(&local, &src, &native_type), HC_OK);
      EXPECT_EQ(native_type, type);

      HcPictureInfo info{};
      HcModelDetails details{};
      ASSERT_EQ(HcGetCameraPictInfo(&cam, loc, static_cast<int>(a), pic, 0, &info, &details), HC_OK);
      EXPECT_EQ(info.width, ref.width);
      EXPECT_EQ(info.height, ref.height);
      EXPECT_EQ(info.native_size, file.size());
      EXPECT_EQ(info.output_size, static_cast<uint32_t>(ref.width * ref.height * 3));
      EXPECT_EQ(0, std::memcmp(&info.date, &ref.date, sizeof info.date));
      const char* name = type == HC_TYPE_AVENA ? details.avena.picture_name
                         : type == HC_TYPE_BELVA ? details.belva.picture_name : details.cirra.picture_name;
      EXPECT_EQ(std::string(name), camera_name(type, w.files.back()));
      if (type != HC_TYPE_AVENA) {
        EXPECT_EQ(details.belva.zoom_position, ref_details.belva.zoom_position);  // same offset in both layouts
        EXPECT_EQ(details.belva.exposure_us, ref_details.belva.exposure_us);
      }

      std::size_t tsize = static_cast<std::size_t>(info.thumb_width) * info.thumb_height * 3;
      ASSERT_GT(tsize, 0u);
      std::vector<std::uint8_t> thumb(tsize + 16, 0xEE), ref_thumb(tsize);
      HcPictureInfo with{};
      with.thumbnail = thumb.data();
      ASSERT_EQ(HcGetCameraPictInfo(&cam, loc, static_cast<int>(a), pic, 1, &with, nullptr), HC_OK);
      HcPictureInfo ref_with{};
      ref_with.thumbnail = ref_thumb.data();
      ASSERT_EQ(HcGetNativePictInfo(&local, &src, 1, &ref_with, nullptr), HC_OK);
      EXPECT_TRUE(std::equal(ref_thumb.begin(), ref_thumb.end(), thumb.begin()));
      EXPECT_EQ(thumb[tsize], 0xEE) << "thumbnail overran its buffer";
    }
  }
}

TEST_F(Camera, NativeDownloadsAreByteIdentical) {
  int checked = 0;
  for (int loc = 0; loc < 2; ++loc)
    for (std::size_t a = 0; a < want.albums[loc].size(); ++a)
      for (std::size_t i = 0; i < want.albums[loc][a].files.size(); ++i) {
        std::int16_t s;
        auto got = download(loc, static_cast<int>(a), static_cast<int>(i + 1), &s);
        ASSERT_EQ(s, HC_OK) << want.albums[loc][a].files[i];
        EXPECT_TRUE(got == read_file(want.albums[loc][a].dir + "\\" + want.albums[loc][a].files[i]))
            << want.albums[loc][a].files[i];
        ++checked;
      }
  EXPECT_GT(checked, 0);
}

// Decoding on the way from the camera gives, in both row orders, exactly the
// rows that decoding the same file from memory gives.
TEST_F(Camera, DecodedDownloadEqualsDecodingTheFile) {
  const Album& w = want.albums[0][0];
  ASSERT_FALSE(w.files.empty());
  auto file = read_file(w.dir + "\\" + w.files[0]);
  for (int order : {0, 2}) {
    set_order(&cam, order);
    set_order(&local, order);
    HcPictureInfo info{};
    ASSERT_EQ(HcGetCameraPictInfo(&cam, 0, 0, 1, 0, &info, nullptr), HC_OK);
    std::vector<std::uint8_t> in(info.input_size), out(info.output_size);
    Rows cam_rows, file_rows;
    cam_rows.row = file_rows.row = static_cast<std::size_t>(info.width) * 3;
    HcTransferBuffer ib{in.data(), info.input_size, nullptr, nullptr};
    HcTransferBuffer ob{out.data(), info.output_size, collect, &cam_rows};
    HcCallbackPair cb{nullptr, nullptr};
    ASSERT_EQ(HcGetCameraPicture(&cam, 0, 0, &info, &ib, &ob, &cb), HC_OK);

    HcTransferBuffer fib{file.data(), static_cast<uint32_t>(file.size()), nullptr, nullptr};
    HcTransferBuffer fob{out.data(), info.output_size, collect, &file_rows};
    ASSERT_EQ(HcProcNativePicture(&local, &info, &fib, &fob, &cb), HC_OK);

    EXPECT_EQ(cam_rows.bytes.size(), info.output_size);
    EXPECT_TRUE(cam_rows.bytes == file_rows.bytes) << "row order " << order;
    EXPECT_TRUE(cam_rows.whole_rows);
    EXPECT_LT(cam_rows.largest, 65536u);
  }
  set_order(&cam, 0);
  set_order(&local, 0);
}

struct StopAt {
  int percent;
  int calls = 0;
  int last = -1;
};
int32_t CALLBACK stop_progress(void* user, int32_t percent) {
  auto* s = static_cast<StopAt*>(user);
  ++s->calls;
  s->last = percent;
  return percent >= s->percent ? 0 : 1;
}

// A stop asked by a callback ends the call with its status, and the link is
// ready for the next call at once.
TEST_F(Camera, StopFromACallbackLeavesTheLinkUsable) {
  const Album& w = want.albums[0][0];
  ASSERT_FALSE(w.files.empty());
  auto file = read_file(w.dir + "\\" + w.files[0]);
  StopAt stop{1};
  std::int16_t s;
  download(0, 0, 1, &s, stop_progress, &stop);
  EXPECT_EQ(s, HC_STOPPED);
  EXPECT_LT(stop.last, 100);
  EXPECT_TRUE(download(0, 0, 1, &s) == file);
  EXPECT_EQ(s, HC_OK);

  // The image callback stops the decoding of a camera picture.
  HcPictureInfo info{};
  ASSERT_EQ(HcGetCameraPictInfo(&cam, 0, 0, 1, 0, &info, nullptr), HC_OK);
  std::vector<std::uint8_t> in(info.input_size), out(info.output_size);
  Rows rows;
  rows.row = static_cast<std::size_t>(info.width) * 3;
  rows.stop_after = 1;
  HcTransferBuffer ib{in.data(), info.input_size, nullptr, nullptr};
  HcTransferBuffer ob{out.data(), info.output_size, collect, &rows};
  HcCallbackPair cb{nullptr, nullptr};
  EXPECT_EQ(HcGetCameraPicture(&cam, 0, 0, &info, &ib, &ob, &cb), HC_STOPPED);
  EXPECT_EQ(rows.blocks, 1u);
  HcStatusRecord st{};
  EXPECT_EQ(HcGetStatus(&cam, &st, nullptr), HC_OK);
  EXPECT_TRUE(download(0, 0, 1, &s) == file);
}

TEST_F(Camera, AddressesThatDoNotExistGiveAStatus) {
  const int n = static_cast<int>(want.albums[0][0].files.size());
  HcPictureInfo info{};
  struct Case {
    int loc, album, pic;
  };
  const Case cases[] = {{0, 0, 0}, {0, 0, n + 1}, {0, 0, -5}, {0, 77, 1}, {2, 0, 1}, {-1, 0, 1}};
  for (const Case& c : cases)
    EXPECT_EQ(HcGetCameraPictInfo(&cam, c.loc, c.album, c.pic, 0, &info, nullptr), HC_INVALID_PARAMETER)
        << c.loc << "/" << c.album << "/" << c.pic;
  if (type == HC_TYPE_AVENA) {
    EXPECT_EQ(HcGetCameraPictInfo(&cam, 1, 0, 1, 0, &info, nullptr), HC_INVALID_PARAMETER);
    HcAlbumEntry e[2];
    EXPECT_EQ(HcAlbumGetAllName(&cam, 1, e), HC_INVALID_PARAMETER);
  }
  EXPECT_EQ(HcDeletePicture(&cam, 0, 0, n + 1), HC_INVALID_PARAMETER);
  EXPECT_EQ(HcDeletePicture(&cam, 0, 0, 0), HC_INVALID_PARAMETER);
  // Camera operations on the memory-only camera are refused.
  HcStatusRecord st{};
  EXPECT_EQ(HcGetStatus(&local, &st, nullptr), HC_NOT_SUPPORTED);
  // Opening twice, closing what is not open.
  EXPECT_EQ(HcOpenCamera(&cam), HC_ALREADY_OPEN);
  HcCameraDescriptor never{};
  std::uint8_t nb[33]{};
  never.buffer = nb;
  EXPECT_EQ(HcCloseCamera(&never), HC_NOT_OPEN);
  EXPECT_EQ(HcCloseCamera(nullptr), HC_NOT_OPEN);
  HcDriverBlock zero{};
  EXPECT_EQ(HcCloseDriver(&zero), HC_NOT_OPEN);
  // And the link is still fine.
  EXPECT_EQ(HcGetStatus(&cam, &st, nullptr), HC_OK);
}

// Last: it changes the camera. Numbers after a deleted picture move down.
TEST_F(Camera, DeleteOneThenAll) {
  Album& w = want.albums[0][0];
  ASSERT_GE(w.files.size(), 3u);
  auto third = read_file(w.dir + "\\" + w.files[2]);
  ASSERT_EQ(HcDeletePicture(&cam, 0, 0, 2), HC_OK);
  EXPECT_EQ(GetFileAttributesA((w.dir + "\\" + w.files[1]).c_str()), INVALID_FILE_ATTRIBUTES);
  std::int16_t s;
  EXPECT_TRUE(download(0, 0, 2, &s) == third);
  HcStatusRecord st{};
  ASSERT_EQ(HcGetStatus(&cam, &st, nullptr), HC_OK);
  std::size_t memory_total = 0;
  for (const auto& a : want.albums[0]) memory_total += a.files.size();
  EXPECT_EQ(static_cast<std::size_t>(st.memory_pictures), memory_total - 1);

  ASSERT_EQ(HcDeletePicture(&cam, 0, 0, HC_ALL_PICTURES), HC_OK);
  EXPECT_TRUE(list_dir(w.dir, false).empty());
  ASSERT_EQ(HcGetStatus(&cam, &st, nullptr), HC_OK);
  EXPECT_EQ(static_cast<std::size_t>(st.memory_pictures), memory_total - w.files.size());
  HcPictureInfo info{};
  EXPECT_EQ(HcGetCameraPictInfo(&cam, 0, 0, 1, 0, &info, nullptr), HC_INVALID_PARAMETER);
}

}  // namespace
