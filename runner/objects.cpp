// The rules 4D applies to values inside objects and collections: what they become when
// stored, copies, order and equality, property paths, and shared groups.
#include "runner/objects.h"

#include <utility>

#include "platform/services.h"

namespace runner {

bool ToElement(Value v, Value* out) {
  switch (v.type) {
    case Type::Long: *out = Value::Real(v.l); return true;
    case Type::Time: *out = Value::Real(v.l); return true;
    case Type::Array: return false;
    default: *out = std::move(v); return true;
  }
}

namespace {

bool CopyAt(const Value& v, bool shared, SharedGroup* group, int depth, Value* out,
            std::string* error) {
  if (depth > kMaxDepth) {
    *error = "the value is nested too deeply (or contains itself)";
    return false;
  }
  if (const ObjectHeap* o = v.object()) {
    Value copy = Value::NewObject();
    ObjectHeap* c = copy.object();
    c->props.reserve(o->props.size());
    c->cls = o->cls;
    c->native = o->native;
    if (shared) {
      c->group = group;
      ++group->refs;
    }
    for (const auto& [name, item] : o->props) {
      Value x;
      if (!CopyAt(item, shared, group, depth + 1, &x, error)) return false;
      c->Set(name, std::move(x));
    }
    *out = std::move(copy);
    return true;
  }
  if (const CollectionHeap* l = v.collection()) {
    Value copy = Value::NewCollection();
    CollectionHeap* c = copy.collection();
    c->items.reserve(l->items.size());
    if (shared) {
      c->group = group;
      ++group->refs;
    }
    for (const Value& item : l->items) {
      Value x;
      if (!CopyAt(item, shared, group, depth + 1, &x, error)) return false;
      c->items.push_back(std::move(x));
    }
    *out = std::move(copy);
    return true;
  }
  *out = v;
  return true;
}

SharedGroup* GroupOf(const Value& v) {
  if (const ObjectHeap* o = v.object()) return o->group;
  if (const CollectionHeap* c = v.collection()) return c->group;
  return nullptr;
}

// Rank of a type in the order of sort(): null, booleans, texts, numbers, objects,
// collections, dates; anything else after them.
int Rank(const Value& v) {
  switch (v.type) {
    case Type::Null: case Type::Undefined: return 0;
    case Type::Boolean: return 1;
    case Type::Text: return 2;
    case Type::Long: case Type::Real: case Type::Time: return 3;
    case Type::Object: return 4;
    case Type::Collection: return 5;
    case Type::Date: return 6;
    default: return 7;
  }
}

template <typename T>
int Cmp(T x, T y) {
  return x < y ? -1 : x > y ? 1 : 0;
}

}  // namespace

bool DeepCopy(const Value& v, bool shared, Value* out, std::string* error) {
  SharedGroup* group = shared ? new SharedGroup() : nullptr;
  bool ok = CopyAt(v, shared, group, 0, out, error);
  // The copies hold their own references to the group.
  if (group && --group->refs == 0) delete group;
  return ok;
}

int CompareElements(const Value& a, const Value& b) {
  int ra = Rank(a), rb = Rank(b);
  if (ra != rb) return Cmp(ra, rb);
  switch (a.type) {
    case Type::Boolean: return Cmp(a.b, b.b);
    case Type::Text: return CompareText(a.str(), b.str());
    case Type::Long: case Type::Real: case Type::Time:
      return Cmp(a.type == Type::Time ? double(a.l) : a.Number(),
                 b.type == Type::Time ? double(b.l) : b.Number());
    case Type::Date: return Cmp(DateToDays(a.d), DateToDays(b.d));
    default: return 0;  // objects and collections keep their order
  }
}

bool EqualElements(const Value& a, const Value& b, bool wildcard) {
  if (a.numeric() && b.numeric()) return a.Number() == b.Number();
  if (a.type != b.type) {
    return (a.type == Type::Null || a.type == Type::Undefined) &&
           (b.type == Type::Null || b.type == Type::Undefined);
  }
  switch (a.type) {
    case Type::Text:
      if (wildcard && b.str().find('@') != std::string::npos) return MatchWildcard(a.str(), b.str());
      return CompareText(a.str(), b.str()) == 0;
    case Type::Boolean: return a.b == b.b;
    case Type::Time: return a.l == b.l;
    case Type::Date: return DateToDays(a.d) == DateToDays(b.d);
    case Type::Pointer: return a.ptr() == b.ptr();
    case Type::Null: case Type::Undefined: return true;
    case Type::Object: case Type::Collection: return a.SameRef(b);
    default: return a.str() == b.str();
  }
}

const Value* PathPlace(const Value& object, std::string_view path) {
  const Value* at = &object;
  while (true) {
    const ObjectHeap* o = at->object();
    if (!o) return nullptr;
    size_t dot = path.find('.');
    at = o->Find(path.substr(0, dot));
    if (!at || dot == std::string_view::npos) return at;
    path.remove_prefix(dot + 1);
  }
}

Value PathValue(const Value& object, std::string_view path) {
  const Value* at = PathPlace(object, path);
  return at ? *at : Value();
}

void MakeShared(const Value& v) {
  SharedGroup* group = new SharedGroup();
  if (ObjectHeap* o = v.object()) o->group = group;
  else if (CollectionHeap* c = v.collection()) c->group = group;
  else delete group;
}

bool IsShared(const Value& v) { return GroupOf(v) != nullptr; }

bool BeginUse(const Value& v, const void* holder) {
  SharedGroup* g = GroupOf(v);
  if (!g) return true;  // Use on an object that is not shared does nothing
  if (g->uses > 0 && g->holder != holder) return false;
  g->holder = holder;
  ++g->uses;
  return true;
}

void EndUse(const Value& v, const void* holder) {
  SharedGroup* g = GroupOf(v);
  if (!g || g->uses == 0 || g->holder != holder) return;
  if (--g->uses == 0) g->holder = nullptr;
}

bool MayChange(const Value& v, const void* holder) {
  SharedGroup* g = GroupOf(v);
  return !g || (g->uses > 0 && g->holder == holder);
}

namespace {
void Regroup(const Value& v, SharedGroup* from, SharedGroup* to, int depth) {
  if (depth > kMaxDepth) return;
  if (ObjectHeap* o = v.object(); o && o->group == from) {
    o->group = to;
    ++to->refs;
    --from->refs;
    for (const auto& p : o->props) Regroup(p.second, from, to, depth + 1);
  } else if (CollectionHeap* c = v.collection(); c && c->group == from) {
    c->group = to;
    ++to->refs;
    --from->refs;
    for (const Value& item : c->items) Regroup(item, from, to, depth + 1);
  }
}
}  // namespace

// A shared item brings the members of its group into the container's group, so that
// one Use holds them all.
bool AdoptIntoShared(const Value& into, const Value& item, std::string* error) {
  SharedGroup* target = GroupOf(into);
  if (!target) return true;
  if (item.type != Type::Object && item.type != Type::Collection) return true;
  SharedGroup* g = GroupOf(item);
  if (!g) {
    *error = "only shared objects and collections can be put into a shared one";
    return false;
  }
  if (g == target) return true;
  if (g->uses > 0) {
    *error = "a shared object or collection in use cannot be put into another shared one";
    return false;
  }
  ++g->refs;  // keeps it alive while its members leave
  Regroup(item, g, target, 0);
  if (--g->refs == 0) delete g;
  return true;
}

void AppendCodePoint(std::string& to, uint32_t cp) { AppendUtf8(&to, cp); }

}  // namespace runner
