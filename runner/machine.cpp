// Running the register machine (machine.h) over a method's instructions.
// Each operator's instruction handles two longints in line, and reals for the common
// operators; every other case goes through one out-of-line function, and whatever the
// machine cannot do goes to the instruction's fallback.
#include <algorithm>
#include <bit>
#include <cmath>

#include "runner/scalar.h"

namespace runner {

namespace {

// The slot fields of an instruction hold byte offsets into Frame::locals (see
// CompileMachine): one addition finds a slot.
[[gnu::always_inline]] inline Var& At(Var* slots, int32_t offset) {
  return *reinterpret_cast<Var*>(reinterpret_cast<char*>(slots) + offset);
}

// An operand: a slot's value, or a literal, a real with a whole value in the longint
// range. Both answer the same questions, so one template serves every form of an
// instruction; what only one form can meet (two longints, a longint beside a literal)
// is chosen by kLiteral when the template is instantiated. Whole operands (longints
// and literals) are worked on as integers, which gives what working on them as reals
// gives; the result is a longint only when both are longints.
struct SlotOperand {
  static constexpr bool kLiteral = false;
  const Value& v;
  bool IsLong() const { return v.type == Type::Long; }
  int32_t Long() const { return v.l; }
  bool IsNumber() const { return v.type == Type::Long || v.type == Type::Real; }
  double Number() const { return v.type == Type::Real ? v.r : double(v.l); }
  Scalar Get() const { return LoadSlow(v); }
  // Load out of line: only the slow ways (texts, booleans...) ask for it.
  [[gnu::noinline]] static Scalar LoadSlow(const Value& v) { return Load(v); }
};
struct LiteralOperand {
  static constexpr bool kLiteral = true;
  int32_t l;
  int32_t Long() const { return l; }
  double Number() const { return double(l); }
  Scalar Get() const {
    Scalar s;
    SetReal(&s, double(l));
    return s;
  }
};

// Both operands whole: two longints, or a longint beside a literal (an instruction
// never has two literals: the compiler puts the left one into a temporary).
template <typename X, typename Y>
[[gnu::always_inline]] inline bool BothWhole(X x, Y y) {
  if constexpr (X::kLiteral) return y.IsLong();
  else if constexpr (Y::kLiteral) return x.IsLong();
  else return x.IsLong() && y.IsLong();
}
template <typename X, typename Y>
[[gnu::always_inline]] inline bool BothNumbers(X x, Y y) {
  if constexpr (X::kLiteral) return y.IsNumber();
  else if constexpr (Y::kLiteral) return x.IsNumber();
  else return x.IsNumber() && y.IsNumber();
}

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

// A longint result that fits by construction (a negation of anything but the smallest
// longint, a remainder, a quotient by a divisor past -1 and 1).
[[gnu::always_inline]] inline bool PutInt(Var& d, int32_t r, uint8_t flags) {
  if (d.v.type == Type::Long) {
    d.v.l = r;
    return true;
  }
  Scalar s;
  SetLong(&s, r);
  return PutOther(d, s, flags);
}

// The result of two longints under T: past the longint range it is a real, as 4D gives
// it. % never leaves the range, and \ leaves it only upwards (the smallest longint by -1).
template <Tok T>
[[gnu::always_inline]] inline bool PutLong(Var& d, int64_t r, uint8_t flags) {
  if constexpr (T == Tok::Percent) {
    return PutInt(d, int32_t(r), flags);
  } else {
    bool fits;
    if constexpr (T == Tok::Backslash) fits = r <= INT32_MAX;
    else fits = r >= INT32_MIN && r <= INT32_MAX;
    if (fits) return PutInt(d, int32_t(r), flags);
    Scalar s;
    SetReal(&s, double(r));
    return PutOther(d, s, flags);
  }
}

// Stores a real (T Real) or a boolean, in place when the slot holds that type already.
template <Type T, typename V>
[[gnu::always_inline]] inline bool PutTyped(Var& d, V v, uint8_t flags) {
  Scalar s;
  if constexpr (T == Type::Real) {
    if (d.v.type == T) return d.v.r = v, true;
    SetReal(&s, v);
  } else {
    if (d.v.type == T) return d.v.b = v, true;
    SetBool(&s, v);
  }
  return PutOther(d, s, flags);
}
[[gnu::always_inline]] inline bool PutReal(Var& d, double r, uint8_t flags) {
  return PutTyped<Type::Real>(d, r, flags);
}
[[gnu::always_inline]] inline bool PutBool(Var& d, bool b, uint8_t flags) {
  return PutTyped<Type::Boolean>(d, b, flags);
}

// A real result with the whole value r: a longint variable takes it in place when it
// can hold it, as converting the real would give.
[[gnu::always_inline]] inline bool PutWhole(Var& d, int64_t r, uint8_t flags) {
  if (d.v.type == Type::Long && !(flags & kToTemp) && r >= INT32_MIN && r <= INT32_MAX) {
    d.v.l = int32_t(r);
    return true;
  }
  return PutReal(d, double(r), flags);
}

// Stores a scalar (a longint, a real or a boolean: callers leave out what Load could
// not read), in place when the slot holds its type already.
[[gnu::always_inline]] inline bool Put(Var& d, const Scalar& s, uint8_t flags) {
  if (d.v.type == s.type) {
    if (s.type == Type::Long) d.v.l = s.l;
    else if (s.type == Type::Real) d.v.r = s.r;
    else d.v.b = s.b;
    return true;
  }
  return PutOther(d, s, flags);
}

// Element `at` of an array of longints, reals or booleans; false for anything else
// (the general evaluation reports a bad index, reads BLOBs and texts).
[[gnu::always_inline]] inline bool PutElement(Var& d, const Value& array, int32_t at, uint8_t flags) {
  if (array.type != Type::Array || at < 0 || size_t(at) >= array.items().size()) return false;
  Scalar s = Load(array.items()[size_t(at)]);
  return s.type != Type::Undefined && Put(d, s, flags);
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

// Numbers compare the way the general evaluation compares them: equality of reals
// within the process's epsilon; an order that does not hold either way (a NaN) counts
// as equal.
template <Tok T>
[[gnu::always_inline]] inline bool NumbersHold(double p, double q, const Runtime& rt) {
  if constexpr (T == Tok::Eq || T == Tok::Hash)
    return (p == q || std::fabs(p - q) <= rt.epsilon) == (T == Tok::Eq);
  else if constexpr (T == Tok::Lt) return p < q;
  else if constexpr (T == Tok::Gt) return p > q;
  else if constexpr (T == Tok::Le) return !(p > q);
  else return !(p < q);
}

[[gnu::noinline]] bool BinaryOther(Tok bin, const Scalar& x, const Scalar& y, Var& d, uint8_t flags) {
  Scalar r;
  return ScalarBinary(bin, x, y, &r) && PutOther(d, r, flags);
}

// d := x T y; Tok::End: the operator is ins.bin.
template <Tok T, typename X, typename Y>
[[gnu::always_inline]] inline bool BinaryIns(const MIns& ins, Var& d, X x, Y y, const Runtime& rt) {
  if constexpr (T == Tok::End) {
    return BinaryOther(ins.bin, x.Get(), y.Get(), d, ins.flags);
  } else {
    constexpr bool kLiteral = X::kLiteral || Y::kLiteral;
    if (BothWhole(x, y)) {
      if constexpr (IsComparison(T)) {
        if constexpr (kLiteral && (T == Tok::Eq || T == Tok::Hash)) {
          if (rt.epsilon >= 1) return PutBool(d, NumbersHold<T>(x.Number(), y.Number(), rt), ins.flags);
        }
        return PutBool(d, Holds<T>(x.Long(), y.Long()), ins.flags);
      } else {
        int64_t r;
        if (!LongArith<T>(x.Long(), y.Long(), &r)) return false;
        // beside a literal the result is a real, but % and \ give longints whatever
        // their operands
        if constexpr (kLiteral && T != Tok::Percent && T != Tok::Backslash) return PutWhole(d, r, ins.flags);
        else return PutLong<T>(d, r, ins.flags);
      }
    }
    if constexpr (T == Tok::Plus || T == Tok::Minus || T == Tok::Star) {
      if (BothNumbers(x, y)) {
        double p = x.Number(), q = y.Number();
        return PutReal(d, T == Tok::Plus ? p + q : T == Tok::Minus ? p - q : p * q, ins.flags);
      }
    } else if constexpr (IsComparison(T)) {
      if (BothNumbers(x, y)) return PutBool(d, NumbersHold<T>(x.Number(), y.Number(), rt), ins.flags);
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
[[gnu::always_inline]] inline int Test(X x, Y y, const Runtime& rt) {
  if (BothWhole(x, y)) {
    if constexpr ((X::kLiteral || Y::kLiteral) && (T == Tok::Eq || T == Tok::Hash)) {
      if (rt.epsilon >= 1) return NumbersHold<T>(x.Number(), y.Number(), rt);
    }
    return Holds<T>(x.Long(), y.Long());
  }
  if (BothNumbers(x, y)) return NumbersHold<T>(x.Number(), y.Number(), rt);
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
    f.rt->slice += ins.ticks;
    if (!Turn(*f.rt)) return -1;
    return fb.stmt->exec(f, *fb.stmt) ? fb.next : Stopped(f, fb);
  }
  bool c;
  if (!EvalBool(f, fb.cond, &c, "the condition")) return Stopped(f, fb);
  const MIns& branch = m.code[size_t(fb.branch)];
  if (c != bool(branch.flags & kWhen)) return fb.branch + 1;
  f.rt->slice += branch.ticks;
  if ((branch.flags & kBack) && !Turn(*f.rt)) return -1;
  return branch.c;
}

// The state of a For loop counting in whole numbers, kept in the payloads of two
// temporaries: the step, as a real (what a real counter adds) and as a longint, with the
// last position inside the longint range, which a longint counter's turn in line
// compares with; then the last position, and the end as a real, which a real counter's
// turn in line compares with (counting in reals, as the general way does).
inline int64_t LastOf(const Var& state) { return int64_t((&state)[1].v.raw_[0]); }
inline double EndOf(const Var& state) { return std::bit_cast<double>((&state)[1].v.raw_[1]); }
inline int32_t StepOf(const Var& state) { return int32_t(uint32_t(state.v.raw_[1])); }
inline int32_t NearLastOf(const Var& state) { return int32_t(uint32_t(state.v.raw_[1] >> 32)); }
inline double RealStepOf(const Var& state) { return std::bit_cast<double>(state.v.raw_[0]); }
inline void SetForState(Var& state, int64_t last, double end, int32_t step) {
  int64_t near = step > 0 ? std::min<int64_t>(last, INT32_MAX) : std::max<int64_t>(last, INT32_MIN);
  state.v.raw_[0] = std::bit_cast<uint64_t>(double(step));
  (&state)[1].v.raw_[0] = uint64_t(last);
  (&state)[1].v.raw_[1] = std::bit_cast<uint64_t>(end);
  state.v.raw_[1] = uint32_t(step) | uint64_t(uint32_t(int32_t(near))) << 32;
}

// The counter at position i, or the end of the loop: after ForPrep and each turn.
int32_t ForGo(Frame& f, const MIns& ins, const Fallback& fb, int64_t i) {
  const CStmt& s = *fb.stmt;
  Var& counter = At(f.locals.data(), ins.a);
  Var& state = At(f.locals.data(), ins.b);
  int64_t last = LastOf(state), st = StepOf(state);
  if (!(st > 0 ? i <= last : i >= last))
    return Assign(f, s.target, CounterValue(double(i))) ? fb.next : Stopped(f, fb);
  // Inside the longint range, storing i is what assigning it as a real would give.
  if (!SetCounter(&counter, i))
    return ForFrom(f, s, &counter, double(i), EndOf(state), double(st)) ? fb.next : Stopped(f, fb);
  return -2;  // into the body
}

[[gnu::noinline]] int32_t ForPrep(Frame& f, const MIns& ins) {
  const Fallback& fb = f.code->machine.fallbacks[size_t(ins.fallback)];
  f.line = fb.stmt->line;
  if (!Turn(*f.rt)) return -1;
  Var& counter = At(f.locals.data(), ins.a);
  ForCount count;
  if (!StartFor(f, *fb.stmt, &counter, &count)) return Stopped(f, fb);
  if (!count.counted) return fb.next;
  Var& state = At(f.locals.data(), ins.b);
  SetForState(state, count.last, count.end, int32_t(count.step));
  int32_t to = ForGo(f, ins, fb, count.i);
  return to == -2 ? int32_t(&ins - f.code->machine.code.data()) + 1 : to;
}

[[gnu::noinline]] int32_t ForLoop(Frame& f, const MIns& ins) {
  const Fallback& fb = f.code->machine.fallbacks[size_t(ins.fallback)];
  const CStmt& s = *fb.stmt;
  f.line = s.line;
  Var& counter = At(f.locals.data(), ins.a);
  Var& state = At(f.locals.data(), ins.b);
  int32_t at;
  if (!CounterAt(counter, &at)) {  // declared anew, or moved off the whole numbers, in the body
    double next;
    if (!NextPosition(f, s, &counter, double(StepOf(state)), &next) || !Turn(*f.rt)) return Stopped(f, fb);
    return ForFrom(f, s, &counter, next, EndOf(state), double(StepOf(state))) ? fb.next : Stopped(f, fb);
  }
  int32_t to = ForGo(f, ins, fb, int64_t(at) + StepOf(state));
  if (to != -2) return to;
  return Turn(*f.rt) ? ins.c : -1;
}

// ---- objects and collections

// The object of v when its properties are plain values (no class to compute them).
[[gnu::always_inline]] inline ObjectHeap* PlainObject(const Value& v) {
  ObjectHeap* o = v.object();
  return o && !o->cls ? o : nullptr;
}

// A scalar as an object or a collection keeps it: numbers are reals there.
[[gnu::always_inline]] inline bool PutElementValue(Value& e, const Scalar& s) {
  if (s.type == Type::Undefined) return false;
  if (s.type == Type::Real || s.type == Type::Long) {
    double r = s.Number();
    if (e.type == Type::Real) e.r = r;
    else e = Value::Real(r);
  } else {
    e = Value::Bool(s.b);
  }
  return true;
}

// property := R, on an object this process may change: not shared (Use decides those).
[[gnu::noinline]] bool SetProperty(ObjectHeap& o, const Name& name, const Scalar& s) {
  if (Value* old = o.Find(name)) return PutElementValue(*old, s);
  Value e;
  if (!PutElementValue(e, s)) return false;
  o.Set(name, std::move(e));
  return true;
}

// The collection an element instruction reads or writes, and the element `at`, when it
// exists; false for anything the general way decides (other types, a missing element).
[[gnu::always_inline]] inline bool ItemAt(const Value& base, const Value& index, CollectionHeap** c, size_t* at) {
  *c = base.collection();
  int32_t i;
  if (!*c || !WholeNumber(index, &i) || i < 0 || size_t(i) >= (*c)->items.size()) return false;
  *at = size_t(i);
  return true;
}

// For each keeps in its state's first slot what it goes through (a collection), and in
// the second's payload the position of the current item and the end.
inline size_t ItemOf(const Var& state) { return size_t((&state)[1].v.raw_[0]); }
inline size_t EndOfItems(const Var& state) { return size_t((&state)[1].v.raw_[1]); }

// Gives the item at position k, or ends the loop (the collection let go): after EachPrep
// and each turn. -2: into the body.
int32_t EachGo(Frame& f, const MIns& ins, const Fallback& fb, size_t k) {
  Var& state = At(f.locals.data(), ins.b);
  const CollectionHeap* c = state.v.collection();
  // The body may shorten the collection it goes through.
  if (k >= EndOfItems(state) || k >= c->items.size()) {
    state.v = Value();
    return fb.next;
  }
  (&state)[1].v.raw_[0] = k;
  f.line = fb.stmt->line;
  Value item = c->items[k];
  if (Assign(f, fb.stmt->target, std::move(item))) return -2;
  state.v = Value();
  return Stopped(f, fb);
}

[[gnu::noinline]] int32_t EachPrep(Frame& f, const MIns& ins) {
  const Fallback& fb = f.code->machine.fallbacks[size_t(ins.fallback)];
  f.line = fb.stmt->line;
  if (!Turn(*f.rt)) return -1;
  Var& state = At(f.locals.data(), ins.b);
  size_t begin, end;
  if (!StartForEach(f, *fb.stmt, &state.v, &begin, &end)) {
    state.v = Value();
    return Stopped(f, fb);
  }
  if (state.v.type == Type::Undefined) return fb.next;
  (&state)[1].v.raw_[1] = end;
  int32_t to = EachGo(f, ins, fb, begin);
  return to == -2 ? int32_t(&ins - f.code->machine.code.data()) + 1 : to;
}

[[gnu::noinline]] int32_t EachNext(Frame& f, const MIns& ins) {
  const Fallback& fb = f.code->machine.fallbacks[size_t(ins.fallback)];
  f.rt->slice += ins.ticks;
  if (!Turn(*f.rt)) return -1;
  int32_t to = EachGo(f, ins, fb, ItemOf(At(f.locals.data(), ins.b)) + 1);
  return to == -2 ? ins.c : to;
}

}  // namespace

// The dispatch is threaded, as Lua's is under GCC: each instruction's code ends by
// jumping straight to the next one's, a jump the processor predicts per instruction.
bool RunMachine(Frame& f) {
  static const void* const kCode[] = {
#define VRX_ENTRY(name, tok) &&op_##name##RR, &&op_##name##RK, &&op_##name##KR,
      VRX_MACHINE_BINARY(VRX_ENTRY)
#undef VRX_ENTRY
#define VRX_ENTRY(name, tok) &&op_If##name##RR, &&op_If##name##RK, &&op_If##name##KR,
      VRX_MACHINE_COMPARE(VRX_ENTRY)
#undef VRX_ENTRY
      &&op_Neg, &&op_SetK, &&op_LoadK, &&op_Copy, &&op_Move, &&op_Store, &&op_Elem,
      &&op_ElemK, &&op_ModRD, &&op_QuoRD, &&op_IfBool, &&op_Test, &&op_Jump, &&op_Exec,
      &&op_ForPrep, &&op_ForLoop, &&op_Prop, &&op_SetProp, &&op_Item, &&op_SetItem,
      &&op_EachPrep, &&op_EachNext, &&op_EachEnd, &&op_End};
  static_assert(sizeof(kCode) / sizeof(kCode[0]) == size_t(MOp::End) + 1, "one entry per MOp");
  const MIns* const code = f.code->machine.code.data();
  const Divisor* const divisors = f.code->machine.divisors.data();
  const Name* const names = f.code->machine.names.data();
  const MIns* i = code;
  Var* const r = f.locals.data();
  Runtime& rt = *f.rt;
  // The statements run since the process last gave way, kept in a register: rt.slice
  // is brought up to date around every call out of here.
  uint32_t slice = rt.slice;
  int32_t to;
#define VRX_DISPATCH() goto* kCode[size_t(i->op)]
#define VRX_NEXT() \
  do {             \
    ++i;           \
    VRX_DISPATCH(); \
  } while (false)
#define VRX_CALL(call)    \
  do {                    \
    rt.slice = slice;     \
    to = (call);          \
    slice = rt.slice;     \
    goto go;              \
  } while (false)
  VRX_DISPATCH();

#define VRX_ENTRY(name, tok)                                                                    \
  op_##name##RR:                                                                                \
    if (!BinaryIns<Tok::tok>(*i, At(r, i->a), SlotOperand{At(r, i->b).v}, SlotOperand{At(r, i->c).v}, rt))  \
      goto slow;                                                                                \
    VRX_NEXT();                                                                                 \
  op_##name##RK:                                                                                \
    if (!BinaryIns<Tok::tok>(*i, At(r, i->a), SlotOperand{At(r, i->b).v}, LiteralOperand{i->c}, rt))    \
      goto slow;                                                                                \
    VRX_NEXT();                                                                                 \
  op_##name##KR:                                                                                \
    if (!BinaryIns<Tok::tok>(*i, At(r, i->a), LiteralOperand{i->b}, SlotOperand{At(r, i->c).v}, rt))    \
      goto slow;                                                                                \
    VRX_NEXT();
  VRX_MACHINE_BINARY(VRX_ENTRY)
#undef VRX_ENTRY

#define VRX_BRANCH(test)                    \
  {                                         \
    int t = (test);                         \
    if (t < 0) goto slow;                   \
    if (t == (i->flags & kWhen)) goto jump; \
    VRX_NEXT();                             \
  }
#define VRX_ENTRY(name, tok)                                                   \
  op_If##name##RR:                                                             \
    VRX_BRANCH((Test<Tok::tok>(SlotOperand{At(r, i->a).v}, SlotOperand{At(r, i->b).v}, rt)))  \
  op_If##name##RK:                                                             \
    VRX_BRANCH((Test<Tok::tok>(SlotOperand{At(r, i->a).v}, LiteralOperand{i->b}, rt)))    \
  op_If##name##KR:                                                             \
    VRX_BRANCH((Test<Tok::tok>(LiteralOperand{i->a}, SlotOperand{At(r, i->b).v}, rt)))
  VRX_MACHINE_COMPARE(VRX_ENTRY)
#undef VRX_ENTRY
op_IfBool:
  if (At(r, i->a).v.type != Type::Boolean) goto slow;
  VRX_BRANCH(int(At(r, i->a).v.b))
#undef VRX_BRANCH

op_Neg: {
  const Value& x = At(r, i->b).v;
  bool ok;
  if (x.type == Type::Long && x.l != INT32_MIN) ok = PutInt(At(r, i->a), -x.l, i->flags);
  else if (x.type == Type::Long || x.type == Type::Real) ok = PutReal(At(r, i->a), -x.Number(), i->flags);
  else ok = false;
  if (!ok) goto slow;
  VRX_NEXT();
}
op_SetK:
  if (!PutWhole(At(r, i->a), i->c, i->flags)) goto slow;
  VRX_NEXT();
op_LoadK: {
  Scalar s = Load(f.code->consts[size_t(i->c)]);
  if (s.type == Type::Undefined || !PutOther(At(r, i->a), s, i->flags)) goto slow;
  VRX_NEXT();
}
op_Copy: {
  Scalar s = Load(At(r, i->b).v);
  if (s.type == Type::Undefined || !Put(At(r, i->a), s, i->flags)) goto slow;
  VRX_NEXT();
}
op_Move: {
  Scalar s = Load(SlotOf(f, Src(i->b), i->c).v);
  if (s.type == Type::Undefined || !PutOther(At(r, i->a), s, i->flags)) goto slow;
  VRX_NEXT();
}
op_Store: {
  Scalar s = Load(At(r, i->a).v);
  if (s.type == Type::Undefined || !StoreScalar(SlotOf(f, Src(i->b), i->c), s)) goto slow;
  VRX_NEXT();
}
op_Elem: {
  const Value& at = At(r, i->c).v;
  int32_t index;
  if (at.type == Type::Long) index = at.l;
  else if (at.type == Type::Real) index = RealToLong(at.r);
  else goto slow;
  if (!PutElement(At(r, i->a), At(r, i->b).v, index, i->flags)) goto slow;
  VRX_NEXT();
}
op_ElemK:
  if (!PutElement(At(r, i->a), At(r, i->b).v, i->c, i->flags)) goto slow;
  VRX_NEXT();
// A whole real is divided as its longint is (a real operand is rounded first);
// anything else is no longint, so the general rules decide.
#define VRX_ENTRY(name, tok, fn)                                                          \
  op_##name: {                                                                            \
    const Divisor& d = divisors[size_t(i->c)];                                            \
    const Value& x = At(r, i->b).v;                                                       \
    int32_t whole;                                                                        \
    if (WholeNumber(x, &whole) ? !PutInt(At(r, i->a), d.fn(whole), i->flags)              \
                               : !BinaryOther(Tok::tok, SlotOperand{x}.Get(),             \
                                              LiteralOperand{d.d}.Get(), At(r, i->a), i->flags)) \
      goto slow;                                                                          \
    VRX_NEXT();                                                                           \
  }
  VRX_ENTRY(ModRD, Percent, Mod)
  VRX_ENTRY(QuoRD, Backslash, Quo)
#undef VRX_ENTRY
op_Jump:
  goto jump;
op_Test:
op_Exec:
  goto slow;
op_ForPrep:
  slice += i->ticks;
  VRX_CALL(ForPrep(f, *i));
op_ForLoop: {
  // The next position in line while the counter is a longint, or a real still at its
  // position, and the next position stays inside the range and the longints.
  Value& counter = At(r, i->a).v;
  Var& state = At(r, i->b);
  int32_t step = StepOf(state);
  if (counter.type == Type::Long) {
    int64_t next = int64_t(counter.l) + step;
    if (step > 0 ? next > NearLastOf(state) : next < NearLastOf(state)) goto for_slow;
    counter.l = int32_t(next);
    goto back;
  }
  if (counter.type == Type::Real) {
    double next = counter.r + RealStepOf(state);
    if (step > 0) {
      if (!(next <= EndOf(state))) goto for_slow;
    } else if (!(next >= EndOf(state))) {
      goto for_slow;
    }
    counter.r = next;
    goto back;
  }
  goto for_slow;
for_slow:
  VRX_CALL(ForLoop(f, *i));
}
op_Prop: {
  ObjectHeap* o = PlainObject(At(r, i->b).v);
  const Value* p = o ? o->Find(names[i->c]) : nullptr;
  if (!p) goto slow;  // missing: Undefined, which the general way gives
  Scalar s = Load(*p);
  if (s.type == Type::Undefined || !Put(At(r, i->a), s, i->flags)) goto slow;
  VRX_NEXT();
}
op_SetProp: {
  ObjectHeap* o = PlainObject(At(r, i->a).v);
  if (!o || o->group || !SetProperty(*o, names[i->c], Load(At(r, i->b).v))) goto slow;
  VRX_NEXT();
}
op_Item: {
  CollectionHeap* c;
  size_t at;
  if (!ItemAt(At(r, i->b).v, At(r, i->c).v, &c, &at)) goto slow;
  Scalar s = Load(c->items[at]);
  if (s.type == Type::Undefined || !Put(At(r, i->a), s, i->flags)) goto slow;
  VRX_NEXT();
}
op_SetItem: {
  CollectionHeap* c;
  size_t at;
  if (!ItemAt(At(r, i->a).v, At(r, i->c).v, &c, &at) || c->group ||
      !PutElementValue(c->items[at], Load(At(r, i->b).v)))
    goto slow;
  VRX_NEXT();
}
op_EachPrep:
  slice += i->ticks;
  VRX_CALL(EachPrep(f, *i));
op_EachNext: {
  // The next object in line, into a local holding an object.
  Var& state = At(r, i->b);
  size_t k = ItemOf(state) + 1;
  const CollectionHeap* c = state.v.collection();
  if (k < EndOfItems(state) && k < c->items.size()) {
    const Value& item = c->items[k];
    Value& into = At(r, i->a).v;
    if (item.type == Type::Object && into.type == Type::Object) {
      into = item;
      (&state)[1].v.raw_[0] = k;
      goto back;
    }
  }
  VRX_CALL(EachNext(f, *i));
}
op_EachEnd:
  At(r, i->b).v = Value();
  VRX_NEXT();
op_End:
  rt.slice = slice;
  return true;

jump:
  slice += i->ticks;
  if ((i->flags & kBack) && slice >= kStatementsPerSlice) {
    rt.slice = slice;
    if (!Yield(rt)) return false;
    slice = rt.slice;
  }
  i = code + i->c;
  VRX_DISPATCH();
back:  // a loop's way back: jump with kBack
  slice += i->ticks;
  if (slice >= kStatementsPerSlice) {
    rt.slice = slice;
    if (!Yield(rt)) return false;
    slice = rt.slice;
  }
  i = code + i->c;
  VRX_DISPATCH();
slow:
  VRX_CALL(GiveUp(f, *i));
go:
  if (to < 0) return false;
  i = code + to;
  VRX_DISPATCH();
#undef VRX_DISPATCH
#undef VRX_NEXT
#undef VRX_CALL
}

}  // namespace runner
