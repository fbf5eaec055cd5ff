// The language core, run from the compiled form of code.h. In order:
//   operators on Values   Binary, Compare and Arith: every type, with 4D's errors;
//   scalars               scalar code: longints, reals and booleans in registers,
//                         one instruction function per operand sources (and operator);
//   variables             slots, parameters by number, assignment and conversion;
//   expressions           the general evaluation of nodes, one function per kind;
//   statements            one function per statement kind, chosen when compiled;
// then what interp.h declares: labels, conversion, assignment, typed evaluation, method
// calls, process bodies and RunProgram.
#include "runner/interp.h"

#include <algorithm>
#include <type_traits>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "host/host.h"
#include "platform/services.h"

namespace runner {

namespace {

// Interpreted code gives the other processes their turn now and then, as 4D's
// scheduler does, so that a polling loop without DELAY PROCESS cannot starve them.
constexpr uint32_t kStatementsPerSlice = 512;

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

const char* OpName(Tok op) {
  switch (op) {
    case Tok::Plus: return "+";
    case Tok::Minus: return "-";
    case Tok::Star: return "*";
    case Tok::Slash: return "/";
    case Tok::Backslash: return "\\";
    case Tok::Percent: return "%";
    case Tok::Caret: return "^";
    case Tok::Eq: return "=";
    case Tok::Hash: return "#";
    case Tok::Lt: return "<";
    case Tok::Gt: return ">";
    case Tok::Le: return "<=";
    case Tok::Ge: return ">=";
    case Tok::Amp: return "&";
    case Tok::Pipe: return "|";
    case Tok::XorBits: return "^|";
    case Tok::ShiftLeft: return "<<";
    case Tok::ShiftRight: return ">>";
    case Tok::BitSet: return "?+";
    case Tok::BitClear: return "?-";
    case Tok::BitTest: return "??";
    default: return "?";
  }
}

bool IsBitwise(Tok op) {
  switch (op) {
    case Tok::Amp: case Tok::Pipe: case Tok::XorBits: case Tok::ShiftLeft: case Tok::ShiftRight:
    case Tok::BitSet: case Tok::BitClear: case Tok::BitTest:
      return true;
    default:
      return false;
  }
}

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
    if ((op == Tok::Eq || op == Tok::Hash) && b.s.find('@') != std::string::npos) {
      bool match = MatchWildcard(a.s, b.s);
      *out = Value::Bool(op == Tok::Eq ? match : !match);
      return true;
    }
    c = CompareText(a.s, b.s);
  } else if (a.type == Type::Date && b.type == Type::Date) {
    int64_t x = DateToDays(a.d), y = DateToDays(b.d);
    c = x < y ? -1 : x > y ? 1 : 0;
  } else if (a.type == Type::Boolean && b.type == Type::Boolean) {
    c = a.b == b.b ? 0 : 1;
    orderable = false;
  } else if ((a.type == Type::Blob || a.type == Type::Picture) && a.type == b.type) {
    c = a.s == b.s ? 0 : 1;
    orderable = false;
  } else if (a.type == Type::Pointer && b.type == Type::Pointer) {
    c = a.ptr == b.ptr ? 0 : 1;
    orderable = false;
  } else {
    return Fail(f, std::string("cannot compare ") + Article(a.type) + " with " +
                       Article(b.type) + " (" + OpName(op) + ")" +
                       NumHint(aNum ? b.type : bNum ? a.type : Type::Undefined));
  }
  if (!orderable && op != Tok::Eq && op != Tok::Hash)
    return Fail(f, std::string("values of type ") + std::string(TypeName(a.type)) +
                       " cannot be ordered (" + OpName(op) + ")");
  bool r = false;
  switch (op) {
    case Tok::Eq: r = c == 0; break;
    case Tok::Hash: r = c != 0; break;
    case Tok::Lt: r = c < 0; break;
    case Tok::Gt: r = c > 0; break;
    case Tok::Le: r = c <= 0; break;
    case Tok::Ge: r = c >= 0; break;
    default: break;
  }
  *out = Value::Bool(r);
  return true;
}

