// The file services' answers to arguments no caller should pass and to errors the
// system reports: each a defined code, nothing touched.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <filesystem>

#include "platform/files.h"
#include "tests/support.h"

namespace {

using namespace platform;

TEST(ForkEdges, BadArgumentsAnswerCodes) {
  vrxtest::TempDir d;
  vrxtest::WriteFile(d / "f", "abcdef");
  std::filesystem::create_directories(d.path / "full" / "inner");
  int16_t r = 0, w = 0;
  ASSERT_EQ(OpenDataFork(d / "f", kReadPermission, &r), 0);
  ASSERT_EQ(OpenDataFork(d / "f", 2, &w), 0);  // write only
  int32_t n = 0, pos = 0;
  char b[8];
  CatalogInfo ci;
  struct Row {
    const char* what;
    int16_t got, want;
  } rows[] = {
      {"open without a reference", OpenDataFork(d / "f", kReadPermission, nullptr), kParamErr},
      {"read without a count", ReadFork(r, nullptr, b), kParamErr},
      {"read a negative count", (n = -1, ReadFork(r, &n, b)), kParamErr},
      {"read into nothing", (n = 1, ReadFork(r, &n, nullptr)), kParamErr},
      {"read nothing", (n = 0, ReadFork(r, &n, b)), 0},
      {"read a write-only fork", (n = 1, ReadFork(w, &n, b)), kPermErr},
      {"write without a count", WriteFork(w, nullptr, b), kParamErr},
      {"write to no fork", (n = 1, WriteFork(999, &n, b)), kRfNumErr},
      {"write a negative count", (n = -1, WriteFork(w, &n, b)), kParamErr},
      {"write from nothing", (n = 1, WriteFork(w, &n, nullptr)), kParamErr},
      {"position into nothing", GetForkPosition(r, nullptr), kParamErr},
      {"position of no fork", GetForkPosition(999, &pos), kRfNumErr},
      {"move to the mark", SetForkPosition(r, 0, 5), 0},
      {"move in an unknown way", SetForkPosition(r, 9, 0), kParamErr},
      {"move no fork", SetForkPosition(0, 1, 0), kRfNumErr},
      {"length into nothing", GetForkLength(r, nullptr), kParamErr},
      {"length of no fork", GetForkLength(999, &n), kRfNumErr},
      {"cut no fork", SetForkLength(-1, 0), kRfNumErr},
      {"cut to a negative length", SetForkLength(w, -1), kParamErr},
      {"Finder information into nothing", GetFinderInfo(d / "f", nullptr), kParamErr},
      {"catalog information into nothing", GetCatalogInfo(d / "f", nullptr), kParamErr},
      {"catalog information of a folder", GetCatalogInfo(d.path.string(), &ci), kNotAFileErr},
      {"flush a device", FlushVolume("/dev/null"), kNotAFileErr},
      {"delete a folder that holds one", DeleteFile(d / "full"), kFBsyErr},
      {"delete an empty folder", DeleteFile((d.path / "full" / "inner").string()), 0},
  };
  for (const Row& row : rows) EXPECT_EQ(row.got, row.want) << row.what;
  EXPECT_EQ(GetForkPosition(r, &pos), 0);
  EXPECT_EQ(pos, 0);  // nothing moved it
  EXPECT_EQ(CloseFork(r), 0);
  EXPECT_EQ(CloseFork(w), 0);
  EXPECT_EQ(vrxtest::ReadFile(d / "f"), "abcdef");
}

TEST(ForkEdges, SystemErrorsMapToHostCodes) {
  struct Row {
    int err;
    int16_t mac;
    int32_t windows;
  } rows[] = {
      {0, 0, 31},                       {EROFS, kWPrErr, 19},       {ENAMETOOLONG, kBdNamErr, 31},
      {EBUSY, kFBsyErr, 31},            {ETXTBSY, kFBsyErr, 31},    {EINVAL, kParamErr, 31},
      {ELOOP, kDirNFErr, 31},           {EISDIR, kNotAFileErr, 5},  {EDQUOT, kDskFulErr, 112},
      {EFBIG, kDskFulErr, 31},          {ENFILE, kTmfoErr, 4},      {EPERM, kAfpAccessDenied, 5},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FileErrorFromErrno(row.err), row.mac) << row.err;
    EXPECT_EQ(WindowsErrorFromErrno(row.err), row.windows) << row.err;
  }
}

