// Values of the 4D language as the method runner holds them. Texts, BLOBs and pictures
// are byte strings; texts hold Mac Roman bytes, as the plug-in expects them.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace runner {

enum class Type : uint8_t {
  Undefined, Long, Real, Boolean, Text, Blob, Picture, Date, Time, Array, Pointer
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

struct Value {
  Type type = Type::Undefined;
  int32_t l = 0;           // long; time in seconds
  double r = 0;            // real
  bool b = false;          // boolean
  std::string s;           // text, blob, picture bytes
  Date d;                  // date
  Type elem = Type::Undefined;  // array element type
  std::vector<Value> items;     // array elements, element 0 included
  PointerRef ptr;               // pointer

  static Value Long(int32_t v) { Value x; x.type = Type::Long; x.l = v; return x; }
  static Value Real(double v) { Value x; x.type = Type::Real; x.r = v; return x; }
  static Value Bool(bool v) { Value x; x.type = Type::Boolean; x.b = v; return x; }
  static Value Text(std::string v) { Value x; x.type = Type::Text; x.s = std::move(v); return x; }
  static Value Blob(std::string v) { Value x; x.type = Type::Blob; x.s = std::move(v); return x; }
  static Value Picture(std::string v) { Value x; x.type = Type::Picture; x.s = std::move(v); return x; }
  static Value MakeDate(Date v) { Value x; x.type = Type::Date; x.d = v; return x; }
  static Value Time(int32_t seconds) { Value x; x.type = Type::Time; x.l = seconds; return x; }
  // An empty value of a type (0, "", False, the null date...).
  static Value Empty(Type t);
  static Value Array(Type elem, size_t count);

  bool numeric() const { return type == Type::Long || type == Type::Real; }
  double Number() const { return type == Type::Real ? r : double(l); }
};

std::string_view TypeName(Type t);

// A real to a longint the way 4D assigns it: rounded to nearest; out of range saturates.
int32_t RealToLong(double v);
// Text form of a value, as String() and LOG give it.
std::string ToText(const Value& v);
// 4D's numeric reading of a text: the leading number, 0 when there is none.
double TextToNumber(std::string_view text);

// Mac Roman letter case.
uint8_t UpperByte(uint8_t c);
uint8_t LowerByte(uint8_t c);
std::string Uppercase(std::string_view s);
std::string Lowercase(std::string_view s);
// Texts compare without regard to case, as 4D compares them: -1, 0 or 1.
int CompareText(std::string_view a, std::string_view b);
// 4D's = with "@" in the right-hand text: "@" stands for any run of characters.
bool MatchWildcard(std::string_view text, std::string_view pattern);
// Position of `find` in `in` from byte `from` (0-based); npos when absent.
size_t FindText(std::string_view in, std::string_view find, size_t from, bool exact);

// Dates as day numbers (days since 0001-01-01 of the proleptic calendar), for arithmetic.
int64_t DateToDays(Date d);
Date DaysToDate(int64_t days);
bool ValidDate(Date d);

}  // namespace runner
