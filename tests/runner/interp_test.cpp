// The interpreter in process: syntax errors, run-time errors, ASSERT, processes and
// the bridge to the plug-in's commands, with output captured line by line.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "platform/memory.h"
#include "runner/runner.h"

using runner::Value;

namespace {

struct Outcome {
  bool loaded = false;
  int status = -1;
  std::vector<std::string> out, err;
};

using Sources = std::vector<std::pair<std::string, std::string>>;

Outcome RunMethods(const Sources& sources, std::vector<Value> params = {}, std::string method = "main",
                   runner::RunOptions opts = {}) {
  Outcome o;
  runner::Program program;
  if (!runner::LoadSources(sources, &program, &o.err)) return o;
  o.loaded = true;
  host::Host h;
  EXPECT_TRUE(h.loaded()) << h.error();
  opts.host = &h;
  opts.out = [&](std::string_view l) { o.out.emplace_back(l); };
  opts.err = [&](std::string_view l) { o.err.emplace_back(l); };
  o.status = runner::RunProgram(program, method, std::move(params), opts);
  return o;
}

Outcome RunMain(const std::string& source) { return RunMethods({{"main.4dm", source}}); }

std::string Joined(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\n";
  return s;
}

}  // namespace

TEST(Syntax, ErrorsNameFileLineAndColumn) {
  struct Case {
    const char* source;
    const char* where;  // "line:col"
    const char* message;
  };
  const Case cases[] = {
      {"If (True)\n  ECHO(1)\n", "1:1", "missing End if"},
      {"$x:=(1+2\n", "1:9", "expected \")\""},
      {"ECHO(\"abc)\n", "1:6", "not closed"},
      {"$d:=!2024-02-30!\n", "1:5", "does not exist"},
      {"$d:=?12:60:00?\n", "1:5", "?HH:MM:SS?"},
      {"\n\nElse\n", "3:1", "Else without If"},
      {"ECHO(1;2)\n", "1:1", "ECHO takes 1 parameter, not 2"},
      {"Substring(\"a\")\n", "1:1", "2 to 3 parameters"},
      {"VRX_GetLocalAddress(5)\n", "1:1", "must be a variable"},
      {"$x:=IDLE\n", "1:5", "IDLE does not return a value"},
      {"$x+1\n", "1:1", "assignment or a call"},
      {"$x:=1 @\n", "1:7", "unexpected character '@'"},
      {"$t:=\"\xC3\xA9\" x\n", "1:9", "expected the end of the line"},  // columns count characters
      {"$x:=\"a\\q\"\n", "1:7", "unknown escape"},
      {"Case of\n: (True)\n  ECHO(1)\nElse\n: (False)\nEnd case\n", "5:1", "after Else"},
      {"/* open\n comment\n", "1:1", "comment is not closed"},
      {"For ($i;1)\nEnd for\n", "1:10", "expected \";\""},
      {"Repeat\n$i:=1\n", "1:1", "missing Until"},
      {"VRX_GetStreamRef(1;2)\n", "1:1", "at most 1 parameters"},
      {"3:=4\n", "1:2", "only a variable"},
      {"$p:=->3\n", "1:5", "-> points to variables and array elements only"},
      {"$x:=((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((1))))))))))))))))"
       "))))))))))))))))))))))))))))))))))))))))))))))))))\n", "1:69", "too deeply nested"},
  };
  for (const Case& c : cases) {
    Outcome o = RunMain(c.source);
    EXPECT_FALSE(o.loaded) << c.source;
    ASSERT_EQ(o.err.size(), 1u) << c.source;
    EXPECT_EQ(o.err[0].rfind(std::string("main.4dm:") + c.where + ": syntax error: ", 0), 0u)
        << c.source << " -> " << o.err[0];
    EXPECT_NE(o.err[0].find(c.message), std::string::npos) << c.source << " -> " << o.err[0];
  }
}

TEST(Names, TokensUnknownNamesAndTablesFailOnlyWhenTheirLineRuns) {
  struct Case {
    const char* source;
    const char* out;    // ECHO lines, joined by "|"
    const char* error;  // the run-time error, or "" when the method ends well
  };
  const Case cases[] = {
      // Commands by their number, whatever the name; constants by name.
      {"ARRAY TEXT:C222($a;2)\nECHO(Longueur:C16(\"abc\")+Size of array:C274($a))\n", "5", ""},
      {"C_LONGINT:C283($n)\nIf (True:C214) & Not:C34(False:C215)\nECHO(Read Mode:K24:5)\nEnd if\n", "2", ""},
      {"ECHO(1)\n  FROBNICATE DOCUMENT($x)\nECHO(2)\n", "1",
       "Error in method \"main\" line 2: Unknown command or method: FROBNICATE DOCUMENT"},
      {"$x:=1+Get frobnicated value(1)\n", "", "line 1: Unknown command or method: Get frobnicated value"},
      {"SET DATABASE PARAMETER:C642(1;2)\n", "", "line 1: SET DATABASE PARAMETER (4D command 642) is not available in vrx run: it needs the database"},
      {"$x:=SR Doc 2 Report(1)\n", "", "line 1: Unknown command or method: SR Doc 2 Report"},
      {"$x:=Frobnicated:K99:1\n", "", "line 1: Unknown constant: Frobnicated"},
      {"If (False)\n  NOT A COMMAND(1)\n  Unknown method here\nEnd if\nECHO(\"ran\")\n", "ran", ""},
      // Tables parse; using one is the error.
      {"ECHO(1)\n[Customers:1]Name:2:=\"x\"\n", "1",
       "line 2: tables are not available in vrx run ([Customers]Name)"},
      {"QUERY:C277([Customer Orders:3];[Customer Orders:3]Order Date:5=!2024-01-02!)\n", "",
       "line 1: tables are not available in vrx run (QUERY)"},
      {"$x:=[T:5]Attributes:9.kind\n", "", "line 1: tables are not available in vrx run ([T]Attributes)"},
      {"$p:=->[Customers]Name\n", "", "line 1: tables are not available in vrx run ([Customers]Name)"},
      {"USE SET:C118(\"$s\")\nUSE NAMED SELECTION(\"n\")\n", "", "line 1: USE SET (4D command 118) is not available in vrx run: it needs the database"},
      {"ALL RECORDS:C47([Customers])\n", "", "line 1: tables are not available in vrx run (ALL RECORDS)"},
      {"QUERY:C277([T:1]; & ;[T:1]F:2#0;*)\n", "", "line 1: tables are not available in vrx run (QUERY)"},
      {"APPLY TO SELECTION:C70([T];[T]F:=1)\n", "", "tables are not available in vrx run (APPLY TO SELECTION)"},
      {"QUERY:C277([T:1]; & [T:1]F:2=1)\n", "", "tables are not available in vrx run (QUERY)"},
      {"QUERY SELECTION:C341([T]; [T]F:2; >=; 3; *)\n", "", "tables are not available in vrx run (QUERY SELECTION)"},
      {"ARRAY LONGINT($a;2)\nSORT ARRAY($a;&)\n", "", "line 2: SORT ARRAY: the order is > or <"},
      {"ARRAY LONGINT($a;2)\nSORT ARRAY($a;>;$a)\n", "", "line 2: SORT ARRAY: > or < comes last, after the arrays"},
      {"ECHO(1)\nBegin SQL:C948\n  SELECT a, b FROM t INTO :$x;\nEnd SQL:C949\n", "1",
       "line 2: Begin SQL (4D command 948) is not available in vrx run: it needs 4D's SQL engine"},
  };
  for (const Case& c : cases) {
    Outcome o = RunMain(c.source);
    ASSERT_TRUE(o.loaded) << c.source << Joined(o.err);
    std::string out;
    for (const std::string& l : o.out) out += (out.empty() ? "" : "|") + l;
    EXPECT_EQ(out, c.out) << c.source;
    EXPECT_EQ(o.status, *c.error ? 1 : 0) << c.source << Joined(o.err);
    if (*c.error) {
      ASSERT_EQ(o.err.size(), 1u) << c.source << Joined(o.err);
      EXPECT_NE(o.err[0].find(c.error), std::string::npos) << c.source << " -> " << o.err[0];
    }
  }
}

