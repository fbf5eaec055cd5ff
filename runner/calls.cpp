// Calling methods: a frame per call with its parameters, the ON ERR CALL state of a
// process, the body of each process, and the run as a whole; and the built-in commands
// about them (ON ERR CALL, New process, DELAY PROCESS...).
#include <algorithm>
#include <cstdio>

#include "host/host.h"
#include "platform/services.h"
#include "runner/interp.h"

namespace runner {

[[gnu::noinline]] bool StackExhausted(Frame& f) {
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
std::string Quoted(const Method* m) { return m ? "\"" + m->name + "\"" : "\"?\""; }
}  // namespace

bool Fail(Frame& f, const std::string& message) { return FailCode(f, kErrorGeneral, message); }

bool FailCode(Frame& f, int32_t code, const std::string& message) {
  Runtime& rt = *f.rt;
  if (rt.aborting) return false;
  Process& p = *f.proc;
  if (p.errorPending) return false;  // the statement is already being left
  if (p.errorMethod && !p.inErrorMethod) {
    SetSystemVar(f, "error", Value::Long(code));
    p.inErrorMethod = true;
    Value ignored;
    bool ok = CallMethod(f, CallSite{p.errorMethod, p.errorMethod->name}, {}, &ignored, false);
    p.inErrorMethod = false;
    p.errorPending = true;
    p.resume = ok;  // an error in the error method, or ABORT, ends the process
    return false;
  }
  std::string line = "Error in method " + Quoted(f.method) + " line " + std::to_string(f.line) +
                     ": " + message;
  rt.err(line);
  rt.status = 1;
  p.errorPending = true;
  return false;
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

bool CallMethod(Frame& f, const CallSite& site, std::vector<Value> params, Value* out,
                bool wantValue) {
  if (!site.method) return Fail(f, "Unknown command or method: " + site.name);
  if (f.proc->depth >= kMaxCallDepth || StackExhausted(f))
    return Fail(f, "too many nested method calls (stack overflow) calling " + site.name);
  Frame callee;
  EnterMethod(callee, f.rt, f.proc, site.method, std::move(params));
  ++f.proc->depth;
  f.proc->frames.push_back(&callee);
  // return leaves the method the way an error would, and ends here.
  bool ok = RunMachine(callee) || callee.jump == Frame::Jump::Return;
  f.proc->frames.pop_back();
  --f.proc->depth;
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
  // An error has been reported where it happened and has set the run's status.
  (void)RunMachine(f);
}

int RunProgram(const Program& program, std::string_view method, std::vector<Value> params,
               const RunOptions& options) {
  Runtime rt;
  rt.program = &program;
  rt.host = options.host;
  rt.trace = options.trace;
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


// ---- processes and errors: the built-in commands

namespace {

// ON ERR CALL(method): the method called on each error of this process; "" removes it.
bool OnErrCall(Frame& f, const Args& a, Value*) {
  std::string name;
  if (!EvalText(f, a[0], &name, "ON ERR CALL: the method name")) return false;
  if (name.empty()) {
    f.proc->errorMethod = nullptr;
    return true;
  }
  auto it = f.rt->program->methods.find(Lowercase(name));
  if (it == f.rt->program->methods.end()) return Fail(f, "ON ERR CALL: Unknown method: " + name);
  f.proc->errorMethod = &it->second;
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
  if (process != f.rt->host->CurrentProcess())
    return Fail(f, "DELAY PROCESS can only delay the current process");
  f.rt->slice = 0;
  if (ticks > 0)
    f.rt->host->Delay(ticks);
  else
    f.rt->host->Yield();
  return !f.rt->aborting;
}

bool Idle(Frame& f, const Args&, Value*) {
  f.rt->slice = 0;
  if (f.rt->host) f.rt->host->Yield();
  return !f.rt->aborting;
}

bool CountParameters(Frame& f, const Args&, Value* out) {
  *out = Value::Long(f.nparams);
  return true;
}

constexpr BuiltinInfo kProcessBuiltins[] = {
    {"ON ERR CALL", 155, 1, 1, false, "e", OnErrCall, false},
    {"ABORT", 156, 0, 0, false, "", Abort, false},
    {"New process", 317, 2, -1, true, "e", NewProcess, false},
    {"Current process", 322, 0, 0, true, "", CurrentProcess, false},
    {"DELAY PROCESS", 323, 2, 2, false, "ee", DelayProcess, false},
    {"IDLE", 311, 0, 0, false, "", Idle, false},
    {"Count parameters", 259, 0, 0, true, "", CountParameters, false},
};

}  // namespace

std::span<const BuiltinInfo> ProcessBuiltins() { return kProcessBuiltins; }

}  // namespace runner
