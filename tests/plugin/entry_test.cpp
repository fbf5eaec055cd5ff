#include <gtest/gtest.h>

#include <fcntl.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "abi/command_table.h"
#include "commands/globals.h"
#include "net/stream_table.h"
#include "net/streams.h"
#include "host/host.h"
#include "platform/files.h"
#include "platform/memory.h"

using host::CallResult;
using host::Host;
using host::Value;

namespace {
CallResult Invoke(Host& h, const char* name, std::vector<Value*> ps = {}) { return h.Call(name, ps); }
}  // namespace

TEST(StreamSlots, LowestFreeFirstAndFullTable) {
  auto table = std::make_unique<vrx::StreamTable>();
  std::memset(table.get(), 0, sizeof *table);
  vrx::StreamTable& t = *table;
  auto* fake = reinterpret_cast<vrx::StreamRecord*>(table.get());  // any non-null record
  for (int32_t i = 1; i <= vrx::kMaxStreamRef; ++i) ASSERT_EQ(vrx::AddStream(t, fake), i);
  EXPECT_EQ(t.openCount, 1023);
  EXPECT_EQ(vrx::AddStream(t, fake), 0) << "the 1024th stream must be refused";
  EXPECT_EQ(t.openCount, 1023);
  EXPECT_EQ(t.records[1024], nullptr);
  for (int ref : {5, 9}) t.records[ref] = nullptr, --t.openCount;
  EXPECT_EQ(vrx::AddStream(t, fake), 5);
  EXPECT_EQ(vrx::AddStream(t, fake), 9);

  EXPECT_EQ(vrx::StreamSlot(t, 7), &t.records[7]);
  for (int32_t bad : {0, 1024, -5, 1025}) EXPECT_EQ(vrx::StreamSlot(t, bad), nullptr);
  t.records[7] = nullptr;
  EXPECT_EQ(vrx::StreamSlot(t, 7), nullptr);

  vrx::MarkBusy(t, 7);
  vrx::MarkBusy(t, 7);
  vrx::MarkBusy(t, 1024);  // out of range: nothing
  EXPECT_EQ(t.busyCounts[7], 2);
  EXPECT_EQ(t.busyCounts[1024], 0);
  vrx::UnmarkBusy(t, 7);
  EXPECT_EQ(t.busyCounts[7], 1);
  vrx::MarkBusy(t, 8);
  EXPECT_EQ(vrx::ReleaseStreamRef(t, 8, 0), vrx::NetStatus::Busy) << "a stream in use is never freed";
}

// A stream released while two commands use it stays open for the one still running and
// is closed by the last one's end.
TEST(StreamSlots, ReleasedInUseClosesWithItsLastUser) {
  auto table = std::make_unique<vrx::StreamTable>();
  std::memset(table.get(), 0, sizeof *table);
  vrx::StreamTable& t = *table;
  vrx::StreamRecord* record = vrx::CreateTcpRecord(4096);
  ASSERT_NE(record, nullptr);
  int fd = record->socket;
  int32_t ref = vrx::AddStream(t, record);
  vrx::MarkBusy(t, ref);
  vrx::MarkBusy(t, ref);
  vrx::ReleaseWhenIdle(t, ref);
  EXPECT_EQ(vrx::StreamSlot(t, ref), nullptr);
  vrx::UnmarkBusy(t, ref);
  EXPECT_EQ(t.retired[ref], record) << "freed under a command still using it";
  EXPECT_NE(fcntl(fd, F_GETFD), -1);
  vrx::UnmarkBusy(t, ref);
  EXPECT_EQ(t.retired[ref], nullptr);
  EXPECT_EQ(fcntl(fd, F_GETFD), -1) << "the socket outlived its last user";
  // Released with no command using it: closed at once.
  record = vrx::CreateTcpRecord(4096);
  ASSERT_NE(record, nullptr);
  fd = record->socket;
  ref = vrx::AddStream(t, record);
  vrx::ReleaseWhenIdle(t, ref);
  EXPECT_EQ(vrx::StreamSlot(t, ref), nullptr);
  EXPECT_EQ(t.retired[ref], nullptr);
  EXPECT_EQ(fcntl(fd, F_GETFD), -1);
  vrx::ReleaseWhenIdle(t, ref);  // gone already: nothing to do
  EXPECT_EQ(vrx::ReleaseStreamRef(t, ref, 0), vrx::NetStatus::Ok);
  vrx::UnmarkBusy(t, 0);  // no such reference: nothing to count
  // A stream released in use is not handed out again before its last user ends; at
  // shutdown it is closed all the same.
  record = vrx::CreateTcpRecord(4096);
  ASSERT_NE(record, nullptr);
  fd = record->socket;
  ref = vrx::AddStream(t, record);
  vrx::MarkBusy(t, ref);
  vrx::ReleaseWhenIdle(t, ref);
  vrx::StreamRecord* other = vrx::CreateTcpRecord(4096);
  int32_t otherRef = vrx::AddStream(t, other);
  EXPECT_NE(otherRef, ref);
  vrx::ReleaseAllStreams(t);
  EXPECT_EQ(t.retired[ref], nullptr);
  EXPECT_EQ(vrx::StreamSlot(t, otherRef), nullptr);
  EXPECT_EQ(fcntl(fd, F_GETFD), -1);
}

