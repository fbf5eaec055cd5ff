// Every command handler, declared from the command table's rows: a handler named in
// abi/commands.def and not defined in this folder fails to link.
#pragma once
#include "commands/call.h"

namespace vrx {

#define P(kind, dir)
#define VRX_COMMAND(sel, name, result, busy, handler, fail, ...) void handler(const Call& c);
#define VRX_GAP(sel)
#include "abi/commands.def"
#undef VRX_COMMAND
#undef VRX_GAP
#undef P

}  // namespace vrx