[[gnu::noinline]] bool Binary(Frame& f, Tok op, const Value& a, const Value& b, Value* out) {
  auto mismatch = [&] {
    Type text = a.type == Type::Text && b.numeric()   ? a.type
                : b.type == Type::Text && a.numeric() ? b.type
                                                      : Type::Undefined;
    return Fail(f, std::string("the operator ") + OpName(op) + " does not apply to " +
                       Article(a.type) + " and " + Article(b.type) + NumHint(text));
  };
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
  if (op == Tok::Plus && a.type == Type::Text && b.type == Type::Text) {
    if (a.s.size() + b.s.size() > f.rt->maxBytes) return Fail(f, "the text is too long");
    *out = Value::Text(a.s + b.s);
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

// ---- scalars --------------------------------------------------------------------------
// Longints, reals and booleans are worked on without a Value around them wherever an
// expression has no call in it, by its scalar code (code.h).

}  // namespace

// Every write fills the whole 8-byte payload, and copies move the type and the payload
// separately: a wider read of narrower writes would stall on store forwarding.
struct Scalar {
  Type type;  // Long, Real or Boolean
  union {
    int32_t l;
    double r;
    bool b;
    uint64_t bits;
  };
  double Number() const { return type == Type::Real ? r : double(l); }
};

inline void SetLong(Scalar* out, int32_t v) {
  out->type = Type::Long;
  out->bits = uint32_t(v);
}
inline void SetReal(Scalar* out, double v) {
  out->type = Type::Real;
  out->r = v;
}
inline void SetBool(Scalar* out, bool v) {
  out->type = Type::Boolean;
  out->bits = v;
}
inline void Copy(Scalar* out, const Scalar& in) {
  out->type = in.type;
  out->bits = in.bits;
}

namespace {

void SetScalar(Value* out, const Scalar& s) {
  if (out->type == Type::Text || out->type == Type::Blob || out->type == Type::Picture ||
      out->type == Type::Array)
    *out = Value();
  out->type = s.type;
  switch (s.type) {
    case Type::Long: out->l = s.l; break;
    case Type::Real: out->r = s.r; break;
    default: out->b = s.b; break;
  }
}

// Stores a scalar into a whole variable as Assign would; false, with nothing changed,
// when Assign has to decide (conversions it refuses, texts of fixed length).
inline bool StoreScalar(Var& var, const Scalar& s) {
  Value& v = var.v;
  if (v.type == s.type && s.type == Type::Long) {  // Long variables never have a length
    v.l = s.l;
    return true;
  }
  if (var.maxLen != 0) return false;
  switch (v.type) {
    case Type::Undefined: SetScalar(&v, s); return true;
    case Type::Long:
      if (s.type != Type::Real) return false;
      v.l = RealToLong(s.r);
      return true;
    case Type::Real:
      if (s.type == Type::Boolean) return false;
      v.r = s.Number();
      return true;
    case Type::Boolean:
      if (s.type != Type::Boolean) return false;
      v.b = s.b;
      return true;
    case Type::Time:
      if (s.type == Type::Long) v.l = s.l;
      else if (s.type == Type::Real) v.l = RealToLong(s.r);
      else return false;
      return true;
    default:
      return false;
  }
}

inline Var& Slot(Frame& f, const Node& n) {
  switch (n.op) {
    case Op::Local: return f.locals[size_t(n.a)];
    case Op::Param: return f.params[size_t(n.a)];
    case Op::ProcessVar: return f.proc->vars[size_t(n.a)];
    default: return f.rt->interprocess[size_t(n.a)];
  }
}

// Arith's cases for two numbers; false on a division by zero (the tree reports it).
[[gnu::noinline]] bool ArithReal(Tok op, const Scalar& a, const Scalar& b, Scalar* out) {
  double x = a.Number(), y = b.Number();
  switch (op) {
    case Tok::Plus: SetReal(out, x + y); return true;
    case Tok::Minus: SetReal(out, x - y); return true;
    case Tok::Star: SetReal(out, x * y); return true;
    case Tok::Slash:
      if (y == 0) return false;
      SetReal(out, x / y);
      return true;
    case Tok::Backslash:
    case Tok::Percent: {
      int64_t p = RealToLong(x), q = RealToLong(y);
      if (q == 0) return false;
      int64_t r = op == Tok::Backslash ? p / q : p % q;
      if (r >= INT32_MIN && r <= INT32_MAX) SetLong(out, int32_t(r));
      else SetReal(out, double(r));
      return true;
    }
    case Tok::Caret:
      SetReal(out, std::pow(x, y));
      return true;
    default:
      return false;
  }
}

inline bool ArithScalar(Tok op, const Scalar& a, const Scalar& b, Scalar* out) {
  if (a.type != Type::Long || b.type != Type::Long) return ArithReal(op, a, b, out);
  int64_t x = a.l, y = b.l, r;
  switch (op) {
    case Tok::Plus: r = x + y; break;
    case Tok::Minus: r = x - y; break;
    case Tok::Star: r = x * y; break;
    case Tok::Backslash:
    case Tok::Percent:
      if (y == 0) return false;
      r = op == Tok::Backslash ? x / y : x % y;
      break;
    default: return ArithReal(op, a, b, out);
  }
  // Past the longint range the result is a real, as 4D gives it.
  if (r >= INT32_MIN && r <= INT32_MAX) SetLong(out, int32_t(r));
  else SetReal(out, double(r));
  return true;
}

bool CompareScalar(Tok op, const Scalar& x, const Scalar& y, Scalar* out) {
  int c;
  if (x.type == Type::Long && y.type == Type::Long) {
    c = x.l < y.l ? -1 : x.l > y.l ? 1 : 0;
  } else if (x.type != Type::Boolean && y.type != Type::Boolean) {
    // Equality of reals depends on the process's epsilon: the tree path tests it.
    if (op == Tok::Eq || op == Tok::Hash) return false;
    double p = x.Number(), q = y.Number();
    c = p < q ? -1 : p > q ? 1 : 0;
  } else if (x.type == Type::Boolean && y.type == Type::Boolean &&
             (op == Tok::Eq || op == Tok::Hash)) {
    c = x.b == y.b ? 0 : 1;
  } else {
    return false;
  }
  bool r = false;
  switch (op) {
    case Tok::Eq: r = c == 0; break;
    case Tok::Hash: r = c != 0; break;
    case Tok::Lt: r = c < 0; break;
    case Tok::Gt: r = c > 0; break;
    case Tok::Le: r = c <= 0; break;
    default: r = c >= 0; break;
  }
  SetBool(out, r);
  return true;
}

inline Var& SlotOf(Frame& f, Src src, int32_t index) {
  switch (src) {
    case Src::Local: return f.locals[size_t(index)];
    case Src::Param: return f.params[size_t(index)];
    case Src::ProcessVar: return f.proc->vars[size_t(index)];
    default: return f.rt->interprocess[size_t(index)];
  }
}

// A scalar's value, or a scalar of type Undefined when it is anything else. Returned in
// registers, not through memory.
[[gnu::always_inline]] inline Scalar Load(const Value& v) {
  Scalar s;
  s.type = v.type;
  if (v.type == Type::Long) s.bits = uint32_t(v.l);
  else if (v.type == Type::Real) s.r = v.r;
  else if (v.type == Type::Boolean) s.bits = v.b;
  else s.type = Type::Undefined, s.bits = 0;
  return s;
}

template <Src S>
[[gnu::always_inline]] inline Scalar FetchFrom(Frame& f, int32_t index, const Scalar* regs) {
  if constexpr (S == Src::Reg) {
    Scalar s;  // field by field (see Scalar)
    Copy(&s, regs[index]);
    return s;
  } else if constexpr (S == Src::Const) {
    return Load(f.code->consts[size_t(index)]);
  } else if constexpr (S == Src::Long) {
    Scalar s;
    SetLong(&s, index);
    return s;
  } else {
    return Load(SlotOf(f, S, index).v);
  }
}

Scalar Fetch(Frame& f, const Ref& r, const Scalar* regs) {
  switch (r.src) {
    case Src::Reg: return FetchFrom<Src::Reg>(f, r.index, regs);
    case Src::Const: return FetchFrom<Src::Const>(f, r.index, regs);
    case Src::Local: return FetchFrom<Src::Local>(f, r.index, regs);
    case Src::Param: return FetchFrom<Src::Param>(f, r.index, regs);
    case Src::ProcessVar: return FetchFrom<Src::ProcessVar>(f, r.index, regs);
    case Src::Interprocess: return FetchFrom<Src::Interprocess>(f, r.index, regs);
    case Src::Long: return FetchFrom<Src::Long>(f, r.index, regs);
  }
  return {};
}

// x bin y for any two scalars.
[[gnu::noinline]] bool BinaryAny(Tok bin, const Scalar& x, const Scalar& y, Scalar* to) {
  if (x.type == Type::Undefined || y.type == Type::Undefined) return false;
  switch (bin) {
    case Tok::Eq: case Tok::Hash: case Tok::Lt: case Tok::Gt: case Tok::Le: case Tok::Ge:
      return CompareScalar(bin, x, y, to);
    case Tok::Amp: case Tok::Pipe:
      if (x.type == Type::Boolean && y.type == Type::Boolean) {
        SetBool(to, bin == Tok::Amp ? (x.b && y.b) : (x.b || y.b));
        return true;
      }
      [[fallthrough]];
    case Tok::XorBits: case Tok::ShiftLeft: case Tok::ShiftRight: case Tok::BitSet:
    case Tok::BitClear: case Tok::BitTest: {
      if (x.type == Type::Boolean || y.type == Type::Boolean) return false;
      bool test = false;
      int32_t r = BitOp(bin, x.type == Type::Real ? RealToLong(x.r) : x.l,
                        y.type == Type::Real ? RealToLong(y.r) : y.l, &test);
      if (bin == Tok::BitTest) SetBool(to, test);
      else SetLong(to, r);
      return true;
    }
    default:
      if (x.type == Type::Boolean || y.type == Type::Boolean) return false;
      return ArithScalar(bin, x, y, to);
  }
}

// A longint operand read straight from where it stands; false for anything else.
template <Src S>
[[gnu::always_inline]] inline bool LongFrom(Frame& f, int32_t index, const Scalar* regs, int64_t* out) {
  if constexpr (S == Src::Reg) {
    if (regs[index].type != Type::Long) return false;
    *out = regs[index].l;
  } else if constexpr (S == Src::Long) {
    *out = index;
  } else {
    const Value& v = S == Src::Const ? f.code->consts[size_t(index)] : SlotOf(f, S, index).v;
    if (v.type != Type::Long) return false;
    *out = v.l;
  }
  return true;
}

template <Src X, Src Y>
[[gnu::noinline]] bool BinaryOther(Frame& f, const Ins& ins, Scalar* regs) {
  Scalar x = FetchFrom<X>(f, ins.x.index, regs);
  Scalar y = FetchFrom<Y>(f, ins.y.index, regs);
  return BinaryAny(ins.bin, x, y, &regs[ins.dst]);
}

// Two longints are worked on here; every other pair in BinaryOther.
template <Src X, Src Y>
bool BinaryIns(Frame& f, const Ins& ins, Scalar* regs) {
  int64_t a, b, r;
  if (!LongFrom<X>(f, ins.x.index, regs, &a) || !LongFrom<Y>(f, ins.y.index, regs, &b))
    return BinaryOther<X, Y>(f, ins, regs);
  Scalar* to = &regs[ins.dst];
  switch (ins.bin) {
    case Tok::Plus: r = a + b; break;
    case Tok::Minus: r = a - b; break;
    case Tok::Star: r = a * b; break;
    case Tok::Backslash:
      if (b == 0) return false;
      r = a / b;
      break;
    case Tok::Percent:
      if (b == 0) return false;
      r = a % b;
      break;
    case Tok::Eq: SetBool(to, a == b); return true;
    case Tok::Hash: SetBool(to, a != b); return true;
    case Tok::Lt: SetBool(to, a < b); return true;
    case Tok::Gt: SetBool(to, a > b); return true;
    case Tok::Le: SetBool(to, a <= b); return true;
    case Tok::Ge: SetBool(to, a >= b); return true;
    default: return BinaryOther<X, Y>(f, ins, regs);
  }
  // Past the longint range the result is a real, as 4D gives it.
  if (r >= INT32_MIN && r <= INT32_MAX) SetLong(to, int32_t(r));
  else SetReal(to, double(r));
  return true;
}

// BinaryIns for one operator known when the instruction is compiled.
template <Src X, Src Y, Tok Bin>
bool BinaryOpIns(Frame& f, const Ins& ins, Scalar* regs) {
  int64_t a, b, r;
  if (!LongFrom<X>(f, ins.x.index, regs, &a) || !LongFrom<Y>(f, ins.y.index, regs, &b))
    return BinaryOther<X, Y>(f, ins, regs);
  Scalar* to = &regs[ins.dst];
  if constexpr (Bin == Tok::Eq) { SetBool(to, a == b); return true; }
  else if constexpr (Bin == Tok::Hash) { SetBool(to, a != b); return true; }
  else if constexpr (Bin == Tok::Lt) { SetBool(to, a < b); return true; }
  else if constexpr (Bin == Tok::Gt) { SetBool(to, a > b); return true; }
  else if constexpr (Bin == Tok::Le) { SetBool(to, a <= b); return true; }
  else if constexpr (Bin == Tok::Ge) { SetBool(to, a >= b); return true; }
  else {
    if constexpr (Bin == Tok::Plus) r = a + b;
    else if constexpr (Bin == Tok::Minus) r = a - b;
    else if constexpr (Bin == Tok::Star) r = a * b;
    else {
      if (b == 0) return false;
      if constexpr (Bin == Tok::Backslash) r = a / b;
      else r = a % b;
    }
    if (r >= INT32_MIN && r <= INT32_MAX) SetLong(to, int32_t(r));
    else SetReal(to, double(r));
    return true;
  }
}

template <Src X>
bool NegateIns(Frame& f, const Ins& ins, Scalar* regs) {
  Scalar x = FetchFrom<X>(f, ins.x.index, regs);
  Scalar* to = &regs[ins.dst];
  if (x.type == Type::Long && x.l != INT32_MIN) SetLong(to, -x.l);
  else if (x.type == Type::Real || x.type == Type::Long) SetReal(to, -x.Number());
  else return false;
  return true;
}

template <Src Y>
bool ElementIns(Frame& f, const Ins& ins, Scalar* regs) {
  Scalar y = FetchFrom<Y>(f, ins.y.index, regs);
  if (y.type != Type::Long && y.type != Type::Real) return false;
  const Value& base = SlotOf(f, ins.x.src, ins.x.index).v;
  int32_t at = y.type == Type::Long ? y.l : RealToLong(y.r);
  if (base.type != Type::Array || at < 0 || size_t(at) >= base.items.size()) return false;
  Scalar v = Load(base.items[size_t(at)]);
  if (v.type == Type::Undefined) return false;
  Copy(&regs[ins.dst], v);
  return true;
}

// Calls pick with the source as a compile-time constant.
template <typename Pick>
InsFn ForSource(Src s, Pick pick) {
  switch (s) {
    case Src::Reg: return pick(std::integral_constant<Src, Src::Reg>{});
    case Src::Const: return pick(std::integral_constant<Src, Src::Const>{});
    case Src::Local: return pick(std::integral_constant<Src, Src::Local>{});
    case Src::Param: return pick(std::integral_constant<Src, Src::Param>{});
    case Src::ProcessVar: return pick(std::integral_constant<Src, Src::ProcessVar>{});
    case Src::Interprocess: return pick(std::integral_constant<Src, Src::Interprocess>{});
    case Src::Long: return pick(std::integral_constant<Src, Src::Long>{});
  }
  return nullptr;
}

// ForSource for registers, locals and longint literals only; nullptr for the others.
template <typename Pick>
InsFn ForCommonSource(Src s, Pick pick) {
  switch (s) {
    case Src::Reg: return pick(std::integral_constant<Src, Src::Reg>{});
    case Src::Long: return pick(std::integral_constant<Src, Src::Long>{});
    case Src::Local: return pick(std::integral_constant<Src, Src::Local>{});
    default: return nullptr;
  }
}

// Calls pick with the operator as a compile-time constant, for the operators longints
// meet most; nullptr for the others.
template <typename Pick>
InsFn ForOperator(Tok bin, Pick pick) {
  switch (bin) {
    case Tok::Plus: return pick(std::integral_constant<Tok, Tok::Plus>{});
    case Tok::Minus: return pick(std::integral_constant<Tok, Tok::Minus>{});
    case Tok::Star: return pick(std::integral_constant<Tok, Tok::Star>{});
    case Tok::Backslash: return pick(std::integral_constant<Tok, Tok::Backslash>{});
    case Tok::Percent: return pick(std::integral_constant<Tok, Tok::Percent>{});
    case Tok::Eq: return pick(std::integral_constant<Tok, Tok::Eq>{});
    case Tok::Hash: return pick(std::integral_constant<Tok, Tok::Hash>{});
    case Tok::Lt: return pick(std::integral_constant<Tok, Tok::Lt>{});
    case Tok::Gt: return pick(std::integral_constant<Tok, Tok::Gt>{});
    case Tok::Le: return pick(std::integral_constant<Tok, Tok::Le>{});
    case Tok::Ge: return pick(std::integral_constant<Tok, Tok::Ge>{});
    default: return nullptr;
  }
}

// Runs the scalar code of a node (see code.h); a result of type Undefined when it
// gives up.
[[gnu::always_inline]] inline Scalar RunScalar(Frame& f, int32_t code) {
  const ScalarCode& sc = f.code->scalars[size_t(code)];
  Scalar regs[kScalarRegs];
  for (const Ins* p = sc.first; p != sc.last; ++p) {
    if (!p->fn(f, *p, regs)) {
      Scalar fail;
      fail.type = Type::Undefined;
      fail.bits = 0;
      return fail;
    }
  }
  if (sc.result.src == Src::Reg) return FetchFrom<Src::Reg>(f, sc.result.index, regs);
  return Fetch(f, sc.result, regs);
}

// ---- variables ------------------------------------------------------------------------

bool CheckIndex(Frame& f, const Value& base, int32_t index, int32_t var) {
  size_t limit = base.type == Type::Array ? base.items.size() : base.s.size();
  if (index < 0 || size_t(index) >= limit)
    return Fail(f, "index " + std::to_string(index) + " is out of range for " + VarLabel(f, var) +
                       (base.type == Type::Array
                            ? " (size " + std::to_string(base.items.size() - 1) + ")"
                            : " (" + std::to_string(base.s.size()) + " bytes)"));
  return true;
}

// Parameter n of the frame; null when it is past the frame's and not `create`.
Var* ParamVar(Frame& f, int32_t n, bool create) {
  if (size_t(n) < f.params.size()) return &f.params[size_t(n)];
  if (!create) {
    auto it = f.farParams.find(n);
    return it == f.farParams.end() ? nullptr : &it->second;
  }
  return &f.farParams[n];
}

// Assigns to a whole variable; `label` names it in messages.
template <typename Label>
bool AssignVar(Frame& f, Var* var, Value v, Label label) {
  if (v.type == Type::Undefined) return Fail(f, "the value assigned to " + label() + " is undefined");
  if (var->v.type == Type::Array || v.type == Type::Array)
    return Fail(f, "arrays cannot be assigned with :=");
  if (var->v.type == Type::Undefined || (var->v.type == v.type && var->maxLen == 0)) {
    var->v = std::move(v);
    return true;
  }
  Value converted;
  if (!Convert(f, var->v.type, std::move(v), &converted, label())) return false;
  if (var->maxLen > 0 && converted.type == Type::Text && converted.s.size() > size_t(var->maxLen))
    converted.s.resize(size_t(var->maxLen));
  var->v = std::move(converted);
  return true;
}

// Stores v into element `index` of the variable node `label` names (var).
bool AssignElementOf(Frame& f, Var* var, int32_t index, Value v, int32_t label) {
  if (var->v.type == Type::Undefined)
    return Fail(f, "the variable " + VarLabel(f, label) + " is not defined");
  Value& base = var->v;
  if (base.type == Type::Array) {
    if (!CheckIndex(f, base, index, label)) return false;
    Value& slot = base.items[size_t(index)];
    if (v.type == base.elem) {
      slot = std::move(v);
      return true;
    }
    return Convert(f, base.elem, std::move(v), &slot, "an element of " + VarLabel(f, label));
  }
  if (base.type == Type::Blob) {
    if (!CheckIndex(f, base, index, label)) return false;
    if (!v.numeric()) return Fail(f, "a BLOB byte takes a number, not " + Article(v.type));
    base.s[size_t(index)] = char(uint8_t(RealToLong(v.Number()) & 0xFF));
    return true;
  }
  return Fail(f, VarLabel(f, label) + " is " + Article(base.type) + ": it has no elements");
}

// Element `index` of a variable's array or BLOB.
bool ElementOf(Frame& f, const Value& base, int32_t index, int32_t label, Value* out) {
  if (base.type == Type::Array) {
    if (!CheckIndex(f, base, index, label)) return false;
    *out = base.items[size_t(index)];
    return true;
  }
  if (base.type == Type::Blob) {
    if (!CheckIndex(f, base, index, label)) return false;
    *out = Value::Long(uint8_t(base.s[size_t(index)]));
    return true;
  }
  if (base.type == Type::Undefined) return Fail(f, "the variable " + VarLabel(f, label) + " is not defined");
  return Fail(f, VarLabel(f, label) + " is " + Article(base.type) + ": it has no elements");
}

// ---- pointers -------------------------------------------------------------------------

// ->variable or ->variable{index}
[[gnu::noinline]] bool EvalAddressOf(Frame& f, const Node& n, Value* out) {
  const Node* var = &f.node(n.a);
  Value p = Value::Empty(Type::Pointer);
  if (var->op == Op::Element) {
    if (!EvalLong(f, var->b, &p.ptr.element, "the index")) return false;
    if (p.ptr.element < 0) return Fail(f, "index " + std::to_string(p.ptr.element) + " is out of range");
    var = &f.node(var->a);
  }
  p.ptr.slot = var->a;
  switch (var->op) {
    case Op::Local: p.ptr.kind = PointerKind::Local; p.ptr.frame = f.serial; break;
    case Op::Param: p.ptr.kind = PointerKind::Param; p.ptr.frame = f.serial; break;
    case Op::ProcessVar: p.ptr.kind = PointerKind::ProcessVar; break;
    case Op::Interprocess: p.ptr.kind = PointerKind::Interprocess; break;
    default: return Fail(f, "-> points to variables and array elements only");
  }
  *out = std::move(p);
  return true;
}

// The variable a pointer points to; null, with the error reported, when there is none.
Var* PointedVar(Frame& f, const PointerRef& r) {
  switch (r.kind) {
    case PointerKind::Nil: Fail(f, "the pointer is nil (Is nil pointer)"); return nullptr;
    case PointerKind::ProcessVar: return &f.proc->vars[size_t(r.slot)];
    case PointerKind::Interprocess: return &f.rt->interprocess[size_t(r.slot)];
    case PointerKind::Local: case PointerKind::Param: {
      const std::vector<Frame*>& frames = f.proc->frames;
      for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
        if ((*it)->serial != r.frame) continue;
        return r.kind == PointerKind::Local ? &(*it)->locals[size_t(r.slot)]
                                            : &(*it)->params[size_t(r.slot)];
      }
      Fail(f, "the pointer points to a local variable of a method that has returned");
      return nullptr;
    }
  }
  return nullptr;
}

[[gnu::noinline]] bool EvalDeref(Frame& f, int32_t i, Value* out) {
  const Value* v;
  if (!DerefValue(f, i, out, &v)) return false;
  if (v != out) *out = *v;
  return true;
}

// ---- expressions ----------------------------------------------------------------------

[[gnu::noinline]] bool StackExhausted(Frame& f) {
  char here;
  const char* base = f.proc->stackBase;
  return base && base > &here && size_t(base - &here) > kStackBudget;
}

bool EvalNode(Frame& f, int32_t i, Value* out);

// A child of a pure node whose scalar evaluation gave up is evaluated the general way
// throughout; trying the scalar path again at every level would repeat it per level.
inline bool EvalChild(Frame& f, int32_t i, Value* out) {
  return f.node(i).pure ? EvalNode(f, i, out) : Eval(f, i, out);
}

// EvalNode recurses through nested expressions: each kind's work lives in a function of
// its own, so that the frame that recurses stays small.
[[gnu::noinline]] bool EvalVariable(Frame& f, int32_t i, Value* out) {
  const Node& n = f.node(i);
  const Var& var = Slot(f, n);
  if (var.v.type == Type::Undefined) {
    if (n.op == Op::Param) return Fail(f, "the parameter $" + std::to_string(n.a) + " was not passed");
    if (n.op == Op::Local) {
      const std::string& name = f.code->locals[size_t(n.a)];
      if (!name.empty() && name[0] >= '0' && name[0] <= '9')
        return Fail(f, "the parameter $" + name + " was not passed");
    }
    return Fail(f, "the variable " + VarLabel(f, i) + " is not defined");
  }
  *out = var.v;
  return true;
}

[[gnu::noinline]] bool EvalParamAt(Frame& f, const Node& n, Value* out) {
  int32_t number;
  if (!EvalLong(f, n.a, &number, "the parameter number")) return false;
  Var* var = number >= 0 ? ParamVar(f, number, false) : nullptr;
  if (!var || var->v.type == Type::Undefined)
    return Fail(f, "the parameter ${" + std::to_string(number) + "} was not passed");
  *out = var->v;
  return true;
}

[[gnu::noinline]] bool EvalElement(Frame& f, int32_t i, Value* out) {
  Target t;
  return ResolveTarget(f, i, &t) && ElementOf(f, t.var->v, t.index, t.label, out);
}

[[gnu::noinline]] bool EvalNegate(Frame& f, const Node& n, Value* out) {
  Value v;
  if (!EvalChild(f, n.a, &v)) return false;
  if (v.type == Type::Long && v.l != INT32_MIN) *out = Value::Long(-v.l);
  else if (v.numeric()) *out = Value::Real(-v.Number());
  else if (v.type == Type::Time && v.l != INT32_MIN) *out = Value::Time(-v.l);
  else if (v.type == Type::Time) *out = Value::Real(-double(v.l));  // as a sum of times past the range
  else return Fail(f, "cannot negate " + Article(v.type));
  return true;
}

[[gnu::noinline]] bool EvalBinary(Frame& f, const Node& n, Value* out) {
  // The left operand is evaluated into *out, so a chain a+b+c+... needs one Value
  // per level, not two.
  if (!EvalChild(f, n.a, out)) return false;
  Value b;
  if (!EvalChild(f, n.b, &b)) return false;
  Value a = std::move(*out);
  return Binary(f, n.bin, a, b, out);
}

[[gnu::noinline]] bool EvalMethodCall(Frame& f, const Node& n, Value* out, bool wantValue) {
  std::vector<Value> params;
  params.reserve(size_t(n.argc));
  for (int32_t k = 0; k < n.argc; ++k) {
    Value v;
    if (!Eval(f, f.code->args[size_t(n.b + k)], &v)) return false;
    params.push_back(std::move(v));
  }
  return CallMethod(f, f.code->calls[size_t(n.a)], std::move(params), out, wantValue);
}

bool EvalNode(Frame& f, int32_t i, Value* out) {
  if (StackExhausted(f)) return Fail(f, "stack overflow: calls and expressions nest too deeply");
  const Node& n = f.node(i);
  switch (n.op) {
    case Op::Const:
      *out = f.code->consts[size_t(n.a)];
      return true;
    case Op::Local: case Op::Param: case Op::ProcessVar: case Op::Interprocess:
      return EvalVariable(f, i, out);
    case Op::ParamAt: return EvalParamAt(f, n, out);
    case Op::Element: return EvalElement(f, i, out);
    case Op::Negate: return EvalNegate(f, n, out);
    case Op::Binary: return EvalBinary(f, n, out);
    case Op::Star: return Fail(f, "* is not a value here");
    case Op::Builtin: return CallBuiltin(f, n, out);
    case Op::Command: return CallPluginCommand(f, n, out);
    case Op::Method: return EvalMethodCall(f, n, out, true);
    case Op::AddressOf: return EvalAddressOf(f, n, out);
    case Op::Deref: return EvalDeref(f, i, out);
  }
  return false;
}

// ---- statements -----------------------------------------------------------------------

[[gnu::noinline]] bool Yield(Runtime& rt) {
  rt.slice = 0;
  if (rt.slicesLeft && --rt.slicesLeft == 0) {
    rt.err("The run has reached its statement limit");
    rt.status = 1;
    rt.aborting = true;
  }
  if (rt.host) rt.host->Yield();
  return !rt.aborting;
}

// False when the run is ending. Another process can only end it (a failed ASSERT)
// while this one has given way, so that is when it is looked at: here after Yield, in
// every command that waits, and when a process starts.
inline bool GiveWay(Frame& f) {
  Runtime& rt = *f.rt;
  return ++rt.slice < kStatementsPerSlice || Yield(rt);
}

// After an error that the error method (ON ERR CALL) has handled, the method goes on
// with the statement after the one that failed, as 4D does.
[[gnu::noinline]] bool Resume(Frame& f) {
  Process& p = *f.proc;
  if (!p.resume || f.rt->aborting) return false;
  p.resume = false;
  p.errorPending = false;
  return true;
}

[[gnu::always_inline]] inline bool RunBody(Frame& f, const std::vector<CStmt>& body) {
  for (const CStmt& s : body) {
    if (!GiveWay(f)) return false;
    f.line = s.line;
    if (!s.exec(f, s) && !Resume(f)) return false;
  }
  return true;
}

bool ExecBlock(Frame& f, const std::vector<CStmt>& body) { return RunBody(f, body); }

bool Condition(Frame& f, int32_t e, bool* out) { return EvalBool(f, e, out, "the condition"); }

// name(args) or name
bool ExecCall(Frame& f, const CStmt& s) {
  Value ignored;
  const Node& n = f.node(s.expr);
  if (n.op == Op::Method) return EvalMethodCall(f, n, &ignored, false);
  return Eval(f, s.expr, &ignored);
}

// target := value
bool ExecAssign(Frame& f, const CStmt& s) {
  Value v;
  if (!Eval(f, s.expr, &v)) return false;
  f.line = s.line;
  // A longint, real or boolean into a whole variable is stored in place.
  if (s.into.src != Src::Reg) {
    Scalar x = Load(v);
    if (x.type != Type::Undefined && StoreScalar(SlotOf(f, s.into.src, s.into.index), x))
      return true;
  }
  return Assign(f, s.target, std::move(v));
}

// What is left of a scalar assignment (CStmt::scalarCode) that the in-place path did not do.
[[gnu::noinline]] bool FinishScalarAssign(Frame& f, const CStmt& s, const Scalar& x) {
  Value v;
  if (x.type != Type::Undefined) SetScalar(&v, x);
  else if (!EvalNode(f, s.expr, &v)) return false;
  return Assign(f, s.target, std::move(v));
}

// If (cond) body [Else elseBody] End if
bool ExecIf(Frame& f, const CStmt& s) {
  bool c;
  if (!Condition(f, s.expr, &c)) return false;
  return ExecBlock(f, c ? s.body : s.elseBody);
}

// Case of {: (cond) body} [Else elseBody] End case
bool ExecCase(Frame& f, const CStmt& s) {
  for (const CBranch& b : s.branches) {
    bool c;
    if (!Condition(f, b.cond, &c)) return false;
    if (c) return ExecBlock(f, b.body);
  }
  return ExecBlock(f, s.elseBody);
}

// While (cond) body End while
bool ExecWhile(Frame& f, const CStmt& s) {
  for (;;) {
    f.line = s.line;
    bool c;
    if (!Condition(f, s.expr, &c)) return false;
    if (!c) return true;
    if (!ExecBlock(f, s.body) || !GiveWay(f)) return false;
  }
}

// Repeat body Until (cond)
bool ExecRepeat(Frame& f, const CStmt& s) {
  for (;;) {
    if (!ExecBlock(f, s.body)) return false;
    bool c;
    if (!Condition(f, s.expr, &c)) return false;
    if (c) return true;
    if (!GiveWay(f)) return false;
  }
}

// The counter's value at position i: a longint when i is a whole number in range.
Value CounterValue(double i) {
  return std::fabs(i) < 2147483647.0 && double(int32_t(i)) == i ? Value::Long(int32_t(i))
                                                                 : Value::Real(i);
}

// Where a loop goes on after its body: the counter's value (the body may have moved
// it; 4D continues from where it left it) plus the step.
bool NextPosition(Frame& f, const CStmt& s, Var* counter, double st, double* i) {
  if (counter && counter->v.type == Type::Long) {
    *i = double(counter->v.l) + st;
    return true;
  }
  Value now;
  if (!Eval(f, s.target, &now)) return false;
  if (!now.numeric()) return Fail(f, "the counter " + VarLabel(f, s.target) + " is no longer a number");
  *i = now.Number() + st;
  return true;
}

// A For loop from position i on, counting in reals: any counter, any bounds.
bool ForFrom(Frame& f, const CStmt& s, Var* counter, double i, double last, double st) {
  for (;;) {
    if (!(st > 0 ? i <= last : i >= last)) break;
    bool whole = std::fabs(i) < 2147483647.0 && double(int32_t(i)) == i;
    if (counter && whole && counter->v.type == Type::Long)
      counter->v.l = int32_t(i);
    else if (!Assign(f, s.target, CounterValue(i)))
      return false;
    if (!whole) {
      // A longint counter cannot hold this position: the loop ends here, instead of
      // running its body again and again with the largest value it can hold.
      Value now;
      if (!Eval(f, s.target, &now)) return false;
      if (now.type == Type::Long && double(now.l) != i) break;
    }
    if (!ExecBlock(f, s.body)) return false;
    f.line = s.line;
    if (!NextPosition(f, s, counter, st, &i) || !GiveWay(f)) return false;
  }
  return Assign(f, s.target, CounterValue(i));
}

// For (counter; start; end [; step]) body End for
bool ExecFor(Frame& f, const CStmt& s) {
  Value start, end, step = Value::Long(1);
  if (!Eval(f, s.expr, &start) || !Eval(f, s.to, &end)) return false;
  if (s.step >= 0 && !Eval(f, s.step, &step)) return false;
  for (const Value* v : {&start, &end, &step})
    if (!v->numeric()) return Fail(f, "the bounds of For must be numbers, not " + Article(v->type));
  if (step.Number() == 0) return Fail(f, "the step of For cannot be 0");
  const Node& target = f.node(s.target);
  Var* counter = IsWholeVar(target) ? &Slot(f, target) : nullptr;
  double lastReal = end.Number();
  if (!counter || start.type != Type::Long || step.type != Type::Long || std::isnan(lastReal))
    return ForFrom(f, s, counter, start.Number(), lastReal, step.Number());
  // A longint start and step and a variable as the counter: it is counted in integers
  // and set and read in place, which is exactly what counting in reals gives. A real end
  // is the whole number the counter can reach.
  int64_t i = start.l, st = step.l;
  constexpr double kFar = 4e18;  // past any counter; inside int64_t
  double edge = st > 0 ? std::floor(lastReal) : std::ceil(lastReal);
  int64_t last = edge > kFar ? int64_t(kFar) : edge < -kFar ? -int64_t(kFar) : int64_t(edge);
  if (counter->v.type == Type::Undefined && (st > 0 ? i <= last : i >= last))
    counter->v = Value::Long(0);  // takes the type of its first value
  for (;;) {
    if (!(st > 0 ? i <= last : i >= last)) break;
    // Inside the longint range, storing i is what assigning it as a real would give.
    if (counter->v.type != Type::Long || int64_t(int32_t(i)) != i)
      return ForFrom(f, s, counter, double(i), lastReal, double(st));
    counter->v.l = int32_t(i);
    if (!RunBody(f, s.body)) return false;
    f.line = s.line;
    if (counter->v.type != Type::Long) {  // declared anew in the body
      double next;
      if (!NextPosition(f, s, counter, double(st), &next) || !GiveWay(f)) return false;
      return ForFrom(f, s, counter, next, lastReal, double(st));
    }
    i = int64_t(counter->v.l) + st;
    // Each statement of the body counts towards giving way; an empty body counts here.
    if (s.body.empty() && !GiveWay(f)) return false;
  }
  return Assign(f, s.target, CounterValue(double(i)));
}

// target := value, for a value with scalar code and a whole variable of source S.
template <Src S>
bool ExecScalarAssign(Frame& f, const CStmt& s) {
  Scalar x = RunScalar(f, s.scalarCode);
  if (x.type != Type::Undefined && StoreScalar(SlotOf(f, S, s.into.index), x)) return true;
  return FinishScalarAssign(f, s, x);
}


// Sets up a frame to run `method` with `params` as $1..$n.
void EnterMethod(Frame& f, Runtime* rt, Process* proc, const Method* method,
                 std::vector<Value> params) {
  f.rt = rt;
  f.proc = proc;
  f.method = method;
  f.code = method->code.get();
  f.nodes = f.code->nodes.data();
  f.locals.resize(f.code->locals.size());
  f.params.resize(std::max(size_t(f.code->params), params.size() + 1));
  for (size_t i = 0; i < params.size(); ++i) f.params[i + 1].v = std::move(params[i]);
  f.nparams = int(params.size());
  f.serial = ++rt->frames;
}

}  // namespace

