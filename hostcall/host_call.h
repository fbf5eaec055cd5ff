// The host's callback, as the plug-in saved it at initialisation: how a command that
// waits lets the other 4D processes run.
#pragma once
#include <cstdint>

#include "abi/abi.h"

namespace vrx {

// Saved at initialisation; null afterwards makes every host call a no-op.
void SetHostEntry(HostEntryFn entry);
// Whether a host was saved: without one nothing else can run while a command waits.
bool HostPresent();
// Calls the host; the result code it left in the block.
int16_t HostCall(int32_t number, HostCallBlock* block);
// Lets other 4D processes run. ticks <= 0: one turn; otherwise this process sleeps that
// many ticks (less if the socket named by a WaitHint just before becomes ready).
void HostWait(int32_t ticks);

}  // namespace vrx
