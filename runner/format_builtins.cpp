// Values as texts and the terminal: String with number, date and time formats,
// Time string, ALERT and CONFIRM. Month and day names are English, and the "system"
// formats are those of a US system, whatever the locale.
#include <unistd.h>

#include <cmath>
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

// ---- numbers --------------------------------------------------------------------------

bool IsPlaceholder(char c) { return c == '#' || c == '0' || c == '^' || c == '*'; }

// A number in one section of a format: placeholders # (a digit or nothing), 0 (a digit
// or 0), ^ (a digit or a space), * (a digit or *), a thousands separator , and a
// decimal point . ; text before and after the placeholders is kept.
std::string FormatSection(double value, const std::string& section) {
  size_t first = std::string::npos, last = 0;
  for (size_t i = 0; i < section.size(); ++i) {
    if (IsPlaceholder(section[i])) {
      if (first == std::string::npos) first = i;
      last = i;
    }
  }
  if (first == std::string::npos) return section;
  // A point or separator right after the last placeholder belongs to the number.
  std::string pattern = section.substr(first, last + 1 - first);
  std::string prefix = section.substr(0, first), suffix = section.substr(last + 1);
  size_t point = pattern.find('.');
  std::string intPattern = pattern.substr(0, point), fracPattern = point == std::string::npos ? "" : pattern.substr(point + 1);
  bool thousands = intPattern.find(',') != std::string::npos;
  std::string places;
  for (char c : intPattern)
    if (IsPlaceholder(c)) places += c;
  int decimals = 0;
  for (char c : fracPattern)
    if (IsPlaceholder(c)) ++decimals;

  char buf[400];
  // Halves round away from zero, as Round does, not to even as printf would.
  double scale = std::pow(10.0, decimals);
  double rounded = decimals <= 15 ? std::round(std::fabs(value) * scale) / scale : std::fabs(value);
  if (!std::isfinite(rounded)) rounded = std::fabs(value);  // too large to scale: nothing to round
  std::snprintf(buf, sizeof buf, "%.*f", decimals, rounded);
  std::string digits(buf);
  size_t dot = digits.find('.');
  std::string intDigits = digits.substr(0, dot);
  std::string fracDigits = decimals > 0 && dot != std::string::npos ? digits.substr(dot + 1) : "";
  if (intDigits == "0") intDigits.clear();  // no significant digit before the point

  // Digits fill the placeholders from the right; more digits than places still show.
  std::string shown;
  size_t nd = intDigits.size(), np = places.size();
  for (size_t k = 0; k < std::max(nd, np); ++k) {  // k counts from the right
    char d = k < nd ? intDigits[nd - 1 - k] : '\0';
    char p = k < np ? places[np - 1 - k] : '#';
    char out = d ? d : p == '0' ? '0' : p == '^' ? ' ' : p == '*' ? '*' : '\0';
    if (!out) continue;
    bool digit = out >= '0' && out <= '9';
    if (thousands && digit && k > 0 && k % 3 == 0 && !shown.empty() && shown.back() >= '0' &&
        shown.back() <= '9')
      shown += ',';
    shown += out;
  }
  std::string intPart(shown.rbegin(), shown.rend());
  std::string result = prefix + intPart;
  if (point != std::string::npos) result += "." + fracDigits;
  return result + suffix;
}

// "&x" and "&$": the bits of a longint in hexadecimal.
std::string HexFormat(int32_t v, const std::string& mark) {
  uint32_t u = uint32_t(v);
  char b[16];
  std::snprintf(b, sizeof b, u <= 0xFFFF ? "%04X" : "%08X", u);
  return (mark == "x" ? "0x" : "$") + std::string(b);
}

std::string FormatNumber(double value, const std::string& format) {
  if (format == "&x" || format == "&$") return HexFormat(RealToLong(value), format.substr(1));
  std::vector<std::string> sections;
  size_t start = 0;
  for (size_t i = 0; i <= format.size(); ++i) {
    if (i == format.size() || format[i] == ';') {
      sections.push_back(format.substr(start, i - start));
      start = i + 1;
    }
  }
  if (value < 0 && sections.size() > 1) return FormatSection(-value, sections[1]);
  if (value == 0 && sections.size() > 2) return FormatSection(0, sections[2]);
  std::string s = FormatSection(value, sections[0]);
  if (value < 0) {
    // A negative number without its own section gets a minus sign, unless it rounds to 0.
    bool any = false;
    for (char c : s) any = any || (c >= '1' && c <= '9');
    if (any) s = "-" + s;
  }
  return s;
}