StmtFn StatementFn(const CStmt& s) {
  switch (s.kind) {
    case StmtKind::Expr: return ExecCall;
    case StmtKind::Assign:
      if (s.scalarCode < 0) return ExecAssign;
      switch (s.into.src) {
        case Src::Local: return ExecScalarAssign<Src::Local>;
        case Src::Param: return ExecScalarAssign<Src::Param>;
        case Src::ProcessVar: return ExecScalarAssign<Src::ProcessVar>;
        case Src::Interprocess: return ExecScalarAssign<Src::Interprocess>;
        default: return ExecAssign;
      }
    case StmtKind::If: return ExecIf;
    case StmtKind::Case: return ExecCase;
    case StmtKind::While: return ExecWhile;
    case StmtKind::Repeat: return ExecRepeat;
    case StmtKind::For: return ExecFor;
  }
  return ExecCall;
}

InsFn ScalarInsFn(const Ins& ins) {
  switch (ins.op) {
    case Op::Binary: {
      // Registers, locals and longint literals with a common operator get an instruction of
      // their own; the rest share one per pair of sources.
      InsFn own = ForCommonSource(ins.x.src, [&](auto x) {
          return ForCommonSource(ins.y.src, [&](auto y) {
            return ForOperator(ins.bin, [](auto bin) -> InsFn {
              return BinaryOpIns<decltype(x)::value, decltype(y)::value, decltype(bin)::value>;
            });
          });
        });
      if (own) return own;
      return ForSource(ins.x.src, [&](auto x) {
        return ForSource(ins.y.src, [](auto y) -> InsFn {
          return BinaryIns<decltype(x)::value, decltype(y)::value>;
        });
      });
    }
    case Op::Negate:
      return ForSource(ins.x.src, [](auto x) -> InsFn { return NegateIns<decltype(x)::value>; });
    case Op::Element:
      return ForSource(ins.y.src, [](auto y) -> InsFn { return ElementIns<decltype(y)::value>; });
    default:
      return nullptr;
  }
}

