// Macintosh-style files on real files in a temporary folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/files.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

constexpr OSType FourCC(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

std::vector<uint8_t> Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Spit(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t(b.at(at)) << 24) | (uint32_t(b.at(at + 1)) << 16) |
         (uint32_t(b.at(at + 2)) << 8) | b.at(at + 3);
}

void PutBe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + size_t(i)) = uint8_t(v >> (24 - 8 * i));
}

// An AppleDouble file with the given (id, bytes) entries laid out in that order.
std::vector<uint8_t> AppleDouble(const std::vector<std::pair<uint32_t, std::vector<uint8_t>>>& es) {
  std::vector<uint8_t> out(26 + 12 * es.size(), 0);
  PutBe32(out, 0, 0x00051607);
  PutBe32(out, 4, 0x00020000);
  out[24] = 0;
  out[25] = uint8_t(es.size());
  uint32_t offset = uint32_t(out.size());
  for (size_t i = 0; i < es.size(); ++i) {
    PutBe32(out, 26 + 12 * i, es[i].first);
    PutBe32(out, 30 + 12 * i, offset);
    PutBe32(out, 34 + 12 * i, uint32_t(es[i].second.size()));
    offset += uint32_t(es[i].second.size());
  }
  for (const auto& e : es) out.insert(out.end(), e.second.begin(), e.second.end());
  return out;
}

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = uint8_t(seed + i * 7 + (i >> 8));
  return v;
}

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vrx-files-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    baseForks_ = OpenForkCount();
  }
  void TearDown() override {
    EXPECT_EQ(OpenForkCount(), baseForks_) << "a fork was left open";
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string P(const std::string& leaf) const { return dir_ + "/" + leaf; }

  // Whole contents of a fork read through the file services.
  std::vector<uint8_t> ReadAll(const std::string& path, bool resource) {
    int16_t ref = 0;
    int16_t rc = resource ? OpenResourceFork(path, kReadPermission, &ref)
                          : OpenDataFork(path, kReadPermission, &ref);
    EXPECT_EQ(rc, 0);
    if (rc != 0) return {};
    std::vector<uint8_t> out;
    for (int pass = 0; pass < 10000; ++pass) {
      uint8_t buf[4096];
      int32_t n = sizeof buf;
      rc = ReadFork(ref, &n, buf);
      out.insert(out.end(), buf, buf + n);
      if (rc != 0) break;
    }
    EXPECT_EQ(rc, kEofErr);
    EXPECT_EQ(CloseFork(ref), 0);
    return out;
  }

  void WriteAll(const std::string& path, bool resource, const std::vector<uint8_t>& bytes) {
    int16_t ref = 0;
    ASSERT_EQ(resource ? OpenResourceFork(path, kReadWritePermission, &ref)
                       : OpenDataFork(path, kReadWritePermission, &ref),
              0);
    int32_t n = int32_t(bytes.size());
    EXPECT_EQ(WriteFork(ref, &n, bytes.data()), 0);
    EXPECT_EQ(n, int32_t(bytes.size()));
    EXPECT_EQ(SetForkLength(ref, n), 0);
    EXPECT_EQ(CloseFork(ref), 0);
  }

  std::string dir_;
  int32_t baseForks_ = 0;
};

