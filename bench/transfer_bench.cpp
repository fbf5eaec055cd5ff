// A BLOB moved over a loopback connection: VRX_SendBlob in one 4D process and
// VRX_ReceiveBlob in another, against a plain socket loop doing the same work on one
// thread (the host runs its processes on one thread too).
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "host/host.h"

namespace {

using host::Value;

constexpr size_t kBlobSize = 4 * 1024 * 1024;

std::string Bytes(size_t n) {
  std::string s(n, '\0');
  uint32_t x = 1;
  for (char& c : s) {
    x = x * 1103515245u + 12345u;
    c = char(x >> 16);
  }
  return s;
}

int32_t Call(host::Host& h, const char* name, std::vector<Value*> ps) { return h.Call(name, ps).value; }

// Buffer size as 4D passes it to VRX_OpenStream / VRX_ListenStream ($3 / $4).
void BM_VrxSendReceiveBlob(benchmark::State& state) {
  const int32_t bufferSize = int32_t(state.range(0));
  host::Host h;
  Value none = Value::Long(0), port = Value::Integer(0), size = Value::Long(bufferSize), options = Value::Long(0),
        loopback = Value::Long(0x7F000001);
  int32_t listening = Call(h, "VRX_ListenStream", {&none, &none, &port, &size, &options, &none, &loopback});
  Value ref = Value::Long(listening), remote = Value::Long(0), remotePort = Value::Integer(0),
        localPort = Value::Integer(0), reserved = Value::Long(0), local = Value::Long(0);
  Call(h, "VRX_GetStreamAddresses", {&ref, &remote, &remotePort, &localPort, &reserved, &local});
  Value host = Value::String("127.0.0.1");
  int32_t client = Call(h, "VRX_OpenStream", {&host, &localPort, &size, &options});
  Value clientRef = Value::Long(client), code = Value::Long(0);
  for (int i = 0; i < 600 && (Call(h, "VRX_GetStreamState", {&ref, &code}) != 8 ||
                              Call(h, "VRX_GetStreamState", {&clientRef, &code}) != 8);
       ++i)
    h.Delay(1);

  Value blob = Value::Blob(Bytes(kBlobSize)), got = Value::Blob("");
  Value ignored = Value::Long(0), conversion = Value::Long(0), first = Value::Long(0), last = Value::Long(0);
  Value limit = Value::Long(int32_t(kBlobSize)), keepOpen = Value::Long(2), delimiter = Value::String(""),
        noTimeout = Value::Long(-1);
  int32_t received = 0;
  for (auto _ : state) {
    h.NewProcess([&] {
      received = Call(h, "VRX_ReceiveBlob", {&ref, &got, &limit, &conversion, &keepOpen, &delimiter, &noTimeout});
    });
    Call(h, "VRX_SendBlob", {&clientRef, &blob, &ignored, &conversion, &first, &last});
    h.WaitForProcesses();
    if (received != int32_t(kBlobSize)) state.SkipWithError("short receive");
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBlobSize));
  Value mode = Value::Long(0);
  Call(h, "VRX_ReleaseStream", {&clientRef, &mode});
  Call(h, "VRX_ReleaseStream", {&ref, &mode});
}
BENCHMARK(BM_VrxSendReceiveBlob)->Arg(0)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same transfer written directly: non-blocking sockets with the buffers the stream
// layer gives (range 0 = the system's defaults), pieces of 16384 bytes sent until the
// socket is full, then everything that has arrived read into a growing string.
void BM_PlainSocketLoop(benchmark::State& state) {
  const int buffer = int(state.range(0));
  // Buffers set before listen and connect, as the stream layer does: the window a
  // connection starts with depends on them.
  auto setBuffers = [buffer](int fd) {
    if (!buffer) return;
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buffer, sizeof buffer);
  };
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  setBuffers(listener);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(0x7F000001);
  bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  listen(listener, 1);
  socklen_t len = sizeof sa;
  getsockname(listener, reinterpret_cast<sockaddr*>(&sa), &len);
  int tx = socket(AF_INET, SOCK_STREAM, 0);
  setBuffers(tx);
  connect(tx, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  int rx = accept(listener, nullptr, nullptr);
  fcntl(tx, F_SETFL, O_NONBLOCK);
  fcntl(rx, F_SETFL, O_NONBLOCK);
  const std::string blob = Bytes(kBlobSize);
  char piece[16384];
  for (auto _ : state) {
    std::string got;
    size_t sent = 0;
    while (got.size() < kBlobSize) {
      while (sent < kBlobSize) {
        ssize_t w = send(tx, blob.data() + sent, std::min<size_t>(16384, kBlobSize - sent), MSG_NOSIGNAL);
        if (w <= 0) break;
        sent += size_t(w);
      }
      for (;;) {
        ssize_t r = recv(rx, piece, sizeof piece, 0);
        if (r <= 0) break;
        got.append(piece, size_t(r));
      }
    }
    benchmark::DoNotOptimize(got.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kBlobSize));
  close(tx);
  close(rx);
  close(listener);
}
// 8192 and 32767 are what the stream layer sets for buffer sizes 0 and 32767.
BENCHMARK(BM_PlainSocketLoop)->Arg(8192)->Arg(32767)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
