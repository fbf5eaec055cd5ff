// Connecting to a host of several addresses: the attempts race (RFC 8305). The first
// address is tried at once; each next one when the one before has not connected within
// kAttemptDelayMs or has failed; the first connection made wins and the others are
// closed. Nothing here waits: the race advances whenever the stream is polled.
#include <poll.h>
#include <sys/epoll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "net/layer.h"
#include "platform/services.h"

namespace vrx {

struct ConnectRace {
  std::vector<SocketAddress> rest;  // not tried yet, in order
  size_t next = 0;
  std::vector<int> attempts;        // under way; the record's socket is one of them
  uint32_t lastStart = 0;           // milliseconds
  int32_t bufferSize = 0;
  LocalBinding local;
  int wakeFd = -1;                  // epoll over the attempts: what a waiting process sleeps on
};

namespace {

bool InProgress(int error) { return error == EINPROGRESS || error == EAGAIN || error == EINTR; }

// An attempt's outcome, without waiting: 1 connected, 0 still going, -1 failed.
int AttemptOutcome(int fd) {
  pollfd p{fd, POLLOUT, 0};
  if (poll(&p, 1, 0) <= 0) return 0;
  int err = 0;
  socklen_t len = sizeof err;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
  if (err != 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL))) return -1;
  return (p.revents & POLLOUT) ? 1 : 0;
}

void Watch(ConnectRace* race, int fd) {
  epoll_event ev{};
  ev.events = EPOLLOUT;
  ev.data.fd = fd;
  epoll_ctl(race->wakeFd, EPOLL_CTL_ADD, fd, &ev);
}

// A failed attempt that stays open would keep the race's wake-up ready for ever.
void Unwatch(ConnectRace* race, int fd) { epoll_ctl(race->wakeFd, EPOLL_CTL_DEL, fd, nullptr); }

// Starts attempts until one is under way or connected, or the addresses run out. The
// socket of a connect made at once, else -1.
int StartNext(ConnectRace* race) {
  while (race->next < race->rest.size()) {
    const SocketAddress& to = race->rest[race->next++];
    int fd = NewStreamSocket(to.Family(), race->bufferSize, true);
    if (fd < 0) continue;
    int error = StartConnect(fd, to, race->local);
    race->lastStart = platform::Milliseconds();
    if (error == 0) return fd;
    if (!InProgress(error)) {
      close(fd);
      continue;
    }
    race->attempts.push_back(fd);
    Watch(race, fd);
    return -1;
  }
  return -1;
}

// The record's socket leaves the race as `fd`; every other attempt is closed. Processes
// sleeping on the race or on a socket closed here are woken to look again.
void Finish(StreamRecord* record, int fd) {
  ConnectRace* race = record->race;
  platform::WakeWaiters(race->wakeFd);
  for (int a : race->attempts)
    if (a != fd) {
      platform::WakeWaiters(a);
      close(a);
    }
  if (record->socket != fd && record->socket >= 0 &&
      std::find(race->attempts.begin(), race->attempts.end(), record->socket) == race->attempts.end())
    close(record->socket);
  record->socket = fd;
  close(race->wakeFd);
  delete race;  // GCOVR_EXCL_BR_LINE: delete's test for null; race is not
  record->race = nullptr;
}

}  // namespace

std::vector<SocketAddress> AttemptOrder(const std::vector<SocketAddress>& found, const LocalBinding& local) {
  std::vector<SocketAddress> v6, v4;
  for (const SocketAddress& a : found) {
    if (a.Family() == AF_INET6 && !a.IsIpv4()) {
      if (local.address == 0 && SystemHasIpv6()) v6.push_back(a);
    } else if (a.IsIpv4()) {
      // A mapped address is an IPv4 host: reached as one, it can follow a bound address.
      v4.push_back(a.Family() == AF_INET ? a : Ipv4Address(a.Ipv4Number(), a.Port()));
    }
  }
  std::vector<SocketAddress> order;
  for (size_t i = 0; i < std::max(v6.size(), v4.size()); ++i) {
    if (i < v6.size()) order.push_back(v6[i]);
    if (i < v4.size()) order.push_back(v4[i]);
  }
  return order;
}

