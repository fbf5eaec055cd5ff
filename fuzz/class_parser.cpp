// Class files on any source: a program or messages, never a crash. The input may hold
// several class files, separated by zero bytes (C0, C1...), so that Class extends
// between them is resolved, circles included.
#include "fuzz_support.h"
#include "runner/runner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::pair<std::string, std::string>> classes = fuzz::MethodSources(data, size);
  for (size_t i = 0; i < classes.size(); ++i) classes[i].first = "C" + std::to_string(i);
  runner::Program program;
  std::vector<std::string> errors;
  bool ok = runner::LoadSources({}, &program, &errors, classes);
  fuzz::Check(ok == errors.empty(), "loading failed without a message, or messages on success");
  return 0;
}
