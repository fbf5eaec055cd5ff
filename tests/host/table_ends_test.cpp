// Both ends of the command table are reachable, by selector and through FourDPack, and
// nothing beyond them is.
#include <gtest/gtest.h>

#include <vector>

#include "abi/abi.h"
#include "abi/command_table.h"
#include "host/host.h"

namespace {

using host::Host;
using host::Value;

TEST(TableEnds, FirstAndLastSelectorsDispatch) {
  ASSERT_NE(vrx::CommandBySelector(1), nullptr);
  ASSERT_NE(vrx::CommandBySelector(vrx::kLastSelector), nullptr);
  EXPECT_EQ(vrx::CommandBySelector(vrx::kLastSelector)->name, "VRX_SetStreamCiphers");
  EXPECT_EQ(vrx::CommandBySelector(0), nullptr);
  EXPECT_EQ(vrx::CommandBySelector(vrx::kLastSelector + 1), nullptr);
  EXPECT_EQ(vrx::CommandByName("vrx_setstreamciphers"), vrx::CommandBySelector(vrx::kLastSelector));

  Host h;
  ASSERT_TRUE(h.loaded()) << h.error();
  Value ref = Value::Long(999), list = Value::String("HIGH");
  std::vector<Value*> params{&ref, &list};
  host::CallResult last = h.Call(vrx::kLastSelector, params);
  EXPECT_TRUE(last.written) << "the last command runs";
  EXPECT_EQ(last.value, -1) << "no stream 999";
  host::CallResult beyond = h.Call(vrx::kLastSelector + 1, params);
  EXPECT_FALSE(beyond.written);
}

}  // namespace
