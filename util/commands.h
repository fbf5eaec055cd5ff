// Command handlers of this subsystem, bound to their selectors in frame/commands.def.
#pragma once
#include "frame/call.h"

namespace vrx {

// Dates and timers.
void GetTicksCommand(const Call& c);
void StopTimerCommand(const Call& c);
void ReadTimerCommand(const Call& c);
void FormatDateHeaderCommand(const Call& c);
void DateToSecondsCommand(const Call& c);
void ParseDateHeaderCommand(const Call& c);
void SecondsToDateCommand(const Call& c);

// Digests.
void NewMD5Command(const Call& c);
void UpdateMD5Command(const Call& c);
void FinishMD5Command(const Call& c);
void NewDigestCommand(const Call& c);
void UpdateDigestCommand(const Call& c);
void UpdateDigestBlobCommand(const Call& c);
void FinishDigestCommand(const Call& c);

// Ciphers.
void EncryptTextCommand(const Call& c);
void DecryptTextCommand(const Call& c);
void EncryptBlobCommand(const Call& c);
void DecryptBlobCommand(const Call& c);

// Compression.
void CompressFileCommand(const Call& c);
void ExpandFileCommand(const Call& c);
void CompressBlobCommand(const Call& c);
void ExpandBlobCommand(const Call& c);

}  // namespace vrx