TEST_F(Files, TypeCreatorFlagsAndResourceForkSurviveReopen) {
  std::string path = P("Report");
  ASSERT_EQ(CreateFile(path, FourCC("SITx"), FourCC("TEXT")), 0);
  EXPECT_EQ(CreateFile(path, FourCC("SITx"), FourCC("TEXT")), kDupFNErr);

  // The companion file is the AppleDouble version 2 form macOS writes.
  std::vector<uint8_t> ad = Slurp(P("._Report"));
  ASSERT_GE(ad.size(), 82u);
  EXPECT_EQ(Be32(ad, 0), 0x00051607u);
  EXPECT_EQ(Be32(ad, 4), 0x00020000u);
  EXPECT_EQ(ad[25], 2);
  EXPECT_EQ(Be32(ad, 26), 9u);  // Finder info
  EXPECT_EQ(Be32(ad, 34), 32u);
  EXPECT_EQ(Be32(ad, Be32(ad, 30)), FourCC("TEXT"));
  EXPECT_EQ(Be32(ad, Be32(ad, 30) + 4), FourCC("SITx"));
  EXPECT_EQ(Be32(ad, 38), 2u);  // resource fork, empty so far
  EXPECT_EQ(Be32(ad, 46), 0u);

  FinderInfo fi;
  ASSERT_EQ(GetFinderInfo(path, &fi), 0);
  fi.flags = 0x4101;
  fi.locationV = -12;
  fi.locationH = 300;
  fi.folder = -3;
  ASSERT_EQ(SetFinderInfo(path, fi), 0);

  std::vector<uint8_t> data = Pattern(5000, 1);
  std::vector<uint8_t> rsrc = Pattern(70000, 9);
  WriteAll(path, false, data);
  // The resource fork arrives in pieces, growing past its first size each time.
  int16_t ref = 0;
  ASSERT_EQ(OpenResourceFork(path, kReadWritePermission, &ref), 0);
  for (size_t at = 0; at < rsrc.size(); at += 16384) {
    int32_t n = int32_t(std::min<size_t>(16384, rsrc.size() - at));
    ASSERT_EQ(WriteFork(ref, &n, rsrc.data() + at), 0);
  }
  int32_t length = 0;
  EXPECT_EQ(GetForkLength(ref, &length), 0);
  EXPECT_EQ(length, 70000);
  ASSERT_EQ(CloseFork(ref), 0);

  FinderInfo back;
  ASSERT_EQ(GetFinderInfo(path, &back), 0);
  EXPECT_EQ(back.type, FourCC("TEXT"));
  EXPECT_EQ(back.creator, FourCC("SITx"));
  EXPECT_EQ(back.flags, 0x4101);
  EXPECT_EQ(back.locationV, -12);
  EXPECT_EQ(back.locationH, 300);
  EXPECT_EQ(back.folder, -3);
  EXPECT_EQ(ReadAll(path, false), data);
  EXPECT_EQ(ReadAll(path, true), rsrc);
  EXPECT_EQ(Slurp(path), data);  // the data fork is the file itself

  CatalogInfo ci;
  ASSERT_EQ(GetCatalogInfo(path, &ci), 0);
  EXPECT_EQ(ci.finder.type, FourCC("TEXT"));
  EXPECT_EQ(ci.finder.flags, 0x4101);
  EXPECT_EQ(ci.dataLength, 5000);
  EXPECT_EQ(ci.resourceLength, 70000);
  EXPECT_FALSE(ci.locked);

  // Deleting takes the companion file with it.
  ASSERT_EQ(DeleteFile(path), 0);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(fs::exists(P("._Report")));
  EXPECT_EQ(DeleteFile(path), kFnfErr);
}

// A companion that is no AppleDouble file (a FIFO, a folder, other bytes) is never
// trusted: the resource fork reads as empty, writing it is refused, the companion stays.
TEST_F(Files, CompanionThatIsNoAppleDoubleFileIsNeitherReadNorOverwritten) {
  const std::vector<uint8_t> junk = Pattern(40, 9);
  const struct {
    const char* leaf;
    int16_t writeCode;
  } rows[] = {{"fifo", kIoErr}, {"folder", kNotAFileErr}, {"junk", kIoErr}};
  for (const auto& r : rows) {
    const std::string path = P(r.leaf), companion = P(std::string("._") + r.leaf);
    Spit(path, {'d'});
    const std::string leaf = r.leaf;
    if (leaf == "fifo") {
      ASSERT_EQ(mkfifo(companion.c_str(), 0600), 0);
    }
    if (leaf == "folder") fs::create_directory(companion);
    if (leaf == "junk") Spit(companion, junk);
    EXPECT_TRUE(ReadAll(path, true).empty()) << leaf;
    int16_t ref = 0;
    EXPECT_EQ(OpenResourceFork(path, kReadWritePermission, &ref), r.writeCode) << leaf;
    if (leaf == "junk") {
      EXPECT_EQ(Slurp(companion), junk);
    }
  }
}