TEST(TextParams, ToStringOnlyBelow255Bytes) {
  uint8_t out[256];
  Value t254 = Value::Text(std::string(254, 'x'));
  vrx::TextParamToString(static_cast<vrx::TextValue*>(t254.Slot()), out);
  EXPECT_EQ(out[0], 254);
  Value t255 = Value::Text(std::string(255, 'x'));
  vrx::TextParamToString(static_cast<vrx::TextValue*>(t255.Slot()), out);
  EXPECT_EQ(out[0], 0);
  vrx::TextValue null = {3, 0};
  vrx::TextParamToString(&null, out);
  EXPECT_EQ(out[0], 0);
  // A length that claims more than the handle holds is not trusted.
  Value shortText = Value::Text("ab");
  auto* tv = static_cast<vrx::TextValue*>(shortText.Slot());
  tv->length = 200;
  vrx::TextParamToString(tv, out);
  EXPECT_EQ(out[0], 0);
  tv->length = 2;
}

TEST(CommandTable, EverySelectorHasItsRow) {
  auto rows = vrx::CommandTable();
  ASSERT_EQ(rows.size(), 114u);
  for (const vrx::CommandInfo& row : vrx::AllCommands()) EXPECT_EQ(vrx::CommandBySelector(row.selector), &row);
  for (int gap : {1, 65, 93, 112, 113}) EXPECT_TRUE(vrx::CommandBySelector(gap)->name.empty()) << gap;
  EXPECT_EQ(vrx::CommandBySelector(0), nullptr);
  EXPECT_EQ(vrx::CommandBySelector(115), nullptr);
  // The extensions stand apart from the legacy table, with nothing between.
  for (int none : {116, 150, 200, 208}) EXPECT_EQ(vrx::CommandBySelector(none), nullptr) << none;
  ASSERT_EQ(vrx::ExtensionTable().size(), 7u);
  EXPECT_EQ(vrx::CommandBySelector(201)->name, "VRX_StartTLS");
  EXPECT_TRUE(vrx::CommandBySelector(201)->busy);
  EXPECT_EQ(vrx::CommandByName("vrx_settrustedcertificates")->selector, 202);
  EXPECT_EQ(vrx::CommandByName("vrx_getstreamref")->selector, 52);
  EXPECT_EQ(vrx::CommandByName("VRX_Nothing"), nullptr);
  const vrx::CommandInfo* recv = vrx::CommandByName("VRX_ReceiveText");
  EXPECT_EQ(recv->paramCount, 7);
  EXPECT_TRUE(recv->busy);
  EXPECT_EQ(recv->params[1].kind, vrx::Kind::Text);
  EXPECT_EQ(recv->params[1].dir, vrx::Dir::InOut);
  EXPECT_TRUE(vrx::CommandByName("VRX_DetachBlob")->built);
}

