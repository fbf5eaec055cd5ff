// UDP endpoints through the commands: between two endpoints, with Python's socket
// module as the peer, and next to the stream commands.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "platform/services.h"
#include "tests/net/net_commands.h"

namespace {

using namespace nettest;

int32_t OpenUdp(Host& h, int32_t port) {
  Value p = Value::Long(port);
  return CallLong(h, "VRX_OpenUDP", {&p});
}

int32_t CloseUdp(Host& h, int32_t ref) {
  Value r = Value::Long(ref);
  return CallLong(h, "VRX_CloseUDP", {&r});
}

int32_t SendUdp(Host& h, int32_t ref, std::string_view bytes, uint16_t port, uint32_t address = kLoopback) {
  Value r = Value::Long(ref), t = Value::Text(bytes), a = Value::Long(int32_t(address)), p = Value::Long(port);
  return CallLong(h, "VRX_SendUDP", {&r, &t, &a, &p});
}

struct Datagram {
  int32_t result;
  std::string text;
  int32_t address, port;
};

Datagram ReceiveUdp(Host& h, int32_t ref, int32_t timeout) {
  Value r = Value::Long(ref), t = Value::Text("old"), a = Value::Long(7), p = Value::Long(7),
        to = Value::Long(timeout);
  int32_t result = CallLong(h, "VRX_ReceiveUDP", {&r, &t, &a, &p, nullptr, &to});
  return {result, t.Bytes(), a.AsLong(), p.AsLong()};
}

uint16_t PortOf(Host& h, int32_t ref) { return StreamAddresses(h, ref).localPort; }

TEST(Udp, DatagramsBetweenTwoEndpoints) {
  Host h;
  int32_t a = OpenUdp(h, 0), b = OpenUdp(h, 0);
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  uint16_t portA = PortOf(h, a), portB = PortOf(h, b);
  ASSERT_NE(portB, 0);
  EXPECT_EQ(CallLong(h, "VRX_GetUDPMaxSize", {}), 548);

  const std::string hundred = Pattern(100, 5);
  EXPECT_EQ(SendUdp(h, a, hundred, portB), 0);
  Datagram d = ReceiveUdp(h, b, 1);
  EXPECT_EQ(d.result, 0);
  EXPECT_EQ(d.text.size(), 100u);
  EXPECT_TRUE(d.text == hundred);
  EXPECT_EQ(d.address, int32_t(kLoopback));
  // System-chosen ports lie above 32767; they come back as positive longints.
  EXPECT_EQ(d.port, int32_t(portA));
  EXPECT_GT(d.port, 32767);

  // A negative time-out: one attempt. Nothing waiting gives -1 and leaves $2 alone.
  Datagram none = ReceiveUdp(h, b, -1);
  EXPECT_EQ(none.result, -1);
  EXPECT_EQ(none.text, "old");
  EXPECT_EQ(none.port, 7);
  EXPECT_EQ(SendUdp(h, b, "", portA), 0);  // empty datagrams exist too
  Datagram empty = ReceiveUdp(h, a, -1);
  EXPECT_EQ(empty.result, 0);
  EXPECT_EQ(empty.text, "");
  EXPECT_EQ(empty.port, int32_t(portB));

  // The whole 2048-byte buffer; one byte more does not fit and is not half-delivered.
  const std::string full = Pattern(2048, 6);
  EXPECT_EQ(SendUdp(h, a, full, portB), 0);
  Datagram whole = ReceiveUdp(h, b, 1);
  EXPECT_EQ(whole.result, 0);
  EXPECT_TRUE(whole.text == full);
  EXPECT_EQ(SendUdp(h, a, Pattern(3000, 7), portB), 0);
  EXPECT_EQ(SendUdp(h, a, "after", portB), 0);
  EXPECT_EQ(ReceiveUdp(h, b, 1).result, -1);
  EXPECT_EQ(ReceiveUdp(h, b, 1).text, "after");

  EXPECT_EQ(CloseUdp(h, a), 0);
  EXPECT_EQ(CloseUdp(h, b), 0);
  EXPECT_EQ(CloseUdp(h, a), -1);
}

TEST(Udp, PythonPeerAnswersFromItsPort) {
  // The peer answers every datagram with its bytes reversed, then reports the port it
  // heard from; "stop" ends it.
  const char* script =
      "import socket,sys\n"
      "s=socket.socket(socket.AF_INET,socket.SOCK_DGRAM); s.bind(('127.0.0.1',0))\n"
      "print(s.getsockname()[1],flush=True)\n"
      "while True:\n"
      "  b,a=s.recvfrom(4096)\n"
      "  if b==b'stop': break\n"
      "  s.sendto(b[::-1],a); print(a[1],flush=True)\n"
      "  if len(sys.argv)>1: s.sendto(b'to fixed',('127.0.0.1',int(sys.argv[1])))\n";
  int out[2];
  ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
  Host h;
  // A fixed port, found free by binding it once.
  int probe = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(kLoopback);
  socklen_t len = sizeof sa;
  ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
  getsockname(probe, reinterpret_cast<sockaddr*>(&sa), &len);
  uint16_t fixed = ntohs(sa.sin_port);
  close(probe);
  int32_t u = OpenUdp(h, fixed);
  ASSERT_GT(u, 0);
  EXPECT_EQ(PortOf(h, u), fixed);

  pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    std::string port = std::to_string(fixed);
    execl("/usr/bin/python3", "python3", "-c", script, port.c_str(), nullptr);
    _exit(127);
  }
  close(out[1]);
  std::string first;
  char ch;
  while (read(out[0], &ch, 1) == 1 && ch != '\n') first += ch;
  uint16_t peer = uint16_t(std::atoi(first.c_str()));
  ASSERT_NE(peer, 0);

