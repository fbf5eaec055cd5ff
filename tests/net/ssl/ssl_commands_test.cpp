// SSL streams end to end: 4D processes of one host against openssl s_server/s_client,
// Python's ssl module, and each other, on 127.0.0.1.
#include <gtest/gtest.h>

#include <fstream>

#include "net/socket_layer.h"
#include "net/streams.h"
#include "platform/services.h"
#include "tests/net/ssl/ssl_support.h"

namespace {

using namespace ssltest;

::testing::Environment* const kCleanup = ::testing::AddGlobalTestEnvironment(new CertificateCleanup);

// A folder holding VRXcert.pem (certificate and key "a"), and one without it.
fs::path ServedDir() {
  fs::path d = Certs().dir / "served";
  if (!fs::exists(d / "VRXcert.pem")) {
    fs::create_directories(d);
    fs::copy_file(Certs().aBoth, d / "VRXcert.pem", fs::copy_options::overwrite_existing);
  }
  return d;
}

fs::path EmptyDir() {
  fs::path d = Certs().dir / "empty";
  fs::create_directories(d);
  return d;
}

#define REQUIRE_CERTS() ASSERT_TRUE(Certs().ok) << "the openssl command could not make test certificates"

// Reads the child's lines until one equals `want` (at most 60 lines).
bool SawLine(Child& c, const std::string& want) {
  for (int i = 0; i < 60; ++i) {
    std::string line = ReadLine(c.out);
    if (line == want) return true;
    if (line.empty()) return false;
  }
  return false;
}

TEST(SslStreams, OpensAskForSslByPortOrOptionBits) {
  ASSERT_EQ(vrx::StartSocketLayer(), 0);
  uint16_t closed = ClosedPort();
  std::vector<vrx::StreamRecord*> made;
  for (auto [port, options, ssl] : {std::tuple{uint16_t(443), 0, true}, std::tuple{closed, 1024, true},
                                    std::tuple{closed, 2048, true}, std::tuple{closed, 0x3FF | 0x1000, false}}) {
    vrx::StreamRecord* r = vrx::OpenActive("127.0.0.1", port, 0, options, 0, 0);
    ASSERT_NE(r, nullptr) << port << " " << options;
    EXPECT_EQ(r->ops, ssl ? &vrx::kSslStream : &vrx::kPlainStream) << options;
    EXPECT_EQ(r->sslFlag, ssl ? 1 : 0);
    EXPECT_EQ(r->sslConnection != nullptr, ssl);
    made.push_back(r);
  }
  // A refused connect breaks an SSL stream as it does a plain one.
  int32_t s = vrx::PollStream(made[1], 0);
  for (int i = 0; i < 200 && s != vrx::kStateBroken; ++i) {
    poll(nullptr, 0, 10);
    s = vrx::PollStream(made[1], 0);
  }
  EXPECT_EQ(s, vrx::kStateBroken);
  std::string got;
  // A receive makes the handshake start, or finds the connection failed.
  EXPECT_EQ(vrx::ReceiveChunk(&made[1], got, 0), vrx::NetStatus::Failed);
  uint16_t port = 0;
  int server = ListenRaw(&port);
  vrx::StreamRecord* early = vrx::OpenActive("127.0.0.1", port, 0, 1024, 0, 0);
  EXPECT_EQ(vrx::ReceiveChunk(&early, got, 0), vrx::NetStatus::Ok);
  EXPECT_EQ(got, "");
  made.push_back(early);
  close(server);
  {
    // No VRXcert.pem here: an SSL listener is made, waiting, without a certificate.
    InDirectory in(EmptyDir());
    vrx::StreamRecord* l = vrx::OpenPassive(0, 0, 2048, kLoopback);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->ops, &vrx::kSslStream);
    EXPECT_EQ(l->certificateReady, 0);
    EXPECT_EQ(l->state, vrx::kStateListening);
    EXPECT_NE(l->lastSslError, 0u);
    const uint8_t byte = 'x';
    EXPECT_EQ(vrx::SendBytes(&l, &byte, 1), vrx::NetStatus::Failed);  // no connection to send on
    made.push_back(l);
  }
  for (vrx::StreamRecord*& r : made) EXPECT_EQ(vrx::CloseAndFreeRecord(&r, 0), vrx::NetStatus::Ok);
  vrx::StopSocketLayer();
}

