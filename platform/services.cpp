#include "platform/services.h"

#include <time.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/default_resources.h"

namespace platform {

// ---- time -------------------------------------------------------------------------
namespace {
constexpr uint32_t kUnixTo1904 = 2082844800u;  // seconds from 1904-01-01 to 1970-01-01

struct TestClock {
  bool on = false;
  uint64_t ticks = 0;
};
TestClock& Clock() {
  static TestClock clock;
  return clock;
}

uint64_t MonotonicNanos() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return uint64_t(ts.tv_sec) * 1000000000u + uint64_t(ts.tv_nsec);
}

// Days since 1970-01-01 of a proleptic Gregorian date.
constexpr int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
constexpr int64_t kDays1904 = DaysFromCivil(1904, 1, 1);
// The month and day of each day of a year (0 is January 1), for a leap year ([1]) and
// for another ([0]).
struct MonthDayTable {
  uint8_t month[2][366] = {}, day[2][366] = {};
  constexpr MonthDayTable() {
    constexpr uint8_t kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int leap = 0; leap < 2; ++leap) {
      int at = 0;
      for (int m = 0; m < 12; ++m) {
        int length = kLengths[m] + (m == 1 ? leap : 0);
        for (int d = 1; d <= length; ++d, ++at) {
          month[leap][at] = uint8_t(m + 1);
          day[leap][at] = uint8_t(d);
        }
      }
    }
  }
};
constexpr MonthDayTable kMonthDays;
// The date `days` after 1904-01-01, for the days a 32-bit number of seconds reaches
// (1904 to 2040). Every year of that range that divides by four is a leap year, 2000
// included: the days fall in cycles of four years, 1461 days with a leap year first,
// and the month and day come from a table, so few steps wait on one another.
void CivilFromDays1904(uint32_t days, int64_t* y, int64_t* m, int64_t* d) {
  const uint32_t cycle = days / 1461, inCycle = days % 1461;
  const uint32_t year = uint32_t(inCycle >= 366) + uint32_t(inCycle >= 731) + uint32_t(inCycle >= 1096);
  const uint32_t dayOfYear = inCycle - (year ? 365 * year + 1 : 0);
  const int leap = year == 0;
  *y = int64_t(1904 + 4 * cycle + year);
  *m = kMonthDays.month[leap][dayOfYear];
  *d = kMonthDays.day[leap][dayOfYear];
}
}  // namespace

uint32_t TickCount() {
  if (Clock().on) return uint32_t(Clock().ticks);
  return uint32_t(MonotonicNanos() * 60 / 1000000000u);
}

uint32_t Milliseconds() {
  if (Clock().on) return uint32_t(Clock().ticks * 1000 / 60);
  return uint32_t(MonotonicNanos() / 1000000u);
}

namespace {
// tzset reads the zone again on every call (a stat of /etc/localtime at least), and so
// does mktime: a method that asks the date and time for each request would pay that many
// times a second. The zone is read again once a second, and at once when TZ changes;
// the number returned changes each time it is, so what was worked out from the zone
// before can tell whether it still holds.
uint64_t ZoneGeneration() {
  static uint64_t generation = 0;
  static uint64_t readAt = 0;
  static bool haveTz = false;
  static std::string tz;
  const char* now = std::getenv("TZ");
  const uint64_t nanos = MonotonicNanos();
  const bool sameTz = now ? haveTz && tz == now : !haveTz;
  if (generation != 0 && sameTz && nanos - readAt < 1000000000u) return generation;
  tzset();  // localtime_r need not notice a changed TZ
  haveTz = now != nullptr;
  tz = now ? now : "";
  readAt = nanos;
  return ++generation;
}
}  // namespace

uint32_t DateTimeNow() {
  ZoneGeneration();
  time_t now = time(nullptr);
  tm local;
  localtime_r(&now, &local);
  return uint32_t(int64_t(now) + local.tm_gmtoff + kUnixTo1904);
}

DateTimeFields SecondsToFields(uint32_t seconds) {
  const uint32_t days = seconds / 86400, rest = seconds % 86400;
  int64_t y, m, d;
  CivilFromDays1904(days, &y, &m, &d);
  DateTimeFields f;
  f.year = int16_t(y);
  f.month = int16_t(m);
  f.day = int16_t(d);
  f.hour = int16_t(rest / 3600);
  f.minute = int16_t(rest % 3600 / 60);
  f.second = int16_t(rest % 60);
  f.dayOfWeek = int16_t((days + 5) % 7 + 1);  // 1904-01-01 was a Friday (6)
  return f;
}