static std::string Quoted(const Method* m) { return m ? "\"" + m->name + "\"" : "\"?\""; }

std::string VarLabel(const Frame& f, int32_t i) {
  const Node& n = f.node(i);
  const Program& p = *f.rt->program;
  switch (n.op) {
    case Op::Local: return "$" + f.code->locals[size_t(n.a)];
    case Op::Param: return "$" + std::to_string(n.a);
    case Op::ParamAt: return "${}";
    case Op::Interprocess: return "<>" + p.interprocessVars[size_t(n.a)];
    case Op::ProcessVar: return p.processVars[size_t(n.a)];
    case Op::Element: return VarLabel(f, n.a) + "{}";
    case Op::Builtin: return std::string(f.code->builtins[size_t(n.a)]->name);
    case Op::Command: return std::string(f.code->commands[size_t(n.a)].command->name);
    case Op::Method: return f.code->calls[size_t(n.a)].name;
    case Op::Deref: return VarLabel(f, n.a) + "->";
    case Op::AddressOf: return "->" + VarLabel(f, n.a);
    default: return "";
  }
}

std::string Article(Type t) {
  std::string n(TypeName(t));
  bool vowel = n[0] == 'a' || n[0] == 'e' || n[0] == 'i' || n[0] == 'o' || n[0] == 'u';
  return (vowel ? "an " : "a ") + n;
}

