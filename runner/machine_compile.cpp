// Compiling a method's statements for the register machine (machine.h).
#include <algorithm>
#include <cmath>
#include <utility>

#include "runner/interp.h"

namespace runner {

namespace {

// An operand of an instruction: a slot, or a literal with a whole value in the longint
// range.
struct Operand {
  bool literal = false;
  int32_t v = 0;
};

// Where jumps to a place not reached yet wait for it.
struct Label {
  int32_t at = -1;
  std::vector<int32_t> from;  // branch instructions
};

class Compiler {
 public:
  explicit Compiler(Code& code) : code_(code), m_(code.machine) {
    m_.firstTemp = int32_t(code.locals.size());
  }

  void Run() {
    Block(code_.body, -1);
    Emit({MOp::End});
    for (MIns& ins : m_.code) {
      unsigned fields = SlotFields(ins.op);
      for (auto [bit, field] : {std::pair{1u, &ins.a}, std::pair{2u, &ins.b}, std::pair{4u, &ins.c}})
        if (fields & bit) *field *= int32_t(sizeof(Var));
    }
  }

 private:
  int32_t Here() const { return int32_t(m_.code.size()); }

  int32_t Emit(MIns ins) {
    m_.code.push_back(ins);
    return Here() - 1;
  }

  void JumpTo(Label& l, int32_t ins) {
    if (l.at >= 0) m_.code[size_t(ins)].c = l.at;
    else l.from.push_back(ins);
  }
  void Bind(Label& l) {
    l.at = Here();
    for (int32_t i : l.from) m_.code[size_t(i)].c = l.at;
    l.from.clear();
  }

  static uint8_t Ticks(int statements) { return uint8_t(std::min(statements, 255)); }

  int32_t Temp(int32_t depth) {
    m_.temps = std::max(m_.temps, depth + 1);
    return m_.firstTemp + depth;
  }

  int32_t NewFallback(const CStmt& s, int32_t loop, std::vector<int32_t>* mine) {
    m_.fallbacks.push_back({&s, -1, -1, -1, loop});
    mine->push_back(int32_t(m_.fallbacks.size() - 1));
    return int32_t(m_.fallbacks.size() - 1);
  }

  const Node& node(int32_t i) const { return code_.nodes[size_t(i)]; }

  // Numbers written in the method are reals; the whole ones ride in the instruction.
  // (Longint constants, such as Is longint, are not literals of the machine.)
  static bool WholeLiteral(const Value& v, int32_t* out) {
    return v.type == Type::Real && !(v.r == 0 && std::signbit(v.r)) && WholeNumber(v, out);
  }

  // ---- expressions: false (with nothing emitted that matters) when one has no
  // instructions; the statement then runs the general way.

  // Operand for node i; anything but a local or a longint literal is computed into the
  // temporary of `depth` first.
  bool OperandOf(int32_t i, int32_t depth, int32_t fb, Operand* out) {
    const Node& n = node(i);
    if (n.op == Op::Local) {
      *out = {false, n.a};
      return true;
    }
    if (int32_t whole; n.op == Op::Const && WholeLiteral(code_.consts[size_t(n.a)], &whole)) {
      *out = {true, whole};
      return true;
    }
    int32_t t = Temp(depth);
    if (!Into(i, t, true, depth, fb)) return false;
    *out = {false, t};
    return true;
  }

