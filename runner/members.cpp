// The modern parts of the language on the evaluator's side: properties and elements of
// objects and collections ($o.a.b, $c[i]) read and stored at any depth, member calls,
// object and collection literals, && || and ?: with 4D's truthy and falsy values, Null
// in comparisons, var declarations, For each, Use, and break/continue/return.
#include <algorithm>

#include "runner/classes.h"
#include "runner/interp.h"
#include "runner/objects.h"

namespace runner {

namespace {

const std::string& ConstText(const Frame& f, int32_t index) { return f.code->consts[size_t(index)].str(); }
// The interned name of a Member node's property (Code::names), or null.
const Name* InternedName(const Frame& f, int32_t index) {
  return size_t(index) < f.code->names.size() ? &f.code->names[size_t(index)] : nullptr;
}

bool Nullish(const Value& v) {
  return v.type == Type::Undefined || v.type == Type::Null ||
         (v.type == Type::Object && !v.object()) || (v.type == Type::Collection && !v.collection());
}

// Stores v into an object or collection: the form 4D keeps there, and the shared rules.
bool PrepareElement(Frame& f, const Value& container, Value v, Value* out) {
  if (!MayChange(container, f.proc))
    return Fail(f, "a shared object or collection can only be changed inside Use ... End use");
  if (!ToElement(std::move(v), out)) return Fail(f, "an array cannot be put into an object or a collection");
  std::string error;
  if (!AdoptIntoShared(container, *out, &error)) return Fail(f, error);
  return true;
}

bool CollectionIndex(Frame& f, int32_t node, int32_t* out) {
  return EvalLong(f, node, out, "the collection index");
}

// var and #DECLARE: the first argument is the type, the others the variables.
bool DeclareVars(Frame& f, const Args& a, Value*) {
  Type type = Type(f.code->consts[size_t(a.node(0).a)].l);
  for (size_t i = 1; i < a.size(); ++i)
    if (!Declare(f, a[i], type, 0)) return false;
  return true;
}

constexpr BuiltinInfo kDeclaration{"var", 0, 1, -1, false, "e", DeclareVars, false};


// 4D's falsy values: false, 0, "", the null date, Null, undefined, null objects,
// collections, pictures, BLOBs and pointers; everything else is truthy.
bool Truthy(const Value& v) {
  switch (v.type) {
    case Type::Boolean: return v.b;
    case Type::Long: case Type::Time: return v.l != 0;
    case Type::Real: return v.r != 0;
    case Type::Text: case Type::Blob: case Type::Picture: return !v.str().empty();
    case Type::Date: return v.d.year != 0;
    case Type::Pointer: return v.ptr().kind != PointerKind::Nil;
    case Type::Object: return v.object() != nullptr;
    case Type::Collection: return v.collection() != nullptr;
    case Type::Array: return true;
    default: return false;
  }
}

// The collection or object a property or element path must store into: missing steps
// of the path become new objects, as 4D creates them.
bool ContainerFor(Frame& f, int32_t node, Value* out) {
  if (!Eval(f, node, out)) return false;
  Op op = f.node(node).op;
  if ((op == Op::Member || op == Op::Index) && (out->type == Type::Undefined || out->type == Type::Null)) {
    *out = Value::NewObject();
    return AssignPath(f, node, *out);
  }
  return true;
}

}  // namespace

const BuiltinInfo& DeclarationBuiltin() { return kDeclaration; }

namespace {

const Value kNothing;  // what a missing property reads as

// The property `name` of base in place (*out), or its value in *copy (a collection's
// length, nothing for a property of nothing).
bool MemberPlace(Frame& f, const Value& base, const std::string& name, Value* copy,
                 const Value** out, const Name* interned = nullptr) {
  if (const ObjectHeap* o = base.object()) {
    if (o->cls) [[unlikely]] {  // an instance of a class: computed properties, functions
      bool handled;
      if (!GetComputed(f, base, name, copy, &handled)) return false;
      if (handled) {
        *out = copy;
        return true;
      }
    }
    const Value* p = interned ? const_cast<ObjectHeap*>(o)->Find(*interned) : o->Find(name);
    *out = p ? p : &kNothing;
    return true;
  }
  *out = copy;
  if (base.type == Type::Collection) {
    if (!base.collection()) {
      if (name == "length") return Fail(f, "the collection is null: it has no length");
      *copy = Value();
    } else {
      *copy = name == "length" ? Value::Long(int32_t(base.collection()->items.size())) : Value();
    }
    return true;
  }
  // A property of nothing is nothing: $o.a.b when $o.a does not exist.
  if (Nullish(base)) {
    *copy = Value();
    return true;
  }
  return Fail(f, "cannot read the property \"" + name + "\" of " + Article(base.type));
}

bool IndexOutOfRange(Frame& f, int32_t i) {
  return Fail(f, "the collection index " + std::to_string(i) + " is out of range");
}

// $t[[i]] reads as $t indexed by the collection [i]: on a text it is character i
// (1-based, in UTF-16 units). The node of i, or -1 when n is no such reference.
int32_t CharacterIndex(Frame& f, const Node& n) {
  const Node& lit = f.node(n.b);
  return lit.op == Op::CollectionLit && lit.argc == 1 ? f.code->args[size_t(lit.b)] : -1;
}

// The byte range of character i of t; false, with the error reported, out of range.
bool CharacterRange(Frame& f, const std::string& t, int32_t index, size_t* from, size_t* to) {
  int32_t i;
  if (!EvalLong(f, index, &i, "the character index")) return false;
  size_t len = TextLength(t);
  if (i < 1 || size_t(i) > len)
    return Fail(f, "the character index " + std::to_string(i) + " is out of range (1 to " + std::to_string(len) + ")");
  *from = UnitsToBytes(t, size_t(i) - 1);
  *to = *from + UnitsToBytes(std::string_view(t).substr(*from), 1);
  return true;
}

// base[n.b]: an element of a collection, a property of an object, a character of a text.
bool IndexOf(Frame& f, const Node& n, const Value& base, Value* out) {
  if (int32_t ci; base.type == Type::Text && (ci = CharacterIndex(f, n)) >= 0) {
    size_t from, to;
    if (!CharacterRange(f, base.str(), ci, &from, &to)) return false;
    *out = Value::Text(base.str().substr(from, to - from));
    return true;
  }
  if (const CollectionHeap* c = base.collection()) {
    int32_t i;
    if (!CollectionIndex(f, n.b, &i)) return false;
    if (i < 0 || size_t(i) >= c->items.size()) return IndexOutOfRange(f, i);
    *out = c->items[size_t(i)];
    return true;
  }
  if (base.type == Type::Object || Nullish(base)) {
    std::string name;
    if (!EvalText(f, n.b, &name, "the property name")) return false;
    return MemberOf(f, base, name, out);
  }
  return Fail(f, "[ ] reads collections and objects, not " + Article(base.type));
}

// Variables and property paths on them ($o.a.b, $c[$i].a) are read in place: a loop over
// a collection of objects copies no value on the way to the one it wants. *out points
// into a variable, into an object or collection that one keeps alive, or at *copy; an
// element is read in place only when its index runs no code that could change them.
bool PeekValue(Frame& f, int32_t node, Value* copy, const Value** out) {
  const Node& n = f.node(node);
  if (IsWholeVar(n)) {
    if (const Value& v = Slot(f, n).v; v.type != Type::Undefined) {
      *out = &v;
      return true;
    }
  } else if (n.op == Op::Member) {
    const Value* base;
    return PeekValue(f, n.a, copy, &base) &&
           MemberPlace(f, *base, ConstText(f, n.b), copy, out, InternedName(f, n.b));
  } else if (n.op == Op::Index && f.node(n.b).pure) {
    const Value* base;
    if (!PeekValue(f, n.a, copy, &base)) return false;
    if (const CollectionHeap* c = base->collection()) {
      int32_t i;
      if (!CollectionIndex(f, n.b, &i)) return false;
      if (i < 0 || size_t(i) >= c->items.size()) return IndexOutOfRange(f, i);
      *out = &c->items[size_t(i)];
      return true;
    }
    Value held = *base;  // *copy may keep it alive
    *out = copy;
    return IndexOf(f, n, held, copy);
  }
  *out = copy;
  return Eval(f, node, copy);
}

}  // namespace

bool MemberOf(Frame& f, const Value& base, const std::string& name, Value* out) {
  const Value* at;
  if (!MemberPlace(f, base, name, out, &at)) return false;
  if (at != out) *out = *at;
  return true;
}

bool EvalMember(Frame& f, const Node& n, Value* out) {
  // The common $o.name, without a step on the way.
  const Name* interned = InternedName(f, n.b);
  if (const Node& b = f.node(n.a); IsWholeVar(b)) {
    if (ObjectHeap* o = Slot(f, b).v.object(); o && !o->cls) {
      if (const Value* p = interned ? o->Find(*interned) : o->Find(ConstText(f, n.b))) *out = *p;
      else *out = Value();
      return true;
    }
  }
  Value copy;
  const Value* base;
  if (!PeekValue(f, n.a, &copy, &base)) return false;
  const Value* at;
  if (!MemberPlace(f, *base, ConstText(f, n.b), out, &at, interned)) return false;
  if (at != out) *out = *at;
  return true;
}

bool EvalIndex(Frame& f, const Node& n, Value* out) {
  Value copy;
  const Value* base;
  return PeekValue(f, n.a, &copy, &base) && IndexOf(f, n, *base, out);
}

bool AssignPath(Frame& f, int32_t target, Value v) {
  const Node& n = f.node(target);
  // The common $o.name := v, without a copy of $o.
  if (const Node& b = f.node(n.a); n.op == Op::Member && IsWholeVar(b)) {
    const Value& object = Slot(f, b).v;
    if (ObjectHeap* o = object.object(); o && !o->cls) {  // no setter to run
      Value e;
      if (!PrepareElement(f, object, std::move(v), &e)) return false;
      o->Set(ConstText(f, n.b), std::move(e));
      return true;
    }
  }
  Value container;
  if (!ContainerFor(f, n.a, &container)) return false;
  if (int32_t ci; n.op == Op::Index && container.type == Type::Text && (ci = CharacterIndex(f, n)) >= 0) {
    if (v.type != Type::Text || TextLength(v.str()) != 1)
      return Fail(f, "a character reference takes one character, not " +
                         (v.type == Type::Text ? "\"" + v.str() + "\"" : Article(v.type)));
    size_t from, to;
    if (!CharacterRange(f, container.str(), ci, &from, &to)) return false;
    std::string t = container.str();
    t.replace(from, to - from, v.str());
    return Assign(f, n.a, Value::Text(std::move(t)));
  }
  if (n.op == Op::Index && container.type == Type::Collection) {
    CollectionHeap* c = container.collection();
    if (!c) return Fail(f, "the collection is null");
    int32_t i;
    if (!CollectionIndex(f, n.b, &i)) return false;
    if (i < 0) return Fail(f, "the collection index " + std::to_string(i) + " is out of range");
    if (size_t(i) >= f.rt->maxArray) return Fail(f, "the collection would be too large");
    Value e;
    if (!PrepareElement(f, container, std::move(v), &e)) return false;
    // Storing past the end makes the collection longer, filling the gap with null.
    if (size_t(i) >= c->items.size()) c->items.resize(size_t(i) + 1, Value::Null());
    c->items[size_t(i)] = std::move(e);
    return true;
  }
  std::string named;  // a name [in brackets] computes
  const std::string& name = n.op == Op::Member ? ConstText(f, n.b) : named;
  if (n.op != Op::Member && !EvalText(f, n.b, &named, "the property name")) return false;
  ObjectHeap* o = container.object();
  if (!o) {
    if (container.type == Type::Object || container.type == Type::Undefined || container.type == Type::Null)
      return Fail(f, "the object is null: create it ({} or New object) before setting \"" + name + "\"");
    return Fail(f, "cannot set the property \"" + name + "\" of " + Article(container.type));
  }
  if (o->cls) [[unlikely]] {  // a computed property's setter takes the value
    bool handled;
    if (!SetComputed(f, container, name, v, &handled)) return false;
    if (handled) return true;
  }
  Value e;
  if (!PrepareElement(f, container, std::move(v), &e)) return false;
  o->Set(name, std::move(e));
  return true;
}

bool EvalMemberCall(Frame& f, const Node& n, Value* out) {
  int32_t receiver = f.code->args[size_t(n.b)];
  bool super = IsSuperCall(f, receiver);
  Value self;
  if (!super && !Eval(f, receiver, &self)) return false;
  int32_t first = 1;  // the first argument
  std::string computed;
  if (n.a == kComputedMember) {
    Value key;
    if (!Eval(f, f.code->args[size_t(n.b + 1)], &key)) return false;
    if (key.type != Type::Text) return Fail(f, "the name of the function to call must be a text, not " + Article(key.type));
    computed = key.str();
    first = 2;
  }
  const std::string& name = n.a == kComputedMember ? computed : ConstText(f, n.a);
  std::vector<Value> args(size_t(n.argc - first));
  for (int32_t k = first; k < n.argc; ++k)
    if (!Eval(f, f.code->args[size_t(n.b + k)], &args[size_t(k - first)])) return false;
  if (super) return CallSuper(f, name, args, out);
  if (self.type == Type::Object) return CallObjectMember(f, self, name, args, out);
  if (self.type == Type::Collection) {
    if (!self.collection()) return Fail(f, "the collection is null: ." + name + "() cannot be called");
    const CollectionFunction* fn = FindCollectionFunction(name);
    if (!fn) return Fail(f, "collections have no function ." + name + "()");
    CollectionCall call;
    call.holder = f.proc;
    call.call = [&f](const Value& formula, std::vector<Value>& params) {
      return CallCollectionFormula(f, formula, params);
    };
    if (!CallCollectionFunction(call, *fn, self, args, out)) return Fail(f, "." + name + "(): " + call.error);
    return true;
  }
  return Fail(f, "." + name + "() is not a function of " + Article(self.type));
}

bool EvalObjectLit(Frame& f, const Node& n, Value* out) {
  Value o = Value::NewObject();
  o.object()->props.reserve(size_t(n.argc / 2));
  for (int32_t k = 0; k + 1 < n.argc; k += 2) {
    const Node& name = f.node(f.code->args[size_t(n.b + k)]);
    Value v, e;
    if (!Eval(f, f.code->args[size_t(n.b + k + 1)], &v)) return false;
    if (!ToElement(std::move(v), &e)) return Fail(f, "an array cannot be put into an object");
    o.object()->Set(ConstText(f, name.a), std::move(e));
  }
  *out = std::move(o);
  return true;
}

bool EvalCollectionLit(Frame& f, const Node& n, Value* out) {
  Value c = Value::NewCollection();
  std::vector<Value>& items = c.collection()->items;
  items.resize(size_t(n.argc));
  for (int32_t k = 0; k < n.argc; ++k) {
    Value v;
    if (!Eval(f, f.code->args[size_t(n.b + k)], &v)) return false;
    if (!ToElement(std::move(v), &items[size_t(k)])) return Fail(f, "an array cannot be put into a collection");
  }
  *out = std::move(c);
  return true;
}

// a && b: a when it is falsy, else b; a || b: a when it is truthy, else b. b is only
// evaluated when it gives the result.
bool EvalLogic(Frame& f, const Node& n, Value* out) {
  if (!Eval(f, n.a, out)) return false;
  if (Truthy(*out) == (n.bin == Tok::OrOr)) return true;
  return Eval(f, n.b, out);
}

bool EvalTernary(Frame& f, const Node& n, Value* out) {
  Value c;
  if (!Eval(f, f.code->args[size_t(n.b)], &c)) return false;
  return Eval(f, f.code->args[size_t(n.b + (Truthy(c) ? 1 : 2))], out);
}

bool CompareReferences(Frame& f, Tok op, const Value& a, const Value& b, Value* out) {
  if (op != Tok::Eq && op != Tok::Hash)
    return Fail(f, std::string("the operator ") + OpName(op) + " does not apply to " + Article(a.type) +
                       " and " + Article(b.type));
  bool equal;
  if (Nullish(a) || Nullish(b)) equal = Nullish(a) && Nullish(b);  // undefined = Null
  else if (a.type != b.type) equal = false;
  else if (a.type == Type::Object) equal = a.object() == b.object();
  else equal = a.collection() == b.collection();
  *out = Value::Bool(equal == (op == Tok::Eq));
  return true;
}

// ---- statements -----------------------------------------------------------------------

namespace {

// The While (before each turn) or Until (after it) clauses of For each.
bool ForEachStops(Frame& f, const CStmt& s, bool after, bool* stop) {
  for (auto [cond, until] : {std::pair(s.cond, s.condUntil), std::pair(s.endCond, s.endUntil)}) {
    if (cond < 0 || until != after) continue;
    bool c;
    if (!EvalBool(f, cond, &c, "the condition")) return false;
    if (c == until) *stop = true;
  }
  return true;
}

// begin and end of For each: from the end when negative, within [0, n].
bool ForEachBounds(Frame& f, const CStmt& s, size_t n, size_t* begin, size_t* end) {
  int32_t b = 0, e = int32_t(n);
  if (s.to >= 0 && !EvalLong(f, s.to, &b, "the beginning of For each")) return false;
  if (s.step >= 0 && !EvalLong(f, s.step, &e, "the end of For each")) return false;
  auto clamp = [n](int64_t i) { return size_t(std::clamp<int64_t>(i < 0 ? i + int64_t(n) : i, 0, int64_t(n))); };
  *begin = clamp(b);
  *end = clamp(e);
  return true;
}

}  // namespace

bool StartForEach(Frame& f, const CStmt& s, Value* items, size_t* begin, size_t* end) {
  Value source;
  if (!Eval(f, s.expr, &source)) return false;
  if (const ObjectHeap* o = source.object()) {
    // An object's property names, as they were when the loop began.
    *items = Value::NewCollection();
    std::vector<Value>& names = items->collection()->items;
    names.reserve(o->props.size());
    for (const auto& [name, value] : o->props) names.push_back(Value::Text(name));
  } else if (Nullish(source)) {
    *items = Value();  // nothing to go through
    return true;
  } else if (source.type != Type::Collection) {
    return Fail(f, "For each goes through a collection or an object, not " + Article(source.type));
  } else {
    *items = std::move(source);
  }
  return ForEachBounds(f, s, items->collection()->items.size(), begin, end);
}

// For each (item; collection or object [; begin [; end]]) body End for each
bool ExecForEach(Frame& f, const CStmt& s) {
  Value source;
  size_t begin, end;
  if (!StartForEach(f, s, &source, &begin, &end)) return false;
  const CollectionHeap* c = source.collection();
  if (!c) return true;
  for (size_t i = begin; i < end; ++i) {
    // The body may shorten the collection it goes through.
    if (i >= c->items.size()) break;
    bool stop = false;
    if (!ForEachStops(f, s, false, &stop)) return false;
    if (stop) break;
    f.line = s.line;
    if (!Assign(f, s.target, c->items[i])) return false;
    if (!LoopBody(f, s.body, &stop)) return false;
    if (stop) break;
    f.line = s.line;
    if (!ForEachStops(f, s, true, &stop)) return false;
    if (stop) break;
  }
  return true;
}

// Use (shared) body End use: the process holds the shared object's group meanwhile.
bool ExecUse(Frame& f, const CStmt& s) {
  Value v;
  if (!Eval(f, s.expr, &v)) return false;
  if ((v.type != Type::Object && v.type != Type::Collection) || Nullish(v))
    return Fail(f, "Use needs a shared object or collection, not " + Article(v.type));
  if (!IsShared(v)) return Fail(f, "Use needs a shared object or collection: this one is not shared");
  while (!BeginUse(v, f.proc)) {
    // Another process holds it: it runs until it lets go.
    if (!f.rt->host) return Fail(f, "the shared object is held by another process");
    f.rt->host->Yield();
    if (f.rt->aborting) return false;
  }
  bool ok = ExecBlock(f, s.body);
  EndUse(v, f.proc);
  return ok;
}

bool ExecJump(Frame& f, const CStmt& s) {
  if (s.kind == StmtKind::Return) {
    if (s.expr >= 0) {
      Value v;
      if (!Eval(f, s.expr, &v) || !Assign(f, s.target, std::move(v))) return false;
    }
    f.jump = Frame::Jump::Return;
  } else {
    f.jump = s.kind == StmtKind::Break ? Frame::Jump::Break : Frame::Jump::Continue;
  }
  return false;
}

}  // namespace runner
