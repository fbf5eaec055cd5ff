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
}
