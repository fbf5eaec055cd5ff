// Running the compiled form of code.h: the general evaluation of nodes (one function per
// kind, after the node's scalar code where it has one), typed evaluation for the
// commands, and the statements (one function per kind, chosen when compiled), which
// give the other processes their turn now and then.
#include "runner/interp.h"

#include <cmath>

#include "runner/scalar.h"

namespace runner {

namespace {

// ---- expressions ----------------------------------------------------------------------

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
  // A Variant declared and not given a value is undefined, which reads without an error.
  if (var.v.type == Type::Undefined && var.maxLen >= 0) {
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
  if (!var || (var->v.type == Type::Undefined && var->maxLen >= 0))
    return Fail(f, "the parameter ${" + std::to_string(number) + "} was not passed");
  *out = var->v;
  return true;
}

[[gnu::noinline]] bool EvalElement(Frame& f, int32_t i, Value* out) {
  Target t;
  if (!ResolveTarget(f, i, &t)) return false;
  if (t.sub < 0) return ElementOf(f, t.var->v, t.index, t.label, out);
  Value copy;
  const Value* v;
  if (!TargetValue(f, t, &copy, &v)) return false;
  *out = std::move(copy);
  return true;
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
  if (a.type >= Type::Null || b.type >= Type::Null || a.type == Type::Undefined ||
      b.type == Type::Undefined)
    return CompareReferences(f, n.bin, a, b, out);
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
  if (StackExhausted(f)) return StackOverflow(f);
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
    case Op::Member: return EvalMember(f, n, out);
    case Op::Index: return EvalIndex(f, n, out);
    case Op::MemberCall: return EvalMemberCall(f, n, out);
    case Op::ObjectLit: return EvalObjectLit(f, n, out);
    case Op::CollectionLit: return EvalCollectionLit(f, n, out);
    case Op::Logic: return EvalLogic(f, n, out);
    case Op::Ternary: return EvalTernary(f, n, out);
  }
  return false;
}

}  // namespace

// ---- statements -----------------------------------------------------------------------

bool Yield(Runtime& rt) {
  rt.slice = 0;
  if (rt.slicesLeft && --rt.slicesLeft == 0) {
    rt.err("The run has reached its statement limit");
    rt.status = 1;
    rt.aborting = true;
  }
  if (rt.host) rt.host->Yield();
  return !rt.aborting;
}

// After an error that the error method (ON ERR CALL) has handled, the method goes on
// with the statement after the one that failed, as 4D does.
bool Resume(Frame& f) {
  Process& p = *f.proc;
  if (!p.resume || f.rt->aborting) return false;
  p.resume = false;
  p.errorPending = false;
  return true;
}

namespace {

// False when the run is ending. Another process can only end it (a failed ASSERT)
// while this one has given way, so that is when it is looked at: here after Yield, in
// every command that waits, and when a process starts.
inline bool GiveWay(Frame& f) {
  Runtime& rt = *f.rt;
  return ++rt.slice < kStatementsPerSlice || Yield(rt);
}

[[gnu::always_inline]] inline bool RunBody(Frame& f, const std::vector<CStmt>& body) {
  for (const CStmt& s : body) {
    if (!GiveWay(f)) return false;
    f.line = s.line;
    if (!s.exec(f, s) && !Resume(f)) return false;
  }
  return true;
}

// After a loop's body stopped early: break (*stop) and continue end the turn; an error
// or a return goes on leaving.
[[gnu::noinline]] bool EndTurn(Frame& f, bool* stop) {
  switch (f.jump) {
    case Frame::Jump::Break: f.jump = Frame::Jump::None; *stop = true; return true;
    case Frame::Jump::Continue: f.jump = Frame::Jump::None; return true;
    default: return false;
  }
}

[[gnu::always_inline]] inline bool LoopTurn(Frame& f, const std::vector<CStmt>& body, bool* stop) {
  return RunBody(f, body) || EndTurn(f, stop);
}

}  // namespace

bool ExecBlock(Frame& f, const std::vector<CStmt>& body) { return RunBody(f, body); }
bool LoopBody(Frame& f, const std::vector<CStmt>& body, bool* stop) { return LoopTurn(f, body, stop); }

namespace {

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
  // A longint, real or boolean into a whole variable is stored in place; any other
  // value goes there by assignment's own rule, without finding the variable again.
  if (s.into.src != Src::Reg) {
    Var& var = SlotOf(f, s.into.src, s.into.index);
    Scalar x = Load(v);
    if (x.type != Type::Undefined && StoreScalar(var, x)) return true;
    // A value of the type the variable already has (a text a command answers, say)
    // takes its place, as assignment's first rule would.
    if (v.type == var.v.type && var.maxLen == 0 && v.type != Type::Array && v.type != Type::Undefined) {
      var.v = std::move(v);
      return true;
    }
    return AssignToVar(f, &var, std::move(v), s.target);
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
    bool stop = false;
    if (!LoopTurn(f, s.body, &stop)) return false;
    if (stop) return true;
    if (!GiveWay(f)) return false;
  }
}

