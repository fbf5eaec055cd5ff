// The method parser and compiler on any source: a program or messages, never a crash.
// The input may hold several methods and classes, separated by zero bytes, so that calls
// between them are resolved.
#include "fuzz_support.h"
#include "runner/runner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Sources sources = fuzz::MethodsAndClasses(data, size);
  runner::Program program;
  std::vector<std::string> errors;
  bool ok = runner::LoadSources(sources.methods, &program, &errors, sources.classes);
  fuzz::Check(ok == errors.empty(), "loading failed without a message, or messages on success");
  return 0;
}
