// Socket addresses of either family: literals, their text, and what the longint addresses
// of the older commands can say about them.
//
// A longint holds an IPv4 address only. An IPv4 peer reached through a dual-stack socket
// shows as an IPv4-mapped IPv6 address (::ffff:192.0.2.1); it keeps its IPv4 number. A
// real IPv6 address has no number: it gives 0 ("none"), never a wrong one.
#pragma once
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vrx {

struct SocketAddress {
  sockaddr_storage storage{};
  socklen_t length = 0;

  int Family() const { return storage.ss_family; }
  sockaddr* Raw() { return reinterpret_cast<sockaddr*>(&storage); }
  const sockaddr* Raw() const { return reinterpret_cast<const sockaddr*>(&storage); }
  uint16_t Port() const;
  void SetPort(uint16_t port);
  // An IPv4 address, or an IPv4-mapped IPv6 one.
  bool IsIpv4() const;
  // The IPv4 number in host byte order (first dotted number highest); 0 for an IPv6
  // address that is not IPv4-mapped, and for no address.
  uint32_t Ipv4Number() const;
  // "192.0.2.1" or "2001:db8::1"; an IPv4-mapped address in its IPv4 form; empty for none.
  std::string Text() const;
};

// An IPv4 address and port (host byte order).
SocketAddress Ipv4Address(uint32_t address, uint16_t port);
// The same address as a dual-stack IPv6 socket reaches it (::ffff:a.b.c.d).
SocketAddress MappedIpv4Address(uint32_t address, uint16_t port);
// Every local address of the family (0.0.0.0 or ::) with the port.
SocketAddress AnyAddress(int family, uint16_t port);

// A host as written in a URL: "[2001:db8::1]" names the address inside the brackets.
std::string_view WithoutBrackets(std::string_view host);
// A numeric address of either family (brackets allowed, no resolver asked); false when
// the text is not one.
bool ParseAddressLiteral(std::string_view text, uint16_t port, SocketAddress* out);

// The local and the peer address of a socket; false when it has none.
bool LocalAddressOf(int fd, SocketAddress* out);
bool PeerAddressOf(int fd, SocketAddress* out);

// Whether this system makes IPv6 sockets; looked at once. Where it does not, listening
// and datagram sockets are IPv4 only.
bool SystemHasIpv6();

// A new socket of the family, non-blocking and closed on exec; an IPv6 socket is
// dual-stack (IPv4 peers reach it as mapped addresses) unless `v6only`. -1 on failure.
int NewSocket(int family, int type, bool v6only = false);
// The family of a socket's addresses (AF_INET, AF_INET6); 0 when it has none.
int SocketFamily(int fd);

}  // namespace vrx
