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
// UDP and ping
void OpenUdpCommand(const Call& c);
void CloseUdpCommand(const Call& c);
void SendUdpCommand(const Call& c);
void ReceiveUdpCommand(const Call& c);
void GetUdpMaxSizeCommand(const Call& c);
void PingCommand(const Call& c);
// SSL
void GetStreamSslInfoCommand(const Call& c);
void SetStreamCertificateCommand(const Call& c);
void GetStreamSslErrorCommand(const Call& c);
void SetStreamCiphersCommand(const Call& c);
}  // namespace vrx
