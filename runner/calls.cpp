// Calling methods: a frame per call with its parameters, the ON ERR CALL state of a
// process, the body of each process, and the run as a whole; and the built-in commands
// about them (ON ERR CALL, New process, DELAY PROCESS...).
#include <algorithm>
#include <cstdio>
#include <utility>

#include "host/host.h"
#include "platform/services.h"
#include "runner/interp.h"

namespace runner {

[[gnu::noinline]] bool StackExhausted(Frame& f) {
  if (f.proc->depth >= kMaxCallDepth) return true;
  char here;
  const char* base = f.proc->stackBase;
  return base && base > &here && size_t(base - &here) > kStackBudget;
}

// Sets up a frame to run `method` with `params` as $1..$n.
void EnterMethod(Frame& f, Runtime* rt, Process* proc, const Method* method,
                 std::vector<Value> params) {
  f.rt = rt;
  f.proc = proc;
  f.method = method;
  f.code = method->code.get();
  f.nodes = f.code->nodes.data();
  f.locals.resize(f.code->locals.size() + size_t(f.code->machine.temps));
  f.params.resize(std::max(size_t(f.code->params), params.size() + 1));
  for (size_t i = 0; i < params.size(); ++i) f.params[i + 1].v = std::move(params[i]);
  f.nparams = int(params.size());
  f.serial = ++rt->frames;
}

namespace {
// Does not exist, Delayed and Aborted (a process that has ended).
constexpr int32_t kProcessUnknown = -100, kProcessDelayed = 1, kProcessEnded = -1;
std::string Quoted(const Method* m) { return m ? "\"" + m->name + "\"" : "\"?\""; }
}  // namespace

bool Fail(Frame& f, const std::string& message) { return FailCode(f, kErrorGeneral, message); }

bool StackOverflow(Frame& f) { return Fail(f, "stack overflow: calls and expressions nest too deeply"); }

bool FailCode(Frame& f, int32_t code, const std::string& message) {
  return Raise(f, {{code, "vrx", message}});
}

bool Raise(Frame& f, std::vector<Process::ErrorEntry> errors) {
  Runtime& rt = *f.rt;
  if (rt.aborting || errors.empty()) return false;
  Process& p = *f.proc;
  if (p.errorPending) return false;  // the statement is already being left
  const int32_t code = errors.back().code;
  if (!p.inErrorMethod) {
    // Inside a Try the errors pile up for Last errors; elsewhere they replace the last ones.
    if (p.tries == 0 || p.errorsTaken) p.lastErrors.clear();
    p.errorsTaken = false;
    p.lastErrors.insert(p.lastErrors.end(), errors.begin(), errors.end());
    p.errorMethodName = f.method ? f.method->name : "";
    p.errorLine = f.line;
    p.errorFormula = p.formulaRunning;
  }
  // A Try hides the error methods installed before it (Try sets the process's aside).
  const Method* handler = p.errorMethod ? p.errorMethod : p.tries == 0 ? rt.globalErrorMethod : nullptr;
  if (handler && !p.inErrorMethod) {
    SetSystemVar(f, "error", Value::Long(code));
    p.inErrorMethod = true;
    Value ignored;
    bool ok = CallMethod(f, CallSite{handler, handler->name}, {}, &ignored, false);
    p.inErrorMethod = false;
    p.errorPending = true;
    p.resume = ok;  // an error in the error method, or ABORT, ends the process
    return false;
  }
  p.errorPending = true;
  if (p.tries > 0) return false;  // the innermost Try takes it
  for (const Process::ErrorEntry& e : errors)
    rt.err("Error in method " + Quoted(f.method) + " line " + std::to_string(f.line) + ": " + e.message);
  rt.status = 1;
  return false;
}

bool RaiseDeferred(Frame& f, std::vector<Process::ErrorEntry> errors) {
  return errors.empty() || Raise(f, std::move(errors));
}

void SetSystemVar(Frame& f, std::string_view name, Value v) {
  const std::vector<std::string>& names = f.rt->program->processVars;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) {
      f.proc->vars[i].v = std::move(v);
      return;
    }
  }
}

