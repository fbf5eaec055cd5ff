// The register machine a method runs on. Its statements are compiled, once the method
// is read, into one flat array of instructions that read and write the frame's
// variables in place: locals and temporaries are slots of one array (Frame::locals),
// whole-number literals sit in the instruction itself, and conditions are compare-and-branch
// instructions, so a loop runs top to bottom without a call per statement.
//
// An instruction works on longints, reals and booleans. Whenever it meets anything
// else (a text, an undefined variable, a division by zero, a conversion only Assign
// decides), it gives up, and its fallback (Fallback) runs the statement or evaluates
// the condition the general way, errors included. The expressions compiled here are
// pure, so running one again from the start cannot be told from running it once.
// Properties and elements of objects and collections held by locals are read and
// written in place when they hold longints, reals or booleans and no rule of theirs is
// at stake (a class's computed property, a shared object outside Use, a missing
// element); For each goes through a collection with its own instructions. Statements
// with no instructions of their own (calls, Use...) are run the general way by an Exec
// instruction.
#pragma once
#include <cstdint>
#include <vector>

#include "runner/syntax.h"
#include "runner/value.h"

namespace runner {

struct CStmt;

// The binary operators with an instruction of their own, by name and token; Bin is any
// other operator between scalars (its token in MIns::bin).
#define VRX_MACHINE_BINARY(X)                                                              \
  X(Add, Plus) X(Sub, Minus) X(Mul, Star) X(Mod, Percent) X(Quo, Backslash) X(Eq, Eq)      \
  X(Ne, Hash) X(Lt, Lt) X(Gt, Gt) X(Le, Le) X(Ge, Ge) X(Bin, End)
// The comparisons with a compare-and-branch instruction.
#define VRX_MACHINE_COMPARE(X) X(Eq, Eq) X(Ne, Hash) X(Lt, Lt) X(Gt, Gt) X(Le, Le) X(Ge, Ge)

// Operand forms: R a slot (MIns a, b, c index Frame::locals), K a literal (a real with a
// whole value in the longint range) held in the field itself.
enum class MOp : uint8_t {
#define VRX_ENTRY(name, tok) name##RR, name##RK, name##KR,
  VRX_MACHINE_BINARY(VRX_ENTRY)       // R[a] := b op c
#undef VRX_ENTRY
#define VRX_ENTRY(name, tok) If##name##RR, If##name##RK, If##name##KR,
  VRX_MACHINE_COMPARE(VRX_ENTRY)      // jump to c when (a op b) is kWhen
#undef VRX_ENTRY
  Neg,      // R[a] := -R[b]
  SetK,     // R[a] := the literal c
  LoadK,    // R[a] := Code::consts[c] (a number or a boolean)
  Copy,     // R[a] := R[b]
  Move,     // R[a] := the variable of kind b (a Src), slot c
  Store,    // the variable of kind b, slot c := R[a]
  Elem,     // R[a] := element R[c] of the array R[b]
  ElemK,    // R[a] := element c of the array R[b]
  ModRD,    // R[a] := R[b] % Machine::divisors[c]
  QuoRD,    // R[a] := R[b] \ Machine::divisors[c]
  IfBool,   // jump to c when the boolean R[a] is kWhen
  Test,     // jump to c when the condition (the fallback's) is kWhen: always the general way
  Jump,     // to c
  Exec,     // the fallback's statement, the general way
  ForPrep,  // For: counter R[a], state R[b] and the slot after it; c: after the loop
  ForLoop,  // next turn of For: counter R[a], state R[b]; c: the body
  Prop,     // R[a] := the property Machine::names[c] of the object R[b]
  SetProp,  // the property Machine::names[c] of the object R[a] := R[b]
  Item,     // R[a] := element R[c] of the collection R[b]
  SetItem,  // element R[c] of the collection R[a] := R[b]
  EachPrep, // For each: item R[a], state R[b] and the slot after it; c: EachEnd
  EachNext, // next turn of For each: item R[a], state R[b]; c: the body
  EachEnd,  // For each is over: state R[b] lets its collection go
  End,
};

struct MIns {
  MOp op = MOp::End;
  uint8_t flags = 0;
  Tok bin = Tok::End;  // Bin
  // Statements counted towards giving way when this runs: 1 for a statement run the
  // general way, and for a loop's way back those of a turn (every one in the body).
  uint8_t ticks = 0;
  int32_t a = 0, b = 0, c = 0;
  int32_t fallback = -1;  // Machine::fallbacks
};
// MIns::flags
constexpr uint8_t kWhen = 1;    // branches: jump when the test is true
constexpr uint8_t kBack = 2;    // branches: a loop's way back (the process may give way)
constexpr uint8_t kToTemp = 4;  // the destination is a temporary, not a variable

// What an instruction that gives up does instead: the statement `stmt`, run the general
// way; or, for a condition, its node evaluated the general way and the branch `branch`
// taken by it. An error the error method lets pass goes on at `next` (after the
// statement); break and continue that come out of the general way go to the innermost
// compiled loop's `loop`.
struct Fallback {
  const CStmt* stmt = nullptr;
  int32_t cond = -1, branch = -1;
  int32_t next = -1;
  int32_t loop = -1;  // Machine::loops, -1: none
};
struct LoopExits {
  int32_t exit = -1, next = -1;  // where break and continue go
};

// A longint literal divisor (not -1, 0 or 1) with its reciprocal, so that % and \ by
// it multiply instead of dividing (Lemire, Kaser and Kurz, "Faster remainder by direct
// computation", 2019): with m = ceil(2^64 / |d|), the quotient of any 32-bit magnitude
// is the high half of m times it, and the remainder the high half of the low half
// times |d|. Signs follow C's (and 4D's) truncating division.
struct Divisor {
  int32_t d = 2;
  bool negative = false;
  uint64_t magnitude = 2;  // |d|, held wide so that the products below are plain multiplies
  uint64_t m = 0;

  explicit Divisor(int32_t v)
      : d(v), negative(v < 0), magnitude(Magnitude(v)), m(~uint64_t(0) / magnitude + 1) {}
  static uint32_t Magnitude(int32_t x) { return x < 0 ? 0u - uint32_t(x) : uint32_t(x); }
  int32_t Quo(int32_t x) const {
    auto q = int32_t(uint32_t((unsigned __int128)m * Magnitude(x) >> 64));  // at most 2^30
    return (x < 0) != negative ? -q : q;
  }
  int32_t Mod(int32_t x) const {
    uint64_t low = m * Magnitude(x);
    auto r = int32_t(uint32_t((unsigned __int128)low * magnitude >> 64));  // below |d|
    return x < 0 ? -r : r;
  }
};

struct Machine {
  std::vector<MIns> code;
  std::vector<Fallback> fallbacks;
  std::vector<LoopExits> loops;
  std::vector<Divisor> divisors;
  std::vector<Name> names;  // of properties
  int32_t firstTemp = 0, temps = 0;  // temporaries: slots after the locals
};

struct Code;
// Compiles code.body into code.machine, once the method is read.
void CompileMachine(Code* code);

}  // namespace runner
