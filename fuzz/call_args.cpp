// The argument conversions of `vrx call`: any words, against any row of the command
// table or none, give values or a message, never an escaping exception.
#include <string>
#include <vector>

#include "abi/command_table.h"
#include "cli/call_command.h"
#include "fuzz_support.h"
#include "host/host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input input{data, size};
  const auto table = vrx::CommandTable();
  const uint8_t pick = input.Byte();
  const vrx::CommandInfo* row = pick < table.size() ? &table[pick] : nullptr;
  // The words are separated by zero bytes, as in argv.
  std::vector<std::string> args;
  std::string_view rest = input.Rest();
  for (size_t at = 0; at <= rest.size() && args.size() < 40;) {
    size_t zero = rest.find('\0', at);
    if (zero == std::string_view::npos) zero = rest.size();
    args.emplace_back(rest.substr(at, zero - at));
    at = zero + 1;
  }
  // "@PATH" reads a file: only names in the current folder, none of the system's.
  for (const std::string& a : args) {
    size_t at = a.find('@');
    if (at != std::string::npos && a.find('/', at) != std::string::npos) return 0;
  }
  std::vector<host::Value> values;
  std::string error;
  if (cli::ConvertCallArgs(row, args, &values, &error)) {
    fuzz::Check(values.size() == args.size(), "a value per argument");
    for (size_t i = 0; i < values.size(); ++i) {
      vrx::Kind k = values[i].kind();
      if (k == vrx::Kind::Text) fuzz::Check(values[i].Bytes().size() <= 32767, "an over-long text");
      if (k == vrx::Kind::String) fuzz::Check(values[i].Bytes().size() <= 255, "an over-long string");
      if (k == vrx::Kind::Date) {
        vrx::DateValue d = values[i].AsDate();
        fuzz::Check((d.year == 0 && d.month == 0 && d.day == 0) ||
                        (d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31),
                    "an impossible date accepted");
      }
    }
  } else {
    fuzz::Check(!error.empty(), "a refusal without a message");
  }
  return 0;
}
