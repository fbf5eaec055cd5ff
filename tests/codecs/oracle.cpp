#include "oracle.h"

#include <cstring>
#include <string>

#include "codecs/text_codecs.h"
#include "platform/memory.h"
#include "platform/services.h"

namespace oracle {
namespace {

using platform::Handle;

Handle Block(std::string_view bytes) {
  Handle h = platform::NewHandle(int32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(platform::HandleAddress(h), bytes.data(), bytes.size());
  return h;
}

std::string Release(Handle h) {
  std::string s(reinterpret_cast<const char*>(platform::HandleAddress(h)),
                size_t(platform::HandleSize(h)));
  platform::DisposeHandle(h);
  return s;
}

std::string Pascal(std::string_view s) { return std::string(1, char(s.size())) + std::string(s); }

void Replace(Handle h, std::string_view pattern, std::string_view replacement) {
  std::string p = Pascal(pattern), r = Pascal(replacement);
  vrx::ReplaceAll(h, reinterpret_cast<const uint8_t*>(p.data()),
                  reinterpret_cast<const uint8_t*>(r.data()));
}

// Table number 1 of a direction through the string list, as every caller passes it.
void Convert(Handle h, bool macToIso) {
  vrx::TextValue t{int16_t(platform::HandleSize(h)), h};
  if (macToIso)
    vrx::MacToISO(&t, 1);
  else
    vrx::ISOToMac(&t, 1);
}

// Removes count bytes at offset from the block.
void Remove(Handle h, int32_t offset, int32_t count) {
  int32_t size = platform::HandleSize(h);
  uint8_t* p = platform::HandleAddress(h);
  std::memmove(p + offset, p + offset + count, size_t(size - offset - count));
  platform::SetHandleSize(h, size - count);
}

int Hex(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string HTMLEncode(std::string_view mac, int32_t mode) {
  if (mac.empty()) return {};
  Handle h = Block(mac);
  Replace(h, "\xB2", "<=");
  Replace(h, "\xB3", ">=");
  Replace(h, "\xD2", "\"");
  Replace(h, "\xD3", "\"");
  Replace(h, "\xD4", "'");
  Replace(h, "\xD5", "'");
  if (mode == 0) {
    Replace(h, "&", "&amp;");
    Replace(h, "<", "&lt;");
    Replace(h, ">", "&gt;");
    Replace(h, "\"", "&quot;");
  } else if (mode != 2) {
    Replace(h, "& ", "&amp; ");
  }
  for (const vrx::HtmlEntity& e : vrx::kHtmlEntities)
    if (!e.decodeOnly) Replace(h, std::string(1, char(e.mac)), e.name);
  Replace(h, "\xA5", "*");
  Replace(h, "\xAA", "(TM)");
  Replace(h, "\xC9", "...");
  Replace(h, "\xCF", "oe");
  Replace(h, "\xCE", "OE");
  Replace(h, "\xAD", "&euro;");
  Convert(h, true);
  for (int32_t i = 0; i < platform::HandleSize(h);) {
    uint8_t c = platform::HandleAddress(h)[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    char ref[7];
    std::snprintf(ref, sizeof ref, "&#%03u;", unsigned(c));
    i = platform::SearchReplace(h, i, &c, 1, ref, 6);
  }
  return Release(h);
}

std::string HTMLDecode(std::string_view html, int32_t mode) {
  if (html.empty()) return {};
  Handle table = platform::GetNamedResource(platform::MakeResType("VRXc"), "ISO2Mac");
  Handle h = Block(html);
  for (int32_t i = 0; i < platform::HandleSize(h); ++i) {
    int32_t size = platform::HandleSize(h);
    uint8_t* p = platform::HandleAddress(h);
    if (p[i] != '&' || i + 1 >= size || p[i + 1] != '#') continue;
    int32_t j = i + 2;
    uint32_t v = 0;
    for (; j < size && p[j] >= '0' && p[j] <= '9'; ++j)
      v = std::min<uint32_t>(v * 10 + (p[j] - '0'), 1000);
    if (v > 255) continue;  // no table entry: left as it stands
    p[i] = table ? platform::HandleAddress(table)[v] : uint8_t(v);
    // The terminating byte goes too; a reference at the very end stops at the end.
    Remove(h, i + 1, std::min(j, size - 1) - i);
  }
  if (table) platform::DisposeHandle(table);
  if (mode == 0) {
    Replace(h, "&amp;", "&");
    Replace(h, "&lt;", "<");
    Replace(h, "&gt;", ">");
    Replace(h, "&quot;", "\"");
  }
  for (const vrx::HtmlEntity& e : vrx::kHtmlEntities)
    Replace(h, e.name, std::string(1, char(e.mac)));
  return Release(h);
}

std::string URLEncode(std::string_view mac, int32_t options) {
  if (mac.empty()) return {};
  Handle h = Block(mac);
  if (options & 4)
    options -= 4;
  else
    Convert(h, true);
  for (int32_t i = 0; i < platform::HandleSize(h);) {
    uint8_t c = platform::HandleAddress(h)[i];
    bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    bool plus = false, escape = false;
    if (options == 0) {
      plus = c == ' ';
      escape = !plus && (c == '<' || c == '>' || c < 0x30 || c >= 0x7F);
    } else if (options == 1) {
      escape = c <= 0x20 || c == '%' || c == '<' || c == '>' || c >= 0x7F;
    } else if (options == 2) {
      plus = c == ' ';
      escape = !plus && !(alnum || c == '?' || c == '_');
    }
    if (plus) platform::HandleAddress(h)[i] = '+';
    if (escape) {
      char esc[4];
      std::snprintf(esc, sizeof esc, "%%%02X", unsigned(c));
      i = platform::SearchReplace(h, i, &c, 1, esc, 3);
    } else {
      ++i;
    }
  }
  return Release(h);
}

std::string DecodeHexEscapes(std::string_view in, int32_t options) {
  if (in.empty()) return {};
  const uint8_t esc = options == -1 ? '=' : '%';
  Handle h = Block(in);
  for (int32_t i = 0; i < platform::HandleSize(h); ++i) {
    int32_t size = platform::HandleSize(h);
    uint8_t* p = platform::HandleAddress(h);
    if (p[i] == esc && i + 2 < size && Hex(p[i + 1]) >= 0 && Hex(p[i + 2]) >= 0) {
      p[i] = uint8_t(Hex(p[i + 1]) * 16 + Hex(p[i + 2]));
      Remove(h, i + 1, 2);
    } else if ((options & 1) == 0 && p[i] == '+') {
      p[i] = ' ';
    }
  }
  if (options != -1 && (options & 4) == 0) Convert(h, false);
  return Release(h);
}

std::string QPDecode(std::string_view in, int32_t options) {
  Handle h = Block(in);
  Replace(h, "=\r\n", "");
  Replace(h, "=\r", "");
  std::string out = DecodeHexEscapes(Release(h), -1);
  if (options == 0 && !out.empty()) {
    Handle o = Block(out);
    Convert(o, false);
    out = Release(o);
  }
  return out;
}

}  // namespace oracle