  EXPECT_EQ(SendUdp(h, u, "abcdef", peer), 0);
  Datagram d = ReceiveUdp(h, u, 2);
  EXPECT_EQ(d.result, 0);
  EXPECT_EQ(d.text, "fedcba");
  EXPECT_EQ(d.address, int32_t(kLoopback));
  EXPECT_EQ(d.port, int32_t(peer));
  Datagram fixedOne = ReceiveUdp(h, u, 2);
  EXPECT_EQ(fixedOne.text, "to fixed");
  std::string heard = ReadRaw(out[0], std::to_string(fixed).size() + 1);
  EXPECT_EQ(heard, std::to_string(fixed) + "\n");
  EXPECT_EQ(SendUdp(h, u, "stop", peer), 0);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  close(out[0]);

  // A port in use is not an error: the endpoint is made all the same.
  int32_t again = OpenUdp(h, fixed);
  EXPECT_GT(again, 0);
  EXPECT_EQ(CloseUdp(h, again), 0);
  EXPECT_EQ(CloseUdp(h, u), 0);
}

TEST(Udp, EndpointsNextToStreamCommandsAndBadReferences) {
  Host h;
  int32_t u = OpenUdp(h, 0);
  ASSERT_GT(u, 0);
  EXPECT_EQ(State(h, u), -1);
  EXPECT_EQ(State(h, u, 24), -1);
  // A release frees an endpoint as CloseUDP does.
  EXPECT_EQ(Release(h, u), 0);
  EXPECT_EQ(CloseUdp(h, u), -1);
  for (int32_t bad : {0, -1, 1024, 999}) {
    EXPECT_EQ(CloseUdp(h, bad), -1);
    EXPECT_EQ(SendUdp(h, bad, "x", 9), -1);
    EXPECT_EQ(ReceiveUdp(h, bad, -1).result, -1);
  }
  // The UDP commands leave TCP streams alone.
  int32_t t = Listen(h, 0);
  ASSERT_GT(t, 0);
  EXPECT_EQ(CloseUdp(h, t), -1);
  EXPECT_EQ(SendUdp(h, t, "x", 9), -1);
  EXPECT_EQ(ReceiveUdp(h, t, -1).result, -1);
  EXPECT_EQ(State(h, t), 2);
  EXPECT_EQ(Release(h, t), 0);
  // Shutdown closes endpoints still open.
  EXPECT_GT(OpenUdp(h, 0), 0);
}

TEST(Udp, ReceiveWaitsWhileOtherProcessesRun) {
  Host h;
  int32_t a = OpenUdp(h, 0), b = OpenUdp(h, 0);
  uint16_t portA = PortOf(h, a);
  int32_t closeWhileWaiting = 0;
  h.NewProcess([&] {
    h.Delay(10);
    closeWhileWaiting = CloseUdp(h, a);
    EXPECT_EQ(SendUdp(h, b, "late", portA), 0);
  }, "sender");
  Datagram d = ReceiveUdp(h, a, 0);  // no time-out: until a datagram comes
  h.WaitForProcesses();
  EXPECT_EQ(closeWhileWaiting, -2);
  EXPECT_EQ(d.result, 0);
  EXPECT_EQ(d.text, "late");
  EXPECT_EQ(CloseUdp(h, a), 0);
  EXPECT_EQ(CloseUdp(h, b), 0);
}

TEST(Udp, TimeOutInSeconds) {
  Host h(Host::Options{.pluginPath = {}, .testClock = true});
  int32_t u = OpenUdp(h, 0);
  uint32_t start = platform::TickCount();
  EXPECT_EQ(ReceiveUdp(h, u, 2).result, -1);
  uint32_t waited = platform::TickCount() - start;
  EXPECT_GE(waited, 120u);
  EXPECT_LT(waited, 140u);
  EXPECT_EQ(CloseUdp(h, u), 0);
}

}  // namespace
