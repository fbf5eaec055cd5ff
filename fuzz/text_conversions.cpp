// The stream conversions: any option bits on any text leave a text sized to its handle
// and within the text limit.
#include "codecs/conversions.h"
#include "fuzz_support.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const int32_t options = int32_t(input.U16());
  const std::string_view in = input.Rest().substr(0, kTextLimit);
  TextValue t = NewText(in);
  ApplyTextConversions(&t, options);
  fuzz::Check(t.length >= 0 && size_t(t.length) <= kTextLimit, "conversion left a bad length");
  fuzz::Take(t);
  return 0;
}
