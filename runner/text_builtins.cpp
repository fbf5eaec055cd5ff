// Texts beyond Length and Substring: Position with its start and length found, Change,
// Delete and Insert string, Match regex. Positions and lengths count UTF-16 units.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>
#include <cctype>

#include "runner/interp.h"

namespace runner {

namespace {

// How Position and Compare strings compare characters: 4D's default (neither case nor
// accents count), by code (*, sk char codes), or as the sk options say.
struct TextRule {
  bool codes = false, caseless = true, accentless = true, wholeWord = false;
};

constexpr int32_t kSkCharCodes = 1, kSkCaseInsensitive = 2, kSkDiacriticInsensitive = 4, kSkWholeWord = 32;

TextRule RuleOf(int32_t options) {
  TextRule r;
  r.codes = options & kSkCharCodes;
  r.caseless = options & kSkCaseInsensitive;
  r.accentless = (options & kSkDiacriticInsensitive) && !r.codes;
  r.wholeWord = options & kSkWholeWord;
  return r;
}

uint32_t Folded(uint32_t c, const TextRule& r) {
  if (r.codes) return r.caseless && c < 0x80 ? uint32_t(std::toupper(int(c))) : c;
  return FoldCharacter(c, r.caseless, r.accentless);
}

bool WordByte(std::string_view t, size_t at) {
  if (at >= t.size()) return false;
  uint8_t b = uint8_t(t[at]);
  return b >= 0x80 || std::isalnum(b) || b == '_';
}

// The first occurrence of find in `in` from byte `from` under rule r: its byte range.
bool FindUnder(std::string_view in, std::string_view find, size_t from, const TextRule& r, size_t* at, size_t* end) {
  for (size_t i = from; i < in.size(); DecodeUtf8(in, &i)) {
    size_t a = i, b = 0;
    bool equal = true;
    while (equal && b < find.size()) equal = a < in.size() && Folded(DecodeUtf8(in, &a), r) == Folded(DecodeUtf8(find, &b), r);
    if (!equal) continue;
    // A whole word: no letter or digit just before or after.
    if (r.wholeWord && ((i > 0 && WordByte(in, i - 1)) || WordByte(in, a))) continue;
    *at = i;
    *end = a;
    return true;
  }
  return false;
}

// Position(find; in {; start {; lengthFound}}{; *}) or Position(find; in; start;
// lengthFound; options)
bool Position(Frame& f, const Args& a, Value* out) {
  std::string find, in;
  int32_t start = 1;
  TextRule rule;
  int32_t lengthFound = -1;
  if (!EvalText(f, a[0], &find, "Position: the text to find") ||
      !EvalText(f, a[1], &in, "Position: the text to search"))
    return false;
  for (size_t i = 2; i < a.size(); ++i) {
    if (a.star(i)) rule = RuleOf(0);
    else if (i == 2 && !EvalLong(f, a[i], &start, "Position: the start")) return false;
    else if (i == 3) lengthFound = a[i];
    else if (i == 4) {
      int32_t options;
      if (!EvalLong(f, a[i], &options, "Position: the options")) return false;
      rule = RuleOf(options);
    }
  }
  if (start < 1) start = 1;
  size_t at = 0, end = 0;
  bool found = !find.empty() && FindUnder(in, find, UnitsToBytes(in, size_t(start) - 1), rule, &at, &end);
  *out = Value::Long(found ? int32_t(BytesToUnits(in, at)) + 1 : 0);
  int32_t units = found ? int32_t(BytesToUnits(in, end) - BytesToUnits(in, at)) : 0;
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
// diacritic insensitive (4) ignore what they say. The Japanese options (kana, width)
// change nothing outside Japanese.
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
  TextRule rule = RuleOf(options);
  size_t i = 0, k = 0;
  int result = 0;
  while (result == 0 && i < x.size() && k < y.size()) {
    uint32_t c = Folded(DecodeUtf8(x, &i), rule), d = Folded(DecodeUtf8(y, &k), rule);
    if (c != d) result = c < d ? -1 : 1;
  }
  if (result == 0) result = (i < x.size()) - (k < y.size());
  *out = Value::Long(result);
  return true;
}

// GET TEXT KEYWORDS(text; words {; *}): the words of text in a text array; with *, each
// word once (words equal as = compares them count as one).
bool GetTextKeywords(Frame& f, const Args& a, Value*) {
  std::string text;
  if (!EvalText(f, a[0], &text, "GET TEXT KEYWORDS: the text")) return false;
  if (a.size() > 2 && !a.star(2)) return Fail(f, "GET TEXT KEYWORDS: the third parameter can only be *");
  std::vector<std::string_view> words;
  for (std::string_view w : TextWords(text)) {
    bool seen = false;
    for (size_t k = 0; a.size() > 2 && k < words.size() && !seen; ++k) seen = CompareText(words[k], w) == 0;
    if (!seen) words.push_back(w);
  }
  Value arr = Value::Array(Type::Text, words.size());
  for (size_t i = 0; i < words.size(); ++i) arr.itemsMut()[i + 1] = Value::Text(std::string(words[i]));
  return AssignWhole(f, a[1], std::move(arr));
}

// ---- Match regex ------------------------------------------------------------------------
// PCRE2 on UTF-16, so that positions and lengths are 4D's without conversion. As ICU does
// by default: Unicode classes for \w, \d and \b, and any line end ends a line. Limits on
// backtracking and depth turn a runaway pattern into an error instead of a hang.

std::u16string Utf16(std::string_view s) {
  std::u16string w;
  for (size_t i = 0; i < s.size();) {
    uint32_t c = DecodeUtf8(s, &i);
    if (c == kInvalidByte || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c > 0xFFFF) {
      w += char16_t(0xD800 + ((c - 0x10000) >> 10));
      w += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      w += char16_t(c);
    }
  }
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

struct Regex {
  pcre2_code_16* code = nullptr;
  pcre2_match_data_16* data = nullptr;
  pcre2_match_context_16* context = nullptr;
  ~Regex() {
    pcre2_match_context_free_16(context);
    pcre2_match_data_free_16(data);
    pcre2_code_free_16(code);
  }
};

constexpr uint32_t kRegexMatchLimit = 10'000'000;  // backtracking steps
constexpr uint32_t kRegexDepthLimit = 10'000;      // nested backtracking frames
constexpr uint32_t kRegexHeapLimitKib = 64 * 1024;

// Compiles `pattern`; false with the message in *error.
bool CompileRegex(const std::u16string& pattern, Regex* re, std::string* error) {
  pcre2_compile_context_16* cc = pcre2_compile_context_create_16(nullptr);
  if (!cc) return *error = "out of memory", false;
  pcre2_set_newline_16(cc, PCRE2_NEWLINE_ANY);
  int code = 0;
  PCRE2_SIZE offset = 0;
  re->code = pcre2_compile_16(reinterpret_cast<PCRE2_SPTR16>(pattern.data()), pattern.size(),
                              PCRE2_UTF | PCRE2_UCP | PCRE2_NO_UTF_CHECK, &code, &offset, cc);
  pcre2_compile_context_free_16(cc);
  if (!re->code) {
    PCRE2_UCHAR16 message[256];
    int n = pcre2_get_error_message_16(code, message, 256);
    std::string text;
    for (int i = 0; i < n; ++i) AppendUtf8(&text, message[i]);
    *error = text + " at character " + std::to_string(offset + 1);
    return false;
  }
  re->data = pcre2_match_data_create_from_pattern_16(re->code, nullptr);
  re->context = pcre2_match_context_create_16(nullptr);
  if (!re->data || !re->context) return *error = "out of memory", false;
  pcre2_set_match_limit_16(re->context, kRegexMatchLimit);
  pcre2_set_depth_limit_16(re->context, kRegexDepthLimit);
  pcre2_set_heap_limit_16(re->context, kRegexHeapLimitKib);
  return true;
}

// Match regex(pattern; text): the whole text matches. Match regex(pattern; text; start
// {; pos; len}{; *}): an occurrence from start (with *: at start only); pos and len get
// the occurrence, or, when they are arrays, the occurrence in element 0 and the groups
// after it.
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
  if (n == 2 && anchored) return Fail(f, "Match regex: * needs the start");
  if (n > 2 && !EvalLong(f, a[2], &start, "Match regex: the start")) return false;
  if (n == 4 || n > 5) return Fail(f, "Match regex: pass both the position and the length found, or neither");
  if (n == 5) {
    posFound = a[3];
    lenFound = a[4];
  }
  std::u16string subject = Utf16(text);
  Regex re;
  std::string error;
  if (!CompileRegex(Utf16(pattern), &re, &error))
    return FailCode(f, kErrorGeneral, "Match regex: the pattern is not valid (" + error + ")");
  uint32_t options = PCRE2_NO_UTF_CHECK;
  if (a.size() == 2) options |= PCRE2_ANCHORED | PCRE2_ENDANCHORED;
  else if (anchored) options |= PCRE2_ANCHORED;
  size_t from = size_t(std::max(start, 1)) - 1;
  int rc = PCRE2_ERROR_NOMATCH;
  if (from <= subject.size()) {
    // A start inside a surrogate pair begins at the pair's character.
    if (from > 0 && from < subject.size() && (subject[from] & 0xFC00) == 0xDC00) --from;
    rc = pcre2_match_16(re.code, reinterpret_cast<PCRE2_SPTR16>(subject.data()), subject.size(), from, options,
                        re.data, re.context);
  }
  if (rc < 0 && rc != PCRE2_ERROR_NOMATCH) {
    PCRE2_UCHAR16 message[256];
    int k = pcre2_get_error_message_16(rc, message, 256);
    std::string why;
    for (int i = 0; i < k; ++i) AppendUtf8(&why, message[i]);
    return FailCode(f, kErrorGeneral, "Match regex: " + why);
  }
  bool found = rc >= 0;
  *out = Value::Bool(found);
  if (posFound < 0) return true;
  uint32_t groups = 0;
  pcre2_pattern_info_16(re.code, PCRE2_INFO_CAPTURECOUNT, &groups);
  const PCRE2_SIZE* ov = pcre2_get_ovector_pointer_16(re.data);
  std::vector<int32_t> pos, len;
  for (uint32_t g = 0; g <= (found ? groups : 0); ++g) {
    bool set = found && g < uint32_t(rc) && ov[2 * g] != PCRE2_UNSET;
    pos.push_back(set ? int32_t(ov[2 * g]) + 1 : 0);
    len.push_back(set ? int32_t(ov[2 * g + 1] - ov[2 * g]) : 0);
  }
  return StoreFound(f, posFound, pos) && StoreFound(f, lenFound, len);
}

constexpr BuiltinInfo kTextBuiltins[] = {
    {"Position", 15, 2, 5, true, "eeeee", Position, false},
    {"Change string", 234, 3, 3, true, "eee", ChangeString, false},
    {"Delete string", 232, 3, 3, true, "eee", DeleteString, false},
    {"Insert string", 231, 3, 3, true, "eee", InsertString, false},
    {"Compare strings", 1756, 2, 3, true, "eee", CompareStrings, false},
    {"GET TEXT KEYWORDS", 1141, 2, 3, false, "eee", GetTextKeywords, false},
    {"Match regex", 1019, 2, 6, true, "eeeeee", MatchRegex, false},
};

}  // namespace

int RegexFinds(std::string_view pattern, std::string_view text, std::string* error) {
  Regex re;
  if (!CompileRegex(Utf16(pattern), &re, error)) return -1;
  std::u16string subject = Utf16(text);
  int rc = pcre2_match_16(re.code, reinterpret_cast<PCRE2_SPTR16>(subject.data()), subject.size(), 0,
                          PCRE2_NO_UTF_CHECK, re.data, re.context);
  if (rc >= 0) return 1;
  if (rc == PCRE2_ERROR_NOMATCH) return 0;
  *error = "the pattern takes too long on this text";
  return -1;
}

std::span<const BuiltinInfo> TextBuiltins() { return kTextBuiltins; }

}  // namespace runner
