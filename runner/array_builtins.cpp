// Arrays: declaring them (ARRAY LONGINT...), their size, APPEND TO ARRAY, Find in array,
// SORT ARRAY, MULTI SORT ARRAY, INSERT IN ARRAY, DELETE FROM ARRAY.
// Elements count from 1; element 0 is left alone, as in 4D. A two-dimensional array is
// an array of rows (elem Array), each an array of the element type; row 0 is one too,
// and gives the rows inserted later their type and size.
#include <algorithm>
#include <numeric>

#include "runner/interp.h"

namespace runner {

namespace {

// A new element of `array`: the empty value, or for a two-dimensional array an empty
// row as long as row 0.
Value EmptyElement(const Value& array) {
  if (array.elem != Type::Array) return Value::Empty(array.elem);
  const Value& row0 = array.items()[0];
  return Value::Array(row0.elem, row0.items().size() - 1);
}

bool Resize(Value* array, size_t n) {
  Value empty = EmptyElement(*array);
  array->itemsMut().resize(n + 1, empty);
  return true;
}

}  // namespace

// ARRAY type(array; size {; size2}): declares or resizes; with size2, `size` rows of
// size2 elements each.
bool DeclareArray(Frame& f, const Args& a, Type elem, const std::string& cmd) {
  int32_t n, n2 = -1;
  if (!EvalLong(f, a[1], &n, cmd + ": the size")) return false;
  if (a.size() > 2 && !EvalLong(f, a[2], &n2, cmd + ": the number of columns")) return false;
  const size_t max = f.rt->maxArray;
  if (n < 0 || size_t(n) > max || n2 < -1 || (n2 > 0 && size_t(n2) * size_t(n + 1) > max))
    return Fail(f, cmd + ": the size must be 0 to " + std::to_string(max) + " elements in all");
  Var* var = FindVar(f, a[0]);
  if (!var) return Fail(f, cmd + ": the array must be a variable");
  Value& v = var->v;
  bool twoD = n2 >= 0;
  if (v.type == Type::Undefined) {
    v = twoD ? Value::Array(Type::Array, 0) : Value::Array(elem, size_t(n));
    if (twoD) v.itemsMut()[0] = Value::Array(elem, size_t(n2));
  } else if (v.type != Type::Array || (v.elem == Type::Array) != twoD ||
             (twoD ? v.items()[0].elem : v.elem) != elem) {
    return Fail(f, cmd + ": " + VarLabel(f, a[0]) + " is already " +
                       (v.type == Type::Array ? "an array of another type or dimension"
                                              : Article(v.type)));
  }
  if (!twoD) return Resize(&v, size_t(n));
  // Every row, row 0 included, takes the new number of columns.
  Resize(&v.itemsMut()[0], size_t(n2));
  Resize(&v, size_t(n));
  for (Value& row : v.itemsMut()) Resize(&row, size_t(n2));
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

// The array an argument names, to change in place: a variable or a row of a
// two-dimensional one ($a{2}); null after the error.
Value* NeedArray(Frame& f, int32_t ref, const std::string& cmd) {
  const Node& n = f.node(ref);
  Value* array = nullptr;
  if (n.op == Op::Element) {
    Target t;
    if (!ResolveTarget(f, ref, &t)) return nullptr;
    if (t.sub >= 0 || !(array = RowOf(f, t.var, t.index, t.label, true))) {
      if (t.sub >= 0) Fail(f, cmd + ": " + VarLabel(f, ref) + " is not an array");
      return nullptr;
    }
  } else if (Var* var = FindVar(f, ref)) {
    array = &var->v;
  } else if (n.op == Op::Deref) {
    return nullptr;  // reported
  }
  if (array && array->type == Type::Array) return array;
  Fail(f, cmd + ": " + VarLabel(f, ref) + " is not an array");
  return nullptr;
}

bool AppendToArray(Frame& f, const Args& a, Value*) {
  Value v;
  if (!Eval(f, a[1], &v)) return false;
  Var* var = f.node(a[0]).op == Op::Element ? nullptr : FindVar(f, a[0]);
  // An undefined variable becomes an array of the value's type.
  if (var && var->v.type == Type::Undefined && v.type != Type::Array && v.type != Type::Undefined)
    var->v = Value::Array(v.type == Type::Null ? Type::Object : v.type, 0);
  Value* array = NeedArray(f, a[0], "APPEND TO ARRAY");
  if (!array) return false;
  if (array->items().size() > f.rt->maxArray) return Fail(f, "APPEND TO ARRAY: the array is too large");
  Value converted;
  if (!Convert(f, array->elem, std::move(v), &converted, [&] { return "an element of " + VarLabel(f, a[0]); }))
    return false;
  array->itemsMut().push_back(std::move(converted));
  return true;
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

// Sorts `arrays` together, by the keys (index into arrays, descending?) in order of
// precedence; equal keys keep their order.
void SortTogether(std::vector<Value*>& arrays, const std::vector<std::pair<size_t, bool>>& keys) {
  std::vector<size_t> order(arrays[0]->items().size() - 1);
  std::iota(order.begin(), order.end(), size_t(1));
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
    for (auto [k, descending] : keys) {
      const std::vector<Value>& items = arrays[k]->items();
      if (int c = Order(items[x], items[y])) return descending ? c > 0 : c < 0;
    }
    return false;
  });
  for (Value* array : arrays) {
    std::vector<Value>& items = array->itemsMut();
    std::vector<Value> sorted;
    sorted.reserve(items.size());
    sorted.push_back(std::move(items[0]));
    for (size_t i : order) sorted.push_back(std::move(items[i]));
    items = std::move(sorted);
  }
}

// Adds an array to sort, once, checking it has as many elements as the first; its index
// in `arrays`, or -1 after the error.
int AddSorted(Frame& f, const std::string& cmd, Value* array, const std::string& label,
              std::vector<Value*>* arrays) {
  if (!arrays->empty() && array->items().size() != (*arrays)[0]->items().size()) {
    Fail(f, cmd + ": " + label + " has not as many elements as the first array");
    return -1;
  }
  auto it = std::find(arrays->begin(), arrays->end(), array);
  if (it != arrays->end()) return int(it - arrays->begin());
  arrays->push_back(array);
  return int(arrays->size() - 1);
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
  std::vector<Value*> arrays;
  for (size_t i = 0; i < n; ++i) {
    if (a.order(i)) return Fail(f, cmd + ": > or < comes last, after the arrays");
    Value* array = NeedArray(f, a[i], cmd);
    if (!array || AddSorted(f, cmd, array, VarLabel(f, a[i]), &arrays) < 0) return false;
  }
  SortTogether(arrays, {{0, descending}});
  return true;
}

// The array a pointer names, for the second form of MULTI SORT ARRAY.
Value* PointedArray(Frame& f, const Value& p, const std::string& cmd) {
  if (p.type != Type::Pointer || p.ptr().element >= 0 || p.ptr().kind == PointerKind::Nil) {
    Fail(f, cmd + ": each element of the pointer array must point to an array");
    return nullptr;
  }
  Var* var = nullptr;
  switch (p.ptr().kind) {
    case PointerKind::ProcessVar: var = &f.proc->vars[size_t(p.ptr().slot)]; break;
    case PointerKind::Interprocess: var = &f.rt->interprocess[size_t(p.ptr().slot)]; break;
    default:
      // A local or parameter of a running call: the frame that made the pointer.
      for (Frame* fr : f.proc->frames)
        if (fr->serial == p.ptr().frame)
          var = p.ptr().kind == PointerKind::Local ? &fr->locals[size_t(p.ptr().slot)]
                                                   : &fr->params[size_t(p.ptr().slot)];
  }
  if (var && var->v.type == Type::Array) return &var->v;
  Fail(f, cmd + ": a pointer of the pointer array does not point to an array");
  return nullptr;
}

// MULTI SORT ARRAY(array {; > | <} {; array2 {; > | <} ...}) or
// MULTI SORT ARRAY(pointers; orders): every array moves together; those followed by an
// order (or with 1 or -1 in orders) are the sort keys, the first one first.
bool MultiSortArray(Frame& f, const Args& a, Value*) {
  const std::string cmd = "MULTI SORT ARRAY";
  std::vector<Value*> arrays;
  std::vector<std::pair<size_t, bool>> keys;
  Value copy;
  const Value* first;
  if (a.order(0)) return Fail(f, cmd + ": an order must follow an array");
  if (!ValueOf(f, a[0], &copy, &first)) return false;
  if (first->type == Type::Array && first->elem == Type::Pointer) {
    if (a.size() != 2) return Fail(f, cmd + ": pass an array of pointers and an array of orders");
    Value ordersCopy;
    const Value* orders;
    if (!ValueOf(f, a[1], &ordersCopy, &orders)) return false;
    if (orders->type != Type::Array || (orders->elem != Type::Long && orders->elem != Type::Real))
      return Fail(f, cmd + ": the orders must be an array of numbers");
    const std::vector<Value> pointers = first->items();
    for (size_t i = 1; i < pointers.size(); ++i) {
      Value* array = PointedArray(f, pointers[i], cmd);
      if (!array) return false;
      int k = AddSorted(f, cmd, array, "array " + std::to_string(i), &arrays);
      if (k < 0) return false;
      double o = i < orders->items().size() ? orders->items()[i].Number() : 0;
      if (o != 0) keys.emplace_back(size_t(k), o < 0);
    }
  } else {
    for (size_t i = 0; i < a.size(); ++i) {
      if (a.order(i)) return Fail(f, cmd + ": an order must follow an array");
      Value* array = NeedArray(f, a[i], cmd);
      if (!array) return false;
      int k = AddSorted(f, cmd, array, VarLabel(f, a[i]), &arrays);
      if (k < 0) return false;
      if (i + 1 < a.size() && a.order(i + 1)) {
        int o = a.order(++i);
        if (o != '>' && o != '<') return Fail(f, cmd + ": the order is > or <");
        keys.emplace_back(size_t(k), o == '<');
      }
    }
  }
  if (arrays.empty()) return Fail(f, cmd + ": no array to sort");
  if (keys.empty()) return Fail(f, cmd + ": no array is given an order to sort by");
  SortTogether(arrays, keys);
  return true;
}

// The array, position and count of INSERT IN ARRAY and DELETE FROM ARRAY
// (array; where {; how many}); null after reporting the error.
Value* ArrayRange(Frame& f, const Args& a, const std::string& cmd, int32_t* where, int32_t* count) {
  *count = 1;
  if (!EvalLong(f, a[1], where, cmd + ": the position")) return nullptr;
  if (a.size() > 2 && !EvalLong(f, a[2], count, cmd + ": the count")) return nullptr;
  Value* array = NeedArray(f, a[0], cmd);
  if (!array) return nullptr;
  if (*where < 1 || *count < 0) {
    Fail(f, cmd + ": the position must be 1 or more and the count 0 or more");
    return nullptr;
  }
  return array;
}

// INSERT IN ARRAY: empty elements at `where`; past the end they are added at the end.
bool InsertInArray(Frame& f, const Args& a, Value*) {
  const std::string cmd = "INSERT IN ARRAY";
  int32_t where, count;
  Value* array = ArrayRange(f, a, cmd, &where, &count);
  if (!array) return false;
  Value empty = EmptyElement(*array);
  std::vector<Value>& items = array->itemsMut();
  if (items.size() + size_t(count) > f.rt->maxArray + 1) return Fail(f, cmd + ": the array is too large");
  size_t at = std::min(size_t(where), items.size());
  items.insert(items.begin() + std::ptrdiff_t(at), size_t(count), empty);
  return true;
}

// DELETE FROM ARRAY: elements past the end are not there to delete.
bool DeleteFromArray(Frame& f, const Args& a, Value*) {
  int32_t where, count;
  Value* array = ArrayRange(f, a, "DELETE FROM ARRAY", &where, &count);
  if (!array) return false;
  std::vector<Value>& items = array->itemsMut();
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
    {"ARRAY DATE", 224, 2, 3, false, "vee", ArrayDate, false},
    {"ARRAY TIME", 1223, 2, 3, false, "vee", ArrayTime, false},
    {"ARRAY BLOB", 1222, 2, 3, false, "vee", ArrayBlob, false},
    {"ARRAY PICTURE", 279, 2, 3, false, "vee", ArrayPicture, false},
    {"ARRAY OBJECT", 1221, 2, 3, false, "vee", ArrayObject, false},
    {"COPY ARRAY", 226, 2, 2, false, "ev", CopyArray, false},
    {"Count in array", 907, 2, 2, true, "ee", CountInArray, false},
    {"Find in sorted array", 1333, 3, 5, true, "eeevv", FindInSortedArray, false},
    {"ARRAY INTEGER", 220, 2, 3, false, "vee", ArrayInteger, false},
    {"ARRAY BOOLEAN", 223, 2, 3, false, "vee", ArrayBoolean, false},
    {"ARRAY POINTER", 280, 2, 3, false, "vee", ArrayPointer, false},
    {"ARRAY STRING", 218, 3, 4, false, "evee", ArrayString, false},
    {"ARRAY LONGINT", 221, 2, 3, false, "vee", ArrayLongint, false},
    {"ARRAY TEXT", 222, 2, 3, false, "vee", ArrayText, false},
    {"ARRAY REAL", 219, 2, 3, false, "vee", ArrayReal, false},
    {"Size of array", 274, 1, 1, true, "e", SizeOfArray, false},
    {"APPEND TO ARRAY", 911, 2, 2, false, "ve", AppendToArray, false},
    {"Find in array", 230, 2, 3, true, "eee", FindInArray, false},
    {"SORT ARRAY", 229, 1, -1, false, "e", SortArray, false},
    {"INSERT IN ARRAY", 227, 2, 3, false, "vee", InsertInArray, false},
    {"DELETE FROM ARRAY", 228, 2, 3, false, "vee", DeleteFromArray, false},
    {"MULTI SORT ARRAY", 718, 1, -1, false, "e", MultiSortArray, false},
};

}  // namespace

std::span<const BuiltinInfo> ArrayBuiltins() { return kArrayBuiltins; }

}  // namespace runner
