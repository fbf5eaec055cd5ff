#include <sys/socket.h>

#include "net/layer.h"
#include "net/ssl.h"
#include "platform/services.h"

namespace vrx {

NetStatus StreamInfo(StreamRecord** slot, int32_t code, int32_t* value) {
  StreamRecord* record = slot ? *slot : nullptr;  // GCOVR_EXCL_BR_LINE: callers pass a slot
  if (!record || record->ops->kind == kKindUdp) return NetStatus::Failed;
  bool ssl = record->sslFlag != 0;
  switch (code) {
    case 0: *value = PollStream(record, 0); break;
    case 14: *value = int32_t(ssl ? record->sslBytesReceived : record->bytesReceived); break;
    case 17: *value = int32_t(ssl ? record->sslBytesSent : record->bytesSent); break;
    case 23: *value = int32_t(record->bytesReceived); break;
    case 24: *value = int32_t(record->bytesSent); break;
    default: return NetStatus::Failed;
  }
  return NetStatus::Ok;
}

int32_t NetworkValue(int32_t code) {
  const NetworkStatistics& s = Layer().stats;
  switch (code) {
    case 5: return 1024;
    case 6: return int32_t(s.activeOpens);
    case 7: return int32_t(s.connectionsCompleted);
    case 8: return int32_t(s.connectionsAccepted);
    case 9: return int32_t(s.gracefulCloses);
    case 10: return int32_t(s.listenersReleased);
    case 11: return int32_t(s.bytesReceived);
    case 12: return int32_t(s.bytesSent);
    default: return 0;
  }
}

NetStatus CloseStream(StreamRecord** slot) {
  StreamRecord* record = slot ? *slot : nullptr;  // GCOVR_EXCL_BR_LINE: callers pass a slot
  if (!record || record->state == kStateListening) return NetStatus::Ok;
  // A flush that fails has broken the stream or lost it; the close goes on regardless.
  (void)FlushSendBuffer(slot);
  record = *slot;
  if (!record) return NetStatus::Ok;
  // An SSL stream sends its close notification and is plain from then on.
  record->ops->close(record, true);
  ++Layer().stats.gracefulCloses;
  // Without SO_LINGER, the later close returns at once while queued bytes still go out.
  int r = shutdown(record->socket, SHUT_WR);
  PollStream(record, kStateLocalClosed);
  platform::WakeWaiters(record->socket);  // a process receiving on it sees the close
  return r == 0 ? NetStatus::Ok : NetStatus::Failed;
}

}  // namespace vrx
