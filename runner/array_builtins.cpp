// Arrays: declaring them (ARRAY LONGINT...), their size, APPEND TO ARRAY, Find in array,
// SORT ARRAY, INSERT IN ARRAY, DELETE FROM ARRAY.
// Elements count from 1; element 0 is left alone, as in 4D.
#include <algorithm>
#include <numeric>

#include "runner/interp.h"

namespace runner {

bool DeclareArray(Frame& f, const Args& a, Type elem, const std::string& cmd) {
  int32_t n;
  if (!EvalLong(f, a[1], &n, cmd + ": the size")) return false;
  if (n < 0 || size_t(n) > f.rt->maxArray)
    return Fail(f, cmd + ": the size must be 0 to " + std::to_string(f.rt->maxArray));
  Var* var = FindVar(f, a[0]);
  if (!var) return Fail(f, cmd + ": the array must be a variable");
  if (var->v.type == Type::Undefined) {
    var->v = Value::Array(elem, size_t(n));
  } else if (var->v.type == Type::Array && var->v.elem == elem) {
    var->v.itemsMut().resize(size_t(n) + 1, Value::Empty(elem));
  } else {
    return Fail(f, cmd + ": " + VarLabel(f, a[0]) + " is already " +
                       (var->v.type == Type::Array ? "an array of another type"
                                                   : Article(var->v.type)));
  }
  return true;
}

namespace {

bool ArrayLongint(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Long, "ARRAY LONGINT"); }

bool ArrayText(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Text, "ARRAY TEXT"); }

bool ArrayReal(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Real, "ARRAY REAL"); }

bool ArrayInteger(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Long, "ARRAY INTEGER"); }

bool ArrayBoolean(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Boolean, "ARRAY BOOLEAN"); }

bool ArrayPointer(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Pointer, "ARRAY POINTER"); }
bool ArrayDate(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Date, "ARRAY DATE"); }
bool ArrayTime(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Time, "ARRAY TIME"); }
bool ArrayBlob(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Blob, "ARRAY BLOB"); }
bool ArrayPicture(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Picture, "ARRAY PICTURE"); }
bool ArrayObject(Frame& f, const Args& a, Value*) { return DeclareArray(f, a, Type::Object, "ARRAY OBJECT"); }

// ARRAY STRING(length; array; size): the length is checked, the elements are texts.
bool ArrayString(Frame& f, const Args& a, Value*) {
  int32_t length;
  if (!EvalLong(f, a[0], &length, "ARRAY STRING: the length")) return false;
  if (length < 1 || length > 255) return Fail(f, "ARRAY STRING: the length must be 1 to 255");
  return DeclareArray(f, Args{a.ids + 1, a.n - 1, a.nodes}, Type::Text, "ARRAY STRING");
}

bool SizeOfArray(Frame& f, const Args& a, Value* out) {
  Value copy;
  const Value* v;
  if (!ValueOf(f, a[0], &copy, &v)) return false;
  if (v->type != Type::Array) return Fail(f, "Size of array: " + VarLabel(f, a[0]) + " is not an array");
  *out = Value::Long(int32_t(v->items().size() - 1));
  return true;
}

bool AppendToArray(Frame& f, const Args& a, Value*) {
  Value v;
  if (!Eval(f, a[1], &v)) return false;
  Var* var = FindVar(f, a[0]);
  // An undefined variable becomes an array of the value's type.
  if (var && var->v.type == Type::Undefined && v.type != Type::Array && v.type != Type::Undefined)
    var->v = Value::Array(v.type == Type::Null ? Type::Object : v.type, 0);
  if (!var || var->v.type != Type::Array)
    return Fail(f, "APPEND TO ARRAY: " + VarLabel(f, a[0]) + " is not an array");
  if (var->v.items().size() > f.rt->maxArray) return Fail(f, "APPEND TO ARRAY: the array is too large");
  Value converted;
  if (!Convert(f, var->v.elem, std::move(v), &converted, "an element of " + VarLabel(f, a[0])))
    return false;
  var->v.itemsMut().push_back(std::move(converted));
  return true;
}


Var* NeedArray(Frame& f, int32_t ref, const std::string& cmd) {
  Var* var = FindVar(f, ref);
  if (var && var->v.type == Type::Array) return var;
  if (!var && f.node(ref).op == Op::Deref) return nullptr;  // reported
  Fail(f, cmd + ": " + VarLabel(f, ref) + " is not an array");
  return nullptr;
}

// -1, 0 or 1 as 4D orders two elements of one array: texts without regard to case.
int Order(const Value& a, const Value& b) {
  auto cmp = [](auto x, auto y) { return x < y ? -1 : x > y ? 1 : 0; };
  switch (a.type) {
    case Type::Long: case Type::Real: return cmp(a.Number(), b.Number());
    case Type::Time: return cmp(a.l, b.l);
    case Type::Boolean: return cmp(a.b, b.b);
    case Type::Text: return CompareText(a.str(), b.str());
    case Type::Date: return cmp(DateToDays(a.d), DateToDays(b.d));
    default: return 0;
  }
}

