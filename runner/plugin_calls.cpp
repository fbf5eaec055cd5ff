// VRX_ commands from methods: 4D values become host values of the kind the command
// table declares, the host calls the plug-in, and output parameters are copied back
// into the variables the method passed.
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

// A value for a parameter that the command ignores: whatever the method wrote, in the
// nearest host kind.
bool Natural(const Value& v, host::Value* out) {
  switch (v.type) {
    case Type::Long: case Type::Real: *out = host::Value::Long(RealToLong(v.Number())); return true;
    case Type::Boolean: *out = host::Value::Long(v.b ? 1 : 0); return true;
    case Type::Time: *out = host::Value::Time(v.l); return true;
    case Type::Text: *out = host::Value::Text(v.s.substr(0, vrx::kMaxTextLength)); return true;
    case Type::Blob: *out = host::Value::Blob(v.s); return true;
    case Type::Picture: *out = host::Value::Picture(v.s); return true;
    case Type::Date: *out = host::Value::Date(int16_t(v.d.year), int16_t(v.d.month), int16_t(v.d.day)); return true;
    default: return false;
  }
}

bool ToHost(Frame& f, const vrx::CommandInfo& c, size_t i, const Value& v, host::Value* out) {
  Kind kind = c.params[i].kind;
  auto wrong = [&](const char* expected) {
    return Fail(f, ParamLabel(c, i) + " expects " + expected + ", not " + Article(v.type));
  };
  switch (kind) {
    case Kind::Long:
      if (v.numeric()) *out = host::Value::Long(RealToLong(v.Number()));
      else if (v.type == Type::Time) *out = host::Value::Long(v.l);
      else return wrong("a longint");
      return true;
    case Kind::Integer:
      // 4D passes a longint to an integer parameter in its low 16 bits.
      if (v.numeric() || v.type == Type::Time)
        *out = host::Value::Integer(int16_t(uint16_t(uint32_t(v.type == Type::Time ? v.l : RealToLong(v.Number())))));
      else return wrong("an integer");
      return true;
    case Kind::String:
      if (v.type != Type::Text) return wrong("a string");
      *out = host::Value::String(v.s);  // a string holds 255 bytes; 4D cuts longer texts
      return true;
    case Kind::Text:
      if (v.type != Type::Text) return wrong("a text");
      if (v.s.size() > size_t(vrx::kMaxTextLength))
        return Fail(f, ParamLabel(c, i) + ": a text of " + std::to_string(v.s.size()) +
                           " bytes is too long (a text holds at most 32767 bytes)");
      *out = host::Value::Text(v.s);
      return true;
    case Kind::Blob:
      if (v.type != Type::Blob && v.type != Type::Picture) return wrong("a BLOB");
      *out = host::Value::Blob(v.s);
      return true;
    case Kind::Picture:
      if (v.type != Type::Picture && v.type != Type::Blob) return wrong("a picture");
      *out = host::Value::Picture(v.s);
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
      if (v.type == Type::Time) *out = host::Value::Time(v.l);
      else if (v.numeric()) *out = host::Value::Time(RealToLong(v.Number()));
      else return wrong("a time");
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

// The empty host value a declared kind starts from.
host::Value EmptyHost(Kind kind) {
  switch (kind) {
    case Kind::Long: return host::Value::Long(0);
    case Kind::Integer: return host::Value::Integer(0);
    case Kind::String: return host::Value::String("");
    case Kind::Text: return host::Value::Text("");
    case Kind::Blob: return host::Value::Blob("");
    case Kind::Picture: return host::Value::Picture("");
    case Kind::LongArray: return host::Value::LongArray({});
    case Kind::Date: return host::Value::Date(0, 0, 0);
    case Kind::Time: return host::Value::Time(0);
    default: return host::Value::Long(0);
  }
}

}  // namespace

bool CallPluginCommand(Frame& f, const Expr& e, Value* out) {
  const vrx::CommandInfo& c = *e.command;
  *out = Value();
  if (!f.rt->host) return Fail(f, std::string(c.name) + " needs the plug-in, which is not loaded");
  size_t n = e.args.size();
  std::vector<host::Value> values(n);
  std::vector<host::Value*> params(n, nullptr);
  for (size_t i = 0; i < n; ++i) {
    const Expr& arg = e.args[i];
    if (arg.kind == ExprKind::Star) return Fail(f, ParamLabel(c, i) + ": * is not a value");
    Dir dir = c.params[i].dir;
    if (dir == Dir::Out) {
      // The command only writes it; the variable may not exist yet.
      values[i] = EmptyHost(c.params[i].kind);
    } else if (dir == Dir::Ignored) {
      Value v;
      if (!Eval(f, arg, &v)) return false;
      if (!Natural(v, &values[i])) values[i] = host::Value::Long(0);
    } else {
      Value v;
      if (dir == Dir::InOut && (arg.kind == ExprKind::Local || arg.kind == ExprKind::Interprocess ||
                                arg.kind == ExprKind::ProcessVar)) {
        // An in/out variable that does not exist yet starts empty, as 4D creates it.
        Var* var = FindVar(f, arg, false);
        if (!var || var->v.type == Type::Undefined) {
          values[i] = EmptyHost(c.params[i].kind);
          params[i] = &values[i];
          continue;
        }
      }
      if (!Eval(f, arg, &v)) return false;
      if (!ToHost(f, c, i, v, &values[i])) return false;
    }
    params[i] = &values[i];
  }
  if (f.rt->aborting) return false;
  host::CallResult r = f.rt->host->Call(c.selector, params);
  // Other processes may have run during the call: look each variable up afresh.
  for (size_t i = 0; i < n; ++i) {
    Dir dir = c.params[i].dir;
    const Expr& arg = e.args[i];
    if ((dir != Dir::Out && dir != Dir::InOut) ||
        (arg.kind != ExprKind::Element && arg.kind != ExprKind::Local &&
         arg.kind != ExprKind::Interprocess && arg.kind != ExprKind::ProcessVar))
      continue;
    const Value* current = nullptr;
    Value currentCopy;
    if (arg.kind == ExprKind::Element) {
      // Elements take what the host returns through the ordinary conversion.
      if (!Assign(f, arg, FromHost(c.params[i].kind, values[i], nullptr))) return false;
      continue;
    }
    if (Var* var = FindVar(f, arg, false); var && var->v.type != Type::Undefined) {
      currentCopy = var->v;
      current = &currentCopy;
    }
    Value v = FromHost(c.params[i].kind, values[i], current);
    bool ok = v.type == Type::Array ? AssignWhole(f, arg, std::move(v)) : Assign(f, arg, std::move(v));
    if (!ok) return false;
  }
  switch (r.kind) {
    case vrx::ResultKind::Long:
    case vrx::ResultKind::Byte:
      *out = Value::Long(r.value);
      break;
    case vrx::ResultKind::Text:
    case vrx::ResultKind::String:
      *out = Value::Text(r.bytes);
      break;
    case vrx::ResultKind::Blob:
      *out = Value::Blob(r.bytes);
      break;
    case vrx::ResultKind::None:
      break;
  }
  return !f.rt->aborting;
}

}  // namespace runner
