// Keyed text queues. Every change keeps a slot's count and chain in step (a count of 0
// with no first and no last node, otherwise as many nodes as the count says, the last
// one's next 0). The checks below that look at the chain as well as the count (a missing
// first, next or last node, a slot count past the block's size) are taken only in a
// damaged table: no sequence of calls reaches them, and they keep damage from turning
// into a walk through freed blocks or an endless loop.
#include "queues/queues.h"

#include <algorithm>
#include <cstring>

#include "platform/text_value.h"
#include "platform/memory.h"

namespace vrx {
namespace {

constexpr int32_t kHeader = 4;
constexpr int32_t kSlotSize = 16;
enum SlotField : int32_t { kKey = 0, kCount = 4, kFirst = 8, kLast = 12 };
enum NodeField : int32_t { kNext = 0, kText = 4 };
constexpr int32_t kNodeSize = 8;

// Fields are read and written through the block's current address every time: any
// allocation may move an unlocked block.
uint32_t Get(Handle h, int32_t offset) {
  uint32_t v = 0;
  if (uint8_t* p = platform::HandleAddress(h)) std::memcpy(&v, p + offset, 4);
  return v;
}
void Put(Handle h, int32_t offset, uint32_t v) {
  if (uint8_t* p = platform::HandleAddress(h)) std::memcpy(p + offset, &v, 4);
}

// Slots the block really holds, whatever its count says.
int32_t SlotCount(Handle table) {
  int32_t size = platform::HandleSize(table);
  if (size < kHeader) return 0;
  int32_t count = int32_t(Get(table, 0));
  return std::clamp(count, 0, (size - kHeader) / kSlotSize);
}
int32_t SlotOffset(int32_t index, int32_t field) { return kHeader + index * kSlotSize + field; }

// The key's slot, appended when it has none; -1 when memory ran out.
int32_t FindOrAddSlot(Handle* queues, int32_t key) {
  if (!*queues) {
    *queues = platform::NewHandleClear(kHeader);
    if (!*queues) return -1;
  }
  int32_t index = QueueFind(*queues, key);
  if (index >= 0) return index;
  index = SlotCount(*queues);
  if (!platform::SetHandleSize(*queues, SlotOffset(index + 1, 0))) return -1;
  Put(*queues, 0, uint32_t(index + 1));
  Put(*queues, SlotOffset(index, kKey), uint32_t(key));
  Put(*queues, SlotOffset(index, kCount), 0);
  Put(*queues, SlotOffset(index, kFirst), 0);
  Put(*queues, SlotOffset(index, kLast), 0);
  return index;
}

}  // namespace

int32_t QueueFind(Handle table, int32_t key) {
  int32_t n = SlotCount(table);
  for (int32_t i = 0; i < n; ++i)
    if (int32_t(Get(table, SlotOffset(i, kKey))) == key) return i;
  return -1;
}

void QueueFreeSlot(Handle table, int32_t index) {
  if (index < 0 || index >= SlotCount(table)) return;
  Handle node = Get(table, SlotOffset(index, kFirst));
  // The count bounds the walk, so a damaged chain cannot loop forever.
  for (uint32_t left = Get(table, SlotOffset(index, kCount)); node && left > 0; --left) {
    Handle next = Get(node, kNext);
    platform::DisposeHandle(Get(node, kText));
    platform::DisposeHandle(node);
    node = next;
  }
  Put(table, SlotOffset(index, kCount), 0);
  Put(table, SlotOffset(index, kFirst), 0);
  Put(table, SlotOffset(index, kLast), 0);
}

void QueueFreeAll(Handle* queues) {
  if (!queues || !*queues) return;
  for (int32_t i = SlotCount(*queues) - 1; i >= 0; --i) QueueFreeSlot(*queues, i);
  platform::DisposeHandle(*queues);
  *queues = 0;
}

int32_t QueueCountItems(Handle* queues, int32_t key) {
  int32_t index = *queues ? QueueFind(*queues, key) : -1;
  return index < 0 ? 0 : int32_t(Get(*queues, SlotOffset(index, kCount)));
}

bool QueueAppend(Handle* queues, int32_t key, const TextValue& text) {
  int32_t index = FindOrAddSlot(queues, key);
  if (index < 0) return false;
  // Allocate everything first, then copy: the allocations may move the text's block.
  int32_t n = int32_t(TextValueBytes(&text).size());
  Handle copy = platform::NewHandle(n);
  Handle node = copy ? platform::NewHandleClear(kNodeSize) : 0;
  if (!node) {
    platform::DisposeHandle(copy);
    return false;
  }
  if (n) std::memcpy(platform::HandleAddress(copy), TextValueBytes(&text).data(), size_t(n));
  Put(node, kText, copy);
  Handle table = *queues;
  uint32_t count = Get(table, SlotOffset(index, kCount));
  Handle last = Get(table, SlotOffset(index, kLast));
  if (count > 0 && last) {
    Put(last, kNext, node);
  } else {
    Put(table, SlotOffset(index, kFirst), node);
  }
  Put(table, SlotOffset(index, kLast), node);
  Put(table, SlotOffset(index, kCount), count + 1);
  return true;
}

Handle QueueTake(Handle* queues, int32_t key, bool peek) {
  if (!*queues) return 0;
  Handle table = *queues;
  int32_t index = QueueFind(table, key);
  if (index < 0) return 0;
  uint32_t count = Get(table, SlotOffset(index, kCount));
  Handle first = Get(table, SlotOffset(index, kFirst));
  if (count == 0 || !first) return 0;
  Handle text = Get(first, kText);
  if (peek) {
    Handle copy = text;
    return platform::DuplicateHandle(&copy) == 0 ? copy : 0;
  }
  Handle next = Get(first, kNext);
  if (count == 1 || !next) {
    Put(table, SlotOffset(index, kFirst), 0);
    Put(table, SlotOffset(index, kLast), 0);
    Put(table, SlotOffset(index, kCount), 0);
  } else {
    Put(table, SlotOffset(index, kFirst), next);
    Put(table, SlotOffset(index, kCount), count - 1);
  }
  platform::DisposeHandle(first);
  return text;
}

void QueueClear(Handle* queues, int32_t key) {
  if (*queues) QueueFreeSlot(*queues, QueueFind(*queues, key));
}

int32_t QueueCountSlots(Handle* queues) { return *queues ? SlotCount(*queues) : 0; }

int32_t QueueKeyAt(Handle* queues, int32_t index) {
  int32_t n = QueueCountSlots(queues);
  if (index == 0) return n;
  if (index < 1 || index > n) return 0;
  return int32_t(Get(*queues, SlotOffset(index - 1, kKey)));
}

}  // namespace vrx