namespace {
// A called frame's locals and parameters take emptied vectors of earlier calls, and give
// theirs back when the call ends: a method called in a loop allocates no slots. A few
// are kept, none very large.
constexpr size_t kSpareSlots = 8;
constexpr size_t kSpareCapacity = 64;
class SpareSlots {
 public:
  SpareSlots(Process& p, Frame& callee) : p_(p), callee_(callee) {
    Take(&callee.locals);
    Take(&callee.params);
  }
  ~SpareSlots() {
    GiveBack(&callee_.locals);
    GiveBack(&callee_.params);
  }
  SpareSlots(const SpareSlots&) = delete;
  SpareSlots& operator=(const SpareSlots&) = delete;

 private:
  void Take(std::vector<Var>* slots) {
    if (p_.spareSlots.empty()) return;
    *slots = std::move(p_.spareSlots.back());
    p_.spareSlots.pop_back();
  }
  void GiveBack(std::vector<Var>* slots) {
    if (p_.spareSlots.size() >= kSpareSlots || slots->capacity() > kSpareCapacity) return;
    slots->clear();
    p_.spareSlots.push_back(std::move(*slots));
  }
  Process& p_;
  Frame& callee_;
};
}  // namespace

bool CallMethod(Frame& f, const CallSite& site, std::vector<Value> params, Value* out,
                bool wantValue) {
  if (!site.method) {
    std::string message = UnavailableMessage(site.name);
    return Fail(f, message.empty() ? "Unknown command or method: " + site.name : message);
  }
  if (StackExhausted(f)) return StackOverflow(f);
  Frame callee;
  SpareSlots spare(*f.proc, callee);
  EnterMethod(callee, f.rt, f.proc, site.method, std::move(params));
  ++f.proc->depth;
  f.proc->frames.push_back(&callee);
  // return leaves the method the way an error would, and ends here.
  bool ok = RunMachine(callee) || callee.jump == Frame::Jump::Return;
  f.proc->frames.pop_back();
  --f.proc->depth;
  if (!RaiseDeferred(f, std::move(callee.deferred))) return false;
  if (!ok) return false;
  Value& result = callee.params[0].v;
  if (result.type == Type::Undefined) {
    if (wantValue) return Fail(f, "the method " + site.name + " did not return a value ($0)");
    *out = Value();
    return true;
  }
  *out = std::move(result);
  return true;
}

void RunProcessMethod(Runtime* rt, const Method* method, std::vector<Value> params) {
  if (rt->aborting) return;  // a process that first runs after a failed ASSERT
  char base;
  Process proc;
  proc.rt = rt;
  proc.stackBase = &base;
  proc.vars.resize(rt->program->processVars.size());
  // The system variables a method may read before any command has set them.
  const std::vector<std::string>& names = rt->program->processVars;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == "ok" || names[i] == "error") proc.vars[i].v = Value::Long(0);
    else if (names[i] == "document") proc.vars[i].v = Value::Text("");
  }
  Frame f;
  EnterMethod(f, rt, &proc, method, std::move(params));
  proc.frames.push_back(&f);
  int number = rt->host ? rt->host->CurrentProcess() : 1;
  Runtime::ProcessInfo& info = rt->processes[number];
  if (info.name.empty()) info.name = number == 1 ? "Main" : method->name;
  info.state = 0;
  // An error has been reported where it happened and has set the run's status.
  (void)RunMachine(f);
  (void)RaiseDeferred(f, std::move(f.deferred));
  rt->processes[number].state = kProcessEnded;
  // Semaphores die with the process that set them.
  std::erase_if(rt->semaphores, [number](const auto& s) { return s.second == number; });
}

