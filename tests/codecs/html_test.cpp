#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codecs/text_codecs.h"
#include "helpers.h"
#include "oracle.h"
#include "platform/services.h"

using codectest::OwnedText;
using codectest::Take;

namespace {
std::string Enc(std::string_view s, int32_t m) { return Take(vrx::HTMLEncode(OwnedText(s).t, m)); }
std::string Dec(std::string_view s, int32_t m) { return Take(vrx::HTMLDecode(OwnedText(s).t, m)); }
std::string Strip(std::string_view s) { return Take(vrx::HTMLToText(OwnedText(s).t)); }

const platform::ResType kVRXc = platform::MakeResType("VRXc");

// Entity names, markup and numeric pieces, for adversarial texts.
std::vector<std::string> HtmlTokens() {
  std::vector<std::string> t = {"&amp;",
                                "&amp;amp;",
                                "&lt;",
                                "&gt;",
                                "&quot;",
                                "&#",
                                "&#65;",
                                "&#65",
                                "&#;",
                                "&#x41;",
                                "&#256;",
                                "&#0000000000065;",
                                "&#99999999999999999999;",
                                "&#38;",
                                "&#38;amp;",
                                "&&",
                                "& ",
                                ";",
                                "#",
                                "amp;",
                                "eacute;",
                                "&EACUTE;",
                                "&Amp;",
                                "<",
                                ">",
                                "\"",
                                "<b>",
                                "</b>",
                                "&&#101;acute;",
                                "&#65#66;",
                                "&#38;#65;",
                                "&#38;amp;lt;"};
  for (const vrx::HtmlEntity& e : vrx::kHtmlEntities) t.emplace_back(e.name);
  return t;
}
}  // namespace

TEST(HTML, EncodeModes) {
  EXPECT_EQ(Enc("", 0), "");
  EXPECT_EQ(Enc("a<b & c", 0), "a&lt;b &amp; c");
  EXPECT_EQ(Enc("a<b & c", 1), "a<b &amp; c");
  EXPECT_EQ(Enc("a<b & c", 2), "a<b & c");
  EXPECT_EQ(Enc("&x a&b", 1), "&x a&b");
  EXPECT_EQ(Enc("\x8E", 0), "&eacute;");
  EXPECT_EQ(Enc("\xD2x\xD3", 0), "&quot;x&quot;");
  EXPECT_EQ(Enc("\xD2x\xD5", 1), "\"x'");
  EXPECT_EQ(Enc("\xB2\xB3", 0), "&lt;=&gt;=");
  EXPECT_EQ(Enc("\xAA\xC9\xA5\xCE\xCF\xAD", 2), "(TM)...*OEoe&euro;");
  // No entity: the ISO-8859-1 code as a three-digit reference (Mac 0xE1 is ISO 0xB7).
  EXPECT_EQ(Enc("\xE1", 0), "&#183;");
  // Every byte alone expands to at most 8 ASCII bytes under the default tables.
  for (int c = 0; c < 256; ++c) {
    std::string e = Enc(std::string(1, char(c)), 0);
    EXPECT_LE(e.size(), 8u) << c;
    for (char x : e) EXPECT_LT(uint8_t(x), 0x80);
  }
}

TEST(HTML, DecodeOrderAndNumericReferences) {
  EXPECT_EQ(Dec("&amp;eacute;", 0), "\x8E");
  EXPECT_EQ(Dec("&amp;amp;", 0), "&amp;");
  EXPECT_EQ(Dec("&amp;lt;p&amp;gt;", 0), "<p>");
  EXPECT_EQ(Dec("&lt;p&gt;", 1), "&lt;p&gt;");
  EXPECT_EQ(Dec("&lt;&quot;&gt;", 0), "<\">");
  EXPECT_EQ(Dec("&#65;", 0), "A");
  EXPECT_EQ(Dec("&#65x", 0), "A");
  EXPECT_EQ(Dec("&#;", 0), std::string(1, '\0'));
  EXPECT_EQ(Dec("&#x41;", 0), std::string(1, '\0') + "41;");
  EXPECT_EQ(Dec("&#233;", 0), "\x8E");
  EXPECT_EQ(Dec("&EACUTE;&Amp;", 0), "&EACUTE;&Amp;");
  EXPECT_EQ(Dec("&times;&brvbar;&middot;", 0), "x|\xE1");
  // Superscripts decode to what the ISO2Mac table makes of their ISO-8859-1 codes.
  EXPECT_EQ(Dec("&sup1;&sup2;&sup3;", 0), Dec("&#185;&#178;&#179;", 0));
  // A numeric reference decoding to "&" may start a named one after it.
  EXPECT_EQ(Dec("&#38;eacute;", 0), "\x8E");
}

