#include "hostcall/host_call.h"

#include <cstring>

namespace vrx {
namespace {
HostEntryFn gHostEntry = nullptr;
}

void SetHostEntry(HostEntryFn entry) { gHostEntry = entry; }

bool HostPresent() { return gHostEntry != nullptr; }

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

}  // namespace vrx
