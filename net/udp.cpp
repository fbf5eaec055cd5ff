#include "net/udp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "net/address.h"
#include "net/layer.h"
#include "net/resolver.h"
#include "platform/guards.h"
#include "platform/services.h"

namespace vrx {
namespace {

constexpr int32_t kDefaultEchoSize = 64;
constexpr int32_t kEchoHeader = 8;
constexpr int32_t kLargestEcho = 65535 - 20;  // what fits in one IPv4 packet
constexpr uint16_t kEchoIdentifier = 1;
constexpr uint8_t kEchoRequestType = 8;
constexpr uint8_t kEchoReplyType = 0;

int OpenIcmpSocket(IcmpSocketKind* kind) {
  int fd = socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
  if (fd >= 0) {
    *kind = IcmpSocketKind::kRaw;
    return fd;
  }
  // Without the right to raw sockets, the kernel's ping socket (when the system allows
  // it for this group) does the same, without IP headers and with its own identifier.
  fd = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP);
  *kind = fd >= 0 ? IcmpSocketKind::kDatagram : IcmpSocketKind::kNone;
  return fd;
}

// A datagram endpoint has no byte stream: the stream operations refuse it.
NetStatus NoStreamSend(StreamRecord**, const uint8_t*, size_t, size_t) {
  return NetStatus::Failed;
}
NetStatus NoStreamReceive(StreamRecord**, std::string& out, int32_t) {
  out.clear();
  return NetStatus::Failed;
}
int32_t NoStreamPending(StreamRecord*) { return 0; }
// Only a connection moves past state 0 and takes steps or sees its peer's end.
void NoStreamStep(StreamRecord*) {}  // GCOVR_EXCL_LINE
void NoStreamClose(StreamRecord*, bool) {}
int32_t NoStreamEnded(StreamRecord* record) { return record->state; }  // GCOVR_EXCL_LINE

}  // namespace

const StreamOps kUdpEndpoint = {kKindUdp,      NoStreamSend,  NoStreamReceive, NoStreamPending, NoStreamStep,
                                NoStreamClose, NoStreamEnded, kStateClosed,    false};

StreamRecord* OpenUdp(uint16_t port) {
  auto* record = new (std::nothrow) StreamRecord;
  if (!record) return nullptr;
  // One dual-stack socket hears senders of both families.
  const int family = SystemHasIpv6() ? AF_INET6 : AF_INET;
  int fd = NewSocket(family, SOCK_DGRAM);
  if (fd < 0) {
    delete record;  // GCOVR_EXCL_BR_LINE: delete's test for null; record is not
    return nullptr;
  }
  // A port that cannot be had is not reported: the endpoint then sends from a port the
  // system chooses.
  SocketAddress sa = AnyAddress(family, port);
  bind(fd, sa.Raw(), sa.length);
  record->socket = fd;
  record->ops = &kUdpEndpoint;
  return record;
}

namespace {

NetStatus SendOne(int fd, std::string_view data, const SocketAddress& to) {
  ssize_t r;
  do r = sendto(fd, data.data(), data.size(), MSG_NOSIGNAL | MSG_DONTWAIT, to.Raw(), to.length);
  while (r < 0 && errno == EINTR);
  return r < 0 ? NetStatus::Failed : NetStatus::Ok;
}

}  // namespace

NetStatus SendDatagram(StreamRecord** slot, std::string_view data, uint32_t address, uint16_t port) {
  if (!slot || !*slot) return NetStatus::Ok;  // GCOVR_EXCL_BR_LINE: callers pass an endpoint's slot
  // A dual-stack socket reaches an IPv4 address through its mapped form.
  SocketAddress to = SocketFamily((*slot)->socket) == AF_INET6 ? MappedIpv4Address(address, port)
                                                                : Ipv4Address(address, port);
  return SendOne((*slot)->socket, data, to);
}

NetStatus SendDatagramTo(StreamRecord** slot, std::string_view data, std::string_view host, uint16_t port) {
  if (!slot || !*slot) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE: callers pass an endpoint's slot
  // The lookup waits: the bytes and the name are the caller's copies, the slot is read
  // again after it.
  std::vector<SocketAddress> found;
  if (ResolveName(std::string(host), &found) != 0) return NetStatus::NotFound;
  StreamRecord* record = *slot;
  if (!record) return NetStatus::Failed;
  const bool dualStack = SocketFamily(record->socket) == AF_INET6;
  for (const SocketAddress& a : found) {
    if (!dualStack && !a.IsIpv4()) continue;
    SocketAddress to = a;
    if (dualStack && a.Family() == AF_INET) to = MappedIpv4Address(a.Ipv4Number(), 0);
    if (!dualStack && a.Family() == AF_INET6) to = Ipv4Address(a.Ipv4Number(), 0);
    to.SetPort(port);
    return SendOne(record->socket, data, to);
  }
  return NetStatus::NotFound;
}