TEST_F(Files, PlainFileReadsAsTypeZeroAndGetsNoCompanionUntilNeeded) {
  std::string path = P("plain.txt");
  Spit(path, {'a', 'b', 'c'});
  FinderInfo fi;
  fi.type = 1;
  ASSERT_EQ(GetFinderInfo(path, &fi), 0);
  EXPECT_EQ(fi.type, 0u);
  EXPECT_EQ(fi.creator, 0u);
  EXPECT_EQ(fi.flags, 0);

  // An empty resource fork opens and reads as empty, even for writing.
  int16_t ref = 0;
  ASSERT_EQ(OpenResourceFork(path, kReadWritePermission, &ref), 0);
  int32_t n = 8;
  uint8_t buf[8];
  EXPECT_EQ(ReadFork(ref, &n, buf), kEofErr);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(SetForkLength(ref, 0), 0);
  n = 0;
  EXPECT_EQ(WriteFork(ref, &n, buf), 0);
  EXPECT_EQ(CloseFork(ref), 0);
  // Nothing to store: no companion file.
  EXPECT_EQ(SetFinderInfo(path, FinderInfo{}), 0);
  EXPECT_EQ(CreateFile(P("typeless"), 0, 0), 0);
  EXPECT_FALSE(fs::exists(P("._plain.txt")));
  EXPECT_FALSE(fs::exists(P("._typeless")));

  // A created file replaces a companion left behind by an earlier file of that name.
  Spit(P("._again"), AppleDouble({{9, std::vector<uint8_t>(32, 0x41)}, {2, {1, 2, 3}}}));
  ASSERT_EQ(CreateFile(P("again"), 0, 0), 0);
  ASSERT_EQ(GetFinderInfo(P("again"), &fi), 0);
  EXPECT_EQ(fi.type, 0u);
  EXPECT_TRUE(ReadAll(P("again"), true).empty());
  Spit(P("._again2"), AppleDouble({{9, std::vector<uint8_t>(32, 0x41)}, {2, {1, 2, 3}}}));
  ASSERT_EQ(CreateFile(P("again2"), FourCC("APPL"), FourCC("ttxt")), 0);
  EXPECT_TRUE(ReadAll(P("again2"), true).empty());
  ASSERT_EQ(GetFinderInfo(P("again2"), &fi), 0);
  EXPECT_EQ(fi.type, FourCC("ttxt"));
  EXPECT_EQ(fi.flags, 0);
}

TEST_F(Files, ReadWritePositionAndEndOfFile) {
  std::string path = P("data");
  ASSERT_EQ(CreateFile(path, 0, 0), 0);
  int16_t ref = 0;
  ASSERT_EQ(OpenDataFork(path, kReadWritePermission, &ref), 0);
  ASSERT_GT(ref, 0);
  const char text[] = "0123456789";
  int32_t n = 10;
  ASSERT_EQ(WriteFork(ref, &n, text), 0);
  int32_t pos = -1;
  EXPECT_EQ(GetForkPosition(ref, &pos), 0);
  EXPECT_EQ(pos, 10);

  // Reading past the end gives the bytes there are and -39.
  ASSERT_EQ(SetForkPosition(ref, 1, 4), 0);
  char buf[32] = {};
  n = 16;
  EXPECT_EQ(ReadFork(ref, &n, buf), kEofErr);
  EXPECT_EQ(n, 6);
  EXPECT_EQ(std::string(buf, 6), "456789");
  n = 16;
  EXPECT_EQ(ReadFork(ref, &n, buf), kEofErr);
  EXPECT_EQ(n, 0);

  // Position modes: 1 from the start, 2 from the end, 3 from the mark.
  EXPECT_EQ(SetForkPosition(ref, 2, -3), 0);
  EXPECT_EQ(GetForkPosition(ref, &pos), 0);
  EXPECT_EQ(pos, 7);
  EXPECT_EQ(SetForkPosition(ref, 3, -2), 0);
  EXPECT_EQ(GetForkPosition(ref, &pos), 0);
  EXPECT_EQ(pos, 5);
  EXPECT_EQ(SetForkPosition(ref, 3, -6), kPosErr);  // before the start: the mark stays
  EXPECT_EQ(GetForkPosition(ref, &pos), 0);
  EXPECT_EQ(pos, 5);
  EXPECT_EQ(SetForkPosition(ref, 1, 11), kEofErr);  // past the end: the mark goes to it
  EXPECT_EQ(GetForkPosition(ref, &pos), 0);
  EXPECT_EQ(pos, 10);
  EXPECT_EQ(SetForkPosition(ref, 9, 0), kParamErr);

  // Writing in the middle overwrites; the end of file moves both ways.
  ASSERT_EQ(SetForkPosition(ref, 1, 8), 0);
  n = 4;
  EXPECT_EQ(WriteFork(ref, &n, "ABCD"), 0);
  int32_t length = 0;
  EXPECT_EQ(GetForkLength(ref, &length), 0);
  EXPECT_EQ(length, 12);
  EXPECT_EQ(SetForkLength(ref, 20), 0);
  ASSERT_EQ(SetForkPosition(ref, 1, 10), 0);
  n = 10;
  EXPECT_EQ(ReadFork(ref, &n, buf), 0);
  EXPECT_EQ(std::string(buf, 10), std::string("CD") + std::string(8, '\0'));
  EXPECT_EQ(SetForkLength(ref, 3), 0);  // the mark (20) comes back to the new end
  EXPECT_EQ(GetForkPosition(ref, &pos), 0);
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(SetForkLength(ref, -1), kParamErr);
  n = -1;
  EXPECT_EQ(ReadFork(ref, &n, buf), kParamErr);
  EXPECT_EQ(CloseFork(ref), 0);
  EXPECT_EQ(Slurp(path), (std::vector<uint8_t>{'0', '1', '2'}));

  // Stale and invalid references.
  n = 1;
  EXPECT_EQ(ReadFork(ref, &n, buf), kRfNumErr);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(CloseFork(ref), kRfNumErr);
  EXPECT_EQ(CloseFork(0), kRfNumErr);
  EXPECT_EQ(CloseFork(-5), kRfNumErr);
  EXPECT_EQ(CloseFork(32767), kRfNumErr);
}

