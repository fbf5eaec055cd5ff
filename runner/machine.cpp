// Running the register machine (machine.h): one loop over a method's instructions.
// Each operator's instruction handles two longints in line, and reals for the common
// operators; every other case goes through one out-of-line function, and whatever the
// machine cannot do goes to the instruction's fallback.
#include <cmath>

#include "runner/scalar.h"

namespace runner {

namespace {

// An operand: a slot's value, or a longint literal. Both answer the same questions, so
// one template serves every form of an instruction.
struct SlotOperand {
  const Value& v;
  bool IsLong() const { return v.type == Type::Long; }
  int32_t Long() const { return v.l; }
  bool IsNumber() const { return v.type == Type::Long || v.type == Type::Real; }
  double Number() const { return v.type == Type::Real ? v.r : double(v.l); }
  Scalar Get() const { return Load(v); }
};
struct LiteralOperand {
  int32_t l;
  bool IsLong() const { return true; }
  int32_t Long() const { return l; }
  bool IsNumber() const { return true; }
  double Number() const { return double(l); }
  Scalar Get() const {
    Scalar s;
    SetLong(&s, l);
    return s;
  }
};

// Stores s into slot d when d does not already hold a value of s's type: a temporary
// takes it as it is, a variable converts it as Assign does. False when Assign has to
// decide (a text variable, a fixed length...).
[[gnu::noinline]] bool PutOther(Var& d, const Scalar& s, uint8_t flags) {
  if (flags & kToTemp) {
    SetScalar(&d.v, s);
    return true;
  }
  return StoreScalar(d, s);
}

[[gnu::always_inline]] inline bool PutLong(Var& d, int64_t r, uint8_t flags) {
  Scalar s;
  if (r >= INT32_MIN && r <= INT32_MAX) {
    if (d.v.type == Type::Long) {
      d.v.l = int32_t(r);
      return true;
    }
    SetLong(&s, int32_t(r));
  } else {
    SetReal(&s, double(r));  // past the longint range the result is a real, as 4D gives it
  }
  return PutOther(d, s, flags);
}

[[gnu::always_inline]] inline bool PutReal(Var& d, double r, uint8_t flags) {
  if (d.v.type == Type::Real) {
    d.v.r = r;
    return true;
  }
  Scalar s;
  SetReal(&s, r);
  return PutOther(d, s, flags);
}

[[gnu::always_inline]] inline bool PutBool(Var& d, bool b, uint8_t flags) {
  if (d.v.type == Type::Boolean) {
    d.v.b = b;
    return true;
  }
  Scalar s;
  SetBool(&s, b);
  return PutOther(d, s, flags);
}

constexpr bool IsComparison(Tok t) {
  return t == Tok::Eq || t == Tok::Hash || t == Tok::Lt || t == Tok::Gt || t == Tok::Le ||
         t == Tok::Ge;
}

template <Tok T>
[[gnu::always_inline]] inline bool Holds(int64_t a, int64_t b) {
  if constexpr (T == Tok::Eq) return a == b;
  else if constexpr (T == Tok::Hash) return a != b;
  else if constexpr (T == Tok::Lt) return a < b;
  else if constexpr (T == Tok::Gt) return a > b;
  else if constexpr (T == Tok::Le) return a <= b;
  else return a >= b;
}

// Two longints; false when the general evaluation has to report a division by zero.
// A divisor of -1 is set apart: the processor faults on the smallest longint by -1.
template <Tok T>
[[gnu::always_inline]] inline bool LongArith(int32_t x, int32_t y, int64_t* r) {
  if constexpr (T == Tok::Plus) *r = int64_t(x) + y;
  else if constexpr (T == Tok::Minus) *r = int64_t(x) - y;
  else if constexpr (T == Tok::Star) *r = int64_t(x) * y;
  else {
    if (y == 0) return false;
    if (y == -1) *r = T == Tok::Percent ? 0 : -int64_t(x);
    else *r = T == Tok::Percent ? x % y : x / y;
  }
  return true;
}

// Reals compare the way the scalar evaluation compares them; equality is left to the
// general evaluation (it depends on the process's epsilon).
[[gnu::always_inline]] inline int Order(double p, double q) { return p < q ? -1 : p > q ? 1 : 0; }

[[gnu::noinline]] bool BinaryOther(Tok bin, const Scalar& x, const Scalar& y, Var& d, uint8_t flags) {
  Scalar r;
  return ScalarBinary(bin, x, y, &r) && PutOther(d, r, flags);
}

// d := x T y; Tok::End: the operator is ins.bin.
template <Tok T, typename X, typename Y>
[[gnu::always_inline]] inline bool BinaryIns(const MIns& ins, Var& d, X x, Y y) {
  if constexpr (T == Tok::End) {
    return BinaryOther(ins.bin, x.Get(), y.Get(), d, ins.flags);
  } else {
    if (x.IsLong() && y.IsLong()) {
      if constexpr (IsComparison(T)) {
        return PutBool(d, Holds<T>(x.Long(), y.Long()), ins.flags);
      } else {
        int64_t r;
        return LongArith<T>(x.Long(), y.Long(), &r) && PutLong(d, r, ins.flags);
      }
    }
    if constexpr (T == Tok::Plus || T == Tok::Minus || T == Tok::Star) {
      if (x.IsNumber() && y.IsNumber()) {
        double p = x.Number(), q = y.Number();
        return PutReal(d, T == Tok::Plus ? p + q : T == Tok::Minus ? p - q : p * q, ins.flags);
      }
    } else if constexpr (IsComparison(T) && T != Tok::Eq && T != Tok::Hash) {
      if (x.IsNumber() && y.IsNumber())
        return PutBool(d, OrderHolds(T, Order(x.Number(), y.Number())), ins.flags);
    }
    return BinaryOther(T, x.Get(), y.Get(), d, ins.flags);
  }
}

[[gnu::noinline]] int TestOther(Tok bin, const Scalar& x, const Scalar& y) {
  Scalar r;
  if (!ScalarBinary(bin, x, y, &r)) return -1;
  return r.b ? 1 : 0;
}

// Whether x T y holds: 1 or 0; -1 when the general evaluation has to decide.
template <Tok T, typename X, typename Y>
[[gnu::always_inline]] inline int Test(X x, Y y) {
  if (x.IsLong() && y.IsLong()) return Holds<T>(x.Long(), y.Long());
  if constexpr (T != Tok::Eq && T != Tok::Hash) {
    if (x.IsNumber() && y.IsNumber()) return OrderHolds(T, Order(x.Number(), y.Number()));
  }
  return TestOther(T, x.Get(), y.Get());
}

// ---- the slow ways: each returns the next instruction, or -1 when the method is left
// (an error not resumed, a return, the end of the run).

// Where a statement that stopped goes on: break and continue to their loop, an error
// the error method lets pass to the next statement.
int32_t Stopped(Frame& f, const Fallback& fb) {
  const Machine& m = f.code->machine;
  if ((f.jump == Frame::Jump::Break || f.jump == Frame::Jump::Continue) && fb.loop >= 0) {
    const LoopExits& l = m.loops[size_t(fb.loop)];
    int32_t to = f.jump == Frame::Jump::Break ? l.exit : l.next;
    f.jump = Frame::Jump::None;
    return to;
  }
  if (f.jump != Frame::Jump::None) return -1;
  return Resume(f) ? fb.next : -1;
}

// A turn for the other processes when this one has run its share.
inline bool Turn(Runtime& rt) { return rt.slice < kStatementsPerSlice || Yield(rt); }

[[gnu::noinline]] int32_t GiveUp(Frame& f, const MIns& ins) {
  const Machine& m = f.code->machine;
  const Fallback& fb = m.fallbacks[size_t(ins.fallback)];
  f.line = fb.stmt->line;
  if (fb.cond < 0) {
    if (!Turn(*f.rt)) return -1;
    return fb.stmt->exec(f, *fb.stmt) ? fb.next : Stopped(f, fb);
  }
  bool c;
  if (!EvalBool(f, fb.cond, &c, "the condition")) return Stopped(f, fb);
  const MIns& branch = m.code[size_t(fb.branch)];
  if (c != bool(branch.flags & kWhen)) return fb.branch + 1;
  if ((branch.flags & kBack) && !Turn(*f.rt)) return -1;
  return branch.c;
}

// The state of a For loop counting in longints, kept in a temporary's payload.
inline int64_t& LastOf(Var& state) { return reinterpret_cast<int64_t&>(state.v.raw_[0]); }
inline int64_t& StepOf(Var& state) { return reinterpret_cast<int64_t&>(state.v.raw_[1]); }

// The counter at position i, or the end of the loop: after ForPrep and each turn.
int32_t ForGo(Frame& f, const MIns& ins, const Fallback& fb, int64_t i) {
  const CStmt& s = *fb.stmt;
  Var& counter = f.locals[size_t(ins.a)];
  Var& state = f.locals[size_t(ins.b)];
  int64_t last = LastOf(state), st = StepOf(state);
  if (!(st > 0 ? i <= last : i >= last))
    return Assign(f, s.target, CounterValue(double(i))) ? fb.next : Stopped(f, fb);
  // Inside the longint range, storing i is what assigning it as a real would give.
  if (counter.v.type != Type::Long || int64_t(int32_t(i)) != i)
    return ForFrom(f, s, &counter, double(i), double(last), double(st)) ? fb.next : Stopped(f, fb);
  counter.v.l = int32_t(i);
  return -2;  // into the body
}

[[gnu::noinline]] int32_t ForPrep(Frame& f, const MIns& ins) {
  const Fallback& fb = f.code->machine.fallbacks[size_t(ins.fallback)];
  f.line = fb.stmt->line;
  if (!Turn(*f.rt)) return -1;
  Var& counter = f.locals[size_t(ins.a)];
  ForCount count;
  if (!StartFor(f, *fb.stmt, &counter, &count)) return Stopped(f, fb);
  if (!count.counted) return fb.next;
  Var& state = f.locals[size_t(ins.b)];
  LastOf(state) = count.last;
  StepOf(state) = count.step;
  int32_t to = ForGo(f, ins, fb, count.i);
  return to == -2 ? int32_t(&ins - f.code->machine.code.data()) + 1 : to;
}

[[gnu::noinline]] int32_t ForLoop(Frame& f, const MIns& ins) {
  const Fallback& fb = f.code->machine.fallbacks[size_t(ins.fallback)];
  const CStmt& s = *fb.stmt;
  f.line = s.line;
  Var& counter = f.locals[size_t(ins.a)];
  Var& state = f.locals[size_t(ins.b)];
  if (counter.v.type != Type::Long) {  // declared anew in the body
    double next;
    if (!NextPosition(f, s, &counter, double(StepOf(state)), &next) || !Turn(*f.rt)) return Stopped(f, fb);
    return ForFrom(f, s, &counter, next, double(LastOf(state)), double(StepOf(state))) ? fb.next : Stopped(f, fb);
  }
  int32_t to = ForGo(f, ins, fb, int64_t(counter.v.l) + StepOf(state));
  if (to != -2) return to;
  return Turn(*f.rt) ? ins.c : -1;
}

}  // namespace

bool RunMachine(Frame& f) {
  const Machine& m = f.code->machine;
  const MIns* const code = m.code.data();
  const MIns* pc = code;
  Var* const r = f.locals.data();
  Runtime& rt = *f.rt;
  int32_t to = -1;
  for (;;) {
    const MIns& i = *pc;
    rt.slice += i.ticks;
    switch (i.op) {
#define VRX_ENTRY(name, tok)                                                                        \
      case MOp::name##RR:                                                                           \
        if (!BinaryIns<Tok::tok>(i, r[i.a], SlotOperand{r[i.b].v}, SlotOperand{r[i.c].v})) goto slow; \
        ++pc;                                                                                       \
        continue;                                                                                   \
      case MOp::name##RK:                                                                           \
        if (!BinaryIns<Tok::tok>(i, r[i.a], SlotOperand{r[i.b].v}, LiteralOperand{i.c})) goto slow;   \
        ++pc;                                                                                       \
        continue;                                                                                   \
      case MOp::name##KR:                                                                           \
        if (!BinaryIns<Tok::tok>(i, r[i.a], LiteralOperand{i.b}, SlotOperand{r[i.c].v})) goto slow;   \
        ++pc;                                                                                       \
        continue;
      VRX_MACHINE_BINARY(VRX_ENTRY)
#undef VRX_ENTRY
#define VRX_BRANCH(test)                                                                \
        {                                                                               \
          int t = test;                                                                 \
          if (t < 0) goto slow;                                                         \
          if (t != (i.flags & kWhen)) {                                                 \
            ++pc;                                                                       \
            continue;                                                                   \
          }                                                                             \
        }                                                                               \
        goto jump;
#define VRX_ENTRY(name, tok)                                                            \
      case MOp::If##name##RR:                                                           \
        VRX_BRANCH((Test<Tok::tok>(SlotOperand{r[i.a].v}, SlotOperand{r[i.b].v})))      \
      case MOp::If##name##RK:                                                           \
        VRX_BRANCH((Test<Tok::tok>(SlotOperand{r[i.a].v}, LiteralOperand{i.b})))        \
      case MOp::If##name##KR:                                                           \
        VRX_BRANCH((Test<Tok::tok>(LiteralOperand{i.a}, SlotOperand{r[i.b].v})))
      VRX_MACHINE_COMPARE(VRX_ENTRY)
#undef VRX_ENTRY
      case MOp::IfBool:
        if (r[i.a].v.type != Type::Boolean) goto slow;
        VRX_BRANCH(int(r[i.a].v.b))
#undef VRX_BRANCH
      case MOp::Neg: {
        const Value& x = r[i.b].v;
        bool ok;
        if (x.type == Type::Long && x.l != INT32_MIN) ok = PutLong(r[i.a], -x.l, i.flags);
        else if (x.type == Type::Long || x.type == Type::Real) ok = PutReal(r[i.a], -x.Number(), i.flags);
        else ok = false;
        if (!ok) goto slow;
        ++pc;
        continue;
      }
      case MOp::SetK:
        if (!PutLong(r[i.a], i.c, i.flags)) goto slow;
        ++pc;
        continue;
      case MOp::LoadK:
      case MOp::Copy:
      case MOp::Move: {
        const Value& x = i.op == MOp::LoadK ? f.code->consts[size_t(i.c)]
                         : i.op == MOp::Copy ? r[i.b].v
                                             : SlotOf(f, Src(i.b), i.c).v;
        Scalar s = Load(x);
        if (s.type == Type::Undefined || !PutOther(r[i.a], s, i.flags)) goto slow;
        ++pc;
        continue;
      }
      case MOp::Store: {
        Scalar s = Load(r[i.a].v);
        if (s.type == Type::Undefined || !StoreScalar(SlotOf(f, Src(i.b), i.c), s)) goto slow;
        ++pc;
        continue;
      }
      case MOp::Jump:
        goto jump;
      case MOp::Test:
      case MOp::Exec:
        goto slow;
      case MOp::ForPrep:
        to = ForPrep(f, i);
        break;
      case MOp::ForLoop: {
        // The next position in line when the counter is still a longint and stays
        // inside the range and the longints.
        Value& counter = r[i.a].v;
        Var& state = r[i.b];
        if (counter.type == Type::Long) {
          int64_t next = int64_t(counter.l) + StepOf(state);
          if ((StepOf(state) > 0 ? next <= LastOf(state) : next >= LastOf(state)) &&
              next >= INT32_MIN && next <= INT32_MAX) {
            counter.l = int32_t(next);
            goto jump;
          }
        }
        to = ForLoop(f, i);
        break;
      }
      case MOp::End:
        return true;
    }
    if (to < 0) return false;
    pc = code + to;
    continue;
  jump:
    if ((i.flags & kBack) && !Turn(rt)) return false;
    pc = code + i.c;
    continue;
  slow:
    to = GiveUp(f, i);
    if (to < 0) return false;
    pc = code + to;
  }
}

}  // namespace runner
