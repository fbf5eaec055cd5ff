// Pieces every test program may share: a temporary folder, whole files, peers run
// through the shell or as child processes, random bytes and hex.
#pragma once
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
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

// How many descriptors this process has open (a leak check: compare before and after).
inline int OpenDescriptors() {
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd")) {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
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

// ---- peers in child processes ----------------------------------------------------------

// One line of what arrives on `fd` (without the newline); what came so far after
// `timeoutMs` of silence.
inline std::string ReadLine(int fd, int timeoutMs = 5000) {
  std::string line;
  char ch;
  while (line.size() < 4096) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0 || read(fd, &ch, 1) != 1) break;
    if (ch == '\n') break;
    line += ch;
  }
  return line;
}

// A child process writing to `out` and reading from `in` (its standard error is
// dropped); stopped when it goes out of scope, so a failed test leaves no peer behind.
struct Child {
  pid_t pid = -1;
  int in = -1;   // its standard input
  int out = -1;  // its standard output

  Child() = default;
  Child(Child&& o) noexcept
      : pid(std::exchange(o.pid, -1)), in(std::exchange(o.in, -1)), out(std::exchange(o.out, -1)) {}
  Child& operator=(Child&& o) noexcept {
    if (this != &o) {
      Stop();
      pid = std::exchange(o.pid, -1), in = std::exchange(o.in, -1), out = std::exchange(o.out, -1);
    }
    return *this;
  }
  ~Child() { Stop(); }

  // Waits at most `seconds` for the child to end: its exit status, or -1 (then it runs on).
  int Wait(int seconds = 5) {
    int status = 0;
    for (int i = 0; i < seconds * 100 && pid > 0; ++i) {
      if (waitpid(pid, &status, WNOHANG) == pid) {
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(10000);
    }
    return -1;
  }
  // Ends its input, then the child itself.
  void Stop() {
    if (in >= 0) close(std::exchange(in, -1));
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(std::exchange(pid, -1), nullptr, 0);
    }
    if (out >= 0) close(std::exchange(out, -1));
  }
  // Its next line of output as a port number; 0 when none came.
  uint16_t Port() { return uint16_t(std::atoi(ReadLine(out).c_str())); }
};

// Runs args[0] (a full path) with the arguments that follow it.
inline Child Spawn(const std::vector<std::string>& args) {
  int toChild[2], fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0) return {};
  if (pipe2(fromChild, O_CLOEXEC) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return {};
  }
  Child c;
  c.pid = fork();
  if (c.pid == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 2);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(toChild[0]);
  close(fromChild[1]);
  c.in = toChild[1];
  c.out = fromChild[0];
  return c;
}

// A Python program given as text, with its arguments.
inline Child SpawnPython(const std::string& script, std::vector<std::string> args = {}) {
  args.insert(args.begin(), {"/usr/bin/python3", "-c", script});
  return Spawn(args);
}

}  // namespace vrxtest
