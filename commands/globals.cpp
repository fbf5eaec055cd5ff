#include "commands/globals.h"

#include <cstring>

#include "platform/memory.h"

namespace vrx {

void TextParamToString(const TextValue* text, uint8_t* out256) {
  out256[0] = 0;
  if (!text || !text->handle || text->length < 0 || text->length > 254) return;
  const uint8_t* p = platform::HandleAddress(text->handle);
  if (!p || platform::HandleSize(text->handle) < text->length) return;
  out256[0] = uint8_t(text->length);
  std::memcpy(out256 + 1, p, size_t(text->length));
}

bool BlobPresent(Handle h) { return h && platform::HandleAddress(h); }

}  // namespace vrx
