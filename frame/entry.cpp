// The entry point: initialisation, shutdown and dispatch of every selector.
#include <cstring>

#include "codecs/commands.h"
#include "codecs/file_codecs.h"
#include "codecs/queues.h"
#include "frame/call.h"
#include "frame/command_table.h"
#include "frame/blob_commands.h"
#include "frame/frame_commands.h"
#include "frame/globals.h"
#include "frame/transfer_commands.h"
#include "net/commands.h"
#include "net/socket_layer.h"
#include "platform/memory.h"
#include "util/commands.h"

namespace vrx {
namespace {

HostEntryFn gHostEntry = nullptr;
PluginGlobals* gGlobals = nullptr;

// Marks rows whose Part is not built: the dispatcher answers their failure value.
void NotBuilt(const Call&) {}

#define P(kind, dir)
#define VRX_COMMAND(sel, name, result, busy, handler, fail, ...) handler,
#define VRX_GAP(sel) nullptr,
constexpr CommandHandler kHandlers[] = {
    nullptr,  // selector 0 does nothing
#include "frame/commands.def"
};
#undef VRX_COMMAND
#undef VRX_GAP
#undef P
static_assert(std::size(kHandlers) == size_t(kLastSelector) + 1);

void AnswerFailure(const CommandInfo& row, const Call& c) {
  switch (row.result) {
    case ResultKind::Long: c.ResultLong(row.failValue); break;
    case ResultKind::Text: c.ResultTextValue()->length = 0; break;
    case ResultKind::String: c.ResultString({}); break;
    case ResultKind::Blob: c.ResultBlob(0); break;
    case ResultKind::Byte: c.ResultByte(0); break;
    case ResultKind::None: break;
  }
}

PluginGlobals* GlobalsFromSlot(const uint32_t* globalsSlot) {
  if (!globalsSlot || !*globalsSlot) return nullptr;
  return reinterpret_cast<PluginGlobals*>(platform::HandleAddress(*globalsSlot));
}

void Initialise(void** params, uint32_t* globalsSlot) {
  Handle block = platform::NewHandleClear(int32_t(sizeof(PluginGlobals)));
  *globalsSlot = block;
  // Without the block no later call can do anything; they all find an empty slot.
  if (!block) return;
  platform::LockHandle(block);
  PluginGlobals* g = GlobalsFromSlot(globalsSlot);
  gGlobals = g;
  StartSocketLayer();
  gHostEntry = reinterpret_cast<HostEntryFn>(params[kHostEntrySlot]);
  g->queueTable = platform::NewHandleClear(4);
  g->rasLibrary = nullptr;  // there is no remote access service to load here
}

void ShutDown(uint32_t* globalsSlot) {
  PluginGlobals* g = GlobalsFromSlot(globalsSlot);
  if (g) {
    for (int ref = 0; ref <= kMaxStreamRef; ++ref)
      if (g->streams[ref]) ReleaseStream(&g->streams[ref], -1);
    QueueFreeAll(g);
  }
  StopSocketLayer();
  if (g) g->rasLibrary = nullptr;
  gGlobals = nullptr;
}

}  // namespace

PluginGlobals* Globals() { return gGlobals; }

bool LookUpStream(PluginGlobals* g, int32_t ref, StreamRecord*** slot) {
  if (ref > 0 && ref < kStreamSlots - 1) {
    *slot = &g->streams[ref];
    return **slot != nullptr;
  }
  *slot = nullptr;
  return false;
}

void MarkBusy(PluginGlobals* g, int32_t ref) {
  if (ref > 0 && ref < kStreamSlots - 1) ++g->busyCounts[ref];
}

void UnmarkBusy(PluginGlobals* g, int32_t ref) {
  if (ref > 0 && ref < kStreamSlots - 1) --g->busyCounts[ref];
}

int32_t AddStream(PluginGlobals* g, StreamRecord* record) {
  for (int32_t ref = 1; ref <= kMaxStreamRef; ++ref) {
    if (!g->streams[ref]) {
      g->streams[ref] = record;
      ++g->openStreamCount;
      return ref;
    }
  }
  return 0;
}

void RemoveStream(PluginGlobals* g, int32_t ref) {
  if (ref <= 0 || ref > kMaxStreamRef) return;
  g->streams[ref] = nullptr;
  --g->openStreamCount;
}

int16_t HostCall(int32_t number, HostCallBlock* block) {
  if (gHostEntry) gHostEntry(number, block);
  int16_t code;
  std::memcpy(&code, block->bytes + kHostCallResult, sizeof code);
  return code;
}

void HostWait(int32_t ticks) {
  HostCallBlock block;
  std::memset(&block, 0, sizeof block);
  if (ticks > 0) {
    HostCall(kHostCurrentProcess, &block);
    std::memcpy(block.bytes + kHostCallTicks, &ticks, sizeof ticks);
    HostCall(kHostDelayProcess, &block);  // the process number is already at its offset
  }
  HostCall(kHostYield, &block);
}

void TextParamToString(const TextValue* text, uint8_t* out256) {
  out256[0] = 0;
  if (!text || !text->handle || text->length < 0 || text->length > 254) return;
  const uint8_t* p = platform::HandleAddress(text->handle);
  if (!p || platform::HandleSize(text->handle) < text->length) return;
  out256[0] = uint8_t(text->length);
  std::memcpy(out256 + 1, p, size_t(text->length));
}

bool BlobPresent(Handle h) { return h && platform::HandleAddress(h); }

}  // namespace vrx

extern "C" __attribute__((visibility("default"))) void FourDPack(int32_t selector, void** params,
                                                                 uint32_t* globalsSlot, void* result) {
  using namespace vrx;
  if (selector == kSelectorInit) return Initialise(params, globalsSlot);
  if (selector == kSelectorShutdown) return ShutDown(globalsSlot);
  if (selector < 1 || selector > kLastSelector) return;
  CommandHandler handler = kHandlers[selector];
  if (!handler) return;
  PluginGlobals* g = GlobalsFromSlot(globalsSlot);
  if (!g) return;
  const CommandInfo& row = *CommandBySelector(selector);
  Call c{g, params, result};
  if (handler == NotBuilt) return AnswerFailure(row, c);
  if (!row.busy) return handler(c);
  int32_t ref = c.Long(1);
  MarkBusy(g, ref);
  handler(c);
  UnmarkBusy(g, ref);
}
