// The language's own functions (Choose, Type, Undefined, Is a variable, Current method
// name) and the arithmetic ones (Mod, Trunc, Dec, Square root, Exp, Arctan, Log...).
#include <cmath>

#include "runner/interp.h"

namespace runner {

namespace {

// ---- language -------------------------------------------------------------------------

// Choose(criterion; value0; value1...): True picks value0, False value1; a number n picks
// value n. Only the chosen value is evaluated; out of range gives an undefined value.
bool Choose(Frame& f, const Args& a, Value* out) {
  Value c;
  if (!Eval(f, a[0], &c)) return false;
  int64_t pick;
  if (c.type == Type::Boolean) pick = c.b ? 0 : 1;
  else if (c.numeric()) pick = int64_t(std::trunc(c.Number()));
  else return Fail(f, "Choose: the criterion must be a boolean or a number, not " + Article(c.type));
  if (pick < 0 || pick >= int64_t(a.size()) - 1) {
    *out = Value();
    return true;
  }
  return Eval(f, a[size_t(pick) + 1], out);
}

// The type numbers of arrays ("Text array"...), by element type.
int32_t ArrayTypeNumber(Type elem) {
  switch (elem) {
    case Type::Real: return 14;
    case Type::Long: return 16;
    case Type::Date: return 17;
    case Type::Text: return 18;
    case Type::Picture: return 19;
    case Type::Pointer: return 20;
    case Type::Boolean: return 22;
    case Type::Blob: return 31;
    case Type::Time: return 32;
    case Type::Array: return 13;  // a two-dimensional array
    default: return 39;  // objects
  }
}

// The value of an argument without failing on an undefined variable (Type, Undefined).
bool MaybeUndefined(Frame& f, int32_t arg, Value* copy, const Value** out) {
  if (IsWholeVar(f.node(arg)) && f.node(arg).op != Op::Deref) {
    Var* var = FindVar(f, arg);
    *out = &var->v;
    return true;
  }
  return ValueOf(f, arg, copy, out);
}

bool TypeOf(Frame& f, const Args& a, Value* out) {
  Value copy;
  const Value* v;
  if (!MaybeUndefined(f, a[0], &copy, &v)) return false;
  *out = Value::Long(v->type == Type::Array ? ArrayTypeNumber(v->elem) : TypeNumber(*v));
  return true;
}

bool UndefinedFn(Frame& f, const Args& a, Value* out) {
  Value copy;
  const Value* v;
  if (!MaybeUndefined(f, a[0], &copy, &v)) return false;
  *out = Value::Bool(v->type == Type::Undefined);
  return true;
}

// True when the pointer names a variable or an element (4D: not a table or a field).
bool IsAVariable(Frame& f, const Args& a, Value* out) {
  Value p;
  if (!Eval(f, a[0], &p)) return false;
  if (p.type != Type::Pointer) return Fail(f, "Is a variable: the parameter must be a pointer, not " + Article(p.type));
  *out = Value::Bool(p.ptr().kind != PointerKind::Nil);
  return true;
}

// Bool(expression): True for True and for a number other than 0; False for anything else.
bool BoolFn(Frame& f, const Args& a, Value* out) {
  Value copy;
  const Value* v;
  if (!MaybeUndefined(f, a[0], &copy, &v)) return false;
  *out = Value::Bool(v->type == Type::Boolean ? v->b : v->numeric() && v->Number() != 0);
  return true;
}

bool CurrentMethodName(Frame& f, const Args&, Value* out) {
  *out = Value::Text(f.method->name);
  return true;
}

// ---- arithmetic -----------------------------------------------------------------------

bool Number(Frame& f, const Args& a, size_t i, double* d, const char* cmd) {
  return EvalNumber(f, a[i], d, std::string(cmd) + ": the parameter");
}

// A whole result that fits a longint is one, as 4D gives Int and Trunc.
Value Whole(double d) { return std::fabs(d) < 2147483647.0 ? Value::Long(int32_t(d)) : Value::Real(d); }

// Reals are rounded first; the remainder takes the sign of the dividend.
bool Mod(Frame& f, const Args& a, Value* out) {
  double x, y;
  if (!Number(f, a, 0, &x, "Mod") || !Number(f, a, 1, &y, "Mod")) return false;
  x = std::round(x);
  y = std::round(y);
  if (y == 0) return FailCode(f, kErrorGeneral, "Mod: division by zero");
  *out = Whole(std::fmod(x, y));
  return true;
}

bool Trunc(Frame& f, const Args& a, Value* out) {
  double d;
  int32_t places;
  if (!Number(f, a, 0, &d, "Trunc") || !EvalLong(f, a[1], &places, "Trunc: the places")) return false;
  if (places < -15 || places > 15) return Fail(f, "Trunc: the places must be -15 to 15");
  double scale = std::pow(10.0, places);
  // 4D truncates toward minus infinity: Trunc(-216.367;1) is -216.4.
  *out = Value::Real(std::floor(d * scale) / scale);
  return true;
}

bool Dec(Frame& f, const Args& a, Value* out) {
  double d;
  if (!Number(f, a, 0, &d, "Dec")) return false;
  *out = Value::Real(d - std::trunc(d));
  return true;
}

bool Unary(Frame& f, const Args& a, Value* out, const char* cmd, double (*fn)(double)) {
  double d;
  if (!Number(f, a, 0, &d, cmd)) return false;
  *out = Value::Real(fn(d));
  return true;
}
bool SquareRoot(Frame& f, const Args& a, Value* out) {
  return Unary(f, a, out, "Square root", [](double d) { return std::sqrt(d); });
}
bool Exp(Frame& f, const Args& a, Value* out) { return Unary(f, a, out, "Exp", [](double d) { return std::exp(d); }); }
bool Arctan(Frame& f, const Args& a, Value* out) { return Unary(f, a, out, "Arctan", [](double d) { return std::atan(d); }); }
bool Sin(Frame& f, const Args& a, Value* out) { return Unary(f, a, out, "Sin", [](double d) { return std::sin(d); }); }
bool Cos(Frame& f, const Args& a, Value* out) { return Unary(f, a, out, "Cos", [](double d) { return std::cos(d); }); }
bool Tan(Frame& f, const Args& a, Value* out) { return Unary(f, a, out, "Tan", [](double d) { return std::tan(d); }); }
// 4D's Log is the natural logarithm.
bool NaturalLog(Frame& f, const Args& a, Value* out) { return Unary(f, a, out, "Log", [](double d) { return std::log(d); }); }

constexpr BuiltinInfo kLanguageBuiltins[] = {
    {"Choose", 955, 2, -1, true, "e", Choose, false},
    {"Type", 295, 1, 1, true, "e", TypeOf, false},
    {"Undefined", 82, 1, 1, true, "e", UndefinedFn, false},
    {"Is a variable", 294, 1, 1, true, "e", IsAVariable, false},
    {"Bool", 1537, 1, 1, true, "e", BoolFn, false},
    {"Current method name", 684, 0, 0, true, "", CurrentMethodName, false},
    {"Mod", 98, 2, 2, true, "ee", Mod, false},
    {"Trunc", 95, 2, 2, true, "ee", Trunc, false},
    {"Dec", 9, 1, 1, true, "e", Dec, false},
    {"Square root", 539, 1, 1, true, "e", SquareRoot, false},
    {"Exp", 21, 1, 1, true, "e", Exp, false},
    {"Arctan", 20, 1, 1, true, "e", Arctan, false},
    {"Sin", 17, 1, 1, true, "e", Sin, false},
    {"Cos", 18, 1, 1, true, "e", Cos, false},
    {"Tan", 19, 1, 1, true, "e", Tan, false},
    {"Log", 22, 1, 1, true, "e", NaturalLog, false},
};

}  // namespace

std::span<const BuiltinInfo> LanguageBuiltins() { return kLanguageBuiltins; }

}  // namespace runner