TEST(Names, EveryBuiltinNumberIsThatOf4DsCommandOfTheSameName) {
  for (const runner::BuiltinInfo& b : runner::Builtins()) {
    if (b.number == 0) continue;
    // An obsolete command keeps its number under a name marked _O_.
    std::string name = runner::Lowercase(runner::CommandName(b.number));
    if (name.rfind("_o_", 0) == 0) name.erase(0, 3);
    EXPECT_EQ(name, runner::Lowercase(b.name)) << b.name << " " << b.number;
  }
  Outcome o = RunMain("CHERCHER:C277($x)\n");  // QUERY as a French 4D saves it
  ASSERT_EQ(o.err.size(), 1u);
  EXPECT_NE(o.err[0].find("line 1: CHERCHER (QUERY) (4D command 277) is not available in vrx run: it needs the database"), std::string::npos) << o.err[0];
  o = RunMain("ECHO(Est un texte:K8:3)\nECHO(Pi:K30:1>3.1415)\n");  // by the token when the name is unknown
  EXPECT_EQ(o.out, (std::vector<std::string>{"2", "True"}));
}

TEST(Names, MethodNamesWithDigitsAndSpaces) {
  Outcome o = RunMethods({{"main.4dm", "4D_ALERT(\"a\")\nECHO(Util 2(3))\n"},
                          {"4D_ALERT.4dm", "//%attributes = {\"lang\":\"en\"}\nECHO($1)\n"},
                          {"Util 2.4dm", "$0:=$1*2\n"}});
  ASSERT_TRUE(o.loaded) << Joined(o.err);
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"a", "6"}));
}

TEST(Names, CheckListsSyntaxErrorsAndUnknownNamesWithTheirPlace) {
  std::vector<std::string> problems = runner::CheckSources(
      {{"a.4dm", "ECHO(1)\nIf (Nope:C9999)\n  $x:=[T:1]F:1+Missing(1)\nEnd if\n"},
       {"b.4dm", "$x:=(1\n"},
       {"c.4dm", "ECHO(Length:C16(\"ok\"))\nb\n"}});
  EXPECT_EQ(problems, (std::vector<std::string>{
                          "a.4dm:2:5: Unknown command: Nope",
                          "a.4dm:3:7: tables are not available in vrx run ([T]F)",
                          "a.4dm:3:16: Unknown command or method: Missing",
                          "b.4dm:1:7: syntax error: expected \")\", found the end of the line",
                      }));
  EXPECT_TRUE(runner::CheckSources({{"main.4dm", "ECHO(Length:C16(\"ok\"))\n"}}).empty());
}

TEST(Syntax, LongOperatorChainsAreRefusedNotOverflowed) {
  std::string ok = "$x:=0", tooLong = "$x:=0";
  for (int i = 0; i < 1000; ++i) ok += "+1";
  for (int i = 0; i < 200000; ++i) tooLong += "+1";
  Outcome o = RunMain(ok + "\nECHO($x)\n");
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, std::vector<std::string>{"1000"});
  o = RunMain(tooLong + "\n");
  EXPECT_FALSE(o.loaded);
  ASSERT_EQ(o.err.size(), 1u);
  EXPECT_NE(o.err[0].find("main.4dm:1:2006: syntax error: this expression has too many operators"),
            std::string::npos) << o.err[0];
  // Dereferences nest as deeply: a chain of a million is refused, not a stack overflow.
  std::string arrows = "$x:=$p";
  for (int i = 0; i < 1000000; ++i) arrows += "->";
  o = RunMain(arrows + "\n");
  EXPECT_FALSE(o.loaded);
  ASSERT_EQ(o.err.size(), 1u);
  EXPECT_NE(o.err[0].find("too many operators"), std::string::npos) << o.err[0];
}

TEST(Syntax, NothingRunsWhenAnyFileHasAnError) {
  Outcome o = RunMethods({{"main.4dm", "ECHO(\"ran\")\nother\n"}, {"other.4dm", "If (True)\n"},
                   {"third.4dm", "$x:=)\n"}});
  EXPECT_FALSE(o.loaded);
  EXPECT_TRUE(o.out.empty());
  ASSERT_EQ(o.err.size(), 2u) << Joined(o.err);  // one line per file in error
  EXPECT_EQ(o.err[0].rfind("other.4dm:1:1:", 0), 0u) << o.err[0];
  EXPECT_EQ(o.err[1].rfind("third.4dm:1:5:", 0), 0u) << o.err[1];
}

