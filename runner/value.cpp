#include "runner/value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "runner/objects.h"

#include "platform/services.h"

namespace runner {

Value Value::Empty(Type t) {
  Value v;
  v.type = t;
  return v;
}

Value Value::Array(Type elem, size_t count) {
  Value v;
  v.type = Type::Array;
  v.elem = elem;
  v.itemsMut().assign(count + 1, Value::Empty(elem));
  return v;
}

Value Value::Pointer(const PointerRef& p) {
  Value v;
  v.type = Type::Pointer;
  v.ptrKind_ = p.kind;
  v.ptrSlot_ = p.slot;
  v.ptr_.element = p.element;
  v.ptr_.frame = p.frame;
  return v;
}

Value Value::NewObject() { return WithHeap(Type::Object, new ObjectHeap()); }
Value Value::NewCollection() { return WithHeap(Type::Collection, new CollectionHeap()); }

const std::string& Value::EmptyBytes() {
  static const std::string empty;
  return empty;
}

std::string& Value::strMut() {
  if (heap_ && heap_->kind != Heap::Kind::Bytes) {  // the value was of another type
    Release(heap_);
    heap_ = nullptr;
  }
  if (!heap_) {
    heap_ = new BytesHeap(std::string());
  } else if (heap_->refs > 1) {
    Heap* shared = heap_;
    heap_ = new BytesHeap(static_cast<BytesHeap*>(shared)->bytes);
    --shared->refs;
  }
  return static_cast<BytesHeap*>(heap_)->bytes;
}

std::string Value::takeStr() {
  if (!heap_ || heap_->kind != Heap::Kind::Bytes) return std::string();
  if (heap_->refs > 1) return str();
  return std::move(static_cast<BytesHeap*>(heap_)->bytes);
}

namespace {
// The last version given to elements about to change; heaps live on one thread.
thread_local uint64_t itemsVersions = 0;
}  // namespace

std::vector<Value>& Value::itemsMut() {
  if (heap_ && heap_->kind != Heap::Kind::Items) {
    Release(heap_);
    heap_ = nullptr;
  }
  if (!heap_) {
    heap_ = new ItemsHeap();
  } else if (heap_->refs > 1) {
    auto* copy = new ItemsHeap();
    copy->items = static_cast<ItemsHeap*>(heap_)->items;
    --heap_->refs;
    heap_ = copy;
  }
  auto* items = static_cast<ItemsHeap*>(heap_);
  items->version = ++itemsVersions;
  return items->items;
}

void Value::Free(Heap* h) {
  // Freeing a container releases its elements, which may free theirs: a heap freed while
  // another is being freed waits in a list, so that a collection nested a million deep
  // does not take a million stack frames to free.
  thread_local std::vector<Heap*>* pending = nullptr;
  if (pending) {
    pending->push_back(h);
    return;
  }
  std::vector<Heap*> list{h};
  pending = &list;
  while (!list.empty()) {
    Heap* x = list.back();
    list.pop_back();
    switch (x->kind) {
      case Heap::Kind::Bytes: delete static_cast<BytesHeap*>(x); break;
      case Heap::Kind::Items: delete static_cast<ItemsHeap*>(x); break;
      case Heap::Kind::Object: delete static_cast<ObjectHeap*>(x); break;
      case Heap::Kind::Collection: delete static_cast<CollectionHeap*>(x); break;
    }
  }
  pending = nullptr;
}

namespace {
void LeaveGroup(SharedGroup* g) {
  if (g && --g->refs == 0) delete g;
}
}  // namespace

ObjectHeap::~ObjectHeap() { LeaveGroup(group); }
CollectionHeap::~CollectionHeap() { LeaveGroup(group); }

// ---- property names

namespace {
using NameTable = std::unordered_map<std::string_view, void*>;
// Never destroyed: names held by static values may go after the table would have.
NameTable& Names() {
  static NameTable* table = new NameTable();
  return *table;
}
size_t HashName(std::string_view text) { return std::hash<std::string_view>{}(text); }
}  // namespace

Name::Name(std::string_view text) {
  if (text.empty()) return;
  NameTable& names = Names();
  size_t hash = HashName(text);
  auto it = names.find(text);
  if (it != names.end()) {
    rec_ = static_cast<Rec*>(it->second);
    ++rec_->refs;
    return;
  }
  rec_ = new Rec{1, hash, std::string(text)};
  names.emplace(std::string_view(rec_->text), rec_);
}

void Name::Free(Rec* r) {
  Names().erase(std::string_view(r->text));
  delete r;
}

const std::string& Name::Empty() {
  static const std::string empty;
  return empty;
}
size_t Name::EmptyHash() {
  static const size_t hash = HashName("");
  return hash;
}

// ---- objects

constexpr size_t kIndexFrom = 8;  // properties searched one by one up to this many

namespace {
// Property names are short: comparing them in line beats a call of memcmp.
inline bool SameName(const std::string& a, std::string_view b) {
  size_t n = a.size();
  if (n != b.size()) return false;
  if (n > 16) return std::memcmp(a.data(), b.data(), n) == 0;
  const char *p = a.data(), *q = b.data();
  for (size_t i = 0; i < n; ++i)
    if (p[i] != q[i]) return false;
  return true;
}
}  // namespace

size_t ObjectHeap::Slot(std::string_view name, size_t hash) const {
  size_t mask = index_.size() - 1;
  size_t i = hash & mask;
  while (index_[i] != 0 && !SameName(props[index_[i] - 1].first, name)) i = (i + 1) & mask;
  return i;
}

void ObjectHeap::Reindex() {
  index_.clear();
  if (props.size() <= kIndexFrom) return;
  size_t n = 16;
  while (n < props.size() * 2) n *= 2;
  index_.assign(n, 0);
  for (size_t p = 0; p < props.size(); ++p)
    index_[Slot(props[p].first.str(), props[p].first.hash())] = uint32_t(p + 1);
}

// The count of properties says whether there is an index: it sits in the object's first
// cache line, the index further on.
const Value* ObjectHeap::Find(std::string_view name) const {
  if (props.size() <= kIndexFrom) {
    for (const auto& p : props)
      if (SameName(p.first, name)) return &p.second;
    return nullptr;
  }
  uint32_t at = index_[Slot(name, HashName(name))];
  return at ? &props[at - 1].second : nullptr;
}

Value* ObjectHeap::Find(std::string_view name) {
  return const_cast<Value*>(static_cast<const ObjectHeap*>(this)->Find(name));
}

Value* ObjectHeap::Find(const Name& name) {
  if (props.size() <= kIndexFrom) {
    for (auto& p : props)
      if (p.first == name) return &p.second;
    return nullptr;
  }
  uint32_t at = index_[Slot(name.str(), name.hash())];
  return at ? &props[at - 1].second : nullptr;
}

void ObjectHeap::Added() {
  if (props.size() <= kIndexFrom) return;
  if (props.size() * 2 > index_.size()) {
    Reindex();
  } else {
    const Name& name = props.back().first;
    index_[Slot(name.str(), name.hash())] = uint32_t(props.size());
  }
}

void ObjectHeap::Set(std::string_view name, Value v) {
  if (Value* old = Find(name)) {
    *old = std::move(v);
    return;
  }
  props.emplace_back(Name(name), std::move(v));
  Added();
}

void ObjectHeap::Set(const Name& name, Value v) {
  if (props.size() <= kIndexFrom) {  // names compare by address
    for (auto& p : props)
      if (p.first == name) {
        p.second = std::move(v);
        return;
      }
  } else if (Value* old = Find(name.str())) {
    *old = std::move(v);
    return;
  }
  props.emplace_back(name, std::move(v));
  Added();
}

void ObjectHeap::Clear() {
  props.clear();
  index_.clear();
}

bool ObjectHeap::Remove(std::string_view name) {
  for (size_t p = 0; p < props.size(); ++p) {
    if (props[p].first != name) continue;
    props.erase(props.begin() + std::ptrdiff_t(p));
    Reindex();
    return true;
  }
  return false;
}

std::string_view TypeName(Type t) {
  switch (t) {
    case Type::Undefined: return "undefined";
    case Type::Long: return "longint";
    case Type::Real: return "real";
    case Type::Boolean: return "boolean";
    case Type::Text: return "text";
    case Type::Blob: return "BLOB";
    case Type::Picture: return "picture";
    case Type::Date: return "date";
    case Type::Time: return "time";
    case Type::Array: return "array";
    case Type::Pointer: return "pointer";
    case Type::Null: return "null";
    case Type::Object: return "object";
    case Type::Collection: return "collection";
  }
  return "?";
}

int32_t RealToLong(double v) {
  if (std::isnan(v)) return 0;
  double r = std::round(v);  // halves away from zero
  if (r >= 2147483647.0) return INT32_MAX;
  if (r <= -2147483648.0) return INT32_MIN;
  return int32_t(r);
}

namespace {

std::string TwoDigits(int n) {
  char b[16];
  std::snprintf(b, sizeof b, "%02d", n);
  return b;
}

// 13 significant digits, as 4D writes reals; not a number is written as nothing.
std::string RealText(double v) {
  if (std::isnan(v)) return "";
  if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
  if (v == 0) return "0";  // and not "-0"
  char b[64];
  std::snprintf(b, sizeof b, "%.13g", v);
  return b;
}

}  // namespace

std::string ToText(const Value& v) {
  switch (v.type) {
    case Type::Undefined: return "";
    case Type::Long: return std::to_string(v.l);
    case Type::Real: return RealText(v.r);
    case Type::Boolean: return v.b ? "True" : "False";
    case Type::Text: return v.str();
    case Type::Blob:
    case Type::Picture: return v.str();
    case Type::Date: {  // a US system's short form
      if (v.d.year == 0) return "00/00/00";
      char b[32];
      std::snprintf(b, sizeof b, "%02d/%02d/%04d", v.d.month, v.d.day, v.d.year);
      return b;
    }
    case Type::Time: {
      int32_t s = v.l;
      std::string sign;
      int64_t a = s;
      if (a < 0) {
        sign = "-";
        a = -a;
      }
      return sign + TwoDigits(int(a / 3600)) + ":" + TwoDigits(int(a / 60 % 60)) + ":" +
             TwoDigits(int(a % 60));
    }
    case Type::Array: return "";
    case Type::Pointer: return "";
    case Type::Null: return "null";
    case Type::Object:
    case Type::Collection: return JsonStringify(v, false);
  }
  return "";
}

double TextToNumber(std::string_view text) {
  // As 4D reads a text: characters that are not part of a number are skipped, so
  // "a1b2c3" is 123 and "$1,234.50" is 1234.5. A hyphen before the first digit makes
  // the number negative, after it ends the number; an e after a digit starts the
  // exponent, which a hyphen before its first digit makes negative. A second point ends
  // the number.
  std::string mantissa;
  bool negative = false, point = false, any = false, inExponent = false, exponentNegative = false,
       exponentDigits = false;
  int64_t exponent = 0;
  for (char c : text) {
    bool digit = c >= '0' && c <= '9';
    if (inExponent) {
      if (digit) {
        exponentDigits = true;
        if (exponent < 100000) exponent = exponent * 10 + (c - '0');  // past any double's range
      } else if (c == '-') {
        if (exponentDigits) break;
        exponentNegative = true;
      }
    } else if (digit) {
      mantissa += c;
      any = true;
    } else if (c == '.') {
      if (point) break;
      mantissa += c;
      point = true;
    } else if (c == '-') {
      if (any) break;
      negative = true;
    } else if ((c == 'e' || c == 'E') && any) {
      inExponent = true;
    }
  }
  if (!any) return 0;
  if (exponentDigits) mantissa += "e" + std::string(exponentNegative ? "-" : "") + std::to_string(exponent);
  double v = std::strtod(mantissa.c_str(), nullptr);
  return negative ? -v : v;
}

namespace {

// Mac Roman lower-case letters above 127 and their capitals, for the same letters' case
// in Unicode.
constexpr uint8_t kLowerHigh[] = {0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x90,
                                  0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A,
                                  0x9B, 0x9C, 0x9D, 0x9E, 0x9F, 0xBE, 0xBF, 0xCF, 0xD8};
constexpr uint8_t kUpperHigh[] = {0xE7, 0xCB, 0xE5, 0x80, 0xCC, 0x81, 0x82, 0x83, 0xE9, 0xE6,
                                  0xE8, 0xEA, 0xED, 0xEB, 0xEC, 0x84, 0xEE, 0xF1, 0xEF, 0x85,
                                  0xCD, 0xF2, 0xF4, 0xF3, 0x86, 0xAE, 0xAF, 0xCE, 0xD9};
static_assert(sizeof kLowerHigh == sizeof kUpperHigh);

// Code point -> its other case, for the letters past ASCII that Latin-1 and Mac Roman
// hold.
struct CaseMaps {
  std::unordered_map<uint32_t, uint32_t> upper, lower;
  CaseMaps() {
    for (uint32_t c = 0xE0; c <= 0xFE; ++c) {  // Latin-1: à..þ and À..Þ, but for ÷ and ×
      if (c == 0xF7) continue;
      upper[c] = c - 0x20;
      lower[c - 0x20] = c;
    }
    upper[0xFF] = 0x178;  // ÿ Ÿ
    lower[0x178] = 0xFF;
    for (size_t i = 0; i < sizeof kLowerHigh; ++i) {
      uint32_t l = CodePoint(kLowerHigh[i]), u = CodePoint(kUpperHigh[i]);
      upper[l] = u;
      lower[u] = l;
    }
  }
  static uint32_t CodePoint(uint8_t macRoman) {
    std::string u = platform::MacRomanToUtf8(std::string_view(reinterpret_cast<char*>(&macRoman), 1));
    size_t i = 0;
    return DecodeUtf8(u, &i);
  }
};
const CaseMaps& Maps() {
  static const CaseMaps maps;
  return maps;
}

uint32_t MapCase(uint32_t c, bool upper) {
  if (c < 0x80) {
    if (upper && c >= 'a' && c <= 'z') return c - 32;
    if (!upper && c >= 'A' && c <= 'Z') return c + 32;
    return c;
  }
  const auto& m = upper ? Maps().upper : Maps().lower;
  auto it = m.find(c);
  return it == m.end() ? c : it->second;
}

std::string ChangeCase(std::string_view s, bool upper) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    if (uint8_t(s[i]) < 0x80) {
      out += char(MapCase(uint8_t(s[i++]), upper));
      continue;
    }
    size_t start = i;
    uint32_t c = DecodeUtf8(s, &i);
    if (c == kInvalidByte) out.append(s.substr(start, i - start));  // kept as it is
    else AppendUtf8(&out, MapCase(c, upper));
  }
  return out;
}

