#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/services.h"

using namespace platform;

namespace {
std::string Str(const uint8_t* s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }
void Pascal(const char* c, uint8_t* out) {
  out[0] = uint8_t(std::strlen(c));
  std::memcpy(out + 1, c, out[0]);
}
}  // namespace

TEST(Time, SecondsAndFieldsBothWays) {
  DateTimeFields f = SecondsToFields(0);
  EXPECT_EQ(+f.year, 1904);
  EXPECT_EQ(+f.month, 1);
  EXPECT_EQ(+f.day, 1);
  EXPECT_EQ(f.dayOfWeek, 6);  // a Friday
  // 2002-03-05 14:07:09 was a Tuesday.
  DateTimeFields t{2002, 3, 5, 14, 7, 9, 0};
  uint32_t s = FieldsToSeconds(t);
  EXPECT_EQ(s, 3098182029u);
  DateTimeFields back = SecondsToFields(s);
  EXPECT_EQ(+back.year, 2002);
  EXPECT_EQ(+back.month, 3);
  EXPECT_EQ(+back.day, 5);
  EXPECT_EQ(back.hour, 14);
  EXPECT_EQ(back.minute, 7);
  EXPECT_EQ(back.second, 9);
  EXPECT_EQ(back.dayOfWeek, 3);
  DateTimeFields last = SecondsToFields(0xFFFFFFFFu);
  EXPECT_EQ(+last.year, 2040);
  EXPECT_EQ(+last.month, 2);
  EXPECT_EQ(+last.day, 6);
  EXPECT_EQ(last.hour, 6);
  EXPECT_EQ(last.minute, 28);
  EXPECT_EQ(last.second, 15);
  // Every day of the range round-trips, weekdays advance by one.
  int16_t weekday = SecondsToFields(0).dayOfWeek;
  for (uint32_t day = 1; day <= 0xFFFFFFFFu / 86400; day += 1) {
    DateTimeFields d = SecondsToFields(day * 86400u + 3723);
    ASSERT_EQ(FieldsToSeconds(d), day * 86400u + 3723);
    CivilDate date;
    DateOfSeconds(uint32_t(std::min<uint64_t>(day * 86400ull + 86399, 0xFFFFFFFFu)), &date);
    ASSERT_EQ(date.year * 10000 + date.month * 100 + date.day, d.year * 10000 + d.month * 100 + d.day);
    ASSERT_EQ(d.dayOfWeek, weekday % 7 + 1);
    weekday = d.dayOfWeek;
  }
}

TEST(Time, DateTimeNowFollowsTimeZone) {
  const char* old = std::getenv("TZ");
  std::string saved = old ? old : "";
  setenv("TZ", "Asia/Kolkata", 1);
  tzset();
  time_t now = time(nullptr);
  int64_t expect = int64_t(now) + 19800 + 2082844800;
  EXPECT_LE(std::llabs(int64_t(DateTimeNow()) - expect), 2);
  TimeZoneInfo z = CurrentTimeZone();
  EXPECT_EQ(z.bias, -330);
  EXPECT_EQ(z.state, 0);
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(CurrentTimeZone().bias, 0);
  if (old) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
}

TEST(Time, TestClockMovesOnlyWhenAdvanced) {
  UseTestClock(true);
  uint32_t t = TickCount();
  uint32_t ms = Milliseconds();
  AdvanceTestClock(60);
  EXPECT_EQ(TickCount(), t + 60);
  EXPECT_EQ(Milliseconds() - ms, 1000u);
  UseTestClock(false);
}

TEST(Text, NumbersAndComparison) {
  uint8_t s[256], a[256], b[256];
  NumToString(-2147483647 - 1, s);
  EXPECT_EQ(Str(s), "-2147483648");
  EXPECT_EQ(StringToNum(s), -2147483647 - 1);
  NumToString(0, s);
  EXPECT_EQ(Str(s), "0");
  Pascal("+42x", s);
  EXPECT_EQ(StringToNum(s), 42);
  Pascal("GMT", a);
  Pascal("gmt", b);
  EXPECT_TRUE(EqualString(a, b));
  Pascal("gmu", b);
  EXPECT_FALSE(EqualString(a, b));
  // Mac Roman accented letters compare without case too: 0x83 'É' and 0x8E 'é'.
  uint8_t e1[] = {1, 0x83}, e2[] = {1, 0x8E};
  EXPECT_TRUE(EqualString(e1, e2));
}

