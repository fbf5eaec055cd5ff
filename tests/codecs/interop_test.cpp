// Interoperability with Python's standard library as the real peer: texts encoded here
// decode there to the same characters, and what Python encodes decodes here.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "codecs/text_codecs.h"
#include "helpers.h"

using codectest::OwnedText;
using codectest::Take;

namespace {

std::string Hex(std::string_view s) {
  static const char* d = "0123456789abcdef";
  std::string h;
  for (char c : s) {
    h.push_back(d[uint8_t(c) >> 4]);
    h.push_back(d[uint8_t(c) & 15]);
  }
  return h.empty() ? "-" : h;
}
std::string Unhex(std::string_view h) {
  std::string s;
  for (size_t i = 0; h != "-" && i + 1 < h.size(); i += 2)
    s.push_back(char(std::stoi(std::string(h.substr(i, 2)), nullptr, 16)));
  return s;
}

// Line i of the script's input is "<mac text> <our encoding>" in hex. The script checks
// that its library decodes our encoding to the text's characters ("ok" or "bad"), then
// writes its own encoding of the text (hex), one line per text. argv[3] names the codec.
constexpr const char* kScript = R"PY(
import base64, quopri, urllib.parse, html
kind = sys.argv[3]
out = []
for line in open(sys.argv[1]):
    t, e = [bytes.fromhex(x) if x != '-' else b'' for x in line.split()]
    chars = t.decode('mac_roman')
    if kind == 'base64':
        mine, theirs = base64.b64decode(e, validate=True) == t, base64.b64encode(t)
    elif kind == 'qp':
        mine = quopri.decodestring(e).decode('latin-1') == chars
        # Python writes lines with LF; mail carries them with CR LF.
        lf = chars.replace('\r\n', '\n').encode('latin-1')
        theirs = quopri.encodestring(lf).replace(b'\n', b'\r\n')
    elif kind == 'url':
        mine = urllib.parse.unquote_plus(e.decode('ascii'), encoding='latin-1') == chars
        theirs = urllib.parse.quote_plus(chars, encoding='latin-1').encode('ascii')
    else:
        mine = html.unescape(e.decode('ascii')) == chars
        named = ''.join('&%s;' % html.entities.codepoint2name[ord(c)]
                        if ord(c) in html.entities.codepoint2name and ord(c) > 127 else c
                        for c in html.escape(chars, quote=False))
        theirs = named.encode('ascii', 'xmlcharrefreplace')
    out.append(('ok ' if mine else 'bad ') + (theirs.hex() or '-'))
open(sys.argv[2], 'w').write('\n'.join(out) + '\n')
)PY";

// Mac Roman bytes whose characters ISO-8859-1 also has (the ones the codecs carry
// losslessly through the character-set step), plus CR LF, TAB and space.
std::string SharedAlphabet() {
  bool ok = false;
  std::string out = codectest::RunPython(
      "s = bytes(b for b in range(32, 256) if b != 127 and "
      "bytes([b]).decode('mac_roman') in bytes(range(256)).decode('latin-1'))\n"
      "open(sys.argv[2], 'wb').write(s)\n",
      "", &ok);
  EXPECT_TRUE(ok);
  return out + "\r\n\t     ";
}

using Encoder = std::string (*)(const std::string&);
using Decoder = std::string (*)(const std::string&);

void RoundTripWithPython(const std::string& kind, Encoder encode, Decoder decode) {
  static const std::string alphabet = SharedAlphabet();
  std::mt19937 rng(7);
  std::vector<std::string> texts;
  std::string input;
  for (int i = 0; i < 120; ++i) {
    size_t n = i < 10 ? size_t(i) : rng() % 400;
    std::string t = codectest::RandomText(rng, n, alphabet);
    if (kind == "qp") {
      // Mail text: line ends are CR LF pairs.
      for (size_t p = 0; (p = t.find('\r', p)) != std::string::npos; p += 2)
        if (p + 1 >= t.size() || t[p + 1] != '\n') t.insert(p + 1, "\n");
      for (size_t p = 0; (p = t.find('\n', p)) != std::string::npos; ++p)
        if (p == 0 || t[p - 1] != '\r') t[p] = 'n';
    }
    texts.push_back(t);
    input += Hex(t) + " " + Hex(encode(t)) + "\n";
  }
  bool ok = false;
  std::string out = codectest::RunPython("sys.argv.append('" + kind + "')\n" + kScript, input, &ok);
  ASSERT_TRUE(ok) << kind;
  std::istringstream lines(out);
  std::string verdict, theirs;
  for (size_t i = 0; i < texts.size(); ++i) {
    ASSERT_TRUE(lines >> verdict >> theirs) << kind << " line " << i;
    EXPECT_EQ(verdict, "ok") << kind << ": Python decodes ours wrongly for " << Hex(texts[i]);
    EXPECT_EQ(decode(Unhex(theirs)), texts[i]) << kind << ": we decode Python's " << theirs;
  }
}

}  // namespace

TEST(Interop, Base64WithPython) {
  RoundTripWithPython(
      "base64", [](const std::string& t) { return Take(vrx::Base64Encode(OwnedText(t).t, 1)); },
      [](const std::string& e) { return Take(vrx::Base64Decode(OwnedText(e).t)); });
}

TEST(Interop, QuotedPrintableWithPython) {
  RoundTripWithPython(
      "qp", [](const std::string& t) { return Take(vrx::QPEncode(OwnedText(t).t, 0)); },
      [](const std::string& e) { return Take(vrx::QPDecode(OwnedText(e).t, 0)); });
}

TEST(Interop, URLWithPython) {
  RoundTripWithPython(
      "url", [](const std::string& t) { return Take(vrx::URLEncode(OwnedText(t).t, 0)); },
      [](const std::string& e) { return Take(vrx::DecodeHexEscapes(OwnedText(e).t, 0)); });
  RoundTripWithPython(
      "url", [](const std::string& t) { return Take(vrx::URLEncode(OwnedText(t).t, 2)); },
      [](const std::string& e) { return Take(vrx::DecodeHexEscapes(OwnedText(e).t, 0)); });
}

TEST(Interop, HTMLWithPython) {
  RoundTripWithPython(
      "html", [](const std::string& t) { return Take(vrx::HTMLEncode(OwnedText(t).t, 0)); },
      [](const std::string& e) { return Take(vrx::HTMLDecode(OwnedText(e).t, 0)); });
}