// Whether an element equals the value looked for, as = compares them ("@" in a text
// matches any characters).
bool Matches(const Value& elem, const Value& want) {
  if (elem.numeric() && want.numeric()) return elem.Number() == want.Number();
  if (elem.type != want.type) return false;
  switch (elem.type) {
    case Type::Text:
      return want.str().find('@') != std::string::npos ? MatchWildcard(elem.str(), want.str())
                                                   : CompareText(elem.str(), want.str()) == 0;
    case Type::Boolean: return elem.b == want.b;
    case Type::Time: return elem.l == want.l;
    case Type::Date: return DateToDays(elem.d) == DateToDays(want.d);
    case Type::Pointer: return elem.ptr() == want.ptr();
    default: return false;
  }
}

// Find in array(array; value {; start}): the first matching element from start on, or -1.
bool FindInArray(Frame& f, const Args& a, Value* out) {
  Value copy, want;
  const Value* arr;
  int32_t start = 1;
  if (!ValueOf(f, a[0], &copy, &arr)) return false;
  if (arr->type != Type::Array) return Fail(f, "Find in array: " + VarLabel(f, a[0]) + " is not an array");
  if (!Eval(f, a[1], &want)) return false;
  if (a.size() > 2 && !EvalLong(f, a[2], &start, "Find in array: the start")) return false;
  if (start < 1) start = 1;
  for (size_t i = size_t(start); i < arr->items().size(); ++i) {
    if (Matches(arr->items()[i], want)) {
      *out = Value::Long(int32_t(i));
      return true;
    }
  }
  *out = Value::Long(-1);
  return true;
}

// SORT ARRAY(array {; array2 ...} {; > | <}): sorts the first array, ascending unless
// told <, and moves the elements of the others with it.
bool SortArray(Frame& f, const Args& a, Value*) {
  const std::string cmd = "SORT ARRAY";
  size_t n = a.size();
  bool descending = false;
  if (int o = a.order(n - 1)) {
    if (o != '>' && o != '<') return Fail(f, cmd + ": the order is > or <");
    descending = o == '<';
    --n;
  }
  if (n == 0) return Fail(f, cmd + ": no array to sort");
  std::vector<Var*> arrays;
  for (size_t i = 0; i < n; ++i) {
    Var* var = NeedArray(f, a[i], cmd);
    if (!var) return false;
    if (i > 0 && var->v.items().size() != arrays[0]->v.items().size())
      return Fail(f, cmd + ": " + VarLabel(f, a[i]) + " has not as many elements as " + VarLabel(f, a[0]));
    // An array named twice is still sorted once.
    if (std::find(arrays.begin(), arrays.end(), var) == arrays.end()) arrays.push_back(var);
  }
  std::vector<Value>& keys = arrays[0]->v.itemsMut();
  std::vector<size_t> order(keys.size() - 1);
  std::iota(order.begin(), order.end(), size_t(1));
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
    int c = Order(keys[x], keys[y]);
    return descending ? c > 0 : c < 0;
  });
  for (Var* var : arrays) {
    std::vector<Value>& items = var->v.itemsMut();
    std::vector<Value> sorted;
    sorted.reserve(items.size());
    sorted.push_back(std::move(items[0]));
    for (size_t i : order) sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
  }
  return true;
}

// The array, position and count of INSERT IN ARRAY and DELETE FROM ARRAY
// (array; where {; how many}); null after reporting the error.
Var* ArrayRange(Frame& f, const Args& a, const std::string& cmd, int32_t* where, int32_t* count) {
  *count = 1;
  if (!EvalLong(f, a[1], where, cmd + ": the position")) return nullptr;
  if (a.size() > 2 && !EvalLong(f, a[2], count, cmd + ": the count")) return nullptr;
  Var* var = NeedArray(f, a[0], cmd);
  if (!var) return nullptr;
  if (*where < 1 || *count < 0) {
    Fail(f, cmd + ": the position must be 1 or more and the count 0 or more");
    return nullptr;
  }
  return var;
}

// INSERT IN ARRAY: empty elements at `where`; past the end they are added at the end.
bool InsertInArray(Frame& f, const Args& a, Value*) {
  const std::string cmd = "INSERT IN ARRAY";
  int32_t where, count;
  Var* var = ArrayRange(f, a, cmd, &where, &count);
  if (!var) return false;
  std::vector<Value>& items = var->v.itemsMut();
  if (items.size() + size_t(count) > f.rt->maxArray + 1) return Fail(f, cmd + ": the array is too large");
  size_t at = std::min(size_t(where), items.size());
  items.insert(items.begin() + std::ptrdiff_t(at), size_t(count), Value::Empty(var->v.elem));
  return true;
}

