// Start and stop of the socket layer, and the release of a stream, as the frame calls them.
#pragma once
#include <cstdint>

#include "net/streams.h"

namespace vrx {
int32_t StartSocketLayer();
void StopSocketLayer();
// Polls a stream's state into *state; Failed for a null record or a UDP endpoint.
NetStatus StreamState(StreamRecord* record, int32_t* state);
// The local host's address in host byte order (0 when unknown).
uint32_t LocalAddress();
}  // namespace vrx
