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
#include "runner/classes.h"
#include "runner/code.h"
#include "runner/runner.h"

namespace runner {

namespace {

namespace fs = std::filesystem;

constexpr uintmax_t kMaxMethodFile = 4u << 20;

// A method's name as the methods call it: Mac Roman, like every text of a method.
std::string MethodName(const std::string& path) {
  return fs::path(path).stem().string();
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
      "       vrx run --check PATH\n"
      "  PATH     a method file (.4dm), a folder of them, or a 4D project: its folder, its\n"
      "           Project or Sources folder, or its .4DProject file (the methods of\n"
      "           Sources/Methods, and its classes). Every method can be called. The\n"
      "           method named by the file, or \"main\" for a folder, or NAME, runs as\n"
      "           process 1 with the ARGs as its parameters $1..$n. They are texts: use\n"
      "           Num($1) where a number is meant. Names saved with their tokens\n"
      "           (Length:C16, Is text:K8:3, [Table:1]Field:2) are read; a command is\n"
      "           found by its number. A name vrx run does not have, or a table, is an\n"
      "           error when its line runs.\n"
      "  --check  run nothing: list each method's syntax error and every name vrx run\n"
      "           does not have, with file, line and column; status 1 when there is any.\n"
      "  --trace  every VRX_ call on standard error: process, method and line, arguments,\n"
      "           result, output parameters and how long it took.\n",
      stderr);
}

// The folder holding the methods of PATH, and the method PATH names (a file), or false.
bool MethodFolder(const fs::path& target, std::string* folder, std::string* fileMethod) {
  std::error_code ec;
  if (fs::is_regular_file(target, ec) && target.extension() == ".4DProject") {
    *folder = (target.parent_path() / "Sources" / "Methods").string();
    return true;
  }
  if (fs::is_regular_file(target, ec) && target.extension() == ".4dm") {
    *folder = target.has_parent_path() ? target.parent_path().string() : ".";
    *fileMethod = target.stem().string();
    return true;
  }
  if (!fs::is_directory(target, ec)) return false;
  *folder = target.string();
  // A 4D project keeps its methods in Project/Sources/Methods; accept its folders too.
  if (!HasMethodFiles(*folder)) {
    for (const char* sub : {"Methods", "Sources/Methods", "Project/Sources/Methods"})
      if (HasMethodFiles((target / sub).string())) {
        *folder = (target / sub).string();
        break;
      }
  }
  return true;
}

// The project's folder: the one holding Project/Sources/Methods (or Sources/Methods), or
// the folder of the methods themselves.
std::string DatabaseFolder(const std::string& methods) {
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(methods), ec).lexically_normal();
  if (p.filename().empty()) p = p.parent_path();
  if (p.filename() == "Methods" && p.parent_path().filename() == "Sources") {
    p = p.parent_path().parent_path();
    if (p.filename() == "Project") p = p.parent_path();
  }
  std::string out = p.string();
  if (out.empty() || out.back() != '/') out += '/';
  return out;
}

using Found = std::vector<std::pair<std::pair<int, int>, std::string>>;  // (line, col), message

// The calls below node i that cannot run here.
void FindUnrunnable(const Code& code, int32_t i, const MethodNames& names, Found* found) {
  if (i < 0) return;
  const Node& n = code.nodes[size_t(i)];
  if (n.op == Op::Builtin) {
    const BuiltinSite& b = code.builtins[size_t(n.a)];
    if (b.info == &UnrunnableBuiltin(Unrunnable::UnknownName) ||
        b.info == &UnrunnableBuiltin(Unrunnable::Table)) {
      // the message the line reports when it runs
      const Node& message = code.nodes[size_t(code.args[size_t(n.b)])];
      found->push_back({{b.line, b.col}, code.consts[size_t(message.a)].str()});
    }
  } else if (n.op == Op::Method) {
    const CallSite& c = code.calls[size_t(n.a)];
    if (!names.count(Lowercase(c.name)))
      found->push_back({{c.line, c.col}, UnavailableMessage(c.name).empty() ? "Unknown command or method: " + c.name
                                                                           : UnavailableMessage(c.name)});
  }
  ForEachChild(code, n, [&](int32_t child) { FindUnrunnable(code, child, names, found); });
}

