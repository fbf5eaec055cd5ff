#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/memory.h"

using namespace platform;

namespace {
Handle Make(const std::string& s) {
  Handle h = NewHandle(int32_t(s.size()));
  std::memcpy(HandleAddress(h), s.data(), s.size());
  return h;
}
std::string Read(Handle h) { return std::string(reinterpret_cast<char*>(HandleAddress(h)), size_t(HandleSize(h))); }

struct ScrambleGuard {
  bool was = HeapScramble();
  explicit ScrambleGuard(bool on) { SetHeapScramble(on); }
  ~ScrambleGuard() { SetHeapScramble(was); }
};
}  // namespace

TEST(Memory, AllocateResizeDispose) {
  int32_t live = LiveHandleCount();
  Handle h = NewHandleClear(10);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(HandleSize(h), 10);
  EXPECT_EQ(std::string(10, '\0'), Read(h));
  std::memcpy(HandleAddress(h), "0123456789", 10);
  ASSERT_TRUE(SetHandleSize(h, 100000));
  EXPECT_EQ(Read(h).substr(0, 10), "0123456789");
  ASSERT_TRUE(SetHandleSize(h, 4));
  EXPECT_EQ(Read(h), "0123");
  Handle empty = NewHandle(0);
  EXPECT_NE(HandleAddress(empty), nullptr);  // an empty block is still present
  EXPECT_EQ(LiveHandleCount(), live + 2);
  DisposeHandle(h);
  DisposeHandle(empty);
  EXPECT_EQ(LiveHandleCount(), live);
  // A disposed handle is dead, even after its slot is reused.
  Handle again = NewHandle(3);
  EXPECT_NE(again, h);
  EXPECT_EQ(HandleAddress(h), nullptr);
  EXPECT_EQ(HandleSize(h), 0);
  EXPECT_EQ(MemError(), kMemWZErr);
  EXPECT_FALSE(SetHandleSize(h, 5));
  DisposeHandle(again);
  EXPECT_EQ(NewHandle(-1), 0u);
  EXPECT_EQ(MemError(), kMemFullErr);
  uint8_t* at = reinterpret_cast<uint8_t*>(1);
  EXPECT_EQ(NewHandleAt(-1, &at), 0u);
  EXPECT_EQ(at, nullptr);
  Handle made = NewHandleAt(7, &at);
  EXPECT_EQ(at, HandleAddress(made));
  DisposeHandle(made);
  made = NewHandleWith("abc");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(HandleAddress(made)), size_t(HandleSize(made))), "abc");
  DisposeHandle(made);
  EXPECT_EQ(HandleSize(0), 0);
  EXPECT_EQ(MemError(), kNilHandleErr);
}

TEST(Memory, SlotsReuseTheStorageOfSmallDisposedBlocks) {
  // The next block made in a slot may take the storage its disposed block kept: nothing
  // of the old contents shows through a cleared block, a larger block gets room of its
  // own, and a burst of disposed blocks leaves every new one whole.
  int32_t live = LiveHandleCount();
  Handle a = Make("secret bytes");
  DisposeHandle(a);
  Handle b = NewHandleClear(12);
  EXPECT_EQ(Read(b), std::string(12, '\0'));
  DisposeHandle(b);
  Handle c = Make(std::string(200, 'c'));
  ASSERT_TRUE(SetHandleSize(c, 5000));
  EXPECT_EQ(Read(c).substr(0, 200), std::string(200, 'c'));
  DisposeHandle(c);
  std::vector<Handle> many;
  for (int i = 0; i < 200; ++i) many.push_back(Make("block " + std::to_string(i)));
  for (Handle h : many) DisposeHandle(h);
  many.clear();
  for (int i = 0; i < 200; ++i) many.push_back(Make(std::string(size_t(i % 300), char('a' + i % 26))));
  for (int i = 0; i < 200; ++i) EXPECT_EQ(Read(many[size_t(i)]), std::string(size_t(i % 300), char('a' + i % 26)));
  for (Handle h : many) DisposeHandle(h);
  EXPECT_EQ(LiveHandleCount(), live);
}

TEST(Memory, LockStateDuplicateAppendEmpty) {
  Handle a = Make("abc"), b = Make("de");
  EXPECT_EQ(HandleState(a), 0);
  LockHandle(a);
  EXPECT_EQ(HandleState(a) & kLockedBit, kLockedBit);
  uint8_t saved = HandleState(a);
  UnlockHandle(a);
  EXPECT_EQ(HandleState(a) & kLockedBit, 0);
  SetHandleState(a, saved);
  EXPECT_EQ(HandleState(a), saved);
  // A locked block cannot grow (it may not move) but may shrink.
  EXPECT_FALSE(SetHandleSize(a, 1 << 20));
  EXPECT_EQ(Read(a), "abc");
  UnlockHandle(a);

  Handle copy = a;
  EXPECT_EQ(DuplicateHandle(&copy), 0);
  EXPECT_NE(copy, a);
  EXPECT_EQ(Read(copy), "abc");
  EXPECT_EQ(AppendHandle(b, a), 0);
  EXPECT_EQ(Read(a), "abcde");
  EXPECT_EQ(AppendHandle(a, a), 0);
  EXPECT_EQ(Read(a), "abcdeabcde");
  EmptyHandle(b);
  EXPECT_TRUE(IsLiveHandle(b));
  EXPECT_EQ(HandleAddress(b), nullptr);
  EXPECT_NE(AppendHandle(b, a), 0);
  ASSERT_TRUE(SetHandleSize(b, 2));  // an emptied block comes back on resize
  EXPECT_NE(HandleAddress(b), nullptr);
  for (Handle h : {a, b, copy}) DisposeHandle(h);
}

