// Arrays, documents, BLOBs, processes and errors against 4D's documented results (the
// examples of each command's page where they can run here), one table per family. A
// line of 4D runs as method "main"; documents live in a fresh temporary folder, named
// in the source as DIR.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "runner/runner.h"
#include "tests/runner/run_main.h"

namespace {

struct Case {
  std::string source;
  std::string log;  // ECHO lines joined by |, or "error: " and the start of the first error
};

std::string Replace(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size()) s.replace(at, from.size(), to);
  return s;
}

class SystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/vrx-system-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Run(const std::string& source, const std::string& helper = "") {
    return Replace(RunMain(Replace(source, "DIR", dir_), helper), dir_, "DIR");
  }

  void Check(const Case* cases, size_t n, const std::string& helper = "") {
    for (size_t i = 0; i < n; ++i) {
      std::filesystem::remove_all(dir_);
      std::filesystem::create_directory(dir_);
      std::string got = Run(cases[i].source, helper);
      std::string want = cases[i].log;
      if (want.rfind("error: ", 0) == 0) EXPECT_EQ(got.substr(0, want.size()), want) << cases[i].source;
      else EXPECT_EQ(got, want) << cases[i].source;
    }
  }

  std::string dir_;
};

// Joins the elements of array $a (1 to size) as "x,y,z"
constexpr const char* kJoin = "$t:=\"\"\nFor ($i;1;Size of array($a))\n$t:=$t+String($a{$i})+\",\"\nEnd for\n";

std::string Joined(const std::string& setup, const std::string& tail = "ECHO($t)") {
  return setup + "\n" + kJoin + tail;
}

TEST_F(SystemTest, Arrays) {
  const std::string twoD = "ARRAY TEXT($a;3;5)\n$a{2}{3}:=\"x\"\n";
  const std::string names = "ARRAY TEXT($n;5)\nARRAY LONGINT($c;5)\n$n{1}:=\"b\"\n$n{2}:=\"a\"\n$n{3}:=\"b\"\n"
                            "$n{4}:=\"a\"\n$n{5}:=\"c\"\nFor ($i;1;5)\n$c{$i}:=$i\nEnd for\n";
  const std::string show = "$t:=\"\"\nFor ($i;1;5)\n$t:=$t+$n{$i}+String($c{$i})+\" \"\nEnd for\nECHO($t)";
  const std::vector<Case> cases = {
      {twoD + "ECHO(String(Size of array($a))+\" \"+String(Size of array($a{2}))+\" \"+$a{2}{3}+\" \"+String(Type($a)))",
       "3 5 x 13"},
      {twoD + "ARRAY TEXT($a;4;2)\nECHO(String(Size of array($a{4}))+$a{2}{3})", "error: Error in method \"main\" line 4: index 3"},
      {twoD + "SORT ARRAY($a{2};<)\nAPPEND TO ARRAY($a{1};\"w\")\nINSERT IN ARRAY($a;1)\n"
               "ECHO($a{3}{1}+String(Size of array($a{2}))+String(Size of array($a{1})))",
       "x65"},
      {twoD + "ARRAY LONGINT($a;2)", "error: Error in method \"main\" line 3: ARRAY LONGINT: $a is already"},
      {names + "MULTI SORT ARRAY($n;>;$c;<)\n" + show, "a4 a2 b3 b1 c5 "},
      {names + "ARRAY POINTER($p;2)\nARRAY LONGINT($o;2)\n$p{1}:=->$n\n$p{2}:=->$c\n$o{1}:=-1\n"
                "MULTI SORT ARRAY($p;$o)\n" + show,
       "c5 b1 b3 a2 a4 "},
      {names + "MULTI SORT ARRAY($n;$c)", "error: Error in method \"main\" line 11: MULTI SORT ARRAY: no array is given"},
      {names + "SORT ARRAY($n;$c;<)\n" + show, "c5 b1 b3 a2 a4 "},
      {Joined("ARRAY LONGINT($a;5)\nFor ($i;1;5)\n$a{$i}:=$i*10\nEnd for\nDELETE FROM ARRAY($a;2;2)\nINSERT IN ARRAY($a;2;3)"),
       "10,0,0,0,40,50,"},
      {Joined("ARRAY TEXT($a;0)\nAPPEND TO ARRAY($a;\"x\")\nAPPEND TO ARRAY($a;\"y\")\nAPPEND TO ARRAY($a;\"x\")",
              "ECHO(String(Find in array($a;\"x\"))+String(Find in array($a;\"x\";2))+String(Find in array($a;\"z\"))+"
              "String(Count in array($a;\"x\")))"),
       "13-12"},
  };
  Check(cases.data(), cases.size());
}

