// Commands about the plug-in and its host: the local address, the table of streams,
// host handles and files, dial-up and the reserved selectors.
#include "commands/handlers.h"

#include <algorithm>
#include <cstring>

#include "net/socket_layer.h"
#include "platform/files.h"
#include "platform/memory.h"

namespace vrx {
namespace {
constexpr int32_t kPluginVersion = 0x02602002;
}

void GetLocalAddressCommand(const Call& c) {
  c.SetLong(1, int32_t(LocalAddress()));
  c.SetLong(2, 5);
  c.SetLong(3, -1);
  c.SetLong(4, kPluginVersion);
  c.ResultLong(0);
}

void GetStreamRefCommand(const Call& c) {
  int32_t position = c.Long(1);
  PluginGlobals* g = c.g;
  int32_t result = 0;
  if (position < 0 || position > 1024) {
    result = -1;
  } else if (position == 0) {
    result = g->streams.openCount;
  } else if (g->streams.openCount >= position) {
    int32_t seen = 0;
    for (int32_t ref = 1; ref <= kMaxStreamRef; ++ref) {
      if (g->streams.records[ref] && ++seen == position) {
        result = ref;
        break;
      }
    }
  }
  c.ResultLong(result);
}

void GetStreamStatesCommand(const Call& c) {
  int32_t result = -1;
  int32_t threshold = c.Long(3);
  if (threshold == 0) threshold = 8;
  const LongArrayValue* refs = c.LongArray(1);
  LongArrayValue* states = c.LongArray(2);
  int32_t count = refs ? refs->count : 0;
  // A count larger than the elements block holds would read past it; so would a state
  // past the states block.
  int32_t size = 0;
  const uint8_t* refBytes = count > 0 ? platform::HandleBytes(refs->handle, &size) : nullptr;
  count = std::min(count, size / 4 - 1);
  int32_t room = states ? states->count : 0;  // packed field: copied before std::min
  if (states && room > 0 && count > 0) {
    platform::HandleBytes(states->handle, &size);
    room = std::min(room, size / 4 - 1);
  }
  for (int32_t i = 1; i <= count; ++i) {
    int32_t ref;
    std::memcpy(&ref, refBytes + 4 * i, 4);
    StreamRecord** slot = StreamSlot(c.g->streams, ref);
    if (!slot) continue;
    int32_t state = -1;
    if (StreamState(*slot, &state) != NetStatus::Ok) state = -1;
    // Polling may run the stream layer, which may allocate and so move blocks.
    refBytes = platform::HandleAddress(refs->handle);
    if (i <= room) std::memcpy(platform::HandleAddress(states->handle) + 4 * i, &state, 4);
    if ((state >= threshold || state < 0) && result == -1) result = i;
  }
  c.ResultLong(result);
}

void Reserved62Command(const Call& c) {
  const Handle* blob = c.Blob(1);
  if (blob && BlobPresent(*blob)) c.ResultLong(0);
}

void Reserved77Command(const Call& c) { c.ResultTextValue()->length = 0; }
void ReservedZeroByteCommand(const Call& c) { c.ResultByte(0); }
void ReservedMinusOneCommand(const Call& c) { c.ResultLong(-1); }

void OpenFileRefCommand(const Call& c) {
  int16_t ref = 0;
  if (platform::OpenDataFork(c.StringBytes(1), platform::kReadPermission, &ref) != 0) ref = 0;
  c.ResultLong(ref);
}

void DetachBlobCommand(const Call& c) {
  Handle* blob = c.Blob(1);
  Handle held = blob ? *blob : 0;
  c.ResultLong(int32_t(held));
  if (!blob) return;
  if (c.Long(2) & 1) {
    *blob = 0;
    return;
  }
  // The variable keeps an equal copy. Without memory for it nothing is handed over:
  // the result is 0 and the variable keeps its block, so no bytes are lost.
  Handle copy = held;
  if (held && platform::DuplicateHandle(&copy) != 0) return c.ResultLong(0);
  *blob = copy;
}

void GetHostHandleCommand(const Call& c) {
  int32_t old = c.Long(2);
  if (old) platform::DisposeHandle(Handle(old));
  HostCallBlock block;
  std::memset(&block, 0, sizeof block);
  int16_t number = int16_t(c.Long(1));
  std::memcpy(block.bytes + kHostCallArg, &number, 2);
  int16_t code = HostCall(kHostGetHandle, &block);
  Handle h = 0;
  if (code == 0) std::memcpy(&h, block.bytes + kHostCallHandle, 4);
  c.SetLong(2, int32_t(h));
  c.ResultLong(code);
}

void PutHostHandleCommand(const Call& c) {
  HostCallBlock block;
  std::memset(&block, 0, sizeof block);
  int16_t number = int16_t(c.Long(2));
  Handle h = Handle(c.Long(1));
  std::memcpy(block.bytes + kHostCallArg, &number, 2);
  std::memcpy(block.bytes + kHostCallHandle, &h, 4);
  c.ResultLong(HostCall(kHostPutHandle, &block));
}

// No dial-up library is ever loaded on this platform (rasLibrary stays null), so each
// command gives its answer for a missing library.
void DialEntryCommand(const Call& c) { c.ResultLong(-2); }
void HangUpDialUpCommand(const Call& c) { c.ResultLong(-1); }
void IsDialUpConnectedCommand(const Call& c) { c.ResultLong(-1); }

}  // namespace vrx
