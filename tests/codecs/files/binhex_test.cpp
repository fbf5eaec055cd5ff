#include "codecs/binhex.h"

#include <cstring>

#include "helpers.h"
#include "platform/memory.h"

using namespace fctest;
using vrx::Crc16;

namespace {

const std::string kAlphabet = "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr";

// The 8-bit stream between the colons of a BinHex text (run-length markers left as
// they are), read independently of the decoder under test.
std::string RawStream(const std::string& text) {
  size_t start = text.find("\r:");
  size_t end = text.find(':', start + 2);
  std::string out;
  uint32_t acc = 0;
  int bits = 0;
  for (size_t i = start + 2; i < end; ++i) {
    if (text[i] == '\r') continue;
    size_t v = kAlphabet.find(text[i]);
    EXPECT_NE(v, std::string::npos) << int(text[i]);
    acc = (acc << 6) | uint32_t(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(char(acc >> bits));
      acc &= (1u << bits) - 1;
    }
  }
  return out;
}

std::string Escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    out.push_back(c);
    if (uint8_t(c) == 0x90) out.push_back('\0');
  }
  return out;
}

// A BinHex text of a raw 8-bit stream, on one line.
std::string Hexify(const std::string& stream) {
  std::string text = "\r:";
  uint32_t acc = 0;
  int bits = 0;
  for (char c : stream) {
    acc = (acc << 8) | uint8_t(c);
    bits += 8;
    while (bits >= 6) {
      bits -= 6;
      text.push_back(kAlphabet[(acc >> bits) & 63]);
    }
    acc &= (1u << bits) - 1;
  }
  if (bits) text.push_back(kAlphabet[(acc << (6 - bits)) & 63]);
  return text + ":\r";
}

std::string Crc(const std::string& s) {
  uint16_t c = Crc16(reinterpret_cast<const uint8_t*>(s.data()), s.size(), 0);
  return std::string{char(c >> 8), char(c)};
}

std::string Big32(uint32_t v) {
  return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

// Fields of a MacBinary header as hexbin writes it into NAME.info.
struct Info {
  std::string type, creator;
  uint16_t flags;
};
Info ReadInfo(const std::string& path) {
  std::string h = ReadFile(path);
  if (h.size() < 128) return {};
  return {h.substr(65, 4), h.substr(69, 4), uint16_t((uint8_t(h[73]) << 8) | uint8_t(h[101]))};
}

struct BinHexTest : ::testing::Test {
  TempDir dir;
  host::Host h;
  int32_t Encode(const std::string& src, const std::string& dst) {
    return Call(h, "VRX_EncodeBinHex", {host::Value::String(src), host::Value::String(dst)}).value;
  }
  int32_t Decode(const std::string& src, const std::string& dst) {
    return Call(h, "VRX_DecodeBinHex", {host::Value::String(src), host::Value::String(dst)}).value;
  }
  void TearDown() override { EXPECT_EQ(platform::OpenForkCount(), 0); }
};

}  // namespace

TEST(Crc16, KnownValueTableAndPython) {
  const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(Crc16(digits, 9, 0), 0x31C3);
  EXPECT_EQ(Crc16(digits, 9, 0x1234), 0x31C3);  // without a table the start is always 0
  EXPECT_EQ(Crc16(digits, 9, 0, vrx::Crc16Table()), 0x31C3);
  std::mt19937 rng(7);
  std::string data = RandomBytes(rng, 3000);
  TempDir dir;
  WriteFile(dir / "d", data);
  std::string py = Shell("python3 -c \"import binascii,sys; d=open(sys.argv[1],'rb').read(); "
                       "print(binascii.crc_hqx(d,0), binascii.crc_hqx(d,0xBEEF))\" " +
                       dir / "d");
  const uint8_t* p = reinterpret_cast<const uint8_t*>(data.data());
  std::string ours = std::to_string(Crc16(p, data.size(), 0)) + " " +
                     std::to_string(Crc16(p, data.size(), 0xBEEF, vrx::Crc16Table())) + "\n";
  EXPECT_EQ(ours, py);
}