TEST(Memory, ScrambleMovesUnlockedBlocksButKeepsContents) {
  ScrambleGuard on(true);
  Handle moving = Make("contents stay");
  Handle locked = Make("locked stays");
  LockHandle(locked);
  const uint8_t* lockedAt = HandleAddress(locked);
  bool moved = false;
  for (int i = 0; i < 64 && !moved; ++i) {
    const uint8_t* before = HandleAddress(moving);
    Handle other = NewHandle(16);
    moved = HandleAddress(moving) != before;
    DisposeHandle(other);
  }
  EXPECT_TRUE(moved) << "allocations never moved an unlocked block";
  const uint8_t* before = HandleAddress(moving);
  ASSERT_TRUE(SetHandleSize(moving, 13));
  EXPECT_NE(HandleAddress(moving), before) << "a resize of an unlocked block must move it";
  EXPECT_EQ(Read(moving), "contents stay");
  EXPECT_EQ(HandleAddress(locked), lockedAt);
  EXPECT_EQ(Read(locked), "locked stays");
  DisposeHandle(moving);
  DisposeHandle(locked);
}

TEST(Memory, SearchReplaceReturnValues) {
  Handle h = Make("one two one two");
  // Without a replacement: where the pattern starts; negative when absent.
  EXPECT_EQ(SearchReplace(h, 0, "two", 3, nullptr, 0), 4);
  EXPECT_EQ(SearchReplace(h, 5, "two", 3, nullptr, 0), 12);
  EXPECT_LT(SearchReplace(h, 13, "two", 3, nullptr, 0), 0);
  EXPECT_LT(SearchReplace(h, 0, "six", 3, nullptr, 0), 0);
  // With one: the offset just past the inserted bytes.
  EXPECT_EQ(SearchReplace(h, 0, "two", 3, "2", 1), 5);
  EXPECT_EQ(Read(h), "one 2 one two");
  EXPECT_EQ(SearchReplace(h, 5, "two", 3, "three", 5), 15);
  EXPECT_EQ(Read(h), "one 2 one three");
  // An empty replacement deletes, and at offset 0 returns 0.
  EXPECT_EQ(SearchReplace(h, 0, "one ", 4, "", 0), 0);
  EXPECT_EQ(Read(h), "2 one three");
  // A replacement that contains its pattern, and one taken from the block itself.
  EXPECT_EQ(SearchReplace(h, 0, "2", 1, "22", 2), 2);
  EXPECT_EQ(Read(h), "22 one three");
  const char* inside = reinterpret_cast<const char*>(HandleAddress(h)) + 3;  // "one three"
  EXPECT_EQ(SearchReplace(h, 0, "22", 2, inside, 9), 9);
  EXPECT_EQ(Read(h), "one three one three");
  // An empty pattern never matches, offsets outside the block fail.
  EXPECT_LT(SearchReplace(h, 0, "", 0, "x", 1), 0);
  EXPECT_LT(SearchReplace(h, -1, "one", 3, nullptr, 0), 0);
  EXPECT_LT(SearchReplace(h, 100, "one", 3, nullptr, 0), 0);
  EXPECT_LT(SearchReplace(0, 0, "one", 3, nullptr, 0), 0);
  // A pattern at the very end, and one longer than the rest of the block.
  EXPECT_EQ(SearchReplace(h, 0, "hree", 4, nullptr, 0), 5);
  EXPECT_EQ(SearchReplace(h, 15, "hree", 4, nullptr, 0), 15);
  EXPECT_LT(SearchReplace(h, 16, "hree", 4, nullptr, 0), 0);
  DisposeHandle(h);
}

TEST(Memory, FixedBlocks) {
  void* p = NewPtrClear(40);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(PtrSize(p), 40);
  EXPECT_EQ(static_cast<uint8_t*>(p)[39], 0);
  DisposePtr(p);
  EXPECT_EQ(NewPtr(-5), nullptr);
}

