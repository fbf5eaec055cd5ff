// ICMP echo: the request packet, a ping of 127.0.0.1, and, in a network namespace of
// their own (when the system lets the test make one), the unprivileged ping socket, no
// ICMP socket at all, and a loopback that does not answer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <grp.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/wait.h>

#include <cstring>
#include <fstream>
#include <functional>

#include "net/udp.h"
#include "platform/services.h"
#include "tests/net/net_commands.h"

namespace {

using namespace nettest;

int32_t PingCommand(Host& h, uint32_t address, int32_t timeout, int32_t size) {
  Value a = Value::Long(int32_t(address)), t = Value::Long(timeout), s = Value::Long(size);
  return CallLong(h, "VRX_Ping", {&a, &t, &s});
}

TEST(Ping, ChecksumAndRequestPacket) {
  using vrx::InternetChecksum;
  // The example of RFC 1071, section 3.
  EXPECT_EQ(InternetChecksum(std::string("\x00\x01\xf2\x03\xf4\xf5\xf6\xf7", 8)), 0x220d);
  // An odd last byte counts as if a zero byte followed it.
  EXPECT_EQ(InternetChecksum("\x01"), InternetChecksum(std::string("\x01\x00", 2)));
  EXPECT_EQ(InternetChecksum("\x01"), 0xFEFF);
  EXPECT_EQ(InternetChecksum(""), 0xFFFF);
  for (auto [asked, size] : {std::pair{0, 64}, {-5, 64}, {3, 8}, {8, 8}, {65, 65}, {1000, 1000}}) {
    std::string p = vrx::EchoRequest(asked, 1);
    ASSERT_EQ(p.size(), size_t(size)) << asked;
    EXPECT_EQ(p[0], 8);
    EXPECT_EQ(p[1], 0);
    EXPECT_EQ(p.substr(4, 4), std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(p.find_first_not_of('\0', 8), std::string::npos);
    EXPECT_EQ(InternetChecksum(p), 0) << asked;  // a packet with its checksum sums to zero
  }
}

// Only the reply to our request counts: a raw socket also sees our own request, other
// programs' echoes and packets from elsewhere.
TEST(Ping, OnlyTheReplyToTheRequestCounts) {
  using vrx::IcmpSocketKind;
  const std::string request = vrx::EchoRequest(16, 0x0201);
  const std::string ip = std::string("\x45", 1) + std::string(19, '\0');  // a 20-byte IPv4 header
  std::string reply = request;
  reply[0] = 0;  // an echo reply carries the request's identifier
  const uint32_t to = kLoopback;
  struct Row {
    IcmpSocketKind kind;
    std::string packet;
    uint32_t from;
    bool answers;
  } rows[] = {
      {IcmpSocketKind::kRaw, ip + reply, to, true},
      {IcmpSocketKind::kRaw, ip + request, to, false},  // our own request, looped back
      {IcmpSocketKind::kRaw, ip + reply, to + 1, false},
      {IcmpSocketKind::kRaw, ip + reply.substr(0, 4) + "\x09\x02" + reply.substr(6), to, false},
      {IcmpSocketKind::kRaw, ip + reply.substr(0, 4) + "\x01\x09" + reply.substr(6), to, false},
      {IcmpSocketKind::kRaw, ip.substr(0, 12), to, false},
      {IcmpSocketKind::kRaw, "\x44" + ip.substr(1) + reply, to, false},  // a header shorter than IPv4's
      {IcmpSocketKind::kRaw, "\x46" + ip.substr(1) + reply.substr(0, 6), to, false},  // cut inside
      {IcmpSocketKind::kDatagram, reply, 0, true},
      {IcmpSocketKind::kDatagram, request, 0, false},
      {IcmpSocketKind::kDatagram, reply.substr(0, 7), 0, false},
  };
  for (const Row& r : rows)
    EXPECT_EQ(vrx::IsEchoReply(r.kind, r.packet, request, r.from, to), r.answers) << &r - rows;
}

TEST(Ping, LoopbackAnswers) {
  if (vrx::AvailableIcmpSocket() == vrx::IcmpSocketKind::kNone)
    GTEST_SKIP() << "neither a raw ICMP socket nor an unprivileged ping socket may be made here";
  Host h;
  for (int32_t size : {0, 65, 2000, 3000}) {
    int32_t ms = PingCommand(h, kLoopback, 1, size);
    EXPECT_GE(ms, 0) << size;
    EXPECT_LT(ms, 1000) << size;
  }
  EXPECT_EQ(PingCommand(h, kLoopback, 0, 64), -1);      // no time to wait
  EXPECT_EQ(PingCommand(h, kLoopback, 1, 70000), -1);   // cannot be sent
}

// Runs `body` in a child with a network namespace of its own whose loopback is up; the
// child's exit status, or 77 when no namespace may be made.
int InOwnNetwork(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) {
    if (unshare(CLONE_NEWNET) != 0) _exit(77);
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq ifr{};
    std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
    if (ioctl(fd, SIOCGIFFLAGS, &ifr) != 0) _exit(78);
    ifr.ifr_flags = short(ifr.ifr_flags | IFF_UP);
    if (ioctl(fd, SIOCSIFFLAGS, &ifr) != 0) _exit(78);
    close(fd);
    _exit(body());
  }
  int status = 0;
  for (int i = 0; i < 1000; ++i) {
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    usleep(10000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -2;
}

bool WriteSetting(const char* path, const char* value) {
  std::ofstream f(path);
  f << value;
  f.close();
  return bool(f);
}

bool DropToNobody() {
  return setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0;
}

#define SKIP_WITHOUT_NAMESPACE(status) \
  if ((status) == 77) GTEST_SKIP() << "no network namespace may be made here"

TEST(Ping, UnprivilegedPingSocketWhenRawIsRefused) {
  int status = InOwnNetwork([] {
    // This namespace's setting only: every group may use ping sockets.
    if (!WriteSetting("/proc/sys/net/ipv4/ping_group_range", "0 2147483647")) return 77;
    Host h;
    if (!DropToNobody()) return 77;
    if (vrx::AvailableIcmpSocket() != vrx::IcmpSocketKind::kDatagram) return 10;
    for (int32_t size : {64, 65, 9}) {
      int32_t ms = PingCommand(h, kLoopback, 1, size);
      if (ms < 0 || ms >= 1000) return 11;
    }
    return 0;
  });
  SKIP_WITHOUT_NAMESPACE(status);
  EXPECT_EQ(status, 0);
}

TEST(Ping, NoIcmpSocketGivesMinusOne) {
  int status = InOwnNetwork([] {
    if (!WriteSetting("/proc/sys/net/ipv4/ping_group_range", "1 0")) return 77;
    Host h;
    if (!DropToNobody()) return 77;
    if (vrx::AvailableIcmpSocket() != vrx::IcmpSocketKind::kNone) return 10;
    return PingCommand(h, kLoopback, 1, 64) == -1 ? 0 : 11;
  });
  SKIP_WITHOUT_NAMESPACE(status);
  EXPECT_EQ(status, 0);
}

TEST(Ping, NoAnswerWithinTheTimeOut) {
  int status = InOwnNetwork([] {
    if (!WriteSetting("/proc/sys/net/ipv4/icmp_echo_ignore_all", "1")) return 77;
    Host h;
    if (vrx::AvailableIcmpSocket() == vrx::IcmpSocketKind::kNone) return 77;
    uint32_t start = platform::Milliseconds();
    if (PingCommand(h, kLoopback, 1, 64) != -1) return 10;
    uint32_t waited = platform::Milliseconds() - start;
    return waited >= 1000 && waited < 3000 ? 0 : 11;
  });
  SKIP_WITHOUT_NAMESPACE(status);
  EXPECT_EQ(status, 0);
}

}  // namespace
