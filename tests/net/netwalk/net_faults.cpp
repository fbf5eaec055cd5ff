// Socket calls, name lookups, OpenSSL calls and allocations that fail on demand. This test program's
// own definitions stand before the C library's and OpenSSL's for the plug-in, its static
// copy in this program and OpenSSL itself (the dynamic linker takes a program's
// definition first); each forwards to the next one. While a failure is set, every call of
// the chosen families that the fault applies to is counted and the nth fails.
#include "net_faults.h"

#include <dlfcn.h>
#include <errno.h>
#include <netdb.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <pthread.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstring>
#include <mutex>
#include <new>

namespace netwalk {
namespace {

std::atomic<int64_t> gNth{0}, gCount{0};
std::atomic<bool> gEvery{false};
std::atomic<uint64_t> gSeed{0};
std::atomic<unsigned> gFamilies{0};
std::atomic<Fault> gHow{Fault::Error};
std::mutex gNameLock;
std::string gFailed;

template <typename F>
F Real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

constexpr unsigned Bit(Fault f) { return 1u << unsigned(f); }
constexpr unsigned kErrorOnly = Bit(Fault::Error);
// Calls that may wait in the kernel are interrupted by signals.
constexpr unsigned kInterruptible = kErrorOnly | Bit(Fault::Interrupt);
// Calls on a non-blocking socket.
constexpr unsigned kNonBlocking = kInterruptible | Bit(Fault::WouldBlock);
constexpr unsigned kTransfer = kNonBlocking | Bit(Fault::Short);

// Whether the call of that count fails, one in gNth of them, the same ones for the same
// seed (splitmix64).
bool Chance(int64_t count) {
  uint64_t z = gSeed.load() + uint64_t(count) * 0x9E3779B97F4A7C15u;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return (z ^ (z >> 31)) % uint64_t(gNth.load()) == 0;
}

// This program uses OpenSSL's SSL library itself, so that the linker makes its
// definitions of the library's functions the ones the plug-in finds.
[[maybe_unused]] const int kSslLinked = OPENSSL_init_ssl(0, nullptr);

// True when this call is the one to fail (per `modes`, the faults it can meet).
bool Trips(const char* name, unsigned family, unsigned modes) {
  if (gNth.load() == 0 || !(gFamilies.load() & family) || !(modes & Bit(gHow.load()))) return false;
  int64_t count = ++gCount;
  if (gEvery.load() ? !Chance(count) : count != gNth.load()) return false;
  std::lock_guard<std::mutex> lock(gNameLock);
  gFailed = name;
  return true;
}

// A system call that trips sets errno for the fault and answers -1; `error` is the one it
// gives when it simply fails.
bool SystemFails(const char* name, unsigned modes, int error) {
  if (!Trips(name, kSystemCalls, modes)) return false;
  Fault how = gHow.load();
  errno = how == Fault::Interrupt ? EINTR : how == Fault::WouldBlock ? EAGAIN : error;
  return true;
}

// Only the plug-in's own calls of a library count: OpenSSL's calls of its own functions
// are its own affair, and so are the host's allocations.
bool LibraryFails(const char* name, void* caller) {
  Dl_info info;
  return dladdr(caller, &info) && info.dli_fname && std::strstr(info.dli_fname, "/libvrx.so") &&
         Trips(name, kLibraryCalls, kErrorOnly);
}

// A library call that trips leaves an error on the queue, as a failing one does.
bool TlsFails(const char* name, void* caller) {
  if (!LibraryFails(name, caller)) return false;
  ERR_raise(ERR_LIB_SSL, ERR_R_INTERNAL_ERROR);
  return true;
}

// A send or receive cut short moves half of what it was offered, rounded up.
bool CutShort() { return gHow.load() == Fault::Short; }

}  // namespace

void FailNetCall(int64_t nth, unsigned families, Fault how) {
  gNth = 0;
  gEvery = false;
  gCount = 0;
  gFamilies = families;
  gHow = how;
  {
    std::lock_guard<std::mutex> lock(gNameLock);
    gFailed.clear();
  }
  gNth = nth;
}

void FailSomeNetCalls(int64_t oneIn, uint64_t seed, unsigned families, Fault how) {
  FailNetCall(0, families, how);
  gEvery = true;
  gSeed = seed;
  gNth = oneIn;
}

int64_t NetCallCount() { return gCount.load(); }

std::string FailedCall() {
  std::lock_guard<std::mutex> lock(gNameLock);
  return gFailed;
}

}  // namespace netwalk

using netwalk::Real;

