// The 4D commands and functions that methods use around the plug-in's commands: one
// function per command, and at the end the table that names them for the parser.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <unordered_map>

#include "host/host.h"
#include "platform/services.h"
#include "runner/classes.h"
#include "runner/interp.h"

namespace runner {

// The value an argument has: the variable itself when it names one, else a copy in
// *copy.
bool ValueOf(Frame& f, int32_t arg, Value* copy, const Value** out) {
  if (f.node(arg).op == Op::Deref) return DerefValue(f, arg, copy, out);
  if ((*out = PeekVar(f, arg))) return true;
  if (!Eval(f, arg, copy)) return false;
  *out = copy;
  return true;
}

namespace {

// Gives `var` the type `type` (Undefined: Variant, which takes whatever it is given): an
// undefined, null or null-object variable gets the type's empty value, another one is
// converted. Messages name it by node `ref`, or, when ref is -n, as parameter n.
bool DeclareVar(Frame& f, Var* var, int32_t ref, Type type, int maxLen) {
  if (type == Type::Undefined) {
    var->maxLen = -1;
    return true;
  }
  const Value& v = var->v;
  bool nullish = v.type == Type::Undefined || v.type == Type::Null ||
                 (v.type == Type::Object && !v.object()) || (v.type == Type::Collection && !v.collection());
  if (v.type == Type::Undefined ||
      (nullish && (type == Type::Object || type == Type::Collection))) {
    var->v = Value::Empty(type);
  } else if (v.type != type) {
    auto label = [&] { return ref < 0 ? "$" + std::to_string(-ref) : VarLabel(f, ref); };
    if (v.type == Type::Array)
      return Fail(f, label() + " is an array and cannot be declared " + std::string(TypeName(type)));
    Value converted;
    if (!Convert(f, type, v, &converted, label)) return false;
    var->v = std::move(converted);
  }
  var->maxLen = maxLen;
  if (maxLen > 0 && var->v.type == Type::Text && TextLength(var->v.str()) > size_t(maxLen))
    var->v.strMut().resize(UnitsToBytes(var->v.str(), size_t(maxLen)));
  return true;
}

}  // namespace

bool Declare(Frame& f, int32_t ref, Type type, int maxLen) {
  if (f.node(ref).op == Op::ParamAt) {
    // C_TEXT(${n}): parameter n and every one after it.
    int32_t first;
    if (!EvalLong(f, f.node(ref).a, &first, "the parameter number")) return false;
    for (int32_t n = std::max(first, 1); n <= f.nparams; ++n)
      if (Var* var = ParamVar(f, n, false); var && !DeclareVar(f, var, -n, type, maxLen))
        return false;
    return true;
  }
  Var* var = FindVar(f, ref);
  if (!var) return Fail(f, "only whole variables can be declared");
  return DeclareVar(f, var, ref, type, maxLen);
}

namespace {

// C_TEXT(OtherMethod; $1...) types another method's parameters for the compiler: the
// runner takes each method's parameters as they come, so such a line does nothing.
bool NamesAMethod(const Args& a) {
  Op op = a.node(0).op;
  return op == Op::Method || op == Op::Builtin || op == Op::Command;
}

bool DeclareAll(Frame& f, const Args& a, Type type) {
  if (NamesAMethod(a)) return true;
  for (size_t i = 0; i < a.size(); ++i)
    if (!Declare(f, a[i], type, 0)) return false;
  return true;
}

// ---- declarations ---------------------------------------------------------------------

bool CLongint(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Long); }
bool CReal(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Real); }
bool CText(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Text); }
bool CBoolean(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Boolean); }
bool CBlob(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Blob); }
bool CPicture(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Picture); }
bool CDate(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Date); }
bool CTime(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Time); }
bool CPointer(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Pointer); }
bool CObject(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Object); }
bool CCollection(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Collection); }
bool CVariant(Frame& f, const Args& a, Value*) { return DeclareAll(f, a, Type::Undefined); }

bool IsNilPointer(Frame& f, const Args& a, Value* out) {
  Value p;
  if (!Eval(f, a[0], &p)) return false;
  if (p.type != Type::Pointer) return Fail(f, "Is nil pointer: the parameter is " + Article(p.type) + ", not a pointer");
  *out = Value::Bool(p.ptr().kind == PointerKind::Nil);
  return true;
}

// ---- reals ---------------------------------------------------------------------------

bool SetRealComparisonLevel(Frame& f, const Args& a, Value*) {
  double epsilon;
  if (!EvalNumber(f, a[0], &epsilon, "SET REAL COMPARISON LEVEL: the epsilon")) return false;
  if (!(epsilon >= 0)) return Fail(f, "SET REAL COMPARISON LEVEL: the epsilon cannot be negative");
  f.rt->epsilon = epsilon;
  return true;
}

