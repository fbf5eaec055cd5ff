// `vrx commands` and `vrx call`.
#pragma once
#include <string>
#include <vector>

namespace cli {
int ListCommands();
// args: NAME|SELECTOR, then ARGs and options (--raw).
int CallCommand(const std::vector<std::string>& args);
}  // namespace cli