TEST(SslStreams, ClientToOpenSslServerSendsTheServerName) {
  REQUIRE_CERTS();
  uint16_t port = 0;
  // The second certificate answers only a hello that names "localhost".
  Child server = StartOpenSslServer({"-cert", Certs().aCert, "-key", Certs().aKey, "-servername", "localhost",
                                     "-cert2", Certs().bCert, "-key2", Certs().bKey},
                                    &port, 2);
  ASSERT_NE(port, 0);
  Host h;
  int32_t s = SslOpen(h, "localhost", port, 1024);
  ASSERT_GT(s, 0);
  ASSERT_EQ(AwaitState(h, s, 8), 8);
  SslInfo info = Info(h, s);
  EXPECT_EQ(info.result, 0);
  EXPECT_EQ(info.version.rfind("TLSv1", 0), 0u) << info.version;
  EXPECT_FALSE(info.cipher.empty());
  EXPECT_GE(info.bits, 128);
  EXPECT_NE(info.subject.find("CN=vrx-b"), std::string::npos) << info.subject;

  EXPECT_EQ(Send(h, s, "ping from 4D\n"), 0);
  EXPECT_TRUE(SawLine(server, "ping from 4D"));
  ASSERT_EQ(write(server.in, "hello from openssl\n", 19), 19);
  Received r = Receive(h, s, 0, 0, "\n", 600);
  EXPECT_EQ(r.text, "hello from openssl\n");
  EXPECT_EQ(State(h, s, 17), 13);  // application bytes
  EXPECT_EQ(State(h, s, 14), 19);
  EXPECT_GT(State(h, s, 24), 13 + 200);  // the handshake and records on the wire
  EXPECT_GT(State(h, s, 23), 19 + 200);

  // After a close the stream is plain: no SSL information, no SSL error.
  EXPECT_EQ(CloseStream(h, s), 0);
  EXPECT_EQ(Info(h, s).result, -2);
  EXPECT_EQ(SslError(h, s), std::make_pair(0, std::string()));
  EXPECT_EQ(Release(h, s), 0);

  // A dotted address is no name: the default certificate answers.
  int32_t d = SslOpen(h, "127.0.0.1", port, 2048);
  ASSERT_EQ(AwaitState(h, d, 8), 8);
  EXPECT_NE(Info(h, d).subject.find("CN=vrx-a"), std::string::npos);
  EXPECT_EQ(Release(h, d), 0);
  server.Stop();
}

TEST(SslStreams, ServerFromVrxCertPemWithItsCipherListServesOpenSslClient) {
  REQUIRE_CERTS();
  InDirectory in(ServedDir());
  Host h;
  int32_t l = SslListen(h, 0);
  ASSERT_GT(l, 0);
  EXPECT_EQ(State(h, l), 2);
  EXPECT_EQ(SetCiphers(h, l, "NOT-A-CIPHER"), -3);
  auto [code, text] = SslError(h, l);
  EXPECT_NE(code, 0);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(SetCiphers(h, l, ""), 0);
  EXPECT_EQ(SetCiphers(h, l, "ECDHE-RSA-AES128-GCM-SHA256"), 0);
  Child client = Spawn({"/usr/bin/openssl", "s_client", "-connect", "127.0.0.1:" + std::to_string(PortOf(h, l)),
                        "-quiet", "-tls1_2"});
  ASSERT_EQ(AwaitState(h, l, 8), 8);
  SslInfo info = Info(h, l);
  EXPECT_EQ(info.result, 0);
  EXPECT_EQ(info.version, "TLSv1.2");
  EXPECT_EQ(info.cipher, "ECDHE-RSA-AES128-GCM-SHA256");
  EXPECT_EQ(info.bits, 128);
  EXPECT_EQ(info.subject, "");  // the client sent no certificate

  EXPECT_EQ(Send(h, l, "from the 4D server\n"), 0);
  EXPECT_EQ(ReadLine(client.out), "from the 4D server");
  ASSERT_EQ(write(client.in, "from s_client\n", 14), 14);
  EXPECT_EQ(Receive(h, l, 0, 0, "\n", 600).text, "from s_client\n");
  EXPECT_EQ(Release(h, l, 0), 0);
  EXPECT_EQ(client.Wait(), 0);  // it saw the end and left
  client.Stop();
}

