// The stream layer's operations on real loopback sockets, without the host: records,
// states, shared listeners, opens, receive buffers, names.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "net/layer.h"
#include "net/socket_layer.h"
#include "net/streams.h"
#include "platform/services.h"

namespace vrx {
namespace {

// What VRX_SendText answers: the bytes collected, or the send's 0 / -1.
int32_t Buffered(StreamRecord** slot, std::string_view bytes, int16_t threshold) {
  Buffering how;
  NetStatus s = BufferedSend(slot, bytes, threshold, &how);
  return how.collected ? how.held : s == NetStatus::Ok ? 0 : -1;
}

constexpr uint32_t kLoopback = 0x7F000001;

// A peer outside the layer: a plain blocking socket.
int ConnectRaw(uint16_t port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = htonl(kLoopback);
  if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int ListenRaw(uint16_t* port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(kLoopback);
  bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  listen(fd, 16);
  socklen_t len = sizeof sa;
  getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
  *port = ntohs(sa.sin_port);
  return fd;
}

// A port nothing listens on: bound and closed again.
uint16_t ClosedPort() {
  uint16_t port = 0;
  close(ListenRaw(&port));
  return port;
}

// A receive's byte count, -1 for a failure.
int32_t Take(StreamRecord** slot, std::string& out, int32_t maximum) {
  return ReceiveChunk(slot, out, maximum) == NetStatus::Ok ? int32_t(out.size()) : -1;
}

// The unread length after putting bytes back, -1 for a failure.
int32_t PutBack(StreamRecord** slot, std::string_view bytes, bool front) {
  int32_t n = -1;
  return UnreadBytes(slot, bytes, front, &n) == NetStatus::Ok ? n : -1;
}

int32_t Info(StreamRecord** slot, int32_t code) {
  int32_t v = -1;
  return StreamInfo(slot, code, &v) == NetStatus::Ok ? v : -1;
}

uint16_t LocalPortOf(StreamRecord* r) {
  StreamAddressInfo info;
  EXPECT_EQ(NetStatus::Ok, StreamAddresses(&r, &info));
  return info.localPort;
}

// Polls until the stream reaches `state` or gives up after about two seconds, sleeping
// in poll on the stream's socket between attempts.
int32_t PollUntil(StreamRecord* r, int32_t state) {
  int32_t s = PollStream(r, 0);
  for (int i = 0; i < 200 && s != state; ++i) {
    pollfd p{r->socket, POLLIN | POLLOUT, 0};
    poll(&p, 1, 10);
    s = PollStream(r, 0);
  }
  return s;
}

void WaitReadable(int fd) {
  pollfd p{fd, POLLIN, 0};
  poll(&p, 1, 2000);
}

class StreamLayer : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(StartSocketLayer(), 0); }
  void TearDown() override {
    for (StreamRecord*& r : records_) (void)CloseAndFreeRecord(&r, -1);
    StopSocketLayer();
  }
  StreamRecord* Keep(StreamRecord* r) {
    records_.push_back(r);
    return r;
  }
  // A connected pair: the layer's active stream and the raw peer it reached.
  StreamRecord* Connected(int* peer) {
    uint16_t port = 0;
    int server = ListenRaw(&port);
    StreamRecord* r = Keep(OpenActive("127.0.0.1", port, 0, 0, 0, 0));
    *peer = accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
    close(server);
    EXPECT_EQ(PollUntil(r, kStateEstablished), kStateEstablished);
    return r;
  }
  std::vector<StreamRecord*> records_;
};

TEST_F(StreamLayer, StatesNeverDecreaseAndCloseAfterPeerCloseGivesBothClosed) {
  StreamRecord* r = Keep(CreateTcpRecord(0));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(PollStream(r, 0), kStateClosed);
  r->state = kStatePeerClosed;
  EXPECT_EQ(PollStream(r, kStateConnecting), kStatePeerClosed);
  EXPECT_EQ(PollStream(r, kStateLocalClosed), kStateBothClosed);
}

TEST_F(StreamLayer, ActiveOpenReachesEstablishedAndCountsAndAddresses) {
  NetworkStatistics before = Statistics();
  int peer = -1;
  StreamRecord* r = Connected(&peer);
  ASSERT_GE(peer, 0);
  EXPECT_EQ(Statistics().activeOpens, before.activeOpens + 1);
  EXPECT_EQ(Statistics().connectionsCompleted, before.connectionsCompleted + 1);
  StreamAddressInfo info;
  ASSERT_EQ(StreamAddresses(&r, &info), NetStatus::Ok);
  EXPECT_EQ(info.remoteAddress, kLoopback);
  EXPECT_EQ(info.localAddress, kLoopback);
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  getpeername(peer, reinterpret_cast<sockaddr*>(&sa), &len);
  EXPECT_EQ(info.localPort, ntohs(sa.sin_port));
  close(peer);
}

TEST_F(StreamLayer, ActiveOpenBindsItsLocalPortFirst) {
  uint16_t port = 0;
  int server = ListenRaw(&port);
  uint16_t local = ClosedPort();
  StreamRecord* r = Keep(OpenActive("localhost", port, 0, 0, local, kLoopback));
  ASSERT_NE(r, nullptr);
  int peer = accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  getpeername(peer, reinterpret_cast<sockaddr*>(&sa), &len);
  EXPECT_EQ(ntohs(sa.sin_port), local);
  EXPECT_EQ(LocalPortOf(r), local);
  close(peer);
  close(server);
}

TEST_F(StreamLayer, RefusedConnectBecomesBrokenNeverEstablished) {
  NetworkStatistics before = Statistics();
  StreamRecord* r = Keep(OpenActive("127.0.0.1", ClosedPort(), 0, 0, 0, 0));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(PollUntil(r, kStateBroken), kStateBroken);
  StreamAddressInfo info;
  EXPECT_EQ(StreamAddresses(&r, &info), NetStatus::Ok);
  EXPECT_EQ(info.remoteText, "");  // never connected: no peer
  EXPECT_EQ(info.remotePort, 0);
  // Counted as an open even though it failed; never as a completed connection.
  EXPECT_EQ(Statistics().activeOpens, before.activeOpens + 1);
  EXPECT_EQ(Statistics().connectionsCompleted, before.connectionsCompleted);
}

TEST_F(StreamLayer, OpensThatCannotStartCreateNothing) {
  EXPECT_EQ(OpenActive("no-such-host.invalid", 80, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(OpenActive(std::string_view("127.0.0.1\0x", 11), 80, 0, 0, 0, 0), nullptr);
  EXPECT_EQ(OpenActive("255.255.255.255", 80, 0, 0, 0, 0), nullptr);  // no host's address
  // A local bind that cannot succeed (an address not on this machine) fails the open.
  EXPECT_EQ(OpenActive("127.0.0.1", 80, 0, 0, 0, 0xC0000201), nullptr);
  // A port held by another program cannot be listened on.
  uint16_t port = 0;
  int held = ListenRaw(&port);
  EXPECT_EQ(OpenPassive(port, 0, 0, kLoopback), nullptr);
  close(held);
}

TEST_F(StreamLayer, ListensOnOnePortShareOneSocketAndAcceptInOrder) {
  StreamRecord* a = Keep(OpenPassive(0, 0, 0, kLoopback));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->state, kStateListening);
  uint16_t port = LocalPortOf(a);
  StreamRecord* b = Keep(OpenPassive(port, 0, 0, kLoopback));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(a->socket, b->socket);
  EXPECT_EQ(a->listenerSlot, b->listenerSlot);
  EXPECT_EQ(ListenerUsers(a->listenerSlot), 2);
  // Another local address on the same port gets a socket of its own.
  StreamRecord* other = Keep(OpenPassive(port, 0, 0, 0x7F000002));
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other->socket, a->socket);

  int c1 = ConnectRaw(port);
  int c2 = ConnectRaw(port);
  ASSERT_GE(c1, 0);
  ASSERT_GE(c2, 0);
  // The notification path hands pending connections out in the order of the opens.
  AcceptPending();
  EXPECT_EQ(a->state, kStateEstablished);
  EXPECT_EQ(b->state, kStateEstablished);
  ASSERT_EQ(write(c1, "1", 1), 1);
  ASSERT_EQ(write(c2, "2", 1), 1);
  std::string got;
  WaitReadable(a->socket);
  ASSERT_EQ(Take(&a, got, 0), 1);
  EXPECT_EQ(got, "1");
  WaitReadable(b->socket);
  ASSERT_EQ(Take(&b, got, 0), 1);
  EXPECT_EQ(got, "2");
  close(c1);
  close(c2);
}

TEST_F(StreamLayer, PolledListenerTakesTheNextConnection) {
  StreamRecord* a = Keep(OpenPassive(0, 0, 0, kLoopback));
  uint16_t port = LocalPortOf(a);
  StreamRecord* b = Keep(OpenPassive(port, 0, 0, kLoopback));
  int c = ConnectRaw(port);
  // Whichever waiting stream is polled first gets it.
  EXPECT_EQ(PollUntil(b, kStateEstablished), kStateEstablished);
  EXPECT_EQ(PollStream(a, 0), kStateListening);
  EXPECT_EQ(b->listenerSlot, 0);
  EXPECT_EQ(ListenerUsers(a->listenerSlot), 1);
  close(c);
}

TEST_F(StreamLayer, SharedListenerLingersUnlessReleasedWithModeTwo) {
  platform::UseTestClock(true);
  StreamRecord* a = OpenPassive(0, 0, 0, kLoopback);
  uint16_t port = LocalPortOf(a);
  StreamRecord* b = OpenPassive(port, 0, 0, kLoopback);
  int slot = a->listenerSlot;
  int fd = a->socket;
  uint32_t releasedBefore = Statistics().listenersReleased;
  EXPECT_EQ(CloseAndFreeRecord(&a, 0), NetStatus::Ok);
  EXPECT_EQ(a, nullptr);
  EXPECT_EQ(CloseAndFreeRecord(&b, 0), NetStatus::Ok);
  EXPECT_EQ(Statistics().listenersReleased, releasedBefore + 2);
  // Shared, so it stays for 30 seconds after its last user.
  EXPECT_EQ(ListenerSocket(slot), fd);
  int early = ConnectRaw(port);
  EXPECT_GE(early, 0);
  // A listen in that time takes it over, with the connection queued on it.
  StreamRecord* c = Keep(OpenPassive(port, 0, 0, kLoopback));
  EXPECT_EQ(c->state, kStateEstablished);
  close(early);

  // Next round: the last user leaves, time passes, any poll closes the socket.
  StreamRecord* d = OpenPassive(port, 0, 0, kLoopback);
  StreamRecord* e = OpenPassive(port, 0, 0, kLoopback);
  slot = d->listenerSlot;
  EXPECT_EQ(NetStatus::Ok, CloseAndFreeRecord(&d, 0));
  EXPECT_EQ(NetStatus::Ok, CloseAndFreeRecord(&e, 0));
  ASSERT_GE(ListenerSocket(slot), 0);
  platform::AdvanceTestClock(kLingerTicks + 2);
  PollStream(c, 0);
  EXPECT_EQ(ListenerSocket(slot), -1);
  EXPECT_LT(ConnectRaw(port), 0);

  // Mode 2 closes a shared socket at once.
  StreamRecord* f = OpenPassive(port, 0, 0, kLoopback);
  StreamRecord* g = OpenPassive(port, 0, 0, kLoopback);
  slot = f->listenerSlot;
  EXPECT_EQ(NetStatus::Ok, CloseAndFreeRecord(&f, 0));
  EXPECT_EQ(NetStatus::Ok, CloseAndFreeRecord(&g, 2));
  EXPECT_EQ(ListenerSocket(slot), -1);

  // Two listeners left at different times: each closes when its own time is over.
  StreamRecord* h = OpenPassive(port, 0, 0, kLoopback);
  StreamRecord* i = OpenPassive(port, 0, 0, kLoopback);
  StreamRecord* j = OpenPassive(0, 0, 0, kLoopback);
  StreamRecord* k = OpenPassive(LocalPortOf(j), 0, 0, kLoopback);
  int first = h->listenerSlot, second = j->listenerSlot;
  EXPECT_EQ(NetStatus::Ok, CloseAndFreeRecord(&h, 0));
  EXPECT_EQ(NetStatus::Ok, CloseAndFreeRecord(&i, 0));
  platform::AdvanceTestClock(kLingerTicks / 2);
  EXPECT_EQ(NetStatus::Ok, CloseAndFreeRecord(&j, 0));
  EXPECT_EQ(NetStatus::Ok, CloseAndFreeRecord(&k, 0));
  platform::AdvanceTestClock(kLingerTicks / 2 + 2);
  PollStream(c, 0);
  EXPECT_EQ(ListenerSocket(first), -1);
  EXPECT_GE(ListenerSocket(second), 0);
  platform::AdvanceTestClock(kLingerTicks + 2);
  PollStream(c, 0);
  EXPECT_EQ(ListenerSocket(second), -1);
  for (int outside : {0, kListenerCount + 1}) {
    EXPECT_EQ(ListenerSocket(outside), -1);
    EXPECT_EQ(ListenerUsers(outside), 0);
  }
  platform::UseTestClock(false);
}

TEST_F(StreamLayer, UnsharedListenerClosesWhenItsStreamAccepts) {
  StreamRecord* a = Keep(OpenPassive(0, 0, 0, kLoopback));
  int slot = a->listenerSlot;
  int c = ConnectRaw(LocalPortOf(a));
  EXPECT_EQ(PollUntil(a, kStateEstablished), kStateEstablished);
  EXPECT_EQ(ListenerSocket(slot), -1);
  EXPECT_EQ(Statistics().connectionsAccepted > 0, true);
  close(c);
}

TEST_F(StreamLayer, PeerHalfCloseWithUnreadBytesStaysEstablishedUntilRead) {
  int peer = -1;
  StreamRecord* r = Connected(&peer);
  ASSERT_EQ(write(peer, "hello", 5), 5);
  shutdown(peer, SHUT_WR);
  WaitReadable(r->socket);
  EXPECT_EQ(PollStream(r, 0), kStateEstablished);
  std::string got;
  EXPECT_EQ(Take(&r, got, 0), 5);
  EXPECT_EQ(got, "hello");
  PutBack(&r, "lo", false);
  EXPECT_EQ(PollStream(r, 0), kStateEstablished);  // put-back bytes count too
  EXPECT_EQ(Take(&r, got, 0), 2);
  EXPECT_EQ(PollStream(r, 0), kStatePeerClosed);
  // Still writable towards a peer that only half-closed.
  EXPECT_EQ(SendText(&r, "bye"), NetStatus::Ok);
  char buf[8];
  EXPECT_EQ(read(peer, buf, sizeof buf), 3);
  EXPECT_EQ(CloseStream(&r), NetStatus::Ok);
  EXPECT_EQ(r->state, kStateBothClosed);
  close(peer);
}

TEST_F(StreamLayer, PeerResetBreaksTheStream) {
  int peer = -1;
  StreamRecord* r = Connected(&peer);
  // An abortive close: the peer's system sends a reset.
  linger lg{1, 0};
  setsockopt(peer, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
  close(peer);
  EXPECT_EQ(PollUntil(r, kStateBroken), kStateBroken);
  std::string got;
  EXPECT_EQ(Take(&r, got, 0), 0);
  EXPECT_EQ(SendText(&r, "x"), NetStatus::Failed);
  EXPECT_EQ(r->state, kStateBroken);
}

TEST_F(StreamLayer, ResetSeenByAReceiveBreaksTheStream) {
  int peer = -1;
  StreamRecord* r = Connected(&peer);
  linger lg{1, 0};
  setsockopt(peer, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
  close(peer);
  pollfd p{r->socket, POLLIN, 0};
  poll(&p, 1, 2000);
  std::string got;
  EXPECT_EQ(Take(&r, got, 0), -1);
  EXPECT_EQ(r->state, kStateBroken);
}

TEST_F(StreamLayer, ReceiveServesPutBackBytesFirstInStreamOrder) {
  int peer = -1;
  StreamRecord* r = Connected(&peer);
  ASSERT_EQ(write(peer, "NET", 3), 3);
  WaitReadable(r->socket);
  EXPECT_EQ(PutBack(&r, "BB", false), 2);
  EXPECT_EQ(PutBack(&r, "AA", true), 4);
  EXPECT_EQ(PutBack(&r, "CC", false), 6);
  EXPECT_EQ(BytesAvailable(&r), 9);
  std::string got;
  EXPECT_EQ(Take(&r, got, 3), 3);
  EXPECT_EQ(got, "AAB");
  EXPECT_EQ(Take(&r, got, 0), 3);
  EXPECT_EQ(got, "BCC");
  EXPECT_EQ(Take(&r, got, 2), 2);
  EXPECT_EQ(got, "NE");
  EXPECT_EQ(Take(&r, got, 0), 1);
  EXPECT_EQ(got, "T");
  EXPECT_EQ(Take(&r, got, 0), 0);
  close(peer);
}

TEST_F(StreamLayer, PutBackBeyondATextsLengthIsKeptWhole) {
  int peer = -1;
  StreamRecord* r = Connected(&peer);
  std::string big(70000, 'x');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char('a' + i % 26);
  EXPECT_EQ(PutBack(&r, big, true), 70000);
  EXPECT_EQ(BytesAvailable(&r), 70000);
  std::string all, got;
  for (int i = 0; i < 10 && all.size() < big.size(); ++i) {
    ASSERT_GT(Take(&r, got, 0), 0);
    EXPECT_LE(got.size(), size_t(kMaxReceive));
    all += got;
  }
  EXPECT_EQ(all, big);
  close(peer);
}

TEST_F(StreamLayer, OutputBufferCollectsByThresholdAndReceiveFlushesIt) {
  int peer = -1;
  StreamRecord* r = Connected(&peer);
  std::string hundred(100, 'h');
  EXPECT_EQ(Buffered(&r, hundred, 10), 100);
  EXPECT_EQ(Buffered(&r, hundred, 10), 200);
  EXPECT_EQ(Buffered(&r, hundred, 10), 300);
  EXPECT_EQ(r->bytesSent, 0u);
  EXPECT_EQ(Buffered(&r, {}, 10), 0);  // an empty text flushes
  EXPECT_EQ(r->bytesSent, 300u);
  // Above 255 the threshold is a byte count.
  EXPECT_EQ(Buffered(&r, std::string(600, 'k'), 1000), 600);
  EXPECT_EQ(Buffered(&r, std::string(600, 'k'), 1000), 0);
  EXPECT_EQ(r->bytesSent, 1500u);
  // More than 4096 bytes always go.
  EXPECT_EQ(Buffered(&r, std::string(5000, 'z'), 1), 0);
  EXPECT_EQ(r->bytesSent, 6500u);
  // Collected bytes leave before a receive reads.
  EXPECT_EQ(Buffered(&r, "ping", 1), 4);
  std::string got;
  EXPECT_EQ(NetStatus::Ok, ReceiveChunk(&r, got, 0));
  EXPECT_EQ(r->output.size(), 0u);
  EXPECT_EQ(r->bytesSent, 6504u);
  // A negative threshold sends at once rather than dropping the text.
  EXPECT_EQ(Buffered(&r, "now", -3), 0);
  EXPECT_EQ(r->bytesSent, 6507u);
  std::string all;
  char buf[8192];
  while (all.size() < 6507) {
    WaitReadable(peer);
    ssize_t n = read(peer, buf, sizeof buf);
    if (n <= 0) break;
    all.append(buf, size_t(n));
  }
  EXPECT_EQ(all.size(), 6507u);
  EXPECT_EQ(all.substr(6500), "pingnow");
  // What is held leaves first when a text would take the buffer past 32000 bytes.
  EXPECT_EQ(Buffered(&r, std::string(4000, 'x'), 4096), 4000);
  EXPECT_EQ(Buffered(&r, std::string(30000, 'y'), 4096), 0);
  EXPECT_EQ(r->bytesSent, 6507u + 34000u);
  all.clear();
  while (all.size() < 34000) {
    WaitReadable(peer);
    ssize_t n = read(peer, buf, sizeof buf);
    if (n <= 0) break;
    all.append(buf, size_t(n));
  }
  EXPECT_EQ(all, std::string(4000, 'x') + std::string(30000, 'y'));
  // The send that needed that flush fails with it.
  EXPECT_EQ(Buffered(&r, "held", 1), 4);
  linger reset{1, 0};
  setsockopt(peer, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  close(peer);
  WaitReadable(r->socket);
  EXPECT_EQ(Buffered(&r, std::string(32000, 'w'), 1), -1);
  EXPECT_EQ(PollStream(r, 0), kStateBroken);
}

TEST_F(StreamLayer, InfoCodesAndNetworkValues) {
  int peer = -1;
  StreamRecord* r = Connected(&peer);
  EXPECT_EQ(SendText(&r, "abc"), NetStatus::Ok);
  EXPECT_EQ(Info(&r, 0), kStateEstablished);
  EXPECT_EQ(Info(&r, 17), 3);
  EXPECT_EQ(Info(&r, 24), 3);
  EXPECT_EQ(Info(&r, 14), 0);
  EXPECT_EQ(Info(&r, 1), -1);
  EXPECT_EQ(NetworkValue(5), 1024);
  EXPECT_EQ(NetworkValue(13), 0);
  EXPECT_EQ(NetworkValue(4), 0);
  EXPECT_GE(NetworkValue(12), 3);
  // Codes 6..12 are the layer's counters in order; this test made and completed an open.
  const NetworkStatistics& st = Statistics();
  const uint32_t counters[] = {st.activeOpens,       st.connectionsCompleted, st.connectionsAccepted, st.gracefulCloses,
                               st.listenersReleased, st.bytesReceived,        st.bytesSent};
  for (int32_t code = 6; code <= 12; ++code) EXPECT_EQ(uint32_t(NetworkValue(code)), counters[code - 6]) << code;
  EXPECT_GE(NetworkValue(7), 1);
  r->ops = &kUdpEndpoint;
  EXPECT_EQ(Info(&r, 0), -1);
  r->ops = &kPlainStream;
  StreamRecord* none = nullptr;
  EXPECT_EQ(Info(&none, 0), -1);
  close(peer);
}

TEST_F(StreamLayer, CloseOfAListeningStreamDoesNothing) {
  StreamRecord* a = Keep(OpenPassive(0, 0, 0, kLoopback));
  EXPECT_EQ(CloseStream(&a), NetStatus::Ok);
  EXPECT_EQ(PollStream(a, 0), kStateListening);
  StreamAddressInfo info;
  EXPECT_EQ(NetStatus::Ok, StreamAddresses(&a, &info));
  EXPECT_EQ(info.remoteAddress, 0u);
  EXPECT_EQ(info.remotePort, 0);
  EXPECT_NE(info.localPort, 0);
}

TEST(Names, DottedAddressesAndNames) {
  EXPECT_EQ(NameToAddress("10.0.0.1"), 167772161u);
  EXPECT_EQ(NameToAddress("255.255.255.255"), 0u);
  EXPECT_EQ(NameToAddress("localhost"), kLoopback);
  EXPECT_EQ(NameToAddress("no-such-host.invalid"), 0u);
  EXPECT_EQ(NameToAddress(std::string_view("localhost\0evil", 14)), 0u);
  EXPECT_NE(NameToAddress(""), 0u);
  EXPECT_EQ(NameToAddress(""), LocalAddress());
  EXPECT_EQ(AddressToName(kLoopback, 2), "127.0.0.1");
  EXPECT_EQ(AddressToName(167772161, 2), "10.0.0.1");
  // The loopback's reverse name is a bare "localhost": not fully qualified.
  EXPECT_EQ(AddressToName(kLoopback, 0), "127.0.0.1");
  EXPECT_EQ(AddressToName(kLoopback, 1), "");
}

TEST(Names, TimedOutCountsTheDefaultAndNoLimit) {
  EXPECT_FALSE(TimedOut(100 + 14400, 100, 0));
  EXPECT_TRUE(TimedOut(100 + 14401, 100, 0));
  EXPECT_TRUE(TimedOut(200, 100, 50));
  EXPECT_FALSE(TimedOut(100000, 100, -1));
  EXPECT_TRUE(TimedOut(10, 0xFFFFFFF0u, 5));  // across the wrap
}

}  // namespace
}  // namespace vrx