NetStatus ReceiveDatagram(StreamRecord** slot, std::string& out, SocketAddress* sender, int32_t timeout) {
  if (!slot || !*slot) return NetStatus::Failed;  // GCOVR_EXCL_BR_LINE: callers pass an endpoint's slot
  // Seconds; 0 waits for ever, a negative time-out has passed already.
  const Deadline deadline = timeout == 0 ? Deadline{} : Deadline::After(timeout > 0 ? int64_t(timeout) * 60 : 0);
  char buffer[kDatagramBuffer];
  for (;;) {
    StreamRecord* record = *slot;
    if (!record) return NetStatus::Failed;
    SocketAddress from;
    from.length = sizeof from.storage;
    // MSG_TRUNC gives a datagram's real length, so one larger than the buffer is found.
    ssize_t r = recvfrom(record->socket, buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC, from.Raw(), &from.length);
    if (r >= 0) {
      if (r > kDatagramBuffer) return NetStatus::Failed;
      out.assign(buffer, size_t(r));
      *sender = from;
      return NetStatus::Ok;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return NetStatus::Failed;
    if (deadline.set && !TickAfter(deadline.at, platform::TickCount())) return NetStatus::Failed;
    IdleWait(slot, POLLIN, deadline);
  }
}

bool IsEchoReply(IcmpSocketKind kind, std::string_view packet, std::string_view request, uint32_t from,
                 uint32_t address) {
  const auto* p = reinterpret_cast<const uint8_t*>(packet.data());
  const size_t n = packet.size();
  if (kind == IcmpSocketKind::kDatagram) return n >= size_t(kEchoHeader) && p[0] == kEchoReplyType;
  if (n < 20) return false;
  size_t header = (p[0] & 0x0Fu) * 4;
  if (header < 20 || n < header + kEchoHeader) return false;
  return p[header] == kEchoReplyType && p[header + 4] == uint8_t(request[4]) &&
         p[header + 5] == uint8_t(request[5]) && from == address;
}

uint16_t InternetChecksum(std::string_view bytes) {
  uint64_t sum = 0;
  size_t n = bytes.size();
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  for (size_t i = 0; i + 1 < n; i += 2) sum += uint32_t(p[i]) << 8 | p[i + 1];
  if (n % 2) sum += uint32_t(p[n - 1]) << 8;
  while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
  return uint16_t(~sum);
}

std::string EchoRequest(int32_t size, uint16_t identifier) {
  if (size <= 0) size = kDefaultEchoSize;
  // The header is always there, however small the size asked for.
  std::string packet(size_t(std::max(size, kEchoHeader)), '\0');
  packet[0] = char(kEchoRequestType);
  packet[4] = char(identifier & 0xFF);
  packet[5] = char(identifier >> 8);
  uint16_t sum = InternetChecksum(packet);
  packet[2] = char(sum >> 8);
  packet[3] = char(sum & 0xFF);
  return packet;
}

IcmpSocketKind AvailableIcmpSocket() {
  IcmpSocketKind kind;
  Fd s{OpenIcmpSocket(&kind)};
  return kind;
}

NetStatus Ping(uint32_t address, int32_t timeout, int32_t size, int32_t* milliseconds) {
  if (size > kLargestEcho) return NetStatus::Failed;  // cannot be sent
  IcmpSocketKind kind;
  Fd s{OpenIcmpSocket(&kind)};
  if (s.fd < 0) return NetStatus::Failed;
  const std::string request = EchoRequest(size, kEchoIdentifier);
  const uint32_t start = platform::Milliseconds();
  const SocketAddress to = Ipv4Address(address, 0);
  ssize_t sent;
  do sent = sendto(s.fd, request.data(), request.size(), MSG_NOSIGNAL, to.Raw(), to.length);
  while (sent < 0 && errno == EINTR);
  if (sent < 0) return NetStatus::Failed;  // no reply can come
  const uint32_t limit = uint32_t(std::clamp<int64_t>(int64_t(timeout) * 1000, 0, INT32_MAX));
  uint8_t reply[kDatagramBuffer];
  for (;;) {
    uint32_t elapsed = platform::Milliseconds() - start;
    if (elapsed >= limit) return NetStatus::TimedOut;
    sockaddr_in from{};
    socklen_t length = sizeof from;
    ssize_t r = recvfrom(s.fd, reply, sizeof reply, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from),
                         &length);
    if (r > 0 && IsEchoReply(kind, std::string_view(reinterpret_cast<const char*>(reply), size_t(r)), request,
                             ntohl(from.sin_addr.s_addr), address)) {
      *milliseconds = int32_t(platform::Milliseconds() - start);
      return NetStatus::Ok;
    }
    if (r > 0) continue;  // another packet: look again at once
    int32_t wait = std::clamp<int32_t>(int32_t((limit - elapsed) * 60 / 1000) + 1, 1, kIdleWaitTicks);
    platform::WaitHint(s.fd, POLLIN);
    HostWait(wait);
  }
}

}  // namespace vrx