TEST_F(Files, ResourceForkEndOfFileAndTwoAccessPaths) {
  std::string path = P("forks");
  ASSERT_EQ(CreateFile(path, FourCC("ttxt"), FourCC("TEXT")), 0);
  int16_t w = 0, r = 0;
  ASSERT_EQ(OpenResourceFork(path, kReadWritePermission, &w), 0);
  ASSERT_EQ(OpenResourceFork(path, kReadPermission, &r), 0);
  EXPECT_NE(w, r);
  int32_t n = 5;
  ASSERT_EQ(WriteFork(w, &n, "hello"), 0);
  int32_t length = 0;
  EXPECT_EQ(GetForkLength(r, &length), 0);  // the reader sees the writer's bytes
  EXPECT_EQ(length, 5);
  char buf[64] = {};
  n = 64;
  EXPECT_EQ(ReadFork(r, &n, buf), kEofErr);
  EXPECT_EQ(std::string(buf, size_t(n)), "hello");

  EXPECT_EQ(SetForkLength(w, 40), 0);  // growth reads as zeros
  ASSERT_EQ(SetForkPosition(r, 1, 0), 0);
  n = 64;
  EXPECT_EQ(ReadFork(r, &n, buf), kEofErr);
  EXPECT_EQ(n, 40);
  EXPECT_EQ(std::string(buf, 40), "hello" + std::string(35, '\0'));
  EXPECT_EQ(SetForkLength(w, 2), 0);
  EXPECT_EQ(SetForkPosition(w, 2, 0), 0);
  n = 1;
  EXPECT_EQ(WriteFork(w, &n, "!"), 0);
  EXPECT_EQ(CloseFork(w), 0);
  EXPECT_EQ(CloseFork(r), 0);
  EXPECT_EQ(ReadAll(path, true), (std::vector<uint8_t>{'h', 'e', '!'}));
  FinderInfo fi;
  ASSERT_EQ(GetFinderInfo(path, &fi), 0);
  EXPECT_EQ(fi.type, FourCC("TEXT"));
  EXPECT_EQ(Slurp(path).size(), 0u);
}

TEST_F(Files, PermissionsAndSharing) {
  std::string path = P("shared");
  ASSERT_EQ(CreateFile(path, 0, 0), 0);
  Spit(path, {'x', 'y'});
  int16_t r = 0;
  ASSERT_EQ(OpenDataFork(path, kReadPermission, &r), 0);
  int32_t n = 1;
  EXPECT_EQ(WriteFork(r, &n, "z"), kWrPermErr);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(SetForkLength(r, 0), kWrPermErr);
  int16_t rr = 0;
  ASSERT_EQ(OpenResourceFork(path, kReadPermission, &rr), 0);
  n = 1;
  EXPECT_EQ(WriteFork(rr, &n, "z"), kWrPermErr);
  EXPECT_EQ(SetForkLength(rr, 10), kWrPermErr);
  EXPECT_FALSE(fs::exists(P("._shared")));

  // One writer per fork; readers are welcome alongside it.
  int16_t w1 = 0, w2 = 7, wr = 0;
  ASSERT_EQ(OpenDataFork(path, kReadWritePermission, &w1), 0);
  EXPECT_EQ(OpenDataFork(path, kReadWritePermission, &w2), kOpWrErr);
  EXPECT_EQ(w2, 0);
  ASSERT_EQ(OpenResourceFork(path, kReadWritePermission, &wr), 0);  // the other fork
  EXPECT_EQ(OpenResourceFork(path, kReadWritePermission, &w2), kOpWrErr);
  EXPECT_EQ(OpenDataFork(path, 5, &w2), kParamErr);
  EXPECT_EQ(DeleteFile(path), kFBsyErr);  // not while open
  for (int16_t ref : {r, rr, w1, wr}) EXPECT_EQ(CloseFork(ref), 0);
  EXPECT_EQ(Slurp(path), (std::vector<uint8_t>{'x', 'y'}));

  // A file nobody may write.
  chmod(path.c_str(), 0444);
  CatalogInfo ci;
  ASSERT_EQ(GetCatalogInfo(path, &ci), 0);
  EXPECT_TRUE(ci.locked);
  if (geteuid() != 0) {  // root writes anyway
    EXPECT_EQ(OpenDataFork(path, kReadWritePermission, &w1), kPermErr);
    ASSERT_EQ(OpenDataFork(path, 0, &w1), 0);  // permission 0 settles for reading
    n = 1;
    EXPECT_EQ(WriteFork(w1, &n, "z"), kWrPermErr);
    EXPECT_EQ(CloseFork(w1), 0);
  }
}

