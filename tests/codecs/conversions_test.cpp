#include "codecs/conversions.h"

#include <gtest/gtest.h>

#include <string>

#include "codecs/text_codecs.h"
#include "helpers.h"
#include "platform/memory.h"

using codectest::OwnedText;

namespace {
std::string Apply(std::string_view s, int32_t options) {
  int32_t live = platform::LiveHandleCount();
  std::string out;
  {
    OwnedText t(s);
    vrx::ApplyTextConversions(&t.t, options);
    int32_t length = t.t.length;
    EXPECT_EQ(platform::HandleSize(t.t.handle), length);
    out = t.Bytes();
  }
  EXPECT_EQ(platform::LiveHandleCount(), live) << "options " << options;
  return out;
}
}  // namespace

TEST(Conversions, InPlaceSteps) {
  EXPECT_EQ(Apply("a\x8E", 0), "a\x8E");
  EXPECT_EQ(Apply("a\x8E", 0x001), "a\xE9");
  EXPECT_EQ(Apply("a\xE9", 0x002), "a\x8E");
  EXPECT_EQ(Apply("a\x8E", 0x003), "a\x8E");  // there and back
  EXPECT_EQ(Apply("a\rb", 0x004), "a\r\nb");
  EXPECT_EQ(Apply("a\r\nb", 0x004), "a\r\n\nb");
  EXPECT_EQ(Apply("\r\ra\r\nb\nc\r", 0x008), "\r\ra\rb\nc\r");
  EXPECT_EQ(Apply("a\rb", 0x00C), "a\rb");
  EXPECT_EQ(Apply("", 0x004), "");
}

TEST(Conversions, GroupsChainAndTheHighestBitOfAGroupWins) {
  EXPECT_EQ(Apply("a<b & c", 0x010), "a&lt;b &amp; c");
  EXPECT_EQ(Apply("a<b & c", 0x040), "a<b &amp; c");
  EXPECT_EQ(Apply("&lt;", 0x020), "<");
  EXPECT_EQ(Apply("&lt;", 0x030), "<");
  EXPECT_EQ(Apply("a<b & c", 0x050), "a<b &amp; c");
  EXPECT_EQ(Apply("&eacute;", 0x0A0), vrx::Base64EncodeBytes("\x8E", false));
  EXPECT_EQ(Apply("TWFu", 0x180), "Man");
  EXPECT_EQ(Apply("A", 0x080), "QQ");
  EXPECT_EQ(Apply("\x8E=", 0x200), "=E9=3D");
  EXPECT_EQ(Apply("=E9=\r\nx", 0x400), "\x8Ex");
  EXPECT_EQ(Apply("=E9", 0x600), "\x8E");
  // All three groups: decode entities, Base64-encode, then quoted-printable.
  EXPECT_EQ(Apply("&amp;", 0x2A0), "Jg");
  // In place first: CR LF expansion feeds the HTML step.
  EXPECT_EQ(Apply("<\r", 0x014), "&lt;\r\n");
}

TEST(Conversions, ExpansionStopsAtTheTextLimitBeforeACR) {
  std::string s(20000, '\r');
  std::string out = Apply(s, 0x004);
  EXPECT_EQ(out.size(), 32766u);
  EXPECT_EQ(out.substr(0, 4), "\r\n\r\n");
  EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
}