class Dispatch : public ::testing::Test {
 protected:
  Host h;
  void SetUp() override { ASSERT_TRUE(h.loaded()) << h.error(); }
};

TEST_F(Dispatch, SelectorsWithoutCodeLeaveTheResultAlone) {
  for (int32_t sel : {-3, 0, 1, 65, 93, 112, 113, 115, 200, 208, 1 << 30}) {
    int32_t area[4] = {0x11223344, 0x11223344, 0x11223344, 0x11223344};
    void* slots[vrx::kParamSlots] = {};
    h.RawCall(sel, slots, area);
    EXPECT_EQ(area[0], 0x11223344) << sel;
    EXPECT_EQ(area[1], 0x11223344) << sel;
  }
}

TEST_F(Dispatch, ReservedCommands) {
  EXPECT_EQ(Invoke(h, "VRX_Reserved25").value, -1);
  EXPECT_EQ(Invoke(h, "VRX_Reserved78").value, -1);
  for (const char* name : {"VRX_Reserved24", "VRX_Reserved26", "VRX_Reserved27"}) {
    CallResult r = Invoke(h, name);
    EXPECT_TRUE(r.written);
    EXPECT_EQ(r.value, 0);
  }
  // 77 clears the length and leaves the handle as the host gave it.
  Value keep = Value::Text("abc");
  vrx::TextValue tv = *static_cast<vrx::TextValue*>(keep.Slot());
  vrx::TextValue* p = &tv;
  void* area[2] = {p, nullptr};
  void* slots[vrx::kParamSlots] = {};
  h.RawCall(77, slots, area);
  EXPECT_EQ(+tv.length, 0);
  EXPECT_EQ(+tv.handle, keep.handle());

  Value blob = Value::Blob("x"), l = Value::Long(0);
  EXPECT_TRUE(Invoke(h, "VRX_Reserved62", {&blob, &l, &l, &l, &l}).written);
  Value none(vrx::Kind::Blob);
  none.AdoptHandle(0);
  EXPECT_FALSE(Invoke(h, "VRX_Reserved62", {&none, &l, &l, &l, &l}).written);
}

TEST_F(Dispatch, LocalAddressAndStreamEnumeration) {
  Value a = Value::Long(7), b = Value::Long(7), c = Value::Long(7), d = Value::Long(7);
  CallResult r = Invoke(h, "VRX_GetLocalAddress", {&a, &b, &c, &d});
  EXPECT_EQ(r.value, 0);
  EXPECT_EQ(b.AsLong(), 5);
  EXPECT_EQ(c.AsLong(), -1);
  EXPECT_EQ(d.AsLong(), 0x02602002);
  // Fewer parameters than declared: the absent ones are not written.
  EXPECT_EQ(Invoke(h, "VRX_GetLocalAddress", {&a}).value, 0);

  struct Case {
    int32_t position, expect;
  } cases[] = {{0, 0}, {1, 0}, {1024, 0}, {1025, -1}, {-1, -1}};
  for (const Case& k : cases) {
    Value pos = Value::Long(k.position);
    EXPECT_EQ(Invoke(h, "VRX_GetStreamRef", {&pos}).value, k.expect) << k.position;
  }
  Value empty = Value::LongArray({}), out = Value::LongArray({});
  EXPECT_EQ(Invoke(h, "VRX_GetStreamStates", {&empty, &out}).value, -1);
  // References to empty slots are skipped and leave the output untouched.
  std::vector<int32_t> refs = {0, 3, 1024, -1}, olds = {9, 9, 9, 9};
  Value in = Value::LongArray(refs), states = Value::LongArray(olds);
  EXPECT_EQ(Invoke(h, "VRX_GetStreamStates", {&in, &states}).value, -1);
  EXPECT_EQ(states.Longs(), olds);
}

