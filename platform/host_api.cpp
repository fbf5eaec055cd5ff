// The platform services of include/vrx/fourdpack.h, for hosts written in C.
#include "include/vrx/fourdpack.h"

#include "platform/memory.h"
#include "platform/services.h"

extern "C" {

VrxHandle vrx_NewHandle(int32_t size) { return platform::NewHandle(size); }
VrxHandle vrx_NewHandleClear(int32_t size) { return platform::NewHandleClear(size); }
void vrx_DisposeHandle(VrxHandle h) { platform::DisposeHandle(h); }
int32_t vrx_HandleSize(VrxHandle h) { return platform::HandleSize(h); }
int vrx_SetHandleSize(VrxHandle h, int32_t size) { return platform::SetHandleSize(h, size); }
uint8_t* vrx_HandleAddress(VrxHandle h) { return platform::HandleAddress(h); }
void vrx_LockHandle(VrxHandle h) { platform::LockHandle(h); }
void vrx_UnlockHandle(VrxHandle h) { platform::UnlockHandle(h); }
int16_t vrx_MemError(void) { return platform::MemError(); }
uint32_t vrx_TickCount(void) { return platform::TickCount(); }

void vrx_SetEventHooks(const VrxEventHooks* hooks) {
  platform::EventHooks h;
  if (hooks) {
    h.watch = hooks->watch;
    h.reenable = hooks->reenable;
    h.hint = hooks->hint;
    h.idle = hooks->idle;
    h.ctx = hooks->ctx;
  }
  platform::SetEventHooks(h);
}

VrxMessageFilter vrx_CurrentMessageFilter(void) { return platform::CurrentMessageFilter(); }

}  // extern "C"