void DateOfSeconds(uint32_t seconds, CivilDate* out) {
  int64_t y, m, d;
  CivilFromDays1904(seconds / 86400, &y, &m, &d);
  out->year = int16_t(y);
  out->month = int16_t(m);
  out->day = int16_t(d);
}

bool ValidDate(int year, int month, int day) {
  if (year == 0 && month == 0 && day == 0) return true;
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

uint32_t FieldsToSeconds(const DateTimeFields& f) {
  // Out-of-range months roll into years, and the rest is plain arithmetic, as the
  // Macintosh date utilities do.
  int64_t month0 = int64_t(f.month) - 1;
  int64_t year = int64_t(f.year) + (month0 >= 0 ? month0 / 12 : (month0 - 11) / 12);
  month0 -= (month0 >= 0 ? month0 / 12 : (month0 - 11) / 12) * 12;
  int64_t days = DaysFromCivil(year, month0 + 1, 1) - kDays1904 + (int64_t(f.day) - 1);
  int64_t secs = days * 86400 + int64_t(f.hour) * 3600 + int64_t(f.minute) * 60 + f.second;
  return uint32_t(secs);
}

TimeZoneInfo CurrentTimeZone() {
  static uint64_t knownGeneration = 0;
  static TimeZoneInfo known;
  const uint64_t generation = ZoneGeneration();
  if (generation == knownGeneration) return known;
  time_t now = time(nullptr);
  tm local;
  localtime_r(&now, &local);
  // The standard offset is the smaller of the offsets in January and July.
  tm probe = local;
  probe.tm_mon = 0, probe.tm_mday = 1, probe.tm_hour = 12, probe.tm_isdst = -1;
  tm jan, jul;
  time_t tjan = mktime(&probe);
  localtime_r(&tjan, &jan);
  probe = local;
  probe.tm_mon = 6, probe.tm_mday = 1, probe.tm_hour = 12, probe.tm_isdst = -1;
  time_t tjul = mktime(&probe);
  localtime_r(&tjul, &jul);
  long standard = jan.tm_gmtoff < jul.tm_gmtoff ? jan.tm_gmtoff : jul.tm_gmtoff;
  long daylight = jan.tm_gmtoff < jul.tm_gmtoff ? jul.tm_gmtoff : jan.tm_gmtoff;
  TimeZoneInfo z;
  z.bias = int32_t(-standard / 60);
  z.standardBias = 0;
  z.daylightBias = int32_t(-(daylight - standard) / 60);
  if (local.tm_isdst > 0) {
    z.state = 2;
    // Zones whose daylight offset is not what January/July show still report truly.
    z.daylightBias = int32_t(-(local.tm_gmtoff - standard) / 60);
  } else {
    z.state = daylight != standard ? 1 : 0;
    if (local.tm_gmtoff != standard) z.bias = int32_t(-local.tm_gmtoff / 60);
  }
  knownGeneration = generation;
  known = z;
  return z;
}

void UseTestClock(bool on) {
  if (on && !Clock().on) Clock().ticks = MonotonicNanos() * 60 / 1000000000u;
  Clock().on = on;
}
bool TestClockActive() { return Clock().on; }
void AdvanceTestClock(uint32_t ticks) { Clock().ticks += ticks; }

// ---- text -------------------------------------------------------------------------
namespace {
constexpr uint16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

// Upper-case partner of each Mac Roman byte, for comparisons that ignore case.
struct UpperTable {
  uint8_t map[256];
  constexpr UpperTable() : map() {
    for (int i = 0; i < 256; ++i) map[i] = uint8_t(i);
    for (int c = 'a'; c <= 'z'; ++c) map[c] = uint8_t(c - 32);
    constexpr uint8_t pairs[][2] = {
        {0x8A, 0x80}, {0x8C, 0x81}, {0x8D, 0x82}, {0x8E, 0x83}, {0x96, 0x84}, {0x9A, 0x85},
        {0x9F, 0x86}, {0xBE, 0xAE}, {0xBF, 0xAF}, {0x88, 0xCB}, {0x8B, 0xCC}, {0x9B, 0xCD},
        {0xCF, 0xCE}, {0xD8, 0xD9}, {0x89, 0xE5}, {0x90, 0xE6}, {0x87, 0xE7}, {0x91, 0xE8},
        {0x8F, 0xE9}, {0x92, 0xEA}, {0x94, 0xEB}, {0x95, 0xEC}, {0x93, 0xED}, {0x97, 0xEE},
        {0x99, 0xEF}, {0x98, 0xF1}, {0x9C, 0xF2}, {0x9E, 0xF3}, {0x9D, 0xF4}};
    for (const auto& p : pairs) map[p[0]] = p[1];
  }
};
constexpr UpperTable kUpper;

}  // namespace

void NumToString(int32_t n, uint8_t* out256) {
  char buf[16];
  int len = std::snprintf(buf, sizeof buf, "%d", n);
  out256[0] = uint8_t(len);
  std::memcpy(out256 + 1, buf, size_t(len));
}

int32_t StringToNum(const uint8_t* str255) {
  int len = str255[0];
  int i = 1;
  bool negative = false;
  if (i <= len && (str255[i] == '-' || str255[i] == '+')) negative = str255[i++] == '-';
  uint32_t value = 0;
  for (; i <= len && str255[i] >= '0' && str255[i] <= '9'; ++i) value = value * 10 + (str255[i] - '0');
  return negative ? int32_t(0u - value) : int32_t(value);
}

bool EqualString(const uint8_t* a, const uint8_t* b) {
  if (a[0] != b[0]) return false;
  for (int i = 1; i <= a[0]; ++i)
    if (kUpper.map[a[i]] != kUpper.map[b[i]]) return false;
  return true;
}

namespace {
// Mac Roman's upper half by Unicode code point, for the way back: Latin-1's upper half
// (most of what European texts use) by index, the rest sorted.
struct ReverseTable {
  struct Entry {
    uint16_t cp;
    uint8_t byte;
  };
  Entry entries[128];
  uint8_t latin1[128];  // 0: none
  constexpr ReverseTable() : entries(), latin1() {
    for (int k = 0; k < 128; ++k) {
      entries[k] = {kMacRomanHigh[k], uint8_t(0x80 + k)};
      if (kMacRomanHigh[k] >= 0x80 && kMacRomanHigh[k] < 0x100) latin1[kMacRomanHigh[k] - 0x80] = uint8_t(0x80 + k);
    }
    for (int i = 1; i < 128; ++i)  // insertion sort: constexpr and run once
      for (int j = i; j > 0 && entries[j - 1].cp > entries[j].cp; --j) {
        Entry t = entries[j];
        entries[j] = entries[j - 1];
        entries[j - 1] = t;
      }
  }
  char Find(uint32_t cp) const {
    if (cp >= 0x80 && cp < 0x100) return latin1[cp - 0x80] ? char(latin1[cp - 0x80]) : '?';
    size_t lo = 0, hi = 128;
    while (lo < hi) {
      size_t mid = (lo + hi) / 2;
      if (entries[mid].cp < cp) lo = mid + 1;
      else hi = mid;
    }
    return lo < 128 && entries[lo].cp == cp ? char(entries[lo].byte) : '?';
  }
};
constexpr ReverseTable kMacRomanReverse;

// Each Mac Roman byte in UTF-8: up to three bytes, then their count, so that one 4-byte
// copy writes a character and the count says how far to go on.
struct Utf8Form {
  char bytes[3];
  uint8_t size;
};
static_assert(sizeof(Utf8Form) == 4);
struct MacRomanUtf8Table {
  Utf8Form forms[256] = {};
  constexpr MacRomanUtf8Table() {
    for (int c = 0; c < 256; ++c) {
      uint32_t cp = c < 0x80 ? uint32_t(c) : kMacRomanHigh[c - 0x80];
      Utf8Form& f = forms[c];
      if (cp < 0x80) {
        f = {{char(cp), 0, 0}, 1};
      } else if (cp < 0x800) {
        f = {{char(0xC0 | (cp >> 6)), char(0x80 | (cp & 0x3F)), 0}, 2};
      } else {
        f = {{char(0xE0 | (cp >> 12)), char(0x80 | ((cp >> 6) & 0x3F)), char(0x80 | (cp & 0x3F))}, 3};
      }
    }
  }
};
constexpr MacRomanUtf8Table kMacRomanUtf8;

// One character's form: its bytes and their count (the form's last byte), read with one
// load; written at p with one store, which gives how far the text has gone on.
inline uint32_t FormOf(unsigned char c) {
  uint32_t f;
  std::memcpy(&f, &kMacRomanUtf8.forms[c], 4);
  return f;
}
inline size_t PutForm(char* p, uint32_t f) {
  std::memcpy(p, &f, 4);
  return std::endian::native == std::endian::little ? f >> 24 : f & 0xFF;
}

// Mac Roman bytes, the first `ascii` of them ASCII, as UTF-8 at p, which has room for
// three bytes a character and one more that the last copy may write; the UTF-8 length.
size_t MacRomanToUtf8At(std::string_view bytes, size_t ascii, char* p) {
  size_t n = 0, i = 0;
  if (ascii >= 16) {  // a few ASCII bytes go through the table as well as any
    std::memcpy(p, bytes.data(), ascii);
    n = i = ascii;
  }
  // Eight characters at a time: their bytes and forms are read before any of their
  // stores, which a read after them could otherwise take for overlapping (the output
  // and the table or the text may lie a multiple of 4 KB apart) and wait for.
  for (; i + 8 <= bytes.size(); i += 8) {
    uint32_t f[8];
    for (int k = 0; k < 8; ++k) f[k] = FormOf(static_cast<unsigned char>(bytes[i + size_t(k)]));
    for (int k = 0; k < 8; ++k) n += PutForm(p + n, f[k]);
  }
  for (; i < bytes.size(); ++i) n += PutForm(p + n, FormOf(static_cast<unsigned char>(bytes[i])));
  return n;
}
}  // namespace

void MacRomanToUtf8(std::string_view bytes, std::string* out) {
  size_t ascii = AsciiPrefix(bytes);
  if (ascii == bytes.size()) {
    out->assign(bytes);
    return;
  }
  // A short text is converted on the stack and copied once: resizing the string to the
  // longest form first would fill it with zeros only to cut it again.
  constexpr size_t kShort = 256;
  if (bytes.size() <= kShort) {
    char converted[kShort * 3 + 1];
    out->assign(converted, MacRomanToUtf8At(bytes, ascii, converted));
    return;
  }
  out->resize(ascii + (bytes.size() - ascii) * 3 + 1);
  out->resize(MacRomanToUtf8At(bytes, ascii, out->data()));
}

std::string MacRomanToUtf8(std::string_view bytes) {
  std::string out;
  MacRomanToUtf8(bytes, &out);
  return out;
}

void Utf8ToMacRoman(std::string_view utf8, std::string* out) {
  size_t i = AsciiPrefix(utf8);
  if (i == utf8.size()) {
    out->assign(utf8);
    return;
  }
  out->resize(utf8.size());  // never more bytes than the UTF-8 had
  char* p = out->data();
  std::memcpy(p, utf8.data(), i);
  size_t n = i;
  while (i < utf8.size()) {
    unsigned char c = uint8_t(utf8[i]);
    uint32_t cp;
    size_t len;
    if (c < 0x80) {
      p[n++] = char(c);
      ++i;
      continue;
    }
    // Two bytes, the letters of Latin-1 among them: the common case, taken first.
    if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size() && (uint8_t(utf8[i + 1]) & 0xC0) == 0x80) {
      const uint32_t two = (uint32_t(c & 0x1F) << 6) | (uint8_t(utf8[i + 1]) & 0x3F);
      p[n++] = two < 0x80 ? char(two) : kMacRomanReverse.Find(two);
      i += 2;
      continue;
    }
    if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F, len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F, len = 3;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07, len = 4;
    } else {
      p[n++] = '?';
      ++i;
      continue;
    }
    if (i + len > utf8.size()) {
      p[n++] = '?';
      break;
    }
    bool bad = false;
    for (size_t k = 1; k < len; ++k) {
      unsigned char cc = uint8_t(utf8[i + k]);
      if ((cc & 0xC0) != 0x80) bad = true;
      cp = (cp << 6) | (cc & 0x3F);
    }
    i += bad ? 1 : len;
    p[n++] = bad ? '?' : cp < 0x80 ? char(cp) : kMacRomanReverse.Find(cp);
  }
  out->resize(n);
}

