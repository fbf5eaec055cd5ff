// Verified client streams (open option 4096), the trusted certificates, and STARTTLS on
// established plain streams, against openssl s_server, Python's ssl module and aiosmtpd,
// with a throw-away certificate authority made when the tests start.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <fstream>
#include <iterator>
#include <thread>
#include <tuple>

#include "tests/net/ssl/ssl_support.h"

namespace {

using namespace ssltest;

// A CA, certificates it signed for localhost and 127.0.0.1 (good, expired, revoked, and
// one for another name), its revocation list, and a self-signed one for localhost; a
// second CA (RSA) with a certificate of the same key whose signature is broken.
struct Authority {
  fs::path dir;
  std::string ca, key, good, expired, otherName, selfSigned, selfKey, caFolder, noCertificates;
  std::string rsaCa, rsaSigned, badSignature, bothCas, revoked, caWithCrl, crlFolder, caCrlAndSelf;
  bool ok = false;
};

const Authority& Ca() {
  static Authority a = [] {
    Authority a;
    a.dir = fs::temp_directory_path() / ("vrx-tls-" + std::to_string(getpid()));
    fs::create_directories(a.dir / "cas");
    auto at = [&](const char* name) { return (a.dir / name).string(); };
    a.ca = at("ca.crt"), a.key = at("server.key"), a.good = at("good.crt"), a.expired = at("expired.crt");
    a.otherName = at("other.crt"), a.selfSigned = at("self.crt"), a.selfKey = at("self.key");
    a.caFolder = at("cas"), a.noCertificates = at("server.key");
    a.rsaCa = at("rsaca.crt"), a.rsaSigned = at("rsa.crt"), a.badSignature = at("badsig.crt");
    a.bothCas = at("both-cas.crt"), a.revoked = at("revoked.crt"), a.caWithCrl = at("ca-crl.pem");
    a.crlFolder = at("crls"), a.caCrlAndSelf = at("ca-crl-self.pem");
    const std::string ec = "-newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes ";
    const std::string sign = "openssl x509 -req -in server.csr -CA ca.crt -CAkey ca.key -CAcreateserial ";
    std::string cmd =
        "cd '" + a.dir.string() + "' && "
        "openssl req -x509 " + ec + "-keyout ca.key -out ca.crt -days 2 -subj /CN=VRX-test-CA -batch && "
        "openssl req " + ec + "-keyout server.key -out server.csr -subj /CN=localhost -batch && "
        "printf 'subjectAltName=DNS:localhost,IP:127.0.0.1\\n' > san.ext && "
        "printf 'subjectAltName=DNS:elsewhere.example\\n' > other.ext && "
        + sign + "-days 2 -extfile san.ext -out good.crt && "
        + sign + "-days -1 -extfile san.ext -out expired.crt && "
        + sign + "-days 2 -extfile other.ext -out other.crt && "
        "openssl req -x509 " + ec + "-keyout self.key -out self.crt -days 2 -subj /CN=localhost "
        "-addext subjectAltName=DNS:localhost,IP:127.0.0.1 -batch && "
        "cp ca.crt cas/ && printf 'not a certificate\\n' > cas/README && mkdir cas/sub && "
        "cat good.crt server.key > VRXcert.pem && "
        // The RSA CA's certificate with the last byte of its signature flipped.
        "openssl req -x509 -newkey rsa:2048 -nodes -keyout rsaca.key -out rsaca.crt -days 2 -subj /CN=VRX-RSA-CA -batch && "
        "openssl x509 -req -in server.csr -CA rsaca.crt -CAkey rsaca.key -CAcreateserial -days 2 "
        "-extfile san.ext -out rsa.crt && "
        "openssl x509 -in rsa.crt -outform DER -out rsa.der && "
        "python3 -c \"b = bytearray(open('rsa.der', 'rb').read()); b[-1] ^= 1; open('badsig.der', 'wb').write(b)\" && "
        "openssl x509 -inform DER -in badsig.der -out badsig.crt && cat ca.crt rsaca.crt > both-cas.crt && "
        // A certificate revoked by the CA, and the CA's list saying so.
        + sign + "-days 2 -extfile san.ext -out revoked.crt && "
        "printf '[ca]\\ndefault_ca = d\\n[d]\\ndatabase = index.txt\\ncrlnumber = crlnumber\\n"
        "default_md = sha256\\ndefault_crl_days = 2\\n' > ca.cnf && touch index.txt && echo 01 > crlnumber && "
        "openssl ca -config ca.cnf -keyfile ca.key -cert ca.crt -revoke revoked.crt -batch && "
        "openssl ca -config ca.cnf -keyfile ca.key -cert ca.crt -gencrl -out ca.crl -batch && "
        "cat ca.crt ca.crl > ca-crl.pem && cat ca.crt ca.crl self.crt > ca-crl-self.pem && "
        "mkdir crls && cp ca.crt ca.crl crls/";
    a.ok = std::system(("(" + cmd + ") >/dev/null 2>&1").c_str()) == 0;
    return a;
  }();
  return a;
}

class AuthorityCleanup : public ::testing::Environment {
 public:
  void TearDown() override {
    std::error_code ec;
    if (!Ca().dir.empty()) fs::remove_all(Ca().dir, ec);
  }
};
::testing::Environment* const kAuthorityCleanup = ::testing::AddGlobalTestEnvironment(new AuthorityCleanup);

#define REQUIRE_CA() ASSERT_TRUE(Ca().ok) << "the openssl command could not make test certificates"

constexpr int32_t kVerify = 4096;

int32_t SetTrusted(Host& h, const std::string& path) {
  Value p = Value::Text(path);
  return CallLong(h, "VRX_SetTrustedCertificates", {&p});
}

int32_t StartTls(Host& h, int32_t ref, int32_t options, const std::string& name = "", int32_t ticks = 0) {
  Value r = Value::Long(ref), o = Value::Long(options), n = Value::Text(name), t = Value::Long(ticks);
  return CallLong(h, "VRX_StartTLS", {&r, &o, &n, &t});
}

// s_server presenting `cert` (key: the CA-signed one unless given) for `connections`.
Child Serve(const std::string& cert, uint16_t* port, int connections = 1, const std::string& key = Ca().key) {
  return StartOpenSslServer({"-cert", cert, "-key", key}, port, connections);
}

// The state a verified open reaches once its handshake has ended either way.
int32_t OpenVerified(Host& h, const std::string& host, uint16_t port, int32_t* ref) {
  *ref = SslOpen(h, host, port, 1024 + kVerify);
  return *ref > 0 ? AwaitState(h, *ref, 8) : -1;
}

class SystemCertificates {
 public:
  explicit SystemCertificates(const std::string& file) { setenv("SSL_CERT_FILE", file.c_str(), 1); }
  ~SystemCertificates() { unsetenv("SSL_CERT_FILE"); }
};

TEST(VerifiedOpen, ReachesEstablishedWhenTheAuthorityIsTrusted) {
  REQUIRE_CA();
  Host h;
  uint16_t port = 0;
  Child server = Serve(Ca().good, &port, 4);
  ASSERT_NE(port, 0);

  // Trusted by the command, as a file and as a folder; the name, or the address, checked.
  EXPECT_EQ(SetTrusted(h, Ca().ca), 0);
  int32_t ref = 0;
  EXPECT_EQ(OpenVerified(h, "localhost", port, &ref), 8);
  EXPECT_EQ(Info(h, ref).result, 0);
  EXPECT_EQ(Release(h, ref), 0);
  EXPECT_EQ(SetTrusted(h, Ca().caFolder), 0);
  EXPECT_EQ(OpenVerified(h, "127.0.0.1", port, &ref), 8);
  EXPECT_EQ(Release(h, ref), 0);

  // What does not load changes nothing; "" keeps only the system's, here the variable's.
  EXPECT_EQ(SetTrusted(h, Ca().noCertificates), -3);
  EXPECT_EQ(SetTrusted(h, (Ca().dir / "missing").string()), -3);
  EXPECT_EQ(SetTrusted(h, ""), 0);
  {
    SystemCertificates system(Ca().ca);
    EXPECT_EQ(OpenVerified(h, "localhost", port, &ref), 8);
    EXPECT_EQ(Release(h, ref), 0);
  }
  // Trusted by nothing now: the CA's server is refused.
  EXPECT_EQ(OpenVerified(h, "localhost", port, &ref), 20);
  auto [code, text] = SslError(h, ref);
  EXPECT_NE(code, 0);
  EXPECT_NE(text.find("unable to get local issuer certificate"), std::string::npos) << text;
  EXPECT_EQ(Release(h, ref), 0);
  server.Stop();
}

// The trust is built once and shared by every verified open; a stream keeps the trust it
// was opened with when the trusted certificates change, and new opens take the new one.
TEST(VerifiedOpen, ChangedTrustAppliesToNewOpensWhileOpenStreamsKeepWorking) {
  REQUIRE_CA();
  Host h;
  Child echo = StartPythonPeer({"server", Ca().good, Ca().key});
  uint16_t echoPort = uint16_t(std::atoi(ReadLine(echo.out).c_str()));
  uint16_t port = 0;
  Child server = Serve(Ca().good, &port, 3);
  ASSERT_NE(echoPort, 0);
  ASSERT_NE(port, 0);

  ASSERT_EQ(SetTrusted(h, Ca().ca), 0);
  int32_t open = 0, ref = 0;
  ASSERT_EQ(OpenVerified(h, "localhost", echoPort, &open), 8);
  EXPECT_EQ(OpenVerified(h, "localhost", port, &ref), 8);  // the same store, reused
  EXPECT_EQ(Release(h, ref), 0);

  // Another authority, then one that fails to load: the open stream runs on.
  EXPECT_EQ(SetTrusted(h, Ca().rsaCa), 0);
  EXPECT_EQ(SetTrusted(h, Ca().noCertificates), -3);
  EXPECT_EQ(Send(h, open, "still trusted\n"), 0);
  EXPECT_EQ(ReceiveBytes(h, open, 14), "still trusted\n");
  EXPECT_EQ(State(h, open), 8);

  EXPECT_EQ(OpenVerified(h, "localhost", port, &ref), 20);
  EXPECT_NE(SslError(h, ref).second.find("unable to get local issuer certificate"), std::string::npos);
  EXPECT_EQ(Release(h, ref), 0);
  EXPECT_EQ(SetTrusted(h, Ca().bothCas), 0);
  EXPECT_EQ(OpenVerified(h, "localhost", port, &ref), 8);
  EXPECT_EQ(Release(h, ref), 0);
  EXPECT_EQ(Release(h, open), 0);
  EXPECT_EQ(SetTrusted(h, ""), 0);
  server.Stop();
  echo.Stop();
}

TEST(VerifiedOpen, RefusedCertificatesBreakTheStreamAndSayWhy) {
  REQUIRE_CA();
  Host h;
  ASSERT_EQ(SetTrusted(h, Ca().bothCas), 0);
  struct Case {
    std::string cert, key, reason;
  } cases[] = {{Ca().selfSigned, Ca().selfKey, "self-signed certificate"},
               {Ca().expired, Ca().key, "certificate has expired"},
               {Ca().otherName, Ca().key, "hostname mismatch"},
               // The verification's verdict, not the first error its check queued.
               {Ca().badSignature, Ca().key, "certificate verify failed: certificate signature failure"}};
  for (const Case& c : cases) {
    uint16_t port = 0;
    Child server = Serve(c.cert, &port, 1, c.key);
    ASSERT_NE(port, 0);
    int32_t ref = 0;
    EXPECT_EQ(OpenVerified(h, "localhost", port, &ref), 20) << c.reason;
    auto [code, text] = SslError(h, ref);
    EXPECT_NE(code, 0);
    EXPECT_NE(text.find(c.reason), std::string::npos) << text;
    // No application byte goes: the send fails and the server read nothing.
    EXPECT_EQ(Send(h, ref, "secret\n"), -1);
    EXPECT_EQ(Release(h, ref), 0);
    server.Stop();
  }

  // Protocols older than TLS 1.2 are not spoken, verified or not.
  uint16_t old = 0;
  Child tls11 = StartOpenSslServer({"-cert", Ca().good, "-key", Ca().key, "-tls1_1", "-cipher", "DEFAULT:@SECLEVEL=0"},
                                   &old);
  ASSERT_NE(old, 0);
  int32_t ref = SslOpen(h, "localhost", old);
  EXPECT_NE(AwaitState(h, ref, 8, 120), 8);
  EXPECT_EQ(Release(h, ref), 0);
  tls11.Stop();

  // Without the option the same self-signed server is accepted, as it always was.
  uint16_t port = 0;
  Child server = Serve(Ca().selfSigned, &port, 1, Ca().selfKey);
  ref = SslOpen(h, "localhost", port);
  EXPECT_EQ(AwaitState(h, ref, 8), 8);
  EXPECT_EQ(Release(h, ref), 0);
  server.Stop();
}

TEST(VerifiedOpen, RevokedServersAreRefusedOnceARevocationListIsTrusted) {
  REQUIRE_CA();
  Host h;
  struct Case {
    std::string trusted, cert, key;
    int32_t options, state;
    const char* reason;
  } cases[] = {
      {Ca().ca, Ca().revoked, Ca().key, kVerify, 8, nullptr},  // no list: as before
      {Ca().caWithCrl, Ca().good, Ca().key, kVerify, 8, nullptr},
      {Ca().caWithCrl, Ca().revoked, Ca().key, kVerify, 20, "certificate revoked"},
      {Ca().crlFolder, Ca().revoked, Ca().key, kVerify, 20, "certificate revoked"},
      {Ca().caWithCrl, Ca().revoked, Ca().key, 0, 8, nullptr},  // without verification
      // An authority without a list among those given is verified as without lists.
      {Ca().caCrlAndSelf, Ca().selfSigned, Ca().selfKey, kVerify, 8, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.trusted + " " + c.cert + " " + std::to_string(c.options));
    ASSERT_EQ(SetTrusted(h, c.trusted), 0);
    uint16_t port = 0;
    Child server = Serve(c.cert, &port, 1, c.key);
    ASSERT_NE(port, 0);
    int32_t ref = SslOpen(h, "localhost", port, 1024 + c.options);
    EXPECT_EQ(AwaitState(h, ref, 8), c.state);
    if (c.reason) {
      EXPECT_NE(SslError(h, ref).second.find(c.reason), std::string::npos) << SslError(h, ref).second;
    }
    EXPECT_EQ(Release(h, ref), 0);
    server.Stop();
  }
}

// A copy of `from` with `change` made to its text, written to `name` in the CA's folder.
std::string Damaged(const std::string& from, const std::string& name,
                    const std::function<void(std::string&)>& change) {
  std::ifstream in(from, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  change(text);
  fs::path to = Ca().dir / name;
  fs::create_directories(to.parent_path());
  std::ofstream(to, std::ios::binary) << text;
  return to.string();
}

TEST(VerifiedOpen, AFileWithADamagedCertificateIsRefusedWhole) {
  REQUIRE_CA();
  std::ifstream rsa(Ca().rsaCa);
  const std::string rsaCa((std::istreambuf_iterator<char>(rsa)), std::istreambuf_iterator<char>());
  // The good CA first, then the RSA CA's block damaged in one way or another.
  auto after = [&](std::function<void(std::string&)> damage) {
    return [&rsaCa, damage](std::string& text) {
      std::string block = rsaCa;
      damage(block);
      text += block;
    };
  };
  const std::string paths[] = {
      Damaged(Ca().ca, "bad-base64.crt", after([](std::string& b) { b[b.find('\n', 100) - 10] = '!'; })),
      Damaged(Ca().ca, "no-end.crt", after([](std::string& b) { b.erase(b.find("-----END")); })),
      // Whole lines gone: the Base64 is sound, the certificate inside it cut short.
      Damaged(Ca().ca, "cut-short.crt", after([](std::string& b) { b.erase(b.find('\n', 200) + 1, 65 * 3); })),
      Damaged(Ca().ca, "folder/a.crt", after([](std::string& b) { b.erase(b.find("-----END")); })),
  };
  Host h;
  uint16_t caPort = 0, rsaPort = 0;
  Child caServer = Serve(Ca().good, &caPort, 4), rsaServer = Serve(Ca().rsaSigned, &rsaPort, 4);
  ASSERT_NE(caPort, 0);
  ASSERT_NE(rsaPort, 0);
  for (const std::string& path : {paths[0], paths[1], paths[2], (Ca().dir / "folder").string()}) {
    SCOPED_TRACE(path);
    ASSERT_EQ(SetTrusted(h, Ca().rsaCa), 0);
    EXPECT_EQ(SetTrusted(h, path), -3);
    // What was trusted stays so; the good CA before the damage was not taken either.
    int32_t ref = 0;
    EXPECT_EQ(OpenVerified(h, "localhost", rsaPort, &ref), 8);
    EXPECT_EQ(Release(h, ref), 0);
    EXPECT_EQ(OpenVerified(h, "localhost", caPort, &ref), 20);
    EXPECT_EQ(Release(h, ref), 0);
  }
  caServer.Stop();
  rsaServer.Stop();
}

TEST(StartTls, UpgradesAPlainConnectionAndVerifiesIt) {
  REQUIRE_CA();
  Host h;
  ASSERT_EQ(SetTrusted(h, Ca().ca), 0);
  uint16_t port = 0;
  Child server = Serve(Ca().good, &port, 2);
  ASSERT_NE(port, 0);

  // s_server speaks TLS from the start: the upgrade of a fresh plain stream meets it.
  int32_t ref = Open(h, "localhost", port);
  ASSERT_EQ(AwaitState(h, ref, 8), 8);
  EXPECT_EQ(Info(h, ref).result, -2);
  EXPECT_EQ(StartTls(h, ref, kVerify), 0);  // the name the stream was opened with
  EXPECT_EQ(State(h, ref), 8);
  SslInfo info = Info(h, ref);
  EXPECT_EQ(info.result, 0);
  EXPECT_EQ(info.version, "TLSv1.3");
  EXPECT_NE(info.subject.find("localhost"), std::string::npos);
  EXPECT_EQ(StartTls(h, ref, 0), -2);
  EXPECT_EQ(SetCiphers(h, ref, ""), 0);
  EXPECT_EQ(Release(h, ref), 0);

  // Another name than the certificate's: refused, broken, and why.
  ref = Open(h, "127.0.0.1", port);
  ASSERT_EQ(AwaitState(h, ref, 8), 8);
  EXPECT_EQ(StartTls(h, ref, kVerify, "elsewhere.example"), -3);
  EXPECT_EQ(State(h, ref), 20);
  EXPECT_NE(SslError(h, ref).second.find("hostname mismatch"), std::string::npos);
  EXPECT_EQ(Release(h, ref), 0);
  server.Stop();
}

// A raw peer on its own thread: answers the first bytes it receives with `answer`
// (nothing when empty), then holds the connection until the test lets go.
class RawPeer {
 public:
  explicit RawPeer(std::string answer, std::string greeting = "") {
    listener_ = ListenRaw(&port);
    thread_ = std::thread([this, answer, greeting] {
      int fd = accept(listener_, nullptr, nullptr);
      if (fd < 0) return;
      if (!greeting.empty()) (void)!write(fd, greeting.data(), greeting.size());
      char buf[4096];
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 5000) > 0 && read(fd, buf, sizeof buf) > 0 && !answer.empty())
        (void)!write(fd, answer.data(), answer.size());
      pollfd q{done_[0], POLLIN, 0};
      poll(&q, 1, 20000);
      close(fd);
    });
  }
  ~RawPeer() {
    (void)!write(done_[1], "x", 1);
    thread_.join();
    for (int fd : {listener_, done_[0], done_[1]}) close(fd);
  }
  uint16_t port = 0;

