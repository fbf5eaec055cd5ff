#include "codecs/macbinary.h"

#include <cstring>

#include "codecs/binhex.h"
#include "helpers.h"
#include "platform/memory.h"

using namespace fctest;

namespace {

uint32_t Get32(const std::string& s, size_t at) {
  return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
         (uint32_t(uint8_t(s[at + 2])) << 8) | uint8_t(s[at + 3]);
}

void Put32(std::string& s, size_t at, uint32_t v) {
  s[at] = char(v >> 24), s[at + 1] = char(v >> 16), s[at + 2] = char(v >> 8), s[at + 3] = char(v);
}

void SetCrc(std::string& s) {
  uint16_t crc = vrx::Crc16(reinterpret_cast<const uint8_t*>(s.data()), 124, 0);
  s[124] = char(crc >> 8);
  s[125] = char(crc);
}

size_t Padded(size_t n) { return (n + 127) / 128 * 128; }

struct MacBinaryTest : ::testing::Test {
  TempDir dir;
  host::Host h;
  int32_t Encode(const std::string& src, const std::string& dst) {
    return Call(h, "VRX_EncodeMacBinary", {host::Value::String(src), host::Value::String(dst)})
        .value;
  }
  int32_t Decode(const std::string& src, const std::string& dst) {
    return Call(h, "VRX_DecodeMacBinary", {host::Value::String(src), host::Value::String(dst)})
        .value;
  }
  // A MacBinary file made here from the given forks.
  std::string Make(const std::string& data, const std::string& rsrc) {
    MakeMacFile(dir / "made", data, rsrc, Code("TEXT"), Code("ABCD"));
    EXPECT_EQ(Encode(dir / "made", dir / "made.bin"), 0);
    return ReadFile(dir / "made.bin");
  }
  void TearDown() override { EXPECT_EQ(platform::OpenForkCount(), 0); }
};

}  // namespace

TEST_F(MacBinaryTest, LayoutAndHeader) {
  std::mt19937 rng(1);
  for (auto [d, r] : std::vector<std::pair<size_t, size_t>>{{0, 0}, {1, 0}, {128, 1}, {5000, 300}}) {
    std::string data = RandomBytes(rng, d), rsrc = RandomBytes(rng, r);
    MakeMacFile(dir / "My File", data, rsrc, Code("APPL"), Code("Vrx1"), 0x2501);
    ASSERT_EQ(Encode(dir / "My File", dir / "out.bin"), 0);
    std::string bin = ReadFile(dir / "out.bin");
    ASSERT_EQ(bin.size(), 128 + Padded(d) + Padded(r)) << d << " " << r;
    EXPECT_EQ(bin[0], 0);
    EXPECT_EQ(bin.substr(1, 8), "\x07My File");
    EXPECT_EQ(bin.substr(65, 8), "APPLVrx1");
    EXPECT_EQ(uint8_t(bin[73]), 0x25);
    EXPECT_EQ(uint8_t(bin[101]), 0x01);
    EXPECT_EQ(Get32(bin, 83), d);
    EXPECT_EQ(Get32(bin, 87), r);
    platform::CatalogInfo cat;
    ASSERT_EQ(platform::GetCatalogInfo(dir / "My File", &cat), 0);
    EXPECT_EQ(Get32(bin, 95), cat.modified);
    EXPECT_EQ(uint8_t(bin[122]), 129);
    EXPECT_EQ(uint8_t(bin[123]), 129);
    std::string check = bin.substr(0, 128);
    SetCrc(check);
    EXPECT_EQ(check, bin.substr(0, 128));
    EXPECT_EQ(bin.substr(128, d), data);
    EXPECT_EQ(bin.substr(128 + d, Padded(d) - d), std::string(Padded(d) - d, '\0'));
    EXPECT_EQ(bin.substr(128 + Padded(d), r), rsrc);
  }
  // The encoder's output is typed MACB/SITx.
  EXPECT_EQ(Finder(dir / "out.bin").type, Code("MACB"));
  EXPECT_EQ(Finder(dir / "out.bin").creator, Code("SITx"));
}