TEST(SslStreams, ListenerWithoutCertificateWaitsUntilOneIsSet) {
  REQUIRE_CERTS();
  InDirectory in(EmptyDir());
  Host h;
  int32_t l = SslListen(h, 0);
  ASSERT_GT(l, 0);
  auto [code, text] = SslError(h, l);  // why it will not accept
  EXPECT_NE(code, 0);
  EXPECT_FALSE(text.empty());

  Child client = StartPythonPeer({"client", std::to_string(PortOf(h, l))});
  ASSERT_EQ(write(client.in, "hello\n", 6), 6);
  for (int i = 0; i < 10; ++i) {
    h.Delay(1);
    EXPECT_EQ(State(h, l), 2);
  }
  EXPECT_EQ(SetCertificate(h, l, Certs().bCert, Certs().aKey, ""), -4);  // another certificate's key
  EXPECT_EQ(SetCertificate(h, l, Certs().aCert, Certs().aEncryptedKey, ""), -3);
  EXPECT_EQ(SetCertificate(h, l, Certs().aCert, Certs().aEncryptedKey, "wrong"), -3);
  EXPECT_EQ(SetCertificate(h, l, (Certs().dir / "none.crt").string(), Certs().aKey, ""), -3);
  const std::string nul(1, '\0');
  EXPECT_EQ(SetCertificate(h, l, Certs().aCert + nul + "x", Certs().aKey + nul + "x", ""), -3);  // not the files named
  for (int i = 0; i < 5; ++i) {
    h.Delay(1);
    EXPECT_EQ(State(h, l), 2);
  }
  EXPECT_EQ(SetCertificate(h, l, Certs().aCert, Certs().aEncryptedKey, "open-sesame"), 0);
  ASSERT_EQ(AwaitState(h, l, 8), 8);
  EXPECT_EQ(Receive(h, l, 0, 0, "\n", 600).text, "hello\n");
  EXPECT_EQ(Send(h, l, "bye"), 0);
  EXPECT_EQ(CloseStream(h, l), 0);
  std::string report = ReadLine(client.out);
  EXPECT_EQ(report.substr(0, 8), "3 clean ") << report;
  EXPECT_EQ(Release(h, l), 0);
  client.Stop();

  // Certificate and key in one file, in PEM or in DER; a plain stream keeps them for its
  // STARTTLS, and is still plain.
  int32_t one = SslListen(h, 0);
  EXPECT_EQ(SetCertificate(h, one, Certs().aBoth, "", ""), 0);
  EXPECT_EQ(SetCertificate(h, one, Certs().aBoth, Certs().aBoth, ""), 0);
  EXPECT_EQ(SetCertificate(h, one, Certs().aCertDer, Certs().aKeyDer, ""), 0);
  EXPECT_EQ(SetCertificate(h, one, Certs().bCert, Certs().bKey, ""), 0);  // replaced
  int32_t plain = Listen(h, 0);
  EXPECT_EQ(SetCertificate(h, plain, Certs().aBoth, "", ""), 0);
  EXPECT_EQ(SetCiphers(h, plain, ""), -2);
  EXPECT_EQ(Info(h, plain).result, -2);
  EXPECT_EQ(SslError(h, plain).first, 0);
  EXPECT_EQ(SetCertificate(h, 999, Certs().aBoth, "", ""), -1);
  Value zero = Value::Long(0);
  Value udp = Value::Long(CallLong(h, "VRX_OpenUDP", {&zero}));
  EXPECT_EQ(SetCertificate(h, udp.AsLong(), Certs().aBoth, "", ""), -2);  // a datagram endpoint has no SSL
  EXPECT_EQ(CallLong(h, "VRX_CloseUDP", {&udp}), 0);
  EXPECT_EQ(Info(h, 999).result, -1);
  EXPECT_EQ(SetCiphers(h, 999, ""), -1);
  EXPECT_EQ(SslError(h, 999).first, -1);
  EXPECT_EQ(Release(h, one), 0);
  EXPECT_EQ(Release(h, plain), 0);
}