// Companions other tools write: an empty resource entry at offset 0 and empty entries of
// other kinds are legal, and writing the fork lays the file out anew around them.
TEST(ForkEdges, EmptyEntriesOfForeignCompanions) {
  vrxtest::TempDir d;
  vrxtest::WriteFile(d / "f", "data");
  auto be32 = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  std::string header = be32(0x00051607) + be32(0x00010000) + std::string(16, '\0') + std::string{0, 3};
  uint32_t first = 26 + 3 * 12;
  std::string table = be32(3) + be32(first) + be32(0) +  // an empty real name
                      be32(9) + be32(first) + be32(32) + be32(2) + be32(0) + be32(0);
  vrxtest::WriteFile(d / "._f", header + table + "TEXTttxt" + std::string(24, '\0'));
  FinderInfo fi;
  ASSERT_EQ(GetFinderInfo(d / "f", &fi), 0);
  EXPECT_EQ(fi.type, 0x54455854u);
  int16_t ref = 0;
  ASSERT_EQ(OpenResourceFork(d / "f", kReadWritePermission, &ref), 0);
  int32_t n = 5, length = 0;
  EXPECT_EQ(WriteFork(ref, &n, "fork!"), 0);
  EXPECT_EQ(GetForkLength(ref, &length), 0);
  EXPECT_EQ(length, 5);
  EXPECT_EQ(CloseFork(ref), 0);
  ASSERT_EQ(GetFinderInfo(d / "f", &fi), 0);
  EXPECT_EQ(fi.creator, 0x74747874u);
}

}  // namespace

namespace {

std::string Be32(uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

// A companion with the given (id, offset, length) entries over `body` (which starts at
// offset 26 + 12 * entries).
std::string Companion(uint32_t version, const std::vector<std::array<uint32_t, 3>>& entries, const std::string& body) {
  std::string s = Be32(0x00051607) + Be32(version) + std::string(16, '\0') + std::string{0, char(entries.size())};
  for (const auto& e : entries) s += Be32(e[0]) + Be32(e[1]) + Be32(e[2]);
  return s + body;
}

TEST(ForkEdges, CompanionsMissingAnEntryOrOfAnotherVersion) {
  const std::string finder = "TEXTttxt" + std::string(24, '\0');
  struct Row {
    const char* what;
    std::string companion;
    uint32_t type;      // read back before any write
    int16_t writeCode;  // writing three bytes to the resource fork
  } rows[] = {
      {"Finder information only", Companion(0x00020000, {{9, 38, 32}}, finder), 0x54455854, 0},
      {"a resource fork only", Companion(0x00020000, {{2, 38, 3}}, "old"), 0, 0},
      {"version 3", Companion(0x00030000, {{9, 38, 32}}, finder), 0, kIoErr},
      {"the fork last, after an empty entry",
       Companion(0x00020000, {{9, 62, 32}, {3, 62, 0}, {2, 94, 0}}, finder), 0x54455854, 0},
  };
  for (const Row& row : rows) {
    vrxtest::TempDir d;
    vrxtest::WriteFile(d / "f", "data");
    vrxtest::WriteFile(d / "._f", row.companion);
    FinderInfo fi;
    ASSERT_EQ(GetFinderInfo(d / "f", &fi), 0) << row.what;
    EXPECT_EQ(fi.type, row.type) << row.what;
    int16_t ref = 0;
    int32_t length = -1;
    ASSERT_EQ(OpenResourceFork(d / "f", kReadPermission, &ref), 0) << row.what;
    EXPECT_EQ(GetForkLength(ref, &length), 0) << row.what;
    EXPECT_EQ(CloseFork(ref), 0);
    int16_t rc = OpenResourceFork(d / "f", kReadWritePermission, &ref);
    if (rc == 0) {
      int32_t n = 3;
      rc = WriteFork(ref, &n, "new");
      EXPECT_EQ(CloseFork(ref), 0);
    }
    EXPECT_EQ(rc, row.writeCode) << row.what;
    if (rc != 0) {
      EXPECT_EQ(vrxtest::ReadFile(d / "._f"), row.companion) << row.what;
      continue;
    }
    ASSERT_EQ(GetFinderInfo(d / "f", &fi), 0) << row.what;
    EXPECT_EQ(fi.type, row.type) << row.what << ": the Finder information stays";
    ASSERT_EQ(OpenResourceFork(d / "f", kReadPermission, &ref), 0);
    char buf[8];
    int32_t n = sizeof buf;
    EXPECT_EQ(ReadFork(ref, &n, buf), kEofErr);
    EXPECT_EQ(std::string(buf, size_t(n)), "new") << row.what;
    EXPECT_EQ(CloseFork(ref), 0);
  }
}

TEST(ForkEdges, PathsWithoutAFolderPart) {
  int16_t ref = 0;
  vrxtest::TempDir d;
  EXPECT_EQ(OpenDataFork(d / "none/", kReadPermission, &ref), kDirNFErr);  // no leaf: no file
  EXPECT_EQ(OpenDataFork("/vrx-no-such-file-here", kReadPermission, &ref), kFnfErr);
  EXPECT_EQ(OpenDataFork("vrx-no-such-file-here", kReadPermission, &ref), kFnfErr);
  EXPECT_EQ(ref, 0);
}

}  // namespace