 private:
  int listener_ = -1;
  int done_[2] = {-1, -1};
  int piped_ = pipe2(done_, O_CLOEXEC);
  std::thread thread_;
};

TEST(StartTls, ANameWithAZeroByteIsRefused) {
  REQUIRE_CA();
  Host h;
  ASSERT_EQ(SetTrusted(h, Ca().ca), 0);
  uint16_t port = 0;
  Child server = Serve(Ca().good, &port, 1);
  ASSERT_NE(port, 0);
  const std::string cut("localhost\0.elsewhere.example", 28);
  // An open by such a name makes no stream, verified or not.
  EXPECT_EQ(SslOpen(h, cut, port, 1024 + kVerify), 0);
  EXPECT_EQ(SslOpen(h, cut, port, 1024), 0);
  // STARTTLS refuses it and leaves the stream as it was: the right name still works.
  int32_t ref = Open(h, "127.0.0.1", port);
  ASSERT_EQ(AwaitState(h, ref, 8), 8);
  for (int32_t options : {kVerify, 0}) EXPECT_EQ(StartTls(h, ref, options, cut), -1);
  EXPECT_EQ(State(h, ref), 8);
  EXPECT_EQ(Info(h, ref).result, -2);
  EXPECT_EQ(StartTls(h, ref, kVerify, "localhost"), 0);
  EXPECT_EQ(Release(h, ref), 0);
  server.Stop();
}

