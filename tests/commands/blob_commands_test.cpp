#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/memory.h"

using host::CallResult;
using host::Host;
using host::Value;

namespace {
std::string Temp(const std::string& name) { return testing::TempDir() + "/vrx_blob_" + name; }
void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary) << data;
}
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
std::string Pattern(size_t n) {
  std::string s(n, 0);
  for (size_t i = 0; i < n; ++i) s[i] = char('a' + i % 26);
  return s;
}

class BlobCommands : public ::testing::Test {
 protected:
  Host h;
  CallResult Do(const char* name, std::vector<Value*> ps) { return h.Call(name, ps); }
};
}  // namespace

TEST_F(BlobCommands, FileToBlobRanges) {
  std::string path = Temp("600");
  std::string data = Pattern(600);
  WriteFile(path, data);
  struct Case {
    int32_t first, last;
    std::string expect;
  } cases[] = {
      {0, 0, data},
      {10, 19, data.substr(10, 10)},
      {100, 0, data.substr(100)},       // a start without an end: the rest, nothing undefined
      {0, 5000, data},                  // an end past the file is its last byte
      {700, 0, ""},                     // a start past the end reads nothing
      {-5, 3, data.substr(0, 4 + 5)},   // a negative start reads from 0 and keeps what it read
  };
  for (const Case& k : cases) {
    Value p = Value::Text(path), f = Value::Long(k.first), l = Value::Long(k.last);
    CallResult r = Do("VRX_FileToBlob2", {&p, &f, &l});
    EXPECT_EQ(r.bytes, k.expect.substr(0, r.bytes.size())) << k.first << ".." << k.last;
    EXPECT_EQ(r.bytes.size(), k.first < 0 ? size_t(9) : k.expect.size()) << k.first << ".." << k.last;
  }
  // The header option drops 512 bytes: a 600-byte file leaves its last 88.
  Value p = Value::Text(path), zero = Value::Long(0), one = Value::Long(1);
  EXPECT_EQ(Do("VRX_FileToBlob", {&p, &zero, &zero, &one}).bytes, data.substr(512));
  // VRX_FileToBlob2 has no header option.
  EXPECT_EQ(Do("VRX_FileToBlob2", {&p, &zero, &zero, &one}).bytes, data);
  // On a file shorter than the header the BLOB is empty, not filled with whatever.
  std::string shortPath = Temp("short");
  WriteFile(shortPath, "tiny");
  Value sp = Value::Text(shortPath);
  CallResult r = Do("VRX_FileToBlob", {&sp, &zero, &zero, &one});
  EXPECT_TRUE(r.written);
  EXPECT_EQ(r.bytes, "");
  // A missing file gives no BLOB.
  Value missing = Value::Text(Temp("missing"));
  r = Do("VRX_FileToBlob", {&missing, &zero, &zero});
  EXPECT_TRUE(r.written);
  EXPECT_EQ(r.bytes, "");
}

TEST_F(BlobCommands, BlobToFileAt) {
  std::string path = Temp("out");
  Value blob = Value::Blob("0123456789"), p = Value::Text(path);
  struct Case {
    int32_t first, last, position;
    std::string expect;
  } cases[] = {
      {0, 0, 0, "0123456789"},
      {2, 4, 0, "234"},
      {-3, 0, 0, "0123456789"},
      {8, 3, 0, "8"},               // an end before the start writes the start byte
      {20, 0, 0, "9"},              // a start past the end is the last byte
      {0, 1, 3, std::string(3, '\0') + "01"},
  };
  for (const Case& k : cases) {
    Value f = Value::Long(k.first), l = Value::Long(k.last), at = Value::Long(k.position);
    EXPECT_EQ(Do("VRX_BlobToFileAt", {&blob, &p, &f, &l, &at}).value, 0);
    EXPECT_EQ(ReadFile(path), k.expect) << k.first << ".." << k.last << "@" << k.position;
  }
  Value zero = Value::Long(0);
  Value none(vrx::Kind::Blob);
  none.AdoptHandle(0);
  EXPECT_EQ(Do("VRX_BlobToFileAt", {&none, &p, &zero, &zero, &zero}).value, -1);
  Value empty = Value::Blob("");
  EXPECT_EQ(Do("VRX_BlobToFileAt", {&empty, &p, &zero, &zero, &zero}).value, 0);
  EXPECT_EQ(ReadFile(path), "");
  Value noDir = Value::Text(Temp("no/such/dir/file"));
  EXPECT_EQ(Do("VRX_BlobToFileAt", {&blob, &noDir, &zero, &zero, &zero}).value, 3);  // no such folder
  // A write that fails (the file size limit here) is reported, not passed off as 0.
  if (FILE* f = std::fopen("/dev/full", "w")) {
    std::fclose(f);
    Value full = Value::Text("/dev/full");
    EXPECT_NE(Do("VRX_BlobToFileAt", {&blob, &full, &zero, &zero, &zero}).value, 0);
  }
}

