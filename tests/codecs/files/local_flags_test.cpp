// Finder flags on decoding: the archive's flags are taken, except the ones that describe
// one copy on one disk (on the desktop 0x0001, inited 0x0100, invisible 0x4000), which stay
// what the destination had. Archives come from Python's struct and binascii (MacBinary II
// with its header CRC) and from macutils' binhex, never from our encoders.
#include "helpers.h"

using namespace fctest;

namespace {

struct LocalFlagsTest : ::testing::Test {
  TempDir dir;
  host::Host h;
  int32_t Decode(const char* command, const std::string& src, const std::string& dst) {
    return Call(h, command, {host::Value::String(src), host::Value::String(dst)}).value;
  }
  // A MacBinary II file of one name, TEXT/ABCD, small forks and the given flags.
  std::string MacBinary(uint16_t flags) {
    std::string path = dir / ("f" + std::to_string(flags) + ".bin");
    int status = -1;
    Shell("python3 -c \"import binascii, struct, sys\n"
          "h = bytearray(128); h[1] = 5; h[2:7] = b'Flags'; h[65:73] = b'TEXTABCD'\n"
          "h[73] = " + std::to_string(flags >> 8) + "; h[101] = " + std::to_string(flags & 0xFF) + "\n"
          "struct.pack_into('>II', h, 83, 9, 4); h[122] = h[123] = 129\n"
          "struct.pack_into('>H', h, 124, binascii.crc_hqx(bytes(h[:124]), 0))\n"
          "open(sys.argv[1], 'wb').write(bytes(h) + b'data fork'.ljust(128, b'\\0') + b'rsrc'.ljust(128, b'\\0'))\" " +
              path,
          &status);
    EXPECT_EQ(status, 0);
    return path;
  }
  void TearDown() override { EXPECT_EQ(platform::OpenForkCount(), 0); }
};

}  // namespace

TEST_F(LocalFlagsTest, MacBinaryKeepsTheDestinationsLocalFlags) {
  // A new file: every local bit clear, every other one from the header.
  ASSERT_EQ(Decode("VRX_DecodeMacBinary", MacBinary(0xFFFF), dir / "new"), 0);
  EXPECT_EQ(Finder(dir / "new").flags, 0xBEFE);
  EXPECT_EQ(ReadMacFork(dir / "new", false), "data fork");
  // An existing file keeps its local bits, whatever the header says of them.
  MakeMacFile(dir / "old", "x", "", Code("OLD "), Code("OLD "), 0x4101);
  ASSERT_EQ(Decode("VRX_DecodeMacBinary", MacBinary(0x0000), dir / "old"), 0);
  EXPECT_EQ(Finder(dir / "old").flags, 0x4101);
  EXPECT_EQ(Finder(dir / "old").type, Code("TEXT"));
}

TEST_F(LocalFlagsTest, BinHexKeepsTheDestinationsLocalFlags) {
  // macutils' binhex carries the high flag byte of a MacBinary file (0xFF00 here).
  int status = -1;
  Shell("binhex " + MacBinary(0xFFFF) + " > " + dir / "all.hqx", &status);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(Decode("VRX_DecodeBinHex", dir / "all.hqx", dir / "new"), 0);
  EXPECT_EQ(Finder(dir / "new").flags, 0xBE00);
  EXPECT_EQ(ReadMacFork(dir / "new", true), "rsrc");

  Shell("binhex " + MacBinary(0x0000) + " > " + dir / "none.hqx", &status);
  ASSERT_EQ(status, 0);
  MakeMacFile(dir / "old", "x", "", Code("OLD "), Code("OLD "), 0x4101);
  ASSERT_EQ(Decode("VRX_DecodeBinHex", dir / "none.hqx", dir / "old"), 0);
  EXPECT_EQ(Finder(dir / "old").flags, 0x4101);
  EXPECT_EQ(ReadMacFork(dir / "old", false), "data fork");
}
