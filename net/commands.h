// Command handlers of this subsystem, bound to their selectors in frame/commands.def.
#pragma once
#include "frame/call.h"

namespace vrx {
void OpenStreamCommand(const Call& c);
void ListenStreamCommand(const Call& c);
void CloseStreamCommand(const Call& c);
void ReleaseStreamCommand(const Call& c);
void GetStreamStateCommand(const Call& c);
void SendTextCommand(const Call& c);
void ReceiveTextCommand(const Call& c);
void GetBytesAvailableCommand(const Call& c);
void GetStreamAddressesCommand(const Call& c);
void AddressToNameCommand(const Call& c);
void NameToAddressCommand(const Call& c);
void GetNameServerCommand(const Call& c);
void GetNetworkValueCommand(const Call& c);
void UnreadStreamCommand(const Call& c);
void SetStreamOptionCommand(const Call& c);
}  // namespace vrx
