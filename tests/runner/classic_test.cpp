// The classic language line by line against 4D's documented results (mostly the examples
// of each command's page), one table per family.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner/runner.h"
#include "tests/runner/run_main.h"

namespace {

struct Case {
  const char* source;
  const char* log;  // ECHO lines joined by |, or the start of the first error
};

std::string Run(const std::string& main, const std::string& helper = "") { return RunMain(main, helper); }

void Check(const Case* cases, size_t n, const std::string& helper = "") {
  for (size_t i = 0; i < n; ++i) {
    std::string got = Run(cases[i].source, helper);
    std::string want = cases[i].log;
    if (want.rfind("error: ", 0) == 0) EXPECT_EQ(got.substr(0, want.size()), want) << cases[i].source;
    else EXPECT_EQ(got, want) << cases[i].source;
  }
}

TEST(ClassicLanguage, LanguageFunctionsAndConstants) {
  const Case cases[] = {
      {"ECHO(Choose(True;\"yes\";\"no\")+Choose(False;\"yes\";\"no\")+Choose(1;\"a\";\"b\";\"c\"))", "yesnob"},
      {"ECHO(String(Undefined(Choose(7;\"a\"))))", "True"},
      {"C_TEXT($t)\nARRAY TEXT($a;0)\nARRAY DATE($d;2)\nECHO(String(Type($t))+\" \"+String(Type($a))+\" \"+"
       "String(Type($d))+\" \"+String(Type($u)))",
       "2 18 17 5"},
      {"ECHO(String(Undefined($u)))\n$u:=1\nECHO(String(Undefined($u)))", "True|False"},
      {"C_POINTER($p)\nECHO(String(Is a variable(->$x))+String(Is a variable($p)))", "TrueFalse"},
      {"ECHO(Current method name)", "main"},
      {"TRACE\nIf (Asserted(1=1;\"fine\"))\nECHO(String(Is Windows)+String(Is macOS))\nEnd if\n$b:=Asserted(1=2;\"not so\")\nECHO(\"after\")",
       "error: Assertion failed in method \"main\" line 5: not so"},
      {"ECHO(String(MAXLONG)+\"/\"+String(MAXLONG:K35:2)+\"[\"+Char(Space)+\"]\"+Folder separator:K24:12)",
       "2147483647/2147483647[ ]/"},
      {"ECHO(String(Is text:K8:3)+\" \"+String(Is object)+\" \"+String(Is collection)+\" \"+String(Text array)+"
       "\" \"+String(December)+\" \"+String(January:K10:1)+\" \"+String(Character code(Char(Line feed))))",
       "2 38 42 18 12 1 10"},
  };
  Check(cases, std::size(cases));
}

TEST(ClassicLanguage, Arithmetic) {
  const Case cases[] = {
      {"ECHO(String(Mod(3;2))+String(Mod(4;2))+String(Mod(3.5;2)))", "100"},
      {"ECHO(String(Trunc(216.367;1))+\" \"+String(Trunc(216.367;-1))+\" \"+String(Trunc(-216.367;1)))",
       "216.3 210 -216.4"},
      {"ECHO(String(Dec(7.31))+\" \"+String(Dec(-3.5)))", "0.31 -0.5"},
      {"ECHO(String(Round(Square root(2);5))+\" \"+String(Round(Exp(1);5))+\" \"+String(Round(4*Arctan(1);5)))",
       "1.41421 2.71828 3.14159"},
      {"ECHO(String(Log:C22(Exp:C21(2)))+\" \"+String(Log(Exp(3)))+\" \"+String(LOG(1)))", "2 3 0"},
      {"$x:=Mod(1;0)", "error: "},
  };
  Check(cases, std::size(cases));
}

TEST(ClassicLanguage, Texts) {
  const Case cases[] = {
      {"ECHO(Change string(\"Acme\";\"CME\";2)+\" \"+Change string(\"November\";\"Dec\";1)+\" \"+"
       "Change string(\"abc\";\"XYZ\";3)+\" \"+Change string(\"abc\";\"X\";9))",
       "ACME December abX abc"},
      {"ECHO(Delete string(\"Lamborghini\";1;6)+\" \"+Delete string(\"Indentation\";6;2)+\" \"+"
       "Delete string(\"Hello\";10;2))",
       "ghini Indention Hello"},
      {"ECHO(Insert string(\"The tree\";\" green\";4)+\" \"+Insert string(\"Shut\";\"o\";3)+\" \"+"
       "Insert string(\"ab\";\"c\";9))",
       "The green tree Shout abc"},
      {"ECHO(String(Position(\"day\";\"Today is the first day\";1))+\" \"+"
       "String(Position(\"day\";\"Today is the first day\";4))+\" \"+"
       "String(Position(\"DAY\";\"Today is the first day\";1;*))+\" \"+String(Position(\"DAY\";\"Today\")))",
       "3 20 0 3"},
      {"$p:=Position(\"ÉTÉ\";\"un été\";1;$len)\nECHO(String($p)+\" \"+String($len))", "4 3"},
      {"ECHO(String(\"été\"=\"ETE\")+String(\"été\"=\"ete\"))", "TrueTrue"},
      {"ECHO(String(Match regex(\"^[a-z]+$\";\"abc\"))+String(Match regex(\"b.d\";\"abcde\"))+"
       "String(Match regex(\"b\";\"abc\";1;*))+String(Match regex(\"b\";\"abc\";2;*)))",
       "TrueFalseFalseTrue"},
      {"$ok:=Match regex(\"é(.)d\";\"aébde\";1;$pos;$len)\nECHO(String($ok)+\" \"+String($pos)+\" \"+String($len))",
       "True 2 3"},
      {"ARRAY LONGINT($pos;0)\nARRAY LONGINT($len;0)\n$ok:=Match regex(\"(a+)(b+)\";\"xaabbb\";1;$pos;$len)\n"
       "ECHO(String($pos{0})+String($len{0})+\" \"+String($pos{1})+String($len{1})+\" \"+String($pos{2})+String($len{2}))",
       "25 22 43"},
      {"$ok:=Match regex(\"(\";\"x\")", "error: "},
      {"ECHO(String(Compare strings(\"alpha\";\"Alpha\"))+String(Compare strings(\"a\";\"b\"))+"
       "String(Compare strings(\"alpha\";\"Alpha\";sk char codes))+String(Compare strings(\"Alpha\";\"alpha\";sk char codes+sk case insensitive))+"
       "String(Compare strings(\"àlpha\";\"alpha\";sk case insensitive))+String(Compare strings(\"àlpha\";\"ALPHA\";sk case insensitive+sk diacritic insensitive)))",
       "0-11010"},
      {"$t:=\"hello\"\n$t[[1]]:=\"H\"\nECHO($t+$t[[5]]+String(Length($t)))", "Helloo5"},
      {"$t:=\"ab\"\n$c:=$t[[3]]", "error: "},
  };
  Check(cases, std::size(cases));
}

TEST(ClassicLanguage, DatesAndTimes) {
  const Case cases[] = {
      {"$d:=Date(\"12/25/1992\")\nECHO(String(Year of($d))+\"-\"+String(Month of($d))+\"-\"+String(Day of($d)))",
       "1992-12-25"},
      {"$d:=Date(\"2013-02-15T10:00:00\")\nECHO(String(Year of($d))+\"-\"+String(Month of($d))+\"-\"+String(Day of($d)))",
       "2013-2-15"},
      {"ECHO(String(Year of(Date(\"garbage\"))))", "0"},
      {"$d:=Add to date(Date(\"01/31/2000\");1;1;0)\nECHO(String(Month of($d))+\"/\"+String(Day of($d))+\"/\"+String(Year of($d)))",
       "3/3/2001"},
      {"$d:=Add to date(Date(\"12/25/1992\");0;0;7)\nECHO(String(Month of($d))+\"/\"+String(Day of($d))+\"/\"+String(Year of($d)))",
       "1/1/1993"},
      {"ECHO(String(Day number(Date(\"12/10/2026\")))+String(Day number(Date(\"01/01/2000\"))))", "57"},
      {"ECHO(String(Num(Time(\"01:02:03\")))+\" \"+String(Num(Time(3723))))", "3723 3723"},
      {"$t:=Timestamp\nECHO(String(Length($t))+Substring($t;24)+Substring($t;11;1))", "24ZT"},
  };
  Check(cases, std::size(cases));
}

TEST(ClassicLanguage, Arrays) {
  const Case cases[] = {
      {"ARRAY TEXT($a;2)\n$a{1}:=\"x\"\n$a{2}:=\"y\"\nCOPY ARRAY($a;$b)\n$b{1}:=\"z\"\n"
       "ECHO($a{1}+$b{1}+String(Size of array($b))+String(Type($b)))",
       "xz218"},
      {"ARRAY LONGINT($a;0)\nAPPEND TO ARRAY($a;1)\nAPPEND TO ARRAY($a;3)\nAPPEND TO ARRAY($a;3)\nAPPEND TO ARRAY($a;5)\n"
       "ECHO(String(Count in array($a;3))+String(Count in array($a;9)))\n"
       "$f:=Find in sorted array($a;3;>;$first;$last)\nECHO(String($f)+String($first)+String($last))\n"
       "$f:=Find in sorted array($a;4;>;$first)\nECHO(String($f)+String($first))",
       "20|True23|False4"},
      {"APPEND TO ARRAY($new;\"x\")\nECHO(String(Size of array($new))+\" \"+String(Type($new)))", "1 18"},
      {"ARRAY TIME($t;1)\nARRAY BLOB($b;1)\nARRAY OBJECT($o;1)\nECHO(String(Type($t))+\" \"+String(Type($b))+\" \"+String(Type($o)))",
       "32 31 39"},
  };
  Check(cases, std::size(cases));
}

TEST(ClassicLanguage, DeclarationsOfOtherMethodsAndOfParameterRuns) {
  const char* helper =
      "C_TEXT(helper;$1)\nC_REAL(${2})\nC_LONGINT($0)\n"
      "$0:=Type($2)*100+Type($3)\n";
  const Case cases[] = {
      {"C_LONGINT(helper;$0)\nECHO(String(helper(\"a\";1;2)))", "101"},
      {"C_STRING(helper;10;$1)\nC_STRING(3;$s)\n$s:=\"abcdef\"\nECHO($s)", "abc"},
      {"C_OBJECT($o)\nC_COLLECTION($c)\nC_VARIANT($v)\n$v:=\"t\"\n$v:=1\n"
       "ECHO(String(Type($o))+\" \"+String(Type($c))+\" \"+String(Type($v)))",
       "38 42 1"},
      // names with spaces, as 4D allows them for variables
      {"<>My Var:=3\n$My Local:=2\nC_LONGINT(vTotal Amount)\nvTotal Amount:=<>My Var+$My Local\n"
       "ECHO(String(vTotal Amount)+\" \"+String(Type(vTotal Amount)))", "5 9"},
      {"Some Unknown Name(1)", "error: Error in method \"main\" line 1: Unknown command or method: Some Unknown Name"},
  };
  Check(cases, std::size(cases), helper);
}

TEST(ModernLanguage, ErrorsAreCaughtAndThrown) {
  // helper(n) divides 100 by n and throws on 0; called without a parameter it is an
  // error method.
  const char* helper =
      "#DECLARE($n : Integer) -> $r : Integer\nIf (Count parameters=0)\nECHO(\"handler \"+String(Error))\n"
      "Else\nIf ($n=0)\nthrow(-12345;\"Division by zero\")\nEnd if\n$r:=100/$n\nEnd if\n";
  const Case cases[] = {
      {"$r:=Try(helper(4))\nECHO(String($r)+String(Last errors=Null))", "25True"},
      {"$r:=Try(helper(0))\nECHO(String(Undefined($r))+\" \"+String(Last errors[0].errCode)+\" \"+Last errors[0].message)",
       "True -12345 Division by zero"},
      // the error method installed before Try is not called; one installed inside is
      {"ON ERR CALL(\"helper\")\nTry(throw(50042))\nECHO(Last errors[0].message+\"|\"+Method called on error)",
       "Error code 50042: (host)|helper"},
      {"Try\nON ERR CALL(\"helper\")\n$x:=Formula(throw(3)).call()\nECHO(\"resumed\")\nEnd try\nECHO(\"after\")",
       "handler 3|resumed|after"},
      {"Try\nECHO(\"in\")\nthrow({errCode: 1; message: \"Hello {who}\"; who: \"you\"})\nECHO(\"not run\")\n"
       "Catch\nECHO(\"caught \"+Last errors[0].message)\nEnd try\nECHO(\"after\")",
       "in|caught Hello you|after"},
      {"Try\nECHO(\"in\")\nCatch\nECHO(\"not run\")\nEnd try", "in"},
      {"Try\nthrow({errCode: 2; deferred: True})\nECHO(\"goes on\")\nCatch\nECHO(\"caught \"+String(Last errors[0].errCode))\n"
       "End try", "goes on|caught 2"},
      {"Try\nTry\nthrow(1)\nCatch\nthrow(2)\nEnd try\nCatch\nECHO(\"outer \"+String(Last errors[0].errCode))\nEnd try",
       "outer 2"},
      {"For ($i;1;3)\nTry\nIf ($i=2)\nbreak\nEnd if\nECHO(String($i))\nEnd try\nEnd for", "1"},
      {"ON ERR CALL(\"helper\";ek global)\nthrow(8)\nECHO(Method called on error(ek global)+\"/\"+Method called on error)",
       "handler 8|helper/"},
      {"throw(9;\"nine\")\nECHO(\"not run\")", "error: Error in method \"main\" line 1: nine"},
      {"$x:=Try(Formula(1+1).call())+Try(2)\nECHO(String($x))", "4"},
      {"Try\nECHO(\"x\")\nEnd try\nEnd try", "load: main.4dm:4:1: syntax error: End try without Try"},
  };
  Check(cases, std::size(cases), helper);
}

TEST(ModernLanguage, JsonValidateListsEveryFailure) {
  // A person: a capitalised name of 2+ characters, an age from 0 to 150, distinct tags a or b.
  const std::string schema =
      "$s:=JSON Parse(\"{\\\"type\\\":\\\"object\\\",\\\"required\\\":[\\\"name\\\",\\\"age\\\"],"
      "\\\"additionalProperties\\\":false,\\\"definitions\\\":{\\\"age\\\":{\\\"type\\\":\\\"integer\\\","
      "\\\"minimum\\\":0,\\\"exclusiveMaximum\\\":150}},\\\"properties\\\":{\\\"name\\\":{\\\"type\\\":\\\"string\\\","
      "\\\"minLength\\\":2,\\\"pattern\\\":\\\"^[A-Z]\\\"},\\\"age\\\":{\\\"$ref\\\":\\\"#/definitions/age\\\"},"
      "\\\"tags\\\":{\\\"type\\\":\\\"array\\\",\\\"uniqueItems\\\":true,\\\"items\\\":{\\\"enum\\\":[\\\"a\\\",\\\"b\\\"]}}}}\")\n";
  const std::string where = "\nECHO(JSON Stringify($r.errors.extract(\"code\"))+JSON Stringify($r.errors.extract(\"jsonPath\")))";
  const std::string cases[][2] = {
      {schema + "ECHO(JSON Stringify(JSON Validate({name: \"Bob\"; age: 30; tags: [\"a\"]}; $s)))", "{\"success\":true}"},
      {schema + "$r:=JSON Validate({name: \"b\"; age: 30.5; tags: [\"a\";\"c\";\"a\"]; x: 1}; $s)" + where,
       "[15,21,24,25,7,3][\"$.name\",\"$.name\",\"$.age\",\"$.tags\",\"$.tags[1]\",\"$.x\"]"},
      {schema + "$r:=JSON Validate({age: 150}; $s)" + where + "\nECHO($r.errors[1].message)",
       "[23,13][\"$\",\"$.age\"]|150 must be below 150"},
      {"$r:=JSON Validate({a: 0; b: \"x\"}; {properties: {a: {anyOf: [{type: \"string\"}; {multipleOf: 2}]}; "
       "b: {oneOf: [{type: \"string\"}; {maxLength: 3}]}}; dependencies: {b: [\"c\"]}})" + where,
       "[20,6][\"$.b\",\"$\"]"},
      {"var $r : Object\n$r:=Try(JSON Validate({}; {type: 5}))\nECHO(String($r=Null)+\" \"+Last errors[0].message)",
       "True JSON Validate: the schema is not valid: \"type\" must be a text or a collection of texts"},
      {"$r:=JSON Validate({}; JSON Parse(\"{\\\"$ref\\\":\\\"#\\\"}\"))",
       "error: Error in method \"main\" line 1: JSON Validate: the schema is not valid: the schema nests too deeply"},
  };
  for (const auto& [source, log] : cases) {
    const Case c{source.c_str(), log.c_str()};
    Check(&c, 1);
  }
}

}  // namespace
