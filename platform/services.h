// Time, text, resource and user-interface services of the host, for Linux.
#pragma once
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "platform/memory.h"

namespace platform {

// ---- time -------------------------------------------------------------------------
// Ticks are 1/60 second on CLOCK_MONOTONIC, unless a test clock is in use.
uint32_t TickCount();
// Milliseconds on CLOCK_MONOTONIC, wrapping at 32 bits (the system millisecond counter).
uint32_t Milliseconds();
// Local date-time: seconds since 1904-01-01 00:00:00 local time, wrapping at 32 bits.
uint32_t DateTimeNow();

// How many bytes at the start of s are ASCII, the same in Mac Roman and UTF-8. Inline:
// the runner asks it of every text it passes to the plug-in.
inline size_t AsciiPrefix(std::string_view s) {
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {  // eight bytes at a time: texts are mostly ASCII
    uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    if (w & 0x8080808080808080u) break;
  }
  while (i < s.size() && uint8_t(s[i]) < 0x80) ++i;
  return i;
}

struct DateTimeFields {
  int16_t year, month, day, hour, minute, second;
  int16_t dayOfWeek;  // 1 = Sunday .. 7 = Saturday; ignored by FieldsToSeconds
};
// A date 4D can hold: a day of years 1 to 9999 of the Gregorian calendar, or 0/0/0,
// the null date.
bool ValidDate(int year, int month, int day);
// Pure calendar arithmetic on the 1904 scale; no time-zone adjustment.
DateTimeFields SecondsToFields(uint32_t seconds);
// The date SecondsToFields gives, alone (its time of day is seconds % 86400). Written
// field by field: a returned struct of this size goes through the stack in pieces that a
// caller's wider read would wait on.
struct CivilDate {
  int16_t year, month, day;
};
void DateOfSeconds(uint32_t seconds, CivilDate* out);
uint32_t FieldsToSeconds(const DateTimeFields& f);

struct TimeZoneInfo {
  int32_t bias;          // minutes, UTC minus local standard time
  int32_t standardBias;  // extra minutes in standard time (0)
  int32_t daylightBias;  // extra minutes in daylight time (usually -60)
  int state;             // 0 unknown, 1 standard, 2 daylight
};
// From localtime_r, so TZ is honoured. The zone is read again at most once a second, and
// at once when TZ changes.
TimeZoneInfo CurrentTimeZone();

// Test clock: while on, TickCount and Milliseconds follow a counter that only moves
// when AdvanceTestClock is called (or when the host jumps it to a waiting process's
// wake time).
void UseTestClock(bool on);
bool TestClockActive();
void AdvanceTestClock(uint32_t ticks);

// ---- text -------------------------------------------------------------------------
// A String255 as raw bytes: [0] is the length.
using Str255 = uint8_t[256];
void NumToString(int32_t n, uint8_t* out256);
int32_t StringToNum(const uint8_t* str255);
// Case-insensitive equality of two length-prefixed strings (Mac Roman letters).
bool EqualString(const uint8_t* a, const uint8_t* b);
// Mac Roman bytes to UTF-8 (file paths).
std::string MacRomanToUtf8(std::string_view bytes);
std::string Utf8ToMacRoman(std::string_view utf8);  // unknown characters become '?'
// The same into *out, which keeps its storage from one call to the next.
void MacRomanToUtf8(std::string_view bytes, std::string* out);
void Utf8ToMacRoman(std::string_view utf8, std::string* out);

// ---- resources ----------------------------------------------------------------------
using ResType = uint32_t;  // four characters, first in the most significant byte
constexpr ResType MakeResType(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}
// Entry `index` (1-based) of string list `listId` into out256; empty when absent.
void GetIndexedString(int16_t listId, int16_t index, uint8_t* out256);
// A copy of the named resource as a new handle the caller owns; 0 when absent.
Handle GetNamedResource(ResType type, std::string_view name);
// The named resource's bytes without a copy, valid until resources are next changed;
// empty when absent.
std::span<const uint8_t> NamedResourceBytes(ResType type, std::string_view name);
// Add or replace / remove, for hosts and tests. Compiled-in defaults come back with
// ResetResources.
void SetStringList(int16_t listId, std::span<const std::string> entries);
void RemoveStringList(int16_t listId);
void SetNamedResource(ResType type, std::string_view name, std::span<const uint8_t> data);
void RemoveNamedResource(ResType type, std::string_view name);
void ResetResources();

// ---- user interface and events ---------------------------------------------------------
void Alert(std::string_view text);  // to standard error; recorded for tests
std::string LastAlert();
void Beep();
int BeepCount();

// A message filter sees host window messages; socket notifications arrive as
// message kSocketNotifyMessage with wParam = socket and lParam = event bits.
constexpr uint32_t kSocketNotifyMessage = 14566;
constexpr uint32_t kNotifyAccept = 8;  // FD_ACCEPT
using MessageFilter = void (*)(uint32_t message, uintptr_t wParam, intptr_t lParam);
void InstallMessageFilter(MessageFilter f);  // nullptr removes it
MessageFilter CurrentMessageFilter();
// Ask for notifications on a socket (events = 0 stops them). A notification is
// delivered once; ReenableSocketNotify arms it again (as accept() does on Windows).
void WatchSocket(int fd, uint32_t events);
void ReenableSocketNotify(int fd);
// The plug-in names the socket an idle loop waits on just before it yields, so the
// host can sleep in poll until that socket is ready. events: POLLIN and/or POLLOUT.
void WaitHint(int fd, short events);
// The plug-in changed, by itself, something a process sleeping on fd's hint waits for (a
// local close, bytes put back, a connection handed over, the stream released under it):
// the host wakes those processes now, so hinted waits need no periodic look.
void WakeWaiters(int fd);

// The host's side of the event services: it installs these hooks to learn of the
// watched sockets and hints. Set by the host; the plug-in never calls them.
struct EventHooks {
  void (*watch)(int fd, uint32_t events, void* ctx) = nullptr;
  void (*reenable)(int fd, void* ctx) = nullptr;
  void (*hint)(int fd, short events, void* ctx) = nullptr;
  void (*wake)(int fd, void* ctx) = nullptr;
  void (*idle)(void* ctx) = nullptr;  // "give time to the system"
  void* ctx = nullptr;
};
void SetEventHooks(const EventHooks& hooks);
// Give time to the system (wait loops call it); runs the host's idle hook.
void SystemIdle();

}  // namespace platform
