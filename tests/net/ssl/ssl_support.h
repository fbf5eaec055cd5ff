// Peers and throw-away certificates for the SSL tests: keys are made with the openssl
// command in a temp folder when the tests start and removed when they end.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/net/net_commands.h"
#include "tests/support.h"

namespace ssltest {

using namespace nettest;
using vrxtest::Child;
using vrxtest::ReadLine;
using vrxtest::Spawn;
namespace fs = std::filesystem;

struct Certificates {
  fs::path dir;
  std::string aCert, aKey, aBoth, aEncryptedKey, aCertDer, aKeyDer, bCert, bKey;
  bool ok = false;
};

// Made once per test program.
inline const Certificates& Certs() {
  static Certificates c = [] {
    Certificates c;
    c.dir = fs::temp_directory_path() / ("vrx-ssl-" + std::to_string(getpid()));
    fs::create_directories(c.dir);
    auto at = [&](const char* name) { return (c.dir / name).string(); };
    c.aCert = at("a.crt");
    c.aKey = at("a.key");
    c.aBoth = at("a-both.pem");
    c.aEncryptedKey = at("a-encrypted.key");
    c.aCertDer = at("a.crt.der");
    c.aKeyDer = at("a.key.der");
    c.bCert = at("b.crt");
    c.bKey = at("b.key");
    std::string d = c.dir.string();
    std::string cmd =
        "cd '" + d + "' && "
        "openssl req -x509 -newkey rsa:2048 -nodes -keyout a.key -out a.crt -days 2 "
        "-subj /O=VRX/CN=vrx-a -addext subjectAltName=IP:127.0.0.1 -batch && "
        "openssl req -x509 -newkey rsa:2048 -nodes -keyout b.key -out b.crt -days 2 "
        "-subj /O=VRX/CN=vrx-b -batch && "
        "cat a.crt a.key > a-both.pem && "
        "openssl pkey -in a.key -aes256 -passout pass:open-sesame -out a-encrypted.key && "
        "openssl x509 -in a.crt -outform DER -out a.crt.der && "
        "openssl pkey -in a.key -outform DER -out a.key.der";
    c.ok = std::system(("(" + cmd + ") >/dev/null 2>&1").c_str()) == 0;
    return c;
  }();
  return c;
}

class CertificateCleanup : public ::testing::Environment {
 public:
  void TearDown() override {
    std::error_code ec;
    if (!Certs().dir.empty()) fs::remove_all(Certs().dir, ec);
  }
};

// The current directory for the length of a scope (where VRXcert.pem is looked up).
class InDirectory {
 public:
  explicit InDirectory(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
  ~InDirectory() { fs::current_path(old_); }

 private:
  fs::path old_;
};

// openssl s_server on a free loopback port; *port is 0 when it did not start.
inline Child StartOpenSslServer(std::vector<std::string> extra, uint16_t* port, int connections = 1) {
  std::vector<std::string> args{"/usr/bin/openssl", "s_server", "-accept", "127.0.0.1:0", "-naccept",
                                std::to_string(connections)};
  args.insert(args.end(), extra.begin(), extra.end());
  Child c = Spawn(args);
  *port = 0;
  for (int i = 0; i < 20 && *port == 0; ++i) {
    std::string line = ReadLine(c.out);
    if (line.empty()) break;
    if (line.rfind("ACCEPT ", 0) == 0) *port = uint16_t(std::atoi(line.substr(line.rfind(':') + 1).c_str()));
  }
  return c;
}

// Python's ssl module as the peer. Modes:
//   server CERT KEY: accepts one TLS connection on a free port (printed first), echoes
//     every byte until the peer ends, then prints the byte count and "clean" (close
//     notification received) or "ragged" (the connection just ended).
//   client PORT: connects, sends its standard input's first line, then reads to the end
//     and prints the byte count, "clean" or "ragged", and the bytes' SHA-256.
//   reset PORT: connects, reads once, then resets the connection.
inline const char* kPythonPeer = R"PY(
import hashlib, socket, ssl, struct, sys
def drain(s, echo):
    n, h, how = 0, hashlib.sha256(), "clean"
    while True:
        try:
            b = s.recv(65536)
        except (ssl.SSLEOFError, ConnectionResetError):
            how = "ragged"; break
        if not b: break
        n += len(b); h.update(b)
        if echo: s.sendall(b)
    return n, how, h.hexdigest()
if sys.argv[1] == "server":
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.load_cert_chain(sys.argv[2], sys.argv[3])
    l = socket.socket(); l.bind(("127.0.0.1", 0)); l.listen(1)
    print(l.getsockname()[1], flush=True)
    c, _ = l.accept()
    s = ctx.wrap_socket(c, server_side=True, suppress_ragged_eofs=False)
    n, how, _ = drain(s, True)
    print(n, how, flush=True)
elif sys.argv[1] == "reset":
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_CLIENT)
    ctx.check_hostname = False; ctx.verify_mode = ssl.CERT_NONE
    s = ctx.wrap_socket(socket.create_connection(("127.0.0.1", int(sys.argv[2]))))
    s.recv(100)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    s.close()
    print("reset", flush=True)
else:
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_CLIENT)
    ctx.check_hostname = False; ctx.verify_mode = ssl.CERT_NONE
    s = ctx.wrap_socket(socket.create_connection(("127.0.0.1", int(sys.argv[2]))), suppress_ragged_eofs=False)
    s.sendall(sys.stdin.readline().encode())
    n, how, digest = drain(s, False)
    print(n, how, digest, flush=True)
)PY";