// C_STRING(length; vars...) or C_STRING(vars...)
bool CString(Frame& f, const Args& a, Value*) {
  size_t first = 0;
  int maxLen = 0;
  if (a.node(0).op == Op::Const) {
    int32_t n;
    if (!EvalLong(f, a[0], &n, "C_STRING: the length")) return false;
    if (n < 1 || n > 255) return Fail(f, "C_STRING: the length must be 1 to 255");
    maxLen = n;
    first = 1;
  }
  if (first < a.size() && NamesAMethod(Args{a.ids + first, a.n - first, a.nodes})) return true;
  for (size_t i = first; i < a.size(); ++i)
    if (!Declare(f, a[i], Type::Text, maxLen)) return false;
  return true;
}

// ---- texts ----------------------------------------------------------------------------

bool Length(Frame& f, const Args& a, Value* out) {
  std::string t;
  if (!EvalText(f, a[0], &t, "Length: the parameter")) return false;
  *out = Value::Long(int32_t(TextLength(t)));
  return true;
}

bool Substring(Frame& f, const Args& a, Value* out) {
  std::string t;
  int32_t start, len = INT32_MAX;
  if (!EvalText(f, a[0], &t, "Substring: the text") ||
      !EvalLong(f, a[1], &start, "Substring: the start"))
    return false;
  if (a.size() > 2 && !EvalLong(f, a[2], &len, "Substring: the length")) return false;
  if (start < 1) start = 1;
  size_t from = UnitsToBytes(t, size_t(start) - 1);
  if (len <= 0 || from >= t.size()) {
    *out = Value::Text("");
    return true;
  }
  std::string_view rest = std::string_view(t).substr(from);
  *out = Value::Text(std::string(rest.substr(0, UnitsToBytes(rest, size_t(len)))));
  return true;
}

bool Char(Frame& f, const Args& a, Value* out) {
  int32_t c;
  if (!EvalLong(f, a[0], &c, "Char: the code")) return false;
  // A UTF-16 code: half of a surrogate pair is no character on its own.
  if (c < 0 || c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF))
    return Fail(f, "Char: the code " + std::to_string(c) + " is not a character (0 to 65535)");
  std::string t;
  AppendUtf8(&t, uint32_t(c));
  *out = Value::Text(std::move(t));
  return true;
}

bool CharacterCode(Frame& f, const Args& a, Value* out) {
  std::string t;
  if (!EvalText(f, a[0], &t, "Character code: the parameter")) return false;
  if (t.empty()) return Fail(f, "Character code of an empty text");
  size_t i = 0;
  uint32_t c = DecodeUtf8(t, &i);
  if (c == kInvalidByte) c = uint8_t(t[0]);
  // Past the 16-bit range a character is a surrogate pair: its first unit.
  *out = Value::Long(int32_t(c > 0xFFFF ? 0xD800 + ((c - 0x10000) >> 10) : c));
  return true;
}

// Num(expression {; separator}): with a separator, it alone is the decimal point.
bool Num(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  std::string separator;
  if (a.size() > 1 && !EvalText(f, a[1], &separator, "Num: the decimal separator")) return false;
  switch (v.type) {
    case Type::Text: {
      if (separator.empty() || separator == ".") {
        *out = Value::Real(TextToNumber(v.str()));
        return true;
      }
      std::string t;
      for (size_t i = 0; i < v.str().size();) {
        if (v.str().compare(i, separator.size(), separator) == 0) {
          t += '.';
          i += separator.size();
        } else {
          if (v.str()[i] != '.') t += v.str()[i];
          ++i;
        }
      }
      *out = Value::Real(TextToNumber(t));
      return true;
    }
    case Type::Boolean: *out = Value::Long(v.b ? 1 : 0); return true;
    case Type::Long: case Type::Real: *out = v; return true;
    case Type::Time: *out = Value::Long(v.l); return true;
    case Type::Undefined: case Type::Null: *out = Value::Real(0); return true;
    default: return Fail(f, "Num cannot convert " + Article(v.type));
  }
}

