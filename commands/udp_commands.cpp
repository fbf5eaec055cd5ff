// UDP endpoints and ICMP echo as commands.
#include "commands/handlers.h"
#include "commands/stream_result.h"
#include "net/udp.h"

namespace vrx {


namespace {

// The UDP endpoint named by $1, or null for a bad reference or a TCP stream.
StreamRecord** UdpParam(const Call& c) {
  StreamRecord** slot = StreamArg(c);
  return slot && (*slot)->ops->kind == kKindUdp ? slot : nullptr;
}

}  // namespace

void OpenUdpCommand(const Call& c) {
  c.ResultLong(AdoptStream(c.g->streams, OpenUdp(uint16_t(c.Long(1)))));
}

void CloseUdpCommand(const Call& c) {
  if (!UdpParam(c)) return c.ResultLong(-1);
  // A receive waiting on it in another process keeps it, as a release would.
  c.ResultLong(StreamResult(ReleaseStreamRef(c.g->streams, c.Long(1), -1)));
}

void SendUdpCommand(const Call& c) {
  StreamRecord** slot = UdpParam(c);
  if (!slot) return c.ResultLong(-1);
  c.ResultLong(StreamResult(SendDatagram(slot, c.TextBytes(2), uint32_t(c.Long(3)), uint16_t(c.Long(4)))));
}

void ReceiveUdpCommand(const Call& c) {
  StreamRecord** slot = UdpParam(c);
  if (!slot) return c.ResultLong(-1);
  std::string datagram;
  SocketAddress from;
  NetStatus r = ReceiveDatagram(slot, datagram, &from, c.Long(6));
  if (r == NetStatus::Ok) {
    // Without memory for the text the datagram is lost: say so.
    if (!c.SetText(2, datagram)) return c.ResultLong(platform::kMemFullErr);
    // An IPv6 sender has no longint address: 0, never a wrong one.
    c.SetLong(3, int32_t(from.Ipv4Number()));
    c.SetLong(4, from.Port());
  }
  c.ResultLong(StreamResult(r));
}

void SendUdpToCommand(const Call& c) {
  StreamRecord** slot = UdpParam(c);
  if (!slot) return c.ResultLong(-1);
  c.ResultLong(StreamResult(SendDatagramTo(slot, c.TextBytes(2), c.TextBytes(3), uint16_t(c.Long(4)))));
}

void ReceiveUdpFromCommand(const Call& c) {
  StreamRecord** slot = UdpParam(c);
  if (!slot) return c.ResultLong(-1);
  std::string datagram;
  SocketAddress from;
  NetStatus r = ReceiveDatagram(slot, datagram, &from, c.Long(5));
  if (r == NetStatus::Ok) {
    if (!c.SetText(2, datagram) || !c.SetText(3, from.Text())) return c.ResultLong(platform::kMemFullErr);
    c.SetLong(4, from.Port());
  }
  c.ResultLong(StreamResult(r));
}

void GetUdpMaxSizeCommand(const Call& c) { c.ResultLong(kUdpMaxSize); }

void PingCommand(const Call& c) {
  int32_t milliseconds = 0;
  c.ResultLong(Ping(uint32_t(c.Long(1)), c.Long(2), c.Long(3), &milliseconds) == NetStatus::Ok ? milliseconds
                                                                                              : -1);
}

}  // namespace vrx
