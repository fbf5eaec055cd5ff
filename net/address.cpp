#include "net/address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <unistd.h>

#include <cstring>

namespace vrx {

uint16_t SocketAddress::Port() const {
  if (Family() == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in*>(&storage)->sin_port);
  if (Family() == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_port);
  return 0;
}

void SocketAddress::SetPort(uint16_t port) {
  if (Family() == AF_INET) reinterpret_cast<sockaddr_in*>(&storage)->sin_port = htons(port);
  if (Family() == AF_INET6) reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port = htons(port);
}

bool SocketAddress::IsIpv4() const {
  if (Family() == AF_INET) return true;
  return Family() == AF_INET6 &&
         IN6_IS_ADDR_V4MAPPED(&reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr);
}

uint32_t SocketAddress::Ipv4Number() const {
  if (Family() == AF_INET) return ntohl(reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr.s_addr);
  if (!IsIpv4()) return 0;
  const uint8_t* b = reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr.s6_addr;
  return uint32_t(b[12]) << 24 | uint32_t(b[13]) << 16 | uint32_t(b[14]) << 8 | b[15];
}

std::string SocketAddress::Text() const {
  char text[INET6_ADDRSTRLEN] = "";
  if (IsIpv4()) {
    in_addr a{htonl(Ipv4Number())};
    inet_ntop(AF_INET, &a, text, sizeof text);
  } else if (Family() == AF_INET6) {
    // The scope of a link-local address goes with it, or it names no interface.
    char host[NI_MAXHOST] = "";
    if (getnameinfo(Raw(), length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) == 0) return host;
  }
  return text;
}

SocketAddress Ipv4Address(uint32_t address, uint16_t port) {
  SocketAddress a;
  auto* in = reinterpret_cast<sockaddr_in*>(&a.storage);
  in->sin_family = AF_INET;
  in->sin_port = htons(port);
  in->sin_addr.s_addr = htonl(address);
  a.length = sizeof(sockaddr_in);
  return a;
}

SocketAddress MappedIpv4Address(uint32_t address, uint16_t port) {
  SocketAddress a;
  auto* in6 = reinterpret_cast<sockaddr_in6*>(&a.storage);
  in6->sin6_family = AF_INET6;
  in6->sin6_port = htons(port);
  uint8_t* b = in6->sin6_addr.s6_addr;
  b[10] = b[11] = 0xFF;
  b[12] = uint8_t(address >> 24);
  b[13] = uint8_t(address >> 16);
  b[14] = uint8_t(address >> 8);
  b[15] = uint8_t(address);
  a.length = sizeof(sockaddr_in6);
  return a;
}

SocketAddress AnyAddress(int family, uint16_t port) {
  if (family != AF_INET6) return Ipv4Address(0, port);
  SocketAddress a;
  auto* in6 = reinterpret_cast<sockaddr_in6*>(&a.storage);
  in6->sin6_family = AF_INET6;
  in6->sin6_port = htons(port);
  a.length = sizeof(sockaddr_in6);
  return a;
}

std::string_view WithoutBrackets(std::string_view host) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') return host.substr(1, host.size() - 2);
  return host;
}

bool ParseAddressLiteral(std::string_view text, uint16_t port, SocketAddress* out) {
  std::string literal(WithoutBrackets(text));
  if (literal.empty() || literal.find('\0') != std::string::npos) return false;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST;  // never a query
  addrinfo* list = nullptr;
  // A lookup that succeeds gives an entry, and a numeric host's address always fits.
  if (getaddrinfo(literal.c_str(), nullptr, &hints, &list) != 0 || !list) return false;  // GCOVR_EXCL_BR_LINE
  bool ok = list->ai_addrlen <= sizeof out->storage;
  if (ok) {  // GCOVR_EXCL_BR_LINE
    *out = SocketAddress{};
    std::memcpy(&out->storage, list->ai_addr, list->ai_addrlen);
    out->length = list->ai_addrlen;
    out->SetPort(port);
  }
  freeaddrinfo(list);
  return ok;
}

namespace {
// getsockname and getpeername alike.
bool AddressOf(int fd, int (*query)(int, sockaddr*, socklen_t*), SocketAddress* out) {
  *out = SocketAddress{};
  out->length = sizeof out->storage;
  if (query(fd, out->Raw(), &out->length) == 0) return true;  // fails on -1 as on any non-socket
  *out = SocketAddress{};
  return false;
}
}  // namespace

bool LocalAddressOf(int fd, SocketAddress* out) { return AddressOf(fd, getsockname, out); }
bool PeerAddressOf(int fd, SocketAddress* out) { return AddressOf(fd, getpeername, out); }

bool SystemHasIpv6() {
  static const bool has = [] {
    int fd = socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    close(fd);
    return true;
  }();  // GCOVR_EXCL_BR_LINE: the guard of a local static, made once on one thread
  return has;
}

int NewSocket(int family, int type, bool v6only) {
  int fd = socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd >= 0 && family == AF_INET6) {
    int flag = v6only ? 1 : 0;
    setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &flag, sizeof flag);
  }
  return fd;
}

int SocketFamily(int fd) {
  int family = 0;
  socklen_t len = sizeof family;
  if (getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &family, &len) != 0) return 0;  // -1 included
  return family;
}

}  // namespace vrx
