// Host values as 4D lays them out, and the entry point's calling convention.
// Shared by the plug-in and the host; the layouts are part of the host interface.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vrx {

using Handle = uint32_t;  // a relocatable block of the host (0 = null)

#pragma pack(push, 1)
struct TextValue {  // a 4D text: at most 32767 bytes
  int16_t length;
  Handle handle;
};
struct LongArrayValue {  // element i (1..count) at byte 4*i of the handle
  int16_t unused;
  int32_t count;
  Handle handle;
};
struct DateValue {
  int16_t day, month, year;
};
struct HostCallBlock {
  uint8_t bytes[452];
};
#pragma pack(pop)
static_assert(sizeof(TextValue) == 6);
static_assert(sizeof(LongArrayValue) == 10);
static_assert(sizeof(DateValue) == 6);

constexpr int kMaxTextLength = 32767;

// Writes a 4D string (a length byte, then at most 255 bytes, longer ones cut) at `to`.
void PutString(uint8_t* to, const char* bytes, size_t size);

// Offsets inside a HostCallBlock.
constexpr int kHostCallArg = 0;         // int16
constexpr int kHostCallHandle = 266;    // Handle
constexpr int kHostCallResult = 270;    // int16
constexpr int kHostCallProcess = 272;   // int32
constexpr int kHostCallTicks = 276;     // int32

// Host calls.
constexpr int32_t kHostGetHandle = 26;
constexpr int32_t kHostPutHandle = 27;
constexpr int32_t kHostDelayProcess = 89;
constexpr int32_t kHostCurrentProcess = 91;
constexpr int32_t kHostYield = 93;

using HostEntryFn = void (*)(int32_t call, HostCallBlock* block);

// Selectors outside the commands.
constexpr int32_t kSelectorInit = -1;
constexpr int32_t kSelectorShutdown = -2;
constexpr int32_t kLastSelector = 114;
// The commands this system adds start here; the selectors between have none.
constexpr int32_t kFirstExtensionSelector = 201;
// Parameter slot that carries HostEntry at initialisation.
constexpr int kHostEntrySlot = 3;
// The host always passes at least this many parameter slots; absent parameters are null.
constexpr int kParamSlots = 8;

// Kinds of parameters and results.
enum class Kind : uint8_t { None, Long, Integer, String, Text, Blob, LongArray, Picture, Date, Time, Any };
enum class Dir : uint8_t { In, Out, InOut, Ignored };
// Result areas: long = int32 in the area; text = the area holds a TextValue*;
// string = the area holds a uint8_t* to 256 bytes; blob = a Handle in the area;
// byte = the first byte of the area. None = the area is not written.
enum class ResultKind : uint8_t { None, Long, Text, String, Blob, Byte };

}  // namespace vrx

extern "C" void FourDPack(int32_t selector, void** params, uint32_t* globalsSlot, void* result);
