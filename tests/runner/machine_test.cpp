// Compiled statements and loops: the in-line longint and real paths, what they hand to
// the general evaluation (types they do not handle, errors, conversions), and the
// jumps (break, continue, return, resumed errors) out of compiled loops.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "host/host.h"
#include "runner/machine.h"
#include "runner/runner.h"

namespace {

struct Ran {
  int status = -1;
  std::vector<std::string> out, err;
};

using Sources = std::vector<std::pair<std::string, std::string>>;

Ran RunSources(const Sources& sources, runner::RunOptions opts = {}, const Sources& classes = {}) {
  Ran r;
  runner::Program program;
  if (!runner::LoadSources(sources, &program, &r.err, classes)) return r;
  host::Host h;
  opts.host = &h;
  opts.out = [&](std::string_view l) { r.out.emplace_back(l); };
  opts.err = [&](std::string_view l) { r.err.emplace_back(l); };
  r.status = runner::RunProgram(program, "main", {}, opts);
  return r;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += (s.empty() ? "" : "|") + l;
  return s;
}

}  // namespace

TEST(Machine, ValuesAndControlFlowMatchTheLanguageRules) {
  struct Case {
    const char* what;
    const char* source;
    const char* out;  // the ECHO lines, joined by |
  };
  const Case cases[] = {
      {"longint overflow becomes a real; % and \\ by -1",
       "$i:=2147483647\n$j:=$i+1\n$m:=-2147483647-1\n$r:=$m%-1\n$q:=$m\\-1\n$p:=$m*-1\n"
       "ECHO($j)\nECHO($r)\nECHO($q)\nECHO($p)\nECHO(-$m)\nECHO(7%-3)\nECHO(-7\\2)\n",
       "2147483648|0|2147483648|2147483648|2147483648|1|-3"},
      {"a longint variable keeps its type: reals are rounded into it",
       "C_LONGINT($x)\n$x:=0\nFor ($i;1;4)\n  $x:=$x+0.6\nEnd for\nECHO($x)\n$r:=0.5\n$r:=$r+1\nECHO($r)\n",
       "4|1.5"},
      {"reals, booleans and mixed comparisons",
       "$n:=Num(\"10\")\n$s:=$n-$n\n$i:=0\nWhile ($i<$n)\n  $i:=$i+1\n  $b:=$i>=8\n"
       "  If ($b)\n    $s:=$s+0.5\n  End if\nEnd while\nECHO($s)\n$r:=0.1+0.2\nECHO($r=0.3)\n"
       "ECHO(($i=10) & ($s#0))\n",
       "1.5|True|True"},
      {"texts in conditions and values go the general way",
       "$t:=\"\"\nWhile ($t#\"aaa\")\n  $t:=$t+\"a\"\nEnd while\nECHO($t)\n$k:=\"b\"\n"
       "Case of\n  : ($k=\"a\")\n    ECHO(1)\n  : ($k=\"B\")\n    ECHO(2)\n  Else\n    ECHO(3)\nEnd case\n",
       "aaa|2"},
      {"break, continue and nested For loops keep their own counters",
       "$s:=0\nFor ($i;1;5)\n  For ($j;1;5)\n    If ($j>$i)\n      break\n    End if\n"
       "    If ($j=2)\n      continue\n    End if\n    $s:=$s+($i*10)+$j\n  End for\nEnd for\n"
       "ECHO($s)\nECHO($i)\nECHO($j)\n$k:=0\nRepeat\n  $k:=$k+1\n  If ($k<3)\n    continue\n  End if\n"
       "  break\nUntil (False)\nECHO($k)\n",
       "437|6|6|3"},
      {"break and continue from a statement run the general way (Use) leave their loop",
       "$s:=New shared object\n$n:=0\nFor ($i;1;4)\n  Use ($s)\n    If ($i=2)\n      continue\n"
       "    End if\n    If ($i=4)\n      break\n    End if\n  End use\n  $n:=$n+$i\nEnd for\nECHO($n)\n"
       "$k:=0\nWhile ($k<10)\n  $k:=$k+1\n  Use ($s)\n    If ($k=3)\n      break\n    End if\n"
       "  End use\nEnd while\nECHO($k)\n$m:=0\nFor each ($x;New collection(1;2;3))\n  Use ($s)\n"
       "    If ($x=2)\n      continue\n    End if\n  End use\n  $m:=$m+$x\nEnd for each\nECHO($m)\n",
       "4|3|4"},
      {"a For counter moved or retyped by its body, real bounds and steps",
       "$n:=0\nFor ($i;1;10)\n  $i:=$i+2\n  $n:=$n+1\nEnd for\nECHO($n)\nECHO($i)\n"
       "$n:=0\nFor ($k;1;3.7)\n  $n:=$n+$k\nEnd for\nECHO($n)\n"
       "$n:=0\nC_REAL($r)\nFor ($r;0;1;0.25)\n  $n:=$n+1\nEnd for\nECHO($n)\nECHO($r)\n"
       "C_LONGINT($e)\nFor ($e;2147483646;2147483647)\nEnd for\nECHO($e)\n",
       "4|13|6|5|1.25|2147483647"},
      {"numbers written in a method are reals: undeclared variables hold reals, longints round",
       "$u:=0\nFor ($k;1;2)\n  $u:=$u+2000000000\nEnd for\nECHO($u)\nECHO(Type($u))\nECHO(Type($k))\n"
       "C_LONGINT($l)\n$l:=0\nFor ($k;1;2)\n  $l:=$l+2000000000\nEnd for\nECHO($l)\n"
       "$n:=0\nFor ($i;1;3)\n  $i:=$i+0.5\n  $n:=$n+1\nEnd for\nECHO($n)\nECHO($i)\n"
       "SET REAL COMPARISON LEVEL(2)\n$l:=5\nECHO($l=6)\nECHO($l#4)\n",
       "4000000000|1|1|2147483647|2|4|True|False"},
      {"parameters, process and interprocess variables",
       "vSum:=0\n<>count:=0\nFor ($i;1;4)\n  vSum:=vSum+Twice($i)\n  <>count:=<>count+1\nEnd for\n"
       "ECHO(vSum)\nECHO(<>count)\n",
       "20|4"},
      {"return from inside a loop",
       "ECHO(FirstOver(10))\n", "16"},
  };
  const std::vector<std::pair<std::string, std::string>> helpers = {
      {"Twice.4dm", "$0:=$1*2\n"},
      {"FirstOver.4dm", "$x:=1\nWhile (True)\n  $x:=$x*2\n  If ($x>$1)\n    $0:=$x\n    return\n  End if\nEnd while\n"}};
  for (const Case& c : cases) {
    auto sources = helpers;
    sources.emplace_back("main.4dm", c.source);
    Ran r = RunSources(sources);
    EXPECT_EQ(r.status, 0) << c.what << ": " << Lines(r.err);
    EXPECT_EQ(Lines(r.out), c.out) << c.what;
  }
}