// ---- dates and times ------------------------------------------------------------------

int WeekDay(Date d) { return int((DateToDays(d) + 1) % 7); }  // 0001-01-01 was a Monday

std::string FormatDate(Date d, int32_t format, bool* known) {
  *known = true;
  bool blank = format > kBlankIfNull;
  if (blank) format -= kBlankIfNull;
  bool null = d.year == 0;
  if (null && blank) return "";
  std::string mm = Pad(d.month, 2), dd = Pad(d.day, 2), yyyy = Pad(d.year, 4);
  std::string month = null ? "" : kMonths[d.month - 1], day = null ? "" : kDays[WeekDay(d)];
  switch (format) {
    case 1: case 7: return mm + "/" + dd + "/" + yyyy;                 // System date short, Internal date short
    case 2: return null ? "" : day.substr(0, 3) + ", " + month.substr(0, 3) + " " + std::to_string(d.day) + ", " + yyyy;
    case 3: return null ? "" : day + ", " + month + " " + std::to_string(d.day) + ", " + yyyy;
    case 4:  // Internal date short special: two-digit years from 1930 to 2029
      return mm + "/" + dd + "/" + (d.year >= 1930 && d.year <= 2029 ? Pad(d.year % 100, 2) : yyyy);
    case 5: return null ? "" : month + " " + std::to_string(d.day) + ", " + yyyy;
    case 6: return null ? "" : month.substr(0, 3) + " " + std::to_string(d.day) + ", " + yyyy;
    case 8: return yyyy + "-" + mm + "-" + dd + "T00:00:00";         // ISO date
    case 9: return yyyy + "-" + mm + "-" + dd + "T00:00:00Z";        // ISO Date GMT
    case 10:                                                          // Date RFC 1123
      return null ? "" : day.substr(0, 3) + ", " + dd + " " + month.substr(0, 3) + " " + yyyy + " 00:00:00 GMT";
    default: *known = false; return "";
  }
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

// String(value {; format {; time}})
bool StringFn(Frame& f, const Args& a, Value* out) {
  Value v;
  if (!Eval(f, a[0], &v)) return false;
  if (v.type == Type::Array || v.type == Type::Blob || v.type == Type::Picture || v.type == Type::Pointer)
    return Fail(f, "String cannot convert " + Article(v.type));
  if (a.size() == 1) {
    *out = Value::Text(ToText(v));
    return true;
  }
  Value format;
  if (!Eval(f, a[1], &format)) return false;
  if (v.numeric()) {
    if (format.type != Type::Text) return Fail(f, "String: a number's format is a text such as \"###,##0.00\"");
    *out = Value::Text(FormatNumber(v.Number(), format.str()));
    return true;
  }
  if (v.type != Type::Date && v.type != Type::Time) {
    *out = Value::Text(ToText(v));  // texts and booleans have no format
    return true;
  }
  if (!format.numeric()) return Fail(f, "String: a date or time format is a number (a format constant)");
  int32_t n = RealToLong(format.Number());
  bool known;
  std::string text = v.type == Type::Date ? FormatDate(v.d, n, &known) : FormatTime(v.l, n, &known);
  if (!known) return Fail(f, "String: unknown " + std::string(TypeName(v.type)) + " format " + std::to_string(n));
  if (a.size() > 2) {
    if (v.type != Type::Date) return Fail(f, "String: a time can only be added to a date");
    int32_t t;
    if (!EvalLong(f, a[2], &t, "String: the time")) return false;
    if (n == 8 || n == 9) text = text.substr(0, 11) + FormatTime(t, 1, &known) + (n == 9 ? "Z" : "");
    else text += " " + FormatTime(t, 1, &known);
  }
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
    {"Time string", 180, 1, 1, true, "e", TimeString, false},
    {"ALERT", 41, 1, 2, false, "ee", Alert, true},
    {"CONFIRM", 162, 1, 3, false, "eee", Confirm, true},
};

}  // namespace

std::span<const BuiltinInfo> FormatBuiltins() { return kFormatBuiltins; }

}  // namespace runner
