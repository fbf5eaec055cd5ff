#include "platform/memory.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace platform {

namespace blocks {
constinit Table gTable = {nullptr, 0};
}  // namespace blocks

namespace {

using blocks::kIndexBits;
using blocks::kIndexMask;

using Block = blocks::Block;

// A small block's storage stays with its slot when the block is disposed (at most
// kKeptBlocks of them), for the next block made in that slot: the slot disposed last is
// the one used next, so a command that makes a short text the host disposes of after
// the call allocates nothing. Not with the sanitizer, nor in heap-scramble mode, where
// a stale address must reach freed memory.
constexpr int32_t kKeptCapacity = 256;
constexpr int32_t kKeptBlocks = 64;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kKeepStorage = false;
#else
constexpr bool kKeepStorage = true;
#endif

struct Heap {
  std::vector<Block> blocks;  // slot 0, made with the first block, is never used: handle 0 is null
  // As many entries as blocks, the first freeCount of them the free slots: a dispose
  // writes its slot there without a test for room, and saves no registers for growing.
  std::vector<uint32_t> freeSlots;
  uint32_t freeCount = 0;
  int16_t lastError = kNoErr;
  bool scramble = false;
  uint32_t scrambleCursor = 1;
  int32_t liveCount = 0;
  int32_t kept = 0;  // disposed blocks that still hold their storage
  int64_t allocations = 0;  // counted since SetAllocationFailure
  int64_t failAt = 0;       // 0: never fail
  AllocationFailure failMode = AllocationFailure::Nth;
};

// Every handle call reaches the heap: it is initialised before the program runs (no
// guard to test on each call) and never destroyed, so handles disposed while the process
// exits still find it.
union HeapStorage {
  Heap heap;
  constexpr HeapStorage() : heap() {}
  ~HeapStorage() {}
};
constinit HeapStorage gHeap;

inline Heap& TheHeap() { return gHeap.heap; }

// The scrambling a test run asks for through the environment, read as the library loads.
const bool gScrambleFromEnvironment = [] {
  const char* env = std::getenv("VRX_HEAP_SCRAMBLE");
  bool on = env && *env && std::strcmp(env, "0") != 0;
  if (on) TheHeap().scramble = true;
  return on;
}();

Block* Find(Handle h) { return const_cast<Block*>(blocks::Find(h)); }

// Counts one allocation and says whether it is the one (or one of those) to fail.
bool ShouldFail() {
  Heap& heap = TheHeap();
  int64_t n = ++heap.allocations;
  if (heap.failAt <= 0) return false;
  return heap.failMode == AllocationFailure::Nth ? n == heap.failAt : n >= heap.failAt;
}

// Storage is never null for a live, non-emptied block, even of size 0, so an empty
// BLOB still counts as present.
uint8_t* Allocate(int32_t size) { return static_cast<uint8_t*>(std::malloc(size_t(size) + 1)); }

// Frees the storage of a slot's block that is no longer live, if it kept any.
void DropKept(Block& b) {
  if (!b.data) return;
  std::free(b.data);
  b.data = nullptr;
  --TheHeap().kept;
}

// Moves an unlocked block to fresh storage and poisons nothing: the old storage is
// freed, so a stale address is a use-after-free the sanitizer reports.
bool Move(Block& b) {
  if (!b.data || (b.state & kLockedBit)) return false;
  uint8_t* fresh = Allocate(b.size);
  if (!fresh) return false;
  std::memcpy(fresh, b.data, size_t(b.size));
  std::free(b.data);
  b.data = fresh;
  b.capacity = b.size;
  return true;
}

// In scramble mode every allocation moves the next unlocked block in turn.
void ScrambleOne() {
  Heap& heap = TheHeap();
  size_t n = heap.blocks.size();
  for (size_t tries = 0; tries < n && n > 1; ++tries) {
    if (heap.scrambleCursor >= n) heap.scrambleCursor = 1;
    Block& b = heap.blocks[heap.scrambleCursor++];
    if (b.live && Move(b)) return;
  }
}

// Inlined into NewHandle, NewHandleAt and NewHandleClear: a block made for every text a
// command answers. *address gets the block's storage.
[[gnu::always_inline]] inline Handle NewBlock(int32_t size, bool clear, uint8_t** address) {
  Heap& heap = TheHeap();
  if (size < 0) {
    heap.lastError = kMemFullErr;
    return 0;
  }
  if (ShouldFail()) {
    heap.lastError = kMemFullErr;
    return 0;
  }
  if (heap.scramble) ScrambleOne();
  // The slot comes first: the storage its last block kept may serve.
  uint32_t index;
  if (heap.freeCount) {
    index = heap.freeSlots[heap.freeCount - 1];
  } else {
    if (heap.blocks.size() > kIndexMask) {
      heap.lastError = kMemFullErr;
      return 0;
    }
    if (heap.blocks.empty()) {  // slot 0
      heap.blocks.emplace_back();
      heap.freeSlots.push_back(0);
    }
    index = uint32_t(heap.blocks.size());
    heap.blocks.emplace_back();
    heap.freeSlots.push_back(0);
    blocks::gTable = {heap.blocks.data(), uint32_t(heap.blocks.size())};
    heap.freeSlots[heap.freeCount++] = index;
  }
  Block& b = heap.blocks[index];
  uint8_t* data;
  int32_t capacity = size;
  if (b.data && size <= b.capacity) {
    data = b.data;
    capacity = b.capacity;
    --heap.kept;
    if (clear) std::memset(data, 0, size_t(size) + 1);
  } else {
    data = clear ? static_cast<uint8_t*>(std::calloc(size_t(size) + 1, 1)) : Allocate(size);
    if (!data) {
      heap.lastError = kMemFullErr;
      return 0;
    }
    DropKept(b);
  }
  --heap.freeCount;
  const uint32_t generation = b.generation;  // read before the stores beside it
  b.data = data;
  b.size = size;
  b.capacity = capacity;
  b.state = 0;
  b.live = true;
  ++heap.liveCount;
  heap.lastError = kNoErr;
  *address = data;
  return (generation << kIndexBits) | index;
}

}  // namespace

