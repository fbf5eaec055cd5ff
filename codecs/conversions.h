// The conversion options applied to stream text just before it is sent or just after
// it is received.
#pragma once
#include <cstdint>

#include "frame/abi.h"

namespace vrx {

// Converts `text` in place (its handle may be replaced) by the option bits.
void ApplyTextConversions(TextValue* text, int32_t options);

}  // namespace vrx
