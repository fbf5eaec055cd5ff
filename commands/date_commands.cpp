// Timers and Internet date headers as commands.
#include "commands/handlers.h"
#include "dates/dates.h"
#include "platform/services.h"

namespace vrx {

void GetTicksCommand(const Call& c) { c.ResultLong(int32_t(platform::Milliseconds())); }

void StopTimerCommand(const Call& c) {
  int32_t start = c.Long(1);
  if (start == 0) {
    c.ResultLong(0);
    return;
  }
  c.ResultLong(TimerElapsed(start, platform::Milliseconds()));
  c.SetLong(1, 0);
}

void ReadTimerCommand(const Call& c) {
  c.ResultLong(TimerElapsed(c.Long(1), platform::Milliseconds()));
}

void FormatDateHeaderCommand(const Call& c) {
  int32_t flag = c.Long(2);
  c.ResultString(FormatDateHeader(uint32_t(c.Long(1)), flag, flag == 0 ? GmtOffset() : 0));
}

void DateToSecondsCommand(const Call& c) {
  DateValue date{0, 0, 0};
  if (const DateValue* d = c.Date(1)) date = *d;
  const int32_t* time = c.Time(2);
  int32_t flag = c.Long(3);
  c.ResultLong(int32_t(DateToSeconds(date, time ? *time : 0, flag, flag == 1 ? GmtOffset() : 0)));
}

void ParseDateHeaderCommand(const Call& c) {
  int32_t mode = c.Long(2);
  c.ResultLong(int32_t(ParseDateHeader(c.StringBytes(1), mode, mode == 1 ? GmtOffset() : 0)));
}

void SecondsToDateCommand(const Call& c) {
  int32_t flag = c.Long(4);
  SecondsToDate(uint32_t(c.Long(1)), flag, flag != 1 ? GmtOffset() : 0, c.Date(2), c.Time(3));
}

}  // namespace vrx
