#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codecs/text_codecs.h"
#include "host/host.h"
#include "platform/memory.h"
#include "queues/queues.h"

using host::Host;
using host::Value;

namespace {
struct Queues {
  Host& h;
  void Append(int32_t key, std::string_view text) {
    Value k = Value::Long(key), t = Value::Text(text);
    std::vector<Value*> ps{&k, &t};
    h.Call("VRX_AppendQueueItem", ps);
  }
  std::string Get(int32_t key, int32_t peek = 0) {
    Value k = Value::Long(key), p = Value::Long(peek);
    std::vector<Value*> ps{&k, &p};
    return h.Call("VRX_GetQueueItem", ps).bytes;
  }
  int32_t Long(const char* name, int32_t arg) {
    Value a = Value::Long(arg);
    std::vector<Value*> ps{&a};
    return h.Call(name, ps).value;
  }
  int32_t Count(int32_t key) { return Long("VRX_CountQueueItems", key); }
  int32_t Id(int32_t index) { return Long("VRX_GetQueueID", index); }
  int32_t Queues_() { return h.Call("VRX_CountQueues", std::vector<Value*>{}).value; }
  void Clear(int32_t key) { Long("VRX_ClearQueue", key); }
};
}  // namespace

TEST(Queues, FifoPeekClearAndSlots) {
  Host h;
  ASSERT_TRUE(h.loaded());
  Queues q{h};
  EXPECT_EQ(q.Count(7), 0);
  EXPECT_EQ(q.Get(7), "");
  EXPECT_EQ(q.Queues_(), 0);
  EXPECT_EQ(q.Id(0), 0);
  q.Append(7, "a");
  q.Append(7, "b");
  EXPECT_EQ(q.Count(7), 2);
  EXPECT_EQ(q.Get(7, 1), "a");
  EXPECT_EQ(q.Get(7, 1), "a");
  EXPECT_EQ(q.Count(7), 2);
  EXPECT_EQ(q.Get(7), "a");
  EXPECT_EQ(q.Get(7), "b");
  EXPECT_EQ(q.Get(7), "");
  EXPECT_EQ(q.Count(7), 0);
  q.Append(7, "c");
  q.Append(7, "d");
  q.Clear(7);
  EXPECT_EQ(q.Count(7), 0);
  q.Append(7, "e");
  EXPECT_EQ(q.Queues_(), 1);  // the cleared key kept its slot
  EXPECT_EQ(q.Get(7), "e");
  q.Append(5, "x");
  q.Append(9, "y");
  q.Append(5, "z");
  q.Append(0, "zero");
  q.Append(-1, "minus");
  EXPECT_EQ(q.Id(0), 5);
  EXPECT_EQ(q.Id(1), 7);
  EXPECT_EQ(q.Id(2), 5);
  EXPECT_EQ(q.Id(3), 9);
  EXPECT_EQ(q.Id(4), 0);
  EXPECT_EQ(q.Id(5), -1);
  EXPECT_EQ(q.Id(6), 0);
  EXPECT_EQ(q.Id(-1), 0);
  EXPECT_EQ(q.Queues_(), 5);
  EXPECT_EQ(q.Get(5), "x");
  EXPECT_EQ(q.Get(-1), "minus");
  EXPECT_EQ(q.Get(0), "zero");
  q.Clear(12345);  // unknown key: nothing happens
  EXPECT_EQ(q.Queues_(), 5);
  // Empty texts queue like any other.
  q.Append(3, "");
  EXPECT_EQ(q.Count(3), 1);
  EXPECT_EQ(q.Get(3), "");
  EXPECT_EQ(q.Count(3), 0);
}

TEST(Queues, TextsAreCopiedOnAppend) {
  Host h;
  ASSERT_TRUE(h.loaded());
  Value k = Value::Long(1), t = Value::Text("before");
  std::vector<Value*> ps{&k, &t};
  h.Call("VRX_AppendQueueItem", ps);
  t.SetBytes("after!");
  Queues q{h};
  EXPECT_EQ(q.Get(1), "before");
  std::string big(32767, 'q');
  q.Append(2, big);
  EXPECT_EQ(q.Get(2), big);
}

TEST(Queues, TwoProcessesHandTextsOverInOrder) {
  Host h;
  ASSERT_TRUE(h.loaded());
  Queues q{h};
  std::vector<std::string> gotA, gotB;
  constexpr int kItems = 40;
  // Process 2 produces under keys 1 and 2; process 3 consumes key 1 and answers under
  // key 3; process 1 consumes keys 2 and 3. Every loop is bounded.
  h.NewProcess([&] {
    for (int i = 0; i < kItems; ++i) {
      q.Append(1, "one " + std::to_string(i));
      q.Append(2, "two " + std::to_string(i));
      if (i % 3 == 0) h.Yield();
    }
  });
  h.NewProcess([&] {
    for (int turns = 0; int(gotA.size()) < kItems && turns < 10000; ++turns) {
      if (q.Count(1) == 0) {
        h.Yield();
        continue;
      }
      std::string s = q.Get(1);
      gotA.push_back(s);
      q.Append(3, "re " + s);
    }
  });
  std::vector<std::string> two, three;
  for (int turns = 0; (two.size() < kItems || three.size() < kItems) && turns < 10000; ++turns) {
    for (std::string s; !(s = q.Get(2)).empty();) two.push_back(s);
    for (std::string s; !(s = q.Get(3)).empty();) three.push_back(s);
    h.Yield();
  }
  h.WaitForProcesses();
  ASSERT_EQ(gotA.size(), size_t(kItems));
  ASSERT_EQ(two.size(), size_t(kItems));
  ASSERT_EQ(three.size(), size_t(kItems));
  for (int i = 0; i < kItems; ++i) {
    EXPECT_EQ(gotA[i], "one " + std::to_string(i));
    EXPECT_EQ(two[i], "two " + std::to_string(i));
    EXPECT_EQ(three[i], "re one " + std::to_string(i));
  }
  EXPECT_EQ(q.Queues_(), 3);
}

