// VRX_ commands from methods: 4D values become host values of the kind the command
// table declares, the host calls the plug-in, and output parameters are copied back
// into the variables the method passed. Each call site keeps its host values from one
// call to the next and refills them in place.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "host/host.h"
#include "platform/services.h"
#include "runner/interp.h"
#include "runner/scalar.h"

namespace runner {

namespace {

using vrx::Dir;
using vrx::Kind;

std::string ParamLabel(const vrx::CommandInfo& c, size_t i) {
  return std::string(c.name) + ": parameter " + std::to_string(i + 1);
}

// Texts are UTF-8 here and Mac Roman to the plug-in. ASCII, the common case, is the same
// in both and is taken as it is, without a copy.
inline bool IsAscii(std::string_view s) { return platform::AsciiPrefix(s) == s.size(); }
// `text` as the plug-in reads it, valid until the next call: a converted text is kept in
// one buffer that every call reuses (a parameter's bytes are copied into its host value
// before the next one is converted).
inline std::string_view ToMacRoman(const std::string& text) {
  if (IsAscii(text)) return text;
  static std::string converted;
  platform::Utf8ToMacRoman(text, &converted);
  return converted;
}

// A text parameter beyond ASCII in Mac Roman. A literal's form is made at the site's
// first call and kept for the next ones; any other text is converted each time.
[[gnu::noinline]] std::string_view ConvertedArg(Frame& f, SiteValues& sv, size_t i, const Value& v) {
  const std::string& text = v.str();
  const std::vector<Value>& consts = f.code->consts;
  std::less<const Value*> before;
  if (before(&v, consts.data()) || !before(&v, consts.data() + consts.size())) return ToMacRoman(text);
  if (sv.converted.size() <= i) sv.converted.resize(sv.values.size());
  SiteValues::Converted& c = sv.converted[i];
  if (&c.from.str() != &text) {
    platform::Utf8ToMacRoman(text, &c.macRoman);
    c.from = v;
  }
  return c.macRoman;
}
// A text parameter's bytes as the plug-in reads them, valid until the next call. A
// literal converted before is known without looking at its bytes.
[[gnu::always_inline]] inline std::string_view MacRomanArg(Frame& f, SiteValues& sv, size_t i, const Value& v) {
  const std::string& text = v.str();
  if (i < sv.converted.size() && &sv.converted[i].from.str() == &text) return sv.converted[i].macRoman;
  if (IsAscii(text)) return text;
  return ConvertedArg(f, sv, i, v);
}

// Makes *slot a host value of `kind`; one that already is keeps its storage.
inline void Ensure(host::Value* slot, Kind kind) {
  if (slot->kind() != kind) *slot = host::Value(kind);
}

// A longint, integer or time parameter written and read where the host value keeps
// it, as the plug-in does.
[[gnu::always_inline]] inline void PutNumber(SiteValues& sv, size_t i, Kind kind, int32_t v) {
  Ensure(&sv.values[i], kind);
  void* p = sv.Slot(i);
  if (kind == Kind::Integer) *static_cast<int16_t*>(p) = int16_t(v);
  else *static_cast<int32_t*>(p) = v;
}
// A date parameter likewise, in the layout the plug-in reads.
[[gnu::always_inline]] inline void PutDate(SiteValues& sv, size_t i, const Date& d) {
  Ensure(&sv.values[i], Kind::Date);
  *static_cast<vrx::DateValue*>(sv.Slot(i)) = {int16_t(d.day), int16_t(d.month), int16_t(d.year)};
}
// A string parameter (a length byte, then up to 255 bytes) likewise.
[[gnu::always_inline]] inline void PutString(SiteValues& sv, size_t i, std::string_view bytes) {
  Ensure(&sv.values[i], Kind::String);
  vrx::PutString(static_cast<uint8_t*>(sv.Slot(i)), bytes.data(), bytes.size());
}

// The type a variable without one takes from a longint, integer or time output.
inline Type NumberType(Kind kind) { return kind == Kind::Time ? Type::Time : Type::Long; }

[[gnu::always_inline]] inline int32_t GetNumber(SiteValues& sv, size_t i) {
  Kind kind = sv.values[i].kind();
  if (kind == Kind::Integer) return *static_cast<const int16_t*>(sv.Slot(i));
  if (kind == Kind::Long || kind == Kind::Time) return *static_cast<const int32_t*>(sv.Slot(i));
  return sv.values[i].AsLong();
}

// A longint as a host takes it: 4D rounds reals. A whole real in range, as a number
// written in a method is, needs no rounding.
inline int32_t AsLong(const Value& v) {
  if (v.type == Type::Time) return v.l;
  if (int32_t whole; WholeNumber(v, &whole)) return whole;
  return RealToLong(v.Number());
}

// A longint array parameter from an array of numbers, straight into the host's block;
// element 0 is not passed. False when there is no memory for them (the command then sees
// an empty array).
[[gnu::noinline]] bool CopyLongs(host::Value* out, const Value& v) {
  const std::vector<Value>& items = v.items();
  const size_t n = items.empty() ? 0 : items.size() - 1;
  Ensure(out, Kind::LongArray);
  std::span<int32_t> to = out->ResizeLongs(n);
  if (to.size() != n) return false;
  const Value* from = items.data() + 1;
  // A longint array's elements are longints: copied without a test that branches.
  bool longs = true;
  for (size_t k = 0; k < n; ++k) {
    longs &= from[k].type == Type::Long;
    to[k] = from[k].l;
  }
  if (!longs)
    for (size_t k = 0; k < n; ++k) to[k] = AsLong(from[k]);
  return true;
}
// The same, where the host value of an input that already holds these elements stays as
// it is; that of an in/out one holds them only until the command writes it.
[[gnu::always_inline]] inline void FillLongs(host::Value* out, const Value& v, uint64_t* synced, bool input) {
  const uint64_t version = v.itemsVersion();
  if (version != 0 && *synced == version && out->kind() == Kind::LongArray) {
    if (!input) *synced = 0;
    return;
  }
  *synced = CopyLongs(out, v) && input ? version : 0;
}

// The parameters most calls pass, filled in place without the general conversion (and
// its frame): numbers into longints and times, dates. False leaves the parameter to
// ToHost, which also reports a value of the wrong kind.
[[gnu::always_inline]] inline bool FillCommon(Frame& f, SiteValues& sv, size_t i, Kind kind, Dir dir,
                                             const Value& v) {
  int32_t whole;
  switch (kind) {
    case Kind::Long: case Kind::Time:
      if (v.type == Type::Time) whole = v.l;
      else if (!WholeNumber(v, &whole)) return false;
      PutNumber(sv, i, kind, whole);
      return true;
    case Kind::Date:
      if (v.type != Type::Date) return false;
      PutDate(sv, i, v.d);
      return true;
    case Kind::String:
      if (v.type != Type::Text) return false;
      PutString(sv, i, MacRomanArg(f, sv, i, v));  // 255 bytes; 4D cuts longer texts
      return true;
    case Kind::LongArray:
      if (v.type != Type::Array || (v.elem != Type::Long && v.elem != Type::Real)) return false;
      FillLongs(&sv.values[i], v, &sv.synced[i], dir == Dir::In);
      return true;
    case Kind::Text: {
      if (v.type != Type::Text) return false;
      std::string_view bytes = MacRomanArg(f, sv, i, v);
      if (bytes.size() > size_t(vrx::kMaxTextLength)) return false;  // ToHost says why
      Ensure(&sv.values[i], kind);
      sv.values[i].SetBytes(bytes);
      return true;
    }
    default:
      return false;
  }
}

// AsLong of a real.
inline int32_t RealAsLong(double r) {
  if (int32_t whole; WholeReal(r, &whole)) return whole;
  return RealToLong(r);
}

// A value for a parameter that the command ignores: whatever the method wrote, in the
// nearest host kind.
bool Natural(const Value& v, host::Value* out) {
  auto fill = [&](Kind kind) {
    Ensure(out, kind);
    if (kind == Kind::Long || kind == Kind::Time) out->SetLong(v.type == Type::Boolean ? v.b : AsLong(v));
    else if (v.type == Type::Text) out->SetBytes(ToMacRoman(v.str()));  // cut at 32767 bytes
    else out->SetBytes(v.str());
    return true;
  };
  switch (v.type) {
    case Type::Long: case Type::Real: case Type::Boolean: return fill(Kind::Long);
    case Type::Time: return fill(Kind::Time);
    case Type::Text: return fill(Kind::Text);
    case Type::Blob: return fill(Kind::Blob);
    case Type::Picture: return fill(Kind::Picture);
    case Type::Date:
      Ensure(out, Kind::Date);
      out->SetDate(int16_t(v.d.year), int16_t(v.d.month), int16_t(v.d.day));
      return true;
    default: return false;
  }
}

// Fills *out with parameter i where FillCommon did not: numbers that need rounding,
// integers, BLOBs, pictures and untyped parameters; reports any value of the wrong kind.
[[gnu::noinline]] bool ToHost(Frame& f, const vrx::CommandInfo& c, size_t i, const Value& v, SiteValues& sv) {
  Kind kind = c.params[i].kind;
  host::Value* out = &sv.values[i];
  auto wrong = [&](const char* expected) {
    return Fail(f, ParamLabel(c, i) + " expects " + expected + ", not " + Article(v.type) +
                       (kind == Kind::Long || kind == Kind::Integer ? NumHint(v.type) : ""));
  };
  switch (kind) {
    case Kind::Long:
      if (!v.numeric() && v.type != Type::Time) return wrong("a longint");
      PutNumber(sv, i, kind, AsLong(v));
      return true;
    case Kind::Integer:
      // 4D passes a longint to an integer parameter in its low 16 bits.
      if (!v.numeric() && v.type != Type::Time) return wrong("an integer");
      PutNumber(sv, i, kind, int16_t(uint16_t(uint32_t(AsLong(v)))));
      return true;
    case Kind::String: return wrong("a string");  // FillCommon took any text
    case Kind::Text: {
      if (v.type != Type::Text) return wrong("a text");
      // FillCommon took any text a text parameter holds.
      return Fail(f, ParamLabel(c, i) + ": a text of " + std::to_string(MacRomanArg(f, sv, i, v).size()) +
                         " bytes is too long (a text holds at most 32767 bytes)");
    }
    case Kind::Blob:
      if (v.type != Type::Blob && v.type != Type::Picture) return wrong("a BLOB");
      Ensure(out, kind);
      out->SetBytes(v.str());
      return true;
    case Kind::Picture:
      if (v.type != Type::Picture && v.type != Type::Blob) return wrong("a picture");
      Ensure(out, kind);
      out->SetBytes(v.str());
      return true;
    case Kind::LongArray: return wrong("a longint array");  // FillCommon took arrays of numbers
    case Kind::Date: return wrong("a date");                  // and dates
    case Kind::Time:
      if (v.type != Type::Time && !v.numeric()) return wrong("a time");
      PutNumber(sv, i, kind, AsLong(v));
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
      return Value::Text(platform::MacRomanToUtf8(h.View()));
    case Kind::Blob:
      return Value::Blob(std::string(h.View()));
    case Kind::Picture:
      return keep == Type::Blob ? Value::Blob(std::string(h.View())) : Value::Picture(std::string(h.View()));
    case Kind::LongArray: {
      std::span<const int32_t> longs = h.LongsView();
      Type elem = current && current->type == Type::Array ? current->elem : Type::Long;
      Value a = Value::Array(elem, longs.size());
      if (current && current->type == Type::Array && !current->items().empty())
        a.itemsMut()[0] = current->items()[0];
      for (size_t k = 0; k < longs.size(); ++k)
        a.itemsMut()[k + 1] = elem == Type::Real ? Value::Real(longs[k]) : Value::Long(longs[k]);
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
[[gnu::always_inline]] inline void MakeEmpty(SiteValues& sv, size_t i, Kind kind) {
  host::Value* slot = &sv.values[i];
  switch (kind) {
    case Kind::Long: case Kind::Integer: case Kind::Time:
      PutNumber(sv, i, kind, 0);
      return;
    case Kind::String:
      PutString(sv, i, {});
      return;
    case Kind::Text: case Kind::Blob: case Kind::Picture:
      Ensure(slot, kind);
      slot->SetBytes({});
      return;
    case Kind::LongArray:
      Ensure(slot, kind);
      slot->SetLongs({});
      sv.synced[i] = 0;
      return;
    case Kind::Date:
      PutDate(sv, i, Date{});
      return;
    default: PutNumber(sv, i, Kind::Long, 0); return;
  }
}

// Gives a text or BLOB value these bytes. Bytes equal to those it holds leave it as it
// is: a command called in a loop often answers what it answered before, and bytes
// shared with other values then stay shared instead of being copied to be overwritten.
inline void PutBytes(Value& v, std::string_view bytes) {
  const std::string& now = v.str();
  if (now.size() == bytes.size() && (bytes.empty() || std::memcmp(now.data(), bytes.data(), bytes.size()) == 0))
    return;
  v.strMut().assign(bytes);
}

// Writes what an output parameter holds after the call straight into the variable, for
// the cases where that needs no conversion a method could see fail; false, with
// nothing changed, for the others.
[[gnu::always_inline]] inline bool WriteBack(Var& var, Kind kind, SiteValues& sv, size_t i) {
  const host::Value& h = sv.values[i];
  Value& v = var.v;
  if (var.maxLen != 0) return false;
  switch (kind) {
    case Kind::Long: case Kind::Integer: case Kind::Time:
      switch (v.type) {
        case Type::Undefined:
          v.type = NumberType(kind);
          v.l = GetNumber(sv, i);
          return true;
        case Type::Long: case Type::Time: v.l = GetNumber(sv, i); return true;
        case Type::Real: v.r = GetNumber(sv, i); return true;
        default: return false;
      }
    case Kind::String: case Kind::Text: {
      if (v.type != Type::Text && v.type != Type::Undefined) return false;
      v.type = Type::Text;
      std::string_view bytes;
      if (h.kind() == Kind::String) {
        const uint8_t* p = static_cast<const uint8_t*>(sv.Slot(i));
        bytes = std::string_view(reinterpret_cast<const char*>(p + 1), p[0]);
      } else {
        bytes = h.View();
      }
      if (!IsAscii(bytes)) platform::MacRomanToUtf8(bytes, &v.strMut());
      else PutBytes(v, bytes);
      return true;
    }
    case Kind::Blob:
      if (v.type != Type::Blob && v.type != Type::Undefined) return false;
      v.type = Type::Blob;
      PutBytes(v, h.View());
      return true;
    case Kind::Picture:
      if (v.type != Type::Picture && v.type != Type::Blob && v.type != Type::Undefined) return false;
      if (v.type == Type::Undefined) v.type = Type::Picture;
      v.strMut().assign(h.View());
      return true;
    case Kind::Date: {
      if (v.type != Type::Date && v.type != Type::Undefined) return false;
      vrx::DateValue d = h.AsDate();
      v.type = Type::Date;
      v.d = Date{d.year, d.month, d.day};
      return true;
    }
    case Kind::LongArray: {
      // An array of numbers takes the elements where they are; element 0 stays.
      if (v.type != Type::Array || (v.elem != Type::Long && v.elem != Type::Real)) return false;
      // Read where the host keeps them: the runner's own allocations move no host block.
      std::span<const int32_t> longs = h.LongsView();
      // Elements equal to the block already are left as they are, and their version
      // with them, so that the next call passes them as they stand: a poll whose states
      // did not change. Elements known as longints since they last matched the block are
      // compared in one go; others element by element.
      SiteValues::Longs& back = sv.longsBack[i];
      const uint64_t version = v.itemsVersion();
      bool same = false;
      if (version != 0 && back.version == version) {
        same = back.longs.size() == longs.size() && std::equal(longs.begin(), longs.end(), back.longs.begin());
      } else if (const std::vector<Value>& now = std::as_const(v).items();
                 v.elem == Type::Long && now.size() == longs.size() + 1) {
        const Value* e = now.data() + 1;
        size_t k = 0;
        while (k < longs.size() && e[k].type == Type::Long && e[k].l == longs[k]) ++k;
        if ((same = k == longs.size())) {
          back.version = version;
          back.longs.assign(longs.begin(), longs.end());
        }
      }
      if (same) {
        sv.synced[i] = version;
        return true;
      }
      std::vector<Value>& items = v.itemsMut();
      if (items.size() != longs.size() + 1) items.resize(longs.size() + 1);
      Value* to = items.data() + 1;
      const Type elem = v.elem;
      // Elements that already hold longints take the new ones where they are (no value
      // made and dropped), without a test that branches; the others go one by one.
      bool whole = false;
      if (elem == Type::Long) {
        whole = true;
        for (size_t k = 0; k < longs.size(); ++k) {
          whole &= to[k].type == Type::Long;
          to[k].l = longs[k];
        }
        // else the loop below makes each element whole again
      }
      if (!whole) {
        for (size_t k = 0; k < longs.size(); ++k) {
          Value& e = to[k];
          if (e.type == elem && elem == Type::Long) e.l = longs[k];
          else if (e.type == elem) e.r = longs[k];
          else e = elem == Type::Real ? Value::Real(longs[k]) : Value::Long(longs[k]);
        }
      }
      sv.synced[i] = back.version = v.itemsVersion();  // the elements are the host's now
      back.longs.assign(longs.begin(), longs.end());
      return true;
    }
    default:
      return false;
  }
}

// An output into a property or an element of an object or collection ($o.name, $c[i]):
// stored as an assignment stores there, converted after the kind the property holds.
[[gnu::noinline]] bool StoreInPath(Frame& f, int32_t node, Kind kind, const host::Value& h) {
  Value current;
  if (!Eval(f, node, &current)) return false;
  bool known = current.type != Type::Undefined && current.type != Type::Null;
  return AssignPath(f, node, FromHost(kind, h, known ? &current : nullptr));
}

// An integer written where its variable stands: the low 16 bits the plug-in wrote, as a
// signed number.
inline void MakeWhole(Var* written) { written->v.l = int16_t(uint16_t(uint32_t(written->v.l))); }

// After output i could not be stored: the integers written in place after it are made
// whole all the same, for an error method that lets the method go on. False.
[[gnu::noinline]] bool AbandonOutputs(const vrx::CommandInfo& c, const Args& a, SiteValues& sv, size_t i) {
  for (size_t j = i + 1; j < a.size(); ++j)
    if (Var* written = sv.direct[j]; written && c.params[j].kind == Kind::Integer) MakeWhole(written);
  return false;
}

// Copies the outputs of a call back into the variables the method passed.
bool CopyOutputs(Frame& f, const vrx::CommandInfo& c, const Args& a, SiteValues& sv) {
  const std::vector<host::Value>& values = sv.values;
  for (size_t i = 0; i < a.size(); ++i) {
    Dir dir = c.params[i].dir;
    const Node& arg = a.node(i);
    if (dir != Dir::Out && dir != Dir::InOut) continue;
    Kind kind = c.params[i].kind;
    if (Var* written = sv.direct[i]) {
      if (kind == Kind::Integer) MakeWhole(written);
      continue;
    }
    const Target& resolved = sv.targets[i];
    Var* var = resolved.var;
    if (!var) {
      // A whole variable, found again at no cost; anything else is an expression.
      if (arg.op == Op::Member || arg.op == Op::Index) [[unlikely]] {
        if (!StoreInPath(f, a[i], kind, values[i])) return AbandonOutputs(c, a, sv, i);
        continue;
      }
      if (!(var = WholeVar(f, arg))) continue;  // an expression: nothing to copy back
    } else if (resolved.isElement) {
      // Elements take what the host returns through the ordinary conversion.
      if (!AssignTarget(f, resolved, FromHost(kind, values[i], nullptr))) return AbandonOutputs(c, a, sv, i);
      continue;
    }
    if (WriteBack(*var, kind, sv, i)) continue;
    const Value* current = var->v.type != Type::Undefined ? &var->v : nullptr;
    if (!AssignTarget(f, Target{var, false, 0, a[i]}, FromHost(kind, values[i], current)))
      return AbandonOutputs(c, a, sv, i);
  }
  return true;
}

// Fills the host value of parameter i from its value.
[[gnu::always_inline]] inline bool Fill(Frame& f, const vrx::CommandInfo& c, size_t i, const Value& v,
                                       SiteValues& sv) {
  const vrx::ParamSpec& p = c.params[i];
  if (p.dir != Dir::Ignored) return FillCommon(f, sv, i, p.kind, p.dir, v) || ToHost(f, c, i, v, sv);
  if (v.numeric() || v.type == Type::Boolean || v.type == Type::Time) {  // Natural's numbers
    PutNumber(sv, i, v.type == Type::Time ? Kind::Time : Kind::Long,
              v.type == Type::Boolean ? v.b : AsLong(v));
    return true;
  }
  if (!Natural(v, &sv.values[i])) sv.values[i] = host::Value::Long(0);
  return true;
}

[[gnu::noinline]] bool EvalAndFill(Frame& f, const vrx::CommandInfo& c, const Args& a, size_t i,
                                   SiteValues& sv) {
  // A number worked out by scalar code goes straight into a longint or time parameter.
  const Node& n = a.node(i);
  const Kind kind = c.params[i].kind;
  if (n.scalar >= 0 && (n.op == Op::Binary || n.op == Op::Negate || n.op == Op::Element) &&
      (kind == Kind::Long || kind == Kind::Time) && c.params[i].dir != Dir::Ignored) {
    Scalar s = RunScalar(f, n.scalar);
    if (s.type == Type::Long || s.type == Type::Real) {
      PutNumber(sv, i, kind, s.type == Type::Long ? s.l : RealAsLong(s.r));
      return true;
    }
  }
  Value v;
  return Eval(f, a[i], &v) && Fill(f, c, i, v, sv);
}

// A longint or time parameter from a local variable and a whole literal under + - *
// (ScalarCode::Whole), in integers, when the variable holds a whole number in the longint
// range: the same number as real arithmetic gives, which is exact here, and past the
// longint range the same rounding. False leaves the argument to EvalAndFill.
[[gnu::always_inline]] inline bool FillWhole(Frame& f, const vrx::CommandInfo& c, const Node& n, size_t i,
                                            SiteValues& sv) {
  const Kind kind = c.params[i].kind;
  if (n.scalar < 0 || (kind != Kind::Long && kind != Kind::Time) || c.params[i].dir == Dir::Ignored) return false;
  const ScalarCode::Whole& w = f.code->scalars[size_t(n.scalar)].whole;
  if (w.bin == Tok::End) return false;
  int32_t whole;  // a For loop's counter is a real when its bounds are literals
  if (!WholeNumber(f.locals[size_t(w.local)].v, &whole)) return false;
  int64_t x = whole, y = w.literal;
  if (w.literalFirst) std::swap(x, y);
  const int64_t r = w.bin == Tok::Plus ? x + y : w.bin == Tok::Minus ? x - y : x * y;
  PutNumber(sv, i, kind, r >= INT32_MIN && r <= INT32_MAX ? int32_t(r) : RealToLong(double(r)));
  return true;
}

bool IsTarget(const Node& n) { return n.op == Op::Element || n.op == Op::Deref || n.op == Op::ParamAt; }

// An output that an element, a pointer or ${n} names: where it goes is worked out now,
// once, and an in/out one is read from there.
[[gnu::noinline]] bool FillTarget(Frame& f, const vrx::CommandInfo& c, const Args& a, size_t i,
                                  SiteValues& sv) {
  Target t;
  if (!ResolveTarget(f, a[i], &t)) return false;
  sv.targets[i] = t;
  Value copy;
  const Value* v = nullptr;
  if (c.params[i].dir == Dir::InOut && !TargetValue(f, t, &copy, &v)) return false;
  if (!v) {
    MakeEmpty(sv, i, c.params[i].kind);
    return true;
  }
  return Fill(f, c, i, *v, sv);
}

// The outputs that may be written where their variable stands: longints, integers and
// times into a whole local or parameter variable ($x, $1: nothing outside this call
// reaches it while the command waits) that no earlier output names, perhaps through a
// pointer or an element. None under a trace, which shows the host values.
uint32_t DirectableOutputs(Frame& f, const vrx::CommandInfo& c, const Args& a) {
  uint32_t mask = 0;
  if (f.rt->trace) return mask;
  for (size_t i = 0; i < a.size(); ++i) {
    const Dir dir = c.params[i].dir;
    const Kind kind = c.params[i].kind;
    const Node& n = a.node(i);
    if (dir != Dir::Out && dir != Dir::InOut) continue;
    if (IsTarget(n)) break;  // may name any variable named after it
    if (kind != Kind::Long && kind != Kind::Integer && kind != Kind::Time) continue;
    if (n.op != Op::Local && n.op != Op::Param) continue;
    bool named = false;
    for (size_t j = 0; j < i; ++j) {
      const Node& m = a.node(j);
      named |= (c.params[j].dir == Dir::Out || c.params[j].dir == Dir::InOut) && m.op == n.op && m.a == n.a;
    }
    if (!named) mask |= 1u << i;
  }
  return mask;
}

// The variable output i is written in, when DirectableOutputs allows it and the variable
// holds a longint or a time, or nothing yet.
[[gnu::always_inline]] inline Var* DirectNumber(Frame& f, size_t i, const Node& arg, const SiteValues& sv) {
  if (!(sv.directable >> i & 1)) return nullptr;
  Var* var = WholeVar(f, arg);
  const Type t = var->v.type;
  if ((t != Type::Long && t != Type::Time && t != Type::Undefined) || var->maxLen != 0) return nullptr;
  return var;
}

// Fills the host values of a call from its arguments, strictly left to right.
bool FillInputs(Frame& f, const vrx::CommandInfo& c, const Args& a, SiteValues& sv) {
  for (size_t i = 0; i < a.size(); ++i) {
    const Node& arg = a.node(i);
    if (arg.op == Op::Star && arg.a == 0) return Fail(f, ParamLabel(c, i) + ": * is not a value");
    Dir dir = c.params[i].dir;
    Kind kind = c.params[i].kind;
    if (dir == Dir::Out || dir == Dir::InOut) {
      sv.targets[i].var = nullptr;
      // The number is set up after every input is read (one may name the same variable).
      if ((sv.direct[i] = DirectNumber(f, i, arg, sv))) continue;
      if (IsTarget(arg)) [[unlikely]] {
        if (!FillTarget(f, c, a, i, sv)) return false;
        continue;
      }
      if (dir == Dir::Out) {
        // The command only writes it; the variable may not exist yet.
        MakeEmpty(sv, i, kind);
        continue;
      }
    }
    // A literal or a variable is read where it stands; anything else is evaluated into
    // a copy first.
    const Value* v = nullptr;
    if (arg.op == Op::Const) v = &f.code->consts[size_t(arg.a)];
    else if (Var* var = WholeVar(f, arg)) v = &var->v;
    if (v && v->type == Type::Undefined && arg.op != Op::Const) {
      // An in/out variable that does not exist yet starts empty, as 4D creates it; an
      // input one is evaluated, which reports it.
      if (dir == Dir::InOut) {
        MakeEmpty(sv, i, kind);
        continue;
      }
      v = nullptr;
    }
    if (v) {
      if (!Fill(f, c, i, *v, sv)) return false;
    } else if (!FillWhole(f, c, arg, i, sv) && !EvalAndFill(f, c, a, i, sv)) {
      return false;
    }
  }
  return true;
}

// Mac Roman bytes as a trace shows a text: quoted, escaped, cut at 60 bytes.
std::string Quoted(std::string_view bytes) {
  std::string s = "\"";
  size_t n = std::min<size_t>(bytes.size(), 60);
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '"' || c == '\\') s += '\\', s += char(c);
    else if (c == '\r') s += "\\r";
    else if (c == '\n') s += "\\n";
    else if (c == '\t') s += "\\t";
    else if (c < 0x20 || c == 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      s += hex;
    } else {
      s += char(c);
    }
  }
  s += '"';
  if (bytes.size() > n) s += "... (" + std::to_string(bytes.size()) + " bytes)";
  return platform::MacRomanToUtf8(s);
}

// A host value as a trace shows it: numbers as numbers, texts quoted and cut, BLOBs by
// size, arrays by their first elements.
std::string Show(const host::Value& v) {
  switch (v.kind()) {
    case Kind::Long: case Kind::Integer: return std::to_string(v.AsLong());
    case Kind::Time: {
      int32_t t = v.AsLong();
      char text[40];
      std::snprintf(text, sizeof text, "?%s%02d:%02d:%02d?", t < 0 ? "-" : "",
                    int(std::abs(int64_t(t)) / 3600), int(std::abs(int64_t(t)) / 60 % 60),
                    int(std::abs(int64_t(t)) % 60));
      return text;
    }
    case Kind::String: case Kind::Text: return Quoted(v.Bytes());
    case Kind::Blob: return "BLOB(" + std::to_string(v.Bytes().size()) + " bytes)";
    case Kind::Picture: return "picture(" + std::to_string(v.Bytes().size()) + " bytes)";
    case Kind::LongArray: {
      std::vector<int32_t> longs = v.Longs();
      std::string s = "[";
      for (size_t i = 0; i < longs.size() && i < 8; ++i) s += (i ? ", " : "") + std::to_string(longs[i]);
      if (longs.size() > 8) s += ", ... " + std::to_string(longs.size()) + " elements";
      return s + "]";
    }
    case Kind::Date: {
      vrx::DateValue d = v.AsDate();
      char text[32];
      std::snprintf(text, sizeof text, "!%04d-%02d-%02d!", d.year, d.month, d.day);
      return text;
    }
    default: return "-";
  }
}

// The line `vrx run --trace` writes for a call: process, method and line, then the
// command with what went in, the result, what came out, and how long it took.
void TraceCall(Frame& f, const vrx::CommandInfo& c, SiteValues& sv, size_t n,
               const std::vector<std::string>& inputs, const host::CallResult& r, double micros) {
  std::string_view bytes =
      sv.into != SiteValues::kNoKept ? std::string_view(sv.kept[sv.into].str()) : sv.resultBytes;
  std::string line = "trace: process " + std::to_string(f.rt->host->CurrentProcess()) + " " +
                     f.method->name + ":" + std::to_string(f.line) +
                     "  " + std::string(c.name) + "(";
  for (size_t i = 0; i < n; ++i) line += (i ? "; " : "") + inputs[i];
  line += ")";
  switch (r.kind) {
    case vrx::ResultKind::Long: case vrx::ResultKind::Byte:
      line += " -> " + std::to_string(r.value);
      break;
    case vrx::ResultKind::Text: case vrx::ResultKind::String:
      line += " -> " + Quoted(platform::Utf8ToMacRoman(bytes));  // the host gave it in UTF-8
      break;
    case vrx::ResultKind::Blob:
      line += " -> BLOB(" + std::to_string(bytes.size()) + " bytes)";
      break;
    case vrx::ResultKind::None: break;
  }
  std::string outs;
  for (size_t i = 0; i < n; ++i)
    if (c.params[i].dir == Dir::Out || c.params[i].dir == Dir::InOut)
      outs += (outs.empty() ? "" : ", ") + ("$" + std::to_string(i + 1)) + "=" + Show(sv.values[i]);
  if (!outs.empty()) line += "  out: " + outs;
  char took[48];
  if (micros < 1000) std::snprintf(took, sizeof took, "  (%.1f us)", micros);
  else std::snprintf(took, sizeof took, "  (%.2f ms)", micros / 1000);
  f.rt->err(line + took);
}

// Results larger than this are not kept for the next call to reuse.
constexpr size_t kKeptBytes = 64 * 1024;

// Where the plug-in's text or BLOB result goes: straight into the storage of the site's
// kept value that no other value shares (the one the last result did not take first: a
// variable holds that last result still, in a loop that keeps what the command answers),
// so that the result is neither copied nor swapped; else into the site's result bytes.
std::string* ResultTarget(SiteValues& sv, vrx::ResultKind kind) {
  sv.into = SiteValues::kNoKept;
  if (kind != vrx::ResultKind::Text && kind != vrx::ResultKind::String && kind != vrx::ResultKind::Blob)
    return &sv.resultBytes;
  for (int turn = 1; turn >= 0; --turn) {
    const uint8_t which = uint8_t(sv.keptLast ^ turn);
    Value& k = sv.kept[which];
    if (!k.Sole()) continue;
    sv.into = which;
    return &k.strMut();
  }
  return &sv.resultBytes;
}

// A text or BLOB result (a text's already in UTF-8; `length` bytes as the plug-in gave
// it) from where ResultTarget put it. A result in the site's result bytes moves into a
// new value that the site keeps in place of one that is shared.
void ResultBytes(SiteValues& sv, Type type, int32_t length, Value* out) {
  if (sv.into != SiteValues::kNoKept) {
    Value& k = sv.kept[sv.into];
    if (length == 0) {
      *out = Value::Empty(type);
      return;
    }
    sv.keptLast = sv.into;
    // A text's storage serves a BLOB as well. Written only when it changes: the copy
    // below reads the type with its neighbours, which would wait for a byte just stored.
    if (k.type != type) k.type = type;
    if (k.str().capacity() <= kKeptBytes) {
      *out = k;
      return;
    }
    *out = std::move(k);
    sv.lastText.clear();
    return;
  }
  std::string& bytes = sv.resultBytes;
  if (length == 0) {
    *out = Value::Empty(type);
    return;
  }
  *out = type == Type::Text ? Value::Text(std::move(bytes)) : Value::Blob(std::move(bytes));
  bytes.clear();
  if (out->str().capacity() > kKeptBytes) {
    sv.lastText.clear();
    return;
  }
  // The older one goes: a value a variable holds for long does not pin both.
  sv.kept[1] = std::move(sv.kept[0]);
  sv.kept[0] = *out;
  sv.keptLast = 0;
}

// A call site's values, taken from the run's cache for one call and given back after it.
// The cache holds them by pointer: taking and giving back moves no value, and each host
// value stays where it is, so its Slot() stays valid. A site whose values are in use
// further up (its command waits and another process calls it) gets values of its own.
class HeldSite {
 public:
  HeldSite(Runtime* rt, int32_t spare) : rt_(rt), spare_(size_t(spare)), sv_(std::move(rt->spares[spare_])) {
    if (!sv_) sv_ = std::make_unique<SiteValues>();
  }
  ~HeldSite() {
    std::unique_ptr<SiteValues>& back = rt_->spares[spare_];
    if (!back) back = std::move(sv_);
  }
  HeldSite(const HeldSite&) = delete;
  HeldSite& operator=(const HeldSite&) = delete;
  SiteValues& operator*() const { return *sv_; }

 private:
  Runtime* rt_;
  size_t spare_;
  std::unique_ptr<SiteValues> sv_;
};

// Copies the outputs back and sets the result.
[[gnu::always_inline]] inline bool FinishCall(Frame& f, const CommandSite& site, const Args& a,
                                              SiteValues& sv, const host::CallResult& r, Value* out) {
  const vrx::CommandInfo& c = *site.command;
  bool ok = CopyOutputs(f, c, a, sv);
  if (ok) {
    switch (r.kind) {
      case vrx::ResultKind::Long:
      case vrx::ResultKind::Byte:
        *out = Value::Long(r.value);
        break;
      case vrx::ResultKind::Text:
      case vrx::ResultKind::String:
        if (r.same) *out = sv.kept[sv.keptLast];
        else ResultBytes(sv, Type::Text, r.length, out);
        break;
      case vrx::ResultKind::Blob:
        ResultBytes(sv, Type::Blob, r.length, out);
        break;
      case vrx::ResultKind::None:
        *out = Value();
        break;
    }
  }
  return ok && !f.rt->aborting;
}

}  // namespace

bool CallPluginCommand(Frame& f, const Node& call, Value* out) {
  const CommandSite& site = f.code->commands[size_t(call.a)];
  const vrx::CommandInfo& c = *site.command;
  if (!f.rt->host) return Fail(f, std::string(c.name) + " needs the plug-in, which is not loaded");
  Args a{f.code->args.data() + call.b, size_t(call.argc), f.nodes};
  HeldSite held(f.rt, site.spare);
  SiteValues& sv = *held;
  if (sv.Resize(a.size())) sv.directable = DirectableOutputs(f, c, a);
  if (!FillInputs(f, c, a, sv)) return false;
  if (f.rt->aborting) return false;
  static_assert(vrx::kMaxParams <= vrx::kParamSlots);
  void* slots[vrx::kParamSlots] = {};
  for (size_t i = 0; i < a.size(); ++i) {
    // An output starts at 0, as the host value it stands for would; a variable that did
    // not exist takes the type the copy back would give it.
    if (Var* var = sv.direct[i]) {
      Value& v = var->v;
      if (v.type == Type::Undefined || c.params[i].dir == Dir::Out) v.l = 0;
      if (v.type == Type::Undefined) v.type = NumberType(c.params[i].kind);
      slots[i] = &v.l;
      continue;
    }
    slots[i] = sv.Slot(i);
  }
  if (f.rt->trace) [[unlikely]] {
    std::vector<std::string> inputs;
    for (size_t i = 0; i < a.size(); ++i)
      inputs.push_back(c.params[i].dir == Dir::Out ? "->" : Show(sv.values[i]));
    auto start = std::chrono::steady_clock::now();
    host::CallResult r = f.rt->host->CallSlots(c, slots, ResultTarget(sv, c.result), host::Host::Texts::Utf8);
    std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    TraceCall(f, c, sv, a.size(), inputs, r, took.count());
    return FinishCall(f, site, a, sv, r, out);
  }
  const bool text = c.result == vrx::ResultKind::Text || c.result == vrx::ResultKind::String;
  host::CallResult r = f.rt->host->CallSlots(c, slots, ResultTarget(sv, c.result), host::Host::Texts::Utf8,
                                             text ? &sv.lastText : nullptr);
  return FinishCall(f, site, a, sv, r, out);
}

}  // namespace runner
