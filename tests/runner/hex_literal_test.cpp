// Hexadecimal literals hold at most eight digits, the width of a longint: a ninth is
// refused where it stands rather than cut to the low 32 bits.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "runner/runner.h"

namespace {
bool Loads(const std::string& source, std::vector<std::string>* err) {
  runner::Program program;
  return runner::LoadSources({{"main.4dm", source}}, &program, err);
}
}  // namespace

TEST(HexLiteral, EightDigitsAtMost) {
  std::vector<std::string> err;
  EXPECT_TRUE(Loads("$x:=0xFFFFFFFF\n$y:=0x0\n", &err));
  for (const char* nine : {"$x:=0x100000000\n", "$x:=0x000000001\n"}) {
    err.clear();
    EXPECT_FALSE(Loads(nine, &err)) << nine;
    ASSERT_FALSE(err.empty()) << nine;
    EXPECT_NE(err[0].find("bad hexadecimal number"), std::string::npos) << err[0];
  }
}
