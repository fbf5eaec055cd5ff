// VRX_ commands from methods: 4D values become host values of the kind the command
// table declares, the host calls the plug-in, and output parameters are copied back
// into the variables the method passed. Each call site keeps its host values from one
// call to the next and refills them in place.
#include "host/host.h"
#include "platform/services.h"
#include "runner/interp.h"

namespace runner {

namespace {

using vrx::Dir;
using vrx::Kind;

std::string ParamLabel(const vrx::CommandInfo& c, size_t i) {
  return std::string(c.name) + ": parameter " + std::to_string(i + 1);
}

// Makes *slot a host value of `kind`; one that already is keeps its storage.
void Ensure(host::Value* slot, Kind kind) {
  if (slot->kind() != kind) *slot = host::Value(kind);
}

// A longint as a host takes it: 4D rounds reals.
int32_t AsLong(const Value& v) {
  return v.type == Type::Long || v.type == Type::Time ? v.l : RealToLong(v.Number());
}

// A value for a parameter that the command ignores: whatever the method wrote, in the
// nearest host kind.
bool Natural(const Value& v, host::Value* out) {
  auto fill = [&](Kind kind) {
    Ensure(out, kind);
    if (kind == Kind::Long || kind == Kind::Time) out->SetLong(v.type == Type::Boolean ? v.b : AsLong(v));
    else out->SetBytes(v.s);  // a text is cut at 32767 bytes
    return true;
  };
  switch (v.type) {
    case Type::Long: case Type::Real: case Type::Boolean: return fill(Kind::Long);
    case Type::Time: return fill(Kind::Time);
    case Type::Text: return fill(Kind::Text);
    case Type::Blob: return fill(Kind::Blob);
    case Type::Picture: return fill(Kind::Picture);
    case Type::Date: *out = host::Value::Date(int16_t(v.d.year), int16_t(v.d.month), int16_t(v.d.day)); return true;
    default: return false;
  }
}

// Fills *out, in place where it already has the declared kind, with parameter i.
bool ToHost(Frame& f, const vrx::CommandInfo& c, size_t i, const Value& v, host::Value* out) {
  Kind kind = c.params[i].kind;
  auto wrong = [&](const char* expected) {
    return Fail(f, ParamLabel(c, i) + " expects " + expected + ", not " + Article(v.type));
  };
  switch (kind) {
    case Kind::Long:
      if (!v.numeric() && v.type != Type::Time) return wrong("a longint");
      Ensure(out, kind);
      out->SetLong(AsLong(v));
      return true;
    case Kind::Integer:
      // 4D passes a longint to an integer parameter in its low 16 bits.
      if (!v.numeric() && v.type != Type::Time) return wrong("an integer");
      Ensure(out, kind);
      out->SetLong(int16_t(uint16_t(uint32_t(AsLong(v)))));
      return true;
    case Kind::String:
      if (v.type != Type::Text) return wrong("a string");
      Ensure(out, kind);
      out->SetBytes(v.s);  // a string holds 255 bytes; 4D cuts longer texts
      return true;
    case Kind::Text:
      if (v.type != Type::Text) return wrong("a text");
      if (v.s.size() > size_t(vrx::kMaxTextLength))
        return Fail(f, ParamLabel(c, i) + ": a text of " + std::to_string(v.s.size()) +
                           " bytes is too long (a text holds at most 32767 bytes)");
      Ensure(out, kind);
      out->SetBytes(v.s);
      return true;
    case Kind::Blob:
      if (v.type != Type::Blob && v.type != Type::Picture) return wrong("a BLOB");
      Ensure(out, kind);
      out->SetBytes(v.s);
      return true;
    case Kind::Picture:
      if (v.type != Type::Picture && v.type != Type::Blob) return wrong("a picture");
      Ensure(out, kind);
      out->SetBytes(v.s);
      return true;
    case Kind::LongArray: {
      if (v.type != Type::Array || (v.elem != Type::Long && v.elem != Type::Real))
        return wrong("a longint array");
      std::vector<int32_t> longs;
      for (size_t k = 1; k < v.items.size(); ++k) longs.push_back(RealToLong(v.items[k].Number()));
      *out = host::Value::LongArray(longs);
      return true;
    }
    case Kind::Date:
      if (v.type != Type::Date) return wrong("a date");
      *out = host::Value::Date(int16_t(v.d.year), int16_t(v.d.month), int16_t(v.d.day));
      return true;
    case Kind::Time:
      if (v.type != Type::Time && !v.numeric()) return wrong("a time");
      Ensure(out, kind);
      out->SetLong(AsLong(v));
      return true;
    case Kind::Any:
    case Kind::None:
      if (!Natural(v, out)) return wrong("a simple value");
      return true;
  }
  return wrong("a value");
}

// The method's value for what an output parameter holds after the call; `current`
// is the variable's value before (its type decides between longint, real and time).
Value FromHost(Kind kind, const host::Value& h, const Value* current) {
  Type keep = current ? current->type : Type::Undefined;
  switch (kind) {
    case Kind::Long:
    case Kind::Integer:
      if (keep == Type::Real) return Value::Real(h.AsLong());
      if (keep == Type::Time) return Value::Time(h.AsLong());
      return Value::Long(h.AsLong());
    case Kind::Time:
      if (keep == Type::Long) return Value::Long(h.AsLong());
      if (keep == Type::Real) return Value::Real(h.AsLong());
      return Value::Time(h.AsLong());
    case Kind::String:
    case Kind::Text:
      return Value::Text(h.Bytes());
    case Kind::Blob:
      return Value::Blob(h.Bytes());
    case Kind::Picture:
      return keep == Type::Blob ? Value::Blob(h.Bytes()) : Value::Picture(h.Bytes());
    case Kind::LongArray: {
      std::vector<int32_t> longs = h.Longs();
      Type elem = current && current->type == Type::Array ? current->elem : Type::Long;
      Value a = Value::Array(elem, longs.size());
      if (current && current->type == Type::Array && !current->items.empty())
        a.items[0] = current->items[0];
      for (size_t k = 0; k < longs.size(); ++k)
        a.items[k + 1] = elem == Type::Real ? Value::Real(longs[k]) : Value::Long(longs[k]);
      return a;
    }
    case Kind::Date: {
      vrx::DateValue d = h.AsDate();
      return Value::MakeDate(Date{d.year, d.month, d.day});
    }
    default:
      return Value();
  }
}

// Makes *slot the empty host value a declared kind starts from, reusing its storage
// where it can.
void MakeEmpty(host::Value* slot, Kind kind) {
  switch (kind) {
    case Kind::Long: case Kind::Integer: case Kind::Time:
      Ensure(slot, kind);
      slot->SetLong(0);
      return;
    case Kind::String: case Kind::Text: case Kind::Blob: case Kind::Picture:
      Ensure(slot, kind);
      slot->SetBytes({});
      return;
    case Kind::LongArray: *slot = host::Value::LongArray({}); return;
    case Kind::Date: *slot = host::Value::Date(0, 0, 0); return;
    default: *slot = host::Value::Long(0); return;
  }
}

// Writes what an output parameter holds after the call straight into the variable, for
// the cases where that needs no conversion a method could see fail; false, with
// nothing changed, for the others.
bool WriteBack(Var& var, Kind kind, const host::Value& h) {
  Value& v = var.v;
  if (var.maxLen != 0) return false;
  switch (kind) {
    case Kind::Long: case Kind::Integer: case Kind::Time:
      switch (v.type) {
        case Type::Undefined:
          v.type = kind == Kind::Time ? Type::Time : Type::Long;
          v.l = h.AsLong();
          return true;
        case Type::Long: case Type::Time: v.l = h.AsLong(); return true;
        case Type::Real: v.r = h.AsLong(); return true;
        default: return false;
      }
    case Kind::String: case Kind::Text:
      if (v.type != Type::Text && v.type != Type::Undefined) return false;
      v.type = Type::Text;
      v.s = h.Bytes();
      return true;
    case Kind::Blob:
      if (v.type != Type::Blob && v.type != Type::Undefined) return false;
      v.type = Type::Blob;
      v.s = h.Bytes();
      return true;
    case Kind::Picture:
      if (v.type != Type::Picture && v.type != Type::Blob && v.type != Type::Undefined) return false;
      if (v.type == Type::Undefined) v.type = Type::Picture;
      v.s = h.Bytes();
      return true;
    default:
      return false;
  }
}

// Copies the outputs of a call back into the variables the method passed.
bool CopyOutputs(Frame& f, const vrx::CommandInfo& c, const Args& a,
                 const std::vector<host::Value>& values) {
  for (size_t i = 0; i < a.size(); ++i) {
    Dir dir = c.params[i].dir;
    const Node& arg = a.node(i);
    if (dir != Dir::Out && dir != Dir::InOut) continue;
    Kind kind = c.params[i].kind;
    if (arg.op == Op::Element) {
      // Elements take what the host returns through the ordinary conversion.
      if (!Assign(f, a[i], FromHost(kind, values[i], nullptr))) return false;
      continue;
    }
    Var* var = FindVar(f, a[i]);
    if (!var) continue;  // an expression passed to an in/out parameter
    if (WriteBack(*var, kind, values[i])) continue;
    const Value* current = var->v.type != Type::Undefined ? &var->v : nullptr;
    Value v = FromHost(kind, values[i], current);
    bool ok = v.type == Type::Array ? AssignWhole(f, a[i], std::move(v)) : Assign(f, a[i], std::move(v));
    if (!ok) return false;
  }
  return true;
}

// Fills the host value of parameter i from its value.
bool Fill(Frame& f, const vrx::CommandInfo& c, size_t i, const Value& v, host::Value* slot) {
  if (c.params[i].dir != Dir::Ignored) return ToHost(f, c, i, v, slot);
  if (!Natural(v, slot)) *slot = host::Value::Long(0);
  return true;
}

[[gnu::noinline]] bool EvalAndFill(Frame& f, const vrx::CommandInfo& c, const Args& a, size_t i,
                                   host::Value* slot) {
  Value v;
  return Eval(f, a[i], &v) && Fill(f, c, i, v, slot);
}

// Fills the host values of a call from its arguments, strictly left to right.
bool FillInputs(Frame& f, const vrx::CommandInfo& c, const Args& a,
                std::vector<host::Value>* values) {
  for (size_t i = 0; i < a.size(); ++i) {
    host::Value* slot = &(*values)[i];
    if (a.star(i)) return Fail(f, ParamLabel(c, i) + ": * is not a value");
    Dir dir = c.params[i].dir;
    Kind kind = c.params[i].kind;
    if (dir == Dir::Out) {
      // The command only writes it; the variable may not exist yet.
      MakeEmpty(slot, kind);
      continue;
    }
    if (dir == Dir::InOut && IsWholeVar(a.node(i)) && !PeekVar(f, a[i])) {
      // An in/out variable that does not exist yet starts empty, as 4D creates it.
      MakeEmpty(slot, kind);
      continue;
    }
    // A literal or a variable is read where it stands; anything else is evaluated into
    // a copy first.
    const Node& arg = a.node(i);
    const Value* v = arg.op == Op::Const ? &f.code->consts[size_t(arg.a)] : PeekVar(f, a[i]);
    if (!(v ? Fill(f, c, i, *v, slot) : EvalAndFill(f, c, a, i, slot))) return false;
  }
  return true;
}

}  // namespace

bool CallPluginCommand(Frame& f, const Node& call, Value* out) {
  const CommandSite& site = f.code->commands[size_t(call.a)];
  const vrx::CommandInfo& c = *site.command;
  *out = Value();
  if (!f.rt->host) return Fail(f, std::string(c.name) + " needs the plug-in, which is not loaded");
  Args a{f.code->args.data() + call.b, size_t(call.argc), f.nodes};
  // The site's values from its last call; empty when they are in use further up.
  std::vector<host::Value>& spare = f.rt->spares[size_t(site.spare)];
  std::vector<host::Value> values = std::move(spare);
  values.resize(a.size());
  if (!FillInputs(f, c, a, &values)) return false;
  if (f.rt->aborting) return false;
  host::Value* params[vrx::kMaxParams] = {};
  for (size_t i = 0; i < a.size(); ++i) params[i] = &values[i];
  host::CallResult r = f.rt->host->Call(c.selector, std::span(params, a.size()));
  bool ok = CopyOutputs(f, c, a, values);
  std::vector<host::Value>& back = f.rt->spares[size_t(site.spare)];
  if (back.empty()) back = std::move(values);
  if (!ok) return false;
  switch (r.kind) {
    case vrx::ResultKind::Long:
    case vrx::ResultKind::Byte:
      *out = Value::Long(r.value);
      break;
    case vrx::ResultKind::Text:
    case vrx::ResultKind::String:
      *out = Value::Text(std::move(r.bytes));
      break;
    case vrx::ResultKind::Blob:
      *out = Value::Blob(std::move(r.bytes));
      break;
    case vrx::ResultKind::None:
      break;
  }
  return !f.rt->aborting;
}

}  // namespace runner
