// Date headers of mail and the Web, and the compact form: no input upsets the parser,
// and what the formatter writes parses back to the same second.
#include "dates/dates.h"
#include "fuzz_support.h"

using namespace vrx;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const int32_t mode = int32_t(input.Byte() % 3);
  // Offsets as GmtOffset gives them: within a day, on 24 bits.
  const int32_t offset = int32_t(input.U16() % (2 * 14 * 3600 / 60)) * 60 - 14 * 3600;
  const std::string_view in = input.Rest();
  uint32_t seconds = ParseDateHeader(in, mode, offset);
  if (mode != 1) {
    std::string header = FormatDateHeader(seconds, 0, offset);
    fuzz::Check(ParseDateHeader(header, mode, offset) == seconds, "a formatted header parses differently",
                header);
  }
  DateValue date;
  int32_t time;
  SecondsToDate(seconds, 0, offset, &date, &time);
  return 0;
}
