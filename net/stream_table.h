// The table of streams that 4D names by reference (1..1023): the one owner of every
// stream record from the moment an open stores it to its release.
//
// A record is reached only through its slot. Operations that may wait take the slot
// (the address of the table entry, which never moves) and read the record from it again
// after every wait: another 4D process may have released the stream meanwhile.
#pragma once
#include <cstdint>

namespace vrx {

struct StreamRecord;          // net/streams.h
enum class [[nodiscard]] NetStatus : int8_t;  // net/streams.h

constexpr int kStreamSlots = 1025;  // indexes 1..1023 are used
constexpr int kMaxStreamRef = 1023;

struct StreamTable {
  StreamRecord* records[kStreamSlots];
  // Commands on each reference that are running now (some of them waiting).
  int32_t busyCounts[kStreamSlots];
  int16_t openCount;  // occupied slots
  // Records released while commands still used them: out of the table already, freed
  // when the last of those commands ends. Their references are not handed out again
  // before that, so a waiting command never finds another stream in its slot.
  StreamRecord* retired[kStreamSlots];
};

// The slot of a valid reference (1..1023 with a record), or null. Inline: every command
// on a stream, and a state poll for each element of an array, asks it.
inline StreamRecord** StreamSlot(StreamTable& t, int32_t ref) {
  return ref > 0 && ref <= kMaxStreamRef && t.records[ref] ? &t.records[ref] : nullptr;
}
// Lowest free reference 1..1023 holding the record; 0 when none is free (the record is
// then not stored and still the caller's). A reference some command still uses is not
// free.
int32_t AddStream(StreamTable& t, StreamRecord* record);

// Whether AddStream would find a reference now. An open asks before it makes its record:
// a listening one may take a pending connection at once, which a record that then finds
// no reference would drop.
bool HasFreeStream(const StreamTable& t);

// Stores a newly opened record (null: nothing to store); a record that finds no free
// reference is closed and freed. Its reference, or 0.
int32_t AdoptStream(StreamTable& t, StreamRecord* record);

// A command on `ref` starts or ends. The end of the last one carries out a release
// that was deferred while the stream was in use.
void MarkBusy(StreamTable& t, int32_t ref);
void UnmarkBusy(StreamTable& t, int32_t ref);

// The one way a stream leaves the table: closes it per mode (-1 abortive, 0 graceful,
// 1 and 2 for listeners, as ReleaseStream of the command does), frees the record and
// empties the slot. Busy, and nothing done, while a command is using the stream;
// otherwise the close's result (Ok for an empty slot).
NetStatus ReleaseStreamRef(StreamTable& t, int32_t ref, int32_t mode);
// For a command that is itself using the stream (its own use counted): the reference
// stops naming the stream at once (commands waiting on it find their slot empty after
// their wait and stop); the record is closed gracefully and freed when the last command
// using it ends.
void ReleaseWhenIdle(StreamTable& t, int32_t ref);
// At shutdown, when no command runs: every stream released abortively.
void ReleaseAllStreams(StreamTable& t);

}  // namespace vrx