// DELETE FROM ARRAY: elements past the end are not there to delete.
bool DeleteFromArray(Frame& f, const Args& a, Value*) {
  int32_t where, count;
  Var* var = ArrayRange(f, a, "DELETE FROM ARRAY", &where, &count);
  if (!var) return false;
  std::vector<Value>& items = var->v.itemsMut();
  if (size_t(where) >= items.size()) return true;
  size_t end = std::min(items.size(), size_t(where) + size_t(count));
  items.erase(items.begin() + where, items.begin() + std::ptrdiff_t(end));
  return true;
}

// COPY ARRAY(source; destination): the destination becomes a copy, of the source's type.
bool CopyArray(Frame& f, const Args& a, Value*) {
  Value copy;
  const Value* src;
  if (!ValueOf(f, a[0], &copy, &src)) return false;
  if (src->type != Type::Array) return Fail(f, "COPY ARRAY: " + VarLabel(f, a[0]) + " is not an array");
  return AssignWhole(f, a[1], *src);
}

bool CountInArray(Frame& f, const Args& a, Value* out) {
  Value copy, want;
  const Value* arr;
  if (!ValueOf(f, a[0], &copy, &arr)) return false;
  if (arr->type != Type::Array) return Fail(f, "Count in array: " + VarLabel(f, a[0]) + " is not an array");
  if (!Eval(f, a[1], &want)) return false;
  int32_t n = 0;
  for (size_t i = 1; i < arr->items().size(); ++i) n += Matches(arr->items()[i], want);
  *out = Value::Long(n);
  return true;
}

// Find in sorted array(array; value; > or < {; posFirst {; posLast}}): a binary search
// of an array sorted that way. Not found, posFirst says where the value would go.
bool FindInSortedArray(Frame& f, const Args& a, Value* out) {
  Value copy, want;
  const Value* arr;
  if (!ValueOf(f, a[0], &copy, &arr)) return false;
  if (arr->type != Type::Array) return Fail(f, "Find in sorted array: " + VarLabel(f, a[0]) + " is not an array");
  if (!Eval(f, a[1], &want)) return false;
  int o = a.order(2);
  if (o != '>' && o != '<') return Fail(f, "Find in sorted array: the order is > or <");
  const std::vector<Value>& items = arr->items();
  auto before = [&](const Value& x, const Value& y) { return o == '>' ? Order(x, y) < 0 : Order(x, y) > 0; };
  auto first = std::lower_bound(items.begin() + 1, items.end(), want, before);
  auto last = std::upper_bound(first, items.end(), want, before);
  bool found = first != last;
  *out = Value::Bool(found);
  int32_t posFirst = int32_t(first - items.begin()), posLast = found ? int32_t(last - items.begin()) - 1 : posFirst;
  if (a.size() > 3 && !Assign(f, a[3], Value::Long(posFirst))) return false;
  return a.size() <= 4 || Assign(f, a[4], Value::Long(posLast));
}

constexpr BuiltinInfo kArrayBuiltins[] = {
    {"ARRAY DATE", 224, 2, 2, false, "ve", ArrayDate, false},
    {"ARRAY TIME", 1223, 2, 2, false, "ve", ArrayTime, false},
    {"ARRAY BLOB", 1222, 2, 2, false, "ve", ArrayBlob, false},
    {"ARRAY PICTURE", 279, 2, 2, false, "ve", ArrayPicture, false},
    {"ARRAY OBJECT", 1221, 2, 2, false, "ve", ArrayObject, false},
    {"COPY ARRAY", 226, 2, 2, false, "ev", CopyArray, false},
    {"Count in array", 907, 2, 2, true, "ee", CountInArray, false},
    {"Find in sorted array", 1333, 3, 5, true, "eeevv", FindInSortedArray, false},
    {"ARRAY INTEGER", 220, 2, 2, false, "ve", ArrayInteger, false},
    {"ARRAY BOOLEAN", 223, 2, 2, false, "ve", ArrayBoolean, false},
    {"ARRAY POINTER", 280, 2, 2, false, "ve", ArrayPointer, false},
    {"ARRAY STRING", 218, 3, 3, false, "eve", ArrayString, false},
    {"ARRAY LONGINT", 221, 2, 2, false, "ve", ArrayLongint, false},
    {"ARRAY TEXT", 222, 2, 2, false, "ve", ArrayText, false},
    {"ARRAY REAL", 219, 2, 2, false, "ve", ArrayReal, false},
    {"Size of array", 274, 1, 1, true, "e", SizeOfArray, false},
    {"APPEND TO ARRAY", 911, 2, 2, false, "ve", AppendToArray, false},
    {"Find in array", 230, 2, 3, true, "eee", FindInArray, false},
    {"SORT ARRAY", 229, 1, -1, false, "e", SortArray, false},
    {"INSERT IN ARRAY", 227, 2, 3, false, "vee", InsertInArray, false},
    {"DELETE FROM ARRAY", 228, 2, 3, false, "vee", DeleteFromArray, false},
};

}  // namespace

std::span<const BuiltinInfo> ArrayBuiltins() { return kArrayBuiltins; }

}  // namespace runner
