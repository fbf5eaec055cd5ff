// Formulas: 4D.Function objects made by Formula(expression) and Formula from string(text),
// called through call(), apply(), as a property ($o.f()) or by collection functions.
// Formula(expression) is read with its method: the expression becomes code of its own,
// and the locals it names get, when the formula is made, copies of the values the
// method's locals of the same name hold then, as 4D copies them.
#include <algorithm>

#include "runner/classes.h"
#include "runner/objects.h"
#include "runner/parser_state.h"

namespace runner {

void ScratchProgram(const Program& real, Program* scratch, MethodNames* names) {
  scratch->processVars = real.processVars;
  scratch->processSlots = real.processSlots;
  scratch->interprocessVars = real.interprocessVars;
  scratch->interprocessSlots = real.interprocessSlots;
  scratch->commandSites = real.commandSites;
  for (const auto& [key, m] : real.methods) (*names)[key] = m.name;
}

namespace {

struct FormulaData : NativeData {
  std::shared_ptr<const Method> owned;  // a formula's own code; null for a class function
  const Method* method = nullptr;
  const ClassDef* owner = nullptr;  // a class function's class
  int32_t expr = -1;                // the formula's expression in method's code; -1: its body
  std::string source;
  // Formula(...) as read: each local of the formula's code and the node of the local
  // of the same name in the method that makes it.
  std::vector<std::pair<int32_t, int32_t>> capture;
  // A formula object: the values copied when it was made.
  std::vector<std::pair<int32_t, Value>> captured;
};

// A formula object never changes: it is shared, so that it may go into shared objects
// (a class object's new:=Formula(...)) as 4D allows.
Value NewFormula(std::shared_ptr<const FormulaData> data) {
  Value v = NewNativeObject(&FunctionClass(), std::move(data));
  MakeShared(v);
  return v;
}

const FormulaData& DataOf(const Value& formula) {
  return static_cast<const FormulaData&>(*formula.object()->native);
}

bool IsFormula(const Value& v) {
  const ObjectHeap* o = v.object();
  return o && o->cls == &FunctionClass() && o->native;
}

// Byte offset of (line, col) in src, counting as the lexer does.
size_t Offset(std::string_view src, int line, int col) {
  size_t i = 0;
  for (int l = 1; l < line && i < src.size(); ++i) {
    if (src[i] == '\n') ++l;
    else if (src[i] == '\r' && !(i + 1 < src.size() && src[i + 1] == '\n')) ++l;
  }
  for (int c = 1; c < col && i < src.size(); ++c) {
    ++i;
    while (i < src.size() && (uint8_t(src[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

// ---- the built-ins

// Formula(expression): its one argument is the prototype the parser made.
bool FormulaCmd(Frame& f, const Args& a, Value* out) {
  const Value& proto = f.code->consts[size_t(a.node(0).a)];
  auto data = std::make_shared<FormulaData>(DataOf(proto));
  for (const auto& [slot, node] : data->capture) {
    const Value* v = PeekVar(f, node);
    if (v && v->type != Type::Array) data->captured.emplace_back(slot, *v);
  }
  data->capture.clear();
  *out = NewFormula(std::move(data));
  return true;
}

// Reads `text` as an expression into a formula, against the program's methods and
// variables; a process variable no method names has no slot in the running processes.
bool CompileFormula(Frame& f, const std::string& text, Value* out) {
  const Program& real = *f.rt->program;
  Program scratch;
  MethodNames names;
  ScratchProgram(real, &scratch, &names);
  std::vector<Token> toks;
  SyntaxError error;
  auto method = std::make_shared<Method>();
  method->name = "Formula from string";
  method->code = std::make_shared<Code>();
  parsing::Parser p(toks, names, &error, CodeGen(scratch, *method->code));
  p.source = text;
  int32_t root = -1;
  bool ok = Tokenize(text, &toks, &error);
  if (ok) {
    p.SkipNewlines();
    ok = p.Cur().kind != Tok::End && p.ParseExpr(&root);
    if (ok) p.SkipNewlines();
    if (ok && p.Cur().kind != Tok::End) ok = p.Fail(p.Cur(), "expected the end of the formula, found " + parsing::Parser::Describe(p.Cur()));
  }
  if (!ok) {
    if (error.message.empty()) error.message = "the formula is empty";
    return Fail(f, "Formula from string: " + error.message + " (column " + std::to_string(error.col) + ")");
  }
  p.gen.Root(root);
  p.gen.Seal();
  if (scratch.processVars.size() > real.processVars.size())
    return Fail(f, "Formula from string: no method uses the variable " + scratch.processVars.back());
  if (scratch.interprocessVars.size() > real.interprocessVars.size())
    return Fail(f, "Formula from string: no method uses the variable <>" + scratch.interprocessVars.back());
  if (size_t(scratch.commandSites) > f.rt->spares.size()) f.rt->spares.resize(size_t(scratch.commandSites));
  auto resolve = [&](const Method& m) {
    for (CallSite& site : m.code->calls) {
      auto it = real.methods.find(Lowercase(site.name));
      site.method = it == real.methods.end() ? nullptr : &it->second;
    }
  };
  resolve(*method);
  ForEachClassMethod(scratch, resolve);
  auto data = std::make_shared<FormulaData>();
  data->method = method.get();
  data->owned = std::move(method);
  data->expr = root;
  data->source = text;
  *out = NewFormula(std::move(data));
  return true;
}

bool FormulaFromString(Frame& f, const Args& a, Value* out) {
  std::string text;
  if (!EvalText(f, a[0], &text, "Formula from string: the formula")) return false;
  ClassRuntime& rt = Classes(f);
  if (auto it = rt.compiled.find(text); it != rt.compiled.end()) {
    *out = it->second;
    return true;
  }
  if (!CompileFormula(f, text, out)) return false;
  // A run reads a few formula texts many times over: keep each one's code.
  if (rt.compiled.size() < 1000) rt.compiled[text] = *out;
  return true;
}

// formula.call(thisObj; params...)
bool FunctionCall(Frame& f, const Value& self, std::vector<Value>& args, Value* out) {
  Value target = args.empty() ? Value() : args[0];
  std::vector<Value> params(args.size() > 1 ? args.begin() + 1 : args.end(), args.end());
  return CallFormula(f, self, target, std::move(params), out);
}

// formula.apply(thisObj; collection of params)
bool FunctionApply(Frame& f, const Value& self, std::vector<Value>& args, Value* out) {
  if (args.size() > 2) return Fail(f, ".apply() takes an object and a collection of parameters");
  Value target = args.empty() ? Value() : args[0];
  std::vector<Value> params;
  if (args.size() == 2) {
    const CollectionHeap* c = args[1].collection();
    if (!c && args[1].type != Type::Null && args[1].type != Type::Undefined)
      return Fail(f, ".apply(): the parameters must be given as a collection");
    if (c) params = c->items;
  }
  return CallFormula(f, self, target, std::move(params), out);
}

bool FunctionSource(Frame&, const Value& self, Value* out) {
  *out = Value::Text(DataOf(self).source);
  return true;
}

// Copy parameters({startFrom}): the parameters the current call was given, from
// startFrom (1 by default), as a collection.
bool CopyParameters(Frame& f, const Args& a, Value* out) {
  int32_t from = 1;
  if (a.size() > 0 && !EvalLong(f, a[0], &from, "Copy parameters: the first parameter")) return false;
  Value c = Value::NewCollection();
  for (int32_t k = std::max(from, 1); k <= f.nparams; ++k) {
    Value e;
    const Var* v = ParamVar(f, k, false);
    if (v && ToElement(v->v, &e)) c.collection()->items.push_back(std::move(e));
  }
  *out = std::move(c);
  return true;
}

constexpr BuiltinInfo kFormulaBuiltins[] = {
    {"Formula", parsing::kFormulaCommand, 1, 1, true, "e", FormulaCmd, false},
    {"Formula from string", 1601, 1, 2, true, "e", FormulaFromString, false},
    {"Copy parameters", 1790, 0, 1, true, "e", CopyParameters, false},
};

}  // namespace

const ClassDef& FunctionClass() {
  static const ClassDef c = [] {
    ClassDef d;
    d.name = "Function";
    d.builtin = true;
    d.super = BuiltinClass("Object");
    d.members["call"].native = FunctionCall;
    d.members["apply"].native = FunctionApply;
    d.members["source"].nativeGet = FunctionSource;
    return d;
  }();
  return c;
}

bool CallFormula(Frame& f, const Value& formula, const Value& self, std::vector<Value> params,
                 Value* out) {
  if (!IsFormula(formula)) return Fail(f, "only a formula can be called");
  // The formula may replace the property that holds it while it runs: its code stays,
  // held by a copy of the formula object, which is counted without the atomic operations
  // of a copy of the code's own shared pointer (a formula a sort calls for each
  // comparison would pay two of them each time). An object's code never changes.
  const Value keep = formula;
  const FormulaData& d = static_cast<const FormulaData&>(*keep.object()->native);
  return CallFunction(f, d.method, d.owner, self, std::move(params), out, d.captured, d.expr);
}

// The callback either sets $1.result or returns the result, which then goes there.
// The parameters go to the call (they are the caller's no longer).
bool CallCollectionFormula(Frame& f, const Value& formula, std::vector<Value>& params) {
  static const Name kResult("result");  // set at every call: interned once
  Value result;
  Value event = params.empty() ? Value() : params[0];
  if (formula.type == Type::Text) {  // a project method, by name
    auto it = f.rt->program->methods.find(Lowercase(formula.str()));
    if (it == f.rt->program->methods.end()) return Fail(f, "Unknown method: " + formula.str());
    if (!CallMethod(f, CallSite{&it->second, it->second.name}, std::move(params), &result, false)) return false;
  } else if (!IsFormula(formula)) {
    return Fail(f, "a formula or a method name is expected, not " + Article(formula.type));
  } else if (!CallFormula(f, formula, Value(), std::move(params), &result)) {
    return false;
  }
  if (ObjectHeap* o = event.object(); o && result.type != Type::Undefined) {
    Value e;
    if (ToElement(std::move(result), &e)) o->Set(kResult, std::move(e));
  }
  return true;
}

Value FunctionObject(const Method* m, const ClassDef* owner, std::string source) {
  auto data = std::make_shared<FormulaData>();
  data->method = m;
  data->owner = owner;
  data->source = std::move(source);
  return NewFormula(std::move(data));
}

std::span<const BuiltinInfo> FormulaBuiltins() { return kFormulaBuiltins; }

namespace parsing {

/* formula -> FORMULA '(' expr [':=' expr] ')' */
bool Parser::ParseFormula(int32_t* out, const Token& t) {
  if (!Expect(Tok::LParen, "\"(\" after Formula")) return false;
  Program& program = gen.program();
  auto method = std::make_shared<Method>();
  method->name = "Formula";
  method->code = std::make_shared<Code>();
  Parser sub(toks, methods, error, CodeGen(program, *method->code));
  sub.pos = pos;
  sub.source = source;
  sub.depth = depth;
  const Token& first = Cur();
  int32_t root;
  if (!sub.ParseExpr(&root)) return false;
  sub.gen.Root(root);
  int32_t expr = root;
  Tok compound = Parser::CompoundOp(sub.Cur().kind);
  if ((sub.Cur().kind == Tok::Assign || compound != Tok::End) && sub.IsStorable(root)) {
    // Formula($1.result:=$1.value*2), Formula($1.accumulator*=$1.value): an assignment,
    // run as the formula's one statement.
    ++sub.pos;
    CStmt s;
    s.kind = StmtKind::Assign;
    s.line = t.line;
    s.target = root;
    const Token& at = sub.Cur();
    if (!sub.ParseExpr(&s.expr) || !sub.ReturnsValue(s.expr, at)) return false;
    if (compound != Tok::End) s.expr = sub.gen.Binary(compound, root, s.expr);
    sub.gen.Root(s.expr);
    sub.gen.Finish(&s);
    method->code->body.push_back(std::move(s));
    expr = -1;
  }
  sub.gen.Seal();
  pos = sub.pos;
  const Token& last = At(pos - 1);
  if (!Expect(Tok::RParen, "\")\" closing Formula")) return false;
  auto data = std::make_shared<FormulaData>();
  data->method = method.get();
  data->expr = expr;
  if (!source.empty()) {
    size_t from = Offset(source, first.line, first.col), to = Offset(source, last.line, last.endCol);
    if (from < to) data->source = std::string(source.substr(from, to - from));
  }
  const std::vector<std::string>& locals = method->code->locals;
  for (size_t slot = 0; slot < locals.size(); ++slot) data->capture.emplace_back(int32_t(slot), gen.Local(locals[slot]));
  if (!program.classes) program.classes = std::make_shared<ClassStore>();
  program.classes->formulas.push_back(method);
  data->owned = std::move(method);
  int32_t proto = gen.Const(NewFormula(std::move(data)));
  *out = gen.Builtin(&kFormulaBuiltins[0], t.line, t.col, {proto});
  return true;
}

}  // namespace parsing

}  // namespace runner
