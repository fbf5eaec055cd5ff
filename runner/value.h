// Values of the 4D language as the method runner holds them. Texts are Unicode (UTF-8);
// BLOBs and pictures are bytes. Texts become Mac Roman only where they enter the
// plug-in's parameters.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace runner {

enum class Type : uint8_t {
  Undefined, Long, Real, Boolean, Text, Blob, Picture, Date, Time, Array, Pointer,
  Null, Object, Collection
};

// Where a pointer points: a variable of some kind by its slot, or an element of it.
// A pointer to a local or a parameter belongs to one call of a method (`frame`).
enum class PointerKind : uint8_t { Nil, Local, Param, ProcessVar, Interprocess };
struct PointerRef {
  PointerKind kind = PointerKind::Nil;
  int32_t slot = 0;
  int32_t element = -1;  // -1: the whole variable
  uint64_t frame = 0;    // Local and Param
  bool operator==(const PointerRef&) const = default;
};

struct Date {
  int year = 0, month = 0, day = 0;  // 0/0/0 is the null date
};

class Value;

// What a value keeps on the heap: the bytes of a text, BLOB or picture, or the elements
// of an array, or an object or a collection. Copies of a value share it and count their
// references; a write to a shared one first makes it its own (texts, BLOBs and arrays
// are values in 4D). Objects and collections are references in 4D: every copy reaches
// the same one and changes it in place. Processes take turns on one thread: the count
// needs no atomics.
struct Heap {
  enum class Kind : uint8_t { Bytes, Items, Object, Collection };
  uint32_t refs = 1;
  Kind kind;
  explicit Heap(Kind k) : kind(k) {}
};
struct BytesHeap : Heap {
  std::string bytes;
  explicit BytesHeap(std::string b) : Heap(Kind::Bytes), bytes(std::move(b)) {}
};
struct ItemsHeap;
struct ObjectHeap;
struct ClassDef;
// What an object of a built-in class keeps besides its properties (a formula's code, a
// file's path); shared by its copies, never changed once made.
struct NativeData {
  virtual ~NativeData() = default;
};
struct CollectionHeap;

// A 4D value: a type, 16 bytes for longints, reals, booleans, dates, times and pointers,
// and one shared heap part for bytes and elements.
class Value {
 public:
  Type type = Type::Undefined;
  Type elem = Type::Undefined;  // array element type
 private:
  PointerKind ptrKind_ = PointerKind::Nil;
  int32_t ptrSlot_ = 0;

 public:
  union {
    int32_t l;  // longint; time in seconds
    double r;   // real
    bool b;     // boolean
    Date d;     // date
    struct {
      uint64_t frame;
      int32_t element;
    } ptr_;
    uint64_t raw_[2];  // all of the above, for copies
  };

 private:
  Heap* heap_ = nullptr;

 public:
  Value() : raw_{0, 0} {}
  Value(const Value& o) : type(o.type), elem(o.elem), ptrKind_(o.ptrKind_), ptrSlot_(o.ptrSlot_),
                          raw_{o.raw_[0], o.raw_[1]}, heap_(o.heap_) {
    if (heap_) ++heap_->refs;
  }
  Value(Value&& o) noexcept : type(o.type), elem(o.elem), ptrKind_(o.ptrKind_),
                              ptrSlot_(o.ptrSlot_), raw_{o.raw_[0], o.raw_[1]}, heap_(o.heap_) {
    o.heap_ = nullptr;
    o.type = Type::Undefined;
  }
  Value& operator=(const Value& o) {
    if (o.heap_) ++o.heap_->refs;
    Heap* old = heap_;
    CopyFields(o);
    heap_ = o.heap_;
    if (old) Release(old);
    return *this;
  }
  Value& operator=(Value&& o) noexcept {
    if (this == &o) return *this;
    Heap* old = heap_;
    CopyFields(o);
    heap_ = o.heap_;
    o.heap_ = nullptr;
    o.type = Type::Undefined;
    if (old) Release(old);
    return *this;
  }
  ~Value() {
    if (heap_) Release(heap_);
  }

  static Value Long(int32_t v) { Value x; x.type = Type::Long; x.l = v; return x; }
  static Value Real(double v) { Value x; x.type = Type::Real; x.r = v; return x; }
  static Value Bool(bool v) { Value x; x.type = Type::Boolean; x.b = v; return x; }
  static Value Text(std::string v) { return WithBytes(Type::Text, std::move(v)); }
  static Value Blob(std::string v) { return WithBytes(Type::Blob, std::move(v)); }
  static Value Picture(std::string v) { return WithBytes(Type::Picture, std::move(v)); }
  static Value MakeDate(Date v) { Value x; x.type = Type::Date; x.d = v; return x; }
  static Value Time(int32_t seconds) { Value x; x.type = Type::Time; x.l = seconds; return x; }
  static Value Pointer(const PointerRef& p);
  // An empty value of a type (0, "", False, the null date...).
  static Value Empty(Type t);
  static Value Array(Type elem, size_t count);
  static Value Null() { Value x; x.type = Type::Null; return x; }
  static Value NewObject();
  static Value NewCollection();

