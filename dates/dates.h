// Internet date headers, 4D dates and times on the 1904 seconds scale, and the
// millisecond timers.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "abi/abi.h"

namespace vrx {

// Local time minus GMT in seconds, read afresh from the system's time zone (TZ is
// honoured). Kept, as the date commands always have, in 24 bits and sign-extended.
int32_t GmtOffset();
// The same from explicit biases in minutes; state 0 unknown, 1 standard, 2 daylight.
int32_t GmtOffsetFromBiases(int32_t bias, int32_t standardBias, int32_t daylightBias,
                            int state);

// 'Tue, 5 Mar 2002 14:07:09 +0100'. flag 0: seconds are GMT, shown in local time with
// the offset; any other flag: shown as they are, marked " GMT".
std::string FormatDateHeader(uint32_t seconds, int32_t flag, int32_t gmtOffset);
// mode 1: compact YYMMDDHHMMSS (exactly 12 characters = local time); other modes: a
// mail or Web header. Returns GMT seconds.
uint32_t ParseDateHeader(std::string_view text, int32_t mode, int32_t gmtOffset);
// flag 1: date and time are local and the result is GMT.
uint32_t DateToSeconds(const DateValue& date, int32_t time, int32_t flag, int32_t gmtOffset);
// flag other than 1: the seconds are GMT and shown in local time.
void SecondsToDate(uint32_t seconds, int32_t flag, int32_t gmtOffset, DateValue* date,
                   int32_t* time);

// Milliseconds from `start` to `now` on the wrapping 32-bit counter; 0 when no timer runs.
int32_t TimerElapsed(int32_t start, uint32_t now);

}  // namespace vrx