// Converts v to the type of a variable that already has one.
bool Convert(Frame& f, Type to, Value v, Value* out, const std::string& what) {
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
      if (v.type == Type::Blob) { *out = Value::Picture(std::move(v.s)); return true; }
      break;
    case Type::Blob:
      if (v.type == Type::Picture) { *out = Value::Blob(std::move(v.s)); return true; }
      break;
    default:
      break;
  }
  if (v.type == Type::Undefined) return Fail(f, "the value assigned to " + what + " is undefined");
  return Fail(f, "cannot put " + Article(v.type) + " into " + what + ", which is " +
                     Article(to) + (to == Type::Long || to == Type::Real ? NumHint(v.type) : ""));
}

bool Fail(Frame& f, const std::string& message) { return FailCode(f, kErrorGeneral, message); }

bool FailCode(Frame& f, int32_t code, const std::string& message) {
  Runtime& rt = *f.rt;
  if (rt.aborting) return false;
  Process& p = *f.proc;
  if (p.errorPending) return false;  // the statement is already being left
  if (p.errorMethod && !p.inErrorMethod) {
    SetSystemVar(f, "error", Value::Long(code));
    p.inErrorMethod = true;
    Value ignored;
    bool ok = CallMethod(f, CallSite{p.errorMethod, p.errorMethod->name}, {}, &ignored, false);
    p.inErrorMethod = false;
    p.errorPending = true;
    p.resume = ok;  // an error in the error method, or ABORT, ends the process
    return false;
  }
  std::string line = "Error in method " + Quoted(f.method) + " line " + std::to_string(f.line) +
                     ": " + platform::MacRomanToUtf8(message);
  rt.err(line);
  rt.status = 1;
  p.errorPending = true;
  return false;
}

