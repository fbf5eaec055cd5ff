// Scalar code (code.h) at run time: longints, reals and booleans in registers, without
// a Value around them. The evaluator runs a node's scalar code first and falls back to
// the general evaluation when it gives up.
#pragma once
#include "runner/interp.h"

namespace runner {

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

inline void SetScalar(Value* out, const Scalar& s) {
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

// Where an operand is, for the instruction templates: Src::Param stands for parameters,
// process and interprocess variables alike, which share one instantiation and find
// their variable from the operand's source at run time.
template <Src S>
[[gnu::always_inline]] inline Scalar FetchFrom(Frame& f, const Ref& r, const Scalar* regs) {
  if constexpr (S == Src::Reg) {
    Scalar s;  // field by field (see Scalar)
    Copy(&s, regs[r.index]);
    return s;
  } else if constexpr (S == Src::Const) {
    return Load(f.code->consts[size_t(r.index)]);
  } else if constexpr (S == Src::Long) {
    Scalar s;
    SetLong(&s, r.index);
    return s;
  } else if constexpr (S == Src::Local) {
    return Load(f.locals[size_t(r.index)].v);
  } else {
    return Load(SlotOf(f, r.src, r.index).v);
  }
}

// A leaf operand: a constant, a longint literal or a variable, not a register.
Scalar FetchLeaf(Frame& f, const Ref& r);
// x bin y for two scalars the instructions did not work on in line (never two numbers
// under + - *, nor two longints under \ % or a comparison); false when the general
// evaluation has to decide (a type it refuses, a division by zero, equality of reals).
bool ScalarBinary(Tok bin, const Scalar& x, const Scalar& y, Scalar* out);

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
  if (sc.result.src == Src::Reg) return FetchFrom<Src::Reg>(f, sc.result, regs);
  return FetchLeaf(f, sc.result);
}

}  // namespace runner
