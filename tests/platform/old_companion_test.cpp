// AppleDouble version 1 companions, as older Unix tools (and A/UX) wrote them: laid out
// here byte by byte from the published format, not by our writer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "tests/support.h"

namespace {

std::string Be32(uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

TEST(OldCompanion, VersionOneFinderInfoAndResourceForkRead) {
  vrxtest::TempDir dir;
  std::string finder = "TEXTttxt" + std::string("\x21\x00", 2) + std::string(22, '\0');
  std::string rsrc = "old resource fork";
  std::string ad = Be32(0x00051607) + Be32(0x00010000) + "Unix            " + std::string("\x00\x02", 2);
  const uint32_t first = 26 + 2 * 12;
  ad += Be32(9) + Be32(first) + Be32(32);
  ad += Be32(2) + Be32(first + 32) + Be32(uint32_t(rsrc.size()));
  ad += finder + rsrc;
  vrxtest::WriteFile(dir / "doc", "data");
  vrxtest::WriteFile(dir / "._doc", ad);

  platform::FinderInfo info;
  ASSERT_EQ(platform::GetFinderInfo(dir / "doc", &info), 0);
  EXPECT_EQ(info.type, 0x54455854u);     // TEXT
  EXPECT_EQ(info.creator, 0x74747874u);  // ttxt
  EXPECT_EQ(info.flags, 0x2100);
  int16_t ref = 0;
  ASSERT_EQ(platform::OpenResourceFork(dir / "doc", platform::kReadPermission, &ref), 0);
  char buf[64] = {};
  int32_t n = sizeof buf;
  platform::ReadFork(ref, &n, buf);
  platform::CloseFork(ref);
  EXPECT_EQ(std::string(buf, size_t(n)), rsrc);
}

}  // namespace
