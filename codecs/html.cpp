// HTML entities over Mac Roman text.
//
// The encoding is defined as a fixed sequence of whole-text substitutions (curly quotes,
// markup characters, the named entities, a few ASCII stand-ins, the character-set table,
// numeric references). Every substitution but one replaces a single byte and nothing it
// inserts is touched by a later one except through the markup step, so the sequence is
// the same as expanding each input byte on its own: the expansions are built once from
// the substitution list, and each text is walked once. The exception, "& " in mode 1,
// looks at the next byte.
//
// Decoding walks the text twice: numeric references first, then the named ones. Entity
// names are "&", letters and digits, ";", so two names never overlap and at most one starts at any
// "&". The only decoded byte that can start a later name is the "&" of "&amp;" (mode 0),
// which then may combine with the text after it ("&amp;eacute;" is e acute); the walk
// looks one name ahead for exactly that case.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "codecs/text_codecs.h"

namespace vrx {

const HtmlEntity kHtmlEntities[94] = {
    {"&nbsp;", 0xCA, false},
    {"&iexcl;", 0xC1, false},
    {"&cent;", 0xA2, false},
    {"&pound;", 0xA3, false},
    {"&curren;", 0xDB, false},
    {"&yen;", 0xB4, false},
    {"&brvbar;", 0x7C, true},
    {"&sect;", 0xA4, false},
    {"&uml;", 0xAC, false},
    {"&copy;", 0xA9, false},
    {"&ordf;", 0xBB, false},
    {"&laquo;", 0xC7, false},
    {"&not;", 0xC2, false},
    {"&shy;", 0xD0, false},
    {"&reg;", 0xA8, false},
    {"&macr;", 0xF8, false},
    {"&deg;", 0xA1, false},
    {"&plusmn;", 0xB1, false},
    // Superscripts have no Mac Roman character; they decode to the bytes the default
    // ISO2Mac table pairs with ISO-8859-1 0xB2, 0xB3 and 0xB9.
    {"&sup2;", 0xB2, true},
    {"&sup3;", 0xB3, true},
    {"&acute;", 0xAB, false},
    {"&micro;", 0xB5, false},
    {"&para;", 0xA6, false},
    {"&middot;", 0xE1, true},
    {"&cedil;", 0xFC, false},
    {"&sup1;", 0xB9, true},
    {"&ordm;", 0xBC, false},
    {"&raquo;", 0xC8, false},
    {"&iquest;", 0xC0, false},
    {"&Agrave;", 0xCB, false},
    {"&Aacute;", 0xE7, false},
    {"&Acirc;", 0xE5, false},
    {"&Atilde;", 0xCC, false},
    {"&Auml;", 0x80, false},
    {"&Aring;", 0x81, false},
    {"&AElig;", 0xAE, false},
    {"&Ccedil;", 0x82, false},
    {"&Egrave;", 0xE9, false},
    {"&Eacute;", 0x83, false},
    {"&Ecirc;", 0xE6, false},
    {"&Euml;", 0xE8, false},
    {"&Igrave;", 0xED, false},
    {"&Iacute;", 0xEA, false},
    {"&Icirc;", 0xEB, false},
    {"&Iuml;", 0xEC, false},
    {"&ETH;", 0xDC, false},
    {"&Ntilde;", 0x84, false},
    {"&Ograve;", 0xF1, false},
    {"&Oacute;", 0xEE, false},
    {"&Ocirc;", 0xEF, false},
    {"&Otilde;", 0xCD, false},
    {"&Ouml;", 0x85, false},
    {"&times;", 0x78, true},
    {"&Oslash;", 0xAF, false},
    {"&Ugrave;", 0xF4, false},
    {"&Uacute;", 0xF2, false},
    {"&Ucirc;", 0xF3, false},
    {"&Uuml;", 0x86, false},
    {"&Yacute;", 0xA0, false},
    {"&THORN;", 0xDE, false},
    {"&szlig;", 0xA7, false},
    {"&agrave;", 0x88, false},
    {"&aacute;", 0x87, false},
    {"&acirc;", 0x89, false},
    {"&atilde;", 0x8B, false},
    {"&auml;", 0x8A, false},
    {"&aring;", 0x8C, false},
    {"&aelig;", 0xBE, false},
    {"&ccedil;", 0x8D, false},
    {"&egrave;", 0x8F, false},
    {"&eacute;", 0x8E, false},
    {"&ecirc;", 0x90, false},
    {"&euml;", 0x91, false},
    {"&igrave;", 0x93, false},
    {"&iacute;", 0x92, false},
    {"&icirc;", 0x94, false},
    {"&iuml;", 0x95, false},
    {"&eth;", 0xDD, false},
    {"&ntilde;", 0x96, false},
    {"&ograve;", 0x98, false},
    {"&oacute;", 0x97, false},
    {"&ocirc;", 0x99, false},
    {"&otilde;", 0x9B, false},
    {"&ouml;", 0x9A, false},
    {"&divide;", 0xD6, false},
    {"&oslash;", 0xBF, false},
    {"&ugrave;", 0x9D, false},
    {"&uacute;", 0x9C, false},
    {"&ucirc;", 0x9E, false},
    {"&uuml;", 0x9F, false},
    {"&yacute;", 0xE0, false},
    {"&thorn;", 0xDF, false},
    {"&yuml;", 0xD8, false},
    {"&euro;", 0xAD, false},
};

namespace {

// ---- encoding ----------------------------------------------------------------------

struct Substitution {
  uint8_t byte;
  std::string_view text;
};
constexpr Substitution kEarly[] = {{0xB2, "<="}, {0xB3, ">="}, {0xD2, "\""},
                                   {0xD3, "\""}, {0xD4, "'"},  {0xD5, "'"}};
constexpr Substitution kMarkup[] = {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}};
constexpr Substitution kLate[] = {{0xA5, "*"},  {0xAA, "(TM)"}, {0xC9, "..."},
                                  {0xCF, "oe"}, {0xCE, "OE"},   {0xAD, "&euro;"}};

// Replaces every byte b in s by text, never touching what it inserts.
void Substitute(std::string& s, uint8_t b, std::string_view text) {
  std::string out;
  for (char c : s) {
    if (uint8_t(c) == b)
      out.append(text);
    else
      out.push_back(c);
  }
  s = std::move(out);
}

// What the substitution steps make of each single byte, before the character-set table.
struct Expansions {
  std::string text[256];
  bool same[256];  // no substitution: the byte itself
};

Expansions BuildExpansions(bool markup) {
  Expansions e;
  for (int c = 0; c < 256; ++c) {
    std::string s(1, char(c));
    for (const Substitution& sub : kEarly) Substitute(s, sub.byte, sub.text);
    if (markup)
      for (const Substitution& sub : kMarkup) Substitute(s, sub.byte, sub.text);
    for (const HtmlEntity& ent : kHtmlEntities)
      if (!ent.decodeOnly) Substitute(s, ent.mac, ent.name);
    for (const Substitution& sub : kLate) Substitute(s, sub.byte, sub.text);
    e.same[c] = s.size() == 1 && uint8_t(s[0]) == c;
    e.text[c] = std::move(s);
  }
  return e;
}

const Expansions& ExpansionsFor(bool markup) {
  static const Expansions withMarkup = BuildExpansions(true);
  static const Expansions plain = BuildExpansions(false);
  return markup ? withMarkup : plain;
}

// A byte after the character-set table: itself below 0x80, else "&#ddd;". Returns the
// length written (out needs 6 bytes).
inline size_t PutIsoByte(char* out, uint8_t t) {
  if (t < 0x80) {
    out[0] = char(t);
    return 1;
  }
  out[0] = '&';
  out[1] = '#';
  out[2] = char('0' + t / 100);
  out[3] = char('0' + t / 10 % 10);
  out[4] = char('0' + t % 10);
  out[5] = ';';
  return 6;
}

bool AsciiIdentity(const uint8_t* table) {
  if (!table) return true;
  for (int b = 0; b < 128; ++b)
    if (table[b] != b) return false;
  return true;
}

// ---- decoding ----------------------------------------------------------------------

struct NameCode {
  std::string_view letters;  // what lies between "&" and ";"
  int16_t order;             // pass order: markup -4..-1, then the table 0..93
  uint8_t byte;
};

constexpr size_t kLongestName = 6;  // letters of the longest entity name

std::array<NameCode, 98> BuildNames() {
  std::array<NameCode, 98> names{};
  names[0] = {"amp", -4, '&'};
  names[1] = {"lt", -3, '<'};
  names[2] = {"gt", -2, '>'};
  names[3] = {"quot", -1, '"'};
  for (int k = 0; k < 94; ++k) {
    std::string_view n = kHtmlEntities[k].name;
    names[4 + k] = {n.substr(1, n.size() - 2), int16_t(k), kHtmlEntities[k].mac};
  }
  std::sort(names.begin(), names.end(),
            [](const NameCode& a, const NameCode& b) { return a.letters < b.letters; });
  return names;
}

const NameCode* FindName(std::string_view letters, bool markup) {
  static const std::array<NameCode, 98> names = BuildNames();
  auto it = std::lower_bound(names.begin(), names.end(), letters,
                             [](const NameCode& a, std::string_view l) { return a.letters < l; });
  if (it == names.end() || it->letters != letters) return nullptr;
  if (it->order < 0 && !markup) return nullptr;
  return &*it;
}

inline bool IsNameChar(uint8_t c) {
  return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || (c >= '0' && c <= '9');
}

// The letters and digits of a name starting at s[at] (just after an "&") when ";" closes them.
bool NameAt(std::string_view s, size_t at, std::string_view* letters) {
  size_t q = at;
  while (q < s.size() && q - at <= kLongestName && IsNameChar(uint8_t(s[q]))) ++q;
  if (q == at || q >= s.size() || s[q] != ';' || q - at > kLongestName) return false;
  *letters = s.substr(at, q - at);
  return true;
}

// Numeric references "&#" digits, closed by the first byte that is not a digit (consumed,
// whatever it is) or by the end of the text. A value above 255 has no table entry: the
// reference is left as it stands.
std::string DecodeNumeric(std::string_view in, const uint8_t* isoToMac) {
  std::string out;
  out.reserve(in.size());
  const size_t n = in.size();
  size_t i = 0;
  while (i < n) {
    const char* amp = static_cast<const char*>(std::memchr(in.data() + i, '&', n - i));
    size_t at = amp ? size_t(amp - in.data()) : n;
    out.append(in.data() + i, at - i);
    i = at;
    if (i >= n) break;
    if (i + 1 < n && in[i + 1] == '#') {
      size_t j = i + 2;
      uint32_t v = 0;
      while (j < n && in[j] >= '0' && in[j] <= '9') {
        v = std::min<uint32_t>(v * 10 + uint32_t(in[j] - '0'), 1000);
        ++j;
      }
      if (v <= 255) {
        out.push_back(char(isoToMac ? isoToMac[v] : uint8_t(v)));
        i = j < n ? j + 1 : n;
        continue;
      }
    }
    out.push_back('&');
    ++i;
  }
  return out;
}

std::string DecodeNamed(std::string_view s, bool markup) {
  std::string out;
  out.reserve(s.size());
  const size_t n = s.size();
  size_t p = 0;
  while (p < n) {
    const char* amp = static_cast<const char*>(std::memchr(s.data() + p, '&', n - p));
    size_t at = amp ? size_t(amp - s.data()) : n;
    out.append(s.data() + p, at - p);
    p = at;
    if (p >= n) break;
    std::string_view letters;
    const NameCode* first = NameAt(s, p + 1, &letters) ? FindName(letters, markup) : nullptr;
    if (!first) {
      out.push_back('&');
      ++p;
      continue;
    }
    size_t after = p + 1 + letters.size() + 1;
    if (first->order == -4) {
      // The "&" that "&amp;" leaves may start a name of any later pass.
      std::string_view next;
      const NameCode* second = NameAt(s, after, &next) ? FindName(next, markup) : nullptr;
      if (second && second->order > first->order) {
        out.push_back(char(second->byte));
        p = after + next.size() + 1;
        continue;
      }
    }
    out.push_back(char(first->byte));
    p = after;
  }
  return out;
}

}  // namespace