std::string Utf8ToMacRoman(std::string_view utf8) {
  std::string out;
  Utf8ToMacRoman(utf8, &out);
  return out;
}

// ---- resources ----------------------------------------------------------------------
namespace {
struct Resources {
  std::map<int16_t, std::vector<std::string>> stringLists;
  std::map<std::pair<ResType, std::string>, std::vector<uint8_t>> named;
  bool installed = false;
};
Resources& Res() {
  static Resources r;
  if (!r.installed) {
    r.installed = true;
    InstallDefaultResources();
  }
  return r;
}
}  // namespace

void GetIndexedString(int16_t listId, int16_t index, uint8_t* out256) {
  out256[0] = 0;
  auto& lists = Res().stringLists;
  auto it = lists.find(listId);
  if (it == lists.end() || index < 1 || size_t(index) > it->second.size()) return;
  const std::string& s = it->second[size_t(index) - 1];
  size_t n = s.size() < 255 ? s.size() : 255;
  out256[0] = uint8_t(n);
  std::memcpy(out256 + 1, s.data(), n);
}

Handle GetNamedResource(ResType type, std::string_view name) {
  auto& named = Res().named;
  auto it = named.find({type, std::string(name)});
  if (it == named.end()) return 0;
  Handle h = NewHandle(int32_t(it->second.size()));
  if (h && !it->second.empty()) std::memcpy(HandleAddress(h), it->second.data(), it->second.size());
  return h;
}

