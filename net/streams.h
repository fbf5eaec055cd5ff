// TCP streams: the connection record, its states, the shared listening sockets, and the
// operations that open, poll, send on, receive from, close and release a stream.
//
// Every operation that works on a stream takes the address of its slot in the stream
// table (as StreamSlot gives it) and reads the record from it again after each wait.
#pragma once
#include <sys/socket.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "abi/abi.h"
#include "hostcall/host_call.h"
#include "net/stream_table.h"

// OpenSSL's SSL and SSL_CTX, named without its headers.
struct ssl_st;
struct ssl_ctx_st;

namespace vrx {

// Connection states as 4D sees them. A state never decreases.
enum : int32_t {
  kStateClosed = 0,
  kStateListening = 2,
  kStateSslAccepting = 4,
  kStateConnecting = 6,
  kStateEstablished = 8,
  kStateLocalClosed = 12,
  kStatePeerClosed = 14,
  kStateBothClosed = 18,
  kStateBroken = 20,
};

// What a record is used for right now.
enum : int16_t { kKindPlain = 0, kKindSsl = 1, kKindUdp = 2 };

// What a stream operation came to. The numbers 4D sees are made from it by the command
// layer.
enum class NetStatus : int8_t {  // must be used: declared [[nodiscard]] in net/stream_table.h
  Ok,
  Failed,          // the connection failed, timed out, or the stream is gone
  Busy,            // another command is using the stream
  NotSsl,          // an SSL operation on a stream without SSL
  NotEstablished,  // the operation needs an established connection
  Refused,         // the SSL library refused what was given (file, key, cipher list)
  KeyMismatch,     // a certificate and a key that do not belong together
  AlreadySsl,      // SSL asked for on a stream that has it already
  HandshakeFailed, // the SSL handshake or the peer's verification failed
  TimedOut,        // the operation's time-out passed
  NotFound,        // the resolver knows no such name or address
  Truncated,       // a verified SSL stream whose peer ended without its close notification
};

struct StreamRecord;

// The transport under a stream: one row per kind, chosen when the stream is opened and
// swapped at STARTTLS and at the end of SSL, so that no operation asks which kind of
// stream it is on. Every function takes a record of its own row.
struct StreamOps {
  int16_t kind;
  // Every byte to the peer, waiting (other processes running) while the socket is full;
  // gives up when a poll while waiting finds the connection broken (a peer that has
  // finished sending may still read), or after the send time-out without progress.
  // `piece`: the most one socket send is offered.
  NetStatus (*send)(StreamRecord** slot, const uint8_t* data, size_t n, size_t piece);
  // What the transport holds now, never waiting: at most `maximum` bytes (1..32000) into
  // `out`, which is empty when nothing is there yet or at the end (the state says which).
  NetStatus (*receive)(StreamRecord** slot, std::string& out, int32_t maximum);
  // Bytes a receive could take now.
  int32_t (*pending)(StreamRecord* record);
  // The connection is there: one step towards established (a handshake step for SSL).
  void (*step)(StreamRecord* record);
  // Ends the transport's own layer (after telling the peer when `notify`); the socket
  // stays the caller's.
  void (*close)(StreamRecord* record, bool notify);
  // The peer has finished sending and nothing is left to read: the state that makes.
  int32_t (*peerEnded)(StreamRecord* record);
  int32_t acceptedState;    // the state of a connection just accepted
  bool needsCertificate;    // a listening stream accepts only once its certificate is set
};
extern const StreamOps kPlainStream;  // net/socket_layer.cpp
extern const StreamOps kSslStream;    // net/ssl.cpp
extern const StreamOps kUdpEndpoint;  // net/udp.cpp

constexpr int32_t kDefaultSendTimeout = 14400;  // ticks: 4 minutes
constexpr int32_t kMaxReceive = 32000;           // bytes one receive hands back
constexpr int32_t kMaxOutputBuffer = 32000;      // collected before a buffered send
constexpr int32_t kCollectLimit = 4096;          // small thresholds collect up to this
constexpr int kListenerCount = 128;
constexpr uint32_t kLingerTicks = 1800;          // 30 s for an idle shared listener
// A waiting loop with nothing to do sleeps this long at most, unless its socket wakes it.
constexpr int32_t kIdleWaitTicks = 6;
// A wait on a socket's hint ends when the socket is ready, at its deadline, or when a
// local change wakes it (platform::WakeWaiters); the look once a second is a safety net,
// so that a thousand idle receives cost next to nothing.
constexpr int32_t kHintedWaitTicks = 60;

struct ConnectRace;  // net/layer.h

struct StreamRecord {
  int socket = -1;           // for a listening stream, its listener's shared socket
  int16_t listenerSlot = 0;  // 1-based listener entry whose queue holds this record
  int32_t state = kStateClosed;
  uint32_t bytesSent = 0;
  uint32_t bytesReceived = 0;
  uint32_t sslBytesSent = 0;
  uint32_t sslBytesReceived = 0;
  int32_t sendTimeout = 0;   // ticks; 0 = default, negative = no limit
  // Bytes taken from the connection (or put back by 4D) but not yet handed out. Not a
  // host text, so it can hold more than a text's 32767 bytes without losing any.
  std::string unread;
  const StreamOps* ops = &kPlainStream;
  int16_t sslFlag = 0;
  uint32_t lastSslError = 0;
  ssl_ctx_st* sslContext = nullptr;
  ssl_st* sslConnection = nullptr;
  int16_t serverHandshakeResult = 0;
  int16_t certificateReady = 0;
  int16_t clientHandshakePhase = 0;
  std::string output;        // coalescing output buffer, at most 32000 bytes
  StreamRecord* nextWaiting = nullptr;
  // Closed while it was SSL: what the peer still sends (its own close notification) can
  // no longer be decrypted and is dropped, so that its end is seen.
  bool dropIncoming = false;
  // The host name an active open was given: the name a later STARTTLS sends and checks.
  std::string hostName;
  // A client that verifies its server: a failed handshake breaks the stream (20).
  bool verifyPeer = false;
  // Why the server's certificate was refused (an X509_V_ERR code); 0 when it was not.
  int32_t verifyResult = 0;
  // While connects to several addresses of the host race: the attempts, one of which is
  // the socket above. Null otherwise.
  ConnectRace* race = nullptr;
  // The SSL failed for good: nothing more goes through it. cutShort: the failure was the
  // peer's end without its close notification, so what came may be incomplete.
  bool sslFailed = false;
  bool cutShort = false;
  // A certificate and key given to a plain stream, for its STARTTLS: a context holding them.
  std::unique_ptr<ssl_ctx_st, void (*)(ssl_ctx_st*)> heldCertificate{nullptr, nullptr};
};


// ---- waiting ------------------------------------------------------------------------------
// Ticks compared across the 32-bit wrap: true when a is later than b.
inline bool TickAfter(uint32_t a, uint32_t b) { return int32_t(a - b) > 0; }
// When a loop gives up, in ticks. Deadlines stay within half the tick counter's range,
// where comparisons across its wrap hold, whatever time-out a caller passes.
struct Deadline {
  bool set = false;
  uint32_t at = 0;
  // ticks < 0: no deadline; otherwise now + ticks, clamped.
  static Deadline After(int64_t ticks);
  bool Passed() const;
  // Ticks a wait may last: `longest`, less when the deadline is nearer, at least 1.
  int32_t WaitTicks(int32_t longest = kIdleWaitTicks) const;
};
// One idle wait of a loop on a stream: sleeps until the stream's socket is ready for
// `events` (0: none to watch) or the deadline's wait passes, letting other processes run.
// Keeps nothing: the caller reads its slot again after it.
void IdleWait(StreamRecord** slot, short events, const Deadline& deadline);
// Names what a process about to wait on the stream sleeps on: its socket for `events`
// (a listening stream's is the listener's, ready when a connection is pending), or while
// its connect races several addresses, any attempt that moves. The ticks the
// wait may last: `longest`, less when the race's next attempt is due sooner.
int32_t HintStreamWait(const StreamRecord* record, short events, int32_t longest);

// ---- records, polling, listeners --------------------------------------------------------
// A new plain TCP record on a non-blocking socket of the family (an IPv6 one takes IPv4
// peers too); null when none can be made.
StreamRecord* CreateTcpRecord(int32_t bufferSize, int family = AF_INET);
// Moves the stream (a record, never null) towards `requested` (never backwards) and
// advances it by what the socket reports. Returns the state.
int32_t PollStream(StreamRecord* record, int32_t requested);
// Hands pending connections on every listening socket to the streams waiting on it.
void AcceptPending();
// Closes shared listening sockets whose linger time is over.
void SweepListeners();
bool TimedOut(uint32_t now, uint32_t since, int32_t timeout);

// ---- opening ------------------------------------------------------------------------------
StreamRecord* OpenActive(std::string_view host, uint16_t remotePort, int32_t bufferSize,
                         int32_t options, uint16_t localPort, uint32_t localAddress);
StreamRecord* OpenPassive(uint16_t localPort, int32_t bufferSize, int32_t options,
                          uint32_t localAddress);

// ---- sending ------------------------------------------------------------------------------
// Sends every byte (Ok) or fails; waits, yielding to other processes, while the socket
// is full. Text sends go in pieces of at most 1024 bytes.
NetStatus SendText(StreamRecord** slot, std::string_view bytes);
// As SendText, offering everything at once; flushes the output buffer first. `data`
// must stay where it is while the send waits.
NetStatus SendBytes(StreamRecord** slot, const uint8_t* data, int32_t length);
// What a buffered send did: only collected (then `held` bytes wait in the buffer), or sent.
struct Buffering {
  bool collected = false;
  int32_t held = 0;
};
// Collects or sends per threshold; the result says how a send went.
NetStatus BufferedSend(StreamRecord** slot, std::string_view bytes, int16_t threshold, Buffering* how);
// Sends what BufferedSend collected; may wait.
NetStatus FlushSendBuffer(StreamRecord** slot);
// Sets the send time-out in ticks when `value` >= 0; *current: the time-out now.
NetStatus StreamTimeout(StreamRecord** slot, int32_t value, int32_t* current);

// ---- receiving ----------------------------------------------------------------------------
// Takes what is there now (never waits) into `out` (replacing its contents): at most
// `maximum` bytes, 32000 when maximum <= 0; `out` stays empty when nothing was there.
// Failed: the stream is gone or its connection failed. Truncated: a verified SSL stream
// whose peer ended without its close notification (the stream is broken, 20).
NetStatus ReceiveChunk(StreamRecord** slot, std::string& out, int32_t maximum);
// Bytes a receive could take now (0 for an empty slot).
int32_t BytesAvailable(StreamRecord** slot);
// How the data of a stream ended: Truncated for a verified SSL stream whose peer ended
// without its close notification (a transfer that ends so may be incomplete), else Ok.
NetStatus HowDataEnded(StreamRecord** slot);
// Puts bytes back, in front of or after what is already unread; *unreadLength (when
// given): the unread length then.
NetStatus UnreadBytes(StreamRecord** slot, std::string_view bytes, bool front,
                      int32_t* unreadLength = nullptr);

// ---- receiving until a rule says stop -------------------------------------------------
// Where the bytes of ReceiveUntil go, and when they are enough.
class ReceiveSink {
 public:
  // The most the next pass may take; 0 or less: no room, the loop ends (Full).
  virtual int64_t Wanted() = 0;
  // Takes one piece (never empty); false ends the loop (SinkFailed).
  virtual bool Take(std::string& piece) = 0;
  // Asked after every pass: true ends the loop (Done).
  virtual bool Finished() = 0;