  // Emits node i's value into slot `dst`, a temporary or the assigned local.
  bool Into(int32_t i, int32_t dst, bool temp, int32_t depth, int32_t fb) {
    const Node& n = node(i);
    uint8_t flags = temp ? kToTemp : 0;
    switch (n.op) {
      case Op::Const: {
        const Value& v = code_.consts[size_t(n.a)];
        if (int32_t whole; WholeLiteral(v, &whole)) Emit({MOp::SetK, flags, Tok::End, 0, dst, 0, whole, fb});
        else if (v.type == Type::Real || v.type == Type::Long || v.type == Type::Boolean)
          Emit({MOp::LoadK, flags, Tok::End, 0, dst, 0, n.a, fb});
        else return false;
        return true;
      }
      case Op::Local:
        Emit({MOp::Copy, flags, Tok::End, 0, dst, n.a, 0, fb});
        return true;
      case Op::Param: case Op::ProcessVar: case Op::Interprocess: {
        Src src = n.op == Op::Param ? Src::Param : n.op == Op::ProcessVar ? Src::ProcessVar
                                                                          : Src::Interprocess;
        int32_t t = temp ? dst : Temp(depth);
        Emit({MOp::Move, kToTemp, Tok::End, 0, t, int32_t(src), n.a, fb});
        if (!temp) Emit({MOp::Copy, flags, Tok::End, 0, dst, t, 0, fb});
        return true;
      }
      case Op::Negate: {
        Operand x;
        if (!OperandOf(n.a, depth, fb, &x)) return false;
        if (x.literal) {
          int32_t t = Temp(depth);
          Emit({MOp::SetK, kToTemp, Tok::End, 0, t, 0, x.v, fb});
          x = {false, t};
        }
        Emit({MOp::Neg, flags, Tok::End, 0, dst, x.v, 0, fb});
        return true;
      }
      case Op::Binary: {
        Operand x, y;
        if (!OperandOf(n.a, depth, fb, &x)) return false;
        if (!OperandOf(n.b, x.literal || x.v < m_.firstTemp ? depth : depth + 1, fb, &y))
          return false;
        if (x.literal && y.literal) {  // two literals: the left one into a temporary
          int32_t t = Temp(depth);
          Emit({MOp::SetK, kToTemp, Tok::End, 0, t, 0, x.v, fb});
          x = {false, t};
        }
        if ((n.bin == Tok::Percent || n.bin == Tok::Backslash) && !x.literal && y.literal &&
            (y.v > 1 || y.v < -1)) {
          m_.divisors.emplace_back(y.v);
          Emit({n.bin == Tok::Percent ? MOp::ModRD : MOp::QuoRD, flags, n.bin, 0, dst, x.v,
                int32_t(m_.divisors.size() - 1), fb});
          return true;
        }
        Emit({BinaryOp(n.bin, x, y), flags, n.bin, 0, dst, x.v, y.v, fb});
        return true;
      }
      case Op::Element: {
        Operand at;
        if (node(n.a).op != Op::Local || !OperandOf(n.b, depth, fb, &at)) return false;
        Emit({at.literal ? MOp::ElemK : MOp::Elem, flags, Tok::End, 0, dst, node(n.a).a, at.v, fb});
        return true;
      }
      case Op::Member:  // $o.name: the instruction gives up before any code could run
        if (node(n.a).op != Op::Local) return false;
        Emit({MOp::Prop, flags, Tok::End, 0, dst, node(n.a).a, NameOf(n.b), fb});
        return true;
      case Op::Index: {  // $c[i]
        int32_t at;
        if (node(n.a).op != Op::Local || !SlotOf(n.b, depth, fb, &at)) return false;
        Emit({MOp::Item, flags, Tok::End, 0, dst, node(n.a).a, at, fb});
        return true;
      }
      default:
        return false;
    }
  }

  // Node i's value in a slot: a local's own, or a temporary of `depth`.
  bool SlotOf(int32_t i, int32_t depth, int32_t fb, int32_t* out) {
    Operand v;
    if (!OperandOf(i, depth, fb, &v)) return false;
    if (v.literal) {
      int32_t t = Temp(depth);
      Emit({MOp::SetK, kToTemp, Tok::End, 0, t, 0, v.v, fb});
      v = {false, t};
    }
    *out = v.v;
    return true;
  }

  // The index in Machine::names of the property named by Code::consts[c].
  int32_t NameOf(int32_t c) {
    Name name(code_.consts[size_t(c)].str());
    for (size_t k = 0; k < m_.names.size(); ++k)
      if (m_.names[k] == name) return int32_t(k);
    m_.names.push_back(std::move(name));
    return int32_t(m_.names.size() - 1);
  }

  // The fields of an instruction that name slots (1: a, 2: b, 4: c): they end up as byte
  // offsets into the frame's slots.
  static unsigned SlotFields(MOp op) {
    constexpr unsigned kForms[] = {7, 3, 5};      // x op y into a: RR, RK, KR
    constexpr unsigned kTests[] = {3, 1, 2};      // x op y, no destination
    if (op < MOp::IfEqRR) return kForms[int(op) % 3];
    if (op < MOp::Neg) return kTests[(int(op) - int(MOp::IfEqRR)) % 3];
    switch (op) {
      case MOp::Neg: case MOp::Copy: case MOp::ElemK: case MOp::ModRD: case MOp::QuoRD:
      case MOp::ForPrep: case MOp::ForLoop: case MOp::Prop: case MOp::SetProp:
      case MOp::EachPrep: case MOp::EachNext:
        return 3;
      case MOp::Elem: case MOp::Item: case MOp::SetItem: return 7;
      case MOp::EachEnd: return 2;
      case MOp::SetK: case MOp::LoadK: case MOp::Move: case MOp::Store: case MOp::IfBool: return 1;
      default: return 0;
    }
  }

  static MOp BinaryOp(Tok bin, Operand x, Operand y) {
    MOp base;
    switch (bin) {
#define VRX_ENTRY(name, tok) case Tok::tok: base = MOp::name##RR; break;
      VRX_MACHINE_BINARY(VRX_ENTRY)
#undef VRX_ENTRY
      default: base = MOp::BinRR; break;
    }
    return MOp(int(base) + (y.literal ? 1 : x.literal ? 2 : 0));
  }

