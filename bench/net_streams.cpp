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

#include "bench/stream_bench_support.h"
#include "host/host.h"

namespace {

using namespace streambench;

constexpr size_t kTransfer = kPiece * 256;  // bytes per iteration, whole pieces
constexpr int kBufferSize = 32767;            // what a stream's socket buffers are set to

void BM_VrxSendReceiveText(benchmark::State& state) {
  Host h;
  auto [client, server] = ConnectedStreams(h, kBufferSize, 0);
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
  RawPumpLoop(
      state, a, b, kTransfer,
      [&](const char* p, size_t n) { return long(send(a, p, n, MSG_NOSIGNAL)); },
      [&](char* p, size_t n) { return long(recv(b, p, n, 0)); });
  close(a);
  close(b);
}
BENCHMARK(BM_PlainSocketLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

// One VRX_GetStreamState on an established stream, through the raw entry point.
void BM_GetStreamStatePoll(benchmark::State& state) {
  Host h;
  PollLoop(state, h, ConnectedStreams(h, kBufferSize, 0).first);
}
BENCHMARK(BM_GetStreamStatePoll);

}  // namespace