TEST(Syntax, NamesWithSpacesCommentsAndLineEnds) {
  Outcome o = RunMain(
      "\xEF\xBB\xBF// a comment\r\n"
      "ARRAY LONGINT($a;2) /* inline */ ` old-style comment\r"
      "$n:=Size of array($a)\n"
      "/* a comment\n over lines */\n"
      "  case OF\n  : ($n=2)\n  ECHO(\"two\")\n  end CASE\n"
      "If(Current process=1)\nECHO(Milliseconds>=0)\nEnd if\n");
  ASSERT_TRUE(o.loaded) << Joined(o.err);
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"two", "True"}));
}

TEST(Runtime, ErrorsNameMethodAndLineAndStopTheProcess) {
  struct Case {
    std::string source;
    std::string message;
  };
  std::string bigText = "$t:=\"xxxxxxxx\"\nFor ($i;1;12)\n$t:=$t+$t\nEnd for\n";  // 32768 bytes
  const Case cases[] = {
      {"ECHO(\"before\")\n$x:=1/0\nECHO(\"after\")\n",
       "Error in method \"main\" line 2: Division by zero"},
      {"ECHO(\"before\")\n$x:=5\\(5-5)\nECHO(\"after\")\n", "line 2: Division by zero"},
      {"ECHO(\"before\")\n$x:=5%0\nECHO(\"after\")\n", "line 2: Division by zero"},
      {"ECHO(\"before\")\nNoSuchMethod(1)\nECHO(\"after\")\n", "line 2: Unknown command or method: NoSuchMethod"},
      {"ECHO(\"before\")\nnosuch\nECHO(\"after\")\n", "line 2: Unknown command or method: nosuch"},
      {"ECHO(\"before\")\n$r:=VRX_GetStreamRef(\"1\")\nECHO(\"after\")\n",
       "line 2: VRX_GetStreamRef: parameter 1 expects a longint, not a text"},
      {"ECHO(\"before\")\n" + bigText + "$r:=VRX_EncodeBase64($t;0)\nECHO(\"after\")\n",
       "line 6: VRX_EncodeBase64: parameter 1: a text of 32768 bytes is too long"},
      {"ECHO(\"before\")\nECHO($undefined)\nECHO(\"after\")\n",
       "line 2: the variable $undefined is not defined"},
      {"ECHO(\"before\")\nECHO($2)\nECHO(\"after\")\n", "line 2: the parameter $2 was not passed"},
      {"ECHO(\"before\")\nARRAY LONGINT($a;2)\n$a{3}:=1\nECHO(\"after\")\n",
       "line 3: index 3 is out of range for $a (size 2)"},
      {"ECHO(\"before\")\n$t:=\"a\"\n$t:=1\nECHO(\"after\")\n",
       "line 3: cannot put a real into $t, which is a text"},
      {"ECHO(\"before\")\nIf (1)\nEnd if\nECHO(\"after\")\n",
       "line 2: the condition must be a boolean, not a real"},
      {"ECHO(\"before\")\n$x:=\"a\"+1\nECHO(\"after\")\n",
       "line 2: the operator + does not apply to a text and a real"},
      {"ECHO(\"before\")\n$x:=Char(55296)\nECHO(\"after\")\n", "line 2: Char: the code 55296 is not a character"},
      {"ECHO(\"before\")\nDOCUMENT TO BLOB(\"/nonexistent/x\";$b)\nECHO(\"after\")\n",
       "line 2: cannot open the document \"/nonexistent/x\""},
      {"ECHO(\"before\")\nFor ($i;1;2;0)\nEnd for\nECHO(\"after\")\n",
       "line 2: the step of For cannot be 0"},
      // the call depth or, in a sanitizer build's larger frames, the stack runs out first
      {"ECHO(\"before\")\n$x:=Recurse\nECHO(\"after\")\n",
       "line 1: stack overflow: calls and expressions nest too deeply"},
      // a command-line argument is a text: the message says how to make it a number
      {"ECHO(\"before\")\n$x:=\"5\"-2\nECHO(\"after\")\n", "a text and a real (a text, such as a "
       "command-line argument, becomes a number with Num: Num($1))"},
      {"ECHO(\"before\")\n$r:=VRX_GetStreamRef(\"1\")\nECHO(\"after\")\n", "becomes a number with Num"},
      {"ECHO(\"before\")\n$x:=Abs(Int(\"3\"))\nECHO(\"after\")\n", "Int: the parameter must be a number, not "
       "a text (a text, such as"},
      {"ECHO(\"before\")\n$x:=True | 1\nECHO(\"after\")\n",
       "line 2: the operator | does not apply to a boolean and a real"},
      {"ECHO(\"before\")\nC_POINTER($p)\n$x:=$p->\nECHO(\"after\")\n", "line 3: the pointer is nil"},
      {"ECHO(\"before\")\nC_POINTER($p)\n$p->{1}:=2\nECHO(\"after\")\n", "line 3: the pointer is nil"},
      {"ECHO(\"before\")\n$p:=1\nAPPEND TO ARRAY($p->;2)\nECHO(\"after\")\n",
       "line 3: -> follows a pointer, and $p is a real"},
      {"ECHO(\"before\")\nC_BLOB($b)\n$x:=BLOB to longint($b;1)\nECHO(\"after\")\n",
       "line 3: BLOB to longint: 4 bytes at offset 0 are outside the BLOB (0 bytes)"},
      {"ECHO(\"before\")\n$d:=Open document(\"/nonexistent/x\")\nECHO(\"after\")\n",
       "line 2: Open document: cannot open \"/nonexistent/x\""},
  };
  for (const Case& c : cases) {
    Outcome o = RunMethods({{"main.4dm", c.source}, {"Recurse.4dm", "$0:=Recurse\n"}});
    ASSERT_TRUE(o.loaded) << c.source << Joined(o.err);
    EXPECT_EQ(o.status, 1) << c.source;
    EXPECT_EQ(o.out, std::vector<std::string>{"before"}) << c.source;
    ASSERT_EQ(o.err.size(), 1u) << c.source << Joined(o.err);
    EXPECT_NE(o.err[0].find(c.message), std::string::npos) << c.source << " -> " << o.err[0];
  }
}