std::span<const uint8_t> NamedResourceBytes(ResType type, std::string_view name) {
  auto& named = Res().named;
  auto it = named.find({type, std::string(name)});
  if (it == named.end()) return {};
  return it->second;
}

void SetStringList(int16_t listId, std::span<const std::string> entries) {
  Res().stringLists[listId] = std::vector<std::string>(entries.begin(), entries.end());
}
void RemoveStringList(int16_t listId) { Res().stringLists.erase(listId); }
void SetNamedResource(ResType type, std::string_view name, std::span<const uint8_t> data) {
  Res().named[{type, std::string(name)}] = std::vector<uint8_t>(data.begin(), data.end());
}
void RemoveNamedResource(ResType type, std::string_view name) {
  Res().named.erase({type, std::string(name)});
}
void ResetResources() {
  Resources& r = Res();
  r.stringLists.clear();
  r.named.clear();
  InstallDefaultResources();
}

// ---- user interface and events ---------------------------------------------------------
namespace {
struct Ui {
  std::string lastAlert;
  int beeps = 0;
  MessageFilter filter = nullptr;
  EventHooks hooks;
};
Ui& TheUi() {
  static Ui ui;
  return ui;
}
}  // namespace

void Alert(std::string_view text) {
  TheUi().lastAlert = std::string(text);
  std::fprintf(stderr, "%s\n", MacRomanToUtf8(text).c_str());
}
std::string LastAlert() { return TheUi().lastAlert; }
void Beep() { ++TheUi().beeps; }
int BeepCount() { return TheUi().beeps; }

void InstallMessageFilter(MessageFilter f) { TheUi().filter = f; }
MessageFilter CurrentMessageFilter() { return TheUi().filter; }

void WatchSocket(int fd, uint32_t events) {
  const EventHooks& h = TheUi().hooks;
  if (h.watch) h.watch(fd, events, h.ctx);
}
void ReenableSocketNotify(int fd) {
  const EventHooks& h = TheUi().hooks;
  if (h.reenable) h.reenable(fd, h.ctx);
}
void WaitHint(int fd, short events) {
  const EventHooks& h = TheUi().hooks;
  if (h.hint) h.hint(fd, events, h.ctx);
}
void WakeWaiters(int fd) {
  const EventHooks& h = TheUi().hooks;
  if (h.wake) h.wake(fd, h.ctx);
}
void SetEventHooks(const EventHooks& hooks) { TheUi().hooks = hooks; }
void SystemIdle() {
  const EventHooks& h = TheUi().hooks;
  if (h.idle) h.idle(h.ctx);
}

}  // namespace platform
