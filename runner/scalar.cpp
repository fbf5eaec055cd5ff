// The scalar instructions: one function per pair of operand sources (and, for the
// operators longints meet most, per operator), chosen when an instruction is compiled.
#include <cmath>
#include <type_traits>

#include "runner/scalar.h"

namespace runner {

Scalar FetchLeaf(Frame& f, const Ref& r) {
  switch (r.src) {
    case Src::Const: return FetchFrom<Src::Const>(f, r, nullptr);
    case Src::Local: return FetchFrom<Src::Local>(f, r, nullptr);
    case Src::Long: return FetchFrom<Src::Long>(f, r, nullptr);
    default: return FetchFrom<Src::Param>(f, r, nullptr);
  }
}

namespace {

// The pairs the in-line paths leave (see BinaryAny): no two numbers under + - *, which
// those paths work on whatever their types.
[[gnu::noinline]] bool ArithReal(Tok op, const Scalar& a, const Scalar& b, Scalar* out) {
  double x = a.Number(), y = b.Number();
  switch (op) {  // GCOVR_EXCL_BR_LINE: the default is never taken (below)
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
    // + - * are the only other operators that come here, and they never do with two
    // numbers; were they to, the general way would decide.
    default:          // GCOVR_EXCL_LINE
      return false;   // GCOVR_EXCL_LINE
  }
}

bool CompareScalar(Tok op, const Scalar& x, const Scalar& y, Scalar* out) {
  int c;
  if (x.type != Type::Boolean && y.type != Type::Boolean) {
    // Equality of reals depends on the process's epsilon: the tree path tests it.
    if (op == Tok::Eq || op == Tok::Hash) return false;
    double p = x.Number(), q = y.Number();  // exact for longints too
    c = p < q ? -1 : p > q ? 1 : 0;
  } else if (x.type == Type::Boolean && y.type == Type::Boolean &&
             (op == Tok::Eq || op == Tok::Hash)) {
    c = x.b == y.b ? 0 : 1;
  } else {
    return false;
  }
  SetBool(out, OrderHolds(op, c));
  return true;
}

// x bin y for the pairs the instructions' in-line paths leave: two longints under an
// operator they work on, and two numbers under + - *, never come here (a caller that
// passed them would see the general way decide, never a wrong result). False when the
// general way has to decide.
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
      return ArithReal(bin, x, y, to);
  }
}

// A longint operand read straight from where it stands; false for anything else. A
// constant of the method is never a longint here: longint constants are Src::Long.
template <Src S>
[[gnu::always_inline]] inline bool LongFrom(Frame& f, const Ref& r, const Scalar* regs, int64_t* out) {
  if constexpr (S == Src::Reg) {
    if (regs[r.index].type != Type::Long) return false;
    *out = regs[r.index].l;
  } else if constexpr (S == Src::Long) {
    *out = r.index;
  } else if constexpr (S == Src::Const) {
    return false;
  } else {
    const Value& v = S == Src::Local ? f.locals[size_t(r.index)].v : SlotOf(f, r.src, r.index).v;
    if (v.type != Type::Long) return false;
    *out = v.l;
  }
  return true;
}

template <Src X, Src Y>
[[gnu::noinline]] bool BinaryOther(Frame& f, const Ins& ins, Scalar* regs) {
  Scalar x = FetchFrom<X>(f, ins.x, regs);
  Scalar y = FetchFrom<Y>(f, ins.y, regs);
  // A real beside a longint or a real (every number written in a method is a real) under
  // + - *: real arithmetic, as BinaryAny would reach it.
  const bool numbers = (x.type == Type::Long || x.type == Type::Real) &&
                       (y.type == Type::Long || y.type == Type::Real) &&
                       (x.type == Type::Real || y.type == Type::Real);
  if (numbers) {
    Scalar* to = &regs[ins.dst];
    switch (ins.bin) {
      case Tok::Plus: SetReal(to, x.Number() + y.Number()); return true;
      case Tok::Minus: SetReal(to, x.Number() - y.Number()); return true;
      case Tok::Star: SetReal(to, x.Number() * y.Number()); return true;
      default: break;
    }
  }
  return BinaryAny(ins.bin, x, y, &regs[ins.dst]);
}

