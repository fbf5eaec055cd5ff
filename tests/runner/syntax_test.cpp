// The language 4D writes today, line by line against 4D's documented results: var and
// #DECLARE, return, compound assignments, ?:, && and ||, object and collection literals,
// dot and bracket notation at any depth, Null, member calls, For each, break and
// continue, Use; and the mistakes a method can make with them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner/runner.h"

namespace {

struct Outcome {
  int status = 0;
  std::string log;    // ECHO lines joined by |
  std::string error;  // the first error line
  bool loaded = true;
};

// Runs method "main" of `main` with `helper` beside it as method "helper".
Outcome RunMain(const std::string& main, const std::string& helper = "") {
  runner::Program program;
  std::vector<std::string> lines, errors;
  Outcome o;
  std::vector<std::pair<std::string, std::string>> files{{"main.4dm", main}};
  if (!helper.empty()) files.emplace_back("helper.4dm", helper);
  if (!runner::LoadSources(files, &program, &errors)) {
    o.loaded = false;
    o.error = errors.empty() ? "" : errors[0];
    return o;
  }
  runner::RunOptions opts;
  opts.out = [&](std::string_view l) { lines.emplace_back(l); };
  opts.err = [&](std::string_view l) { errors.emplace_back(l); };
  o.status = runner::RunProgram(program, "main", {}, opts);
  for (const std::string& l : lines) o.log += (o.log.empty() ? "" : "|") + l;
  if (!errors.empty()) o.error = errors[0];
  return o;
}

TEST(ModernSyntax, StatementsAndOperatorsGiveTheDocumentedResults) {
  struct Case {
    const char* source;
    const char* log;
  };
  const Case cases[] = {
      // var: types, several names, initial values, Variant
      {"var $a; $b : Integer\nvar $t : Text\nvar $o : Object\nvar $c : Collection\n"
       "ECHO(String($a+$b)+\"/\"+$t+\"/\"+String(Value type($o))+String($o=Null)+String($c=Null))",
       "0//38TrueTrue"},
      {"var $x : Integer:=5\nvar $r : Real:=1.5\nvar $s:=\"v\"\n$x:=$x+2.4\nECHO(String($x)+\" \"+String($r)+\" \"+$s)",
       "7 1.5 v"},
      {"var $v : Variant\n$v:=1\n$v:=\"text\"\nvar $b : 4D.Blob\nvar $p : Pointer\nvar $k : cs.Thing\n"
       "ECHO($v+String(Value type($b))+String(Value type($k)))",
       "text3038"},
      {"C_OBJECT($o)\nC_COLLECTION($c)\nC_VARIANT($v)\nC_TEXT(SomeMethod; $0)\n$v:=1\n$v:=\"x\"\n"
       "ECHO(String($o=Null)+String($c=Null)+$v)",
       "TrueTruex"},
      // comments and line continuation
      {"$a:=1 /* inline */ +2 // trailing\n/* a\nblock */\n$b:=$a+\\\n10\nECHO(String($b))", "13"},
      // <<> is < then an interprocess name; a property after an element; $ starting a property name
      {"<>x:=5\n$y:=3\nARRAY OBJECT($a;1)\n$a{1}:={p: 7}\n$o:={}\n$o.$k:=$a{1}.p\n"
       "ECHO(String($y<<>x)+JSON Stringify($o))",
       "True{\"$k\":7}"},
      {"$o:={$ref: 1; b: {$Id: [{$x: 2}]}}\n$c:=$o.b.$Id\nECHO(JSON Stringify($o)+String($c[0].$x))", "{\"$ref\":1,\"b\":{\"$Id\":[{\"$x\":2}]}}2"},
      // a line comment ending in a backslash comments out the joined line after it too;
      // a semicolon may close a statement
      {"//$t:=\"a\"\\\n  +\"b\"\n$b:=1;\nECHO(String($b)) // C:\\ \nECHO(\"z\");  ", "1|z"},
      // compound assignments
      {"$i:=10\n$i+=5\n$i-=3\n$i*=2\n$i/=4\n$t:=\"ab\"\n$t+=\"c\"\n$t*=2\nECHO(String($i)+$t)", "6abcabc"},
      // ternary and short-circuit operators with their values
      {"$n:=5\nECHO($n>3 ? \"big\" : \"small\")\nECHO(String($n<3 ? 1 : $n=5 ? 2 : 3))", "big|2"},
      {"ECHO(String(1 && \"a\")+\"|\"+String(0 && \"a\")+\"|\"+String(\"\" || \"b\")+\"|\"+String(True && False))",
       "a|0|b|False"},
      {"$o:=Null\nECHO(String(($o#Null) && ($o.a=1)))\nECHO(String(False || (1=1)))", "False|True"},
      // literals, dot and bracket notation at any depth
      {"$o:={a: 1; \"b c\": \"x\"; d: {e: [1; 2; {f: True}]}}\n"
       "ECHO(JSON Stringify($o))\nECHO(String($o.d.e[2].f)+$o[\"b c\"]+String($o.d.e.length))",
       R"({"a":1,"b c":"x","d":{"e":[1,2,{"f":true}]}}|Truex3)"},
      {"$o:={}\n$o.a.b.c:=1\n$o[\"k\"]:=\"v\"\n$c:=[]\n$c[2]:=\"z\"\n$c[0]:=$o.a.b.c+1\nECHO(JSON Stringify($o)+JSON Stringify($c))",
       R"({"a":{"b":{"c":1}},"k":"v"}[2,null,"z"])"},
      {"$o:={n: 1}\n$p:=$o\n$p.n:=2\n$o.n+=5\nECHO(String($o.n)+String($o=$p)+String($o={n: 7}))", "7TrueFalse"},
      // Null and undefined
      {"$o:={a: Null}\nECHO(String($o.a=Null)+String($o.missing=Null)+String($o.missing.deeper=Null)+String(Value type($o.missing)))",
       "TrueTrueTrue5"},
      // an undefined value clears a typed variable and leaves a Variant undefined
      {"var $v : Variant\n$o:={}\n$v:=$o.missing\n$n:=5\n$n:=$o.missing\n$t:=\"a\"\n$t:=$o.nope\n"
       "ECHO(String(Undefined($v))+String($n)+\"[\"+$t+\"]\"+String($v=Null))",
       "True0[]True"},
      // member calls, chained, dispatched to the collection functions
      {"$c:=[3; 1; 2]\n$c.push(4)\nECHO(JSON Stringify($c.sort().slice(1; 3))+String($c.length)+$c.join(\"-\"))",
       "[2,3]41-2-3-4"},
      // For each over collections and objects, with bounds and clauses
      {"$s:=\"\"\nFor each ($x; [1; 2; 3; 4; 5]; 1; -1)\n$s+=String($x)\nEnd for each\nECHO($s)", "234"},
      {"$s:=\"\"\nFor each ($k; {a: 1; b: 2})\n$s+=$k\nEnd for each\nECHO($s)", "ab"},
      {"$n:=0\nFor each ($x; [1; 2; 3; 4]) While ($n<3)\n$n+=$x\nEnd for each\nECHO(String($n))", "3"},
      {"$n:=0\nFor each ($x; [5; 6; 7])\n$n+=$x\nEnd for each Until ($n>10)\nECHO(String($n))", "11"},
      {"$o:={}\nFor each ($x; New collection)\n$o.hit:=True\nEnd for each\nFor each ($x; Null)\nEnd for each\nECHO(JSON Stringify($o))", "{}"},
      // break and continue in every loop
      {"$s:=\"\"\nFor ($i; 1; 10)\nIf ($i%2=0)\ncontinue\nEnd if\nIf ($i>7)\nbreak\nEnd if\n$s+=String($i)\nEnd for\nECHO($s+\" \"+String($i))",
       "1357 9"},
      {"$i:=0\nWhile (True)\n$i+=1\nIf ($i=3)\nbreak\nEnd if\nEnd while\nRepeat\n$i+=1\nIf ($i<6)\ncontinue\nEnd if\nbreak\nUntil (False)\nECHO(String($i))",
       "6"},
      {"$s:=\"\"\nFor each ($x; [1; 2; 3; 4])\nIf ($x=2)\ncontinue\nEnd if\nIf ($x=4)\nbreak\nEnd if\n$s+=String($x)\nEnd for each\nECHO($s)", "13"},
      // a function called through a computed property name, with the object as This
      {"$o:=New object(\"n\"; 2; \"twice\"; Formula(This.n*$1))\n$k:=\"twice\"\n$o[$k](1)\n"
       "ECHO(String($o[$k](5))+String($o[\"tw\"+\"ice\"](3)))",
       "106"},
      // Use on shared objects
      {"$s:=New shared object(\"n\"; 1)\nUse ($s)\n$s.n:=2\n$s.list:=New shared collection(1)\nEnd use\nECHO(String($s.n)+JSON Stringify($s.list))", "2[1]"},
  };
  for (const Case& c : cases) {
    Outcome o = RunMain(c.source);
    EXPECT_TRUE(o.loaded) << c.source << "\n" << o.error;
    EXPECT_EQ(o.log, c.log) << c.source;
    EXPECT_EQ(o.status, 0) << c.source << "\n" << o.error;
  }
}

TEST(ModernSyntax, DeclareAndReturn) {
  struct Case {
    const char* main;
    const char* helper;
    const char* log;
  };
  const Case cases[] = {
      {"ECHO(helper(2; \"x\"))", "#DECLARE($n : Integer; $t : Text) -> $r : Text\n$r:=$t*$n", "xx"},
      {"ECHO(helper(2.6; \"x\"))", "#DECLARE($n : Integer; $t : Text) -> $r : Text\nreturn $t+String($n)+String($1)", "x33"},
      {"ECHO(\"[\"+helper+\"]\")", "#DECLARE($n : Integer; $t : Text) -> $r : Text\nIf ($n=0)\nreturn\nEnd if\n$r:=\"never\"", "[]"},
      {"ECHO(helper(\"ab\"))", "#DECLARE($t : Text) : Text\nreturn $t+$t", "abab"},
      {"ECHO(String(helper .length))", "#DECLARE() : Collection\nreturn [1; 2]", "2"},
      {"$c:=[1; 2; 3]\nECHO(JSON Stringify($c.slice(1)\\\n  .reverse()))", "ECHO(1)", "[3,2]"},
      {"ECHO(String(helper(5)))", "#DECLARE($n : Integer) -> $r : Integer\nFor ($i; 1; 10)\nIf ($i=$n)\nreturn $i*10\nEnd if\nEnd for\n$r:=-1", "50"},
      {"$o:={}\nECHO(helper($o.missing; \"d\")+helper(\"e\"; \"f\"))", "C_VARIANT($1)\n$0:=Choose($1=Null; $2; $1)", "de"},
      {"ECHO(helper(\"s\"; 1; 2.4))", "#DECLARE($t : Text; ... : Integer) -> $r : Text\n$r:=$t+String(${2}+${3})", "s3"},
      {"ECHO(String(helper))", "#DECLARE() : Boolean\nreturn True:C214", "True"},
      {"helper\nECHO(\"after\")", "ECHO(\"in\")\nreturn\nECHO(\"not reached\")", "in|after"},
  };
  for (const Case& c : cases) {
    Outcome o = RunMain(c.main, c.helper);
    EXPECT_TRUE(o.loaded) << c.helper << "\n" << o.error;
    EXPECT_EQ(o.log, c.log) << c.helper;
    EXPECT_EQ(o.status, 0) << c.helper << "\n" << o.error;
  }
}

TEST(ModernSyntax, MistakesAreReportedWhereTheyStand) {
  struct Case {
    const char* source;
    bool loads;         // false: a syntax error
    const char* error;  // part of the first error
  };
  const Case cases[] = {
      {"break", false, "outside a loop"},
      {"var $a : Whatever", false, "unknown type"},
      {"var $a; $b : Integer:=1", false, "single declared variable"},
      {"$o:={a 1}", false, "\":\" after the property name"},
      {"$c:=[1; 2", false, "\"]\""},
      {"For each ($x; [1])\nEnd for", false, "End for without For"},
      {"$x:=True ? 1", false, "? :"},
      {"$c:=[1]\nECHO(String($c[5]))", true, "out of range"},
      {"var $o : Object\n$o.a:=1", true, "object is null"},
      {"$t:=\"abc\"\n$t.a:=1", true, "property \"a\" of a text"},
      {"$c:=[1]\n$c.nope()", true, "no function .nope()"},
      {"$o:={}\n$o[1]()", true, "must be a text, not a real"},
      {"For each ($x; 5)\nEnd for each", true, "not a real"},
      {"$s:=New shared object\n$s.a:=1", true, "inside Use"},
      {"Use (New object)\nEnd use", true, "not shared"},
      {"$o:={}\nECHO(String($o<{}))", true, "does not apply"},
  };
  for (const Case& c : cases) {
    Outcome o = RunMain(c.source);
    EXPECT_EQ(o.loaded, c.loads) << c.source << "\n" << o.error;
    if (c.loads) {
      EXPECT_EQ(o.status, 1) << c.source;
    }
    EXPECT_NE(o.error.find(c.error), std::string::npos) << c.source << "\n" << o.error;
  }
}

}  // namespace