void SetSystemVar(Frame& f, std::string_view name, Value v) {
  const std::vector<std::string>& names = f.rt->program->processVars;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) {
      f.proc->vars[i].v = std::move(v);
      return;
    }
  }
}

std::string NumHint(Type got) {
  if (got != Type::Text) return "";
  return " (a text, such as a command-line argument, becomes a number with Num: Num($1))";
}

Var* DerefVar(Frame& f, int32_t node, int32_t* element) {
  Value p;
  if (!Eval(f, f.node(node).a, &p)) return nullptr;
  if (p.type != Type::Pointer) {
    Fail(f, "-> follows a pointer, and " + VarLabel(f, f.node(node).a) + " is " + Article(p.type));
    return nullptr;
  }
  Var* var = PointedVar(f, p.ptr);
  if (!var) return nullptr;
  if (element) {
    *element = p.ptr.element;
  } else if (p.ptr.element >= 0) {
    Fail(f, VarLabel(f, node) + " is an element, not a variable");
    return nullptr;
  }
  return var;
}

const Value* PeekVar(Frame& f, int32_t i) {
  // Following a pointer evaluates its expression, which the caller does once.
  if (f.node(i).op == Op::Deref) return nullptr;
  Var* var = FindVar(f, i);
  return var && var->v.type != Type::Undefined ? &var->v : nullptr;
}

