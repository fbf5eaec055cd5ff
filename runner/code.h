// The form a method runs from, which the parser emits as it reads (through CodeGen):
// variables become slots (locals per call, process variables per process, interprocess
// variables per run), parameters become numbers, calls point at their built-in or
// command, and at their method once every method is read. Expressions are flat arrays
// of small nodes that refer to each other by index, children first; no name is looked
// up while a method runs.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "abi/command_table.h"
#include "runner/machine.h"
#include "runner/syntax.h"
#include "runner/value.h"

namespace runner {

struct Method;
struct Program;

enum class Op : uint8_t {
  Const,         // consts[a]
  Local,         // local variable slot a
  Param,         // parameter $a
  ParamAt,       // ${node a}
  ProcessVar,    // process variable slot a
  Interprocess,  // interprocess variable slot a
  Element,       // node a {node b}; node a is a variable
  Negate,        // -node a
  Binary,        // node a `bin` node b
  Star,          // a lone * argument (a 0), or a lone operator (Parser::LoneOperator)
  Builtin,       // builtins[a] with argc arguments from args[b]
  Command,       // commands[a] with argc arguments from args[b]
  Method,        // calls[a] with argc arguments from args[b]
  AddressOf,     // ->node a; node a is a variable or an element
  Deref,         // node a->: the variable the pointer node a points to
  Member,        // node a.consts[b]: a property (or a collection's length)
  Index,         // node a[node b]: a collection element or an object property
  MemberCall,    // args[b].consts[a](args[b+1]...): argc counts the receiver; a is
                 // kComputedMember for args[b][args[b+1]](args[b+2]...)
  ObjectLit,     // {consts[args[b]]: args[b+1]; ...}: argc counts both
  CollectionLit, // [args[b]; ...]
  Logic,         // node a && node b, node a || node b (`bin`): short-circuit
  Ternary,       // args[b] ? args[b+1] : args[b+2]
};

// MemberCall's `a` when the function's name is computed: $o[$name](...).
constexpr int32_t kComputedMember = -1;

struct Node {
  Op op = Op::Const;
  Tok bin = Tok::End;  // Binary
  bool pure = false;   // no call anywhere below: evaluating it has no side effect
  int32_t argc = 0;
  int32_t a = 0, b = 0;
  int32_t scalar = -1;  // Code::scalars entry evaluating it in place, or -1
};

// Pure expressions also compile to a short list of three-address instructions that
// work on longints, reals and booleans held in registers, without Values. Running
// them never reports an error: on anything else (a text, an undefined variable, a
// division by zero) it gives up, and the tree above evaluates the expression, errors
// included; having no side effect, the expression cannot tell it ran twice.
// Long: a longint literal, held in Ref::index itself.
enum class Src : uint8_t { Reg, Const, Local, Param, ProcessVar, Interprocess, Long };
struct Ref {
  Src src = Src::Reg;
  int32_t index = 0;
};
struct Frame;
struct Ins;
struct Scalar;
// One instruction's work, chosen when it is compiled for the sources of its operands;
// false when it gives up.
using InsFn = bool (*)(Frame& f, const Ins& ins, Scalar* regs);
struct Ins {
  InsFn fn = nullptr;
  Op op = Op::Binary;  // Binary (x bin y), Negate (-x), Element (variable x {y})
  Tok bin = Tok::End;
  uint8_t dst = 0;     // register
  Ref x, y;
};
struct ScalarCode {
  int32_t begin = 0, end = 0;  // Code::ins
  const Ins *first = nullptr, *last = nullptr;  // the same, once the method is compiled
  Ref result;
  // A local variable and a whole literal under + - * ($i*86400, 60*$t), the commonest
  // computed argument of a command: a longint parameter takes it worked out in
  // integers, without running the code, when the variable holds a whole number. bin is
  // Tok::End for any other code.
  struct Whole {
    Tok bin = Tok::End;
    bool literalFirst = false;
    int32_t local = 0;
    int32_t literal = 0;
  } whole;
};
constexpr int kScalarRegs = 16;
InsFn ScalarInsFn(const Ins& ins);  // scalar.cpp

struct CallSite {
  const Method* method = nullptr;  // null: no such method, reported when it runs
  std::string name;                // as written
  int line = 0, col = 0;
};

struct BuiltinSite {
  const BuiltinInfo* info = nullptr;
  int line = 0, col = 0;
};

struct CommandSite {
  const vrx::CommandInfo* command = nullptr;
  int32_t spare = 0;  // the run's cache of host values for this site (Runtime::spares)
};

struct CStmt;
// A statement's work, chosen when it is compiled.
using StmtFn = bool (*)(Frame& f, const CStmt& s);
StmtFn StatementFn(const CStmt& s);  // interp.cpp

struct CBranch {
  int32_t cond = -1;
  std::vector<CStmt> body;
  Machine machine;  // body, compiled
};

struct CStmt {
  StmtFn exec = nullptr;
  StmtKind kind = StmtKind::Expr;
  int line = 0;
  int32_t target = -1;  // Assign, For (the counter)
  int32_t expr = -1;    // Expr, Assign value, If/While/Repeat condition, For start
  int32_t to = -1, step = -1;  // For; step -1: 1. For each: begin and end, -1: none
  // For each: the While or Until (condUntil) condition after the opener, and the one
  // after End for each; -1: none.
  int32_t cond = -1, endCond = -1;
  bool condUntil = false, endUntil = false;
  // Assign to a whole variable: where it is (src Reg otherwise), and the value's scalar
  // code (-1 when it has none).
  int32_t scalarCode = -1;
  Ref into;
  std::vector<CStmt> body, elseBody;
  std::vector<CBranch> branches;
};

struct Code {
  std::vector<Node> nodes;
  std::vector<int32_t> args;  // argument lists of calls, by node index
  std::vector<Value> consts;
  // The property names of Member nodes, interned, by their consts index (empty for other
  // constants): properties are found by the name's address.
  std::vector<Name> names;
  std::vector<Ins> ins;
  std::vector<ScalarCode> scalars;
  std::vector<std::string> locals;  // slot -> name, for messages
  int32_t params = 1;               // parameter slots a call provides: $0 to the highest $n named
  std::vector<CallSite> calls;
  std::vector<CommandSite> commands;
  std::vector<BuiltinSite> builtins;
  std::vector<CStmt> body;
  Machine machine;  // body, compiled
};

// The nodes a node reads: its operands, index or arguments.
template <typename Visit>
void ForEachChild(const Code& code, const Node& n, Visit visit) {
  switch (n.op) {
    case Op::Element: case Op::Binary: visit(n.a); visit(n.b); break;
    case Op::ParamAt: case Op::Negate: case Op::AddressOf: case Op::Deref: visit(n.a); break;
    case Op::Member: visit(n.a); break;
    case Op::Index: case Op::Logic: visit(n.a); visit(n.b); break;
    case Op::Builtin: case Op::Command: case Op::Method: case Op::MemberCall:
    case Op::ObjectLit: case Op::CollectionLit: case Op::Ternary:
      for (int32_t k = 0; k < n.argc; ++k) visit(code.args[size_t(n.b + k)]);
      break;
    default: break;
  }
}

// Appends a method's nodes, scalar code and statements as the parser reads it, as
// Lua's parser emits through its code generator. Every node is added after its
// children; `Root` gives an expression evaluated on its own its scalar code.
class CodeGen {
 public:
  CodeGen(Program& program, Code& code) : program_(program), code_(code) {}

