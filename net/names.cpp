#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "net/address.h"
#include "net/layer.h"
#include "net/resolver.h"
#include "net/socket_layer.h"
#include "platform/services.h"

namespace vrx {
namespace {

// How long a lookup of this machine's own name stays the answer.
constexpr uint32_t kOwnAddressLifetimeMs = 10000;

// The first IPv4 address of a name, in host byte order; 0 when it has none (a name with
// IPv6 addresses alone has no number a longint can hold).
uint32_t FirstIpv4(const std::string& name) {
  std::vector<SocketAddress> found;
  if (ResolveName(name, &found) != 0) return 0;
  for (const SocketAddress& a : found)
    if (a.IsIpv4()) return a.Ipv4Number();
  return 0;
}

bool OwnHostName(std::string* out) {
  char buf[256] = {};
  if (gethostname(buf, sizeof buf - 1) != 0) return false;
  *out = buf;
  return true;
}

}  // namespace

uint32_t NameToAddress(std::string_view name) {
  std::string n(name);
  if (n.empty() && !OwnHostName(&n)) return Layer().cachedLocalAddress;
  // The resolver sees names up to their first zero byte; such a name is not this one.
  if (n.find('\0') != std::string::npos) return 0;
  // The legacy dotted forms (inet_addr's "10.1" too) need no resolver.
  in_addr_t a = inet_addr(n.c_str());
  if (a != INADDR_NONE) return ntohl(a);
  // 255.255.255.255 is no host's address.
  uint32_t host = FirstIpv4(n);
  return host == INADDR_NONE ? 0 : host;
}

int32_t NameToAddresses(std::string_view name, std::string* lines) {
  lines->clear();
  std::string n(name);
  if (n.empty() && !OwnHostName(&n)) return 0;
  std::vector<SocketAddress> found;
  if (ResolveName(n, &found) != 0) return 0;
  for (const SocketAddress& a : found) {
    if (!lines->empty()) lines->push_back('\r');
    lines->append(a.Text());
  }
  return int32_t(found.size());
}

std::string AddressToName(uint32_t address, int32_t mode) {
  SocketAddress sa = Ipv4Address(address, 0);
  std::string result = mode != 2 ? ReverseLookUp(sa) : std::string();
  // Only a fully qualified name counts: a dot before its last character.
  if (!result.empty()) {
    size_t dot = result.find('.');
    if (dot == std::string::npos || dot + 1 >= result.size()) result.clear();
  }
  if (result.empty() && mode != 1) result = sa.Text();
  if (result.size() > 255) result.resize(255);
  return result;
}

NetStatus AddressTextToName(std::string_view address, std::string* name) {
  name->clear();
  SocketAddress sa;
  if (!ParseAddressLiteral(address, 0, &sa)) return NetStatus::Failed;
  *name = ReverseLookUp(sa);
  return name->empty() ? NetStatus::NotFound : NetStatus::Ok;
}

NetStatus StreamAddresses(StreamRecord** slot, StreamAddressInfo* out) {
  StreamRecord* record = slot ? *slot : nullptr;  // GCOVR_EXCL_BR_LINE: callers pass a slot
  if (!record) return NetStatus::Failed;
  *out = StreamAddressInfo{};
  SocketAddress sa;
  if (PollStream(record, 0) > kStateListening && PeerAddressOf(record->socket, &sa)) {
    out->remoteAddress = sa.Ipv4Number();
    out->remotePort = sa.Port();
    out->remoteText = sa.Text();
  }
  if (LocalAddressOf(record->socket, &sa)) {
    out->localAddress = sa.Ipv4Number();
    out->localPort = sa.Port();
    out->localText = sa.Text();
  }
  return NetStatus::Ok;
}

uint32_t LocalAddress() {
  std::string name;
  if (!OwnHostName(&name)) return Layer().cachedLocalAddress;
  // A method may ask in a loop: the answer for the same name is reused for a while
  // instead of a lookup (and a wait for the resolver's thread) each time.
  SocketLayer& L = Layer();
  const uint32_t now = platform::Milliseconds();
  if (name != L.ownName || now - L.ownAddressAt >= kOwnAddressLifetimeMs) {
    uint32_t a = FirstIpv4(name);  // waits; the layer is the same afterwards
    L.ownName = name;
    L.ownAddress = a;
    L.ownAddressAt = now;
  }
  return L.ownAddress == 0 ? L.cachedLocalAddress : L.ownAddress;
}

}  // namespace vrx
