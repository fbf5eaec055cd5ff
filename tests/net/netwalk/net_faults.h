// Socket, resolver and OpenSSL calls and the plug-in's allocations that fail on demand, as
// a loaded or failing system and a library out of memory make them fail.
#pragma once
#include <cstdint>
#include <string>

namespace netwalk {

enum class Fault {
  Error,       // the call fails with the error the system (or library) gives for it
  Interrupt,   // EINTR, for the calls a signal can interrupt
  WouldBlock,  // EAGAIN, for the calls on non-blocking sockets that can find them busy
  Short,       // a send or receive moves fewer bytes than it could (at least one)
};

// The families of calls a walk counts.
// kLibraryCalls: OpenSSL calls and allocations that fail without an exception, made by the
// plug-in itself.
enum : unsigned { kSystemCalls = 1, kLibraryCalls = 2 };

// From now on the nth call of the families that `how` applies to fails so; 0 turns this
// off. Restarts the count.
void FailNetCall(int64_t nth, unsigned families, Fault how);
// One in `oneIn` of the calls of the families that `how` applies to fails so, chosen at
// random (the same ones for the same seed), for the faults a caller recovers from.
void FailSomeNetCalls(int64_t oneIn, uint64_t seed, unsigned families, Fault how);
// Calls counted since FailNetCall (the failed one included).
int64_t NetCallCount();
// The function whose call failed, empty when none did yet.
std::string FailedCall();

}  // namespace netwalk