Handle NewHandle(int32_t size) {
  uint8_t* unused;
  return NewBlock(size, false, &unused);
}
Handle NewHandleAt(int32_t size, uint8_t** address) {
  *address = nullptr;
  return NewBlock(size, false, address);
}
Handle NewHandleWith(std::string_view bytes) {
  uint8_t* to;
  Handle h = NewHandleAt(int32_t(bytes.size()), &to);
  if (h && !bytes.empty()) std::memcpy(to, bytes.data(), bytes.size());
  return h;
}
Handle NewHandleClear(int32_t size) {
  uint8_t* unused;
  return NewBlock(size, true, &unused);
}

int32_t HandleSize(Handle h) {
  Block* b = Find(h);
  TheHeap().lastError = b ? kNoErr : (h ? kMemWZErr : kNilHandleErr);
  return b ? b->size : 0;
}

bool SetHandleSize(Handle h, int32_t size) {
  Heap& heap = TheHeap();
  Block* b = Find(h);
  if (!b) {
    heap.lastError = h ? kMemWZErr : kNilHandleErr;
    return false;
  }
  if (size < 0) {
    heap.lastError = kMemFullErr;
    return false;
  }
  bool locked = b->state & kLockedBit;
  // A locked block cannot move: it may only shrink or grow in place, which malloc
  // cannot promise, so growth of a locked block fails as on the Macintosh.
  if (locked && size > b->size) {
    heap.lastError = kMemFullErr;
    return false;
  }
  // Shrinking never needs memory; growing (or refilling an emptied block) may fail.
  if ((!b->data || size > b->size) && ShouldFail()) {
    heap.lastError = kMemFullErr;
    return false;
  }
  if (!b->data) {  // emptied: re-allocate
    b->data = static_cast<uint8_t*>(std::calloc(size_t(size) + 1, 1));
    if (!b->data) {
      heap.lastError = kMemFullErr;
      return false;
    }
    b->size = b->capacity = size;
    heap.lastError = kNoErr;
    return true;
  }
  if (locked || (size == b->size && !heap.scramble)) {  // the same size stays where it is
    b->size = size;
  } else if (heap.scramble) {
    uint8_t* fresh = Allocate(size);
    if (!fresh) {
      heap.lastError = kMemFullErr;
      return false;
    }
    std::memcpy(fresh, b->data, size_t(size < b->size ? size : b->size));
    std::free(b->data);
    b->data = fresh;
    b->size = b->capacity = size;
  } else {
    void* grown = std::realloc(b->data, size_t(size) + 1);
    if (!grown) {
      heap.lastError = kMemFullErr;
      return false;
    }
    b->data = static_cast<uint8_t*>(grown);
    b->size = b->capacity = size;
  }
  heap.lastError = kNoErr;
  return true;
}

void DisposeHandle(Handle h) {
  Heap& heap = TheHeap();
  Block* b = Find(h);
  if (!b) {
    heap.lastError = h ? kMemWZErr : kNoErr;
    return;
  }
  if (kKeepStorage && b->data && b->capacity <= kKeptCapacity && heap.kept < kKeptBlocks && !heap.scramble) {
    ++heap.kept;
  } else {
    std::free(b->data);
    b->data = nullptr;
  }
  b->size = 0;
  b->state = 0;
  b->live = false;
  b->generation = uint8_t(b->generation == 255 ? 1 : b->generation + 1);
  heap.freeSlots[heap.freeCount++] = h & kIndexMask;
  --heap.liveCount;
  heap.lastError = kNoErr;
}

void LockHandle(Handle h) {
  if (Block* b = Find(h)) b->state |= kLockedBit;
}
void UnlockHandle(Handle h) {
  if (Block* b = Find(h)) b->state &= uint8_t(~kLockedBit);
}
uint8_t HandleState(Handle h) {
  Block* b = Find(h);
  return b ? b->state : 0;
}
void SetHandleState(Handle h, uint8_t state) {
  if (Block* b = Find(h)) b->state = state;
}