TEST_F(BlobCommands, ReplaceInBlob) {
  for (const char* name : {"VRX_ReplaceInBlob", "VRX_ReplaceInBlob2"}) {
    struct Case {
      std::string blob, search, replacement;
      int32_t start, count;
      int32_t result, made;
      std::string after;
    } cases[] = {
        {"xaxbxc", "x", "", 0, -1, 2, 3, "abc"},       // every one, also at offset 0
        {"xaxbxc", "x", "yy", 0, 2, 5, 2, "yyayybxc"},
        {"xaxbxc", "x", "yy", 0, 0, 2, 1, "yyaxbxc"},   // 0 replaces one
        {"xaxbxc", "x", "yy", 0, -7, 2, 1, "yyaxbxc"},  // so does any other negative count
        {"xaxbxc", "x", "x", 0, -1, 5, 3, "xaxbxc"},    // a replacement holding its pattern ends
        {"xaxbxc", "x", "y", 3, -1, 5, 1, "xaxbyc"},
        {"abc", "z", "y", 0, -1, -1, 0, "abc"},
        {"abc", "", "y", 0, -1, -1, 0, "abc"},          // an empty search text ends at once
        {"abc", "a", "y", 9, -1, -1, 0, "abc"},
    };
    for (const Case& k : cases) {
      Value blob = Value::Blob(k.blob), start = Value::Long(k.start), search = Value::Text(k.search),
            repl = Value::Text(k.replacement), count = Value::Long(k.count);
      CallResult r = Do(name, {&blob, &start, &search, &repl, &count});
      EXPECT_EQ(r.value, k.result) << name << " " << k.blob << "/" << k.search << "/" << k.count;
      EXPECT_EQ(count.AsLong(), k.made) << k.blob << "/" << k.search;
      EXPECT_EQ(blob.Bytes(), k.after) << k.blob << "/" << k.search;
    }
  }
}

TEST_F(BlobCommands, FindInBlob) {
  struct Case {
    std::string blob, search;
    int32_t start, count, result, found;
  } cases[] = {
      {"aaaa", "aa", 0, 5, 2, 3},  // overlapping matches
      {"aaaa", "aa", 0, 1, 0, 1},
      {"aaaa", "aa", 0, -3, 0, 1},
      {"aaaa", "aa", 0, INT32_MIN, 0, 1},  // no wrap of the count
      {"abcabc", "bc", 2, 9, 4, 1},
      {"abc", "x", 0, 3, -1, 0},
      {"abc", "", 0, 3, -1, 0},
  };
  for (const Case& k : cases) {
    Value blob = Value::Blob(k.blob), start = Value::Long(k.start), search = Value::Text(k.search),
          count = Value::Long(k.count);
    EXPECT_EQ(Do("VRX_FindInBlob", {&blob, &start, &search, &count}).value, k.result) << k.blob << "/" << k.search;
    EXPECT_EQ(count.AsLong(), k.found) << k.blob << "/" << k.search;
    EXPECT_EQ(blob.Bytes(), k.blob);
  }
}

TEST_F(BlobCommands, PriorityClass) {
  Value normal = Value::Long(0x20), bogus = Value::Long(12345);
  EXPECT_EQ(Do("VRX_SetPriorityClass", {&normal}).value, 0);
  EXPECT_EQ(Do("VRX_GetPriorityClass", {}).value, 0x20);
  EXPECT_NE(Do("VRX_SetPriorityClass", {&bogus}).value, 0);
  EXPECT_EQ(Do("VRX_GetPriorityClass", {}).value, 0x20);
  Value below = Value::Long(0x4000);
  EXPECT_EQ(Do("VRX_SetPriorityClass", {&below}).value, 0);
  EXPECT_EQ(Do("VRX_GetPriorityClass", {}).value, 0x4000);
  // Going back up needs the privilege to raise priority; without it the error comes back.
  int32_t back = Do("VRX_SetPriorityClass", {&normal}).value;
  if (back == 0) EXPECT_EQ(Do("VRX_GetPriorityClass", {}).value, 0x20);
  else EXPECT_EQ(back, 5);
}