// Opens an SSL client to the listener and brings both to Established.
int32_t ConnectTo(Host& h, int32_t listener) {
  int32_t c = SslOpen(h, "127.0.0.1", PortOf(h, listener));
  h.NewProcess([&h, listener] { AwaitState(h, listener, 8); }, "accept");
  AwaitState(h, c, 8);
  h.WaitForProcesses();
  return c;
}

// A client that connects and goes before its hello: the accepted stream ends instead of
// waiting in 4 for a handshake that will not come.
TEST(SslStreams, AClientGoneBeforeItsHelloEndsTheAcceptedStream) {
  REQUIRE_CERTS();
  InDirectory in(ServedDir());
  Host h;
  for (bool reset : {false, true}) {
    int32_t l = SslListen(h, 0);
    int peer = ConnectRaw(PortOf(h, l));
    ASSERT_GE(peer, 0);
    if (reset) {
      linger now{1, 0};
      setsockopt(peer, SOL_SOCKET, SO_LINGER, &now, sizeof now);
    }
    close(peer);
    EXPECT_GE(AwaitState(h, l, 14), 14) << reset;
    EXPECT_EQ(Release(h, l), 0);
  }
}

TEST(SslStreams, FailedCertificateLoadKeepsWhatTheStreamHad) {
  REQUIRE_CERTS();
  InDirectory in(ServedDir());
  Host h;
  int32_t l = SslListen(h, 0);  // VRXcert.pem: certificate "a"
  EXPECT_EQ(SetCertificate(h, l, (Certs().dir / "none.crt").string(), "", ""), -3);
  int32_t c = ConnectTo(h, l);
  ASSERT_EQ(State(h, c), 8);
  EXPECT_NE(Info(h, c).subject.find("CN=vrx-a"), std::string::npos);
  EXPECT_EQ(Release(h, c), 0);
  EXPECT_EQ(Release(h, l), 0);

  int32_t l2 = SslListen(h, 0);
  EXPECT_EQ(SetCertificate(h, l2, Certs().bCert, Certs().bKey, ""), 0);
  EXPECT_EQ(SetCertificate(h, l2, Certs().aCert, Certs().bKey, ""), -4);
  int32_t c2 = ConnectTo(h, l2);
  ASSERT_EQ(State(h, c2), 8);
  EXPECT_NE(Info(h, c2).subject.find("CN=vrx-b"), std::string::npos);
  EXPECT_EQ(Release(h, c2), 0);
  EXPECT_EQ(Release(h, l2), 0);
}