void FindUnrunnable(const Code& code, const std::vector<CStmt>& body, const MethodNames& names,
                    Found* found) {
  for (const CStmt& s : body) {
    for (int32_t e : {s.target, s.expr, s.to, s.step}) FindUnrunnable(code, e, names, found);
    for (const CBranch& b : s.branches) {
      FindUnrunnable(code, b.cond, names, found);
      FindUnrunnable(code, b.body, names, found);
    }
    FindUnrunnable(code, s.body, names, found);
    FindUnrunnable(code, s.elseBody, names, found);
  }
}

// The methods' names; false with a message for each name given twice.
bool NameMethods(const std::vector<std::pair<std::string, std::string>>& sources,
                 MethodNames* names, std::vector<std::string>* errors) {
  for (const auto& [path, text] : sources) {
    (void)text;
    std::string stem = MethodName(path);
    std::string key = Lowercase(stem);
    if (names->count(key)) {
      errors->push_back(path + ": another method is already named \"" +
                        stem + "\"");
      continue;
    }
    (*names)[key] = stem;
  }
  return errors->empty();
}

std::string Place(const std::string& path, int line, int col) {
  return path + ":" + std::to_string(line) + ":" + std::to_string(col) + ": ";
}

}  // namespace

std::vector<std::string> CheckSources(
    const std::vector<std::pair<std::string, std::string>>& sources,
    const std::vector<std::pair<std::string, std::string>>& classes) {
  std::vector<std::string> problems;
  MethodNames names;
  NameMethods(sources, &names, &problems);
  Program scratch;  // the variables' slots
  auto report = [&](const std::string& path, const std::vector<const Code*>& codes) {
    Found found;
    for (const Code* code : codes) FindUnrunnable(*code, code->body, names, &found);
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [where, message] : found)
      problems.push_back(Place(path, where.first, where.second) +
                         message);
  };
  for (const auto& [path, text] : sources) {
    Method m;
    m.name = MethodName(path);
    SyntaxError e;
    if (!ParseMethod(text, names, &scratch, &m, &e)) {
      problems.push_back(Place(path, e.line, e.col) + "syntax error: " +
                         e.message);
      continue;
    }
    report(path, {m.code.get()});
  }
  for (const auto& [path, text] : classes) {
    ClassDef cls;
    SyntaxError e;
    if (!ParseClass(MethodName(path), text, names, &scratch, &cls, &e)) {
      problems.push_back(Place(path, e.line, e.col) + "syntax error: " + e.message);
      continue;
    }
    std::vector<const Code*> codes;
    for (const Method& m : cls.methods) codes.push_back(m.code.get());
    report(path, codes);
  }
  return problems;
}

bool LoadSources(const std::vector<std::pair<std::string, std::string>>& sources,
                 Program* program, std::vector<std::string>* errors,
                 const std::vector<std::pair<std::string, std::string>>& classes) {
  MethodNames names;
  if (!NameMethods(sources, &names, errors)) return false;
  for (const auto& [path, text] : sources) {
    Method m;
    m.name = MethodName(path);
    m.path = path;
    SyntaxError e;
    if (!ParseMethod(text, names, program, &m, &e)) {
      errors->push_back(Place(path, e.line, e.col) + "syntax error: " +
                        e.message);
      continue;
    }
    program->methods[Lowercase(m.name)] = std::move(m);
  }
  if (!classes.empty() && !program->classes) program->classes = std::make_shared<ClassStore>();
  for (const auto& [path, text] : classes) {
    std::string name = MethodName(path);
    auto [it, added] = program->classes->classes.try_emplace(name);
    SyntaxError e;
    if (!added) {
      errors->push_back(path + ": another class is already named \"" + name + "\"");
    } else if (!ParseClass(name, text, names, program, &it->second, &e)) {
      errors->push_back(Place(path, e.line, e.col) + "syntax error: " + e.message);
      program->classes->classes.erase(it);
    }
  }
  if (!errors->empty()) return false;
  ResolveCalls(program);
  ResolveClasses(program, errors);
  return errors->empty();
}

