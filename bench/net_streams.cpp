// Loopback throughput of VRX_SendText / VRX_ReceiveText between two 4D processes of one
// host, against a plain non-blocking socket loop on one thread with the same socket
// buffer sizes; and the cost of one VRX_GetStreamState poll.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/host.h"

namespace {

using host::Host;
using host::Value;

constexpr size_t kPiece = 32000;
constexpr size_t kTransfer = kPiece * 256;  // bytes per iteration, whole pieces
constexpr int kBufferSize = 32767;            // what a stream's socket buffers are set to

int32_t CallLong(Host& h, std::string_view name, std::initializer_list<Value*> params) {
  std::vector<Value*> ps(params);
  return h.Call(name, ps).value;
}

int32_t StateOf(Host& h, int32_t ref) {
  Value r = Value::Long(ref), c = Value::Long(0);
  return CallLong(h, "VRX_GetStreamState", {&r, &c});
}

// A connected pair of streams in one host: {client, server}.
std::pair<int32_t, int32_t> ConnectedStreams(Host& h) {
  Value port0 = Value::Integer(0), size = Value::Long(kBufferSize), opt = Value::Long(0),
        lo = Value::Long(0x7F000001);
  int32_t server = CallLong(h, "VRX_ListenStream", {nullptr, nullptr, &port0, &size, &opt, nullptr, &lo});
  Value ref = Value::Long(server), ra = Value::Long(0), rp = Value::Integer(0), lp = Value::Integer(0),
        res = Value::Long(0), la = Value::Long(0);
  CallLong(h, "VRX_GetStreamAddresses", {&ref, &ra, &rp, &lp, &res, &la});
  Value name = Value::String("127.0.0.1"), port = Value::Integer(int16_t(lp.AsLong()));
  int32_t client = CallLong(h, "VRX_OpenStream", {&name, &port, &size, &opt});
  for (int i = 0; i < 600 && (StateOf(h, client) != 8 || StateOf(h, server) != 8); ++i) h.Delay(1);
  return {client, server};
}

// Sends `bytes` from the client stream to the server stream, a sender and a receiver
// process; with `busy`, a third process that only yields runs alongside.
bool Transfer(Host& h, int32_t client, int32_t server, size_t bytes, bool busy) {
  static const std::string piece(kPiece, 'v');
  size_t received = 0;
  bool done = false;
  h.NewProcess([&] {
    Value ref = Value::Long(client), t = Value::Text(piece), th = Value::Integer(0), conv = Value::Long(0);
    for (size_t sent = 0; sent < bytes; sent += piece.size())
      if (CallLong(h, "VRX_SendText", {&ref, &t, &th, &conv}) != 0) return;
  });
  h.NewProcess([&] {
    Value ref = Value::Long(server), t = Value::Text(""), max = Value::Integer(0), conv = Value::Long(0),
          flags = Value::Long(0), delim = Value::String(""), timeout = Value::Long(600);
    while (received < bytes) {
      int32_t n = CallLong(h, "VRX_ReceiveText", {&ref, &t, &max, &conv, &flags, &delim, &timeout});
      if (n <= 0) break;
      received += size_t(n);
    }
    done = true;
  });
  if (busy)
    h.NewProcess([&] {
      while (!done) h.Yield();
    });
  h.WaitForProcesses();
  return received == bytes;
}

void BM_VrxSendReceiveText(benchmark::State& state) {
  Host h;
  auto [client, server] = ConnectedStreams(h);
  if (StateOf(h, client) != 8 || StateOf(h, server) != 8) return state.SkipWithError("no connection");
  const size_t bytes = kPiece * size_t(state.range(0));
  const bool busy = state.range(1) != 0;
  for (auto _ : state)
    if (!Transfer(h, client, server, bytes, busy)) return state.SkipWithError("transfer stopped");
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}
BENCHMARK(BM_VrxSendReceiveText)->Args({256, 0})->Unit(benchmark::kMillisecond)->UseRealTime();
// A process that keeps yielding: shows how long idle waits last while another runs.
BENCHMARK(BM_VrxSendReceiveText)->Args({32, 1})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same transfer with plain non-blocking sockets: write what fits, read what came,
// sleep in poll when neither can move.
void BM_PlainSocketLoop(benchmark::State& state) {
  int lfd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(0x7F000001);
  socklen_t len = sizeof sa;
  bind(lfd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  listen(lfd, 1);
  getsockname(lfd, reinterpret_cast<sockaddr*>(&sa), &len);
  int a = socket(AF_INET, SOCK_STREAM, 0);
  int size = kBufferSize;
  setsockopt(a, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
  setsockopt(a, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
  connect(a, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  int b = accept(lfd, nullptr, nullptr);
  setsockopt(b, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
  setsockopt(b, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
  close(lfd);
  fcntl(a, F_SETFL, O_NONBLOCK);
  fcntl(b, F_SETFL, O_NONBLOCK);
  const std::string piece(32000, 'p');
  std::vector<char> in(32000);
  for (auto _ : state) {
    size_t sent = 0, received = 0;
    while (received < kTransfer) {
      bool moved = false;
      if (sent < kTransfer) {
        ssize_t w = send(a, piece.data(), std::min(piece.size(), kTransfer - sent), MSG_NOSIGNAL);
        if (w > 0) sent += size_t(w), moved = true;
      }
      ssize_t r = recv(b, in.data(), in.size(), 0);
      if (r > 0) received += size_t(r), moved = true;
      if (!moved) {
        pollfd p[2] = {{b, POLLIN, 0}, {a, POLLOUT, 0}};
        poll(p, sent < kTransfer ? 2 : 1, 100);
      }
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kTransfer));
  close(a);
  close(b);
}
BENCHMARK(BM_PlainSocketLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// One VRX_GetStreamState on an established stream, through the raw entry point.
void BM_GetStreamStatePoll(benchmark::State& state) {
  Host h;
  auto [client, server] = ConnectedStreams(h);
  Value ref = Value::Long(client), code = Value::Long(0);
  void* params[8] = {ref.Slot(), code.Slot()};
  alignas(8) uint8_t result[16] = {};
  for (auto _ : state) {
    h.RawCall(6, params, result);
    benchmark::DoNotOptimize(result);
  }
  int32_t s;
  std::memcpy(&s, result, 4);
  if (s != 8) state.SkipWithError("stream not established");
  (void)server;
}
BENCHMARK(BM_GetStreamStatePoll);

}  // namespace
