// The evaluator's state and the functions its parts share. The parts, by file:
//   interp.cpp     evaluation of nodes, typed evaluation, statements, yielding;
//   operators.cpp  4D's value rules: arithmetic, comparison, bits, conversions;
//   scalar.h/.cpp  the scalar instructions (longints, reals, booleans in registers);
//   places.cpp     variables, elements, pointers, targets, assignment;
//   calls.cpp      method calls, errors (ON ERR CALL), processes, the run;
//   *_builtins.cpp, builtins.cpp   the 4D commands the runner provides, by family;
//   plugin_calls.cpp               the bridge to the plug-in's commands;
//   objects.h, objects.cpp, json.cpp, collection_functions.cpp, collection_query.cpp
//                  objects and collections, JSON, the collection member functions
//                  (no Frame: errors as texts, formulas through a hook).
#pragma once
#include <concepts>
#include <cstdio>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "runner/code.h"
#include "runner/runner.h"

namespace runner {

constexpr size_t kMaxBytes = size_t(1) << 28;  // largest text or BLOB a method may build
constexpr size_t kMaxArray = 1000000;
constexpr size_t kConfinedMaxBytes = 65536, kConfinedMaxArray = 1000;

struct Var {
  Value v;         // Undefined until declared or first assigned; then its type stays
  int maxLen = 0;  // C_STRING(n; ...) variables keep at most n bytes; -1: a Variant
};

// Where a value goes: a variable, or one of its elements (any index: a bad one is
// reported when it is used); `label` is the node that names the variable, for messages.
struct Target {
  Var* var = nullptr;
  bool isElement = false;
  int32_t index = 0;
  int32_t label = 0;
  int32_t sub = -1;  // a two-dimensional array's element `sub` of row `index`; -1: none
};

// A VRX_ command site's host values, kept between its calls, and where each keeps its
// number (Slot()) for the kind it had when that was asked.
struct SiteValues {
  std::vector<host::Value> values;
  std::vector<void*> slots;
  std::vector<vrx::Kind> kinds;
  // The outputs that an element, a pointer or ${n} names, worked out before the call:
  // the command may wait, and other processes change indexes and pointers meanwhile.
  std::vector<Target> targets;
  // Two text or BLOB results: the one no other value shares takes the next result in
  // its storage, so a call whose result a variable keeps allocates nothing (the variable
  // gives back the other one when it takes the new one).
  Value kept[2];
  uint8_t keptLast = 0;  // the one the last result went into: the other is free first
  static constexpr uint8_t kNoKept = 2;
  uint8_t into = kNoKept;  // the kept value this call's result goes into, if any
  std::string resultBytes;  // the plug-in's result bytes, before they become a value
  // The bytes of the text result that kept[keptLast] holds converted, as the plug-in
  // wrote them: the same bytes from the next call become that value again, without a
  // conversion (empty: none).
  std::string lastText;
  // A literal text with characters beyond ASCII, kept with its Mac Roman form for each
  // parameter that was given one: a literal never changes, so the next call of the site
  // takes the form as it is (`from` holds the literal's bytes, which keeps them alive).
  struct Converted {
    Value from;
    std::string macRoman;
  };
  std::vector<Converted> converted;  // by parameter; empty until a literal needs it
  // By parameter: the version of the array elements a longint array parameter's host
  // value holds as they are (0: none). An input array left unchanged since is not
  // copied again: a loop that polls the same references passes them once.
  std::vector<uint64_t> synced;
  // By parameter, for an in/out longint array: its elements as longints when they last
  // matched the host's block, with their version then.
  struct Longs {
    uint64_t version = 0;
    std::vector<int32_t> longs;
  };
  std::vector<Longs> longsBack;
  // By parameter: the local variable a longint, integer or time output is written in
  // where it stands (the plug-in gets the address of its number), or null.
  std::vector<Var*> direct;
  // Bit i: output i may be such a variable (worked out when the values are first sized:
  // it names a local or parameter variable of this kind that no earlier output names).
  uint32_t directable = 0;

