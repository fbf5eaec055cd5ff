#include "codecs/queues.h"

#include "platform/memory.h"

namespace vrx {
void QueueFreeAll(PluginGlobals* g) {
  platform::DisposeHandle(g->queueTable);
  g->queueTable = 0;
}
}  // namespace vrx
