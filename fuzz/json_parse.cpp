// JSON Parse on any bytes: a value or an error that says where; what it reads, written
// back and read again, gives the same text.
#include <string>

#include "fuzz_support.h"
#include "runner/objects.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view json(reinterpret_cast<const char*>(data), size);
  runner::Value v;
  std::string error;
  if (!runner::JsonParse(json, &v, &error)) {
    fuzz::Check(error.find("offset") != std::string::npos, "an error without a place", json);
    return 0;
  }
  std::string once = runner::JsonStringify(v, false);
  runner::Value again;
  fuzz::Check(runner::JsonParse(once, &again, &error), "its own output does not parse", json);
  fuzz::Check(runner::JsonStringify(again, false) == once, "a second round trip differs", json);
  runner::JsonStringify(v, true);
  return 0;
}
