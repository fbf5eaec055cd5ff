#include <sys/socket.h>

#include "net/layer.h"
#include "net/ssl.h"
#include "platform/services.h"

namespace vrx {

int32_t StreamInfo(StreamRecord** slot, int32_t code) {
  StreamRecord* record = slot ? *slot : nullptr;
  if (!record || record->kind == kKindUdp) return -1;
  bool ssl = record->sslFlag != 0;
  switch (code) {
    case 0: return PollStream(record, 0);
    case 14: return int32_t(ssl ? record->sslBytesReceived : record->bytesReceived);
    case 17: return int32_t(ssl ? record->sslBytesSent : record->bytesSent);
    case 23: return int32_t(record->bytesReceived);
    case 24: return int32_t(record->bytesSent);
    default: return -1;
  }
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
  StreamRecord* record = slot ? *slot : nullptr;
  if (!record || record->state == kStateListening) return NetStatus::Ok;
  FlushSendBuffer(slot);
  record = *slot;
  if (!record) return NetStatus::Ok;
  // The close notification goes out, then the stream is plain; what the peer still sends
  // cannot be decrypted any more.
  if (record->kind == kKindSsl) record->dropIncoming = true;
  EndSsl(record, true);
  ++Layer().stats.gracefulCloses;
  // Without SO_LINGER, the later close returns at once while queued bytes still go out.
  int r = shutdown(record->socket, SHUT_WR);
  PollStream(record, kStateLocalClosed);
  platform::WakeWaiters(record->socket);  // a process receiving on it sees the close
  return r == 0 ? NetStatus::Ok : NetStatus::Failed;
}

}  // namespace vrx
