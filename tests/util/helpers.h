// Shared pieces of the subsystem's tests: Python peers, on top of the common test support.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "tests/support.h"

namespace utiltest {

using namespace vrxtest;

inline std::string Run(const std::string& command, int* status = nullptr) { return Shell(command, status); }

// Runs a Python script file (written into dir) with the given input file.
inline std::string RunPython(const TempDir& dir, const std::string& script,
                             const std::string& input, const std::string& env = "") {
  WriteFile(dir / "script.py", script);
  WriteFile(dir / "input.txt", input);
  int status = -1;
  std::string out = Run(env + " /usr/bin/python3 " + dir / "script.py" + " < " +
                            dir / "input.txt",
                        &status);
  EXPECT_EQ(status, 0) << out;
  return out;
}

}  // namespace utiltest
