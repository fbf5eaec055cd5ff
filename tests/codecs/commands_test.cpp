// The codec and queue commands end to end: through FourDPack in the host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "abi/abi.h"
#include "host/host.h"
#include "platform/memory.h"

using host::Host;
using host::Value;

namespace {
std::string Text1(Host& h, const char* name, std::string_view text, int32_t option) {
  Value t = Value::Text(text);
  Value o = Value::Long(option);
  std::vector<Value*> ps{&t, &o};
  host::CallResult r = h.Call(name, ps);
  EXPECT_EQ(r.kind, host::ResultKind::Text);
  EXPECT_EQ(t.Bytes(), std::string(text)) << name << " changed its input";
  return r.bytes;
}
}  // namespace

TEST(Commands, TextCodecs) {
  Host h;
  ASSERT_TRUE(h.loaded());
  EXPECT_EQ(Text1(h, "VRX_EncodeBase64", "A", 1), "QQ==");
  EXPECT_EQ(Text1(h, "VRX_DecodeBase64", "TWFu", 0), "Man");
  EXPECT_EQ(Text1(h, "VRX_EncodeHTML", "a<b \x8E", 0), "a&lt;b &eacute;");
  EXPECT_EQ(Text1(h, "VRX_DecodeHTML", "&lt;p&gt;", 1), "&lt;p&gt;");
  EXPECT_EQ(Text1(h, "VRX_DecodeHTML", "<b>x</b> &amp;", 2), "x &");
  EXPECT_EQ(Text1(h, "VRX_EncodeURL", "a b&c\x8E", 0), "a+b%26c%E9");
  EXPECT_EQ(Text1(h, "VRX_DecodeURL", "a+b%E9", 0), "a b\x8E");
  EXPECT_EQ(Text1(h, "VRX_DecodeURL", "a+=41%41", -1), "a+A%41");
  EXPECT_EQ(Text1(h, "VRX_EncodeQuotedPrintable", "\x8E=", 0), "=E9=3D");
  EXPECT_EQ(Text1(h, "VRX_DecodeQuotedPrintable", "=E9=\r\n!", 0), "\x8E!");
  EXPECT_EQ(Text1(h, "VRX_MacToISO", "\x8E", 1), "\xE9");
  EXPECT_EQ(Text1(h, "VRX_ISOToMac", "\xE9", 0), "\x8E");
  EXPECT_EQ(Text1(h, "VRX_MapTextChars", "Hello, World", 0), "Uryyb, Jbeyq");
  EXPECT_EQ(Text1(h, "VRX_EncodeBase64", "", 1), "");
  Value blob = Value::Blob("Hello\xFF");
  std::vector<Value*> ps{&blob};
  h.Call("VRX_MapBlobChars", ps);
  EXPECT_EQ(blob.Bytes(), "Uryyb\xFF");
}

TEST(Commands, AbsentAndDamagedTextsAreEmpty) {
  Host h;
  ASSERT_TRUE(h.loaded());
  std::vector<Value*> none;
  EXPECT_EQ(h.Call("VRX_EncodeHTML", none).bytes, "");
  EXPECT_EQ(h.Call("VRX_MapTextChars", none).bytes, "");
  // A length beyond the handle's size reads only what the handle holds.
  Value t = Value::Text("abc");
  static_cast<vrx::TextValue*>(t.Slot())->length = 30000;
  Value o = Value::Long(0);
  std::vector<Value*> ps{&t, &o};
  EXPECT_EQ(h.Call("VRX_EncodeBase64", ps).bytes, "YWJj");
  EXPECT_EQ(h.Call("VRX_MapTextChars", ps).bytes, "nop");
  static_cast<vrx::TextValue*>(t.Slot())->length = -5;
  EXPECT_EQ(h.Call("VRX_EncodeURL", ps).bytes, "");
  EXPECT_EQ(h.Call("VRX_MapTextChars", ps).bytes, "");
  static_cast<vrx::TextValue*>(t.Slot())->length = 3;
}