  // The object or collection a value refers to; null for other values. Changes through
  // it are seen by every value referring to it.
  ObjectHeap* object() const;
  CollectionHeap* collection() const;
  // Whether no other value shares this one's heap part (an object no one else holds).
  bool Sole() const { return heap_ && heap_->refs == 1; }
  // Asks for the heap part to be brought into the cache, without waiting for it.
  void Prefetch() const { __builtin_prefetch(heap_); }
  // Whether two values refer to the same object or collection.
  bool SameRef(const Value& o) const { return heap_ == o.heap_ && heap_ && type == o.type; }

  bool numeric() const { return type == Type::Long || type == Type::Real; }
  double Number() const { return type == Type::Real ? r : double(l); }

  // The bytes of a text, BLOB or picture.
  const std::string& str() const {
    return heap_ && heap_->kind == Heap::Kind::Bytes ? static_cast<BytesHeap*>(heap_)->bytes
                                                     : EmptyBytes();
  }
  // The bytes to change in place: this value's own (a shared heap part is copied first).
  std::string& strMut();
  // The bytes, moved out when no other value shares them.
  std::string takeStr();
  // The elements of an array, element 0 included.
  const std::vector<Value>& items() const;
  std::vector<Value>& itemsMut();
  // The version of the elements (see ItemsHeap); 0 for a value without elements.
  uint64_t itemsVersion() const;
  PointerRef ptr() const {
    return PointerRef{ptrKind_, ptrSlot_, ptr_.element, ptr_.frame};
  }

 private:
  static Value WithHeap(Type t, Heap* h) {
    Value x;
    x.type = t;
    x.heap_ = h;
    return x;
  }
  static Value WithBytes(Type t, std::string v) {
    Value x;
    x.type = t;
    if (!v.empty()) x.heap_ = new BytesHeap(std::move(v));
    return x;
  }
  static const std::string& EmptyBytes();
  static void Release(Heap* h) {
    if (--h->refs == 0) Free(h);
  }
  static void Free(Heap* h);
  void CopyFields(const Value& o) {
    type = o.type;
    elem = o.elem;
    ptrKind_ = o.ptrKind_;
    ptrSlot_ = o.ptrSlot_;
    raw_[0] = o.raw_[0];
    raw_[1] = o.raw_[1];
  }
};
static_assert(sizeof(Value) <= 32, "a Value is copied everywhere: keep it small");

struct ItemsHeap : Heap {
  std::vector<Value> items;
  // Given anew, from one count for all heaps, each time the elements are handed out to
  // be changed: equal versions are the same elements, unchanged.
  uint64_t version = 0;
  ItemsHeap() : Heap(Kind::Items) {}
};

// What a group of shared objects and collections has in common: a shared one put into
// another joins its group, and Use on any of them holds the whole group for one process.
struct SharedGroup {
  uint32_t refs = 1;   // members
  uint32_t uses = 0;   // nested Use of the holder
  const void* holder = nullptr;
};

// A property name. Names are interned: the objects that have a property "id" all point
// to one "id", which lives while one of them has it. A property then takes 8 bytes for
// its name, two names compare by address, and a lookup by text compares with names that
// stay in the cache.
class Name {
 public:
  Name() = default;  // ""
  explicit Name(std::string_view text);
  Name(const Name& o) : rec_(o.rec_) {
    if (rec_) ++rec_->refs;
  }
  Name(Name&& o) noexcept : rec_(o.rec_) { o.rec_ = nullptr; }
  Name& operator=(Name o) noexcept {
    std::swap(rec_, o.rec_);
    return *this;
  }
  ~Name() {
    if (rec_ && --rec_->refs == 0) Free(rec_);
  }

  const std::string& str() const { return rec_ ? rec_->text : Empty(); }
  operator const std::string&() const { return str(); }
  size_t hash() const { return rec_ ? rec_->hash : EmptyHash(); }
  bool operator==(const Name& o) const { return rec_ == o.rec_; }
  friend bool operator==(const Name& a, std::string_view b) { return a.str() == b; }

 private:
  struct Rec {
    uint32_t refs;
    size_t hash;
    std::string text;
  };
  static void Free(Rec* r);
  static const std::string& Empty();
  static size_t EmptyHash();
  Rec* rec_ = nullptr;
};

// Objects and collections may hold each other in a circle that counting never frees:
// each live one is linked into its thread's list (processes share one thread), where
// FreeCycles finds them.
struct ContainerHeap : Heap {
  ContainerHeap* prevLive = nullptr;
  ContainerHeap* nextLive = nullptr;
  explicit ContainerHeap(Kind k);
  ~ContainerHeap();
  ContainerHeap(const ContainerHeap&) = delete;
  ContainerHeap& operator=(const ContainerHeap&) = delete;
};

