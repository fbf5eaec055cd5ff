// Keyed text queues shared by all 4D processes.
//
// The table is a relocatable block: a 32-bit slot count, then one 16-byte slot per key in
// order of first use (key, number of texts waiting, first node, last node). A node is an
// 8-byte block (next node, handle of the text). Slots are never removed: a key that was
// emptied keeps its slot and finds it again.
#pragma once
#include <cstdint>
#include <string_view>

#include "abi/abi.h"

namespace vrx {

// Index of the key's slot, or -1.
int32_t QueueFind(Handle table, int32_t key);
// Disposes of every node and text of the slot and empties it; a negative index does nothing.
void QueueFreeSlot(Handle table, int32_t index);
// Frees every queued text and the table; the table reference becomes null.
void QueueFreeAll(Handle* queues);

int32_t QueueCountItems(Handle* queues, int32_t key);
// Stores a copy of the bytes at the end of the key's queue (creating the table or the
// slot when needed). False when memory ran out; nothing is stored then.
bool QueueAppend(Handle* queues, int32_t key, const TextValue& text);
// The oldest text's handle, which the caller then owns: taken out of the queue, or a
// copy when peek is set. 0 when the queue is empty or unknown.
Handle QueueTake(Handle* queues, int32_t key, bool peek);
void QueueClear(Handle* queues, int32_t key);
int32_t QueueCountSlots(Handle* queues);
// Index 0: the number of slots; 1..count: that slot's key; otherwise 0.
int32_t QueueKeyAt(Handle* queues, int32_t index);

}  // namespace vrx