bool DerefValue(Frame& f, int32_t i, Value* copy, const Value** out) {
  int32_t element;
  Var* var = DerefVar(f, i, &element);
  if (!var) return false;
  if (element >= 0) {
    if (!ElementOf(f, var->v, element, i, copy)) return false;
    *out = copy;
    return true;
  }
  if (var->v.type == Type::Undefined) return Fail(f, "the variable " + VarLabel(f, i) + " is not defined");
  *out = &var->v;
  return true;
}

bool AssignWhole(Frame& f, int32_t target, Value v) {
  Var* var = FindVar(f, target);
  if (!var) return Fail(f, "only a variable can receive this value");
  var->v = std::move(v);
  return true;
}

bool Assign(Frame& f, int32_t target, Value v) {
  const Node& n = f.node(target);
  if (n.op == Op::ParamAt) {
    int32_t number;
    if (!EvalLong(f, n.a, &number, "the parameter number")) return false;
    if (number < 0) return Fail(f, "there is no parameter ${" + std::to_string(number) + "}");
    return AssignVar(f, ParamVar(f, number, true), std::move(v),
                     [&] { return "$" + std::to_string(number); });
  }
  if (n.op == Op::Element) {
    Target t;
    return ResolveTarget(f, target, &t) && AssignTarget(f, t, std::move(v));
  }
  if (n.op == Op::Deref) {
    int32_t element;
    Var* var = DerefVar(f, target, &element);
    if (!var) return false;
    if (element >= 0) return AssignElementOf(f, var, element, std::move(v), target);
    return AssignVar(f, var, std::move(v), [&] { return VarLabel(f, target); });
  }
  Var* var = FindVar(f, target);
  if (!var) return Fail(f, "only a variable can be assigned");
  return AssignVar(f, var, std::move(v), [&] { return VarLabel(f, target); });
}

