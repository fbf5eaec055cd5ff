#include "net/resolver.h"

#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "hostcall/host_call.h"
#include "net/streams.h"
#include "platform/services.h"

namespace vrx {
namespace {

// One lookup. The helper thread reads its question and writes its answer; the process
// that waits for it reads the answer only after `done`.
struct LookUp {
  bool reverse = false;
  std::string name;
  SocketAddress address;
  int error = 0;
  std::vector<SocketAddress> found;
  std::string host;
  int wakeFd = -1;
  std::atomic<bool> done{false};
  pthread_t thread{};
};

// Lookups whose threads have not been joined, owned here on the host's thread: a caller
// that never comes back (its process ended at shutdown) leaves its lookup to
// FinishLookUps.
std::vector<LookUp*>& Running() {
  static std::vector<LookUp*> running;  // GCOVR_EXCL_BR_LINE: a local static's guard, on one thread
  return running;
}

bool SameAddress(const SocketAddress& a, const SocketAddress& b) {
  return a.length == b.length && std::memcmp(&a.storage, &b.storage, a.length) == 0;
}

void Answer(LookUp* l) {
  if (l->reverse) {
    char host[NI_MAXHOST] = "";
    if (getnameinfo(l->address.Raw(), l->address.length, host, sizeof host, nullptr, 0, NI_NAMEREQD) == 0)
      l->host = host;
    return;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
  addrinfo* list = nullptr;
  l->error = getaddrinfo(l->name.c_str(), nullptr, &hints, &list);
  if (l->error != 0) return;
  for (addrinfo* ai = list; ai; ai = ai->ai_next) {
    // Asked for any family, the resolver answers with these two, in addresses that fit.
    if ((ai->ai_family != AF_INET && ai->ai_family != AF_INET6) ||  // GCOVR_EXCL_BR_LINE
        ai->ai_addrlen > sizeof(sockaddr_storage))                   // GCOVR_EXCL_BR_LINE
      continue;                                                      // GCOVR_EXCL_LINE
    SocketAddress a;
    std::memcpy(&a.storage, ai->ai_addr, ai->ai_addrlen);
    a.length = ai->ai_addrlen;
    a.SetPort(0);
    if (std::none_of(l->found.begin(), l->found.end(), [&](const SocketAddress& f) { return SameAddress(f, a); }))
      l->found.push_back(a);
  }
  freeaddrinfo(list);
  if (l->found.empty()) l->error = EAI_NONAME;  // GCOVR_EXCL_BR_LINE: a lookup that succeeds found one
}

void* Work(void* arg) {
  auto* l = static_cast<LookUp*>(arg);
  Answer(l);
  l->done.store(true, std::memory_order_release);
  uint64_t one = 1;
  ssize_t w = write(l->wakeFd, &one, sizeof one);
  (void)w;  // the flag is what counts; the write only wakes the sleeper early
  return nullptr;
}

void Forget(LookUp* l) {
  auto& running = Running();
  running.erase(std::remove(running.begin(), running.end(), l), running.end());
  if (l->wakeFd >= 0) close(l->wakeFd);
  delete l;  // GCOVR_EXCL_BR_LINE: delete's test for null; l is not
}

// Answers the lookup on a helper thread while this process sleeps on its wake-up, other
// processes running meanwhile. Without a host, or when no thread can be had, it answers
// here and now.
void Run(LookUp* l) {
  if (HostPresent()) l->wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (l->wakeFd < 0 || pthread_create(&l->thread, nullptr, Work, l) != 0) {
    Answer(l);
    return;
  }
  Running().push_back(l);
  while (!l->done.load(std::memory_order_acquire)) {
    platform::WaitHint(l->wakeFd, POLLIN);
    HostWait(kHintedWaitTicks);
  }
  pthread_join(l->thread, nullptr);
}

}  // namespace

int ResolveName(std::string_view name, std::vector<SocketAddress>* out) {
  out->clear();
  SocketAddress literal;
  if (ParseAddressLiteral(name, 0, &literal)) {
    out->push_back(literal);
    return 0;
  }
  // The resolver sees a name up to its first zero byte: such a name is not this one.
  if (name.empty() || name.find('\0') != std::string_view::npos) return EAI_NONAME;
  auto* l = new (std::nothrow) LookUp;
  if (!l) return EAI_MEMORY;
  l->name.assign(name);
  Run(l);
  int error = l->error;
  out->swap(l->found);
  Forget(l);
  return error;
}

std::string ReverseLookUp(const SocketAddress& address) {
  auto* l = new (std::nothrow) LookUp;
  if (!l) return {};
  l->reverse = true;
  l->address = address;
  Run(l);
  std::string host = std::move(l->host);
  Forget(l);
  return host;
}

void FinishLookUps() {
  while (!Running().empty()) {
    LookUp* l = Running().back();
    pthread_join(l->thread, nullptr);
    Forget(l);
  }
}

}  // namespace vrx
