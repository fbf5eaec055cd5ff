// The evaluator's state, shared by the language core (interp.cpp), the built-in
// commands (builtins.cpp) and the bridge to the plug-in (plugin_calls.cpp).
#pragma once
#include <map>
#include <unordered_map>
#include <string>
#include <vector>

#include "runner/runner.h"

namespace runner {

struct Var {
  Value v;         // Undefined until declared or first assigned; then its type stays
  int maxLen = 0;  // C_STRING(n; ...) variables keep at most n bytes
};
using VarMap = std::unordered_map<std::string, Var>;  // elements stay put on insertion

struct Runtime {
  const Program* program = nullptr;
  host::Host* host = nullptr;
  LineSink out, err;
  VarMap interprocess;
  bool aborting = false;  // a failed ASSERT ends every process
  int status = 0;
  uint32_t slice = 0;     // statements since the running process last gave way
  std::map<std::string, int> namedProcesses;  // live processes by lower-cased name
};

struct Process {
  Runtime* rt = nullptr;
  VarMap vars;  // process variables
  int depth = 0;
  const char* stackBase = nullptr;  // where this process's stack began (it grows down)
};

struct Frame {
  Runtime* rt = nullptr;
  Process* proc = nullptr;
  const Method* method = nullptr;
  VarMap locals;  // $name; parameters as "0", "1", ...
  int nparams = 0;
  int line = 0;
};

// Converts v to the type of a variable that already has one (`what` names it).
bool Convert(Frame& f, Type to, Value v, Value* out, const std::string& what);
std::string Article(Type t);  // "a text", "an array"
std::string VarLabel(const Expr& e);  // "$x", "<>y", "z"

// Reports a run-time error of the current statement; always false.
bool Fail(Frame& f, const std::string& message);

bool Eval(Frame& f, const Expr& e, Value* out);
// Stores into a variable or element, converting to its type.
bool Assign(Frame& f, const Expr& target, Value v);
// Replaces the variable named by `target` (not an element) as a whole, arrays included.
bool AssignWhole(Frame& f, const Expr& target, Value v);
// The variable an expression names, created (undefined) when absent and `create`.
Var* FindVar(Frame& f, const Expr& ref, bool create);

bool CallBuiltin(Frame& f, const Expr& e, Value* out);
bool CallPluginCommand(Frame& f, const Expr& e, Value* out);
bool CallMethod(Frame& f, const std::string& name, std::vector<Value> params, Value* out,
                bool wantValue);
// Runs a method as the body of a new or the first process.
void RunProcessMethod(Runtime* rt, const Method* method, std::vector<Value> params);

// Typed reads of an argument, with the run-time error 4D gives for a wrong kind.
bool EvalNumber(Frame& f, const Expr& e, double* out, std::string_view what);
bool EvalLong(Frame& f, const Expr& e, int32_t* out, std::string_view what);
bool EvalText(Frame& f, const Expr& e, std::string* out, std::string_view what);
bool EvalBool(Frame& f, const Expr& e, bool* out, std::string_view what);

constexpr size_t kMaxBytes = size_t(1) << 28;  // largest text or BLOB a method may build
constexpr size_t kMaxArray = 1000000;
constexpr int kMaxCallDepth = 200;
// Stack a process may use for nested calls and expressions; the host gives each
// process 4 MB.
constexpr size_t kStackBudget = size_t(2) << 20;

}  // namespace runner