TEST(HTML, NumericReferencesStayInsideTheText) {
  // Digits that run to the end of the text close the reference there.
  EXPECT_EQ(Dec("ab&#65", 0), "abA");
  EXPECT_EQ(Dec("ab&#", 0), std::string("ab") + '\0');
  EXPECT_EQ(Dec("&", 0), "&");
  // A value above 255 has no table entry: the reference stays as it is, and huge digit
  // runs do not overflow into a small value.
  EXPECT_EQ(Dec("&#256;&#8364;", 0), "&#256;&#8364;");
  EXPECT_EQ(Dec("&#4294967361;", 0), "&#4294967361;");
  EXPECT_EQ(Dec("&#0000000065;", 0), "A");
}

TEST(HTML, StripTags) {
  EXPECT_EQ(Strip("<b>bold</b> &amp; more"), "bold & more");
  EXPECT_EQ(Strip("a > b"), "a > b");
  EXPECT_EQ(Strip("keep <unclosed &amp; gone"), "keep ");
  EXPECT_EQ(Strip(""), "");
  EXPECT_EQ(Take(vrx::HTMLToText(vrx::TextValue{-3, 0})), "");
}

TEST(HTML, EncodedOutputIsCutAtTheTextLimitBetweenEntities) {
  std::string in(24000, '\x8E');
  std::string out = Enc(in, 0);
  EXPECT_EQ(out.size(), 32767u / 8 * 8);
  EXPECT_EQ(Dec(out, 0), in.substr(0, 32767 / 8));
}

TEST(HTML, OnePassMatchesTheLiteralModel) {
  std::mt19937 rng(28);
  const std::vector<std::string> tokens = HtmlTokens();
  for (int round = 0; round < 600; ++round) {
    size_t n = rng() % (round < 300 ? 16 : 300);
    std::string alphabet = round % 3 == 0 ? "" : "&#;<>\" 0123456789amplteqouxAE\x8E\xD2\xB2";
    std::string s =
        codectest::RandomText(rng, n, alphabet, round % 4 ? tokens : std::vector<std::string>{});
    for (int32_t mode : {0, 1, 2, 3}) {
      ASSERT_EQ(Enc(s, mode), oracle::HTMLEncode(s, mode)) << "mode " << mode << ": " << s;
      ASSERT_EQ(Dec(s, mode), oracle::HTMLDecode(s, mode)) << "mode " << mode << ": " << s;
    }
  }
  // Every byte value, alone and between entity pieces.
  for (int c = 0; c < 256; ++c) {
    std::string s = std::string(1, char(c)) + "&" + char(c) + " &#" + char(c) + "&amp;" + char(c);
    for (int32_t mode : {0, 1, 2}) {
      ASSERT_EQ(Enc(s, mode), oracle::HTMLEncode(s, mode)) << c;
      ASSERT_EQ(Dec(s, mode), oracle::HTMLDecode(s, mode)) << c;
    }
  }
}

TEST(HTML, OnePassMatchesTheModelWithOtherTables) {
  std::mt19937 rng(29);
  const std::vector<std::string> tokens = HtmlTokens();
  // A Mac-to-ISO table that also moves ASCII bytes, an ISO2Mac table that is not the
  // inverse, then both tables missing.
  struct Restore {
    ~Restore() { platform::ResetResources(); }
  } restore;
  std::vector<uint8_t> odd(256);
  for (int b = 0; b < 256; ++b) odd[b] = uint8_t(b ^ (b < 0x80 ? 0x41 : 0x05));
  for (int variant = 0; variant < 2; ++variant) {
    if (variant == 0) {
      platform::SetNamedResource(kVRXc, "Mac2ISO", odd);
      platform::SetNamedResource(kVRXc, "ISO2Mac", odd);
    } else {
      platform::RemoveNamedResource(kVRXc, "Mac2ISO");
      platform::RemoveNamedResource(kVRXc, "ISO2Mac");
    }
    for (int round = 0; round < 200; ++round) {
      std::string s = codectest::RandomText(rng, rng() % 60, "", tokens);
      for (int32_t mode : {0, 1, 2}) {
        ASSERT_EQ(Enc(s, mode), oracle::HTMLEncode(s, mode)) << variant << ": " << s;
        ASSERT_EQ(Dec(s, mode), oracle::HTMLDecode(s, mode)) << variant << ": " << s;
      }
    }
  }
}