  const Node& node(int32_t i) const { return code_.nodes[size_t(i)]; }
  Program& program() { return program_; }
  Code& code() { return code_; }
  const Code& code() const { return code_; }

  int32_t Const(Value v);
  int32_t Local(const std::string& name);         // $name or $n, lower-cased
  int32_t ProcessVar(const std::string& name);    // lower-cased
  int32_t Interprocess(const std::string& name);  // lower-cased
  int32_t ParamAt(int32_t index);                 // ${index}
  int32_t Element(int32_t var, int32_t index);
  int32_t Unary(Op op, int32_t operand);          // Negate, AddressOf, Deref
  int32_t Binary(Tok bin, int32_t left, int32_t right);
  int32_t Star(int32_t order);                    // 0, or a lone operator's mark
  int32_t Member(int32_t object, const std::string& name);
  int32_t Index(int32_t base, int32_t index);
  int32_t Logic(Tok bin, int32_t left, int32_t right);
  // MemberCall, ObjectLit, CollectionLit, Ternary over `args` (see Op).
  int32_t List(Op op, int32_t a, const std::vector<int32_t>& args);
  // #DECLARE: the local `name` stands for parameter `number` from here on.
  void AliasParam(const std::string& name, int32_t number);
  int32_t Builtin(const BuiltinInfo* b, int line, int col, const std::vector<int32_t>& args);
  int32_t Command(const vrx::CommandInfo* c, const std::vector<int32_t>& args);
  int32_t MethodCall(const std::string& name, int line, int col, const std::vector<int32_t>& args);
  // Turns node i (a process variable standing alone) into a call of method `name`.
  void MakeMethodCall(int32_t i, const std::string& name, int line, int col);
  // Gives an expression evaluated on its own (a statement's value, a condition, an
  // argument, an index) scalar code when it is pure; returns i.
  int32_t Root(int32_t i);
  // Chooses a finished statement's function, and where an assignment stores in place.
  void Finish(CStmt* s);
  // Points the scalar code at its instructions, once the method is read.
  void Seal();

 private:
  int32_t Add(Node n);
  int32_t Call(Op op, int32_t what, const std::vector<int32_t>& args);
  bool Pure(int32_t i) const { return node(i).pure; }
  bool Emit(int32_t i, int reg, Ref* out);
  ScalarCode::Whole WholeForm(const Ins& ins) const;

  Program& program_;
  Code& code_;
  std::unordered_map<std::string, int32_t> localSlots_;
  std::unordered_map<std::string, int32_t> paramAliases_;
};

// Points every method call of `program` at its method, once all are read.
void ResolveCalls(Program* program);

}  // namespace runner
