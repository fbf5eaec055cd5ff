// Streams, datagrams and names through FourDPack with each socket, resolver and OpenSSL
// call failing in turn: every run ends with an answer that says so (or, for a fault the
// caller cannot see, with everything delivered), no descriptor left open and no byte
// handed out that the peer did not send.
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <source_location>

#include "tests/support.h"
#include "net_faults.h"
#include "tests/net/ssl/ssl_support.h"

namespace {

using namespace ssltest;
using netwalk::Fault;

::testing::Environment* const kCleanup = ::testing::AddGlobalTestEnvironment(new CertificateCleanup);

// A peer for every run: a plain and a TLS echo server, a STARTTLS echo server, and on
// request ("plain PORT", "tls PORT") a client that sends kPeerBytes bytes and reads to the
// end. Started once; the runs connect to it.
const char* kPeer = R"PY(
import socket, ssl, sys, threading
sctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER); sctx.load_cert_chain(sys.argv[1], sys.argv[2])
cctx = ssl.SSLContext(ssl.PROTOCOL_TLS_CLIENT)
cctx.check_hostname = False; cctx.verify_mode = ssl.CERT_NONE
data = bytes(i % 251 for i in range(int(sys.argv[3])))
def echo(c, mode):
    try:
        c.settimeout(10); s = c
        if mode == "starttls":
            f = c.makefile("rb"); f.readline(); c.sendall(b"GO\r\n"); mode = "tls"
        if mode == "tls": s = sctx.wrap_socket(c, server_side=True)
        while True:
            b = s.recv(65536)
            if not b: break
            s.sendall(b)
    except Exception: pass
    c.close()
def serve(l, mode):
    while True:
        c, _ = l.accept()
        threading.Thread(target=echo, args=(c, mode), daemon=True).start()
def client(port, mode):
    try:
        c = socket.create_connection(("127.0.0.1", port), timeout=10)
        s = cctx.wrap_socket(c) if mode == "tls" else c
        s.sendall(data)
        while s.recv(65536): pass
    except Exception: pass
ports = []
for mode in ("plain", "tls", "starttls"):
    l = socket.socket(); l.bind(("127.0.0.1", 0)); l.listen(64)
    ports.append(l.getsockname()[1])
    threading.Thread(target=serve, args=(l, mode), daemon=True).start()
print(*ports, flush=True)
for line in sys.stdin:
    mode, port = line.split()
    threading.Thread(target=client, args=(int(port), mode), daemon=True).start()
)PY";

constexpr int kPeerBytes = 50000;

struct Peer {
  Child child;
  uint16_t plain = 0, tls = 0, starttls = 0;
  fs::path served;  // holds VRXcert.pem
  Peer() {
    if (!Certs().ok) return;
    served = Certs().dir / "served";
    fs::create_directories(served);
    // Verified opens trust certificate "a" alone: loading the system's hundreds on each
    // open would make most of the walk's time.
    vrxtest::WriteFile((Certs().dir / "none.pem").string(), "");
    setenv("SSL_CERT_FILE", (Certs().dir / "none.pem").c_str(), 1);
    setenv("SSL_CERT_DIR", served.c_str(), 1);
    fs::copy_file(Certs().aBoth, served / "VRXcert.pem", fs::copy_options::overwrite_existing);
    child = vrxtest::SpawnPython(kPeer, {Certs().aCert, Certs().aKey, std::to_string(kPeerBytes)});
    std::istringstream ports(ReadLine(child.out));
    ports >> plain >> tls >> starttls;
  }
  // Asks the peer to connect to a listening port of ours.
  void ConnectTo(uint16_t port, bool tlsClient) const {
    std::string line = std::string(tlsClient ? "tls " : "plain ") + std::to_string(port) + "\n";
    (void)!write(child.in, line.data(), line.size());
  }
};

const Peer& ThePeer() {
  static Peer peer;
  return peer;
}

std::string PeerData() {
  std::string s(kPeerBytes, '\0');
  for (int i = 0; i < kPeerBytes; ++i) s[size_t(i)] = char(i % 251);
  return s;
}

// The state once it is 8 or beyond (VRX_WaitStreamState waits once even then).
int32_t Wait(Host& h, int32_t ref) {
  if (int32_t s = State(h, ref); s >= 8) return s;
  Value r = Value::Long(ref), s = Value::Long(8), t = Value::Long(1);
  return CallLong(h, "VRX_WaitStreamState", {&r, &s, &t});
}