TEST(StartTls, MisuseAndPeersThatDoNotSpeakTls) {
  Host h;
  EXPECT_EQ(StartTls(h, 0, 0), -1);
  EXPECT_EQ(StartTls(h, 999, 0), -1);
  int32_t listening = Listen(h, 0);
  EXPECT_EQ(StartTls(h, listening, 0), -1);  // not established
  EXPECT_EQ(Release(h, listening), 0);
  Value zero = Value::Long(0);
  Value udp = Value::Long(CallLong(h, "VRX_OpenUDP", {&zero}));
  EXPECT_EQ(StartTls(h, udp.AsLong(), 0), -1);  // a datagram endpoint has no stream to upgrade
  EXPECT_EQ(CallLong(h, "VRX_CloseUDP", {&udp}), 0);

  // Plain bytes left unread: refused, and the stream goes on as it was.
  {
    RawPeer peer("", "220 ready\r\nEARLY");
    int32_t ref = Open(h, "127.0.0.1", peer.port);
    ASSERT_EQ(AwaitState(h, ref, 8), 8);
    EXPECT_EQ(Receive(h, ref, 0, 0, "\r\n", 300).text, "220 ready\r\n");
    EXPECT_EQ(StartTls(h, ref, 0), -1);
    EXPECT_EQ(State(h, ref), 8);
    EXPECT_EQ(Info(h, ref).result, -2);
    EXPECT_EQ(Receive(h, ref, 5, 0, "", 300).text, "EARLY");
    EXPECT_EQ(Release(h, ref), 0);
  }
  // Garbage for an answer: a failed handshake, the stream broken.
  {
    RawPeer peer("HTTP/1.0 400 Bad Request\r\n\r\n");
    int32_t ref = Open(h, "127.0.0.1", peer.port);
    ASSERT_EQ(AwaitState(h, ref, 8), 8);
    EXPECT_EQ(StartTls(h, ref, 0, "", 600), -3);
    EXPECT_EQ(State(h, ref), 20);
    EXPECT_NE(SslError(h, ref).first, 0);
    EXPECT_EQ(Release(h, ref), 0);
  }
  // Silence: the time-out, while the other processes go on.
  {
    RawPeer peer("");
    int32_t ref = Open(h, "127.0.0.1", peer.port);
    ASSERT_EQ(AwaitState(h, ref, 8), 8);
    int ticksOfOthers = 0;
    bool waiting = true;
    h.NewProcess([&] {
      while (waiting) {
        ++ticksOfOthers;
        h.Delay(1);
      }
    }, "other");
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(StartTls(h, ref, 0, "", 30), -4);
    waiting = false;
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_GT(ticksOfOthers, 5);
    EXPECT_EQ(State(h, ref), 20);
    h.WaitForProcesses();
    EXPECT_EQ(Release(h, ref), 0);
  }
}

