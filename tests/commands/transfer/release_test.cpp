// A stream released while other 4D processes wait on it, and listening streams released
// after a failed send: nothing may read a freed record (the sanitizer build checks).
#include <gtest/gtest.h>
#include <sys/socket.h>

#include "tests/commands/transfer/transfer_peers.h"

namespace transfertest {
namespace {

// A connection whose peer never reads: the plug-in's side fills up and its sends wait.
struct StalledPeer : RawPair {
  explicit StalledPeer(Host& h) : RawPair(h, 4096) {}
};

TEST(ReleaseUnderWaiters, ReceiveBlobReleasesWhileOthersWaitToSend) {
  Host h;
  const int fdsBefore = OpenFdCount();
  {
    StalledPeer p(h);
    ASSERT_NE(p.ref, 0);
    Value big = Value::Blob(nettest::Pattern(32 << 20, 5));
    int32_t sendBlob = 99, closeResult = 99, sendText = 99;
    h.NewProcess([&] { sendBlob = SendBlob(h, p.ref, big); });
    h.NewProcess([&] {
      h.Delay(2);
      sendText = nettest::Send(h, p.ref, std::string(1500, 'b'), 2000);
      closeResult = nettest::CloseStream(h, p.ref);  // its flush waits on the full socket
    });
    Value blob = Value::Blob("");
    h.NewProcess([&] {
      h.Delay(4);
      // No keep-open flag: the stream is released when this receive ends.
      ReceiveBlob(h, p.ref, blob, 0, 0, "", 20);
    });
    h.WaitForProcesses();
    EXPECT_EQ(sendBlob, -1) << "the send stops when its stream goes";
    EXPECT_EQ(sendText, 1500) << "collected, not sent";
    EXPECT_EQ(closeResult, 0);
    EXPECT_EQ(nettest::State(h, p.ref), -1) << "the reference is gone";
    EXPECT_EQ(OpenStreamCount(h), 0);
  }
  EXPECT_EQ(OpenFdCount(), fdsBefore) << "the record and its socket are freed";
}

TEST(ReleaseUnderWaiters, ReferenceNotReusedWhileAWaiterHoldsIt) {
  Host h;
  StalledPeer p(h);
  ASSERT_NE(p.ref, 0);
  Value big = Value::Blob(nettest::Pattern(8 << 20, 6));
  int32_t sendBlob = 99, reopened = 0;
  h.NewProcess([&] { sendBlob = SendBlob(h, p.ref, big); });
  Value blob = Value::Blob("");
  h.NewProcess([&] {
    h.Delay(1);
    ReceiveBlob(h, p.ref, blob, 0, 0, "", 1);
    // The sender still waits on the old reference: a new stream must not take it.
    reopened = nettest::Listen(h, 0);
  });
  h.WaitForProcesses();
  EXPECT_EQ(sendBlob, -1);
  EXPECT_NE(reopened, 0);
  EXPECT_NE(reopened, p.ref);
  nettest::Release(h, reopened);
}

TEST(ListeningRelease, BrokenListenerReleasedAsAListener) {
  Host h;
  int32_t first = nettest::Listen(h, 0);
  ASSERT_NE(first, 0);
  uint16_t port = nettest::StreamAddresses(h, first).localPort;
  // Nothing is connected: the send fails and must not touch the shared socket.
  EXPECT_EQ(nettest::Send(h, first, "hello"), -1);
  EXPECT_EQ(nettest::Release(h, first), 0);
  int32_t second = nettest::Listen(h, port);
  ASSERT_NE(second, 0);
  int peer = nettest::ConnectRaw(port);
  ASSERT_GE(peer, 0);
  EXPECT_EQ(nettest::AwaitState(h, second, 8), 8) << "the port listens again and accepts";
  close(peer);
  nettest::Release(h, second);
}

TEST(ListeningRelease, ClosedListenerLeavesTheQueue) {
  Host h;
  int32_t a = nettest::Listen(h, 0);
  uint16_t port = nettest::StreamAddresses(h, a).localPort;
  int32_t b = nettest::Listen(h, port);  // shares the listener, second in its queue
  ASSERT_NE(b, 0);
  EXPECT_EQ(nettest::CloseStream(h, a), 0);
  int peer = nettest::ConnectRaw(port);
  EXPECT_EQ(nettest::AwaitState(h, b, 8), 8) << "the connection goes to the stream still listening";
  EXPECT_NE(nettest::State(h, a), 8);
  close(peer);
  nettest::Release(h, a);
  nettest::Release(h, b);
}

}  // namespace
}  // namespace transfertest
