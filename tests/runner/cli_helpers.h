// Running the vrx command from tests, and scratch folders.
#pragma once
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

struct CliResult {
  int status = -1;  // exit status; -1 when killed
  std::string out, err;
};

struct TempDir {
  std::string path;
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vrx_runner_XXXXXX").string();
    path = mkdtemp(tmpl.data()) ? tmpl : "";
  }
  ~TempDir() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(path + "/" + name, std::ios::binary) << text;
  }
};

inline std::string ReadAll(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A program started in the background; Wait() collects its status and output.
struct Spawned {
  pid_t pid = -1;
  std::string outFile, errFile;
};

// Starts PROGRAM ARGS... under timeout(1), so that nothing a test starts can hang it.
inline Spawned Spawn(const std::string& program, const std::vector<std::string>& args,
                     const std::string& ioDir, int timeoutSeconds = 120) {
  Spawned s;
  s.outFile = ioDir + "/out";
  s.errFile = ioDir + "/err";
  std::string outFile = s.outFile, errFile = s.errFile;
  std::vector<std::string> argv = {"timeout", "-k", "5", std::to_string(timeoutSeconds), program};
  argv.insert(argv.end(), args.begin(), args.end());
  pid_t pid = fork();
  if (pid == 0) {
    int o = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int e = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int i = open("/dev/null", O_RDONLY);  // no terminal to answer CONFIRM
    if (o < 0 || e < 0 || i < 0) _exit(126);
    dup2(i, 0);
    dup2(o, 1);
    dup2(e, 2);
    std::vector<char*> cargv;
    for (std::string& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    execvp("timeout", cargv.data());
    _exit(127);
  }
  s.pid = pid;
  return s;
}

inline CliResult Wait(const Spawned& s) {
  CliResult r;
  int status = 0;
  if (s.pid > 0 && waitpid(s.pid, &status, 0) == s.pid && WIFEXITED(status))
    r.status = WEXITSTATUS(status);
  std::string outFile = s.outFile, errFile = s.errFile;
  r.out = ReadAll(outFile);
  // The sanitizer build warns about the host's coroutines on every run; that line is
  // not the program's output.
  std::string err = ReadAll(errFile), kept;
  std::istringstream lines(err);
  for (std::string line; std::getline(lines, line);)
    if (line.find("doesn't fully support makecontext") == std::string::npos) kept += line + "\n";
  r.err = kept;
  return r;
}

inline CliResult RunVrx(const std::vector<std::string>& args, int timeoutSeconds = 120) {
  TempDir io;
  return Wait(Spawn(VRX_CLI_PATH, args, io.path, timeoutSeconds));
}
