// State of the socket layer shared by its source files (not for other subsystems).
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

#include "net/address.h"

#include "net/streams.h"

namespace vrx {

// Linux names one error twice: a socket that would block is told by EAGAIN alone here.
static_assert(EAGAIN == EWOULDBLOCK);

struct ListenerEntry {
  int socket = -1;  // -1 = entry free
  int32_t users = 0;
  uint32_t localAddress = 0;
  uint16_t localPort = 0;
  StreamRecord* head = nullptr;
  StreamRecord* tail = nullptr;
  bool lingering = false;
  uint32_t lingerDeadline = 0;
  bool shared = false;
};

struct SocketLayer {
  ListenerEntry listeners[kListenerCount];
  bool nextCheckSet = false;
  uint32_t nextCheck = 0;
  uint32_t cachedLocalAddress = 0;
  // The last lookup of this machine's own name: the name, its first IPv4 address (0 for
  // none) and when it was made (milliseconds).
  std::string ownName;
  uint32_t ownAddress = 0;
  uint32_t ownAddressAt = 0;
  NetworkStatistics stats = {};
};

SocketLayer& Layer();

// A stream socket of the family with the layer's options (buffer sizes, address reuse,
// keep-alive), non-blocking; -1 when none can be made.
int NewStreamSocket(int family, int32_t bufferSize, bool v6only);

// ---- connecting to a host of several addresses (Happy Eyeballs) --------------------------
// The wait after one attempt starts before the next one does, unless it fails sooner.
constexpr uint32_t kAttemptDelayMs = 250;
// Where an active open binds before it connects: port 0 and address 0 mean any.
struct LocalBinding {
  uint16_t port = 0;
  uint32_t address = 0;  // IPv4 only; set, it keeps the open to IPv4 addresses
};
// The addresses to try, in order: IPv6 first, then the families alternating, each in
// the resolver's order; those this system or the binding cannot reach are left out.
std::vector<SocketAddress> AttemptOrder(const std::vector<SocketAddress>& found, const LocalBinding& local);
// Binds a new socket as asked and starts its connect: 0 connected at once, EINPROGRESS
// under way, otherwise the errno of the failure.
int StartConnect(int fd, const SocketAddress& to, const LocalBinding& local);
// Makes the record's connect a race: its socket is the attempt to the first address,
// under way; the rest follow.
bool StartConnectRace(StreamRecord* record, std::vector<SocketAddress> rest, int32_t bufferSize,
                      const LocalBinding& local);
enum class RaceStep { Pending, Won, Lost };
// Advances the race: starts the next attempt when it is due, drops the attempts that
// failed, and once one has connected makes it the record's socket and closes the others
// (Won). Lost when every address failed.
RaceStep StepConnectRace(StreamRecord* record);
// Closes every attempt but the record's socket and ends the race (a release under way).
void EndConnectRace(StreamRecord* record);

// One idle wait of a sending loop: sleeps until the socket is ready for `events` or a
// tenth of a second passes, then polls the stream. The record after the wait, or null
// when the stream is gone or broken.
StreamRecord* WaitWhileSending(StreamRecord** slot, short events);


// A stream waiting in a listener's queue that may take a connection now: a plain one at
// once, an SSL one when its certificate is loaded.
bool ReadyToAccept(const StreamRecord* record);
// Accepts one pending connection on a listening socket into `record`, which has left
// its listener's queue. False when nothing was pending.
bool AcceptInto(int listenSocket, StreamRecord* record);
// Stops notifications for a listener's socket and closes it.
void CloseListenerSocket(ListenerEntry& e);
// Takes a record out of its listener's queue; the listener closes or lingers when that
// was its last user.
void DetachFromListener(StreamRecord* record, int32_t mode);
// For tests: the shared listening socket of a listener entry (1-based), -1 when free,
// and its user count.
int ListenerSocket(int slot);
int32_t ListenerUsers(int slot);

// Reads and drops what is waiting on a socket, a bounded amount per call.
void DropWaitingBytes(int fd);
// One receive from the socket itself that never waits, below any SSL and the unread
// bytes, into `out`: empty when nothing is there or at the end (the state says which).
// Failed: errno says why. Counts like every plain receive.
NetStatus ReceiveRaw(StreamRecord* record, std::string& out, int32_t maximum);
// One send that never waits: *sent, the bytes the socket took (0 when it is full).
// Failed: errno says why; a broken connection moves the stream to 20. Counts like every
// plain send.
NetStatus SendOnce(StreamRecord* record, const uint8_t* data, size_t n, size_t* sent);

// The rows' functions that more than one row shares.
NetStatus PlainSend(StreamRecord** slot, const uint8_t* data, size_t n, size_t piece);
NetStatus PlainReceive(StreamRecord** slot, std::string& out, int32_t maximum);
int32_t PlainPending(StreamRecord* record);

}  // namespace vrx