TEST(Runtime, DeepRecursionThroughLongExpressionsStopsCleanly) {
  // Each call sits under 900 operators: the stack runs out before the call limit.
  std::string deep = "$0:=Deep($1+1)";
  for (int i = 0; i < 900; ++i) deep += "+1";
  for (const char* where : {"$x:=Deep(1)\n", "$p:=New process(\"Starter\";0)\n"}) {
    Outcome o = RunMethods({{"main.4dm", std::string(where) + "ECHO(\"main done\")\n"},
                            {"Starter.4dm", "$x:=Deep(1)\nECHO(\"not reached\")\n"},
                            {"Deep.4dm", deep + "\n"}});
    EXPECT_EQ(o.status, 1);
    ASSERT_EQ(o.err.size(), 1u) << Joined(o.err);
    EXPECT_EQ(o.err[0], "Error in method \"Deep\" line 1: stack overflow: calls and expressions nest too deeply");
    EXPECT_EQ(Joined(o.out).find("not reached"), std::string::npos);
  }
}

TEST(Runtime, ErrorInACalledMethodNamesThatMethod) {
  Outcome o = RunMethods({{"main.4dm", "$x:=Divide(1;0)\nECHO(\"after\")\n"},
                   {"Divide.4dm", "// divides\n\n$0:=$1/$2\n"}});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(o.out.empty());
  ASSERT_EQ(o.err.size(), 1u);
  EXPECT_EQ(o.err[0], "Error in method \"Divide\" line 3: Division by zero");
}

TEST(Runtime, ErrorInOneProcessLetsTheOthersFinish) {
  Outcome o = RunMethods({{"main.4dm",
                    "$p:=New process(\"Bad\";0)\nDELAY PROCESS(Current process;2)\n"
                    "ECHO(\"main done\")\n"},
                   {"Bad.4dm", "ECHO(\"bad starts\")\n$x:=1/0\nECHO(\"bad after\")\n"}});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, (std::vector<std::string>{"bad starts", "main done"}));
  ASSERT_EQ(o.err.size(), 1u);
  EXPECT_EQ(o.err[0], "Error in method \"Bad\" line 2: Division by zero");
}

TEST(Assert, FailureEndsEveryProcessWithStatus1) {
  Outcome o = RunMethods({{"main.4dm",
                    "$p:=New process(\"Ticker\";0)\nIDLE\nASSERT(True;\"fine\")\n"
                    "ASSERT(1=2;\"one is not \"+String(2))\nECHO(\"after\")\n"},
                   {"Ticker.4dm",
                    "For ($i;1;1000)\n  <>ticks:=$i\n  DELAY PROCESS(Current process;1)\nEnd for\n"
                    "ECHO(\"ticker finished\")\n"}});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(o.out.empty()) << Joined(o.out);
  ASSERT_EQ(o.err.size(), 1u) << Joined(o.err);
  EXPECT_EQ(o.err[0], "Assertion failed in method \"main\" line 4: one is not 2");
}

TEST(Assert, PassingAssertionsAndParametersFromTheCommandLine) {
  Outcome o = RunMethods({{"main.4dm",
                    "ASSERT(Count parameters=2)\nASSERT($1=\"caf\xC3\xA9\")\nECHO($1+\" \"+$2)\n"}},
                  {Value::Text("caf\xC3\xA9"), Value::Text("x")});
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, std::vector<std::string>{"caf\xC3\xA9 x"});
}

TEST(Runtime, NamesOutsideAsciiCompareWithoutRegardToCase) {
  Outcome o = RunMethods({{"main.4dm",
                           "$déjà:=Caf\xC3\xA9(2)\nECHO($DÉJÀ)\n$p:=New process(\"CAFÉ\";0;\"n\";3)\n"
                           "Naïve\n"},
                          {"Caf\xC3\xA9.4dm", "$0:=$1*10\nECHO(\"café \"+String($1))\n"}});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, (std::vector<std::string>{"café 2", "20", "café 3"}));
  ASSERT_EQ(o.err.size(), 1u);
  EXPECT_EQ(o.err[0], "Error in method \"main\" line 4: Unknown command or method: Naïve");
}

TEST(Plugin, OutputParametersAndResults) {
  Outcome o = RunMain(
      "C_REAL($real)\n"
      "$r:=VRX_GetLocalAddress($addr;$real;$ip{1};$version)\n"
      "ECHO(String($real)+\" \"+String($version))\n");
  // An element of an undefined variable cannot receive a value.
  EXPECT_EQ(o.status, 1);
  ASSERT_EQ(o.err.size(), 1u);
  EXPECT_NE(o.err[0].find("line 2: the variable $ip is not defined"), std::string::npos) << o.err[0];

  o = RunMain(
      "C_REAL($real)\nARRAY LONGINT($ip;1)\n"
      "$r:=VRX_GetLocalAddress($addr;$real;$ip{1};$version)\n"
      "ECHO(String($real)+\" \"+String($ip{1})+\" \"+String($version)+\" \"+String($r))\n"
      "$real:=$real/2\nECHO($real)\n");
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"5 -1 39854082 0", "2.5"}));
}

TEST(Calls, EachCallStartsWithFreshLocalsAndParameters) {
  // Calls reuse the slots of calls that have ended: nothing of one may reach the next,
  // recursive calls included.
  Outcome o = RunMethods(
      {{"main.4dm",
        "$s:=Probe(5;6)+Probe(7)+Probe(8;9)\nECHO($s+\" \"+String(Depth(4)))\n"},
       {"Probe.4dm",
        "C_LONGINT($2;$count)\nC_TEXT($t)\n$count:=$count+1\n"
        "$0:=String(Count parameters)+\":\"+String($count)+\":\"+String($2)+\":\"+String($t=\"\")+\" \"\n"
        "$t:=\"x\"\n"},
       {"Depth.4dm", "C_LONGINT($1;$0;$mine)\n$mine:=$1\nIf ($1>0)\n$0:=Depth($1-1)+$mine\nEnd if\n"}});
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, std::vector<std::string>{"2:1:6:True 1:1:0:True 2:1:9:True  10"});
}