int16_t DuplicateHandle(Handle* h) {
  Heap& heap = TheHeap();
  Block* b = h ? Find(*h) : nullptr;
  if (!b) return heap.lastError = kNilHandleErr;
  int32_t size = b->size;
  Handle copy = NewHandle(size);
  if (!copy) return heap.lastError;
  b = Find(*h);  // the table may have grown
  if (size) std::memcpy(HandleAddress(copy), b->data, size_t(size));
  *h = copy;
  return heap.lastError = kNoErr;
}

int16_t AppendHandle(Handle src, Handle dst) {
  Heap& heap = TheHeap();
  Block* s = Find(src);
  Block* d = Find(dst);
  if (!s || !d || !s->data) return heap.lastError = kNilHandleErr;
  int32_t add = s->size, old = d->size;
  if (int64_t(old) + add > INT32_MAX) return heap.lastError = kMemFullErr;
  if (src == dst) {
    if (!SetHandleSize(dst, old + add)) return heap.lastError;
    d = Find(dst);
    std::memcpy(d->data + old, d->data, size_t(add));
    return heap.lastError = kNoErr;
  }
  if (!SetHandleSize(dst, old + add)) return heap.lastError;
  s = Find(src);
  d = Find(dst);
  std::memcpy(d->data + old, s->data, size_t(add));
  return heap.lastError = kNoErr;
}

void EmptyHandle(Handle h) {
  if (Block* b = Find(h)) {
    std::free(b->data);
    b->data = nullptr;
    b->size = b->capacity = 0;
  }
}

bool IsLiveHandle(Handle h) { return Find(h) != nullptr; }
int16_t MemError() { return TheHeap().lastError; }
int32_t FreeMem() { return INT32_MAX; }
int32_t LiveHandleCount() { return TheHeap().liveCount; }

int32_t SearchReplace(Handle h, int32_t offset, const void* pattern, int32_t patternLength,
                      const void* replacement, int32_t replacementLength) {
  Block* b = Find(h);
  if (!b || !b->data || offset < 0 || offset > b->size || !pattern || patternLength <= 0 ||
      replacementLength < 0)
    return -1;
  const uint8_t* pat = static_cast<const uint8_t*>(pattern);
  const uint8_t* data = b->data;
  const uint8_t* end = data + b->size;
  const uint8_t* at = nullptr;
  for (const uint8_t* p = data + offset; end - p >= patternLength; ++p) {
    p = static_cast<const uint8_t*>(std::memchr(p, pat[0], size_t(end - p)));
    if (!p || end - p < patternLength) break;
    if (std::memcmp(p, pat, size_t(patternLength)) == 0) {
      at = p;
      break;
    }
  }
  if (!at) return -1;
  int32_t pos = int32_t(at - data);
  if (!replacement) return pos;
  int32_t oldSize = b->size;
  int32_t delta = replacementLength - patternLength;
  if (int64_t(oldSize) + delta > INT32_MAX) return -1;
  // The replacement may point into this very block: keep a copy before moving bytes.
  std::vector<uint8_t> repl(static_cast<const uint8_t*>(replacement),
                            static_cast<const uint8_t*>(replacement) + replacementLength);
  int32_t tail = oldSize - pos - patternLength;
  if (delta > 0) {
    if (!SetHandleSize(h, oldSize + delta)) return -1;
    b = Find(h);
    std::memmove(b->data + pos + replacementLength, b->data + pos + patternLength, size_t(tail));
  } else if (delta < 0) {
    std::memmove(b->data + pos + replacementLength, b->data + pos + patternLength, size_t(tail));
    SetHandleSize(h, oldSize + delta);
    b = Find(h);
  }
  if (replacementLength) std::memcpy(b->data + pos, repl.data(), size_t(replacementLength));
  return pos + replacementLength;
}

void* NewPtr(int32_t size) {
  Heap& heap = TheHeap();
  auto* p = size < 0 || ShouldFail() ? nullptr : static_cast<int64_t*>(std::malloc(size_t(size) + 16));
  if (!p) {
    heap.lastError = kMemFullErr;
    return nullptr;
  }
  heap.lastError = kNoErr;
  p[0] = size;
  return p + 2;
}
void* NewPtrClear(int32_t size) {
  void* p = NewPtr(size);
  if (p) std::memset(p, 0, size_t(size));
  return p;
}
int32_t PtrSize(const void* p) { return p ? int32_t(static_cast<const int64_t*>(p)[-2]) : 0; }
void DisposePtr(void* p) {
  if (p) std::free(static_cast<int64_t*>(p) - 2);
}

void SetAllocationFailure(int64_t nth, AllocationFailure mode) {
  Heap& heap = TheHeap();
  heap.allocations = 0;
  heap.failAt = nth;
  heap.failMode = mode;
}
int64_t AllocationCount() { return TheHeap().allocations; }
bool AllocationAllowed() { return !ShouldFail(); }

void SetHeapScramble(bool on) { TheHeap().scramble = on; }
bool HeapScramble() { return TheHeap().scramble; }

}  // namespace platform
