// A "._" companion whose last entry ends exactly at the end of the file is whole; one
// declared a single byte longer than the file holds cannot be trusted: it reads as no
// information, and writing through it fails rather than build on it. The companions are
// laid out by Python's struct, not by our writer.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "tests/support.h"

namespace {

// AppleDouble version 2: Finder info (TEXT/ttxt, flags 0x2100) then a resource fork of
// `rsrc`, whose declared length is `extra` bytes more than is written.
void WriteCompanion(const std::string& path, const std::string& rsrc, int extra) {
  int status = -1;
  vrxtest::Shell("python3 -c \"import struct, sys\n"
                 "rsrc = sys.argv[2].encode(); first = 26 + 2 * 12\n"
                 "head = struct.pack('>II16sH', 0x00051607, 0x00020000, b'', 2)\n"
                 "head += struct.pack('>III', 9, first, 32)\n"
                 "head += struct.pack('>III', 2, first + 32, len(rsrc) + int(sys.argv[3]))\n"
                 "finder = b'TEXTttxt' + struct.pack('>H', 0x2100) + bytes(22)\n"
                 "open(sys.argv[1], 'wb').write(head + finder + rsrc)\" " +
                     path + " '" + rsrc + "' " + std::to_string(extra),
                 &status);
  ASSERT_EQ(status, 0);
}

std::string ResourceFork(const std::string& path) {
  int16_t ref = 0;
  if (platform::OpenResourceFork(path, platform::kReadPermission, &ref) != 0) return "(none)";
  char buf[256];
  int32_t n = sizeof buf;
  platform::ReadFork(ref, &n, buf);
  platform::CloseFork(ref);
  return std::string(buf, size_t(n));
}

}  // namespace

TEST(AppleDoubleBounds, AnEntryMayEndAtTheEndOfTheFileButNotOneBytePast) {
  vrxtest::TempDir dir;
  vrxtest::WriteFile(dir / "exact", "data");
  WriteCompanion(dir / "._exact", "resource bytes", 0);
  platform::FinderInfo info;
  ASSERT_EQ(platform::GetFinderInfo(dir / "exact", &info), 0);
  EXPECT_EQ(info.type, 0x54455854u);  // TEXT
  EXPECT_EQ(info.flags, 0x2100);
  EXPECT_EQ(ResourceFork(dir / "exact"), "resource bytes");

  vrxtest::WriteFile(dir / "past", "data");
  WriteCompanion(dir / "._past", "resource bytes", 1);
  ASSERT_EQ(platform::GetFinderInfo(dir / "past", &info), 0);
  EXPECT_EQ(info.type, 0u);
  EXPECT_EQ(info.flags, 0);
  EXPECT_EQ(ResourceFork(dir / "past"), "");
  info.type = 0x54455854u;
  EXPECT_EQ(platform::SetFinderInfo(dir / "past", info), platform::kIoErr);
  EXPECT_EQ(platform::OpenForkCount(), 0);
}