TEST(Plugin, InOutLongArrayTakesTheHostsCount) {
  // VRX_GetStreamStates leaves $2 as it was for invalid references; the array and its
  // element 0 come back intact, and a real array stays real.
  Outcome o = RunMain(
      "ARRAY LONGINT($refs;3)\nARRAY REAL($st;2)\n$st{0}:=9\n$st{2}:=1.5\n"
      "$pos:=VRX_GetStreamStates($refs;$st)\n"
      "ECHO(String($pos)+\" \"+String(Size of array($st))+\" \"+String($st{0})+\" \"+String($st{2}))\n");
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, std::vector<std::string>{"-1 2 9 2"});
}

TEST(Plugin, LongArraysChangedBetweenCallsOfOneSite) {
  // The site passes an unchanged input array once; every change to it, another array
  // through the same pointer, and a change to the in/out array must reach the command.
  Outcome o = RunMain(
      "$l:=VRX_ListenStream(0;0;0;0;0;0;2130706433)\n"
      "ARRAY LONGINT($refs;3)\nARRAY LONGINT($other;3)\n$other{3}:=$l\nARRAY LONGINT($st;3)\n"
      "$p:=->$refs\n$out:=\"\"\n"
      "For ($i;1;7)\n"
      "  Case of\n"
      "    : ($i=2)\n      $refs{2}:=$l\n"
      "    : ($i=3)\n      APPEND TO ARRAY($refs;$l)\n"
      "    : ($i=4)\n      $p:=->$other\n      $st{1}:=5\n"
      "    : ($i=5)\n      DELETE FROM ARRAY($other;3)\n"
      "    : ($i=6)\n      $other{1}:=$l\n"
      "  End case\n"
      "  $r:=VRX_GetStreamStates($p->;$st;1)\n"
      "  $out:=$out+String($r)+\" \"\n"
      "End for\n"
      "ECHO($out+String($st{1})+\" \"+String($st{2}))\n");
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, std::vector<std::string>{"-1 2 2 3 -1 1 1 2 2"});
}

TEST(Plugin, OutputsOfEachKindCalledAgain) {
  // Host values and conversion buffers are reused from call to call: a second, shorter
  // answer must not keep anything of the first.
  Outcome o = RunMain(
      "C_DATE($d)\n"
      "VRX_SecondsToDate(86400*366+3723;$d;$t;1)\nVRX_SecondsToDate(86400*40+7;$d;$t;1)\n"
      "VRX_SecondsToDate(86400*59;$u;$t2;1)\n"
      "ECHO(String(Year of($d))+\"-\"+String(Month of($d))+\"-\"+String(Day of($d))+\" \"+String($t+0)+\" \"+String(Month of($u)))\n"
      "$s:=VRX_MapTextChars(\"Grüße aus Köln\")\nECHO($s)\n$s:=VRX_MapTextChars(\"Æb\")\nECHO($s)\n"
      "C_BLOB($b)\nTEXT TO BLOB(\"Hello, World!\";$b;UTF8 text without length)\nVRX_MapBlobChars($b)\n"
      "ECHO(BLOB to text($b;UTF8 text without length))\nSET BLOB SIZE($b;2)\nVRX_MapBlobChars($b)\n"
      "ECHO(BLOB to text($b;UTF8 text without length))\n");
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"1904-2-10 7 2", "Teüßr nhf Xöya", "Æo", "Uryyb, Jbeyq!", "He"}));
}

TEST(Plugin, TextResultsKeptElsewhereStayAsTheyWere) {
  // A call site reuses the storage of its earlier results that nothing else holds: the
  // ones a variable or an array kept must not change under the next calls.
  Outcome o = RunMain(
      "ARRAY TEXT($all;0)\nFor ($i;1;4)\n  $r:=VRX_MapTextChars(\"ab\"+String($i))\n"
      "  APPEND TO ARRAY($all;$r)\n  If ($i=1)\n    $first:=$r\n  End if\nEnd for\n"
      "$r:=VRX_MapTextChars(\"\")\n"
      "ECHO($first+\" \"+$all{1}+\" \"+$all{2}+\" \"+$all{3}+\" \"+$all{4}+\" [\"+$r+\"]\")\n");
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, std::vector<std::string>{"no1 no1 no2 no3 no4 []"});
}

TEST(Plugin, RepeatedTextParametersAndOutputs) {
  // A literal beyond ASCII is converted once per call site, a variable at every call;
  // an output equal to what its variable holds leaves the variable and a copy of it as
  // they are, and a different one changes the variable alone. Numbers worked out in an
  // argument keep the rules of mixed longint and real arithmetic.
  Outcome o = RunMain(
      "For ($i;1;2)\n  $r:=VRX_MapTextChars(\"K\u00f6ln\")\n  $t:=\"K\u00e9\"+String($i)\n"
      "  ECHO($r+\" \"+VRX_MapTextChars($t))\nEnd for\n"
      "$name:=\"abc\"\n$copy:=$name\n$k:=VRX_GetNameServer(\"abc\";$name;$port;0)\nECHO($name+$copy)\n"
      "$k:=VRX_GetNameServer(\"xy\";$name;$port;0)\nECHO($name+\" \"+$copy)\n"
      "$i:=3\n$x:=1.5\nVRX_SecondsToDate($i*86400+3.25;$d;$s;1)\n"
      "ECHO(String($i*2.5)+\" \"+String(Type($i*2))+\" \"+String(0.5-$i)+\" \"+String($x*$x)+\" \"+String($s))\n");
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"X\u00f6ya X\u00e91", "X\u00f6ya X\u00e92", "abcabc", "xy abc",
                                             "7.5 1 -2.5 2.25 00:00:03"}));
}

TEST(Plugin, BlobInOutParameter) {
  // VRX_DetachBlob hands the method a handle it owns; 4D code cannot free it, so the
  // test does.
  Outcome o = RunMain(
      "C_BLOB($b)\nTEXT TO BLOB(\"abc\";$b;Mac text without length)\n"
      "$h:=VRX_DetachBlob($b;0)\nECHO($h)\nECHO(BLOB to text($b;Mac text without length))\n"
      "$h:=VRX_DetachBlob($b;1)\nECHO($h)\nECHO(BLOB size($b))\n");
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  ASSERT_EQ(o.out.size(), 4u);
  EXPECT_EQ(o.out[1], "abc");
  EXPECT_EQ(o.out[3], "0");
  for (int i : {0, 2}) {
    platform::Handle h = platform::Handle(std::stoul(o.out[size_t(i)]));
    EXPECT_EQ(platform::HandleSize(h), 3);
    platform::DisposeHandle(h);
  }
}