// The unaccented letter of an accented capital of Latin-1 (À..Ý), else c.
uint32_t BaseLetter(uint32_t c) {
  static constexpr char kBase[] = "AAAAAA CEEEEIIIIDNOOOOO OUUUUY";  // U+00C0..U+00DD
  if (c >= 0xC0 && c <= 0xDD && kBase[c - 0xC0] != ' ') return uint32_t(kBase[c - 0xC0]);
  return c == 0x178 ? 'Y' : c;
}

// The next character at *i for comparisons as 4D makes them by default: without regard
// to case or accents ("été" = "ETE").
inline uint32_t NextFolded(std::string_view s, size_t* i) {
  uint8_t b = uint8_t(s[*i]);
  if (b < 0x80) {
    ++*i;
    return b >= 'a' && b <= 'z' ? b - 32 : b;
  }
  size_t start = *i;
  uint32_t c = DecodeUtf8(s, i);
  return c == kInvalidByte ? 0x110000 + uint8_t(s[start]) : BaseLetter(MapCase(c, true));
}

}  // namespace

uint32_t FoldCharacter(uint32_t c, bool caseless, bool accentless) {
  uint32_t upper = MapCase(c, true);
  if (caseless) return accentless ? BaseLetter(upper) : upper;
  if (!accentless) return c;
  uint32_t base = BaseLetter(upper);
  if (base == upper) return c;
  return c == upper ? base : MapCase(base, false);  // a small letter stays small
}