 protected:
  ~ReceiveSink() = default;
};

// The stop rules of ReceiveUntil besides the sink's own.
struct ReceiveRules {
  // A pass that finds nothing ends the loop when the stream is not established (8); when
  // false, only once the peer has finished or the connection is gone (14 and above), so
  // that a stream still connecting, or one whose own side we closed, is waited on.
  bool onlyWhileEstablished = false;
  Deadline deadline;   // ends the loop once passed (checked after every pass)
  int32_t idleTicks = 0;  // > 0: ends the loop after this long without data
};

enum class ReceiveEnd {
  Done,        // the sink is satisfied
  Full,        // the sink has no room
  Ended,       // nothing came and nothing more can come (per the rules)
  TimedOut,    // the deadline passed
  Idle,        // nothing came for idleTicks
  Failed,      // the connection failed or the stream is gone
  SinkFailed,  // the sink refused a piece
};

// Receives piece after piece into the sink until a rule stops it. Between passes other
// processes run: a short yield after a pass that took bytes, a wait on the socket (up to
// the nearer of the deadline and the idle limit) after one that did not. Reads the slot
// again after every wait.
ReceiveEnd ReceiveUntil(StreamRecord** slot, const ReceiveRules& rules, ReceiveSink& sink);

// ---- status and closing -------------------------------------------------------------------
// The stream's state (code 0, after a poll) or a byte counter (14, 17, 23, 24) into
// *value. Failed for an empty slot, a UDP endpoint or another code.
NetStatus StreamInfo(StreamRecord** slot, int32_t code, int32_t* value);
// A statistic of the layer by its code (5..12); 0 for another code.
int32_t NetworkValue(int32_t code);
NetStatus CloseStream(StreamRecord** slot);
// Closes the stream in *slot per mode, frees its record and clears the slot. Only the
// stream table and opens that fail call it: everything else releases through the table.
NetStatus CloseAndFreeRecord(StreamRecord** slot, int32_t mode);

// ---- names and addresses ------------------------------------------------------------------
// The first IPv4 address of a name or the dotted address itself; 0 when there is none
// (a name with IPv6 addresses alone included). The empty name is this machine's.
uint32_t NameToAddress(std::string_view name);
// Every address of a name, IPv6 and IPv4, as text, one per line (CR between lines) in the
// resolver's order: the count, 0 when the name is not found.
int32_t NameToAddresses(std::string_view name, std::string* lines);
// mode 0: name, else dotted; 1: name only; 2: dotted only.
std::string AddressToName(uint32_t address, int32_t mode);
// The name of an address of either family given as text: Failed when the text is no
// address, NotFound when the reverse lookup finds no name.
NetStatus AddressTextToName(std::string_view address, std::string* name);
// Both ends of a stream. The numbers hold IPv4 addresses only (an IPv6 one gives 0); the
// texts hold either family ("192.0.2.1", "2001:db8::1"), empty when there is no address.
struct StreamAddressInfo {
  uint32_t remoteAddress = 0;
  uint16_t remotePort = 0;
  uint16_t localPort = 0;
  uint32_t localAddress = 0;
  std::string remoteText;
  std::string localText;
};
NetStatus StreamAddresses(StreamRecord** slot, StreamAddressInfo* out);

// The layer's statistics, indexed by their codes 6..12.
struct NetworkStatistics {
  uint32_t activeOpens, connectionsCompleted, connectionsAccepted, gracefulCloses,
      listenersReleased, bytesReceived, bytesSent;
};
const NetworkStatistics& Statistics();

}  // namespace vrx