TEST_F(Files, MissingFilesFoldersAndOddPaths) {
  int16_t ref = 5;
  EXPECT_EQ(OpenDataFork(P("nothing"), kReadPermission, &ref), kFnfErr);
  EXPECT_EQ(ref, 0);
  EXPECT_EQ(OpenResourceFork(P("nothing"), kReadPermission, &ref), kFnfErr);
  EXPECT_EQ(OpenDataFork(P("nofolder/x"), kReadPermission, &ref), kDirNFErr);
  EXPECT_EQ(CreateFile(P("nofolder/x"), 0, 0), kDirNFErr);
  EXPECT_EQ(CreateFile(P("nofolder/x"), FourCC("ttxt"), FourCC("TEXT")), kDirNFErr);
  FinderInfo fi;
  CatalogInfo ci;
  EXPECT_EQ(GetFinderInfo(P("nothing"), &fi), kFnfErr);
  EXPECT_EQ(SetFinderInfo(P("nofolder/x"), fi), kDirNFErr);
  EXPECT_EQ(GetCatalogInfo(P("nothing"), &ci), kFnfErr);
  EXPECT_EQ(DeleteFile(P("nofolder/x")), kDirNFErr);
  EXPECT_EQ(FlushVolume(P("nothing")), kFnfErr);
  EXPECT_EQ(OpenDataFork("", kReadPermission, &ref), kFnfErr);

  // A file where a folder should be.
  Spit(P("file"), {1});
  EXPECT_EQ(OpenDataFork(P("file/x"), kReadPermission, &ref), kDirNFErr);
  EXPECT_EQ(WindowsErrorForPath(ENOENT, P("nofolder/x")), 3);
  EXPECT_EQ(WindowsErrorForPath(ENOENT, P("nothing")), 2);

  // Folders and FIFOs are not files; opening a FIFO must not wait for a writer.
  fs::create_directory(P("folder"));
  EXPECT_EQ(OpenDataFork(P("folder"), kReadPermission, &ref), kNotAFileErr);
  EXPECT_EQ(OpenResourceFork(P("folder"), kReadPermission, &ref), kNotAFileErr);
  ASSERT_EQ(mkfifo(P("fifo").c_str(), 0600), 0);
  EXPECT_EQ(OpenDataFork(P("fifo"), kReadPermission, &ref), kNotAFileErr);
  EXPECT_EQ(CreateFile(P("folder"), 0, 0), kDupFNErr);

  // The path ends at a zero byte, as the host's text does.
  Spit(P("short"), {'s'});
  std::string withZero = P("short") + std::string("\0junk", 5);
  ASSERT_EQ(OpenDataFork(withZero, kReadPermission, &ref), 0);
  EXPECT_EQ(CloseFork(ref), 0);

  // Host paths are Mac Roman: 0x8A is a-umlaut, 0xA5 a bullet.
  std::string macName = P("K\x8A" "se \xA5");
  ASSERT_EQ(CreateFile(macName, FourCC("ttxt"), FourCC("TEXT")), 0);
  EXPECT_TRUE(fs::exists(P("K\xC3\xA4se \xE2\x80\xA2")));
  EXPECT_TRUE(fs::exists(P("._K\xC3\xA4se \xE2\x80\xA2")));
  EXPECT_EQ(SystemPath("K\x8A" "se"), "K\xC3\xA4se");
  ASSERT_EQ(OpenDataFork(macName, kReadPermission, &ref), 0);
  EXPECT_EQ(CloseFork(ref), 0);

  EXPECT_EQ(LeafName("Disk/Folder/Name"), "Name");
  EXPECT_EQ(LeafName("Name"), "Name");
  EXPECT_EQ(AppleDoublePath("/a/b/c.txt"), "/a/b/._c.txt");
  EXPECT_EQ(AppleDoublePath("c.txt"), "._c.txt");
  EXPECT_EQ(FlushVolume(P("short")), 0);
  EXPECT_EQ(FlushVolume(dir_), 0);
}