  // False when the values had this size already: a site's calls have the same number of
  // arguments.
  bool Resize(size_t n) {
    if (values.size() == n) return false;
    values.resize(n);
    longsBack.resize(n);
    direct.resize(n, nullptr);
    slots.resize(n, nullptr);
    kinds.resize(n, vrx::Kind::None);
    targets.resize(n);
    synced.assign(n, 0);
    return true;
  }
  [[gnu::always_inline]] void* Slot(size_t i) {
    if (kinds[i] != values[i].kind()) [[unlikely]] {
      slots[i] = values[i].Slot();
      kinds[i] = values[i].kind();
    }
    return slots[i];
  }
};

struct ClassRuntime;
struct Runtime {
  const Program* program = nullptr;
  host::Host* host = nullptr;
  LineSink out, err;
  std::vector<Var> interprocess;  // by slot
  bool aborting = false;  // a failed ASSERT ends every process
  bool trace = false;     // VRX_ calls on `err`
  std::string databaseFolder;  // absolute, ending in "/"
  double epsilon = 1e-6;  // reals closer than this are equal (SET REAL COMPARISON LEVEL)
  bool confined = false;  // RunOptions::confined
  size_t maxBytes = kMaxBytes, maxArray = kMaxArray;  // largest text or BLOB, and array
  uint32_t slicesLeft = 0;            // of kStatementsPerSlice statements; 0: no limit
  int status = 0;
  uint32_t slice = 0;     // statements since the running process last gave way
  uint64_t frames = 0;    // calls made so far (Frame::serial)
  std::map<int32_t, std::FILE*> documents;  // open documents by reference
  int32_t nextDocument = 1;
  std::map<std::string, int> namedProcesses;  // live processes by lower-cased name
  // Host values kept between calls of each VRX_ command site, so a call refills them
  // instead of building them anew; a site whose values are in use (its command waits
  // and another process calls it) builds its own.
  std::vector<std::unique_ptr<SiteValues>> spares;
  // Class objects, the class stores and compiled formula texts of this run (classes.h).
  std::shared_ptr<ClassRuntime> classes;
  // Processes by number, as Process state and Process number see them (live or ended).
  struct ProcessInfo {
    std::string name;
    int32_t state = 0;  // 4D's Process state: 0 executing, 1 delayed, -100 ended
  };
  std::map<int, ProcessInfo> processes;
  std::map<std::string, int> semaphores;  // set semaphores, by name, and who set them
  std::map<std::string, std::shared_ptr<Method>> executed;  // EXECUTE FORMULA's texts, read once
  // ON ERR CALL(method; ek global): called on errors of any process that has no method of
  // its own; ek errors from components is kept for Method called on error (there are
  // no components here).
  const Method* globalErrorMethod = nullptr;
  const Method* componentErrorMethod = nullptr;
  Value storage;  // Storage: the run's shared object, made when first asked for
};

struct Frame;
struct Process {
  Runtime* rt = nullptr;
  std::vector<Var> vars;  // process variables, by slot
  int depth = 0;
  const char* stackBase = nullptr;  // where this process's stack began (it grows down)
  std::vector<Frame*> frames;       // the running calls, innermost last (for pointers)
  // ON ERR CALL: the method called on an error, and the state of the error being handled.
  const Method* errorMethod = nullptr;
  bool inErrorMethod = false;
  bool errorPending = false;  // an error was met: the statement is being left
  bool resume = false;        // and the error method asks to go on after it
  bool abortRequested = false;  // ABORT in the error method
  // The last error, as Error method, Error line, Error formula, GET LAST ERROR STACK and
  // Last errors give it.
  struct ErrorEntry {
    int32_t code;
    std::string component, message;
  };
  std::vector<ErrorEntry> lastErrors;
  std::string errorMethodName, errorFormula;
  int32_t errorLine = 0;
  std::string formulaRunning;  // the statement EXECUTE FORMULA runs, if any
  // Try(...) and Try blocks running: an error inside them stops what they run and goes to
  // them (and to Last errors), not to the error method outside them nor to the output.
  int tries = 0;
  bool errorsTaken = false;  // a Try took the last errors: the next one starts anew
  // Emptied slot vectors of calls that have ended (their locals and parameters), for the
  // next calls to fill instead of allocating their own.
  std::vector<std::vector<Var>> spareSlots;
};

struct Frame {
  Runtime* rt = nullptr;
  Process* proc = nullptr;
  const Method* method = nullptr;
  const Code* code = nullptr;
  const Node* nodes = nullptr;  // code->nodes
  std::vector<Var> locals;      // by slot
  std::vector<Var> params;      // $0, $1, ...: at least code->params of them
  std::map<int32_t, Var> farParams;  // ${n} past the end of params
  int nparams = 0;
  int line = 0;
  uint64_t serial = 0;  // tells calls apart, for pointers to locals
  // break, continue and return leave statements the way an error does (false), with
  // this saying which; the loop or the call they end clears it.
  enum class Jump : uint8_t { None, Break, Continue, Return };
  Jump jump = Jump::None;
  // This, in a class function or a formula; and the class whose function runs (Super).
  Value self;
  const ClassDef* owner = nullptr;
  // Errors thrown in deferred mode (throw): raised in the caller when this call returns.
  std::vector<Process::ErrorEntry> deferred;

