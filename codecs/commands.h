// Command handlers of this subsystem, bound to their selectors in frame/commands.def.
#pragma once
#include "frame/call.h"

namespace vrx {

void EncodeHTMLCommand(const Call& c);             // 28
void DecodeHTMLCommand(const Call& c);             // 29
void EncodeURLCommand(const Call& c);              // 30
void DecodeURLCommand(const Call& c);              // 31
void MacToISOCommand(const Call& c);               // 32
void ISOToMacCommand(const Call& c);               // 33
void CountQueueItemsCommand(const Call& c);        // 36
void AppendQueueItemCommand(const Call& c);        // 37
void GetQueueItemCommand(const Call& c);           // 38
void ClearQueueCommand(const Call& c);             // 39
void EncodeBase64Command(const Call& c);           // 56
void DecodeBase64Command(const Call& c);           // 57
void EncodeQuotedPrintableCommand(const Call& c);  // 58
void DecodeQuotedPrintableCommand(const Call& c);  // 59
void MapTextCharsCommand(const Call& c);           // 87
void MapBlobCharsCommand(const Call& c);           // 88
void CountQueuesCommand(const Call& c);            // 90
void GetQueueIDCommand(const Call& c);             // 91

}  // namespace vrx
