#include <zlib.h>

#include <cstring>

#include "tests/support.h"
#include "host/host.h"
#include "platform/memory.h"
#include "compress/compression.h"

using namespace vrx;
using vrxtest::ReadFile;
using vrxtest::WriteFile;

namespace {

platform::Handle HandleWith(const std::string& s) {
  platform::Handle h = platform::NewHandle(int32_t(s.size()));
  if (!s.empty()) std::memcpy(platform::HandleAddress(h), s.data(), s.size());
  return h;
}

std::string Contents(platform::Handle h) {
  return std::string(reinterpret_cast<const char*>(platform::HandleAddress(h)),
                     size_t(platform::HandleSize(h)));
}

// The one-call expansion retried with twice the room while zlib says it is too small.
int ExpandByDoubling(const std::string& in, std::string* out) {
  size_t capacity = std::max<size_t>(in.size(), 512);
  for (;;) {
    std::string buffer(capacity, '\0');
    uLongf length = capacity;
    int code = uncompress(reinterpret_cast<Bytef*>(buffer.data()), &length,
                          reinterpret_cast<const Bytef*>(in.data()), uLong(in.size()));
    if (code == Z_BUF_ERROR && capacity < (size_t(1) << 26)) {
      capacity *= 2;
      continue;
    }
    if (code == Z_OK) *out = buffer.substr(0, length);
    return code;
  }
}

std::string Zlib(const std::string& data, int level = 6) {
  uLongf n = compressBound(uLong(data.size()));
  std::string out(n, '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &n, reinterpret_cast<const Bytef*>(data.data()),
            uLong(data.size()), level);
  out.resize(n);
  return out;
}

std::string Compressible(std::mt19937& rng, size_t n) {
  static const char* words[] = {"alpha ", "beta ", "gamma ", "delta\n", "epsilon "};
  std::string s;
  while (s.size() < n) s += words[rng() % 5];
  s.resize(n);
  return s;
}

TEST(CompressBlobs, RoundTripAndCapacityRules) {
  std::mt19937 rng(1);
  // Incompressible data just under 512 bytes needs more room than 512.
  for (size_t n : {0, 1, 100, 497, 501, 511, 512, 10000, 300000}) {
    std::string data = n % 2 ? vrxtest::RandomBytes(rng, n) : Compressible(rng, n);
    platform::Handle h = HandleWith(data);
    ASSERT_EQ(CompressBlob(h, 6), Z_OK) << n;
    EXPECT_EQ(Contents(h), Zlib(data, 6));
    ASSERT_EQ(ExpandBlob(h), Z_OK) << n;
    EXPECT_EQ(Contents(h), data);
    platform::DisposeHandle(h);
  }
  // Already compressed data of 1000 bytes grows a little but fits the room allowed.
  std::string random = vrxtest::RandomBytes(rng, 1000);
  platform::Handle h = HandleWith(random);
  ASSERT_EQ(CompressBlob(h, 9), Z_OK);
  EXPECT_GT(platform::HandleSize(h), 1000);
  EXPECT_LE(platform::HandleSize(h), 1000 * 101 / 100 + 12);
  // A level zlib refuses: -2, and the BLOB keeps its data.
  std::string keep = "keep me";
  platform::DisposeHandle(h);
  h = HandleWith(keep);
  EXPECT_EQ(CompressBlob(h, 10), Z_STREAM_ERROR);
  EXPECT_EQ(CompressBlob(h, -2), Z_STREAM_ERROR);
  EXPECT_EQ(Contents(h), keep);
  EXPECT_EQ(CompressBlob(h, -1), Z_OK);  // zlib's default
  EXPECT_EQ(Contents(h), Zlib(keep, 6));
  platform::DisposeHandle(h);
}

TEST(ExpandBlobs, GrowsWhileExpandingOnce) {
  // 600 bytes or so that hold 100 KB: the output doubles from the input's size up.
  std::string data(100 * 1024, 'z');
  for (size_t i = 0; i < data.size(); i += 1000) data[i] = char('a' + i % 26);
  std::string z = Zlib(data, 9);
  ASSERT_LT(z.size(), 2000u);
  platform::Handle h = HandleWith(z);
  EXPECT_EQ(ExpandBlob(h), Z_OK);
  EXPECT_EQ(Contents(h), data);
  platform::DisposeHandle(h);
}

// Every allocation failing in turn: the memory error, and the BLOB as it was.
TEST(ExpandBlobs, ShortageAtAnyStepKeepsTheBlob) {
  std::string data(100 * 1024, 'z');
  const std::string z = Zlib(data, 9);
  for (bool expand : {true, false}) {
    const std::string& in = expand ? z : data;
    bool passed = false;
    for (int64_t nth = 1; !passed; ++nth) {
      platform::Handle h = HandleWith(in);
      platform::SetAllocationFailure(nth);
      int32_t code = expand ? ExpandBlob(h) : CompressBlob(h, 9);
      platform::SetAllocationFailure(0);
      passed = code == Z_OK;
      if (!passed) {
        EXPECT_EQ(code, platform::kMemFullErr) << expand << " " << nth;
        EXPECT_TRUE(Contents(h) == in) << expand << " " << nth;
      }
      EXPECT_TRUE(!passed || Contents(h) == (expand ? data : Zlib(data, 9)));
      platform::DisposeHandle(h);
    }
  }
}

TEST(ExpandBlobs, SameCodesAndResultsAsTheDoublingLoop) {
  std::mt19937 rng(2);
  std::vector<std::string> inputs = {"", "x", "not a zlib stream at all", std::string(600, '\0')};
  for (int i = 0; i < 40; ++i) {
    std::string data = i % 3 ? Compressible(rng, rng() % 20000) : vrxtest::RandomBytes(rng, rng() % 3000);
    std::string z = Zlib(data, int(rng() % 10));
    inputs.push_back(z);
    std::string flipped = z;
    flipped[rng() % flipped.size()] ^= char(1 + rng() % 255);
    inputs.push_back(flipped);
    inputs.push_back(z.substr(0, rng() % z.size()));           // truncated
    inputs.push_back(z + vrxtest::RandomBytes(rng, 10));        // trailing bytes
  }
  // Every truncation of one stream whose output lands exactly on a doubling.
  std::string exact = Zlib(Compressible(rng, 1024));
  for (size_t n = 0; n < exact.size(); ++n) inputs.push_back(exact.substr(0, n));
  // A stream that asks for a preset dictionary.
  {
    z_stream s{};
    deflateInit(&s, 6);
    deflateSetDictionary(&s, reinterpret_cast<const Bytef*>("dictionary"), 10);
    std::string out(100, '\0');
    std::string in = "dictionary words";
    s.next_in = reinterpret_cast<Bytef*>(in.data());
    s.avail_in = uInt(in.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = uInt(out.size());
    deflate(&s, Z_FINISH);
    out.resize(out.size() - s.avail_out);
    deflateEnd(&s);
    inputs.push_back(out);
  }
  int failures = 0;
  for (const std::string& in : inputs) {
    std::string expected;
    int expectedCode = ExpandByDoubling(in, &expected);
    platform::Handle h = HandleWith(in);
    int code = ExpandBlob(h);
    EXPECT_EQ(code, expectedCode) << vrxtest::Hex(in.substr(0, 16));
    // On failure the BLOB keeps what it held.
    EXPECT_EQ(Contents(h), code == Z_OK ? expected : in);
    failures += code != expectedCode;
    platform::DisposeHandle(h);
    if (failures > 3) break;
  }
}

TEST(CompressBlobs, InteroperateWithPythonZlib) {
  vrxtest::TempDir dir;
  std::mt19937 rng(3);
  std::string data = Compressible(rng, 50000);
  WriteFile(dir / "plain", data);
  // Ours to Python.
  platform::Handle h = HandleWith(data);
  ASSERT_EQ(CompressBlob(h, 7), Z_OK);
  WriteFile(dir / "ours.z", Contents(h));
  platform::DisposeHandle(h);
  std::string out = vrxtest::RunPython(
      dir,
      "import os, sys, zlib\n"
      "here = os.path.dirname(sys.argv[0])\n"
      "d = open(os.path.join(here, 'ours.z'), 'rb').read()\n"
      "p = open(os.path.join(here, 'plain'), 'rb').read()\n"
      "print(zlib.decompress(d) == p)\n"
      "open(os.path.join(here, 'theirs.z'), 'wb').write(zlib.compress(p, 9))\n",
      "");
  EXPECT_EQ(out, "True\n");
  // Python's to ours.
  h = HandleWith(ReadFile(dir / "theirs.z"));
  ASSERT_EQ(ExpandBlob(h), Z_OK);
  EXPECT_EQ(Contents(h), data);
  platform::DisposeHandle(h);
}

TEST(CompressFiles, GzipReadsOursAndWeReadGzips) {
  vrxtest::TempDir dir;
  std::mt19937 rng(4);
  std::string data = Compressible(rng, 100000) + vrxtest::RandomBytes(rng, 40000);
  WriteFile(dir / "source", data);
  ASSERT_EQ(CompressFile(dir / "source", dir / "source.gz", 9), 0);
  int status = -1;
  EXPECT_EQ(vrxtest::Shell("gzip -dc " + dir / "source.gz", &status), data);
  EXPECT_EQ(status, 0);
  // Level 9 shows in the header's extra flags (2); levels outside 1..9 write level 6.
  EXPECT_EQ(ReadFile(dir / "source.gz")[8], 2);
  ASSERT_EQ(CompressFile(dir / "source", dir / "six.gz", 6), 0);
  ASSERT_EQ(CompressFile(dir / "source", dir / "zero.gz", 0), 0);
  ASSERT_EQ(CompressFile(dir / "source", dir / "twelve.gz", 12), 0);
  ASSERT_EQ(CompressFile(dir / "source", dir / "one.gz", 1), 0);
  EXPECT_EQ(ReadFile(dir / "zero.gz"), ReadFile(dir / "six.gz"));
  EXPECT_EQ(ReadFile(dir / "twelve.gz"), ReadFile(dir / "six.gz"));
  EXPECT_NE(ReadFile(dir / "one.gz"), ReadFile(dir / "six.gz"));

  vrxtest::Shell("gzip -c " + dir / "source" + " > " + dir / "theirs.gz");
  ASSERT_EQ(ExpandFile(dir / "theirs.gz", dir / "back"), 0);
  EXPECT_EQ(ReadFile(dir / "back"), data);

  // An empty file makes a gzip file of an empty stream, and comes back empty.
  WriteFile(dir / "empty", "");
  ASSERT_EQ(CompressFile(dir / "empty", dir / "empty.gz", 6), 0);
  EXPECT_EQ(vrxtest::Shell("gzip -dc " + dir / "empty.gz", &status), "");
  EXPECT_EQ(status, 0);
  WriteFile(dir / "notempty", "old contents");
  ASSERT_EQ(ExpandFile(dir / "empty.gz", dir / "notempty"), 0);
  EXPECT_EQ(ReadFile(dir / "notempty"), "");
}

TEST(CompressFiles, EveryResultCode) {
  vrxtest::TempDir dir;
  std::mt19937 rng(5);
  WriteFile(dir / "small", "a few bytes");
  WriteFile(dir / "random", vrxtest::RandomBytes(rng, 100000));
  std::filesystem::create_directory(dir / "folder");
  EXPECT_EQ(CompressFile(dir / "missing", dir / "out.gz", 6), -1);
  EXPECT_EQ(CompressFile(dir / "small", dir / "no/such/folder.gz", 6), -2);
  EXPECT_EQ(CompressFile(dir / "folder", dir / "out.gz", 6), -3);   // reading a folder fails
  EXPECT_EQ(CompressFile(dir / "random", "/dev/full", 6), -4);     // the writer runs out
  EXPECT_EQ(CompressFile(dir / "small", "/dev/full", 6), -5);      // only closing writes

  ASSERT_EQ(CompressFile(dir / "random", dir / "random.gz", 6), 0);
  ASSERT_EQ(CompressFile(dir / "small", dir / "small.gz", 6), 0);
  EXPECT_EQ(ExpandFile(dir / "missing.gz", dir / "out"), -1);
  EXPECT_EQ(ExpandFile(dir / "small.gz", dir / "no/such/out"), -2);
  EXPECT_EQ(ExpandFile(dir / "random.gz", "/dev/full"), -3);
  EXPECT_EQ(ExpandFile(dir / "small.gz", "/dev/full"), -4);
  std::string gz = ReadFile(dir / "random.gz");
  WriteFile(dir / "truncated.gz", gz.substr(0, gz.size() / 2));
  EXPECT_EQ(ExpandFile(dir / "truncated.gz", dir / "out"), -5);
  std::string damaged = gz;
  damaged[damaged.size() - 6] ^= 0x55;  // the CRC no longer matches
  WriteFile(dir / "damaged.gz", damaged);
  EXPECT_EQ(ExpandFile(dir / "damaged.gz", dir / "out"), -6);
  // A file that is not gzip comes through unchanged, as zlib reads it.
  ASSERT_EQ(ExpandFile(dir / "small", dir / "copy"), 0);
  EXPECT_EQ(ReadFile(dir / "copy"), "a few bytes");
}

TEST(CompressCommands, BlobsAndFilesThroughThePlugIn) {
  host::Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  std::mt19937 rng(6);
  std::string data = Compressible(rng, 70000);
  host::Value blob = host::Value::Blob(data), level = host::Value::Long(9), unused;
  std::vector<host::Value*> ps{&blob, &level};
  EXPECT_EQ(h.Call("VRX_CompressBlob", ps).value, 0);
  EXPECT_EQ(blob.Bytes(), Zlib(data, 9));
  ps = {&blob, &unused};
  EXPECT_EQ(h.Call("VRX_ExpandBlob", ps).value, 0);
  EXPECT_EQ(blob.Bytes(), data);
  host::Value garbage = host::Value::Blob("garbage garbage");
  ps = {&garbage, &unused};
  EXPECT_EQ(h.Call("VRX_ExpandBlob", ps).value, Z_DATA_ERROR);
  EXPECT_EQ(garbage.Bytes(), "garbage garbage");

  // Paths are Mac Roman texts.
  vrxtest::TempDir dir;
  WriteFile(dir / "caf\xc3\xa9.txt", data);
  host::Value src = host::Value::Text(dir / "caf\x8e.txt"), gz = host::Value::Text(dir / "out.gz"),
              lvl = host::Value::Long(1), back = host::Value::Text(dir / "back");
  ps = {&src, &gz, &lvl};
  EXPECT_EQ(h.Call("VRX_CompressFile", ps).value, 0);
  ps = {&gz, &back};
  EXPECT_EQ(h.Call("VRX_ExpandFile", ps).value, 0);
  EXPECT_EQ(ReadFile(dir / "back"), data);
  host::Value missing = host::Value::Text(dir / "missing");
  ps = {&missing, &back};
  EXPECT_EQ(h.Call("VRX_ExpandFile", ps).value, -1);
}

}  // namespace