TEST(Machine, PropertiesElementsAndForEachKeepTheObjectRules) {
  struct Case {
    const char* what;
    const char* source;
    const char* out;
    const char* error;  // in the only error line; nullptr: none
  };
  const Case cases[] = {
      {"properties by reference; numbers kept as reals; a missing one is undefined",
       "$o:=New object(\"v\";1)\n$p:=$o\nC_LONGINT($l)\n$l:=4\nFor ($i;1;2)\n  $o.w:=$o.v+$l\n"
       "  $o.b:=$o.w>4\nEnd for\nECHO($p.w)\nECHO(Value type($p.w))\nECHO($p.b)\n$y:=$o.none\n"
       "ECHO(Type($y))\n$z:=$o.v+$o.none\n",
       "5|1|True|5", "line 14: the operator + does not apply to a real and an undefined"},
      {"a computed property runs its getter once per read",
       "$t:=cs.Tally.new()\n$x:=$t.twice+1\nECHO($x)\nECHO($t.reads)\n", "3|1", nullptr},
      {"elements: in range in place, past the end the collection grows, out of range an error",
       "$c:=New collection(1;2)\n$c[1]:=$c[0]+$c[1]\n$c[3]:=7\nECHO(JSON Stringify($c))\n$k:=5\n$x:=$c[$k]\n",
       "[1,3,null,7]", "line 6: the collection index 5 is out of range"},
      {"a shared object changes inside Use only",
       "$s:=New shared object(\"n\";1)\nUse ($s)\n  $s.n:=$s.n+1\nEnd use\nECHO($s.n)\n$s.n:=3\n",
       "2", "line 6: a shared object or collection can only be changed inside Use"},
      {"a property of a null object",
       "$o:=Null\n$o.v:=1\n", "", "line 2: the object is null"},
      {"For each: objects, names, break and continue, a collection shortened, nothing",
       "$c:=New collection\nFor ($i;1;5)\n  $c.push(New object(\"v\";$i))\nEnd for\n$s:=0\n"
       "For each ($o;$c)\n  If ($o.v=2)\n    continue\n  End if\n  If ($o.v=4)\n    break\n  End if\n"
       "  $s:=$s+$o.v\nEnd for each\nECHO($s)\n"
       "For each ($k;New object(\"a\";1;\"b\";2))\n  ECHO($k)\nEnd for each\n"
       "$n:=0\nFor each ($o;$c)\n  $c.remove(0)\n  $n:=$n+1\nEnd for each\nECHO($n)\n"
       "For each ($o;Null)\n  ECHO(\"never\")\nEnd for each\nFor each ($o;New collection(1;\"x\"))\nEnd for each\n",
       "4|a|b|3", "line 28: cannot put a real into $o, which is an object"},
  };
  const Sources classes = {{"Classes/Tally.4dm",
                            "Class constructor()\n  This.reads:=0\n"
                            "Function get twice() -> $r : Real\n  This.reads:=This.reads+1\n  $r:=2\n"}};
  for (const Case& c : cases) {
    Ran r = RunSources({{"main.4dm", c.source}}, {}, classes);
    EXPECT_EQ(Lines(r.out), c.out) << c.what;
    if (!c.error) {
      EXPECT_EQ(r.status, 0) << c.what << Lines(r.err);
      continue;
    }
    EXPECT_EQ(r.status, 1) << c.what;
    ASSERT_EQ(r.err.size(), 1u) << c.what << Lines(r.err);
    EXPECT_NE(r.err[0].find(c.error), std::string::npos) << r.err[0];
  }
}

