#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "net/layer.h"
#include "net/ssl.h"
#include "platform/memory.h"
#include "platform/services.h"

namespace vrx {

NetStatus ReceiveRaw(StreamRecord* record, std::string& out, int32_t maximum) {
  out.clear();
  if (!record) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE: callers have a record
  int pending = 0;
  // With nothing counted yet a small read still takes what arrived meanwhile, or sees the
  // end, without clearing a whole chunk's buffer on every idle wake-up.
  int32_t m = 512;
  if (ioctl(record->socket, FIONREAD, &pending) == 0 && pending > 0) m = std::min(pending, kMaxReceive);
  if (maximum > 0 && maximum < m) m = maximum;  // GCOVR_EXCL_BR_LINE: callers ask for 1 byte or more
  out.resize(size_t(m));
  ssize_t r;
  do r = recv(record->socket, out.data(), size_t(m), MSG_DONTWAIT);
  while (r < 0 && errno == EINTR);
  if (r > 0) {
    out.resize(size_t(r));
    record->bytesReceived += uint32_t(r);
    Layer().stats.bytesReceived += uint32_t(r);
    return NetStatus::Ok;
  }
  int e = errno;
  out.clear();
  // A stream that had closed its own side is now closed both ways.
  const int32_t peerEnded = record->state == kStateLocalClosed ? kStateBothClosed : kStatePeerClosed;
  if (r == 0) {
    PollStream(record, peerEnded);
    return NetStatus::Ok;
  }
  if (e == EAGAIN) return NetStatus::Ok;
  // A reset is no orderly end: what was sent to us may be missing. Once our own side was
  // closed, though, the connection has simply ended both ways.
  if (e == ECONNABORTED) PollStream(record, kStateBroken);
  if (e == ECONNRESET) PollStream(record, peerEnded == kStateBothClosed ? kStateBothClosed : kStateBroken);
  errno = e;  // the SSL transport reports it
  return NetStatus::Failed;
}

NetStatus PlainReceive(StreamRecord** slot, std::string& out, int32_t maximum) {
  StreamRecord* record = *slot;
  if (record->dropIncoming) {
    // An SSL stream we closed: what still arrives are records nothing can decrypt any
    // more. They are dropped, never handed out as data; the end or a reset still counts.
    NetStatus r = NetStatus::Ok;
    for (int i = 0; i < 64; ++i) {
      r = ReceiveRaw(record, out, kMaxReceive);
      if (r != NetStatus::Ok || out.empty()) break;
    }
    out.clear();
    return r;
  }
  return ReceiveRaw(record, out, maximum);
}

int32_t PlainPending(StreamRecord* record) {
  if (record->dropIncoming) return 0;  // undecryptable bytes are not data
  int pending = 0;
  if (ioctl(record->socket, FIONREAD, &pending) == 0 && pending > 0) return pending;
  return 0;
}

NetStatus ReceiveChunk(StreamRecord** slot, std::string& out, int32_t maximum) {
  out.clear();
  if (!slot || !*slot) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE: callers pass a stream's slot
  // A receive sends what was collected first, so that a request goes out before its
  // answer is awaited.
  if (!(*slot)->output.empty()) (void)FlushSendBuffer(slot);  // a failure shows in the state
  StreamRecord* record = *slot;
  if (!record) return NetStatus::Failed;

  size_t limit = maximum > 0 ? size_t(std::min(maximum, kMaxReceive)) : size_t(kMaxReceive);
  if (!record->unread.empty()) {
    // Put-back bytes come first; nothing is read from the connection in this call.
    if (record->unread.size() > limit) {
      out.assign(record->unread, 0, limit);
      record->unread.erase(0, limit);
    } else {
      out.swap(record->unread);
      record->unread.clear();
    }
    return NetStatus::Ok;
  }
  return record->ops->receive(slot, out, int32_t(limit));
}

int32_t BytesAvailable(StreamRecord** slot) {
  StreamRecord* record = slot ? *slot : nullptr;  // GCOVR_EXCL_BR_LINE: callers pass a slot
  if (!record) return 0;
  int64_t n = int64_t(record->unread.size()) + record->ops->pending(record);
  return int32_t(std::min<int64_t>(n, INT32_MAX));
}

NetStatus UnreadBytes(StreamRecord** slot, std::string_view bytes, bool front, int32_t* unreadLength) {
  StreamRecord* record = slot ? *slot : nullptr;  // GCOVR_EXCL_BR_LINE: callers pass a slot
  if (!record) return NetStatus::Failed;
  if (front)
    record->unread.insert(0, bytes);
  else
    record->unread.append(bytes);
  if (!bytes.empty() && record->socket >= 0) platform::WakeWaiters(record->socket);
  if (unreadLength) *unreadLength = int32_t(std::min<size_t>(record->unread.size(), INT32_MAX));
  return NetStatus::Ok;
}

ReceiveEnd ReceiveUntil(StreamRecord** slot, const ReceiveRules& rules, ReceiveSink& sink) {
  const bool idleLimit = rules.idleTicks > 0;
  Deadline idle = idleLimit ? Deadline::After(rules.idleTicks) : Deadline{};
  std::string piece;
  for (;;) {
    int64_t wanted = sink.Wanted();
    if (wanted <= 0) return ReceiveEnd::Full;
    if (ReceiveChunk(slot, piece, int32_t(std::min<int64_t>(wanted, kMaxReceive))) != NetStatus::Ok)
      return ReceiveEnd::Failed;
    const bool took = !piece.empty();
    if (took) {
      if (idleLimit) idle = Deadline::After(rules.idleTicks);
      if (!sink.Take(piece)) return ReceiveEnd::SinkFailed;
    }
    if (sink.Finished()) return ReceiveEnd::Done;
    if (rules.deadline.Passed()) return ReceiveEnd::TimedOut;
    if (took) {
      HostWait(-1);
      continue;
    }
    // Nothing came. The state is read only now, so that the last bytes of a connection
    // that ends are taken first, and an ended one is not waited on.
    // A receive that answered Ok left the record where it was.
    StreamRecord* record = *slot;
    if (!record) return ReceiveEnd::Failed;  // GCOVR_EXCL_BR_LINE
    int32_t state = PollStream(record, 0);
    if (rules.onlyWhileEstablished ? state != kStateEstablished : state >= kStatePeerClosed)
      return ReceiveEnd::Ended;
    if (idle.Passed()) return ReceiveEnd::Idle;
    Deadline wait = rules.deadline;
    if (idle.set && (!wait.set || TickAfter(wait.at, idle.at))) wait = idle;
    IdleWait(slot, POLLIN, wait);
  }
}

}  // namespace vrx