TEST(Text, MacRomanPaths) {
  EXPECT_EQ(MacRomanToUtf8("caf\x8E"), "caf\xC3\xA9");
  EXPECT_EQ(MacRomanToUtf8("\xDB"), "\xE2\x82\xAC");  // the euro sign
  std::string all;
  for (int c = 1; c < 256; ++c) all += char(c);
  EXPECT_EQ(Utf8ToMacRoman(MacRomanToUtf8(all)), all);
  EXPECT_EQ(Utf8ToMacRoman("\xE4\xB8\xAD"), "?");    // no Mac Roman character
  EXPECT_EQ(Utf8ToMacRoman("a\xC3"), "a?");          // cut sequence
}

TEST(Resources, AddReplaceRemove) {
  uint8_t s[256];
  std::string entries[] = {"first", "", "third"};
  SetStringList(20000, entries);
  GetIndexedString(20000, 1, s);
  EXPECT_EQ(Str(s), "first");
  GetIndexedString(20000, 3, s);
  EXPECT_EQ(Str(s), "third");
  GetIndexedString(20000, 4, s);
  EXPECT_EQ(s[0], 0);
  GetIndexedString(20000, 0, s);
  EXPECT_EQ(s[0], 0);
  RemoveStringList(20000);
  GetIndexedString(20000, 1, s);
  EXPECT_EQ(s[0], 0);

  const ResType type = MakeResType("TEST");
  uint8_t data[] = {1, 2, 3};
  SetNamedResource(type, "table", data);
  Handle h = GetNamedResource(type, "table");
  ASSERT_NE(h, 0u);
  EXPECT_EQ(HandleSize(h), 3);
  EXPECT_EQ(HandleAddress(h)[2], 3);
  DisposeHandle(h);
  EXPECT_EQ(GetNamedResource(type, "Table"), 0u);
  RemoveNamedResource(type, "table");
  EXPECT_EQ(GetNamedResource(type, "table"), 0u);
  ResetResources();
}

// Every day of the year one of these two zones keeps daylight time: Berlin from late
// March to late October, Sydney from early October to early April.
TEST(Time, DaylightTimeIsReportedWithItsBias) {
  const char* old = std::getenv("TZ");
  std::string saved = old ? old : "";
  int daylight = 0;
  for (const char* zone : {"Europe/Berlin", "Australia/Sydney"}) {
    setenv("TZ", zone, 1);
    TimeZoneInfo z = CurrentTimeZone();
    time_t now = time(nullptr);
    tm local;
    localtime_r(&now, &local);
    EXPECT_EQ(z.state, local.tm_isdst > 0 ? 2 : 1) << zone;
    EXPECT_EQ(-(z.bias + (z.state == 2 ? z.daylightBias : 0)) * 60, local.tm_gmtoff) << zone;
    daylight += z.state == 2;
  }
  EXPECT_GE(daylight, 1);
  if (old) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
}

TEST(Time, ValidDates) {
  struct Row {
    int year, month, day;
    bool valid;
  } rows[] = {{0, 0, 0, true},      {0, 1, 1, false},     {10000, 1, 1, false}, {2024, 0, 1, false},
              {2024, 13, 1, false}, {2024, 1, 0, false},  {2024, 2, 29, true},  {2023, 2, 29, false}};
  for (const Row& r : rows) EXPECT_EQ(ValidDate(r.year, r.month, r.day), r.valid) << r.year << "-" << r.month << "-" << r.day;
}

TEST(Ui, AlertsAndBeepsAreRecorded) {
  int beeps = BeepCount();
  Beep();
  EXPECT_EQ(BeepCount(), beeps + 1);
  Alert("K\x8A" "se");  // Mac Roman, shown as UTF-8
  EXPECT_EQ(LastAlert(), "K\x8A" "se");
}
