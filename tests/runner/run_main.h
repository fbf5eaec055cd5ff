// Runs a line or two of 4D as method "main" for the tables of documented results.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "runner/runner.h"

// Runs method "main" with `helper` beside it; the ECHO lines joined by |, or "error: "
// and the first error ("load: " when it does not load).
inline std::string RunMain(const std::string& main, const std::string& helper = "") {
  runner::Program program;
  std::vector<std::string> lines, errors;
  std::vector<std::pair<std::string, std::string>> files{{"main.4dm", main}};
  if (!helper.empty()) files.emplace_back("helper.4dm", helper);
  if (!runner::LoadSources(files, &program, &errors)) return "load: " + (errors.empty() ? "" : errors[0]);
  runner::RunOptions opts;
  opts.out = [&](std::string_view l) { lines.emplace_back(l); };
  opts.err = [&](std::string_view l) { errors.emplace_back(l); };
  runner::RunProgram(program, "main", {}, opts);
  if (!errors.empty()) return "error: " + errors[0];
  std::string log;
  for (const std::string& l : lines) log += (log.empty() ? "" : "|") + l;
  return log;
}