TEST_F(SystemTest, Blobs) {
  const std::string filled = "C_BLOB($b)\nSET BLOB SIZE($b;1000;65)\n";
  const std::vector<Case> cases = {
      {"C_BLOB($b)\nARRAY TEXT($a;2;2)\n$a{1}{2}:=\"é\"\nVARIABLE TO BLOB($a;$b)\n$r:=Pi\nVARIABLE TO BLOB($r;$b;*)\n"
       "$o:=New object(\"x\";1)\nVARIABLE TO BLOB($o;$b;*)\n$off:=0\nBLOB TO VARIABLE($b;$a2;$off)\n"
       "BLOB TO VARIABLE($b;$r2;$off)\nBLOB TO VARIABLE($b;$o2;$off)\n"
       "ECHO($a2{1}{2}+String($r2=Pi)+JSON Stringify($o2)+String(OK)+String($off=BLOB size($b)))",
       "éTrue{\"x\":1}1True"},
      {"C_BLOB($b)\nTEXT TO BLOB(\"hello\";$b;UTF8 text without length)\n$x:=\"kept\"\nBLOB TO VARIABLE($b;$x)\nECHO(String(OK)+$x)",
       "0kept"},
      {"C_POINTER($p)\nC_BLOB($b)\nVARIABLE TO BLOB($p;$b)", "error: Error in method \"main\" line 3: VARIABLE TO BLOB: a pointer"},
      {filled + "COMPRESS BLOB($b)\nBLOB PROPERTIES($b;$c;$e;$s)\nECHO(String($c)+\" \"+String($e)+\" \"+String($s<100))\n"
                "EXPAND BLOB($b)\nECHO(String(BLOB size($b))+\" \"+String($b{999}))",
       "1 1000 True|1000 65"},
      {filled + "COMPRESS BLOB($b;GZIP fast compression mode)\nBLOB PROPERTIES($b;$c;$e)\n"
                "ECHO(String($c)+\" \"+String($e)+\" \"+String($b{0})+\" \"+String($b{1}))\nEXPAND BLOB($b)\nECHO(String(BLOB size($b)))",
       "-2 1000 31 139|1000"},
      {"C_BLOB($b)\nSET BLOB SIZE($b;10)\nCOMPRESS BLOB($b)\nECHO(String(OK)+String(BLOB size($b)))", "010"},
      {filled + "COMPRESS BLOB($b;GZIP best compression mode)\n$b{20}:=$b{20}+1\nEXPAND BLOB($b)", "error: Error in method \"main\" line 5: EXPAND BLOB: the compressed data is damaged"},
  };
  Check(cases.data(), cases.size());
}