namespace {
int RunToEnd(const Program& program, std::string_view method, std::vector<Value> params,
             const RunOptions& options) {
  Runtime rt;
  rt.program = &program;
  rt.host = options.host;
  rt.trace = options.trace;
  rt.databaseFolder = options.databaseFolder;
  rt.confined = options.confined;
  rt.maxBytes = options.confined ? kConfinedMaxBytes : kMaxBytes;
  rt.maxArray = options.confined ? kConfinedMaxArray : kMaxArray;
  if (options.statementLimit)
    rt.slicesLeft = options.statementLimit / kStatementsPerSlice + 1;
  rt.interprocess.resize(program.interprocessVars.size());
  rt.spares.resize(size_t(program.commandSites));
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
    rt.err("No method named \"" + std::string(method) + "\" to run");
    return 1;
  }
  RunProcessMethod(&rt, &it->second, std::move(params));
  if (rt.host) rt.host->WaitForProcesses();
  for (auto& [ref, file] : rt.documents) std::fclose(file);  // left open by the methods
  return rt.status;
}
}  // namespace

int RunProgram(const Program& program, std::string_view method, std::vector<Value> params,
               const RunOptions& options) {
  int status = RunToEnd(program, method, std::move(params), options);
  // Objects that hold one another outlive the run's variables: they go with the run.
  FreeCycles();
  return status;
}


// ---- processes and errors: the built-in commands

