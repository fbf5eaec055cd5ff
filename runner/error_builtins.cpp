// Catching and throwing errors: Try(expression), Try ... Catch ... End try, throw, and
// which error method ON ERR CALL installed (Method called on error).
//
// An error inside a Try stops what the Try runs, as any error stops its statement, and
// goes no further: Raise (calls.cpp) sees Process::tries and neither prints it nor calls
// the error methods installed before the Try; one installed inside it is called.
#include <utility>

#include "runner/interp.h"

namespace runner {

namespace {

// What a Try sets aside while it runs, given back when it ends.
class TryScope {
 public:
  explicit TryScope(Frame& f) : p_(*f.proc), outer_(std::exchange(p_.errorMethod, nullptr)) {
    ++p_.tries;
    p_.lastErrors.clear();  // Last errors then tells whether what the Try ran failed
    p_.errorsTaken = false;
  }
  ~TryScope() {
    --p_.tries;
    if (!p_.errorMethod) p_.errorMethod = outer_;  // unless the Try installed its own
  }
  // After what the Try ran failed: true when that was an error, now taken; false when
  // it was something else leaving (return, break, the end of the run).
  bool Catch(Frame& f) {
    if (f.jump != Frame::Jump::None || f.rt->aborting || !p_.errorPending) return false;
    p_.errorPending = false;
    p_.resume = false;
    p_.errorsTaken = true;
    return true;
  }

 private:
  Process& p_;
  const Method* outer_;
};

// The value of an expression that may also be a call returning nothing.
bool EvalStatement(Frame& f, int32_t node, Value* out) {
  const Node& n = f.node(node);
  if (n.op != Op::Method) return Eval(f, node, out);
  std::vector<Value> params(size_t(n.argc));
  for (int32_t k = 0; k < n.argc; ++k)
    if (!Eval(f, f.code->args[size_t(n.b + k)], &params[size_t(k)])) return false;
  return CallMethod(f, f.code->calls[size_t(n.a)], std::move(params), out, false);
}

// Try(expression): its value, or Undefined when it failed (Last errors says why).
bool TryFn(Frame& f, const Args& a, Value* out) {
  TryScope scope(f);
  if (EvalStatement(f, a[0], out)) return true;
  if (!scope.Catch(f)) return false;
  *out = Value();
  return true;
}

// "{name}" in a thrown message: the property `name` of the error object, as text.
std::string FillPlaceholders(const std::string& message, const ObjectHeap& props) {
  std::string out;
  for (size_t i = 0; i < message.size(); ++i) {
    size_t close = message[i] == '{' ? message.find('}', i + 1) : std::string::npos;
    const Value* v = close == std::string::npos ? nullptr : props.Find(std::string_view(message).substr(i + 1, close - i - 1));
    if (!v) {
      out += message[i];
      continue;
    }
    out += ToText(*v);
    i = close;
  }
  return out;
}

// throw(code {; description}), throw(errorObject), throw: the first two raise an error
// now (or, for an object with deferred: True, when this method returns); throw alone
// raises the current errors again when this method returns.
bool Throw(Frame& f, const Args& a, Value*) {
  if (a.size() == 0) {
    for (const Process::ErrorEntry& e : f.proc->lastErrors) f.deferred.push_back(e);
    return true;
  }
  Value first;
  if (!Eval(f, a[0], &first)) return false;
  Process::ErrorEntry e{-1, "host", ""};
  bool deferred = false;
  if (first.type == Type::Object && first.object()) {
    if (a.size() > 1) return Fail(f, "throw: an error object comes alone");
    const ObjectHeap& o = *first.object();
    if (const Value* v = o.Find("errCode"); v && v->numeric()) e.code = RealToLong(v->Number());
    if (const Value* v = o.Find("componentSignature"); v && v->type == Type::Text && !v->str().empty())
      e.component = v->str();
    if (const Value* v = o.Find("message"); v && v->type == Type::Text) e.message = FillPlaceholders(v->str(), o);
    if (const Value* v = o.Find("deferred"); v && v->type == Type::Boolean) deferred = v->b;
  } else {
    if (!first.numeric()) return Fail(f, "throw: the error code must be a number or the error an object, not " + Article(first.type));
    e.code = RealToLong(first.Number());
    if (a.size() > 1 && !EvalText(f, a[1], &e.message, "throw: the description")) return false;
  }
  if (e.message.empty()) e.message = "Error code " + std::to_string(e.code) + ": (" + e.component + ")";
  if (deferred) {
    f.deferred.push_back(std::move(e));
    return true;
  }
  return Raise(f, {std::move(e)});
}

// Method called on error({scope}): ek local (0, the default), ek global (1) or ek errors
// from components (2).
bool MethodCalledOnError(Frame& f, const Args& a, Value* out) {
  int32_t scope = 0;
  if (a.size() > 0 && !EvalLong(f, a[0], &scope, "Method called on error: the scope")) return false;
  const Method* m = scope == 1 ? f.rt->globalErrorMethod
                    : scope == 2 ? f.rt->componentErrorMethod
                                 : f.proc->errorMethod;
  *out = Value::Text(m ? m->name : "");
  return true;
}

constexpr BuiltinInfo kErrorBuiltins[] = {
    {"Try", 0, 1, 1, true, "x", TryFn, false},
    {"throw", 1805, 0, 2, false, "ee", Throw, false},
    {"Method called on error", 704, 0, 1, true, "e", MethodCalledOnError, false},
};

}  // namespace

// Try NEWLINE body Catch NEWLINE elseBody End try: the Catch block runs when the body
// stopped on an error, or threw errors in deferred mode.
bool ExecTry(Frame& f, const CStmt& s) {
  std::vector<Process::ErrorEntry> outer = std::exchange(f.deferred, {});
  bool ok, caught;
  {
    TryScope scope(f);
    ok = ExecBlock(f, s.body);
    if (ok && !f.deferred.empty()) ok = Raise(f, std::exchange(f.deferred, {}));
    caught = !ok && scope.Catch(f);
    if (caught && !f.deferred.empty()) {  // thrown before the error that stopped the body
      auto& errors = f.proc->lastErrors;
      errors.insert(errors.begin(), f.deferred.begin(), f.deferred.end());
      f.deferred.clear();
    }
  }
  f.deferred.insert(f.deferred.begin(), outer.begin(), outer.end());
  if (ok) return true;
  if (!caught) return false;
  return ExecBlock(f, s.elseBody);
}

std::span<const BuiltinInfo> ErrorBuiltins() { return kErrorBuiltins; }

}  // namespace runner