TEST_F(SystemTest, ProcessesAndErrors) {
  const std::string helper = "ECHO(\"caught \"+String(Error)+\" in \"+Error method+\" line \"+String(Error line))\n";
  const std::string onErr = "ON ERR CALL(\"helper\")\n";
  const std::vector<Case> cases = {
      {onErr + "ASSERT(1=2;\"bad\")\nECHO(\"after\")", "caught -10518 in main line 2|after"},
      {"ASSERT(1=2;\"bad\")\nECHO(\"after\")", "error: Assertion failed in method \"main\" line 1: bad"},
      {onErr + "ASSERT(False)\nARRAY LONGINT($c;0)\nARRAY TEXT($m;0)\nARRAY TEXT($t;0)\nGET LAST ERROR STACK($c;$m;$t)\n"
               "ECHO(String(Size of array($c))+\" \"+String($c{1})+\" \"+$t{1})\nECHO(JSON Stringify(Last errors))",
       "caught -10518 in main line 2|1 -10518 Assertion failed|[{\"errCode\":-10518,\"componentSignature\":\"vrx\","
       "\"message\":\"Assertion failed\"}]"},
      {"ECHO(String(Undefined(Last errors))+String(Last errors=Null))", "FalseTrue"},
      {"vX:=0\nEXECUTE FORMULA(\"vX:=5*2\")\nECHO(String(vX))", "10"},
      {onErr + "EXECUTE FORMULA(\"$y:=1/\")\nECHO(Error formula)", "caught 1 in main line 2|$y:=1/"},
      {"EXECUTE FORMULA(\"nobody:=1\")", "error: Error in method \"main\" line 1: EXECUTE FORMULA: no method uses the variable nobody"},
      {"EXECUTE METHOD(\"helper\";*)", "caught 0 in  line 0"},
      {"EXECUTE METHOD(\"helper\";$r)", "error: Error in method \"main\" line 1: the method helper did not return"},
      {"ECHO(String(Semaphore(\"lock\"))+String(Semaphore(\"lock\";5))+String(Test semaphore(\"lock\")))\n"
       "CLEAR SEMAPHORE(\"lock\")\nECHO(String(Test semaphore(\"lock\")))",
       "FalseTrueTrue|False"},
      {"ECHO(Current process name+\" \"+String(Process state(Current process))+\" \"+String(Process state(99))+\" \"+"
       "String(Process number(\"main\")))",
       "Main 0 -100 1"},
  };
  Check(cases.data(), cases.size(), helper);
}

