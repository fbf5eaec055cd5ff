// What an SSL peer sends after our close can no longer be decrypted: it must never come
// out of a receive as data (it would be the raw records).
#include <gtest/gtest.h>

#include "tests/ssl/ssl_support.h"
#include "tests/transfer/transfer_peers.h"

namespace {

using namespace ssltest;

// Sends once the other side has had time to close, then ends without reading.
constexpr const char* kLateServer = R"PY(
import socket, ssl, sys, time
ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
ctx.load_cert_chain(sys.argv[1], sys.argv[2])
l = socket.socket(); l.bind(("127.0.0.1", 0)); l.listen(1)
print(l.getsockname()[1], flush=True)
c, _ = l.accept(); c.settimeout(20)
s = ctx.wrap_socket(c, server_side=True)
time.sleep(0.5)
s.sendall(b"after the close " * 100)
time.sleep(0.5)
c.close()
)PY";

TEST(SslAfterClose, LateBytesAreDroppedNotHandedOutRaw) {
  if (!Certs().ok) GTEST_SKIP() << "openssl could not make certificates";
  for (const char* command : {"VRX_ReceiveText", "VRX_ReceiveBlob"}) {
    Child server = Spawn({"/usr/bin/python3", "-c", kLateServer, Certs().aCert, Certs().aKey});
    uint16_t port = uint16_t(std::atoi(ReadLine(server.out).c_str()));
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
    StopChild(server);
  }
}

}  // namespace