TEST_F(Dispatch, RejectedStreamReferences) {
  // Commands on a connection answer -1 for references outside 1..1023 or empty slots.
  for (int32_t ref : {0, 1024, -5, 17}) {
    Value r = Value::Long(ref);
    for (const char* name : {"VRX_CloseStream", "VRX_GetBytesAvailable", "VRX_ReleaseStream"})
      EXPECT_EQ(Invoke(h, name, {&r}).value, -1) << name << " " << ref;
  }
}

TEST_F(Dispatch, DetachBlob) {
  for (const char* name : {"VRX_DetachBlob", "VRX_TakeBlob"}) {
    Value blob = Value::Blob("abc"), flags = Value::Long(1);
    vrx::Handle held = blob.handle();
    CallResult r = Invoke(h, name, {&blob, &flags});
    EXPECT_EQ(uint32_t(r.value), held);
    EXPECT_EQ(blob.handle(), 0u);
    EXPECT_EQ(blob.Bytes(), "");
    platform::DisposeHandle(held);  // the caller owns it now

    Value copy = Value::Blob("abc"), keep = Value::Long(0);
    held = copy.handle();
    r = Invoke(h, name, {&copy, &keep});
    EXPECT_EQ(uint32_t(r.value), held);
    EXPECT_NE(copy.handle(), held);
    EXPECT_EQ(copy.Bytes(), "abc");
    platform::DisposeHandle(held);
  }
}

TEST_F(Dispatch, HostHandles) {
  Value blob = Value::Blob("payload"), key = Value::Long(12);
  EXPECT_EQ(Invoke(h, "VRX_PutHostHandle", {&blob, &key}).value, 0);
  EXPECT_EQ(blob.Bytes(), "payload");  // the host keeps its own copy
  Value out = Value::Long(0);
  EXPECT_EQ(Invoke(h, "VRX_GetHostHandle", {&key, &out}).value, 0);
  vrx::Handle got = vrx::Handle(out.AsLong());
  ASSERT_NE(got, 0u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(platform::HandleAddress(got)), 7), "payload");
  // A host error leaves 0 and disposes of the handle held before.
  h.FailNextHandleCall(-1);
  EXPECT_EQ(Invoke(h, "VRX_GetHostHandle", {&key, &out}).value, -1);
  EXPECT_EQ(out.AsLong(), 0);
  EXPECT_FALSE(platform::IsLiveHandle(got));
  Value unknown = Value::Long(99);
  EXPECT_NE(Invoke(h, "VRX_GetHostHandle", {&unknown, &out}).value, 0);
}

TEST_F(Dispatch, DialUpReportsNoRemoteAccess) {
  Value s = Value::String("");
  EXPECT_EQ(Invoke(h, "VRX_DialEntry", {&s, &s, &s}).value, -2);
  EXPECT_EQ(Invoke(h, "VRX_HangUpDialUp").value, -1);
  EXPECT_EQ(Invoke(h, "VRX_IsDialUpConnected").value, -1);
}

TEST(Lifecycle, ShutdownAndRestartStartEmpty) {
  int32_t live = platform::LiveHandleCount();
  {
    Host h;
    ASSERT_TRUE(h.loaded());
    h.Shutdown();
    Host* current = Host::Current();
    EXPECT_EQ(current, &h);
  }
  EXPECT_EQ(platform::LiveHandleCount(), live) << "shutdown leaves no block behind";
  Host again;
  ASSERT_TRUE(again.loaded());
  Value pos = Value::Long(0);
  std::vector<Value*> ps{&pos};
  EXPECT_EQ(again.Call("VRX_GetStreamRef", ps).value, 0);
}

TEST_F(Dispatch, OpenFileRef) {
  std::string path = testing::TempDir() + "/vrx_openfileref";
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fputs("data", f);
  std::fclose(f);
  Value p = Value::String(path);
  int32_t ref = Invoke(h, "VRX_OpenFileRef", {&p}).value;
  EXPECT_GT(ref, 0);
  Value missing = Value::String(path + ".missing");
  EXPECT_EQ(Invoke(h, "VRX_OpenFileRef", {&missing}).value, 0);
  // No command closes the reference; the host's file service still can.
  EXPECT_EQ(platform::CloseFork(int16_t(ref)), 0);
}
