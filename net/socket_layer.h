// Start and stop of the socket layer, and the release of a stream, as the frame calls them.
#pragma once
#include <cstdint>

#include "net/streams.h"

namespace vrx {
int32_t StartSocketLayer();
void StopSocketLayer();
// Polls a stream's state (the state argument 0 just reads it); -1 for a null record.
int32_t StreamState(StreamRecord* record);
// The local host's address in host byte order (0 when unknown).
uint32_t LocalAddress();
}  // namespace vrx