inline Child StartPythonPeer(std::vector<std::string> args) {
  std::vector<std::string> all{"/usr/bin/python3", "-c", kPythonPeer};
  all.insert(all.end(), args.begin(), args.end());
  return Spawn(all);
}

// A one-connection Python TLS server with certificate a, for the tests that need a peer
// that misbehaves in its own way: `setup` lines may set options of the listening socket
// `l`; `body` runs once the accepted socket `c` is wrapped as `s`. *port is where it
// listens (0 when it did not start).
inline Child StartPythonTlsServer(const std::string& body, uint16_t* port, const std::string& setup = "") {
  const std::string script =
      "import socket, ssl, sys, time\n"
      "ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)\n"
      "ctx.load_cert_chain(sys.argv[1], sys.argv[2])\n"
      "l = socket.socket()\n" +
      setup +
      "l.bind(('127.0.0.1', 0)); l.listen(1)\n"
      "print(l.getsockname()[1], flush=True)\n"
      "c, _ = l.accept(); c.settimeout(20)\n"
      "s = ctx.wrap_socket(c, server_side=True)\n" +
      body;
  Child server = Spawn({"/usr/bin/python3", "-c", script, Certs().aCert, Certs().aKey});
  *port = uint16_t(std::atoi(ReadLine(server.out).c_str()));
  return server;
}

inline int32_t SslOpen(Host& h, const std::string& host, uint16_t port, int32_t options = 1024) {
  Value name = Value::String(host), p = Value::Integer(int16_t(port)), size = Value::Long(0),
        o = Value::Long(options);
  return CallLong(h, "VRX_OpenStream", {&name, &p, &size, &o});
}

inline int32_t SslListen(Host& h, uint16_t port, int32_t options = 2048) {
  Value p = Value::Integer(int16_t(port)), size = Value::Long(0), o = Value::Long(options),
        a = Value::Long(int32_t(kLoopback));
  return CallLong(h, "VRX_ListenStream", {nullptr, nullptr, &p, &size, &o, nullptr, &a});
}

struct SslInfo {
  int32_t result;
  std::string version, cipher;
  int32_t bits;
  std::string subject;
};

inline SslInfo Info(Host& h, int32_t ref) {
  Value r = Value::Long(ref), v = Value::String("?"), c = Value::String("?"), b = Value::Long(-7),
        s = Value::String("?");
  int32_t result = CallLong(h, "VRX_GetStreamSSLInfo", {&r, &v, &c, &b, &s});
  return {result, v.Bytes(), c.Bytes(), b.AsLong(), s.Bytes()};
}

inline int32_t SetCertificate(Host& h, int32_t ref, const std::string& cert, const std::string& key,
                              const std::string& password) {
  Value r = Value::Long(ref), c = Value::String(cert), k = Value::String(key), p = Value::String(password);
  return CallLong(h, "VRX_SetStreamCertificate", {&r, &c, &k, &p});
}

inline std::pair<int32_t, std::string> SslError(Host& h, int32_t ref) {
  Value r = Value::Long(ref), t = Value::String("?");
  int32_t code = CallLong(h, "VRX_GetStreamSSLError", {&r, &t});
  return {code, t.Bytes()};
}

inline int32_t SetCiphers(Host& h, int32_t ref, const std::string& list) {
  Value r = Value::Long(ref), l = Value::String(list);
  return CallLong(h, "VRX_SetStreamCiphers", {&r, &l});
}

inline int32_t Available(Host& h, int32_t ref) {
  Value r = Value::Long(ref);
  return CallLong(h, "VRX_GetBytesAvailable", {&r});
}

// The local port of a stream (a listening one's shared socket).
inline uint16_t PortOf(Host& h, int32_t ref) { return StreamAddresses(h, ref).localPort; }

// Receives until `n` bytes came or nothing more comes.
inline std::string ReceiveBytes(Host& h, int32_t ref, size_t n) {
  std::string got;
  for (int i = 0; i < 100000 && got.size() < n; ++i) {
    Received r = Receive(h, ref, 0, 0, "", 600);
    if (r.text.empty()) break;
    got += r.text;
  }
  return got;
}

}  // namespace ssltest
