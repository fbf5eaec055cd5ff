#include "commands/file_path.h"

#include "commands/globals.h"
#include "platform/services.h"

namespace vrx {

std::string TextParamToPath(const TextValue* text) {
  uint8_t s[256];
  TextParamToString(text, s);
  return platform::MacRomanToUtf8(std::string_view(reinterpret_cast<const char*>(s + 1), s[0]));
}

}  // namespace vrx