// aiosmtpd requiring STARTTLS: of every message it takes it prints "MAIL from rcpts" and
// "DATA length", and writes its bytes to the file named third.
const char* kSmtpServer = R"PY(
import asyncio, ssl, sys
from aiosmtpd.smtp import SMTP
class Handler:
    async def handle_DATA(self, server, session, envelope):
        print("MAIL", envelope.mail_from, ",".join(envelope.rcpt_tos), flush=True)
        with open(sys.argv[3], "wb") as f:
            f.write(envelope.original_content)
        print("DATA", len(envelope.original_content), flush=True)
        return "250 OK"
async def main():
    ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    ctx.load_cert_chain(sys.argv[1], sys.argv[2])
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(Handler(), tls_context=ctx, require_starttls=True, hostname="localhost"),
        "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    await asyncio.sleep(60)
asyncio.run(main())
)PY";

// One SMTP reply (its lines up to the one with a space after the code): the code, and
// the whole text in *text.
int Reply(Host& h, int32_t ref, std::string* text = nullptr) {
  std::string all, line;
  do {
    line = Receive(h, ref, 0, 0, "\r\n", 600).text;
    all += line;
  } while (line.size() >= 4 && line[3] == '-');
  if (text) *text = all;
  return line.size() >= 3 ? std::atoi(line.substr(0, 3).c_str()) : -1;
}