TEST(Queues, ShutdownFreesEveryQueuedText) {
  int32_t live = platform::LiveHandleCount();
  {
    Host h;
    ASSERT_TRUE(h.loaded());
    Queues q{h};
    for (int k = 0; k < 20; ++k)
      for (int i = 0; i < 10; ++i) q.Append(k, std::string(size_t(100 + i), char('a' + k)));
    q.Get(3);
    q.Get(4, 1);
    q.Clear(5);
    EXPECT_GT(platform::LiveHandleCount(), live + 180);
    h.Shutdown();
  }
  EXPECT_EQ(platform::LiveHandleCount(), live);
}

// Each allocation of an append failing in turn (a new table, a new slot, the copy, the
// node): refused, the queue as it was, nothing leaked. A peek without memory takes nothing.
TEST(Queues, ShortageLeavesTheQueueAsItWas) {
  platform::Handle queues = 0;
  vrx::TextValue text = vrx::NewText("hello");
  for (int32_t key : {7, 8}) {
    bool appended = false;
    for (int64_t nth = 1; !appended; ++nth) {
      const int32_t live = platform::LiveHandleCount() + (queues ? 0 : 1);  // the table may stay
      platform::SetAllocationFailure(nth);
      appended = vrx::QueueAppend(&queues, key, text);
      platform::SetAllocationFailure(0);
      EXPECT_EQ(vrx::QueueCountItems(&queues, key), appended ? 1 : 0) << key << " " << nth;
      if (!appended) {
        EXPECT_LE(platform::LiveHandleCount(), live) << key << " " << nth;
      }
    }
  }
  platform::SetAllocationFailure(1);
  EXPECT_EQ(vrx::QueueTake(&queues, 7, true), 0u);
  platform::SetAllocationFailure(0);
  EXPECT_EQ(vrx::QueueCountItems(&queues, 7), 1);
  vrx::QueueFreeAll(&queues);
  EXPECT_EQ(queues, 0u);
  platform::DisposeHandle(text.handle);
}

// A damaged table (counts and chains out of step, a block too short for its count) is
// never walked past what it holds: takes answer nothing, frees stop at the chain's end.
TEST(Queues, DamagedTablesAreNeverWalkedPastTheirChains) {
  using platform::Handle;
  auto field = [](Handle table, int32_t slot, int32_t at) {
    return reinterpret_cast<uint32_t*>(platform::HandleAddress(table) + 4 + 16 * slot + at);
  };
  vrx::TextValue text = vrx::NewText("x");
  const int32_t live = platform::LiveHandleCount();
  Handle queues = 0;
  for (int32_t key : {1, 2, 3, 4})
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(vrx::QueueAppend(&queues, key, text));
  *reinterpret_cast<uint32_t*>(platform::HandleAddress(queues)) = 99;  // more slots than the block holds
  EXPECT_EQ(vrx::QueueCountSlots(&queues), 4);
  Handle first = *field(queues, 0, 8);
  *field(queues, 0, 8) = 0;  // key 1: a count but no first node
  EXPECT_EQ(vrx::QueueTake(&queues, 1, false), 0u);
  *field(queues, 0, 8) = first;
  *field(queues, 1, 4) = 5;  // key 2: a count past its chain
  Handle taken = vrx::QueueTake(&queues, 2, false);
  EXPECT_NE(taken, 0u);
  platform::DisposeHandle(taken);
  taken = vrx::QueueTake(&queues, 2, false);  // the chain's end: the slot empties
  EXPECT_NE(taken, 0u);
  platform::DisposeHandle(taken);
  EXPECT_EQ(vrx::QueueCountItems(&queues, 2), 0);
  *field(queues, 2, 4) = 7;  // key 3: freed as far as its chain goes
  vrx::QueueClear(&queues, 3);
  *field(queues, 3, 12) = 0;  // key 4: no last node; an append starts the chain anew
  Handle oldFirst = *field(queues, 3, 8);
  ASSERT_TRUE(vrx::QueueAppend(&queues, 4, text));
  vrx::QueueFreeSlot(queues, -1);
  vrx::QueueFreeSlot(queues, 4);
  // The nodes the append left out go back in front of its node, for the leak check.
  Handle second = *reinterpret_cast<uint32_t*>(platform::HandleAddress(oldFirst));
  *reinterpret_cast<uint32_t*>(platform::HandleAddress(second)) = *field(queues, 3, 8);
  *field(queues, 3, 8) = oldFirst;
  EXPECT_EQ(vrx::QueueCountItems(&queues, 4), 3);
  vrx::QueueFreeAll(&queues);
  vrx::QueueFreeAll(nullptr);
  Handle tiny = platform::NewHandle(2);  // shorter than a table's header
  EXPECT_EQ(vrx::QueueCountSlots(&tiny), 0);
  EXPECT_EQ(vrx::QueueFind(tiny, 1), -1);
  platform::DisposeHandle(tiny);
  EXPECT_EQ(platform::LiveHandleCount(), live);
  platform::DisposeHandle(text.handle);
}
