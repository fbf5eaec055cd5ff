// The code generator: what the parser reads, appended to a method's code (code.h).
#include <unordered_map>

#include "runner/code.h"
#include "runner/interp.h"
#include "runner/runner.h"

namespace runner {

namespace {

using Slots = std::unordered_map<std::string, int32_t>;

// Slot of `name` in `table`, given the next free one when it has none yet.
int32_t SlotFor(Slots& slots, std::vector<std::string>& names, const std::string& name) {
  auto [it, added] = slots.try_emplace(name, int32_t(names.size()));
  if (added) names.push_back(name);
  return it->second;
}

// $0 to $999: the parameter number of a local's name, or -1. Every call's frame holds a
// slot up to the largest number its method names, so longer numbers stay names of
// locals (${n} reaches a parameter past them).
int32_t ParamNumber(const std::string& name) {
  if (name.empty() || name.size() > 3 || (name.size() > 1 && name[0] == '0')) return -1;
  int32_t n = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace

int32_t CodeGen::Add(Node n) {
  code_.nodes.push_back(n);
  return int32_t(code_.nodes.size() - 1);
}

int32_t CodeGen::Const(Value v) {
  code_.consts.push_back(std::move(v));
  return Add({Op::Const, Tok::End, true, 0, int32_t(code_.consts.size() - 1), 0});
}

void CodeGen::AliasParam(const std::string& name, int32_t number) {
  paramAliases_[name] = number;
  if (number + 1 > code_.params) code_.params = number + 1;
}

int32_t CodeGen::Local(const std::string& name) {
  if (auto it = paramAliases_.find(name); it != paramAliases_.end())
    return Add({Op::Param, Tok::End, true, 0, it->second, 0});
  if (int32_t n = ParamNumber(name); n >= 0) {
    if (n + 1 > code_.params) code_.params = n + 1;
    return Add({Op::Param, Tok::End, true, 0, n, 0});
  }
  return Add({Op::Local, Tok::End, true, 0, SlotFor(localSlots_, code_.locals, name), 0});
}

int32_t CodeGen::ProcessVar(const std::string& name) {
  return Add({Op::ProcessVar, Tok::End, true, 0,
              SlotFor(program_.processSlots, program_.processVars, name), 0});
}

int32_t CodeGen::Interprocess(const std::string& name) {
  return Add({Op::Interprocess, Tok::End, true, 0,
              SlotFor(program_.interprocessSlots, program_.interprocessVars, name), 0});
}

int32_t CodeGen::ParamAt(int32_t index) {
  return Add({Op::ParamAt, Tok::End, Pure(index), 0, index, 0});
}

int32_t CodeGen::Element(int32_t var, int32_t index) {
  return Add({Op::Element, Tok::End, Pure(var) && Pure(index), 0, var, index});
}

int32_t CodeGen::Unary(Op op, int32_t operand) {
  return Add({op, Tok::End, Pure(operand), 0, operand, 0});
}

int32_t CodeGen::Binary(Tok bin, int32_t left, int32_t right) {
  return Add({Op::Binary, bin, Pure(left) && Pure(right), 0, left, right});
}

int32_t CodeGen::Star(int32_t order) { return Add({Op::Star, Tok::End, true, 0, order, 0}); }

int32_t CodeGen::Member(int32_t object, const std::string& name) {
  code_.consts.push_back(Value::Text(name));
  code_.names.resize(code_.consts.size());
  code_.names.back() = Name(name);
  return Add({Op::Member, Tok::End, false, 0, object, int32_t(code_.consts.size() - 1)});
}

int32_t CodeGen::Index(int32_t base, int32_t index) {
  return Add({Op::Index, Tok::End, false, 0, base, index});
}

int32_t CodeGen::Logic(Tok bin, int32_t left, int32_t right) {
  return Add({Op::Logic, bin, false, 0, left, right});
}

int32_t CodeGen::List(Op op, int32_t a, const std::vector<int32_t>& args) { return Call(op, a, args); }

int32_t CodeGen::Call(Op op, int32_t what, const std::vector<int32_t>& args) {
  Node n{op, Tok::End, false, int32_t(args.size()), what, int32_t(code_.args.size())};
  code_.args.insert(code_.args.end(), args.begin(), args.end());
  return Add(n);
}

int32_t CodeGen::Builtin(const BuiltinInfo* b, int line, int col, const std::vector<int32_t>& args) {
  code_.builtins.push_back({b, line, col});
  return Call(Op::Builtin, int32_t(code_.builtins.size() - 1), args);
}

int32_t CodeGen::Command(const vrx::CommandInfo* c, const std::vector<int32_t>& args) {
  code_.commands.push_back({c, program_.commandSites++});
  return Call(Op::Command, int32_t(code_.commands.size() - 1), args);
}

int32_t CodeGen::MethodCall(const std::string& name, int line, int col,
                            const std::vector<int32_t>& args) {
  code_.calls.push_back({nullptr, name, line, col});
  return Call(Op::Method, int32_t(code_.calls.size() - 1), args);
}

void CodeGen::MakeMethodCall(int32_t i, const std::string& name, int line, int col) {
  code_.calls.push_back({nullptr, name, line, col});
  code_.nodes[size_t(i)] = {Op::Method, Tok::End, false, 0, int32_t(code_.calls.size() - 1),
                            int32_t(code_.args.size())};
}

// Where an operand of scalar code comes from; a leaf is read where it stands, any
// other node is computed into register `reg` first. False when it needs more
// registers than there are, or a node scalar code does not handle.
bool CodeGen::Emit(int32_t i, int reg, Ref* out) {
  const Node& n = code_.nodes[size_t(i)];
  switch (n.op) {
    case Op::Const:
      if (const Value& v = code_.consts[size_t(n.a)]; v.type == Type::Long) *out = {Src::Long, v.l};
      else *out = {Src::Const, n.a};
      return true;
    case Op::Local: *out = {Src::Local, n.a}; return true;
    case Op::Param: *out = {Src::Param, n.a}; return true;
    case Op::ProcessVar: *out = {Src::ProcessVar, n.a}; return true;
    case Op::Interprocess: *out = {Src::Interprocess, n.a}; return true;
    case Op::Binary: case Op::Negate: case Op::Element: break;
    default: return false;
  }
  if (reg >= kScalarRegs) return false;
  Ins ins;
  ins.op = n.op;
  ins.bin = n.bin;
  ins.dst = uint8_t(reg);
  if (n.op == Op::Element) {
    if (!Emit(n.a, reg, &ins.x) || ins.x.src == Src::Reg || !Emit(n.b, reg, &ins.y)) return false;
  } else if (!Emit(n.a, reg, &ins.x)) {
    return false;
  } else if (n.op == Op::Binary &&
             !Emit(n.b, ins.x.src == Src::Reg ? reg + 1 : reg, &ins.y)) {
    return false;
  }
  ins.fn = ScalarInsFn(ins);
  code_.ins.push_back(ins);
  *out = {Src::Reg, reg};
  return true;
}
// The form ScalarCode::Whole describes, when one instruction has it.
ScalarCode::Whole CodeGen::WholeForm(const Ins& ins) const {
  ScalarCode::Whole w;
  if (ins.op != Op::Binary || (ins.bin != Tok::Plus && ins.bin != Tok::Minus && ins.bin != Tok::Star)) return w;
  auto literal = [&](const Ref& r, int32_t* out) {
    if (r.src == Src::Long) return *out = r.index, true;
    return r.src == Src::Const && WholeNumber(code_.consts[size_t(r.index)], out);
  };
  if (ins.x.src == Src::Local && literal(ins.y, &w.literal)) {
    w.local = ins.x.index;
  } else if (ins.y.src == Src::Local && literal(ins.x, &w.literal)) {
    w.local = ins.y.index;
    w.literalFirst = true;
  } else {
    return w;
  }
  w.bin = ins.bin;
  return w;
}

int32_t CodeGen::Root(int32_t i) {
  if (!Pure(i)) return i;
  size_t mark = code_.ins.size();
  ScalarCode sc;
  sc.begin = int32_t(mark);
  if (!Emit(i, 0, &sc.result)) {
    code_.ins.resize(mark);
    return i;
  }
  sc.end = int32_t(code_.ins.size());
  if (sc.end - sc.begin == 1) sc.whole = WholeForm(code_.ins.back());
  code_.scalars.push_back(sc);
  code_.nodes[size_t(i)].scalar = int32_t(code_.scalars.size() - 1);
  return i;
}

void CodeGen::Finish(CStmt* s) {
  if (s->kind == StmtKind::Assign) {
    if (const Node& target = node(s->target); target.op != Op::Element && target.op != Op::ParamAt) {
      s->scalarCode = node(s->expr).scalar;
      Emit(s->target, 0, &s->into);  // a whole variable is a leaf: no instruction
    }
  }
  s->exec = StatementFn(*s);
}

void CodeGen::Seal() {
  for (ScalarCode& sc : code_.scalars) {
    sc.first = code_.ins.data() + sc.begin;
    sc.last = code_.ins.data() + sc.end;
  }
  CompileMachine(&code_);
}

void ResolveCalls(Program* program) {
  for (auto& [key, method] : program->methods) {
    for (CallSite& site : method.code->calls) {
      auto it = program->methods.find(Lowercase(site.name));
      site.method = it == program->methods.end() ? nullptr : &it->second;
    }
  }
}

}  // namespace runner