bool ReplaceString(Frame& f, const Args& a, Value* out) {
  std::string src, old, rep;
  int32_t howMany = INT32_MAX;
  bool exact = false;
  if (!EvalText(f, a[0], &src, "Replace string: the source") ||
      !EvalText(f, a[1], &old, "Replace string: the old text") ||
      !EvalText(f, a[2], &rep, "Replace string: the new text"))
    return false;
  for (size_t i = 3; i < a.size(); ++i) {
    if (a.star(i)) exact = true;
    else if (i == 3 && !EvalLong(f, a[i], &howMany, "Replace string: the count")) return false;
    else if (i == 4) return Fail(f, "Replace string: the fifth parameter can only be *");
  }
  std::string result;
  size_t from = 0;
  for (int32_t done = 0; !old.empty() && done < howMany; ++done) {
    size_t at = FindText(src, old, from, exact);
    if (at == std::string::npos) break;
    result.append(src, from, at - from);
    result += rep;
    if (result.size() > f.rt->maxBytes) return Fail(f, "Replace string: the text is too long");
    from = at + old.size();
  }
  result.append(src, from, std::string::npos);
  *out = Value::Text(std::move(result));
  return true;
}

// Without * accented letters lose their accents: Uppercase("hélène") is "HELENE".
bool ChangeCase(Frame& f, const Args& a, Value* out, bool upper) {
  const std::string cmd = upper ? "Uppercase" : "Lowercase";
  std::string t;
  if (!EvalText(f, a[0], &t, cmd + ": the parameter")) return false;
  if (a.size() > 1 && !a.star(1)) return Fail(f, cmd + ": the second parameter can only be *");
  if (a.size() == 1) {
    std::string plain;
    for (size_t i = 0; i < t.size();) {
      size_t at = i;
      uint32_t c = DecodeUtf8(t, &i);
      if (c == kInvalidByte) plain += t[at];
      else AppendUtf8(&plain, FoldCharacter(c, false, true));
    }
    t = std::move(plain);
  }
  *out = Value::Text(upper ? Uppercase(t) : Lowercase(t));
  return true;
}
bool UppercaseFn(Frame& f, const Args& a, Value* out) { return ChangeCase(f, a, out, true); }
bool LowercaseFn(Frame& f, const Args& a, Value* out) { return ChangeCase(f, a, out, false); }

// ---- clock ----------------------------------------------------------------------------

bool MillisecondsFn(Frame&, const Args&, Value* out) {
  *out = Value::Long(int32_t(platform::Milliseconds()));
  return true;
}

bool Tickcount(Frame&, const Args&, Value* out) {
  *out = Value::Long(int32_t(platform::TickCount()));
  return true;
}

bool CurrentDate(Frame&, const Args&, Value* out) {
  platform::DateTimeFields t = platform::SecondsToFields(platform::DateTimeNow());
  *out = Value::MakeDate(Date{t.year, t.month, t.day});
  return true;
}

bool CurrentTime(Frame&, const Args&, Value* out) {
  platform::DateTimeFields t = platform::SecondsToFields(platform::DateTimeNow());
  *out = Value::Time(t.hour * 3600 + t.minute * 60 + t.second);
  return true;
}

// ---- output and checks ----------------------------------------------------------------

// ECHO(value): the runner's own printout, a line on standard output. No 4D command has
// this name, so it cannot hide one.
bool Echo(Frame& f, const Args& a, Value*) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.type == Type::Array) return Fail(f, "ECHO cannot print an array");
  // A BLOB's bytes are shown as the Mac Roman text they would be to the plug-in.
  f.rt->out(v.type == Type::Text ? ToText(v) : platform::MacRomanToUtf8(ToText(v)));
  return true;
}

// A failed assertion ends every process (the run's status is 1), unless an error method
// (ON ERR CALL) takes it as error -10518.
bool AssertionFailed(Frame& f, const Args& a);
bool Assert(Frame& f, const Args& a, Value*) {
  bool ok;
  if (!EvalBool(f, a[0], &ok, "ASSERT: the condition")) return false;
  return ok || AssertionFailed(f, a);
}

// Asserted: ASSERT that also gives the condition back.
bool Asserted(Frame& f, const Args& a, Value* out) {
  bool ok;
  if (!EvalBool(f, a[0], &ok, "Asserted: the condition")) return false;
  *out = Value::Bool(ok);
  return ok || AssertionFailed(f, a);
}

// TRACE opens 4D's debugger: there is none here, so it does nothing.
bool Trace(Frame&, const Args&, Value*) { return true; }

// Is Windows and Is macOS: this system is neither.
bool IsWindows(Frame&, const Args&, Value* out) {
  *out = Value::Bool(false);
  return true;
}

