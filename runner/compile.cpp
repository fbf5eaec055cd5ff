// Syntax trees to the form methods run from (see code.h).
#include <unordered_map>

#include "runner/code.h"
#include "runner/runner.h"

namespace runner {

namespace {

using Slots = std::unordered_map<std::string, int32_t>;

// Slot of `name` in `table`, given the next free one when it has none yet.
int32_t SlotOf(Slots& slots, std::vector<std::string>& names, const std::string& name) {
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

struct Compiler {
  Program& program;
  Code& code;
  Slots& processSlots;
  Slots& interprocessSlots;
  Slots localSlots;

  int32_t Add(Node n) {
    code.nodes.push_back(n);
    return int32_t(code.nodes.size() - 1);
  }
  bool Pure(int32_t i) const { return code.nodes[size_t(i)].pure; }

  // Where an operand of scalar code comes from; a leaf is read where it stands, any
  // other node is computed into register `reg` first. False when it needs more
  // registers than there are, or a node scalar code does not handle.
  bool Emit(int32_t i, int reg, Ref* out) {
    const Node& n = code.nodes[size_t(i)];
    switch (n.op) {
      case Op::Const:
        if (const Value& v = code.consts[size_t(n.a)]; v.type == Type::Long) *out = {Src::Long, v.l};
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
    code.ins.push_back(ins);
    *out = {Src::Reg, reg};
    return true;
  }

  // Compiles an expression that is evaluated on its own (a statement's value, a
  // condition, an argument, an index): when it is pure, with scalar code too.
  int32_t Root(const Expr& e) {
    int32_t i = Compile(e);
    if (!code.nodes[size_t(i)].pure) return i;
    size_t mark = code.ins.size();
    ScalarCode sc;
    sc.begin = int32_t(mark);
    if (!Emit(i, 0, &sc.result)) {
      code.ins.resize(mark);
      return i;
    }
    sc.end = int32_t(code.ins.size());
    code.scalars.push_back(sc);
    code.nodes[size_t(i)].scalar = int32_t(code.scalars.size() - 1);
    return i;
  }

  int32_t Call(Op op, int32_t what, const std::vector<Expr>& args) {
    std::vector<int32_t> ids;
    ids.reserve(args.size());
    for (const Expr& a : args) ids.push_back(Root(a));
    Node n{op, Tok::End, false, int32_t(ids.size()), what, int32_t(code.args.size())};
    code.args.insert(code.args.end(), ids.begin(), ids.end());
    return Add(n);
  }

  int32_t Compile(const Expr& e) {
    switch (e.kind) {
      case ExprKind::Literal:
        code.consts.push_back(e.value);
        return Add({Op::Const, Tok::End, true, 0, int32_t(code.consts.size() - 1), 0});
      case ExprKind::Local: {
        if (int32_t n = ParamNumber(e.name); n >= 0) {
          if (n + 1 > code.params) code.params = n + 1;
          return Add({Op::Param, Tok::End, true, 0, n, 0});
        }
        return Add({Op::Local, Tok::End, true, 0, SlotOf(localSlots, code.locals, e.name), 0});
      }
      case ExprKind::Param: {
        int32_t index = Root(e.args[0]);
        return Add({Op::ParamAt, Tok::End, Pure(index), 0, index, 0});
      }
      case ExprKind::Interprocess:
        return Add({Op::Interprocess, Tok::End, true, 0,
                    SlotOf(interprocessSlots, program.interprocessVars, e.name), 0});
      case ExprKind::ProcessVar:
        return Add({Op::ProcessVar, Tok::End, true, 0,
                    SlotOf(processSlots, program.processVars, e.name), 0});
      case ExprKind::Element: {
        int32_t base = Compile(e.args[0]);
        int32_t index = Root(e.args[1]);
        return Add({Op::Element, Tok::End, Pure(base) && Pure(index), 0, base, index});
      }
      case ExprKind::Negate: {
        int32_t inner = Compile(e.args[0]);
        return Add({Op::Negate, Tok::End, Pure(inner), 0, inner, 0});
      }
      case ExprKind::Binary: {
        int32_t left = Compile(e.args[0]);
        int32_t right = Compile(e.args[1]);
        return Add({Op::Binary, e.op, Pure(left) && Pure(right), 0, left, right});
      }
      case ExprKind::Star:
        return Add({Op::Star, Tok::End, true, 0, 0, 0});
      case ExprKind::Order:
        return Add({Op::Star, Tok::End, true, 0, e.value.l, 0});
      case ExprKind::AddressOf: {
        int32_t target = Compile(e.args[0]);
        return Add({Op::AddressOf, Tok::End, Pure(target), 0, target, 0});
      }
      case ExprKind::Deref: {
        int32_t pointer = Compile(e.args[0]);
        return Add({Op::Deref, Tok::End, Pure(pointer), 0, pointer, 0});
      }
      case ExprKind::CallBuiltin:
        code.builtins.push_back(e.builtin);
        return Call(Op::Builtin, int32_t(code.builtins.size() - 1), e.args);
      case ExprKind::CallCommand:
        code.commands.push_back({e.command, program.commandSites++});
        return Call(Op::Command, int32_t(code.commands.size() - 1), e.args);
      case ExprKind::CallMethod: {
        auto it = program.methods.find(Lowercase(e.name));
        code.calls.push_back({it == program.methods.end() ? nullptr : &it->second, e.name});
        return Call(Op::Method, int32_t(code.calls.size() - 1), e.args);
      }
    }
    return Add({Op::Star, Tok::End, true, 0, 0, 0});
  }

  std::vector<CStmt> Block(const std::vector<Stmt>& body) {
    std::vector<CStmt> out;
    out.reserve(body.size());
    for (const Stmt& s : body) out.push_back(Statement(s));
    return out;
  }

  CStmt Statement(const Stmt& s) {
    CStmt c;
    c.kind = s.kind;
    c.line = s.line;
    switch (s.kind) {
      case StmtKind::Expr:
        c.expr = Root(s.expr);
        break;
      case StmtKind::Assign:
        // The value first: it is evaluated before the target's index.
        c.expr = Root(s.expr);
        c.target = Compile(s.target);
        if (const Node& target = code.nodes[size_t(c.target)];
            target.op != Op::Element && target.op != Op::ParamAt) {
          c.scalarCode = code.nodes[size_t(c.expr)].scalar;
          Emit(c.target, 0, &c.into);  // a whole variable is a leaf: no instruction
        }
        break;
      case StmtKind::If:
      case StmtKind::While:
      case StmtKind::Repeat:
        c.expr = Root(s.expr);
        c.body = Block(s.body);
        c.elseBody = Block(s.elseBody);
        break;
      case StmtKind::Case:
        for (const CaseBranch& b : s.branches) c.branches.push_back({Root(b.cond), Block(b.body)});
        c.elseBody = Block(s.elseBody);
        break;
      case StmtKind::For:
        c.target = Compile(s.target);
        c.expr = Root(s.expr);
        c.to = Root(s.to);
        if (s.hasStep) c.step = Root(s.step);
        c.body = Block(s.body);
        break;
    }
    c.exec = StatementFn(c);
    return c;
  }
};

}  // namespace

void Compile(Program* program) {
  Slots processSlots, interprocessSlots;
  for (auto& [key, method] : program->methods) {
    auto code = std::make_shared<Code>();
    Compiler c{*program, *code, processSlots, interprocessSlots, {}};
    code->body = c.Block(method.body);
    for (ScalarCode& sc : code->scalars) {
      sc.first = code->ins.data() + sc.begin;
      sc.last = code->ins.data() + sc.end;
    }
    method.code = std::move(code);
  }
}

}  // namespace runner