// Failure injection: the nth allocation fails like a real shortage, or every one from it on.
TEST(Memory, InjectedAllocationFailures) {
  int32_t live = LiveHandleCount();
  Handle a = NewHandle(4);
  SetAllocationFailure(2);
  Handle b = NewHandle(1);
  EXPECT_FALSE(SetHandleSize(a, 8));  // the second: growth fails, the block stays
  EXPECT_EQ(MemError(), kMemFullErr);
  EXPECT_EQ(HandleSize(a), 4);
  EXPECT_TRUE(SetHandleSize(a, 2));  // shrinking needs no memory and is not counted
  void* p = NewPtr(8);
  EXPECT_NE(p, nullptr);
  EXPECT_EQ(AllocationCount(), 3);
  SetAllocationFailure(2, AllocationFailure::EveryFrom);
  Handle c = NewHandleClear(1);
  EXPECT_NE(c, 0u);
  EXPECT_EQ(NewPtr(1), nullptr);
  EXPECT_EQ(MemError(), kMemFullErr);
  Handle d = a;
  EXPECT_EQ(DuplicateHandle(&d), kMemFullErr);
  EXPECT_EQ(d, a);
  EXPECT_EQ(AppendHandle(b, a), kMemFullErr);
  EXPECT_FALSE(AllocationAllowed());
  EXPECT_EQ(AllocationCount(), 5);
  SetAllocationFailure(0);
  EXPECT_TRUE(AllocationAllowed());
  EXPECT_EQ(AllocationCount(), 1);
  DisposePtr(p);
  for (Handle h : {a, b, c}) DisposeHandle(h);
  EXPECT_EQ(LiveHandleCount(), live);
}

// No block, a disposed one, and one whose slot a newer block took: every service answers
// without touching memory.
TEST(Memory, AbsentAndStaleHandles) {
  Handle old = Make("old");
  DisposeHandle(old);
  Handle reused = Make("new");  // likely in the old slot, with another generation
  Handle emptied = Make("gone");
  EmptyHandle(emptied);
  for (Handle h : {Handle(0), old}) {
    SCOPED_TRACE(h);
    EXPECT_EQ(HandleSize(h), 0);
    EXPECT_EQ(MemError(), h ? kMemWZErr : kNilHandleErr);
    EXPECT_FALSE(SetHandleSize(h, 4));
    LockHandle(h);
    UnlockHandle(h);
    SetHandleState(h, 0x80);
    EXPECT_EQ(HandleState(h), 0);
    EmptyHandle(h);
    Handle copy = h;
    EXPECT_EQ(DuplicateHandle(&copy), kNilHandleErr);
    EXPECT_EQ(AppendHandle(h, reused), kNilHandleErr);
    EXPECT_EQ(AppendHandle(reused, h), kNilHandleErr);
    EXPECT_EQ(SearchReplace(h, 0, "n", 1, "m", 1), -1);
  }
  EXPECT_EQ(DuplicateHandle(nullptr), kNilHandleErr);
  EXPECT_EQ(AppendHandle(emptied, reused), kNilHandleErr);
  EXPECT_EQ(Read(reused), "new");
  // A locked block grows nowhere; the same size keeps it where it is.
  LockHandle(reused);
  EXPECT_FALSE(SetHandleSize(reused, 100));
  EXPECT_EQ(MemError(), kMemFullErr);
  UnlockHandle(reused);
  {
    ScrambleGuard unscrambled(false);
    uint8_t* at = HandleAddress(reused);
    EXPECT_TRUE(SetHandleSize(reused, 3));
    EXPECT_EQ(HandleAddress(reused), at);
  }
  // A replacement that must grow the block fails whole when memory is short.
  SetAllocationFailure(1);
  EXPECT_EQ(SearchReplace(reused, 0, "e", 1, "eee", 3), -1);
  SetAllocationFailure(0);
  EXPECT_EQ(Read(reused), "new");
  EXPECT_EQ(PtrSize(nullptr), 0);
  DisposePtr(nullptr);
  DisposeHandle(reused);
  DisposeHandle(emptied);
}

TEST(Memory, SearchReplaceRefusesBadArguments) {
  Handle h = Make("abcabc");
  struct Row {
    const char* what;
    int32_t offset;
    const char* pattern;
    int32_t patternLength, replacementLength;
  } rows[] = {
      {"offset before the start", -1, "b", 1, 1}, {"offset past the end", 7, "b", 1, 1},
      {"no pattern", 0, nullptr, 1, 1},           {"empty pattern", 0, "b", 0, 1},
      {"negative replacement", 0, "b", 1, -1},
  };
  for (const Row& row : rows) EXPECT_EQ(SearchReplace(h, row.offset, row.pattern, row.patternLength, "x", row.replacementLength), -1) << row.what;
  EXPECT_EQ(SearchReplace(h, 6, "b", 1, nullptr, 0), -1);  // at the very end: nothing to find
  EXPECT_EQ(Read(h), "abcabc");
  // A locked block may shrink in place.
  LockHandle(h);
  EXPECT_TRUE(SetHandleSize(h, 3));
  EXPECT_EQ(Read(h), "abc");
  DisposeHandle(h);
}
