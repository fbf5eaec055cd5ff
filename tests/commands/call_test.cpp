// The adapter between the host's parameters and the handlers: a text filled in place or
// made anew, a result text cut to a text's length, and (in checking builds) each
// accessor held to the kind the command's row declares.
#include <gtest/gtest.h>

#include "abi/command_table.h"
#include "commands/call.h"
#include "platform/memory.h"
#include "platform/text_value.h"

namespace {

using vrx::Call;

TEST(Call, TextsMadeAnewAndResultsCutToATextsLength) {
  vrx::TextValue text{0, 0};  // no block yet
  int32_t ref = 1;
  void* params[4] = {&ref, &text, nullptr, nullptr};
  vrx::TextValue result{};
  vrx::TextValue* resultArea = &result;  // the host passes where its result text lives
  Call c{nullptr, params, &resultArea, vrx::CommandBySelector(7)};  // VRX_SendText
  ASSERT_TRUE(c.SetText(2, "made"));
  EXPECT_EQ(vrx::TextValueBytes(&text), "made");
  platform::Handle big = platform::NewHandle(40000);
  c.ResultTextHandle(big);
  EXPECT_EQ(result.length, 32767);
  EXPECT_EQ(platform::HandleSize(big), 32767);
  platform::DisposeHandle(big);
  platform::DisposeHandle(text.handle);
}

#ifdef VRX_CHECK_CALLS
TEST(CallDeathTest, AnAccessorOfAnotherKindStopsTheProgram) {
  int32_t values[8] = {};
  void* params[8];
  for (int i = 0; i < 8; ++i) params[i] = &values[i];
  // Accepted: a Long read of a Time, a BLOB read of a picture, any read of Any, and
  // anything without a row.
  Call{nullptr, params, nullptr, vrx::CommandBySelector(49)}.Long(2);
  Call{nullptr, params, nullptr, vrx::CommandBySelector(40)}.Blob(2);
  Call{nullptr, params, nullptr, vrx::CommandBySelector(2)}.Text(5);
  Call{nullptr, params, nullptr, nullptr}.Date(1);
  Call send{nullptr, params, nullptr, vrx::CommandBySelector(7)};
  EXPECT_DEATH(send.Long(2), "VRX_SendText: \\$2 read as");
  EXPECT_DEATH(send.Long(5), "VRX_SendText: \\$5 read as");  // past its parameters
}
#endif

}  // namespace