bool AssertionFailed(Frame& f, const Args& a) {
  std::string message;
  if (a.size() > 1) {
    Value m;
    if (!Eval(f, a[1], &m)) return false;
    message = ToText(m);
  }
  Runtime& rt = *f.rt;
  if (rt.aborting) return false;
  // With an error method installed the failure is error -10518, which it may handle.
  if (ErrorsHandled(f))
    return FailCode(f, kErrorAssertion, "Assertion failed" + (message.empty() ? "" : ": " + message));
  rt.err(std::string("Assertion failed in method \"" + f.method->name + "\" line " +
                                  std::to_string(f.line) + (message.empty() ? "" : ": " + message)));
  rt.status = 1;
  rt.aborting = true;
  return false;
}

// ---- numbers and dates ----------------------------------------------------------------

bool Not(Frame& f, const Args& a, Value* out) {
  bool b;
  if (!EvalBool(f, a[0], &b, "Not: the parameter")) return false;
  *out = Value::Bool(!b);
  return true;
}

bool Abs(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.type == Type::Long && v.l != INT32_MIN) *out = Value::Long(v.l < 0 ? -v.l : v.l);
  else if (v.numeric()) *out = Value::Real(std::fabs(v.Number()));
  else return Fail(f, "Abs: the parameter must be a number");
  return true;
}

bool Int(Frame& f, const Args& a, Value* out) {
  double d;
  if (!EvalNumber(f, a[0], &d, "Int: the parameter")) return false;
  double r = std::floor(d);
  *out = std::fabs(r) < 2147483647.0 ? Value::Long(int32_t(r)) : Value::Real(r);
  return true;
}

bool Round(Frame& f, const Args& a, Value* out) {
  double d;
  int32_t places;
  if (!EvalNumber(f, a[0], &d, "Round: the number") ||
      !EvalLong(f, a[1], &places, "Round: the places"))
    return false;
  if (places < -15 || places > 15) return Fail(f, "Round: the places must be -15 to 15");
  double scale = std::pow(10.0, places);
  *out = Value::Real(std::round(d * scale) / scale);
  return true;
}

bool Random(Frame&, const Args&, Value* out) {
  static std::minstd_rand gen(std::random_device{}());
  *out = Value::Long(int32_t(gen() % 32768));
  return true;
}

bool DatePart(Frame& f, const Args& a, Value* out, const char* cmd, int Date::*part) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.type != Type::Date) return Fail(f, std::string(cmd) + ": the parameter must be a date");
  *out = Value::Long(v.d.*part);
  return true;
}
bool YearOf(Frame& f, const Args& a, Value* out) { return DatePart(f, a, out, "Year of", &Date::year); }
bool MonthOf(Frame& f, const Args& a, Value* out) { return DatePart(f, a, out, "Month of", &Date::month); }
bool DayOf(Frame& f, const Args& a, Value* out) { return DatePart(f, a, out, "Day of", &Date::day); }

// Reports what the parser put in place of a call it could not resolve.
bool ReportUnrunnable(Frame& f, const Args& a, Value*) {
  Value message;
  if (!Eval(f, a[0], &message)) return false;
  return Fail(f, message.str());
}

// Name, 4D command number, parameter counts, whether it returns a value, parameter kinds, function, whether
// it touches the system (see BuiltinInfo).
constexpr BuiltinInfo kBuiltins[] = {
    {"C_LONGINT", 283, 1, -1, false, "e", CLongint, false},
    {"C_INTEGER", 282, 1, -1, false, "e", CLongint, false},
    {"C_REAL", 285, 1, -1, false, "e", CReal, false},
    {"C_TEXT", 284, 1, -1, false, "e", CText, false},
    {"C_STRING", 293, 1, -1, false, "e", CString, false},
    {"C_BOOLEAN", 305, 1, -1, false, "e", CBoolean, false},
    {"C_BLOB", 604, 1, -1, false, "e", CBlob, false},
    {"C_PICTURE", 286, 1, -1, false, "e", CPicture, false},
    {"C_DATE", 307, 1, -1, false, "e", CDate, false},
    {"C_TIME", 306, 1, -1, false, "e", CTime, false},
    {"C_POINTER", 301, 1, -1, false, "e", CPointer, false},
    {"C_OBJECT", 1216, 1, -1, false, "e", CObject, false},
    {"C_COLLECTION", 1488, 1, -1, false, "e", CCollection, false},
    {"C_VARIANT", 1683, 1, -1, false, "e", CVariant, false},
    {"Is nil pointer", 315, 1, 1, true, "e", IsNilPointer, false},
    {"SET REAL COMPARISON LEVEL", 623, 1, 1, false, "e", SetRealComparisonLevel, false},
    {"Length", 16, 1, 1, true, "e", Length, false},
    {"Substring", 12, 2, 3, true, "eee", Substring, false},
    {"Char", 90, 1, 1, true, "e", Char, false},
    {"Character code", 91, 1, 1, true, "e", CharacterCode, false},
    {"Num", 11, 1, 2, true, "ee", Num, false},
    {"Replace string", 233, 3, 5, true, "eeeee", ReplaceString, false},
    {"Uppercase", 13, 1, 2, true, "ee", UppercaseFn, false},
    {"Lowercase", 14, 1, 2, true, "ee", LowercaseFn, false},
    {"Milliseconds", 459, 0, 0, true, "", MillisecondsFn, false},
    {"Tickcount", 458, 0, 0, true, "", Tickcount, false},
    {"Current date", 33, 0, 1, true, "e", CurrentDate, false},
    {"Current time", 178, 0, 1, true, "e", CurrentTime, false},
    {"ECHO", 0, 1, 1, false, "e", Echo, false},
    {"ASSERT", 1129, 1, 2, false, "ee", Assert, false},
    {"Asserted", 1132, 1, 2, true, "ee", Asserted, false},
    {"TRACE", 157, 0, 0, false, "", Trace, false},
    {"Is Windows", 1573, 0, 0, true, "", IsWindows, false},
    {"Is macOS", 1572, 0, 0, true, "", IsWindows, false},
    {"Not", 34, 1, 1, true, "e", Not, false},
    {"Abs", 99, 1, 1, true, "e", Abs, false},
    {"Int", 8, 1, 1, true, "e", Int, false},
    {"Round", 94, 2, 2, true, "ee", Round, false},
    {"Random", 100, 0, 0, true, "", Random, false},
    {"Year of", 25, 1, 1, true, "e", YearOf, false},
    {"Month of", 24, 1, 1, true, "e", MonthOf, false},
    {"Day of", 23, 1, 1, true, "e", DayOf, false},
};

}  // namespace