TEST(SslStreams, EchoThroughPythonCountsDecryptedBytesAndClosesCleanly) {
  REQUIRE_CERTS();
  const std::string data = Pattern(100000, 3);
  Child server = StartPythonPeer({"server", Certs().aCert, Certs().aKey});
  uint16_t port = uint16_t(std::atoi(ReadLine(server.out).c_str()));
  ASSERT_NE(port, 0);
  Host h;
  int32_t s = SslOpen(h, "127.0.0.1", port);
  ASSERT_EQ(AwaitState(h, s, 8), 8);
  EXPECT_EQ(Info(h, s).result, 0);
  h.NewProcess([&] {
    for (size_t off = 0; off < data.size(); off += 32000)
      EXPECT_EQ(Send(h, s, std::string_view(data).substr(off, 32000)), 0);
  }, "writer");
  std::string back = ReceiveBytes(h, s, data.size());
  h.WaitForProcesses();
  EXPECT_TRUE(back == data) << back.size();

  // Decrypted bytes are counted, not the records on the socket.
  EXPECT_EQ(Send(h, s, "0123456789"), 0);
  int32_t n = 0;
  for (int i = 0; i < 300 && n < 10; ++i) {
    h.Delay(1);
    n = Available(h, s);
  }
  EXPECT_EQ(n, 10);
  EXPECT_EQ(Receive(h, s, 4, 0, "", 600).text, "0123");
  EXPECT_EQ(Available(h, s), 6);
  EXPECT_EQ(Receive(h, s, 0, 0, "", 600).text, "456789");

  // The BLOB commands go through the same SSL sends and receives.
  const std::string big = Pattern(300000, 4);
  Value ref = Value::Long(s), blob = Value::Blob(big), zero = Value::Long(0);
  EXPECT_EQ(CallLong(h, "VRX_SendBlob", {&ref, &blob, &zero, &zero, &zero, &zero}), 0);
  Value back2 = Value::Blob(""), limit = Value::Long(int32_t(big.size())), none = Value::String(""),
        timeout = Value::Long(600);
  CallLong(h, "VRX_ReceiveBlob", {&ref, &back2, &limit, &zero, &zero, &none, &timeout});
  EXPECT_TRUE(back2.Bytes() == big) << back2.Bytes().size();
  // The receive released the stream at its end, with a close notification.
  EXPECT_EQ(State(h, s), -1);
  EXPECT_EQ(ReadLine(server.out), "400010 clean");
  server.Stop();
}

TEST(SslStreams, AbortiveReleaseSendsNoCloseNotification) {
  REQUIRE_CERTS();
  InDirectory in(ServedDir());
  for (int32_t mode : {0, -1}) {
    Host h;
    int32_t l = SslListen(h, 0);
    int32_t c = ConnectTo(h, l);
    ASSERT_EQ(State(h, c), 8);
    ASSERT_EQ(State(h, l), 8);
    EXPECT_EQ(Send(h, c, "last words"), 0);
    EXPECT_EQ(Release(h, c, mode), 0);
    EXPECT_EQ(Receive(h, l, 0, 0, "", 600).text, "last words");
    EXPECT_EQ(Receive(h, l, 0, 0, "", 600).text, "");
    // The peer's end; an abrupt one may break the connection as the alert goes out.
    EXPECT_GE(AwaitState(h, l, 14), 14);
    auto [code, text] = SslError(h, l);
    if (mode == 0) {
      EXPECT_EQ(code, 0) << text;  // the close notification: an orderly end
    } else {
      // No close notification: the end is an error. Mostly a plain end of data; a reset
      // when the server's session tickets were still unread at our side as it closed.
      EXPECT_NE(code, 0) << text;
      EXPECT_TRUE(text.find("unexpected eof") != std::string::npos || text.find("reset") != std::string::npos)
          << text;
    }
    EXPECT_EQ(Release(h, l), 0);
  }
}

TEST(SslStreams, PeerResetIsAnErrorNotAnOrderlyEnd) {
  REQUIRE_CERTS();
  InDirectory in(ServedDir());
  Host h;
  int32_t l = SslListen(h, 0);
  Child peer = StartPythonPeer({"reset", std::to_string(PortOf(h, l))});
  ASSERT_EQ(AwaitState(h, l, 8, 600), 8);
  EXPECT_EQ(Send(h, l, "hello\n"), 0);
  EXPECT_EQ(ReadLine(peer.out), "reset");
  EXPECT_EQ(Receive(h, l, 0, 0, "", 600).result, 0);
  EXPECT_GE(State(h, l), 14);
  auto [code, text] = SslError(h, l);
  EXPECT_NE(code, 0);
  EXPECT_NE(text.find("reset"), std::string::npos) << text;
  EXPECT_EQ(peer.Wait(), 0);
  EXPECT_EQ(Release(h, l), 0);
}

