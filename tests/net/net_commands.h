// Calling the stream commands through the host, as a 4D method would, and raw peers.
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "host/host.h"

namespace nettest {

using host::Host;
using host::Value;

constexpr uint32_t kLoopback = 0x7F000001;

inline int32_t CallLong(Host& h, std::string_view name, std::initializer_list<Value*> params) {
  std::vector<Value*> ps(params);
  return h.Call(name, ps).value;
}

inline int32_t Open(Host& h, const std::string& host, uint16_t port) {
  Value name = Value::String(host), p = Value::Integer(int16_t(port)), size = Value::Long(0),
        options = Value::Long(0);
  return CallLong(h, "VRX_OpenStream", {&name, &p, &size, &options});
}

inline int32_t Listen(Host& h, uint16_t port, uint32_t address = kLoopback) {
  Value p = Value::Integer(int16_t(port)), size = Value::Long(0), options = Value::Long(0),
        a = Value::Long(int32_t(address));
  return CallLong(h, "VRX_ListenStream", {nullptr, nullptr, &p, &size, &options, nullptr, &a});
}

inline int32_t State(Host& h, int32_t ref, int32_t code = 0) {
  Value r = Value::Long(ref), c = Value::Long(code);
  return CallLong(h, "VRX_GetStreamState", {&r, &c});
}

inline int32_t Release(Host& h, int32_t ref, int32_t mode = 0) {
  Value r = Value::Long(ref), m = Value::Long(mode);
  return CallLong(h, "VRX_ReleaseStream", {&r, &m});
}

inline int32_t CloseStream(Host& h, int32_t ref) {
  Value r = Value::Long(ref);
  return CallLong(h, "VRX_CloseStream", {&r});
}

inline int32_t Send(Host& h, int32_t ref, std::string_view bytes, int16_t threshold = 0) {
  Value r = Value::Long(ref), t = Value::Text(bytes), th = Value::Integer(threshold), conv = Value::Long(0);
  return CallLong(h, "VRX_SendText", {&r, &t, &th, &conv});
}

struct Received {
  int32_t result;
  std::string text;
};

// VRX_ReceiveText; `text` is the in/out text $2 (kept for flag 1).
inline Received Receive(Host& h, int32_t ref, int16_t maximum, int32_t flags, std::string_view delimiter,
                        int32_t timeout, std::string_view text = {}) {
  Value r = Value::Long(ref), t = Value::Text(text), m = Value::Integer(maximum), conv = Value::Long(0),
        f = Value::Long(flags), d = Value::String(delimiter), to = Value::Long(timeout);
  int32_t result = CallLong(h, "VRX_ReceiveText", {&r, &t, &m, &conv, &f, &d, &to});
  return {result, t.Bytes()};
}

struct Addresses {
  int32_t result;
  uint32_t remoteAddress;
  uint16_t remotePort, localPort;
  int32_t reserved;
  uint32_t localAddress;
};

inline Addresses StreamAddresses(Host& h, int32_t ref) {
  Value r = Value::Long(ref), ra = Value::Long(7), rp = Value::Integer(7), lp = Value::Integer(7),
        res = Value::Long(7), la = Value::Long(7);
  int32_t result = CallLong(h, "VRX_GetStreamAddresses", {&r, &ra, &rp, &lp, &res, &la});
  return {result, uint32_t(ra.AsLong()), uint16_t(rp.AsLong()), uint16_t(lp.AsLong()), res.AsLong(),
          uint32_t(la.AsLong())};
}

// Polls the state once a tick until it is at least `state`, at most `ticks` times.
inline int32_t AwaitState(Host& h, int32_t ref, int32_t state, int ticks = 600) {
  int32_t s = State(h, ref);
  for (int i = 0; i < ticks && s >= 0 && s < state; ++i) {
    h.Delay(1);
    s = State(h, ref);
  }
  return s;
}

// ---- raw peers outside the plug-in ----
inline int ListenRaw(uint16_t* port, uint32_t address = kLoopback, int backlog = 16) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(address);
  sa.sin_port = htons(*port);
  if (bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || listen(fd, backlog) != 0) {
    close(fd);
    return -1;
  }
  socklen_t len = sizeof sa;
  getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
  *port = ntohs(sa.sin_port);
  return fd;
}

inline int ConnectRaw(uint16_t port, uint32_t address = kLoopback) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = htonl(address);
  if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

inline uint16_t ClosedPort() {
  uint16_t port = 0;
  close(ListenRaw(&port));
  return port;
}

// Reads until `n` bytes arrived, the peer ends, or two seconds pass without data.
inline std::string ReadRaw(int fd, size_t n) {
  std::string s;
  char buf[65536];
  while (s.size() < n) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 2000) <= 0) break;
    ssize_t r = read(fd, buf, std::min(sizeof buf, n - s.size()));
    if (r <= 0) break;
    s.append(buf, size_t(r));
  }
  return s;
}

// Starts an echo server process on `server` (what it received goes to *atServer) and a
// writer process that sends `up` on `client` in 32000-byte texts, once both are
// established. The caller adds the process that reads the echo.
inline void StartEchoAndWriter(Host& h, int32_t server, int32_t client, const std::string& up,
                               std::string* atServer) {
  h.NewProcess([&h, server, total = up.size(), atServer] {
    ASSERT_EQ(AwaitState(h, server, 8), 8);
    for (int i = 0; i < 100000 && atServer->size() < total; ++i) {
      Received r = Receive(h, server, 0, 0, "", 600);
      if (r.text.empty()) break;
      *atServer += r.text;
      ASSERT_EQ(Send(h, server, r.text), 0);
    }
  }, "server");
  h.NewProcess([&h, client, &up] {
    ASSERT_EQ(AwaitState(h, client, 8), 8);
    for (size_t off = 0; off < up.size(); off += 32000)
      ASSERT_EQ(Send(h, client, std::string_view(up).substr(off, 32000)), 0);
  }, "writer");
}

// A plug-in stream connected (state 8, else ref is 0) to a raw socket of the test; with
// a small receive buffer at the peer, a peer that does not read stalls our sends early.
struct RawPair {
  int listener = -1, peer = -1;
  int32_t ref = 0;
  explicit RawPair(Host& h, int receiveBuffer = 0) {
    uint16_t port = 0;
    listener = ListenRaw(&port);
    if (receiveBuffer) setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    ref = Open(h, "127.0.0.1", port);
    peer = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (AwaitState(h, ref, 8) != 8) ref = 0;
  }
  RawPair(const RawPair&) = delete;
  RawPair& operator=(const RawPair&) = delete;
  ~RawPair() {
    if (peer >= 0) close(peer);
    if (listener >= 0) close(listener);
  }
  void Send(std::string_view bytes) const {
    ASSERT_EQ(send(peer, bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
  }
};

// Deterministic test bytes, every value 0..255 included.
inline std::string Pattern(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) {
    seed = seed * 1103515245u + 12345u;
    s[i] = char(seed >> 16);
  }
  return s;
}

}  // namespace nettest