// Not reachable by name: a word never holds parentheses.
constexpr BuiltinInfo kUnknownName{"(unknown name)", 0, 1, -1, true, "e", ReportUnrunnable, false};
constexpr BuiltinInfo kTable{"(table)", 0, 1, -1, true, "e", ReportUnrunnable, false};

const BuiltinInfo& UnrunnableBuiltin(Unrunnable what) {
  return what == Unrunnable::Table ? kTable : kUnknownName;
}

const BuiltinInfo* BuiltinByNumber(int32_t number) {
  static const std::unordered_map<int32_t, const BuiltinInfo*> byNumber = [] {
    std::unordered_map<int32_t, const BuiltinInfo*> m;
    for (const BuiltinInfo& b : Builtins())
      if (b.number > 0) m.emplace(b.number, &b);
    return m;
  }();
  auto it = byNumber.find(number);
  return it == byNumber.end() ? nullptr : it->second;
}

// One constant table, not code that fills a map: 1,300 rows of inserts took longer to
// compile than the rest of the runner.
constexpr CommandNumber kCommandNumbers[] = {
#define VRX_4D_COMMAND(name, number) {name, number},
#include "runner/command_numbers.def"
#undef VRX_4D_COMMAND
};

std::span<const CommandNumber> CommandNumbers() { return kCommandNumbers; }

std::string_view CommandName(int32_t number) {
  const CommandNumber* end = std::end(kCommandNumbers);
  const CommandNumber* it = std::lower_bound(std::begin(kCommandNumbers), end, number,
                                             [](const CommandNumber& c, int32_t n) { return c.number < n; });
  return it != end && it->number == number ? it->name : std::string_view();
}

std::span<const BuiltinInfo> Builtins() {
  static const std::vector<BuiltinInfo> all = [] {
    std::vector<BuiltinInfo> v(std::begin(kBuiltins), std::end(kBuiltins));
    for (auto family : {BlobBuiltins(), DocumentBuiltins(), ArrayBuiltins(), FormatBuiltins(),
                         ProcessBuiltins(), ObjectBuiltins(), LanguageBuiltins(),
                         TextBuiltins(), DateBuiltins(), EncodingBuiltins(), ClassBuiltins(),
                         FormulaBuiltins(), FileBuiltins(), TrimBuiltins(), ErrorBuiltins(),
                         JsonSchemaBuiltins()})
      v.insert(v.end(), family.begin(), family.end());
    return v;
  }();
  return all;
}

bool CallBuiltin(Frame& f, const Node& call, Value* out) {
  *out = Value();
  const BuiltinInfo& b = *f.code->builtins[size_t(call.a)].info;
  if (f.rt->confined && b.system) [[unlikely]]
    return Fail(f, std::string(b.name) + " is not available to a confined method");
  Args a{f.code->args.data() + call.b, size_t(call.argc), f.nodes};
  return b.fn(f, a, out);
}

}  // namespace runner
