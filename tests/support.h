// Pieces every test program may share: a temporary folder, whole files, peers run
// through the shell, random bytes and hex.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace vrxtest {

// A fresh folder under /tmp, removed with everything in it at the end of the test.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    char tmpl[] = "/tmp/vrx-test-XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

inline std::string ReadFile(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary);
  f << bytes;
}

// Runs a shell command, returns its standard output; *status gets the exit status.
inline std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return out;
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int rc = pclose(p);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

inline std::string RandomBytes(std::mt19937& rng, size_t n) {
  std::string s(n, '\0');
  for (char& c : s) c = char(rng() & 0xFF);
  return s;
}

inline std::string Hex(const std::string& bytes) {
  static const char* k = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out += k[b >> 4];
    out += k[b & 15];
  }
  return out;
}

inline std::string Unhex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += char(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

inline std::vector<std::string> Lines(const std::string& s) {
  std::vector<std::string> out;
  std::stringstream in(s);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

// Runs a Python script file (written into dir) with the given input file.
inline std::string RunPython(const TempDir& dir, const std::string& script,
                             const std::string& input, const std::string& env = "") {
  WriteFile(dir / "script.py", script);
  WriteFile(dir / "input.txt", input);
  int status = -1;
  std::string out = Shell(env + " /usr/bin/python3 " + dir / "script.py" + " < " +
                              dir / "input.txt",
                          &status);
  EXPECT_EQ(status, 0) << out;
  return out;
}

}  // namespace vrxtest
