#include "net/socket_layer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>

#include "net/address.h"
#include "net/layer.h"
#include "net/resolver.h"
#include "net/ssl.h"
#include "platform/services.h"

namespace vrx {

SocketLayer& Layer() {
  static SocketLayer layer;  // GCOVR_EXCL_BR_LINE: a local static's guard, made on one thread
  return layer;
}

const NetworkStatistics& Statistics() { return Layer().stats; }

int ListenerSocket(int slot) {
  if (slot < 1 || slot > kListenerCount) return -1;
  return Layer().listeners[slot - 1].socket;
}

int32_t ListenerUsers(int slot) {
  if (slot < 1 || slot > kListenerCount) return 0;
  return Layer().listeners[slot - 1].users;
}

namespace {

// Socket notifications from the host's wait loop: a connection is pending on one of
// the listening sockets.
void SocketMessageFilter(uint32_t message, uintptr_t, intptr_t) {
  if (message == platform::kSocketNotifyMessage) AcceptPending();
}

// Bytes the stream could hand out now: put-back bytes plus what its transport holds.
int32_t Available(StreamRecord* record) {
  StreamRecord* slot = record;
  return BytesAvailable(&slot);
}

void PlainStep(StreamRecord* record) {
  if (record->state < kStateEstablished) record->state = kStateEstablished;
}

void PlainClose(StreamRecord*, bool) {}
int32_t PlainEnded(StreamRecord*) { return kStatePeerClosed; }

// Peeks at up to 4 bytes without taking them: >0 data, 0 orderly end, -1 would block,
// -2 the connection is broken.
int Peek(int fd) {
  char buf[4];
  ssize_t r = recv(fd, buf, sizeof buf, MSG_PEEK | MSG_DONTWAIT);
  if (r >= 0) return int(r);
  if (errno == EAGAIN || errno == EINTR) return -1;
  return -2;
}

void CacheLocalAddress(int fd) {
  if (Layer().cachedLocalAddress != 0) return;
  SocketAddress sa;
  // Only an IPv4 address fits the longint it is given out as.
  if (LocalAddressOf(fd, &sa)) Layer().cachedLocalAddress = sa.Ipv4Number();
}

// A connect under way: done, failed, or still going. Linux reports a failed connect as
// writable, so the socket's pending error decides.
void PollConnecting(StreamRecord* record) {
  if (record->race) {
    RaceStep step = StepConnectRace(record);
    if (step == RaceStep::Pending) return;
    if (step == RaceStep::Lost) {
      record->state = kStateBroken;
      return;
    }
    // Won: the record's socket is the connection that was made.
  }
  pollfd p{record->socket, POLLOUT, 0};
  if (poll(&p, 1, 0) <= 0) return;
  int err = 0;
  socklen_t len = sizeof err;
  if (getsockopt(record->socket, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
  if (err != 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
    record->state = kStateBroken;
    return;
  }
  if (p.revents & POLLOUT) {  // GCOVR_EXCL_BR_LINE: asked for POLLOUT alone, and the errors went above
    ++Layer().stats.connectionsCompleted;
    CacheLocalAddress(record->socket);
    // An SSL stream is established once its handshake is done.
    record->ops->step(record);
  }
}

// An established stream (or one whose client handshake has begun): a broken connection
// or the peer's end, once nothing is left to read.
void PollEstablished(StreamRecord* record) {
  int r = Peek(record->socket);
  if (r == -2)
    record->state = kStateBroken;
  else if (r == 0 && Available(record) == 0 && record->state < kStatePeerClosed)
    record->state = record->ops->peerEnded(record);
  else if (r > 0)
    Available(record);  // taken in: an SSL record that cannot be used breaks the stream now
}

}  // namespace

const StreamOps kPlainStream = {kKindPlain, PlainSend,  PlainReceive,      PlainPending, PlainStep,
                                PlainClose, PlainEnded, kStateEstablished, false};

void DropWaitingBytes(int fd) {
  char sink[4096];
  for (int i = 0; i < 64 && recv(fd, sink, sizeof sink, MSG_DONTWAIT) > 0; ++i) {
  }
}

void CloseListenerSocket(ListenerEntry& e) {
  // Called for entries in use: an entry with users has its socket.
  if (e.socket >= 0) {  // GCOVR_EXCL_BR_LINE
    platform::WatchSocket(e.socket, 0);
    close(e.socket);
  }
  e.socket = -1;
  e.localPort = 0;
  e.lingering = false;
  e.lingerDeadline = 0;
  e.shared = false;
}

int32_t StartSocketLayer() {
  SocketLayer& L = Layer();
  for (ListenerEntry& e : L.listeners) e = ListenerEntry{};
  L.nextCheckSet = false;
  L.nextCheck = 0;
  L.cachedLocalAddress = 0;
  L.ownName.clear();
  L.ownAddress = 0;
  L.stats = {};
  StartSslLibrary();
  // Sockets are always available here, and so are notifications through the host's
  // message filter.
  platform::InstallMessageFilter(SocketMessageFilter);
  return 0;
}

void StopSocketLayer() {
  FinishLookUps();
  for (ListenerEntry& e : Layer().listeners) {
    if (e.socket >= 0) CloseListenerSocket(e);
    e = ListenerEntry{};
  }
  Layer().nextCheckSet = false;
  StopSslLibrary();
  if (platform::CurrentMessageFilter() == SocketMessageFilter) platform::InstallMessageFilter(nullptr);
}

int NewStreamSocket(int family, int32_t bufferSize, bool v6only) {
  int fd = NewSocket(family, SOCK_STREAM, v6only);
  if (fd < 0) return -1;
  int size = std::clamp<int32_t>(bufferSize, 8192, 32767);
  int one = 1;
  // The asked-for size is a floor here, not a ceiling: Linux counts its bookkeeping in
  // the buffer and tunes its own sizes upward, and a socket held below its default size
  // stalls on delayed acknowledgements (a few MB/s on loopback to an ordinary peer).
  for (int option : {SO_SNDBUF, SO_RCVBUF}) {
    int current = 0;
    socklen_t len = sizeof current;
    if (getsockopt(fd, SOL_SOCKET, option, &current, &len) == 0 && current / 2 < size)
      setsockopt(fd, SOL_SOCKET, option, &size, sizeof size);
  }
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
  return fd;
}

StreamRecord* CreateTcpRecord(int32_t bufferSize, int family) {
  // A listening IPv6 socket takes IPv4 clients too; an active one reaches one family.
  int fd = NewStreamSocket(family, bufferSize, false);
  if (fd < 0) return nullptr;
  auto* record = new (std::nothrow) StreamRecord;
  if (!record) {
    close(fd);
    return nullptr;
  }
  record->socket = fd;
  return record;
}

bool TimedOut(uint32_t now, uint32_t since, int32_t timeout) {
  if (timeout == 0) timeout = kDefaultSendTimeout;
  return timeout > 0 && TickAfter(now, since + uint32_t(timeout));
}

bool ReadyToAccept(const StreamRecord* record) {
  // Every caller asks about a stream queued on a listener; its certificate decides.
  return record->listenerSlot != 0 && record->state == kStateListening &&  // GCOVR_EXCL_BR_LINE
         (record->certificateReady != 0) == record->ops->needsCertificate;
}

bool AcceptInto(int listenSocket, StreamRecord* record) {
  int fd = accept4(listenSocket, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  // As on Windows, calling accept arms the next pending-connection notification.
  platform::ReenableSocketNotify(listenSocket);
  if (fd < 0) return false;
  DetachFromListener(record, 0);
  record->socket = fd;
  // A process waiting on this stream sleeps on the listener's socket.
  platform::WakeWaiters(listenSocket);
  record->state = record->ops->acceptedState;
  record->bytesSent = record->bytesReceived = 0;
  record->sslBytesSent = record->sslBytesReceived = 0;
  ++Layer().stats.connectionsAccepted;
  record->ops->step(record);
  return true;
}

int32_t PollStream(StreamRecord* record, int32_t requested) {
  assert(record);  // GCOVR_EXCL_BR_LINE
  if (requested == kStateLocalClosed && record->state == kStatePeerClosed) requested = kStateBothClosed;
  if (record->state < requested) record->state = requested;
  // A queued listening stream moved on (closed, broken) takes no connection any more,
  // and the listener's shared socket is no longer its own.
  if (record->listenerSlot != 0 && record->state != kStateListening) {
    DetachFromListener(record, 0);
    record->socket = -1;
  }
  SweepListeners();
  switch (record->state) {
    case kStateListening:
      if (ReadyToAccept(record)) AcceptInto(record->socket, record);
      break;
    case kStateSslAccepting: {
      int r = Peek(record->socket);
      if (r == 0 || r == -2) record->state = kStateBroken;
      if (record->state == kStateSslAccepting) record->ops->step(record);
      break;
    }
    case kStateConnecting:
      if (record->clientHandshakePhase == 0) {
        PollConnecting(record);
        break;
      }
      record->ops->step(record);
      PollEstablished(record);
      break;
    case kStateEstablished:
      PollEstablished(record);
      break;
    case kStateLocalClosed: {
      if (record->dropIncoming) DropWaitingBytes(record->socket);
      // Our side is closed: the peer's end, orderly or reset, closes the other.
      int r = Peek(record->socket);
      if (r == 0 || r == -2) record->state = kStateBothClosed;
      break;
    }
    default:
      break;
  }
  return record->state;
}

void DetachFromListener(StreamRecord* record, int32_t mode) {
  // A listener slot is 0 or the 1-based index of an entry, and a record that has one is in that entry's
  // queue.
  if (!record || record->listenerSlot <= 0 || record->listenerSlot > kListenerCount) return;  // GCOVR_EXCL_BR_LINE
  SocketLayer& L = Layer();
  ListenerEntry& e = L.listeners[record->listenerSlot - 1];
  StreamRecord* prev = nullptr;
  for (StreamRecord* r = e.head; r; prev = r, r = r->nextWaiting) {  // GCOVR_EXCL_BR_LINE
    if (r != record) continue;
    (prev ? prev->nextWaiting : e.head) = r->nextWaiting;
    if (e.tail == r) e.tail = prev;
    r->nextWaiting = nullptr;
    break;
  }
  record->listenerSlot = 0;
  if (--e.users > 0) return;
  e.users = 0;
  if (e.shared && mode != 2) {
    e.lingering = true;
    e.lingerDeadline = platform::TickCount() + kLingerTicks;
    if (!L.nextCheckSet) {
      L.nextCheckSet = true;
      L.nextCheck = e.lingerDeadline;
    }
  } else {
    CloseListenerSocket(e);
  }
  e.head = e.tail = nullptr;
}

void SweepListeners() {
  SocketLayer& L = Layer();
  if (!L.nextCheckSet) return;
  uint32_t now = platform::TickCount();
  if (!TickAfter(now, L.nextCheck)) return;
  L.nextCheckSet = false;
  for (ListenerEntry& e : L.listeners) {
    if (e.socket < 0 || !e.lingering || e.users != 0) continue;
    if (TickAfter(now, e.lingerDeadline)) {
      CloseListenerSocket(e);
    } else {
      L.nextCheckSet = true;
      L.nextCheck = e.lingerDeadline;
    }
  }
  if (L.nextCheckSet) L.nextCheck = now + kLingerTicks;
}

void AcceptPending() {
  for (ListenerEntry& e : Layer().listeners) {
    while (e.socket >= 0 && e.head && ReadyToAccept(e.head)) {
      StreamRecord* record = e.head;
      bool last = e.users <= 1;
      if (!AcceptInto(e.socket, record)) break;
      if (last) break;
    }
  }
}

NetStatus CloseAndFreeRecord(StreamRecord** slot, int32_t mode) {
  if (!slot || !*slot) return NetStatus::Ok;  // GCOVR_EXCL_BR_LINE: callers pass a record
  StreamRecord* record = *slot;
  NetStatus result = NetStatus::Ok;
  // An abortive release sends no close notification.
  record->ops->close(record, mode >= 0);
  EndConnectRace(record);
  // A record still in a listener's queue holds the listener's shared socket, whatever
  // state it reached: the listener table closes that socket, never the record.
  if (record->listenerSlot != 0) {
    DetachFromListener(record, mode);
    ++Layer().stats.listenersReleased;
  } else if (record->socket >= 0) {
    if (close(record->socket) != 0) result = NetStatus::Failed;
  }
  delete record;  // GCOVR_EXCL_BR_LINE: delete's test for null; record is not
  *slot = nullptr;
  return result;
}

NetStatus StreamState(StreamRecord* record, int32_t* state) {
  if (!record || record->ops->kind == kKindUdp) return NetStatus::Failed;
  *state = PollStream(record, 0);
  return NetStatus::Ok;
}

}  // namespace vrx
