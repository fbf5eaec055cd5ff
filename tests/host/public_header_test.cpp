// The public C header says what the plug-in and the platform library do: its numbers and
// layouts are checked against the ones the code uses, its services against the platform.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "abi/abi.h"
#include "include/vrx/fourdpack.h"
#include "platform/memory.h"
#include "platform/services.h"

// Every command of the table, under the same selector.
#define P(kind, dir)
#define VRX_GAP(selector)
#define VRX_COMMAND(selector, name, ...) static_assert(name == selector, #name);
#include "abi/commands.def"
#undef VRX_COMMAND
#undef VRX_GAP
#undef P

static_assert(VRX_SELECTOR_INIT == vrx::kSelectorInit);
static_assert(VRX_SELECTOR_SHUTDOWN == vrx::kSelectorShutdown);
static_assert(VRX_LAST_SELECTOR == vrx::kLastSelector);
static_assert(VRX_FIRST_EXTENSION_SELECTOR == vrx::kFirstExtensionSelector);
static_assert(VRX_PARAM_SLOTS == vrx::kParamSlots);
static_assert(VRX_HOST_ENTRY_SLOT == vrx::kHostEntrySlot);
static_assert(VRX_MAX_TEXT_LENGTH == vrx::kMaxTextLength);
static_assert(VRX_HOST_GET_HANDLE == vrx::kHostGetHandle &&
              VRX_HOST_PUT_HANDLE == vrx::kHostPutHandle &&
              VRX_HOST_DELAY_PROCESS == vrx::kHostDelayProcess &&
              VRX_HOST_CURRENT_PROCESS == vrx::kHostCurrentProcess &&
              VRX_HOST_YIELD == vrx::kHostYield);
static_assert(VRX_HOST_CALL_ARG == vrx::kHostCallArg &&
              VRX_HOST_CALL_HANDLE == vrx::kHostCallHandle &&
              VRX_HOST_CALL_RESULT == vrx::kHostCallResult &&
              VRX_HOST_CALL_PROCESS == vrx::kHostCallProcess &&
              VRX_HOST_CALL_TICKS == vrx::kHostCallTicks);
static_assert(sizeof(VrxTextValue) == sizeof(vrx::TextValue) &&
              offsetof(VrxTextValue, handle) == offsetof(vrx::TextValue, handle));
static_assert(sizeof(VrxLongArrayValue) == sizeof(vrx::LongArrayValue) &&
              offsetof(VrxLongArrayValue, count) == offsetof(vrx::LongArrayValue, count) &&
              offsetof(VrxLongArrayValue, handle) == offsetof(vrx::LongArrayValue, handle));
static_assert(sizeof(VrxDateValue) == sizeof(vrx::DateValue) &&
              offsetof(VrxDateValue, month) == offsetof(vrx::DateValue, month) &&
              offsetof(VrxDateValue, year) == offsetof(vrx::DateValue, year));
static_assert(sizeof(VrxHostCallBlock) == sizeof(vrx::HostCallBlock));
static_assert(VRX_SOCKET_NOTIFY_MESSAGE == platform::kSocketNotifyMessage &&
              VRX_NOTIFY_ACCEPT == platform::kNotifyAccept);

namespace {

TEST(PublicHeader, MemoryServicesAreThePlatformsBlocks) {
  int32_t live = platform::LiveHandleCount();
  VrxHandle h = vrx_NewHandle(3);
  ASSERT_NE(h, 0u);
  std::memcpy(vrx_HandleAddress(h), "abc", 3);
  ASSERT_TRUE(vrx_SetHandleSize(h, 5));
  EXPECT_EQ(platform::HandleSize(h), 5);
  EXPECT_EQ(std::memcmp(platform::HandleAddress(h), "abc", 3), 0);
  EXPECT_FALSE(vrx_SetHandleSize(h, -1));
  EXPECT_NE(vrx_MemError(), 0);
  vrx_DisposeHandle(h);
  EXPECT_EQ(vrx_HandleSize(h), 0);
  EXPECT_EQ(vrx_HandleAddress(h), nullptr);
  // A locked block keeps its place (and cannot grow); a cleared one is zeros.
  VrxHandle z = vrx_NewHandleClear(4);
  ASSERT_NE(z, 0u);
  EXPECT_EQ(std::memcmp(vrx_HandleAddress(z), "\0\0\0\0", 4), 0);
  vrx_LockHandle(z);
  EXPECT_FALSE(vrx_SetHandleSize(z, 1 << 20));
  vrx_UnlockHandle(z);
  EXPECT_TRUE(vrx_SetHandleSize(z, 1 << 20));
  vrx_DisposeHandle(z);
  EXPECT_EQ(platform::LiveHandleCount(), live);
  const uint32_t tick = vrx_TickCount();
  EXPECT_LE(platform::TickCount() - tick, 1u);
  EXPECT_EQ(vrx_CurrentMessageFilter(), platform::CurrentMessageFilter());
}

TEST(PublicHeader, EventHooksReachThePlatform) {
  static int hinted = -1;
  VrxEventHooks hooks = {};
  hooks.hint = [](int fd, short, void*) { hinted = fd; };
  vrx_SetEventHooks(&hooks);
  platform::WaitHint(7, 1);
  EXPECT_EQ(hinted, 7);
  vrx_SetEventHooks(nullptr);
  platform::WaitHint(8, 1);
  EXPECT_EQ(hinted, 7);
}

}  // namespace
