// The entry point: initialisation, shutdown and dispatch of every selector.
#include <cstring>
#include <iterator>

#include "abi/command_table.h"
#include "commands/call.h"
#include "commands/globals.h"
#include "commands/handlers.h"
#include "hostcall/host_call.h"
#include "net/socket_layer.h"
#include "net/stream_table.h"
#include "platform/memory.h"
#include "queues/queues.h"

namespace vrx {
namespace {

// Marks rows whose Part is not built: the dispatcher answers their failure value.
void NotBuilt(const Call&) {}

// One handler per row of the table, in its order (AllCommands).
#define P(kind, dir)
#define VRX_COMMAND(sel, name, result, flags, handler, fail, ...) handler,
#define VRX_GAP(sel) nullptr,
constexpr CommandHandler kHandlers[] = {
#include "abi/commands.def"
};
#undef VRX_COMMAND
#undef VRX_GAP

#define VRX_COMMAND(...)
#define VRX_GAP(sel)
#define VRX_EXTENSION(...) +1
constexpr size_t kExtensionCount = 0
#include "abi/commands.def"
    ;
#undef VRX_COMMAND
#undef VRX_GAP
#undef VRX_EXTENSION
#undef P
static_assert(std::size(kHandlers) == size_t(kLastSelector) + kExtensionCount);

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
  StartSocketLayer();
  SetHostEntry(reinterpret_cast<HostEntryFn>(params[kHostEntrySlot]));
  g->queueTable = platform::NewHandleClear(4);
  g->rasLibrary = nullptr;  // there is no remote access service to load here
}

void ShutDown(uint32_t* globalsSlot) {
  PluginGlobals* g = GlobalsFromSlot(globalsSlot);
  if (g) {
    ReleaseAllStreams(g->streams);
    QueueFreeAll(&g->queueTable);
  }
  StopSocketLayer();
  SetHostEntry(nullptr);
  if (g) g->rasLibrary = nullptr;
}

}  // namespace

}  // namespace vrx

extern "C" __attribute__((visibility("default"))) void FourDPack(int32_t selector, void** params,
                                                                 uint32_t* globalsSlot, void* result) {
  using namespace vrx;
  if (selector == kSelectorInit) return Initialise(params, globalsSlot);
  if (selector == kSelectorShutdown) return ShutDown(globalsSlot);
  const CommandInfo* found = CommandBySelector(selector);
  if (!found) return;
  CommandHandler handler = kHandlers[found - AllCommands().data()];
  if (!handler) return;
  PluginGlobals* g = GlobalsFromSlot(globalsSlot);
  if (!g) return;
  const CommandInfo& row = *found;
  Call c{g, params, result, &row};
  if (handler == NotBuilt) return AnswerFailure(row, c);
  if (!row.busy) return handler(c);
  int32_t ref = c.Long(1);
  MarkBusy(g->streams, ref);
  handler(c);
  UnmarkBusy(g->streams, ref);
}
