// The method runner: loads a project's methods (.4dm files) and runs them against the
// plug-in through the host, each 4D process as one of the host's processes.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runner/syntax.h"
#include "runner/value.h"

namespace host {
class Host;
}

namespace runner {

struct ClassStore;
// Compiled methods point at the methods they call: a program moves, it is not copied.
struct Program {
  Program() = default;
  Program(Program&&) = default;
  Program& operator=(Program&&) = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  std::map<std::string, Method> methods;  // lower-cased name -> method
  // Every process and interprocess variable the methods name, by slot (lower-cased).
  std::vector<std::string> processVars, interprocessVars;
  std::unordered_map<std::string, int32_t> processSlots, interprocessSlots;  // name -> slot
  int32_t commandSites = 0;  // VRX_ command calls in all methods
  // The classes of Project/Sources/Classes and the code of formulas (classes.h); null
  // until a class or a formula is read.
  std::shared_ptr<ClassStore> classes;
};

// Reads every .4dm file of `folder` (a method's name is its file name without the
// extension) and parses them all. On failure *errors holds "file:line:col: message"
// lines, one per file in error, and nothing is to run.
[[nodiscard]] bool LoadFolder(const std::string& folder, Program* program, std::vector<std::string>* errors);
// Parses methods given as (path, source) pairs, and classes likewise (a class is named
// by its file); `path` names them in messages.
[[nodiscard]] bool LoadSources(const std::vector<std::pair<std::string, std::string>>& sources,
                 Program* program, std::vector<std::string>* errors,
                 const std::vector<std::pair<std::string, std::string>>& classes = {});

// Loads every method that parses and lists, as "file:line:col: message" in file order,
// each method's syntax error and each name vrx run does not have (commands, constants,
// methods, tables), which would fail when its line runs. Empty: everything can run.
std::vector<std::string> CheckSources(
    const std::vector<std::pair<std::string, std::string>>& sources,
    const std::vector<std::pair<std::string, std::string>>& classes = {});

using LineSink = std::function<void(std::string_view utf8Line)>;

struct RunOptions {
  host::Host* host = nullptr;  // null: VRX_ commands and New process report an error
  LineSink out;                // ECHO lines; standard output when empty
  LineSink err;                // errors and failed assertions; standard error when empty
  // Each VRX_ call as a line on `err`: process, arguments, outputs, result and duration.
  bool trace = false;
  // For methods nobody has read: no documents, folders or terminal, texts and BLOBs of
  // at most 64 KB, arrays of at most 1,000 elements.
  bool confined = false;
  // The run ends with an error after about this many statements; 0: no limit.
  uint32_t statementLimit = 0;
  // The project's own folder, for Get 4D folder; the current folder when empty.
  std::string databaseFolder;
};

// Runs `method` as process 1 with `params` as $1..$n, then every process it started,
// until all have ended. Returns 0, or 1 after a run-time error or a failed ASSERT.
int RunProgram(const Program& program, std::string_view method, std::vector<Value> params,
               const RunOptions& options);

// `vrx run PATH [--method NAME] [--trace] [ARG...]` or `vrx run --check PATH`; argv holds
// the words after "run".
int RunMethods(int argc, char** argv);

// What `vrx help language` prints: the commands implemented, those refused and what each
// would need, and where the runner departs from 4D's documentation.
std::string LanguageReference();

}  // namespace runner