int32_t SendBlob(Host& h, int32_t ref, const std::string& bytes) {
  Value r = Value::Long(ref), b = Value::Blob(bytes), zero = Value::Long(0);
  return CallLong(h, "VRX_SendBlob", {&r, &b, &zero, &zero, &zero, &zero});
}

// Up to `n` bytes; the count, and the bytes in *got.
int32_t ReceiveBlob(Host& h, int32_t ref, int32_t n, std::string* got, std::string_view delimiter = "") {
  Value r = Value::Long(ref), b = Value::Blob(""), limit = Value::Long(n), zero = Value::Long(0),
        keep = Value::Long(2), d = Value::String(delimiter), timeout = Value::Long(180);
  int32_t result = CallLong(h, "VRX_ReceiveBlob", {&r, &b, &limit, &zero, &keep, &d, &timeout});
  *got = b.Bytes();
  return result;
}

// What a run came to: complete (every answer a success and every byte where it belongs)
// or not. A run that is not complete must have been told so by an answer or the state.
struct Outcome {
  Host& h;
  bool complete = true;
  std::string firstMiss;  // where the run stopped being complete
  // An answer: false (and the run incomplete) when it is not the success expected.
  bool Expect(int32_t got, int32_t success, std::source_location at = std::source_location::current()) {
    if (got != success && complete) {
      complete = false;
      firstMiss = "line " + std::to_string(at.line()) + " answered " + std::to_string(got);
    }
    return complete;
  }
  // Bytes that came: never any the peer did not send; all of them for a complete run.
  bool Came(const std::string& got, const std::string& sent, std::source_location at = std::source_location::current()) {
    EXPECT_EQ(got, sent.substr(0, got.size())) << "bytes that the peer did not send";
    return Expect(int32_t(got.size()), int32_t(sent.size()), at);
  }
  // Receives what the peer sends: bytes stop short only on a stream that ended or broke
  // (a receive that waited out its time-out on a live stream lost them).
  bool Receives(int32_t ref, const std::string& sent) {
    std::string got;
    ReceiveBlob(h, ref, int32_t(sent.size()), &got);
    if (got.size() < sent.size()) {
      EXPECT_GE(State(h, ref), 14) << got.size() << " bytes of " << sent.size();
    }
    return Came(got, sent);
  }
  // Echoes `bytes` through an established stream.
  bool Echo(int32_t ref, const std::string& bytes) { return Expect(SendBlob(h, ref, bytes), 0) && Receives(ref, bytes); }
  // Takes the peer's bytes on an established stream, and sends them back.
  bool TakeFromPeer(int32_t ref) { return Receives(ref, PeerData()) && Expect(SendBlob(h, ref, PeerData()), 0); }
  void End(int32_t ref) {
    if (ref == 0) return;
    Expect(CloseStream(h, ref), 0);
    Expect(Release(h, ref), 0);
  }
};

int32_t StartTls(Host& h, int32_t ref, int32_t options, const std::string& name) {
  Value r = Value::Long(ref), o = Value::Long(options), n = Value::Text(name), t = Value::Long(180);
  return CallLong(h, "VRX_StartTLS", {&r, &o, &n, &t});
}

int32_t SetTrusted(Host& h, const std::string& path) {
  Value p = Value::Text(path);
  return CallLong(h, "VRX_SetTrustedCertificates", {&p});
}

// A command of longints alone.
int32_t Longs(Host& h, std::string_view name, std::initializer_list<int32_t> values) {
  std::vector<Value> v;
  for (int32_t x : values) v.push_back(Value::Long(x));
  std::vector<Value*> ps;
  for (Value& x : v) ps.push_back(&x);
  return h.Call(name, ps).value;
}

// A command's answer and the text it gave back in the parameter `out` (1-based).
std::pair<int32_t, std::string> WithText(Host& h, std::string_view name, std::vector<Value> params, size_t out) {
  std::vector<Value*> ps;
  for (Value& x : params) ps.push_back(&x);
  int32_t r = h.Call(name, ps).value;
  return {r, params[out - 1].Bytes()};
}

