// `vrx run` as a user runs it: the method test suite (tests/runner/methods, one
// process per test method), the command line, and the exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/runner/cli_helpers.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> SuiteMethods() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(fs::path(VRX_SOURCE_DIR) / "tests/runner/methods")) {
    std::string stem = e.path().stem().string();
    if (e.path().extension() == ".4dm" && stem.rfind("test_", 0) == 0) names.push_back(stem);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class MethodSuite : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(MethodSuite, Passes) {
  std::string folder = std::string(VRX_SOURCE_DIR) + "/tests/runner/methods";
  CliResult r = RunVrx({"run", folder, "--method", GetParam()});
  EXPECT_EQ(r.status, 0) << "stdout:\n" << r.out << "stderr:\n" << r.err;
  EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(Methods, MethodSuite, ::testing::ValuesIn(SuiteMethods()),
                         [](const auto& info) { return info.param; });

TEST(MethodSuite, IsNotEmpty) { EXPECT_GE(SuiteMethods().size(), 8u); }

TEST(VrxRun, FileFolderMethodAndArguments) {
  TempDir dir;
  dir.Write("main.4dm", "ECHO(\"main \"+String(Count parameters))\n");
  dir.Write("Greet.4dm", "C_TEXT($1;$2)\nECHO(\"hello \"+$1+$2)\nECHO(Shout($1))\n");
  dir.Write("Shout.4dm", "$0:=Uppercase($1;*)+\"!\"\n");
  dir.Write("notes.txt", "not a method");
  // an editor's lock file: a link to nowhere
  std::filesystem::create_symlink(dir.path + "/nowhere", dir.path + "/.#main.4dm");

  CliResult r = RunVrx({"run", dir.path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "main 0\n");

  // A file runs its own method; the folder's other methods can be called.
  r = RunVrx({"run", dir.path + "/Greet.4dm", "wörld", "-x"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "hello wörld-x\nWÖRLD!\n");

  r = RunVrx({"run", "--method", "greet", dir.path, "a"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "hello a\nA!\n");

  r = RunVrx({"run", dir.path, "--method=Greet", "--", "--method"});
  EXPECT_EQ(r.out, "hello --method\n--METHOD!\n");
}

TEST(VrxRun, ProjectFolderLayout) {
  TempDir dir;
  std::filesystem::create_directories(dir.path + "/Project/Sources/Methods");
  dir.Write("Project/Sources/Methods/main.4dm", "ECHO(Helper)\n");
  dir.Write("Project/Sources/Methods/Helper.4dm", "$0:=\"from the project\"\n");
  CliResult r = RunVrx({"run", dir.path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "from the project\n");
}

TEST(VrxRun, ExitStatuses) {
  TempDir dir;
  dir.Write("ok.4dm", "ECHO(\"ok\")\n");
  dir.Write("fails.4dm", "ECHO(\"one\")\nASSERT(1=2;\"broken\")\nECHO(\"two\")\n");
  dir.Write("crashes.4dm", "ARRAY TEXT($a;1)\nECHO($a{2})\n");

  CliResult r = RunVrx({"run", dir.path + "/fails.4dm"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "one\n");
  EXPECT_EQ(r.err, "Assertion failed in method \"fails\" line 2: broken\n");

  r = RunVrx({"run", dir.path + "/crashes.4dm"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error in method \"crashes\" line 2: index 2 is out of range for $a (size 1)\n");

  r = RunVrx({"run", dir.path});  // no main
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("no method named \"main\""), std::string::npos) << r.err;

  r = RunVrx({"run", dir.path + "/missing.4dm"});
  EXPECT_EQ(r.status, 2);
  r = RunVrx({"run"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("usage: vrx run"), std::string::npos);

  // A syntax error anywhere in the folder: nothing runs.
  dir.Write("broken.4dm", "\nWhile (True)\n");
  r = RunVrx({"run", dir.path + "/ok.4dm"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, dir.path + "/broken.4dm:2:1: syntax error: this block is not closed (missing End while)\n");
}

TEST(VrxRun, ExplainsUnknownCommandsAndTextArgumentsAndAnswersConfirm) {
  TempDir dir;
  dir.Write("add.4dm", "$n:=$1+1\n");
  CliResult r = RunVrx({"run", dir.path + "/add.4dm", "41"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("line 1: the operator + does not apply to a text and a real (a text, such as a "
                       "command-line argument, becomes a number with Num: Num($1))"),
            std::string::npos) << r.err;
  dir.Write("add.4dm", "$n:=Num($1)+1\nCONFIRM(\"Go on?\")\nECHO(String($n)+\" \"+String(OK))\n");
  r = RunVrx({"run", dir.path + "/add.4dm", "41"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "Go on? [OK/Cancel] OK (standard input is not a terminal)\n42 1\n");

  // An unknown name elsewhere does not stop a method that never reaches it; --check
  // lists it without running anything.
  dir.Write("other.4dm", "ECHO(1)\n  FROBNICATE DOCUMENT($x;1)\n");
  r = RunVrx({"run", dir.path + "/add.4dm", "41"});
  EXPECT_EQ(r.status, 0) << r.err;
  r = RunVrx({"run", "--check", dir.path});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, dir.path + "/other.4dm:2:3: Unknown command or method: FROBNICATE DOCUMENT\n");
  EXPECT_EQ(r.err, "2 methods checked, 1 problems\n");
  r = RunVrx({"run", dir.path + "/other.4dm"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "1\n");
  EXPECT_EQ(r.err, "Error in method \"other\" line 2: Unknown command or method: FROBNICATE DOCUMENT\n");
}

TEST(VrxRun, ProjectFilesAndFoldersAndCheck) {
  TempDir dir;
  std::filesystem::create_directories(dir.path + "/Project/Sources/Methods");
  std::filesystem::create_directories(dir.path + "/Project/Sources/Classes");
  dir.Write("Project/App.4DProject", "{}");
  dir.Write("Project/Sources/Methods/main.4dm",
            "//%attributes = {\"invisible\":true}\nC_TEXT:C284($t)\n  SET DATABASE PARAMETER:C642(1;2)\n");
  dir.Write("Project/Sources/Methods/Util 2.4dm", "$0:=\"util\"\n");
  dir.Write("Project/Sources/Classes/Thing.4dm", "Class constructor\nThis.a:=1\n");
  for (std::string path : {dir.path, dir.path + "/Project", dir.path + "/Project/Sources",
                           dir.path + "/Project/App.4DProject"}) {
    CliResult r = RunVrx({"run", path});
    EXPECT_EQ(r.status, 1) << path;
    EXPECT_EQ(r.err, "Error in method \"main\" line 3: SET DATABASE PARAMETER (4D command 642) is not available in vrx run: it needs the database\n") << path;
    r = RunVrx({"run", "--check", path});
    EXPECT_EQ(r.status, 1) << path;
    EXPECT_EQ(r.out, dir.path + "/Project/Sources/Methods/main.4dm:3:3: SET DATABASE PARAMETER (4D command 642) is not available in vrx run: it needs the database\n");
  }
  dir.Write("Project/Sources/Methods/main.4dm", "$t:=Util 2\nECHO(Uppercase:C13($t))\n");
  CliResult r = RunVrx({"run", "--check", dir.path});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "");
  r = RunVrx({"run", dir.path});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "UTIL\n");
}
