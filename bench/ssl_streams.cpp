// TLS throughput of VRX_SendText / VRX_ReceiveText between two 4D processes of one host,
// against two OpenSSL connections driven directly over non-blocking loopback sockets on
// one thread; and the cost of one state poll on an SSL stream. The certificate is made
// with the openssl command in a temp folder.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/stream_bench_support.h"
#include "host/host.h"

namespace {

using namespace streambench;
namespace fs = std::filesystem;

constexpr size_t kTransfer = kPiece * 128;

fs::path CertDirName() { return fs::temp_directory_path() / ("vrx-ssl-bench-" + std::to_string(getpid())); }

// A folder with VRXcert.pem (certificate and key), made once.
const fs::path& CertDir() {
  static fs::path dir = [] {
    fs::path d = CertDirName();
    fs::create_directories(d);
    std::string cmd = "cd '" + d.string() +
                      "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout k.pem -out c.pem -days 2 "
                      "-subj /CN=bench -addext subjectAltName=IP:127.0.0.1 -batch >/dev/null 2>&1 && cat c.pem k.pem > VRXcert.pem";
    if (std::system(cmd.c_str()) != 0) return fs::path();
    return d;
  }();
  return dir;
}

struct Cleanup {
  ~Cleanup() {
    std::error_code ec;
    fs::remove_all(CertDirName(), ec);
  }
} cleanup;

// A connected pair of SSL streams in one host: {client, server}. The listen finds
// VRXcert.pem in the current folder.
std::pair<int32_t, int32_t> ConnectedSslStreams(Host& h) {
  fs::path old = fs::current_path();
  fs::current_path(CertDir());
  auto pair = ConnectedStreams(h, 32767, 1024);
  fs::current_path(old);
  return pair;
}

void BM_VrxSslSendReceiveText(benchmark::State& state) {
  if (CertDir().empty()) return state.SkipWithError("no certificate");
  Host h;
  auto [client, server] = ConnectedSslStreams(h);
  if (StateOf(h, client) != 8 || StateOf(h, server) != 8) return state.SkipWithError("no connection");
  for (auto _ : state)
    if (!Transfer(h, client, server, kTransfer)) return state.SkipWithError("transfer stopped");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTransfer));
}
BENCHMARK(BM_VrxSslSendReceiveText)->Unit(benchmark::kMillisecond)->UseRealTime();

// Two SSL connections over a loopback socket pair with the same socket buffers, driven
// on one thread: write what fits, read what came, poll when neither can move.
void BM_OpenSslSocketLoop(benchmark::State& state) {
  if (CertDir().empty()) return state.SkipWithError("no certificate");
  int lfd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(0x7F000001);
  socklen_t len = sizeof sa;
  bind(lfd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  listen(lfd, 1);
  getsockname(lfd, reinterpret_cast<sockaddr*>(&sa), &len);
  int a = socket(AF_INET, SOCK_STREAM, 0);
  int size = 32767;
  setsockopt(a, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
  setsockopt(a, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
  connect(a, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  int b = accept(lfd, nullptr, nullptr);
  setsockopt(b, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
  setsockopt(b, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
  close(lfd);
  fcntl(a, F_SETFL, O_NONBLOCK);
  fcntl(b, F_SETFL, O_NONBLOCK);
  SSL_CTX* cctx = SSL_CTX_new(TLS_client_method());
  SSL_CTX* sctx = SSL_CTX_new(TLS_server_method());
  std::string pem = (CertDir() / "VRXcert.pem").string();
  SSL_CTX_use_certificate_file(sctx, pem.c_str(), SSL_FILETYPE_PEM);
  SSL_CTX_use_PrivateKey_file(sctx, pem.c_str(), SSL_FILETYPE_PEM);
  SSL* c = SSL_new(cctx);
  SSL* s = SSL_new(sctx);
  SSL_set_fd(c, a);
  SSL_set_fd(s, b);
  SSL_set_connect_state(c);
  SSL_set_accept_state(s);
  for (int i = 0; i < 1000 && !(SSL_is_init_finished(c) && SSL_is_init_finished(s)); ++i) {
    SSL_do_handshake(c);
    SSL_do_handshake(s);
    poll(nullptr, 0, 1);
  }
  RawPumpLoop(
      state, a, b, kTransfer, [&](const char* p, size_t n) { return long(SSL_write(c, p, int(n))); },
      [&](char* p, size_t n) { return long(SSL_read(s, p, int(n))); });
  SSL_free(c);
  SSL_free(s);
  SSL_CTX_free(cctx);
  SSL_CTX_free(sctx);
  close(a);
  close(b);
}
BENCHMARK(BM_OpenSslSocketLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// One verified open (1024 + 4096) and its handshake to a listen of the same host, the
// server's certificate trusted beside the system's: what a client pays per connection.
void BM_VerifiedSslOpen(benchmark::State& state) {
  if (CertDir().empty()) return state.SkipWithError("no certificate");
  Host h;
  Value trusted = Value::Text((CertDir() / "c.pem").string());
  if (CallLong(h, "VRX_SetTrustedCertificates", {&trusted}) != 0) return state.SkipWithError("not trusted");
  fs::path old = fs::current_path();
  fs::current_path(CertDir());
  Value port0 = Value::Integer(0), size = Value::Long(32767), opt = Value::Long(1024), lo = Value::Long(0x7F000001),
        verified = Value::Long(1024 + 4096), name = Value::String("127.0.0.1"), zero = Value::Long(0);
  bool open = true;
  for (auto _ : state) {
    int32_t server = CallLong(h, "VRX_ListenStream", {nullptr, nullptr, &port0, &size, &opt, nullptr, &lo});
    Value ref = Value::Long(server), ra = Value::Long(0), rp = Value::Integer(0), lp = Value::Integer(0),
          res = Value::Long(0), la = Value::Long(0);
    CallLong(h, "VRX_GetStreamAddresses", {&ref, &ra, &rp, &lp, &res, &la});
    Value port = Value::Integer(int16_t(lp.AsLong()));
    int32_t client = CallLong(h, "VRX_OpenStream", {&name, &port, &size, &verified});
    for (int i = 0; i < 600 && (StateOf(h, client) != 8 || StateOf(h, server) != 8); ++i) h.Delay(1);
    open = open && StateOf(h, client) == 8;
    Value c = Value::Long(client), s = Value::Long(server);
    CallLong(h, "VRX_ReleaseStream", {&c, &zero});
    CallLong(h, "VRX_ReleaseStream", {&s, &zero});
  }
  fs::current_path(old);
  if (!open) state.SkipWithError("not verified");
}
BENCHMARK(BM_VerifiedSslOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

// One VRX_GetStreamState on an established SSL stream, through the raw entry point.
void BM_GetSslStreamStatePoll(benchmark::State& state) {
  if (CertDir().empty()) return state.SkipWithError("no certificate");
  Host h;
  PollLoop(state, h, ConnectedSslStreams(h).first);
}
BENCHMARK(BM_GetSslStreamStatePoll);

}  // namespace
