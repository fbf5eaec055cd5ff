// UDP endpoints (stream records with the UDP row of operations, in the same table as
// TCP streams) and the ICMP echo.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "net/streams.h"

namespace vrx {

constexpr int32_t kDatagramBuffer = 2048;  // the largest datagram a receive takes
constexpr int32_t kUdpMaxSize = 548;       // the size 4D is told is safe to send

// A non-blocking UDP socket bound to the port (0 = any); a port that cannot be bound is
// not a failure. Null when the record or socket cannot be made.
StreamRecord* OpenUdp(uint16_t port);
// One datagram to address:port; Failed when it could not be sent.
NetStatus SendDatagram(StreamRecord** slot, std::string_view data, uint32_t address, uint16_t port);
// One whole datagram into `out`, with its sender. Time-out in seconds: > 0 gives up after
// that long, < 0 after one attempt, 0 waits until a datagram comes. Failed for a
// time-out, a socket error or a datagram larger than the buffer. Other processes run
// while it waits.
NetStatus ReceiveDatagram(StreamRecord** slot, std::string& out, uint32_t* address, uint16_t* port,
                        int32_t timeout);

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

}  // namespace vrx