TEST(Processes, ParametersNumbersAndInterprocessVariables) {
  Outcome o = RunMethods({{"main.4dm",
                    "<>sum:=0\n"
                    "For ($i;1;3)\n  $p:=New process(\"Add\";0;\"adder\"+String($i);$i;String($i*10))\nEnd for\n"
                    "ASSERT($p=4)\n"
                    "While (<>sum<66)\n  IDLE\nEnd while\nECHO(<>sum)\n"},
                   {"Add.4dm", "<>sum:=<>sum+$1+Num($2)\nECHO(String(Current process))\n"}});
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"2", "3", "4", "66"}));
}

TEST(Processes, StorageIsOneSharedObjectForEveryProcess) {
  Outcome o = RunMethods({{"main.4dm",
                           "Use (Storage)\n  Storage.counter:=New shared object(\"n\";0)\nEnd use\n"
                           "For ($i;1;3)\n  $p:=New process(\"Bump\";0)\nEnd for\n"
                           "While (Storage.counter.n<3)\n  IDLE\nEnd while\n"
                           "ECHO(String(Storage.counter.n)+String(OB Is shared(Storage)))\nStorage.x:=1\n"},
                          {"Bump.4dm", "Use (Storage.counter)\n  Storage.counter.n:=Storage.counter.n+1\nEnd use\n"}});
  EXPECT_EQ(o.out, (std::vector<std::string>{"3True"}));
  ASSERT_EQ(o.err.size(), 1u) << Joined(o.err);
  EXPECT_NE(o.err[0].find("line 11: a shared object or collection can only be changed inside Use"), std::string::npos) << o.err[0];
}

TEST(Processes, RunProgramWaitsForEveryProcess) {
  Outcome o = RunMethods({{"main.4dm", "$p:=New process(\"Late\";0)\nECHO(\"main ends\")\n"},
                   {"Late.4dm", "DELAY PROCESS(Current process;3)\nECHO(\"late ends\")\n"}});
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"main ends", "late ends"}));
}

TEST(Processes, DelayAnotherProcess) {
  Outcome o = RunMethods({{"main.4dm", "<>step:=0\n$p:=New process(\"Worker\";0)\nDELAY PROCESS($p;30)\n"
                                       "ECHO(String(Process state($p)))\nIDLE\nIDLE\nECHO(String(<>step))\n"
                                       "While (<>step=0)\n  DELAY PROCESS(Current process;5)\nEnd while\n"
                                       "ECHO(String(<>step))\n"},
                          {"Worker.4dm", "<>step:=1\n"}});
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"1", "0", "1"}));
}

TEST(Processes, UnknownProcessMethodIsARuntimeError) {
  Outcome o = RunMain("$p:=New process(\"Missing\";0)\nECHO(\"after\")\n");
  EXPECT_EQ(o.status, 1);
  ASSERT_EQ(o.err.size(), 1u);
  EXPECT_EQ(o.err[0], "Error in method \"main\" line 1: Unknown method: Missing");
}

TEST(Runner, WithoutAHostCommandsReportAnError) {
  runner::Program program;
  std::vector<std::string> errors;
  ASSERT_TRUE(runner::LoadSources({{"main.4dm", "ECHO(1+1)\n$r:=VRX_GetTicks\n"}}, &program, &errors));
  std::vector<std::string> out, err;
  runner::RunOptions opts;
  opts.out = [&](std::string_view l) { out.emplace_back(l); };
  opts.err = [&](std::string_view l) { err.emplace_back(l); };
  EXPECT_EQ(runner::RunProgram(program, "main", {}, opts), 1);
  EXPECT_EQ(out, std::vector<std::string>{"2"});
  ASSERT_EQ(err.size(), 1u);
  EXPECT_NE(err[0].find("VRX_GetTicks needs the plug-in"), std::string::npos);
  EXPECT_EQ(runner::RunProgram(program, "nothere", {}, opts), 1);
}

TEST(Values, DatesTextsAndNumbers) {
  using runner::Date;
  for (Date d : {Date{1, 1, 1}, Date{1904, 1, 1}, Date{2000, 2, 29}, Date{2024, 12, 31}, Date{9999, 12, 31}}) {
    Date back = runner::DaysToDate(runner::DateToDays(d));
    EXPECT_EQ(back.year, d.year);
    EXPECT_EQ(back.month, d.month);
    EXPECT_EQ(back.day, d.day);
  }
  EXPECT_EQ(runner::DateToDays({1970, 1, 1}) - runner::DateToDays({1904, 1, 1}), 24107);
  EXPECT_FALSE(runner::ValidDate({1900, 2, 29}));
  EXPECT_TRUE(runner::ValidDate({2000, 2, 29}));
  EXPECT_TRUE(runner::ValidDate({0, 0, 0}));
  EXPECT_FALSE(runner::ValidDate({0, 1, 1}));
  EXPECT_FALSE(runner::ValidDate({10000, 1, 1}));
  EXPECT_FALSE(runner::ValidDate({2023, 4, 31}));
  EXPECT_EQ(runner::RealToLong(1e12), INT32_MAX);
  EXPECT_EQ(runner::RealToLong(-2.5), -3);
  EXPECT_EQ(runner::TextToNumber("-"), 0);
  EXPECT_EQ(runner::TextToNumber("12e"), 12);
  EXPECT_EQ(runner::TextToNumber(".5"), 0.5);
  EXPECT_EQ(runner::FindText("abc", "abcd", 0, false), std::string::npos);
  EXPECT_EQ(runner::FindText("abc", "C", 3, false), std::string::npos);
  EXPECT_EQ(runner::CompareText("\xC3\xA9", "\xC3\x89"), 0);  // é and É
}