TEST_F(Files, ErrnoMappings) {
  EXPECT_EQ(WindowsErrorFromErrno(ENOENT), 2);
  EXPECT_EQ(WindowsErrorFromErrno(ENOTDIR), 3);
  EXPECT_EQ(WindowsErrorFromErrno(EMFILE), 4);
  EXPECT_EQ(WindowsErrorFromErrno(EACCES), 5);
  EXPECT_EQ(WindowsErrorFromErrno(EPERM), 5);
  EXPECT_EQ(WindowsErrorFromErrno(EROFS), 19);
  EXPECT_EQ(WindowsErrorFromErrno(EEXIST), 80);
  EXPECT_EQ(WindowsErrorFromErrno(ENOSPC), 112);
  EXPECT_EQ(WindowsErrorFromErrno(EIO), 31);
  EXPECT_EQ(FileErrorFromErrno(ENOENT), kFnfErr);
  EXPECT_EQ(FileErrorFromErrno(ENOTDIR), kDirNFErr);
  EXPECT_EQ(FileErrorFromErrno(EEXIST), kDupFNErr);
  EXPECT_EQ(FileErrorFromErrno(EMFILE), kTmfoErr);
  EXPECT_EQ(FileErrorFromErrno(ENOSPC), kDskFulErr);
  EXPECT_EQ(FileErrorFromErrno(EACCES), kAfpAccessDenied);
  EXPECT_EQ(FileErrorFromErrno(EIO), kIoErr);
}

TEST_F(Files, ReferenceTableFillsUpAndEmpties) {
  std::string path = P("many");
  Spit(path, {});
  std::vector<int16_t> refs;
  int16_t rc = 0;
  // Resource forks without a companion file hold no descriptor, so the table fills first.
  for (int i = 0; i < 5000; ++i) {
    int16_t ref = 0;
    rc = OpenResourceFork(path, kReadPermission, &ref);
    if (rc != 0) break;
    refs.push_back(ref);
  }
  EXPECT_EQ(rc, kTmfoErr);
  EXPECT_GE(refs.size(), 300u);
  EXPECT_EQ(OpenForkCount(), baseForks_ + int32_t(refs.size()));
  for (int16_t ref : refs) EXPECT_EQ(CloseFork(ref), 0);
  int16_t ref = 0;
  ASSERT_EQ(OpenDataFork(path, kReadPermission, &ref), 0);
  EXPECT_EQ(ref, 1 + baseForks_);  // the lowest free reference comes first again
  EXPECT_EQ(CloseFork(ref), 0);
}

TEST_F(Files, CatalogDatesFollowTheFileTimesInLocalTime) {
  const char* oldTz = getenv("TZ");
  std::string saved = oldTz ? oldTz : "";
  setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  tzset();
  std::string path = P("dated");
  Spit(path, {1, 2, 3});
  struct timespec times[2] = {{0, UTIME_OMIT}, {1690000000, 0}};  // July 2023: UTC+2
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  CatalogInfo ci;
  ASSERT_EQ(GetCatalogInfo(path, &ci), 0);
  EXPECT_EQ(ci.modified, uint32_t(1690000000 + 2 * 3600 + 2082844800LL));
  EXPECT_NE(ci.created, 0u);

  // Setting the date goes back through the same offset; 0 leaves the time alone.
  ci.modified = uint32_t(1700000000 + 3600 + 2082844800LL);  // November 2023: UTC+1
  ci.finder.type = FourCC("GIFf");
  ASSERT_EQ(SetCatalogInfo(path, ci), 0);
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1700000000);
  ci.modified = 0;
  ASSERT_EQ(SetCatalogInfo(path, ci), 0);
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1700000000);
  CatalogInfo back;
  ASSERT_EQ(GetCatalogInfo(path, &back), 0);
  EXPECT_EQ(back.finder.type, FourCC("GIFf"));
  EXPECT_EQ(back.dataLength, 3);

  if (oldTz)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

