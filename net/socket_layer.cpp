#include "net/socket_layer.h"

namespace vrx {
// No streams can be opened yet, so there is nothing to start, poll or release.
int32_t StartSocketLayer() { return 0; }
void StopSocketLayer() {}
int32_t ReleaseStream(StreamRecord** slot, int32_t) {
  *slot = nullptr;
  return 0;
}
int32_t StreamState(StreamRecord* record) { return record ? 0 : -1; }
uint32_t LocalAddress() { return 0; }
}  // namespace vrx