TEST(Values, ACopyIsIndependentOfItsOriginalAfterAnyWrite) {
  // Copies share their bytes and elements until one is written to: every way of writing
  // must leave the other copy as it was.
  Outcome o = RunMethods(
      {{"main.4dm",
        "C_BLOB($a;$b)\nSET BLOB SIZE($a;3;65)\n$b:=$a\n$b{0}:=66\nSET BLOB SIZE($a;4;67)\n"
        "TEXT TO BLOB(\"z\";$b;3;*)\n"
        "ECHO(String(BLOB size($a))+\" \"+String($a{0})+String($a{3})+\" \"+String(BLOB size($b))+\" \"+String($b{0}))\n"
        "ARRAY TEXT($t;2)\n$t{1}:=\"one\"\n$n:=Changed($t)\nAPPEND TO ARRAY($t;\"three\")\n"
        "ECHO($t{1}+\" \"+String(Size of array($t))+\" \"+$n)\n"},
       {"Changed.4dm",
        "$1{1}:=\"uno\"\nAPPEND TO ARRAY($1;\"x\")\nSORT ARRAY($1)\n$0:=$1{2}+String(Size of array($1))\n"}});
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"4 6567 4 66", "one 3 uno3"}));
}

TEST(Plugin, TextsBecomeMacRomanOnlyWhereTheyEnterThePlugin) {
  // Inside a method a text is Unicode; the plug-in and the Mac formats of a BLOB see Mac
  // Roman, where a character without a Mac Roman form becomes '?'.
  Outcome o = RunMain(
      "C_REAL($port)\n$r:=VRX_GetNameServer(\"\xC3\xA9\xE2\x82\xAC\xE2\x9C\x93\xF0\x9F\x98\x80\";$name;$port;0)\n"
      "ECHO($name+\" \"+String(Length($name)))\n"
      "TEXT TO BLOB(\"\xC3\xA9\xE2\x9C\x93\";$b;Mac text without length)\n"
      "ECHO(String(BLOB size($b))+\" \"+BLOB to text($b;Mac text without length))\n"
      "TEXT TO BLOB(\"\xC3\xA9\xE2\x9C\x93\";$b;UTF8 text without length)\n"
      "ECHO(String(BLOB size($b))+\" \"+BLOB to text($b;UTF8 text without length))\n");
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"\xC3\xA9\xE2\x82\xAC?? 4", "2 \xC3\xA9?",
                                             "5 \xC3\xA9\xE2\x9C\x93"}));
}

TEST(Plugin, NumberOutputsWrittenWhereTheirVariablesStand) {
  // A longint or integer output goes straight into a local variable: an integer must
  // still come out signed (a listening port above 32767), as through a real variable;
  // one variable named by several outputs takes the last; an in/out count is read and
  // written in place.
  Outcome o = RunMethods({{"main.4dm",
      "$l:=VRX_ListenStream(0;0;0;0;0;0;2130706433)\nC_REAL($portReal)\n"
      "$r:=VRX_GetStreamAddresses($l;$addr;$remote;$port;$x;$local)\n"
      "$r:=VRX_GetStreamAddresses($l;$addr;$remote;$portReal;$x;$local)\n"
      "$r:=VRX_GetStreamAddresses($l;$same;$same;$same;$same;$same)\n"
      "C_BLOB($b)\nTEXT TO BLOB(\"abcabc\";$b;Mac text without length)\n$n:=5\n"
      "$last:=VRX_FindInBlob($b;0;\"c\";$n)\n"
      "ECHO(String($port=$portReal)+\" \"+String($port<0)+\" \"+String(Type($port))+\" \"+String($same)+\" \"+"
      "String($local)+\" \"+String($n)+\" \"+String($last))\n"
      // An earlier output that cannot be stored (a longint into a text) leaves the
      // integers written in place after it signed all the same.
      "C_TEXT($text)\nON ERR CALL(\"Caught\")\n$r:=VRX_GetStreamAddresses($l;$text;$remote;$after;$x;$local)\n"
      "ON ERR CALL(\"\")\nECHO(String($after=$port))\n"},
      {"Caught.4dm", "$e:=Error\n"}});
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"True True 9 2130706433 2130706433 2 5", "True"}));
}

TEST(Plugin, ComputedArgumentsPassTheNumberTheirExpressionGives) {
  // A local and a whole literal under + - * reach a longint parameter worked out in
  // integers: the same number as the expression's value passed from a variable, for
  // longints and reals, whole or not, inside and past the longint range.
  std::string m = "C_LONGINT($l)\n$l:=30000\n$s:=\"\"\n$n:=0\n"
                  "For each ($x;New collection(7;2.5;30000;-30000;1e12))\n";
  for (std::string e : {"$x*86400", "86400*$x", "$x+2147483000", "100-$x", "$l*86400", "$l-3"})
    m += "  $v:=" + e + "\n  VRX_SecondsToDate(" + e + ";$d1;$t1;1)\n  VRX_SecondsToDate($v;$d2;$t2;1)\n"
         "  $n:=$n+1\n  If (($d1#$d2)|($t1#$t2))\n    $s:=$s+\"" + e + " at \"+String($x)+\"; \"\n  End if\n";
  Outcome o = RunMain(m + "End for each\nECHO(String($n)+\" \"+$s)\n");
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, std::vector<std::string>{"30 "});
}

