// Loading a project's methods and the `vrx run` command.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/host.h"
#include "platform/services.h"
#include "runner/code.h"
#include "runner/runner.h"

namespace runner {

namespace {

namespace fs = std::filesystem;

constexpr uintmax_t kMaxMethodFile = 4u << 20;

// A method's name as the methods call it: Mac Roman, like every text of a method.
std::string MethodName(const std::string& path) {
  return platform::Utf8ToMacRoman(fs::path(path).stem().string());
}

bool HasMethodFiles(const std::string& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".4dm") return true;
  return false;
}

void Usage() {
  std::fputs(
      "usage: vrx run PATH [--method NAME] [--trace] [ARG...]\n"
      "  PATH     a method file (.4dm) or a folder of them; every method of the folder can\n"
      "           be called. The method named by the file, or \"main\" for a folder, or\n"
      "           NAME, runs as process 1 with the ARGs as its parameters $1..$n. They are\n"
      "           texts: use Num($1) where a number is meant.\n"
      "  --trace  every VRX_ call on standard error: process, method and line, arguments,\n"
      "           result, output parameters and how long it took.\n",
      stderr);
}

}  // namespace

bool LoadSources(const std::vector<std::pair<std::string, std::string>>& sources,
                 Program* program, std::vector<std::string>* errors) {
  MethodNames names;
  for (const auto& [path, text] : sources) {
    (void)text;
    std::string stem = MethodName(path);
    std::string key = Lowercase(stem);
    if (names.count(key)) {
      errors->push_back(path + ": another method is already named \"" +
                        platform::MacRomanToUtf8(stem) + "\"");
      continue;
    }
    names[key] = stem;
  }
  if (!errors->empty()) return false;
  for (const auto& [path, text] : sources) {
    Method m;
    m.name = MethodName(path);
    m.path = path;
    SyntaxError e;
    if (!ParseMethod(text, names, &m, &e)) {
      errors->push_back(path + ":" + std::to_string(e.line) + ":" + std::to_string(e.col) +
                        (e.unknownCommand ? ": " : ": syntax error: ") +
                        platform::MacRomanToUtf8(e.message));
      continue;
    }
    program->methods[Lowercase(m.name)] = std::move(m);
  }
  if (!errors->empty()) return false;
  Compile(program);
  return true;
}

bool LoadFolder(const std::string& folder, Program* program, std::vector<std::string>* errors) {
  std::error_code ec;
  std::vector<fs::path> files;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    // An entry that cannot be looked at (a broken link, an editor's lock file) is skipped.
    std::error_code entry;
    if (p.extension() == ".4dm" && it->is_regular_file(entry)) files.push_back(p);
  }
  if (ec) {
    errors->push_back(folder + ": " + ec.message());
    return false;
  }
  std::sort(files.begin(), files.end());
  std::vector<std::pair<std::string, std::string>> sources;
  for (const fs::path& p : files) {
    uintmax_t size = fs::file_size(p, ec);
    if (ec || size > kMaxMethodFile) {
      errors->push_back(p.string() + ": " + (ec ? ec.message() : "the method file is too large"));
      continue;
    }
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
      errors->push_back(p.string() + ": cannot read the file");
      continue;
    }
    sources.emplace_back(p.string(), text.str());
  }
  if (!errors->empty()) return false;
  return LoadSources(sources, program, errors);
}

int RunMethods(int argc, char** argv) {
  std::string path, method;
  std::vector<std::string> args;
  bool options = true, trace = false;
  for (int i = 0; i < argc; ++i) {
    std::string a = argv[i];
    if (options && path.empty() && (a == "-h" || a == "--help")) {
      Usage();
      return 0;
    }
    if (options && a == "--") {
      options = false;
    } else if (options && a == "--method") {
      if (i + 1 >= argc) {
        Usage();
        return 2;
      }
      method = argv[++i];
    } else if (options && a == "--trace") {
      trace = true;
    } else if (options && a.rfind("--method=", 0) == 0) {
      method = a.substr(9);
    } else if (path.empty()) {
      path = a;
    } else {
      args.push_back(a);
      options = false;  // what follows belongs to the method
    }
  }
  if (path.empty()) {
    Usage();
    return 2;
  }
  std::error_code ec;
  fs::path target(path);
  std::string folder;
  if (fs::is_directory(target, ec)) {
    folder = target.string();
    // A 4D project keeps its methods in Project/Sources/Methods; accept its folders too.
    if (!HasMethodFiles(folder)) {
      for (const char* sub : {"Methods", "Sources/Methods", "Project/Sources/Methods"})
        if (HasMethodFiles((target / sub).string())) {
          folder = (target / sub).string();
          break;
        }
    }
    if (method.empty()) method = "main";
  } else if (fs::is_regular_file(target, ec) && target.extension() == ".4dm") {
    folder = target.has_parent_path() ? target.parent_path().string() : ".";
    if (method.empty()) method = target.stem().string();
  } else {
    std::fprintf(stderr, "vrx run: %s is neither a .4dm file nor a folder\n", path.c_str());
    return 2;
  }
  Program program;
  std::vector<std::string> errors;
  if (!LoadFolder(folder, &program, &errors)) {
    for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
    return 1;
  }
  method = platform::Utf8ToMacRoman(method);
  if (!program.methods.count(Lowercase(method))) {
    std::fprintf(stderr, "vrx run: no method named \"%s\" in %s\n",
                 platform::MacRomanToUtf8(method).c_str(), folder.c_str());
    return 2;
  }
  host::Host h;
  if (!h.loaded()) {
    std::fprintf(stderr, "vrx run: cannot load the plug-in: %s\n", h.error().c_str());
    return 1;
  }
  std::vector<Value> params;
  for (const std::string& a : args) params.push_back(Value::Text(platform::Utf8ToMacRoman(a)));
  RunOptions opts;
  opts.host = &h;
  opts.trace = trace;
  int status = RunProgram(program, method, std::move(params), opts);
  std::fflush(stdout);
  return status;
}

}  // namespace runner
