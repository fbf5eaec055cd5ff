#include "dates/dates.h"

#include <algorithm>
#include <cstring>

#include "platform/services.h"

namespace vrx {
namespace {

constexpr const char* kWeekdays[7] = {"Sun, ", "Mon, ", "Tue, ", "Wed, ",
                                      "Thu, ", "Fri, ", "Sat, "};
constexpr const char* kMonthWords[12] = {" Jan ", " Feb ", " Mar ", " Apr ", " May ", " Jun ",
                                         " Jul ", " Aug ", " Sep ", " Oct ", " Nov ", " Dec "};
constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct NamedZone {
  const char* name;
  int32_t seconds;  // added to reach GMT
};
constexpr NamedZone kNamedZones[] = {{"EDT", 14400}, {"EST", 18000}, {"CDT", 18000},
                                     {"CST", 21600}, {"MDT", 21600}, {"MST", 25200},
                                     {"PDT", 25200}, {"PST", 28800}};

// The offset lives in the low 24 bits of a word; readers sign-extend bit 23.
int32_t Through24Bits(int32_t offset) {
  uint32_t stored = uint32_t(offset) & 0xFFFFFFu;
  return (stored & 0x800000u) ? int32_t(stored) - 0x1000000 : int32_t(stored);
}

void AppendNumber(std::string& out, int32_t n) {
  uint8_t s[256];
  platform::NumToString(n, s);
  out.append(reinterpret_cast<const char*>(s + 1), s[0]);
}

void AppendTwoDigits(std::string& out, int32_t n) {
  if (n < 10) out += '0';
  AppendNumber(out, n);
}

// The working string of the header parser: it reads fixed positions from the front and
// deletes fixed counts. Positions past the end read as nothing, never beyond the text.
struct Cursor {
  std::string s;

