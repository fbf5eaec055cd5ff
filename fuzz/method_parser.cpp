// The method parser and compiler on any source: a program or messages, never a crash.
// The input may hold several methods, separated by zero bytes, so that calls between
// them are resolved.
#include "fuzz_support.h"
#include "runner/runner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  runner::Program program;
  std::vector<std::string> errors;
  bool ok = runner::LoadSources(fuzz::MethodSources(data, size), &program, &errors);
  fuzz::Check(ok == errors.empty(), "loading failed without a message, or messages on success");
  return 0;
}
