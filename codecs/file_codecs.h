// Command handlers of the file encodings (BinHex, MacBinary, uuencoding) and image maps,
// bound to their selectors in frame/commands.def.
#pragma once
#include "frame/call.h"

namespace vrx {

void EncodeMacBinaryCommand(const Call& c);   // 17
void DecodeMacBinaryCommand(const Call& c);   // 18
void EncodeBinHexCommand(const Call& c);      // 19
void DecodeBinHexCommand(const Call& c);      // 20
void HitTestImageMapCommand(const Call& c);   // 60
void UuencodeTextCommand(const Call& c);      // 73
void UudecodeTextCommand(const Call& c);      // 74
void UuencodeFileCommand(const Call& c);      // 75
void UudecodeFileCommand(const Call& c);      // 76

}  // namespace vrx