// A system call of a plain shape: fails as SystemFails says or forwards.
#define SYSTEM_CALL(ret, name, params, args, modes, error, ...)    \
  ret name params __VA_ARGS__ {                                    \
    static auto real = Real<decltype(&::name)>(#name);             \
    if (netwalk::SystemFails(#name, modes, error)) return ret(-1); \
    return real args;                                              \
  }

// A library call that answers `failure` when it trips.
#define TLS_CALL(ret, name, params, args, failure)     \
  ret name params {                                    \
    static auto real = Real<decltype(&::name)>(#name); \
    if (netwalk::TlsFails(#name, __builtin_return_address(0))) return failure; \
    return real args;                                  \
  }

// The allocations that may fail without an exception.
void* operator new(std::size_t n, const std::nothrow_t& t) noexcept {
  static auto real = Real<void* (*)(std::size_t, const std::nothrow_t&) noexcept>("_ZnwmRKSt9nothrow_t");
  return netwalk::LibraryFails("operator new", __builtin_return_address(0)) ? nullptr : real(n, t);
}

extern "C" {

SYSTEM_CALL(int, socket, (int d, int t, int p), (d, t, p), netwalk::kErrorOnly, EMFILE, noexcept)
SYSTEM_CALL(int, bind, (int fd, const sockaddr* a, socklen_t n), (fd, a, n), netwalk::kErrorOnly, EADDRINUSE,
            noexcept)
SYSTEM_CALL(int, listen, (int fd, int n), (fd, n), netwalk::kErrorOnly, EADDRINUSE, noexcept)
SYSTEM_CALL(int, accept4, (int fd, sockaddr* a, socklen_t* n, int f), (fd, a, n, f), netwalk::kNonBlocking,
            EMFILE)
SYSTEM_CALL(int, setsockopt, (int fd, int l, int o, const void* v, socklen_t n), (fd, l, o, v, n),
            netwalk::kErrorOnly, ENOBUFS, noexcept)
SYSTEM_CALL(int, getsockopt, (int fd, int l, int o, void* v, socklen_t* n), (fd, l, o, v, n), netwalk::kErrorOnly,
            ENOBUFS, noexcept)
SYSTEM_CALL(int, getsockname, (int fd, sockaddr* a, socklen_t* n), (fd, a, n), netwalk::kErrorOnly, ENOBUFS,
            noexcept)
SYSTEM_CALL(int, getpeername, (int fd, sockaddr* a, socklen_t* n), (fd, a, n), netwalk::kErrorOnly, ENOTCONN,
            noexcept)
SYSTEM_CALL(int, shutdown, (int fd, int how), (fd, how), netwalk::kErrorOnly, ENOTCONN, noexcept)
SYSTEM_CALL(int, poll, (pollfd * p, nfds_t n, int t), (p, n, t), netwalk::kInterruptible, ENOMEM)
SYSTEM_CALL(int, epoll_create1, (int f), (f), netwalk::kErrorOnly, EMFILE, noexcept)
SYSTEM_CALL(int, eventfd, (unsigned v, int f), (v, f), netwalk::kErrorOnly, EMFILE, noexcept)
SYSTEM_CALL(int, gethostname, (char* n, size_t l), (n, l), netwalk::kErrorOnly, ENAMETOOLONG, noexcept)
// A datagram that finds the socket's buffer full is not sent, and its sender is told:
// no busy sendto here.
SYSTEM_CALL(ssize_t, sendto, (int fd, const void* b, size_t n, int f, const sockaddr* a, socklen_t l),
            (fd, b, n, f, a, l), netwalk::kInterruptible, ENOBUFS)
SYSTEM_CALL(ssize_t, recvfrom, (int fd, void* b, size_t n, int f, sockaddr* a, socklen_t* l), (fd, b, n, f, a, l),
            netwalk::kNonBlocking, ECONNREFUSED)

// A non-blocking connect that is interrupted goes on in the background.
int connect(int fd, const sockaddr* a, socklen_t n) {
  static auto real = Real<decltype(&::connect)>("connect");
  if (!netwalk::SystemFails("connect", netwalk::kInterruptible, ECONNREFUSED)) return real(fd, a, n);
  if (errno == EINTR) {
    real(fd, a, n);
    errno = EINTR;
  }
  return -1;
}

ssize_t send(int fd, const void* b, size_t n, int f) {
  static auto real = Real<decltype(&::send)>("send");
  if (!netwalk::SystemFails("send", netwalk::kTransfer, ECONNRESET)) return real(fd, b, n, f);
  return netwalk::CutShort() ? real(fd, b, (n + 1) / 2, f) : -1;
}

ssize_t recv(int fd, void* b, size_t n, int f) {
  static auto real = Real<decltype(&::recv)>("recv");
  if (!netwalk::SystemFails("recv", netwalk::kTransfer, ECONNRESET)) return real(fd, b, n, f);
  return netwalk::CutShort() ? real(fd, b, (n + 1) / 2, f) : -1;
}

// Only FIONREAD is counted: the other requests are not the sockets'.
int ioctl(int fd, unsigned long request, ...) noexcept {
  static auto real = Real<int (*)(int, unsigned long, void*)>("ioctl");
  va_list args;
  va_start(args, request);
  void* arg = va_arg(args, void*);
  va_end(args);
  if (request == FIONREAD && netwalk::SystemFails("ioctl", netwalk::kErrorOnly, EINVAL)) return -1;
  return real(fd, request, arg);
}

// The resolver answers with its own codes.
int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** res) {
  static auto real = Real<decltype(&::getaddrinfo)>("getaddrinfo");
  if (netwalk::Trips("getaddrinfo", netwalk::kSystemCalls, netwalk::kErrorOnly)) return EAI_AGAIN;
  return real(node, service, hints, res);
}

int getnameinfo(const sockaddr* a, socklen_t n, char* host, socklen_t hn, char* serv, socklen_t sn, int flags) {
  static auto real = Real<decltype(&::getnameinfo)>("getnameinfo");
  if (netwalk::Trips("getnameinfo", netwalk::kSystemCalls, netwalk::kErrorOnly)) return EAI_AGAIN;
  return real(a, n, host, hn, serv, sn, flags);
}

int pthread_create(pthread_t* t, const pthread_attr_t* a, void* (*f)(void*), void* arg) noexcept {
  static auto real = Real<decltype(&::pthread_create)>("pthread_create");
  if (netwalk::Trips("pthread_create", netwalk::kSystemCalls, netwalk::kErrorOnly)) return EAGAIN;
  return real(t, a, f, arg);
}

TLS_CALL(SSL_CTX*, SSL_CTX_new, (const SSL_METHOD* m), (m), nullptr)
TLS_CALL(SSL*, SSL_new, (SSL_CTX * c), (c), nullptr)
TLS_CALL(long, SSL_CTX_ctrl, (SSL_CTX * c, int cmd, long l, void* p), (c, cmd, l, p), 0)
TLS_CALL(long, SSL_ctrl, (SSL * s, int cmd, long l, void* p), (s, cmd, l, p), 0)
TLS_CALL(BIO*, BIO_new, (const BIO_METHOD* m), (m), nullptr)
TLS_CALL(BIO*, BIO_new_file, (const char* f, const char* m), (f, m), nullptr)
TLS_CALL(BIO_METHOD*, BIO_meth_new, (int t, const char* n), (t, n), nullptr)
TLS_CALL(int, SSL_read, (SSL * s, void* b, int n), (s, b, n), -1)
TLS_CALL(int, SSL_peek, (SSL * s, void* b, int n), (s, b, n), -1)
TLS_CALL(int, SSL_write, (SSL * s, const void* b, int n), (s, b, n), -1)
TLS_CALL(int, SSL_do_handshake, (SSL * s), (s), -1)
TLS_CALL(int, SSL_connect, (SSL * s), (s), -1)
TLS_CALL(int, SSL_accept, (SSL * s), (s), -1)
TLS_CALL(int, SSL_shutdown, (SSL * s), (s), -1)
TLS_CALL(int, SSL_use_certificate_file, (SSL * s, const char* f, int t), (s, f, t), 0)
TLS_CALL(int, SSL_use_certificate_chain_file, (SSL * s, const char* f), (s, f), 0)
TLS_CALL(int, SSL_use_PrivateKey_file, (SSL * s, const char* f, int t), (s, f, t), 0)
TLS_CALL(int, SSL_use_certificate, (SSL * s, X509* x), (s, x), 0)
TLS_CALL(int, SSL_use_PrivateKey, (SSL * s, EVP_PKEY* k), (s, k), 0)
TLS_CALL(int, SSL_check_private_key, (const SSL* s), (s), 0)
TLS_CALL(int, SSL_CTX_use_certificate, (SSL_CTX * c, X509* x), (c, x), 0)
TLS_CALL(int, SSL_CTX_use_PrivateKey, (SSL_CTX * c, EVP_PKEY* k), (c, k), 0)
TLS_CALL(int, SSL_CTX_check_private_key, (const SSL_CTX* c), (c), 0)
TLS_CALL(int, SSL_set1_host, (SSL * s, const char* h), (s, h), 0)
TLS_CALL(int, X509_VERIFY_PARAM_set1_ip_asc, (X509_VERIFY_PARAM * p, const char* a), (p, a), 0)
TLS_CALL(int, SSL_set_cipher_list, (SSL * s, const char* l), (s, l), 0)
TLS_CALL(int, SSL_CTX_set_cipher_list, (SSL_CTX * c, const char* l), (c, l), 0)
TLS_CALL(STACK_OF(X509_INFO)*, PEM_X509_INFO_read_bio, (BIO * b, STACK_OF(X509_INFO) * s, pem_password_cb* cb, void* u),
         (b, s, cb, u), nullptr)
TLS_CALL(X509_STORE*, X509_STORE_new, (void), (), nullptr)
TLS_CALL(int, X509_STORE_add_cert, (X509_STORE * s, X509* x), (s, x), 0)
TLS_CALL(OPENSSL_STACK*, OPENSSL_sk_new_null, (void), (), nullptr)
TLS_CALL(int, OPENSSL_sk_push, (OPENSSL_STACK * s, const void* p), (s, p), 0)
TLS_CALL(X509*, SSL_get1_peer_certificate, (const SSL* s), (s), nullptr)
TLS_CALL(char*, X509_NAME_oneline, (const X509_NAME* n, char* b, int l), (n, b, l), nullptr)

}  // extern "C"