  int32_t Take(size_t from, size_t n) const {
    uint8_t str[256] = {0};
    if (from < s.size()) {
      size_t len = std::min(n, s.size() - from);
      str[0] = uint8_t(len);
      std::memcpy(str + 1, s.data() + from, len);
    }
    return platform::StringToNum(str);
  }
  void Delete(size_t n) { s.erase(0, std::min(n, s.size())); }
  char At(size_t i) const { return i < s.size() ? s[i] : '\0'; }
};

int32_t TwoDigitYear(int32_t y) { return y >= 40 ? y + 1900 : y + 2000; }

int16_t MonthFromName(const Cursor& c) {
  uint8_t name[256];
  size_t len = std::min<size_t>(3, c.s.size());
  name[0] = uint8_t(len);
  std::memcpy(name + 1, c.s.data(), len);
  for (int m = 0; m < 12; ++m) {
    uint8_t candidate[4] = {3, uint8_t(kMonthNames[m][0]), uint8_t(kMonthNames[m][1]),
                            uint8_t(kMonthNames[m][2])};
    if (platform::EqualString(name, candidate)) return int16_t(m + 1);
  }
  return 0;
}

uint32_t ParseCompact(const Cursor& c, int32_t gmtOffset) {
  platform::DateTimeFields f{};
  f.year = int16_t(TwoDigitYear(c.Take(0, 2)));
  f.month = int16_t(c.Take(2, 2));
  f.day = int16_t(c.Take(4, 2));
  f.hour = int16_t(c.Take(6, 2));
  f.minute = int16_t(c.Take(8, 2));
  f.second = int16_t(c.Take(10, 2));
  uint32_t seconds = platform::FieldsToSeconds(f);
  if (c.s.size() == 12) seconds -= uint32_t(gmtOffset);
  return seconds;
}

// asctime's form, which HTTP dates may take too: "Sun Nov  6 08:49:37 1994", in GMT. The
// month comes before the day, which the header form would misread as a zone and a year.
bool IsAsctime(const std::string& s) {
  auto letter = [&](size_t i) { return (s[i] | 0x20) >= 'a' && (s[i] | 0x20) <= 'z'; };
  auto digit = [&](size_t i) { return s[i] >= '0' && s[i] <= '9'; };
  if (s.size() < 24) return false;
  for (size_t i : {0, 1, 2, 4, 5, 6})
    if (!letter(i)) return false;
  for (size_t i : {9, 11, 12, 14, 15, 17, 18, 20, 21, 22, 23})
    if (!digit(i)) return false;
  return s[3] == ' ' && s[7] == ' ' && (s[8] == ' ' || digit(8)) && s[10] == ' ' && s[13] == ':' &&
         s[16] == ':' && s[19] == ' ';
}

uint32_t ParseAsctime(const Cursor& c) {
  platform::DateTimeFields f{};
  Cursor month{c.s.substr(4, 3)};
  f.month = MonthFromName(month);
  f.day = int16_t(c.At(8) == ' ' ? c.Take(9, 1) : c.Take(8, 2));
  f.hour = int16_t(c.Take(11, 2));
  f.minute = int16_t(c.Take(14, 2));
  f.second = int16_t(c.Take(17, 2));
  f.year = int16_t(c.Take(20, 4));
  return platform::FieldsToSeconds(f);
}

uint32_t ParseHeader(Cursor& c) {
  if (IsAsctime(c.s)) return ParseAsctime(c);
  while (!c.s.empty() && !(c.s[0] >= '0' && c.s[0] <= '9')) c.Delete(1);
  if (c.s.empty()) return 0;

  platform::DateTimeFields f{};
  int32_t correction = 0;
  if (c.At(1) == ' ') {
    f.day = int16_t(c.Take(0, 1));
    c.Delete(2);
  } else {
    f.day = int16_t(c.Take(0, 2));
    c.Delete(3);
  }
  f.month = MonthFromName(c);
  c.Delete(4);
  if (c.At(2) == ' ') {
    f.year = int16_t(TwoDigitYear(c.Take(0, 2)));
    c.Delete(3);
  } else {
    f.year = int16_t(c.Take(0, 4));
    c.Delete(5);
  }
  f.hour = int16_t(c.Take(0, 2));
  c.Delete(3);
  f.minute = int16_t(c.Take(0, 2));
  c.Delete(2);
  if (c.At(0) == ':') {
    f.second = int16_t(c.Take(1, 2));
    c.Delete(4);
  } else {
    f.second = 0;
    c.Delete(1);
  }
  if (c.At(0) == '+' || c.At(0) == '-') {
    int32_t zone = c.Take(1, 2) * 3600 + c.Take(3, 2) * 60;
    correction += c.At(0) == '+' ? -zone : zone;
  }
  for (const NamedZone& z : kNamedZones)
    if (c.s == z.name) correction += z.seconds;
  return platform::FieldsToSeconds(f) + uint32_t(correction);
}

}  // namespace

int32_t GmtOffsetFromBiases(int32_t bias, int32_t standardBias, int32_t daylightBias,
                            int state) {
  int32_t offset = -bias * 60;
  if (state == 2) offset -= daylightBias * 60;
  else if (state == 1) offset -= standardBias * 60;
  return Through24Bits(offset);
}

int32_t GmtOffset() {
  platform::TimeZoneInfo tz = platform::CurrentTimeZone();
  return GmtOffsetFromBiases(tz.bias, tz.standardBias, tz.daylightBias, tz.state);
}

std::string FormatDateHeader(uint32_t seconds, int32_t flag, int32_t gmtOffset) {
  int32_t offset = 0;
  if (flag == 0) {
    offset = gmtOffset;
    seconds += uint32_t(offset);
  }
  platform::DateTimeFields f = platform::SecondsToFields(seconds);
  std::string out;
  out.reserve(40);
  // SecondsToFields always gives fields in range; the checks only guard the table reads.
  if (f.dayOfWeek >= 1 && f.dayOfWeek <= 7) out += kWeekdays[f.dayOfWeek - 1];
  AppendNumber(out, f.day);
  if (f.month >= 1 && f.month <= 12) out += kMonthWords[f.month - 1];
  AppendNumber(out, f.year);
  out += ' ';
  AppendTwoDigits(out, f.hour);
  out += ':';
  AppendTwoDigits(out, f.minute);
  out += ':';
  AppendTwoDigits(out, f.second);
  if (offset == 0) {
    out += " GMT";
  } else {
    if (offset > 0) {
      out += " +";
    } else {
      out += " -";
      offset = -offset;
    }
    int32_t minutes = offset / 60;
    AppendTwoDigits(out, minutes / 60);
    AppendTwoDigits(out, minutes % 60);
  }
  return out;
}

uint32_t ParseDateHeader(std::string_view text, int32_t mode, int32_t gmtOffset) {
  Cursor c{std::string(text.substr(0, 255))};
  return mode == 1 ? ParseCompact(c, gmtOffset) : ParseHeader(c);
}

uint32_t DateToSeconds(const DateValue& date, int32_t time, int32_t flag, int32_t gmtOffset) {
  platform::DateTimeFields f{};
  f.year = date.year;
  f.month = date.month;
  f.day = date.day;
  // The null date (a date variable never set) is no day: it counts as the first day of
  // the scale, so that it gives the time alone rather than a year 0 wrapped past 2^32.
  if (date.year == 0 && date.month == 0 && date.day == 0) f = {1904, 1, 1, 0, 0, 0, 0};
  f.hour = int16_t((time % 86400) / 3600);
  f.minute = int16_t((time % 3600) / 60);
  f.second = int16_t(time % 60);
  uint32_t seconds = platform::FieldsToSeconds(f);
  if (flag == 1) seconds -= uint32_t(gmtOffset);
  return seconds;
}

void SecondsToDate(uint32_t seconds, int32_t flag, int32_t gmtOffset, DateValue* date,
                   int32_t* time) {
  if (flag != 1) seconds += uint32_t(gmtOffset);
  if (date) {
    platform::CivilDate d;
    platform::DateOfSeconds(seconds, &d);
    date->day = d.day;
    date->month = d.month;
    date->year = d.year;
  }
  if (time) *time = int32_t(seconds % 86400);  // the hours, minutes and seconds of the day
}

int32_t TimerElapsed(int32_t start, uint32_t now) {
  if (start == 0) return 0;
  return int32_t(now - uint32_t(start));
}

}  // namespace vrx
