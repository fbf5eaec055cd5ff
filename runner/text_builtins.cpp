// Texts beyond Length and Substring: Position with its start and length found, Change,
// Delete and Insert string, Match regex. Positions and lengths count UTF-16 units.
// GCC 12 sees an uninitialized std::function inside <regex>'s automaton when it inlines
// with sanitizers on: a known false alarm in the library, not in this file.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <cctype>
#include <regex>

#include "runner/interp.h"

namespace runner {

namespace {

// Position(find; in {; start {; lengthFound}}{; *})
bool Position(Frame& f, const Args& a, Value* out) {
  std::string find, in;
  int32_t start = 1;
  bool exact = false;
  int32_t lengthFound = -1;
  if (!EvalText(f, a[0], &find, "Position: the text to find") ||
      !EvalText(f, a[1], &in, "Position: the text to search"))
    return false;
  for (size_t i = 2; i < a.size(); ++i) {
    if (a.star(i)) exact = true;
    else if (i == 2 && !EvalLong(f, a[i], &start, "Position: the start")) return false;
    else if (i == 3) lengthFound = a[i];
    else if (i == 4) return Fail(f, "Position: the fifth parameter can only be *");
  }
  if (start < 1) start = 1;
  size_t at = FindText(in, find, UnitsToBytes(in, size_t(start) - 1), exact);
  int32_t units = 0;
  if (at != std::string::npos) {
    // As many characters of `in` as `find` has: a match without regard to case may
    // differ in bytes.
    size_t end = at;
    for (size_t k = 0; k < find.size(); DecodeUtf8(find, &k)) DecodeUtf8(in, &end);
    units = int32_t(BytesToUnits(in, end) - BytesToUnits(in, at));
  }
  *out = Value::Long(at == std::string::npos ? 0 : int32_t(BytesToUnits(in, at)) + 1);
  return lengthFound < 0 || Assign(f, lengthFound, Value::Long(units));
}

// The byte range of units [from, from+count) of t, clipped to t.
std::pair<size_t, size_t> UnitRange(std::string_view t, size_t from, size_t count) {
  size_t b = UnitsToBytes(t, from);
  return {b, b + UnitsToBytes(t.substr(b), count)};
}

bool ChangeString(Frame& f, const Args& a, Value* out) {
  std::string src, chars;
  int32_t where;
  if (!EvalText(f, a[0], &src, "Change string: the source") ||
      !EvalText(f, a[1], &chars, "Change string: the new characters") ||
      !EvalLong(f, a[2], &where, "Change string: the position"))
    return false;
  size_t len = TextLength(src);
  if (chars.empty() || where < 1 || size_t(where) > len) {
    *out = Value::Text(std::move(src));
    return true;
  }
  // The result keeps the source's length: what passes its end is dropped.
  size_t n = std::min(TextLength(chars), len - size_t(where) + 1);
  auto [b, e] = UnitRange(src, size_t(where) - 1, n);
  src.replace(b, e - b, chars.substr(0, UnitsToBytes(chars, n)));
  *out = Value::Text(std::move(src));
  return true;
}

bool DeleteString(Frame& f, const Args& a, Value* out) {
  std::string src;
  int32_t where, count;
  if (!EvalText(f, a[0], &src, "Delete string: the source") ||
      !EvalLong(f, a[1], &where, "Delete string: the position") ||
      !EvalLong(f, a[2], &count, "Delete string: the number of characters"))
    return false;
  if (where >= 1 && count > 0 && size_t(where) <= TextLength(src)) {
    auto [b, e] = UnitRange(src, size_t(where) - 1, size_t(count));
    src.erase(b, e - b);
  }
  *out = Value::Text(std::move(src));
  return true;
}

// Before the first character when where < 1, after the last when past the end.
bool InsertString(Frame& f, const Args& a, Value* out) {
  std::string src, ins;
  int32_t where;
  if (!EvalText(f, a[0], &src, "Insert string: the source") ||
      !EvalText(f, a[1], &ins, "Insert string: the text to insert") ||
      !EvalLong(f, a[2], &where, "Insert string: the position"))
    return false;
  if (src.size() + ins.size() > f.rt->maxBytes) return Fail(f, "Insert string: the text is too long");
  src.insert(UnitsToBytes(src, size_t(std::max(where, 1)) - 1), ins);
  *out = Value::Text(std::move(src));
  return true;
}

// Compare strings(a; b {; options}): negative, 0 or positive. Without options as < and =
// compare (no regard to case or accents); sk strict (0) compares exactly, sk char codes
// (1) by code with, at most, the case of a-z ignored; sk case insensitive (2) and sk
// diacritic insensitive (4) ignore what they say.
bool CompareStrings(Frame& f, const Args& a, Value* out) {
  std::string x, y;
  int32_t options = -1;
  if (!EvalText(f, a[0], &x, "Compare strings: the first text") ||
      !EvalText(f, a[1], &y, "Compare strings: the second text"))
    return false;
  if (a.size() > 2 && !EvalLong(f, a[2], &options, "Compare strings: the options")) return false;
  if (options < 0) {
    *out = Value::Long(CompareText(x, y));
    return true;
  }
  bool codes = options & 1, caseless = options & 2, accentless = (options & 4) && !codes;
  size_t i = 0, k = 0;
  int result = 0;
  while (result == 0 && i < x.size() && k < y.size()) {
    uint32_t c = DecodeUtf8(x, &i), d = DecodeUtf8(y, &k);
    if (codes) {
      if (caseless && c < 0x80 && d < 0x80) {
        c = uint32_t(std::toupper(int(c)));
        d = uint32_t(std::toupper(int(d)));
      }
    } else {
      c = FoldCharacter(c, caseless, accentless);
      d = FoldCharacter(d, caseless, accentless);
    }
    if (c != d) result = c < d ? -1 : 1;
  }
  if (result == 0) result = (i < x.size()) - (k < y.size());
  *out = Value::Long(result);
  return true;
}

// ---- Match regex ------------------------------------------------------------------------
// Matched on code points (wchar_t holds one on Linux), so "." is one character; positions
// go back to UTF-16 units.

std::wstring Wide(std::string_view s, std::vector<int32_t>* units) {
  std::wstring w;
  int32_t u = 0;
  for (size_t i = 0; i < s.size();) {
    uint32_t c = DecodeUtf8(s, &i);
    if (c == kInvalidByte) c = 0xFFFD;
    units->push_back(u);
    u += c > 0xFFFF ? 2 : 1;
    w += wchar_t(c);
  }
  units->push_back(u);
  return w;
}

bool StoreFound(Frame& f, int32_t node, const std::vector<int32_t>& values) {
  Var* var = IsWholeVar(f.node(node)) ? FindVar(f, node) : nullptr;
  if (var && var->v.type == Type::Array) {
    Value arr = Value::Array(var->v.elem, values.size() - 1);
    for (size_t i = 0; i < values.size(); ++i) arr.itemsMut()[i] = Value::Long(values[i]);
    return AssignWhole(f, node, std::move(arr));
  }
  return Assign(f, node, Value::Long(values[0]));
}

bool MatchRegex(Frame& f, const Args& a, Value* out) {
  std::string pattern, text;
  if (!EvalText(f, a[0], &pattern, "Match regex: the pattern") ||
      !EvalText(f, a[1], &text, "Match regex: the text"))
    return false;
  int32_t start = 1;
  bool anchored = false;
  int32_t posFound = -1, lenFound = -1;
  size_t n = a.size();
  if (n > 2 && a.star(n - 1)) {
    anchored = true;
    --n;
  }
  if (n > 2 && !EvalLong(f, a[2], &start, "Match regex: the start")) return false;
  if (n == 4 || n > 5) return Fail(f, "Match regex: pass both the position and the length found, or neither");
  if (n == 5) {
    posFound = a[3];
    lenFound = a[4];
  }
  std::vector<int32_t> units;
  std::wstring pat16, subject = Wide(text, &units);
  {
    std::vector<int32_t> ignored;
    pat16 = Wide(pattern, &ignored);
  }
  std::wregex re;
  try {
    re.assign(pat16, std::regex::ECMAScript);
  } catch (const std::regex_error& e) {
    return FailCode(f, kErrorGeneral, "Match regex: the pattern is not valid (" + std::string(e.what()) + ")");
  }
  bool found;
  std::wsmatch m;
  try {
    if (a.size() == 2) {
      found = std::regex_match(subject, m, re);
    } else {
      // start counts UTF-16 units: the code point that begins there.
      size_t from = 0;
      while (from < subject.size() && units[from] < start - 1) ++from;
      auto flags = anchored ? std::regex_constants::match_continuous : std::regex_constants::match_default;
      if (from > 0) flags |= std::regex_constants::match_prev_avail;
      found = std::regex_search(subject.cbegin() + std::ptrdiff_t(from), subject.cend(), m, re, flags);
    }
  } catch (const std::regex_error& e) {
    return FailCode(f, kErrorGeneral, "Match regex: " + std::string(e.what()));
  }
  *out = Value::Bool(found);
  if (posFound < 0) return true;
  std::vector<int32_t> pos, len;
  for (size_t g = 0; g < (found ? m.size() : 1); ++g) {
    if (!found || !m[g].matched) {
      pos.push_back(0);
      len.push_back(0);
      continue;
    }
    size_t b = size_t(m[g].first - subject.cbegin()), e = size_t(m[g].second - subject.cbegin());
    pos.push_back(units[b] + 1);
    len.push_back(units[e] - units[b]);
  }
  return StoreFound(f, posFound, pos) && StoreFound(f, lenFound, len);
}

constexpr BuiltinInfo kTextBuiltins[] = {
    {"Position", 15, 2, 5, true, "eeeee", Position, false},
    {"Change string", 234, 3, 3, true, "eee", ChangeString, false},
    {"Delete string", 232, 3, 3, true, "eee", DeleteString, false},
    {"Insert string", 231, 3, 3, true, "eee", InsertString, false},
    {"Compare strings", 1756, 2, 3, true, "eee", CompareStrings, false},
    {"Match regex", 1019, 2, 6, true, "eeeeee", MatchRegex, false},
};

}  // namespace

std::span<const BuiltinInfo> TextBuiltins() { return kTextBuiltins; }

}  // namespace runner
