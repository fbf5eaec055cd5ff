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

// What the substitution steps make of each single byte, before the character-set table,
// padded to 8 bytes so that a unit is copied with one fixed-size move. A byte that no
// step touches has length 0 when it is 0x80 or above: the table decides what it becomes.
struct Unit {
  char bytes[kHTMLUnit];
  uint8_t length;
};
struct Expansions {
  Unit unit[256];
};

Expansions BuildExpansions(bool markup) {
  Expansions e{};
  for (int c = 0; c < 256; ++c) {
    std::string s(1, char(c));
    for (const Substitution& sub : kEarly) Substitute(s, sub.byte, sub.text);
    if (markup)
      for (const Substitution& sub : kMarkup) Substitute(s, sub.byte, sub.text);
    for (const HtmlEntity& ent : kHtmlEntities)
      if (!ent.decodeOnly) Substitute(s, ent.mac, ent.name);
    for (const Substitution& sub : kLate) Substitute(s, sub.byte, sub.text);
    bool untouched = s.size() == 1 && uint8_t(s[0]) == c;
    Unit& u = e.unit[c];
    // Every expansion is ASCII and at most kHTMLUnit bytes (the tests check both).
    u.length = untouched && c >= 0x80 ? 0 : uint8_t(std::min(s.size(), kHTMLUnit));
    std::memcpy(u.bytes, s.data(), u.length);
  }
  return e;
}

const Expansions& ExpansionsFor(bool markup) {
  static const Expansions withMarkup = BuildExpansions(true);
  static const Expansions plain = BuildExpansions(false);
  return markup ? withMarkup : plain;
}

// "&#ddd;" for every byte from 0x80 up, padded to 8 bytes.
struct NumericRefs {
  char ref[128][8];
};
constexpr NumericRefs MakeNumericRefs() {
  NumericRefs r{};
  for (int t = 0x80; t < 0x100; ++t) {
    char* p = r.ref[t - 0x80];
    p[0] = '&';
    p[1] = '#';
    p[2] = char('0' + t / 100);
    p[3] = char('0' + t / 10 % 10);
    p[4] = char('0' + t % 10);
    p[5] = ';';
  }
  return r;
}
constexpr NumericRefs kNumericRefs = MakeNumericRefs();

// A byte after the character-set table: itself below 0x80, else its numeric reference.
inline uint8_t* PutIsoByte(uint8_t* o, uint8_t t) {
  if (t < 0x80) {
    *o = t;
    return o + 1;
  }
  std::memcpy(o, kNumericRefs.ref[t - 0x80], 6);
  return o + 6;
}

// ---- decoding ----------------------------------------------------------------------

// Entity names by what lies between "&" and ";", in an open-addressed hash table.
struct NameCode {
  std::string_view letters;
  int16_t order;  // pass order: markup -4..-1, then the table 0..93
  uint8_t byte;
};
constexpr size_t kLongestName = 6;
constexpr uint32_t kBuckets = 512;

inline uint32_t NameHash(const uint8_t* p, size_t n) {
  uint32_t h = uint32_t(n) * 0x9E3779B1u;
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x01000193u;
  return (h >> 7) & (kBuckets - 1);
}

struct NameTable {
  NameCode slot[kBuckets];  // empty slots have no letters
};

NameTable BuildNames() {
  NameTable t{};
  auto add = [&](std::string_view letters, int16_t order, uint8_t byte) {
    uint32_t h = NameHash(reinterpret_cast<const uint8_t*>(letters.data()), letters.size());
    while (!t.slot[h].letters.empty()) h = (h + 1) & (kBuckets - 1);
    t.slot[h] = {letters, order, byte};
  };
  add("amp", -4, '&');
  add("lt", -3, '<');
  add("gt", -2, '>');
  add("quot", -1, '"');
  for (int k = 0; k < 94; ++k) {
    std::string_view n = kHtmlEntities[k].name;
    add(n.substr(1, n.size() - 2), int16_t(k), kHtmlEntities[k].mac);
  }
  return t;
}

const NameCode* FindName(const uint8_t* p, size_t n, bool markup) {
  static const NameTable names = BuildNames();
  for (uint32_t h = NameHash(p, n);; h = (h + 1) & (kBuckets - 1)) {
    const NameCode& c = names.slot[h];
    if (c.letters.empty()) return nullptr;
    if (c.letters.size() == n && std::memcmp(c.letters.data(), p, n) == 0)
      return c.order < 0 && !markup ? nullptr : &c;
  }
}

inline bool IsNameChar(uint8_t c) {
  return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || (c >= '0' && c <= '9');
}

// The entity whose name starts at s[at] (just after an "&"), when ";" closes it; *end is
// then the index just past the ";".
const NameCode* NameAt(const uint8_t* s, size_t n, size_t at, bool markup, size_t* end) {
  size_t q = at;
  while (q < n && q - at <= kLongestName && IsNameChar(s[q])) ++q;
  if (q == at || q >= n || s[q] != ';' || q - at > kLongestName) return nullptr;
  *end = q + 1;
  return FindName(s + at, q - at, markup);
}