  const Node& node(int32_t i) const { return nodes[i]; }
};

// The arguments of a call, as node indices.
struct Args {
  const int32_t* ids = nullptr;
  size_t n = 0;
  const Node* nodes = nullptr;

  size_t size() const { return n; }
  int32_t operator[](size_t i) const { return ids[i]; }
  const Node& node(size_t i) const { return nodes[ids[i]]; }
  bool star(size_t i) const { return node(i).op == Op::Star && node(i).a == 0; }
  // '>' or '<' for a lone > or < argument, else 0.
  int order(size_t i) const { return node(i).op == Op::Star ? node(i).a : 0; }
};

inline bool IsWholeVar(const Node& n) {
  return n.op == Op::Local || n.op == Op::Param || n.op == Op::ProcessVar ||
         n.op == Op::Interprocess;
}

// The conversion Convert makes, reporting nothing: false, with v as it was, when there is
// none.
[[nodiscard]] bool ConvertValue(Type to, Value& v, Value* out);
// Reports that a value of type `from` cannot go into `what`, which is of type `to`; false.
bool ConversionFails(Frame& f, Type to, Type from, const std::string& what);
// Converts v to the type of a variable that already has one; what() names it, and is
// asked only for a message (most values convert, and naming costs a string).
template <typename What>
  requires std::invocable<What>
[[nodiscard]] bool Convert(Frame& f, Type to, Value v, Value* out, What what) {
  return ConvertValue(to, v, out) || ConversionFails(f, to, v.type, what());
}
std::string Article(Type t);  // "a text", "an array"
std::string VarLabel(const Frame& f, int32_t node);  // "$x", "<>y", "z"

// Reports a run-time error of the current statement; always false. With an error
// method installed (ON ERR CALL) it is called instead, with Error set to `code`.
bool Fail(Frame& f, const std::string& message);
bool FailCode(Frame& f, int32_t code, const std::string& message);
// Reports `errors` together (the last one is the error Error gives), as FailCode does
// one; always false.
bool Raise(Frame& f, std::vector<Process::ErrorEntry> errors);
// When a call returns: the errors it threw in deferred mode, raised in its caller `f`;
// true when there are none.
[[nodiscard]] bool RaiseDeferred(Frame& f, std::vector<Process::ErrorEntry> errors);
// Whether an error here goes to an error method or a Try rather than ending the method.
inline bool ErrorsHandled(const Frame& f) {
  const Process& p = *f.proc;
  return !p.inErrorMethod && (p.errorMethod || p.tries > 0 || f.rt->globalErrorMethod);
}
constexpr int32_t kErrorGeneral = 1;       // no more precise code
constexpr int32_t kErrorBlobRange = -111;  // a BLOB offset out of range
constexpr int32_t kErrorNoFile = -43;      // no such document or folder
constexpr int32_t kErrorIo = -36;          // reading or writing a document failed
constexpr int32_t kErrorDuplicate = -48;   // the document or folder already exists
constexpr int32_t kErrorAssertion = -10518;  // ASSERT failed
// Sets a system variable (OK, Document, Error) of the current process when a method
// names it.
void SetSystemVar(Frame& f, std::string_view name, Value v);
// A hint for a text met where a number is needed: command-line arguments are texts.
std::string NumHint(Type got);
// Helpers the built-in commands share.
[[nodiscard]] bool ValueOf(Frame& f, int32_t arg, Value* copy, const Value** out);
[[nodiscard]] bool NeedBlobVar(Frame& f, int32_t ref, Var** out, const std::string& cmd);
[[nodiscard]] bool StartOffset(Frame& f, int32_t ref);
[[nodiscard]] bool DeclareArray(Frame& f, const Args& a, Type elem, const std::string& cmd);
// Declares the variable (or ${n}: the parameters from n on) that node `ref` names as C_
// commands, var and #DECLARE do; maxLen > 0 keeps at most that many characters.
[[nodiscard]] bool Declare(Frame& f, int32_t ref, Type type, int maxLen);
std::string SystemPath(const std::string& macRoman);  // a path as the system takes it
// The folder of the project being run, ending in "/" (the current folder when none).
std::string DatabaseFolder(Frame& f);
// The folder Get 4D folder(which) and System folder(type) answer, ending in "/" ("" for
// a Windows-only system folder); false when there is no such type.
bool FourDFolder(Frame& f, int32_t which, std::string* out);
bool SystemFolderPath(int32_t type, std::string* out);
// The built-in commands of each family, gathered by Builtins().
// The number Value type gives for v (4D's "Is ..." constants); arrays are Is undefined.
int32_t TypeNumber(const Value& v);
std::span<const BuiltinInfo> LanguageBuiltins();
std::span<const BuiltinInfo> TextBuiltins();
std::span<const BuiltinInfo> DateBuiltins();
std::span<const BuiltinInfo> BlobBuiltins();
std::span<const BuiltinInfo> DocumentBuiltins();
std::span<const BuiltinInfo> ArrayBuiltins();
std::span<const BuiltinInfo> FormatBuiltins();
std::span<const BuiltinInfo> ProcessBuiltins();
std::span<const BuiltinInfo> ObjectBuiltins();
std::span<const BuiltinInfo> EncodingBuiltins();
std::span<const BuiltinInfo> ErrorBuiltins();  // Try, throw, Method called on error
std::span<const BuiltinInfo> JsonSchemaBuiltins();  // JSON Validate
// Whether the regular expression `pattern` (as Match regex reads it) matches somewhere in
// `text`: 1 or 0; -1, with *error set, when it does not compile or runs away.
int RegexFinds(std::string_view pattern, std::string_view text, std::string* error);

[[nodiscard]] bool Eval(Frame& f, int32_t node, Value* out);
// Stores into a variable or element, converting to its type.
[[nodiscard]] bool Assign(Frame& f, int32_t target, Value v);
// Assign into `var`, the variable the node `target` names.
[[nodiscard]] bool AssignToVar(Frame& f, Var* var, Value v, int32_t target);
// Replaces the variable `target` names (not an element) as a whole, arrays included.
[[nodiscard]] bool AssignWhole(Frame& f, int32_t target, Value v);
// What an element, a dereferenced pointer, ${n} or a variable names, worked out once;
// false, with the error reported, when it names nothing.
[[nodiscard]] bool ResolveTarget(Frame& f, int32_t node, Target* out);
// Stores v where t says: converted to an element's or a variable's type, or replacing
// the variable when v is an array.
[[nodiscard]] bool AssignTarget(Frame& f, const Target& t, Value v);
// The value at t: in place for a variable, in *copy for an element; null (and true)
// for a variable that is not defined yet.
[[nodiscard]] bool TargetValue(Frame& f, const Target& t, Value* copy, const Value** out);
// The variable a dereferenced pointer names; null, with the error reported, when it
// names none (or an element: *element then holds its index when element is given).
Var* DerefVar(Frame& f, int32_t node, int32_t* element = nullptr);
// The variable a local, parameter, process or interprocess variable node names (it may
// be undefined); null for any other node.
inline Var* WholeVar(Frame& f, const Node& n) {
  switch (n.op) {
    case Op::Local: return &f.locals[size_t(n.a)];
    case Op::Param: return &f.params[size_t(n.a)];
    case Op::ProcessVar: return &f.proc->vars[size_t(n.a)];
    case Op::Interprocess: return &f.rt->interprocess[size_t(n.a)];
    default: return nullptr;
  }
}
// The variable a whole-variable node names, or a dereferenced pointer (it may be
// undefined); null for other nodes.
inline Var* FindVar(Frame& f, int32_t node) {
  const Node& n = f.node(node);
  return n.op == Op::Deref ? DerefVar(f, node) : WholeVar(f, n);
}
// The variable of a whole-variable node, by its slot.
inline Var& Slot(Frame& f, const Node& n) {
  switch (n.op) {
    case Op::Local: return f.locals[size_t(n.a)];
    case Op::Param: return f.params[size_t(n.a)];
    case Op::ProcessVar: return f.proc->vars[size_t(n.a)];
    default: return f.rt->interprocess[size_t(n.a)];
  }
}
inline Var& SlotOf(Frame& f, Src src, int32_t index) {
  switch (src) {
    case Src::Local: return f.locals[size_t(index)];
    case Src::Param: return f.params[size_t(index)];
    case Src::ProcessVar: return f.proc->vars[size_t(index)];
    default: return f.rt->interprocess[size_t(index)];
  }
}
// The value of a defined variable without copying it; null when the node is not a
// whole variable (a dereferenced pointer is not) or the variable is undefined.
const Value* PeekVar(Frame& f, int32_t node);
// What a dereferenced pointer names: its variable's value in place, or an element's
// value in *copy. The pointer's expression is evaluated once.
[[nodiscard]] bool DerefValue(Frame& f, int32_t node, Value* copy, const Value** out);

[[nodiscard]] bool CallBuiltin(Frame& f, const Node& call, Value* out);
[[nodiscard]] bool CallPluginCommand(Frame& f, const Node& call, Value* out);
// Sets up a frame to run `method` with `params` as $1..$n.
void EnterMethod(Frame& f, Runtime* rt, Process* proc, const Method* method,
                 std::vector<Value> params);
[[nodiscard]] bool CallMethod(Frame& f, const CallSite& site, std::vector<Value> params, Value* out,
                bool wantValue);
// Runs a method as the body of a new or the first process.
void RunProcessMethod(Runtime* rt, const Method* method, std::vector<Value> params);

// Typed reads of an argument, with the run-time error 4D gives for a wrong kind.
[[nodiscard]] bool EvalNumber(Frame& f, int32_t node, double* out, std::string_view what);
[[nodiscard]] bool EvalLong(Frame& f, int32_t node, int32_t* out, std::string_view what);
[[nodiscard]] bool EvalText(Frame& f, int32_t node, std::string* out, std::string_view what);
[[nodiscard]] bool EvalBool(Frame& f, int32_t node, bool* out, std::string_view what);

// ---- operators.cpp: 4D's value rules.
// a op b for any two values, with 4D's error when op does not apply to them.
[[nodiscard]] bool Binary(Frame& f, Tok op, const Value& a, const Value& b, Value* out);
// The words of a text as the keyword operator % and GET TEXT KEYWORDS see them: runs of
// letters, digits and apostrophes (a point or comma between digits stays in a number).
std::vector<std::string_view> TextWords(std::string_view text);
const char* OpName(Tok op);
bool IsBitwise(Tok op);
// A bitwise operator on two longints; ?? answers in *test.
int32_t BitOp(Tok op, int32_t a, int32_t b, bool* test);

// ---- places.cpp, beyond assignment above.
// Parameter n of the frame; null when it is past the frame's and not `create`.
Var* ParamVar(Frame& f, int32_t n, bool create);
// Element `index` of a variable's array or BLOB; `label` names the variable.
[[nodiscard]] bool ElementOf(Frame& f, const Value& base, int32_t index, int32_t label, Value* out);
// Row `index` of the two-dimensional array in var, to read or (change) to write; null,
// with the error reported, when var holds no such row.
Value* RowOf(Frame& f, Var* var, int32_t index, int32_t label, bool change);
[[nodiscard]] bool EvalAddressOf(Frame& f, const Node& n, Value* out);  // ->variable or ->variable{i}
[[nodiscard]] bool EvalDeref(Frame& f, int32_t node, Value* out);       // pointer->

// ---- members.cpp: objects and collections in expressions, the modern statements.
[[nodiscard]] bool MemberOf(Frame& f, const Value& base, const std::string& name, Value* out);
[[nodiscard]] bool EvalMember(Frame& f, const Node& n, Value* out);
[[nodiscard]] bool EvalIndex(Frame& f, const Node& n, Value* out);
[[nodiscard]] bool EvalMemberCall(Frame& f, const Node& n, Value* out);
[[nodiscard]] bool EvalObjectLit(Frame& f, const Node& n, Value* out);
[[nodiscard]] bool EvalCollectionLit(Frame& f, const Node& n, Value* out);
[[nodiscard]] bool EvalLogic(Frame& f, const Node& n, Value* out);
[[nodiscard]] bool EvalTernary(Frame& f, const Node& n, Value* out);
// = and # where an operand is Null, undefined, an object or a collection.
[[nodiscard]] bool CompareReferences(Frame& f, Tok op, const Value& a, const Value& b, Value* out);
// Stores v at a property or element path (Op::Member, Op::Index).
[[nodiscard]] bool AssignPath(Frame& f, int32_t target, Value v);
// Runs a loop's body once: false on an error or a return; *stop on break.
[[nodiscard]] bool LoopBody(Frame& f, const std::vector<CStmt>& body, bool* stop);
bool ExecForEach(Frame& f, const CStmt& s);
// For each: what it goes through, evaluated before the first turn: the collection, or a
// new collection of the object's property names; Undefined when there is nothing to go
// through. begin and end are the positions the loop covers.
[[nodiscard]] bool StartForEach(Frame& f, const CStmt& s, Value* items, size_t* begin, size_t* end);
bool ExecUse(Frame& f, const CStmt& s);
bool ExecJump(Frame& f, const CStmt& s);  // break, continue, return
bool ExecTry(Frame& f, const CStmt& s);   // Try ... Catch ... End try (error_builtins.cpp)

// ---- encoding_builtins.cpp: character sets by 4D's names and numbers, through iconv.
std::string IconvName(const Value& charset);  // "" when unknown
// `in` from one set to another; what will not convert becomes `replacement`. False when
// iconv knows either set by no such name.
bool Recode(std::string_view in, const std::string& from, const std::string& to,
            std::string_view replacement, size_t unit, std::string* out);
size_t UnitOf(const std::string& name);  // bytes per unit: 1, 2 (UTF-16) or 4 (UTF-32)
// A byte order mark at the start of a Unicode text decides its form (*name) and is dropped.
std::string_view TakeByteOrderMark(std::string_view bytes, std::string* name);

// ---- interp.cpp and calls.cpp.
[[nodiscard]] bool ExecBlock(Frame& f, const std::vector<CStmt>& body);
// Runs the method of frame f on the register machine (machine.cpp).
[[nodiscard]] bool RunMachine(Frame& f);
// Gives the other processes their turn; false when the run is ending.
bool Yield(Runtime& rt);
// After an error: true when the error method lets the method go on after the statement.
bool Resume(Frame& f);
// A real that is whole and inside the longint range, as *out.
inline bool WholeReal(double r, int32_t* out) {
#if defined(__SSE2__)
  // The processor's truncation answers the smallest longint for anything it cannot
  // hold, NaN included, which then differs from the real unless the real is that longint.
  *out = _mm_cvttsd_si32(_mm_set_sd(r));
#else
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return false;
  *out = int32_t(r);
#endif
  return double(*out) == r;
}
// A number that is whole and inside the longint range, as *out.
inline bool WholeNumber(const Value& v, int32_t* out) {
  if (v.type == Type::Long) {
    *out = v.l;
    return true;
  }
  return v.type == Type::Real && WholeReal(v.r, out);
}
// The position a counted For's counter holds: false when it no longer holds a whole
// number the loop can count from (the body gave it another value or type).
inline bool CounterAt(const Var& counter, int32_t* at) { return WholeNumber(counter.v, at); }
// Puts position i into a longint or real counter; false when it cannot hold it exactly.
inline bool SetCounter(Var* counter, int64_t i) {
  if (int64_t(int32_t(i)) != i) return false;
  if (counter->v.type == Type::Long) counter->v.l = int32_t(i);
  else if (counter->v.type == Type::Real) counter->v.r = double(i);
  else return false;
  return true;
}
// For: the bounds evaluated before the first turn. A loop that counts in whole numbers
// (a whole start and step, a variable as the counter) has its first position, last
// position and step in *out, the counter ready; any other is run whole, counting in
// reals, and *out says it was not counted.
struct ForCount {
  int64_t i = 0, last = 0, step = 0;
  bool counted = false;
  double end = 0;  // as evaluated
};
[[nodiscard]] bool StartFor(Frame& f, const CStmt& s, Var* counter, ForCount* out);
// Runs For from position i on, counting in reals (any counter, any bounds).
[[nodiscard]] bool ForFrom(Frame& f, const CStmt& s, Var* counter, double i, double last, double st);
// Where For goes on after its body: the counter's value (the body may have moved it)
// plus the step.
[[nodiscard]] bool NextPosition(Frame& f, const CStmt& s, Var* counter, double st, double* i);
// The counter's value at position i.
Value CounterValue(double i);
// The one guard against running out of stack: true when this process has too many
// nested calls or has nearly used up its stack; StackOverflow reports it (always false).
bool StackExhausted(Frame& f);
bool StackOverflow(Frame& f);
// Interpreted code gives the other processes their turn now and then, as 4D's
// scheduler does, so that a polling loop without DELAY PROCESS cannot starve them.
constexpr uint32_t kStatementsPerSlice = 512;

constexpr int kMaxCallDepth = 200;
// Stack a process may use for nested calls and expressions; the host gives each
// process 4 MB.
constexpr size_t kStackBudget = size_t(2) << 20;

}  // namespace runner