const std::string kSmall = Pattern(3000, 7);
const std::string kLarge = Pattern(120000, 9);

// The scenarios, each a complete use of one part with a real peer.
struct Scenario {
  const char* name;
  std::function<void(Outcome&, const Peer&)> body;
};

const Scenario kScenarios[] = {
    {"plain client by name",
     [](Outcome& run, const Peer& p) {
       // localhost is ::1 too, where nothing listens: the attempts race.
       int32_t ref = Open(run.h, "localhost", p.plain);
       if (run.Expect(ref != 0, true) && run.Expect(Wait(run.h, ref), 8)) run.Echo(ref, kLarge);
       run.End(ref);
     }},
    {"plain server",
     [](Outcome& run, const Peer& p) {
       int32_t ref = Listen(run.h, 0);
       uint16_t port = ref ? PortOf(run.h, ref) : 0;
       if (run.Expect(ref != 0, true) && run.Expect(port != 0, true)) {
         p.ConnectTo(port, false);
         if (run.Expect(Wait(run.h, ref), 8)) run.TakeFromPeer(ref);
       }
       run.End(ref);
     }},
    {"TLS client, verified",
     [](Outcome& run, const Peer& p) {
       // The folder holds certificate "a" (with its key, which is skipped).
       run.Expect(SetTrusted(run.h, p.served.string()), 0);
       int32_t ref = SslOpen(run.h, "127.0.0.1", p.tls, 1024 | 4096);
       if (run.Expect(ref != 0, true) && run.Expect(Wait(run.h, ref), 8)) {
         run.Expect(Info(run.h, ref).result, 0);
         run.Echo(ref, kLarge);
       }
       run.End(ref);
     }},
    {"TLS client sending before its handshake",
     [](Outcome& run, const Peer& p) {
       int32_t ref = SslOpen(run.h, "127.0.0.1", p.tls);
       if (run.Expect(ref != 0, true)) run.Echo(ref, kSmall);
       run.End(ref);
     }},
    {"TLS server",
     [](Outcome& run, const Peer& p) {
       InDirectory in(p.served);
       int32_t ref = SslListen(run.h, 0);
       uint16_t port = ref ? PortOf(run.h, ref) : 0;
       // The certificate VRXcert.pem gave, set again.
       if (run.Expect(ref != 0, true) && run.Expect(port != 0, true) &&
           run.Expect(SetCertificate(run.h, ref, Certs().aCert, Certs().aKey, ""), 0)) {
         p.ConnectTo(port, true);
         if (run.Expect(Wait(run.h, ref), 8)) run.TakeFromPeer(ref);
       }
       run.End(ref);
     }},
    {"STARTTLS with a client certificate",
     [](Outcome& run, const Peer& p) {
       int32_t ref = Open(run.h, "127.0.0.1", p.starttls);
       std::string go;
       if (run.Expect(ref != 0, true) && run.Expect(Wait(run.h, ref), 8) &&
           run.Expect(SetCertificate(run.h, ref, Certs().bCert, Certs().bKey, ""), 0) &&
           run.Expect(Send(run.h, ref, "STARTTLS\r\n"), 0) && (ReceiveBlob(run.h, ref, 100, &go, "\r\n"), true) &&
           run.Came(go, "GO\r\n") && run.Expect(StartTls(run.h, ref, 0, "vrx-a"), 0))
         run.Echo(ref, kSmall);
       run.End(ref);
     }},
    {"datagrams and names",
     [](Outcome& run, const Peer&) {
       Host& h = run.h;
       int32_t u = Longs(h, "VRX_OpenUDP", {0});
       uint16_t port = u ? PortOf(h, u) : 0;
       if (run.Expect(u != 0, true) && run.Expect(port != 0, true)) {
         // To itself, by address and by name; a datagram that was not sent is not awaited.
         if (run.Expect(WithText(h, "VRX_SendUDP", {Value::Long(u), Value::Text("one"),
                                                    Value::Long(int32_t(kLoopback)), Value::Long(port)}, 2).first, 0)) {
           auto one = WithText(h, "VRX_ReceiveUDP", {Value::Long(u), Value::Text(""), Value::Long(0), Value::Long(0),
                                                     Value::Long(0), Value::Long(1)}, 2);
           run.Expect(one.first, 0) && run.Came(one.second, "one");
         }
         if (run.Expect(WithText(h, "VRX_SendUDPTo", {Value::Long(u), Value::Text("two"), Value::Text("localhost"),
                                                      Value::Long(port)}, 2).first, 0)) {
           auto two = WithText(h, "VRX_ReceiveUDPFrom", {Value::Long(u), Value::Text(""), Value::Text(""),
                                                         Value::Long(0), Value::Long(1)}, 2);
           run.Expect(two.first, 0) && run.Came(two.second, "two");
         }
       }
       if (u) run.Expect(Longs(h, "VRX_CloseUDP", {u}), 0);
       Value name = Value::String("localhost"), own = Value::String("");
       run.Expect(CallLong(h, "VRX_NameToAddress", {&name}), int32_t(kLoopback));
       // This machine's own name.
       run.Expect(CallLong(h, "VRX_NameToAddress", {&own}) != 0, true);
       run.Expect(WithText(h, "VRX_NameToAddresses", {Value::Text(""), Value::Text("")}, 2).first > 0, true);
       run.Expect(WithText(h, "VRX_NameToAddresses", {Value::Text("localhost"), Value::Text("")}, 2).first > 0, true);
       auto byName = WithText(h, "VRX_AddressToNameText", {Value::Text("127.0.0.1"), Value::Text("")}, 2);
       run.Expect(byName.first, 0) && run.Came(byName.second, "localhost");
       Value address = Value::Long(int32_t(kLoopback)), mode = Value::Long(0);
       run.Came(h.Call("VRX_AddressToName", std::vector<Value*>{&address, &mode}).bytes, "127.0.0.1");
       run.Expect(Longs(h, "VRX_Ping", {int32_t(kLoopback), 2, 64}) >= 0, true);
     }},
};

