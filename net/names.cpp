#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "net/layer.h"
#include "net/socket_layer.h"

namespace vrx {
namespace {

// The first IPv4 address of a name, in host byte order; 0 when it has none.
uint32_t ResolveName(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &list) != 0 || !list) return INADDR_NONE;
  uint32_t a = INADDR_NONE;
  for (addrinfo* ai = list; ai; ai = ai->ai_next)
    if (ai->ai_family == AF_INET) {
      a = ntohl(reinterpret_cast<sockaddr_in*>(ai->ai_addr)->sin_addr.s_addr);
      break;
    }
  freeaddrinfo(list);
  return a;
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
  in_addr_t a = inet_addr(n.c_str());
  uint32_t host = a == INADDR_NONE ? ResolveName(n) : ntohl(a);
  return host == INADDR_NONE ? 0 : host;
}

std::string AddressToName(uint32_t address, int32_t mode) {
  std::string result;
  sockaddr_in sa = MakeAddress(address, 0);
  if (mode != 2) {
    char host[NI_MAXHOST] = {};
    if (getnameinfo(reinterpret_cast<sockaddr*>(&sa), sizeof sa, host, sizeof host, nullptr, 0,
                    NI_NAMEREQD) == 0)
      result = host;
  }
  // Only a fully qualified name counts: a dot before its last character.
  if (!result.empty()) {
    size_t dot = result.find('.');
    if (dot == std::string::npos || dot + 1 >= result.size()) result.clear();
  }
  if (result.empty() && mode != 1) {
    char dotted[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &sa.sin_addr, dotted, sizeof dotted);
    result = dotted;
  }
  if (result.size() > 255) result.resize(255);
  return result;
}

NetStatus StreamAddresses(StreamRecord** slot, StreamAddressInfo* out) {
  StreamRecord* record = slot ? *slot : nullptr;
  if (!record) return NetStatus::Failed;
  *out = StreamAddressInfo{};
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  if (PollStream(record, 0) > kStateListening &&
      getpeername(record->socket, reinterpret_cast<sockaddr*>(&sa), &len) == 0) {
    out->remoteAddress = ntohl(sa.sin_addr.s_addr);
    out->remotePort = ntohs(sa.sin_port);
  }
  sa = {};
  len = sizeof sa;
  if (getsockname(record->socket, reinterpret_cast<sockaddr*>(&sa), &len) == 0) {
    out->localAddress = ntohl(sa.sin_addr.s_addr);
    out->localPort = ntohs(sa.sin_port);
  }
  return NetStatus::Ok;
}

uint32_t LocalAddress() {
  std::string name;
  if (!OwnHostName(&name)) return Layer().cachedLocalAddress;
  uint32_t a = ResolveName(name);
  return a == INADDR_NONE ? Layer().cachedLocalAddress : a;
}

}  // namespace vrx
