// Keyed text queues shared by all 4D processes.
#pragma once
#include "frame/globals.h"

namespace vrx {
// Frees every queued text and the table; the table reference becomes null.
void QueueFreeAll(PluginGlobals* g);
}  // namespace vrx
