// `vrx commands` and `vrx call`.
#pragma once
#include <string>
#include <vector>

namespace host {
class Value;
}
namespace vrx {
struct CommandInfo;
}

namespace cli {
int ListCommands();
// Converts the ARGs of a call to host values of the kinds `row` declares (the kinds the
// ARGs name where row is null or declares none). False, with a message, at the first
// ARG that does not fit.
bool ConvertCallArgs(const vrx::CommandInfo* row, const std::vector<std::string>& args,
                     std::vector<host::Value>* values, std::string* error);
// args: NAME|SELECTOR, then ARGs and options (--raw).
int CallCommand(const std::vector<std::string>& args);
}  // namespace cli
