// 4D's rules for values in one place: arithmetic, comparison, bit operations, and the
// conversions an assignment makes, each with the error 4D gives when it does not apply.
#include <algorithm>
#include <cctype>
#include <cmath>

#include "runner/interp.h"

namespace runner {

namespace {

bool Arith(Frame& f, Tok op, const Value& a, const Value& b, Value* out) {
  auto longOrReal = [&](double r, int64_t i, bool ints) {
    if (ints && i >= INT32_MIN && i <= INT32_MAX)
      *out = Value::Long(int32_t(i));
    else
      *out = Value::Real(r);
    return true;
  };
  bool ints = a.type == Type::Long && b.type == Type::Long;
  double x = a.Number(), y = b.Number();
  switch (op) {
    case Tok::Plus: return longOrReal(x + y, int64_t(a.l) + b.l, ints);
    case Tok::Minus: return longOrReal(x - y, int64_t(a.l) - b.l, ints);
    case Tok::Star: return longOrReal(x * y, int64_t(a.l) * b.l, ints);
    case Tok::Slash:
      if (y == 0) return Fail(f, "Division by zero");
      *out = Value::Real(x / y);
      return true;
    case Tok::Backslash:
    case Tok::Percent: {
      int64_t p = ints ? a.l : RealToLong(x), q = ints ? b.l : RealToLong(y);
      if (q == 0) return Fail(f, "Division by zero");
      int64_t r = op == Tok::Backslash ? p / q : p % q;
      return longOrReal(double(r), r, true);
    }
    case Tok::Caret:
      *out = Value::Real(std::pow(x, y));
      return true;
    default:
      return false;
  }
}

}  // namespace

// The spellings are literals: their data ends with a zero byte.
const char* OpName(Tok op) { return OperatorOf(op).spelling.data(); }

bool IsBitwise(Tok op) { return OperatorOf(op).kind == OpKind::Bitwise; }

// 4D's bitwise operators on two longints (reals are rounded to longints first). Shifts
// past 31 bits lose every bit; a bit number outside 0..31 leaves the value as it is.
// ?? answers in *test.
int32_t BitOp(Tok op, int32_t a, int32_t b, bool* test) {
  uint32_t x = uint32_t(a), y = uint32_t(b);
  bool inRange = b >= 0 && b <= 31;
  switch (op) {
    case Tok::Amp: return int32_t(x & y);
    case Tok::Pipe: return int32_t(x | y);
    case Tok::XorBits: return int32_t(x ^ y);
    case Tok::ShiftLeft: return inRange ? int32_t(x << b) : 0;
    case Tok::ShiftRight: return inRange ? int32_t(x >> b) : 0;
    case Tok::BitSet: return inRange ? int32_t(x | (1u << b)) : a;
    case Tok::BitClear: return inRange ? int32_t(x & ~(1u << b)) : a;
    default:
      *test = inRange && ((x >> b) & 1u) != 0;
      return 0;
  }
}

namespace {

// Whether c belongs to a word for the keyword operator: letters, digits, the apostrophe,
// and characters past ASCII other than punctuation and symbols.
bool WordCharacter(uint32_t c) {
  if (c < 0x80) return std::isalnum(int(c)) || c == '\'' || c == '_';
  if (c == kInvalidByte) return false;
  if (c == 0x2019) return true;  // the typographic apostrophe
  return !(c <= 0xBF || c == 0xD7 || c == 0xF7 || (c >= 0x2000 && c <= 0x206F) || (c >= 0x3000 && c <= 0x303F));
}

}  // namespace

std::vector<std::string_view> TextWords(std::string_view text) {
  std::vector<std::string_view> words;
  auto digitAt = [&](size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; };
  size_t i = 0;
  while (i < text.size()) {
    size_t start = i, end = i;
    while (end < text.size()) {
      size_t next = end;
      uint32_t c = DecodeUtf8(text, &next);
      bool inNumber = (c == '.' || c == ',') && end > start && digitAt(end - 1) && digitAt(next);
      if (!WordCharacter(c) && !inNumber) break;
      end = next;
    }
    if (end > start) {
      words.push_back(text.substr(start, end - start));
      i = end;
    } else {
      DecodeUtf8(text, &i);  // past a separator
    }
  }
  return words;
}

namespace {

// text % keyword: whether one of the words of text is the keyword (compared as = does,
// with @ for any run of characters). A keyword of several words, or a part of a word,
// is never found.
bool ContainsKeyword(std::string_view text, std::string_view keyword) {
  std::string_view core = keyword.substr(0, keyword.size() - (keyword.ends_with('@') ? 1 : 0));
  for (size_t i = 0; i < core.size();) {
    uint32_t c = DecodeUtf8(core, &i);
    if (!WordCharacter(c) && c != '@' && c != '.' && c != ',') return false;
  }
  if (core.empty()) return false;
  for (std::string_view w : TextWords(text))
    if (MatchWildcard(w, keyword)) return true;
  return false;
}

int32_t AsLongint(const Value& v) { return v.type == Type::Real ? RealToLong(v.r) : v.l; }

bool Compare(Frame& f, Tok op, const Value& a, const Value& b, Value* out) {
  int c = 0;
  bool orderable = true;
  bool aNum = a.numeric() || a.type == Type::Time, bNum = b.numeric() || b.type == Type::Time;
  if (aNum && bNum) {
    double x = a.type == Type::Time ? a.l : a.Number();
    double y = b.type == Type::Time ? b.l : b.Number();
    c = x < y ? -1 : x > y ? 1 : 0;
    // 4D tests reals for equality within its epsilon; orderings stay exact.
    if ((op == Tok::Eq || op == Tok::Hash) && (a.type == Type::Real || b.type == Type::Real))
      c = x == y || std::fabs(x - y) <= f.rt->epsilon ? 0 : 1;
  } else if (a.type == Type::Text && b.type == Type::Text) {
    if ((op == Tok::Eq || op == Tok::Hash) && b.str().find('@') != std::string::npos) {
      bool match = MatchWildcard(a.str(), b.str());
      *out = Value::Bool(op == Tok::Eq ? match : !match);
      return true;
    }
    c = CompareText(a.str(), b.str());
  } else if (a.type == Type::Date && b.type == Type::Date) {
    int64_t x = DateToDays(a.d), y = DateToDays(b.d);
    c = x < y ? -1 : x > y ? 1 : 0;
  } else if (a.type == Type::Boolean && b.type == Type::Boolean) {
    c = a.b == b.b ? 0 : 1;
    orderable = false;
  } else if ((a.type == Type::Blob || a.type == Type::Picture) && a.type == b.type) {
    c = a.str() == b.str() ? 0 : 1;
    orderable = false;
  } else if (a.type == Type::Pointer && b.type == Type::Pointer) {
    c = a.ptr() == b.ptr() ? 0 : 1;
    orderable = false;
  } else if ((a.type == Type::Object || a.type == Type::Collection) && a.type == b.type) {
    c = a.SameRef(b) ? 0 : 1;  // the same object, not equal contents
    orderable = false;
  } else {
    return Fail(f, std::string("cannot compare ") + Article(a.type) + " with " +
                       Article(b.type) + " (" + OpName(op) + ")" +
                       NumHint(aNum ? b.type : bNum ? a.type : Type::Undefined));
  }
  if (!orderable && op != Tok::Eq && op != Tok::Hash)
    return Fail(f, std::string("values of type ") + std::string(TypeName(a.type)) +
                       " cannot be ordered (" + OpName(op) + ")");
  *out = Value::Bool(OrderHolds(op, c));
  return true;
}

}  // namespace

[[gnu::noinline]] bool Binary(Frame& f, Tok op, const Value& a, const Value& b, Value* out) {
  auto mismatch = [&] {
    Type text = a.type == Type::Text && b.numeric()   ? a.type
                : b.type == Type::Text && a.numeric() ? b.type
                                                      : Type::Undefined;
    return Fail(f, std::string("the operator ") + OpName(op) + " does not apply to " +
                       Article(a.type) + " and " + Article(b.type) + NumHint(text));
  };
  if ((op == Tok::Eq || op == Tok::Hash) && (a.type == Type::Null || b.type == Type::Null)) {
    // Null equals null and undefined, nothing else.
    auto none = [](const Value& v) { return v.type == Type::Null || v.type == Type::Undefined; };
    bool same = none(a) && none(b);
    *out = Value::Bool(op == Tok::Eq ? same : !same);
    return true;
  }
  if (a.type == Type::Undefined || b.type == Type::Undefined)
    return Fail(f, std::string("an operand of ") + OpName(op) + " is undefined");
  switch (op) {
    case Tok::Eq: case Tok::Hash: case Tok::Lt: case Tok::Gt: case Tok::Le: case Tok::Ge:
      return Compare(f, op, a, b, out);
    case Tok::Amp: case Tok::Pipe:
      // Between booleans & and | are AND and OR; between numbers they work on bits.
      if (a.type == Type::Boolean && b.type == Type::Boolean) {
        *out = Value::Bool(op == Tok::Amp ? (a.b && b.b) : (a.b || b.b));
        return true;
      }
      break;
    default:
      break;
  }
  if (IsBitwise(op)) {
    if (!a.numeric() || !b.numeric()) return mismatch();
    bool test = false;
    int32_t r = BitOp(op, AsLongint(a), AsLongint(b), &test);
    *out = op == Tok::BitTest ? Value::Bool(test) : Value::Long(r);
    return true;
  }
  if (a.numeric() && b.numeric()) return Arith(f, op, a, b, out);
  if (op == Tok::Percent && a.type == Type::Text && b.type == Type::Text) {
    *out = Value::Bool(ContainsKeyword(a.str(), b.str()));
    return true;
  }
  if (op == Tok::Plus && a.type == Type::Text && b.type == Type::Text) {
    if (a.str().size() + b.str().size() > f.rt->maxBytes) return Fail(f, "the text is too long");
    *out = Value::Text(a.str() + b.str());
    return true;
  }
  if (op == Tok::Star && a.type == Type::Text && b.numeric()) {
    // Repetition: "ab"*3 is "ababab"; no count below 1 gives "". A count past the
    // longest text is refused, not cut to it.
    double n = b.Number();
    size_t count = n >= 1 && !a.str().empty() ? size_t(std::min(n, double(f.rt->maxBytes) + 1)) : 0;
    if (count > 0 && a.str().size() > f.rt->maxBytes / count) return Fail(f, "the text is too long");
    std::string r;
    r.reserve(a.str().size() * count);
    for (size_t i = 0; i < count; ++i) r += a.str();
    *out = Value::Text(std::move(r));
    return true;
  }
  if (a.type == Type::Date && (op == Tok::Plus || op == Tok::Minus)) {
    if (b.type == Type::Date && op == Tok::Minus) {
      *out = Value::Long(int32_t(DateToDays(a.d) - DateToDays(b.d)));
      return true;
    }
    if (b.numeric()) {
      int64_t days = RealToLong(b.Number());
      if (a.d.year == 0) {  // the null date stays null
        *out = a;
        return true;
      }
      Date d = DaysToDate(DateToDays(a.d) + (op == Tok::Plus ? days : -days));
      if (!ValidDate(d)) return Fail(f, "the date is out of range");
      *out = Value::MakeDate(d);
      return true;
    }
    return mismatch();
  }
  if (a.type == Type::Time || b.type == Type::Time) {
    bool aOk = a.type == Type::Time || a.numeric(), bOk = b.type == Type::Time || b.numeric();
    if (!aOk || !bOk) return mismatch();
    Value x = a.type == Type::Time ? Value::Long(a.l) : a;
    Value y = b.type == Type::Time ? Value::Long(b.l) : b;
    if (!Arith(f, op, x, y, out)) return false;
    // Time with time stays a time; time with a number is a number, as in 4D.
    if (a.type == Type::Time && b.type == Type::Time && out->type == Type::Long &&
        (op == Tok::Plus || op == Tok::Minus))
      *out = Value::Time(out->l);
    return true;
  }
  return mismatch();
}

std::string Article(Type t) {
  std::string n(TypeName(t));
  bool vowel = n[0] == 'a' || n[0] == 'e' || n[0] == 'i' || n[0] == 'o' || n[0] == 'u';
  return (vowel ? "an " : "a ") + n;
}

// Converts v to the type of a variable that already has one.
bool ConvertValue(Type to, Value& v, Value* out) {
  if (v.type == to && to != Type::Array) {
    *out = std::move(v);
    return true;
  }
  switch (to) {
    case Type::Long:
      if (v.type == Type::Real) { *out = Value::Long(RealToLong(v.r)); return true; }
      if (v.type == Type::Time) { *out = Value::Long(v.l); return true; }
      break;
    case Type::Real:
      if (v.type == Type::Long || v.type == Type::Time) { *out = Value::Real(v.l); return true; }
      break;
    case Type::Time:
      if (v.type == Type::Long) { *out = Value::Time(v.l); return true; }
      if (v.type == Type::Real) { *out = Value::Time(RealToLong(v.r)); return true; }
      break;
    case Type::Picture:
      if (v.type == Type::Blob) { *out = Value::Picture(v.takeStr()); return true; }
      break;
    case Type::Blob:
      if (v.type == Type::Picture) { *out = Value::Blob(v.takeStr()); return true; }
      break;
    case Type::Object:  // an element of an object array holds Null as an object variable does
      if (v.type == Type::Null) { *out = Value::Empty(to); return true; }
      break;
    default:
      break;
  }
  return false;
}

bool ConversionFails(Frame& f, Type to, Type from, const std::string& what) {
  if (from == Type::Undefined) return Fail(f, "the value assigned to " + what + " is undefined");
  return Fail(f, "cannot put " + Article(from) + " into " + what + ", which is " +
                     Article(to) + (to == Type::Long || to == Type::Real ? NumHint(from) : ""));
}

std::string NumHint(Type got) {
  if (got != Type::Text) return "";
  return " (a text, such as a command-line argument, becomes a number with Num: Num($1))";
}

}  // namespace runner