// Two longints are worked on here; every other pair in BinaryOther. Only operands of
// which one is a variable (Src::Param) come here: the other pairs of registers, locals and
// longint literals have an instruction per operator (BinaryOpIns) and meet here only
// operators that no pair of longints takes in line, and a constant is never a longint.
template <Src X, Src Y>
bool BinaryIns(Frame& f, const Ins& ins, Scalar* regs) {
  int64_t a, b, r;
  if (!LongFrom<X>(f, ins.x, regs, &a) || !LongFrom<Y>(f, ins.y, regs, &b))
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
  if (!LongFrom<X>(f, ins.x, regs, &a) || !LongFrom<Y>(f, ins.y, regs, &b))
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
  Scalar x = FetchFrom<X>(f, ins.x, regs);
  Scalar* to = &regs[ins.dst];
  if (x.type == Type::Long && x.l != INT32_MIN) SetLong(to, -x.l);
  else if (x.type == Type::Real || x.type == Type::Long) SetReal(to, -x.Number());
  else return false;
  return true;
}

template <Src Y>
bool ElementIns(Frame& f, const Ins& ins, Scalar* regs) {
  Scalar y = FetchFrom<Y>(f, ins.y, regs);
  if (y.type != Type::Long && y.type != Type::Real) return false;
  const Value& base = SlotOf(f, ins.x.src, ins.x.index).v;
  int32_t at = y.type == Type::Long ? y.l : RealToLong(y.r);
  if (base.type != Type::Array || at < 0 || size_t(at) >= base.items().size()) return false;
  Scalar v = Load(base.items()[size_t(at)]);
  if (v.type == Type::Undefined) return false;
  Copy(&regs[ins.dst], v);
  return true;
}

// Calls pick with the source as a compile-time constant; the variables other than locals
// share Src::Param (see FetchFrom).
template <typename Pick>
InsFn ForSource(Src s, Pick pick) {
  switch (s) {
    case Src::Reg: return pick(std::integral_constant<Src, Src::Reg>{});
    case Src::Const: return pick(std::integral_constant<Src, Src::Const>{});
    case Src::Local: return pick(std::integral_constant<Src, Src::Local>{});
    case Src::Long: return pick(std::integral_constant<Src, Src::Long>{});
    default: return pick(std::integral_constant<Src, Src::Param>{});
  }
}

// Registers, locals and longint literals: the sources with an instruction per operator.
constexpr bool IsCommonSource(Src s) { return s == Src::Reg || s == Src::Long || s == Src::Local; }

// ForSource for registers, locals and longint literals only.
template <typename Pick>
InsFn ForCommonSource(Src s, Pick pick) {
  switch (s) {
    case Src::Reg: return pick(std::integral_constant<Src, Src::Reg>{});
    case Src::Long: return pick(std::integral_constant<Src, Src::Long>{});
    default: return pick(std::integral_constant<Src, Src::Local>{});
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


}  // namespace

bool ScalarBinary(Tok bin, const Scalar& x, const Scalar& y, Scalar* out) {
  return BinaryAny(bin, x, y, out);
}

InsFn ScalarInsFn(const Ins& ins) {
  switch (ins.op) {
    case Op::Binary: {
      // Registers, locals and longint literals with a common operator get an instruction of
      // their own; the rest share one per pair of sources, which works on longints in line
      // only where they may meet one of those operators.
      if (IsCommonSource(ins.x.src) && IsCommonSource(ins.y.src)) {
        return ForCommonSource(ins.x.src, [&](auto x) {
          return ForCommonSource(ins.y.src, [&](auto y) -> InsFn {
            InsFn own = ForOperator(ins.bin, [](auto bin) -> InsFn {
              return BinaryOpIns<decltype(x)::value, decltype(y)::value, decltype(bin)::value>;
            });
            return own ? own : BinaryOther<decltype(x)::value, decltype(y)::value>;
          });
        });
      }
      return ForSource(ins.x.src, [&](auto x) {
        return ForSource(ins.y.src, [](auto y) -> InsFn {
          constexpr Src X = decltype(x)::value, Y = decltype(y)::value;
          if constexpr (X == Src::Const || Y == Src::Const) return BinaryOther<X, Y>;
          else return BinaryIns<X, Y>;
        });
      });
    }
    case Op::Negate:
      return ForSource(ins.x.src, [](auto x) -> InsFn { return NegateIns<decltype(x)::value>; });
    default:  // Element, the only other operation with scalar code
      return ForSource(ins.y.src, [](auto y) -> InsFn { return ElementIns<decltype(y)::value>; });
  }
}

}  // namespace runner
