// Trim, Trim start and Trim end: whitespace as ECMAScript counts it (spaces, tabs, line
// breaks, no-break spaces, the byte order mark and Unicode's other space separators).
#include "runner/classes.h"

namespace runner {

namespace {

bool IsWhite(uint32_t c) {
  switch (c) {
    case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x20: case 0xA0:
    case 0x1680: case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000: case 0xFEFF:
      return true;
    default:
      return c >= 0x2000 && c <= 0x200A;
  }
}

bool TrimText(Frame& f, const Args& a, Value* out, bool start, bool end) {
  std::string t;
  if (!EvalText(f, a[0], &t, "the text to trim")) return false;
  size_t from = 0, to = t.size();
  if (start) {
    for (size_t i = 0; i < t.size();) {
      if (!IsWhite(DecodeUtf8(t, &i))) break;
      from = i;
    }
  }
  if (end) {
    // Forwards (UTF-8 is read that way), keeping the end of the last other character.
    size_t lastEnd = from;
    for (size_t i = from; i < t.size();) {
      if (!IsWhite(DecodeUtf8(t, &i))) lastEnd = i;
    }
    to = lastEnd;
  }
  *out = Value::Text(t.substr(from, to - from));
  return true;
}

bool Trim(Frame& f, const Args& a, Value* out) { return TrimText(f, a, out, true, true); }
bool TrimStart(Frame& f, const Args& a, Value* out) { return TrimText(f, a, out, true, false); }
bool TrimEnd(Frame& f, const Args& a, Value* out) { return TrimText(f, a, out, false, true); }

constexpr BuiltinInfo kTrimBuiltins[] = {
    {"Trim", 1853, 1, 1, true, "e", Trim, false},
    {"Trim start", 1854, 1, 1, true, "e", TrimStart, false},
    {"Trim end", 1855, 1, 1, true, "e", TrimEnd, false},
};

}  // namespace

std::span<const BuiltinInfo> TrimBuiltins() { return kTrimBuiltins; }

}  // namespace runner