bool ResolveTarget(Frame& f, int32_t node, Target* out) {
  const Node& n = f.node(node);
  switch (n.op) {
    case Op::Element: {
      int32_t index;
      if (!EvalLong(f, n.b, &index, "the index")) return false;
      Var* var = FindVar(f, n.a);
      if (!var) {
        if (f.node(n.a).op == Op::Deref) return false;  // reported
        return Fail(f, "the variable " + VarLabel(f, n.a) + " is not defined");
      }
      *out = {var, true, index, n.a};
      return true;
    }
    case Op::Deref: {
      int32_t element;
      Var* var = DerefVar(f, node, &element);
      if (!var) return false;
      *out = {var, element >= 0, element, node};
      return true;
    }
    case Op::ParamAt: {
      int32_t number;
      if (!EvalLong(f, n.a, &number, "the parameter number")) return false;
      if (number < 0) return Fail(f, "there is no parameter ${" + std::to_string(number) + "}");
      *out = {ParamVar(f, number, true), false, 0, node};
      return true;
    }
    default: {
      Var* var = FindVar(f, node);
      if (!var) return Fail(f, "only a variable can receive this value");
      *out = {var, false, 0, node};
      return true;
    }
  }
}

bool AssignTarget(Frame& f, const Target& t, Value v) {
  if (t.isElement) return AssignElementOf(f, t.var, t.index, std::move(v), t.label);
  if (v.type == Type::Array) {
    t.var->v = std::move(v);
    return true;
  }
  return AssignVar(f, t.var, std::move(v), [&] { return VarLabel(f, t.label); });
}

bool TargetValue(Frame& f, const Target& t, Value* copy, const Value** out) {
  if (t.isElement) {
    if (!ElementOf(f, t.var->v, t.index, t.label, copy)) return false;
    *out = copy;
    return true;
  }
  *out = t.var->v.type == Type::Undefined ? nullptr : &t.var->v;
  return true;
}

bool Eval(Frame& f, int32_t i, Value* out) {
  const Node& n = f.node(i);
  if (n.scalar >= 0 && (n.op == Op::Binary || n.op == Op::Negate || n.op == Op::Element)) {
    if (Scalar s = RunScalar(f, n.scalar); s.type != Type::Undefined) {
      SetScalar(out, s);
      return true;
    }
  }
  return EvalNode(f, i, out);
}

bool EvalNumber(Frame& f, int32_t i, double* out, std::string_view what) {
  if (int32_t code = f.node(i).scalar; code >= 0) {
    if (Scalar s = RunScalar(f, code); s.type != Type::Undefined) {
      if (s.type == Type::Boolean)
        return Fail(f, std::string(what) + " must be a number, not " + Article(s.type));
      *out = s.Number();
      return true;
    }
  }
  Value v;
  if (!EvalChild(f, i, &v)) return false;
  if (v.type == Type::Time) v = Value::Long(v.l);
  if (!v.numeric())
    return Fail(f, std::string(what) + " must be a number, not " + Article(v.type) + NumHint(v.type));
  *out = v.Number();
  return true;
}

bool EvalLong(Frame& f, int32_t i, int32_t* out, std::string_view what) {
  double d;
  if (!EvalNumber(f, i, &d, what)) return false;
  *out = RealToLong(d);
  return true;
}

bool EvalText(Frame& f, int32_t i, std::string* out, std::string_view what) {
  Value v;
  if (!Eval(f, i, &v)) return false;
  if (v.type != Type::Text) return Fail(f, std::string(what) + " must be a text, not " + Article(v.type));
  *out = std::move(v.s);
  return true;
}

bool EvalBool(Frame& f, int32_t i, bool* out, std::string_view what) {
  if (int32_t code = f.node(i).scalar; code >= 0) {
    if (Scalar s = RunScalar(f, code); s.type != Type::Undefined) {
      if (s.type != Type::Boolean)
        return Fail(f, std::string(what) + " must be a boolean, not " + Article(s.type));
      *out = s.b;
      return true;
    }
  }
  Value v;
  if (!EvalChild(f, i, &v)) return false;
  if (v.type != Type::Boolean) return Fail(f, std::string(what) + " must be a boolean, not " + Article(v.type));
  *out = v.b;
  return true;
}

bool CallMethod(Frame& f, const CallSite& site, std::vector<Value> params, Value* out,
                bool wantValue) {
  if (!site.method) return Fail(f, "Unknown method: " + site.name);
  if (f.proc->depth >= kMaxCallDepth || StackExhausted(f))
    return Fail(f, "too many nested method calls (stack overflow) calling " + site.name);
  Frame callee;
  EnterMethod(callee, f.rt, f.proc, site.method, std::move(params));
  ++f.proc->depth;
  f.proc->frames.push_back(&callee);
  bool ok = ExecBlock(callee, callee.code->body);
  f.proc->frames.pop_back();
  --f.proc->depth;
  if (!ok) return false;
  Value& result = callee.params[0].v;
  if (result.type == Type::Undefined) {
    if (wantValue) return Fail(f, "the method " + site.name + " did not return a value ($0)");
    *out = Value();
    return true;
  }
  *out = std::move(result);
  return true;
}

void RunProcessMethod(Runtime* rt, const Method* method, std::vector<Value> params) {
  if (rt->aborting) return;  // a process that first runs after a failed ASSERT
  char base;
  Process proc;
  proc.rt = rt;
  proc.stackBase = &base;
  proc.vars.resize(rt->program->processVars.size());
  // The system variables a method may read before any command has set them.
  const std::vector<std::string>& names = rt->program->processVars;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == "ok" || names[i] == "error") proc.vars[i].v = Value::Long(0);
    else if (names[i] == "document") proc.vars[i].v = Value::Text("");
  }
  Frame f;
  EnterMethod(f, rt, &proc, method, std::move(params));
  proc.frames.push_back(&f);
  ExecBlock(f, f.code->body);
}

int RunProgram(const Program& program, std::string_view method, std::vector<Value> params,
               const RunOptions& options) {
  Runtime rt;
  rt.program = &program;
  rt.host = options.host;
  rt.trace = options.trace;
  rt.confined = options.confined;
  rt.maxBytes = options.confined ? kConfinedMaxBytes : kMaxBytes;
  rt.maxArray = options.confined ? kConfinedMaxArray : kMaxArray;
  if (options.statementLimit)
    rt.slicesLeft = options.statementLimit / kStatementsPerSlice + 1;
  rt.interprocess.resize(program.interprocessVars.size());
  rt.spares.resize(size_t(program.commandSites));
  rt.out = options.out ? options.out : [](std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  };
  rt.err = options.err ? options.err : [](std::string_view line) {
    std::fflush(stdout);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
  };
  auto it = program.methods.find(Lowercase(method));
  if (it == program.methods.end()) {
    rt.err(platform::MacRomanToUtf8("No method named \"" + std::string(method) + "\" to run"));
    return 1;
  }
  RunProcessMethod(&rt, &it->second, std::move(params));
  if (rt.host) rt.host->WaitForProcesses();
  for (auto& [ref, file] : rt.documents) std::fclose(file);  // left open by the methods
  return rt.status;
}

}  // namespace runner
