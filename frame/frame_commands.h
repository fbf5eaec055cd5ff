// Commands the dispatcher carries out itself.
#pragma once
#include "frame/call.h"

namespace vrx {
void GetLocalAddressCommand(const Call& c);
void GetStreamRefCommand(const Call& c);
void GetStreamStatesCommand(const Call& c);
void Reserved62Command(const Call& c);
void Reserved77Command(const Call& c);
void ReservedZeroByteCommand(const Call& c);
void ReservedMinusOneCommand(const Call& c);
void OpenFileRefCommand(const Call& c);
void DetachBlobCommand(const Call& c);
void GetHostHandleCommand(const Call& c);
void PutHostHandleCommand(const Call& c);
// Dial-up networking: this platform has no remote access service.
void DialEntryCommand(const Call& c);
void HangUpDialUpCommand(const Call& c);
void IsDialUpConnectedCommand(const Call& c);
// Process priority classes.
void SetPriorityClassCommand(const Call& c);
void GetPriorityClassCommand(const Call& c);
}  // namespace vrx