TEST(SslStreams, TwoProcessesOfOneHostBothWays) {
  REQUIRE_CERTS();
  InDirectory in(ServedDir());
  Host h;
  const size_t total = size_t(2) << 20;
  const std::string up = Pattern(total, 11);
  int32_t listener = SslListen(h, 0, 1024);
  int32_t client = SslOpen(h, "127.0.0.1", PortOf(h, listener), 2048);
  ASSERT_GT(client, 0);
  std::string atServer, echoed;
  // The server echoes; the client writes from one process and reads from another, so
  // a read runs while a write waits for room.
  StartEchoAndWriter(h, listener, client, up, &atServer);
  h.NewProcess([&] {
    ASSERT_EQ(AwaitState(h, client, 8), 8);
    echoed = ReceiveBytes(h, client, total);
  }, "reader");
  h.WaitForProcesses();
  EXPECT_TRUE(atServer == up) << atServer.size();
  EXPECT_TRUE(echoed == up) << echoed.size();
  EXPECT_NE(Info(h, client).subject.find("CN=vrx-a"), std::string::npos);
  EXPECT_EQ(Info(h, listener).subject, "");
  EXPECT_EQ(State(h, client, 17), int32_t(total));
  EXPECT_EQ(State(h, listener, 14), int32_t(total));
  EXPECT_GT(State(h, client, 24), int32_t(total));
  Value bytesSent = Value::Long(12);
  EXPECT_GE(CallLong(h, "VRX_GetNetworkValue", {&bytesSent}), 2 * int32_t(total));

  // The client closes: the server reads the end and becomes 14, then 18 on its close.
  EXPECT_EQ(CloseStream(h, client), 0);
  EXPECT_EQ(Receive(h, listener, 0, 0, "", 600).result, 0);
  EXPECT_EQ(AwaitState(h, listener, 14), 14);
  EXPECT_EQ(CloseStream(h, listener), 0);
  EXPECT_EQ(State(h, listener), 18);
  EXPECT_EQ(Release(h, client), 0);
  EXPECT_EQ(Release(h, listener), 0);
}

TEST(SslStreams, HandshakeFailuresAndInformationWhileHandshaking) {
  REQUIRE_CERTS();
  InDirectory in(ServedDir());
  Host h;
  // A plain-text client on an SSL server: the handshake fails and the stream is 14.
  int32_t l = SslListen(h, 0);
  int raw = ConnectRaw(PortOf(h, l));
  ASSERT_GE(raw, 0);
  ASSERT_EQ(write(raw, "GET / HTTP/1.0\r\n\r\n", 18), 18);
  EXPECT_EQ(AwaitState(h, l, 14), 14);
  EXPECT_NE(SslError(h, l).first, 0);
  EXPECT_FALSE(SslError(h, l).second.empty());
  EXPECT_EQ(Release(h, l), 0);
  close(raw);

  // An SSL client on a plain server: Connecting while the handshake waits (no SSL
  // information yet), still Connecting after it failed, until the server hangs up.
  uint16_t port = 0;
  int server = ListenRaw(&port);
  int32_t c = SslOpen(h, "127.0.0.1", port);
  int peer = accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
  close(server);
  ASSERT_GE(peer, 0);
  for (int i = 0; i < 5; ++i) {
    h.Delay(1);
    EXPECT_EQ(State(h, c), 6);
  }
  EXPECT_EQ(Info(h, c).result, -3);
  std::string hello = ReadRaw(peer, 5);
  EXPECT_EQ(hello.substr(0, 1), "\x16");  // a handshake record: the client hello
  ASSERT_EQ(write(peer, "HTTP/1.0 400 Bad\r\n\r\n", 20), 20);
  for (int i = 0; i < 5; ++i) {
    h.Delay(1);
    EXPECT_EQ(State(h, c), 6);
  }
  EXPECT_NE(SslError(h, c).first, 0);
  EXPECT_EQ(Send(h, c, "never"), -1);
  EXPECT_EQ(Receive(h, c, 0, 0, "", 0).result, 0);
  close(peer);
  EXPECT_GE(AwaitState(h, c, 14), 14);
  EXPECT_EQ(Release(h, c), 0);
}