namespace {

// ON ERR CALL(method {; scope}): the method called on each error of this process (ek
// local, the default), or of every process without one of its own (ek global); "" removes it.
bool OnErrCall(Frame& f, const Args& a, Value*) {
  std::string name;
  int32_t scope = 0;
  if (!EvalText(f, a[0], &name, "ON ERR CALL: the method name")) return false;
  if (a.size() > 1 && !EvalLong(f, a[1], &scope, "ON ERR CALL: the scope")) return false;
  if (scope < 0 || scope > 2) return Fail(f, "ON ERR CALL: the scope must be ek local, ek global or ek errors from components");
  const Method* method = nullptr;
  if (!name.empty()) {
    auto it = f.rt->program->methods.find(Lowercase(name));
    if (it == f.rt->program->methods.end()) return Fail(f, "ON ERR CALL: Unknown method: " + name);
    method = &it->second;
  }
  (scope == 1 ? f.rt->globalErrorMethod : scope == 2 ? f.rt->componentErrorMethod : f.proc->errorMethod) = method;
  return true;
}

// ABORT: in an error method, ends the process instead of going on after the error.
bool Abort(Frame&, const Args&, Value*) { return false; }

bool NewProcess(Frame& f, const Args& a, Value* out) {
  Runtime* rt = f.rt;
  std::string name, processName;
  if (!EvalText(f, a[0], &name, "New process: the method name")) return false;
  int32_t stack;
  if (!EvalLong(f, a[1], &stack, "New process: the stack size")) return false;
  bool unique = false;
  std::vector<Value> params;
  for (size_t i = 2; i < a.size(); ++i) {
    if (a.star(i)) {
      if (i + 1 != a.size()) return Fail(f, "New process: * must be the last parameter");
      unique = true;
      continue;
    }
    if (i == 2) {
      if (!EvalText(f, a[i], &processName, "New process: the process name")) return false;
      continue;
    }
    Value v;
    if (!Eval(f, a[i], &v)) return false;
    if (v.type == Type::Array) return Fail(f, "New process: an array cannot be passed");
    params.push_back(std::move(v));
  }
  auto it = rt->program->methods.find(Lowercase(name));
  if (it == rt->program->methods.end()) return Fail(f, "Unknown method: " + name);
  if (!rt->host) return Fail(f, "New process needs the host, which is not running");
  std::string nameKey = Lowercase(processName);
  if (unique && !processName.empty()) {
    if (auto p = rt->namedProcesses.find(nameKey); p != rt->namedProcesses.end()) {
      *out = Value::Long(p->second);
      return true;
    }
  }
  if (rt->aborting) return false;
  const Method* method = &it->second;
  int number = rt->host->NewProcess(
      [rt, method, params = std::move(params), nameKey]() mutable {
        RunProcessMethod(rt, method, std::move(params));
        if (!nameKey.empty()) {
          auto p = rt->namedProcesses.find(nameKey);
          if (p != rt->namedProcesses.end() && rt->host && p->second == rt->host->CurrentProcess())
            rt->namedProcesses.erase(p);
        }
      },
      processName);
  if (number <= 0) return Fail(f, "New process: the host could not start the process");
  rt->processes[number].name = processName.empty() ? name : processName;
  if (!nameKey.empty()) rt->namedProcesses[nameKey] = number;
  *out = Value::Long(number);
  return true;
}

bool CurrentProcess(Frame& f, const Args&, Value* out) {
  *out = Value::Long(f.rt->host ? f.rt->host->CurrentProcess() : 1);
  return true;
}

bool DelayProcess(Frame& f, const Args& a, Value*) {
  int32_t process, ticks;
  if (!EvalLong(f, a[0], &process, "DELAY PROCESS: the process") ||
      !EvalLong(f, a[1], &ticks, "DELAY PROCESS: the duration"))
    return false;
  if (!f.rt->host) return Fail(f, "DELAY PROCESS needs the host, which is not running");
  // Another process sleeps from its next turn; a number no live process has does nothing,
  // as in 4D.
  if (process != f.rt->host->CurrentProcess()) {
    if (ticks > 0) (void)f.rt->host->DelayOther(process, ticks);
    return true;
  }
  f.rt->slice = 0;
  Runtime::ProcessInfo& info = f.rt->processes[process];
  info.state = kProcessDelayed;
  if (ticks > 0)
    f.rt->host->Delay(ticks);
  else
    f.rt->host->Yield();
  f.rt->processes[process].state = 0;
  return !f.rt->aborting;
}

bool Idle(Frame& f, const Args&, Value*) {
  f.rt->slice = 0;
  if (f.rt->host) f.rt->host->Yield();
  return !f.rt->aborting;
}

// Process state(process): -1 for a number no process ever had.
bool ProcessState(Frame& f, const Args& a, Value* out) {
  int32_t n;
  if (!EvalLong(f, a[0], &n, "Process state: the process")) return false;
  auto it = f.rt->processes.find(n);
  int32_t state = it == f.rt->processes.end() ? kProcessUnknown : it->second.state;
  // A process another one delayed is asleep in the host, not in its own DELAY PROCESS.
  if (state == 0 && f.rt->host && f.rt->host->IsDelayed(n)) state = kProcessDelayed;
  *out = Value::Long(state);
  return true;
}

// Process number(name): the newest live process of that name (case does not matter), or 0.
bool ProcessNumber(Frame& f, const Args& a, Value* out) {
  std::string name;
  if (!EvalText(f, a[0], &name, "Process number: the name")) return false;
  int32_t found = 0;
  for (const auto& [number, info] : f.rt->processes)
    if (info.state != kProcessEnded && CompareText(info.name, name) == 0) found = number;
  *out = Value::Long(found);
  return true;
}

bool CurrentProcessName(Frame& f, const Args&, Value* out) {
  int number = f.rt->host ? f.rt->host->CurrentProcess() : 1;
  *out = Value::Text(f.rt->processes[number].name);
  return true;
}

// A semaphore's key: a name starting with $ is local to the process that uses it.
std::string SemaphoreKey(Frame& f, const std::string& name) {
  std::string key = Lowercase(name);
  if (!key.empty() && key[0] == '$') key = std::to_string(f.rt->host ? f.rt->host->CurrentProcess() : 1) + key;
  return key;
}

// Semaphore(name {; ticks}): False when this call set it; True when another holds it
// still after waiting up to `ticks` (other processes run meanwhile).
bool SemaphoreFn(Frame& f, const Args& a, Value* out) {
  std::string name;
  int32_t ticks = 0;
  if (!EvalText(f, a[0], &name, "Semaphore: the name")) return false;
  if (a.size() > 1 && !EvalLong(f, a[1], &ticks, "Semaphore: the ticks")) return false;
  if (name.empty() || TextLength(name) > 255) return Fail(f, "Semaphore: the name must have 1 to 255 characters");
  std::string key = SemaphoreKey(f, name);
  int self = f.rt->host ? f.rt->host->CurrentProcess() : 1;
  for (int32_t waited = 0; f.rt->semaphores.count(key); ++waited) {
    if (waited >= ticks || !f.rt->host) {
      *out = Value::Bool(true);
      return true;
    }
    f.rt->slice = 0;
    f.rt->host->Delay(1);
    if (f.rt->aborting) return false;
  }
  f.rt->semaphores[key] = self;
  *out = Value::Bool(false);
  return true;
}

// CLEAR SEMAPHORE(name): only the process that set it clears it.
bool ClearSemaphore(Frame& f, const Args& a, Value*) {
  std::string name;
  if (!EvalText(f, a[0], &name, "CLEAR SEMAPHORE: the name")) return false;
  auto it = f.rt->semaphores.find(SemaphoreKey(f, name));
  if (it != f.rt->semaphores.end() && it->second == (f.rt->host ? f.rt->host->CurrentProcess() : 1))
    f.rt->semaphores.erase(it);
  return true;
}

bool TestSemaphore(Frame& f, const Args& a, Value* out) {
  std::string name;
  if (!EvalText(f, a[0], &name, "Test semaphore: the name")) return false;
  *out = Value::Bool(f.rt->semaphores.count(SemaphoreKey(f, name)) > 0);
  return true;
}

// EXECUTE METHOD(name {; result | * {; params...}})
bool ExecuteMethod(Frame& f, const Args& a, Value*) {
  std::string name;
  if (!EvalText(f, a[0], &name, "EXECUTE METHOD: the method name")) return false;
  auto it = f.rt->program->methods.find(Lowercase(name));
  if (it == f.rt->program->methods.end()) return Fail(f, "EXECUTE METHOD: Unknown method: " + name);
  std::vector<Value> params;
  for (size_t i = 2; i < a.size(); ++i) {
    Value v;
    if (!Eval(f, a[i], &v)) return false;
    params.push_back(std::move(v));
  }
  bool wantResult = a.size() > 1 && !a.star(1);
  Value result;
  if (!CallMethod(f, CallSite{&it->second, it->second.name}, std::move(params), &result, wantResult))
    return false;
  return !wantResult || Assign(f, a[1], std::move(result));
}

// EXECUTE FORMULA(statement): one line of 4D, read when first run, in a call of its own
// (it sees process and interprocess variables, not the caller's locals).
bool ExecuteFormula(Frame& f, const Args& a, Value*) {
  const std::string cmd = "EXECUTE FORMULA";
  std::string text;
  if (!EvalText(f, a[0], &text, cmd + ": the statement")) return false;
  Runtime& rt = *f.rt;
  // Errors while it is read or runs name it (Error formula).
  struct Running {
    Process* p;
    std::string outer;
    ~Running() { p->formulaRunning = std::move(outer); }
  } running{f.proc, std::exchange(f.proc->formulaRunning, text)};
  auto it = rt.executed.find(text);
  if (it == rt.executed.end()) {
    const Program& real = *rt.program;
    Program scratch;
    MethodNames names;
    ScratchProgram(real, &scratch, &names);
    auto method = std::make_shared<Method>();
    method->name = "EXECUTE FORMULA";
    SyntaxError error;
    if (!ParseMethod(text, names, &scratch, method.get(), &error))
      return Fail(f, cmd + ": " + error.message + " (column " + std::to_string(error.col) + ") in: " + text);
    if (scratch.processVars.size() > real.processVars.size())
      return Fail(f, cmd + ": no method uses the variable " + scratch.processVars.back());
    if (scratch.interprocessVars.size() > real.interprocessVars.size())
      return Fail(f, cmd + ": no method uses the variable <>" + scratch.interprocessVars.back());
    if (size_t(scratch.commandSites) > rt.spares.size()) rt.spares.resize(size_t(scratch.commandSites));
    for (CallSite& site : method->code->calls) {
      auto m = real.methods.find(Lowercase(site.name));
      site.method = m == real.methods.end() ? nullptr : &m->second;
    }
    if (rt.executed.size() >= 1000) rt.executed.clear();  // a run that builds its texts
    it = rt.executed.emplace(text, std::move(method)).first;
  }
  std::shared_ptr<Method> method = it->second;  // kept while it runs
  Value ignored;
  return CallMethod(f, CallSite{method.get(), method->name}, {}, &ignored, false);
}

// ---- the last error: Error method, Error line, Error formula, GET LAST ERROR STACK, Last errors

bool ErrorMethodFn(Frame& f, const Args&, Value* out) {
  *out = Value::Text(f.proc->errorMethodName);
  return true;
}

bool ErrorLineFn(Frame& f, const Args&, Value* out) {
  *out = Value::Long(f.proc->errorLine);
  return true;
}

bool ErrorFormulaFn(Frame& f, const Args&, Value* out) {
  *out = Value::Text(f.proc->errorFormula);
  return true;
}

// GET LAST ERROR STACK(codes; components; texts)
bool GetLastErrorStack(Frame& f, const Args& a, Value*) {
  const auto& errors = f.proc->lastErrors;
  Value codes = Value::Array(Type::Long, errors.size()), components = Value::Array(Type::Text, errors.size()),
        texts = Value::Array(Type::Text, errors.size());
  for (size_t i = 0; i < errors.size(); ++i) {
    codes.itemsMut()[i + 1] = Value::Long(errors[i].code);
    components.itemsMut()[i + 1] = Value::Text(errors[i].component);
    texts.itemsMut()[i + 1] = Value::Text(errors[i].message);
  }
  return AssignWhole(f, a[0], std::move(codes)) && AssignWhole(f, a[1], std::move(components)) &&
         AssignWhole(f, a[2], std::move(texts));
}

// Last errors: a collection of {errCode; componentSignature; message}, or Null.
bool LastErrors(Frame& f, const Args&, Value* out) {
  const auto& errors = f.proc->lastErrors;
  if (errors.empty()) {
    *out = Value::Null();
    return true;
  }
  *out = Value::NewCollection();
  for (const auto& e : errors) {
    Value o = Value::NewObject();
    o.object()->Set("errCode", Value::Long(e.code));
    o.object()->Set("componentSignature", Value::Text(e.component));
    o.object()->Set("message", Value::Text(e.message));
    out->collection()->items.push_back(std::move(o));
  }
  return true;
}

bool CountParameters(Frame& f, const Args&, Value* out) {
  *out = Value::Long(f.nparams);
  return true;
}

constexpr BuiltinInfo kProcessBuiltins[] = {
    {"ON ERR CALL", 155, 1, 2, false, "ee", OnErrCall, false},
    {"ABORT", 156, 0, 0, false, "", Abort, false},
    {"New process", 317, 2, -1, true, "e", NewProcess, false},
    {"Current process", 322, 0, 0, true, "", CurrentProcess, false},
    {"DELAY PROCESS", 323, 2, 2, false, "ee", DelayProcess, false},
    {"IDLE", 311, 0, 0, false, "", Idle, false},
    {"Count parameters", 259, 0, 0, true, "", CountParameters, false},
    {"Process state", 330, 1, 1, true, "e", ProcessState, false},
    {"Process number", 372, 1, 2, true, "ee", ProcessNumber, false},
    {"Current process name", 1392, 0, 0, true, "", CurrentProcessName, false},
    {"Semaphore", 143, 1, 2, true, "ee", SemaphoreFn, false},
    {"CLEAR SEMAPHORE", 144, 1, 1, false, "e", ClearSemaphore, false},
    {"Test semaphore", 652, 1, 1, true, "e", TestSemaphore, false},
    {"EXECUTE METHOD", 1007, 1, -1, false, "e", ExecuteMethod, false},
    {"EXECUTE FORMULA", 63, 1, 1, false, "e", ExecuteFormula, false},
    {"Error method", 0, 0, 0, true, "", ErrorMethodFn, false},
    {"Error line", 0, 0, 0, true, "", ErrorLineFn, false},
    {"Error formula", 0, 0, 0, true, "", ErrorFormulaFn, false},
    {"GET LAST ERROR STACK", 1015, 3, 3, false, "v", GetLastErrorStack, false},
    {"Last errors", 1799, 0, 0, true, "", LastErrors, false},
};

}  // namespace

std::span<const BuiltinInfo> ProcessBuiltins() { return kProcessBuiltins; }

}  // namespace runner