// Repeat body Until (cond)
bool ExecRepeat(Frame& f, const CStmt& s) {
  for (;;) {
    bool stop = false;
    if (!LoopTurn(f, s.body, &stop)) return false;
    if (stop) return true;
    bool c;
    if (!Condition(f, s.expr, &c)) return false;
    if (c) return true;
    if (!GiveWay(f)) return false;
  }
}

}  // namespace

// The counter's value at position i: a number, which a longint counter rounds.
Value CounterValue(double i) { return Value::Real(i); }

// Where a loop goes on after its body: the counter's value (the body may have moved
// it; 4D continues from where it left it) plus the step.
bool NextPosition(Frame& f, const CStmt& s, Var* counter, double st, double* i) {
  if (counter && counter->v.numeric()) {
    *i = counter->v.Number() + st;
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
    else if (counter && counter->v.type == Type::Real)
      counter->v.r = i;
    else if (!Assign(f, s.target, CounterValue(i)))
      return false;
    if (!whole) {
      // A longint counter cannot hold this position: the loop ends here, instead of
      // running its body again and again with the largest value it can hold.
      Value now;
      if (!Eval(f, s.target, &now)) return false;
      if (now.type == Type::Long && double(now.l) != i) break;
    }
    bool stop = false;
    if (!LoopTurn(f, s.body, &stop)) return false;
    if (stop) return true;
    f.line = s.line;
    if (!NextPosition(f, s, counter, st, &i) || !GiveWay(f)) return false;
  }
  return Assign(f, s.target, CounterValue(i));
}

bool StartFor(Frame& f, const CStmt& s, Var* counter, ForCount* out) {
  Value start, end, step = Value::Long(1);
  if (!Eval(f, s.expr, &start) || !Eval(f, s.to, &end)) return false;
  if (s.step >= 0 && !Eval(f, s.step, &step)) return false;
  for (const Value* v : {&start, &end, &step})
    if (!v->numeric()) return Fail(f, "the bounds of For must be numbers, not " + Article(v->type));
  if (step.Number() == 0) return Fail(f, "the step of For cannot be 0");
  double lastReal = end.Number();
  int32_t first, by;
  out->counted = counter && WholeNumber(start, &first) && WholeNumber(step, &by) && !std::isnan(lastReal);
  if (!out->counted) return ForFrom(f, s, counter, start.Number(), lastReal, step.Number());
  // A whole start and step and a variable as the counter: it is counted in integers and
  // set and read in place, which is exactly what counting in reals gives. A real end is
  // the whole number the counter can reach: for whole positions, i <= end holds exactly
  // when i <= floor(end) does.
  int64_t i = first, st = by;
  constexpr double kFar = 4e18;  // past any counter; inside int64_t
  double edge = st > 0 ? std::floor(lastReal) : std::ceil(lastReal);
  int64_t last = edge > kFar ? int64_t(kFar) : edge < -kFar ? -int64_t(kFar) : int64_t(edge);
  if (counter->v.type == Type::Undefined && (st > 0 ? i <= last : i >= last))
    counter->v = start.type == Type::Long ? Value::Long(0) : Value::Real(0);  // the type of its first value
  *out = {i, last, st, true, lastReal};
  return true;
}

namespace {

// For (counter; start; end [; step]) body End for
bool ExecFor(Frame& f, const CStmt& s) {
  const Node& target = f.node(s.target);
  Var* counter = IsWholeVar(target) ? &Slot(f, target) : nullptr;
  ForCount count;
  if (!StartFor(f, s, counter, &count)) return false;
  if (!count.counted) return true;
  int64_t i = count.i, last = count.last, st = count.step;
  double lastReal = double(last);
  for (;;) {
    if (!(st > 0 ? i <= last : i >= last)) break;
    // Inside the longint range, storing i is what assigning it as a real would give.
    if (!SetCounter(counter, i)) return ForFrom(f, s, counter, double(i), lastReal, double(st));
    if (!RunBody(f, s.body)) {
      // break ends the loop with the counter where it is; continue goes on with the next turn.
      if (f.jump == Frame::Jump::Break) {
        f.jump = Frame::Jump::None;
        return true;
      }
      if (f.jump != Frame::Jump::Continue) return false;
      f.jump = Frame::Jump::None;
    }
    f.line = s.line;
    int32_t at;
    if (!CounterAt(*counter, &at)) {  // declared anew, or moved off the whole numbers, in the body
      double next;
      if (!NextPosition(f, s, counter, double(st), &next) || !GiveWay(f)) return false;
      return ForFrom(f, s, counter, next, lastReal, double(st));
    }
    i = int64_t(at) + st;
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
    case StmtKind::ForEach: return ExecForEach;
    case StmtKind::Use: return ExecUse;
    case StmtKind::Try: return ExecTry;
    case StmtKind::Break: case StmtKind::Continue: case StmtKind::Return: return ExecJump;
  }
  return ExecCall;
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
  *out = v.takeStr();
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


}  // namespace runner
