// The vrx command: lists the plug-in's commands, tells what each does, calls one, runs
// 4D methods.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/call_command.h"
#include "cli/help_command.h"
#include "runner/runner.h"

#ifndef VRX_VERSION
#define VRX_VERSION "unknown"
#endif

namespace {
const char* kUsage =
    "usage: vrx COMMAND [ARGS]\n"
    "\n"
    "  vrx help [NAME|SELECTOR|TOPIC]     what a command does, its parameters and result codes;\n"
    "                                     alone, lists the commands and topics (states, options, ...)\n"
    "  vrx commands                       list every selector: name, result, built or not, parameters\n"
    "  vrx call NAME|SELECTOR [ARG...]    run one command in a fresh host; prints one JSON object\n"
    "      [--raw]                        write only the result's bytes\n"
    "  vrx run PATH [--method NAME] [ARG...]  run 4D methods (.4dm files, a 4D project) against\n"
    "                                     the plug-in\n"
    "  vrx run --check PATH               list syntax errors and names vrx run does not have\n"
    "  vrx --version                      the version\n"
    "  vrx --help                         this text; vrx COMMAND --help for one command\n";

const char* kCommandsUsage =
    "usage: vrx commands\n"
    "\n"
    "Lists every selector from 1 to 114, then the extensions from 201 on: the command's\n"
    "name, its result kind, whether it is built, and its parameters' kinds ($1 first; in/out\n"
    "and ignored marked). vrx help NAME tells what the parameters mean.\n";

const char* kCallUsage =
    "usage: vrx call NAME|SELECTOR [ARG...] [--raw]\n"
    "\n"
    "Runs one command in a fresh host and prints one JSON object: the result and every\n"
    "parameter afterwards. Texts, strings and BLOBs show their bytes as \"hex\", and also as\n"
    "\"text\" (Mac Roman read as UTF-8) when every byte is printable. --raw writes only the\n"
    "result: a number, or the result's bytes.\n"
    "\n"
    "ARG: long:N int:N time:SECONDS date:YYYY-MM-DD longs:N,N,... (longs: is empty)\n"
    "     string:BYTES text:BYTES blob:BYTES picture:BYTES, or with %HEX or @PATH instead of :BYTES\n"
    "Parameters not given are absent, as when a 4D method passes fewer.\n";

bool AsksForHelp(const std::vector<std::string>& args) {
  return args.size() == 2 && (args[1] == "--help" || args[1] == "-h");
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "--version" || args[0] == "-V") {
    std::puts("vrx " VRX_VERSION);
    return 0;
  }
  if (args[0] == "help") return cli::HelpCommand({args.begin() + 1, args.end()});
  if (args[0] == "commands") {
    if (AsksForHelp(args)) return std::fputs(kCommandsUsage, stdout), 0;
    return cli::ListCommands();
  }
  if (args[0] == "call") {
    if (AsksForHelp(args)) return std::fputs(kCallUsage, stdout), 0;
    return cli::CallCommand({args.begin() + 1, args.end()});
  }
  if (args[0] == "run") return runner::RunMethods(argc - 2, argv + 2);
  std::fprintf(stderr, "vrx: unknown command '%s' (see vrx --help)\n", args[0].c_str());
  return 2;
}
