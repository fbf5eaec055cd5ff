#include "net/stream_table.h"

#include <cassert>

#include "net/streams.h"
#include "platform/services.h"

namespace vrx {
namespace {

bool InRange(int32_t ref) { return ref > 0 && ref <= kMaxStreamRef; }

// Frees the record in a slot and empties it; the close's result.
NetStatus FreeSlot(StreamTable& t, int32_t ref, int32_t mode) {
  assert(InRange(ref) && t.records[ref] && t.busyCounts[ref] == 0);  // GCOVR_EXCL_BR_LINE
  NetStatus r = CloseAndFreeRecord(&t.records[ref], mode);
  --t.openCount;
  return r;
}

}  // namespace

int32_t AddStream(StreamTable& t, StreamRecord* record) {
  for (int32_t ref = 1; ref <= kMaxStreamRef; ++ref) {
    if (!t.records[ref] && t.busyCounts[ref] == 0 && !t.retired[ref]) {
      t.records[ref] = record;
      ++t.openCount;
      return ref;
    }
  }
  return 0;
}

bool HasFreeStream(const StreamTable& t) {
  for (int32_t ref = 1; ref <= kMaxStreamRef; ++ref)
    if (!t.records[ref] && t.busyCounts[ref] == 0 && !t.retired[ref]) return true;
  return false;
}

int32_t AdoptStream(StreamTable& t, StreamRecord* record) {
  if (!record) return 0;
  int32_t ref = AddStream(t, record);
  if (ref == 0) (void)CloseAndFreeRecord(&record, -1);
  return ref;
}

void MarkBusy(StreamTable& t, int32_t ref) {
  if (InRange(ref)) ++t.busyCounts[ref];
}

void UnmarkBusy(StreamTable& t, int32_t ref) {
  if (!InRange(ref) || t.busyCounts[ref] <= 0) return;
  if (--t.busyCounts[ref] > 0) return;
  if (t.retired[ref]) (void)CloseAndFreeRecord(&t.retired[ref], 0);
}


NetStatus ReleaseStreamRef(StreamTable& t, int32_t ref, int32_t mode) {
  if (!StreamSlot(t, ref)) return NetStatus::Ok;
  if (t.busyCounts[ref] != 0) return NetStatus::Busy;
  return FreeSlot(t, ref, mode);
}

void ReleaseWhenIdle(StreamTable& t, int32_t ref) {
  StreamRecord** slot = StreamSlot(t, ref);
  if (!slot) return;
  if (t.busyCounts[ref] == 0) {
    (void)FreeSlot(t, ref, 0);
    return;
  }
  assert(!t.retired[ref]);  // GCOVR_EXCL_BR_LINE
  t.retired[ref] = *slot;
  *slot = nullptr;
  --t.openCount;
  // The others still using it find it gone when they look.
  if (t.retired[ref]->socket >= 0) platform::WakeWaiters(t.retired[ref]->socket);
}

void ReleaseAllStreams(StreamTable& t) {
  for (int32_t ref = 1; ref <= kMaxStreamRef; ++ref) {
    t.busyCounts[ref] = 0;
    if (t.retired[ref]) (void)CloseAndFreeRecord(&t.retired[ref], -1);
    if (t.records[ref]) (void)FreeSlot(t, ref, -1);
  }
}

}  // namespace vrx
