// What an SSL peer sends after our close can no longer be decrypted: it must never come
// out of a receive as data (it would be the raw records).
#include <gtest/gtest.h>

#include "tests/net/ssl/ssl_support.h"
#include "tests/commands/transfer/transfer_peers.h"

namespace {

using namespace ssltest;

// Sends once the other side has had time to close, then ends without reading.
constexpr const char* kLateServer =
    "time.sleep(0.5)\n"
    "s.sendall(b'after the close ' * 100)\n"
    "time.sleep(0.5)\n"
    "c.close()\n";

TEST(SslAfterClose, LateBytesAreDroppedNotHandedOutRaw) {
  if (!Certs().ok) GTEST_SKIP() << "openssl could not make certificates";
  for (const char* command : {"VRX_ReceiveText", "VRX_ReceiveBlob"}) {
    uint16_t port;
    Child server = StartPythonTlsServer(kLateServer, &port);
    ASSERT_NE(port, 0);
    Host h;
    int32_t s = SslOpen(h, "127.0.0.1", port);
    ASSERT_EQ(AwaitState(h, s, 8), 8);
    ASSERT_EQ(CloseStream(h, s), 0);
    std::string got;
    for (int i = 0; i < 200 && State(h, s) == 12; ++i) {
      EXPECT_EQ(Available(h, s), 0);
      if (std::string(command) == "VRX_ReceiveText") {
        got += Receive(h, s, 0, 0, "", 6).text;
      } else {
        Value blob = Value::Blob("");
        transfertest::ReceiveBlob(h, s, blob, 0, 2, "", 6);
        got += blob.Bytes();
        h.Delay(6);  // at state 12 the receive returns at once once nothing is waiting
      }
    }
    EXPECT_EQ(got, "") << command;
    EXPECT_EQ(State(h, s), 18) << command;
    EXPECT_EQ(Release(h, s), 0);
    server.Stop();
  }
}

}  // namespace