  static bool CompareBranch(Tok bin, MOp* base) {
    switch (bin) {
#define VRX_ENTRY(name, tok) case Tok::tok: *base = MOp::If##name##RR; return true;
      VRX_MACHINE_COMPARE(VRX_ENTRY)
#undef VRX_ENTRY
      default: return false;
    }
  }

  // Jumps to `target` when condition `cond` is `when`; the fallback evaluates it the
  // general way and takes the same branch.
  // A loop's way back (`turn` > 0) counts the statements of a turn towards giving way.
  void Branch(const CStmt& s, int32_t cond, bool when, Label& target, int32_t loop, int turn,
              std::vector<int32_t>* mine) {
    int32_t fb = NewFallback(s, loop, mine);
    m_.fallbacks[size_t(fb)].cond = cond;
    uint8_t flags = uint8_t((when ? kWhen : 0) | (turn > 0 ? kBack : 0));
    size_t mark = m_.code.size();
    int32_t at = -1;
    const Node& n = node(cond);
    MOp base;
    Operand x, y;
    if (n.op == Op::Binary && CompareBranch(n.bin, &base) && OperandOf(n.a, depth_, fb, &x) &&
        OperandOf(n.b, x.literal || x.v < m_.firstTemp ? depth_ : depth_ + 1, fb, &y)) {
      if (x.literal && y.literal) {
        int32_t t = Temp(depth_);
        Emit({MOp::SetK, kToTemp, Tok::End, 0, t, 0, x.v, fb});
        x = {false, t};
      }
      at = Emit({MOp(int(base) + (y.literal ? 1 : x.literal ? 2 : 0)), flags, n.bin, 0, x.v, y.v, 0, fb});
    } else {
      m_.code.resize(mark);
      Operand v;
      if (n.op != Op::Binary && n.op != Op::Negate && n.op != Op::Local && n.op != Op::Element) {
        at = Emit({MOp::Test, flags, Tok::End, 0, 0, 0, 0, fb});
      } else if (OperandOf(cond, depth_, fb, &v) && !v.literal) {
        at = Emit({MOp::IfBool, flags, Tok::End, 0, v.v, 0, 0, fb});
      } else {
        m_.code.resize(mark);
        at = Emit({MOp::Test, flags, Tok::End, 0, 0, 0, 0, fb});
      }
    }
    m_.fallbacks[size_t(fb)].branch = at;
    m_.code[size_t(at)].ticks = Ticks(turn);
    JumpTo(target, at);
  }

  // ---- statements

  struct LoopLabels {
    Label exit, next;
    int32_t index;  // Machine::loops
  };

  void Block(const std::vector<CStmt>& body, int32_t loop) {
    for (const CStmt& s : body) Statement(s, loop);
  }

