// The member functions of collections ($c.push(...)), one function each, and the table
// that names them. Functions that take a formula run it through CollectionCall::call
// with an event object as $1 ({value, result, stop...}), as 4D documents them.
#include <algorithm>
#include <cmath>

#include "runner/objects.h"

namespace runner {

namespace {

// Options of the functions, as 4D's "ck" constants give them.
constexpr int kDescending = 1;        // ck descending (ck ascending is 0)
constexpr int kKeepNull = 1;          // ck keep null
constexpr int kIgnoreNullOrEmpty = 4; // ck ignore null or empty
constexpr int kDiacritical = 8;       // ck diacritical
constexpr int kShared = 8;            // ck shared
constexpr int kCountValues = 32;      // ck count values
constexpr size_t kMaxItems = 100000000;  // resize() beyond this is refused

using Items = std::vector<Value>;
Items& ItemsOf(const Value& self) { return self.collection()->items; }

bool Error(CollectionCall& c, std::string message) {
  c.error = std::move(message);
  return false;
}

bool Number(CollectionCall& c, const Value& v, std::string_view what, double* out) {
  if (!v.numeric() && v.type != Type::Time) return Error(c, std::string(what) + " must be a number");
  *out = v.type == Type::Time ? v.l : v.Number();
  return true;
}

bool Index(CollectionCall& c, const Value& v, std::string_view what, int64_t* out) {
  double d;
  if (!Number(c, v, what, &d)) return false;
  *out = std::isfinite(d) ? int64_t(std::clamp(d, -1e15, 1e15)) : 0;
  return true;
}

// A start position as the functions read it: negative counts from the end; still
// negative, the start.
int64_t FromEnd(int64_t i, size_t n) {
  if (i < 0) i += int64_t(n);
  return i < 0 ? 0 : i;
}

// Prepares v to go into self: 4D's element form, and the shared rules.
bool Element(CollectionCall& c, const Value& self, const Value& v, Value* out) {
  if (!ToElement(v, out)) return Error(c, "an array cannot be put into a collection");
  return AdoptIntoShared(self, *out, &c.error);
}

// What a sort asks of the elements its next comparisons read: nothing.
struct NoAhead {
  template <typename T>
  void Far(const T&) const {}
  template <typename T>
  void Near(const T&) const {}
};

// A stable merge sort that stays within the elements whatever `less` answers: a formula
// (or a NaN) need not give a consistent order, which std::stable_sort requires. Before
// each comparison, ahead.Far and ahead.Near are told of the elements eight and four
// places on in either run.
template <typename T, typename Less, typename Ahead = NoAhead>
void SafeSort(std::vector<T>& items, Less less, Ahead ahead = {}) {
  std::vector<T> buffer(items.size());
  for (size_t width = 1; width < items.size(); width *= 2) {
    for (size_t lo = 0; lo < items.size(); lo += 2 * width) {
      size_t mid = std::min(lo + width, items.size()), hi = std::min(lo + 2 * width, items.size());
      size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) {
        if (i + 8 < mid) ahead.Far(items[i + 8]);
        if (j + 8 < hi) ahead.Far(items[j + 8]);
        if (i + 4 < mid) ahead.Near(items[i + 4]);
        if (j + 4 < hi) ahead.Near(items[j + 4]);
        if (less(items[j], items[i])) buffer[k++] = std::move(items[j++]);
        else buffer[k++] = std::move(items[i++]);
      }
      while (i < mid) buffer[k++] = std::move(items[i++]);
      while (j < hi) buffer[k++] = std::move(items[j++]);
    }
    items.swap(buffer);
  }
}

Value Wrap(Items items) {
  Value v = Value::NewCollection();
  ItemsOf(v) = std::move(items);
  return v;
}

// ---- the formula hook ------------------------------------------------------------------

// Runs the formula args[at] on event $1 with the arguments after it as $2...; *event is
// the object the formula filled in.
bool RunFormula(CollectionCall& c, std::span<const Value> args, size_t at, Value event) {
  if (!c.call) return Error(c, "formulas cannot be run here");
  if (at >= args.size()) return Error(c, "a formula is expected");
  std::vector<Value> params{std::move(event)};
  params.insert(params.end(), args.begin() + std::ptrdiff_t(at) + 1, args.end());
  return c.call(args[at], params);
}

// The names of the event object's properties, kept alive here: events come and go at
// every call of a formula, and their names stay interned instead of being made again.
const Name& EventName(int which) {
  static const Name names[] = {Name("value"), Name("value2"), Name("result"), Name("stop"),
                               Name("accumulator")};
  return names[which];
}
enum { kValue, kValue2, kResult, kStop, kAccumulator };

Value Event(const Value& value) {
  Value e = Value::NewObject();
  e.object()->props.reserve(4);  // value, value2 or accumulator, result, stop
  e.object()->Set(EventName(kValue), value);
  return e;
}

bool ResultTrue(const Value& event) {
  const Value* r = event.object()->Find(EventName(kResult));
  return r && r->type == Type::Boolean && r->b;
}
bool Stopped(const Value& event) {
  const Value* s = event.object()->Find("stop");
  return s && s->type == Type::Boolean && s->b;
}

// For functions taking an optional startFrom before their formula: where the formula is
// and where to start.
bool StartAndFormula(CollectionCall& c, const Value& self, std::span<const Value> args,
                     size_t* formula, int64_t* start) {
  *formula = 0;
  *start = 0;
  if (!args.empty() && args[0].numeric()) {
    if (!Index(c, args[0], "startFrom", start)) return false;
    *start = FromEnd(*start, ItemsOf(self).size());
    *formula = 1;
  }
  return true;
}

// ---- the functions ---------------------------------------------------------------------

bool Length(CollectionCall&, const Value& self, std::span<const Value>, Value* out) {
  *out = Value::Real(double(ItemsOf(self).size()));
  return true;
}

bool Push(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  for (const Value& a : args) {
    Value e;
    if (!Element(c, self, a, &e)) return false;
    ItemsOf(self).push_back(std::move(e));
  }
  *out = self;
  return true;
}

bool Pop(CollectionCall&, const Value& self, std::span<const Value>, Value* out) {
  Items& items = ItemsOf(self);
  *out = Value();
  if (!items.empty()) {
    *out = std::move(items.back());
    items.pop_back();
  }
  return true;
}

bool Shift(CollectionCall&, const Value& self, std::span<const Value>, Value* out) {
  Items& items = ItemsOf(self);
  *out = Value();
  if (!items.empty()) {
    *out = std::move(items.front());
    items.erase(items.begin());
  }
  return true;
}

bool Unshift(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  Items front;
  for (const Value& a : args) {
    Value e;
    if (!Element(c, self, a, &e)) return false;
    front.push_back(std::move(e));
  }
  Items& items = ItemsOf(self);
  items.insert(items.begin(), front.begin(), front.end());
  *out = self;
  return true;
}

bool Insert(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  int64_t at;
  Value e;
  if (!Index(c, args[0], "index", &at) || !Element(c, self, args[1], &e)) return false;
  Items& items = ItemsOf(self);
  at = std::min<int64_t>(FromEnd(at, items.size()), int64_t(items.size()));
  items.insert(items.begin() + at, std::move(e));
  *out = self;
  return true;
}

bool Remove(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  int64_t at, count = 1;
  if (!Index(c, args[0], "index", &at)) return false;
  if (args.size() > 1 && !Index(c, args[1], "howMany", &count)) return false;
  Items& items = ItemsOf(self);
  at = FromEnd(at, items.size());
  if (at < int64_t(items.size()) && count > 0) {
    int64_t end = std::min<int64_t>(at + count, int64_t(items.size()));
    items.erase(items.begin() + at, items.begin() + end);
  }
  *out = self;
  return true;
}

bool Resize(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  int64_t size;
  if (!Index(c, args[0], "size", &size)) return false;
  if (size < 0 || size_t(size) > kMaxItems) return Error(c, "resize: the size is out of range");
  Value fill = Value::Null();
  if (args.size() > 1 && !Element(c, self, args[1], &fill)) return false;
  ItemsOf(self).resize(size_t(size), fill);
  *out = self;
  return true;
}

bool Fill(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  Items& items = ItemsOf(self);
  Value v;
  int64_t from = 0, end = int64_t(items.size());
  if (!Element(c, self, args[0], &v)) return false;
  if (args.size() > 1 && !Index(c, args[1], "startFrom", &from)) return false;
  if (args.size() > 2 && !Index(c, args[2], "end", &end)) return false;
  from = FromEnd(from, items.size());
  if (end < 0) end += int64_t(items.size());
  end = std::min<int64_t>(end, int64_t(items.size()));
  for (int64_t i = from; i < end; ++i) items[size_t(i)] = v;
  *out = self;
  return true;
}

bool Clear(CollectionCall&, const Value& self, std::span<const Value>, Value* out) {
  ItemsOf(self).clear();
  *out = self;
  return true;
}

// The position of the first element equal to args[0] from startFrom on, or -1.
bool Find(CollectionCall& c, const Value& self, std::span<const Value> args, int64_t* at) {
  const Items& items = ItemsOf(self);
  int64_t from = 0;
  if (args.size() > 1 && !Index(c, args[1], "startFrom", &from)) return false;
  *at = -1;
  for (int64_t i = FromEnd(from, items.size()); i < int64_t(items.size()); ++i)
    if (EqualElements(items[size_t(i)], args[0], true)) {
      *at = i;
      break;
    }
  return true;
}

bool IndexOf(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  int64_t at;
  if (!Find(c, self, args, &at)) return false;
  *out = Value::Real(double(at));
  return true;
}

bool Includes(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  int64_t at;
  if (!Find(c, self, args, &at)) return false;
  *out = Value::Bool(at >= 0);
  return true;
}

bool LastIndexOf(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  const Items& items = ItemsOf(self);
  int64_t from = int64_t(items.size()) - 1;
  if (args.size() > 1 && !Index(c, args[1], "startFrom", &from)) return false;
  if (from < 0) from += int64_t(items.size());
  from = std::min<int64_t>(from, int64_t(items.size()) - 1);
  int64_t at = -1;
  for (int64_t i = from; i >= 0; --i)
    if (EqualElements(items[size_t(i)], args[0], true)) {
      at = i;
      break;
    }
  *out = Value::Real(double(at));
  return true;
}

bool Join(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  if (args[0].type != Type::Text) return Error(c, "join: the delimiter must be a text");
  double option = 0;
  if (args.size() > 1 && !Number(c, args[1], "join: the option", &option)) return false;
  bool skipEmpty = (int(option) & kIgnoreNullOrEmpty) != 0;
  std::string joined;
  bool first = true;
  for (const Value& item : ItemsOf(self)) {
    std::string text = item.type == Type::Null ? "" : ToText(item);
    if (skipEmpty && text.empty()) continue;
    if (!first) joined += args[0].str();
    first = false;
    joined += text;
  }
  *out = Value::Text(std::move(joined));
  return true;
}

bool Slice(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  const Items& items = ItemsOf(self);
  int64_t from = 0, end = int64_t(items.size());
  if (!args.empty() && !Index(c, args[0], "startFrom", &from)) return false;
  if (args.size() > 1 && !Index(c, args[1], "end", &end)) return false;
  from = FromEnd(from, items.size());
  if (end < 0) end += int64_t(items.size());
  end = std::min<int64_t>(end, int64_t(items.size()));
  Items part;
  for (int64_t i = from; i < end; ++i) part.push_back(items[size_t(i)]);
  *out = Wrap(std::move(part));
  return true;
}

bool Concat(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  Items all = ItemsOf(self);
  for (const Value& a : args) {
    if (const CollectionHeap* l = a.collection()) {
      all.insert(all.end(), l->items.begin(), l->items.end());
      continue;
    }
    Value e;
    if (!ToElement(a, &e)) return Error(c, "concat: an array cannot be put into a collection");
    all.push_back(std::move(e));
  }
  *out = Wrap(std::move(all));
  return true;
}

bool Copy(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  double option = 0;
  if (!args.empty() && !Number(c, args[0], "copy: the option", &option)) return false;
  return DeepCopy(self, (int(option) & kShared) != 0, out, &c.error);
}

bool Reverse(CollectionCall&, const Value& self, std::span<const Value>, Value* out) {
  Items items = ItemsOf(self);
  std::reverse(items.begin(), items.end());
  *out = Wrap(std::move(items));
  return true;
}

// A comparison by formula reads its two objects' properties, and a large collection's
// objects lie far apart in memory, seldom in the cache: waiting for each object, then for
// its properties, would be most of the sort's time. They are asked for while earlier
// comparisons run: the object eight places on, the properties of the one four places on
// (whose object was asked for at least four comparisons ago). Always inlined: as functions of their own,
// which write nothing, the compiler would drop the calls.
struct ObjectsAhead {
  [[gnu::always_inline]] void Far(const Value& v) const {
    v.Prefetch();
    // The object's fields past its first line (which kind of object it is).
    if (const ObjectHeap* o = v.object()) __builtin_prefetch(&o->cls);
  }
  [[gnu::always_inline]] void Near(const Value& v) const {
    if (const ObjectHeap* o = v.object()) o->PrefetchProps();
  }
};

bool Sort(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  Items& items = ItemsOf(self);
  if (args.empty()) {
    SafeSort(items, [](const Value& a, const Value& b) { return CompareElements(a, b) < 0; });
    *out = self;
    return true;
  }
  // The formula decides; an error in it stops the comparisons and fails the sort.
  bool ok = true;
  Items sorted = items;
  Value e;
  const Name& value = EventName(kValue);
  const Name& value2 = EventName(kValue2);
  SafeSort(sorted, [&](const Value& a, const Value& b) {
    if (!ok) return false;
    // One event serves the comparisons while the formula keeps no hold of it: as the
    // last one left it (value, value2 and what the formula added), it takes the two
    // elements in place and loses the rest.
    ObjectHeap* o = e.Sole() ? e.object() : nullptr;
    if (o && o->props.size() >= 2 && o->props.size() <= 3 && o->props[0].first == value &&
        o->props[1].first == value2) {
      if (o->props.size() == 3) o->props.pop_back();
      o->props[0].second = a;
      o->props[1].second = b;
    } else {
      if (o) {
        o->Clear();
        o->Set(value, a);
      } else {
        e = Event(a);
      }
      e.object()->Set(value2, b);
    }
    ok = RunFormula(c, args, 0, e);
    return ok && ResultTrue(e);
  }, ObjectsAhead{});
  if (!ok) return false;
  items = std::move(sorted);
  *out = self;
  return true;
}

// One criterion of orderBy(): a property path (empty: the element itself) and a direction.
struct OrderKey {
  std::string path;
  bool descending = false;
};

bool ParseOrder(CollectionCall& c, std::span<const Value> args, std::vector<OrderKey>* keys) {
  if (args.empty()) {
    keys->push_back({});
    return true;
  }
  const Value& a = args[0];
  if (a.numeric()) {
    keys->push_back({"", (RealToLong(a.Number()) & kDescending) != 0});
    return true;
  }
  if (a.type == Type::Text) {
    // "path1 asc, path2 desc"
    std::string_view s = a.str();
    while (!s.empty()) {
      size_t comma = s.find(',');
      std::string_view part = s.substr(0, comma);
      s = comma == std::string_view::npos ? std::string_view() : s.substr(comma + 1);
      std::vector<std::string> words;
      std::string w;
      for (char ch : std::string(part) + " ") {
        if (ch == ' ' || ch == '\t') {
          if (!w.empty()) words.push_back(std::move(w));
          w.clear();
        } else {
          w += ch;
        }
      }
      if (words.empty() || words.size() > 2) return Error(c, "orderBy: bad criteria \"" + a.str() + "\"");
      OrderKey k{words[0], false};
      if (words.size() == 2) {
        std::string dir = Lowercase(words[1]);
        if (dir == "desc") k.descending = true;
        else if (dir != "asc") return Error(c, "orderBy: asc or desc expected after " + words[0]);
      }
      keys->push_back(std::move(k));
    }
    return true;
  }
  if (const CollectionHeap* l = a.collection()) {
    // [{propertyPath: "x", descending: true}, ...]
    for (const Value& item : l->items) {
      Value path = PathValue(item, "propertyPath"), desc = PathValue(item, "descending");
      if (path.type != Type::Text) return Error(c, "orderBy: each criterion needs a propertyPath");
      keys->push_back({path.str(), desc.type == Type::Boolean && desc.b});
    }
    return true;
  }
  return Error(c, "orderBy: the criteria must be a text, a collection or a number");
}

bool OrderBy(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  std::vector<OrderKey> keys;
  if (!ParseOrder(c, args, &keys)) return false;
  const Items& items = ItemsOf(self);
  // Each element's keys are looked up once, not at every comparison; nothing runs
  // during the sort that could change the elements they point into.
  static const Value kMissing;
  size_t nk = keys.size();
  std::vector<const Value*> at(items.size() * nk);
  for (size_t i = 0; i < items.size(); ++i)
    for (size_t k = 0; k < nk; ++k) {
      const Value* v = keys[k].path.empty() ? &items[i] : PathPlace(items[i], keys[k].path);
      at[i * nk + k] = v ? v : &kMissing;
    }
  std::vector<uint32_t> order(items.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = uint32_t(i);
  SafeSort(order, [&](uint32_t a, uint32_t b) {
    for (size_t k = 0; k < nk; ++k) {
      int r = CompareElements(*at[a * nk + k], *at[b * nk + k]);
      if (r != 0) return keys[k].descending ? r > 0 : r < 0;
    }
    return false;
  });
  Items sorted;
  sorted.reserve(order.size());
  for (uint32_t i : order) sorted.push_back(items[i]);
  *out = Wrap(std::move(sorted));
  return true;
}

// The values the statistics functions work on: the elements, or a property of each.
// The values the statistics functions work on: the elements, or a property of each
// (undefined where it is missing), visited in place.
template <typename Visit>
bool EachValue(CollectionCall& c, const Value& self, std::span<const Value> args, size_t at, Visit visit) {
  if (args.size() <= at || args[at].numeric()) {
    for (const Value& item : ItemsOf(self)) visit(item);
    return true;
  }
  if (args[at].type != Type::Text) return Error(c, "the property path must be a text");
  static const Value kMissing;
  std::string_view path = args[at].str();
  for (const Value& item : ItemsOf(self)) {
    const Value* v = PathPlace(item, path);
    visit(v ? *v : kMissing);
  }
  return true;
}

bool Values(CollectionCall& c, const Value& self, std::span<const Value> args, size_t at, Items* out) {
  out->reserve(ItemsOf(self).size());
  return EachValue(c, self, args, at, [&](const Value& v) { out->push_back(v); });
}

bool Distinct(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  Items values;
  if (!Values(c, self, args, 0, &values)) return false;
  double option = 0;
  if (!args.empty() && args.back().numeric()) option = args.back().Number();
  bool exact = (int(option) & kDiacritical) != 0, counts = (int(option) & kCountValues) != 0;
  values.erase(std::remove_if(values.begin(), values.end(),
                              [](const Value& v) { return v.type == Type::Null || v.type == Type::Undefined; }),
               values.end());
  SafeSort(values, [](const Value& a, const Value& b) { return CompareElements(a, b) < 0; });
  Items unique;
  std::vector<double> seen;
  for (const Value& v : values) {
    bool same = !unique.empty() && (exact && v.type == Type::Text && unique.back().type == Type::Text
                                        ? v.str() == unique.back().str()
                                        : EqualElements(unique.back(), v, false));
    // Texts equal but for case are neighbours after the sort; exact ones may not be.
    if (!same && exact && v.type == Type::Text)
      for (const Value& u : unique)
        if (u.type == Type::Text && u.str() == v.str()) same = true;
    if (same) {
      if (counts) ++seen.back();
      continue;
    }
    unique.push_back(v);
    seen.push_back(1);
  }
  if (counts) {
    for (size_t i = 0; i < unique.size(); ++i) {
      Value o = Value::NewObject();
      o.object()->Set("value", unique[i]);
      o.object()->Set("count", Value::Real(seen[i]));
      unique[i] = std::move(o);
    }
  }
  *out = Wrap(std::move(unique));
  return true;
}

bool Sum(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  double sum = 0;
  if (!EachValue(c, self, args, 0, [&](const Value& v) {
        if (v.numeric()) sum += v.Number();
      }))
    return false;
  *out = Value::Real(sum);
  return true;
}

bool Average(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  double sum = 0;
  size_t n = 0;
  if (!EachValue(c, self, args, 0, [&](const Value& v) {
        if (v.numeric()) {
          sum += v.Number();
          ++n;
        }
      }))
    return false;
  *out = n ? Value::Real(sum / double(n)) : Value();
  return true;
}

bool Extreme(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out, int sign) {
  const Value* best = nullptr;
  if (!EachValue(c, self, args, 0, [&](const Value& v) {
        if (v.type == Type::Null || v.type == Type::Undefined) return;
        if (!best || CompareElements(v, *best) * sign > 0) best = &v;
      }))
    return false;
  *out = best ? *best : Value();
  return true;
}
bool Max(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  return Extreme(c, self, args, out, 1);
}
bool Min(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  return Extreme(c, self, args, out, -1);
}

bool Count(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  double n = 0;
  if (!EachValue(c, self, args, 0, [&](const Value& v) {
        n += v.type != Type::Null && v.type != Type::Undefined;
      }))
    return false;
  *out = Value::Real(n);
  return true;
}

bool CountValues(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  double n = 0;
  if (!EachValue(c, self, args, 1, [&](const Value& v) { n += EqualElements(v, args[0], false); }))
    return false;
  *out = Value::Real(n);
  return true;
}

// Deep equality as equal() compares: collections element by element, objects property
// by property whatever their order, texts without regard to accents and case unless
// `exact`; null is not undefined. A value that holds itself is unequal past kMaxDepth.
bool DeepEqual(const Value& a, const Value& b, bool exact, int depth) {
  if (depth > kMaxDepth) return false;
  if (a.type != b.type && !(a.numeric() && b.numeric())) return false;
  if (const CollectionHeap* x = a.collection()) {
    const CollectionHeap* y = b.collection();
    if (!y || x->items.size() != y->items.size()) return x == y;
    for (size_t i = 0; i < x->items.size(); ++i)
      if (!DeepEqual(x->items[i], y->items[i], exact, depth + 1)) return false;
    return true;
  }
  if (const ObjectHeap* x = a.object()) {
    const ObjectHeap* y = b.object();
    if (!y || x->props.size() != y->props.size()) return x == y;
    for (const auto& [name, v] : x->props) {
      const Value* w = y->Find(name.str());
      if (!w || !DeepEqual(v, *w, exact, depth + 1)) return false;
    }
    return true;
  }
  if (a.type == Type::Text && exact) return a.str() == b.str();
  return EqualElements(a, b, false);
}

bool Equal(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  if (args[0].type != Type::Collection) return Error(c, "equal(): the parameter must be a collection");
  double option = 0;
  if (args.size() > 1 && !Number(c, args[1], "equal(): the option", &option)) return false;
  *out = Value::Bool(DeepEqual(self, args[0], (int(option) & kDiacritical) != 0, 0));
  return true;
}

// every() and some(): whether the formula's result is true for every element, or one.
bool Every(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out, bool every) {
  size_t formula;
  int64_t start;
  if (!StartAndFormula(c, self, args, &formula, &start)) return false;
  const Items& items = ItemsOf(self);
  bool answer = every;
  for (size_t i = size_t(start); i < items.size(); ++i) {
    Value e = Event(items[i]);
    if (!RunFormula(c, args, formula, e)) return false;
    if (ResultTrue(e) != every) {
      answer = !every;
      break;
    }
  }
  *out = Value::Bool(answer);
  return true;
}
bool EveryFn(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  return Every(c, self, args, out, true);
}
bool Some(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  return Every(c, self, args, out, false);
}

bool Filter(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  Items kept;
  const Items items = ItemsOf(self);  // the formula may change the collection
  for (const Value& item : items) {
    Value e = Event(item);
    if (!RunFormula(c, args, 0, e)) return false;
    if (ResultTrue(e)) kept.push_back(item);
    if (Stopped(e)) break;
  }
  *out = Wrap(std::move(kept));
  return true;
}

bool Map(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  Items mapped;
  const Items items = ItemsOf(self);
  for (const Value& item : items) {
    Value e = Event(item);
    if (!RunFormula(c, args, 0, e)) return false;
    const Value* r = e.object()->Find("result");
    Value v;
    if (r && !ToElement(*r, &v)) return Error(c, "map: an array cannot be put into a collection");
    mapped.push_back(r ? v : Value::Null());
  }
  *out = Wrap(std::move(mapped));
  return true;
}

bool FlatMap(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  Items mapped;
  const Items items = ItemsOf(self);
  for (const Value& item : items) {
    Value e = Event(item);
    if (!RunFormula(c, args, 0, e)) return false;
    const Value* r = e.object()->Find("result");
    if (!r) continue;
    if (const CollectionHeap* l = r->collection()) mapped.insert(mapped.end(), l->items.begin(), l->items.end());
    else mapped.push_back(*r);
  }
  *out = Wrap(std::move(mapped));
  return true;
}

bool Reduce(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  const Items items = ItemsOf(self);
  Value acc = args.size() > 1 ? args[1] : Value();
  size_t i = 0;
  if (args.size() < 2) {  // no initial value: the first element is one
    if (items.empty()) return Error(c, "reduce: an empty collection needs an initial value");
    acc = items[i++];
  }
  // Parameters after the initial value reach the formula as $2...
  std::vector<Value> rest{args[0]};
  if (args.size() > 2) rest.insert(rest.end(), args.begin() + 2, args.end());
  for (; i < items.size(); ++i) {
    Value e = Event(items[i]);
    e.object()->Set(EventName(kAccumulator), acc);
    if (!RunFormula(c, rest, 0, e)) return false;
    // The formula returns the new accumulator, or sets $1.accumulator (or changes it
    // in place), as 4D documents both.
    const Value* r = e.object()->Find("result");
    if (!r) r = e.object()->Find("accumulator");
    acc = r ? *r : Value();
    if (Stopped(e)) break;
  }
  *out = acc;
  return true;
}

// find() and findIndex(): the first element, and its index, for which the formula's
// result is true (Undefined and -1 when none). The element comes from the copy walked:
// the formula may have changed the collection itself meanwhile.
bool FindBy(CollectionCall& c, const Value& self, std::span<const Value> args, int64_t* at,
            Value* found) {
  size_t formula;
  int64_t start;
  if (!StartAndFormula(c, self, args, &formula, &start)) return false;
  const Items items = ItemsOf(self);
  *at = -1;
  *found = Value();
  for (size_t i = size_t(start); i < items.size(); ++i) {
    Value e = Event(items[i]);
    if (!RunFormula(c, args, formula, e)) return false;
    if (ResultTrue(e)) {
      *at = int64_t(i);
      *found = items[i];
      break;
    }
  }
  return true;
}
bool FindFn(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  int64_t at;
  return FindBy(c, self, args, &at, out);
}
bool FindIndex(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  int64_t at;
  Value found;
  if (!FindBy(c, self, args, &at, &found)) return false;
  *out = Value::Real(double(at));
  return true;
}

void Flatten(const Items& items, int64_t depth, int level, Items* out) {
  for (const Value& v : items) {
    const CollectionHeap* l = v.collection();
    if (l && depth > 0 && level < kMaxDepth) Flatten(l->items, depth - 1, level + 1, out);
    else out->push_back(v);
  }
}

bool Flat(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  int64_t depth = 1;
  if (!args.empty() && !Index(c, args[0], "flat: the depth", &depth)) return false;
  Items flat;
  Flatten(ItemsOf(self), depth, 0, &flat);
  *out = Wrap(std::move(flat));
  return true;
}

bool Extract(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  for (size_t i = 0; i < args.size(); ++i)
    if (args[i].type != Type::Text && !(i == 1 && args.size() == 2 && args[i].numeric()))
      return Error(c, "extract: property paths must be texts");
  Items result;
  if (args.size() <= 2 && (args.size() == 1 || args[1].numeric())) {
    // extract(path {; ck keep null}): the values, undefined and null ones left out.
    bool keepNull = args.size() == 2 && (RealToLong(args[1].Number()) & kKeepNull) != 0;
    for (const Value& item : ItemsOf(self)) {
      Value v = PathValue(item, args[0].str());
      if (v.type == Type::Undefined || v.type == Type::Null) {
        if (keepNull) result.push_back(Value::Null());
        continue;
      }
      result.push_back(std::move(v));
    }
  } else {
    // extract(path; target; ...): an object of the target properties per element.
    if (args.size() % 2 != 0) return Error(c, "extract: each property path needs a target path");
    for (const Value& item : ItemsOf(self)) {
      Value o = Value::NewObject();
      for (size_t i = 0; i + 1 < args.size(); i += 2) {
        Value v = PathValue(item, args[i].str());
        if (v.type != Type::Undefined) o.object()->Set(args[i + 1].str(), std::move(v));
      }
      result.push_back(std::move(o));
    }
  }
  *out = Wrap(std::move(result));
  return true;
}

bool Query(CollectionCall& c, const Value& self, std::span<const Value> args, Value* out) {
  if (args[0].type != Type::Text) return Error(c, "query: the query must be a text");
  return QueryCollection(self, args[0].str(), args.subspan(1), out, &c.error);
}

// Sorted by name for the lookup.
constexpr CollectionFunction kFunctions[] = {
    {"average", 0, 1, false, Average},
    {"clear", 0, 0, true, Clear},
    {"concat", 1, -1, false, Concat},
    {"copy", 0, 2, false, Copy},
    {"count", 0, 1, false, Count},
    {"countValues", 1, 2, false, CountValues},
    {"distinct", 0, 2, false, Distinct},
    {"equal", 1, 2, false, Equal},
    {"every", 1, -1, false, EveryFn},
    {"extract", 1, -1, false, Extract},
    {"fill", 1, 3, true, Fill},
    {"filter", 1, -1, false, Filter},
    {"find", 1, -1, false, FindFn},
    {"findIndex", 1, -1, false, FindIndex},
    {"flat", 0, 1, false, Flat},
    {"flatMap", 1, -1, false, FlatMap},
    {"includes", 1, 2, false, Includes},
    {"indexOf", 1, 2, false, IndexOf},
    {"insert", 2, 2, true, Insert},
    {"join", 1, 2, false, Join},
    {"lastIndexOf", 1, 2, false, LastIndexOf},
    {"length", 0, 0, false, Length},
    {"map", 1, -1, false, Map},
    {"max", 0, 1, false, Max},
    {"min", 0, 1, false, Min},
    {"orderBy", 0, 1, false, OrderBy},
    {"pop", 0, 0, true, Pop},
    {"push", 1, -1, true, Push},
    {"query", 1, -1, false, Query},
    {"reduce", 1, -1, false, Reduce},
    {"remove", 1, 2, true, Remove},
    {"resize", 1, 2, true, Resize},
    {"reverse", 0, 0, false, Reverse},
    {"shift", 0, 0, true, Shift},
    {"slice", 0, 2, false, Slice},
    {"some", 1, -1, false, Some},
    {"sort", 0, -1, true, Sort},
    {"sum", 0, 1, false, Sum},
    {"unshift", 1, -1, true, Unshift},
};

}  // namespace

const CollectionFunction* FindCollectionFunction(std::string_view name) {
  auto it = std::lower_bound(std::begin(kFunctions), std::end(kFunctions), name,
                             [](const CollectionFunction& f, std::string_view n) { return f.name < n; });
  return it != std::end(kFunctions) && it->name == name ? it : nullptr;
}

bool CallCollectionFunction(CollectionCall& c, const CollectionFunction& fn, const Value& self,
                            std::span<const Value> args, Value* out) {
  if (!self.collection()) return Error(c, std::string(fn.name) + ": not a collection");
  int n = int(args.size());
  if (n < fn.minArgs || (fn.maxArgs >= 0 && n > fn.maxArgs))
    return Error(c, std::string(fn.name) + ": wrong number of parameters");
  if (fn.changes && !MayChange(self, c.holder))
    return Error(c, std::string(fn.name) + ": a shared collection can only be changed inside Use");
  if (!fn.fn(c, self, args, out)) {
    if (c.error.rfind(std::string(fn.name) + ":", 0) != 0) c.error = std::string(fn.name) + ": " + c.error;
    return false;
  }
  return true;
}

}  // namespace runner
