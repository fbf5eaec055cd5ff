// Transfer loops between a connection and a file or a BLOB, and the wait for a state.
#pragma once
#include <string>
#include <string_view>

#include "commands/call.h"

namespace vrx {
void WaitStreamStateCommand(const Call& c);  // 11
void SendFileCommand(const Call& c);         // 12
void ReceiveFileCommand(const Call& c);      // 13
void SendBlobCommand(const Call& c);         // 81
void ReceiveBlobCommand(const Call& c);      // 82

// Appends `in`, run through the conversion options, to `out`. False when no block could
// be had for the conversion.
bool ConvertBytes(std::string_view in, int32_t options, std::string& out);
}  // namespace vrx
