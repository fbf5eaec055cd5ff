// The commands of objects, collections and JSON: New object, OB Get, JSON Parse,
// COLLECTION TO ARRAY, Split string... One function per command, the table at the end.
#include <cmath>

#include "runner/interp.h"
#include "runner/objects.h"

namespace runner {

namespace {

// Value type and OB Get type give these numbers (4D's "Is ..." constants).
constexpr int32_t kIsReal = 1, kIsText = 2, kIsPicture = 3, kIsDate = 4, kIsUndefined = 5,
                  kIsBoolean = 6, kIsLongint = 9, kIsTime = 11, kIsPointer = 23, kIsBlob = 30,
                  kIsObject = 38, kIsCollection = 42, kIsNull = 255;
// Options of Split string and OB Copy.
constexpr int32_t kSkIgnoreEmpty = 1, kSkTrimSpaces = 2;
constexpr int32_t kCkShared = 8;

}  // namespace

int32_t TypeNumber(const Value& v) {
  switch (v.type) {
    case Type::Undefined: return kIsUndefined;
    case Type::Long: return kIsLongint;
    case Type::Real: return kIsReal;
    case Type::Boolean: return kIsBoolean;
    case Type::Text: return kIsText;
    case Type::Blob: return kIsBlob;
    case Type::Picture: return kIsPicture;
    case Type::Date: return kIsDate;
    case Type::Time: return kIsTime;
    case Type::Pointer: return kIsPointer;
    case Type::Null: return kIsNull;
    case Type::Object: return kIsObject;
    case Type::Collection: return kIsCollection;
    case Type::Array: return kIsUndefined;  // arrays have their own type numbers (Type)
  }
  return kIsUndefined;
}

namespace {

// An argument that must be an object; `create`: an undefined variable becomes a new one.
bool ObjectArg(Frame& f, const Args& a, size_t i, const char* cmd, bool create, Value* out) {
  if (create) {
    Var* var = IsWholeVar(a.node(i)) ? FindVar(f, a[i]) : nullptr;
    if (var && (var->v.type == Type::Undefined || var->v.type == Type::Null ||
                (var->v.type == Type::Object && !var->v.object())))
      var->v = Value::NewObject();
  }
  if (!Eval(f, a[i], out)) return false;
  if (!out->object())
    return Fail(f, std::string(cmd) + ": the parameter must be an object, not " + Article(out->type));
  return true;
}

bool Changeable(Frame& f, const Value& v, const char* cmd) {
  if (MayChange(v, f.proc)) return true;
  return Fail(f, std::string(cmd) + ": a shared object can only be changed inside Use");
}

// Stores v under `name` in o, as OB SET and New object do.
bool SetProperty(Frame& f, const Value& o, const std::string& name, Value v, const char* cmd) {
  Value e;
  if (!ToElement(std::move(v), &e)) return Fail(f, std::string(cmd) + ": an array cannot be a property (use OB SET ARRAY)");
  std::string error;
  if (!AdoptIntoShared(o, e, &error)) return Fail(f, std::string(cmd) + ": " + error);
  o.object()->Set(name, std::move(e));
  return true;
}

bool NewObjectOf(Frame& f, const Args& a, Value* out, bool shared, const char* cmd) {
  if (a.size() % 2 != 0) return Fail(f, std::string(cmd) + ": each property name needs a value");
  Value o = Value::NewObject();
  o.object()->props.reserve(a.size() / 2);
  if (shared) MakeShared(o);
  for (size_t i = 0; i < a.size(); i += 2) {
    std::string name;
    Value v;
    if (!EvalText(f, a[i], &name, std::string(cmd) + ": the property name") || !Eval(f, a[i + 1], &v) ||
        !SetProperty(f, o, name, std::move(v), cmd))
      return false;
  }
  *out = std::move(o);
  return true;
}
bool NewObject(Frame& f, const Args& a, Value* out) { return NewObjectOf(f, a, out, false, "New object"); }
bool NewSharedObject(Frame& f, const Args& a, Value* out) {
  return NewObjectOf(f, a, out, true, "New shared object");
}

// Storage: one shared object for every process of the run, changed inside Use (Storage).
bool StorageFn(Frame& f, const Args&, Value* out) {
  Value& storage = f.rt->storage;
  if (storage.type != Type::Object) {
    storage = Value::NewObject();
    MakeShared(storage);
  }
  *out = storage;
  return true;
}

bool NewCollectionOf(Frame& f, const Args& a, Value* out, bool shared, const char* cmd) {
  Value c = Value::NewCollection();
  if (shared) MakeShared(c);
  for (size_t i = 0; i < a.size(); ++i) {
    Value v, e;
    if (!Eval(f, a[i], &v)) return false;
    if (!ToElement(std::move(v), &e)) return Fail(f, std::string(cmd) + ": an array cannot be an element");
    std::string error;
    if (!AdoptIntoShared(c, e, &error)) return Fail(f, std::string(cmd) + ": " + error);
    c.collection()->items.push_back(std::move(e));
  }
  *out = std::move(c);
  return true;
}
bool NewCollection(Frame& f, const Args& a, Value* out) {
  return NewCollectionOf(f, a, out, false, "New collection");
}
bool NewSharedCollection(Frame& f, const Args& a, Value* out) {
  return NewCollectionOf(f, a, out, true, "New shared collection");
}

// v converted to a type given by its "Is ..." number, as OB Get and JSON Parse do.
bool ToTypeNumber(Frame& f, Value v, int32_t type, Value* out, const char* cmd) {
  auto bad = [&] {
    return Fail(f, std::string(cmd) + ": cannot convert " + Article(v.type) + " to type " + std::to_string(type));
  };
  switch (type) {
    case kIsText:
      *out = v.type == Type::Null || v.type == Type::Undefined ? Value::Text("") : Value::Text(ToText(v));
      return true;
    case kIsReal:
      if (v.type == Type::Text) *out = Value::Real(TextToNumber(v.str()));
      else if (v.type == Type::Boolean) *out = Value::Real(v.b);
      else if (v.numeric()) *out = Value::Real(v.Number());
      else if (v.type == Type::Null || v.type == Type::Undefined) *out = Value::Real(0);
      else return bad();
      return true;
    case kIsLongint: case 8:  // Is integer
      if (v.type == Type::Text) *out = Value::Long(RealToLong(TextToNumber(v.str())));
      else if (v.type == Type::Boolean) *out = Value::Long(v.b);
      else if (v.numeric()) *out = Value::Long(RealToLong(v.Number()));
      else if (v.type == Type::Null || v.type == Type::Undefined) *out = Value::Long(0);
      else return bad();
      return true;
    case kIsTime:
      if (v.numeric()) *out = Value::Time(RealToLong(v.Number()));
      else if (v.type == Type::Null || v.type == Type::Undefined) *out = Value::Time(0);
      else return bad();
      return true;
    case kIsBoolean:
      if (v.type == Type::Boolean) *out = v;
      else if (v.numeric()) *out = Value::Bool(v.Number() != 0);
      else if (v.type == Type::Text) *out = Value::Bool(Lowercase(v.str()) == "true");
      else if (v.type == Type::Null || v.type == Type::Undefined) *out = Value::Bool(false);
      else return bad();
      return true;
    case kIsDate:
      if (v.type == Type::Date) {
        *out = v;
      } else if (v.type == Type::Text) {
        // "yyyy-mm-dd", with or without a time after it, as JSON writes dates.
        int y = 0, m = 0, d = 0;
        Date date;
        if (std::sscanf(v.str().c_str(), "%4d-%2d-%2d", &y, &m, &d) == 3 && ValidDate(Date{y, m, d}))
          date = Date{y, m, d};
        *out = Value::MakeDate(date);
      } else if (v.type == Type::Null || v.type == Type::Undefined) {
        *out = Value::MakeDate(Date{});
      } else {
        return bad();
      }
      return true;
    case kIsObject: case kIsCollection: case kIsPointer: case kIsPicture: case kIsBlob: {
      bool fits = (type == kIsObject && v.type == Type::Object) ||
                  (type == kIsCollection && v.type == Type::Collection) ||
                  (type == kIsPointer && v.type == Type::Pointer) ||
                  (type == kIsPicture && v.type == Type::Picture) || (type == kIsBlob && v.type == Type::Blob);
      if (fits || v.type == Type::Null || v.type == Type::Undefined) {
        *out = fits ? v : Value::Null();
        return true;
      }
      return bad();
    }
    default: return Fail(f, std::string(cmd) + ": unknown type " + std::to_string(type));
  }
}

bool ObGet(Frame& f, const Args& a, Value* out) {
  Value o;
  std::string name;
  if (!ObjectArg(f, a, 0, "OB Get", false, &o) || !EvalText(f, a[1], &name, "OB Get: the property"))
    return false;
  const Value* v = o.object()->Find(name);
  Value got = v ? *v : Value();
  if (a.size() < 3) {
    *out = std::move(got);
    return true;
  }
  int32_t type;
  if (!EvalLong(f, a[2], &type, "OB Get: the type")) return false;
  return ToTypeNumber(f, std::move(got), type, out, "OB Get");
}

bool ObGetType(Frame& f, const Args& a, Value* out) {
  Value o;
  std::string name;
  if (!ObjectArg(f, a, 0, "OB Get type", false, &o) || !EvalText(f, a[1], &name, "OB Get type: the property"))
    return false;
  const Value* v = o.object()->Find(name);
  *out = Value::Long(v ? TypeNumber(*v) : kIsUndefined);
  return true;
}

bool ObSet(Frame& f, const Args& a, Value*) {
  if (a.size() % 2 == 0) return Fail(f, "OB SET: each property name needs a value");
  Value o;
  if (!ObjectArg(f, a, 0, "OB SET", true, &o) || !Changeable(f, o, "OB SET")) return false;
  for (size_t i = 1; i < a.size(); i += 2) {
    std::string name;
    Value v;
    if (!EvalText(f, a[i], &name, "OB SET: the property") || !Eval(f, a[i + 1], &v) ||
        !SetProperty(f, o, name, std::move(v), "OB SET"))
      return false;
  }
  return true;
}

bool ObSetNull(Frame& f, const Args& a, Value*) {
  Value o;
  std::string name;
  if (!ObjectArg(f, a, 0, "OB SET NULL", true, &o) || !Changeable(f, o, "OB SET NULL") ||
      !EvalText(f, a[1], &name, "OB SET NULL: the property"))
    return false;
  o.object()->Set(name, Value::Null());
  return true;
}

bool ObRemove(Frame& f, const Args& a, Value*) {
  Value o;
  std::string name;
  if (!ObjectArg(f, a, 0, "OB REMOVE", false, &o) || !Changeable(f, o, "OB REMOVE") ||
      !EvalText(f, a[1], &name, "OB REMOVE: the property"))
    return false;
  o.object()->Remove(name);
  return true;
}

// OB Keys, OB Values and OB Entries: a collection from an object's properties, in order.
bool ObList(Frame& f, const Args& a, Value* out, const char* cmd, int what) {
  Value o;
  if (!Eval(f, a[0], &o)) return false;
  *out = Value::NewCollection();
  if (o.type == Type::Null || o.type == Type::Undefined || (o.type == Type::Object && !o.object()))
    return true;  // 4D gives an empty one
  if (o.type != Type::Object) return Fail(f, std::string(cmd) + ": the parameter must be an object");
  std::vector<Value>& items = out->collection()->items;
  for (const auto& [name, v] : o.object()->props) {
    if (what == 0) {
      items.push_back(Value::Text(name));
    } else if (what == 1) {
      items.push_back(v);
    } else {
      Value e = Value::NewObject();
      e.object()->Set("key", Value::Text(name));
      e.object()->Set("value", v);
      items.push_back(std::move(e));
    }
  }
  return true;
}
bool ObKeys(Frame& f, const Args& a, Value* out) { return ObList(f, a, out, "OB Keys", 0); }
bool ObValues(Frame& f, const Args& a, Value* out) { return ObList(f, a, out, "OB Values", 1); }
bool ObEntries(Frame& f, const Args& a, Value* out) { return ObList(f, a, out, "OB Entries", 2); }

bool ObIsDefined(Frame& f, const Args& a, Value* out) {
  Value o;
  if (!Eval(f, a[0], &o)) return false;
  if (a.size() == 1) {
    *out = Value::Bool(o.object() != nullptr);
    return true;
  }
  std::string name;
  if (!EvalText(f, a[1], &name, "OB Is defined: the property")) return false;
  *out = Value::Bool(o.object() && o.object()->Find(name) != nullptr);
  return true;
}

bool ObIsEmpty(Frame& f, const Args& a, Value* out) {
  Value o;
  if (!Eval(f, a[0], &o)) return false;
  *out = Value::Bool(!o.object() || o.object()->props.empty());
  return true;
}

bool ObIsShared(Frame& f, const Args& a, Value* out) {
  Value o;
  if (!Eval(f, a[0], &o)) return false;
  *out = Value::Bool(IsShared(o));
  return true;
}

bool ObCopy(Frame& f, const Args& a, Value* out) {
  Value o;
  if (!Eval(f, a[0], &o)) return false;
  if (o.type != Type::Object && o.type != Type::Collection && o.type != Type::Null && o.type != Type::Undefined)
    return Fail(f, "OB Copy: the parameter must be an object");
  int32_t option = 0;
  if (a.size() > 1 && !a.star(1) && !EvalLong(f, a[1], &option, "OB Copy: the option")) return false;
  std::string error;
  if (!DeepCopy(o, (option & kCkShared) != 0, out, &error)) return Fail(f, "OB Copy: " + error);
  return true;
}

bool JsonStringifyFn(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  *out = Value::Text(JsonStringify(v, a.size() > 1 && a.star(1)));
  if (out->str().size() > f.rt->maxBytes) return Fail(f, "JSON Stringify: the text would be too long");
  return true;
}

bool JsonParseFn(Frame& f, const Args& a, Value* out) {
  std::string text;
  if (!EvalText(f, a[0], &text, "JSON Parse: the text")) return false;
  Value v;
  std::string error;
  if (!JsonParse(text, &v, &error)) return Fail(f, "JSON Parse: " + error);
  if (a.size() < 2 || a.star(1)) {
    *out = std::move(v);
    return true;
  }
  int32_t type;
  if (!EvalLong(f, a[1], &type, "JSON Parse: the type")) return false;
  return ToTypeNumber(f, std::move(v), type, out, "JSON Parse");
}


bool ValueType(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  *out = Value::Long(TypeNumber(v));
  return true;
}

bool CollectionArg(Frame& f, const Args& a, size_t i, const char* cmd, Value* out) {
  if (!Eval(f, a[i], out)) return false;
  if (!out->collection()) return Fail(f, std::string(cmd) + ": the parameter must be a collection");
  return true;
}

// ARRAY TO COLLECTION(collection; array {; property}{; array2; property2...}): the
// elements, or objects with one property per array.
bool ArrayToCollection(Frame& f, const Args& a, Value*) {
  Value c;
  if (!CollectionArg(f, a, 0, "ARRAY TO COLLECTION", &c) || !Changeable(f, c, "ARRAY TO COLLECTION")) return false;
  std::vector<Value> arrays;
  std::vector<std::string> names;
  for (size_t i = 1; i < a.size(); i += 2) {
    Value copy;
    const Value* arr;
    if (!ValueOf(f, a[i], &copy, &arr)) return false;
    if (arr->type != Type::Array) return Fail(f, "ARRAY TO COLLECTION: " + VarLabel(f, a[i]) + " is not an array");
    arrays.push_back(*arr);
    names.emplace_back();
    if (i + 1 < a.size() && !EvalText(f, a[i + 1], &names.back(), "ARRAY TO COLLECTION: the property")) return false;
  }
  if (arrays.size() > 1 && names.back().empty()) return Fail(f, "ARRAY TO COLLECTION: each array needs a property name");
  std::vector<Value>& items = c.collection()->items;
  items.clear();
  size_t n = 0;
  for (const Value& arr : arrays) n = std::max(n, arr.items().size() - 1);
  for (size_t e = 1; e <= n; ++e) {
    Value item;
    if (names[0].empty()) {
      ToElement(arrays[0].items()[e], &item);
    } else {
      item = Value::NewObject();
      for (size_t k = 0; k < arrays.size(); ++k) {
        Value v = e < arrays[k].items().size() ? arrays[k].items()[e] : Value::Null();
        Value x;
        ToElement(std::move(v), &x);
        item.object()->Set(names[k], std::move(x));
      }
    }
    items.push_back(std::move(item));
  }
  return true;
}

// COLLECTION TO ARRAY(collection; array {; property}{; array2; property2...}): arrays
// sized to the collection; a declared array keeps its type, an undeclared one takes
// the type of the first value.
bool CollectionToArray(Frame& f, const Args& a, Value*) {
  Value c;
  if (!CollectionArg(f, a, 0, "COLLECTION TO ARRAY", &c)) return false;
  const std::vector<Value> items = c.collection()->items;
  if (items.size() > f.rt->maxArray) return Fail(f, "COLLECTION TO ARRAY: the collection is too long for an array");
  for (size_t i = 1; i < a.size(); i += 2) {
    Var* var = FindVar(f, a[i]);
    if (!var) return Fail(f, "COLLECTION TO ARRAY: the array must be a variable");
    std::string name;
    if (i + 1 < a.size() && !EvalText(f, a[i + 1], &name, "COLLECTION TO ARRAY: the property")) return false;
    std::vector<Value> values;
    for (const Value& item : items) values.push_back(name.empty() ? item : PathValue(item, name));
    Type elem = var->v.type == Type::Array ? var->v.elem : Type::Undefined;
    if (var->v.type != Type::Array && var->v.type != Type::Undefined)
      return Fail(f, "COLLECTION TO ARRAY: " + VarLabel(f, a[i]) + " is not an array");
    if (elem == Type::Undefined) {
      elem = Type::Real;
      for (const Value& v : values)
        if (v.type != Type::Null && v.type != Type::Undefined) {
          elem = v.type;
          break;
        }
      if (elem == Type::Object || elem == Type::Collection)
        return Fail(f, "COLLECTION TO ARRAY: object arrays are not available; declare the array first");
    }
    Value arr = Value::Array(elem, values.size());
    std::vector<Value>& out = arr.itemsMut();
    for (size_t k = 0; k < values.size(); ++k) {
      if (values[k].type == Type::Null || values[k].type == Type::Undefined) continue;  // empty element
      if (!Convert(f, elem, values[k], &out[k + 1],
                   [&] { return VarLabel(f, a[i]) + "{" + std::to_string(k + 1) + "}"; }))
        return false;
    }
    var->v = std::move(arr);
  }
  return true;
}

// Split string(text; separator {; options}): the parts, as a collection of texts.
bool SplitString(Frame& f, const Args& a, Value* out) {
  std::string text, sep;
  int32_t options = 0;
  if (!EvalText(f, a[0], &text, "Split string: the text") ||
      !EvalText(f, a[1], &sep, "Split string: the separator") ||
      (a.size() > 2 && !EvalLong(f, a[2], &options, "Split string: the options")))
    return false;
  std::vector<std::string> parts;
  if (sep.empty()) {
    for (char ch : text) parts.emplace_back(1, ch);
  } else {
    size_t from = 0;
    while (true) {
      size_t at = text.find(sep, from);
      parts.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
      if (at == std::string::npos) break;
      from = at + sep.size();
    }
  }
  *out = Value::NewCollection();
  for (std::string& p : parts) {
    if (options & kSkTrimSpaces) {
      size_t b = p.find_first_not_of(' '), e = p.find_last_not_of(' ');
      p = b == std::string::npos ? "" : p.substr(b, e - b + 1);
    }
    if ((options & kSkIgnoreEmpty) && p.empty()) continue;
    out->collection()->items.push_back(Value::Text(std::move(p)));
  }
  return true;
}

constexpr BuiltinInfo kObjectBuiltins[] = {
    {"New object", 1471, 0, -1, true, "e", NewObject, false},
    {"New shared object", 1526, 0, -1, true, "e", NewSharedObject, false},
    {"Storage", 1525, 0, 0, true, "", StorageFn, false},
    {"New collection", 1472, 0, -1, true, "e", NewCollection, false},
    {"New shared collection", 1527, 0, -1, true, "e", NewSharedCollection, false},
    {"OB Get", 1224, 2, 3, true, "eee", ObGet, false},
    {"OB Get type", 1230, 2, 2, true, "ee", ObGetType, false},
    {"OB SET", 1220, 3, -1, false, "e", ObSet, false},
    {"OB SET NULL", 1233, 2, 2, false, "ee", ObSetNull, false},
    {"OB REMOVE", 1226, 2, 2, false, "ee", ObRemove, false},
    {"OB Keys", 1719, 1, 1, true, "e", ObKeys, false},
    {"OB Values", 1718, 1, 1, true, "e", ObValues, false},
    {"OB Entries", 1720, 1, 1, true, "e", ObEntries, false},
    {"OB Is defined", 1231, 1, 2, true, "ee", ObIsDefined, false},
    {"OB Is empty", 1297, 1, 1, true, "e", ObIsEmpty, false},
    {"OB Is shared", 1759, 1, 1, true, "e", ObIsShared, false},
    {"OB Copy", 1225, 1, 3, true, "eee", ObCopy, false},
    {"JSON Stringify", 1217, 1, 2, true, "ee", JsonStringifyFn, false},
    {"JSON Parse", 1218, 1, 3, true, "eee", JsonParseFn, false},
    {"Value type", 1509, 1, 1, true, "e", ValueType, false},
    {"ARRAY TO COLLECTION", 1563, 2, -1, false, "evevevevevevevevevev", ArrayToCollection, false},
    {"COLLECTION TO ARRAY", 1562, 2, -1, false, "evevevevevevevevevev", CollectionToArray, false},
    {"Split string", 1554, 2, 3, true, "eee", SplitString, false},
};

}  // namespace

std::span<const BuiltinInfo> ObjectBuiltins() { return kObjectBuiltins; }

}  // namespace runner