namespace {

// The (path, text) of every .4dm file of `folder`, by name; false with messages.
bool ReadFolder(const std::string& folder, std::vector<std::pair<std::string, std::string>>* sources,
                std::vector<std::string>* errors) {
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
    sources->emplace_back(p.string(), text.str());
  }
  return errors->empty();
}

// The folder of a project's classes beside its methods' folder, or "" when it has none:
// Project/Sources/Classes holds them.
std::string ClassFolder(const std::string& methods) {
  fs::path m(methods);
  std::error_code ec;
  std::vector<fs::path> candidates;
  if (m.filename() == "Methods") candidates.push_back(m.parent_path() / "Classes");
  for (const char* sub : {"Classes", "Sources/Classes", "Project/Sources/Classes"})
    candidates.push_back(m / sub);
  for (const fs::path& c : candidates)
    if (fs::is_directory(c, ec)) return c.string();
  return "";
}

bool ReadClasses(const std::string& methods, std::vector<std::pair<std::string, std::string>>* classes,
                 std::vector<std::string>* errors) {
  std::string folder = ClassFolder(methods);
  return folder.empty() || ReadFolder(folder, classes, errors);
}

// `vrx run --check PATH`: the problems on standard output, a count on standard error.
int CheckMethods(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> sources, classes;
  std::vector<std::string> errors;
  if (!ReadFolder(folder, &sources, &errors) || !ReadClasses(folder, &classes, &errors)) {
    for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
    return 2;
  }
  std::vector<std::string> problems = CheckSources(sources, classes);
  for (const std::string& p : problems) std::printf("%s\n", p.c_str());
  std::fflush(stdout);
  std::string classCount = classes.empty() ? "" : " and " + std::to_string(classes.size()) + " classes";
  std::fprintf(stderr, "%zu methods%s checked, %zu problems\n", sources.size(), classCount.c_str(),
               problems.size());
  return problems.empty() ? 0 : 1;
}

}  // namespace

bool LoadFolder(const std::string& folder, Program* program, std::vector<std::string>* errors) {
  std::vector<std::pair<std::string, std::string>> sources, classes;
  if (!ReadFolder(folder, &sources, errors) || !ReadClasses(folder, &classes, errors)) return false;
  return LoadSources(sources, program, errors, classes);
}

int RunMethods(int argc, char** argv) {
  std::string path, method;
  std::vector<std::string> args;
  bool options = true, trace = false, check = false;
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
    } else if (options && a == "--check") {
      check = true;
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
  std::string folder, fileMethod;
  if (!MethodFolder(fs::path(path), &folder, &fileMethod)) {
    std::fprintf(stderr, "vrx run: %s is neither a .4dm file, a folder nor a .4DProject file\n",
                 path.c_str());
    return 2;
  }
  if (check) return CheckMethods(folder);
  if (method.empty()) method = fileMethod.empty() ? "main" : fileMethod;
  Program program;
  std::vector<std::string> errors;
  if (!LoadFolder(folder, &program, &errors)) {
    for (const std::string& e : errors) std::fprintf(stderr, "%s\n", e.c_str());
    return 1;
  }
  if (!program.methods.count(Lowercase(method))) {
    std::fprintf(stderr, "vrx run: no method named \"%s\" in %s\n",
                 method.c_str(), folder.c_str());
    return 2;
  }
  host::Host h;
  if (!h.loaded()) {
    std::fprintf(stderr, "vrx run: cannot load the plug-in: %s\n", h.error().c_str());
    return 1;
  }
  std::vector<Value> params;
  for (const std::string& a : args) params.push_back(Value::Text(a));
  RunOptions opts;
  opts.host = &h;
  opts.trace = trace;
  opts.databaseFolder = DatabaseFolder(folder);
  int status = RunProgram(program, method, std::move(params), opts);
  std::fflush(stdout);
  return status;
}

}  // namespace runner