std::string HTMLEncodeBytes(std::string_view mac, int32_t mode, const uint8_t* macToIso) {
  const bool markup = mode == 0;
  const bool ampSpace = mode != 0 && mode != 2;
  const Expansions& ex = ExpansionsFor(markup);
  const bool fast = AsciiIdentity(macToIso);
  const size_t n = mac.size();
  // Longest unit: an 8-byte entity name (48 bytes when every byte of it turns numeric).
  const size_t unitMax = fast ? 8 : 48;
  std::string out(std::min(n * unitMax, kTextLimit + unitMax), '\0');
  char* const base = out.data();
  char* o = base;
  const char* const limit = base + kTextLimit;
  for (size_t i = 0; i < n; ++i) {
    uint8_t c = uint8_t(mac[i]);
    std::string_view text = ex.text[c];
    bool same = ex.same[c];
    if (ampSpace && c == '&' && i + 1 < n && mac[i + 1] == ' ') {
      text = "&amp;";
      same = false;
    }
    if (fast) {
      if (same) {
        char unit[6];
        size_t len = PutIsoByte(unit, macToIso ? macToIso[c] : c);
        if (o + len > limit) break;
        std::memcpy(o, unit, len);
        o += len;
      } else {
        // Expansions are ASCII, which the table leaves alone.
        if (o + text.size() > limit) break;
        std::memcpy(o, text.data(), text.size());
        o += text.size();
      }
    } else {
      char unit[48];
      size_t len = 0;
      for (char t : text) len += PutIsoByte(unit + len, macToIso[uint8_t(t)]);
      if (o + len > limit) break;
      std::memcpy(o, unit, len);
      o += len;
    }
  }
  out.resize(size_t(o - base));
  return out;
}

std::string HTMLDecodeBytes(std::string_view html, int32_t mode, const uint8_t* isoToMac) {
  return DecodeNamed(DecodeNumeric(html, isoToMac), mode == 0);
}

std::string HTMLToTextBytes(std::string_view html, const uint8_t* isoToMac) {
  std::string text;
  text.reserve(html.size());
  size_t i = 0;
  while (i < html.size()) {
    size_t lt = html.find('<', i);
    if (lt == std::string_view::npos) {
      text.append(html.substr(i));
      break;
    }
    text.append(html.substr(i, lt - i));
    size_t gt = html.find('>', lt + 1);
    if (gt == std::string_view::npos) break;  // an unclosed tag drops the rest
    i = gt + 1;
  }
  return HTMLDecodeBytes(text, 0, isoToMac);
}

}  // namespace vrx
