// A process waiting in a receive sleeps on its socket; what another process does to the
// stream locally (bytes put back) wakes it at once,
// not at its next periodic look. The test clock stands still unless every process
// sleeps, so a waiter that was not woken shows as ticks passed.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/services.h"
#include "tests/net/net_commands.h"

namespace {

using namespace nettest;

Host::Options TestClock() {
  Host::Options o;
  o.testClock = true;
  return o;
}

struct Waiter {
  Received got{-99, ""};
  uint32_t ticks = 0;
  bool done = false;
};

// Starts a process that receives one line on `ref` without a time-out.
void StartWaiter(Host& h, int32_t ref, Waiter* w) {
  h.NewProcess([&h, ref, w] {
    uint32_t start = platform::TickCount();
    w->got = Receive(h, ref, 0, 0, "\n", -1);
    w->ticks = platform::TickCount() - start;
    w->done = true;
  }, "waiter");
}

TEST(Wake, BytesPutBackByAnotherProcessWakeAWaitingReceive) {
  Host h(TestClock());
  RawPair pair(h);
  const int32_t s = pair.ref;
  ASSERT_NE(s, 0);

  Waiter w;
  StartWaiter(h, s, &w);
  h.Delay(3);  // the waiter is asleep on the socket
  ASSERT_FALSE(w.done);
  Value r = Value::Long(s), bytes = Value::Text("put back\n"), front = Value::Long(1);
  EXPECT_EQ(CallLong(h, "VRX_UnreadStream", {&r, &bytes, &front}), 9);
  h.WaitForProcesses();
  EXPECT_EQ(w.got.text, "put back\n");
  EXPECT_LE(w.ticks, 4u);

  EXPECT_EQ(Release(h, s), 0);
}

// A wait for a listening stream to connect sleeps on the listener's socket: a client
// that connects meanwhile wakes it, not its next periodic look.
TEST(Wake, AClientWakesAWaitOnAListener) {
  Host h(TestClock());
  const int32_t listener = Listen(h, 0);
  ASSERT_NE(listener, 0);
  const uint16_t port = StreamAddresses(h, listener).localPort;
  int32_t state = -99;
  uint32_t ticks = 0;
  h.NewProcess([&] {
    uint32_t start = platform::TickCount();
    Value r = Value::Long(listener), established = Value::Long(8), seconds = Value::Long(10);
    state = CallLong(h, "VRX_WaitStreamState", {&r, &established, &seconds});
    ticks = platform::TickCount() - start;
  }, "waiter");
  h.Delay(3);  // the waiter is asleep
  int client = ConnectRaw(port);
  ASSERT_GE(client, 0);
  h.WaitForProcesses();
  EXPECT_EQ(state, 8);
  EXPECT_LE(ticks, 4u);
  close(client);
  EXPECT_EQ(Release(h, listener), 0);
}

}  // namespace
