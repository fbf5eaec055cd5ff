// The language core: variables, expressions, statements and method calls.
#include "runner/interp.h"

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
    default: return "?";
  }
}

bool Compare(Frame& f, Tok op, const Value& a, const Value& b, Value* out) {
  int c = 0;
  bool orderable = true;
  bool aNum = a.numeric() || a.type == Type::Time, bNum = b.numeric() || b.type == Type::Time;
  if (aNum && bNum) {
    double x = a.type == Type::Time ? a.l : a.Number();
    double y = b.type == Type::Time ? b.l : b.Number();
    c = x < y ? -1 : x > y ? 1 : 0;
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
  } else {
    return Fail(f, std::string("cannot compare ") + Article(a.type) + " with " +
                       Article(b.type) + " (" + OpName(op) + ")");
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
    return Fail(f, std::string("the operator ") + OpName(op) + " does not apply to " +
                       Article(a.type) + " and " + Article(b.type));
  };
  if (a.type == Type::Undefined || b.type == Type::Undefined)
    return Fail(f, std::string("an operand of ") + OpName(op) + " is undefined");
  switch (op) {
    case Tok::Eq: case Tok::Hash: case Tok::Lt: case Tok::Gt: case Tok::Le: case Tok::Ge:
      return Compare(f, op, a, b, out);
    case Tok::Amp: case Tok::Pipe:
      if (a.type != Type::Boolean || b.type != Type::Boolean) return mismatch();
      *out = Value::Bool(op == Tok::Amp ? (a.b && b.b) : (a.b || b.b));
      return true;
    default:
      break;
  }
  if (a.numeric() && b.numeric()) return Arith(f, op, a, b, out);
  if (op == Tok::Plus && a.type == Type::Text && b.type == Type::Text) {
    if (a.s.size() + b.s.size() > kMaxBytes) return Fail(f, "the text is too long");
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

bool CheckIndex(Frame& f, const Value& base, int32_t index, const Expr& var) {
  size_t limit = base.type == Type::Array ? base.items.size() : base.s.size();
  if (index < 0 || size_t(index) >= limit)
    return Fail(f, "index " + std::to_string(index) + " is out of range for " + VarLabel(var) +
                       (base.type == Type::Array
                            ? " (size " + std::to_string(base.items.size() - 1) + ")"
                            : " (" + std::to_string(base.s.size()) + " bytes)"));
  return true;
}

bool ExecBlock(Frame& f, const std::vector<Stmt>& body);

bool GiveWay(Frame& f) {
  Runtime& rt = *f.rt;
  if (++rt.slice >= kStatementsPerSlice) {
    rt.slice = 0;
    if (rt.host) rt.host->Yield();
  }
  return !rt.aborting;
}

bool Condition(Frame& f, const Expr& e, bool* out) { return EvalBool(f, e, out, "the condition"); }

bool ExecFor(Frame& f, const Stmt& s) {
  Value start, end, step = Value::Long(1);
  if (!Eval(f, s.expr, &start) || !Eval(f, s.to, &end)) return false;
  if (s.hasStep && !Eval(f, s.step, &step)) return false;
  for (const Value* v : {&start, &end, &step})
    if (!v->numeric()) return Fail(f, "the bounds of For must be numbers, not " + Article(v->type));
  double st = step.Number();
  if (st == 0) return Fail(f, "the step of For cannot be 0");
  double i = start.Number(), last = end.Number();
  const std::string label = VarLabel(s.target);
  for (;;) {
    if (!(st > 0 ? i <= last : i >= last)) break;
    Value counter = (std::floor(i) == i && std::fabs(i) < 2147483647.0) ? Value::Long(int32_t(i))
                                                                       : Value::Real(i);
    if (!Assign(f, s.target, counter)) return false;
    if (!ExecBlock(f, s.body)) return false;
    f.line = s.line;
    // The body may move the counter; 4D continues from where it left it.
    Value now;
    if (!Eval(f, s.target, &now)) return false;
    if (!now.numeric()) return Fail(f, "the counter " + label + " is no longer a number");
    i = now.Number() + st;
    if (!GiveWay(f)) return false;
  }
  Value after = (std::floor(i) == i && std::fabs(i) < 2147483647.0) ? Value::Long(int32_t(i))
                                                                   : Value::Real(i);
  return Assign(f, s.target, after);
}

bool ExecStmt(Frame& f, const Stmt& s) {
  if (!GiveWay(f)) return false;
  f.line = s.line;
  switch (s.kind) {
    case StmtKind::Expr: {
      Value ignored;
      if (s.expr.kind == ExprKind::CallMethod) {
        std::vector<Value> params;
        for (const Expr& a : s.expr.args) {
          Value v;
          if (!Eval(f, a, &v)) return false;
          params.push_back(std::move(v));
        }
        f.line = s.line;
        return CallMethod(f, s.expr.name, std::move(params), &ignored, false);
      }
      return Eval(f, s.expr, &ignored);
    }
    case StmtKind::Assign: {
      Value v;
      if (!Eval(f, s.expr, &v)) return false;
      f.line = s.line;
      return Assign(f, s.target, std::move(v));
    }
    case StmtKind::If: {
      bool c;
      if (!Condition(f, s.expr, &c)) return false;
      return ExecBlock(f, c ? s.body : s.elseBody);
    }
    case StmtKind::Case: {
      for (const CaseBranch& b : s.branches) {
        bool c;
        if (!Condition(f, b.cond, &c)) return false;
        if (c) return ExecBlock(f, b.body);
      }
      return ExecBlock(f, s.elseBody);
    }
    case StmtKind::While:
      for (;;) {
        f.line = s.line;
        bool c;
        if (!Condition(f, s.expr, &c)) return false;
        if (!c) return true;
        if (!ExecBlock(f, s.body) || !GiveWay(f)) return false;
      }
    case StmtKind::Repeat:
      for (;;) {
        if (!ExecBlock(f, s.body)) return false;
        bool c;
        if (!Condition(f, s.expr, &c)) return false;
        if (c) return true;
        if (!GiveWay(f)) return false;
      }
    case StmtKind::For:
      return ExecFor(f, s);
  }
  return false;
}

bool ExecBlock(Frame& f, const std::vector<Stmt>& body) {
  for (const Stmt& s : body)
    if (!ExecStmt(f, s)) return false;
  return true;
}

}  // namespace

static std::string Quoted(const Method* m) { return m ? "\"" + m->name + "\"" : "\"?\""; }

std::string VarLabel(const Expr& e) {
  switch (e.kind) {
    case ExprKind::Local: return "$" + e.name;
    case ExprKind::Interprocess: return "<>" + e.name;
    case ExprKind::Element: return VarLabel(e.args[0]) + "{}";
    case ExprKind::Param: return "${}";
    default: return e.name;
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
                     Article(to));
}

bool Fail(Frame& f, const std::string& message) {
  Runtime& rt = *f.rt;
  if (rt.aborting) return false;
  std::string line = "Error in method " + Quoted(f.method) + " line " + std::to_string(f.line) +
                     ": " + platform::MacRomanToUtf8(message);
  rt.err(line);
  rt.status = 1;
  return false;
}

Var* FindVar(Frame& f, const Expr& ref, bool create) {
  VarMap* map = nullptr;
  switch (ref.kind) {
    case ExprKind::Local: map = &f.locals; break;
    case ExprKind::Interprocess: map = &f.rt->interprocess; break;
    case ExprKind::ProcessVar: map = &f.proc->vars; break;
    default: return nullptr;
  }
  auto it = map->find(ref.name);
  if (it != map->end()) return &it->second;
  if (!create) return nullptr;
  return &(*map)[ref.name];
}

bool AssignWhole(Frame& f, const Expr& target, Value v) {
  Var* var = FindVar(f, target, true);
  if (!var) return Fail(f, "only a variable can receive this value");
  var->v = std::move(v);
  return true;
}

bool Assign(Frame& f, const Expr& target, Value v) {
  if (target.kind == ExprKind::Param) {
    int32_t n;
    if (!EvalLong(f, target.args[0], &n, "the parameter number")) return false;
    if (n < 0) return Fail(f, "there is no parameter ${" + std::to_string(n) + "}");
    Expr local;
    local.kind = ExprKind::Local;
    local.name = std::to_string(n);
    return Assign(f, local, std::move(v));
  }
  if (target.kind == ExprKind::Element) {
    int32_t index;
    if (!EvalLong(f, target.args[1], &index, "the index")) return false;
    Var* var = FindVar(f, target.args[0], false);
    if (!var || var->v.type == Type::Undefined)
      return Fail(f, "the variable " + VarLabel(target.args[0]) + " is not defined");
    Value& base = var->v;
    if (base.type == Type::Array) {
      if (!CheckIndex(f, base, index, target.args[0])) return false;
      Value& slot = base.items[size_t(index)];
      if (v.type == base.elem) {
        slot = std::move(v);
        return true;
      }
      return Convert(f, base.elem, std::move(v), &slot, "an element of " + VarLabel(target.args[0]));
    }
    if (base.type == Type::Blob) {
      if (!CheckIndex(f, base, index, target.args[0])) return false;
      if (!v.numeric()) return Fail(f, "a BLOB byte takes a number, not " + Article(v.type));
      base.s[size_t(index)] = char(uint8_t(RealToLong(v.Number()) & 0xFF));
      return true;
    }
    return Fail(f, VarLabel(target.args[0]) + " is " + Article(base.type) + ": it has no elements");
  }
  Var* var = FindVar(f, target, true);
  if (!var) return Fail(f, "only a variable can be assigned");
  if (v.type == Type::Undefined)
    return Fail(f, "the value assigned to " + VarLabel(target) + " is undefined");
  if (var->v.type == Type::Array || v.type == Type::Array)
    return Fail(f, "arrays cannot be assigned with :=");
  if (var->v.type == Type::Undefined || (var->v.type == v.type && var->maxLen == 0)) {
    var->v = std::move(v);
    return true;
  }
  Value converted;
  if (!Convert(f, var->v.type, std::move(v), &converted, VarLabel(target))) return false;
  if (var->maxLen > 0 && converted.type == Type::Text && converted.s.size() > size_t(var->maxLen))
    converted.s.resize(size_t(var->maxLen));
  var->v = std::move(converted);
  return true;
}

namespace {

[[gnu::noinline]] bool StackExhausted(Frame& f) {
  char here;
  const char* base = f.proc->stackBase;
  return base && base > &here && size_t(base - &here) > kStackBudget;
}

}  // namespace

// Eval recurses through nested expressions: each kind's work lives in a function of
// its own, so that the frame that recurses stays small.
[[gnu::noinline]] bool EvalVariable(Frame& f, const Expr& e, Value* out) {
  Var* var = FindVar(f, e, false);
  if (!var || var->v.type == Type::Undefined) {
    if (e.kind == ExprKind::Local && !e.name.empty() && e.name[0] >= '0' && e.name[0] <= '9')
      return Fail(f, "the parameter $" + e.name + " was not passed");
    return Fail(f, "the variable " + VarLabel(e) + " is not defined");
  }
  *out = var->v;
  return true;
}

[[gnu::noinline]] bool EvalParam(Frame& f, const Expr& e, Value* out) {
  int32_t n;
  if (!EvalLong(f, e.args[0], &n, "the parameter number")) return false;
  auto it = n >= 0 ? f.locals.find(std::to_string(n)) : f.locals.end();
  if (it == f.locals.end() || it->second.v.type == Type::Undefined)
    return Fail(f, "the parameter ${" + std::to_string(n) + "} was not passed");
  *out = it->second.v;
  return true;
}

[[gnu::noinline]] bool EvalElement(Frame& f, const Expr& e, Value* out) {
  int32_t index;
  if (!EvalLong(f, e.args[1], &index, "the index")) return false;
  Var* var = FindVar(f, e.args[0], false);
  if (!var || var->v.type == Type::Undefined)
    return Fail(f, "the variable " + VarLabel(e.args[0]) + " is not defined");
  const Value& base = var->v;
  if (base.type == Type::Array) {
    if (!CheckIndex(f, base, index, e.args[0])) return false;
    *out = base.items[size_t(index)];
    return true;
  }
  if (base.type == Type::Blob) {
    if (!CheckIndex(f, base, index, e.args[0])) return false;
    *out = Value::Long(uint8_t(base.s[size_t(index)]));
    return true;
  }
  return Fail(f, VarLabel(e.args[0]) + " is " + Article(base.type) + ": it has no elements");
}

[[gnu::noinline]] bool EvalNegate(Frame& f, const Expr& e, Value* out) {
  Value v;
  if (!Eval(f, e.args[0], &v)) return false;
  if (v.type == Type::Long && v.l != INT32_MIN) *out = Value::Long(-v.l);
  else if (v.numeric()) *out = Value::Real(-v.Number());
  else if (v.type == Type::Time) *out = Value::Time(-v.l);
  else return Fail(f, "cannot negate " + Article(v.type));
  return true;
}

[[gnu::noinline]] bool EvalBinary(Frame& f, const Expr& e, Value* out) {
  // The left operand is evaluated into *out, so a chain a+b+c+... needs one Value
  // per level, not two.
  if (!Eval(f, e.args[0], out)) return false;
  Value b;
  if (!Eval(f, e.args[1], &b)) return false;
  Value a = std::move(*out);
  return Binary(f, e.op, a, b, out);
}

[[gnu::noinline]] bool EvalMethodCall(Frame& f, const Expr& e, Value* out) {
  std::vector<Value> params;
  for (const Expr& a : e.args) {
    Value v;
    if (!Eval(f, a, &v)) return false;
    params.push_back(std::move(v));
  }
  return CallMethod(f, e.name, std::move(params), out, true);
}

bool Eval(Frame& f, const Expr& e, Value* out) {
  if (StackExhausted(f)) return Fail(f, "stack overflow: calls and expressions nest too deeply");
  switch (e.kind) {
    case ExprKind::Literal:
      *out = e.value;
      return true;
    case ExprKind::Local:
    case ExprKind::Interprocess:
    case ExprKind::ProcessVar: return EvalVariable(f, e, out);
    case ExprKind::Param: return EvalParam(f, e, out);
    case ExprKind::Element: return EvalElement(f, e, out);
    case ExprKind::Negate: return EvalNegate(f, e, out);
    case ExprKind::Binary: return EvalBinary(f, e, out);
    case ExprKind::Star: return Fail(f, "* is not a value here");
    case ExprKind::CallBuiltin: return CallBuiltin(f, e, out);
    case ExprKind::CallCommand: return CallPluginCommand(f, e, out);
    case ExprKind::CallMethod: return EvalMethodCall(f, e, out);
  }
  return false;
}

bool EvalNumber(Frame& f, const Expr& e, double* out, std::string_view what) {
  Value v;
  if (!Eval(f, e, &v)) return false;
  if (v.type == Type::Time) v = Value::Long(v.l);
  if (!v.numeric()) return Fail(f, std::string(what) + " must be a number, not " + Article(v.type));
  *out = v.Number();
  return true;
}

bool EvalLong(Frame& f, const Expr& e, int32_t* out, std::string_view what) {
  double d;
  if (!EvalNumber(f, e, &d, what)) return false;
  *out = RealToLong(d);
  return true;
}

bool EvalText(Frame& f, const Expr& e, std::string* out, std::string_view what) {
  Value v;
  if (!Eval(f, e, &v)) return false;
  if (v.type != Type::Text) return Fail(f, std::string(what) + " must be a text, not " + Article(v.type));
  *out = std::move(v.s);
  return true;
}

bool EvalBool(Frame& f, const Expr& e, bool* out, std::string_view what) {
  Value v;
  if (!Eval(f, e, &v)) return false;
  if (v.type != Type::Boolean) return Fail(f, std::string(what) + " must be a boolean, not " + Article(v.type));
  *out = v.b;
  return true;
}

bool CallMethod(Frame& f, const std::string& name, std::vector<Value> params, Value* out,
                bool wantValue) {
  auto it = f.rt->program->methods.find(Lowercase(name));
  if (it == f.rt->program->methods.end()) return Fail(f, "Unknown method: " + name);
  if (f.proc->depth >= kMaxCallDepth || StackExhausted(f))
    return Fail(f, "too many nested method calls (stack overflow) calling " + name);
  Frame callee;
  callee.rt = f.rt;
  callee.proc = f.proc;
  callee.method = &it->second;
  callee.nparams = int(params.size());
  for (size_t i = 0; i < params.size(); ++i)
    callee.locals[std::to_string(i + 1)].v = std::move(params[i]);
  ++f.proc->depth;
  bool ok = ExecBlock(callee, callee.method->body);
  --f.proc->depth;
  if (!ok) return false;
  auto r = callee.locals.find("0");
  if (r == callee.locals.end() || r->second.v.type == Type::Undefined) {
    if (wantValue) return Fail(f, "the method " + name + " did not return a value ($0)");
    *out = Value();
    return true;
  }
  *out = std::move(r->second.v);
  return true;
}

void RunProcessMethod(Runtime* rt, const Method* method, std::vector<Value> params) {
  char base;
  Process proc;
  proc.rt = rt;
  proc.stackBase = &base;
  Frame f;
  f.rt = rt;
  f.proc = &proc;
  f.method = method;
  f.nparams = int(params.size());
  for (size_t i = 0; i < params.size(); ++i) f.locals[std::to_string(i + 1)].v = std::move(params[i]);
  ExecBlock(f, method->body);
}

int RunProgram(const Program& program, std::string_view method, std::vector<Value> params,
               const RunOptions& options) {
  Runtime rt;
  rt.program = &program;
  rt.host = options.host;
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
  return rt.status;
}

}  // namespace runner