TEST(Plugin, TextResultsEqualToTheLastAreGivenAgainOnlyWhenEqual) {
  // One call site answers texts equal to its last one or not (short, long, beyond
  // ASCII, empty), while the variable holding each result drops it (d), holds it on (h)
  // or changes it (c): each call must answer its own text.
  const std::string koeln = "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln", longer = "longer than sixteen bytes \xC3\xBC";
  const std::vector<std::pair<std::string, char>> calls = {
      {koeln, 'd'}, {koeln, 'h'}, {"", 'c'}, {koeln, 'd'}, {"Gr\xC3\xBC\xC3\x9F" "e aus Bonn", 'c'},
      {"short", 'h'}, {"other", 'd'}, {"", 'd'}, {"other", 'c'}, {longer, 'd'}, {longer, 'h'},
      {"Hello World!", 'c'}, {"Hello World?", 'd'}, {"Hello World!", 'd'}};
  std::string m = "$in:=New collection\n$do:=\"\"\n$out:=\"\"\n$held:=\"\"\n";
  std::string want;
  for (const auto& [in, action] : calls) {
    m += "$in.push(\"" + in + "\")\n$do:=$do+\"" + action + "\"\n";
    std::string rot = in;
    for (char& ch : rot)
      if (std::isalpha(static_cast<unsigned char>(ch)) && static_cast<unsigned char>(ch) < 0x80)
        ch = char((std::tolower(ch) - 'a' + 13) % 26 + (std::islower(ch) ? 'a' : 'A'));
    want += rot + "|";
  }
  m += "For ($i;0;$in.length-1)\n  $r:=Rot($in[$i])\n  $out:=$out+$r+\"|\"\n"
       "  Case of\n    : ($do[[$i+1]]=\"d\")\n      $r:=\"\"\n    : ($do[[$i+1]]=\"h\")\n      $held:=$r\n"
       "    Else\n      $r:=$r+\"!\"\n  End case\nEnd for\nECHO($out)\n";
  Outcome o = RunMethods({{"main.4dm", m}, {"Rot.4dm", "$0:=VRX_MapTextChars($1)\n"}});
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, std::vector<std::string>{want});
}

TEST(Plugin, OutputsOfRepeatedCallsDoNotCarryOver) {
  // Each call site keeps its host values between calls: a shorter string after a longer
  // one, a real and a time receiving longints, and a recursion through the same site
  // while it is in use must all come out as from fresh values.
  Outcome o = RunMethods(
      {{"main.4dm",
        "C_REAL($port)\n"
        "For ($i;1;3)\n"
        "  $r:=VRX_GetNameServer(Substring(\"abcdef\";1;7-(2*$i));$name;$port;0)\n"
        "  ECHO($name+\" \"+String($port))\n"
        "End for\n"
        "C_TIME($t)\n"
        "$r:=VRX_GetNameServer(\"x\";$name;$t;0)\n"
        "ECHO(String($t))\n"
        "ECHO(Nested(2))\n"},
       {"Nested.4dm",
        "If ($1>0)\n"
        "  $r:=VRX_GetNameServer(\"level\"+String($1)+Nested($1-1);$name;$port;0)\n"
        "  $0:=$name\n"
        "Else\n"
        "  $0:=\"\"\n"
        "End if\n"}});
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"abcde 1000", "abc 1000", "a 1000", "00:16:40",
                                             "level2level1"}));
}

TEST(Errors, TheErrorMethodRunsAndTheMethodGoesOnAfterTheFailingLine) {
  Outcome o = RunMethods({{"main.4dm",
                           "ON ERR CALL(\"Catch\")\nECHO(\"a\")\n$x:=1/0\nECHO(\"b \"+String(Error))\n"
                           "If (True)\n$y:=$undefined\nECHO(\"next in If\")\nEnd if\nECHO(\"c\")\n"
                           "Fails\nECHO(\"d\")\nON ERR CALL(\"Abort\")\n$x:=1/0\nECHO(\"not run\")\n"},
                          {"Catch.4dm", "ECHO(\"caught \"+String(Error))\n"},
                          {"Fails.4dm", "$z:=\"x\"-2\nECHO(\"in Fails\")\n"},
                          {"Abort.4dm", "ECHO(\"aborting\")\nABORT\n"}});
  ASSERT_TRUE(o.loaded) << Joined(o.err);
  EXPECT_EQ(o.status, 0) << Joined(o.err);
  EXPECT_TRUE(o.err.empty()) << Joined(o.err);
  EXPECT_EQ(o.out, (std::vector<std::string>{"a", "caught 1", "b 1", "caught 1", "next in If", "c",
                                             "caught 1", "in Fails", "d", "aborting"}));

  // An error in the error method is reported and ends the process.
  o = RunMethods({{"main.4dm", "ON ERR CALL(\"Bad\")\n$x:=1/0\nECHO(\"not run\")\n"},
                  {"Bad.4dm", "ECHO(\"in Bad\")\n$y:=\"a\"-1\n"}});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, std::vector<std::string>{"in Bad"});
  ASSERT_EQ(o.err.size(), 1u) << Joined(o.err);
  EXPECT_NE(o.err[0].find("Error in method \"Bad\" line 2"), std::string::npos) << o.err[0];
}

TEST(Errors, APointerToALocalOfAMethodThatReturnedIsRefused) {
  Outcome o = RunMethods({{"main.4dm", "$p:=Leak\n$x:=$p->\n"}, {"Leak.4dm", "$v:=1\n$0:=->$v\n"}});
  EXPECT_EQ(o.status, 1);
  ASSERT_EQ(o.err.size(), 1u) << Joined(o.err);
  EXPECT_NE(o.err[0].find("line 2: the pointer points to a local variable of a method that has returned"),
            std::string::npos) << o.err[0];
}

TEST(Run, AConfinedRunTouchesNoDocumentAndEndsAtItsStatementLimit) {
  runner::RunOptions confined;
  confined.confined = true;
  confined.statementLimit = 5000;
  Outcome o = RunMethods({{"main.4dm", "$n:=0\nWhile (True)\n  $n:=$n+1\nEnd while\n"}}, {}, "main", confined);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, std::vector<std::string>{"The run has reached its statement limit"});
  for (auto [source, message] : {std::pair{"$d:=Create document(\"/tmp/x\")\n", "Create document is not available"},
                                 std::pair{"C_BLOB($b)\nSET BLOB SIZE($b;65537)\n", "SET BLOB SIZE: bad size 65537"}}) {
    o = RunMethods({{"main.4dm", source}}, {}, "main", confined);
    ASSERT_EQ(o.err.size(), 1u) << Joined(o.err);
    EXPECT_NE(o.err[0].find(message), std::string::npos) << o.err[0];
  }
}

TEST(Run, AnOutputToAnElementOutOfRangeIsAnError) {
  Outcome o = RunMain("ARRAY LONGINT($a;2)\n$i:=-1\n$r:=VRX_GetLocalAddress($x;$a{$i};$y;$z)\n");
  EXPECT_EQ(o.status, 1);
  ASSERT_EQ(o.err.size(), 1u) << Joined(o.err);
  EXPECT_NE(o.err[0].find("index -1 is out of range for $a"), std::string::npos) << o.err[0];
}
