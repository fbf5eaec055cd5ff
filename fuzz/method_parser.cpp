// The method parser and compiler on any source: a program or messages, never a crash.
// The input may hold several methods, separated by zero bytes, so that calls between
// them are resolved.
#include <vector>

#include "fuzz_support.h"
#include "runner/runner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::pair<std::string, std::string>> sources;
  for (size_t at = 0; at <= rest.size() && sources.size() < 4;) {
    size_t zero = rest.find('\0', at);
    if (zero == std::string_view::npos) zero = rest.size();
    sources.emplace_back("m" + std::to_string(sources.size()), std::string(rest.substr(at, zero - at)));
    at = zero + 1;
  }
  runner::Program program;
  std::vector<std::string> errors;
  bool ok = runner::LoadSources(sources, &program, &errors);
  fuzz::Check(ok == errors.empty(), "loading failed without a message, or messages on success");
  return 0;
}