TEST(Machine, ErrorsInCompiledCodeNameTheirLineAndResumeAfterIt) {
  struct Case {
    const char* source;
    const char* out;
    const char* error;  // in the only error line; nullptr: none
  };
  const Case cases[] = {
      {"$x:=1\nWhile ($x<5)\n  $x:=$x+1\n  $y:=$x%0\nEnd while\n", "", "line 4: Division by zero"},
      {"$t:=\"a\"\nWhile ($t)\nEnd while\n", "", "line 2: the condition must be a boolean, not a text"},
      {"For ($i;1;\"3\")\nEnd for\n", "", "line 1: the bounds of For must be numbers, not a text"},
      // The error method lets the loop go on with the statement after the failing one.
      {"ON ERR CALL(\"Catch\")\n$n:=0\nFor ($i;1;3)\n  $y:=$i\\0\n  $n:=$n+1\nEnd for\nECHO($n)\n"
       "$t:=\"x\"\nIf ($t)\n  ECHO(\"not run\")\nEnd if\nECHO(\"after\")\n",
       "caught|caught|caught|3|caught|after", nullptr},
  };
  for (const Case& c : cases) {
    Ran r = RunSources({{"main.4dm", c.source}, {"Catch.4dm", "ECHO(\"caught\")\n"}});
    EXPECT_EQ(Lines(r.out), c.out) << c.source;
    if (!c.error) {
      EXPECT_EQ(r.status, 0) << c.source << Lines(r.err);
      continue;
    }
    EXPECT_EQ(r.status, 1) << c.source;
    ASSERT_EQ(r.err.size(), 1u) << c.source << Lines(r.err);
    EXPECT_NE(r.err[0].find(c.error), std::string::npos) << r.err[0];
  }
}

