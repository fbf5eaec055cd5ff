// Running any method (and the classes beside it), confined (no documents, folders or terminal; small texts, BLOBs
// and arrays) and cut off after a few thousand statements: the interpreter and its
// built-in commands end with a result or a message, never a crash or a hang.
#include "fuzz_support.h"
#include "runner/runner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Sources sources = fuzz::MethodsAndClasses(data, size);
  runner::Program program;
  std::vector<std::string> errors;
  if (!runner::LoadSources(sources.methods, &program, &errors, sources.classes)) return 0;
  runner::RunOptions options;
  options.out = [](std::string_view) {};
  options.err = [](std::string_view) {};
  options.confined = true;
  options.statementLimit = 4096;
  int status = runner::RunProgram(program, "m0", {}, options);
  fuzz::Check(status == 0 || status == 1, "a run ended with neither success nor failure");
  return 0;
}
