#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codecs/text_codecs.h"
#include "helpers.h"
#include "oracle.h"
#include "platform/memory.h"
#include "platform/services.h"

using codectest::OwnedText;
using codectest::Take;

namespace {
std::string QPEnc(std::string_view s, int32_t o) { return Take(vrx::QPEncode(OwnedText(s).t, o)); }
std::string QPDec(std::string_view s, int32_t o) { return Take(vrx::QPDecode(OwnedText(s).t, o)); }
std::string URLEnc(std::string_view s, int32_t o) {
  return Take(vrx::URLEncode(OwnedText(s).t, o));
}
std::string URLDec(std::string_view s, int32_t o) {
  return Take(vrx::DecodeHexEscapes(OwnedText(s).t, o));
}
}  // namespace

TEST(QuotedPrintable, EncoderEscapesAndSoftBreaks) {
  EXPECT_EQ(QPEnc("", 1), "");
  EXPECT_EQ(QPEnc("a=b", 1), "a=3Db");
  EXPECT_EQ(QPEnc("\xE9", 1), "=E9");
  // With the character-set step Mac Roman e acute (0x8E) is ISO-8859-1 0xE9.
  EXPECT_EQ(QPEnc("\x8E", 0), "=E9");
  EXPECT_EQ(QPEnc("a \r\nb\t\r\nc ", 1), "a=20\r\nb=09\r\nc ");
  EXPECT_EQ(QPEnc(std::string(80, 'x'), 1), std::string(75, 'x') + "=\r\n" + std::string(5, 'x'));
  // An escape met beyond column 72 gets a soft break first.
  EXPECT_EQ(QPEnc(std::string(73, 'x') + "=", 1), std::string(73, 'x') + "=\r\n=3D");
  EXPECT_EQ(QPEnc(std::string(72, 'x') + "=", 1), std::string(72, 'x') + "=3D");
  // A literal byte at column 75 followed by CR gets no soft break, and the column keeps
  // counting across the CR LF: later literals get none until the next escape.
  std::string s = std::string(75, 'x') + "y\r\n" + std::string(10, 'z') + "=";
  EXPECT_EQ(QPEnc(s, 1), std::string(75, 'x') + "y\r\n" + std::string(10, 'z') + "=\r\n=3D");
}

TEST(QuotedPrintable, DecoderSoftBreaksAndEscapes) {
  EXPECT_EQ(QPDec("abc=\r\ndef", 1), "abcdef");
  EXPECT_EQ(QPDec("abc=\rdef", 1), "abcdef");
  EXPECT_EQ(QPDec("abc=\ndef", 1), "abc=\ndef");
  EXPECT_EQ(QPDec("a=3d", 1), "a=");
  EXPECT_EQ(QPDec("=G1", 1), "=G1");
  EXPECT_EQ(QPDec("a+b", 1), "a+b");
  EXPECT_EQ(QPDec("=E9", 0), "\x8E");
  EXPECT_EQ(QPDec("=E9", 1), "\xE9");
  // Soft breaks at the very start are removed too, every one of them.
  EXPECT_EQ(QPDec("=\r\n=\r\nab=\r\n=\r\n", 1), "ab");
  EXPECT_EQ(QPDec("=\rx=\r", 1), "x");
}

TEST(QuotedPrintable, EncodedOutputIsCutAtTheTextLimitBetweenUnits) {
  std::string in(24000, '\xFF');
  std::string out = QPEnc(in, 1);
  EXPECT_LE(out.size(), vrx::kTextLimit);
  EXPECT_GT(out.size(), vrx::kTextLimit - 6);
  std::string back = QPDec(out, 1);
  EXPECT_EQ(back, in.substr(0, back.size()));
}