TEST(Machine, CompiledLoopsGiveWayAndCountTowardsTheStatementLimit) {
  // Two processes with loops that never call anything: both finish, and a loop that
  // never ends meets the limit.
  Ran r = RunSources({{"main.4dm", "<>done:=0\n$p:=New process(\"Spin\";0;\"spin\")\n"
                                   "$n:=0\nWhile (<>done=0)\n  $n:=$n+1\nEnd while\nECHO(\"seen\")\n"},
                      {"Spin.4dm", "$k:=0\nWhile ($k<100000)\n  $k:=$k+1\nEnd while\n<>done:=1\n"}});
  EXPECT_EQ(r.status, 0) << Lines(r.err);
  EXPECT_EQ(Lines(r.out), "seen");
  runner::RunOptions limited;
  limited.statementLimit = 5000;
  r = RunSources({{"main.4dm", "$n:=0\nWhile ($n>=0)\n  $n:=$n+1\nEnd while\n"}}, limited);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, std::vector<std::string>{"The run has reached its statement limit"});
}

TEST(Machine, LiteralDivisorsDivideAsTheProcessorDoes) {
  const int32_t divisors[] = {2, -2, 3, -3, 7, -7, 10, 64, -64, 641, 1000000, 65537,
                              INT32_MAX, INT32_MIN, INT32_MIN + 1, 1 << 30, -(1 << 30) - 1};
  std::vector<int32_t> values = {0, 1, -1, 6, -6, 7, -7, 13, INT32_MAX, INT32_MIN, INT32_MIN + 1,
                                 INT32_MAX - 1, 1 << 30, -(1 << 30)};
  std::mt19937 random(27);
  for (int k = 0; k < 2000; ++k) values.push_back(int32_t(random()));
  for (int32_t d : divisors) {
    runner::Divisor div(d);
    for (int32_t x : values) {
      ASSERT_EQ(div.Quo(x), int64_t(x) / d) << x << " \\ " << d;
      ASSERT_EQ(div.Mod(x), int64_t(x) % d) << x << " % " << d;
    }
  }
  // The same through methods, with array elements as operands, and a bad index left to
  // the general evaluation's error.
  Ran r = RunSources({{"main.4dm",
                       "ARRAY LONGINT($a;3)\n$a{1}:=-17\n$a{2}:=17\n$a{3}:=2147483647\n$s:=\"\"\n"
                       "For ($i;1;3)\n  $s:=$s+String($a{$i}%5)+\" \"+String($a{$i}\\-5)+\";\"\n"
                       "  $x:=$a{$i}\\3\nEnd for\nECHO($s)\nECHO($x)\n$k:=4\n$y:=$a{$k}\n"}});
  EXPECT_EQ(Lines(r.out), "-2 3;2 -3;2 -429496729;|715827882");
  ASSERT_EQ(r.err.size(), 1u) << Lines(r.err);
  EXPECT_NE(r.err[0].find("line 13: index 4 is out of range"), std::string::npos) << r.err[0];
}

