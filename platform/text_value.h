// The bytes of a host text where they lie.
#pragma once
#include <algorithm>
#include <string_view>

#include "abi/abi.h"
#include "platform/memory.h"

namespace vrx {

// The bytes of a text in place, its length clamped to its handle's size (a negative
// length reads as empty). Valid until the next allocation may move the block.
inline std::string_view TextValueBytes(const TextValue* t) {
  if (!t || t->length <= 0) return {};
  int32_t size;
  const uint8_t* p = platform::HandleBytes(t->handle, &size);
  if (!p) return {};
  int32_t length = t->length;  // packed field: copy before comparing
  int32_t n = std::min<int32_t>(length, size);
  return {reinterpret_cast<const char*>(p), size_t(n)};
}

}  // namespace vrx
