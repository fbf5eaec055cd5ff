// The stream commands end to end through the host: 4D processes as clients and servers,
// and peers outside the plug-in (raw sockets, Python's http.server).
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/services.h"
#include "tests/net/net_commands.h"
#include "tests/support.h"

namespace nettest {
namespace {

TEST(StreamCommands, BadReferencesAndNetworkValues) {
  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  for (int32_t ref : {0, 1, 1024, -19, 5000}) {
    EXPECT_EQ(State(h, ref), -1) << ref;
    EXPECT_EQ(Release(h, ref), -1) << ref;
    EXPECT_EQ(CloseStream(h, ref), -1) << ref;
    EXPECT_EQ(Send(h, ref, "x"), -1) << ref;
    EXPECT_EQ(Receive(h, ref, 0, 0, "", 0).result, -1) << ref;
    EXPECT_EQ(StreamAddresses(h, ref).result, -1) << ref;
  }
  // A rejected reference leaves the option command's result area as it was.
  Value r = Value::Long(3), t = Value::Long(600);
  std::vector<Value*> ps{&r, &t};
  EXPECT_FALSE(h.Call("VRX_SetStreamOption", ps).written);

  Value five = Value::Long(5), other = Value::Long(13);
  EXPECT_EQ(CallLong(h, "VRX_GetNetworkValue", {&five}), 1024);
  EXPECT_EQ(CallLong(h, "VRX_GetNetworkValue", {&other}), 0);

  // Negative references ask for network values: -2 and -8 connections accepted,
  // -3 and -9 bytes sent.
  uint16_t port = 0;
  int32_t l = Listen(h, 0);
  port = StreamAddresses(h, l).localPort;
  int peer = ConnectRaw(port);
  ASSERT_EQ(AwaitState(h, l, 8), 8);
  // VRX_GetStreamStates: a state equal to the threshold (default 8) has reached it.
  std::vector<int32_t> one = {l}, none = {0};
  for (int32_t threshold : {0, 8, 9}) {
    Value refs = Value::LongArray(one), states = Value::LongArray(none), at = Value::Long(threshold);
    EXPECT_EQ(CallLong(h, "VRX_GetStreamStates", {&refs, &states, &at}), threshold == 9 ? -1 : 1) << threshold;
    EXPECT_EQ(states.Longs(), std::vector<int32_t>{8});
  }
  ASSERT_EQ(Send(h, l, "12345"), 0);
  EXPECT_EQ(State(h, -2), 1);
  EXPECT_EQ(State(h, -8), 1);
  EXPECT_EQ(State(h, -3), 5);
  EXPECT_EQ(State(h, -9), 5);
  EXPECT_EQ(State(h, -1), 0);
  EXPECT_EQ(State(h, -18), 0);
  EXPECT_EQ(State(h, l, 24), 5);
  EXPECT_EQ(State(h, l, 99), -1);
  EXPECT_EQ(Release(h, l), 0);
  EXPECT_EQ(State(h, l), -1);
  close(peer);

  // A datagram endpoint is no stream: a send fails, a receive takes nothing.
  Value zero = Value::Long(0);
  int32_t u = CallLong(h, "VRX_OpenUDP", {&zero});
  ASSERT_GT(u, 0);
  EXPECT_EQ(Send(h, u, "x"), -1);
  EXPECT_EQ(Receive(h, u, 0, 0, "", 0).text, "");
  EXPECT_EQ(State(h, u), -1);
  Value udp = Value::Long(u);
  EXPECT_EQ(CallLong(h, "VRX_GetBytesAvailable", {&udp}), 0);
  Value refs = Value::LongArray(std::vector<int32_t>{u}), states = Value::LongArray(std::vector<int32_t>{0}),
        at = Value::Long(8);
  CallLong(h, "VRX_GetStreamStates", {&refs, &states, &at});
  EXPECT_EQ(states.Longs(), std::vector<int32_t>{-1});
  EXPECT_EQ(CallLong(h, "VRX_CloseUDP", {&udp}), 0);

  Value in = Value::String("ns.example"), out = Value::String(""), n = Value::Long(0);
  EXPECT_EQ(CallLong(h, "VRX_GetNameServer", {&in, &out, &n}), 0);
  EXPECT_EQ(out.Bytes(), "ns.example");
  EXPECT_EQ(n.AsLong(), 1000);
}

// With every reference in use a listen gives 0 and leaves a pending connection to the
// streams already listening: it must not take the connection and then drop it.
TEST(StreamCommands, ListenWithNoReferenceFreeLeavesThePendingConnection) {
  Host h;
  std::vector<int32_t> refs{Listen(h, 0)};
  ASSERT_NE(refs[0], 0);
  const uint16_t port = StreamAddresses(h, refs[0]).localPort;
  while (refs.size() < 1023) {
    refs.push_back(Listen(h, port));
    ASSERT_NE(refs.back(), 0) << refs.size();
  }
  int client = ConnectRaw(port);
  ASSERT_GE(client, 0);
  EXPECT_EQ(Listen(h, port), 0);
  EXPECT_EQ(State(h, refs[0]), 8);
  close(client);
  for (int32_t ref : refs) EXPECT_EQ(Release(h, ref), 0);
}

TEST(StreamCommands, NamesAndAddresses) {
  Host h;
  Value dotted = Value::String("10.0.0.1"), empty = Value::String(""), none = Value::String("255.255.255.255");
  EXPECT_EQ(CallLong(h, "VRX_NameToAddress", {&dotted}), 167772161);
  EXPECT_NE(CallLong(h, "VRX_NameToAddress", {&empty}), 0);
  EXPECT_EQ(CallLong(h, "VRX_NameToAddress", {&none}), 0);
  Value a = Value::Long(int32_t(kLoopback)), m2 = Value::Long(2), m1 = Value::Long(1);
  std::vector<Value*> ps{&a, &m2};
  EXPECT_EQ(h.Call("VRX_AddressToName", ps).bytes, "127.0.0.1");
  ps = {&a, &m1};
  EXPECT_EQ(h.Call("VRX_AddressToName", ps).bytes, "");

  // A listening stream knows only its local port; a connected one both ends.
  int32_t l = Listen(h, 0);
  Addresses la = StreamAddresses(h, l);
  EXPECT_EQ(la.result, 0);
  EXPECT_EQ(la.remoteAddress, 0u);
  EXPECT_EQ(la.remotePort, 0);
  EXPECT_NE(la.localPort, 0);
  EXPECT_EQ(la.reserved, -1);
  int32_t c = Open(h, "127.0.0.1", la.localPort);
  ASSERT_EQ(AwaitState(h, c, 8), 8);
  ASSERT_EQ(AwaitState(h, l, 8), 8);
  Addresses ca = StreamAddresses(h, c);
  Addresses sa = StreamAddresses(h, l);
  EXPECT_EQ(ca.remoteAddress, kLoopback);
  EXPECT_EQ(ca.remotePort, la.localPort);
  EXPECT_EQ(sa.remotePort, ca.localPort);
  EXPECT_EQ(sa.localAddress, kLoopback);
  Release(h, c);
  Release(h, l);
}

// ---- an HTTP/1.0 exchange with Python's web server ----

// Python serving `dir` on a free loopback port; the port is its first line.
vrxtest::Child StartWebServer(const std::string& dir, uint16_t* port) {
  vrxtest::Child c = vrxtest::SpawnPython(
      "import functools,http.server,sys\n"
      "h=functools.partial(http.server.SimpleHTTPRequestHandler,directory=sys.argv[1])\n"
      "h.func.log_message=lambda *a:None\n"
      "s=http.server.HTTPServer(('127.0.0.1',0),h)\n"
      "print(s.server_address[1],flush=True)\n"
      "s.serve_forever()\n",
      {dir});
  *port = c.Port();
  return c;
}

TEST(StreamCommands, HttpRequestToPythonWebServer) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / ("vrx-net-http-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::string body = Pattern(100000, 7);
  std::ofstream(dir / "data.bin", std::ios::binary) << body;
  uint16_t port = 0;
  vrxtest::Child server = StartWebServer(dir.string(), &port);
  ASSERT_NE(port, 0);

  {
    Host h;
    int32_t s = Open(h, "127.0.0.1", port);
    ASSERT_GT(s, 0);
    ASSERT_EQ(AwaitState(h, s, 8), 8);
    EXPECT_EQ(Send(h, s, "GET /data.bin HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n"), 0);

    Received status = Receive(h, s, 32000, 0, "\r\n", 600);
    EXPECT_EQ(status.text.substr(0, 13), "HTTP/1.0 200 ");
    EXPECT_EQ(status.text.substr(status.text.size() - 2), "\r\n");
    std::string contentLength;
    for (int i = 0; i < 50; ++i) {
      Received line = Receive(h, s, 32000, 0, "\r\n", 600);
      ASSERT_GT(line.result, 0);
      if (line.text == "\r\n") break;
      if (line.text.rfind("Content-Length: ", 0) == 0) contentLength = line.text.substr(16, line.text.size() - 18);
    }
    EXPECT_EQ(contentLength, std::to_string(body.size()));

    std::string got;
    for (int i = 0; i < 1000 && State(h, s) != 14; ++i) {
      Received chunk = Receive(h, s, 0, 0, "", 600);
      EXPECT_LE(chunk.text.size(), 32000u);
      got += chunk.text;
    }
    EXPECT_EQ(State(h, s), 14);
    EXPECT_TRUE(got == body) << got.size();
    // The end of the stream stops a receive at once, whatever its time-out.
    EXPECT_EQ(Receive(h, s, 0, 0, "\r\n", -1).result, 0);
    EXPECT_EQ(CloseStream(h, s), 0);
    EXPECT_EQ(State(h, s), 18);
    EXPECT_EQ(Release(h, s), 0);
  }
  server.Stop();
  std::filesystem::remove_all(dir);
}

// ---- two 4D processes of one host ----

TEST(StreamCommands, TenMegabytesBothWaysBetweenProcesses) {
  Host h;
  const size_t total = size_t(10) << 20;
  const std::string up = Pattern(total, 1);
  int32_t listener = Listen(h, 0);
  uint16_t port = StreamAddresses(h, listener).localPort;
  int32_t client = Open(h, "127.0.0.1", port);
  ASSERT_GT(client, 0);
  bool done = false;
  std::string echoed, atServer;
  int otherCalls = 0;

  // The server echoes everything back; the client writes from one process and reads
  // the echo from another, so both directions carry the whole 10 MB.
  StartEchoAndWriter(h, listener, client, up, &atServer);
  h.NewProcess([&] {
    for (int i = 0; i < 100000 && echoed.size() < total; ++i) {
      Received r = Receive(h, client, 0, 0, "", 600);
      if (r.text.empty()) break;
      echoed += r.text;
    }
    done = true;
  }, "reader");
  h.NewProcess([&] {
    Value name = Value::String("127.0.0.1"), code = Value::Long(12);
    while (!done) {
      EXPECT_EQ(CallLong(h, "VRX_NameToAddress", {&name}), int32_t(kLoopback));
      EXPECT_GE(CallLong(h, "VRX_GetNetworkValue", {&code}), 0);
      EXPECT_EQ(State(h, client), 8);
      if (!echoed.empty()) ++otherCalls;  // counted while the transfer is under way
      h.Delay(1);
    }
  }, "bystander");
  h.WaitForProcesses();
  EXPECT_EQ(atServer.size(), total);
  EXPECT_TRUE(atServer == up);
  EXPECT_EQ(echoed.size(), total);
  EXPECT_TRUE(echoed == up);
  EXPECT_GT(otherCalls, 0);
  EXPECT_EQ(State(h, client, 24), int32_t(total));
  EXPECT_EQ(State(h, listener, 23), int32_t(total));
  EXPECT_EQ(Release(h, client), 0);
  EXPECT_EQ(Release(h, listener), 0);
}

TEST(StreamCommands, ReleaseRefusedWhileAnotherProcessReceives) {
  Host h;
  RawPair pair(h);
  const int32_t s = pair.ref;
  ASSERT_NE(s, 0);
  Received got{};
  bool started = false;
  h.NewProcess([&] {
    started = true;
    got = Receive(h, s, 0, 0, "\n", 1200);
  }, "receiver");
  h.Yield();
  ASSERT_TRUE(started);
  EXPECT_EQ(Release(h, s), -2);
  EXPECT_EQ(State(h, s), 8);  // still there and usable
  pair.Send("line\n");
  h.WaitForProcesses();
  EXPECT_EQ(got.result, 5);
  EXPECT_EQ(got.text, "line\n");
  EXPECT_EQ(Release(h, s), 0);
}

// ---- receiving ----

class Receiving : public ::testing::Test {
 protected:
  void SetUp() override {
    uint16_t port = 0;
    int server = ListenRaw(&port);
    ref_ = Open(h_, "127.0.0.1", port);
    peer_ = accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
    close(server);
    ASSERT_EQ(AwaitState(h_, ref_, 8), 8);
  }
  void TearDown() override { close(peer_); }
  void Put(std::string_view s) { ASSERT_EQ(write(peer_, s.data(), s.size()), ssize_t(s.size())); }
  // The peer writes the pieces from another process, one every few ticks.
  void PutLater(std::vector<std::string> pieces) {
    h_.NewProcess([this, pieces] {
      for (const std::string& p : pieces) {
        h_.Delay(3);
        Put(p);
      }
    }, "peer");
  }
  Host h_;
  int32_t ref_ = 0;
  int peer_ = -1;
};

TEST_F(Receiving, DelimiterSplitAcrossPassesIsFoundAndTheRestComesNext) {
  for (int32_t flags : {0, 4}) {
    PutLater({"first li", "ne\r", "\nsecond"});
    Received r = Receive(h_, ref_, 32000, flags, "\r\n", 600);
    EXPECT_EQ(r.text, "first line\r\n") << flags;
    EXPECT_EQ(r.result, 12);
    h_.WaitForProcesses();
    r = Receive(h_, ref_, 0, 0, "", 0);
    EXPECT_EQ(r.text, "second") << flags;
  }
}

TEST_F(Receiving, StopBeforeDelimiterLeavesItInTheStream) {
  Put("key: value\r\nnext");
  Received r = Receive(h_, ref_, 0, 2, "\r\n", 600);
  EXPECT_EQ(r.text, "key: value");
  r = Receive(h_, ref_, 0, 0, "\r\n", 600);
  EXPECT_EQ(r.text, "\r\n");
  Value ref = Value::Long(ref_);
  EXPECT_EQ(CallLong(h_, "VRX_GetBytesAvailable", {&ref}), 4);
}

TEST_F(Receiving, MaximumAppendAndTimeouts) {
  std::string data = Pattern(25, 3);
  Put(data);
  h_.Delay(2);
  Received r = Receive(h_, ref_, 10, 0, "", 600);
  EXPECT_EQ(r.text, data.substr(0, 10));
  r = Receive(h_, ref_, 10, 0, "", 600);
  EXPECT_EQ(r.text, data.substr(10, 10));
  // Flag 1 appends to what $2 holds; without it $2 is replaced.
  r = Receive(h_, ref_, 0, 1, "", 600, "AB");
  EXPECT_EQ(r.text, "AB" + data.substr(20));
  EXPECT_EQ(r.result, 7);
  // Nothing there and time-out 0: back at once with nothing.
  r = Receive(h_, ref_, 0, 0, "", 0, "old");
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.text, "");
  // Time-out -1 waits until the delimiter comes, however long.
  PutLater({"slow ", "", "", "answer\n"});
  r = Receive(h_, ref_, 32000, 0, "\n", -1);
  EXPECT_EQ(r.text, "slow answer\n");
  h_.WaitForProcesses();
  // A maximum bounds the wait for a delimiter too.
  Put("0123456789\n");
  r = Receive(h_, ref_, 4, 0, "\n", 600);
  EXPECT_EQ(r.text, "0123");
  r = Receive(h_, ref_, 0, 0, "\n", 600);
  EXPECT_EQ(r.text, "456789\n");
  // The longest time-out waits like any other (no overflow of the tick arithmetic).
  PutLater({"late", "", "r\n"});
  r = Receive(h_, ref_, 32000, 0, "\n", 2147483647);
  EXPECT_EQ(r.text, "later\n");
  h_.WaitForProcesses();
}

TEST_F(Receiving, UnreadStreamOrder) {
  Put("tail");
  h_.Delay(2);
  Value ref = Value::Long(ref_);
  Value b = Value::Text("B"), a = Value::Text("A"), c = Value::Text("C");
  Value back = Value::Long(0), front = Value::Long(1);
  EXPECT_EQ(CallLong(h_, "VRX_UnreadStream", {&ref, &b, &back}), 1);
  EXPECT_EQ(CallLong(h_, "VRX_UnreadStream", {&ref, &a, &front}), 2);
  EXPECT_EQ(CallLong(h_, "VRX_UnreadStream", {&ref, &c, &back}), 3);
  EXPECT_EQ(CallLong(h_, "VRX_GetBytesAvailable", {&ref}), 7);
  std::string all;
  for (int i = 0; i < 5 && all.size() < 7; ++i) all += Receive(h_, ref_, 0, 0, "", 60).text;
  EXPECT_EQ(all, "ABCtail");
}

TEST_F(Receiving, DelimiterLeftoverLargerThanAText) {
  // More than a text can hold arrives before the delimiter's rest is taken out.
  std::string big = Pattern(40000, 9);
  for (char& ch : big)
    if (ch == '\n') ch = ' ';
  Value ref = Value::Long(ref_), t = Value::Text(big.substr(0, 30000)), back = Value::Long(0);
  Value t2 = Value::Text(big.substr(30000));
  CallLong(h_, "VRX_UnreadStream", {&ref, &t, &back});
  CallLong(h_, "VRX_UnreadStream", {&ref, &t2, &back});
  Value head = Value::Text("x\n"), front = Value::Long(1);
  CallLong(h_, "VRX_UnreadStream", {&ref, &head, &front});
  EXPECT_EQ(CallLong(h_, "VRX_GetBytesAvailable", {&ref}), 40002);
  Received r = Receive(h_, ref_, 0, 0, "\n", 60);
  EXPECT_EQ(r.text, "x\n");
  std::string rest;
  for (int i = 0; i < 5 && rest.size() < big.size(); ++i) {
    Received part = Receive(h_, ref_, 0, 0, "", 60);
    EXPECT_LE(part.text.size(), 32000u);
    rest += part.text;
  }
  EXPECT_TRUE(rest == big) << rest.size();
}

TEST_F(Receiving, PeerHalfCloseKeepsEstablishedUntilRead) {
  Put("last words");
  shutdown(peer_, SHUT_WR);
  h_.Delay(2);
  EXPECT_EQ(State(h_, ref_), 8);
  Received r = Receive(h_, ref_, 0, 0, "", 60);
  EXPECT_EQ(r.text, "last words");
  EXPECT_EQ(Receive(h_, ref_, 0, 0, "", 60).result, 0);
  EXPECT_EQ(State(h_, ref_), 14);
  // The other direction still works.
  EXPECT_EQ(Send(h_, ref_, "reply"), 0);
  EXPECT_EQ(ReadRaw(peer_, 5), "reply");
  EXPECT_EQ(CloseStream(h_, ref_), 0);
  EXPECT_EQ(State(h_, ref_), 18);
  EXPECT_EQ(ReadRaw(peer_, 1), "");  // orderly end of data at the peer
  EXPECT_EQ(Release(h_, ref_), 0);
}

TEST_F(Receiving, PeerEndAfterOurCloseIsClosedBothWays) {
  EXPECT_EQ(CloseStream(h_, ref_), 0);
  EXPECT_EQ(State(h_, ref_), 12);
  Put("late words");  // a half-closed stream still reads
  shutdown(peer_, SHUT_WR);
  EXPECT_EQ(Receive(h_, ref_, 0, 0, "", 60).text, "late words");
  EXPECT_EQ(Receive(h_, ref_, 0, 0, "", 60).result, 0);
  EXPECT_EQ(State(h_, ref_), 18);
  EXPECT_EQ(Release(h_, ref_), 0);
}

TEST_F(Receiving, PeerResetBreaksTheStream) {
  linger lg{1, 0};
  setsockopt(peer_, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
  close(peer_);
  peer_ = -1;
  int32_t s = AwaitState(h_, ref_, 14);
  EXPECT_TRUE(s == 20 || s == 14) << s;
  EXPECT_EQ(Send(h_, ref_, "x"), -1);
  EXPECT_EQ(Receive(h_, ref_, 0, 0, "\n", -1).result, 0);
  EXPECT_EQ(Release(h_, ref_), 0);
}

TEST_F(Receiving, SendingToAClosedPeerFailsWithoutASignal) {
  close(peer_);
  peer_ = -1;
  int32_t result = 0;
  // The first send may still be accepted; the peer's reset then breaks the stream.
  for (int i = 0; i < 20 && result == 0; ++i) {
    result = Send(h_, ref_, "are you there?");
    h_.Delay(1);
  }
  EXPECT_EQ(result, -1);
  EXPECT_EQ(State(h_, ref_), 20);
  EXPECT_EQ(Release(h_, ref_), 0);
}

TEST(StreamCommands, RefusedConnectShowsBrokenOnALaterPoll) {
  Host h;
  int32_t s = Open(h, "127.0.0.1", ClosedPort());
  ASSERT_GT(s, 0);
  EXPECT_EQ(AwaitState(h, s, 8), 20);
  EXPECT_EQ(Release(h, s), 0);
  EXPECT_EQ(Open(h, "no-such-host.invalid", 80), 0);
}

// ---- listeners ----

TEST(StreamCommands, TwoListensShareOneSocketAndAcceptInOrder) {
  Host h;
  int32_t a = Listen(h, 0);
  uint16_t port = StreamAddresses(h, a).localPort;
  int32_t b = Listen(h, port);
  ASSERT_GT(b, 0);  // a second socket could not bind the same port
  // Another address on the same port gets a socket of its own.
  int32_t other = Listen(h, port, 0x7F000002);
  ASSERT_GT(other, 0);
  EXPECT_EQ(StreamAddresses(h, other).localAddress, 0x7F000002u);

  int c1 = ConnectRaw(port);
  int c2 = ConnectRaw(port);
  int c3 = ConnectRaw(port, 0x7F000002);
  ASSERT_TRUE(c1 >= 0 && c2 >= 0 && c3 >= 0);
  // The host's wait loop reports the pending connections; they go to the streams in
  // the order of their opens without any poll.
  h.Delay(3);
  ASSERT_EQ(write(c1, "one", 3), 3);
  ASSERT_EQ(write(c2, "two", 3), 3);
  ASSERT_EQ(write(c3, "three", 5), 5);
  EXPECT_EQ(Receive(h, a, 3, 0, "", 120).text, "one");
  EXPECT_EQ(Receive(h, b, 3, 0, "", 120).text, "two");
  EXPECT_EQ(Receive(h, other, 5, 0, "", 120).text, "three");
  for (int32_t r : {a, b, other}) EXPECT_EQ(Release(h, r), 0);
  for (int fd : {c1, c2, c3}) close(fd);
}

TEST(StreamCommands, SharedListenerLingersOnTheTestClock) {
  Host h(Host::Options{.pluginPath = {}, .testClock = true});
  int32_t a = Listen(h, 0);
  uint16_t port = StreamAddresses(h, a).localPort;
  int32_t b = Listen(h, port);
  int32_t witness = Listen(h, 0);
  EXPECT_EQ(Release(h, a), 0);
  EXPECT_EQ(Release(h, b), 0);
  // Shared: still accepting connections for 30 seconds.
  int early = ConnectRaw(port);
  EXPECT_GE(early, 0);
  close(early);
  for (int i = 0; i < 31; ++i) platform::AdvanceTestClock(60);
  EXPECT_EQ(State(h, witness), 2);  // any poll sweeps
  EXPECT_LT(ConnectRaw(port), 0);

  // Release mode 2 closes it at once.
  int32_t c = Listen(h, port);
  int32_t d = Listen(h, port);
  ASSERT_GT(c, 0);
  EXPECT_EQ(Release(h, c), 0);
  EXPECT_EQ(Release(h, d, 2), 0);
  EXPECT_LT(ConnectRaw(port), 0);
  Release(h, witness);
}

// ---- sending ----

TEST(StreamCommands, SendTimesOutAgainstAPeerThatStopsReading) {
  Host h(Host::Options{.pluginPath = {}, .testClock = true});
  // The peer's small receive buffer closes its window soon: then nothing moves for good.
  RawPair pair(h, 4096);
  const int32_t s = pair.ref;
  ASSERT_NE(s, 0);
  Value ref = Value::Long(s), readOnly = Value::Long(-1), brief = Value::Long(30), ten = Value::Long(600);
  EXPECT_EQ(CallLong(h, "VRX_SetStreamOption", {&ref, &readOnly}), 0);
  // The connection is filled first, with a short time-out, until it takes nothing more
  // even after a real pause: the kernel grows its buffers as acknowledgements come back,
  // late on a loaded machine, and such progress must not count in the time-out below.
  EXPECT_EQ(CallLong(h, "VRX_SetStreamOption", {&ref, &brief}), 30);
  std::string block(32000, 'b');
  int32_t sent = 0, before = -1;
  for (int round = 0; round < 100 && sent != before; ++round) {
    before = sent;
    for (int i = 0; i < 400 && Send(h, s, block) == 0; ++i) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sent = State(h, s, 24);
  }
  EXPECT_EQ(sent, before);
  EXPECT_GT(sent, 32000);  // the first sends went out whole
  EXPECT_EQ(CallLong(h, "VRX_SetStreamOption", {&ref, &ten}), 600);
  EXPECT_EQ(CallLong(h, "VRX_SetStreamOption", {&ref, &readOnly}), 600);
  uint32_t start = platform::TickCount();
  EXPECT_EQ(Send(h, s, block), -1);
  uint32_t waited = platform::TickCount() - start;
  EXPECT_GE(waited, 600u);
  EXPECT_LT(waited, 1200u);
  EXPECT_EQ(State(h, s), 8);  // a time-out does not change the state
  EXPECT_EQ(Release(h, s), 0);
}

TEST(StreamCommands, BufferedTextsLeaveTogether) {
  Host h;
  RawPair pair(h);
  const int32_t s = pair.ref;
  ASSERT_NE(s, 0);
  std::string hundred(100, 'h');
  EXPECT_EQ(Send(h, s, hundred, 10), 100);
  EXPECT_EQ(Send(h, s, hundred, 10), 200);
  EXPECT_EQ(State(h, s, 24), 0);
  // Closing sends what was collected, then the end of data.
  EXPECT_EQ(CloseStream(h, s), 0);
  EXPECT_EQ(State(h, s), 12);
  EXPECT_EQ(ReadRaw(pair.peer, 1000), hundred + hundred);
  close(std::exchange(pair.peer, -1));
  EXPECT_EQ(AwaitState(h, s, 18), 18);
  EXPECT_EQ(Release(h, s), 0);
}

// ---- many streams ----

TEST(StreamCommands, ThousandTwentyThreeStreamsThenNoMore) {
  rlimit lim{};
  getrlimit(RLIMIT_NOFILE, &lim);
  if (lim.rlim_cur < 4096) {
    lim.rlim_cur = std::min<rlim_t>(4096, lim.rlim_max);
    setrlimit(RLIMIT_NOFILE, &lim);
  }
  ASSERT_GE(lim.rlim_cur, 2100u);
  Host h;
  uint16_t port = 0;
  int server = ListenRaw(&port, kLoopback, 2048);
  int before = vrxtest::OpenDescriptors();
  std::vector<int32_t> refs;
  for (int i = 0; i < 1023; ++i) {
    int32_t r = Open(h, "127.0.0.1", port);
    ASSERT_EQ(r, i + 1);
    refs.push_back(r);
  }
  EXPECT_EQ(vrxtest::OpenDescriptors(), before + 1023);
  // No reference left: the open fails and keeps no socket.
  EXPECT_EQ(Open(h, "127.0.0.1", port), 0);
  EXPECT_EQ(vrxtest::OpenDescriptors(), before + 1023);
  Value zero = Value::Long(0);
  EXPECT_EQ(CallLong(h, "VRX_GetStreamRef", {&zero}), 1023);
  for (int32_t r : refs) ASSERT_EQ(Release(h, r), 0);
  EXPECT_EQ(CallLong(h, "VRX_GetStreamRef", {&zero}), 0);
  EXPECT_EQ(vrxtest::OpenDescriptors(), before);
  // The lowest free reference comes back first.
  EXPECT_EQ(Open(h, "127.0.0.1", port), 1);
  close(server);
}

TEST(StreamCommands, ShutdownReleasesEveryStreamAndListener) {
  int before = vrxtest::OpenDescriptors();
  uint16_t port = 0;
  {
    Host h;
    int32_t l = Listen(h, 0);
    port = StreamAddresses(h, l).localPort;
    Listen(h, port);
    int32_t c = Open(h, "127.0.0.1", port);
    ASSERT_GT(c, 0);
    EXPECT_GT(vrxtest::OpenDescriptors(), before);
  }
  EXPECT_EQ(vrxtest::OpenDescriptors(), before);
  EXPECT_LT(ConnectRaw(port), 0);
}

}  // namespace
}  // namespace nettest