int StartConnect(int fd, const SocketAddress& to, const LocalBinding& local) {
  if (local.port != 0 || local.address != 0) {
    SocketAddress here = to.Family() == AF_INET ? Ipv4Address(local.address, local.port)
                                                : AnyAddress(AF_INET6, local.port);
    if (bind(fd, here.Raw(), here.length) != 0) return errno;
  }
  if (connect(fd, to.Raw(), to.length) != 0) return errno;
  return 0;
}

bool StartConnectRace(StreamRecord* record, std::vector<SocketAddress> rest, int32_t bufferSize,
                      const LocalBinding& local) {
  auto* race = new (std::nothrow) ConnectRace;
  if (!race) return false;
  race->wakeFd = epoll_create1(EPOLL_CLOEXEC);
  if (race->wakeFd < 0) {
    delete race;
    return false;
  }
  race->rest = std::move(rest);
  race->bufferSize = bufferSize;
  race->local = local;
  race->lastStart = platform::Milliseconds();
  race->attempts.push_back(record->socket);
  Watch(race, record->socket);
  record->race = race;
  return true;
}

RaceStep StepConnectRace(StreamRecord* record) {
  ConnectRace* race = record->race;
  for (size_t i = 0; i < race->attempts.size();) {
    int fd = race->attempts[i];
    int outcome = AttemptOutcome(fd);
    if (outcome == 1) {
      Finish(record, fd);
      return RaceStep::Won;
    }
    if (outcome < 0) {
      race->attempts.erase(race->attempts.begin() + long(i));
      Unwatch(race, fd);
      // The record keeps a socket to show for itself until the race is decided.
      if (fd != record->socket) close(fd);
      continue;
    }
    ++i;
  }
  bool due = race->attempts.empty() || platform::Milliseconds() - race->lastStart >= kAttemptDelayMs;
  if (due && race->next < race->rest.size()) {
    int connected = StartNext(race);
    if (connected >= 0) {
      Finish(record, connected);
      return RaceStep::Won;
    }
  }
  if (!race->attempts.empty()) {
    // The failed lead gives its place to an attempt still going.
    if (std::find(race->attempts.begin(), race->attempts.end(), record->socket) == race->attempts.end()) {
      platform::WakeWaiters(record->socket);
      close(record->socket);
      record->socket = race->attempts.front();
    }
    return RaceStep::Pending;
  }
  Finish(record, record->socket);
  return RaceStep::Lost;
}

void EndConnectRace(StreamRecord* record) {
  if (record && record->race) Finish(record, record->socket);
}

int32_t HintStreamWait(const StreamRecord* record, short events, int32_t longest) {
  const ConnectRace* race = record ? record->race : nullptr;  // GCOVR_EXCL_BR_LINE: callers have a record
  if (!race) {
    // A listening stream that cannot take a connection yet (its certificate is not
    // loaded) would find its socket ready again at once: it waits on time alone.
    bool listening = record && record->state == kStateListening;
    if (record && record->socket >= 0 && events && (!listening || ReadyToAccept(record)))
      platform::WaitHint(record->socket, events);
    return longest;
  }
  platform::WaitHint(race->wakeFd, POLLIN);
  if (race->next >= race->rest.size()) return longest;
  uint32_t elapsed = platform::Milliseconds() - race->lastStart;
  uint32_t left = elapsed >= kAttemptDelayMs ? 0 : kAttemptDelayMs - elapsed;
  // Ticks, rounded up so that the wait does not end just before the attempt is due.
  return std::clamp<int32_t>(int32_t((left * 60 + 999) / 1000), 1, std::max(longest, 1));
}

}  // namespace vrx
