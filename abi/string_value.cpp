#include <cstring>

#include "abi/abi.h"

namespace vrx {

void PutString(uint8_t* to, const char* bytes, size_t size) {
  size_t n = size < 255 ? size : 255;
  to[0] = uint8_t(n);
  // Hides the bound from the optimiser, which would otherwise expand the copy into a
  // `rep movs` (slow to start) instead of calling the C library.
  asm("" : "+r"(n));
  if (n) std::memcpy(to + 1, bytes, n);  // an empty text may have no data pointer
}

}  // namespace vrx
