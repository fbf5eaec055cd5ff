// Relocatable and fixed memory blocks of the host, addressed by 32-bit references.
//
// A Handle is a small number, not a pointer, so host values keep their packed 32-bit
// layouts on 64-bit Linux. Ask for a block's address each time it is needed: an
// unlocked block may move whenever it is resized or another block is allocated
// (always, in heap-scramble mode, so stale addresses are caught by the sanitizer).
// The platform layer runs on the host's single baton: callers never use it from two
// threads at once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

using Handle = uint32_t;  // 0 = null

// Error codes of the memory manager (16-bit, 0 = none).
constexpr int16_t kNoErr = 0;
constexpr int16_t kMemFullErr = -108;
constexpr int16_t kNilHandleErr = -109;
constexpr int16_t kMemWZErr = -111;  // handle does not name a live block

// Lock-state byte, as get/restore-state report it.
constexpr uint8_t kLockedBit = 0x80;

Handle NewHandle(int32_t size);       // contents undefined; 0 on failure
// NewHandle and HandleAddress in one call, for a block filled at once: its address goes
// to *address (null on failure), valid as HandleAddress's is.
Handle NewHandleAt(int32_t size, uint8_t** address);
// A new block holding a copy of bytes, which must not lie in a handle (the allocation may
// move it); 0 on failure.
Handle NewHandleWith(std::string_view bytes);
Handle NewHandleClear(int32_t size);  // zero-filled; 0 on failure
int32_t HandleSize(Handle h);         // 0 for null or dead handles (MemError says which)
// Resizes keeping the first min(old, new) bytes; new bytes are undefined.
// False (and MemError) on failure; the block is then unchanged.
bool SetHandleSize(Handle h, int32_t size);
void DisposeHandle(Handle h);
void LockHandle(Handle h);
void UnlockHandle(Handle h);
uint8_t HandleState(Handle h);
void SetHandleState(Handle h, uint8_t state);
// Replaces *h by a new handle holding a copy of its bytes. 0 on success.
int16_t DuplicateHandle(Handle* h);
// Appends the bytes of `src` to `dst`. 0 on success.
int16_t AppendHandle(Handle src, Handle dst);
// Current address of the block; nullptr for null, dead or emptied handles.
inline uint8_t* HandleAddress(Handle h);
// HandleAddress and HandleSize in one call (MemError is left as it was).
inline uint8_t* HandleBytes(Handle h, int32_t* size);
// Frees a block's storage but keeps the handle (address becomes null, size 0).
void EmptyHandle(Handle h);
// True when h names a live block (emptied blocks included).
bool IsLiveHandle(Handle h);
int16_t MemError();
int32_t FreeMem();
// Live relocatable blocks, for leak checks in tests.
int32_t LiveHandleCount();

// Search and replace in a block. Finds the first occurrence of pattern at or after
// `offset`. With a replacement (replacement != nullptr, even of length 0) the
// occurrence is replaced and the result is the offset just past the inserted bytes;
// without one the result is where the pattern starts. Negative when the pattern does
// not occur, when the offset lies outside the block, or when the pattern is empty
// (an empty pattern matches nowhere, so loops over the result always end).
int32_t SearchReplace(Handle h, int32_t offset, const void* pattern, int32_t patternLength,
                      const void* replacement, int32_t replacementLength);

// Fixed (non-relocatable) blocks: ordinary addresses.
void* NewPtr(int32_t size);
void* NewPtrClear(int32_t size);
int32_t PtrSize(const void* p);
void DisposePtr(void* p);

// Allocation failure, for tests that walk every failure path. Every allocation (new
// blocks, growth of a block, fixed blocks) is counted from the last call of
// SetAllocationFailure; with a non-zero `nth` the nth counted allocation fails as a
// real shortage would (null handle or false, MemError -108), and in EveryFrom mode so
// does every one after it. nth = 0 switches failures off and only counts.
enum class AllocationFailure : uint8_t { Nth, EveryFrom };
void SetAllocationFailure(int64_t nth, AllocationFailure mode = AllocationFailure::Nth);
// Allocations counted since the last SetAllocationFailure (failed ones included).
int64_t AllocationCount();
// For the platform's other allocating services (offscreen images): counts one
// allocation and answers false when it must fail.
bool AllocationAllowed();

// Heap scramble: every resize of an unlocked block moves it, and every allocation moves
// another unlocked block. On by default when VRX_HEAP_SCRAMBLE is set to a non-empty
// value other than "0"; tests may switch it.
void SetHeapScramble(bool on);
bool HeapScramble();

// ---- the block table, for the look-ups every command makes ----
// A handle is (generation << 24) | index into the table; the generation makes a disposed
// handle that is used again fail cleanly instead of reaching its slot's next owner.
// HandleAddress and HandleBytes read the table in line: a text or array parameter asks
// for its block on each call, and a call into the library would cost more than the
// look-up. Only memory.cpp writes the table.
namespace blocks {
constexpr uint32_t kIndexBits = 24;
constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
struct Block {
  uint8_t* data = nullptr;
  int32_t size = 0;
  int32_t capacity = 0;  // bytes data holds beyond the one past the end
  uint8_t state = 0;
  uint8_t generation = 1;
  bool live = false;
};
struct Table {
  Block* slots;  // slot 0 is never used: handle 0 is null
  uint32_t count;
};
extern Table gTable;

inline const Block* Find(Handle h) {
  const Table t = gTable;
  const uint32_t index = h & kIndexMask;
  if (h == 0 || index >= t.count) return nullptr;
  const Block& b = t.slots[index];
  if (!b.live || b.generation != uint8_t(h >> kIndexBits)) return nullptr;
  return &b;
}
}  // namespace blocks

inline uint8_t* HandleAddress(Handle h) {
  const blocks::Block* b = blocks::Find(h);
  return b ? b->data : nullptr;
}

inline uint8_t* HandleBytes(Handle h, int32_t* size) {
  const blocks::Block* b = blocks::Find(h);
  *size = b ? b->size : 0;
  return b ? b->data : nullptr;
}

}  // namespace platform