TEST_F(SystemTest, Documents) {
  const std::string written = "$ref:=Create document(\"DIR/a.txt\")\nSEND PACKET($ref;\"one;two;three\")\nCLOSE DOCUMENT($ref)\n";
  const std::vector<Case> cases = {
      {written + "$ref:=Open document(\"DIR/a.txt\";\"\";Read Mode)\n$t:=\"\"\nRepeat\nRECEIVE PACKET($ref;$p;\";\")\n"
                 "If (OK=1)\n$t:=$t+\"[\"+$p+\"]\"\nEnd if\nUntil (OK=0)\nCLOSE DOCUMENT($ref)\nECHO($t+Document)",
       "[one][two][three]DIR/a.txt"},
      {written + "$ref:=Open document(\"DIR/a.txt\";\"\";Read Mode)\nRECEIVE PACKET($ref;$p;20)\n$ok:=OK\n"
                 "RECEIVE PACKET($ref;$p;20)\nECHO(String($ok)+String(OK))",
       "10"},
      {written + "$ref:=Open document(\"DIR/a.txt\";\"\";Get Pathname)\nECHO(Document+\" \"+String($ref=?00:00:00?))",
       "DIR/a.txt True"},
      {written + "CREATE FOLDER(\"DIR/x/y\";*)\nCOPY DOCUMENT(\"DIR/a.txt\";\"DIR/x/\";\"b.txt\")\n"
                 "COPY DOCUMENT(\"DIR/a.txt\";\"DIR/x/b.txt\";*)\nMOVE DOCUMENT(\"DIR/x/b.txt\";\"DIR/x/y/c.txt\")\n"
                 "ECHO(String(Test path name(\"DIR/x/y/c.txt\"))+String(Test path name(\"DIR/x/b.txt\"))+"
                 "String(Test path name(\"DIR/x/y\")))",
       "1-430"},
      {written + "COPY DOCUMENT(\"DIR/a.txt\";\"DIR/a.txt\")", "error: Error in method \"main\" line 4: COPY DOCUMENT: "},
      {"CREATE FOLDER(\"DIR/p/q\")", "error: Error in method \"main\" line 1: cannot create the folder"},
      {"$o:=Path to object(\"/a/b/c.txt\")\nECHO(JSON Stringify($o))\nECHO(Object to path($o)+\" \"+"
       "Object to path(Path to object(\"/a/b/\")))",
       "{\"parentFolder\":\"/a/b/\",\"name\":\"c\",\"extension\":\".txt\",\"isFolder\":false}|/a/b/c.txt /a/b/"},
      {"ECHO(Convert path system to POSIX(\"/a b/é\";*)+\" \"+Convert path POSIX to system(\"/a%20b\";*)+\" \"+"
       "Convert path system to POSIX(\"/a b\"))",
       "/a%20b/%C3%A9 /a b /a b"},
      {"$h:=System folder(Home folder)\nECHO(String($h[[Length($h)]]=\"/\")+\" \"+String(Length(System folder(Favorites Win)))"
       "+\" \"+Substring(Get 4D folder(Logs folder);Length(Get 4D folder(Database folder))+1))",
       "True 0 Logs/"},
      // File and Folder take 4D's folder constants and filesystem names for the same folders
      {"$db:=Get 4D folder(Database folder)\nECHO(String(Folder(fk database folder).path=$db)+String("
       "Folder(fk home folder;*).path=System folder(Home folder))+String(File(\"/RESOURCES/a/x.txt\").path="
       "(Get 4D folder(Current resources folder)+\"a/x.txt\"))+\" \"+Replace string(Folder(\"/SOURCES\").path+\" \"+"
       "Folder(\"/LOGS\";fk posix path).path+\" \"+File(\"/DATA/d.json\").path+\" \"+Folder(\"/PROJECTS\").path;$db;\"\"))",
       "TrueTrueTrue Project/Sources/ Logs/ Data/d.json /PROJECTS/"},
      {"$f:=Folder(55)", "error: Error in method \"main\" line 1: Folder: this system has no folder for the constant 55"},
      {"$f:=File(13)", "error: Error in method \"main\" line 1: File: the file constant 13 names a file"},
  };
  Check(cases.data(), cases.size());
}

TEST_F(SystemTest, Unavailable) {
  const std::vector<Case> cases = {
      {"ECHO(\"runs\")\nMESSAGE:C88(\"x\")", "error: Error in method \"main\" line 2: MESSAGE (4D command 88) is not "
                                                "available in vrx run: it needs windows"},
      {"$l:=New list", "error: Error in method \"main\" line 1: New list (4D command 375) is not available in vrx run: "
                       "it needs hierarchical lists"},
      {"If (False)\nPRINT SETTINGS\nEnd if\nBEEP", "error: Error in method \"main\" line 4: BEEP (4D command 151) is not "
                                                    "available in vrx run"},
      {"$t:=Table name:C256(1)", "error: Error in method \"main\" line 1: Table name (4D command 256) is not available in "
                                 "vrx run: it needs the database"},
      {"$t:=Nom de la table:C256(1)", "error: Error in method \"main\" line 1: Nom de la table (Table name) (4D command "
                                      "256) is not available in vrx run: it needs the database"},
      {"NO SUCH THING(1)", "error: Error in method \"main\" line 1: Unknown command or method: NO SUCH THING"},
  };
  Check(cases.data(), cases.size());
  std::string reference = runner::LanguageReference();
  for (const char* part : {"\n  MULTI SORT ARRAY [718]\n", "\nRefused (", "needs the database", " ALL RECORDS [47],",
                           "\nWhere vrx run departs"})
    EXPECT_NE(reference.find(part), std::string::npos) << part;
  EXPECT_EQ(reference.find(" SORT ARRAY [229],"), std::string::npos);  // implemented, so not refused
}

}  // namespace