int Command(Host& h, int32_t ref, const std::string& line, std::string* text = nullptr) {
  if (Send(h, ref, line + "\r\n") != 0) return -1;
  return Reply(h, ref, text);
}

TEST(StartTls, SubmitsMailToAServerThatRequiresIt) {
  REQUIRE_CA();
  Child smtp = Spawn({"/usr/bin/python3", "-c", kSmtpServer, Ca().good, Ca().key, (Ca().dir / "mail.eml").string()});
  uint16_t port = uint16_t(std::atoi(ReadLine(smtp.out).c_str()));
  ASSERT_NE(port, 0) << "aiosmtpd did not start (python3-aiosmtpd installed?)";
  Host h;
  ASSERT_EQ(SetTrusted(h, Ca().ca), 0);
  int32_t ref = Open(h, "localhost", port);
  ASSERT_EQ(AwaitState(h, ref, 8), 8);
  EXPECT_EQ(Reply(h, ref), 220);
  std::string text;
  EXPECT_EQ(Command(h, ref, "EHLO client.example", &text), 250);
  EXPECT_NE(text.find("STARTTLS"), std::string::npos);
  EXPECT_EQ(Command(h, ref, "MAIL FROM:<a@example.org>"), 530);  // not before TLS
  EXPECT_EQ(Command(h, ref, "STARTTLS"), 220);
  ASSERT_EQ(StartTls(h, ref, kVerify, "localhost"), 0);
  EXPECT_EQ(Command(h, ref, "EHLO client.example"), 250);
  EXPECT_EQ(Command(h, ref, "MAIL FROM:<a@example.org>"), 250);
  EXPECT_EQ(Command(h, ref, "RCPT TO:<b@example.net>"), 250);
  EXPECT_EQ(Command(h, ref, "DATA"), 354);
  // About 45 KB, more than one text and one TLS record.
  std::string body = "Subject: over TLS\r\n\r\n";
  for (int i = 0; i < 600; ++i) {
    std::string line = std::to_string(i) + " " + Pattern(40, uint32_t(i));
    for (char& ch : line) ch = char('!' + uint8_t(ch) % 90);
    body += line + "\r\n";
  }
  for (size_t off = 0; off < body.size(); off += 30000)
    ASSERT_EQ(Send(h, ref, std::string_view(body).substr(off, 30000)), 0);
  EXPECT_EQ(Command(h, ref, "."), 250);
  EXPECT_EQ(Command(h, ref, "QUIT"), 221);
  EXPECT_EQ(Release(h, ref), 0);

  EXPECT_EQ(ReadLine(smtp.out), "MAIL a@example.org b@example.net");
  EXPECT_EQ(ReadLine(smtp.out), "DATA " + std::to_string(body.size()));
  std::ifstream arrived(Ca().dir / "mail.eml", std::ios::binary);
  std::string got((std::istreambuf_iterator<char>(arrived)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(got == body) << "the message did not arrive intact";
  smtp.Stop();
}

// The output and exit status of a command line.
std::pair<std::string, int> RunShell(const std::string& command) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return {"", -1};
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  int status = pclose(p);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(StartTls, TheMailExampleSendsOnlyToAVerifiedServer) {
  REQUIRE_CA();
  Child smtp = Spawn({"/usr/bin/python3", "-c", kSmtpServer, Ca().good, Ca().key, (Ca().dir / "example.eml").string()});
  std::string port = ReadLine(smtp.out);
  ASSERT_FALSE(port.empty());
  std::string run = std::string(VRX_CLI_PATH) + " run " + VRX_SOURCE_DIR + "/examples/starttls_mail.4dm localhost " +
                    port + " a@example.org b@example.net";
  auto [out, status] = RunShell(run + " " + Ca().ca);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("TLS: TLSv1.3\n"), std::string::npos) << out;
  EXPECT_EQ(ReadLine(smtp.out), "MAIL a@example.org b@example.net");
  // Without the CA the server is not trusted, and nothing is sent.
  std::tie(out, status) = RunShell(run);
  EXPECT_EQ(status, 1) << out;
  EXPECT_NE(out.find("certificate verify failed: unable to get local issuer certificate"), std::string::npos) << out;
  EXPECT_EQ(out.find("MAIL FROM"), std::string::npos) << out;
  smtp.Stop();
}

// A client that asks for STARTTLS in plain, then verifies the server against the CA and
// prints what the server echoes over TLS.
const char* kStartTlsClient = R"PY(
import socket, ssl, sys
s = socket.create_connection(("127.0.0.1", int(sys.argv[1])))
s.sendall(b"STARTTLS\r\n")
reply = b""
while not reply.endswith(b"\r\n"):
    reply += s.recv(1)
ctx = ssl.create_default_context(cafile=sys.argv[2])
t = ctx.wrap_socket(s, server_hostname="localhost")
t.sendall(b"hello over tls\n")
print(reply.decode().strip(), t.version(), t.recv(100).decode().strip(), flush=True)
t.close()
)PY";