// The nth call of the families failing, for n = 1, 2, ... until a run makes fewer calls.
void Walk(const Scenario& s, unsigned families) {
  const Peer& peer = ThePeer();
  ASSERT_NE(peer.plain, 0) << "the peer did not start";
  for (int64_t n = 1;; ++n) {
    Host h;
    ASSERT_TRUE(h.loaded()) << h.error();
    const int before = vrxtest::OpenDescriptors();
    Outcome run{h, true, {}};
    netwalk::FailNetCall(n, families, Fault::Error);
    s.body(run, peer);
    const int64_t calls = netwalk::NetCallCount();
    const std::string failed = netwalk::FailedCall();
    netwalk::FailNetCall(0, 0, Fault::Error);
    SCOPED_TRACE(std::string(s.name) + ", call " + std::to_string(n) + " (" + failed + ") failed");
    EXPECT_EQ(vrxtest::OpenDescriptors(), before);
    if (calls < n) {
      EXPECT_TRUE(run.complete) << run.firstMiss;
      break;
    }
    if (n >= 3000 || ::testing::Test::HasFailure()) break;
  }
}

class NetWalk : public ::testing::TestWithParam<Scenario> {};

TEST_P(NetWalk, SystemCallsFail) { Walk(GetParam(), netwalk::kSystemCalls); }
TEST_P(NetWalk, LibraryCallsFail) { Walk(GetParam(), netwalk::kLibraryCalls); }

// Faults a caller recovers from, on one call in three at random: each run is complete
// all the same.
TEST_P(NetWalk, PassingFaultsAreRidden) {
  const Peer& peer = ThePeer();
  ASSERT_NE(peer.plain, 0) << "the peer did not start";
  for (Fault how : {Fault::Interrupt, Fault::WouldBlock, Fault::Short})
    for (uint64_t seed : {1, 2}) {
      SCOPED_TRACE(std::string(GetParam().name) + ", fault " + std::to_string(int(how)) + " seed " +
                   std::to_string(seed));
      Host h;
      const int before = vrxtest::OpenDescriptors();
      Outcome run{h, true, {}};
      netwalk::FailSomeNetCalls(3, seed, netwalk::kSystemCalls, how);
      GetParam().body(run, peer);
      netwalk::FailNetCall(0, 0, how);
      EXPECT_TRUE(run.complete) << run.firstMiss;
      EXPECT_EQ(vrxtest::OpenDescriptors(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, NetWalk, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& i) { return "s" + std::to_string(i.index); });

}  // namespace
