#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <string>
#include <vector>

#include "net/address.h"
#include "net/layer.h"
#include "net/resolver.h"
#include "net/socket_layer.h"
#include "net/ssl.h"
#include "platform/services.h"

namespace vrx {
namespace {

constexpr int32_t kSslOptionBits = 0xC00;
constexpr uint16_t kHttpsPort = 443;
// As deep a queue of pending connections as the system allows (net.core.somaxconn): a
// burst of clients waits there instead of being refused or retrying.
constexpr int kListenBacklog = SOMAXCONN > 4096 ? SOMAXCONN : 4096;

bool WantsSsl(uint16_t port, int32_t options) {
  return port == kHttpsPort || (options & kSslOptionBits) != 0;
}

bool InProgress(int error) { return error == EINPROGRESS || error == EAGAIN || error == EINTR; }

// The listener entry with a socket on that port and address; null when there is none.
ListenerEntry* ListenerOn(uint16_t localPort, uint32_t localAddress) {
  for (ListenerEntry& e : Layer().listeners)
    if (e.socket >= 0 && e.localPort == localPort && e.localAddress == localAddress) return &e;
  return nullptr;
}

}  // namespace

StreamRecord* OpenActive(std::string_view host, uint16_t remotePort, int32_t bufferSize,
                         int32_t options, uint16_t localPort, uint32_t localAddress) {
  // The host's text lives in 4D's memory, which may move while the name is looked up.
  std::string name(host.substr(0, host.find('\0')));
  if (host.find('\0') != std::string_view::npos) return nullptr;  // not the name the resolver would see
  std::string lookup = name;
  if (lookup.empty()) {
    char own[256] = {};
    if (gethostname(own, sizeof own - 1) != 0) return nullptr;
    lookup = own;
  }
  std::vector<SocketAddress> found;
  if (ResolveName(lookup, &found) != 0) return nullptr;
  const LocalBinding local{localPort, localAddress};
  std::vector<SocketAddress> order = AttemptOrder(found, local);
  // 255.255.255.255 is no host's address.
  order.erase(std::remove_if(order.begin(), order.end(),
                             [](const SocketAddress& a) { return a.IsIpv4() && a.Ipv4Number() == INADDR_NONE; }),
              order.end());
  if (order.empty()) return nullptr;
  for (SocketAddress& a : order) a.SetPort(remotePort);

  StreamRecord* record = CreateTcpRecord(bufferSize, order[0].Family());
  if (!record) return nullptr;
  record->hostName = name;
  if (WantsSsl(remotePort, options) && !SetUpClientSsl(record, name, (options & kVerifyPeerOption) != 0)) {
    (void)CloseAndFreeRecord(&record, -1);
    return nullptr;
  }
  ++Layer().stats.activeOpens;

  // Addresses that fail at once (no route, no such family here) give way to the next.
  size_t i = 0;
  int error = StartConnect(record->socket, order[0], local);
  while (error != 0 && !InProgress(error) && i + 1 < order.size()) {
    int fd = NewStreamSocket(order[++i].Family(), bufferSize, false);
    if (fd < 0) continue;
    close(record->socket);
    record->socket = fd;
    error = StartConnect(fd, order[i], local);
  }
  // A connect done at once is finished by the poll, as one under way is. An SSL stream
  // starts its handshake at its first poll after the open, not here: a client certificate
  // set right after the open is then in place before the server can ask for it.
  if (error == 0 || InProgress(error) || error == EISCONN) {
    // The other addresses join in when this one keeps them waiting.
    if (error != 0 && i + 1 < order.size())
      StartConnectRace(record, std::vector<SocketAddress>(order.begin() + long(i) + 1, order.end()), bufferSize,
                       local);
    if (record->sslFlag)
      record->state = kStateConnecting;
    else
      PollStream(record, kStateConnecting);
  } else {
    (void)CloseAndFreeRecord(&record, -1);
    return nullptr;
  }
  return record;
}

StreamRecord* OpenPassive(uint16_t localPort, int32_t bufferSize, int32_t options,
                          uint32_t localAddress) {
  // Every local address: one dual-stack socket takes clients of both families.
  const int family = localAddress == 0 && SystemHasIpv6() ? AF_INET6 : AF_INET;
  // A stream joining a listener takes its socket: it needs none of its own (the accepted
  // connections inherit the listening socket's options). Nothing below waits, so the
  // listener found now is the one it joins.
  SocketLayer& L = Layer();
  ListenerEntry* found = ListenerOn(localPort, localAddress);
  StreamRecord* record = found ? new (std::nothrow) StreamRecord : CreateTcpRecord(bufferSize, family);
  if (!record) return nullptr;
  // A certificate that does not load leaves the stream waiting, not the open failed.
  if (WantsSsl(localPort, options) && !SetUpServerSsl(record)) {
    (void)CloseAndFreeRecord(&record, -1);
    return nullptr;
  }

  if (found) {
    ListenerEntry& e = *found;
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
    // With every entry in use no connection could ever reach the stream: no stream.
    if (!e) {
      (void)CloseAndFreeRecord(&record, -1);
      return nullptr;
    }
    {
      SocketAddress sa = family == AF_INET6 ? AnyAddress(AF_INET6, localPort) : Ipv4Address(localAddress, localPort);
      if (bind(record->socket, sa.Raw(), sa.length) != 0 ||
          listen(record->socket, kListenBacklog) != 0) {
        (void)CloseAndFreeRecord(&record, -1);
        return nullptr;
      }
      *e = ListenerEntry{};
      e->socket = record->socket;
      e->localPort = localPort;
      if (localPort == 0) {
        // Port 0 lets the system choose; later listens name the port it chose.
        SocketAddress bound;
        if (LocalAddressOf(record->socket, &bound)) e->localPort = bound.Port();
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
