// Pieces the stream benchmarks share: a connected pair of streams in one host, a
// transfer between two 4D processes, and one state poll through the raw entry point.
#pragma once
#include <benchmark/benchmark.h>

#include <poll.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"

namespace streambench {

using host::Host;
using host::Value;

constexpr size_t kPiece = 32000;

inline int32_t CallLong(Host& h, std::string_view name, std::initializer_list<Value*> params) {
  std::vector<Value*> ps(params);
  return h.Call(name, ps).value;
}

inline int32_t StateOf(Host& h, int32_t ref) {
  Value r = Value::Long(ref), c = Value::Long(0);
  return CallLong(h, "VRX_GetStreamState", {&r, &c});
}

// A listen on 127.0.0.1 and an open to it, with these buffer size and options: {client, server}.
inline std::pair<int32_t, int32_t> ConnectedStreams(Host& h, int32_t bufferSize, int32_t options) {
  Value port0 = Value::Integer(0), size = Value::Long(bufferSize), opt = Value::Long(options),
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
inline bool Transfer(Host& h, int32_t client, int32_t server, size_t bytes, bool busy = false) {
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

// One VRX_GetStreamState per iteration on an established stream, through the raw entry point.
inline void PollLoop(benchmark::State& state, Host& h, int32_t ref) {
  Value r = Value::Long(ref), code = Value::Long(0);
  void* params[8] = {r.Slot(), code.Slot()};
  alignas(8) uint8_t result[16] = {};
  for (auto _ : state) {
    h.RawCall(6, params, result);
    benchmark::DoNotOptimize(result);
  }
  int32_t s;
  std::memcpy(&s, result, 4);
  if (s != 8) state.SkipWithError("stream not established");
}

// The loop a program without VRX would write to move `bytes` from socket `a` to socket
// `b` in pieces, both non-blocking: write while it can, read what came, and sleep in
// poll only when neither moved. write(piece, n) and read(buffer, n) answer a count (> 0
// when something moved). Counts the bytes as processed.
template <typename Write, typename Read>
void RawPumpLoop(benchmark::State& state, int a, int b, size_t bytes, Write write, Read read) {
  const std::string piece(kPiece, 'p');
  std::vector<char> in(kPiece);
  for (auto _ : state) {
    size_t sent = 0, received = 0;
    while (received < bytes) {
      bool moved = false;
      if (sent < bytes) {
        long w = write(piece.data(), std::min(piece.size(), bytes - sent));
        if (w > 0) sent += size_t(w), moved = true;
      }
      long r = read(in.data(), in.size());
      if (r > 0) received += size_t(r), moved = true;
      if (!moved) {
        pollfd p[2] = {{b, POLLIN, 0}, {a, POLLOUT, 0}};
        poll(p, sent < bytes ? 2 : 1, 100);
      }
    }
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
}

}  // namespace streambench
