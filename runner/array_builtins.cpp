// Working on arrays: Find in array, SORT ARRAY, INSERT IN ARRAY, DELETE FROM ARRAY.
// Elements count from 1; element 0 is left alone, as in 4D.
#include <algorithm>
#include <numeric>

#include "runner/interp.h"

namespace runner {

namespace {

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
    case Type::Text: return CompareText(a.s, b.s);
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
      return want.s.find('@') != std::string::npos ? MatchWildcard(elem.s, want.s)
                                                   : CompareText(elem.s, want.s) == 0;
    case Type::Boolean: return elem.b == want.b;
    case Type::Time: return elem.l == want.l;
    case Type::Date: return DateToDays(elem.d) == DateToDays(want.d);
    case Type::Pointer: return elem.ptr == want.ptr;
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
  for (size_t i = size_t(start); i < arr->items.size(); ++i) {
    if (Matches(arr->items[i], want)) {
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
    descending = o == '<';
    --n;
  }
  if (n == 0) return Fail(f, cmd + ": no array to sort");
  std::vector<Var*> arrays;
  for (size_t i = 0; i < n; ++i) {
    Var* var = NeedArray(f, a[i], cmd);
    if (!var) return false;
    if (i > 0 && var->v.items.size() != arrays[0]->v.items.size())
      return Fail(f, cmd + ": " + VarLabel(f, a[i]) + " has not as many elements as " + VarLabel(f, a[0]));
    // An array named twice is still sorted once.
    if (std::find(arrays.begin(), arrays.end(), var) == arrays.end()) arrays.push_back(var);
  }
  std::vector<Value>& keys = arrays[0]->v.items;
  std::vector<size_t> order(keys.size() - 1);
  std::iota(order.begin(), order.end(), size_t(1));
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
    int c = Order(keys[x], keys[y]);
    return descending ? c > 0 : c < 0;
  });
  for (Var* var : arrays) {
    std::vector<Value>& items = var->v.items;
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
  std::vector<Value>& items = var->v.items;
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
  std::vector<Value>& items = var->v.items;
  if (size_t(where) >= items.size()) return true;
  size_t end = std::min(items.size(), size_t(where) + size_t(count));
  items.erase(items.begin() + where, items.begin() + std::ptrdiff_t(end));
  return true;
}

constexpr BuiltinInfo kArrayBuiltins[] = {
    {"Find in array", 2, 3, true, "eee", FindInArray},
    {"SORT ARRAY", 1, -1, false, "e", SortArray},
    {"INSERT IN ARRAY", 2, 3, false, "vee", InsertInArray},
    {"DELETE FROM ARRAY", 2, 3, false, "vee", DeleteFromArray},
};

}  // namespace

std::span<const BuiltinInfo> ArrayBuiltins() { return kArrayBuiltins; }

}  // namespace runner