// Our MacBinary files unpack with macutils' macsave and rehexify with its binhex;
// hexbin's MacBinary output decodes here to the original forks.
TEST_F(MacBinaryTest, InteroperatesWithMacutils) {
  std::mt19937 rng(2);
  for (auto [d, r] : std::vector<std::pair<size_t, size_t>>{{0, 0}, {700, 0}, {0, 90}, {40000, 20000}}) {
    std::string data = RandomBytes(rng, d), rsrc = RandomBytes(rng, r);
    MakeMacFile(dir / "Doc", data, rsrc, Code("TEXT"), Code("MSWD"), 0x0400);
    ASSERT_EQ(Encode(dir / "Doc", dir / "doc.bin"), 0);
    std::filesystem::remove_all(dir / "x");
    std::filesystem::create_directory(dir / "x");
    int status = -1;
    Shell("cd " + dir / "x" + " && macsave -3 < ../doc.bin 2>&1", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(ReadFile(dir / "x/Doc.data"), data);
    EXPECT_EQ(ReadFile(dir / "x/Doc.rsrc"), rsrc);
    std::string info = ReadFile(dir / "x/Doc.info");
    ASSERT_EQ(info.size(), 128u);
    EXPECT_EQ(info.substr(65, 8), "TEXTMSWD");

    // Through BinHex and hexbin's MacBinary writer back to us.
    Shell("cd " + dir.path.string() + " && binhex doc.bin > doc.hqx && cd x && hexbin ../doc.hqx",
        &status);
    ASSERT_EQ(status, 0);
    std::string out = dir / "Decoded";
    ASSERT_EQ(Decode(dir / "x/Doc.bin", out), 0);
    EXPECT_EQ(ReadMacFork(out, false), data);
    EXPECT_EQ(ReadMacFork(out, true), rsrc);
    EXPECT_EQ(Finder(out).type, Code("TEXT"));
    EXPECT_EQ(Finder(out).creator, Code("MSWD"));
    EXPECT_EQ(Finder(out).flags, 0x0400);
  }
}

TEST_F(MacBinaryTest, HeaderRecognition) {
  // Fixed dates, so that the checks below do not depend on the moment the file was made.
  std::string good = Make("hello", "").substr(0, 128);
  Put32(good, 91, 0xB0000000);
  Put32(good, 95, 0xB0000001);
  SetCrc(good);
  auto check = [](const std::string& h) {
    return vrx::MacBinaryHeaderCheck(reinterpret_cast<const uint8_t*>(h.data()), nullptr, nullptr,
                                     nullptr);
  };
  EXPECT_EQ(check(good), 2);
  std::string v130 = good;
  v130[123] = char(130);
  SetCrc(v130);
  EXPECT_EQ(check(v130), 0);  // newer than we read, and not plain MacBinary I either
  // MacBinary I has zeros from byte 101 on, where version 2 keeps its CRC.
  std::string v1 = good;
  std::memset(v1.data() + 101, 0, 27);
  EXPECT_EQ(check(v1), 1);
  for (size_t at : {0, 74, 82}) {
    std::string bad = good;
    bad[at] = 1;
    SetCrc(bad);
    EXPECT_EQ(check(bad), 0) << at;
  }
  std::string longName = good;
  longName[1] = 64;
  SetCrc(longName);
  EXPECT_EQ(check(longName), 0);

  // Through the command: status 3, and no destination is made.
  WriteFile(dir / "v130.bin", v130 + "hello");
  EXPECT_EQ(Decode(dir / "v130.bin", dir / "o"), vrx::kMacBinaryNotMacBinary);
  EXPECT_FALSE(Exists(dir / "o"));
  // MacBinary I decodes.
  WriteFile(dir / "v1.bin", v1 + "hello");
  EXPECT_EQ(Decode(dir / "v1.bin", dir / "o1"), 0);
  EXPECT_EQ(ReadFile(dir / "o1"), "hello");
  // Shorter than a header.
  WriteFile(dir / "short.bin", good.substr(0, 100));
  EXPECT_EQ(Decode(dir / "short.bin", dir / "o2"), platform::kEofErr);
  EXPECT_FALSE(Exists(dir / "o2"));
}

TEST_F(MacBinaryTest, EndsOfTheInput) {
  std::mt19937 rng(3);
  // Data exactly filling the first chunk: the padded data ends at 16384.
  std::string data = RandomBytes(rng, 16384 - 128);
  std::string bin = Make(data, "");
  ASSERT_EQ(bin.size(), 16384u);
  WriteFile(dir / "a.bin", bin);
  EXPECT_EQ(Decode(dir / "a.bin", dir / "a"), 0);
  EXPECT_EQ(ReadFile(dir / "a"), data);

  std::string odd = RandomBytes(rng, 1000);
  bin = Make(odd, "");
  // Without the last padding, and with bytes after the padding: the data is whole.
  for (const std::string& variant : {bin.substr(0, 1128), bin + "trailing bytes"}) {
    WriteFile(dir / "b.bin", variant);
    EXPECT_EQ(Decode(dir / "b.bin", dir / "b"), 0);
    EXPECT_EQ(ReadFile(dir / "b"), odd);
  }
  // Cut inside the data fork, or inside the resource fork: -39.
  WriteFile(dir / "c.bin", bin.substr(0, 700));
  EXPECT_EQ(Decode(dir / "c.bin", dir / "c"), platform::kEofErr);
  bin = Make(odd, "resource fork bytes");
  WriteFile(dir / "d.bin", bin.substr(0, 128 + 1024 + 5));
  EXPECT_EQ(Decode(dir / "d.bin", dir / "d"), platform::kEofErr);
  EXPECT_EQ(ReadFile(dir / "d"), odd);
  // Lengths of 2 GB and more in the header, with a few bytes behind it.
  std::string huge = Make("x", "").substr(0, 128);
  Put32(huge, 83, 0xFFFFFF00);
  Put32(huge, 87, 0x80000000);
  SetCrc(huge);
  WriteFile(dir / "e.bin", huge + std::string(300, 'h'));
  EXPECT_EQ(Decode(dir / "e.bin", dir / "e"), platform::kEofErr);
}

TEST_F(MacBinaryTest, ReplacesAnExistingDestination) {
  MakeMacFile(dir / "dst", std::string(30000, 'o'), std::string(5000, 'r'), Code("OLD "),
              Code("OLD "), 0x4101);
  std::string bin = Make("new", "");
  bin[73] = char(0x20);  // header flags 0x20FF: bits 0, 8 and 14 stay the file's own
  bin[101] = char(0xFF);
  SetCrc(bin);
  WriteFile(dir / "n.bin", bin);
  ASSERT_EQ(Decode(dir / "n.bin", dir / "dst"), 0);
  EXPECT_EQ(ReadMacFork(dir / "dst", false), "new");
  EXPECT_EQ(ReadMacFork(dir / "dst", true), "");
  platform::FinderInfo f = Finder(dir / "dst");
  EXPECT_EQ(f.type, Code("TEXT"));
  EXPECT_EQ(f.creator, Code("ABCD"));
  EXPECT_EQ(f.flags, (0x20FF & ~0x4101) | 0x4101);
  // The modification date comes from the header.
  platform::CatalogInfo cat;
  ASSERT_EQ(platform::GetCatalogInfo(dir / "dst", &cat), 0);
  EXPECT_EQ(cat.modified, Get32(bin, 95));
  // The encoder empties an existing output file first.
  WriteFile(dir / "big.bin", std::string(100000, 'z'));
  ASSERT_EQ(Encode(dir / "made", dir / "big.bin"), 0);
  EXPECT_EQ(ReadFile(dir / "big.bin"), ReadFile(dir / "made.bin"));
}

TEST_F(MacBinaryTest, FileErrorsAndHostileHeaders) {
  EXPECT_EQ(Encode(dir / "missing", dir / "o.bin"), platform::kFnfErr);
  EXPECT_FALSE(Exists(dir / "o.bin"));
  MakeMacFile(dir / "f", "data", "", Code("TEXT"), Code("ABCD"));
  EXPECT_EQ(Encode(dir / "f", dir / "nofolder/o.bin"), platform::kDirNFErr);
  EXPECT_EQ(Decode(dir / "missing.bin", dir / "o"), platform::kFnfErr);
  ASSERT_EQ(Encode(dir / "f", dir / "f.bin"), 0);
  EXPECT_EQ(Decode(dir / "f.bin", dir / "nofolder/o"), platform::kDirNFErr);
  host::Value s1 = host::Value::String(dir / "f.bin"), s2 = host::Value::String(dir / "o"),
              s3 = host::Value::String("left over");
  std::vector<host::Value*> ps{&s1, &s2, &s3};
  EXPECT_EQ(h.Call("VRX_DecodeMacBinary", ps).value, 0);
  EXPECT_EQ(s3.Bytes(), "");

  // Random headers with a correct CRC, lengths included: statuses only, no open forks.
  std::mt19937 rng(4);
  std::string base = Make(RandomBytes(rng, 3000), RandomBytes(rng, 500));
  int32_t handles = platform::LiveHandleCount();
  for (int i = 0; i < 150; ++i) {
    std::string bad = base;
    for (int e = 0; e < 3; ++e) bad[rng() % 128] = char(rng());
    if (i % 2) Put32(bad, 83 + 4 * (rng() % 2), uint32_t(rng()));
    bad[0] = bad[74] = bad[82] = 0;
    bad[1] = char(uint8_t(bad[1]) % 64);
    bad[123] = char(129);
    SetCrc(bad);
    if (i % 3 == 0) bad.resize(128 + rng() % (bad.size() - 128));
    WriteFile(dir / "m.bin", bad);
    int32_t rc = Decode(dir / "m.bin", dir / "m");
    EXPECT_TRUE(rc == 0 || rc == platform::kEofErr || rc < -30) << rc;
  }
  EXPECT_EQ(platform::LiveHandleCount(), handles);
}
