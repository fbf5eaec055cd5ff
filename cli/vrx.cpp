// The vrx command: lists the plug-in's commands, calls one, runs 4D methods.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/call_command.h"
#include "runner/runner.h"

#ifndef VRX_VERSION
#define VRX_VERSION "unknown"
#endif

namespace {
const char* kUsage =
    "usage: vrx COMMAND [ARGS]\n"
    "\n"
    "  vrx commands                       list every selector: name, result, built or not, parameters\n"
    "  vrx call NAME|SELECTOR [ARG...]    run one command in a fresh host; prints one JSON object\n"
    "      [--raw]                        write only the result's bytes\n"
    "  vrx run PATH [--method NAME] [ARG...]  run 4D methods (.4dm files) against the plug-in\n"
    "  vrx --version                      the version\n"
    "  vrx --help                         this text\n"
    "\n"
    "ARG: long:N int:N time:SECONDS date:YYYY-MM-DD longs:N,N,... (longs: is empty)\n"
    "     string:BYTES text:BYTES blob:BYTES picture:BYTES, or with %HEX or @PATH instead of :BYTES\n"
    "Parameters not given are absent, as when a 4D method passes fewer.\n";
}

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs(kUsage, args.empty() ? stderr : stdout);
    return args.empty() ? 2 : 0;
  }
  if (args[0] == "--version" || args[0] == "-V") {
    std::puts("vrx " VRX_VERSION);
    return 0;
  }
  if (args[0] == "commands") return cli::ListCommands();
  if (args[0] == "call") return cli::CallCommand({args.begin() + 1, args.end()});
  if (args[0] == "run") return runner::RunMethods(argc - 2, argv + 2);
  std::fprintf(stderr, "vrx: unknown command '%s' (see vrx --help)\n", args[0].c_str());
  return 2;
}
