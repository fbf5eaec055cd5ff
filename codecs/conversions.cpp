#include "codecs/conversions.h"

namespace vrx {
// The codecs behind the option bits are not built yet: the text goes through unchanged.
void ApplyTextConversions(TextValue*, int32_t) {}
}  // namespace vrx