TEST(URL, ModesAndCharacterSet) {
  EXPECT_EQ(URLEnc("", 4), "");
  EXPECT_EQ(URLEnc("a b&c", 4), "a+b%26c");
  EXPECT_EQ(URLEnc("a b&c", 5), "a%20b&c");
  EXPECT_EQ(URLEnc("a/b?c", 6), "a%2Fb?c");
  EXPECT_EQ(URLEnc("a b", 7), "a b");  // mode 3 escapes nothing
  EXPECT_EQ(URLEnc(":;=?@[\\]^_`{|}~<>\x7F", 4), ":;=?@[\\]^_`{|}~%3C%3E%7F");
  EXPECT_EQ(URLEnc("\x8E", 0), "%E9");
  EXPECT_EQ(URLEnc("\x8E", 4), "%8E");
  EXPECT_EQ(URLDec("a+b%20c", 4), "a b c");
  EXPECT_EQ(URLDec("a+b%20c", 5), "a+b c");
  EXPECT_EQ(URLDec("%41%", 4), "A%");
  EXPECT_EQ(URLDec("100%", 4), "100%");
  EXPECT_EQ(URLDec("%2B%2541", 4), "+%41");
  EXPECT_EQ(URLDec("%e9", 0), "\x8E");
  EXPECT_EQ(URLDec("", 0), "");
  // Options -1: quoted-printable escapes, "+" kept, nothing converted.
  EXPECT_EQ(URLDec("=E9+%41", -1), "\xE9+%41");
}

TEST(URL, EncodedOutputIsCutAtTheTextLimitBetweenUnits) {
  std::string out = URLEnc(std::string(20000, '/'), 4);
  EXPECT_EQ(out.size(), 32766u);  // never "%2" without its last digit
  EXPECT_EQ(URLDec(out, 4), std::string(10922, '/'));
}

TEST(ReplaceAll, EveryOccurrenceIncludingAtTheStart) {
  auto run = [](std::string_view text, std::string pattern, std::string repl) {
    OwnedText t(text);
    pattern.insert(pattern.begin(), char(pattern.size()));
    repl.insert(repl.begin(), char(repl.size()));
    vrx::ReplaceAll(t.t.handle, reinterpret_cast<const uint8_t*>(pattern.data()),
                    reinterpret_cast<const uint8_t*>(repl.data()));
    return std::string(reinterpret_cast<const char*>(platform::HandleAddress(t.t.handle)),
                       size_t(platform::HandleSize(t.t.handle)));
  };
  EXPECT_EQ(run("xxaxx", "x", ""), "a");
  EXPECT_EQ(run("\r\r", "\r", "\r\n"), "\r\n\r\n");  // inserted text is not searched again
  EXPECT_EQ(run("aaaa", "aa", "a"), "aa");
  EXPECT_EQ(run("abc", "", "z"), "abc");
  EXPECT_EQ(run("", "a", "b"), "");
}

// The one-pass codecs against the literal model, on random and adversarial texts.
TEST(URL, OnePassMatchesTheLiteralModel) {
  std::mt19937 rng(30);
  const std::vector<std::string> tokens = {"%",  "%4",  "%41", "%%",  "%zz", "+",   "=",
                                           "=4", "=3D", "%e9", "%E9", " ",   "\r\n"};
  for (int round = 0; round < 400; ++round) {
    size_t n = rng() % (round < 200 ? 12 : 400);
    std::string s = codectest::RandomText(rng, n, round % 2 ? "%+=AF0a9 z\xE9\x8E/?_~<" : "",
                                          round % 3 ? tokens : std::vector<std::string>{});
    for (int32_t o : {0, 1, 2, 3, 4, 5, 6, 7, -1, -5}) {
      ASSERT_EQ(URLEnc(s, o), oracle::URLEncode(s, o)) << "options " << o << " on " << s;
      ASSERT_EQ(URLDec(s, o), oracle::DecodeHexEscapes(s, o)) << "options " << o << " on " << s;
    }
    for (int32_t o : {0, 1}) ASSERT_EQ(QPDec(s, o), oracle::QPDecode(s, o)) << s;
  }
}

TEST(QuotedPrintable, OnePassDecodeMatchesTheLiteralModel) {
  std::mt19937 rng(59);
  const std::vector<std::string> tokens = {"=\r\n",      "=\r", "=",        "\r", "\n",
                                           "==\r\n\r\n", "=3D", "=\r=\r\n", "=4", "1"};
  for (int round = 0; round < 500; ++round) {
    std::string s = codectest::RandomText(rng, rng() % 60, "=\r\n3Dax", tokens);
    for (int32_t o : {0, 1}) ASSERT_EQ(QPDec(s, o), oracle::QPDecode(s, o)) << s;
  }
}