  // `loop`: the innermost compiled loop around s (Machine::loops), -1 when none.
  void Statement(const CStmt& s, int32_t loop) {
    ++statements_;
    std::vector<int32_t> mine;  // the fallbacks of s itself
    switch (s.kind) {
      case StmtKind::Assign: Assign(s, loop, &mine); break;
      case StmtKind::If: {
        Label other, end;
        Branch(s, s.expr, false, other, loop, 0, &mine);
        Block(s.body, loop);
        if (!s.elseBody.empty()) JumpTo(end, Emit({MOp::Jump}));
        Bind(other);
        Block(s.elseBody, loop);
        Bind(end);
        break;
      }
      case StmtKind::Case: {
        Label end;
        for (const CBranch& b : s.branches) {
          Label other;
          Branch(s, b.cond, false, other, loop, 0, &mine);
          Block(b.body, loop);
          JumpTo(end, Emit({MOp::Jump}));
          Bind(other);
        }
        Block(s.elseBody, loop);
        Bind(end);
        break;
      }
      case StmtKind::While: {
        // The condition is tested before the first turn and after each, where the
        // branch back to the body is: one branch per turn.
        LoopLabels l;
        NewLoop(&l);
        Label body;
        Branch(s, s.expr, false, l.exit, loop, 0, &mine);
        Bind(body);
        int first = statements_;
        Block(s.body, l.index);
        Bind(l.next);
        Branch(s, s.expr, true, body, loop, statements_ - first + 1, &mine);
        EndLoop(l);
        break;
      }
      case StmtKind::Repeat: {
        LoopLabels l;
        NewLoop(&l);
        Label body;
        Bind(body);
        int first = statements_;
        Block(s.body, l.index);
        Bind(l.next);
        Branch(s, s.expr, false, body, loop, statements_ - first + 1, &mine);
        EndLoop(l);
        break;
      }
      case StmtKind::For:
        if (node(s.target).op == Op::Local) {
          LoopLabels l;
          NewLoop(&l);
          int32_t fb = NewFallback(s, loop, &mine);
          int32_t counter = node(s.target).a, state = Temp(depth_);
          Temp(depth_ + 1);  // the state takes two
          depth_ += 2;
          int32_t prep = Emit({MOp::ForPrep, 0, Tok::End, 1, counter, state, 0, fb});
          int first = statements_;
          Block(s.body, l.index);
          Bind(l.next);
          Emit({MOp::ForLoop, kBack, Tok::End, Ticks(statements_ - first + 1), counter, state,
                prep + 1, fb});
          depth_ -= 2;
          m_.code[size_t(prep)].c = Here();
          EndLoop(l);
          break;
        }
        Exec(s, loop, &mine);
        break;
      case StmtKind::ForEach:
        // Through a collection or an object's names into a local; with a While or an
        // Until clause, the general way.
        if (node(s.target).op == Op::Local && s.cond < 0 && s.endCond < 0) {
          LoopLabels l;
          NewLoop(&l);
          int32_t fb = NewFallback(s, loop, &mine);
          int32_t item = node(s.target).a, state = Temp(depth_);
          Temp(depth_ + 1);
          depth_ += 2;
          int32_t prep = Emit({MOp::EachPrep, 0, Tok::End, 1, item, state, 0, fb});
          int first = statements_;
          Block(s.body, l.index);
          Bind(l.next);
          Emit({MOp::EachNext, kBack, Tok::End, Ticks(statements_ - first + 1), item, state,
                prep + 1, fb});
          EndLoop(l);  // break comes to EachEnd
          m_.code[size_t(prep)].c = Emit({MOp::EachEnd, 0, Tok::End, 0, 0, state, 0, fb});
          depth_ -= 2;
          break;
        }
        Exec(s, loop, &mine);
        break;
      case StmtKind::Break: case StmtKind::Continue:
        if (loop >= 0) {
          LoopLabels& l = *open_.back();
          JumpTo(s.kind == StmtKind::Break ? l.exit : l.next, Emit({MOp::Jump}));
          break;
        }
        Exec(s, loop, &mine);
        break;
      default:
        Exec(s, loop, &mine);
        break;
    }
    for (int32_t fb : mine) m_.fallbacks[size_t(fb)].next = Here();
  }

  void Exec(const CStmt& s, int32_t loop, std::vector<int32_t>* mine) {
    Emit({MOp::Exec, 0, Tok::End, 1, 0, 0, 0, NewFallback(s, loop, mine)});
  }

  // target := value, into a whole variable, or a property or element of a local, with
  // instructions when the value has them. Into emits only instructions that run no code
  // (it refuses calls), so the statement may always start again the general way.
  void Assign(const CStmt& s, int32_t loop, std::vector<int32_t>* mine) {
    int32_t fb = NewFallback(s, loop, mine);
    size_t mark = m_.code.size();
    bool done = false;
    const Node& target = node(s.target);
    if (s.into.src == Src::Local) {
      done = Into(s.expr, s.into.index, false, depth_, fb);
    } else if (s.into.src != Src::Reg) {
      int32_t t = Temp(depth_);
      if (Into(s.expr, t, true, depth_ + 1, fb)) {
        Emit({MOp::Store, 0, Tok::End, 0, t, int32_t(s.into.src), s.into.index, fb});
        done = true;
      }
    } else if ((target.op == Op::Member || target.op == Op::Index) && node(target.a).op == Op::Local) {
      int32_t t = Temp(depth_), at = 0;
      if (Into(s.expr, t, true, depth_ + 1, fb) &&
          (target.op == Op::Member || SlotOf(target.b, depth_ + 1, fb, &at))) {
        if (target.op == Op::Member)
          Emit({MOp::SetProp, 0, Tok::End, 0, node(target.a).a, t, NameOf(target.b), fb});
        else
          Emit({MOp::SetItem, 0, Tok::End, 0, node(target.a).a, t, at, fb});
        done = true;
      }
    }
    if (!done) {
      m_.code.resize(mark);
      Emit({MOp::Exec, 0, Tok::End, 1, 0, 0, 0, fb});
    }
  }

  void NewLoop(LoopLabels* l) {
    m_.loops.push_back({});
    l->index = int32_t(m_.loops.size() - 1);
    open_.push_back(l);
  }
  void EndLoop(LoopLabels& l) {
    Bind(l.exit);
    m_.loops[size_t(l.index)] = {l.exit.at, l.next.at};
    open_.pop_back();
  }

  Code& code_;
  Machine& m_;
  int statements_ = 0;  // compiled so far
  int32_t depth_ = 0;  // temporaries held by the loops around (For keeps its state in one)
  std::vector<LoopLabels*> open_;
};

}  // namespace

void CompileMachine(Code* code) {
  code->machine = {};
  Compiler(*code).Run();
}

}  // namespace runner
