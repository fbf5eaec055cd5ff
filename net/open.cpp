#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "net/layer.h"
#include "net/socket_layer.h"
#include "net/ssl.h"
#include "platform/services.h"

namespace vrx {
namespace {

constexpr int32_t kSslOptionBits = 0xC00;
constexpr uint16_t kHttpsPort = 443;
constexpr int kListenBacklog = 100;

bool WantsSsl(uint16_t port, int32_t options) {
  return port == kHttpsPort || (options & kSslOptionBits) != 0;
}

}  // namespace

StreamRecord* OpenActive(std::string_view host, uint16_t remotePort, int32_t bufferSize,
                         int32_t options, uint16_t localPort, uint32_t localAddress) {
  uint32_t remote = NameToAddress(host);
  if (remote == 0) return nullptr;
  StreamRecord* record = CreateTcpRecord(bufferSize);
  if (!record) return nullptr;
  record->hostName.assign(host.substr(0, host.find('\0')));
  if (WantsSsl(remotePort, options) &&
      !SetUpClientSsl(record, host, (options & kVerifyPeerOption) != 0)) {
    CloseAndFreeRecord(&record, -1);
    return nullptr;
  }
  ++Layer().stats.activeOpens;

  int error = 0;
  if (localPort != 0 || localAddress != 0) {
    sockaddr_in local = MakeAddress(localAddress, localPort);
    if (bind(record->socket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) error = errno;
  }
  if (error == 0) {
    sockaddr_in sa = MakeAddress(remote, remotePort);
    if (connect(record->socket, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) error = errno;
  }
  // A connect done at once is finished by the poll, as one under way is (an SSL stream
  // still has its handshake to do).
  if (error == 0 || error == EINPROGRESS || error == EAGAIN || error == EISCONN || error == EINTR) {
    PollStream(record, kStateConnecting);
  } else {
    CloseAndFreeRecord(&record, -1);
    return nullptr;
  }
  return record;
}

StreamRecord* OpenPassive(uint16_t localPort, int32_t bufferSize, int32_t options,
                          uint32_t localAddress) {
  StreamRecord* record = CreateTcpRecord(bufferSize);
  if (!record) return nullptr;
  // A certificate that does not load leaves the stream waiting, not the open failed.
  if (WantsSsl(localPort, options) && !SetUpServerSsl(record)) {
    CloseAndFreeRecord(&record, -1);
    return nullptr;
  }

  SocketLayer& L = Layer();
  record->listenerSlot = 0;
  ListenerEntry* found = nullptr;
  for (ListenerEntry& e : L.listeners)
    if (e.socket >= 0 && e.localPort == localPort && e.localAddress == localAddress) {
      found = &e;
      break;
    }

  if (found) {
    ListenerEntry& e = *found;
    if (record->socket != e.socket) close(record->socket);
    record->socket = e.socket;
    if (++e.users > 1) e.shared = true;
    e.lingering = false;
    e.lingerDeadline = 0;
    (e.tail ? e.tail->nextWaiting : e.head) = record;
    e.tail = record;
    record->listenerSlot = int16_t(&e - L.listeners + 1);
  } else {
    ListenerEntry* e = nullptr;
    for (ListenerEntry& candidate : L.listeners)
      if (candidate.socket < 0) {
        e = &candidate;
        break;
      }
    // With every entry in use the stream still waits, but nothing can reach it.
    if (e) {
      sockaddr_in sa = MakeAddress(localAddress, localPort);
      if (bind(record->socket, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
          listen(record->socket, kListenBacklog) != 0) {
        CloseAndFreeRecord(&record, -1);
        return nullptr;
      }
      *e = ListenerEntry{};
      e->socket = record->socket;
      e->localPort = localPort;
      if (localPort == 0) {
        // Port 0 lets the system choose; later listens name the port it chose.
        sockaddr_in bound{};
        socklen_t len = sizeof bound;
        if (getsockname(record->socket, reinterpret_cast<sockaddr*>(&bound), &len) == 0)
          e->localPort = ntohs(bound.sin_port);
      }
      e->localAddress = localAddress;
      e->users = 1;
      e->head = e->tail = record;
      platform::WatchSocket(e->socket, platform::kNotifyAccept);
      record->listenerSlot = int16_t(e - L.listeners + 1);
    }
  }
  PollStream(record, kStateListening);
  return record;
}

}  // namespace vrx