// macOS keeps extended attributes inside the Finder info entry, and puts the resource
// fork last; both must come through edits untouched.
TEST_F(Files, CompanionWrittenByMacOSKeepsItsOtherBytes) {
  std::vector<uint8_t> finder(3762, 0);
  PutBe32(finder, 0, FourCC("TEXT"));
  PutBe32(finder, 4, FourCC("R*ch"));
  finder[8] = 0x01;
  for (size_t i = 34; i < finder.size(); ++i) finder[i] = uint8_t(i * 13);  // "ATTR" data
  std::vector<uint8_t> rsrc = Pattern(286, 3);
  Spit(P("mac"), {'d'});
  Spit(P("._mac"), AppleDouble({{9, finder}, {2, rsrc}}));

  FinderInfo fi;
  ASSERT_EQ(GetFinderInfo(P("mac"), &fi), 0);
  EXPECT_EQ(fi.type, FourCC("TEXT"));
  EXPECT_EQ(fi.creator, FourCC("R*ch"));
  EXPECT_EQ(fi.flags, 0x0100);
  EXPECT_EQ(ReadAll(P("mac"), true), rsrc);

  fi.type = FourCC("ttro");
  ASSERT_EQ(SetFinderInfo(P("mac"), fi), 0);
  int16_t ref = 0;
  ASSERT_EQ(OpenResourceFork(P("mac"), kReadWritePermission, &ref), 0);
  ASSERT_EQ(SetForkPosition(ref, 2, 0), 0);
  int32_t n = 3;
  ASSERT_EQ(WriteFork(ref, &n, "xyz"), 0);
  ASSERT_EQ(CloseFork(ref), 0);

  std::vector<uint8_t> after = Slurp(P("._mac"));
  ASSERT_EQ(after.size(), 50 + 3762 + 289u);
  EXPECT_EQ(Be32(after, 30), 50u);  // nothing moved
  EXPECT_EQ(Be32(after, 50), FourCC("ttro"));
  EXPECT_TRUE(std::equal(finder.begin() + 16, finder.end(), after.begin() + 50 + 16));
  EXPECT_EQ(Be32(after, 46), 289u);
  rsrc.insert(rsrc.end(), {'x', 'y', 'z'});
  EXPECT_EQ(ReadAll(P("mac"), true), rsrc);

  // Bytes after the last entry belong to nothing: a growing fork reads zeros, not them.
  after.insert(after.end(), 50, 'G');
  Spit(P("._mac"), after);
  ASSERT_EQ(OpenResourceFork(P("mac"), kReadWritePermission, &ref), 0);
  ASSERT_EQ(SetForkLength(ref, 289 + 10), 0);
  ASSERT_EQ(CloseFork(ref), 0);
  rsrc.insert(rsrc.end(), 10, 0);
  EXPECT_EQ(ReadAll(P("mac"), true), rsrc);
}

// Another writer may put the resource fork first; growing it must not overwrite what
// follows it.
TEST_F(Files, ResourceForkBeforeOtherEntriesIsMovedBeforeItGrows) {
  std::vector<uint8_t> finder(32, 0);
  PutBe32(finder, 0, FourCC("PNGf"));
  std::vector<uint8_t> comment = {'n', 'o', 't', 'e'};
  Spit(P("odd"), {});
  Spit(P("._odd"), AppleDouble({{2, {'r', 's'}}, {4, comment}, {9, finder}}));
  int16_t ref = 0;
  ASSERT_EQ(OpenResourceFork(P("odd"), kReadWritePermission, &ref), 0);
  ASSERT_EQ(SetForkPosition(ref, 2, 0), 0);
  std::vector<uint8_t> more = Pattern(1000, 5);
  int32_t n = 1000;
  ASSERT_EQ(WriteFork(ref, &n, more.data()), 0);
  ASSERT_EQ(CloseFork(ref), 0);
  std::vector<uint8_t> expect = {'r', 's'};
  expect.insert(expect.end(), more.begin(), more.end());
  EXPECT_EQ(ReadAll(P("odd"), true), expect);
  FinderInfo fi;
  ASSERT_EQ(GetFinderInfo(P("odd"), &fi), 0);
  EXPECT_EQ(fi.type, FourCC("PNGf"));
  // The comment entry is still there, byte for byte.
  std::vector<uint8_t> ad = Slurp(P("._odd"));
  bool found = false;
  for (size_t i = 0; i < ad.at(25); ++i) {
    if (Be32(ad, 26 + 12 * i) != 4) continue;
    found = true;
    size_t off = Be32(ad, 30 + 12 * i);
    ASSERT_EQ(Be32(ad, 34 + 12 * i), 4u);
    EXPECT_EQ(std::vector<uint8_t>(ad.begin() + long(off), ad.begin() + long(off) + 4), comment);
  }
  EXPECT_TRUE(found);

  // A companion without a Finder info entry gains one when a type is set.
  Spit(P("._bare"), AppleDouble({{2, {'q'}}}));
  Spit(P("bare"), {});
  fi = FinderInfo{};
  fi.creator = FourCC("8BIM");
  ASSERT_EQ(SetFinderInfo(P("bare"), fi), 0);
  ASSERT_EQ(GetFinderInfo(P("bare"), &fi), 0);
  EXPECT_EQ(fi.creator, FourCC("8BIM"));
  EXPECT_EQ(ReadAll(P("bare"), true), (std::vector<uint8_t>{'q'}));
}