// Frees the objects and collections of this thread that only hold one another (circles
// such as $o.self:=$o); one that anything else holds stays, with all it holds. A run
// calls it when it ends.
void FreeCycles();
// How many objects and collections of this thread are alive.
size_t LiveContainers();

// Properties keep the order they were added in (JSON Stringify writes them so); names
// are case-sensitive. Past a few properties a hash index finds them.
struct ObjectHeap : ContainerHeap {
  std::vector<std::pair<Name, Value>> props;
  SharedGroup* group = nullptr;  // shared objects only
  const ClassDef* cls = nullptr;  // an instance's class; null: a plain object
  std::shared_ptr<const NativeData> native;
  ObjectHeap() : ContainerHeap(Kind::Object) {}
  ~ObjectHeap();
  const Value* Find(std::string_view name) const;
  Value* Find(std::string_view name);
  Value* Find(const Name& name);  // names are interned: one comparison of addresses each
  void Set(std::string_view name, Value v);
  void Set(const Name& name, Value v);
  bool Remove(std::string_view name);
  void Clear();  // no properties left (their room kept)
  // Asks for the first properties (two cache lines of them) to be brought into the cache,
  // without waiting for them (the object itself should be there already: where they are
  // is read from it).
  void PrefetchProps() const {
    const char* at = reinterpret_cast<const char*>(props.data());
    __builtin_prefetch(at);
    __builtin_prefetch(at + 64);
  }

 private:
  std::vector<uint32_t> index_;  // open addressing over props, once there are many
  void Reindex();
  size_t Slot(std::string_view name, size_t hash) const;
  void Added();  // indexes the property just added
};

struct CollectionHeap : ContainerHeap {
  std::vector<Value> items;
  SharedGroup* group = nullptr;  // shared collections only
  CollectionHeap() : ContainerHeap(Kind::Collection) {}
  ~CollectionHeap();
};

inline ObjectHeap* Value::object() const {
  return type == Type::Object ? static_cast<ObjectHeap*>(heap_) : nullptr;
}
inline CollectionHeap* Value::collection() const {
  return type == Type::Collection ? static_cast<CollectionHeap*>(heap_) : nullptr;
}

inline uint64_t Value::itemsVersion() const {
  return heap_ && heap_->kind == Heap::Kind::Items ? static_cast<ItemsHeap*>(heap_)->version : 0;
}

inline const std::vector<Value>& Value::items() const {
  static const std::vector<Value> none;
  return heap_ && heap_->kind == Heap::Kind::Items ? static_cast<ItemsHeap*>(heap_)->items : none;
}

std::string_view TypeName(Type t);

// A real to a longint the way 4D assigns it: rounded to nearest; out of range saturates.
int32_t RealToLong(double v);
// Text form of a value, as String() and ECHO give it.
std::string ToText(const Value& v);
// 4D's numeric reading of a text: the leading number, 0 when there is none.
double TextToNumber(std::string_view text);

// Texts are UTF-8 inside the runner; their lengths and positions count UTF-16 units,
// as 4D counts them. A byte that is not part of a character counts as one.
constexpr uint32_t kInvalidByte = 0xFFFFFFFF;
// The character at *i, which moves past it; kInvalidByte for a stray byte (*i moves one).
uint32_t DecodeUtf8(std::string_view s, size_t* i);
void AppendUtf8(std::string* out, uint32_t c);
size_t TextLength(std::string_view s);  // in UTF-16 units
// The byte offset `units` UTF-16 units into s (its size when s is shorter), and back.
size_t UnitsToBytes(std::string_view s, size_t units);
size_t BytesToUnits(std::string_view s, size_t bytes);

// Letter case, for the letters of ASCII, Latin-1 and Mac Roman.
std::string Uppercase(std::string_view s);
std::string Lowercase(std::string_view s);
// Texts compare without regard to case, as 4D compares them: -1, 0 or 1.
int CompareText(std::string_view a, std::string_view b);
// A character as a comparison sees it: without regard to case, to accents, or both.
uint32_t FoldCharacter(uint32_t c, bool caseless, bool accentless);
// 4D's = with "@" in the right-hand text: "@" stands for any run of characters.
bool MatchWildcard(std::string_view text, std::string_view pattern);
// Byte position of `find` in `in` from byte `from` (at a character); npos when absent.
size_t FindText(std::string_view in, std::string_view find, size_t from, bool exact);

// Dates as day numbers (days since 0001-01-01 of the proleptic calendar), for arithmetic.
int64_t DateToDays(Date d);
Date DaysToDate(int64_t days);
bool ValidDate(Date d);

}  // namespace runner