TEST(StartTls, UpgradesAsTheServerAfterAPlainRequest) {
  REQUIRE_CA();
  InDirectory in(Ca().dir);  // VRXcert.pem: the CA-signed certificate and its key
  Host h;
  int32_t ref = Listen(h, 0);
  Child client = Spawn({"/usr/bin/python3", "-c", kStartTlsClient, std::to_string(PortOf(h, ref)), Ca().ca});
  ASSERT_EQ(AwaitState(h, ref, 8), 8);
  EXPECT_EQ(Receive(h, ref, 0, 0, "\r\n", 600).text, "STARTTLS\r\n");
  EXPECT_EQ(Send(h, ref, "220 go ahead\r\n", 1), 14);  // collected: it leaves before the handshake
  ASSERT_EQ(StartTls(h, ref, 1), 0);
  EXPECT_EQ(Info(h, ref).result, 0);
  std::string line = Receive(h, ref, 0, 0, "\n", 600).text;
  EXPECT_EQ(line, "hello over tls\n");
  EXPECT_EQ(Send(h, ref, line), 0);
  EXPECT_EQ(ReadLine(client.out), "220 go ahead TLSv1.3 hello over tls");
  EXPECT_EQ(Release(h, ref), 0);
  client.Stop();
}

// A TLS server on the socket that connected to us.
const char* kTlsServerOnClientSocket = R"PY(
import socket, ssl, sys
ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
ctx.load_cert_chain(sys.argv[2], sys.argv[3])
c = socket.create_connection(("127.0.0.1", int(sys.argv[1])))
try:
    s = ctx.wrap_socket(c, server_side=True)
    s.sendall(b"hello\n")
    s.recv(100)
