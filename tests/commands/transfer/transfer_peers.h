// Transfer commands through the host, temporary folders, and peers outside the plug-in:
// python3 programs that take or give a file over one loopback connection.
#pragma once
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "commands/transfer_commands.h"
#include "tests/net/net_commands.h"
#include "tests/support.h"

namespace transfertest {

using host::Host;
using host::Value;
using nettest::CallLong;

using vrxtest::ReadFile;
using vrxtest::TempDir;
using vrxtest::WriteFile;

inline int OpenFdCount() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

// ---- python3 peers -------------------------------------------------------------------
// Each listens on a free loopback port, prints it, serves one connection and exits;
// every socket operation has a time-out, so a peer never outlives a failed test long.
constexpr const char* kSinkScript =
    "import socket,sys\n"
    "s=socket.socket();s.bind(('127.0.0.1',0));s.listen(1)\n"
    "print(s.getsockname()[1],flush=True)\n"
    "s.settimeout(30);c,_=s.accept();c.settimeout(30)\n"
    "with open(sys.argv[1],'wb') as f:\n"
    "  while True:\n"
    "    b=c.recv(65536)\n"
    "    if not b: break\n"
    "    f.write(b)\n"
    "c.close()\n";

// Sends argv[1]'s bytes; with argv[2] == "hold" it then waits for the other side to end.
constexpr const char* kSourceScript =
    "import socket,sys\n"
    "s=socket.socket();s.bind(('127.0.0.1',0));s.listen(1)\n"
    "print(s.getsockname()[1],flush=True)\n"
    "s.settimeout(30);c,_=s.accept();c.settimeout(30)\n"
    "try:\n"
    "  c.sendall(open(sys.argv[1],'rb').read())\n"
    "  if sys.argv[2]=='hold':\n"
    "    while c.recv(65536): pass\n"
    "except OSError: pass\n"
    "c.close()\n";

// A peer program started with one file name and a mode.
struct Peer {
  vrxtest::Child child;
  uint16_t port = 0;

  Peer(const char* script, const std::string& file, const std::string& mode = "close")
      : child(vrxtest::SpawnPython(script, {file, mode})), port(child.Port()) {}
  // Waits at most `seconds` for the peer to end (it is stopped after that): true when it
  // ended by itself with status 0.
  bool Finish(int seconds = 30) {
    bool ok = child.Wait(seconds) == 0;
    child.Stop();
    return ok;
  }
};

inline Host::Options TestClockOptions() {
  Host::Options o;
  o.testClock = true;
  return o;
}

// ---- commands ------------------------------------------------------------------------
inline int32_t OpenTo(Host& h, uint16_t port) {
  int32_t ref = nettest::Open(h, "127.0.0.1", port);
  return nettest::AwaitState(h, ref, 8) == 8 ? ref : 0;
}

using nettest::RawPair;

inline int32_t SendFile(Host& h, int32_t ref, const std::string& path, int32_t conversion = 0,
                        int32_t piece = 0, int32_t first = 0, int32_t end = 0) {
  Value r = Value::Long(ref), p = Value::Text(path), cv = Value::Long(conversion), pc = Value::Long(piece),
        f = Value::Long(first), e = Value::Long(end), ignored = Value::Long(77);
  return CallLong(h, "VRX_SendFile", {&r, &p, &cv, &pc, &f, &e, &ignored});
}

// VRX_ReceiveFile; `written` tells whether the command wrote its result.
struct FileReceipt {
  bool written;
  int32_t result;
};
inline FileReceipt ReceiveFile(Host& h, int32_t ref, const std::string& path, int32_t flags,
                               int32_t idleSeconds, int32_t limit, int32_t conversion = 0) {
  Value r = Value::Long(ref), p = Value::Text(path), cv = Value::Long(conversion), f = Value::Long(flags),
        i = Value::Long(idleSeconds), l = Value::Long(limit);
  std::vector<Value*> ps{&r, &p, &cv, &f, &i, &l};
  host::CallResult res = h.Call("VRX_ReceiveFile", ps);
  return {res.written, res.value};
}

inline int32_t SendBlob(Host& h, int32_t ref, Value& blob, int32_t first = 0, int32_t last = 0,
                        int32_t conversion = 0) {
  Value r = Value::Long(ref), ignored = Value::Long(9), cv = Value::Long(conversion), f = Value::Long(first),
        l = Value::Long(last);
  return CallLong(h, "VRX_SendBlob", {&r, &blob, &ignored, &cv, &f, &l});
}

inline int32_t ReceiveBlob(Host& h, int32_t ref, Value& blob, int32_t limit, int32_t flags,
                           std::string_view delimiter, int32_t timeoutTicks, int32_t conversion = 0) {
  Value r = Value::Long(ref), l = Value::Long(limit), cv = Value::Long(conversion), f = Value::Long(flags),
        d = Value::String(delimiter), t = Value::Long(timeoutTicks);
  return CallLong(h, "VRX_ReceiveBlob", {&r, &blob, &l, &cv, &f, &d, &t});
}

inline int32_t WaitState(Host& h, int32_t ref, int32_t target, int32_t seconds) {
  Value r = Value::Long(ref), t = Value::Long(target), s = Value::Long(seconds);
  return CallLong(h, "VRX_WaitStreamState", {&r, &t, &s});
}

inline int32_t OpenStreamCount(Host& h) {
  Value zero = Value::Long(0);
  return CallLong(h, "VRX_GetStreamRef", {&zero});
}

inline int32_t BytesAvailable(Host& h, int32_t ref) {
  Value r = Value::Long(ref);
  return CallLong(h, "VRX_GetBytesAvailable", {&r});
}

// Real-time wait (for peers outside the host) until `n` bytes wait on the stream.
inline bool AwaitBytes(Host& h, int32_t ref, int32_t n) {
  for (int i = 0; i < 1000; ++i) {
    if (BytesAvailable(h, ref) >= n) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// True once the conversion options really convert (the codecs are in).
inline bool ConversionsActive() {
  std::string out;
  vrx::ConvertBytes("a\rb", 4, out);
  return out == "a\r\nb";
}

// Every CR followed by LF, as the conversion option 4 does it.
inline std::string ExpandCr(std::string_view s) {
  std::string out;
  for (char ch : s) {
    out += ch;
    if (ch == '\r') out += '\n';
  }
  return out;
}

// Base64 without padding, as the conversion option 128 gives it: written out here, so
// that the codec is not checked against itself.
inline std::string Base64NoPadding(std::string_view in) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  uint32_t acc = 0;
  int bits = 0;
  for (unsigned char c : in) {
    acc = acc << 8 | c;
    for (bits += 8; bits >= 6;) out += kDigits[(acc >> (bits -= 6)) & 63];
  }
  if (bits) out += kDigits[(acc << (6 - bits)) & 63];
  return out;
}

}  // namespace transfertest
