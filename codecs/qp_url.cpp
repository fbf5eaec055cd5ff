// Quoted-printable, URL escapes and the line-end conversions: one walk over the input
// each, appending to the result.
#include <algorithm>
#include <array>
#include <cstring>

#include "codecs/text_codecs.h"

namespace vrx {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

constexpr std::array<int8_t, 256> MakeHexValues() {
  std::array<int8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    t[c] = c >= '0' && c <= '9'   ? int8_t(c - '0')
           : c >= 'A' && c <= 'F' ? int8_t(c - 'A' + 10)
           : c >= 'a' && c <= 'f' ? int8_t(c - 'a' + 10)
                                  : int8_t(-1);
  }
  return t;
}
constexpr std::array<int8_t, 256> kHexValue = MakeHexValues();

// URL modes: what becomes of each byte.
enum : uint8_t { kKeep = 0, kEscape = 1, kPlus = 2 };

constexpr bool IsAlnum(int c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr std::array<uint8_t, 256> MakeUrlMode(int mode) {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    if (mode == 0) {
      t[c] = c == ' ' ? kPlus : (c < 0x30 || c == '<' || c == '>' || c >= 0x7F) ? kEscape : kKeep;
    } else if (mode == 1) {
      t[c] = (c <= 0x20 || c == '%' || c == '<' || c == '>' || c >= 0x7F) ? kEscape : kKeep;
    } else {
      t[c] = c == ' ' ? kPlus : (IsAlnum(c) || c == '?' || c == '_') ? kKeep : kEscape;
    }
  }
  return t;
}
constexpr std::array<uint8_t, 256> kUrlModes[3] = {MakeUrlMode(0), MakeUrlMode(1), MakeUrlMode(2)};

inline void PutEscape(char*& o, char esc, uint8_t c) {
  o[0] = esc;
  o[1] = kHex[c >> 4];
  o[2] = kHex[c & 15];
  o += 3;
}

// Removes every occurrence of pattern, left to right; the bytes that close up around a
// removal are not searched again (the search resumes where the removal was).
std::string RemoveAll(std::string_view in, std::string_view pattern) {
  std::string out;
  out.reserve(in.size());
  size_t from = 0;
  for (;;) {
    size_t at = in.find(pattern, from);
    if (at == std::string_view::npos) break;
    out.append(in.substr(from, at - from));
    from = at + pattern.size();
  }
  out.append(in.substr(from));
  return out;
}

}  // namespace

std::string QPEncodeBytes(std::string_view in) {
  const size_t n = in.size();
  // Worst case per input byte: a soft line break and an escape.
  std::string out(std::min(n * 6, kTextLimit + 6), '\0');
  char* const base = out.data();
  char* o = base;
  const char* const limit = base + kTextLimit;
  int32_t col = 0;
  for (size_t i = 0; i < n; ++i) {
    uint8_t c = uint8_t(in[i]);
    uint8_t next = i + 1 < n ? uint8_t(in[i + 1]) : 0;
    bool escape;
    if (c == '\t' || c == ' ')
      escape = next == '\r';
    else if (c == '\r' || c == '\n')
      escape = false;
    else
      escape = c < 0x21 || c == '=' || c > 0x7E;
    if (escape) {
      bool soft = col > 72;
      if (o + (soft ? 6 : 3) > limit) break;
      if (soft) {
        std::memcpy(o, "=\r\n", 3);
        o += 3;
        col = 0;
      }
      PutEscape(o, '=', c);
      col += 3;
    } else {
      bool soft = col == 75 && next != '\r';
      if (o + (soft ? 4 : 1) > limit) break;
      if (soft) {
        std::memcpy(o, "=\r\n", 3);
        o += 3;
        col = 0;
      }
      *o++ = char(c);
      ++col;
    }
  }
  out.resize(size_t(o - base));
  return out;
}

std::string DecodeHexEscapesBytes(std::string_view in, int32_t options) {
  const char esc = options == -1 ? '=' : '%';
  const bool plusToSpace = (options & 1) == 0;
  const size_t n = in.size();
  std::string out(n, '\0');
  char* o = out.data();
  size_t i = 0;
  while (i < n) {
    char c = in[i];
    if (c == esc && i + 2 < n) {
      int hi = kHexValue[uint8_t(in[i + 1])], lo = kHexValue[uint8_t(in[i + 2])];
      if (hi >= 0 && lo >= 0) {
        *o++ = char((hi << 4) | lo);
        i += 3;
        continue;
      }
    }
    *o++ = (plusToSpace && c == '+') ? ' ' : c;
    ++i;
  }
  out.resize(size_t(o - out.data()));
  return out;
}

std::string QPDecodeBytes(std::string_view in) {
  // Soft line breaks in CR LF form first, then in bare-CR form; "=" LF is not one.
  std::string joined = RemoveAll(RemoveAll(in, "=\r\n"), "=\r");
  return DecodeHexEscapesBytes(joined, -1);
}

std::string URLEncodeBytes(std::string_view in, int32_t mode) {
  if (mode < 0 || mode > 2) return std::string(in.substr(0, kTextLimit));
  const auto& kind = kUrlModes[mode];
  const size_t n = in.size();
  std::string out(std::min(n * 3, kTextLimit + 3), '\0');
  char* const base = out.data();
  char* o = base;
  const char* const limit = base + kTextLimit;
  for (size_t i = 0; i < n; ++i) {
    uint8_t c = uint8_t(in[i]);
    switch (kind[c]) {
      case kKeep:
        if (o + 1 > limit) goto done;
        *o++ = char(c);
        break;
      case kPlus:
        if (o + 1 > limit) goto done;
        *o++ = '+';
        break;
      default:
        if (o + 3 > limit) goto done;
        PutEscape(o, '%', c);
        break;
    }
  }
done:
  out.resize(size_t(o - base));
  return out;
}

std::string ExpandLineEndsBytes(std::string_view in) {
  std::string out;
  out.reserve(std::min(in.size() * 2, kTextLimit));
  for (char c : in) {
    size_t need = c == '\r' ? 2 : 1;
    if (out.size() + need > kTextLimit) break;
    out.push_back(c);
    if (c == '\r') out.push_back('\n');
  }
  return out;
}

std::string CollapseLineEndsBytes(std::string_view in) {
  // Occurrences of CR LF never overlap, so this is dropping each LF that follows a CR.
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] == '\n' && i > 0 && in[i - 1] == '\r') continue;
    out.push_back(in[i]);
  }
  return out;
}

}  // namespace vrx
