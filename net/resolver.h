// Name lookups that let the other 4D processes run while the system's resolver works:
// the lookup runs on a helper thread of its own, and the calling process sleeps until
// that thread says it is done. Literals never reach the resolver.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "net/address.h"

namespace vrx {

// Every address of a name, IPv6 and IPv4, in the resolver's order and without repeats
// (port 0). A literal of either family, in brackets or not, is read as it is. Waits,
// letting other processes run. 0, or the resolver's error (an EAI_ code, negative) with
// `out` empty.
int ResolveName(std::string_view name, std::vector<SocketAddress>* out);
// The name a reverse lookup finds for the address; empty when it finds none. Waits the
// same way.
std::string ReverseLookUp(const SocketAddress& address);
// Waits for lookups still running whose callers will not come back for them (the plug-in
// is stopping); afterwards no helper thread is left.
void FinishLookUps();

}  // namespace vrx