// Numeric references "&#" digits, closed by the first byte that is not a digit (consumed,
// whatever it is) or by the end of the text. A value above 255 has no table entry: the
// reference is left as it stands. Writes to out (at most n bytes). The walk looks for the
// "#", far rarer in HTML than "&", and copies the stretches between.
size_t DecodeNumeric(const uint8_t* in, size_t n, const uint8_t* isoToMac, uint8_t* out) {
  uint8_t* o = out;
  size_t from = 0, k = 0;
  while (k < n) {
    auto* hash = static_cast<const uint8_t*>(std::memchr(in + k, '#', n - k));
    if (!hash) break;
    size_t at = size_t(hash - in);
    k = at + 1;
    if (at < from + 1 || in[at - 1] != '&') continue;
    size_t j = at + 1;
    uint32_t v = 0;
    while (j < n && in[j] >= '0' && in[j] <= '9') {
      v = std::min<uint32_t>(v * 10 + uint32_t(in[j] - '0'), 1000);
      ++j;
    }
    if (v > 255) continue;
    size_t start = at - 1;
    std::memcpy(o, in + from, start - from);
    o += start - from;
    *o++ = isoToMac ? isoToMac[v] : uint8_t(v);
    from = j < n ? j + 1 : n;
    k = from;
  }
  std::memcpy(o, in + from, n - from);
  return size_t(o - out) + (n - from);
}

// The named entities, in place (the text only shrinks, so writing stays behind reading).
// Entities are dense in encoded text, so the stretches between are copied byte by byte.
size_t DecodeNamed(uint8_t* s, size_t n, bool markup) {
  uint8_t* o = s;
  size_t p = 0;
  while (p < n) {
    if (s[p] != '&') {
      *o++ = s[p++];
      continue;
    }
    size_t after = 0;
    const NameCode* first = NameAt(s, n, p + 1, markup, &after);
    if (!first) {
      *o++ = '&';
      ++p;
      continue;
    }
    if (first->order == -4) {
      // The "&" that "&amp;" leaves may start a name of any later pass.
      size_t end = 0;
      const NameCode* second = NameAt(s, n, after, markup, &end);
      if (second && second->order > first->order) {
        *o++ = second->byte;
        p = end;
        continue;
      }
    }
    *o++ = first->byte;
    p = after;
  }
  return size_t(o - s);
}

inline const uint8_t* Bytes(std::string_view s) {
  return reinterpret_cast<const uint8_t*>(s.data());
}

}  // namespace

bool HTMLTableKeepsAscii(const uint8_t* table) {
  static constexpr auto kAscii = [] {
    std::array<uint8_t, 128> a{};
    for (int b = 0; b < 128; ++b) a[b] = uint8_t(b);
    return a;
  }();
  return !table || std::memcmp(table, kAscii.data(), kAscii.size()) == 0;
}

size_t HTMLEncodeTo(const uint8_t* in, size_t n, int32_t mode, const uint8_t* table, uint8_t* out) {
  const bool markup = mode == 0;
  const bool ampSpace = mode != 0 && mode != 2;
  const Unit* units = ExpansionsFor(markup).unit;
  const Unit ampUnit = {{'&', 'a', 'm', 'p', ';'}, 5};
  uint8_t* o = out;
  const uint8_t* const limit = out + kTextLimit;
  if (HTMLTableKeepsAscii(table)) {
    // Expansions are ASCII, which the table leaves alone: only untouched high bytes
    // go through it.
    for (size_t i = 0; i < n; ++i) {
      uint8_t c = in[i];
      const Unit* u = &units[c];
      if (ampSpace && c == '&' && i + 1 < n && in[i + 1] == ' ') u = &ampUnit;
      if (u->length) {
        if (o + u->length > limit) break;
        std::memcpy(o, u->bytes, kHTMLUnit);  // the capacity leaves room for the padding
        o += u->length;
      } else {
        uint8_t t = table ? table[c] : c;
        if (o + (t < 0x80 ? 1 : 6) > limit) break;
        if (t < 0x80) {
          *o++ = t;
        } else {
          std::memcpy(o, kNumericRefs.ref[t - 0x80], 8);
          o += 6;
        }
      }
    }
    return size_t(o - out);
  }
  for (size_t i = 0; i < n; ++i) {
    uint8_t c = in[i];
    const Unit* u = &units[c];
    if (ampSpace && c == '&' && i + 1 < n && in[i + 1] == ' ') u = &ampUnit;
    uint8_t unit[kHTMLUnit * 6];
    uint8_t* w = unit;
    if (u->length == 0)
      w = PutIsoByte(w, table[c]);
    else
      for (size_t k = 0; k < u->length; ++k) w = PutIsoByte(w, table[uint8_t(u->bytes[k])]);
    size_t len = size_t(w - unit);
    if (o + len > limit) break;
    std::memcpy(o, unit, len);
    o += len;
  }
  return size_t(o - out);
}

size_t HTMLDecodeTo(const uint8_t* in, size_t n, int32_t mode, const uint8_t* table, uint8_t* out) {
  if (n == 0) return 0;
  size_t m = DecodeNumeric(in, n, table, out);
  return DecodeNamed(out, m, mode == 0);
}

std::string HTMLEncodeBytes(std::string_view mac, int32_t mode, const uint8_t* macToIso) {
  size_t unit = HTMLTableKeepsAscii(macToIso) ? kHTMLUnit : kHTMLUnit * 6;
  std::string out(EncodedCapacity(mac.size(), unit), '\0');
  out.resize(
      HTMLEncodeTo(Bytes(mac), mac.size(), mode, macToIso, reinterpret_cast<uint8_t*>(out.data())));
  return out;
}

std::string HTMLDecodeBytes(std::string_view html, int32_t mode, const uint8_t* isoToMac) {
  std::string out(html.size(), '\0');
  out.resize(HTMLDecodeTo(Bytes(html), html.size(), mode, isoToMac,
                          reinterpret_cast<uint8_t*>(out.data())));
  return out;
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