except Exception:
    pass
)PY";

// An accepted stream has no name: a verifying STARTTLS checks the peer's address instead.
TEST(StartTls, AnAcceptedStreamChecksThePeersAddress) {
  REQUIRE_CA();
  Host h;
  EXPECT_EQ(SetTrusted(h, Ca().ca + std::string(1, '\0') + "x"), -3);  // not the file named
  ASSERT_EQ(SetTrusted(h, Ca().ca), 0);
  for (const std::string& cert : {Ca().good, Ca().otherName}) {
    const bool holdsAddress = cert == Ca().good;
    SCOPED_TRACE(cert);
    int32_t ref = Listen(h, 0);
    Child peer = Spawn({"/usr/bin/python3", "-c", kTlsServerOnClientSocket, std::to_string(PortOf(h, ref)), cert,
                        Ca().key});
    ASSERT_EQ(AwaitState(h, ref, 8), 8);
    EXPECT_EQ(StartTls(h, ref, kVerify), holdsAddress ? 0 : -3);
    if (holdsAddress) {
      EXPECT_EQ(Receive(h, ref, 0, 0, "\n", 600).text, "hello\n");
    }
    EXPECT_EQ(State(h, ref), holdsAddress ? 8 : 20);
    EXPECT_EQ(Release(h, ref), 0);
    peer.Stop();
  }
  SetTrusted(h, "");
}

}  // namespace
