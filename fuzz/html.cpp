// HTML entities and tag stripping, checked against the pass-by-pass model for inputs
// small enough to keep it cheap.
#include "fuzz_support.h"
#include "tests/codecs/oracle.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const int32_t mode = int32_t(input.Byte() % 5);
  const std::string_view in = input.Rest().substr(0, kTextLimit);
  fuzz::Text t(in);
  const std::string encoded = fuzz::Take(HTMLEncode(t.t, mode));
  const std::string decoded = fuzz::Take(HTMLDecode(t.t, mode));
  fuzz::Take(HTMLToText(t.t));
  fuzz::Check(encoded.size() <= kTextLimit, "result over the text limit");
  if (in.size() <= 128) {
    fuzz::Check(encoded == oracle::HTMLEncode(in, mode), "HTML encode differs from the model", in);
    fuzz::Check(decoded == oracle::HTMLDecode(in, mode), "HTML decode differs from the model", in);
  }
  return 0;
}
