// What a command handler sees of one FourDPack call: typed access to its parameters
// (numbered from 1 as 4D numbers them) and its result area. Absent parameters read as
// zero or empty and ignore writes.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "abi/abi.h"
#include "commands/globals.h"
#include "platform/text_value.h"
#include "net/stream_table.h"

namespace vrx {


struct CommandInfo;  // abi/command_table.h

struct Call {
  PluginGlobals* g;
  void** params;
  void* result;
  // The command's row: with VRX_CHECK_CALLS each accessor checks that the row declares
  // that parameter with that kind, so a handler and its row cannot drift apart.
  const CommandInfo* row = nullptr;

  void* Param(int i) const { return params[i - 1]; }
#ifdef VRX_CHECK_CALLS
  void Expect(int i, Kind kind) const;
#else
  void Expect(int, Kind) const {}
#endif
  bool Has(int i) const { return params[i - 1] != nullptr; }

  int32_t Long(int i) const;
  int16_t Integer(int i) const;
  const uint8_t* String(int i) const;  // String255; a static empty string when absent
  std::string_view StringBytes(int i) const;
  TextValue* Text(int i) const;        // null when absent
  // A copy of a text parameter's bytes (length clamped to the handle's size).
  std::string TextBytes(int i) const;
  Handle* Blob(int i) const;           // the handle variable; null when absent
  Handle BlobHandle(int i) const;      // the handle it holds; 0 when absent
  LongArrayValue* LongArray(int i) const;
  DateValue* Date(int i) const;
  int32_t* Time(int i) const;

  void SetLong(int i, int32_t v) const;
  void SetInteger(int i, int16_t v) const;
  void SetString(int i, std::string_view bytes) const;  // cut at 255 bytes
  // Replaces a text parameter's contents (cut at 32767 bytes). False when memory ran
  // short: the parameter is then unchanged.
  bool SetText(int i, std::string_view bytes) const;

  void ResultLong(int32_t v) const { std::memcpy(result, &v, sizeof v); }
  void ResultByte(uint8_t v) const { *static_cast<uint8_t*>(result) = v; }
  void ResultBlob(Handle h) const { std::memcpy(result, &h, sizeof h); }
  // A new text handle for the result (cut at 32767 bytes).
  void ResultText(std::string_view bytes) const;
  // Hands an existing handle to 4D as the result text; its size is the length.
  void ResultTextHandle(Handle h) const;
  TextValue* ResultTextValue() const { return *static_cast<TextValue**>(result); }
  void ResultString(std::string_view bytes) const;  // cut at 255 bytes
};

using CommandHandler = void (*)(const Call& call);

// The stream slot that parameter i (a StreamRef) names, or null when the reference is
// not valid. Valid until the command's next wait: look it up again after one.
inline StreamRecord** StreamArg(const Call& c, int i = 1) { return StreamSlot(c.g->streams, c.Long(i)); }

}  // namespace vrx
