// The host's wait loop under load: one-line round trips between two 4D processes on one
// connection while many other connections each have a 4D process waiting in
// VRX_ReceiveText, as a server with idle keep-alive clients has. What a round trip costs
// should not grow with the number of processes that only wait.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "bench/stream_bench_support.h"
#include "host/host.h"

namespace {

using namespace streambench;

constexpr int32_t kNoTimeout = -1;

int32_t ReceiveLine(Host& h, int32_t ref, int32_t timeout) {
  Value r = Value::Long(ref), t = Value::Text(""), max = Value::Integer(0), conv = Value::Long(0),
        flags = Value::Long(0), delim = Value::String("\n"), to = Value::Long(timeout);
  return CallLong(h, "VRX_ReceiveText", {&r, &t, &max, &conv, &flags, &delim, &to});
}

int32_t SendLine(Host& h, int32_t ref, const std::string& line) {
  Value r = Value::Long(ref), t = Value::Text(line), th = Value::Integer(0), conv = Value::Long(0);
  return CallLong(h, "VRX_SendText", {&r, &t, &th, &conv});
}

int ConnectRaw(uint16_t port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = htonl(0x7F000001);
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Each idle connection holds a raw peer and a 4D stream, and the benchmark a few more.
bool EnoughFiles(int connections) {
  rlimit lim{};
  getrlimit(RLIMIT_NOFILE, &lim);
  rlim_t want = rlim_t(connections) * 2 + 64;
  if (lim.rlim_cur >= want) return true;
  lim.rlim_cur = std::min(want, lim.rlim_max);
  return setrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur >= want;
}

struct IdleConnections {
  std::vector<int32_t> streams;  // 4D side, each with a process waiting in a receive
  std::vector<int> peers;        // raw side, silent until closed
};

// Listens on one port for `n` connections and connects to them in batches the listener's
// backlog can hold, letting the host accept each batch.
bool OpenIdle(Host& h, int n, IdleConnections* idle) {
  Value port0 = Value::Integer(0), size = Value::Long(0), opt = Value::Long(0), lo = Value::Long(0x7F000001);
  uint16_t port = 0;
  for (int i = 0; i < n; ++i) {
    Value p = Value::Integer(int16_t(port));
    int32_t ref = CallLong(h, "VRX_ListenStream", {nullptr, nullptr, &p, &size, &opt, nullptr, &lo});
    if (ref <= 0) return false;
    idle->streams.push_back(ref);
    if (i == 0) {
      Value r = Value::Long(ref), ra = Value::Long(0), rp = Value::Integer(0), lp = Value::Integer(0),
            res = Value::Long(0), la = Value::Long(0);
      CallLong(h, "VRX_GetStreamAddresses", {&r, &ra, &rp, &lp, &res, &la});
      port = uint16_t(lp.AsLong());
    }
  }
  constexpr int kBatch = 50;
  for (int done = 0; done < n; done += kBatch) {
    int end = std::min(n, done + kBatch);
    for (int i = done; i < end; ++i) {
      int fd = ConnectRaw(port);
      if (fd < 0) return false;
      idle->peers.push_back(fd);
    }
    // Asking a listening stream for its state also takes a pending connection.
    for (int i = done; i < end; ++i)
      for (int tries = 0; StateOf(h, idle->streams[size_t(i)]) != 8; ++tries) {
        if (tries > 300) return false;
        h.Delay(1);
      }
  }
  for (int32_t ref : idle->streams)
    h.NewProcess([&h, ref] { ReceiveLine(h, ref, kNoTimeout); });  // ends when its peer closes
  return true;
}

void CloseIdle(Host& h, IdleConnections& idle) {
  for (int fd : idle.peers) close(fd);
  h.WaitForProcesses();
  for (int32_t ref : idle.streams) {
    Value r = Value::Long(ref), mode = Value::Long(0);
    CallLong(h, "VRX_ReleaseStream", {&r, &mode});
  }
}

void BM_RoundTripWhileOthersWait(benchmark::State& state) {
  const int waiting = int(state.range(0));
  if (!EnoughFiles(waiting)) return state.SkipWithError("not enough file descriptors");
  Host h;
  IdleConnections idle;
  auto [client, server] = ConnectedStreams(h, 0, 0);
  if (StateOf(h, client) != 8 || StateOf(h, server) != 8) return state.SkipWithError("no connection");
  if (!OpenIdle(h, waiting, &idle)) {
    CloseIdle(h, idle);
    return state.SkipWithError("idle connections not established");
  }
  h.NewProcess([&h, server] {
    Value r = Value::Long(server), t = Value::Text(""), max = Value::Integer(0), conv = Value::Long(0),
          flags = Value::Long(0), delim = Value::String("\n"), to = Value::Long(kNoTimeout),
          th = Value::Integer(0);
    std::vector<Value*> receive = {&r, &t, &max, &conv, &flags, &delim, &to};
    std::vector<Value*> send = {&r, &t, &th, &conv};
    while (h.Call("VRX_ReceiveText", receive).value > 0)
      if (h.Call("VRX_SendText", send).value != 0) break;
  }, "echo");
  const std::string line = "one line of a conversation\n";
  for (auto _ : state) {
    if (SendLine(h, client, line) != 0 || ReceiveLine(h, client, 600) != int32_t(line.size())) {
      state.SkipWithError("round trip failed");
      break;
    }
  }
  state.SetItemsProcessed(int64_t(state.iterations()));
  Value r = Value::Long(client);
  CallLong(h, "VRX_CloseStream", {&r});  // the echo process sees the end and stops
  CloseIdle(h, idle);
  for (int32_t ref : {client, server}) {
    Value rr = Value::Long(ref), mode = Value::Long(0);
    CallLong(h, "VRX_ReleaseStream", {&rr, &mode});
  }
}
BENCHMARK(BM_RoundTripWhileOthersWait)->Arg(10)->Arg(1000)->Iterations(10000)->UseRealTime();

}  // namespace