TEST_F(Files, CorruptOrTruncatedCompanionIsNeverTrusted) {
  std::vector<uint8_t> good = AppleDouble({{9, std::vector<uint8_t>(32, 0x55)}, {2, Pattern(100, 1)}});
  std::vector<std::vector<uint8_t>> bad;
  bad.push_back(std::vector<uint8_t>(good.begin(), good.end() - 10));  // fork cut short
  bad.push_back(std::vector<uint8_t>(good.begin(), good.begin() + 10));  // header cut short
  bad.push_back(std::vector<uint8_t>(good.begin(), good.begin() + 40));  // table cut short
  std::vector<uint8_t> v = good;
  v[3] = 0x00;  // AppleSingle-like magic
  bad.push_back(v);
  v = good;
  v[25] = 0xFF;  // more entries than the file holds
  v[24] = 0xFF;
  bad.push_back(v);
  v = good;
  PutBe32(v, 42, 0xFFFFFFF0u);  // resource fork offset far past the end
  bad.push_back(v);
  v = good;
  PutBe32(v, 42, 10);  // resource fork overlapping the header
  bad.push_back(v);
  v = good;
  PutBe32(v, 26, 2);  // two resource forks
  bad.push_back(v);
  v = good;
  PutBe32(v, 42, 60);  // resource fork overlapping the Finder information
  bad.push_back(v);
  bad.push_back(Pattern(500, 77));  // noise

  Spit(P("victim"), {'v'});
  for (size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE(i);
    Spit(P("._victim"), bad[i]);
    FinderInfo fi;
    ASSERT_EQ(GetFinderInfo(P("victim"), &fi), 0);
    EXPECT_EQ(fi.type, 0u);
    CatalogInfo ci;
    ASSERT_EQ(GetCatalogInfo(P("victim"), &ci), 0);
    EXPECT_EQ(ci.resourceLength, 0);
    EXPECT_EQ(ci.dataLength, 1);
    EXPECT_TRUE(ReadAll(P("victim"), true).empty());
    // Changing it would destroy what may still be someone's data: refused.
    int16_t ref = 3;
    EXPECT_EQ(OpenResourceFork(P("victim"), kReadWritePermission, &ref), kIoErr);
    EXPECT_EQ(ref, 0);
    fi.type = FourCC("TEXT");
    EXPECT_EQ(SetFinderInfo(P("victim"), fi), kIoErr);
    EXPECT_EQ(Slurp(P("._victim")), bad[i]);
    EXPECT_EQ(ReadAll(P("victim"), false), (std::vector<uint8_t>{'v'}));
  }

  // An empty companion (a creation cut short) counts as none, and is filled on demand.
  Spit(P("._victim"), {});
  FinderInfo fi;
  ASSERT_EQ(GetFinderInfo(P("victim"), &fi), 0);
  EXPECT_EQ(fi.type, 0u);
  fi.type = FourCC("TEXT");
  ASSERT_EQ(SetFinderInfo(P("victim"), fi), 0);
  ASSERT_EQ(GetFinderInfo(P("victim"), &fi), 0);
  EXPECT_EQ(fi.type, FourCC("TEXT"));
  // A folder in the companion's place is not trusted either.
  fs::remove(P("._victim"));
  fs::create_directory(P("._victim"));
  ASSERT_EQ(GetFinderInfo(P("victim"), &fi), 0);
  EXPECT_EQ(fi.type, 0u);
  EXPECT_TRUE(ReadAll(P("victim"), true).empty());
}

}  // namespace
