// Command handlers of this subsystem, bound to their selectors in frame/commands.def.
#pragma once
#include "frame/call.h"

namespace vrx {}  // namespace vrx
