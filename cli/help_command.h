// `vrx help`: the command reference in the terminal, or as a Markdown or HTML document.
#pragma once
#include <string>
#include <vector>

namespace cli {
extern const char* const kHelpUsage;
// args: nothing (the index), NAME|SELECTOR|TOPIC, --markdown or --html.
int HelpCommand(const std::vector<std::string>& args);
}  // namespace cli
