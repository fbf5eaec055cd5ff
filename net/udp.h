// UDP endpoints (stream records with the UDP row of operations, in the same table as
// TCP streams) and the ICMP echo.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "net/address.h"
#include "net/streams.h"

namespace vrx {

constexpr int32_t kDatagramBuffer = 2048;  // the largest datagram a receive takes
constexpr int32_t kUdpMaxSize = 548;       // the size 4D is told is safe to send

// A non-blocking UDP socket bound to the port (0 = any); a port that cannot be bound is
// not a failure. Null when the record or socket cannot be made.
StreamRecord* OpenUdp(uint16_t port);
// One datagram to address:port; Failed when it could not be sent.
NetStatus SendDatagram(StreamRecord** slot, std::string_view data, uint32_t address, uint16_t port);
// One datagram to a host given by name or by an address of either family: to its first
// address the endpoint can reach (any, for a dual-stack endpoint; IPv4 ones otherwise).
// NotFound when the name has no such address, Failed when the datagram could not be
// sent. Other processes run while the name is looked up.
NetStatus SendDatagramTo(StreamRecord** slot, std::string_view data, std::string_view host, uint16_t port);
// One whole datagram into `out`, with its sender (an IPv4 one reached through the
// dual-stack socket shows as IPv4-mapped; SocketAddress says what a longint can hold).
// Time-out in seconds: > 0 gives up after that long, < 0 after one attempt, 0 waits
// until a datagram comes. Failed for a time-out, a socket error or a datagram larger than
// the buffer. Other processes run while it waits.
NetStatus ReceiveDatagram(StreamRecord** slot, std::string& out, SocketAddress* from, int32_t timeout);

// The RFC 1071 checksum of the bytes (an odd last byte is summed as if a zero followed).
uint16_t InternetChecksum(std::string_view bytes);
// The echo request of `size` bytes (64 when not positive, at least the 8-byte header).
std::string EchoRequest(int32_t size, uint16_t identifier);
// ICMP echo to the address: Ok with the reply time in *milliseconds; TimedOut when no
// reply came within the time-out (seconds); Failed when the packet cannot be sent or no
// ICMP socket may be made (a raw socket first, else the unprivileged datagram kind).
NetStatus Ping(uint32_t address, int32_t timeout, int32_t size, int32_t* milliseconds);

enum class IcmpSocketKind { kNone, kRaw, kDatagram };
// The kind of ICMP socket a ping would use here.
IcmpSocketKind AvailableIcmpSocket();
// Whether a packet a ping's socket received, from the IPv4 address `from`, answers
// `request` sent to `address`: a raw socket sees every ICMP packet with its IP header, a
// ping (datagram) socket only the replies meant for it, without the header.
bool IsEchoReply(IcmpSocketKind kind, std::string_view packet, std::string_view request, uint32_t from,
                 uint32_t address);

}  // namespace vrx