TEST_F(BinHexTest, LayoutOfTheText) {
  std::mt19937 rng(1);
  for (size_t n : {0, 1, 2, 3, 100, 47, 20000}) {
    std::string data = RandomBytes(rng, n);
    if (n > 10) data.replace(5, 3, "\x90\x90X");
    std::string src = dir / "File.txt";
    MakeMacFile(src, data, "", Code("TEXT"), Code("ttxt"), 0x0120);
    ASSERT_EQ(Encode(src, dir / "out.hqx"), 0) << n;
    std::string text = ReadFile(dir / "out.hqx");
    ASSERT_EQ(text.substr(0, 49), "\r(This file must be converted with BinHex 4.0)\r\r:");
    ASSERT_EQ(text.substr(text.size() - 2), ":\r");
    EXPECT_EQ(text.find('\n'), std::string::npos);
    // Lines: ":" and 63 characters, then 64 each; the last may be shorter.
    std::vector<std::string> lines;
    for (size_t at = 48, cr; (cr = text.find('\r', at)) != std::string::npos; at = cr + 1)
      lines.push_back(text.substr(at, cr - at));
    for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 64u) << i;
    EXPECT_LE(lines.back().size(), 65u);
    // The stream: header, data (0x90 escaped), its CRC, and with an empty resource fork
    // only the three flush bytes.
    std::string header = std::string("\x08", 1) + "File.txt" + std::string(1, '\0') + "TEXTttxt" +
                         std::string("\x01\x20", 2) + Big32(uint32_t(n)) + Big32(0);
    std::string expected = Escaped(header + Crc(header)) + Escaped(data) + Escaped(Crc(data)) +
                           std::string(3, '\0');
    std::string raw = RawStream(text);
    ASSERT_LE(raw.size(), expected.size()) << n;
    EXPECT_GE(raw.size() + 1, expected.size()) << n;
    EXPECT_EQ(raw, expected.substr(0, raw.size())) << n;
  }
}

