// Turning a 4D text parameter into a system path.
#pragma once
#include <string>

#include "abi/abi.h"

namespace vrx {
// TextParamToString, then Mac Roman to UTF-8. A text of 255 bytes or more, or a null
// handle, gives the empty path.
std::string TextParamToPath(const TextValue* text);
}  // namespace vrx
