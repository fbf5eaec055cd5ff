#include <gtest/gtest.h>

#include <random>
#include <sstream>
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
std::string Hex(std::string_view s) {
  std::string h;
  for (char c : s) h += "0123456789abcdef"[uint8_t(c) >> 4], h += "0123456789abcdef"[c & 15];
  return h;
}
}  // namespace

TEST(QuotedPrintable, EncoderEscapesAndSoftBreaks) {
  const std::string x75(75, 'x'), y75(75, 'y'), soft = "=\r\n";
  // Enough soft-broken lines of "x" to leave 7 bytes below the text limit.
  const std::string nearLimit = [&] {
    std::string s;
    for (int k = 0; k < 420; ++k) s += x75 + soft;
    return s;
  }();
  const struct {
    std::string in;
    int32_t options;
    std::string out;
  } rows[] = {
      {"", 1, ""},
      {"a=b", 1, "a=3Db"},
      {"\xE9", 1, "=E9"},
      {"\x8E", 0, "=E9"},  // Mac Roman e acute is ISO-8859-1 0xE9
      // White space before a line end, a bare CR or LF, or the end of the text is escaped.
      {"a \r\nb\t\r\nc ", 1, "a=20\r\nb=09\r\nc=20"},
      {"a \nb\t\rc\t", 1, "a=20\nb=09\rc=09"},
      {"a b", 1, "a b"},
      {std::string(80, 'x'), 1, x75 + soft + "xxxxx"},
      // An escape met beyond column 72 gets a soft break first.
      {std::string(73, 'x') + "=", 1, std::string(73, 'x') + soft + "=3D"},
      {std::string(72, 'x') + "=", 1, std::string(72, 'x') + "=3D"},
      // Column 76 is taken only right before CR LF, and CR LF starts the count again.
      {x75 + "x\r\n" + std::string(300, 'y'), 1,
       x75 + "x\r\n" + y75 + soft + y75 + soft + y75 + soft + y75},
      {x75 + "y\rz", 1, x75 + soft + "y\rz"},
      {x75 + "=\r\n", 1, x75 + soft + "=3D\r\n"},
      // A text cut at the limit drops the bare space it would otherwise end with.
      {std::string(420 * 75 + 6, 'x') + " yy", 1, nearLimit + "xxxxxx"},
  };
  for (const auto& r : rows) {
    const std::string got = QPEnc(r.in, r.options);
    EXPECT_TRUE(got == r.out) << "for " << Hex(r.in.substr(0, 100)) << "\ngot " << Hex(got.substr(0, 300));
  }
}

// Python's decoder is the peer: any text, CR LF, bare CR and LF and white space included,
// comes back byte for byte, and every encoded line keeps to the mail rules.
TEST(QuotedPrintable, EncodedTextsKeepMailRulesAndDecodeInPython) {
  std::mt19937 rng(2045);
  const std::vector<std::string> tokens = {"\r\n", "\r\n", " \r\n", "\t\r\n", "=",
                                           "\r",   "\n",   " ",      "\t",     "\r\r\n"};
  std::string input;
  std::vector<std::string> texts;
  for (int round = 0; round < 300; ++round) {
    // Runs of 60 to 90 characters between line ends hit every column near the limit.
    std::string t;
    for (size_t lines = rng() % 6; lines-- > 0;)
      t += codectest::RandomText(rng, 60 + rng() % 30, round % 2 ? "" : "ab \t=\xE9", tokens) +
           (rng() % 3 ? "\r\n" : "");
    t += std::string(rng() % 3, " \t"[rng() % 2]);
    std::string e = QPEnc(t, 1);
    size_t lineStart = 0;
    for (size_t p = 0; p <= e.size(); ++p) {
      bool end = p == e.size() || (e[p] == '\r' && p + 1 < e.size() && e[p + 1] == '\n');
      if (!end) continue;
      ASSERT_LE(p - lineStart, 76u) << "line at " << lineStart << " of " << e;
      ASSERT_TRUE(p == lineStart || (e[p - 1] != ' ' && e[p - 1] != '\t')) << e;
      lineStart = p + 2;
    }
    for (size_t p = 0; (p = e.find_first_of("\r\n", p)) != std::string::npos; ++p)
      ASSERT_TRUE(p == 0 || (e[p - 1] != ' ' && e[p - 1] != '\t')) << e;
    texts.push_back(t);
    input += Hex(e) + "\n";
  }
  bool ok = false;
  std::string decoded = codectest::RunPython(
      "import quopri\n"
      "out = [quopri.decodestring(bytes.fromhex(l.strip())).hex() for l in open(sys.argv[1])]\n"
      "open(sys.argv[2], 'w').write('\\n'.join(out) + '\\n')\n",
      input, &ok);
  ASSERT_TRUE(ok);
  std::istringstream lines(decoded);
  std::string hex;
  for (const std::string& t : texts) {
    ASSERT_TRUE(std::getline(lines, hex));
    EXPECT_EQ(hex, Hex(t));
  }
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
