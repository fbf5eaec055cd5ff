#include <time.h>

#include <cstdlib>

#include "tests/support.h"
#include "host/host.h"
#include "platform/services.h"
#include "dates/dates.h"

using namespace vrx;
using vrxtest::Lines;

namespace {

uint32_t At(int y, int mo, int d, int h, int mi, int s) {
  platform::DateTimeFields f{int16_t(y), int16_t(mo), int16_t(d), int16_t(h), int16_t(mi),
                             int16_t(s), 0};
  return platform::FieldsToSeconds(f);
}

struct ZoneScope {
  std::string old;
  bool had;
  explicit ZoneScope(const char* tz) {
    const char* o = getenv("TZ");
    had = o != nullptr;
    if (had) old = o;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ZoneScope() {
    if (had) setenv("TZ", old.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
};

TEST(Dates, FormatsHeaders) {
  EXPECT_EQ(FormatDateHeader(0, 1, 0), "Fri, 1 Jan 1904 00:00:00 GMT");
  uint32_t t = At(2002, 3, 5, 13, 7, 9);
  EXPECT_EQ(FormatDateHeader(t, 0, 3600), "Tue, 5 Mar 2002 14:07:09 +0100");
  EXPECT_EQ(FormatDateHeader(t, 7, 3600), "Tue, 5 Mar 2002 13:07:09 GMT");
  EXPECT_EQ(FormatDateHeader(t, 0, -18000), "Tue, 5 Mar 2002 08:07:09 -0500");
  EXPECT_EQ(FormatDateHeader(t, 0, -12600), "Tue, 5 Mar 2002 09:37:09 -0330");
  EXPECT_EQ(FormatDateHeader(t, 0, 0), "Tue, 5 Mar 2002 13:07:09 GMT");
  EXPECT_EQ(FormatDateHeader(At(2026, 12, 17, 0, 0, 5), 1, 0), "Thu, 17 Dec 2026 00:00:05 GMT");
  // The last moment of the 32-bit count.
  EXPECT_EQ(FormatDateHeader(0xFFFFFFFFu, 1, 0), "Mon, 6 Feb 2040 06:28:15 GMT");
}

TEST(Dates, ParsesHeadersAndCompactForms) {
  uint32_t t = At(2002, 3, 5, 13, 7, 9);
  EXPECT_EQ(ParseDateHeader("Tue, 5 Mar 2002 14:07:09 +0100", 0, 0), t);
  EXPECT_EQ(ParseDateHeader("5 Mar 2002 14:07:09 EST", 0, 0), At(2002, 3, 5, 19, 7, 9));
  EXPECT_EQ(ParseDateHeader("05 Mar 02 14:07 GMT", 0, 0), At(2002, 3, 5, 14, 7, 0));
  EXPECT_EQ(ParseDateHeader("Tue, 05 Mar 2002 14:07:09 -0330", 0, 0), At(2002, 3, 5, 17, 37, 9));
  EXPECT_EQ(ParseDateHeader("5 mar 2002 10:00:00 GMT", 2, 0),
            ParseDateHeader("05 MAR 2002 10:00:00 GMT", 2, 0));
  EXPECT_EQ(ParseDateHeader("1 Jan 39 00:00:00 GMT", 0, 0), At(2039, 1, 1, 0, 0, 0));
  EXPECT_EQ(ParseDateHeader("1 Jan 40 00:00:00 GMT", 0, 0), At(1940, 1, 1, 0, 0, 0));
  // Only an exact zone name counts.
  EXPECT_EQ(ParseDateHeader("Mon, 1 Jan 2001 10:00:00 (EST)", 0, 0), At(2001, 1, 1, 10, 0, 0));
  EXPECT_EQ(ParseDateHeader("Mon, 1 Jan 2001 10:00:00 PST", 0, 0), At(2001, 1, 1, 18, 0, 0));
  EXPECT_EQ(ParseDateHeader("Mon, 1 Jan 2001 10:00:00 CDT", 0, 0), At(2001, 1, 1, 15, 0, 0));
  EXPECT_EQ(ParseDateHeader("", 0, 0), 0u);
  EXPECT_EQ(ParseDateHeader("no digits at all", 0, 0), 0u);
  // asctime, as HTTP allows it (GMT), with a one- or two-digit day.
  EXPECT_EQ(ParseDateHeader("Sun Nov  6 08:49:37 1994", 0, 3600), At(1994, 11, 6, 8, 49, 37));
  EXPECT_EQ(ParseDateHeader("Thu Dec 17 00:00:05 2026", 0, 0), At(2026, 12, 17, 0, 0, 5));
  // One character off asctime's shape is read as a header form, never as asctime (whose
  // reading takes the third field for the day).
  for (std::string near : {"Su1 Nov  6 08:49:37 1994", "Sun No1  6 08:49:37 1994",
                           "Sun Nov  6 08:49:37 199", "Sun Nov  x 08:49:37 1994",
                           "Sun Nov  6 08-49:37 1994", "Sun Nov  6 08:49-37 1994",
                           "SunxNov  6 08:49:37 1994", "Sun Nov  6x08:49:37 1994",
                           "Sun Nov 6  08:49:37 1994", "Sun Nov  6 08:49:37x1994"})
    EXPECT_NE(ParseDateHeader(near, 0, 0), At(1994, 11, 6, 8, 49, 37)) << near;

  // Compact: 12 characters are local time, anything else is GMT.
  EXPECT_EQ(ParseDateHeader("020305140709", 1, 3600), At(2002, 3, 5, 13, 7, 9));
  EXPECT_EQ(ParseDateHeader("020305140709Z", 1, 3600), At(2002, 3, 5, 14, 7, 9));
  EXPECT_EQ(ParseDateHeader("390101000000Z", 1, 0), At(2039, 1, 1, 0, 0, 0));
  EXPECT_EQ(ParseDateHeader("400101000000Z", 1, 0), At(1940, 1, 1, 0, 0, 0));
}

TEST(Dates, ShortTextsStayInsideTheirBytes) {
  // Every prefix of a header and of a compact form parses without reading past its end
  // (the sanitizer build checks the reads); the full forms still give their moments.
  const std::string header = "Tue, 5 Mar 2002 14:07:09 +0100";
  for (size_t n = 0; n <= header.size(); ++n) {
    std::string cut = header.substr(0, n);
    ParseDateHeader(cut, 0, 0);
  }
  const std::string compact = "020305140709";
  for (size_t n = 0; n <= compact.size(); ++n) ParseDateHeader(compact.substr(0, n), 1, 0);
  // Fields past the end read as zero.
  EXPECT_EQ(ParseDateHeader("Tue, 5 Mar 2002", 0, 0), At(2002, 3, 5, 0, 0, 0));
  EXPECT_EQ(ParseDateHeader("0203", 1, 0), At(2002, 3, 0, 0, 0, 0));
  // A long text is cut to a string's 255 bytes.
  std::string longText = "Tue, 5 Mar 2002 14:07:09 " + std::string(400, 'x');
  EXPECT_EQ(ParseDateHeader(longText, 0, 0), At(2002, 3, 5, 14, 7, 9));
}

TEST(Dates, DatesAndTimesToSecondsAndBack) {
  DateValue d{5, 3, 2002};
  EXPECT_EQ(DateToSeconds(d, 14 * 3600 + 7 * 60 + 9, 0, 3600), At(2002, 3, 5, 14, 7, 9));
  EXPECT_EQ(DateToSeconds(d, 14 * 3600 + 7 * 60 + 9, 1, 3600), At(2002, 3, 5, 13, 7, 9));
  // A time of a day or more wraps into the same day.
  EXPECT_EQ(DateToSeconds(d, 86400 + 60, 0, 0), At(2002, 3, 5, 0, 1, 0));
  // The null date gives the time alone.
  EXPECT_EQ(DateToSeconds(DateValue{0, 0, 0}, 61, 0, 0), 61u);

  DateValue out{};
  int32_t time = -1;
  SecondsToDate(At(2002, 3, 5, 23, 30, 0), 0, 3600, &out, &time);  // GMT shown locally
  EXPECT_EQ(out.day, 6);
  EXPECT_EQ(out.month, 3);
  EXPECT_EQ(out.year, 2002);
  EXPECT_EQ(time, 30 * 60);
  SecondsToDate(At(2002, 3, 5, 23, 30, 0), 1, 3600, &out, &time);  // as they are
  EXPECT_EQ(out.day, 5);
  EXPECT_EQ(time, 23 * 3600 + 30 * 60);
}

TEST(Dates, OffsetFromBiases) {
  EXPECT_EQ(GmtOffsetFromBiases(-60, 0, -60, 1), 3600);
  EXPECT_EQ(GmtOffsetFromBiases(-60, 0, -60, 2), 7200);
  EXPECT_EQ(GmtOffsetFromBiases(300, 0, -60, 0), -18000);
  EXPECT_EQ(GmtOffsetFromBiases(210, 0, -60, 1), -12600);
  EXPECT_EQ(GmtOffsetFromBiases(-330, 0, 0, 0), 19800);
}

TEST(Dates, TimersWrapAt32Bits) {
  EXPECT_EQ(TimerElapsed(0, 12345), 0);
  EXPECT_EQ(TimerElapsed(1000, 1500), 500);
  EXPECT_EQ(TimerElapsed(int32_t(0xFFFFFFF0u), 0x10u), 32);
}

// Formatting and parsing against Python's email.utils over random moments in several
// zones. The header shows the zone's current offset, so Python formats with that fixed
// offset; parsing reads Python's own headers with the offset in force at each moment.
TEST(Dates, AgreeWithPythonEmailUtils) {
  vrxtest::TempDir dir;
  const char* script = R"PY(
import sys, time, random
from datetime import datetime, timezone, timedelta
from email.utils import formatdate, format_datetime, parsedate_tz, mktime_tz
U = 2082844800
off = time.localtime().tm_gmtoff
print(off)
rng = random.Random(7)
names = ['EST', 'EDT', 'CST', 'CDT', 'MST', 'MDT', 'PST', 'PDT', 'GMT', 'UT']
for line in sys.stdin:
    s = int(line)
    t = s - U
    fixed = format_datetime(datetime.fromtimestamp(t, timezone(timedelta(seconds=off))))
    local = formatdate(t, localtime=True)
    named = local.rsplit(' ', 1)[0] + ' ' + rng.choice(names)
    print('\t'.join([fixed, local, str(mktime_tz(parsedate_tz(local)) + U),
                     named, str(mktime_tz(parsedate_tz(named)) + U)]))
)PY";
  std::mt19937 rng(42);
  std::string input;
  std::vector<uint32_t> moments;
  for (int i = 0; i < 2500; ++i) {
    uint32_t s = 86400 * 2 + rng() % (0xFFFFFFFFu - 86400 * 4);
    moments.push_back(s);
    input += std::to_string(s) + "\n";
  }
  for (const char* zone : {"Europe/Paris", "America/New_York", "Asia/Kolkata", "UTC"}) {
    SCOPED_TRACE(zone);
    ZoneScope scope(zone);
    auto lines = Lines(vrxtest::RunPython(dir, script, input, std::string("TZ=") + zone));
    ASSERT_EQ(lines.size(), moments.size() + 1);
    int32_t offset = std::stoi(lines[0]);
    EXPECT_EQ(GmtOffset(), offset);
    int failures = 0;
    size_t compared = 0;
    for (size_t i = 0; i < moments.size() && failures < 5; ++i) {
      std::vector<std::string> f;
      std::stringstream in(lines[i + 1]);
      std::string field;
      while (std::getline(in, field, '\t')) f.push_back(field);
      ASSERT_EQ(f.size(), 5u);
      // Python writes the day with two digits and a zero offset as +0000.
      std::string expected = f[0];
      if (expected[5] == '0') expected.erase(5, 1);
      if (expected.ends_with(" +0000")) expected.replace(expected.size() - 5, 5, "GMT");
      std::string ours = FormatDateHeader(moments[i], 0, offset);
      if (ours != expected) ++failures;
      EXPECT_EQ(ours, expected);
      // Offsets of old local mean times carry seconds ('+000921'), which no header form
      // holds.
      if (f[1].size() - f[1].rfind(' ') != 6) continue;
      ++compared;
      uint32_t parsed = ParseDateHeader(f[1], 0, offset);
      if (parsed != uint32_t(std::stoll(f[2]))) ++failures;
      EXPECT_EQ(parsed, uint32_t(std::stoll(f[2]))) << f[1];
      EXPECT_EQ(ParseDateHeader(f[3], 0, offset), uint32_t(std::stoll(f[4]))) << f[3];
      EXPECT_EQ(parsed, moments[i]);
    }
    EXPECT_GT(compared, moments.size() * 3 / 4);
  }
}

TEST(Dates, CommandsFollowTheSystemZone) {
  host::Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  ZoneScope scope("Asia/Kolkata");  // +0530 all year
  uint32_t t = At(2002, 3, 5, 13, 7, 9);
  host::Value secs = host::Value::Long(int32_t(t)), zero = host::Value::Long(0),
              one = host::Value::Long(1);
  std::vector<host::Value*> ps{&secs, &zero};
  EXPECT_EQ(h.Call("VRX_FormatDateHeader", ps).bytes, "Tue, 5 Mar 2002 18:37:09 +0530");
  ps = {&secs, &one};
  EXPECT_EQ(h.Call("VRX_FormatDateHeader", ps).bytes, "Tue, 5 Mar 2002 13:07:09 GMT");

  host::Value compact = host::Value::String("020305183709");
  ps = {&compact, &one};
  EXPECT_EQ(uint32_t(h.Call("VRX_ParseDateHeader", ps).value), t);
  host::Value header = host::Value::String("Tue, 5 Mar 2002 14:07:09 +0100");
  ps = {&header, &zero};
  EXPECT_EQ(uint32_t(h.Call("VRX_ParseDateHeader", ps).value), t);

  host::Value date = host::Value::Date(2002, 3, 5), time = host::Value::Time(18 * 3600 + 37 * 60 + 9);
  ps = {&date, &time, &one};
  EXPECT_EQ(uint32_t(h.Call("VRX_DateToSeconds", ps).value), t);
  ps = {&date, &time, &zero};
  EXPECT_EQ(uint32_t(h.Call("VRX_DateToSeconds", ps).value), t + 19800);

  host::Value outDate(Kind::Date), outTime(Kind::Time);
  ps = {&secs, &outDate, &outTime, &zero};
  h.Call("VRX_SecondsToDate", ps);
  EXPECT_EQ(outDate.AsDate().day, 5);
  EXPECT_EQ(outDate.AsDate().year, 2002);
  EXPECT_EQ(outTime.AsLong(), 18 * 3600 + 37 * 60 + 9);
  ps = {&secs, &outDate, &outTime, &one};
  h.Call("VRX_SecondsToDate", ps);
  EXPECT_EQ(outTime.AsLong(), 13 * 3600 + 7 * 60 + 9);
}

TEST(Dates, TimerCommands) {
  host::Host::Options o;
  o.testClock = true;
  host::Host h(o);
  ASSERT_TRUE(h.loaded()) << h.error();
  std::vector<host::Value*> none;
  int32_t start = h.Call("VRX_GetTicks", none).value;
  platform::AdvanceTestClock(60);  // one second
  host::Value v = host::Value::Long(start);
  std::vector<host::Value*> ps{&v};
  EXPECT_EQ(h.Call("VRX_ReadTimer", ps).value, 1000);
  EXPECT_EQ(v.AsLong(), start);
  EXPECT_EQ(h.Call("VRX_StopTimer", ps).value, 1000);
  EXPECT_EQ(v.AsLong(), 0);
  EXPECT_EQ(h.Call("VRX_StopTimer", ps).value, 0);
  EXPECT_EQ(v.AsLong(), 0);
  EXPECT_EQ(h.Call("VRX_ReadTimer", ps).value, 0);
  // A start taken just before the millisecond counter wraps.
  uint32_t now = uint32_t(h.Call("VRX_GetTicks", none).value);
  platform::AdvanceTestClock(uint32_t((0xFFFFFFFFu - now - 500) / 1000 * 60));
  uint32_t late = uint32_t(h.Call("VRX_GetTicks", none).value);
  ASSERT_GT(late, 0xFFFFFFFFu - 2000);
  v.SetLong(int32_t(late));
  platform::AdvanceTestClock(120);  // two seconds, across the wrap
  ASSERT_LT(uint32_t(h.Call("VRX_GetTicks", none).value), late);
  EXPECT_EQ(h.Call("VRX_StopTimer", ps).value, 2000);
}

}  // namespace