// Variables, elements and properties, and every operator in every operand form (two
// variables, a variable and a literal or a longint constant, the other way round,
// results feeding another operator), over operands of each type and at the edges of the
// longint range, into variables of each type, a property and an element, and in
// conditions: the register machine (the statements as they stand) must give what the
// general way (the same statements inside Use, scalar code and the evaluator) gives,
// errors included.
TEST(Machine, EveryOperatorFormAndOperandTypeMatchesTheGeneralWay) {
  const char* ops[] = {"+", "-", "*", "%", "\\", "=", "#", "<", ">", "<=", ">=",
                       "/", "^", "&", "|", "^|", "<<", ">>", "?+", "?-", "??"};
  const char* literals[] = {"2", "-1", "0", "1", "2147483647"};
  const char* dests[] = {"$l", "$r", "$k"};  // a longint, a real, a boolean
  // Variables, negations, elements of arrays of each type and of a collection, and
  // properties, by index and name, with $b as the index too.
  std::vector<std::string> forms = {"$a", "$1", "-$a", "-$1", "-2", "$ai{$b}", "$ar{$b}",
                                    "$ab{$b}", "$at{$b}", "$ai{2}", "$c[$i]", "$c[$b]", "$o.v", "$o.w"};
  for (const char* op : ops) {
    forms.push_back(std::string("$a") + op + "$b");
    for (const char* k : literals) {
      forms.push_back(std::string("$a") + op + k);
      forms.push_back(std::string(k) + op + "$b");
    }
    forms.push_back(std::string("($a") + op + "$b)" + op + "($b" + op + "2)");
    forms.push_back(std::string("$a") + op + "($b" + op + "2)");
    forms.push_back(std::string("($a") + op + "2)" + op + "$b");
    forms.push_back(std::string("$1") + op + "$2");       // parameters
    forms.push_back(std::string("$a") + op + "MAXLONG");  // longint constants
    forms.push_back(std::string("MAXINT") + op + "$b");
  }
  std::string body =
      "ARRAY LONGINT($ai;2)\n$ai{1}:=5\n$ai{2}:=-3\nARRAY REAL($ar;2)\n$ar{1}:=2.5\n"
      "ARRAY BOOLEAN($ab;2)\n$ab{1}:=True\nARRAY TEXT($at;2)\n$at{1}:=\"t\"\n"
      "$c:=New collection($1;$2;\"t\";True)\n$o:=New object(\"v\";$1;\"w\";$2)\n$i:=1\n";
  int n = 0;
  auto show = [&](const std::string& v) {
    body += "ECHO(\"" + std::to_string(n++) + " \"+String(Value type(" + v + "))+\" \"+String(" + v + "))\n";
  };
  for (const std::string& e : forms) {
    for (const char* d : dests) {
      body += std::string(d) + ":=" + e + "\n";
      show(d);
    }
    std::string u = "$u" + std::to_string(n);  // a new variable: the value's own type
    body += u + ":=" + e + "\n";
    show(u);
    for (const char* place : {"$o.x", "$c[$i]"}) {  // a property, an element
      body += std::string(place) + ":=" + e + "\n";
      show(place);
    }
    std::string id = std::to_string(n++);
    body += "If (" + e + ")\n  ECHO(\"" + id + " then\")\nElse\n  ECHO(\"" + id + " else\")\nEnd if\n";
  }
  const std::string declare = "C_LONGINT($l)\nC_REAL($r)\nC_BOOLEAN($k)\n$a:=$1\n$b:=$2\n";
  const char* values[] = {"$al{1}", "$al{2}", "$al{3}", "$al{4}", "$al{5}", "2.5",
                          "3",      "-1",     "1E+300", "-2147483648", "True", "\"12\""};
  std::string main =
      "ON ERR CALL(\"Catch\")\nARRAY LONGINT($al;5)\n$al{1}:=7\n$al{2}:=-1\n$al{3}:=0\n"
      "$al{4}:=2147483647\n$al{5}:=-2147483648\n";
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 1) main += "SET REAL COMPARISON LEVEL(1)\n";  // equality of whole numbers by epsilon
    for (const char* a : values) {
      for (const char* b : values) {
        if (pass == 1 && a != values[0] && b != values[0]) continue;
        std::string args = std::string("(") + a + ";" + b + ")\n";
        main += "ECHO(\"machine\")\nOnMachine" + args + "ECHO(\"general\")\nInUse" + args;
      }
    }
  }
  Ran r = RunSources({{"main.4dm", main},
                      {"OnMachine.4dm", declare + body},
                      {"InUse.4dm", declare + "$use:=New shared object\nUse ($use)\n" + body + "End use\n"},
                      {"Catch.4dm", "ECHO(\"error \"+String(Error))\n"}});
  ASSERT_EQ(r.status, 0) << Lines(r.err);
  std::vector<std::string> machine, general;
  std::vector<std::string>* into = nullptr;
  size_t runs = 0, lines = 0;
  auto compare = [&] {
    if (into) {
      ASSERT_EQ(machine, general) << "run " << runs;
      ++runs;
      lines += machine.size();
    }
    machine.clear();
    general.clear();
  };
  for (const std::string& l : r.out) {
    if (l == "machine") {
      compare();
      into = &machine;
    } else if (l == "general") {
      into = &general;
    } else if (into) {
      into->push_back(l);
    }
  }
  compare();
  EXPECT_EQ(runs, 144u + 23u);
  EXPECT_GT(lines, runs * size_t(n) / 2);
}
