// The plug-in's global block and the frame services every subsystem uses.
#pragma once
#include <cstdint>
#include <string_view>

#include "frame/abi.h"

namespace vrx {

struct StreamRecord;  // owned by the stream layer

constexpr int kStreamSlots = 1025;  // indexes 1..1023 are used
constexpr int kMaxStreamRef = 1023;

struct PluginGlobals {
  StreamRecord* streams[kStreamSlots];
  int32_t busyCounts[kStreamSlots];
  int16_t openStreamCount;
  Handle queueTable;
  void* rasLibrary;  // no dial-up library on this platform: always null
};

// The global block of the running plug-in (null before initialisation).
PluginGlobals* Globals();

// When 0 < ref < 1024: *slot = &streams[ref], valid when the entry is non-zero.
// Otherwise *slot = nullptr and the reference is not valid.
bool LookUpStream(PluginGlobals* g, int32_t ref, StreamRecord*** slot);
void MarkBusy(PluginGlobals* g, int32_t ref);
void UnmarkBusy(PluginGlobals* g, int32_t ref);
// Lowest free slot 1..1023; 0 when none is free (nothing stored).
int32_t AddStream(PluginGlobals* g, StreamRecord* record);
// Empties a slot after its record was released, keeping openStreamCount equal to the
// number of occupied slots.
void RemoveStream(PluginGlobals* g, int32_t ref);

// Let other 4D processes run. ticks <= 0: one turn; otherwise this process sleeps that
// many ticks (less if the socket named by a WaitHint just before becomes ready).
void HostWait(int32_t ticks);
int16_t HostCall(int32_t number, HostCallBlock* block);

// A text parameter of at most 254 bytes as a String255; otherwise the empty string.
void TextParamToString(const TextValue* text, uint8_t* out256);
bool BlobPresent(Handle h);

}  // namespace vrx
