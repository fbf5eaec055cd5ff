// Streams, datagrams and names with IPv6 peers on ::1: Python servers bound to ::1
// alone, dual-stack listening, names of one or both families (from a hosts file this
// test program sees in a mount namespace of its own), and connects that race.
#include <fcntl.h>
#include <poll.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>

#include "net/address.h"
#include "net/layer.h"
#include "net/socket_layer.h"
#include "net_commands.h"
#include "tests/support.h"

namespace nettest {
namespace {

using Clock = std::chrono::steady_clock;

int Elapsed(Clock::time_point since) {
  return int(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

bool LoopbackIpv6() {
  int fd = socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_in6 sa{};
  sa.sin6_family = AF_INET6;
  sa.sin6_addr = in6addr_loopback;
  bool ok = bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0;
  close(fd);
  return ok;
}

#define REQUIRE_IPV6() \
  if (!LoopbackIpv6()) GTEST_SKIP() << "this system has no IPv6 on loopback (::1)"

// The names these tests resolve, added to the system's hosts file in a mount namespace
// of this program alone: localhost gets ::1 as well (both families), and one name has
// IPv6 only. False when the namespace cannot be had (no privilege).
bool TestHosts() {
  static const bool ready = [] {
    std::string hosts = vrxtest::ReadFile("/etc/hosts");
    hosts += "\n::1 localhost vrx-v6only.test vrx-both.test vrx-race.test\n"
             "127.0.0.1 vrx-both.test vrx-race.test vrx-twice.test\n"
             "127.0.0.2 vrx-twice.test\n127.0.0.1 vrx-twice.test\n";
    static vrxtest::TempDir dir;
    std::string path = dir / "hosts";
    vrxtest::WriteFile(path, hosts);
    return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount(path.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) == 0;
  }();
  return ready;
}

#define REQUIRE_HOSTS() \
  if (!TestHosts()) GTEST_SKIP() << "no mount namespace for a test hosts file here"

// ---- peers ----

// Python on ::1 alone (IPV6_V6ONLY): echoes what each client sends, one client after
// another. The port is its first line.
vrxtest::Child StartEchoOnIpv6(uint16_t* port) {
  vrxtest::Child c = vrxtest::SpawnPython(
      "import socket\n"
      "s=socket.socket(socket.AF_INET6)\n"
      "s.setsockopt(socket.IPPROTO_IPV6,socket.IPV6_V6ONLY,1)\n"
      "s.bind(('::1',0)); s.listen(8)\n"
      "print(s.getsockname()[1],flush=True)\n"
      "while True:\n"
      "  c,a=s.accept()\n"
      "  while True:\n"
      "    d=c.recv(4096)\n"
      "    if not d: break\n"
      "    c.sendall(d)\n"
      "  c.close()\n");
  *port = c.Port();
  return c;
}

int Ipv6Socket(int type) {
  int fd = socket(AF_INET6, type | SOCK_CLOEXEC, 0);
  int one = 1;
  setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof one);
  return fd;
}

sockaddr_in6 Loopback6(uint16_t port) {
  sockaddr_in6 sa{};
  sa.sin6_family = AF_INET6;
  sa.sin6_addr = in6addr_loopback;
  sa.sin6_port = htons(port);
  return sa;
}

int ConnectRaw6(uint16_t port) {
  int fd = Ipv6Socket(SOCK_STREAM);
  sockaddr_in6 sa = Loopback6(port);
  if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// A port on ::1 whose connects never complete: its listener's queue is full and nobody
// accepts, so new handshakes are dropped as on a path that loses packets. The same port
// on 127.0.0.1 listens normally. The sockets stay open in *held.
bool BlackholedIpv6Port(uint16_t* port, std::vector<int>* held) {
  for (int tries = 0; tries < 20; ++tries) {
    int v6 = Ipv6Socket(SOCK_STREAM);
    sockaddr_in6 sa = Loopback6(0);
    socklen_t len = sizeof sa;
    if (bind(v6, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || listen(v6, 0) != 0 ||
        getsockname(v6, reinterpret_cast<sockaddr*>(&sa), &len) != 0) {
      close(v6);
      continue;
    }
    *port = ntohs(sa.sin6_port);
    int v4 = ListenRaw(port);
    if (v4 < 0) {
      close(v6);
      continue;
    }
    held->push_back(v6);
    held->push_back(v4);
    // Fill the queue until a connect stays unanswered.
    for (int i = 0; i < 8; ++i) {
      int c = Ipv6Socket(SOCK_STREAM | SOCK_NONBLOCK);
      sockaddr_in6 to = Loopback6(*port);
      connect(c, reinterpret_cast<sockaddr*>(&to), sizeof to);
      held->push_back(c);
      pollfd p{c, POLLOUT, 0};
      if (poll(&p, 1, 200) == 0) return true;
    }
    return false;
  }
  return false;
}

struct TextAddresses {
  int32_t result;
  std::string local;
  int32_t localPort;
  std::string remote;
  int32_t remotePort;
};

TextAddresses AddressText(Host& h, int32_t ref) {
  Value r = Value::Long(ref), la = Value::Text("x"), lp = Value::Long(-7), ra = Value::Text("x"),
        rp = Value::Long(-7);
  int32_t result = CallLong(h, "VRX_GetStreamAddressText", {&r, &la, &lp, &ra, &rp});
  return {result, la.Bytes(), lp.AsLong(), ra.Bytes(), rp.AsLong()};
}

std::set<std::string> Lines(const std::string& text) {
  std::set<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\r', start);
    if (end == std::string::npos) end = text.size();
    lines.insert(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// ---- the address unit ----

TEST(Ipv6, AddressesAsNumbersAndText) {
  struct Row {
    const char* literal;
    bool parses;
    const char* text;
    uint32_t number;
  } rows[] = {
      {"192.0.2.1", true, "192.0.2.1", 0xC0000201},
      {"::1", true, "::1", 0},
      {"[2001:db8::1]", true, "2001:db8::1", 0},
      {"::ffff:10.0.0.1", true, "10.0.0.1", 0x0A000001},  // a mapped IPv4 peer keeps its number
      {"2001:db8::ffff:a00:1", true, "2001:db8::ffff:a00:1", 0},
      {"::1:0:0:0:1", true, "::1:0:0:0:1", 0},  // zeros in front, yet not a mapped address
      {"[::1", false, "", 0},
      {"vrx-v6only.test", false, "", 0},
      {"", false, "", 0},
  };
  for (const Row& r : rows) {
    vrx::SocketAddress a;
    EXPECT_EQ(vrx::ParseAddressLiteral(r.literal, 80, &a), r.parses) << r.literal;
    if (!r.parses) continue;
    EXPECT_EQ(a.Text(), r.text) << r.literal;
    EXPECT_EQ(a.Ipv4Number(), r.number) << r.literal;
    EXPECT_EQ(a.Port(), 80) << r.literal;
  }
  vrx::SocketAddress a;
  EXPECT_FALSE(vrx::ParseAddressLiteral(std::string_view("127.0.0.1\0", 10), 80, &a));  // not what getaddrinfo sees
  // No address at all (a socket that has none): no port, no number, no text.
  EXPECT_EQ(a.Port(), 0);
  EXPECT_FALSE(a.IsIpv4());
  EXPECT_EQ(a.Text(), "");
  vrx::SocketAddress mapped = vrx::MappedIpv4Address(0x7F000001, 9);
  EXPECT_EQ(mapped.Text(), "127.0.0.1");
  EXPECT_EQ(mapped.Ipv4Number(), 0x7F000001u);
}

TEST(Ipv6, AttemptOrderPutsIpv6FirstAndAlternates) {
  auto parse = [](std::initializer_list<const char*> texts) {
    std::vector<vrx::SocketAddress> v;
    for (const char* t : texts) {
      vrx::SocketAddress a;
      EXPECT_TRUE(vrx::ParseAddressLiteral(t, 0, &a));
      v.push_back(a);
    }
    return v;
  };
  auto texts = [](const std::vector<vrx::SocketAddress>& v) {
    std::string s;
    for (const auto& a : v) s += a.Text() + " ";
    return s;
  };
  const bool v6 = vrx::SystemHasIpv6();
  struct Row {
    std::vector<vrx::SocketAddress> found;
    vrx::LocalBinding local;
    std::string order;
  } rows[] = {
      {parse({"10.0.0.1", "10.0.0.2", "2001:db8::1", "2001:db8::2"}), {},
       v6 ? "2001:db8::1 10.0.0.1 2001:db8::2 10.0.0.2 " : "10.0.0.1 10.0.0.2 "},
      {parse({"2001:db8::1", "2001:db8::2", "2001:db8::3", "10.0.0.1"}), {},
       v6 ? "2001:db8::1 10.0.0.1 2001:db8::2 2001:db8::3 " : "10.0.0.1 "},
      // A bound IPv4 address can only reach IPv4 peers.
      {parse({"2001:db8::1", "10.0.0.1"}), {0, 0x7F000001}, "10.0.0.1 "},
      {parse({"::ffff:10.0.0.9"}), {}, "10.0.0.9 "},
  };
  for (const Row& r : rows) EXPECT_EQ(texts(vrx::AttemptOrder(r.found, r.local)), r.order);
}

// ---- names ----

TEST(Ipv6, NamesOfBothFamilies) {
  REQUIRE_HOSTS();
  Host h;
  struct Row {
    const char* name;
    int32_t count;
    std::set<std::string> addresses;
    uint32_t number;  // VRX_NameToAddress
  } rows[] = {
      {"::1", 1, {"::1"}, 0},
      {"[2001:db8::1]", 1, {"2001:db8::1"}, 0},
      {"vrx-v6only.test", 1, {"::1"}, 0},  // IPv6 only: no longint, never a wrong one
      {"localhost", 2, {"::1", "127.0.0.1"}, kLoopback},
      {"vrx-twice.test", 2, {"127.0.0.1", "127.0.0.2"}, kLoopback},  // an address listed twice is one
      {"::ffff:10.0.0.1", 1, {"10.0.0.1"}, 0x0A000001},
      {"no-such-host.invalid", 0, {}, 0},
  };
  for (const Row& r : rows) {
    Value name = Value::Text(r.name), out = Value::Text("old");
    EXPECT_EQ(CallLong(h, "VRX_NameToAddresses", {&name, &out}), r.count) << r.name;
    EXPECT_EQ(Lines(out.Bytes()), r.addresses) << r.name;
    Value s = Value::String(r.name);
    EXPECT_EQ(uint32_t(CallLong(h, "VRX_NameToAddress", {&s})), r.number) << r.name;
  }

  struct Reverse {
    const char* address;
    int32_t result;
    bool named;
  } reverse[] = {{"::1", 0, true}, {"[::1]", 0, true}, {"127.0.0.1", 0, true}, {"localhost", -1, false},
                 {"", -1, false}};
  for (const Reverse& r : reverse) {
    Value a = Value::Text(r.address), out = Value::Text("old");
    EXPECT_EQ(CallLong(h, "VRX_AddressToNameText", {&a, &out}), r.result) << r.address;
    EXPECT_EQ(!out.Bytes().empty(), r.named) << r.address;
  }
}

// A resolver that does not answer holds up only the process that asked.
TEST(Ipv6, SlowResolverLetsOtherProcessesRun) {
  REQUIRE_HOSTS();
  vrxtest::TempDir dir;
  // A name server that never answers, waited for one second.
  int mute = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(0x7F00004D);  // 127.0.0.77
  sa.sin_port = htons(53);
  if (bind(mute, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    close(mute);
    GTEST_SKIP() << "cannot bind a name server on 127.0.0.77:53";
  }
  vrxtest::WriteFile(dir / "resolv.conf", "nameserver 127.0.0.77\noptions timeout:1 attempts:1\n");
  ASSERT_EQ(mount((dir / "resolv.conf").c_str(), "/etc/resolv.conf", nullptr, MS_BIND, nullptr), 0);

  Host h;
  int ticksMeanwhile = 0;
  bool done = false;
  int32_t count = -1;
  Clock::time_point start = Clock::now();
  h.NewProcess([&] {
    Value name = Value::Text("unanswered.vrx.invalid"), out = Value::Text("");
    count = CallLong(h, "VRX_NameToAddresses", {&name, &out});
    done = true;
  }, "resolver");
  h.NewProcess([&] {
    while (!done) {
      ++ticksMeanwhile;
      h.Delay(1);
    }
  }, "bystander");
  h.WaitForProcesses();
  int ms = Elapsed(start);
  umount("/etc/resolv.conf");
  close(mute);
  EXPECT_EQ(count, 0);
  EXPECT_GE(ms, 900);
  EXPECT_GE(ticksMeanwhile, 30) << "the other process stood still for " << ms << " ms";
}

// ---- streams ----

TEST(Ipv6, OpensReachAPeerOnIpv6Only) {
  REQUIRE_IPV6();
  REQUIRE_HOSTS();
  uint16_t port = 0;
  vrxtest::Child echo = StartEchoOnIpv6(&port);
  ASSERT_NE(port, 0);
  Host h;
  for (const char* host : {"::1", "[::1]", "vrx-v6only.test", "localhost"}) {
    int32_t s = Open(h, host, port);
    ASSERT_GT(s, 0) << host;
    ASSERT_EQ(AwaitState(h, s, 8), 8) << host;
    EXPECT_EQ(Send(h, s, "ping\r"), 0);
    EXPECT_EQ(Receive(h, s, 0, 0, "\r", 300).text, "ping\r") << host;
    TextAddresses t = AddressText(h, s);
    EXPECT_EQ(t.result, 0);
    EXPECT_EQ(t.remote, "::1") << host;
    EXPECT_EQ(t.remotePort, port);
    EXPECT_EQ(t.local, "::1");
    EXPECT_GT(t.localPort, 0);
    Addresses a = StreamAddresses(h, s);  // a longint holds no IPv6 address
    EXPECT_EQ(a.remoteAddress, 0u);
    EXPECT_EQ(a.localAddress, 0u);
    EXPECT_EQ(a.remotePort, port);
    EXPECT_EQ(Release(h, s), 0);
  }
  EXPECT_EQ(AddressText(h, 999).result, -1);
}

// The first address (IPv6) never answers: the IPv4 one, started 250 ms later, wins, and
// another process runs all along: it never waits as long as the attempt delay for a turn
// (a loaded machine may stretch its one-tick delays, but no wait for the race holds it).
TEST(Ipv6, HappyEyeballsFallsBackToIpv4) {
  REQUIRE_IPV6();
  REQUIRE_HOSTS();
  uint16_t port = 0;
  std::vector<int> held;
  bool blackholed = BlackholedIpv6Port(&port, &held);
  if (!blackholed) {
    for (int fd : held) close(fd);
    GTEST_SKIP() << "cannot make an IPv6 port that leaves connects unanswered";
  }
  Host h;
  int ticksMeanwhile = 0, openMs = -1, connectMs = -1, longestGapMs = 0;
  bool done = false;
  TextAddresses t{};
  h.NewProcess([&] {
    Clock::time_point start = Clock::now();
    int32_t s = Open(h, "vrx-race.test", port);
    openMs = Elapsed(start);
    // Waiting for the state sleeps on the race: woken by either attempt, or when the next is due.
    Value r = Value::Long(s), established = Value::Long(8), seconds = Value::Long(5);
    EXPECT_EQ(CallLong(h, "VRX_WaitStreamState", {&r, &established, &seconds}), 8);
    connectMs = Elapsed(start);
    t = AddressText(h, s);
    EXPECT_EQ(Release(h, s), 0);
    done = true;
  }, "client");
  h.NewProcess([&] {
    Clock::time_point last = Clock::now();
    while (!done) {
      ++ticksMeanwhile;
      h.Delay(1);
      longestGapMs = std::max(longestGapMs, Elapsed(last));
      last = Clock::now();
    }
  }, "bystander");
  h.WaitForProcesses();
  // Released while its attempts race: every attempt's socket goes with it.
  const int before = vrxtest::OpenDescriptors();
  int32_t again = Open(h, "vrx-race.test", port);
  EXPECT_EQ(Release(h, again), 0);
  EXPECT_EQ(vrxtest::OpenDescriptors(), before);
  for (int fd : held) close(fd);
  EXPECT_LT(openMs, 100);
  EXPECT_GE(connectMs, int(vrx::kAttemptDelayMs) - 20);
  EXPECT_LT(connectMs, int(vrx::kAttemptDelayMs) + 150);
  EXPECT_EQ(t.remote, "127.0.0.1");
  EXPECT_GE(ticksMeanwhile, connectMs / 50);  // a turn every third tick at least
  EXPECT_LT(longestGapMs, int(vrx::kAttemptDelayMs));
  std::printf("IPv4 fallback connected after %d ms (open %d ms), other process's longest wait %d ms\n",
              connectMs, openMs, longestGapMs);
}

// Every address refuses: the stream breaks once the last attempt has failed.
TEST(Ipv6, EveryAddressRefusedBreaksTheStream) {
  REQUIRE_IPV6();
  REQUIRE_HOSTS();
  Host h;
  int32_t s = Open(h, "vrx-both.test", ClosedPort());
  // Refused at once: no stream; refused later: a broken one.
  EXPECT_EQ(s > 0 ? AwaitState(h, s, 20, 120) : 20, 20);
  EXPECT_EQ(s > 0 ? Release(h, s) : 0, 0);
}

// An address that fails at once gives way to the next: the local port asked for is taken
// for IPv6 alone, so the IPv6 attempt cannot bind and the IPv4 one connects.
TEST(Ipv6, AnAttemptThatFailsAtOnceGivesWayToTheNext) {
  REQUIRE_IPV6();
  REQUIRE_HOSTS();
  int held = Ipv6Socket(SOCK_STREAM);
  sockaddr_in6 any{};
  any.sin6_family = AF_INET6;
  socklen_t len = sizeof any;
  ASSERT_EQ(bind(held, reinterpret_cast<sockaddr*>(&any), sizeof any), 0);
  ASSERT_EQ(getsockname(held, reinterpret_cast<sockaddr*>(&any), &len), 0);
  uint16_t port = 0;
  int server = ListenRaw(&port);
  ASSERT_EQ(vrx::StartSocketLayer(), 0);
  vrx::StreamRecord* r = vrx::OpenActive("vrx-both.test", port, 0, 0, ntohs(any.sin6_port), 0);
  ASSERT_NE(r, nullptr);
  int32_t s = vrx::PollStream(r, 0);
  for (int i = 0; i < 200 && s == vrx::kStateConnecting; ++i) {
    poll(nullptr, 0, 10);
    s = vrx::PollStream(r, 0);
  }
  EXPECT_EQ(s, vrx::kStateEstablished);
  vrx::SocketAddress local;
  EXPECT_TRUE(vrx::LocalAddressOf(r->socket, &local));
  EXPECT_EQ(local.Text(), "127.0.0.1");
  EXPECT_EQ(local.Port(), ntohs(any.sin6_port));
  EXPECT_EQ(vrx::CloseAndFreeRecord(&r, -1), vrx::NetStatus::Ok);
  vrx::StopSocketLayer();
  close(server);
  close(held);
}

TEST(Ipv6, ListenerTakesClientsOfBothFamilies) {
  REQUIRE_IPV6();
  Host h;
  int32_t listener = Listen(h, 0, 0);
  ASSERT_GT(listener, 0);
  uint16_t port = StreamAddresses(h, listener).localPort;
  EXPECT_EQ(AddressText(h, listener).local, "::");
  struct Row {
    bool v6;
    const char* remote;
    uint32_t number;
  } rows[] = {{false, "127.0.0.1", kLoopback}, {true, "::1", 0}};
  for (const Row& r : rows) {
    int32_t server = r.v6 ? listener : Listen(h, port, 0);  // the second waits on the same socket
    int peer = r.v6 ? ConnectRaw6(port) : ConnectRaw(port);
    ASSERT_GE(peer, 0);
    ASSERT_EQ(AwaitState(h, server, 8), 8) << r.remote;
    TextAddresses t = AddressText(h, server);
    EXPECT_EQ(t.remote, r.remote);
    EXPECT_EQ(t.localPort, port);
    Addresses a = StreamAddresses(h, server);
    EXPECT_EQ(a.remoteAddress, r.number) << r.remote;
    EXPECT_EQ(a.localAddress, r.number) << r.remote;  // the same loopback, as it was reached
    ASSERT_EQ(write(peer, "hi\n", 3), 3);
    EXPECT_EQ(Receive(h, server, 0, 0, "\n", 300).text, "hi\n");
    close(peer);
    EXPECT_EQ(Release(h, server), 0);
  }
}

// ---- datagrams ----

TEST(Ipv6, UdpEndpointHearsBothFamilies) {
  REQUIRE_IPV6();
  Host h;
  Value zero = Value::Long(0);
  int32_t u = CallLong(h, "VRX_OpenUDP", {&zero});
  ASSERT_GT(u, 0);
  uint16_t port = uint16_t(AddressText(h, u).localPort);
  ASSERT_NE(port, 0);
  struct Row {
    bool v6;
    uint32_t sender;
  } rows[] = {{false, kLoopback}, {true, 0}};
  for (const Row& r : rows) {
    int peer = r.v6 ? Ipv6Socket(SOCK_DGRAM) : socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in v4{};
    v4.sin_family = AF_INET;
    v4.sin_addr.s_addr = htonl(kLoopback);
    v4.sin_port = htons(port);
    sockaddr_in6 v6 = Loopback6(port);
    ssize_t n = r.v6 ? sendto(peer, "dgram", 5, 0, reinterpret_cast<sockaddr*>(&v6), sizeof v6)
                     : sendto(peer, "dgram", 5, 0, reinterpret_cast<sockaddr*>(&v4), sizeof v4);
    ASSERT_EQ(n, 5);
    Value ref = Value::Long(u), text = Value::Text(""), address = Value::Long(7), from = Value::Long(7),
          timeout = Value::Long(2);
    EXPECT_EQ(CallLong(h, "VRX_ReceiveUDP", {&ref, &text, &address, &from, nullptr, &timeout}), 0);
    EXPECT_EQ(text.Bytes(), "dgram");
    EXPECT_EQ(uint32_t(address.AsLong()), r.sender) << (r.v6 ? "IPv6 sender" : "IPv4 sender");
    if (!r.v6) {
      // The answer to an IPv4 sender leaves the dual-stack endpoint as IPv4.
      Value back = Value::Text("reply"), to = Value::Long(address.AsLong()), toPort = from;
      EXPECT_EQ(CallLong(h, "VRX_SendUDP", {&ref, &back, &to, &toPort}), 0);
      EXPECT_EQ(ReadRaw(peer, 5), "reply");
    }
    // The sender as text, of either family, is where VRX_SendUDPTo answers.
    ASSERT_EQ(r.v6 ? sendto(peer, "again", 5, 0, reinterpret_cast<sockaddr*>(&v6), sizeof v6)
                   : sendto(peer, "again", 5, 0, reinterpret_cast<sockaddr*>(&v4), sizeof v4),
              5);
    Value sender = Value::Text("");
    EXPECT_EQ(CallLong(h, "VRX_ReceiveUDPFrom", {&ref, &text, &sender, &from, &timeout}), 0);
    EXPECT_EQ(text.Bytes(), "again");
    EXPECT_EQ(sender.Bytes(), r.v6 ? "::1" : "127.0.0.1");
    Value back = Value::Text("answer");
    EXPECT_EQ(CallLong(h, "VRX_SendUDPTo", {&ref, &back, &sender, &from}), 0);
    EXPECT_EQ(ReadRaw(peer, 6), "answer");
    close(peer);
  }
  Value ref = Value::Long(u), bytes = Value::Text("x"), nowhere = Value::Text("no-such-host.invalid"),
        port9 = Value::Long(9);
  EXPECT_EQ(CallLong(h, "VRX_SendUDPTo", {&ref, &bytes, &nowhere, &port9}), -2);
  for (const std::string& name : {std::string(""), std::string("localhost\0x", 11)}) {
    Value n = Value::Text(name);
    EXPECT_EQ(CallLong(h, "VRX_SendUDPTo", {&ref, &bytes, &n, &port9}), -2);  // no name a resolver would see
  }
  EXPECT_EQ(CallLong(h, "VRX_CloseUDP", {&ref}), 0);
}

}  // namespace
}  // namespace nettest
