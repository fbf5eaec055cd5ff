// The plug-in's global block, as every command sees it through its Call.
#pragma once
#include <cstdint>

#include "abi/abi.h"
#include "net/stream_table.h"

namespace vrx {

struct PluginGlobals {
  StreamTable streams;
  Handle queueTable;
  void* rasLibrary;  // no dial-up library on this platform: always null
};

// A text parameter of at most 254 bytes as a String255; otherwise the empty string.
void TextParamToString(const TextValue* text, uint8_t* out256);
bool BlobPresent(Handle h);

}  // namespace vrx