TEST(SslStreams, SendTimesOutAgainstAPeerThatStopsReading) {
  REQUIRE_CERTS();
  InDirectory in(ServedDir());
  Host h(Host::Options{.pluginPath = {}, .testClock = true});
  int32_t l = SslListen(h, 0);
  int32_t c = ConnectTo(h, l);
  ASSERT_EQ(State(h, c), 8);
  ASSERT_EQ(State(h, l), 8);
  Value ref = Value::Long(c), ticks = Value::Long(120);
  EXPECT_EQ(CallLong(h, "VRX_SetStreamOption", {&ref, &ticks}), 120);
  std::string block(32000, 's');
  int32_t result = 0;
  int sends = 0;
  uint32_t start = platform::TickCount();
  for (; sends < 400 && result == 0; ++sends) result = Send(h, c, block);
  EXPECT_EQ(result, -1);
  EXPECT_GT(State(h, c, 24), 8192);  // records went out until the peer's buffers filled
  EXPECT_GE(platform::TickCount() - start, 120u);
  EXPECT_EQ(State(h, c), 8);
  EXPECT_EQ(Release(h, c, -1), 0);
  EXPECT_EQ(Release(h, l, -1), 0);
}


// A Python peer held to one old protocol version, with RSA key exchange (which needs no
// signature, so the library's security level alone does not refuse it). Prints its port
// first as a server; then "accepted VERSION", or the reason of the handshake's failure.
const char* kOldProtocolPeer = R"PY(
import socket, ssl, sys
mode, version, cert, key = sys.argv[1:5]
server = mode == "server"
ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER if server else ssl.PROTOCOL_TLS_CLIENT)
if server:
    ctx.load_cert_chain(cert, key)
else:
    ctx.check_hostname = False; ctx.verify_mode = ssl.CERT_NONE
ctx.set_ciphers("AES128-SHA:@SECLEVEL=0")
ctx.minimum_version = ctx.maximum_version = getattr(ssl.TLSVersion, version)
if server:
    l = socket.socket(); l.bind(("127.0.0.1", 0)); l.listen(1)
    print(l.getsockname()[1], flush=True)
    c, _ = l.accept()
else:
    c = socket.create_connection(("127.0.0.1", int(sys.argv[5])))
c.settimeout(10)
try:
    s = ctx.wrap_socket(c, server_side=server)
    print("accepted", s.version(), flush=True)
    s.recv(10)
except (ssl.SSLError, OSError) as e:
    print(getattr(e, "reason", None) or type(e).__name__, flush=True)
)PY";

TEST(SslStreams, ProtocolsBeforeTls12AreRefusedWithAProtocolVersionAlert) {
  REQUIRE_CERTS();
  InDirectory in(ServedDir());
  for (const char* version : {"TLSv1", "TLSv1_1"}) {
    Host h;
    // We as the client: our hello offers nothing the server speaks, and it says so.
    Child server = Spawn({"/usr/bin/python3", "-c", kOldProtocolPeer, "server", version, Certs().aCert, Certs().aKey});
    uint16_t port = uint16_t(std::atoi(ReadLine(server.out).c_str()));
    ASSERT_NE(port, 0);
    int32_t c = SslOpen(h, "127.0.0.1", port);
    EXPECT_NE(AwaitState(h, c, 8, 300), 8) << version;
    EXPECT_EQ(ReadLine(server.out), "UNSUPPORTED_PROTOCOL") << version;
    EXPECT_NE(SslError(h, c).second.find("alert protocol version"), std::string::npos) << SslError(h, c).second;
    EXPECT_EQ(Release(h, c), 0);
    server.Stop();

    // We as the server: the client's offer is refused with the alert that says why.
    int32_t l = SslListen(h, 0);
    Child client = Spawn({"/usr/bin/python3", "-c", kOldProtocolPeer, "client", version, "", "",
                          std::to_string(PortOf(h, l))});
    EXPECT_NE(AwaitState(h, l, 8, 300), 8) << version;
    EXPECT_EQ(ReadLine(client.out), "TLSV1_ALERT_PROTOCOL_VERSION") << version;
    EXPECT_NE(SslError(h, l).second.find("unsupported protocol"), std::string::npos) << SslError(h, l).second;
    EXPECT_EQ(Release(h, l), 0);
    client.Stop();
  }
}

}  // namespace