// Our text decodes with macutils' hexbin to the same forks, type, creator and flags;
// hexbin's fork files hexified by macutils' binhex (with its run-length coding) decode
// here to the original file.
TEST_F(BinHexTest, InteroperatesWithMacutils) {
  std::mt19937 rng(2);
  struct Case {
    size_t data, rsrc;
  } cases[] = {{0, 0}, {1, 0}, {0, 5}, {1000, 300}, {40000, 17000}};
  for (const Case& k : cases) {
    std::string data = RandomBytes(rng, k.data), rsrc = RandomBytes(rng, k.rsrc);
    // Runs for the run-length coder, 0x90 runs included.
    if (k.data > 500) data.replace(100, 300, std::string(150, 'X') + std::string(150, '\x90'));
    std::string src = dir / "Sample";
    MakeMacFile(src, data, rsrc, Code("APPL"), Code("Vrx1"), 0x2400);
    ASSERT_EQ(Encode(src, dir / "s.hqx"), 0);
    std::filesystem::remove_all(dir / "x");
    std::filesystem::create_directory(dir / "x");
    int status = -1;
    Shell("cd " + dir / "x" + " && hexbin -3 ../s.hqx 2>&1", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(ReadFile(dir / "x/Sample.data"), data) << k.data;
    EXPECT_EQ(ReadFile(dir / "x/Sample.rsrc"), rsrc) << k.rsrc;
    Info info = ReadInfo(dir / "x/Sample.info");
    EXPECT_EQ(info.type, "APPL");
    EXPECT_EQ(info.creator, "Vrx1");
    EXPECT_EQ(info.flags, 0x2400);

    Shell("cd " + dir / "x" + " && binhex Sample.info > ../back.hqx", &status);
    ASSERT_EQ(status, 0);
    std::string out = dir / "Decoded";
    ASSERT_EQ(Decode(dir / "back.hqx", out), 0);
    EXPECT_EQ(ReadMacFork(out, false), data);
    EXPECT_EQ(ReadMacFork(out, true), rsrc);
    EXPECT_EQ(Finder(out).type, Code("APPL"));
    EXPECT_EQ(Finder(out).creator, Code("Vrx1"));
    EXPECT_EQ(Finder(out).flags, 0x2400);
  }
  // Data files hexified by binhex -d: long runs come as 0x90 counts.
  std::string runs = std::string(1000, 'A') + "\x90\x90\x90\x90\x90" + std::string(300, '\0') + "z";
  WriteFile(dir / "runs", runs);
  int status = -1;
  Shell("cd " + dir.path.string() + " && binhex -d -t TEXT -c ABCD runs > runs.hqx", &status);
  ASSERT_EQ(status, 0);
  ASSERT_LT(ReadFile(dir / "runs.hqx").size(), 600u);  // really run-length coded
  ASSERT_EQ(Decode(dir / "runs.hqx", dir / "runs.out"), 0);
  EXPECT_EQ(ReadFile(dir / "runs.out"), runs);
  EXPECT_EQ(Finder(dir / "runs.out").creator, Code("ABCD"));
}

TEST_F(BinHexTest, DecoderAcceptsOtherLineEndsAndLeadingText) {
  std::mt19937 rng(3);
  std::string data = RandomBytes(rng, 5000);
  MakeMacFile(dir / "f", data, "rsrc bytes", Code("TEXT"), Code("ABCD"));
  ASSERT_EQ(Encode(dir / "f", dir / "f.hqx"), 0);
  std::string text = ReadFile(dir / "f.hqx");
  std::string body = text.substr(48);  // from the ":"
  auto replaced = [](std::string s, const std::string& to) {
    std::string out;
    for (char c : s) c == '\r' ? out += to : out += c;
    return out;
  };
  std::vector<std::string> variants = {
      "Mail header\nSubject: x\n\n" + replaced(body, "\n"),
      "junk\r\n" + replaced(body, "\r\n"),
      replaced(body, "\t\r"),
      body,  // the very first byte is the ":"
  };
  for (size_t i = 0; i < variants.size(); ++i) {
    WriteFile(dir / "v.hqx", variants[i]);
    std::string out = dir / ("v" + std::to_string(i));
    ASSERT_EQ(Decode(dir / "v.hqx", out), 0) << i;
    EXPECT_EQ(ReadFile(out), data) << i;
    EXPECT_EQ(ReadMacFork(out, true), "rsrc bytes") << i;
  }
  // Two blocks into the same file: once a block is done, the next is looked for from
  // the next 16384-byte chunk on, so one in the same chunk is passed over.
  MakeMacFile(dir / "g", "second", "", Code("TEXT"), Code("ABCD"));
  ASSERT_EQ(Encode(dir / "g", dir / "g.hqx"), 0);
  std::string second = ReadFile(dir / "g.hqx");
  WriteFile(dir / "two.hqx", text + std::string(20000, '\r') + second);
  ASSERT_EQ(Decode(dir / "two.hqx", dir / "two"), 0);
  EXPECT_EQ(ReadFile(dir / "two"), "second");
  EXPECT_EQ(ReadMacFork(dir / "two", true), "");
  WriteFile(dir / "near.hqx", text + second);
  ASSERT_EQ(Decode(dir / "near.hqx", dir / "near"), 0);
  EXPECT_EQ(ReadFile(dir / "near"), data);
  // A ":" that does not start a line is not a block.
  WriteFile(dir / "mid.hqx", "text " + body);
  EXPECT_EQ(Decode(dir / "mid.hqx", dir / "mid"), 0);
  EXPECT_FALSE(Exists(dir / "mid"));
}

TEST_F(BinHexTest, ReplacesAnExistingDestination) {
  MakeMacFile(dir / "dst", std::string(50000, 'o'), std::string(9000, 'r'), Code("OLD "),
              Code("OLD "), 0x0100);
  MakeMacFile(dir / "src", "short", "", Code("NEW "), Code("NEW "), 0x0020);
  ASSERT_EQ(Encode(dir / "src", dir / "src.hqx"), 0);
  ASSERT_EQ(Decode(dir / "src.hqx", dir / "dst"), 0);
  EXPECT_EQ(ReadMacFork(dir / "dst", false), "short");
  EXPECT_EQ(ReadMacFork(dir / "dst", true), "");
  platform::FinderInfo f = Finder(dir / "dst");
  EXPECT_EQ(f.type, Code("NEW "));
  // Bit 8 (inited) belongs to this copy and stays; the others come from the header.
  EXPECT_EQ(f.flags, 0x0120);
  // The encoder empties an existing output file first.
  WriteFile(dir / "big.hqx", std::string(100000, 'z'));
  ASSERT_EQ(Encode(dir / "src", dir / "big.hqx"), 0);
  EXPECT_EQ(ReadFile(dir / "big.hqx"), ReadFile(dir / "src.hqx"));
}

TEST_F(BinHexTest, DamagedInputIsReported) {
  std::mt19937 rng(4);
  std::string data = RandomBytes(rng, 3000);
  MakeMacFile(dir / "f", data, "", Code("TEXT"), Code("ABCD"));
  ASSERT_EQ(Encode(dir / "f", dir / "f.hqx"), 0);
  std::string good = ReadFile(dir / "f.hqx");
  size_t mid = good.size() / 2;
  while (good[mid] == '\r') ++mid;

  // A changed character: the data CRC fails, the file is written all the same.
  std::string flipped = good;
  flipped[mid] = flipped[mid] == '!' ? '"' : '!';
  WriteFile(dir / "bad.hqx", flipped);
  EXPECT_EQ(Decode(dir / "bad.hqx", dir / "o1"), vrx::kBinHexDamaged);
  EXPECT_EQ(ReadFile(dir / "o1").size(), data.size());

  // A space stops the block; the partial file stays.
  std::string spaced = good;
  spaced[mid] = ' ';
  WriteFile(dir / "bad.hqx", spaced);
  EXPECT_EQ(Decode(dir / "bad.hqx", dir / "o2"), vrx::kBinHexDamaged);
  EXPECT_LT(ReadFile(dir / "o2").size(), data.size());

  // Input that ends inside the block.
  WriteFile(dir / "bad.hqx", good.substr(0, mid));
  EXPECT_EQ(Decode(dir / "bad.hqx", dir / "o3"), vrx::kBinHexDamaged);

  // A damaged header makes no file at all.
  std::string header = good;
  header[52] = header[52] == '!' ? '"' : '!';
  WriteFile(dir / "bad.hqx", header);
  EXPECT_EQ(Decode(dir / "bad.hqx", dir / "o4"), vrx::kBinHexDamaged);
  EXPECT_FALSE(Exists(dir / "o4"));

  // More than three stray characters before the closing ":".
  std::string stray = good;
  stray.insert(stray.size() - 2, "!!!!!");
  WriteFile(dir / "bad.hqx", stray);
  EXPECT_EQ(Decode(dir / "bad.hqx", dir / "o5"), vrx::kBinHexDamaged);
  EXPECT_EQ(ReadFile(dir / "o5"), data);

  // A name of 62 bytes stops the block before any file is made; 61 bytes pass. The
  // encoder cuts longer names to 61.
  for (size_t len : {61, 62}) {
    std::string header = std::string(1, char(len)) + std::string(len, 'n') + std::string(1, '\0') +
                         "TEXTABCD" + std::string(2, '\0') + Big32(1) + Big32(0);
    std::string stream = header + Crc(header) + "D" + Crc("D") + std::string(3, '\0');
    WriteFile(dir / "n.hqx", Hexify(Escaped(stream)));
    std::string out = dir / ("n" + std::to_string(len));
    EXPECT_EQ(Decode(dir / "n.hqx", out), len == 61 ? 0 : vrx::kBinHexDamaged);
    EXPECT_EQ(Exists(out), len == 61);
  }
  std::string longName(100, 'L');
  MakeMacFile(dir / longName, "x", "", Code("TEXT"), Code("ABCD"));
  ASSERT_EQ(Encode(dir / longName, dir / "l.hqx"), 0);
  EXPECT_EQ(uint8_t(RawStream(ReadFile(dir / "l.hqx"))[0]), 61);
  EXPECT_EQ(Decode(dir / "l.hqx", dir / "l.out"), 0);
}

TEST_F(BinHexTest, FileErrors) {
  // Missing source: nothing is written, an existing output keeps its bytes.
  WriteFile(dir / "keep.hqx", "keep");
  EXPECT_EQ(Encode(dir / "missing", dir / "keep.hqx"), platform::kFnfErr);
  EXPECT_EQ(ReadFile(dir / "keep.hqx"), "keep");
  EXPECT_EQ(Encode(dir / "nofolder/x", dir / "keep.hqx"), platform::kDirNFErr);
  MakeMacFile(dir / "f", "data", "", Code("TEXT"), Code("ABCD"));
  EXPECT_EQ(Encode(dir / "f", dir / "nofolder/f.hqx"), platform::kDirNFErr);
  EXPECT_EQ(Decode(dir / "missing.hqx", dir / "out"), platform::kFnfErr);
  // The destination's folder is missing: the create fails and that is the result.
  ASSERT_EQ(Encode(dir / "f", dir / "f.hqx"), 0);
  EXPECT_EQ(Decode(dir / "f.hqx", dir / "nofolder/out"), platform::kDirNFErr);
  // Not BinHex at all: nothing decoded, nothing made.
  WriteFile(dir / "plain.txt", "just text\r\nno block here\r\n");
  EXPECT_EQ(Decode(dir / "plain.txt", dir / "plain.out"), 0);
  EXPECT_FALSE(Exists(dir / "plain.out"));
  // Parameter 3 is set to the empty string.
  host::Value s1 = host::Value::String(dir / "f.hqx"), s2 = host::Value::String(dir / "o"),
              s3 = host::Value::String("left over");
  std::vector<host::Value*> ps{&s1, &s2, &s3};
  EXPECT_EQ(h.Call("VRX_DecodeBinHex", ps).value, 0);
  EXPECT_EQ(s3.Bytes(), "");
}

// Mutated and cut copies of a valid text, and a header claiming 4 GB: never a crash,
// never an open fork or a lost handle afterwards.
TEST_F(BinHexTest, HostileInput) {
  std::mt19937 rng(5);
  MakeMacFile(dir / "f", RandomBytes(rng, 2000), RandomBytes(rng, 700), Code("TEXT"),
              Code("ABCD"));
  ASSERT_EQ(Encode(dir / "f", dir / "f.hqx"), 0);
  std::string good = ReadFile(dir / "f.hqx");
  int32_t handles = platform::LiveHandleCount();
  for (int i = 0; i < 200; ++i) {
    std::string bad = good;
    int edits = 1 + int(rng() % 4);
    for (int e = 0; e < edits; ++e) {
      size_t at = 49 + rng() % (bad.size() - 49);
      bad[at] = kAlphabet[rng() % 64];
    }
    if (i % 3 == 0) bad.resize(49 + rng() % (bad.size() - 49));
    WriteFile(dir / "m.hqx", bad);
    int32_t rc = Decode(dir / "m.hqx", dir / "m.out");
    EXPECT_TRUE(rc == 0 || rc == vrx::kBinHexDamaged) << rc;
  }
  EXPECT_EQ(platform::LiveHandleCount(), handles);

  // A header whose lengths say 0xFFFFFFFF, with a correct CRC, then the text ends.
  auto* d = vrx::BinHexDecoderNew();
  ASSERT_NE(d, nullptr);
  std::string out = dir / "huge";
  vrx::BinHexDecoderSetDestination(d, out);
  std::string header = std::string("\x01", 1) + "h" + std::string(1, '\0') + "TEXTABCD" +
                       std::string(2, '\0') + Big32(0xFFFFFFFF) + Big32(0xFFFFFFFF);
  std::string stream = Escaped(header + Crc(header)) + std::string(5000, 'q');
  std::string text = Hexify(stream);
  text.resize(text.size() - 2);  // the text ends inside the data fork
  EXPECT_EQ(vrx::BinHexDecoderFeed(d, reinterpret_cast<const uint8_t*>(text.data()),
                                   int32_t(text.size())),
            3);
  vrx::BinHexDecoderStop(d);
  EXPECT_TRUE(d->error);
  vrx::BinHexDecoderDispose(d);
  // The block stopped: what sat in the fork buffer was never written.
  EXPECT_TRUE(Exists(out));
  EXPECT_EQ(ReadFile(out), "");
}
