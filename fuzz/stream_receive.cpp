// The stream receive path through the plug-in: bytes written by a raw peer are taken
// with VRX_ReceiveText and VRX_ReceiveBlob under any maximum, flags and delimiter, and
// what a receive finds past its delimiter goes back to the stream. However the bytes
// are cut, every one comes out once and in order.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "host/host.h"

namespace {

using host::Value;

struct Connection {
  host::Host* host = nullptr;
  int32_t ref = 0;
  int peer = -1;
};

// One stream connected to a peer socket, kept for the whole run.
Connection& Connect() {
  static Connection c = [] {
    Connection c;
    // The test clock jumps over waits that nothing can end, instead of sleeping them out.
    host::Host::Options hostOptions;
    hostOptions.testClock = true;
    c.host = new host::Host(hostOptions);
    fuzz::Check(c.host->loaded(), "the plug-in does not load");
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    fuzz::Check(bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 && listen(listener, 1) == 0 &&
                    getsockname(listener, reinterpret_cast<sockaddr*>(&sa), &len) == 0,
                "no listening socket");
    Value name = Value::String("127.0.0.1"), port = Value::Integer(int16_t(ntohs(sa.sin_port))),
          size = Value::Long(0), options = Value::Long(0);
    std::vector<Value*> ps{&name, &port, &size, &options};
    c.ref = c.host->Call("VRX_OpenStream", ps).value;
    fuzz::Check(c.ref > 0, "the stream does not open");
    c.peer = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    fuzz::Check(c.peer >= 0, "no peer connection");
    close(listener);
    // At exit the plug-in shuts down, releasing the stream and its blocks.
    std::atexit([] {
      close(Connect().peer);
      delete Connect().host;
    });
    Value r = Value::Long(c.ref), code = Value::Long(0);
    for (int i = 0; i < 200; ++i) {
      std::vector<Value*> qs{&r, &code};
      if (c.host->Call("VRX_GetStreamState", qs).value == 8) break;
      poll(nullptr, 0, 5);
    }
    return c;
  }();
  return c;
}

// Bytes waiting in the stream (unread and in its socket).
int32_t Available(Connection& c) {
  Value r = Value::Long(c.ref);
  std::vector<Value*> ps{&r};
  return c.host->Call("VRX_GetBytesAvailable", ps).value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Connection& c = Connect();
  fuzz::Input input{data, size};
  const uint8_t how = input.Byte();
  const int16_t maximum = int16_t(input.U16());
  const int32_t flags = input.Byte();
  const std::string delimiter(input.Take(input.Byte() % 8));
  const std::string_view bytes = input.Rest();

  if (!bytes.empty()) {
    fuzz::Check(write(c.peer, bytes.data(), bytes.size()) == ssize_t(bytes.size()), "the peer cannot write");
    // Loopback hands the bytes over at once; wait until the stream's socket has them all.
    for (int i = 0; i < 100 && Available(c) < int32_t(bytes.size()); ++i) poll(nullptr, 0, 1);
  }
  std::string got;
  for (int round = 0; got.size() < bytes.size() && round < 100000; ++round) {
    const bool blob = (how >> (round % 8)) & 1;
    // After the first rounds no delimiter, so that what stopped before one drains too.
    const bool useDelimiter = round < 4;
    Value r = Value::Long(c.ref), delim = Value::String(useDelimiter ? delimiter : std::string()),
          timeout = Value::Long(0), options = Value::Long(0);
    size_t before = got.size();
    if (blob) {
      // Flag 2 keeps the stream open; the limit stops the loop once the bytes are in.
      Value b = Value::Blob({}), limit = Value::Long(int32_t(bytes.size() - got.size())),
            f = Value::Long((flags & 5) | 2);
      std::vector<Value*> ps{&r, &b, &limit, &options, &f, &delim, &timeout};
      int32_t result = c.host->Call("VRX_ReceiveBlob", ps).value;
      std::string piece = b.Bytes();
      fuzz::Check(result == int32_t(piece.size()), "a BLOB receive counts other bytes than it gives");
      got += piece;
    } else {
      Value t = Value::Text({}), m = Value::Integer(maximum), f = Value::Long(flags & 7);
      std::vector<Value*> ps{&r, &t, &m, &options, &f, &delim, &timeout};
      int32_t result = c.host->Call("VRX_ReceiveText", ps).value;
      std::string piece = t.Bytes();
      fuzz::Check(result == int32_t(piece.size()), "a text receive counts other bytes than it gives");
      if (maximum > 0) fuzz::Check(piece.size() <= size_t(maximum), "a text receive over its maximum");
      got += piece;
    }
    fuzz::Check(got.compare(0, got.size(), bytes.substr(0, got.size())) == 0, "received bytes differ from those sent",
                got);
    if (got.size() == before && !useDelimiter && Available(c) == 0) break;
  }
  fuzz::Check(got == bytes, "bytes lost or added on the way", got);
  fuzz::Check(Available(c) == 0, "bytes left over");
  return 0;
}
