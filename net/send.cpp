#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "net/layer.h"
#include "net/ssl.h"
#include "platform/services.h"

namespace vrx {

namespace {

constexpr size_t kTextPiece = 1024;

bool BrokenByError(int e) {
  return e == ENETDOWN || e == ENETRESET || e == ECONNABORTED || e == ECONNRESET || e == EPIPE;
}

void CountSent(StreamRecord* record, size_t n) {
  record->bytesSent += uint32_t(n);
  Layer().stats.bytesSent += uint32_t(n);
}

}  // namespace

NetStatus PlainSend(StreamRecord** slot, const uint8_t* p, size_t n, size_t piece) {
  uint32_t lastProgress = platform::TickCount();
  bool progressed = false;  // the clock is read only when a wait begins
  while (n > 0) {
    // The caller's record, or the one a wait below found still there.
    StreamRecord* record = *slot;
    if (!record) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE
    ssize_t r = send(record->socket, p, std::min(n, piece), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (r < 0) {
      int e = errno;
      if (e == EINTR) continue;
      if (e == EAGAIN) {
        if (progressed) lastProgress = platform::TickCount();
        progressed = false;
        record = WaitWhileSending(slot, POLLOUT);
        if (!record) return NetStatus::Failed;
        if (TimedOut(platform::TickCount(), lastProgress, record->sendTimeout)) return NetStatus::Failed;
        continue;
      }
      if (BrokenByError(e)) PollStream(record, kStateBroken);
      return NetStatus::Failed;
    }
    progressed = true;
    p += r;
    n -= size_t(r);
    CountSent(record, size_t(r));
    platform::SystemIdle();
  }
  return NetStatus::Ok;
}

Deadline Deadline::After(int64_t ticks) {
  constexpr int64_t kLongest = 0x3FFFFFFF;
  if (ticks < 0) return {};
  return {true, platform::TickCount() + uint32_t(std::min(ticks, kLongest))};
}

bool Deadline::Passed() const { return set && TickAfter(platform::TickCount(), at); }

int32_t Deadline::WaitTicks(int32_t longest) const {
  if (!set) return longest;
  int64_t left = int64_t(int32_t(at - platform::TickCount())) + 1;
  return int32_t(std::clamp<int64_t>(left, 1, longest));
}

void IdleWait(StreamRecord** slot, short events, const Deadline& deadline) {
  if (events && slot && *slot && (*slot)->socket >= 0) {
    HostWait(HintStreamWait(*slot, events, deadline.WaitTicks(kHintedWaitTicks)));
    return;
  }
  HostWait(deadline.WaitTicks());
}

StreamRecord* WaitWhileSending(StreamRecord** slot, short events) {
  IdleWait(slot, events, Deadline{});
  StreamRecord* record = *slot;
  if (!record) return nullptr;
  int32_t s = PollStream(record, 0);
  return s == kStateBroken ? nullptr : record;
}

NetStatus SendOnce(StreamRecord* record, const uint8_t* data, size_t n, size_t* sent) {
  *sent = 0;
  // A stream still waiting for its connection holds its listener's shared socket: not
  // connected, nothing can be sent, and the listener is not ours to break.
  // (The SSL transport, its one caller, has a connected record and never writes nothing.)
  if (!record || record->listenerSlot != 0) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE
  if (n == 0) return NetStatus::Ok;                                    // GCOVR_EXCL_BR_LINE
  ssize_t r;
  do r = send(record->socket, data, n, MSG_NOSIGNAL | MSG_DONTWAIT);
  while (r < 0 && errno == EINTR);
  if (r >= 0) {
    CountSent(record, size_t(r));
    *sent = size_t(r);
    return NetStatus::Ok;
  }
  int e = errno;
  if (e == EAGAIN) return NetStatus::Ok;
  if (BrokenByError(e)) PollStream(record, kStateBroken);
  errno = e;  // the SSL transport reports it
  return NetStatus::Failed;
}

NetStatus SendText(StreamRecord** slot, std::string_view bytes) {
  if (!slot || !*slot || bytes.empty()) return NetStatus::Ok;
  return (*slot)->ops->send(slot, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), kTextPiece);
}

NetStatus SendBytes(StreamRecord** slot, const uint8_t* data, int32_t length) {
  if (!slot || !*slot) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE: callers pass a stream's slot
  StreamRecord* record = *slot;
  // Collected texts leave first, SSL streams included, so the bytes keep their order.
  if (!record->output.empty() && FlushSendBuffer(slot) != NetStatus::Ok) return NetStatus::Failed;
  record = *slot;
  if (!record) return NetStatus::Failed;
  if (length <= 0 || !data) return NetStatus::Ok;
  return record->ops->send(slot, data, size_t(length), size_t(length));
}

NetStatus FlushSendBuffer(StreamRecord** slot) {
  StreamRecord* record = slot ? *slot : nullptr;  // GCOVR_EXCL_BR_LINE: callers pass a slot
  if (!record || record->output.empty()) return NetStatus::Ok;
  // Taken out first: bytes another process buffers while this send waits stay queued.
  std::string data = std::move(record->output);
  record->output.clear();
  return SendText(slot, data);
}

NetStatus BufferedSend(StreamRecord** slot, std::string_view bytes, int16_t threshold, Buffering* how) {
  *how = Buffering{};
  if (!slot) return NetStatus::Ok;  // GCOVR_EXCL_BR_LINE: callers pass a slot
  // An empty text flushes. A negative threshold would neither collect nor send the
  // text; it sends at once instead.
  if ((*slot && bytes.empty()) || threshold < 0) threshold = 0;
  bool consumed = false;
  if (*slot && !bytes.empty() && (threshold > 0 || !(*slot)->output.empty())) {
    if ((*slot)->output.size() + bytes.size() > size_t(kMaxOutputBuffer) &&
        FlushSendBuffer(slot) != NetStatus::Ok)
      return NetStatus::Failed;
    // The flush may have waited: the stream may be gone.
    if (!*slot) return NetStatus::Failed;
    (*slot)->output.append(bytes);
    consumed = true;
  }
  if (threshold != 0 && *slot) {
    size_t held = (*slot)->output.size();
    if ((threshold > 255 && held >= size_t(threshold)) || held > size_t(kCollectLimit)) threshold = 0;
  }
  if (threshold != 0) {
    *how = {true, int32_t(*slot ? (*slot)->output.size() : 0)};
    return NetStatus::Ok;
  }
  NetStatus result = NetStatus::Ok;
  if (*slot && !(*slot)->output.empty()) result = FlushSendBuffer(slot);
  if (!consumed && !bytes.empty()) {
    NetStatus r = SendText(slot, bytes);
    if (r != NetStatus::Ok) result = r;
  }
  return result;
}

NetStatus StreamTimeout(StreamRecord** slot, int32_t value, int32_t* current) {
  if (!slot || !*slot) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE: callers pass a stream's slot
  if (value >= 0) (*slot)->sendTimeout = value;
  *current = (*slot)->sendTimeout;
  return NetStatus::Ok;
}

}  // namespace vrx
