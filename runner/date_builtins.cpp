// Dates and times beyond Current date and Year of: Date and Time from texts, Add to
// date, Day number, Timestamp.
#include <chrono>
#include <cstdio>

#include "runner/interp.h"

namespace runner {

namespace {

bool NeedDate(Frame& f, int32_t node, Date* out, const char* what) {
  Value v;
  if (!Eval(f, node, &v)) return false;
  if (v.type != Type::Date) return Fail(f, std::string(what) + " must be a date, not " + Article(v.type));
  *out = v.d;
  return true;
}

// Up to three numbers of a text, whatever separates them; how many were read.
int ReadNumbers(std::string_view t, long n[3], size_t* end = nullptr) {
  int count = 0;
  size_t i = 0;
  while (i < t.size() && count < 3) {
    if (t[i] >= '0' && t[i] <= '9') {
      long v = 0;
      while (i < t.size() && t[i] >= '0' && t[i] <= '9' && v < 100000) v = v * 10 + (t[i++] - '0');
      n[count++] = v;
    } else if (count > 0 && (t[i] == 'T' || t[i] == ' ')) {
      break;
    } else {
      ++i;
    }
  }
  if (end) *end = i;
  return count;
}

// Date(text) reads the US default form (month, day, year; a two-digit year is 19xx up
// to 29... as 4D's default century), ISO "YYYY-MM-DD" with or without a time; a date
// passes through. What is not a date gives the null date.
bool DateFn(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.type == Type::Date) {
    *out = v;
    return true;
  }
  if (v.type != Type::Text) return Fail(f, "Date: the parameter must be a text or a date, not " + Article(v.type));
  std::string_view t = v.str();
  long n[3] = {0, 0, 0};
  Date d{};
  if (ReadNumbers(t, n) == 3) {
    bool iso = t.size() >= 10 && t[4] == '-' && t[7] == '-';
    if (iso) d = Date{int(n[0]), int(n[1]), int(n[2])};
    else d = Date{int(n[2]), int(n[0]), int(n[1])};
    // 4D's default: 00-29 are 20xx, 30-99 are 19xx.
    if (!iso && d.year < 100) d.year += d.year < 30 ? 2000 : 1900;
  }
  *out = Value::MakeDate(ValidDate(d) ? d : Date{});
  return true;
}

// Time("hh:mm:ss") or Time(seconds).
bool TimeFn(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.numeric() || v.type == Type::Time) {
    *out = Value::Time(int32_t(v.type == Type::Time ? v.l : v.Number()));
    return true;
  }
  if (v.type != Type::Text) return Fail(f, "Time: the parameter must be a text or a number, not " + Article(v.type));
  long n[3] = {0, 0, 0};
  std::string_view t = v.str();
  // An ISO date-time: the time after its T.
  if (size_t at = t.find('T'); t.size() >= 10 && t[4] == '-' && at != std::string_view::npos) t = t.substr(at + 1);
  ReadNumbers(t, n);
  *out = Value::Time(int32_t(n[0] * 3600 + n[1] * 60 + n[2]));
  return true;
}

// Years and months first, then days; a day past the month's end runs into the next
// month (January 31 plus one month is March 2 or 3), as 4D counts.
bool AddToDate(Frame& f, const Args& a, Value* out) {
  Date d;
  int32_t years, months, days;
  if (!NeedDate(f, a[0], &d, "Add to date: the date") ||
      !EvalLong(f, a[1], &years, "Add to date: the years") ||
      !EvalLong(f, a[2], &months, "Add to date: the months") ||
      !EvalLong(f, a[3], &days, "Add to date: the days"))
    return false;
  if (d.year == 0) {
    *out = Value::MakeDate(d);
    return true;
  }
  int64_t m = int64_t(d.year) * 12 + (d.month - 1) + int64_t(years) * 12 + months;
  int64_t y = m / 12;
  if (y < 1 || y > 9999) return Fail(f, "Add to date: the date would be out of range");
  int64_t day = DateToDays(Date{int(y), int(m % 12) + 1, 1}) + d.day - 1 + days;
  Date r = DaysToDate(day);
  if (r.year < 1 || r.year > 9999) return Fail(f, "Add to date: the date would be out of range");
  *out = Value::MakeDate(r);
  return true;
}

// 1 for Sunday to 7 for Saturday.
bool DayNumber(Frame& f, const Args& a, Value* out) {
  Date d;
  if (!NeedDate(f, a[0], &d, "Day number: the date")) return false;
  if (d.year == 0) {
    *out = Value::Long(0);
    return true;
  }
  // Day 0 (0001-01-01) was a Monday.
  *out = Value::Long(int32_t((DateToDays(d) + 1) % 7) + 1);
  return true;
}

// The current UTC time, ISO with milliseconds: "2016-12-12T13:31:29.477Z".
bool Timestamp(Frame&, const Args&, Value* out) {
  using namespace std::chrono;
  auto now = time_point_cast<milliseconds>(system_clock::now());
  int64_t ms = now.time_since_epoch().count();
  int64_t secs = ms / 1000;
  Date d = DaysToDate(DateToDays(Date{1970, 1, 1}) + secs / 86400);
  int64_t s = secs % 86400;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", d.year, d.month, d.day,
                int(s / 3600), int(s / 60 % 60), int(s % 60), int(ms % 1000));
  *out = Value::Text(buf);
  return true;
}

constexpr BuiltinInfo kDateBuiltins[] = {
    {"Date", 102, 1, 1, true, "e", DateFn, false},
    {"Time", 179, 1, 1, true, "e", TimeFn, false},
    {"Add to date", 393, 4, 4, true, "eeee", AddToDate, false},
    {"Day number", 114, 1, 1, true, "e", DayNumber, false},
    {"Timestamp", 1445, 0, 0, true, "", Timestamp, false},
};

}  // namespace

std::span<const BuiltinInfo> DateBuiltins() { return kDateBuiltins; }

}  // namespace runner
