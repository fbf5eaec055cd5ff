// Mac Roman to UTF-8, every byte, against Python's mac_roman codec.
#include <gtest/gtest.h>

#include <string>

#include "platform/services.h"
#include "tests/support.h"

TEST(MacRoman, EveryByteMatchesPython) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += char(b);
  int status = -1;
  std::string expected = vrxtest::Shell(
      "/usr/bin/python3 -c \"import sys; sys.stdout.buffer.write(bytes(range(1, 256)).decode('mac_roman')"
      ".encode('utf-8'))\"",
      &status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(vrxtest::Hex(platform::MacRomanToUtf8(all)), vrxtest::Hex(expected));
  // Short texts are converted on the stack, long ones in place: the same bytes either way.
  std::string twice;
  platform::MacRomanToUtf8(all + all, &twice);
  EXPECT_EQ(vrxtest::Hex(twice), vrxtest::Hex(expected + expected));
}

// UTF-8 that is damaged or names a character Mac Roman lacks becomes "?", never more than
// one per damaged byte, and the bytes after it are read again.
TEST(MacRoman, DamagedUtf8BecomesQuestionMarks) {
  const struct {
    const char* utf8;
    const char* mac;
  } rows[] = {
      {"caf\xC3\xA9", "caf\x8E"},       // e acute
      {"\xE2\x82\xAC", "\xDB"},         // euro sign, three bytes
      {"a\xF0\x9F\x98\x80" "b", "a?b"},   // four bytes, not in Mac Roman
      {"\xFFx", "?x"},                  // never a lead byte
      {"\xC3x", "?x"},                  // lead byte without its continuation
      {"x\xE2\x82", "x?"},              // cut at the end
      {"\xE4\xB8\xAD", "?"},            // a character Mac Roman lacks
      {"\xC2\xA6\xC2\xA0", "?\xCA"},     // Latin-1: a broken bar it lacks, a no-break space
  };
  // The forms that write into a buffer leave nothing of what it held before.
  std::string buffer = "a longer text held before";
  for (const auto& r : rows) {
    EXPECT_EQ(vrxtest::Hex(platform::Utf8ToMacRoman(r.utf8)), vrxtest::Hex(r.mac)) << r.utf8;
    platform::Utf8ToMacRoman(r.utf8, &buffer);
    EXPECT_EQ(vrxtest::Hex(buffer), vrxtest::Hex(r.mac)) << r.utf8;
    platform::MacRomanToUtf8(r.mac, &buffer);
    EXPECT_EQ(buffer, platform::MacRomanToUtf8(r.mac));
  }
}