uint32_t DecodeUtf8(std::string_view s, size_t* i) {
  uint8_t b = uint8_t(s[*i]);
  if (b < 0x80) {
    ++*i;
    return b;
  }
  int n = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
  if (n < 0 || s.size() - *i <= size_t(n)) {
    ++*i;
    return kInvalidByte;
  }
  uint32_t c = b & (0x3F >> n);
  for (int k = 1; k <= n; ++k) {
    uint8_t cont = uint8_t(s[*i + size_t(k)]);
    if ((cont & 0xC0) != 0x80) {
      ++*i;
      return kInvalidByte;
    }
    c = (c << 6) | (cont & 0x3F);
  }
  // Overlong forms, surrogates and values past Unicode are not characters.
  if ((n == 2 && c < 0x800) || (n == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
      (c >= 0xD800 && c <= 0xDFFF)) {
    ++*i;
    return kInvalidByte;
  }
  *i += size_t(n) + 1;
  return c;
}

void AppendUtf8(std::string* out, uint32_t c) {
  if (c < 0x80) {
    *out += char(c);
  } else if (c < 0x800) {
    *out += char(0xC0 | (c >> 6));
    *out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += char(0xE0 | (c >> 12));
    *out += char(0x80 | ((c >> 6) & 0x3F));
    *out += char(0x80 | (c & 0x3F));
  } else {
    *out += char(0xF0 | (c >> 18));
    *out += char(0x80 | ((c >> 12) & 0x3F));
    *out += char(0x80 | ((c >> 6) & 0x3F));
    *out += char(0x80 | (c & 0x3F));
  }
}

size_t TextLength(std::string_view s) {
  size_t units = 0;
  for (size_t i = 0; i < s.size();) {
    if (uint8_t(s[i]) < 0x80) {  // the common case: one byte, one unit
      ++i;
      ++units;
      continue;
    }
    uint32_t c = DecodeUtf8(s, &i);
    units += c != kInvalidByte && c > 0xFFFF ? 2 : 1;
  }
  return units;
}

size_t UnitsToBytes(std::string_view s, size_t units) {
  size_t i = 0;
  while (units > 0 && i < s.size()) {
    if (uint8_t(s[i]) < 0x80) {
      ++i;
      --units;
      continue;
    }
    uint32_t c = DecodeUtf8(s, &i);
    units -= c != kInvalidByte && c > 0xFFFF && units >= 2 ? 2 : 1;
  }
  return i;
}

size_t BytesToUnits(std::string_view s, size_t bytes) { return TextLength(s.substr(0, bytes)); }

std::string Uppercase(std::string_view s) { return ChangeCase(s, true); }
std::string Lowercase(std::string_view s) { return ChangeCase(s, false); }

int CompareText(std::string_view a, std::string_view b) {
  size_t i = 0, k = 0;
  while (i < a.size() && k < b.size()) {
    uint32_t x = NextFolded(a, &i), y = NextFolded(b, &k);
    if (x != y) return x < y ? -1 : 1;
  }
  if (i == a.size() && k == b.size()) return 0;
  return i == a.size() ? -1 : 1;
}

bool MatchWildcard(std::string_view text, std::string_view pattern) {
  // Greedy matching with one backtrack point: the last "@" seen.
  size_t t = 0, p = 0, star = std::string_view::npos, mark = 0;
  while (t < text.size()) {
    size_t pn = p, tn = t;
    if (p < pattern.size() && pattern[p] == '@') {
      star = p++;
      mark = t;
    } else if (p < pattern.size() && NextFolded(pattern, &pn) == NextFolded(text, &tn)) {
      p = pn;
      t = tn;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      NextFolded(text, &mark);  // one character further
      t = mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '@') ++p;
  return p == pattern.size();
}

size_t FindText(std::string_view in, std::string_view find, size_t from, bool exact) {
  if (find.empty() || from > in.size()) return std::string_view::npos;
  if (exact) return in.find(find, from);  // without regard to case, bytes may differ in number
  for (size_t i = from; i < in.size(); NextFolded(in, &i)) {
    size_t a = i, b = 0;
    bool equal = true;
    while (equal && b < find.size())
      equal = a < in.size() && NextFolded(in, &a) == NextFolded(find, &b);
    if (equal) return i;
  }
  return std::string_view::npos;
}

// Civil-calendar day numbers (after H. Hinnant's days_from_civil), shifted so that
// 0001-01-01 is day 0.
int64_t DateToDays(Date d) {
  int64_t y = d.year - (d.month <= 2 ? 1 : 0);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t m = d.month;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 306;  // day 0 = 0001-01-01
}

Date DaysToDate(int64_t days) {
  int64_t z = days + 306;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t y = yoe + era * 400;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1;
  int64_t m = mp + (mp < 10 ? 3 : -9);
  return Date{int(y + (m <= 2 ? 1 : 0)), int(m), int(d)};
}

bool ValidDate(Date d) { return platform::ValidDate(d.year, d.month, d.day); }

}  // namespace runner
