// The emulated camera's view of its picture folder: what each model lists,
// in which order and under which names, and what deleting, a missing card
// and a full memory do.
#include <gtest/gtest.h>

#include <fstream>

#include "store.h"

namespace fs = std::filesystem;
using namespace hc::proto;

namespace {

class Folder {
 public:
  Folder() {
    char t[] = "/tmp/camsim-test-XXXXXX";
    dir = mkdtemp(t);
  }
  ~Folder() { fs::remove_all(dir); }
  void file(const std::string& rel, std::size_t size = 300) {
    fs::create_directories((dir / rel).parent_path());
    std::ofstream f(dir / rel, std::ios::binary);
    for (std::size_t i = 0; i < size; ++i) f.put(static_cast<char>(i * 7 + rel.size()));
  }
  fs::path dir;
};

struct Albums {
  std::vector<std::string> names;
  std::vector<std::uint32_t> counts;
};

std::int16_t albums(camsim::Store& s, int loc, Albums& out) {
  ByteWriter args, ans;
  args.u8(static_cast<std::uint8_t>(loc));
  ByteReader r(args.data());
  std::int16_t st = s.command(Op::Albums, r, ans);
  if (st != st::kOk) return st;
  ByteReader a(ans.data());
  int n = a.u16();
  for (int i = 0; i <= n; ++i) {
    out.names.push_back(a.text(kAlbumName));
    out.counts.push_back(a.u32());
  }
  EXPECT_FALSE(a.fail());
  return st;
}

std::vector<std::string> names(camsim::Store& s, int loc, int album, int first = 0, int max = 100) {
  ByteWriter args, ans;
  args.u8(static_cast<std::uint8_t>(loc));
  args.u16(static_cast<std::uint16_t>(album));
  args.u16(static_cast<std::uint16_t>(first));
  args.u16(static_cast<std::uint16_t>(max));
  ByteReader r(args.data());
  std::vector<std::string> out;
  if (s.command(Op::Names, r, ans) != st::kOk) return {"<error>"};
  ByteReader a(ans.data());
  a.u16();
  int n = a.u16();
  for (int i = 0; i < n; ++i) {
    std::string slot(kNameSlot, '\0');
    a.take(slot.data(), kNameSlot);
    out.push_back(slot.substr(0, slot.find('\0')));
  }
  return out;
}

std::int16_t erase(camsim::Store& s, int loc, int album, int pic) {
  ByteWriter args, ans;
  args.u8(static_cast<std::uint8_t>(loc));
  args.u16(static_cast<std::uint16_t>(album));
  args.i32(pic);
  ByteReader r(args.data());
  return s.command(Op::Delete, r, ans);
}

CameraStatus status(camsim::Store& s) {
  ByteWriter ans;
  ByteReader r(nullptr, 0);
  EXPECT_EQ(s.command(Op::Status, r, ans), st::kOk);
  ByteReader a(ans.data());
  return CameraStatus::read(a);
}

TEST(Store, CirraAlbumsAndNamesFollowTheFolder) {
  Folder f;
  f.file("memory/PIC00002.HCR");
  f.file("memory/PIC00001.hcr");
  f.file("memory/notes.txt");                    // not a picture
  f.file("memory/Zoo/Z1.HCR");
  f.file("memory/Apple/A2.HCR");
  f.file("memory/Apple/A1.HCR");
  f.file("memory/Apple/Deeper/X.HCR");           // albums do not nest
  f.file("memory/ThisNameIsTooLong/B.HCR");      // 17 characters: not an album
  f.file("memory/Empty/.keep");
  f.file("memory/ABCDEFGHIJKL.HCR");             // 16 with the extension: too long
  f.file("card/C1.HCR");
  camsim::Store s(*camsim::find_model("cirra"), f.dir);

  Albums m;
  ASSERT_EQ(albums(s, 0, m), st::kOk);
  EXPECT_EQ(m.names, (std::vector<std::string>{"", "Apple", "Empty", "Zoo"}));
  EXPECT_EQ(m.counts, (std::vector<std::uint32_t>{2, 2, 0, 1}));
  EXPECT_EQ(names(s, 0, 0), (std::vector<std::string>{"PIC00001.hcr", "PIC00002.HCR"}));
  EXPECT_EQ(names(s, 0, 1), (std::vector<std::string>{"A1.HCR", "A2.HCR"}));
  EXPECT_EQ(names(s, 0, 1, 1, 5), (std::vector<std::string>{"A2.HCR"}));  // paging
  EXPECT_EQ(names(s, 0, 9), (std::vector<std::string>{"<error>"}));

  CameraStatus st = status(s);
  EXPECT_EQ(st.memory_pictures, 5);
  EXPECT_EQ(st.memory_albums, 3);
  EXPECT_EQ(st.memory_root_pictures, 2);
  EXPECT_EQ(st.card_pictures, 1);
  EXPECT_EQ(st.card_present, 1);
}

TEST(Store, AvenaAndBelvaNameByStemWithinTheirLimits) {
  Folder f;
  f.file("memory/P2.HCR");
  f.file("memory/P1.HCR");
  f.file("memory/Sub/X.HCR");  // no albums on these models
  f.file("memory/TWELVECHARSX.HCR");
  f.file("card/C1.HCR");
  camsim::Store belva(*camsim::find_model("belva"), f.dir);
  EXPECT_EQ(names(belva, 0, 0), (std::vector<std::string>{"P1", "P2"}));  // 12 characters: too long
  EXPECT_EQ(names(belva, 1, 0), (std::vector<std::string>{"C1"}));
  Albums a;
  ASSERT_EQ(albums(belva, 0, a), st::kOk);
  EXPECT_EQ(a.names.size(), 1u);

  camsim::Store avena(*camsim::find_model("avena"), f.dir);
  EXPECT_EQ(names(avena, 0, 0), (std::vector<std::string>{"P1", "P2", "TWELVECHARSX"}));
  EXPECT_EQ(avena.locate(1, 0, 1), st::kInvalidParameter);  // no card slot at all
  EXPECT_EQ(status(avena).card_pictures, 0);
}

TEST(Store, DeletingRemovesFilesAndRenumbers) {
  Folder f;
  for (const char* n : {"memory/A.HCR", "memory/B.HCR", "memory/C.HCR", "card/D.HCR"}) f.file(n);
  camsim::Store s(*camsim::find_model("belva"), f.dir);
  EXPECT_EQ(erase(s, 0, 0, 4), st::kInvalidParameter);
  EXPECT_EQ(erase(s, 0, 0, 0), st::kInvalidParameter);
  ASSERT_EQ(erase(s, 0, 0, 2), st::kOk);
  EXPECT_FALSE(fs::exists(f.dir / "memory/B.HCR"));
  EXPECT_EQ(names(s, 0, 0), (std::vector<std::string>{"A", "C"}));
  ASSERT_EQ(erase(s, 0, 0, -1), st::kOk);
  EXPECT_TRUE(fs::exists(f.dir / "card/D.HCR"));
  EXPECT_FALSE(fs::exists(f.dir / "memory/A.HCR") || fs::exists(f.dir / "memory/C.HCR"));
  EXPECT_EQ(status(s).memory_pictures, 0);
}

TEST(Store, MissingCardAndFullMemory) {
  Folder f;
  f.file("memory/A.HCR", 1000);
  f.file("card/B.HCR", 1000);
  camsim::Store s(*camsim::find_model("belva"), f.dir);
  ReadRequest card;
  card.ref = {1, 0, 1};
  card.file_size = 1000;
  card.length = 1000;
  card.chunk = 256;
  ReadRequest mem = card;
  mem.ref.location = 0;

  s.set_memory_full(true);
  EXPECT_EQ(status(s).memory_full, 1);
  EXPECT_EQ(s.check_read(card), st::kMemoryFull);
  EXPECT_EQ(s.check_read(mem), st::kOk);
  ASSERT_EQ(erase(s, 0, 0, 1), st::kOk);  // frees room in the memory
  EXPECT_EQ(s.check_read(card), st::kOk);
  ReadRequest wrong = card;
  wrong.file_size = 999;
  EXPECT_EQ(s.check_read(wrong), st::kInvalidParameter);

  s.set_card_present(false);
  s.rescan();
  EXPECT_EQ(s.check_read(card), st::kNoCard);
  EXPECT_EQ(erase(s, 1, 0, -1), st::kNoCard);
  Albums a;
  EXPECT_EQ(albums(s, 1, a), st::kNoCard);
  CameraStatus st = status(s);
  EXPECT_EQ(st.card_present, 0);
  EXPECT_EQ(st.card_pictures, 0);
  EXPECT_TRUE(fs::exists(f.dir / "card/B.HCR"));
}

}  // namespace
