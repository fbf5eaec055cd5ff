// The character-set tables over host texts, including texts whose length field says more
// or less than their handle holds: only the bytes that exist are touched, and the default
// tables go there and back.
#include "fuzz_support.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const int32_t tableNumber = input.I32();
  const int16_t lyingLength = int16_t(input.U16());
  const std::string_view in = input.Rest().substr(0, kTextLimit);
  {
    fuzz::Text t(in);
    t.t.length = lyingLength;
    MacToISO(&t.t, tableNumber);
    ISOToMac(&t.t, tableNumber);
    fuzz::Check(t.t.length == lyingLength, "a table changed the length");
  }
  fuzz::Text t(in);
  MacToISO(&t.t, 1);
  ISOToMac(&t.t, 1);
  fuzz::Check(t.Bytes() == in, "the default tables do not go there and back", in);
  return 0;
}
