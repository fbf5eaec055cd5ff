// Where values live and go: variables by slot, parameters by number, elements of
// arrays and BLOBs, pointers, the targets of outputs, and assignment with the
// conversions it makes.
#include "runner/interp.h"

namespace runner {

namespace {

bool CheckIndex(Frame& f, const Value& base, int32_t index, int32_t var) {
  size_t limit = base.type == Type::Array ? base.items().size() : base.str().size();
  if (index < 0 || size_t(index) >= limit)
    return Fail(f, "index " + std::to_string(index) + " is out of range for " + VarLabel(f, var) +
                       (base.type == Type::Array
                            ? " (size " + std::to_string(base.items().size() - 1) + ")"
                            : " (" + std::to_string(base.str().size()) + " bytes)"));
  return true;
}

}  // namespace

// Parameter n of the frame; null when it is past the frame's and not `create`.
Var* ParamVar(Frame& f, int32_t n, bool create) {
  if (size_t(n) < f.params.size()) return &f.params[size_t(n)];
  if (!create) {
    auto it = f.farParams.find(n);
    return it == f.farParams.end() ? nullptr : &it->second;
  }
  return &f.farParams[n];
}

namespace {

// Assigns to a whole variable; `label` names it in messages.
template <typename Label>
bool AssignVar(Frame& f, Var* var, Value v, Label label) {
  if (var->v.type == Type::Array || v.type == Type::Array)
    return Fail(f, "arrays cannot be assigned with :=");
  if (v.type == Type::Undefined) {
    // As CLEAR VARIABLE: a typed variable gets its type's empty value, a Variant or a
    // variable without a type becomes undefined.
    var->v = var->maxLen < 0 || var->v.type == Type::Undefined ? Value() : Value::Empty(var->v.type);
    return true;
  }
  // A Variant (maxLen -1) takes any value; an object or collection variable takes Null.
  if (var->v.type == Type::Undefined || var->maxLen < 0 || (var->v.type == v.type && var->maxLen == 0)) {
    var->v = std::move(v);
    return true;
  }
  if (v.type == Type::Null && (var->v.type == Type::Object || var->v.type == Type::Collection)) {
    var->v = Value::Empty(var->v.type);
    return true;
  }
  Value converted;
  if (!Convert(f, var->v.type, std::move(v), &converted, label)) return false;
  if (var->maxLen > 0 && converted.type == Type::Text && TextLength(converted.str()) > size_t(var->maxLen))
    converted.strMut().resize(UnitsToBytes(converted.str(), size_t(var->maxLen)));
  var->v = std::move(converted);
  return true;
}


// Stores v into element `index` of `base`, the value of the variable node `label` names.
bool AssignElementIn(Frame& f, Value& base, int32_t index, Value v, int32_t label) {
  if (base.type == Type::Array) {
    if (!CheckIndex(f, base, index, label)) return false;
    Value& slot = base.itemsMut()[size_t(index)];
    if (v.type == base.elem) {
      slot = std::move(v);
      return true;
    }
    return Convert(f, base.elem, std::move(v), &slot, [&] { return "an element of " + VarLabel(f, label); });
  }
  if (base.type == Type::Blob) {
    if (!CheckIndex(f, base, index, label)) return false;
    if (!v.numeric()) return Fail(f, "a BLOB byte takes a number, not " + Article(v.type));
    base.strMut()[size_t(index)] = char(uint8_t(RealToLong(v.Number()) & 0xFF));
    return true;
  }
  return Fail(f, VarLabel(f, label) + " is " + Article(base.type) + ": it has no elements");
}

bool AssignElementOf(Frame& f, Var* var, int32_t index, Value v, int32_t label) {
  if (var->v.type == Type::Undefined)
    return Fail(f, "the variable " + VarLabel(f, label) + " is not defined");
  return AssignElementIn(f, var->v, index, std::move(v), label);
}

}  // namespace

Value* RowOf(Frame& f, Var* var, int32_t index, int32_t label, bool change) {
  Value& base = var->v;
  if (base.type != Type::Array || base.elem != Type::Array) {
    Fail(f, VarLabel(f, label) + " is not a two-dimensional array");
    return nullptr;
  }
  if (!CheckIndex(f, base, index, label)) return nullptr;
  return change ? &base.itemsMut()[size_t(index)] : const_cast<Value*>(&base.items()[size_t(index)]);
}

// Element `index` of a variable's array or BLOB.
bool ElementOf(Frame& f, const Value& base, int32_t index, int32_t label, Value* out) {
  if (base.type == Type::Array) {
    if (!CheckIndex(f, base, index, label)) return false;
    *out = base.items()[size_t(index)];
    return true;
  }
  if (base.type == Type::Blob) {
    if (!CheckIndex(f, base, index, label)) return false;
    *out = Value::Long(uint8_t(base.str()[size_t(index)]));
    return true;
  }
  if (base.type == Type::Undefined) return Fail(f, "the variable " + VarLabel(f, label) + " is not defined");
  return Fail(f, VarLabel(f, label) + " is " + Article(base.type) + ": it has no elements");
}

// ---- pointers -------------------------------------------------------------------------

// ->variable or ->variable{index}
[[gnu::noinline]] bool EvalAddressOf(Frame& f, const Node& n, Value* out) {
  const Node* var = &f.node(n.a);
  PointerRef p;
  if (var->op == Op::Element) {
    if (!EvalLong(f, var->b, &p.element, "the index")) return false;
    if (p.element < 0) return Fail(f, "index " + std::to_string(p.element) + " is out of range");
    var = &f.node(var->a);
  }
  p.slot = var->a;
  switch (var->op) {
    case Op::Local: p.kind = PointerKind::Local; p.frame = f.serial; break;
    case Op::Param: p.kind = PointerKind::Param; p.frame = f.serial; break;
    case Op::ProcessVar: p.kind = PointerKind::ProcessVar; break;
    case Op::Interprocess: p.kind = PointerKind::Interprocess; break;
    default: return Fail(f, "-> points to variables and array elements only");
  }
  *out = Value::Pointer(p);
  return true;
}

namespace {

// The variable a pointer points to; null, with the error reported, when there is none.
Var* PointedVar(Frame& f, const PointerRef& r) {
  switch (r.kind) {
    case PointerKind::Nil: Fail(f, "the pointer is nil (Is nil pointer)"); return nullptr;
    case PointerKind::ProcessVar: return &f.proc->vars[size_t(r.slot)];
    case PointerKind::Interprocess: return &f.rt->interprocess[size_t(r.slot)];
    case PointerKind::Local: case PointerKind::Param: {
      const std::vector<Frame*>& frames = f.proc->frames;
      for (auto it = frames.rbegin(); it != frames.rend(); ++it) {
        if ((*it)->serial != r.frame) continue;
        return r.kind == PointerKind::Local ? &(*it)->locals[size_t(r.slot)]
                                            : &(*it)->params[size_t(r.slot)];
      }
      Fail(f, "the pointer points to a local variable of a method that has returned");
      return nullptr;
    }
  }
  return nullptr;
}

}  // namespace

[[gnu::noinline]] bool EvalDeref(Frame& f, int32_t i, Value* out) {
  const Value* v;
  if (!DerefValue(f, i, out, &v)) return false;
  if (v != out) *out = *v;
  return true;
}


std::string VarLabel(const Frame& f, int32_t i) {
  const Node& n = f.node(i);
  const Program& p = *f.rt->program;
  switch (n.op) {
    case Op::Local: return "$" + f.code->locals[size_t(n.a)];
    case Op::Param: return "$" + std::to_string(n.a);
    case Op::ParamAt: return "${}";
    case Op::Interprocess: return "<>" + p.interprocessVars[size_t(n.a)];
    case Op::ProcessVar: return p.processVars[size_t(n.a)];
    case Op::Element: return VarLabel(f, n.a) + "{}";
    case Op::Builtin: return std::string(f.code->builtins[size_t(n.a)].info->name);
    case Op::Command: return std::string(f.code->commands[size_t(n.a)].command->name);
    case Op::Method: return f.code->calls[size_t(n.a)].name;
    case Op::Deref: return VarLabel(f, n.a) + "->";
    case Op::AddressOf: return "->" + VarLabel(f, n.a);
    default: return "";
  }
}


Var* DerefVar(Frame& f, int32_t node, int32_t* element) {
  Value p;
  if (!Eval(f, f.node(node).a, &p)) return nullptr;
  if (p.type != Type::Pointer) {
    Fail(f, "-> follows a pointer, and " + VarLabel(f, f.node(node).a) + " is " + Article(p.type));
    return nullptr;
  }
  Var* var = PointedVar(f, p.ptr());
  if (!var) return nullptr;
  if (element) {
    *element = p.ptr().element;
  } else if (p.ptr().element >= 0) {
    Fail(f, VarLabel(f, node) + " is an element, not a variable");
    return nullptr;
  }
  return var;
}

const Value* PeekVar(Frame& f, int32_t i) {
  // Following a pointer evaluates its expression, which the caller does once.
  if (f.node(i).op == Op::Deref) return nullptr;
  Var* var = FindVar(f, i);
  return var && var->v.type != Type::Undefined ? &var->v : nullptr;
}

bool DerefValue(Frame& f, int32_t i, Value* copy, const Value** out) {
  int32_t element;
  Var* var = DerefVar(f, i, &element);
  if (!var) return false;
  if (element >= 0) {
    if (!ElementOf(f, var->v, element, i, copy)) return false;
    *out = copy;
    return true;
  }
  if (var->v.type == Type::Undefined) return Fail(f, "the variable " + VarLabel(f, i) + " is not defined");
  *out = &var->v;
  return true;
}

bool AssignWhole(Frame& f, int32_t target, Value v) {
  Var* var = FindVar(f, target);
  if (!var) return Fail(f, "only a variable can receive this value");
  var->v = std::move(v);
  return true;
}

bool Assign(Frame& f, int32_t target, Value v) {
  const Node& n = f.node(target);
  if (n.op == Op::ParamAt) {
    int32_t number;
    if (!EvalLong(f, n.a, &number, "the parameter number")) return false;
    if (number < 0) return Fail(f, "there is no parameter ${" + std::to_string(number) + "}");
    return AssignVar(f, ParamVar(f, number, true), std::move(v),
                     [&] { return "$" + std::to_string(number); });
  }
  if (n.op == Op::Member || n.op == Op::Index) return AssignPath(f, target, std::move(v));
  if (n.op == Op::Element) {
    Target t;
    return ResolveTarget(f, target, &t) && AssignTarget(f, t, std::move(v));
  }
  if (n.op == Op::Deref) {
    int32_t element;
    Var* var = DerefVar(f, target, &element);
    if (!var) return false;
    if (element >= 0) return AssignElementOf(f, var, element, std::move(v), target);
    return AssignVar(f, var, std::move(v), [&] { return VarLabel(f, target); });
  }
  Var* var = FindVar(f, target);
  if (!var) return Fail(f, "only a variable can be assigned");
  return AssignToVar(f, var, std::move(v), target);
}

bool AssignToVar(Frame& f, Var* var, Value v, int32_t target) {
  return AssignVar(f, var, std::move(v), [&] { return VarLabel(f, target); });
}

bool ResolveTarget(Frame& f, int32_t node, Target* out) {
  const Node& n = f.node(node);
  switch (n.op) {
    case Op::Element: {
      int32_t index;
      if (f.node(n.a).op == Op::Element) {  // $a{row}{column}
        if (!ResolveTarget(f, n.a, out) || !EvalLong(f, n.b, &index, "the index")) return false;
        if (out->sub >= 0) return Fail(f, "arrays have at most two dimensions");
        out->sub = index;
        return true;
      }
      if (!EvalLong(f, n.b, &index, "the index")) return false;
      Var* var = FindVar(f, n.a);
      if (!var) {
        if (f.node(n.a).op == Op::Deref) return false;  // reported
        return Fail(f, "the variable " + VarLabel(f, n.a) + " is not defined");
      }
      *out = {var, true, index, n.a};
      return true;
    }
    case Op::Deref: {
      int32_t element;
      Var* var = DerefVar(f, node, &element);
      if (!var) return false;
      *out = {var, element >= 0, element, node};
      return true;
    }
    case Op::ParamAt: {
      int32_t number;
      if (!EvalLong(f, n.a, &number, "the parameter number")) return false;
      if (number < 0) return Fail(f, "there is no parameter ${" + std::to_string(number) + "}");
      *out = {ParamVar(f, number, true), false, 0, node};
      return true;
    }
    default: {
      Var* var = FindVar(f, node);
      if (!var) return Fail(f, "only a variable can receive this value");
      *out = {var, false, 0, node};
      return true;
    }
  }
}

bool AssignTarget(Frame& f, const Target& t, Value v) {
  if (t.sub >= 0) {
    Value* row = RowOf(f, t.var, t.index, t.label, true);
    return row && AssignElementIn(f, *row, t.sub, std::move(v), t.label);
  }
  if (t.isElement) return AssignElementOf(f, t.var, t.index, std::move(v), t.label);
  if (v.type == Type::Array) {
    t.var->v = std::move(v);
    return true;
  }
  return AssignVar(f, t.var, std::move(v), [&] { return VarLabel(f, t.label); });
}

bool TargetValue(Frame& f, const Target& t, Value* copy, const Value** out) {
  if (t.sub >= 0) {
    Value* row = RowOf(f, t.var, t.index, t.label, false);
    if (!row || !ElementOf(f, *row, t.sub, t.label, copy)) return false;
    *out = copy;
    return true;
  }
  if (t.isElement) {
    if (!ElementOf(f, t.var->v, t.index, t.label, copy)) return false;
    *out = copy;
    return true;
  }
  *out = t.var->v.type == Type::Undefined ? nullptr : &t.var->v;
  return true;
}


}  // namespace runner
