// An SSL stream released by another process's receive while a flush waits in the SSL
// send: the waiting send stops, nothing reads the freed record.
#include <gtest/gtest.h>

#include "tests/net/ssl/ssl_support.h"

namespace {

using namespace ssltest;

// Completes the handshake, then never reads.
constexpr const char* kStalledServer = "time.sleep(20)\n";

TEST(SslRelease, ReceiveBlobReleasesWhileAFlushWaits) {
  if (!Certs().ok) GTEST_SKIP() << "openssl could not make certificates";
  uint16_t port;
  Child server =
      StartPythonTlsServer(kStalledServer, &port, "l.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)\n");
  ASSERT_NE(port, 0);
  Host h;
  int32_t s = SslOpen(h, "127.0.0.1", port);
  ASSERT_EQ(AwaitState(h, s, 8), 8);
  int32_t sendText = 99, closeResult = 99;
  h.NewProcess([&] {
    // Sent until the socket is full; the last send then waits on the stalled peer.
    for (int i = 0; i < 20000 && sendText >= 0; ++i) sendText = Send(h, s, std::string(2000, 'x'), 2000);
    closeResult = CloseStream(h, s);
  });
  h.NewProcess([&] {
    h.Delay(30);
    Value ref = Value::Long(s), blob = Value::Blob(""), zero = Value::Long(0), none = Value::String(""),
          timeout = Value::Long(1);
    CallLong(h, "VRX_ReceiveBlob", {&ref, &blob, &zero, &zero, &zero, &none, &timeout});
  });
  h.WaitForProcesses();
  EXPECT_EQ(sendText, -1) << "the waiting send stops when its stream goes";
  EXPECT_NE(closeResult, 99);
  EXPECT_EQ(State(h, s), -1);
  server.Stop();
}

}  // namespace

namespace {

using namespace ssltest;

// Reads until our close notification, answers with its own (as curl and Python's
// unwrap do), then closes.
constexpr const char* kUnwrappingServer =
    "while s.recv(4096): pass\n"
    "t = s.unwrap()\n"
    "time.sleep(0.5)\n"
    "t.close()\n";

TEST(SslClose, PeerAnsweringOurCloseNotificationEndsBothWays) {
  if (!Certs().ok) GTEST_SKIP() << "openssl could not make certificates";
  uint16_t port;
  Child server = StartPythonTlsServer(kUnwrappingServer, &port);
  ASSERT_NE(port, 0);
  Host h;
  int32_t s = SslOpen(h, "127.0.0.1", port);
  ASSERT_EQ(AwaitState(h, s, 8), 8);
  EXPECT_EQ(Send(h, s, "bye\n"), 0);
  EXPECT_EQ(CloseStream(h, s), 0);
  // The answer's alert is not data that would keep the stream at 12 until its time-out.
  EXPECT_EQ(AwaitState(h, s, 18, 120), 18);
  Release(h, s);
  EXPECT_EQ(server.Wait(), 0);
}

}  // namespace
