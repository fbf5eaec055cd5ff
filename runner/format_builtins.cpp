// Values as texts and the terminal: String with number, date and time formats,
// Time string, ALERT and CONFIRM. Month and day names are English, and the "system"
// formats are those of a US system, whatever the locale.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cstdio>
#include <iostream>

#include "platform/services.h"
#include "runner/interp.h"

namespace runner {

namespace {

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

constexpr int32_t kBlankIfNull = 100;  // added to a date or time format

std::string Pad(int64_t n, int width) {
  char b[32];
  std::snprintf(b, sizeof b, "%0*lld", width, static_cast<long long>(n));
  return b;
}

std::string FormatTime(int32_t seconds, int32_t format, bool* known);

// ---- numbers --------------------------------------------------------------------------
// A format has up to three sections, positive;negative;zero. In a section the placeholders
// # (a digit or nothing), 0 (a digit or 0), ^ (a digit or a space) and * (a digit or *)
// stand for digits, with , between them and one . for the decimal point; text before and
// after them is kept. "&N" is scientific notation with N digits, "&x" and "&$" hexadecimal,
// "&xml" the plain form with a point, "&/N" the number as a time of format N.

bool IsPlaceholder(char c) { return c == '#' || c == '0' || c == '^' || c == '*'; }

// What a placeholder shows where the number has no digit; '\0' for nothing.
char Fill(char placeholder) {
  switch (placeholder) {
    case '0': return '0';
    case '^': return ' ';
    case '*': return '*';
    default: return '\0';
  }
}

// The integer part laid out in its placeholders (and separators), right to left, or
// false when the digits (and the minus sign) do not fit.
bool LayOutInteger(const std::string& pattern, const std::string& digits, bool minus, std::string* out) {
  std::string shown;   // built from the right
  std::vector<bool> slot;  // where a minus sign could go instead of a fill
  size_t next = digits.size();  // digits left to place, from the right
  bool anyLeft = false;         // a digit or a 0 already shown to the right
  for (size_t k = pattern.size(); k-- > 0;) {
    char p = pattern[k];
    if (IsPlaceholder(p)) {
      if (next > 0) {
        shown += digits[--next];
        slot.push_back(false);
        anyLeft = true;
      } else if (char c = Fill(p)) {
        shown += c;
        slot.push_back(c != '0');
        anyLeft = anyLeft || c == '0';
      } else {
        shown += '\0';
        slot.push_back(true);
      }
    } else if (p == ',') {
      // A separator shows between digits; among fills it is one more fill.
      char left = '\0';
      for (size_t j = k; j-- > 0;)
        if (IsPlaceholder(pattern[j])) {
          left = next > 0 ? '1' : Fill(pattern[j]);
          break;
        }
      bool between = anyLeft && (left == '1' || left == '0');
      shown += between ? ',' : left == '1' || left == '0' ? '\0' : left;
      slot.push_back(!between);
    }
  }
  if (next > 0) return false;
  if (minus) {
    // Just before the leftmost digit or 0 shown.
    size_t lead = shown.size();
    for (size_t i = 0; i < shown.size(); ++i)
      if ((shown[i] >= '0' && shown[i] <= '9') || shown[i] == ',') lead = i + 1;
    while (lead < shown.size() && !slot[lead]) ++lead;
    if (lead >= shown.size()) return false;
    shown[lead] = '-';
  }
  out->clear();
  for (size_t i = shown.size(); i-- > 0;)
    if (shown[i]) *out += shown[i];
  return true;
}

// The digits of value >= 0 before and after the point, to its 13 significant digits:
// those a real holds here, so that 0.29 stays 0.29 however the double rounds.
void DecimalDigits(double value, std::string* whole, std::string* frac) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.12e", value);
  std::string digits;
  for (const char* p = buf; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') digits += *p;
  const char* e = std::strchr(buf, 'e');
  int before = (e ? std::atoi(e + 1) : 0) + 1;  // digits before the point
  if (before <= 0) {
    whole->clear();
    *frac = std::string(size_t(-before), '0') + digits;
  } else if (size_t(before) >= digits.size()) {
    *whole = digits + std::string(size_t(before) - digits.size(), '0');
    frac->clear();
  } else {
    *whole = digits.substr(0, size_t(before));
    *frac = digits.substr(size_t(before));
  }
  size_t lead = whole->find_first_not_of('0');
  whole->erase(0, lead == std::string::npos ? whole->size() : lead);
}

// One section: `value` is not negative; `minus` asks for a sign (a one-section format).
std::string FormatSection(double value, const std::string& section, bool minus) {
  size_t first = std::string::npos, last = 0;
  for (size_t i = 0; i < section.size(); ++i) {
    if (IsPlaceholder(section[i])) {
      if (first == std::string::npos) first = i;
      last = i;
    }
  }
  if (first == std::string::npos) return section;
  std::string pattern = section.substr(first, last + 1 - first);
  std::string prefix = section.substr(0, first), suffix = section.substr(last + 1);
  size_t point = pattern.find('.');
  std::string intPattern = pattern.substr(0, point);
  std::string fracPattern;
  if (point != std::string::npos)
    for (char c : pattern.substr(point + 1))
      if (IsPlaceholder(c) && fracPattern.size() < 30) fracPattern += c;
  int decimals = int(fracPattern.size());

  // Digits past the format's are dropped, not rounded; the value is first taken to the
  // 13 significant digits a real holds here, so that 0.29 stays 0.29.
  std::string intDigits, frac;
  DecimalDigits(value, &intDigits, &frac);
  frac.resize(size_t(decimals), '0');
  if (intDigits == "0") intDigits.clear();  // no significant digit before the point
  minus = minus && (!intDigits.empty() || frac.find_first_not_of('0') != std::string::npos);

  // Trailing zeros under # disappear, under ^ and * become their fill.
  for (size_t k = frac.size(); k-- > 0 && frac[k] == '0' && fracPattern[k] != '0';) {
    if (char c = Fill(fracPattern[k])) frac[k] = c;
    else frac.erase(k);
  }
  std::string intPart;
  if (!LayOutInteger(intPattern, intDigits, minus, &intPart))
    return prefix + std::string(pattern.size(), '<') + suffix;  // more digits than places
  return prefix + intPart + (frac.empty() ? "" : "." + frac) + suffix;
}

// "&x": 0x and four or eight digits; "&$": $ and the digits without leading zeros.
std::string HexFormat(int32_t v, bool dollar) {
  uint32_t u = uint32_t(v);
  char b[16];
  if (dollar) std::snprintf(b, sizeof b, "$%X", u);
  else std::snprintf(b, sizeof b, u <= 0xFFFF ? "0x%04X" : "0x%08X", u);
  return b;
}

// "&N": N significant digits, "7.60e+2".
std::string Scientific(double value, int digits) {
  char b[64];
  std::snprintf(b, sizeof b, "%.*e", std::clamp(digits, 1, 30) - 1, value);
  std::string s(b);
  size_t e = s.find('e');
  if (e == std::string::npos) return s;  // not finite
  int exponent = std::atoi(s.c_str() + e + 1);
  return s.substr(0, e) + (exponent < 0 ? "e-" : "e+") + std::to_string(std::abs(exponent));
}

bool FormatNumber(double value, const std::string& format, std::string* out) {
  if (!std::isfinite(value)) {  // as without a format: nothing, INF or -INF
    *out = ToText(Value::Real(value));
    return true;
  }
  if (format == "&x" || format == "&$") {
    *out = HexFormat(RealToLong(value), format == "&$");
    return true;
  }
  if (format == "&xml") {
    *out = ToText(Value::Real(value));
    return true;
  }
  if (format.size() > 2 && format.starts_with("&/")) {
    bool known;
    *out = FormatTime(RealToLong(value), std::atoi(format.c_str() + 2), &known);
    return known;
  }
  if (format.size() > 1 && format[0] == '&' && std::isdigit(uint8_t(format[1]))) {
    *out = Scientific(value, std::atoi(format.c_str() + 1));
    return true;
  }
  if (!format.empty() && format[0] == '|') return false;  // a style of the database's
  std::vector<std::string> sections;
  size_t start = 0;
  for (size_t i = 0; i <= format.size(); ++i) {
    if (i == format.size() || format[i] == ';') {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  if (value < 0 && sections.size() > 1) *out = FormatSection(-value, sections[1], false);
  else if (value == 0 && sections.size() > 2) *out = sections[2];  // shown as written
  else *out = FormatSection(std::fabs(value), sections[0], value < 0);
  return true;
}

// String(number; base): the number in base 2 to 36 (0: 10), as JavaScript writes it.
std::string InBase(double value, int base) {
  if (!std::isfinite(value)) return "NaN";
  if (base == 10) {
    char b[64];
    for (int precision = 1; precision <= 17; ++precision) {
      std::snprintf(b, sizeof b, "%.*g", precision, value);
      if (std::strtod(b, nullptr) == value) break;
    }
    return b;
  }
  const char* digitChars = "0123456789abcdefghijklmnopqrstuvwxyz";
  double whole = std::floor(std::fabs(value)), frac = std::fabs(value) - whole;
  std::string s;
  do {
    s += digitChars[int(std::fmod(whole, base))];
    whole = std::floor(whole / base);
  } while (whole >= 1);
  if (value < 0) s += '-';
  std::reverse(s.begin(), s.end());
  if (frac > 0) {
    s += '.';
    for (int i = 0; i < 52 && frac > 0; ++i) {
      frac *= base;
      int d = int(frac);
      s += digitChars[d];
      frac -= d;
    }
  }
  return s;
}

// ---- dates and times ------------------------------------------------------------------

int WeekDay(Date d) { return int((DateToDays(d) + 1) % 7); }  // 0001-01-01 was a Monday

// The moment `seconds` after local midnight of d, in UTC (the TZ variable names the zone).
void LocalToUtc(Date d, int64_t seconds, Date* day, int64_t* time) {
  struct tm t {};
  t.tm_year = d.year - 1900;
  t.tm_mon = d.month - 1;
  t.tm_mday = d.day;
  t.tm_sec = int(std::clamp<int64_t>(seconds, -86400LL * 366, 86400LL * 366));
  t.tm_isdst = -1;
  time_t local = std::mktime(&t);
  struct tm g {};
  if (local == time_t(-1) || !gmtime_r(&local, &g)) {  // out of the C library's range: as UTC
    *day = d;
    *time = seconds;
    return;
  }
  *day = Date{g.tm_year + 1900, g.tm_mon + 1, g.tm_mday};
  *time = g.tm_hour * 3600 + g.tm_min * 60 + g.tm_sec;
}

std::string Clock(int64_t s) { return Pad(s / 3600, 2) + ":" + Pad(s / 60 % 60, 2) + ":" + Pad(s % 60, 2); }

// A date in one of the date formats; `time` (seconds, -1 for none) is added after it.
// The GMT formats give the local moment in UTC.
std::string FormatDate(Date d, int32_t format, int64_t time, bool* known) {
  *known = true;
  bool blank = format > kBlankIfNull;
  if (blank) format -= kBlankIfNull;
  bool null = d.year == 0;
  if (null && blank) return "";
  if ((format == 9 || format == 10) && !null) LocalToUtc(d, std::max<int64_t>(time, 0), &d, &time);
  std::string mm = Pad(d.month, 2), dd = Pad(d.day, 2), yyyy = Pad(d.year, 4);
  std::string month = null ? "" : kMonths[d.month - 1], day = null ? "" : kDays[WeekDay(d)];
  std::string clock = Clock(std::max<int64_t>(time, 0));
  std::string text;
  switch (format) {
    case 1: case 4:  // System date short; Internal date short special: two-digit years 1930 to 2029
      if (null) text = "00/00/00";
      else text = mm + "/" + dd + "/" + (format == 4 && d.year >= 1930 && d.year <= 2029 ? Pad(d.year % 100, 2) : yyyy);
      break;
    case 7: text = mm + "/" + dd + "/" + yyyy; break;  // Internal date short
    case 2: text = null ? "" : day.substr(0, 3) + ", " + month.substr(0, 3) + " " + std::to_string(d.day) + ", " + yyyy; break;
    case 3: text = null ? "" : day + ", " + month + " " + std::to_string(d.day) + ", " + yyyy; break;
    case 5: text = null ? "" : month + " " + std::to_string(d.day) + ", " + yyyy; break;
    case 6: text = null ? "" : month.substr(0, 3) + " " + std::to_string(d.day) + ", " + yyyy; break;
    case 8: return yyyy + "-" + mm + "-" + dd + "T" + clock;        // ISO date
    case 9: return yyyy + "-" + mm + "-" + dd + "T" + clock + "Z";  // ISO Date GMT
    case 10:                                                         // Date RFC 1123
      return null ? "" : day.substr(0, 3) + ", " + dd + " " + month.substr(0, 3) + " " + yyyy + " " + clock + " GMT";
    default: *known = false; return "";
  }
  return time < 0 ? text : text + " " + clock;
}

std::string Plural(int64_t n, const char* unit) {
  return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
}

std::string FormatTime(int32_t seconds, int32_t format, bool* known) {
  *known = true;
  bool blank = format > kBlankIfNull;
  if (blank) format -= kBlankIfNull;
  if (blank && seconds == 0) return "";
  int64_t s = seconds, sign = s < 0 ? -1 : 1;
  s *= sign;
  int64_t h = s / 3600, m = s / 60 % 60, sec = s % 60;
  std::string minus = sign < 0 ? "-" : "";
  switch (format) {
    case 1: return minus + Pad(h, 2) + ":" + Pad(m, 2) + ":" + Pad(sec, 2);  // HH MM SS
    case 2: case 9: return minus + Pad(h, 2) + ":" + Pad(m, 2);              // HH MM, System time short
    case 3: return minus + Plural(h, "hour") + " " + Plural(m, "minute") + " " + Plural(sec, "second");
    case 4: return minus + Plural(h, "hour") + " " + Plural(m, "minute");
    case 5: case 10: case 11: {  // HH MM AM PM, System time long (abbreviated)
      int64_t h12 = h % 12 == 0 ? 12 : h % 12;
      std::string t = std::to_string(h12) + ":" + Pad(m, 2) + (format == 5 ? "" : ":" + Pad(sec, 2));
      return minus + t + (h % 24 < 12 ? " AM" : " PM");
    }
    case 6: return minus + Pad(s / 60, 2) + ":" + Pad(sec, 2);  // MM SS
    case 7: return minus + Plural(s / 60, "minute") + " " + Plural(sec, "second");
    case 8: return "0000-00-00T" + Pad(h, 2) + ":" + Pad(m, 2) + ":" + Pad(sec, 2);  // ISO time
    default: *known = false; return "";
  }
}

// ---- date and time patterns ------------------------------------------------------------
// ICU's pattern letters, as a US system shows them ('text' is kept as written, '' is one
// quote, spaces at either end are trimmed). Week numbers are ISO 8601's. A letter this
// table lacks makes the pattern invalid, as in ICU.

// The local zone's offset from UTC, in seconds, at a local date and time.
long ZoneOffset(Date d, int64_t seconds) {
  struct tm t {};
  t.tm_year = d.year - 1900;
  t.tm_mon = d.month - 1;
  t.tm_mday = d.day;
  t.tm_sec = int(std::clamp<int64_t>(seconds, 0, 86399));
  t.tm_isdst = -1;
  if (std::mktime(&t) == time_t(-1)) return 0;
  return t.tm_gmtoff;
}

// "GMT+1", "GMT+01:00", "-0800", "-08:00", "Z" and the like for an offset.
std::string ZoneText(long offset, char letter, size_t count) {
  std::string sign(1, offset < 0 ? '-' : '+');
  long a = std::labs(offset), h = a / 3600, m = a / 60 % 60;
  std::string basic = sign + Pad(h, 2) + Pad(m, 2), extended = sign + Pad(h, 2) + ":" + Pad(m, 2);
  if (letter == 'O' || (letter == 'z' && count == 4)) {
    if (offset == 0) return "GMT";
    if (letter == 'O' && count < 4) return "GMT" + sign + std::to_string(h) + (m ? ":" + Pad(m, 2) : "");
    return "GMT" + extended;
  }
  if (letter == 'z') return count == 5 ? (offset == 0 ? "Z" : extended) : basic;
  if (letter == 'X' && offset == 0) return "Z";
  if (count == 1) return m ? basic : sign + Pad(h, 2);
  return count == 3 || count == 5 ? extended : basic;
}

int IsoWeek(Date d) {
  int64_t days = DateToDays(d);
  int wday = int((days + 1) % 7);           // 0 Sunday
  int64_t thursday = days - (wday + 6) % 7 + 3;  // the Thursday of its week
  Date t = DaysToDate(thursday);
  return int((thursday - DateToDays(Date{t.year, 1, 1})) / 7 + 1);
}

const char* const kOrdinals[] = {"1st", "2nd", "3rd", "4th"};

// One run of a pattern letter; false for a letter ICU has and this does not.
bool PatternField(char c, size_t n, Date d, int64_t time, std::string* out) {
  int64_t h = time / 3600 % 24, m = time / 60 % 60, sec = time % 60;
  int wday = WeekDay(d);
  auto num = [&](int64_t v, size_t width) { *out += Pad(v, int(std::max(width, size_t(1)))); };
  switch (c) {
    case 'G': *out += n == 4 ? "Anno Domini" : n == 5 ? "A" : "AD"; return true;
    case 'y': case 'Y': case 'u':
      if (n == 2) num(d.year % 100, 2);
      else num(d.year, n);
      return true;
    case 'Q': case 'q': {
      int q = (d.month - 1) / 3 + 1;
      if (n == 3) *out += "Q" + std::to_string(q);
      else if (n == 4) *out += std::string(kOrdinals[q - 1]) + " quarter";
      else num(q, n == 2 ? 2 : 1);
      return true;
    }
    case 'M': case 'L':
      if (n <= 2) num(d.month, n);
      else *out += n == 3 ? std::string(kMonths[d.month - 1]).substr(0, 3) : n == 4 ? kMonths[d.month - 1] : std::string(1, kMonths[d.month - 1][0]);
      return true;
    case 'w': num(IsoWeek(d), n); return true;
    case 'd': num(d.day, n); return true;
    case 'D': num(DateToDays(d) - DateToDays(Date{d.year, 1, 1}) + 1, n); return true;
    case 'E': case 'e': case 'c':
      if (c != 'E' && n <= 2) {
        num(wday + 1, n);  // Sunday is 1 on a US system
        return true;
      }
      if (n == 4) *out += kDays[wday];
      else if (n == 5) *out += kDays[wday][0];
      else *out += std::string(kDays[wday]).substr(0, n == 6 ? 2 : 3);
      return true;
    case 'a': *out += n == 5 ? (h < 12 ? "a" : "p") : h < 12 ? "AM" : "PM"; return true;
    case 'h': num(h % 12 == 0 ? 12 : h % 12, n); return true;
    case 'H': num(h, n); return true;
    case 'K': num(h % 12, n); return true;
    case 'k': num(h == 0 ? 24 : h, n); return true;
    case 'm': num(m, n); return true;
    case 's': num(sec, n); return true;
    case 'O': case 'z': case 'X': case 'x': *out += ZoneText(d.year ? ZoneOffset(d, time) : 0, c, n); return true;
    default: return false;
  }
}

// The date d at `time` seconds after midnight in pattern; false when the pattern is not
// valid.
bool FormatPattern(const std::string& pattern, Date d, int64_t time, std::string* out) {
  std::string text;
  size_t lead = 0, trail = 0;  // literal spaces at either end, trimmed as ICU does
  for (size_t i = 0; i < pattern.size();) {
    char c = pattern[i];
    if (c == '\'') {  // quoted text, where '' is one quote; '' alone is one quote too
      if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
        text += '\'';
        i += 2;
        continue;
      }
      for (++i; i < pattern.size(); ++i) {
        if (pattern[i] != '\'') text += pattern[i];
        else if (i + 1 < pattern.size() && pattern[i + 1] == '\'') text += pattern[i++];
        else break;
      }
      ++i;
      continue;
    }
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      size_t n = 1;
      while (i + n < pattern.size() && pattern[i + n] == c) ++n;
      if (!PatternField(c, n, d, time, &text)) return false;
      i += n;
      continue;
    }
    if (c == ' ' && text.empty()) ++lead;
    text += c;
    ++i;
  }
  for (size_t k = pattern.size(); k-- > 0 && pattern[k] == ' ';) ++trail;
  size_t first = std::min(lead, text.size());
  *out = text.substr(first, text.size() - first - std::min(trail, text.size() - first));
  return true;
}

bool StringOfDate(Frame& f, Date d, int32_t format, int64_t time, Value* out) {
  bool known;
  std::string text = FormatDate(d, format, time, &known);
  if (!known) return Fail(f, "String: unknown date format " + std::to_string(format));
  *out = Value::Text(std::move(text));
  return true;
}

// String(value {; format {; time}})
bool StringFn(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.type == Type::Array || v.type == Type::Blob || v.type == Type::Picture || v.type == Type::Pointer)
    return Fail(f, "String cannot convert " + Article(v.type));
  if (a.size() == 1) {
    if (v.type == Type::Date) return StringOfDate(f, v.d, 1, -1, out);
    *out = Value::Text(ToText(v));
    return true;
  }
  Value format;
  if (!Eval(f, a[1], &format)) return false;
  if (v.numeric()) {
    if (format.numeric()) {  // String(number; base)
      int32_t base = RealToLong(format.Number());
      if (base != 0 && (base < 2 || base > 36)) return Fail(f, "String: the base must be 2 to 36 (or 0)");
      *out = Value::Text(InBase(v.Number(), base == 0 ? 10 : base));
      return true;
    }
    if (format.type != Type::Text) return Fail(f, "String: a number's format is a text such as \"###,##0.00\"");
    std::string text;
    if (!FormatNumber(v.Number(), format.str(), &text))
      return Fail(f, "String: the number format \"" + format.str() + "\" names a style or format vrx run does not have");
    *out = Value::Text(std::move(text));
    return true;
  }
  if (v.type != Type::Date && v.type != Type::Time) {
    *out = Value::Text(ToText(v));  // texts and booleans have no format
    return true;
  }
  if (a.size() > 2 && v.type != Type::Date) return Fail(f, "String: a time can only be added to a date");
  int32_t time = -1;
  if (a.size() > 2 && !EvalLong(f, a[2], &time, "String: the time")) return false;
  if (format.type == Type::Text) {  // a pattern such as "EEEE d MMMM y"
    if (v.type == Type::Date && v.d.year == 0) {
      *out = Value::Text("");  // the null date has no fields to show
      return true;
    }
    Date day = v.d;
    if (v.type == Type::Time) {  // a time alone: today's zone
      platform::DateTimeFields now = platform::SecondsToFields(platform::DateTimeNow());
      day = Date{now.year, now.month, now.day};
    }
    int64_t seconds = v.type == Type::Time ? (int64_t(v.l) % 86400 + 86400) % 86400 : std::max(time, 0);
    std::string text;
    if (!FormatPattern(format.str(), day, seconds, &text))
      return Fail(f, "String: the pattern \"" + format.str() + "\" has a letter that is no date or time field");
    *out = Value::Text(std::move(text));
    return true;
  }
  if (!format.numeric()) return Fail(f, "String: a date or time format is a format constant or a pattern");
  int32_t n = RealToLong(format.Number());
  if (v.type == Type::Date) return StringOfDate(f, v.d, n, time, out);
  bool known;
  std::string text = FormatTime(v.l, n, &known);
  if (!known) return Fail(f, "String: unknown time format " + std::to_string(n));
  *out = Value::Text(std::move(text));
  return true;
}

// Time string(seconds): "HH:MM:SS"
bool TimeString(Frame& f, const Args& a, Value* out) {
  double seconds;
  if (!EvalNumber(f, a[0], &seconds, "Time string: the seconds")) return false;
  *out = Value::Text(ToText(Value::Time(RealToLong(seconds))));
  return true;
}

// GET SYSTEM FORMAT(format; value): the regional settings of a US system, those the
// "System" formats above follow.
bool GetSystemFormat(Frame& f, const Args& a, Value*) {
  int32_t which;
  if (!EvalLong(f, a[0], &which, "GET SYSTEM FORMAT: the format")) return false;
  static const char* const kSettings[] = {
      ".", ",", "$",                                                 // decimal, thousand, currency
      "HH:mm", "h:mm:ss a", "h:mm:ss a z",                           // time patterns
      "MM/dd/yyyy", "EEE, MMM d, yyyy", "EEEE, MMMM d, yyyy",        // date patterns
      nullptr, nullptr, nullptr, nullptr,                            // 9 to 12: none
      "/", ":", "2", "1", "3", "AM", "PM"};                          // separators, positions, labels
  if (which < 0 || size_t(which) >= std::size(kSettings) || !kSettings[which])
    return Fail(f, "GET SYSTEM FORMAT: unknown format " + std::to_string(which));
  return Assign(f, a[1], Value::Text(kSettings[which]));
}

// ---- the terminal ---------------------------------------------------------------------

// ALERT(message {; button}): the message on standard output.
bool Alert(Frame& f, const Args& a, Value*) {
  std::string message;
  if (!EvalText(f, a[0], &message, "ALERT: the message")) return false;
  f.rt->out(message);
  return true;
}

// CONFIRM(message {; OK button {; Cancel button}}): asks on the terminal; an empty
// answer or one starting like the OK button's title (or "y") is OK. When standard input
// is not a terminal nobody can answer: the OK button, 4D's default, is taken.
bool Confirm(Frame& f, const Args& a, Value*) {
  std::string message, ok = "OK", cancel = "Cancel";
  if (!EvalText(f, a[0], &message, "CONFIRM: the message")) return false;
  if (a.size() > 1 && !EvalText(f, a[1], &ok, "CONFIRM: the OK button")) return false;
  if (a.size() > 2 && !EvalText(f, a[2], &cancel, "CONFIRM: the Cancel button")) return false;
  std::string prompt = message + " [" + ok + "/" + cancel + "]";
  bool accepted = true;
  if (::isatty(0)) {
    std::fputs((prompt + " ").c_str(), stdout);
    std::fflush(stdout);
    std::string answer;
    if (std::getline(std::cin, answer)) {
      std::string lower = Lowercase(answer);
      std::string okLower = Lowercase(ok), cancelLower = Lowercase(cancel);
      bool saysCancel = !lower.empty() && (cancelLower.rfind(lower, 0) == 0 || lower[0] == 'n');
      bool saysOk = lower.empty() || okLower.rfind(lower, 0) == 0 || lower[0] == 'y';
      accepted = saysOk || !saysCancel;
    }
  } else {
    f.rt->out(prompt + " " + ok + " (standard input is not a terminal)");
  }
  SetSystemVar(f, "ok", Value::Long(accepted ? 1 : 0));
  return true;
}

constexpr BuiltinInfo kFormatBuiltins[] = {
    {"String", 10, 1, 3, true, "eee", StringFn, false},
    {"GET SYSTEM FORMAT", 994, 2, 2, false, "ee", GetSystemFormat, false},
    {"Time string", 180, 1, 1, true, "e", TimeString, false},
    {"ALERT", 41, 1, 2, false, "ee", Alert, true},
    {"CONFIRM", 162, 1, 3, false, "eee", Confirm, true},
};

}  // namespace

std::span<const BuiltinInfo> FormatBuiltins() { return kFormatBuiltins; }

}  // namespace runner
